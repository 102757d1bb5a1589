#!/usr/bin/python3
"""Writes the draw table of the index benchmark: N records of YEAR N(9,0),
DRAW N(9,0) in a dBase table, record i (0-based, shuffled order) holding
YEAR = 1000 + i div 500 and DRAW = i mod 500 + 1, so every key is unique.
Written byte by byte (the layout is plain dBase); python3-dbf reads it back
as a check of the header."""
import random
import struct
import sys

import dbf


def main():
    path, count = sys.argv[1], int(sys.argv[2])
    order = list(range(count))
    random.Random(1).shuffle(order)
    fields = [(b'YEAR', 9), (b'DRAW', 9)]
    header_len = 32 + 32 * len(fields) + 1
    record_len = 1 + sum(w for _, w in fields)
    with open(path, 'wb') as f:
        f.write(struct.pack('<B3BIHH20x', 0x03, 126, 12, 6, count, header_len, record_len))
        for name, width in fields:
            f.write(struct.pack('<11sc4xBB14x', name, b'N', width, 0))
        f.write(b'\r')
        chunk = []
        for i in order:
            chunk.append(b' %9d%9d' % (1000 + i // 500, i % 500 + 1))
            if len(chunk) == 65536:
                f.write(b''.join(chunk))
                chunk = []
        f.write(b''.join(chunk))
        f.write(b'\x1a')
    table = dbf.Table(path)
    table.open(dbf.READ_ONLY)
    assert len(table) == count
    table.close()


if __name__ == '__main__':
    main()

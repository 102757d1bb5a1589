#!/usr/bin/python3
"""Writes the seed inputs of the table fuzz target into this folder.

Each seed is: 2-byte little-endian table length, the table file, the memo
file. Tables come from python3-dbf (dBase III, FoxPro, Visual FoxPro) and
from byte layouts written here (plain draw table, dBase IV memo). Run it
again after changing the input format of dbf_fuzz.cpp.
"""
import os
import struct
import sys
import tempfile

sys.dont_write_bytecode = True

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, '..', '..'))
import dbf_peers  # noqa: E402


def seed(name, table, memo=b''):
    with open(os.path.join(HERE, name), 'wb') as f:
        f.write(struct.pack('<H', len(table)) + table + memo)


def table_bytes(version, fields, records, flags=0):
    extra = 263 if version == 0x30 else 0
    hl = 32 + 32 * len(fields) + 1 + extra
    rl = 1 + sum(length for _, _, length, _ in fields)
    head = struct.pack('<B3BIHH', version, 26, 1, 1, len(records), hl, rl) + bytes(20)
    head = head[:28] + bytes([flags]) + head[29:]
    desc = b''
    for name, kind, length, dec in fields:
        desc += name.encode().ljust(11, b'\0') + kind.encode() + bytes(4) + bytes([length & 255, dec]) + bytes(14)
    return head + desc + b'\r' + bytes(extra) + b''.join(records) + b'\x1a'


def main():
    draw = [('YEAR', 'N', 9, 0), ('DRAW', 'N', 9, 0)] + [('P%d' % i, 'N', 15, 0) for i in range(1, 7)]
    rows = [(b' ' if i != 2 else b'*') + b'%9d%9d' % (2020, i) + b''.join(b'%15d' % (i * 7 + k) for k in range(6))
            for i in range(1, 4)]
    seed('draws', table_bytes(0x03, draw, rows))

    memo4 = bytearray(512)
    struct.pack_into('<I', memo4, 0, 3)
    memo4[8:13] = b'NOTES'
    memo4[18:22] = bytes([2, 1, 0, 2])
    text = b'dBase IV memo text ' * 30
    entry = b'\xff\xff\x08\x00' + struct.pack('<I', len(text) + 8) + text
    memo4 += entry.ljust(1024, b'\0')
    fields4 = [('NAME', 'C', 8, 0), ('NOTE', 'M', 10, 0), ('WHEN', 'D', 8, 0), ('OK', 'L', 1, 0)]
    seed('dbase4', table_bytes(0x8B, fields4, [b' abc     ' + b'%10d' % 1 + b'20240229T']), bytes(memo4))

    fields30 = [('I', 'I', 4, 0), ('Y', 'Y', 8, 4), ('T', 'T', 8, 0), ('B', 'B', 8, 0), ('M', 'M', 4, 0)]
    raw = b' ' + struct.pack('<iqiid', -5, 12345, 2460000, 3600000, 2.5) + struct.pack('<i', 8)
    fpt = bytearray(512)
    struct.pack_into('>I', fpt, 0, 9)
    struct.pack_into('>H', fpt, 6, 64)
    fpt += (struct.pack('>II', 1, 11) + b'fox memo 30').ljust(64, b'\0')
    seed('fox30', table_bytes(0x30, fields30, [raw], flags=2), bytes(fpt))

    with tempfile.TemporaryDirectory() as tmp:
        for fmt, ext in (('db3', 'dbt'), ('fp', 'fpt'), ('vfp', 'fpt')):
            path = os.path.join(tmp, fmt + '.dbf')
            dbf_peers.make(fmt, path)
            with open(path, 'rb') as f:
                table = f.read()
            with open(os.path.join(tmp, fmt + '.' + ext), 'rb') as f:
                memo = f.read()
            seed('python-' + fmt, table, memo)


if __name__ == '__main__':
    main()

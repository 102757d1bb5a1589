#!/usr/bin/python3
"""The peer's side of the handler benchmark: dbfread iterates every record of
the given table and sums DRAW. Prints "<seconds> <checksum>"."""
import sys
import time

import dbfread


def main():
    path = sys.argv[1]
    start = time.perf_counter()
    checksum = 0
    for record in dbfread.DBF(path):
        checksum += record['DRAW']
    print('%.6f %d' % (time.perf_counter() - start, checksum))


if __name__ == '__main__':
    main()

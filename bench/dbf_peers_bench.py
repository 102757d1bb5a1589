#!/usr/bin/python3
"""The peers' side of the table benchmark: python3-dbf appends N draw-layout
records (YEAR, DRAW, P1..P6) to a new dBase III table, then dbfread reads
them all. Prints "<append seconds> <read seconds> <checksum>"."""
import sys
import time

import dbf
import dbfread


def main():
    path, count = sys.argv[1], int(sys.argv[2])
    layout = 'YEAR N(9,0); DRAW N(9,0); ' + '; '.join('P%d N(15,0)' % i for i in range(1, 7))
    start = time.perf_counter()
    table = dbf.Table(path, layout, dbf_type='db3')
    table.open(dbf.READ_WRITE)
    for i in range(count):
        table.append((2000 + i % 30, i + 1) + tuple((i + k) % 49 + 1 for k in range(6)))
    table.close()
    appended = time.perf_counter()
    checksum = 0
    for record in dbfread.DBF(path):
        checksum += record['DRAW'] + record['P6']
    read = time.perf_counter()
    print('%.6f %.6f %d' % (appended - start, read - appended, checksum))


if __name__ == '__main__':
    main()

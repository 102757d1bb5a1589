"""Expected listing of a draw tag, computed without our engine.

Usage: cdx_expected_order.py DATA.csv TABLE.dbf unique|all

Writes the table with python3-dbf from the CSV rows (YEAR, DRAW), reads it
back with dbfread and prints "key record" per line for the key
YEAR+(0.001*DRAW) in key order (ties by record; with "unique" only the first
record of each key), numbers as index_dump prints them (%.15g).
"""
import csv
import sys

import dbf
import dbfread

csv_path, dbf_path, mode = sys.argv[1:4]
table = dbf.Table(dbf_path, 'YEAR N(9,0); DRAW N(9,0)', dbf_type='db3')
table.open(dbf.READ_WRITE)
with open(csv_path) as rows:
    for row in csv.reader(rows):
        table.append((int(row[0]), int(row[1])))
table.close()

keys = [(r['YEAR'] + (0.001 * r['DRAW']), n)
        for n, r in enumerate(dbfread.DBF(dbf_path), start=1)]
keys.sort()
seen = None
for key, rec in keys:
    if mode == 'unique' and key == seen:
        continue
    seen = key
    print('%.15g %d' % (key, rec))

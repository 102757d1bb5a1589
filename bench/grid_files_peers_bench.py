#!/usr/bin/python3
"""The peers' side of the grid files benchmark: python's csv module reads a
CSV file whole into a list of its rows (every field kept, as the grid keeps
its cells).
Prints "<seconds> <cpu seconds> <rows> <fields>"."""
import csv
import sys
import time


def main():
    path, delimiter, encoding = sys.argv[1], sys.argv[2], sys.argv[3]
    start, cpu = time.perf_counter(), time.process_time()
    with open(path, encoding=encoding, newline='') as f:
        table = list(csv.reader(f, delimiter=delimiter))
    rows, fields = len(table), sum(len(row) for row in table)
    print('%.6f %.6f %d %d' % (time.perf_counter() - start, time.process_time() - cpu, rows, fields))


if __name__ == '__main__':
    main()

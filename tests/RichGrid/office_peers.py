#!/usr/bin/python3
"""Independent readers for the grid's spreadsheet tests.

xlrd FILE
    Every sheet of an .xls as python3-xlrd reads it: a line "sheet NAME",
    then one line per row of the sheet, its cells separated by TAB: empty,
    "n:" and the number (%.15g), "s:" and the text, "b:" and 0 or 1, "e:"
    and the error code, "d:" and the date (yyyy-mm-dd, then hh:mm unless
    midnight).
csv FILE...
    Each UTF-8 CSV file (as LibreOffice or gnumeric wrote it): a line
    "file NAME", then one line per row, its cells "t:" and the text.
Texts are UTF-8 with LF written as \\n, CR as \\r and TAB as \\t.
"""
import csv
import os
import sys


def text(s):
    return s.replace('\\', '\\\\').replace('\n', '\\n').replace('\r', '\\r').replace('\t', '\\t')


def dump_xlrd(path):
    import xlrd
    book = xlrd.open_workbook(path)
    for sheet in book.sheets():
        print('sheet ' + sheet.name)
        for r in range(sheet.nrows):
            cells = []
            for c in range(sheet.ncols):
                cell = sheet.cell(r, c)
                if cell.ctype == xlrd.XL_CELL_EMPTY or cell.ctype == xlrd.XL_CELL_BLANK:
                    cells.append('')
                elif cell.ctype == xlrd.XL_CELL_NUMBER:
                    cells.append('n:%.15g' % cell.value)
                elif cell.ctype == xlrd.XL_CELL_TEXT:
                    cells.append('s:' + text(cell.value))
                elif cell.ctype == xlrd.XL_CELL_DATE:
                    d = xlrd.xldate_as_datetime(cell.value, book.datemode)
                    cells.append('d:' + d.strftime('%Y-%m-%d' if d.time() == d.min.time() else '%Y-%m-%d %H:%M'))
                elif cell.ctype == xlrd.XL_CELL_BOOLEAN:
                    cells.append('b:%d' % cell.value)
                else:
                    cells.append('e:%d' % cell.value)
            print('\t'.join(cells).rstrip('\t'))


def dump_csv(paths):
    for path in paths:
        print('file ' + os.path.basename(path))
        with open(path, encoding='utf-8-sig', newline='') as f:
            for row in csv.reader(f):
                print('\t'.join('t:' + text(c) if c else '' for c in row).rstrip('\t'))


if __name__ == '__main__':
    if sys.argv[1] == 'xlrd':
        dump_xlrd(sys.argv[2])
    elif sys.argv[1] == 'csv':
        dump_csv(sys.argv[2:])
    else:
        sys.exit('unknown command ' + sys.argv[1])

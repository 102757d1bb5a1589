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
moments FILE
    The first sheet of an .xls by xlrd's reckoning of moments
    (xldate_as_tuple): one line per row, its cells separated by TAB: "t:"
    and hh:mm:ss for a time without a date, "d:" and yyyy-mm-dd hh:mm:ss,
    "@" and the serial (%.17g) for a date, "n:" and the number (%.17g) for
    a number or a date-formatted number that is no moment.
numbers KIND OUT DATEMODE FORMATS VALUES
    Writes a workbook of one sheet "S" whose rows are the VALUES (numbers
    separated by blanks) and whose columns are the FORMATS (number format
    codes separated by "|"; "#n" names built-in format n, "General" none),
    in the date system DATEMODE (0: 1900, 1: 1904). KIND is "biff" (an
    .xls written by hand: BIFF8 globals with DATEMODE, FORMAT and XF
    records, NUMBER cells, in a compound document), "fods" (LibreOffice's
    flat XML; date and time formats of day, month, year, hour, minute and
    second fields, "[hh]" for elapsed hours) or "gnumeric" (gnumeric's XML).
Texts are UTF-8 with LF written as \\n, CR as \\r and TAB as \\t.
"""
import csv
import os
import struct
import sys
from xml.sax.saxutils import escape


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


def dump_moments(path):
    import xlrd
    book = xlrd.open_workbook(path)
    sheet = book.sheet_by_index(0)
    for r in range(sheet.nrows):
        cells = []
        for c in range(sheet.ncols):
            cell = sheet.cell(r, c)
            if cell.ctype == xlrd.XL_CELL_DATE:
                try:
                    y, mo, d, h, mi, se = xlrd.xldate_as_tuple(cell.value, book.datemode)
                except xlrd.xldate.XLDateError:
                    cells.append('n:%.17g' % cell.value)
                    continue
                if y == 0:
                    cells.append('t:%02d:%02d:%02d' % (h, mi, se))
                else:
                    cells.append('d:%04d-%02d-%02d %02d:%02d:%02d@%.17g' % (y, mo, d, h, mi, se, cell.value))
            elif cell.ctype == xlrd.XL_CELL_NUMBER:
                cells.append('n:%.17g' % cell.value)
            else:
                cells.append('')
        print('\t'.join(cells))


def biff_numbers(datemode, formats, values):
    sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'platform', 'ole'))
    from make_hostile_seeds import bof, compound, record, sheet
    head = bof(0x0005) + record(0x0022, struct.pack('<H', datemode))
    for _ in range(5):
        head += record(0x0031, struct.pack('<HHHHHBBBBBB', 200, 0, 0x7FFF, 400, 0, 0, 0, 0, 0, 5, 0) + b'Arial')
    numbers = []  # the number format of each column
    for f in formats:
        if f == 'General':
            numbers.append(0)
        elif f.startswith('#'):
            numbers.append(int(f[1:]))
        else:
            numbers.append(164 + len(numbers))
            code = f.encode('utf-16-le')
            head += record(0x041E, struct.pack('<HHB', numbers[-1], len(f), 1) + code)
    for i in range(15 + len(numbers)):
        style = i < 15
        head += record(0x00E0, struct.pack('<HHHHHIIH', 0, 0 if style else numbers[i - 15], 0xFFF5 if style else 1,
                                           0x20, 0xF400 if style else 0x0400, 0, 0, 0x20C0))
    name = b'\x01\x00S'
    tail = record(0x000A)
    offset = len(head) + len(record(0x0085, struct.pack('<IBB', 0, 0, 0) + name)) + len(tail)
    head += record(0x0085, struct.pack('<IBB', offset, 0, 0) + name) + tail
    cells = b''.join(record(0x0203, struct.pack('<HHHd', r, c, 15 + c, v))
                     for r, v in enumerate(values) for c in range(len(formats)))
    return compound(head + sheet(cells))


def odf_style(name, code):
    """A date or time style of LibreOffice's XML for a format code of day,
    month, year, hour, minute and second fields."""
    parts, i, hours, elapsed, date = [], 0, False, False, False
    while i < len(code):
        run = len(code[i:]) - len(code[i:].lstrip(code[i]))
        c = code[i].lower()
        if code.startswith('[hh]', i):
            parts.append('<number:hours number:style="long"/>')
            hours = elapsed = True
            i += 4
            continue
        if c == 'd':
            parts.append('<number:day number:style="long"/>')
            date = True
        elif c == 'y':
            parts.append('<number:year number:style="long"/>')
            date = True
        elif c == 'h':
            parts.append('<number:hours number:style="long"/>')
            hours = True
        elif c == 's':
            parts.append('<number:seconds number:style="long"/>')
        elif c == 'm' and hours:
            parts.append('<number:minutes number:style="long"/>')
        elif c == 'm':
            parts.append('<number:month number:style="long"/>')
            date = True
        else:
            parts.append('<number:text>%s</number:text>' % escape(code[i:i + run]))
        i += run
    kind = 'date-style' if date else 'time-style'
    overflow = ' number:truncate-on-overflow="false"' if elapsed else ''
    return '<number:%s style:name="%s"%s>%s</number:%s>' % (kind, name, overflow, ''.join(parts), kind)


def fods_numbers(datemode, formats, values):
    styles = ''.join(odf_style('N%d' % i, f) + '<style:style style:name="C%d" style:family="table-cell" '
                     'style:data-style-name="N%d"/>' % (i, i) for i, f in enumerate(formats) if f != 'General')
    rows = ''.join('<table:table-row>' + ''.join(
        '<table:table-cell%s office:value-type="float" office:value="%r"/>' %
        ('' if f == 'General' else ' table:style-name="C%d"' % i, v) for i, f in enumerate(formats)) +
        '</table:table-row>' for v in values)
    null = '1904-01-01' if datemode else '1899-12-30'
    return ('<?xml version="1.0" encoding="UTF-8"?>'
            '<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0" '
            'xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0" '
            'xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0" '
            'xmlns:number="urn:oasis:names:tc:opendocument:xmlns:datastyle:1.0" office:version="1.2" '
            'office:mimetype="application/vnd.oasis.opendocument.spreadsheet">'
            '<office:automatic-styles>%s</office:automatic-styles><office:body><office:spreadsheet>'
            '<table:calculation-settings><table:null-date table:date-value="%s"/></table:calculation-settings>'
            '<table:table table:name="S">%s</table:table></office:spreadsheet></office:body></office:document>'
            % (styles, null, rows)).encode()


def gnumeric_numbers(datemode, formats, values):
    cells = ''.join('<gnm:Cell Row="%d" Col="%d" ValueType="40"%s>%r</gnm:Cell>' %
                    (r, c, '' if f == 'General' else ' ValueFormat="%s"' % escape(f, {'"': '&quot;'}), v)
                    for r, v in enumerate(values) for c, f in enumerate(formats))
    return ('<?xml version="1.0" encoding="UTF-8"?><gnm:Workbook xmlns:gnm="http://www.gnumeric.org/v10.dtd">'
            '<gnm:Calculation ManualRecalc="0" EnableIteration="1" MaxIterations="100" IterationTolerance="0.001" '
            'FloatRadix="2" FloatDigits="53" DateConvention="%s"/>'
            '<gnm:SheetNameIndex><gnm:SheetName>S</gnm:SheetName></gnm:SheetNameIndex><gnm:Sheets><gnm:Sheet>'
            '<gnm:Name>S</gnm:Name><gnm:MaxCol>%d</gnm:MaxCol><gnm:MaxRow>%d</gnm:MaxRow><gnm:Cells>%s</gnm:Cells>'
            '</gnm:Sheet></gnm:Sheets></gnm:Workbook>'
            % ('Apple:1904' if datemode else 'Lotus:1900', len(formats) - 1, len(values) - 1, cells)).encode()


def write_numbers(kind, out, datemode, formats, values):
    make = {'biff': biff_numbers, 'fods': fods_numbers, 'gnumeric': gnumeric_numbers}[kind]
    with open(out, 'wb') as f:
        f.write(make(int(datemode), formats.split('|'), [float(v) for v in values.split()]))


if __name__ == '__main__':
    if sys.argv[1] == 'xlrd':
        dump_xlrd(sys.argv[2])
    elif sys.argv[1] == 'csv':
        dump_csv(sys.argv[2:])
    elif sys.argv[1] == 'moments':
        dump_moments(sys.argv[2])
    elif sys.argv[1] == 'numbers':
        write_numbers(*sys.argv[2:7])
    else:
        sys.exit('unknown command ' + sys.argv[1])

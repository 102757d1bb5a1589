#!/usr/bin/python3
"""Independent xBase tools seen from the table tests.

  dbf_peers.py dump TABLE            dbfread's view of a table, one line each:
                                     "table <version> <hl> <rl> <count>",
                                     "field <name> <type> <length> <decimals>",
                                     "live <v1>|<v2>|..." then "deleted ...".
  dbf_peers.py make FORMAT TABLE     python3-dbf writes the sample table in
                                     FORMAT db3, fp or vfp.
  dbf_peers.py count TABLE           live + deleted records as dbfread sees them.

Values are written the way the C++ side writes them: numbers "%.17g", dates
yyyymmdd, logicals T/F (empty for none), date-times "<julian day>/<ms>",
texts with \\, |, CR and LF escaped; output is CP1251.
"""
import datetime
import struct
import sys

import dbf
import dbfread

SAMPLE = [
    # name, amount, count, when, ok, note, deleted
    ('Иванов', 12.5, 7, datetime.date(2024, 2, 29), True, 'Первая запись\r\nвторая строка', False),
    ('Smith', -0.25, 0, None, False, '', True),
    ('x' * 10, 999.99, -42, datetime.date(1999, 12, 31), None, 'long ' * 300, False),
]


def escape(text):
    return (text.replace('\\', '\\\\').replace('|', '\\|').replace('\r', '\\r').replace('\n', '\\n'))


def canon(value):
    if value is None:
        return ''
    if isinstance(value, bool):
        return 'T' if value else 'F'
    if isinstance(value, datetime.datetime):
        day = value.toordinal() + 1721425
        ms = ((value.hour * 60 + value.minute) * 60 + value.second) * 1000 + value.microsecond // 1000
        return '%d/%d' % (day, ms)
    if isinstance(value, datetime.date):
        return value.strftime('%Y%m%d')
    if isinstance(value, (int, float)) or type(value).__name__ == 'Decimal':
        return '%.17g' % float(value)
    if isinstance(value, bytes):
        return escape(value.decode('cp1251'))
    return escape(str(value))


def dump(path):
    table = dbfread.DBF(path, encoding='cp1251', load=True, char_decode_errors='strict')
    with open(path, 'rb') as f:
        head = f.read(12)
    hl = head[8] | head[9] << 8
    rl = head[10] | head[11] << 8
    lines = ['table 0x%02X %d %d %d' % (head[0], hl, rl, len(table.records) + len(table.deleted))]
    for field in table.fields:
        lines.append('field %s %s %d %d' % (field.name, field.type, field.length, field.decimal_count))
    for kind, records in (('live', table.records), ('deleted', table.deleted)):
        for record in records:
            lines.append(kind + ' ' + '|'.join(canon(v) for v in record.values()))
    sys.stdout.buffer.write(('\n'.join(lines) + '\n').encode('cp1251'))


def make(fmt, path):
    layout = 'NAME C(10); AMOUNT N(8,2); COUNT N(5,0); WHEN D; OK L; NOTE M'
    table = dbf.Table(path, layout, dbf_type=fmt, codepage='cp1251')
    table.open(dbf.READ_WRITE)
    for name, amount, count, when, ok, note, deleted in SAMPLE:
        table.append((name, amount, count, when, ok, note))
        if deleted:
            dbf.delete(table[-1])
    table.close()


def count(path):
    table = dbfread.DBF(path, encoding='cp1251', load=True)
    print(len(table.records) + len(table.deleted), len(table.deleted))


if __name__ == '__main__':
    command = sys.argv[1]
    if command == 'dump':
        dump(sys.argv[2])
    elif command == 'make':
        make(sys.argv[2], sys.argv[3])
    elif command == 'count':
        count(sys.argv[2])
    else:
        sys.exit('unknown command ' + command)

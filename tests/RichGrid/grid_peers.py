#!/usr/bin/python3
"""Independent readers and writers for the grid's file tests.

html FILE
    Parses an HTML table (CP1251) with html.parser and prints one line per
    <td>: row, column, align, bgcolor, font colour and the cell's text as
    hexadecimal CP1251 bytes (<br> gives LF, source line breaks are dropped,
    character references are decoded).
declared FILE
    The encoding an HTML file declares (a meta charset, or the charset of a
    meta http-equiv Content-Type), found by html.parser: a line "charset"
    and its name ("none" when there is none), then the lines of html above
    with the file read in that encoding (UTF-8 when none).
csv FILE DELIMITER QUOTING ENCODING TERMINATOR
    Writes sample rows with the csv module (QUOTING: minimal or all;
    TERMINATOR: crlf or lf), reads the file back with csv.reader and prints
    one line per record: its fields as hexadecimal CP1251 bytes, each LF
    inside a field without a CR before it turned into CR LF (a CR alone
    stays), '-' for an empty field.
csvdraws FILE COUNT
    Writes COUNT draw lines "yyyy.m.d;n1;...;n20" with the csv module.
"""
import csv
import html.parser
import re
import sys


class Cells(html.parser.HTMLParser):
    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.rows = []
        self.cell = None
        self.font = ''

    def handle_starttag(self, tag, attrs):
        a = dict(attrs)
        if tag == 'tr':
            self.rows.append([])
        elif tag == 'td':
            self.cell = {'align': a.get('align', '') or '', 'bgcolor': a.get('bgcolor', '') or '', 'text': ''}
            self.font = ''
        elif tag == 'font' and self.cell is not None:
            self.font = a.get('color', '')
        elif tag == 'br' and self.cell is not None:
            self.cell['text'] += '\n'

    def handle_endtag(self, tag):
        if tag == 'td' and self.cell is not None:
            self.cell['font'] = self.font
            self.rows[-1].append(self.cell)
            self.cell = None

    def handle_data(self, data):
        if self.cell is not None:
            self.cell['text'] += data.replace('\r', '').replace('\n', '')


def hexed(text):
    return text.encode('cp1251').hex() or '-'


class Charset(html.parser.HTMLParser):
    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.charset = None

    def handle_starttag(self, tag, attrs):
        a = dict(attrs)
        if tag != 'meta' or self.charset:
            return
        if a.get('charset'):
            self.charset = a['charset']
        elif (a.get('http-equiv') or '').lower() == 'content-type' and 'charset=' in (a.get('content') or ''):
            self.charset = a['content'].split('charset=')[1].strip()


def dump_declared(path):
    p = Charset()
    with open(path, encoding='latin-1', newline='') as f:
        p.feed(f.read())
    print('charset', p.charset or 'none')
    dump_html(path, p.charset or 'utf-8')


def dump_html(path, encoding='cp1251'):
    with open(path, encoding=encoding, errors='replace', newline='') as f:
        p = Cells()
        p.feed(f.read())
        p.close()
    for r, row in enumerate(p.rows):
        for c, cell in enumerate(row):
            print(r, c, cell['align'] or '-', cell['bgcolor'] or '-', cell['font'] or '-', hexed(cell['text']))


SAMPLE = [
    ['год', 'тираж', 'Номер'],
    ['2001', '1', 'простой текст'],
    ['с;точкой', 'с,запятой', 'с\tтабуляцией'],
    ['с|чертой', 'с#решёткой', 'кавычка " внутри'],
    ['"в кавычках"', '', 'две\r\nстроки'],
    ['одна\nстрока LF', 'a""b', '""""'],
    ['x', '"', 'конец'],
    ['"одна\rстрока" CR', 'таб\tи\r\nстрока', '"a\r\rb"'],
]


def write_csv(path, delimiter, quoting, encoding, terminator):
    delim = {'tab': '\t'}.get(delimiter, delimiter)
    q = {'minimal': csv.QUOTE_MINIMAL, 'all': csv.QUOTE_ALL}[quoting]
    term = {'crlf': '\r\n', 'lf': '\n'}[terminator]
    with open(path, 'w', encoding=encoding, newline='') as f:
        csv.writer(f, delimiter=delim, quoting=q, lineterminator=term).writerows(SAMPLE)
    with open(path, encoding=encoding, newline='') as f:
        for record in csv.reader(f, delimiter=delim):
            fields = []
            for field in record:
                field = re.sub('(?<!\r)\n', '\r\n', field)
                fields.append(hexed(field))
            print(' '.join(fields))


def write_draws(path, count):
    with open(path, 'w', encoding='cp1251', newline='') as f:
        w = csv.writer(f, delimiter=';', lineterminator='\r\n')
        for i in range(count):
            w.writerow(['%d.%d.%d' % (1990 + i // 104, 1 + (i // 9) % 12, 1 + i % 28)] +
                       [str(1 + (i * 7 + k * 13) % 49) for k in range(20)])


if __name__ == '__main__':
    cmd = sys.argv[1]
    if cmd == 'html':
        dump_html(sys.argv[2])
    elif cmd == 'declared':
        dump_declared(sys.argv[2])
    elif cmd == 'csv':
        write_csv(*sys.argv[2:7])
    elif cmd == 'csvdraws':
        write_draws(sys.argv[2], int(sys.argv[3]))
    else:
        sys.exit('unknown command ' + cmd)

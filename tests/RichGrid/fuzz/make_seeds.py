#!/usr/bin/python3
"""Writes the seed files of the grid's file-reader fuzz targets:
cellfile/ (the cell file) and csv/ (separated values)."""
import os

HERE = os.path.dirname(os.path.abspath(__file__))


def put(folder, name, data):
    os.makedirs(os.path.join(HERE, folder), exist_ok=True)
    with open(os.path.join(HERE, folder, name), 'wb') as f:
        f.write(data)


def cp(text):
    return text.encode('cp1251')


put('cellfile', 'rownum.ini', b'3,3\r\ncw 0,64\r\ncw 1,50\r\ncw 2,30\r\n0,0,' + cp('год') + b'\r\n1,0,' + cp('тираж') +
    b'\r\n0,1,2001\r\n1,1,a\t\x08b\r\n2,2,x\ty\r\n')
put('cellfile', 'damaged.ini',
    b'2,2\r\n\r\nnocomma\r\n-1,0,n\r\n0,-1,n\r\n5,5,far\r\nx,y,z\r\n1,1\r\ncw 1,-5\r\ncw 9,4\r\ncw,3\r\n0,1,a,b,c\r\n')
put('cellfile', 'lineends.ini', b'1,5\n0,0,a\r0,1,b\n0,2,c\x08\t\x08\r\n0,4,\t\t\x08\x08\n')
put('cellfile', 'sizeonly.ini', b'81,1\r\n' + b''.join(b'%d,0,%d\r\n' % (i, i + 1) for i in range(81)))

put('csv', 'simple.csv', b'a;b;c\r\nd;e;f\r\n')
put('csv', 'quotes.csv', b'"x;""y""";z\r\n"a\nb";"c\r\nd";"e\rf"\r\n"ab"cd;e\r\na;b;\r\n\r\n')
put('csv', 'tie.csv', b'a,b;c\nd,e;f\n')
put('csv', 'unclosed.csv', b'a\tb\tc\r\n1\t2\t3\r\n"open\t')
put('csv', 'draws.csv', b''.join(b'2001.1.%d;' % (6 + 7 * k) + b';'.join(b'%d' % (n + 20 * k) for n in range(1, 21)) +
                                 b'\r\n' for k in range(2)))
put('csv', 'oem.csv', cp('год').decode('cp1251').encode('cp866') + b';"' + 'тираж'.encode('cp866') + b'"~x\r\n')

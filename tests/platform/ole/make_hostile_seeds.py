#!/usr/bin/python3
"""Writes the hostile seed files of the spreadsheet and separated-values
fuzz targets, small forms of files that once took gigabytes:

  xls_corpus/one-sheet-many-entries.xls  100 sheet entries that all point at
      one sheet, whose only cell lies in the last row (each entry used to
      read the sheet again, a million bytes of rows each time)
  xls_corpus/one-long-shared-string.xls  257 cells that all name one shared
      string of 65,535 characters (each cell used to copy it)
  ../../RichGrid/fuzz/csv/semicolons.csv  the settings byte of the CSV
      fuzz target (delimiter ';') and 20,000 ';' on one line (a grid of
      20,000 columns; 100 MB of them used to make 104.9 million)

  make_hostile_seeds.py --full DIR  writes the shapes at the sizes first
      seen into DIR instead: dup-sheets.xls (20,000 entries, a sheet whose
      cell lies in row 7,000), shared-string.xls (21,000 cells) and
      semicolons.csv (100 MB of ';', no settings byte).

The workbooks are BIFF8 streams in a compound document of one stream, as
small as the formats allow.
"""
import os
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))


def record(kind, data=b''):
    return struct.pack('<HH', kind, len(data)) + data


def bof(kind):
    return record(0x0809, struct.pack('<HHHHII', 0x0600, kind, 0x0DBB, 0x07CC, 0, 6))


def compound(stream):
    """A compound document holding one stream "Workbook" (at least 4096
    bytes, so never in the mini stream)."""
    stream += b'\0' * (-len(stream) % 512 if len(stream) >= 4096 else 4096 - len(stream))
    data_sectors = len(stream) // 512
    fat_sectors = 1
    while (data_sectors + 1 + fat_sectors) > fat_sectors * 128:
        fat_sectors += 1
    assert fat_sectors <= 109
    directory = fat_sectors + data_sectors  # sector of the directory
    fat = []
    fat += [0xFFFFFFFD] * fat_sectors
    fat += [fat_sectors + i + 1 for i in range(data_sectors - 1)] + [0xFFFFFFFE]
    fat += [0xFFFFFFFE]
    fat += [0xFFFFFFFF] * (fat_sectors * 128 - len(fat))
    header = bytearray(512)
    header[0:8] = b'\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1'
    struct.pack_into('<HHHHH', header, 24, 0x3E, 3, 0xFFFE, 9, 6)
    struct.pack_into('<IIIIIIII', header, 44, fat_sectors, directory, 0, 4096, 0xFFFFFFFE, 0, 0xFFFFFFFE, 0)
    difat = list(range(fat_sectors)) + [0xFFFFFFFF] * (109 - fat_sectors)
    struct.pack_into('<109I', header, 76, *difat)

    def entry(name, kind, child, start, size):
        e = bytearray(128)
        raw = name.encode('utf-16-le')
        e[0:len(raw)] = raw
        struct.pack_into('<HBB', e, 64, len(raw) + 2, kind, 1)
        struct.pack_into('<III', e, 68, 0xFFFFFFFF, 0xFFFFFFFF, child)
        struct.pack_into('<II', e, 116, start, size)
        return bytes(e)

    dirsector = entry('Root Entry', 5, 1, 0xFFFFFFFE, 0) + entry('Workbook', 2, 0xFFFFFFFF, fat_sectors, len(stream))
    dirsector += b'\0' * (512 - len(dirsector))
    return bytes(header) + struct.pack('<%dI' % len(fat), *fat) + stream + dirsector


def workbook(entries, sst, sheet):
    """Globals with `entries` sheet entries all pointing at `sheet`."""
    name = b'\x01\x00S'  # one compressed character
    boundsheet = lambda offset: record(0x0085, struct.pack('<IBB', offset, 0, 0) + name)
    head = bof(0x0005)
    tail = sst + record(0x000A)
    offset = len(head) + entries * len(boundsheet(0)) + len(tail)
    return head + boundsheet(offset) * entries + tail + sheet


def sheet(cells):
    return bof(0x0010) + cells + record(0x000A)


def rk(row, col, value):
    return record(0x027E, struct.pack('<HHHI', row, col, 15, value << 2 | 2))


def dup_sheets(entries, row):
    return compound(workbook(entries, b'', sheet(rk(row, 0, 1))))


def shared_string(cells, length=65535):
    # SST: total and unique counts, then the text (compressed) in records
    # of at most 8224 bytes, each CONTINUE opening with its encoding flag.
    text = b'x' * length
    first = struct.pack('<IIHB', cells, 1, length, 0)
    room = 8224 - len(first)
    sst = record(0x00FC, first + text[:room])
    at = room
    while at < length:
        piece = text[at:at + 8223]
        sst += record(0x003C, b'\0' + piece)
        at += len(piece)
    labels = b''.join(record(0x00FD, struct.pack('<HHHI', i // 256, i % 256, 15, 0)) for i in range(cells))
    return compound(workbook(1, sst, sheet(labels)))


def put(path, data):
    with open(path, 'wb') as f:
        f.write(data)


if __name__ == '__main__':
    if len(sys.argv) == 3 and sys.argv[1] == '--full':
        out = sys.argv[2]
        put(os.path.join(out, 'dup-sheets.xls'), dup_sheets(20000, 7000))
        put(os.path.join(out, 'shared-string.xls'), shared_string(21000))
        put(os.path.join(out, 'semicolons.csv'), b';' * (100 << 20))
    else:
        put(os.path.join(HERE, 'xls_corpus', 'one-sheet-many-entries.xls'), dup_sheets(100, 65535))
        put(os.path.join(HERE, 'xls_corpus', 'one-long-shared-string.xls'), shared_string(257))
        put(os.path.join(HERE, '..', '..', 'RichGrid', 'fuzz', 'csv', 'semicolons.csv'), b'\x01' + b';' * 20000)

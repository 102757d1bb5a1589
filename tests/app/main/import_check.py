#!/usr/bin/env python3
"""Foreign draw files for the import tests, and an independent check of an
imported draw base.

  import_check.py write FILE SEED COUNT
      writes a ';'-separated draw file (CP1251, CR LF) with Python's csv
      module: a heading line, then COUNT draws from 2001.12.1 on, three days
      apart, so the years turn over; Cyrillic text in column 0 (some of it
      holding ';' or '"', so quoted), some lines quoted whole, some lines
      with fewer than 20 numbers
  import_check.py check FILE DBF
      reads FILE with the csv module and DBF with dbfread and prints "ok"
      when the table has the fields YEAR, DRAW, P1..P20 and one record per
      line after the heading: the line's year, the draw counted 1, 2, ...
      within its year, the 20 numbers (missing ones 0)
"""
import csv
import datetime
import random
import sys

import dbfread


def write(path, seed, count):
    rng = random.Random(int(seed))
    with open(path, "w", newline="", encoding="cp1251") as f:
        plain = csv.writer(f, delimiter=";", lineterminator="\r\n")
        quoted = csv.writer(f, delimiter=";", lineterminator="\r\n", quoting=csv.QUOTE_ALL)
        plain.writerow(["Номер", "Дата"] + ["Шар %d" % i for i in range(1, 21)])
        day = datetime.date(2001, 12, 1)
        for i in range(int(count)):
            label = rng.choice(["Тираж №%d", "тираж; %d-й", 'Тираж "%d"', "Ёж %d"]) % (i + 1)
            numbers = rng.sample(range(1, 81), 20)
            if rng.random() < 0.2:
                numbers = numbers[: rng.randint(0, 19)]
            row = [label, "%d.%d.%d" % (day.year, day.month, day.day)] + numbers
            (quoted if rng.random() < 0.3 else plain).writerow(row)
            day += datetime.timedelta(days=3)


def expected_records(path):
    with open(path, newline="", encoding="cp1251") as f:
        rows = list(csv.reader(f, delimiter=";"))[1:]
    records, last_year, counter = [], None, 0
    for row in rows:
        year = int(row[1].split(".")[0])
        counter = counter + 1 if year == last_year else 1
        last_year = year
        numbers = [int(x) for x in row[2:22]]
        records.append([year, counter] + numbers + [0] * (20 - len(numbers)))
    return records


def check(path, dbf):
    table = dbfread.DBF(dbf)
    names = ["YEAR", "DRAW"] + ["P%d" % i for i in range(1, 21)]
    if table.field_names != names:
        print("fields %s" % table.field_names)
        return
    records = [list(r.values()) for r in table]
    expected = expected_records(path)
    if records == expected:
        print("ok")
    elif len(records) != len(expected):
        print("%d records, expected %d" % (len(records), len(expected)))
    else:
        i = next(i for i, (r, e) in enumerate(zip(records, expected)) if r != e)
        print("record %d is %s, expected %s" % (i + 1, records[i], expected[i]))


if __name__ == "__main__":
    {"write": write, "check": check}[sys.argv[1]](*sys.argv[2:])

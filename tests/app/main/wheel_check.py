#!/usr/bin/env python3
"""Wheel files for the tests, and an independent check of an expansion.

  wheel_check.py generate FOLDER SEED COUNT
      writes COUNT valid wheel files K_N_V.lst (distinct K, positions as
      " 5" or "05") into FOLDER and prints their names
  wheel_check.py check WHEEL DBF "n1 n2 ..." YEAR
      reads the results table with dbfread and prints "ok" when record v
      is (YEAR, v + 1, chosen[pos - 1] for each position of variant v)
"""
import random
import sys

import dbfread


def generate(folder, seed, count):
    rng = random.Random(int(seed))
    for k in rng.sample(range(2, 10), int(count)):
        n = rng.randint(k, 20)
        v = rng.randint(1, 25)
        name = "%d_%d_%d.lst" % (k, n, v)
        lines = [str(k), str(n), str(v), str(rng.randint(0, 9)), str(rng.randint(0, 9))]
        for _ in range(v):
            lines.append("".join(rng.choice(("%2d", "%02d")) % rng.randint(1, n) for _ in range(k)))
        with open(folder + "/" + name, "w", newline="") as f:
            f.write("\r\n".join(lines) + "\r\n")
        print(name)


def check(wheel, dbf, chosen, year):
    chosen = [int(x) for x in chosen.split()]
    lines = open(wheel).read().splitlines()
    k, v = int(lines[0]), int(lines[2])
    variants = [[int(line[i:i + 2]) for i in range(0, 2 * k, 2)] for line in lines[5:5 + v]]
    records = [list(r.values()) for r in dbfread.DBF(dbf)]
    expected = [[int(year), d + 1] + [chosen[p - 1] for p in variant] for d, variant in enumerate(variants)]
    print("ok" if records == expected else "records %s\nexpected %s" % (records, expected))


if __name__ == "__main__":
    {"generate": generate, "check": check}[sys.argv[1]](*sys.argv[2:])

#!/usr/bin/python3
"""Engine speed with its yardsticks in one run: writes the 1,000,000-record
draw tables (vx_bench_engine_speed --make), times random Find in every index
format and the walks in record and tag order (exclusive and shared) with the
raw read of the table's bytes, runs Free Pascal's TDbf seeking its MDX tag
on the same table, and prints every figure beside its yardstick, the ratio
and the target.

Usage: engine_speed_bench.py <vx_bench_engine_speed binary> [--work=FOLDER]
           [--records=N] [--repetitions=R] [--peer-seeks=N] [--pin=CPU]
           [--before=<an earlier build of the binary>]

Each of our figures is the median of R runs (default 5), and a shared
walk's ratio the median of its ratios to the exclusive walk within each run;
the peak memory is that of a process that only opens the table and seeks
1,000,000 times. With --before, an earlier build runs the same measurements
on the same tables in turn with this one, and a column shows its figures."""
import json
import os
import re
import shutil
import statistics
import subprocess
import sys

FCL_DB = '/usr/lib/x86_64-linux-gnu/fpc/3.2.2/units/x86_64-linux/fcl-db'
HERE = os.path.dirname(os.path.abspath(__file__))

# (label, our benchmark, yardstick, kind, target): kind 'peer' compares with
# TDbf's seek, 'raw' with the raw read, 'walk' with the exclusive tag walk
# (of the same format for the WalkTag/<format>/shared rows), 'order' with the
# walk in record order (no target: the cost of reading every record from the
# file, which every shared walk pays); a Find target is also met by an
# absolute time per seek.
ROWS = [
    ('1,000,000 random Find, CDX tag', 'Find/cdx', 'peer', 100.0),
    ('1,000,000 random Find, NDX', 'Find/ndx', None, 2.0),
    ('1,000,000 random Find, MDX tag', 'Find/mdx', None, 2.0),
    ('1,000,000 random Find, NTX', 'Find/ntx', None, 2.0),
    ('walk in record order, 8 number fields', 'WalkRecordOrder', 'raw', 3.0),
    ('read by number, shared: a file read each', 'ReadByNumberShared', 'order', None),
    ('walk in tag order = physical order', 'WalkTagOrdered', 'raw', 6.0),
    ('walk in tag order, shuffled records', 'WalkTagShuffled', 'raw', 15.0),
    ('walk in tag order, shared table', 'WalkTagShared', 'walk', 1.5),
] + [('walk in tag order, shared %s' % f.upper(), 'WalkTag/%s/shared' % f, 'walk', 1.5)
     for f in ('cdx', 'ntx', 'ndx', 'mdx')]
FIND_TARGET_US = 1.1


def option(name, default):
    for a in sys.argv[2:]:
        if a.startswith('--%s=' % name):
            return a.split('=', 1)[1]
    return default


def pinned(cmd, pin):
    return (['taskset', '-c', pin] + cmd) if pin else cmd


def run_ours(binary, work, repetitions, pin, extra):
    out = subprocess.run(pinned([binary, '--folder=' + work, '--benchmark_format=json',
                                 '--benchmark_repetitions=%d' % repetitions] + extra, pin),
                         check=True, capture_output=True, text=True).stdout
    runs = {}
    for b in json.loads(out)['benchmarks']:
        if b.get('run_type') == 'aggregate':
            continue
        name = b['run_name'].split('/iterations')[0]
        runs.setdefault(name, []).append(b)
    return runs


def median_ms(runs):
    return statistics.median(b['real_time'] for b in runs)


def paired(runs, name, base):
    """The median of the ratios of name to base within each run."""
    return statistics.median(a['real_time'] / b['real_time'] for a, b in zip(runs[name], runs[base]))


def run_peer(work, table, seeks, runs, pin):
    peer = os.path.join(work, 'peer')
    os.makedirs(peer, exist_ok=True)
    subprocess.run(['fpc', '-O2', '-Fu' + FCL_DB, '-FE' + peer, os.path.join(HERE, 'cdx_peer_tdbf.pas')],
                   check=True, capture_output=True)
    times = []
    for _ in range(runs):
        for name in os.listdir(peer):
            if name.lower().endswith(('.dbf', '.mdx')):
                os.remove(os.path.join(peer, name))
        copy = os.path.join(peer, 'draws.dbf')
        shutil.copy(table, copy)
        with open(copy, 'r+b') as f:  # no structural index: TDbf makes its own MDX
            f.seek(28)
            f.write(b'\0')
        text = subprocess.run(pinned([os.path.join(peer, 'cdx_peer_tdbf'), copy, str(seeks)], pin),
                              check=True, capture_output=True, text=True).stdout
        found = int(re.search(r'found (\d+)', text).group(1))
        if found != seeks:
            sys.exit('TDbf found %d of %d keys' % (found, seeks))
        times.append(float(re.search(r'seek_us ([\d.]+)', text).group(1)))
    return statistics.median(times)


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    binary = os.path.abspath(sys.argv[1])
    work = option('work', '/tmp/vx-engine-speed')
    records = int(option('records', '1000000'))
    repetitions = int(option('repetitions', '5'))
    peer_seeks = int(option('peer-seeks', '100000'))
    pin = option('pin', '')
    before = option('before', '')
    os.makedirs(work, exist_ok=True)
    subprocess.run(pinned([binary, '--make=' + work, '--records=%d' % records], pin), check=True)

    runs, old = {}, {}
    for _ in range(repetitions):  # in turn, so that both see the same machine
        for name, rs in run_ours(binary, work, 1, pin, []).items():
            runs.setdefault(name, []).extend(rs)
        if before:
            for name, rs in run_ours(os.path.abspath(before), work, 1, pin, []).items():
                old.setdefault(name, []).extend(rs)
    memory = run_ours(binary, work, 1, pin, ['--benchmark_filter=^Find/cdx/'])['Find/cdx'][0]['peak_mib']
    peer_us = run_peer(work, os.path.join(work, 'draws.dbf'), peer_seeks, 3, pin)

    checks = {round(b['checksum']) for name, rs in runs.items() if name.startswith('Walk') for b in rs}
    founds = {int(b['found']) for name, rs in runs.items() if name.startswith('Find') for b in rs}
    if len(checks) != 1 or founds != {1000000}:
        sys.exit('walks or seeks disagree: checksums %s, found %s' % (checks, founds))

    raw = median_ms(runs['RawRead'])

    def exclusive(name):
        """The exclusive walk a shared one is measured against."""
        return name.replace('/shared', '/exclusive') if name.startswith('WalkTag/') else 'WalkTagOrdered'

    def yardstick(name, kind):
        return {'raw': 'RawRead', 'order': 'WalkRecordOrder'}.get(kind) or exclusive(name)

    def then(name, kind):
        if not old or name not in old:
            return ''
        ms = median_ms(old[name])
        if name.startswith('Find'):
            return 'before %.3f us' % (ms / 1000.0) if kind else 'before %.2f s' % (ms / 1000.0)
        ratio = paired(old, name, yardstick(name, kind)) if kind == 'walk' else ms / median_ms(old[yardstick(name, kind)])
        return 'before %.0f ms = %.2fx' % (ms, ratio)
    print('%d records, medians of %d runs; raw read of the table %.1f ms; TDbf MDX seek %.2f us '
          '(median of 3 runs of %d seeks)' % (records, repetitions, raw, peer_us, peer_seeks))
    print('%-40s %12s  %-24s %-14s %-22s %-4s %s' % ('work', 'now', 'yardstick', 'ratio', 'target', 'met',
                                                      'before' if old else ''))
    for label, name, kind, target in ROWS:
        ms = median_ms(runs[name])
        if name.startswith('Find'):
            us = ms * 1000.0 / 1000000
            now = '%.3f us each' % us if kind else '%.2f s per 1M' % (ms / 1000.0)
            if kind == 'peer':
                ratio = peer_us / us
                met = ratio >= target or us <= FIND_TARGET_US
                print('%-40s %12s  %-24s %-14s %-22s %-4s %s' % (
                    label, now, 'TDbf MDX %.2f us' % peer_us, '%.1fx faster' % ratio,
                    '>= %.0fx or <= %.1f us' % (target, FIND_TARGET_US), 'yes' if met else 'NO', then(name, kind)))
            else:
                met = ms / 1000.0 <= target
                print('%-40s %12s  %-24s %-14s %-22s %-4s %s' % (
                    label, now, '-', '-', '<= %.0f s per 1M' % target, 'yes' if met else 'NO', then(name, kind)))
            continue
        base = median_ms(runs[yardstick(name, kind)])
        base_name = {'raw': 'raw read %.1f ms', 'order': 'record order %.0f ms'}.get(kind, 'exclusive %.0f ms') % base
        ratio = ms / base
        if kind == 'walk':
            # Each run of the binary times the walk and its yardstick back to
            # back: the median of those ratios leaves out the machine's drift
            # between runs, which the ratio of the two medians keeps.
            ratio = paired(runs, name, yardstick(name, kind))
        shown = '%.2fx' % ratio + (' paired' if kind == 'walk' else '')
        goal, met = ('<= %.1fx' % target, 'yes' if ratio <= target else 'NO') if target else ('-', '-')
        print('%-40s %9.0f ms  %-24s %-14s %-22s %-4s %s' % (label, ms, base_name, shown, goal, met,
                                                             then(name, kind)))
    print('peak memory of 1,000,000 CDX seeks: %.1f MiB (bound 64 MiB)' % memory)


if __name__ == '__main__':
    main()

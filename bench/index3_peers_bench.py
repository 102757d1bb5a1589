#!/usr/bin/python3
"""NTX, NDX and MDX benchmark with its peer in one run: writes the
1,000,000-record draw table (cdx_bench_table.py), runs our benchmark (bulk
build and 1,000,000 seeks per format) and Free Pascal's TDbf (MDX tag and NDX
file on the same table, same seeks), prints all and the ratios.

Usage: index3_peers_bench.py <vx_bench_index3 binary> [work folder]"""
import json
import os
import re
import subprocess
import sys

FCL_DB = '/usr/lib/x86_64-linux-gnu/fpc/3.2.2/units/x86_64-linux/fcl-db'
HERE = os.path.dirname(os.path.abspath(__file__))


def fresh_table(work, table):
    for name in os.listdir(work):
        if name.lower().endswith(('.mdx', '.ndx', '.ntx')):
            os.remove(os.path.join(work, name))
    subprocess.run(['/usr/bin/python3', os.path.join(HERE, 'cdx_bench_table.py'), table, '1000000'], check=True)


def main():
    ours = os.path.abspath(sys.argv[1])
    work = sys.argv[2] if len(sys.argv) > 2 else '/tmp/index3bench'
    os.makedirs(work, exist_ok=True)
    table = os.path.join(work, 'draws.dbf')
    fresh_table(work, table)
    out = subprocess.run([ours, '--benchmark_format=json'], check=True, capture_output=True, text=True,
                         env=dict(os.environ, VX_CDX_BENCH_DBF=table)).stdout
    results = {b['name'].split('/')[0]: b for b in json.loads(out)['benchmarks']}

    subprocess.run(['fpc', '-O2', '-Fu' + FCL_DB, '-FE' + work, os.path.join(HERE, 'index3_peer_tdbf.pas')],
                   check=True, capture_output=True)
    peer = {}
    for kind in ('mdx', 'ndx'):
        fresh_table(work, table)
        text = subprocess.run([os.path.join(work, 'index3_peer_tdbf'), table, kind], check=True,
                              capture_output=True, text=True).stdout
        peer[kind] = (float(re.search(r'build_ms (\d+)', text).group(1)),
                      float(re.search(r'seek_ms (\d+)', text).group(1)),
                      int(re.search(r'found (\d+)', text).group(1)))

    for fmt in ('Ntx', 'Ndx', 'Mdx'):
        build = results['BM_%sBulkBuildDrawTag' % fmt]['real_time']
        seek = results['BM_%sRandomSeeks' % fmt]['real_time']
        found = int(results['BM_%sRandomSeeks' % fmt].get('found', 0))
        line = '%s: bulk build %.0f ms, 1,000,000 seeks %.0f ms (found %d)' % (fmt.upper(), build, seek, found)
        if fmt.lower() in peer:
            pb, ps, pf = peer[fmt.lower()]
            line += '; TDbf %.0f ms, %.0f ms (found %d); ratios %.1fx, %.1fx' % (pb, ps, pf, pb / build, ps / seek)
        print(line)


if __name__ == '__main__':
    main()

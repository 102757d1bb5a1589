#!/usr/bin/python3
"""Index benchmark with its peer in one run: writes the 1,000,000-record draw
table, runs our benchmark (bulk build of the CDX tag, 1,000,000 seeks) and
Free Pascal's TDbf (MDX tag on the same table, same seeks), prints both and
the ratios.

Usage: cdx_peers_bench.py <vx_bench_index binary> [work folder]"""
import json
import os
import re
import subprocess
import sys

FCL_DB = '/usr/lib/x86_64-linux-gnu/fpc/3.2.2/units/x86_64-linux/fcl-db'
HERE = os.path.dirname(os.path.abspath(__file__))


def main():
    ours = os.path.abspath(sys.argv[1])
    work = sys.argv[2] if len(sys.argv) > 2 else '/tmp/cdxbench'
    os.makedirs(work, exist_ok=True)
    table = os.path.join(work, 'draws.dbf')
    subprocess.run(['/usr/bin/python3', os.path.join(HERE, 'cdx_bench_table.py'), table, '1000000'], check=True)
    out = subprocess.run([ours, '--benchmark_format=json'], check=True, capture_output=True, text=True,
                         env=dict(os.environ, VX_CDX_BENCH_DBF=table)).stdout
    results = {b['name'].split('/')[0]: b for b in json.loads(out)['benchmarks']}
    build_ms = results['BM_CdxBulkBuildDrawTag']['real_time']
    seek_ms = results['BM_CdxRandomSeeks']['real_time']

    subprocess.run(['fpc', '-O2', '-Fu' + FCL_DB, '-FE' + work, os.path.join(HERE, 'cdx_peer_tdbf.pas')],
                   check=True, capture_output=True)
    for name in os.listdir(work):  # a fresh table without the peer's MDX
        if name.lower().endswith('.mdx'):
            os.remove(os.path.join(work, name))
    subprocess.run(['/usr/bin/python3', os.path.join(HERE, 'cdx_bench_table.py'), table, '1000000'], check=True)
    peer = subprocess.run([os.path.join(work, 'cdx_peer_tdbf'), table], check=True, capture_output=True,
                          text=True).stdout
    peer_build = float(re.search(r'build_ms (\d+)', peer).group(1))
    peer_seek = float(re.search(r'seek_ms (\d+)', peer).group(1))
    print('bulk build, 1,000,000 records: ours %.0f ms (CDX), TDbf %.0f ms (MDX), ratio %.1fx'
          % (build_ms, peer_build, peer_build / build_ms))
    print('1,000,000 random seeks:        ours %.0f ms (CDX), TDbf %.0f ms (MDX), ratio %.1fx'
          % (seek_ms, peer_seek, peer_seek / seek_ms))


if __name__ == '__main__':
    main()

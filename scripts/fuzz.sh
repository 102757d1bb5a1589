#!/usr/bin/env bash
# Runs every fuzz program of the project under libFuzzer for a given time
# and prints the coverage each reached (edges and features) and whether it
# found a fault.
#
#   scripts/fuzz.sh [--no-build] [--build DIR] [--fresh] [--jobs N] SECONDS [NAME-PATTERN]
#
# Installs what is missing (setup.sh --fuzz) and builds the 'fuzz' flavour
# first (scripts/build.sh fuzz: clang, sanitizers, every library
# instrumented) unless --no-build is given; --build names
# another build folder of that flavour. Each program runs with the options
# and checked-in corpus of its ctest test (label "fuzz"); what it finds is
# kept in <build>/fuzz/<name>, which --fresh empties first so the figures
# start from the checked-in corpus alone. Faults and their inputs go to
# <build>/fuzz-artifacts, the output of each run to <build>/fuzz-logs.
# --jobs runs that many programs at once (default 1). The exit status is
# non-zero when any program failed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/fuzz"
do_build=1
fresh=0
jobs=1
while [ $# -gt 0 ]; do
  case "$1" in
    --no-build) do_build=0; shift ;;
    --build) build=$(cd "$2" && pwd); shift 2 ;;
    --fresh) fresh=1; shift ;;
    --jobs) jobs=$2; shift 2 ;;
    -*) echo "unknown option $1" >&2; exit 2 ;;
    *) break ;;
  esac
done
if [ $# -lt 1 ]; then
  echo "usage: fuzz.sh [--no-build] [--build DIR] [--fresh] [--jobs N] SECONDS [NAME-PATTERN]" >&2
  exit 2
fi
seconds=$1
pattern=${2:-.}
if [ "$do_build" = 1 ]; then
  "$root/scripts/setup.sh" --fuzz
  "$root/scripts/build.sh" fuzz
fi

cd "$build"
tests=$(mktemp)
trap 'rm -f "$tests"' EXIT
ctest --show-only=json-v1 -L fuzz -R "$pattern" > "$tests"
python3 - "$build" "$seconds" "$fresh" "$jobs" "$tests" <<'EOF'
import concurrent.futures, json, os, re, shutil, subprocess, sys

build, seconds, fresh, jobs = sys.argv[1], int(sys.argv[2]), sys.argv[3] == "1", int(sys.argv[4])
tests = json.load(open(sys.argv[5]))["tests"]
if not tests:
    sys.exit("no fuzz tests found in " + build)
logs = os.path.join(build, "fuzz-logs")
artifacts = os.path.join(build, "fuzz-artifacts")
os.makedirs(logs, exist_ok=True)
os.makedirs(artifacts, exist_ok=True)

def run(test):
    name, command = test["name"], test["command"]
    program, args = command[0], command[1:]
    options = [a for a in args if a.startswith("-") and not a.startswith("-max_total_time=")]
    folders = [a for a in args if not a.startswith("-")]
    found = os.path.join(build, "fuzz", name)
    if fresh:
        shutil.rmtree(found, ignore_errors=True)
    os.makedirs(found, exist_ok=True)
    # libFuzzer adds what it finds to the first folder: never the checked-in corpus.
    folders = [found] + [f for f in folders if os.path.abspath(f) != found]
    line = [program, f"-max_total_time={seconds}", "-print_final_stats=1",
            f"-artifact_prefix={artifacts}/{name}-"] + options + folders
    with open(os.path.join(logs, name + ".log"), "w") as log:
        result = subprocess.run(line, stdout=log, stderr=subprocess.STDOUT)
    text = open(os.path.join(logs, name + ".log"), errors="replace").read()
    cov = re.findall(r"\bcov: (\d+) ft: (\d+)", text)
    runs = re.findall(r"stat::number_of_executed_units: (\d+)", text)
    edges, features = cov[-1] if cov else ("?", "?")
    return name, edges, features, runs[-1] if runs else "?", result.returncode

failed = False
with concurrent.futures.ThreadPoolExecutor(max_workers=jobs) as pool:
    results = list(pool.map(run, tests))
print(f"{'fuzz program':28} {'edges':>7} {'features':>9} {'runs':>10}  result ({seconds} s each)")
for name, edges, features, runs, code in results:
    failed = failed or code != 0
    print(f"{name:28} {edges:>7} {features:>9} {runs:>10}  {'ok' if code == 0 else 'FAILED, see fuzz-logs/' + name + '.log'}")
sys.exit(1 if failed else 0)
EOF

#!/usr/bin/env bash
# Runs every benchmark program of bench/ (each bench_*.cpp there is one) in a
# Release build in build/release, each with interleaved repetitions, and
# rewrites the README's benchmark table (between <!-- bench:begin --> and
# <!-- bench:end -->) from that one run, with the load average beside it.
#
# Usage: scripts/bench.sh [--reps N] [--no-readme]
#   --reps N      repetitions per benchmark (default 9, at least 9 for the README)
#   --no-readme   print the table instead of writing it into README.md
#
# Rows come from the benchmark names, as bench/README.md describes:
# "<case>/ours[/args]" beside "<case>/<baseline>[/args]" in the same program
# makes one row per baseline with the ratio ours / baseline of the median CPU
# times; a counter "target_vs_<baseline>" on the ours benchmark is that
# row's target ratio (at most). Names of any other form get a row of their
# own, so nothing that runs is left out. A bench_*.cpp without a program
# fails the build step: a missing baseline is an error, never a skip.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/release"
reps=9
readme=1
while [ $# -gt 0 ]; do
  case "$1" in
    --reps) reps="$2"; shift 2 ;;
    --no-readme) readme=0; shift ;;
    *) echo "bench.sh: unknown option '$1'" >&2; exit 2 ;;
  esac
done
if [ "$readme" -eq 1 ] && [ "$reps" -lt 9 ]; then
  echo "bench.sh: the README table needs at least 9 repetitions" >&2
  exit 2
fi

programs=()
for source in "$root"/bench/bench_*.cpp; do programs+=("$(basename "$source" .cpp)"); done

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVC_BUILD_BENCH=ON -DVC_BUILD_TESTS=OFF \
  -DVC_BUILD_EXAMPLES=OFF -DVC_BUILD_PYTHON=OFF -DVC_BUILD_CAIRO=ON -DVC_BUILD_QT=ON >/dev/null
cmake --build "$build" -j2 --target "${programs[@]}"

results="$build/bench-results"
rm -rf "$results"
mkdir -p "$results"
read -r load1 load5 load15 _ </proc/loadavg
echo "load average before: $load1 $load5 $load15" | tee "$results/load"
for p in "${programs[@]}"; do
  echo "== $p"
  "$build/bench/$p" --benchmark_repetitions="$reps" --benchmark_enable_random_interleaving=true \
    --benchmark_report_aggregates_only=true --benchmark_out="$results/$p.json" --benchmark_out_format=json
done
read -r load1 load5 load15 _ </proc/loadavg
echo "load average after: $load1 $load5 $load15" | tee -a "$results/load"

/usr/bin/python3 - "$results" "$reps" "$readme" "$root/README.md" "${programs[@]}" <<'EOF'
import json, re, sys

results, reps, write, readme, programs = sys.argv[1], int(sys.argv[2]), sys.argv[3] == "1", sys.argv[4], sys.argv[5:]
STANDARD = {"name", "family_index", "per_family_instance_index", "run_name", "run_type", "repetitions",
            "repetition_index", "threads", "aggregate_name", "aggregate_unit", "iterations", "real_time",
            "cpu_time", "time_unit", "bytes_per_second", "items_per_second", "label", "error_occurred",
            "error_message"}
IMPL = re.compile(r"^[a-z][a-z0-9_]*$")

def fmt_time(ns):
    for unit, scale in (("s", 1e9), ("ms", 1e6), ("µs", 1e3)):
        if ns >= scale:
            return f"{ns / scale:.3g} {unit}"
    return f"{ns:.3g} ns"

def fmt_num(v):
    return f"{v:.3g}" if isinstance(v, float) else str(v)

def fmt_factor(x):
    return f"{x:,.0f}" if x >= 10 else f"{x:.2f}"

TO_NS = {"ns": 1.0, "us": 1e3, "ms": 1e6, "s": 1e9}
rows = []
for program in programs:
    with open(f"{results}/{program}.json") as f:
        data = json.load(f)
    cases = {}  # key -> {"ours": entry, "baselines": [(name, entry)]}
    order = []
    for b in data["benchmarks"]:
        if b.get("run_type") != "aggregate" or b.get("aggregate_name") != "median":
            continue
        if b.get("error_occurred"):
            sys.exit(f"bench.sh: {program} {b['run_name']} failed: {b.get('error_message')}")
        b["ns"] = b["cpu_time"] * TO_NS[b["time_unit"]]
        parts = b["run_name"].split("/")
        if len(parts) >= 2 and IMPL.match(parts[1]):
            key, impl = "/".join([parts[0]] + parts[2:]), parts[1]
        else:
            key, impl = b["run_name"], "ours"
        if key not in cases:
            cases[key] = {"ours": None, "baselines": []}
            order.append(key)
        if impl == "ours":
            cases[key]["ours"] = b
        else:
            cases[key]["baselines"].append((impl, b))
    # In the order the program declares its cases, whatever order the interleaved run took.
    def declared(key):
        c = cases[key]
        b = c["ours"] or c["baselines"][0][1]
        return (b.get("family_index", 0), b.get("per_family_instance_index", 0))
    for key in sorted(order, key=declared):
        ours, baselines = cases[key]["ours"], cases[key]["baselines"]
        if ours is None:
            for impl, b in baselines:
                rows.append((program, f"{key} ({impl})", fmt_time(b["ns"]), "—", "—", "—", ""))
            continue
        counters = ", ".join(f"{k} {fmt_num(v)}" for k, v in ours.items()
                             if k not in STANDARD and k != "ns" and not k.startswith("target_vs_"))
        if not baselines:
            rows.append((program, key, fmt_time(ours["ns"]), "—", "—", "—", counters))
        for impl, b in baselines:
            ratio = ours["ns"] / b["ns"]
            shown = f"{ratio:.2f}×" if ratio >= 1 else f"{ratio:.2g}× ({fmt_factor(1 / ratio)}× faster)"
            target = ours.get(f"target_vs_{impl}")
            goal = "—" if target is None else f"≤ {target:g}× {'met' if ratio <= target else 'MISSED'}"
            rows.append((program, key, fmt_time(ours["ns"]), f"{impl}: {fmt_time(b['ns'])}", shown, goal, counters))

with open(f"{results}/load") as f:
    loads = [line.split(": ")[1].strip() for line in f]
table = [f"Load average (1, 5, 15 min) before the run: {loads[0]}; after: {loads[1]}. Medians of {reps} interleaved",
         "repetitions of CPU time; ratio = ours / baseline in the same program and run.", "",
         "| Program | Case | Ours | Baseline | Ratio | Target | Counters (ours) |",
         "|---|---|---|---|---|---|---|"]
table += ["| " + " | ".join(r) + " |" for r in rows]
text = "\n".join(table) + "\n"
if not write:
    print(text)
    sys.exit(0)
with open(readme) as f:
    old = f.read()
begin, end = "<!-- bench:begin -->\n", "<!-- bench:end -->"
if old.count(begin) != 1 or old.count(end) != 1:
    sys.exit("bench.sh: README.md needs one '<!-- bench:begin -->' and one '<!-- bench:end -->' line")
head, rest = old.split(begin)
_, tail = rest.split(end)
with open(readme, "w") as f:
    f.write(head + begin + text + end + tail)
print(text)
EOF

"""Turns bench/run's measurements into its Markdown tables and checks them.

    python3 report.py MEASUREMENTS.tsv EXPECTED_ROWS

Each line of MEASUREMENTS.tsv is one run of one program, tab-separated:
    group  configuration  program  seconds  peak_rss_kb  rows  status
group "drivers" rows make the comparison table (one block per driver
configuration, ratios to that configuration's floor); group "scaling" rows
(configuration = the row count asked for) make the scaling table. A status
"skip: REASON" marks a program that is not installed.

The exit status is 1 when any program failed or returned a row count other
than the one asked for: the table is only worth reading when every program
moved the same rows. Timings are never checked.
"""
import collections
import statistics
import sys

# The programs in the order the table shows them.
PROGRAMS = ["floor", "floor, worker thread", "vodbc-batch", "vodbc-batch --dry-run", "isql",
            "pyodbc", "R RODBC", "native"]


def read(path):
    runs = collections.defaultdict(list)
    order = []
    with open(path) as f:
        for line in f:
            group, config, program, seconds, rss, rows, status = line.rstrip("\n").split("\t")
            key = (group, config, program)
            if key not in runs:
                order.append(key)
            runs[key].append((float(seconds), int(rss), int(rows), status))
    # Configurations in the order they ran, programs in the table's order.
    configs = list(dict.fromkeys(config for _, config, _ in order))
    order.sort(key=lambda k: (k[0], configs.index(k[1]), PROGRAMS.index(k[2])))
    return runs, order


def problems(runs, expected_rows):
    found = []
    for (group, config, program), results in runs.items():
        want = int(config) if group == "scaling" else expected_rows
        for seconds, rss, rows, status in results:
            if status.startswith("skip"):
                continue
            if status != "ok":
                found.append(f"{config} / {program}: {status}")
            elif rows != want:
                found.append(f"{config} / {program}: {rows} rows, expected {want}")
    return found


def summary(results):
    times = [r[0] for r in results]
    rss = [r[1] for r in results]
    return statistics.median(times), min(times), max(times), statistics.median(rss) / 1024


def drivers_table(runs, order):
    print("| driver | program | seconds (median) | range | × floor | peak RSS | RSS − floor |")
    print("|---|---|---|---|---|---|---|")
    for group, config, program in order:
        if group != "drivers":
            continue
        results = runs[(group, config, program)]
        status = results[0][3]
        if status.startswith("skip"):
            print(f"| {config} | {program} | {status} | | | | |")
            continue
        median, low, high, rss = summary(results)
        floor = runs.get((group, config, "floor"))
        ratio = rss_over = ""
        if floor and not floor[0][3].startswith("skip"):
            floor_median, _, _, floor_rss = summary(floor)
            ratio = f"{median / floor_median:.2f}×"
            rss_over = f"{rss - floor_rss:+.0f} MB"
        print(f"| {config} | {program} | {median:.3f} s | {low:.3f}–{high:.3f} | {ratio} "
              f"| {rss:.0f} MB | {rss_over} |")


def scaling_table(runs, order):
    sizes = sorted({int(config) for group, config, _ in order if group == "scaling"})
    if not sizes:
        return
    print()
    print("| rows | floor | vodbc-batch | × floor | vodbc-batch time ratio | rows ratio |")
    print("|---|---|---|---|---|---|")
    base = None
    for size in sizes:
        floor = summary(runs[("scaling", str(size), "floor")])[0]
        batch = summary(runs[("scaling", str(size), "vodbc-batch")])[0]
        base = base or (size, batch)
        print(f"| {size} | {floor:.3f} s | {batch:.3f} s | {batch / floor:.2f}× "
              f"| {batch / base[1]:.2f} | {size / base[0]:.2f} |")


def main():
    runs, order = read(sys.argv[1])
    drivers_table(runs, order)
    scaling_table(runs, order)
    found = problems(runs, int(sys.argv[2]))
    for problem in found:
        print(f"FAILED: {problem}", file=sys.stderr)
    sys.exit(1 if found else 0)


main()

#!/usr/bin/env python3
"""Turns the raw results of bench/run.sh into the table and the breakdowns.

    report.py RESULTS_DIR [--docs docs/performance.md]

Every figure comes from a file of RESULTS_DIR; nothing is assumed.
"""
import argparse
import json
import os
import platform
import re
import statistics
import subprocess
import sys

SIZE_GOAL = 44 * 1024
OPEN_GOAL = 1.05
DIALOG_GOAL = 1.2
LINEAR_GOAL = 40.0


def read_runs(path, series):
    """Lines "series round name ms ok desktop" of one series, in run order."""
    runs = []
    with open(path) as f:
        for line in f:
            fields = line.split()
            if len(fields) == 6 and fields[0] == series:
                _, round_, name, ms, ok, desktop = fields
                runs.append((int(round_), name, float(ms), ok == "1", desktop))
    return runs


def timing(path, series):
    """Medians per program, and the runs of each round."""
    runs = read_runs(path, series)
    good, failed, rounds = {}, {}, {}
    for round_, name, ms, ok, _ in runs:
        good.setdefault(name, [])
        failed.setdefault(name, 0)
        if ok:
            good[name].append(ms)
        else:
            failed[name] += 1
        rounds.setdefault(round_, {})[name] = ms if ok else None
    # The desktop should be one process for the whole series; a new one
    # means some run may have paid for starting it.
    desktops = len({d for *_, d in runs})
    return {"runs": good, "failed": failed, "rounds": list(rounds.values()),
            "desktops": desktops,
            "median": {n: statistics.median(v) for n, v in good.items() if v}}


def ratio(t, a, b):
    """a over b: the ratio of the medians, the median of the per-round
    ratios and the ratio of the fastest runs (load from other work only ever
    adds time, so the fastest runs are the least disturbed); Nones when a
    program has no successful run."""
    m = t["median"]
    if a not in m or b not in m:
        return None, None, None
    per_round = [r[a] / r[b] for r in t["rounds"] if r.get(a) and r.get(b)]
    return (m[a] / m[b], statistics.median(per_round) if per_round else None,
            min(t["runs"][a]) / min(t["runs"][b]))


def sizes(path):
    out = {}
    with open(path) as f:
        for line in f:
            name, size = line.rsplit(None, 1)
            out[os.path.basename(name)] = int(size)
    return out


def sections(path):
    rows = []
    with open(path) as f:
        for line in f:
            m = re.match(r"\s*\d+\s+(\S+)\s+([0-9a-f]{8})\s", line)
            if m:
                rows.append((m.group(1), int(m.group(2), 16)))
    return rows


def symbols(path, count):
    """The largest functions and read-only data, as nm -S sorts them."""
    rows = []
    with open(path) as f:
        for line in f:
            parts = line.rstrip("\n").split(" ", 3)
            if len(parts) == 4 and parts[2] in "TtRr":
                rows.append((int(parts[1], 16), parts[2], parts[3]))
    rows.sort(key=lambda r: -r[0])
    return rows[:count]


def map_contributions(path):
    """Bytes each input file puts into each output section, from the map."""
    owners = {}
    started = False
    pending = None
    pattern = re.compile(r"^\s+0x([0-9a-f]+)\s+0x([0-9a-f]+)\s+(\S.*)$")
    with open(path) as f:
        for line in f:
            if line.startswith("Linker script and memory map"):
                started = True
                continue
            if not started:
                continue
            head = re.match(r"^ (\.[A-Za-z]+)\S*(.*)$", line)
            if head:
                pending = head.group(1)
                rest = head.group(2)
                if not rest.strip():
                    continue
                line = rest
            elif pending is None:
                continue
            m = pattern.match(line)
            if not m or pending is None:
                pending = None
                continue
            address, size, owner = int(m.group(1), 16), int(m.group(2), 16), m.group(3)
            if address and size and not owner.startswith("*"):
                m2 = re.search(r"([^/]+\.a)\(", owner)
                key = m2.group(1) if m2 else os.path.basename(owner)
                owners.setdefault(key, {}).setdefault(pending, 0)
                owners[key][pending] += size
            pending = None
    return owners


def splitter(path):
    with open(path) as f:
        data = json.load(f)
    medians = {}
    for b in data["benchmarks"]:
        if b.get("aggregate_name") != "median":
            continue
        name, arg = b["run_name"].split("/")
        medians[(name, int(arg))] = b
    return data.get("context", {}), medians


def read_load(path):
    try:
        with open(path) as f:
            return " ".join(f.read().split()[:3])
    except OSError:
        return "?"


def read_line(path):
    try:
        with open(path) as f:
            return f.read().strip()
    except OSError:
        return "?"


def fmt(x, digits=1):
    return "-" if x is None else f"{x:,.{digits}f}"


def met(ok):
    return "yes" if ok else "NO"


def build_table(res):
    rows = []
    for key, label, goal in (
        ("open", "OpenMode: start to exit, median ms", OPEN_GOAL),
        ("select", "OpenMode /select: start to exit, median ms", OPEN_GOAL),
        ("dialog", "InstallMode: start to filled dialog, median ms", DIALOG_GOAL),
    ):
        t = res[key]
        r = ratio(t, "tessaro", "floor")[0]
        m = t["median"]
        if r is None:
            rows.append([label, "-", "-", "-", f"<= {goal}", "NO (no runs)"])
            continue
        ok = r <= goal and not t["failed"].get("tessaro")
        rows.append([label, fmt(m["tessaro"]), fmt(m["floor"]), fmt(r, 3), f"<= {goal}",
                     met(ok)])
        d = ratio(t, "tessaro", "plus")[0]
        if d is not None:
            rows.append([f"  same, {PROGRAMS[key]['plus']} (no goal)", fmt(m["tessaro"]),
                         fmt(m["plus"]), fmt(d, 3), "-", "-"])
        # Windows Installer's lookup has no floor: its time stands beside
        # the ordinary shortcut's.
        adv = res["advertised"]["median"].get("tessaro")
        if key == "open":
            rows.append(["  same, an advertised shortcut (no floor)",
                         fmt(adv) if adv is not None else "NO (no runs)", "-", "-", "-", "-"])
    s = res["sizes"]
    exe, empty = s["tessaro.exe"], s["floor_empty.exe"]
    rows.append(["Size: tessaro.exe stripped, bytes", f"{exe:,}", f"{empty:,}",
                 fmt(exe / empty, 2), f"<= {SIZE_GOAL:,}", met(exe <= SIZE_GOAL)])
    _, m = res["split"]
    for name, label in (("BM_SplitPlain", "plain"), ("BM_SplitDoubleByte", "double-byte")):
        small, large = m[(name, 1024)], m[(name, 32768)]
        r = large["cpu_time"] / small["cpu_time"]
        rows.append([f"Splitter {label}: 32 KiB line, ns/call (floor: 1 KiB)",
                     fmt(large["cpu_time"], 0), fmt(small["cpu_time"], 0), fmt(r, 1),
                     f"<= {LINEAR_GOAL:.0f}", met(r <= LINEAR_GOAL)])
    allocs = [m[(n, a)]["allocs_per_call"] for n in ("BM_SplitPlain", "BM_SplitDoubleByte")
              for a in (1024, 8192, 32768)]
    exact = all(a == 1.0 for a in allocs)
    shown = "1" if exact else ", ".join(fmt(a, 2) for a in allocs)
    rows.append(["Splitter: allocations per call (all six)", shown, "1", "-", "= 1",
                 met(exact)])
    return rows


def render(rows, markdown):
    head = ["figure", "tessaro", "floor", "ratio", "goal", "met"]
    if markdown:
        lines = ["| " + " | ".join(head) + " |", "|" + "---|" * len(head)]
        lines += ["| " + " | ".join(r) + " |" for r in rows]
        return "\n".join(lines)
    widths = [max(len(r[i]) for r in [head] + rows) for i in range(len(head))]
    def line(r):
        return "  ".join(c.ljust(w) if i == 0 else c.rjust(w)
                         for i, (c, w) in enumerate(zip(r, widths)))
    return "\n".join([line(head), line(["-" * w for w in widths])] + [line(r) for r in rows])


PROGRAMS = {
    "open": {"tessaro": "tessaro.exe", "floor": "floor", "plus": "floor + InitCommonControls"},
    "select": {"tessaro": "tessaro.exe", "floor": "floor", "plus": "floor + InitCommonControls"},
    "dialog": {"tessaro": "tessaro.exe", "floor": "floor", "plus": "floor + shell icons"},
    "advertised": {"tessaro": "tessaro.exe"},
}


def details(res):
    out = []
    for key, label in (("open", "OpenMode"), ("select", "OpenMode /select"),
                       ("dialog", "InstallMode"), ("advertised", "OpenMode, advertised shortcut")):
        t = res[key]
        for who, title in PROGRAMS[key].items():
            r = t["runs"].get(who, [])
            failed = t["failed"].get(who, 0)
            if r:
                q = statistics.quantiles(r, n=4) if len(r) > 1 else [r[0]] * 3
                out.append(f"{label}, {title}: {len(r)} runs, median {fmt(statistics.median(r))}"
                           f" ms, quartiles {fmt(q[0])}..{fmt(q[2])}, min {fmt(min(r))},"
                           f" max {fmt(max(r))}, failed {failed}")
            else:
                out.append(f"{label}, {title}: no successful run, failed {failed}")
        for a, b in (("tessaro", "floor"), ("plus", "floor"), ("tessaro", "plus")):
            r, per_round, low = ratio(t, a, b)
            if r is not None:
                out.append(f"{label}: {PROGRAMS[key][a]} / {PROGRAMS[key][b]}: ratio of medians"
                           f" {fmt(r, 3)}, median of per-round ratios {fmt(per_round, 3)},"
                           f" ratio of minima {fmt(low, 3)}")
        if t["desktops"] > 1:
            out.append(f"{label}: WARNING: the desktop process changed during the series"
                       f" ({t['desktops']} different ones)")
    return out


def size_breakdown(res):
    out = ["Sections of tessaro.exe (bytes; .bss takes no file space):"]
    for name, size in res["sections"]:
        out.append(f"  {name:8} {size:7,}")
    sz = res["sizes"]
    out.append(f"Files: empty GUI exe {sz['floor_empty.exe']:,}; the same with the C runtime's"
               f" start-up {sz['floor_empty_crt.exe']:,}; OpenMode floor"
               f" {sz['floor_open.exe']:,}; dialog floor {sz['floor_dialog.exe']:,}")
    out.append("Sections of the empty GUI exe:")
    for name, size in res["sections_empty"]:
        out.append(f"  {name:8} {size:7,}")
    owners = res["map"]
    groups = {}
    for owner, parts in owners.items():
        for section, size in parts.items():
            if section == ".bss":
                continue
            if section == ".idata":
                group = "import tables"
            elif section == ".rsrc":
                group = "resources"
            elif owner.startswith("libtessaro_") or owner.endswith(".obj"):
                group = "tessaro's code and constants"
            else:
                group = "runtime pieces (libgcc, import thunks)"
            groups[group] = groups.get(group, 0) + size
    placed = sum(groups.values())
    groups["headers, padding to the 512-byte file alignment, unattributed"] = (
        res["sizes"]["tessaro.exe"] - placed)
    out.append("tessaro.exe by kind (bytes):")
    for group, size in sorted(groups.items(), key=lambda g: -g[1]):
        out.append(f"  {size:7,}  {group}")
    out.append("Input files by bytes placed (.text / .rdata / .data / .idata), from the map:")
    def total(o):
        return sum(v for k, v in owners[o].items() if k != ".bss")
    for o in sorted(owners, key=lambda o: -total(o))[:14]:
        parts = owners[o]
        out.append(f"  {total(o):6,}  {o}  (" +
                   ", ".join(f"{k} {v:,}" for k, v in sorted(parts.items()) if k != ".bss")
                   + ")")
    out.append("Largest functions and constant data (unstripped link):")
    for size, kind, name in res["symbols"]:
        out.append(f"  {size:6,} {kind} {name}")
    return out


def machine():
    cpu = "unknown"
    with open("/proc/cpuinfo") as f:
        for line in f:
            if line.startswith("model name"):
                cpu = line.split(":", 1)[1].strip()
                break
    cores = os.cpu_count()
    try:
        mem = os.sysconf("SC_PAGE_SIZE") * os.sysconf("SC_PHYS_PAGES") / 2**30
    except (ValueError, OSError):
        mem = 0
    distro = ""
    if os.path.exists("/etc/debian_version"):
        with open("/etc/debian_version") as f:
            distro = "Debian " + f.read().strip()
    return cpu, cores, mem, distro, platform.release()


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("results")
    ap.add_argument("--docs")
    a = ap.parse_args()
    d = a.results
    res = {
        "open": timing(os.path.join(d, "runs.txt"), "open"),
        "select": timing(os.path.join(d, "runs.txt"), "select"),
        "dialog": timing(os.path.join(d, "runs.txt"), "dialog"),
        "advertised": timing(os.path.join(d, "runs.txt"), "advertised"),
        "sizes": sizes(os.path.join(d, "sizes.txt")),
        "sections": sections(os.path.join(d, "sections.txt")),
        "sections_empty": sections(os.path.join(d, "sections-empty.txt")),
        "symbols": symbols(os.path.join(d, "symbols.txt"), 12),
        "map": map_contributions(os.path.join(d, "tessaro.map")),
        "split": splitter(os.path.join(d, "split.json")),
        "load_start": read_load(os.path.join(d, "load-start.txt")),
        "load_end": read_load(os.path.join(d, "load-end.txt")),
        "date": read_line(os.path.join(d, "date.txt")),
        "case": read_line(os.path.join(d, "case.txt")),
    }
    with open(os.path.join(d, "wine-version.txt")) as f:
        wine = f.read().strip()
    rows = build_table(res)
    print(f"Case: {res['case']}")
    print(render(rows, markdown=False))
    print()
    for line in details(res):
        print(line)
    print()
    for line in size_breakdown(res):
        print(line)
    if a.docs:
        write_docs(a.docs, res, rows, wine)
        print(f"\nwrote {a.docs}")
    return 0


WHY = {
    "open": (
        "OpenMode", "InitCommonControls",
        "The plus variant loads comctl32.dll, whose process attach under Wine registers its"
        " window classes, and user32's with them; tessaro loads it only for its dialog, so an"
        " OpenMode run no longer pays it and the plus row shows what that saves. What tessaro"
        " adds to the floor is its own work: splitting, tracing, the canonical paths through"
        " the shell namespace."),
    "select": (
        "OpenMode with /select", "InitCommonControls",
        "The folder opens through SHOpenFolderAndSelectItems, and under Wine that"
        " call returns only once the folder's window is up and has its selection: after running"
        " the \"explore\" verb it asks the shell's list of open windows (IShellWindows, a COM"
        " server in another process; oleaut32 and the interface proxies are loaded for it) for"
        " the new window, every"
        " 100 ms until it is there, then sends it the items to select and waits for the answer."
        " Those few hundred milliseconds are the floor's as much as tessaro's; a window that"
        " misses one look costs a run up to 100 ms more. What tessaro adds on"
        " top is its own work: splitting, tracing, the"
        " shell's allocator and desktop folder, the copy of the parent list, the lookup of the"
        " function."),
    "dialog": (
        "InstallMode", "the shell's icons",
        "The dialog takes its icons as the shell's icon for the executable (SHGetFileInfoA,"
        " large and small). The first such call in a process makes the shell build its system"
        " image list (in a `WINEDEBUG=+timestamp,+shell` trace, the time between"
        " `SIC_Initialize` and its result) before it hands out the icon; shell32 and ole32 are"
        " loaded for it as well. What tessaro adds on top is mostly window work of its opening:"
        " centring the still hidden dialog on the cursor (under Wine that SetWindowPos also"
        " activates it), collapsing both details panes (hiding their controls, moving the rows"
        " below, resizing the dialog once per pane), filling the verb lists and the controls;"
        " COM, the mutex and the registry reads take a few milliseconds together."),
}


def explain(res):
    """Where the time goes: the gap to the floor, split at the floor with
    its costliest platform call, by all three estimates of this run."""
    out = ["## Where the time goes", ""]
    for key in ("open", "select", "dialog"):
        mode, call, why = WHY[key]
        t = res[key]
        out += [f"{mode}. {why}", "",
                "| ratio | of medians | median per round | of fastest runs |",
                "|---|---|---|---|"]
        for a, b in (("tessaro", "floor"), ("plus", "floor"), ("tessaro", "plus")):
            r, per_round, low = ratio(t, a, b)
            if r is None:
                continue
            name = {"tessaro": "tessaro", "floor": "floor", "plus": f"floor + {call}"}
            out.append(f"| {name[a]} / {name[b]} | {fmt(r, 3)} | {fmt(per_round, 3)} |"
                       f" {fmt(low, 3)} |")
        out.append("")
    return "\n".join(out)


def write_docs(path, res, rows, wine):
    cpu, cores, mem, distro, kernel = machine()
    ctx, m = res["split"]
    split_lines = []
    for (name, arg), b in sorted(m.items()):
        split_lines.append(f"| {name} | {arg:,} | {b['cpu_time']:,.0f} | "
                           f"{b['allocs_per_call']:g} | {int(b['argc'])} |")
    why = explain(res)
    text = f"""# Performance

Figures of the last run of `./scripts/bench.sh` (bench/run.sh), written by
that run. tessaro is measured against floors: the smallest programs that do
the same platform work with the same compile flags, entry point and link
options (bench/floor_*.cpp).

- Date: {res['date']}
- Machine: {cpu}, {cores} cores, {mem:.0f} GiB; {distro}, Linux {kernel};
  load average {res['load_start']} at the start of the run, {res['load_end']} at the end
- Case: {res['case']}
- Wine: {wine}, ja_JP.UTF-8 (code page 932), private Xvfb,
  persistent wineserver

## Table

{render(rows, markdown=True)}

## How it is measured

- OpenMode: `observe.exe` (bench/observe.cpp) starts the program with
  CreateProcess and waits for its exit, timed with the performance counter.
  tessaro runs as the shell runs it (`"tessaro.exe" /verb:"open" "C:\\bench\\f0.lnk"`),
  the floors with the shortcut's path alone. Each program has a shortcut
  and a folder of its own (C:\\bench\\f0 to f2). A run counts only if its
  folder window then appears; the observer closes it, waits until the
  folder's explorer process has ended and half a second more, so that no
  run shares the machine with the aftermath of the one before (without
  that pause the second and third runs of a round took up to twice as long
  as the first, whichever program ran), and waits two seconds after each
  round, because Wine swallows the open of a folder whose window closed
  less than about two seconds before.
- OpenMode with /select: the same rounds, shortcuts, folders and waits,
  with tessaro run as `"tessaro.exe" /verb:"open" /select "C:\\bench\\f0.lnk"`
  (the stored command line with /select added, as the user adds it in the
  dialog). Its floor loads the shortcut and passes the target's whole item
  list to SHOpenFolderAndSelectItems (imported, no children), which opens
  the folder with the target selected; the plus variant adds
  InitCommonControls, as for OpenMode (which tessaro no longer calls there).
- OpenMode on an advertised shortcut: after the other series, tessaro
  alone, one warm-up run and then as many runs as rounds, with the same
  waits, on `C:\\bench\\advertised.lnk`, a shortcut to the cached icon of a
  package (tests/reliability/probe.wxs, built by wixl) that `msiexec /qn`
  installs into the prefix first, with the Darwin block Windows Installer
  writes. A run counts once the installed folder's window appears. It has
  no floor: its median stands beside the ordinary shortcut's.
- InstallMode: the observer starts the program and polls every 2 ms for a
  visible dialog titled "tessaro の関連づけ"; for tessaro it also waits until
  both verb lists hold the two folder verbs registered in the prefix. The
  floor shows the same dialog template and fills nothing. The observer then
  closes the dialog and waits for the exit.
- Each round runs tessaro, its floor and the floor plus one platform
  call (OpenMode: InitCommonControls, which tessaro made there until it
  loaded comctl32.dll for its dialog alone; the dialog: its icons through
  SHGetFileInfoA, the shell's icon for the executable, the call of
  tessaro's that costs most), starting one program later each round, so that each takes
  each place in the order equally often; two warm-up rounds in the fresh
  prefix are not counted. A ratio in the table is the ratio of two medians;
  the median of the per-round ratios and the ratio of the fastest runs are
  given below as checks.
- The desktop: on Windows it is always there when a user starts a program.
  Under Wine the first program that needs it starts `explorer.exe /desktop`
  and the server closes it again when its count of foreign threads equals
  the desktop process's running threads, which a single lingering thread
  meets by chance. bench/hold.cpp keeps sixteen threads on it for the whole
  series, and every timing records the desktop's process: one for the whole
  series, or the report warns.
- Size: the stripped tessaro.exe with all its resources, against the empty
  GUI exe built the same way. The breakdown uses an unstripped link of the
  same objects with a map file (bench/CMakeLists.txt).
- Splitter: app/cmdline.cpp and text/sjis.cpp built for the host with
  Google Benchmark (bench/native); code page 932's lead bytes and the heap are
  shimmed, and every malloc, calloc and realloc of the linked objects is
  counted. Medians of five repetitions, CPU time.

## Noise

The machine has two cores shared with other work: fuzzers, builds and test
suites under Wine may run beside the benchmark (load averages at the start
and the end of this run are above). Wine start-up times then jump by a
hundred milliseconds or more in single runs; running the programs round by
round puts all of them under the same load, and the medians and per-round
ratios damp single outliers, but ratios close to a goal can move by several
hundredths between runs. Within one session the same programs have also
started two to three times slower for a while with the load average near
zero (the machine is a shared virtual one); the ratios then move by more
than that, most of all for the dialog.

{why}
## Timings in detail

""" + "\n".join(f"- {line}" for line in details(res)) + f"""

## Size in detail

```
""" + "\n".join(size_breakdown(res)) + f"""
```

## Splitter in detail

| benchmark | line bytes | CPU ns/call | allocations/call | argc |
|---|---|---|---|---|
""" + "\n".join(split_lines) + "\n"
    with open(path, "w") as f:
        f.write(text)


if __name__ == "__main__":
    sys.exit(main())

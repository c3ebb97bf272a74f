"""End-to-end figures under Wine: the real verification and creation runs against cat, 7-Zip, RHash.

Each repetition times, over the same page-cached files and in turn: `cat FILES > /dev/null`, the
verification run of kavrin_verify_bench.exe (the main window driven in-process; the time of the
run itself, from the moment LoadSfv has started it until it has ended, so Wine's start-up and the
loading of the list are not in it), the creation run of kavrin_create_bench.exe (the Create dialog
driven in-process with the files' folder dropped on it; the time of the Create press: counting,
hashing, writing and the closing message), `7z h -scrcCRC32 FILES` and `rhash --crc32 FILES`.
Ratios are taken within a repetition, then the median over the repetitions is reported.
"""
import argparse
import os
import re
import statistics
import subprocess
import sys
import time
import zlib

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
BUILD = os.path.join(ROOT, "build/windows")
BIG_SIZE = 1 << 30
SMALL_COUNT, SMALL_SIZE = 10000, 4096


def wine_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def make_data(data):
    big, small = os.path.join(data, "big"), os.path.join(data, "small")
    os.makedirs(big, exist_ok=True)
    os.makedirs(small, exist_ok=True)
    big_file = os.path.join(big, "big.bin")
    if not os.path.exists(os.path.join(big, "big.sfv")) or os.path.getsize(big_file) != BIG_SIZE:
        print("writing 1 GiB of random bytes...", flush=True)
        crc = 0
        with open(big_file, "wb") as f:
            for _ in range(BIG_SIZE >> 24):
                block = os.urandom(1 << 24)
                crc = zlib.crc32(block, crc)
                f.write(block)
        with open(os.path.join(big, "big.sfv"), "w", newline="") as f:
            f.write("big.bin %08x\r\n" % crc)
    names = ["f%05d.bin" % i for i in range(SMALL_COUNT)]
    if not os.path.exists(os.path.join(small, "small.sfv")):
        print("writing 10,000 files of 4 KiB...", flush=True)
        lines = []
        for name in names:
            block = os.urandom(SMALL_SIZE)
            with open(os.path.join(small, name), "wb") as f:
                f.write(block)
            lines.append("%s %08x\r\n" % (name, zlib.crc32(block)))
        with open(os.path.join(small, "small.sfv"), "w", newline="") as f:
            f.write("".join(lines))
    return {
        "1 GiB file": (os.path.join(big, "big.sfv"), [big_file]),
        "10,000 x 4 KiB": (os.path.join(small, "small.sfv"), [os.path.join(small, n) for n in names]),
    }


def cached_share(files):
    """Bytes of the files in the page cache over their size, as fincore reports them."""
    resident = total = 0
    for i in range(0, len(files), 1000):
        out = subprocess.run(["fincore", "--bytes", "--noheadings", "--output", "RES,SIZE"] + files[i:i + 1000],
                             check=True, capture_output=True, text=True).stdout
        for line in out.split("\n"):
            if line.strip():
                res, size = line.split()
                resident += int(res)
                total += int(size)
    return resident / total if total else 0.0


def timed(cmd, cwd=None):
    start = time.perf_counter()
    subprocess.run(cmd, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, cwd=cwd)
    return time.perf_counter() - start


def cat(files):
    start = time.perf_counter()
    with open(os.devnull, "wb") as null:
        subprocess.run(["cat"] + files, check=True, stdout=null)
    return time.perf_counter() - start


def kavrin(sfv, probe=False):
    cmd = ["wine", os.path.join(BUILD, "kavrin_verify_bench.exe"), wine_path(sfv)] + (["--probe"] if probe else [])
    out = subprocess.run(cmd, capture_output=True, text=True, stdin=subprocess.DEVNULL)
    m = re.search(r"path=(\S+) load_s=([\d.]+) run_s=([\d.]+) rows=(\d+) intact=(\d+)", out.stdout)
    if not m or out.returncode != 0 or m.group(4) != m.group(5):
        sys.exit("verification run failed:\n" + out.stdout + out.stderr)
    probes = [line for line in out.stdout.split("\n") if line.startswith("probe ")]
    return m.group(1), float(m.group(2)), float(m.group(3)), probes


def create(folder, sfv):
    out = subprocess.run(["wine", os.path.join(BUILD, "kavrin_create_bench.exe"), wine_path(folder), wine_path(sfv)], capture_output=True, text=True,
                         stdin=subprocess.DEVNULL)
    m = re.search(r"run_s=([\d.]+) created=1", out.stdout)
    if not m or out.returncode != 0:
        sys.exit("creation run failed:\n" + out.stdout + out.stderr)
    return float(m.group(1))


def main():
    global BUILD
    parser = argparse.ArgumentParser()
    parser.add_argument("--data", default=os.path.join(ROOT, "build/bench-data"))
    parser.add_argument("--reps", type=int, default=5)
    parser.add_argument("--runs", default="verify,create", help="which of the program's runs to time")
    parser.add_argument("--sets", default="big,small", help="which file sets to time")
    parser.add_argument("--build", default=BUILD, help="the Windows build folder whose programs to run")
    args = parser.parse_args()
    BUILD = os.path.abspath(args.build)

    sets = make_data(args.data)
    big_file = sets["1 GiB file"][1][0]
    wanted = args.sets.split(",")
    sets = {k: v for k, v in sets.items() if ("big" if k.startswith("1 GiB") else "small") in wanted}
    for _, files in sets.values():
        cat(files)  # into the page cache
    print(subprocess.run(["lscpu"], capture_output=True, text=True).stdout.split("Model name:")[1].split("\n")[0]
          .strip(), "| wine", subprocess.run(["wine", "--version"], capture_output=True, text=True).stdout.strip())

    results = {}
    path = None
    probes = []
    for name, (sfv, files) in sets.items():
        print("\n== %s: page cache holds %.1f%% before the runs" % (name, 100 * cached_share(files)), flush=True)
        rows = []
        for rep in range(args.reps):
            probe = name.startswith("10,000") and rep == args.reps - 1 and "verify" in args.runs
            t = {}
            tools = ["cat"] + [{"verify": "kavrin", "create": "create"}[r] for r in args.runs.split(",")] + \
                ["7z", "rhash"]
            for tool in tools[rep % len(tools):] + tools[:rep % len(tools)]:
                if tool == "cat":
                    t[tool] = cat(files)
                elif tool == "kavrin":
                    path, t["load"], t[tool], p = kavrin(sfv, probe)
                    probes += p
                elif tool == "create":
                    t[tool] = create(os.path.dirname(files[0]), os.path.join(args.data, "created.sfv"))
                elif tool == "7z":
                    t[tool] = timed(["7z", "h", "-scrcCRC32"] + files)
                else:
                    t[tool] = timed(["rhash", "--crc32"] + files)
            rows.append(t)
            print("  rep %d: " % (rep + 1) + ", ".join("%s %.3f s" % (k, v) for k, v in t.items()), flush=True)
        print("   page cache holds %.1f%% after the runs" % (100 * cached_share(files)))
        results[name] = rows

    med = statistics.median
    print("\nmedians of %d repetitions; kavrin's CRC path: %s; times in seconds" % (args.reps, path))
    tools = [k for k in ("cat", "kavrin", "create", "7z", "rhash") if k in next(iter(results.values()))[0]]
    names = {"kavrin": "verify", "create": "create"}
    print("%-16s" % "set" + "".join("%9s" % names.get(k, k) for k in tools) + " |"
          + "".join("%16s" % (names[k] + " x cat") for k in tools if k in names)
          + "".join("%16s" % (names[k] + " x 7z") for k in tools if k in names)
          + ("%18s" % "create/verify t" if "create" in tools and "kavrin" in tools else ""))
    for name, rows in results.items():
        line = "%-16s" % name + "".join("%9.3f" % med(r[k] for r in rows) for k in tools) + " |"
        line += "".join("%16.3f" % med(r["cat"] / r[k] for r in rows) for k in tools if k in names)
        line += "".join("%16.3f" % med(r["7z"] / r[k] for r in rows) for k in tools if k in names)
        if "create" in tools and "kavrin" in tools:
            line += "%18.3f" % med(r["create"] / r["kavrin"] for r in rows)
        print(line)
    print("(x cat: cat's time over the run's, 1.0 = as fast as cat; x 7z: 7z's time over the run's)")
    if "kavrin" in tools:
        print("loading the list before the verification run (median): " + ", ".join(
            "%s %.3f s" % (name, med(r["load"] for r in rows)) for name, rows in results.items()))

    print("\nper-call costs of the run's control updates on the real window, 10,000 rows:")
    for line in probes:
        print("  " + line[len("probe "):])
    print("\nplatform costs under Wine (kavrin_wine_costs):")
    print(subprocess.run(["wine", os.path.join(BUILD, "kavrin_wine_costs.exe"), wine_path(big_file)], capture_output=True, text=True,
                         stdin=subprocess.DEVNULL).stdout)


if __name__ == "__main__":
    main()

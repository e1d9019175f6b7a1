#!/usr/bin/env python3
"""Runs the benchmarks and prints one table: throughput of hex text, ratio
of each export to its floor, and of the codec to CPython's bytes.fromhex and
bytes.hex on the same data, natively and (when built, with Wine present)
for the 32-bit DLL under Wine.

    python3 bench/report.py [--native-only]
"""
import json
import os
import shutil
import subprocess
import sys
import tempfile
import timeit

TOP = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
NATIVE = os.path.join(TOP, "build", "native", "bin", "widesave_bench")
WIN32 = os.path.join(TOP, "build", "win32", "bin", "widesave_bench.exe")
SIZES = [4 << 10, 1 << 20, 16 << 20]
FLOORS = {"WriteSaveFile": "WriteFloor", "ReadSaveFile": "ReadFloor"}


def median(values):
    values = sorted(values)
    middle = len(values) // 2
    return values[middle] if len(values) % 2 else (values[middle - 1] + values[middle]) / 2


def medians(output):
    """{(case, size): (microseconds, bytes per second, CPU microseconds or None)}: the median
    over every repetition of every run of the case, wherever the ABBA order put it."""
    samples = {}
    for row in json.loads(output)["benchmarks"]:
        if row.get("run_type") != "iteration" or "error_message" in row:
            continue
        case, size = row["name"].split("/")[:2]
        samples.setdefault((case, int(size)), []).append(row)
    result = {}
    for key, rows in samples.items():
        cpu = [row["cpu_time"] for row in rows if "cpu_time" in row]
        result[key] = (median([row["real_time"] for row in rows]),
                       median([row.get("bytes_per_second", 0.0) for row in rows]),
                       median(cpu) if cpu else None)
    return result


def peak_heap(command, env=None):
    """{(export, size): bytes} from the benchmark's --peak-heap mode."""
    out = subprocess.run(command, check=True, capture_output=True, text=True, env=env).stdout
    result = {}
    for line in out.splitlines():
        _, export, size, peak = line.split()
        result[(export, int(size))] = int(peak)
    return result


def run_native(directory):
    env = dict(os.environ, WIDESAVE_BENCH_DIR=directory)
    out = subprocess.run([NATIVE, "--benchmark_format=json"], check=True, capture_output=True,
                         text=True, env=env).stdout
    faults = os.path.join(os.path.dirname(NATIVE), "libwidesave_faults.so")
    return medians(out), peak_heap([NATIVE, "--peak-heap=" + faults], env)


def run_win32(directory):
    env = wine_environment(os.path.join(TOP, "build", "win32"))
    env["WIDESAVE_BENCH_DIR"] = "Z:" + directory.replace("/", "\\")
    out = subprocess.run(["wine", WIN32], check=True, capture_output=True, text=True, env=env).stdout
    return medians(out), peak_heap(["wine", WIN32, "--peak-heap=widesave_faults.dll"], env)


def wine_environment(build):
    """The environment scripts/lib/wine_environment.sh sets, read from it."""
    out = subprocess.run(["bash", "-c", 'source "$0" && wine_environment "$1" && env -0',
                          os.path.join(TOP, "scripts", "lib", "wine_environment.sh"), build],
                         check=True, capture_output=True, text=True).stdout
    return dict(item.split("=", 1) for item in out.split("\0") if "=" in item)


def cpython(directory):
    """Median seconds of bytes.fromhex and bytes.hex per size, same data."""
    subprocess.run([NATIVE, "--write-data=" + directory], check=True)
    result = {}
    for size in SIZES:
        with open(os.path.join(directory, "bytes-%d" % size), "rb") as f:
            data = f.read()
        text = data.hex().upper()
        number = max(1, (64 << 20) // (2 * size))
        for case, call in (("Decode", lambda: bytes.fromhex(text)), ("Encode", lambda: data.hex())):
            runs = sorted(timeit.repeat(call, number=number, repeat=5))
            result[(case, size)] = runs[2] / number
    return result


def table(title, measured, python):
    results, peaks = measured
    print("\n" + title)
    print("%-14s %10s %12s %12s %10s %12s %10s %12s" % ("case", "save", "time", "hex GB/s", "/ floor",
                                                       "CPU / floor", "x CPython", "peak heap"))
    for case in ("Decode", "Encode", "WriteSaveFile", "WriteFloor", "ReadSaveFile", "ReadFloor"):
        for size in SIZES:
            if (case, size) not in results:
                continue
            micros, rate, cpu = results[(case, size)]
            floor = FLOORS.get(case)
            ratio = "%.2f" % (micros / results[(floor, size)][0]) if (floor, size) in results else ""
            cpu_ratio = ""
            if (floor, size) in results and cpu and results[(floor, size)][2]:
                cpu_ratio = "%.2f" % (cpu / results[(floor, size)][2])
            vs_python = ""
            if python and (case, size) in python:
                vs_python = "%.1f" % (python[(case, size)] * 1e6 / micros)
            label = "%d KiB" % (size >> 10) if size < (1 << 20) else "%d MiB" % (size >> 20)
            peak = "%d KiB" % (peaks[(case, size)] >> 10) if (case, size) in peaks else ""
            print("%-14s %10s %10.1f us %12.2f %10s %12s %10s %12s" % (case, label, micros, rate / 1e9,
                                                                    ratio, cpu_ratio, vs_python, peak))
    print("per-call overhead at 4 KiB: write %.1f us, read %.1f us over the floor" % (
        results[("WriteSaveFile", SIZES[0])][0] - results[("WriteFloor", SIZES[0])][0],
        results[("ReadSaveFile", SIZES[0])][0] - results[("ReadFloor", SIZES[0])][0]))


def main():
    work = tempfile.mkdtemp(prefix="widesave-bench-", dir=os.path.join(TOP, "build"))
    try:
        python = cpython(work)
        table("native (x86-64, libwidesave.so)", run_native(work), python)
        if "--native-only" not in sys.argv and os.path.exists(WIN32) and shutil.which("wine"):
            table("win32 (i686 widesave.dll under Wine)", run_win32(work), python)
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()

#!/usr/bin/env python3
"""Times the generator and a 1 000 000 m compile against a floor process that
writes the same bytes to the same kind of directory the same safe way
(floor_writer.cpp: each file under a temporary name, its room reserved,
through a 1 MiB buffer, then renamed), side by side in one run: medians,
their ratio, CPU time and peak memory.

usage: bench/compare.py [--runs N] [--build DIR]

Build first: cmake --workflow --preset release
"""
import argparse
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))


TIME = "/usr/bin/time"


def run(argv, cwd):
    """Runs argv in cwd under /usr/bin/time (the floor too, so that both pay
    for it alike); returns (seconds, CPU seconds in user and system mode, peak
    resident KiB of the program). The CPU time, from the kernel's account of
    the child and what it waited for (wait4), moves less than the wall time
    when the machine is busy with other work."""
    with tempfile.NamedTemporaryFile(mode="r") as rss:
        # Each run starts with no dirty pages of the one before, so that the
        # kernel's write-back falls on neither side.
        os.sync()
        start = time.perf_counter()
        proc = subprocess.Popen([TIME, "-f", "%M", "-o", rss.name] + argv, cwd=cwd,
                                stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        _, status, usage = os.wait4(proc.pid, 0)
        elapsed = time.perf_counter() - start
        err = proc.stderr.read().decode()
        proc.stderr.close()
        proc.returncode = os.waitstatus_to_exitcode(status)
        if proc.returncode != 0:
            sys.exit(f"{' '.join(argv)} failed ({proc.returncode}): {err}")
        return elapsed, usage.ru_utime + usage.ru_stime, int(rss.read().strip() or 0)


def build_floor(work):
    """Compiles floor_writer.cpp with the same optimisation as the programs."""
    exe = os.path.join(work, "floor_writer")
    cxx = os.environ.get("CXX", "c++")
    subprocess.run([cxx, "-O2", "-std=c++20", "-o", exe, os.path.join(HERE, "floor_writer.cpp")],
                   check=True)
    return exe


def measure(name, program, program_cwd, floor_exe, files, runs, package_bytes):
    floor_dir = tempfile.mkdtemp(prefix="floor-")
    try:
        floor = [floor_exe, floor_dir] + files
        times, floors, cpus, floor_cpus, peak = [], [], [], [], 0
        for _ in range(runs):
            t, cpu, rss = run(program, program_cwd)
            times.append(t)
            cpus.append(cpu)
            peak = max(peak, rss)
            t, cpu, _ = run(floor, floor_dir)
            floors.append(t)
            floor_cpus.append(cpu)
        mt, mf = statistics.median(times), statistics.median(floors)
        ct, cf = statistics.median(cpus), statistics.median(floor_cpus)
        print(f"{name}")
        print(f"  program  median {mt * 1000:8.2f} ms   CPU {ct * 1000:8.2f} ms")
        print(f"  floor    median {mf * 1000:8.2f} ms   CPU {cf * 1000:8.2f} ms")
        print(f"  ratio           {mt / mf:8.2f}         {ct / cf if cf else float('nan'):8.2f}")
        print(f"  peak memory     {peak / 1024:8.1f} MiB "
              f"(package {package_bytes / 2**20:.1f} MiB, "
              f"package + 8 MiB = {package_bytes / 2**20 + 8:.1f} MiB)")
    finally:
        shutil.rmtree(floor_dir)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--runs", type=int, default=21)
    ap.add_argument("--build", default=os.path.join(HERE, "..", "build", "release"))
    args = ap.parse_args()
    if not os.path.exists(TIME):
        sys.exit("needs /usr/bin/time (Debian package: time)")
    build = os.path.abspath(args.build)

    work = tempfile.mkdtemp(prefix="scenario-bench-")
    try:
        floor_exe = build_floor(work)
        # The generator, run from a directory of its own.
        gen_dir = os.path.join(work, "gen")
        os.mkdir(gen_dir)
        shutil.copy(os.path.join(build, "scenario-gen"), gen_dir)
        run([os.path.join(gen_dir, "scenario-gen")], gen_dir)
        # The generator writes eight files: the two source documents (which
        # it deletes once compiled), the three forms and the package.
        docs_dir = os.path.join(work, "docs")
        os.mkdir(docs_dir)
        subprocess.run([os.path.join(build, "scenario-tool"), "documents", "--out", docs_dir],
                       check=True)
        written = sorted(os.path.join(gen_dir, f) for f in os.listdir(gen_dir)
                         if f != "scenario-gen")
        written += sorted(os.path.join(docs_dir, f) for f in os.listdir(docs_dir)
                          if f.endswith(("_linea.txt", "-.txt")))
        package = sum(os.path.getsize(f) for f in written if f.endswith((".dat", ".sim")))
        measure("scenario-gen (built-in scenario)", [os.path.join(gen_dir, "scenario-gen")],
                gen_dir, floor_exe, written, args.runs, package)

        # A 1 000 000 m scenario through scenario-tool compile.
        big = os.path.join(work, "big")
        os.mkdir(big)
        subprocess.run([sys.executable, os.path.join(HERE, "make_large_scenario.py"), big],
                       check=True)
        tool = [os.path.join(build, "scenario-tool"), "compile", "--line", "large_linea.txt",
                "--train", "large_treno.txt", "--out", "."]
        run(tool, big)
        files = sorted(os.path.join(big, f) for f in os.listdir(big)
                       if f.endswith((".dat", ".sim")))
        package = sum(os.path.getsize(f) for f in files)
        measure("scenario-tool compile (1 000 000 m route)", tool, big, floor_exe, files, args.runs,
                package)
    finally:
        shutil.rmtree(work)


if __name__ == "__main__":
    main()

#!/usr/bin/env python3
"""Checks TarnwellScan.exe against simulated installations.

Usage: runscenario.py --prefix PREFIX --root DIR --exe TarnwellScan.exe SCENARIO...

Each scenario is built with siminstall.py, TarnwellScan.exe is copied to C:\\Tarnwell with a
Tarnwell.ini of the scenario's 'settings' lines (none: no settings file) and run once. The
scenario's expectations, fields separated by ' | ':

  out FIELD | FIELD ...   the next line of standard output, fields joined by tabs; the
                          output must hold exactly the 'out' lines, in order
  err TEXT                a line of standard error (all of them, in order)
  exit N                  the exit status (default 0)
  log TEXT                some line of the day's log file contains TEXT
  nolog TEXT              no line of the log contains TEXT
  lock PATH               the database is held under an exclusive lock by another
                          process while the scan runs

Every file the scenario created, and the list of every entry on its drives, must be the
same after the scan as before it. @SELF@ in expectations is this machine's address.
"""
import argparse
import glob
import hashlib
import os
import shutil
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import siminstall  # noqa: E402


def snapshot(paths):
    """Path -> content hash (files) or 'dir' for every entry below the given folders."""
    result = {}
    for top in paths:
        for base, dirs, files in os.walk(top):
            for d in dirs:
                result[os.path.join(base, d)] = "dir"
            for f in files:
                p = os.path.join(base, f)
                if os.path.islink(p):
                    result[p] = "link"
                    continue
                with open(p, "rb") as fh:
                    result[p] = hashlib.sha256(fh.read()).hexdigest()
    return result


def start_lock_holder(installer, exe, win_path):
    """Holds an exclusive lock on a database from a Windows process, as the product would."""
    proc = subprocess.Popen(["wine", os.path.abspath(exe), win_path], env=installer.env,
                            stdout=subprocess.PIPE, stdin=subprocess.PIPE, stderr=subprocess.DEVNULL)
    line = proc.stdout.readline()
    if not line.startswith(b"locked"):
        proc.kill()
        raise RuntimeError(f"lock holder did not lock {win_path}: {line!r}")
    return proc


def run_one(args, path):
    scenario = siminstall.Scenario(path)
    installer = siminstall.Installer(args.prefix, args.root)
    installer.apply(scenario)

    target = os.path.join(installer.prefix, "drive_c", "Tarnwell")
    if os.path.isdir(target):
        shutil.rmtree(target)
    os.makedirs(target)
    shutil.copy(args.exe, os.path.join(target, "TarnwellScan.exe"))
    settings = [rest for rest, _ in scenario.directives("settings")]
    if settings:
        with open(os.path.join(target, "Tarnwell.ini"), "wb") as f:
            f.write("".join(line + "\r\n" for line in settings).encode("gbk"))

    watched = [installer.root] + [os.path.join(installer.prefix, "drive_c", p)
                                  for p in os.listdir(os.path.join(installer.prefix, "drive_c"))
                                  if p not in ("Tarnwell", "windows", "users", "ProgramData",
                                               "Program Files", "Program Files (x86)")]
    before = snapshot(watched)

    holders = [start_lock_holder(installer, args.lock_holder, rest) for rest, _ in scenario.directives("lock")]
    try:
        started = time.monotonic()
        res = siminstall.run_captured(["wine", "C:\\Tarnwell\\TarnwellScan.exe"], installer.env,
                                      timeout=180)
        elapsed = time.monotonic() - started
    finally:
        for h in holders:
            h.stdin.close()
            h.wait(timeout=30)

    ip = installer.ip() if any("@SELF@" in r for r, _ in scenario.directives("out")) else ""
    failures = []
    out = [l.rstrip("\r") for l in res.stdout.decode("gbk", errors="replace").split("\n") if l.strip("\r")]
    expected = ["\t".join(siminstall.split_fields(r.replace("@SELF@", ip)))
                for r, _ in scenario.directives("out")]
    if out != expected:
        failures.append("standard output differs:\n  expected:\n" +
                        "".join(f"    {l}\n" for l in expected) + "  actual:\n" +
                        "".join(f"    {l}\n" for l in out))
    err = [l.rstrip("\r") for l in res.stderr.decode("gbk", errors="replace").split("\n")
           if l.strip("\r") and not l.startswith("wine:") and "fixme:" not in l]
    expected_err = [r for r, _ in scenario.directives("err")]
    if err != expected_err:
        failures.append(f"standard error: expected {expected_err}, got {err}")
    exits = [int(r) for r, _ in scenario.directives("exit")] or [0]
    if res.returncode != exits[0]:
        failures.append(f"exit status: expected {exits[0]}, got {res.returncode}")

    logs = sorted(glob.glob(os.path.join(target, "log", "Tarnwell*.log")))
    log_text = ""
    for name in logs:
        with open(name, "rb") as f:
            log_text += f.read().decode("gbk", errors="replace")
    log_lines = log_text.splitlines()
    for want, _ in scenario.directives("log"):
        if not any(want in l for l in log_lines):
            failures.append(f"log lacks a line containing: {want}")
    for unwanted, _ in scenario.directives("nolog"):
        if any(unwanted in l for l in log_lines):
            failures.append(f"log has a line containing: {unwanted}")

    after = snapshot(watched)
    if before != after:
        changed = sorted(set(before.items()) ^ set(after.items()))
        failures.append("the installation changed during the scan:\n" +
                        "".join(f"    {p} {h}\n" for p, h in changed[:20]))

    name = os.path.basename(path)
    if failures:
        print(f"FAIL {name} ({elapsed:.1f} s)")
        for f in failures:
            print("  " + f.replace("\n", "\n  "))
        print("  log:\n" + "".join(f"    {l}\n" for l in log_lines))
        return False
    print(f"ok   {name} ({elapsed:.1f} s)")
    return True


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--prefix", required=True)
    parser.add_argument("--root", required=True)
    parser.add_argument("--exe", required=True)
    parser.add_argument("--lock-holder", help="DbLockHolder.exe, for scenarios with 'lock'")
    parser.add_argument("scenarios", nargs="+")
    args = parser.parse_args()
    try:
        results = [run_one(args, s) for s in args.scenarios]
    finally:
        subprocess.run(["wineserver", "-k"], env=dict(os.environ, WINEPREFIX=os.path.abspath(args.prefix)),
                       stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    sys.exit(0 if all(results) else 1)


if __name__ == "__main__":
    main()

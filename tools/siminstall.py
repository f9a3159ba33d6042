#!/usr/bin/env python3
"""Builds a simulated cafe-server installation inside a Wine prefix.

Usage: siminstall.py --prefix PREFIX --root DIR SCENARIO

A scenario is a small text file of directives, one per line; '#' starts a comment line.
Fields are separated by '|' (surrounding spaces dropped). Windows paths name drive C: (the prefix's own drive_c) or a
drive the scenario maps.

  settings LINE               a line of Tarnwell.ini (written by runscenario.py)
  drive D NAME                maps D: to the folder NAME under ROOT/drives
  service NAME | COMMANDLINE  registers a Windows service with that executable command line
  winserver dword N | sz TEXT | absent
                              the WinServer value under the product's uninstall key
  text PATH                   a file in code page 936 whose lines follow as '> LINE'
  dir PATH                    a directory (and its parents)
  file PATH                   a small file (and its parents)
  hidden PATH                 a directory, or a file if the name has a dot, marked hidden
  db PATH                     a SQLite database; the following 'table' and 'row' lines fill it
  table NAME | COL TYPE | ...  a table of that database
  row V | V | ...             a row of the last table. A value is stored as code page 936
                              text unless written null, int:N, utf8:TEXT (stored as UTF-8)
                              or "TEXT" (kept with its spaces); @SELF@ is this machine's
                              IPv4 address
  sql STATEMENT               any statement on the current database
  lock PATH, out/err/exit/log/nolog ...
                              read by runscenario.py, ignored here

Re-applying a scenario to the same prefix first removes what an earlier one set up there:
its services, the WinServer value, its drive letters and everything under ROOT.
"""
import argparse
import array
import fcntl
import json
import os
import shutil
import socket
import sqlite3
import struct
import subprocess
import sys
import tempfile

UNINSTALL_KEY = ("HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\"
                 "{301086A1-C605-49DA-B406-9E6FB8D52E17}")
PRODUCT_SERVICES = ["Korvex服务", "PellorVIP服务", "newCoreServer", "ServerManager"]
STATE_FILE = "tarnwell-sim.json"
HIDDEN = b"0x2"


def self_addresses():
    """IPv4 addresses of this machine's interfaces other than loopback, as Wine lists them."""
    found = []
    sock = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    try:
        for _, name in socket.if_nameindex():
            if name == "lo":
                continue
            try:
                req = struct.pack("256s", name.encode()[:15])
                res = fcntl.ioctl(sock.fileno(), 0x8915, req)  # SIOCGIFADDR
            except OSError:
                continue
            addr = socket.inet_ntoa(res[20:24])
            if addr not in ("0.0.0.0", "127.0.0.1"):
                found.append(addr)
    finally:
        sock.close()
    return found


def self_address():
    addrs = self_addresses()
    if not addrs:
        sys.exit("siminstall: this machine has no IPv4 address besides loopback")
    return addrs[0]


def run_captured(command, env, timeout=None):
    """Runs a command with its output in files, not pipes: Wine's helper processes inherit
    the handles and would keep a pipe open until the wineserver exits."""
    with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
        res = subprocess.run(command, env=env, stdout=out, stderr=err, stdin=subprocess.DEVNULL,
                             timeout=timeout)
        out.seek(0)
        err.seek(0)
        return subprocess.CompletedProcess(command, res.returncode, out.read(), err.read())


def split_fields(text):
    return [f.strip() for f in text.split("|")]


class Scenario:
    def __init__(self, path):
        self.path = path
        self.lines = []  # (number, directive, rest, content lines)
        with open(path, encoding="utf-8") as f:
            raw = f.read().splitlines()
        i = 0
        while i < len(raw):
            line = raw[i].rstrip("\r")
            i += 1
            if not line.strip() or line.lstrip().startswith("#"):
                continue
            if line.startswith(">"):
                sys.exit(f"{path}:{i}: content line outside a 'text' directive")
            directive, _, rest = line.strip().partition(" ")
            content = []
            while i < len(raw) and raw[i].startswith(">"):
                content.append(raw[i][2:] if raw[i].startswith("> ") else raw[i][1:])
                i += 1
            self.lines.append((i, directive, rest.strip(), content))

    def directives(self, name):
        return [(rest, content) for _, d, rest, content in self.lines if d == name]


class Installer:
    def __init__(self, prefix, root, wine="wine"):
        self.prefix = os.path.abspath(prefix)
        self.root = os.path.abspath(root)
        self.wine = wine
        self.drives = {}
        self.env = dict(os.environ, WINEPREFIX=self.prefix, WINEDEBUG="-all", WINEARCH="win32",
                        LANG="zh_CN.UTF-8", LC_ALL="zh_CN.UTF-8")
        self.self_ip = None

    # -- Wine ---------------------------------------------------------------------------
    def run_wine(self, *args, check=True):
        res = run_captured([self.wine, *args], self.env)
        if check and res.returncode != 0:
            sys.exit(f"siminstall: wine {' '.join(args)} failed ({res.returncode}): "
                     f"{res.stdout.decode(errors='replace')}{res.stderr.decode(errors='replace')}")
        return res.returncode

    def ensure_prefix(self):
        if not os.path.exists(os.path.join(self.prefix, "system.reg")):
            os.makedirs(self.prefix, exist_ok=True)
            subprocess.run(["wineboot", "-i"], env=self.env, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL)
            subprocess.run(["wineserver", "-w"], env=self.env)
        # One server for all the calls that follow, instead of one per call.
        subprocess.run(["wineserver", "-p"], env=self.env, stdin=subprocess.DEVNULL,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    # -- paths ----------------------------------------------------------------------------
    def host_path(self, win):
        if len(win) < 2 or win[1] != ":":
            sys.exit(f"siminstall: not a drive path: {win}")
        letter = win[0].lower()
        if letter == "c":
            base = os.path.join(self.prefix, "drive_c")
        elif letter in self.drives:
            base = self.drives[letter]
        else:
            sys.exit(f"siminstall: drive {letter.upper()}: is not mapped by the scenario: {win}")
        parts = [p for p in win[2:].split("\\") if p]
        return os.path.join(base, *parts)

    # -- reset ----------------------------------------------------------------------------
    def state_path(self):
        return os.path.join(self.prefix, STATE_FILE)

    def reset(self):
        state = {"services": [], "drives": []}
        if os.path.exists(self.state_path()):
            with open(self.state_path()) as f:
                state = json.load(f)
        for name in sorted(set(PRODUCT_SERVICES + state["services"])):
            self.run_wine("sc", "delete", name, check=False)
        self.run_wine("reg", "delete", UNINSTALL_KEY, "/v", "WinServer", "/f", check=False)
        for letter in state["drives"]:
            link = os.path.join(self.prefix, "dosdevices", letter + ":")
            if os.path.islink(link):
                os.unlink(link)
        if os.path.isdir(self.root):
            shutil.rmtree(self.root)
        for sub in state.get("c_paths", []):
            p = os.path.join(self.prefix, "drive_c", sub)
            if os.path.isdir(p):
                shutil.rmtree(p)
            elif os.path.exists(p):
                os.unlink(p)
        if os.path.exists(self.state_path()):
            os.unlink(self.state_path())

    # -- apply ----------------------------------------------------------------------------
    def value(self, text):
        if text == "null":
            return None
        if text.startswith("int:"):
            return int(text[4:])
        if text.startswith("utf8:"):
            return ("utf8", text[5:].replace("@SELF@", self.ip()))
        if len(text) >= 2 and text[0] == '"' and text[-1] == '"':
            text = text[1:-1]
        return ("gbk", text.replace("@SELF@", self.ip()))

    def ip(self):
        if self.self_ip is None:
            self.self_ip = self_address()
        return self.self_ip

    def apply(self, scenario):
        self.ensure_prefix()
        self.reset()
        os.makedirs(self.root, exist_ok=True)
        state = {"services": [], "drives": [], "c_paths": []}
        db = None
        table = None

        def remember_c(win):
            if win[0].lower() == "c":
                top = [p for p in win[2:].split("\\") if p][0]
                if top not in state["c_paths"]:
                    state["c_paths"].append(top)

        def save_state():
            with open(self.state_path(), "w") as f:
                json.dump(state, f)

        for number, directive, rest, content in scenario.lines:
            where = f"{scenario.path}:{number}"
            if directive == "drive":
                letter, name = rest.split(None, 1)
                target = os.path.join(self.root, "drives", name)
                os.makedirs(target, exist_ok=True)
                link = os.path.join(self.prefix, "dosdevices", letter.lower() + ":")
                if os.path.lexists(link):
                    os.unlink(link)
                os.symlink(target, link)
                self.drives[letter.lower()] = target
                state["drives"].append(letter.lower())
                save_state()
            elif directive == "service":
                name, command = split_fields(rest)
                self.run_wine("sc", "create", name, "binPath=", command)
                state["services"].append(name)
                save_state()
            elif directive == "winserver":
                kind, _, data = rest.partition(" ")
                if kind == "absent":
                    continue
                reg_type = {"dword": "REG_DWORD", "sz": "REG_SZ"}[kind]
                self.run_wine("reg", "add", UNINSTALL_KEY, "/v", "WinServer", "/t", reg_type,
                              "/d", data.strip(), "/f")
            elif directive == "text":
                remember_c(rest)
                path = self.host_path(rest)
                os.makedirs(os.path.dirname(path), exist_ok=True)
                with open(path, "wb") as f:
                    f.write("".join(line + "\r\n" for line in content).encode("gbk"))
            elif directive == "dir":
                remember_c(rest)
                os.makedirs(self.host_path(rest), exist_ok=True)
            elif directive in ("file", "hidden"):
                remember_c(rest)
                path = self.host_path(rest)
                is_file = directive == "file" or "." in os.path.basename(path)
                if is_file:
                    os.makedirs(os.path.dirname(path), exist_ok=True)
                    with open(path, "wb") as f:
                        f.write(b"simulated\r\n")
                else:
                    os.makedirs(path, exist_ok=True)
                if directive == "hidden":
                    os.setxattr(path, "user.DOSATTRIB", HIDDEN)
            elif directive == "db":
                if db is not None:
                    db.commit()
                    db.close()
                remember_c(rest)
                path = self.host_path(rest)
                os.makedirs(os.path.dirname(path), exist_ok=True)
                db = sqlite3.connect(path)
                table = None
            elif directive == "table":
                fields = split_fields(rest)
                table = fields[0]
                db.execute(f"create table {table} ({', '.join(fields[1:])})")
            elif directive == "row":
                if db is None or table is None:
                    sys.exit(f"{where}: 'row' without a table")
                self.insert_row(db, table, [self.value(v) for v in split_fields(rest)])
            elif directive == "sql":
                db.execute(rest)
            elif directive in ("settings", "lock", "out", "err", "exit", "log", "nolog", "run"):
                pass
            else:
                sys.exit(f"{where}: unknown directive '{directive}'")
        if db is not None:
            db.commit()
            db.close()
        save_state()

    @staticmethod
    def insert_row(db, table, values):
        marks = []
        params = []
        for v in values:
            if isinstance(v, tuple):
                encoding, text = v
                # GBK bytes go in as text with the bytes unchanged, the way the product
                # stores paths of the system code page.
                marks.append("CAST(? AS TEXT)" if encoding == "gbk" else "?")
                params.append(text.encode("gbk") if encoding == "gbk" else text)
            else:
                marks.append("?")
                params.append(v)
        db.execute(f"insert into {table} values ({', '.join(marks)})", params)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--prefix", required=True)
    parser.add_argument("--root", required=True, help="host folder holding the mapped drives")
    parser.add_argument("--print-self-ip", action="store_true")
    parser.add_argument("scenario", nargs="?")
    args = parser.parse_args()
    if args.print_self_ip:
        print(self_address())
        return
    if not args.scenario:
        parser.error("a scenario file is needed")
    Installer(args.prefix, args.root).apply(Scenario(args.scenario))


if __name__ == "__main__":
    main()

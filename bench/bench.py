#!/usr/bin/env python3
"""make bench: the setup beside an NSIS installer and a floor program doing the same job, under the
same Wine.

    bench.py BUILD_DIR [--pairs N] [--out bench/results.md] [--check-only | --sizes]

Wine, its wineserver and the X server of the page and download rows run on one CPU, this script and
the download's HTTP server (a process of its own, bench/serve.py) on another: a wineserver round
trip costs several times more when client and server share a CPU with whatever else runs, so
nothing pinned gives figures that jump between two levels.

Every installation run gets a fresh copy of the pristine prefix (written to disk with `sync`
before the run) with its own persistent wineserver and its background services already up (held
by `launch.exe hold`), so no run pays for booting Wine and no run sees another's files or registry.
The installers take turns, A B C A B C, after one warm-up round that is not counted. Per run:

- wall time: from CreateProcess to the end of the installer, taken inside Wine by launch.exe;
- CPU time: user + system time of the installer's own Linux process (wait4 on it: this script is a
  child subreaper, so the installer, which Wine double-forks, is reparented to it);
- CPU with Wine: the above plus the helper processes it started (one menu helper per saved link)
  and what the wineserver and the prefix's services spent meanwhile;
- peak memory: the installer process's peak resident set (ru_maxrss).

Before timing, each installer runs once in a fresh prefix whose wineserver traces every request
(bench/server_trace.py): that run gives the exact number of wineserver requests, and what it left
behind is compared with the setup's: the same files, ini, links, registry keys and values. A
difference stops the benchmark.

Installers: ours; NSIS from the same payload and tables (bench/gen_nsis.py); the floor program
(bench/floor.cpp, tables by bench/gen_floor.py), the same job with the cheapest calls. Besides:
the time to the first wizard page against an NSIS wizard of the modern interface whose first page
asks for the folder; "/silent" with generated payloads of the same 23 names at 1x to 1000x the
sample's size; "/silent" with a realistic 50 MB payload against NSIS with LZMA per file; a 20 MiB
download from 127.0.0.1 by the setup's download dialog, a bare WinInet loop with the same 1024-byte
blocks and curl, timed by each program itself, with the requests per MiB of the first two.

The setup's size beside NSIS's with each compressor and the floor of per-file compression
(bench/setup_size.py) needs no timing: --sizes runs that part alone, on any machine.
"""
import argparse
import ctypes
import hashlib
import json
import os
import random
import re
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import time

SOURCE = os.path.abspath(os.path.join(os.path.dirname(__file__), ".."))
sys.path.insert(0, os.path.join(SOURCE, "tests", "e2e"))
from harness import Registry, read_lnk, start_xvfb  # noqa: E402
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import server_trace  # noqa: E402
import setup_size  # noqa: E402
from job import FULL_SWITCHES  # noqa: E402

def _wine_env():
    """The variables that scripts/wine-env sets for every Wine run of ours (the tests use the same)."""
    out = subprocess.run(["sh", "-c", '. "$0" && env -0', os.path.join(SOURCE, "scripts", "wine-env")],
                         env={"PATH": os.environ.get("PATH", "/usr/bin:/bin"), "WINEDEBUG": "-all"},
                         capture_output=True, check=True).stdout
    pairs = (item.split("=", 1) for item in out.decode().split("\0") if "=" in item)
    return {k: v for k, v in pairs if k.startswith("WINE")}


WINE_ENV = _wine_env()
FOLDER = "C:\\Program Files\\Pixmora"  # the default folder of both in a fresh prefix
DOWNLOAD_BYTES = 20 * 1024 * 1024


def winpath(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


# --- processes ------------------------------------------------------------------------------
class Reaper:
    """Collects every process that ends below this one, with its resource usage. As a child
    subreaper this process inherits the orphans that Wine makes of every Windows process."""

    def __init__(self):
        libc = ctypes.CDLL(None, use_errno=True)
        if libc.prctl(36, 1, 0, 0, 0) != 0:  # PR_SET_CHILD_SUBREAPER
            raise OSError(ctypes.get_errno(), "cannot become a child subreaper")
        self.ended = {}  # pid -> (comm, cpu seconds, peak rss KiB, exit status)

    def _reap_one(self, block):
        try:
            info = os.waitid(os.P_ALL, 0, os.WEXITED | os.WNOWAIT | (0 if block else os.WNOHANG))
        except ChildProcessError:
            return None
        if info is None:
            return None
        try:
            with open(f"/proc/{info.si_pid}/comm") as f:
                comm = f.read().strip()
        except OSError:
            comm = "?"
        pid, status, ru = os.wait4(info.si_pid, 0)
        self.ended[pid] = (comm, ru.ru_utime + ru.ru_stime, ru.ru_maxrss, os.waitstatus_to_exitcode(status))
        return pid

    def wait(self, pid, timeout, also=None):
        """Reaps until `pid` has ended, and with `also` (a process name) until a process of that name
        has ended too: Wine reports a process ended before its Linux process is gone. Returns every
        process that ended meanwhile."""
        start = set(self.ended)
        deadline = time.monotonic() + timeout

        def done():
            if pid not in self.ended:
                return False
            if self.ended[pid][3] != 0:  # the launcher failed: nothing else to wait for
                return True
            return also is None or any(self.ended[p][0] == also for p in self.ended if p not in start)

        while not done():
            if self._reap_one(block=False) is None:
                if time.monotonic() > deadline:
                    raise TimeoutError(f"process {pid} ({also}) did not end in {timeout} s")
                time.sleep(0.001)
        while self._reap_one(block=False) is not None:
            pass
        return {p: v for p, v in self.ended.items() if p not in start}

    def collect(self):
        while self._reap_one(block=False) is not None:
            pass


# The CPU of Wine, its server and the X server; the CPU of this script and the HTTP server.
CPUS = {"wine": None, "other": None}


def pin_cpus():
    cpus = sorted(os.sched_getaffinity(0))
    if len(cpus) < 2:
        raise SystemExit("make bench needs two CPUs: one for Wine, one for the rest")
    CPUS["wine"], CPUS["other"] = cpus[0], cpus[1]
    os.sched_setaffinity(0, {CPUS["other"]})


def on_wine_cpu(args):
    return ["taskset", "-c", str(CPUS["wine"]), *args]


def spawn(args, env, out, stdin=None):
    """Starts a program on Wine's CPU with stdout and stderr in the file `out` and stdin from the
    descriptor `stdin` (else nothing); returns its pid."""
    args = on_wine_cpu(args)
    actions = [(os.POSIX_SPAWN_OPEN, 1, out, os.O_WRONLY | os.O_CREAT | os.O_TRUNC, 0o644),
               (os.POSIX_SPAWN_DUP2, 1, 2)]
    if stdin is None:
        actions.append((os.POSIX_SPAWN_OPEN, 0, "/dev/null", os.O_RDONLY, 0))
    else:
        actions.append((os.POSIX_SPAWN_DUP2, stdin, 0))
    return os.posix_spawnp(args[0], args, env, file_actions=actions)


def children_cpu():
    """CPU nanoseconds of every live child of this process, by pid."""
    me, result = os.getpid(), {}
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open(f"/proc/{entry}/stat") as f:
                stat = f.read()
            if int(stat.rsplit(")", 1)[1].split()[1]) != me:
                continue
            with open(f"/proc/{entry}/schedstat") as f:
                result[int(entry)] = int(f.read().split()[0])
        except (OSError, ValueError, IndexError):
            continue
    return result


# --- one Windows machine ----------------------------------------------------------------------
class Prefix:
    """A fresh copy of the pristine prefix, its wineserver kept running and its services up."""

    def __init__(self, bench, display=None, trace=False):
        self.bench = bench
        self.root = tempfile.mkdtemp(prefix="bench.", dir=bench.tmp)
        self.prefix = os.path.join(self.root, "prefix")
        subprocess.run(["cp", "-a", os.path.join(bench.pristine, "prefix"), self.prefix], check=True)
        subprocess.run(["sync"], check=True)  # else the copy's write-back falls into the next run
        os.makedirs(os.path.join(self.root, "home"))
        if display:
            # Windows on a virtual desktop of Wine's own: on a bare X server without a window
            # manager, Wine waits two seconds for each closed top-level window to be withdrawn.
            with open(os.path.join(self.prefix, "user.reg"), "a") as f:
                f.write('\n[Software\\\\Wine\\\\Explorer] 1700000000\n"Desktop"="Default"\n'
                        '\n[Software\\\\Wine\\\\Explorer\\\\Desktops] 1700000000\n"Default"="1024x768"\n')
        self.env = dict(os.environ, WINEPREFIX=self.prefix, HOME=os.path.join(self.root, "home"), **WINE_ENV)
        self.env.pop("DISPLAY", None)
        if display:
            self.env["DISPLAY"] = display
        self.trace = os.path.join(self.root, "server.out")
        self.server = spawn(["wineserver", "-f", "-p"] + (["-d1"] if trace else []), self.env, self.trace)
        hold_out = os.path.join(self.root, "hold.out")
        self.hold = spawn(["wine", bench.tool("launch.exe"), "hold"], self.env, hold_out)
        bench.prefixes.append(self)
        deadline = time.monotonic() + 120
        while "ready" not in open(hold_out).read():
            if time.monotonic() > deadline:
                raise TimeoutError("the prefix did not come up")
            bench.reaper.collect()
            time.sleep(0.02)
        self.settle()

    def settle(self, quiet_ms=40, limit=5.0):
        """Waits until the prefix's processes have been idle for a moment (services starting up)."""
        deadline = time.monotonic() + limit
        while time.monotonic() < deadline:
            before = sum(children_cpu().values())
            time.sleep(0.1)
            self.bench.reaper.collect()
            if sum(children_cpu().values()) - before < quiet_ms * 1e6 * 0.1:
                return

    def run(self, cmdline, exe_name, timeout=120, how="run", env=None):
        """Runs one exact command line through launch.exe (`how`: run to its end, or page: until its
        first window shows); returns its measurements."""
        out = os.path.join(self.root, "run.out")
        env = dict(self.env, BENCH_CMDLINE=cmdline, **(env or {}))
        go_read, go_write = os.pipe()
        pid = spawn(["wine", self.bench.tool("launch.exe"), how], env, out, stdin=go_read)
        os.close(go_read)
        # The launcher's own start is not part of the measurement: readings begin when it is ready.
        deadline = time.monotonic() + timeout
        while "ready" not in open(out).read():
            self.bench.reaper.collect()
            if pid in self.bench.reaper.ended or time.monotonic() > deadline:
                raise RuntimeError(f"launch.exe did not start: {open(out).read().strip()}")
            time.sleep(0.002)
        time.sleep(0.02)
        before = children_cpu()
        os.write(go_write, b"go\n")
        os.close(go_write)
        comm = exe_name[:15]  # Wine names the Linux process after the program file
        ended = self.bench.reaper.wait(pid, timeout, also=comm)
        after = children_cpu()
        with open(out) as f:
            text = f.read()
        m = re.search(r"wall_us=(\d+) exit=(\d+)", text)
        if not m:
            raise RuntimeError(f"launch.exe failed ({ended.get(pid)}): {text.strip()}")
        mine = [v for p, v in ended.items() if v[0] == comm]
        if len(mine) != 1:
            raise RuntimeError(f"cannot tell the process of {exe_name} among {list(ended.values())}")
        _, cpu, rss, _ = mine[0]
        helpers = sum(v[1] for p, v in ended.items() if p != pid and v[0] != comm)
        longlived = sum(max(0, after.get(p, 0) - ns) for p, ns in before.items() if p != pid) / 1e9
        window = re.search(r"window=(.*)", text)
        return {"wall": int(m.group(1)) / 1e6, "exit": int(m.group(2)), "cpu": cpu,
                "window": window.group(1).strip() if window else None,
                "cpu_all": cpu + helpers + longlived, "rss": rss / 1024.0}

    def requests(self, exe_name):
        """(own, its helpers') wineserver requests of the last run of `exe_name`; after close()."""
        with open(self.trace, errors="replace") as f:
            return server_trace.count(f, exe_name)

    def unix(self, winpath_):
        drive, _, rest = winpath_.partition(":")
        return os.path.join(self.prefix, "dosdevices", drive.lower() + ":", rest.replace("\\", "/").lstrip("/"))

    def close(self):
        """Ends the wineserver (which writes the registry files) and every process of the prefix."""
        if self not in self.bench.prefixes:
            return
        self.bench.prefixes.remove(self)
        subprocess.run(["wineserver", "-k"], env=self.env, timeout=60,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.bench.reaper.wait(self.server, 60)
        self.bench.reaper.wait(self.hold, 60)

    def remove(self):
        self.close()
        shutil.rmtree(self.root, ignore_errors=True)


# --- what an installation left behind ---------------------------------------------------------
# The one thing a prefix changes by itself on each start: the display driver's date.
VOLATILE_VALUES = {("hklm\\system\\currentcontrolset\\control\\class\\"
                    "{4d36e968-e325-11ce-bfc1-08002be10318}\\0000", "driverdatedata")}
SKIP_DIRS = re.compile(r"^(\./)?windows$|(^|/)temp$", re.I)  # the system folder and temp folders


def snapshot(prefix):
    """Files below drive C (outside the system folders and temp), parsed links, the registry."""
    drive = os.path.join(prefix.prefix, "drive_c")
    files = {}
    for top, dirs, names in os.walk(drive):
        rel_top = os.path.relpath(top, drive)
        dirs[:] = [d for d in dirs if not SKIP_DIRS.search(os.path.join(rel_top, d).lower())]
        for d in dirs:
            files[os.path.join(rel_top, d) + "/"] = "dir"
        for name in names:
            path = os.path.join(top, name)
            rel = os.path.normpath(os.path.join(rel_top, name))
            if name.lower().endswith(".lnk"):
                link = read_lnk(path)
                # NSIS always sets a description and, to give one, (empty) arguments: an empty
                # text is the same link as none.
                link["arguments"] = link["arguments"] or None
                link["description"] = link["description"] or None
                files[rel] = link
            elif name.lower().endswith(".ini"):
                with open(path, "rb") as f:  # same keys and values, whatever the encoding
                    raw = f.read()
                text = raw.decode("utf-16") if raw[:2] in (b"\xff\xfe", b"\xfe\xff") else raw.decode("cp1252")
                files[rel] = sorted(line.strip() for line in text.splitlines() if line.strip())
            else:
                with open(path, "rb") as f:
                    files[rel] = hashlib.sha256(f.read()).hexdigest()
    reg = Registry(prefix.prefix)
    keys = {}
    for hive, name in ((reg.hklm, "HKLM"), (reg.hkcu, "HKCU")):
        for key, values in hive.items():
            path = f"{name}\\{key}"
            keys[path] = {k: v for k, v in values.items() if (path.lower(), k) not in VOLATILE_VALUES}
    return files, keys


def compare(a, b):
    """Differences between two snapshots as readable lines."""
    lines = []
    fa, ka = a
    fb, kb = b
    for rel in sorted(set(fa) | set(fb)):
        if fa.get(rel) != fb.get(rel):
            lines.append(f"file {rel}: {fa.get(rel)!r} / {fb.get(rel)!r}")
    for key in sorted(set(ka) | set(kb)):
        va, vb = ka.get(key), kb.get(key)
        if va is None or vb is None:
            lines.append(f"key {key}: {'missing' if va is None else 'present'} / {'missing' if vb is None else 'present'}")
            continue
        for name in sorted(set(va) | set(vb)):
            x, y = va.get(name), vb.get(name)
            if x is None or y is None or x != y:
                lines.append(f"value {key} [{name}]: {x!r} / {y!r}")
    return lines


# --- the benchmark ----------------------------------------------------------------------------
INSTALLERS = ("ours", "NSIS", "floor")
SCALES = (1, 10, 100, 1000)  # payload sizes in multiples of the sample's


class Bench:
    def __init__(self, build, pairs, out):
        self.build = os.path.abspath(build)
        self.pairs = pairs
        self.out = out
        self.pristine = os.path.join(self.build, "wine", "pristine")
        self.tmp = os.path.join(self.build, "bench")
        os.makedirs(self.tmp, exist_ok=True)
        self.reaper = Reaper()
        self.setup = os.path.join(self.build, "pixmora_setup.exe")
        self.payload = self.payload_dir()
        self.prefixes = []  # open ones, ended if the benchmark stops early

    def tool(self, name):
        return os.path.join(self.build, "bench", "tools", name)

    def payload_dir(self):
        with open(os.path.join(self.build, "CMakeCache.txt")) as f:
            m = re.search(r"^PIXMORA_PAYLOAD_DIR:PATH=(.*)$", f.read(), re.M)
        return m.group(1)

    def log(self, text):
        print(text, flush=True)

    # NSIS installers from the same payload
    def nsis_exe(self, mode, compression, payload, name):
        exe = os.path.join(self.tmp, name + ".exe")
        nsi = os.path.join(self.tmp, name + ".nsi")
        subprocess.run([sys.executable, os.path.join(SOURCE, "bench", "gen_nsis.py"), mode,
                        compression, payload, exe, nsi], check=True)
        subprocess.run(["makensis", "-V1", nsi], check=True)
        return exe

    def make_nsis(self):
        """The uncompressed NSIS installers that are timed (the size part makes its own)."""
        self.nsis = {}
        for mode in ("plain", "full", "page"):
            self.nsis[(mode, "off")] = self.nsis_exe(mode, "off", self.payload, f"nsis_{mode}_off")

    def commands(self, mode):
        """(label, exact command line, exe name) of each installer for one mode."""
        tail = "" if mode == "plain" else " " + FULL_SWITCHES
        nsis = self.nsis[(mode, "off")]
        floor = self.tool(f"floor_{mode}.exe")
        return [("ours", f'"{winpath(self.setup)}" /silent{tail}', os.path.basename(self.setup)),
                ("NSIS", f'"{winpath(nsis)}" /S /D={FOLDER}', os.path.basename(nsis)),
                ("floor", f'"{winpath(floor)}" "{FOLDER}"', os.path.basename(floor))]

    def check_same_job(self, mode):
        """Runs each installer once with the server's trace on; stops on any difference from what
        ours leaves behind. Returns the requests of each: {label: (own, helpers)}."""
        snaps, requests = [], {}
        for label, cmdline, exe in self.commands(mode):
            p = Prefix(self, trace=True)
            try:
                r = p.run(cmdline, exe)
                if r["exit"] != 0:
                    raise SystemExit(f"{label} ({mode}) exited with {r['exit']}")
                p.close()
                snaps.append((label, snapshot(p)))
                requests[label] = p.requests(exe)
            finally:
                p.remove()
        files, keys = snaps[0][1]
        installed = [f for f in files if f.lower().startswith("program files/pixmora/") and not f.endswith("/")]
        for label, snap in snaps[1:]:
            diffs = compare(snaps[0][1], snap)
            if diffs or len(installed) != 24:
                raise SystemExit(f"ours and {label} did not do the same job ({mode}):\n  "
                                 + "\n  ".join(diffs[:40] or [f"{len(installed)} files installed"]))
        links = [f for f in files if f.endswith(".lnk")]
        pixmora_keys = [k for k in keys if "pixmora" in k.lower()]
        self.log(f"same job ({mode}): {len(installed)} files, {len(links)} links, {len(keys)} registry "
                 f"keys compared ({len(pixmora_keys)} naming Pixmora), no difference; requests "
                 + ", ".join(f"{label} {own} (+{helpers})" for label, (own, helpers) in requests.items()))
        return requests

    def time_rounds(self, commands):
        """Each command in a fresh prefix, in turns, after one warm-up round: {label: [runs]}."""
        results = {label: [] for label, _, _ in commands}
        for i in range(self.pairs + 1):
            for label, cmdline, exe in commands:
                p = Prefix(self)
                try:
                    r = p.run(cmdline, exe)
                finally:
                    p.close()
                    p.remove()
                if r["exit"] != 0:
                    raise SystemExit(f"{label} exited with {r['exit']}")
                if i > 0:  # the first round warms the page cache and is not counted
                    results[label].append(r)
            sys.stdout.write(".")
            sys.stdout.flush()
        print()
        return results

    # payloads of other sizes
    def scale_payload(self, factor):
        """A payload of the same 23 names, each file `factor` times its sample's size, of
        incompressible bytes (the same on every run)."""
        folder = os.path.join(self.tmp, "scale", f"payload_{factor}x")
        stamp = os.path.join(folder, ".complete")
        if os.path.exists(stamp):
            return folder
        shutil.rmtree(folder, ignore_errors=True)
        rng = random.Random(factor)
        for top, _, names in os.walk(self.payload):
            for name in sorted(names):
                source = os.path.join(top, name)
                target = os.path.join(folder, os.path.relpath(source, self.payload))
                os.makedirs(os.path.dirname(target), exist_ok=True)
                with open(target, "wb") as f:
                    f.write(rng.randbytes(os.path.getsize(source) * factor))
        open(stamp, "w").close()
        return folder

    def scale_setup(self, factor, payload):
        """Our setup with another payload, built in a build folder of its own."""
        exe = os.path.join(self.tmp, "scale", f"pixmora_setup_{factor}x.exe")
        build = os.path.join(self.tmp, "scale", "build")
        subprocess.run(["cmake", "--no-warn-unused-cli", "-S", SOURCE, "-B", build,
                        f"-DCMAKE_TOOLCHAIN_FILE={SOURCE}/cmake/mingw-i686.cmake",
                        f"-DPIXMORA_PAYLOAD_DIR={payload}"], check=True, stdout=subprocess.DEVNULL)
        subprocess.run(["cmake", "--build", build, "-j", str(os.cpu_count()), "--target", "pixmora_setup"],
                       check=True, stdout=subprocess.DEVNULL)
        shutil.copy(os.path.join(build, "pixmora_setup.exe"), exe)
        return exe

    def scale(self):
        """"/silent" of ours and NSIS with payloads of every size, counted once with the trace on and
        then timed: {factor: (bytes, {label: [runs]}, {label: requests})}."""
        commands, sizes = [], {}
        for factor in SCALES:
            payload = self.scale_payload(factor)
            sizes[factor] = sum(os.path.getsize(os.path.join(t, n)) for t, _, ns in os.walk(payload)
                                for n in ns if n != ".complete")
            ours = self.scale_setup(factor, payload)
            nsis = self.nsis_exe("plain", "off", payload, f"nsis_scale_{factor}x")
            commands += [((factor, "ours"), f'"{winpath(ours)}" /silent', os.path.basename(ours)),
                         ((factor, "NSIS"), f'"{winpath(nsis)}" /S /D={FOLDER}', os.path.basename(nsis))]
        requests = {}
        for key, cmdline, exe in commands:
            p = Prefix(self, trace=True)
            try:
                if p.run(cmdline, exe)["exit"] != 0:
                    raise SystemExit(f"{key} exited with an error")
                p.close()
                requests[key] = p.requests(exe)[0]
            finally:
                p.remove()
        self.log(f"timing /silent at {', '.join(f'{f}x' for f in SCALES)} the payload: {self.pairs} rounds after a "
                 "warm-up round; requests " + ", ".join(f"{f}x {label} {n}" for (f, label), n in requests.items()))
        runs = self.time_rounds(commands)
        return {f: (sizes[f], {label: runs[(f, label)] for label in ("ours", "NSIS")},
                    {label: requests[(f, label)] for label in ("ours", "NSIS")}) for f in SCALES}

    def first_page(self):
        """From process start to the first wizard page shown and painted, ours against NSIS's
        wizard, taking turns in one prefix on a virtual screen (nothing is installed)."""
        nsis = self.nsis[("page", "off")]
        commands = [("ours", f'"{winpath(self.setup)}"', os.path.basename(self.setup)),
                    ("NSIS", f'"{winpath(nsis)}"', os.path.basename(nsis))]
        results = {"ours": [], "NSIS": []}
        display = Display()
        p = Prefix(self, display=display.name)
        try:
            for i in range(self.pairs + 1):
                for label, cmdline, exe in commands:
                    r = p.run(cmdline, exe, how="page")
                    if i:
                        results[label].append(r)
                    else:
                        self.log(f"first window of {label}: {r['window']!r}")
                p.settle()
        finally:
            p.remove()
            display.close()
        return results

    def floor(self, runs=7):
        """A trivial program's start (times, and its requests from a traced run), and a plain copy
        of the payload (no Wine)."""
        starts = []
        trivial = f'"{winpath(self.tool("trivial.exe"))}"'
        p = Prefix(self)
        try:
            for i in range(runs + 1):
                r = p.run(trivial, "trivial.exe")
                if i:
                    starts.append(r)
        finally:
            p.remove()
        p = Prefix(self, trace=True)
        try:
            p.run(trivial, "trivial.exe")
            p.close()
            starts[0]["requests"] = p.requests("trivial.exe")[0]
        finally:
            p.remove()
        copies = []
        for i in range(runs + 1):
            target = tempfile.mkdtemp(prefix="copy.", dir=self.tmp)
            t = time.perf_counter()
            subprocess.run(["cp", "-r", self.payload + "/.", target], check=True)
            elapsed = time.perf_counter() - t
            shutil.rmtree(target)
            if i:
                copies.append(elapsed)
        return starts, copies

    def sizes(self):
        """The setup's size beside NSIS's and the floor's, for every payload (bench/setup_size.py)."""
        return setup_size.SetupSize(self.build, self.tmp, self.payload, self.log).run()

    def realistic(self, rows):
        """"/silent" with the realistic 50 MB payload: ours, which unpacks it, against NSIS with
        LZMA per file, which does too (both built by the size part)."""
        row = next(r for r in rows if r["name"] == setup_size.TIMED)
        nsis = self.nsis_exe("plain", "lzma", row["folder"], "nsis_realistic_lzma")
        self.log(f'timing /silent with the {row["name"]} payload: {self.pairs} rounds after a warm-up round')
        return self.time_rounds([("ours", f'"{winpath(row["exe"])}" /silent', os.path.basename(row["exe"])),
                                 ("NSIS", f'"{winpath(nsis)}" /S /D={FOLDER}', os.path.basename(nsis))])

    def run(self):
        t0 = time.monotonic()
        self.make_nsis()
        # The sizes first: they build (ours with each payload), which the timings must not meet.
        results = {"requests": {}, "timed": {}, "setup_size": self.sizes()}
        for mode in ("plain", "full"):
            results["requests"][mode] = self.check_same_job(mode)
        for mode in ("plain", "full"):
            self.log(f"timing {mode}: {self.pairs} rounds of {', '.join(INSTALLERS)} after a warm-up round")
            results["timed"][mode] = self.time_rounds(self.commands(mode))
        results["scale"] = self.scale()
        results["realistic"] = self.realistic(results["setup_size"])
        self.log("first page")
        results["page"] = self.first_page()
        self.log("floor")
        results["starts"], results["copies"] = self.floor()
        results["payload"] = setup_size.folder_bytes(self.payload)
        self.log("download")
        results["download"] = Download(self).run()
        results["duration"] = time.monotonic() - t0
        results["pairs"], results["load"] = self.pairs, os.getloadavg()[0]
        results["date"] = time.strftime("%Y-%m-%d %H:%M")
        with open(os.path.join(self.tmp, "results.json"), "w") as f:
            json.dump(results, f)
        self.report(results)

    def report(self, results):
        """Writes the report and the README's summary from the figures of a run."""
        report = Report(self, results, results["duration"])
        text = report.markdown()
        print()
        print(text)
        with open(self.out, "w") as f:
            f.write(text)
        if self.pairs >= 7:  # a trial run with fewer rounds leaves the README alone
            update_readme(report.summary())
            update_readme_sizes(results["setup_size"])

    def report_sizes(self):
        """The size part alone: its section of the report and of the README."""
        rows = self.sizes()
        with open(os.path.join(self.tmp, "setup_size.json"), "w") as f:
            json.dump(rows, f)
        text = setup_size.section(rows, time.strftime("%Y-%m-%d %H:%M"))
        print(text)
        setup_size.replace_block(self.out, setup_size.SECTION_BEGIN, setup_size.SECTION_END, text)
        update_readme_sizes(rows)


# --- the download -----------------------------------------------------------------------------
class Download:
    """The download dialog, a bare WinInet loop with the same 1024-byte blocks, and curl, each
    fetching the same file from the HTTP server on 127.0.0.1 (on the other CPU); each timed by
    itself. Then one run of the dialog and of the loop with the server's trace on, for their
    requests."""

    TOOLS = {"wininet": "wininet_loop.exe", "dialog": "download_run.exe"}

    def __init__(self, bench):
        self.bench = bench

    def run(self):
        body = os.path.join(self.bench.tmp, "download.bin")
        with open(body, "wb") as f:
            f.write(os.urandom(DOWNLOAD_BYTES))
        with open(body, "rb") as f:
            digest = hashlib.sha256(f.read()).digest()
        out = os.path.join(self.bench.tmp, "serve.out")
        with open(out, "w") as log:
            server = subprocess.Popen(["taskset", "-c", str(CPUS["other"]), sys.executable,
                                       os.path.join(SOURCE, "bench", "serve.py"), body],
                                      stdin=subprocess.PIPE, stdout=log, stderr=subprocess.STDOUT)
        try:
            deadline = time.monotonic() + 30
            while not re.search(r"port=(\d+)", open(out).read()):
                if server.poll() is not None or time.monotonic() > deadline:
                    raise SystemExit(f"the HTTP server did not start: {open(out).read().strip()}")
                time.sleep(0.05)
            port = re.search(r"port=(\d+)", open(out).read()).group(1)
            return self.measure(f"http://127.0.0.1:{port}/files/payload.bin", digest)
        finally:
            server.stdin.close()
            server.wait(timeout=30)
            os.remove(body)

    def measure(self, url, digest):
        result = {"curl": [], "wininet": [], "dialog": [], "requests": {}}
        target = os.path.join(self.bench.tmp, "curl.bin")
        for i in range(self.bench.pairs + 1):
            r = subprocess.run(on_wine_cpu(["curl", "-s", "-o", target, "-w", "%{time_total}", url]),
                               check=True, capture_output=True, text=True)
            self.check(target, digest)
            if i:
                result["curl"].append(float(r.stdout))
        os.remove(target)

        # The dialog and the bare loop take turns in one prefix, on a virtual screen.
        display = Display()
        try:
            p = Prefix(self.bench, display=display.name)
            try:
                local = p.unix("C:\\dl.bin")
                for i in range(self.bench.pairs + 1):
                    for key, tool in self.TOOLS.items():
                        seconds = self.wine_download(p, tool, url)
                        self.check(local, digest)
                        if i:  # the first turn is a warm-up
                            result[key].append(seconds)
            finally:
                p.remove()
            for key, tool in self.TOOLS.items():
                p = Prefix(self.bench, display=display.name, trace=True)
                try:
                    env = {"BENCH_URL": url, "BENCH_TARGET": "C:\\dl.bin"}
                    r = p.run(f'"{winpath(self.bench.tool(tool))}"', tool, timeout=600, env=env)
                    if r["exit"] != 0:
                        raise SystemExit(f"{tool} failed with the trace on ({r['exit']})")
                    self.check(p.unix("C:\\dl.bin"), digest)
                    p.close()
                    result["requests"][key] = p.requests(tool)[0]
                finally:
                    p.remove()
        finally:
            display.close()
        return result

    def wine_download(self, prefix, tool, url):
        """Seconds of one download inside the prefix, as the program measured it."""
        out = os.path.join(prefix.root, "dl.out")
        env = dict(prefix.env, BENCH_URL=url, BENCH_TARGET="C:\\dl.bin")
        pid = spawn(["wine", self.bench.tool(tool)], env, out)
        ended = self.bench.reaper.wait(pid, 300)
        with open(out) as f:
            text = f.read()
        m = re.search(r"seconds=([0-9.]+)", text)
        if ended[pid][3] != 0 or not m:
            raise SystemExit(f"{tool} failed: {text.strip()}")
        return float(m.group(1))

    @staticmethod
    def check(path, digest):
        with open(path, "rb") as f:
            if hashlib.sha256(f.read()).digest() != digest:
                raise SystemExit(f"{path}: the downloaded file differs from the served one")


class Display:
    """A virtual screen for the download dialog."""

    def __init__(self):
        self.proc, self.name = start_xvfb()
        os.sched_setaffinity(self.proc.pid, {CPUS["wine"]})  # the windows' server beside Wine's

    def close(self):
        self.proc.terminate()
        self.proc.wait(timeout=30)


def pe_sections(path):
    """File bytes of each section of a PE file, by name."""
    import struct
    with open(path, "rb") as f:
        data = f.read()
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    count, optional = struct.unpack_from("<H", data, pe + 6)[0], struct.unpack_from("<H", data, pe + 20)[0]
    table = pe + 24 + optional
    sections = {}
    for i in range(count):
        name = data[table + 40 * i:table + 40 * i + 8].rstrip(b"\0").decode()
        sections[name] = struct.unpack_from("<I", data, table + 40 * i + 16)[0]
    return sections


# --- the table ----------------------------------------------------------------------------------
def ms(seconds):
    return f"{seconds * 1000:.0f} ms" if seconds >= 0.0995 else f"{seconds * 1000:.1f} ms"


def _emulated():
    """True when i386 programs, and so Wine's 32-bit half, run under qemu's user emulation
    (scripts/install-deps): then times are an emulator's, not a Windows machine's."""
    try:
        with open("/proc/sys/fs/binfmt_misc/qemu-i386") as f:
            return f.readline().strip() == "enabled"
    except OSError:
        return False


EMULATED = _emulated()
EMULATED_LINE = ("make bench: Wine runs under qemu's user emulation on this machine: no timing aim is judged "
                 "(request counts and sizes are)")


def verdict(value, aim, at_least=False):
    """"met" or "missed by ..." for a ratio and its aim (at most, or at least, the aim)."""
    met = value >= aim if at_least else value <= aim
    return "met" if met else f"missed by {abs(value - aim):.2f} ({abs(value / aim - 1) * 100:.0f}%)"


class Report:
    def __init__(self, bench, results, duration):
        self.bench, self.r, self.duration = bench, results, duration

    @staticmethod
    def spread(values, fmt):
        return f"{fmt(statistics.median(values))} ({fmt(min(values))} – {fmt(max(values))})"

    @staticmethod
    def paired(a, b, key):
        """The median over the rounds of a's value / b's."""
        return statistics.median(x[key] / y[key] for x, y in zip(a, b) if y[key])

    def ratio(self, mode, key, other="NSIS"):
        r = self.r["timed"][mode]
        return self.paired(r["ours"], r[other], key)

    def request_ratio(self, mode, other):
        q = self.r["requests"][mode]
        return q["ours"][0] / q[other][0]

    def timing_table(self, mode):
        r, q = self.r["timed"][mode], self.r["requests"][mode]
        rows = [("wall time", "wall", ms), ("CPU, installer process", "cpu", ms),
                ("CPU with wineserver and helpers", "cpu_all", ms), ("peak memory", "rss", lambda v: f"{v:.1f} MiB")]
        out = ["| | ours | NSIS | floor | ours / NSIS | ours / floor |", "|---|---|---|---|---|---|"]
        cells = [f"{q[label][0]} (+{q[label][1]})" for label in INSTALLERS]
        out.append(f"| wineserver requests (+ its helper processes') | {' | '.join(cells)} | "
                   f"{self.request_ratio(mode, 'NSIS'):.2f} | {self.request_ratio(mode, 'floor'):.2f} |")
        for title, key, fmt in rows:
            cells = [self.spread([x[key] for x in r[label]], fmt) for label in INSTALLERS]
            out.append(f"| {title} | {' | '.join(cells)} | {self.ratio(mode, key):.2f} | "
                       f"{self.ratio(mode, key, 'floor'):.2f} |")
        return out

    def page_ratio(self):
        p = self.r["page"]
        return self.paired(p["ours"], p["NSIS"], "wall")

    def download_rates(self):
        """Median MB/s of each client, and requests per MiB of the dialog and the loop."""
        d = self.r["download"]
        rate = {k: statistics.median(DOWNLOAD_BYTES / 1e6 / s for s in d[k]) for k in ("dialog", "wininet", "curl")}
        per_mib = {k: n / (DOWNLOAD_BYTES / 1048576) for k, n in d["requests"].items()}
        return rate, per_mib

    def aims(self):
        """(what, value, aim, at least, note) of every aim."""
        rate, per_mib = self.download_rates()
        timed = self.r["timed"]["plain"]
        floor_nsis = self.paired(timed["floor"], timed["NSIS"], "wall")
        return [('"/silent": wineserver requests, ours / floor', self.request_ratio("plain", "floor"), 1.15, False, ""),
                ('"/silent": wall time, ours / floor', self.ratio("plain", "wall", "floor"), 1.15, False,
                 f"the floor itself is {floor_nsis:.2f}x NSIS here, so no program gets far below that against NSIS"),
                ("full run: wall time, ours / NSIS", self.ratio("full", "wall"), 0.85, False,
                 "both installers alike make Wine start its menu helper once per saved link, 12 times"),
                ("first page: time, ours / NSIS's modern wizard", self.page_ratio(), 1.0, False, ""),
                (f'"/silent", {setup_size.TIMED} payload: wall time, ours / NSIS lzma',
                 self.paired(self.r["realistic"]["ours"], self.r["realistic"]["NSIS"], "wall"), 1.0, False,
                 "both unpack LZMA"),
                ("download: dialog / bare loop, MB/s", rate["dialog"] / rate["wininet"], 0.9, True, ""),
                ("download: requests per MiB, dialog / bare loop", per_mib["dialog"] / per_mib["wininet"], 1.1, False, ""),
                ('"/silent": peak memory, ours / NSIS', self.ratio("plain", "rss"), 1.0, False, ""),
                ("full run: peak memory, ours / NSIS", self.ratio("full", "rss"), 1.0, False, "")]

    def aim_lines(self):
        def judged(what, value, aim, least):
            if EMULATED and "requests" not in what:
                return "not judged (Wine ran under emulation)"
            return verdict(value, aim, least)
        return [f"- {what}: {value:.2f}, aim {'≥' if least else '≤'} {aim:g}: {judged(what, value, aim, least)}"
                + (f" ({note})" if note else "") for what, value, aim, least, note in self.aims()]

    def summary(self):
        """The README's short form: one line per measure, paired median ratios."""
        out = ([EMULATED_LINE, ""] if EMULATED else []) + [f"Latest run ({self.r['date'][:10]}, {self.bench.pairs} rounds, load average "
               f"{self.r['load']:.1f} on {os.cpu_count()} cores, Wine pinned to one CPU); medians, ratio = "
               "median of ours / other per round:", "",
               "| | ours | NSIS | floor | ours / NSIS | ours / floor |", "|---|---|---|---|---|---|"]
        for mode, title in (("plain", "/silent"), ("full", "/silent " + FULL_SWITCHES)):
            r, q = self.r["timed"][mode], self.r["requests"][mode]
            out.append(f"| `{title}`: wineserver requests | " + " | ".join(str(q[x][0]) for x in INSTALLERS)
                       + f" | {self.request_ratio(mode, 'NSIS'):.2f} | {self.request_ratio(mode, 'floor'):.2f} |")
            for key, what, fmt in (("wall", "wall time", ms), ("rss", "peak memory", lambda v: f"{v:.1f} MiB")):
                cells = [fmt(statistics.median(x[key] for x in r[label])) for label in INSTALLERS]
                out.append(f"| `{title}`: {what} | {' | '.join(cells)} | {self.ratio(mode, key):.2f} | "
                           f"{self.ratio(mode, key, 'floor'):.2f} |")
        for factor, (size, runs, _) in self.r["scale"].items():
            a, b = (statistics.median(x["wall"] for x in runs[k]) for k in ("ours", "NSIS"))
            out.append(f"| `/silent`, payload {factor}x ({size / 1e6:.2f} MB): wall time | {ms(a)} | {ms(b)} | | "
                       f"{self.paired(runs['ours'], runs['NSIS'], 'wall'):.2f} | |")
        real = self.r["realistic"]
        a, b = (statistics.median(x["wall"] for x in real[k]) for k in ("ours", "NSIS"))
        out.append(f"| `/silent`, {setup_size.TIMED} payload: wall time | {ms(a)} | {ms(b)} (lzma) | | "
                   f"{self.paired(real['ours'], real['NSIS'], 'wall'):.2f} | |")
        p = self.r["page"]
        out.append(f"| first wizard page shown | {ms(statistics.median(x['wall'] for x in p['ours']))} | "
                   f"{ms(statistics.median(x['wall'] for x in p['NSIS']))} (modern wizard) | | {self.page_ratio():.2f} | |")
        stub = self.r["setup_size"][0]["stub"]
        ours, nsis = stub["ours"], stub["nsis_full"]
        out.append(f"| stub overhead (size minus the stored payload; NSIS doing the same job, uncompressed) | "
                   f"{ours / 1024:.1f} KiB | {nsis / 1024:.1f} KiB | | {ours / nsis:.2f} | |")
        rate, per_mib = self.download_rates()
        out += ["", "| download of 20 MiB | dialog | bare WinInet loop | dialog / loop |", "|---|---|---|---|",
                f"| MB/s | {rate['dialog']:.1f} | {rate['wininet']:.1f} | {rate['dialog'] / rate['wininet']:.2f} |",
                f"| wineserver requests per MiB | {per_mib['dialog']:.0f} | {per_mib['wininet']:.0f} | "
                f"{per_mib['dialog'] / per_mib['wininet']:.2f} |", "", "Aims:", ""]
        out += self.aim_lines()
        return "\n".join(out)

    def markdown(self):
        b, r = self.bench, self.r
        wine = subprocess.run(["wine", "--version"], capture_output=True, text=True).stdout.strip()
        nsis = subprocess.run(["makensis", "-VERSION"], capture_output=True, text=True).stdout.strip()
        load = r["load"]
        payload_name = os.path.relpath(b.payload, SOURCE) if b.payload.startswith(SOURCE + "/") else b.payload
        out = ["# Benchmark: the setup beside NSIS and the floor", ""] + ([EMULATED_LINE, ""] if EMULATED else []) + [
               f"Made by `make bench` on {r['date']}: {wine}, makensis {nsis}, "
               f"{os.cpu_count()} cores, load average {load:.2f} at the end; Wine, its server and the X server on "
               f"CPU {CPUS['wine']}, the HTTP server and the benchmark on CPU {CPUS['other']}; {b.pairs} counted "
               f"rounds per row after one warm-up round, run {round(self.duration)} s in all. Payload: "
               f"{payload_name} ({r['payload']} bytes in 23 files). Values: median (min – max); ratios: the "
               "median over the rounds of ours / the other.", "",
               "Installers: ours; NSIS generated from the same payload and tables (`bench/gen_nsis.py`), "
               "uncompressed; the floor (`bench/floor.cpp`, tables by `bench/gen_floor.py`): the same job with the "
               "cheapest calls (each key created once relative to its parent's open handle, each file one "
               "CreateFile and one WriteFile, the ini one write). All three leave the same files, links and "
               "registry (checked before timing). Requests: the exact count of the installer process's "
               "wineserver requests in the server's own trace (one run), its helper processes' in brackets: "
               "Wine starts its menu helper once per saved link, in every installer alike.", ""]
        for mode, title in (("plain", '"/silent" alone'), ("full", f'"/silent {FULL_SWITCHES}"')):
            out += [f"## Installation, {title}", ""] + self.timing_table(mode) + [""]

        out += ['## Payload scale, "/silent" alone', "",
                "The same 23 names, each file a multiple of its sample's size, of random bytes.", "",
                "| payload | ours, wall | NSIS, wall | ours / NSIS | requests, ours | NSIS |", "|---|---|---|---|---|---|"]
        scale = r["scale"]
        for factor, (size, runs, requests) in scale.items():
            out.append(f"| {factor}x ({size / 1e6:.2f} MB) | {self.spread([x['wall'] for x in runs['ours']], ms)} | "
                       f"{self.spread([x['wall'] for x in runs['NSIS']], ms)} | "
                       f"{self.paired(runs['ours'], runs['NSIS'], 'wall'):.2f} | {requests['ours']} | {requests['NSIS']} |")
        (small, low, _), (large, high, _) = scale[SCALES[0]], scale[SCALES[-1]]
        growth = {k: (statistics.median(x["wall"] for x in high[k]) - statistics.median(x["wall"] for x in low[k]))
                  * 1000 / ((large - small) / 1e6) for k in ("ours", "NSIS")}
        out += ["", f"From {SCALES[0]}x to {SCALES[-1]}x the wall time grows by {growth['ours']:.1f} ms per MB of "
                f"payload for ours and {growth['NSIS']:.1f} ms per MB for NSIS."]
        out.append("")

        real = r["realistic"]
        out += [f'## "/silent" alone, {setup_size.TIMED} payload', "",
                "Ours unpacks each file's LZMA stream into it; NSIS with `SetCompressor lzma` (each file its own "
                "stream) does the same job from the same payload (see Setup size).", "",
                "| | ours | NSIS lzma | ours / NSIS |", "|---|---|---|---|"]
        for title, key, fmt in (("wall time", "wall", ms), ("CPU, installer process", "cpu", ms),
                                ("peak memory", "rss", lambda v: f"{v:.1f} MiB")):
            out.append(f"| {title} | {self.spread([x[key] for x in real['ours']], fmt)} | "
                       f"{self.spread([x[key] for x in real['NSIS']], fmt)} | "
                       f"{self.paired(real['ours'], real['NSIS'], key):.2f} |")
        out.append("")

        p = r["page"]
        out += ["## First wizard page", "",
                "From CreateProcess to the first page shown, painted and waiting for input (launch.exe: "
                "WaitForInputIdle, then a look every millisecond for a visible window of the process with a "
                "visible child and nothing left to paint); ours without arguments against an NSIS wizard of the "
                "modern interface whose first page asks for the folder, made from the same payload.", "",
                "| | ours | NSIS, modern wizard | ours / NSIS |", "|---|---|---|---|",
                f"| time to the first page | {self.spread([x['wall'] for x in p['ours']], ms)} | "
                f"{self.spread([x['wall'] for x in p['NSIS']], ms)} | {self.page_ratio():.2f} |", ""]

        out += ["## Aims", "", "Ratios as in the tables above; each aim met, or missed by how much.", ""]
        out += self.aim_lines() + [""]

        rows = r["setup_size"]
        out += [setup_size.section(rows, r["date"]), ""]
        sections = pe_sections(b.setup)
        stored = rows[0]["stored"]
        resources = sections.get(".rsrc", 0) - stored
        code = sections.get(".text", 0)
        data = sum(v for k, v in sections.items() if k in (".rdata", ".eh_fram", ".data"))
        other = os.path.getsize(b.setup) - stored - resources - code - data
        out += [f"Our stub: {code / 1024:.1f} KiB code, {data / 1024:.1f} KiB data (read-only data, unwind "
                f"tables, initialised data), {resources / 1024:.1f} KiB resources besides the payload (wizard "
                f"pages, bitmaps, icon, strings), {other / 1024:.1f} KiB headers, imports and relocations. "
                "The NSIS installers' overhead is the stub, the compiled script and, for the full job, the "
                "System plug-in that sends the two shell notifications.", ""]

        out += ["## Start and copy", "", "| | median (min – max) |", "|---|---|",
                f"| start of a trivial program under the same Wine (wall) | {self.spread([s['wall'] for s in r['starts']], ms)} |",
                f"| its CPU with wineserver | {self.spread([s['cpu_all'] for s in r['starts']], ms)} |",
                f"| its wineserver requests | {r['starts'][0]['requests']} |",
                f"| plain copy of the payload (cp -r, no Wine) | {self.spread(r['copies'], ms)} |", ""]

        rate, per_mib = self.download_rates()
        d = r["download"]
        out += ["## Download of 20 MiB from 127.0.0.1", "",
                "Each client times itself: the dialog from DoModal's call to its return (window, worker, "
                "transfer, window gone; the performance counter in the same process), the bare loop from "
                "opening WinInet to closing it, curl its own total. Requests: the client process's wineserver "
                "requests in one run with the server's trace on, per MiB.", "",
                "| client | MB/s | ratio | requests per MiB | ratio |", "|---|---|---|---|---|"]
        for name, key in (("download dialog, 1024-byte blocks", "dialog"),
                          ("bare WinInet loop, 1024-byte blocks", "wininet"), ("curl", "curl")):
            rates = [DOWNLOAD_BYTES / 1e6 / s for s in d[key]]
            req = f"{per_mib[key]:.0f} | {per_mib[key] / per_mib['wininet']:.2f}" if key in per_mib else "– | –"
            out.append(f"| {name} | {statistics.median(rates):.1f} ({min(rates):.1f} – {max(rates):.1f}) | "
                       f"{rate[key] / rate['wininet']:.2f} | {req} |")
        out.append("")
        return "\n".join(out)


README_BEGIN = "<!-- bench results: written by make bench -->"
README_END = "<!-- end of bench results -->"
README_SIZE_BEGIN = "<!-- setup size: written by make bench -->"
README_SIZE_END = "<!-- end of setup size -->"


def update_readme_sizes(rows):
    """Puts the size table between its two markers in the README's benchmark section."""
    setup_size.replace_block(os.path.join(SOURCE, "README.md"), README_SIZE_BEGIN, README_SIZE_END,
                             setup_size.summary(rows))


def update_readme(block):
    """Puts the latest summary between the two markers of the README's benchmark section."""
    path = os.path.join(SOURCE, "README.md")
    with open(path) as f:
        text = f.read()
    start, end = text.find(README_BEGIN), text.find(README_END)
    if start < 0 or end < start:
        return
    text = text[:start + len(README_BEGIN)] + "\n" + block + "\n" + text[end:]
    with open(path, "w") as f:
        f.write(text)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("build")
    ap.add_argument("--pairs", type=int, default=int(os.environ.get("BENCH_PAIRS", "9")))
    ap.add_argument("--smoke", action="store_true", help="allow fewer than 7 rounds (to try the tooling)")
    ap.add_argument("--out", default=os.path.join(SOURCE, "bench", "results.md"))
    ap.add_argument("--report-only", action="store_true",
                    help="write the report again from the last run's figures (BUILD_DIR/bench/results.json)")
    ap.add_argument("--check-only", action="store_true", help="only compare what the installers do and count their requests")
    ap.add_argument("--sizes", action="store_true",
                    help="only the setup's size beside NSIS and the floor (no timing: judged on any machine)")
    args = ap.parse_args()
    if args.pairs < (1 if args.smoke else 7):
        ap.error("at least 7 counted rounds")
    if EMULATED:
        print(EMULATED_LINE, flush=True)
    signal.signal(signal.SIGTERM, lambda *a: sys.exit(1))
    pin_cpus()
    bench = Bench(args.build, args.pairs, args.out)
    try:
        if args.report_only:
            with open(os.path.join(bench.tmp, "results.json")) as f:
                results = json.load(f)
            results["scale"] = {int(k): v for k, v in results["scale"].items()}
            bench.pairs = results["pairs"]
            bench.report(results)
        elif args.sizes:
            bench.report_sizes()
        elif args.check_only:
            bench.make_nsis()
            for mode in ("plain", "full"):
                bench.check_same_job(mode)
        else:
            bench.run()
    finally:
        for prefix in list(bench.prefixes):
            prefix.remove()


if __name__ == "__main__":
    main()

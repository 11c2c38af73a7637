#!/usr/bin/env python3
"""make bench: the setup beside an NSIS installer that does the same job, under the same Wine.

    bench.py BUILD_DIR [--pairs N] [--out bench/results.md]

Every measured run gets a fresh copy of the pristine prefix with its own persistent wineserver and
its background services already up (held by `launch.exe hold`), so no run pays for booting Wine and
no run sees another's files or registry. The two installers alternate, A B A B, after one warm-up
pair that is not counted. Per run:

- wall time: from CreateProcess to the end of the installer, taken inside Wine by launch.exe;
- CPU time: user + system time of the installer's own Linux process (wait4 on it: this script is a
  child subreaper, so the installer, which Wine double-forks, is reparented to it);
- CPU with Wine: the above plus the helper processes it started (one shortcut-menu helper per link)
  and what the wineserver and the prefix's services spent meanwhile;
- peak memory: the installer process's peak resident set (ru_maxrss).

Before timing, each pair of installers runs once more in fresh prefixes and the results are
compared: the same files, ini, links, registry keys and values. A difference stops the benchmark.

The download: a 20 MiB file from the tests' HTTP server on 127.0.0.1, fetched by the setup's
download dialog, by a bare WinInet loop with the same 1024-byte blocks (the two taking turns in one
prefix, on a virtual screen) and by curl.
"""
import argparse
import ctypes
import hashlib
import os
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
sys.path.insert(0, os.path.join(SOURCE, "tests", "fixtures"))
from http_server import TestServer  # noqa: E402

WINE_ENV = {"WINEARCH": "win32", "WINEDEBUG": "-all",
            "WINEDLLOVERRIDES": "mscoree,mshtml=;winemenubuilder.exe=d"}
FOLDER = "C:\\Program Files\\Pixmora"  # the default folder of both in a fresh prefix
FULL_SWITCHES = "/group=1 /desktop=1 /thumbs=1 /assoc=2"
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


def spawn(args, env, out, stdin=None):
    """Starts a program with stdout and stderr in the file `out` and stdin from the descriptor
    `stdin` (else nothing); returns its pid."""
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

    def __init__(self, bench, display=None):
        self.bench = bench
        self.root = tempfile.mkdtemp(prefix="bench.", dir=bench.tmp)
        self.prefix = os.path.join(self.root, "prefix")
        subprocess.run(["cp", "-a", os.path.join(bench.pristine, "prefix"), self.prefix], check=True)
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
        self.server = spawn(["wineserver", "-f", "-p"], self.env, os.path.join(self.root, "server.out"))
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

    def run(self, cmdline, exe_name, timeout=120):
        """Runs one exact command line through launch.exe; returns its measurements."""
        out = os.path.join(self.root, "run.out")
        env = dict(self.env, BENCH_CMDLINE=cmdline)
        go_read, go_write = os.pipe()
        pid = spawn(["wine", self.bench.tool("launch.exe"), "run"], env, out, stdin=go_read)
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
        return {"wall": int(m.group(1)) / 1e6, "exit": int(m.group(2)), "cpu": cpu,
                "cpu_all": cpu + helpers + longlived, "rss": rss / 1024.0}

    def wine(self, *args, timeout=120):
        out = os.path.join(self.root, "wine.out")
        pid = spawn(["wine", *args], self.env, out)
        ended = self.bench.reaper.wait(pid, timeout)
        return ended[pid][3]

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
    def make_nsis(self):
        self.nsis = {}
        for mode in ("plain", "full", "files"):
            for compression in ("off", "default"):
                name = f"nsis_{mode}_{compression}"
                exe = os.path.join(self.tmp, name + ".exe")
                nsi = os.path.join(self.tmp, name + ".nsi")
                subprocess.run([sys.executable, os.path.join(SOURCE, "bench", "gen_nsis.py"), mode,
                                compression, self.payload, exe, nsi], check=True)
                subprocess.run(["makensis", "-V1", nsi], check=True)
                self.nsis[(mode, compression)] = exe

    def commands(self, mode):
        """(label, exact command line, exe name) of ours and of NSIS for one mode."""
        tail = "" if mode == "plain" else " " + FULL_SWITCHES
        nsis = self.nsis[(mode, "off")]
        return [("ours", f'"{winpath(self.setup)}" /silent{tail}', os.path.basename(self.setup)),
                ("NSIS", f'"{winpath(nsis)}" /S /D={FOLDER}', os.path.basename(nsis))]

    def check_same_job(self, mode):
        snaps = []
        for label, cmdline, exe in self.commands(mode):
            p = Prefix(self)
            try:
                r = p.run(cmdline, exe)
                if r["exit"] != 0:
                    raise SystemExit(f"{label} ({mode}) exited with {r['exit']}")
                p.close()
                snaps.append(snapshot(p))
            finally:
                p.remove()
        files, keys = snaps[0]
        installed = [f for f in files if f.lower().startswith("program files/pixmora/") and not f.endswith("/")]
        diffs = compare(*snaps)
        if diffs or len(installed) != 24:
            raise SystemExit(f"the two installers did not do the same job ({mode}):\n  "
                             + "\n  ".join(diffs[:40] or [f"{len(installed)} files installed"]))
        links = [f for f in files if f.endswith(".lnk")]
        pixmora_keys = [k for k in keys if "pixmora" in k.lower()]
        self.log(f"same job ({mode}): {len(installed)} files, {len(links)} links, {len(keys)} registry "
                 f"keys compared ({len(pixmora_keys)} naming Pixmora), no difference")

    def time_pairs(self, mode):
        results = {"ours": [], "NSIS": []}
        commands = self.commands(mode)
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
                if i > 0:  # the first pair warms the page cache and is not counted
                    results[label].append(r)
            sys.stdout.write(".")
            sys.stdout.flush()
        print()
        return results

    def floor(self, runs=7):
        """A trivial program's start, and a plain copy of the payload (no Wine)."""
        starts = []
        p = Prefix(self)
        try:
            for i in range(runs + 1):
                r = p.run(f'"{winpath(self.tool("trivial.exe"))}"', "trivial.exe")
                if i:
                    starts.append(r)
        finally:
            p.close()
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
        """The payload's bytes and (name, file size) of each installer; ours first."""
        payload = sum(os.path.getsize(os.path.join(top, n)) for top, _, names in os.walk(self.payload) for n in names)
        rows = [("ours", os.path.getsize(self.setup))]
        for mode, job in (("full", "the full run's job"), ("files", "files and ini only")):
            for compression in ("off", "default"):
                rows.append((f"NSIS, {job}, compression {compression}", os.path.getsize(self.nsis[(mode, compression)])))
        return payload, rows

    def run(self):
        t0 = time.monotonic()
        self.make_nsis()
        for mode in ("plain", "full"):
            self.check_same_job(mode)
        timed = {}
        for mode in ("plain", "full"):
            self.log(f"timing {mode}: {self.pairs} pairs after a warm-up pair")
            timed[mode] = self.time_pairs(mode)
        self.log("floor")
        starts, copies = self.floor()
        payload, sizes = self.sizes()
        self.log("download")
        download = Download(self).run()
        report = Report(self, timed, starts, copies, payload, sizes, download, time.monotonic() - t0)
        text = report.markdown()
        print()
        print(text)
        with open(self.out, "w") as f:
            f.write(text)
        update_readme(report.summary())


# --- the download -----------------------------------------------------------------------------
class Download:
    """The download dialog, a bare WinInet loop with the same 1024-byte blocks, and curl, each
    fetching the same file from a server on 127.0.0.1."""

    RUNS = 7

    def __init__(self, bench):
        self.bench = bench

    def run(self):
        body = os.urandom(DOWNLOAD_BYTES)
        with TestServer(lifetime=600) as server:
            server.route("/files/payload.bin", body=body)
            return self.measure(f"http://127.0.0.1:{server.port}/files/payload.bin", body)

    def measure(self, url, body):
        digest = hashlib.sha256(body).digest()
        result = {"curl": [], "wininet": [], "dialog": []}
        target = os.path.join(self.bench.tmp, "curl.bin")
        for i in range(self.RUNS + 1):
            r = subprocess.run(["curl", "-s", "-o", target, "-w", "%{time_total} %{time_starttransfer}", url],
                               check=True, capture_output=True, text=True)
            total, first = map(float, r.stdout.split())
            self.check(target, digest)
            if i:
                result["curl"].append((total, total - first))
        os.remove(target)

        # The dialog and the bare loop take turns in one prefix, on a virtual screen.
        tools = ["wininet_loop.exe", "download_run.exe"]
        display = Display()
        p = Prefix(self.bench, display=display.name)
        try:
            local = p.unix("C:\\dl.bin")
            for i in range(self.RUNS + 1):
                for tool in tools:
                    seconds = self.wine_download(p, tool, url)
                    self.check(local, digest)
                    if i:  # the first turn is a warm-up
                        result["wininet" if tool == "wininet_loop.exe" else "dialog"].append(seconds)
        finally:
            p.close()
            p.remove()
            display.close()
        return result

    def wine_download(self, prefix, tool, url):
        """(whole seconds, body seconds) of one download inside the prefix."""
        out = os.path.join(prefix.root, "dl.out")
        env = dict(prefix.env, BENCH_URL=url, BENCH_TARGET="C:\\dl.bin", BENCH_BYTES=str(DOWNLOAD_BYTES))
        pid = spawn(["wine", self.bench.tool(tool)], env, out)
        ended = self.bench.reaper.wait(pid, 300)
        with open(out) as f:
            text = f.read()
        m = re.search(r"seconds=([0-9.]+) body=([0-9.]+)", text)
        if ended[pid][3] != 0 or not m:
            raise SystemExit(f"{tool} failed: {text.strip()}")
        return float(m.group(1)), float(m.group(2))

    @staticmethod
    def check(path, digest):
        with open(path, "rb") as f:
            if hashlib.sha256(f.read()).digest() != digest:
                raise SystemExit(f"{path}: the downloaded file differs from the served one")


class Display:
    """A virtual screen for the download dialog."""

    def __init__(self):
        self.proc, self.name = start_xvfb()

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


class Report:
    def __init__(self, bench, timed, starts, copies, payload, sizes, download, duration):
        self.bench, self.timed, self.starts, self.copies = bench, timed, starts, copies
        self.payload, self.sizes, self.download, self.duration = payload, sizes, download, duration

    @staticmethod
    def spread(values, fmt):
        return f"{fmt(statistics.median(values))} ({fmt(min(values))} – {fmt(max(values))})"

    def timing_table(self, mode):
        r = self.timed[mode]
        rows = [("wall time", "wall", ms), ("CPU, installer process", "cpu", ms),
                ("CPU with wineserver and helpers", "cpu_all", ms), ("peak memory", "rss", lambda v: f"{v:.1f} MiB")]
        out = ["| | ours | NSIS | ours / NSIS (median of pairs) |", "|---|---|---|---|"]
        for title, key, fmt in rows:
            a = [x[key] for x in r["ours"]]
            b = [x[key] for x in r["NSIS"]]
            ratio = statistics.median(x / y for x, y in zip(a, b) if y)
            out.append(f"| {title} | {self.spread(a, fmt)} | {self.spread(b, fmt)} | {ratio:.2f} |")
        return out

    def ratio(self, mode, key):
        r = self.timed[mode]
        return statistics.median(x[key] / y[key] for x, y in zip(r["ours"], r["NSIS"]))

    def summary(self):
        """The README's short form: one line per measure, paired median ratios."""
        rate = lambda s: DOWNLOAD_BYTES / 1e6 / s  # noqa: E731
        out = [f"Latest run ({time.strftime('%Y-%m-%d')}, {self.bench.pairs} pairs, load average "
               f"{os.getloadavg()[0]:.1f} on {os.cpu_count()} cores); medians, ratio = median of ours / NSIS per pair:", "",
               "| | ours | NSIS | ratio |", "|---|---|---|---|"]
        for mode, title in (("plain", "/silent"), ("full", "/silent " + FULL_SWITCHES)):
            r = self.timed[mode]
            for key, what, fmt in (("wall", "wall time", ms), ("cpu", "CPU", ms),
                                   ("rss", "peak memory", lambda v: f"{v:.1f} MiB")):
                a = statistics.median(x[key] for x in r["ours"])
                b = statistics.median(x[key] for x in r["NSIS"])
                out.append(f"| `{title}`: {what} | {fmt(a)} | {fmt(b)} | {self.ratio(mode, key):.2f} |")
        ours, nsis = self.sizes[0][1] - self.payload, self.sizes[1][1] - self.payload
        out.append(f"| stub overhead (size minus payload; NSIS doing the same job, uncompressed) | "
                   f"{ours / 1024:.1f} KiB | {nsis / 1024:.1f} KiB | {ours / nsis:.2f} |")
        loop = statistics.median(rate(x[0]) for x in self.download["wininet"])
        dialog = statistics.median(rate(x[0]) for x in self.download["dialog"])
        out.append(f"| download of 20 MiB, dialog / bare WinInet loop | {dialog:.1f} MB/s | {loop:.1f} MB/s | "
                   f"{dialog / loop:.2f} |")
        return "\n".join(out)

    def markdown(self):
        b = self.bench
        wine = subprocess.run(["wine", "--version"], capture_output=True, text=True).stdout.strip()
        nsis = subprocess.run(["makensis", "-VERSION"], capture_output=True, text=True).stdout.strip()
        load = os.getloadavg()[0]
        payload_name = os.path.relpath(b.payload, SOURCE) if b.payload.startswith(SOURCE + "/") else b.payload
        out = ["# Benchmark: the setup beside NSIS", "",
               f"Made by `make bench` on {time.strftime('%Y-%m-%d %H:%M')}: {wine}, makensis {nsis}, "
               f"{os.cpu_count()} cores, load average {load:.2f} at the end; {b.pairs} counted pairs per "
               f"row after one warm-up pair, run {round(self.duration)} s in all. Payload: {payload_name} "
               f"({self.payload} bytes in 23 files). Values: median (min – max).", ""]
        for mode, title in (("plain", '"/silent" alone'),
                            ("full", f'"/silent {FULL_SWITCHES}"')):
            out += [f"## Installation, {title}", ""]
            out += self.timing_table(mode)
            out.append("")
        aims = [("wall time, \"/silent\" alone", self.ratio("plain", "wall"), 0.5),
                ("wall time, full run", self.ratio("full", "wall"), 0.7),
                ("peak memory, \"/silent\" alone", self.ratio("plain", "rss"), 1.0),
                ("peak memory, full run", self.ratio("full", "rss"), 1.0)]
        out += ["Aims (paired median ratio ours / NSIS):", ""]
        for title, value, aim in aims:
            verdict = "met" if (value <= aim if aim < 1 else value < aim) else "missed"
            out.append(f"- {title}: {value:.2f}, aim {'≤' if aim < 1 else '<'} {aim:g}: {verdict}")
        out.append("")

        out += ["## Stub overhead (file size minus the payload's bytes)", "",
                "| installer | file size | overhead |", "|---|---|---|"]
        for name, size in self.sizes:
            out.append(f"| {name} | {size} bytes | {(size - self.payload) / 1024:.1f} KiB |")
        sections = pe_sections(b.setup)
        resources = sections.get(".rsrc", 0) - self.payload
        code = sections.get(".text", 0)
        data = sum(v for k, v in sections.items() if k in (".rdata", ".eh_fram", ".data"))
        other = self.sizes[0][1] - self.payload - resources - code - data
        ours, same_job, bare = self.sizes[0][1], self.sizes[1][1], self.sizes[3][1]
        out += ["", f"Ours: {code / 1024:.1f} KiB code, {data / 1024:.1f} KiB data (read-only data, unwind "
                f"tables, initialised data), {resources / 1024:.1f} KiB resources besides the payload (wizard "
                f"pages, bitmaps, icon, strings), {other / 1024:.1f} KiB headers, imports and relocations. "
                "The NSIS installers' overhead is the stub, the compiled script and, for the full job, the "
                "System plug-in that sends the two shell notifications.", "",
                f"Aim (overhead at most NSIS's uncompressed): against NSIS doing the same job "
                f"{'met' if ours <= same_job else 'missed'} ({(ours - same_job) / 1024:+.1f} KiB); against NSIS's "
                f"stub with the least script {'met' if ours <= bare else 'missed'} ({(ours - bare) / 1024:+.1f} KiB).", ""]

        out += ["## Floor", "", "| | median (min – max) |", "|---|---|",
                f"| start of a trivial program under the same Wine (wall) | {self.spread([s['wall'] for s in self.starts], ms)} |",
                f"| its CPU with wineserver | {self.spread([s['cpu_all'] for s in self.starts], ms)} |",
                f"| plain copy of the payload (cp -r, no Wine) | {self.spread(self.copies, ms)} |", ""]

        out += ["## Download of 20 MiB from 127.0.0.1", "",
                "Whole: from the start (the dialog's DoModal, WinInet's first call, curl's start) to the file "
                "complete and everything closed. Body: from the first bytes in the file to the last.", "",
                "| client | whole, MB/s | ratio | body, MB/s | ratio |", "|---|---|---|---|---|"]
        rate = lambda s: DOWNLOAD_BYTES / 1e6 / s  # noqa: E731
        base = [statistics.median(rate(x[k]) for x in self.download["wininet"]) for k in (0, 1)]
        ratios = []
        for name, key in (("download dialog, 1024-byte blocks", "dialog"),
                          ("bare WinInet loop, 1024-byte blocks", "wininet"), ("curl", "curl")):
            values = self.download[key]
            cells = []
            for k in (0, 1):
                rates = [rate(x[k]) for x in values]
                median = statistics.median(rates)
                cells += [f"{median:.1f} ({min(rates):.1f} – {max(rates):.1f})", f"{median / base[k]:.2f}"]
                if key == "dialog":
                    ratios.append(median / base[k])
            out.append(f"| {name} | " + " | ".join(cells) + " |")
        out.append("")
        out.append(f"Aim (the dialog within 10% of the bare loop, ratio ≥ 0.90): whole "
                   f"{'met' if ratios[0] >= 0.9 else 'missed'}, body {'met' if ratios[1] >= 0.9 else 'missed'}.")
        out.append("")
        return "\n".join(out)


README_BEGIN = "<!-- bench results: written by make bench -->"
README_END = "<!-- end of bench results -->"


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
    ap.add_argument("--out", default=os.path.join(SOURCE, "bench", "results.md"))
    ap.add_argument("--check-only", action="store_true", help="only compare what the two installers do")
    args = ap.parse_args()
    if args.pairs < 7:
        ap.error("at least 7 counted pairs")
    signal.signal(signal.SIGTERM, lambda *a: sys.exit(1))
    bench = Bench(args.build, args.pairs, args.out)
    try:
        if args.check_only:
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

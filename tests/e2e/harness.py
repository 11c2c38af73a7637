"""Runs the real setup in throwaway copies of the pristine Wine prefix and reads back what it did.

Each Machine is one fresh Windows: its own prefix (copied from build/wine/pristine), its own HOME
and its own working directory (where the install log lands). The registry is read from the
prefix's .reg files after the wineserver has ended, so reading costs no Wine start.
"""
import os
import re
import resource
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import types

SOURCE = os.environ.get("PIXMORA_SOURCE") or os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
BUILD = os.environ.get("PIXMORA_BUILD") or os.path.join(SOURCE, "build")
PRISTINE = os.environ.get("PIXMORA_PRISTINE") or os.path.join(BUILD, "wine", "pristine")
SETUP_EXE = os.path.join(BUILD, "pixmora_setup.exe")
PXTOOL = os.path.join(BUILD, "tools", "pxtool.exe")
PAYLOAD = os.path.join(BUILD, "payload")

# The 23 payload files in the installed layout, from the one list the build embeds them by.
with open(os.path.join(SOURCE, "cmake", "payload_files.cmake")) as _f:
    PAYLOAD_FILES = re.findall(r'"\d+ \w+ ([^"]+)"', _f.read())
assert len(PAYLOAD_FILES) == 23, PAYLOAD_FILES



def _resource_ids():
    """The names of res/resource.h with their numbers: tests name controls as the code does."""
    with open(os.path.join(SOURCE, "res", "resource.h")) as f:
        return types.SimpleNamespace(**{n: int(v) for n, v in re.findall(r"^#define (ID\w+)\s+(\d+)", f.read(), re.M)})


R = _resource_ids()

def _wine_env():
    """The variables that scripts/wine-env sets for every Wine run of ours."""
    out = subprocess.run(["sh", "-c", '. "$0" && env -0', os.path.join(SOURCE, "scripts", "wine-env")],
                         env={"PATH": os.environ.get("PATH", "/usr/bin:/bin")}, capture_output=True, check=True).stdout
    pairs = (item.split("=", 1) for item in out.decode().split("\0") if "=" in item)
    return {k: v for k, v in pairs if k.startswith("WINE")}


WINE_ENV = _wine_env()


def _emulated():
    """True when i386 programs, and so Wine's 32-bit half, run under qemu's user emulation."""
    try:
        with open("/proc/sys/fs/binfmt_misc/qemu-i386") as f:
            return f.readline().strip() == "enabled"
    except OSError:
        return False


EMULATED = _emulated()

_open_machines = []


def _out_of_time(signum, frame):
    """The suite is about to be stopped from outside (CTest's time limit): its machines' processes
    are ended first, so that none of them goes on loading the machine for the suites after it."""
    sys.stderr.write(f"harness: the suite is being stopped (signal {signum}); ending its machines' processes\n")
    for machine in list(_open_machines):
        try:
            machine.close()
        except Exception:  # noqa: BLE001 - the next machine still gets its turn
            pass
    os._exit(124)


# CTest kills a suite at its limit without a word to it: a minute before, the suite ends itself.
_SUITE_LIMIT = int(os.environ.get("PIXMORA_SUITE_LIMIT") or 0)
if _SUITE_LIMIT > 120:
    signal.signal(signal.SIGALRM, _out_of_time)
    signal.alarm(_SUITE_LIMIT - 60)
signal.signal(signal.SIGTERM, _out_of_time)


def _slowdown():
    """How many times slower Wine starts a program here than on a native machine of our kind; every
    wait of the tests is bounded by its native bound times this. Measured once per `make test`
    (which removes the file and measures before the suites start, on a quiet machine): the first
    start of a trivial program in a copy of the pristine prefix, which boots the machine's services
    as every test machine's first program does. Natively that takes about a second."""
    import fcntl
    path = os.path.join(os.path.dirname(PRISTINE), "slowdown")
    with open(path + ".lock", "w") as lock:
        fcntl.flock(lock, fcntl.LOCK_EX)  # suites start together: one measures, the others wait for it
        try:
            with open(path) as f:
                return _clamp(float(f.read().split()[0]))
        except (OSError, ValueError, IndexError):
            return _measure_slowdown(path)


def _clamp(factor):
    """Emulation is several times slower, never less than three; and no factor above six, so
    that a wait that fails still fails within a test's time (a start measured on a loaded machine
    said 46)."""
    return min(6.0, max(3.0 if EMULATED else 1.0, factor))


def _measure_slowdown(path):
    """The factor from the first start of a trivial program in a fresh copy of the pristine prefix.
    Under emulation such a start (its wineboot) now and then never ends: a start that takes longer
    than any seen on a loaded machine is ended and measured again on a new copy, at most three
    times; when none ends, the tests wait as long as they ever do (the largest factor)."""
    first = None
    for attempt in range(3):
        first = _first_start(limit=240)
        if first is not None:
            break
        sys.stderr.write(f"harness: the first start of a measuring machine hung (try {attempt + 1} of 3)\n")
    if first is None:
        factor, how = _clamp(float("inf")), "no first start ended within 240 s"
    else:
        factor, how = _clamp(first / 1.0), f"a first start took {first:.2f} s"
    with open(path + ".tmp", "w") as f:
        f.write(f"{factor:.2f} ({how}{', emulated' if EMULATED else ''})\n")
    os.replace(path + ".tmp", path)
    return factor


def _first_start(limit):
    """Seconds of the first start of a trivial program in a fresh copy of the pristine prefix, or
    None when it had not ended after `limit` seconds."""
    root = tempfile.mkdtemp(prefix="slowdown.", dir=os.path.dirname(PRISTINE))
    env = dict(os.environ, WINEPREFIX=os.path.join(root, "prefix"), HOME=root, **WINE_ENV)
    env.pop("DISPLAY", None)
    try:
        subprocess.run(["cp", "-a", os.path.join(PRISTINE, "prefix"), env["WINEPREFIX"]], check=True)
        start = time.monotonic()
        subprocess.run(["wine", PXTOOL, "wait-window", "none", "0"], env=env, timeout=limit,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        return time.monotonic() - start
    except subprocess.TimeoutExpired:
        return None
    finally:
        subprocess.run([os.path.join(SOURCE, "scripts", "wine-kill"), env["WINEPREFIX"]])
        shutil.rmtree(root, ignore_errors=True)


SLOWDOWN = _slowdown() if os.path.isdir(os.path.join(PRISTINE, "prefix")) else 1.0


def slowdown_line():
    return (f"make test: Wine is {SLOWDOWN:.1f}x slower here than natively{' (emulated)' if EMULATED else ''};"
            " the tests wait that much longer")


def bound(seconds):
    """A time bound of the tests (seconds on a native machine) on this machine."""
    return seconds * SLOWDOWN


def deadline(seconds):
    """The time.time() by which something that natively takes at most `seconds` must have happened."""
    return time.time() + bound(seconds)


_CRASH_SIGNALS = (-signal.SIGSEGV, -signal.SIGILL, -signal.SIGBUS, 128 + signal.SIGSEGV, 128 + signal.SIGILL,
                  -signal.SIGKILL)  # the last: a helper killed because it hung (run_helper)


def helper_run(what, run):
    """Runs one step of the tests' own helpers (`run` returns a CompletedProcess). Under emulation a
    helper may die of the emulator's own crash: such a step is tried again, at most twice, and
    said so. Never used for the setup itself."""
    for attempt in range(3):
        r = run()
        if not (EMULATED and r.returncode in _CRASH_SIGNALS) or attempt == 2:
            return r
        sys.stderr.write(f"harness: retrying {what}: the emulator crashed (exit {r.returncode}); retry {attempt + 1} of 2\n")


def run_helper(machine, program, args, looking, timeout=60):
    """(exit code, printed text) of one command of a test tool that writes "end N" on stderr once
    it is done (a helper's step: see helper_run). Under emulation a helper process now and then
    hangs: one that had reported its end counts as ended; one that had not is asked again when
    its command is one of `looking` (it only looks), and fails the test otherwise."""
    what = f"{os.path.basename(program)} {' '.join(args)}"
    machine.check_boot(what)
    with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
        def step():
            for f in (out, err):
                f.seek(0)
                f.truncate()
            try:
                return subprocess.run(["wine", program, *args], env=machine.env, cwd=machine.cwd,
                                      stdout=out, stderr=err, timeout=bound(timeout))
            except subprocess.TimeoutExpired:
                err.seek(0)
                end = re.search(rb"^end (-?\d+)$", err.read(), re.M)
                if end:
                    sys.stderr.write(f"harness: {what} hung after its end; taken as ended\n")
                    return subprocess.CompletedProcess(args, int(end.group(1)))
                if not (EMULATED and args and args[0] in looking):
                    raise AssertionError(f"{what} hung")
                machine.check_boot(what)
                sys.stderr.write(f"harness: {what} hung; asked again\n")
                return subprocess.CompletedProcess(args, -signal.SIGKILL)
        r = helper_run(what, step)
        if r.returncode == -signal.SIGKILL and args[0] in looking:
            raise AssertionError(f"{what} hung")
        out.seek(0)
        return r.returncode, out.read().decode("cp1252")


WINE_VERSIONS = ("win98", "win2k", "winxp", "vista", "win7", "win10")


def _unescape_reg(text):
    out, i = [], 0
    while i < len(text):
        c = text[i]
        if c == "\\" and i + 1 < len(text):
            n = text[i + 1]
            if n == "x":
                m = re.match(r"[0-9a-fA-F]{1,4}", text[i + 2:])
                out.append(chr(int(m.group(0), 16)))
                i += 2 + len(m.group(0))
                continue
            out.append({"n": "\n", "r": "\r", "t": "\t", "0": "\0"}.get(n, n))
            i += 2
            continue
        out.append(c)
        i += 1
    return "".join(out)


def parse_reg_file(path):
    """Parses a Wine .reg file into {lower-case key path: {lower-case value name or '': value}}.
    String values become str, dword values int, others the raw text after the colon."""
    keys = {}
    current = None
    with open(path, encoding="utf-8", errors="replace") as f:
        lines = f.read().split("\n")
    i = 0
    while i < len(lines):
        line = lines[i]
        while line.endswith("\\") and i + 1 < len(lines):
            i += 1
            line = line[:-1] + lines[i].lstrip()
        i += 1
        if line.startswith("["):
            end = line.rfind("]")
            current = keys.setdefault(_unescape_reg(line[1:end]).lower(), {})
            continue
        if current is None or not line or line.startswith(("#", ";")):
            continue
        if line.startswith("@="):
            name, rest = "", line[2:]
        elif line.startswith('"'):
            m = re.match(r'"((?:[^"\\]|\\.)*)"=(.*)$', line)
            if not m:
                continue
            name, rest = _unescape_reg(m.group(1)), m.group(2)
        else:
            continue
        if rest.startswith('"') and rest.endswith('"'):
            value = _unescape_reg(rest[1:-1])
        elif rest.startswith("str(2):") or rest.startswith("str(7):"):
            value = _unescape_reg(rest[8:-1])
        elif rest.startswith("hex(1):"):  # a string stored as raw bytes (UTF-16)
            raw = bytes(int(b, 16) for b in rest[7:].split(",") if b)
            value = raw.decode("utf-16-le", errors="replace").rstrip("\0")
        elif rest.startswith("dword:"):
            value = int(rest[6:], 16)
        else:
            value = rest
        current[name.lower()] = value
    return keys


def start_xvfb(screen="1024x768x24"):
    """Starts a virtual screen on a free display number; returns (process, ":N")."""
    r, w = os.pipe()
    proc = subprocess.Popen(["Xvfb", "-displayfd", str(w), "-screen", "0", screen, "-nolisten", "tcp"],
                            pass_fds=(w,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(w)
    number = b""
    while not number.endswith(b"\n"):
        chunk = os.read(r, 16)
        if not chunk:
            raise AssertionError("Xvfb did not start")
        number += chunk
    os.close(r)
    return proc, ":" + number.decode().strip()


class Registry:
    """Snapshot of HKLM (system.reg) and HKCU (user.reg). Paths use backslashes, any case."""

    def __init__(self, prefix):
        self.hklm = parse_reg_file(os.path.join(prefix, "system.reg"))
        self.hkcu = parse_reg_file(os.path.join(prefix, "user.reg"))

    def _hive(self, path):
        root, _, sub = path.partition("\\")
        root = root.upper()
        if root in ("HKLM", "HKEY_LOCAL_MACHINE"):
            return self.hklm, sub
        if root in ("HKCU", "HKEY_CURRENT_USER"):
            return self.hkcu, sub
        if root in ("HKCR", "HKEY_CLASSES_ROOT"):
            return self.hklm, "Software\\Classes\\" + sub
        raise ValueError(path)

    def key(self, path):
        """The values of a key as a dict, or None when the key does not exist."""
        hive, sub = self._hive(path)
        return hive.get(sub.lower())

    def value(self, path, name=""):
        values = self.key(path)
        return None if values is None else values.get(name.lower())

    def subkeys(self, path):
        hive, sub = self._hive(path)
        prefix = sub.lower() + "\\"
        return sorted({k[len(prefix):].split("\\")[0] for k in hive if k.startswith(prefix)})


class Machine:
    """One throwaway Windows: a copy of the pristine prefix with its own HOME and working folder."""

    def __init__(self, version=None, display=False, screen="1024x768x24"):
        """screen: the virtual screen's size and depth, when `display`."""
        base = os.path.join(BUILD, "tmp")
        os.makedirs(base, exist_ok=True)
        self.root = tempfile.mkdtemp(prefix="machine.", dir=base)
        _open_machines.append(self)
        self.prefix = os.path.join(self.root, "prefix")
        self.home = os.path.join(self.root, "home")
        self.cwd = os.path.join(self.root, "cwd")
        subprocess.run(["cp", "-a", os.path.join(PRISTINE, "prefix"), self.prefix], check=True)
        os.makedirs(self.home)
        os.makedirs(self.cwd)
        self.env = dict(os.environ, WINEPREFIX=self.prefix, HOME=self.home, PIXMORA_SLOWDOWN=str(SLOWDOWN), **WINE_ENV)
        self.env.pop("DISPLAY", None)
        self.background = []
        self.kept = False  # keep_server() was called
        self.mounts = []
        self.file_limit = None
        self.xvfb = None
        if display:
            self.start_display(screen)
        if version:
            self.wine("reg", "add", r"HKCU\Software\Wine", "/v", "Version", "/d", version, "/f")

    # --- running ---------------------------------------------------------------------------
    def wine(self, *args, timeout=120, cwd=None, check=True, env=None, preexec_fn=None):
        """Runs a Wine program to its end; returns its exit code. Output goes to files, not
        pipes: Wine's background processes would keep a pipe open after the program ended."""
        def run():
            out.seek(0)
            out.truncate()
            return subprocess.run(["wine", *args], env=dict(self.env, **(env or {})), preexec_fn=preexec_fn,
                                  cwd=cwd or self.cwd, timeout=bound(timeout), stdout=out, stderr=out)
        self.check_boot(f"wine {' '.join(args)}")
        with tempfile.TemporaryFile() as out:
            try:
                # A registry step of the test's own is a helper's; a program's run is never repeated.
                registry = bool(args) and args[0] in ("reg", "regedit")
                r = helper_run(f"wine {' '.join(args)}", run) if registry else run()
            except subprocess.TimeoutExpired:
                self.kill()
                raise AssertionError(f"wine {' '.join(args)} did not finish in {bound(timeout):.0f} s "
                                     "(a window or message box may be waiting)")
            if check and r.returncode != 0 and registry:
                out.seek(0)
                raise AssertionError(f"wine {' '.join(args)} failed: {out.read().decode(errors='replace')}")
        return r.returncode

    def output(self, *args, timeout=120, env=None):
        """Runs a Wine program to its end; returns its exit code and what it printed."""
        self.check_boot(f"wine {' '.join(args)}")
        with tempfile.TemporaryFile() as out:
            try:
                r = subprocess.run(["wine", *args], env=dict(self.env, **(env or {})), cwd=self.cwd,
                                   timeout=bound(timeout), stdout=out, stderr=subprocess.DEVNULL)
            except subprocess.TimeoutExpired:
                self.kill()
                raise AssertionError(f"wine {' '.join(args)} did not finish in {bound(timeout):.0f} s")
            out.seek(0)
            return r.returncode, out.read()

    def full_disk(self, winpath, free):
        """Puts the folder `winpath`, with what it holds, on a disk of its own with `free` bytes
        left (rounded up to pages; every file takes whole pages), so that writes past that fail
        as on a full disk: a small tmpfs, which needs root or sudo. Without either, the setup's
        next run gets a file-size limit of `free` bytes instead, which qemu's user emulation
        does not honour."""
        folder = self.unix(winpath)
        os.makedirs(folder, exist_ok=True)
        sudo = [] if os.geteuid() == 0 else ["sudo", "-n"]
        saved = folder + ".saved"
        os.rename(folder, saved)
        os.makedirs(folder)
        if subprocess.run(sudo + ["mount", "-t", "tmpfs", "-o", "size=16m,mode=777", "tmpfs", folder],
                          stderr=subprocess.DEVNULL).returncode != 0:
            os.rmdir(folder)
            os.rename(saved, folder)
            assert not EMULATED, "a full disk under emulation needs root or sudo (a small tmpfs)"
            self.file_limit = free
            return
        self.mounts.append(folder)
        subprocess.run(["cp", "-a", saved + "/.", folder], check=True)
        shutil.rmtree(saved)
        st = os.statvfs(folder)
        used = (st.f_blocks - st.f_bfree) * st.f_frsize
        subprocess.run(sudo + ["mount", "-o", f"remount,size={used + free}", folder], check=True)

    def setup(self, cmdline="", timeout=120, cwd=None, exe=None):
        """Runs pixmora_setup.exe (or a copy of it at the Windows path `exe`) with exactly this
        command-line tail (as a user would type it after the program name); returns its exit code."""
        exe = exe or "Z:" + SETUP_EXE.replace("/", "\\")
        limit = None
        file_limit = self.file_limit
        if file_limit:
            # The prefix's own processes (the wineserver, which saves the registry) start before,
            # without the limit.
            self.keep_server()
            self.wine(PXTOOL, "wait-window", "none", "0")

            def limit():
                signal.signal(signal.SIGXFSZ, signal.SIG_IGN)  # a failed write instead of a killed process
                resource.setrlimit(resource.RLIMIT_FSIZE, (file_limit, file_limit))
        code = self.wine(PXTOOL, "run", timeout=timeout, cwd=cwd, preexec_fn=limit,
                         env={"PXTOOL_CMDLINE": f'"{exe}" {cmdline}'.rstrip()})
        return code

    def keep_server(self):
        """Keeps this machine's wineserver running until kill(). What lives only in the server (the
        security of a registry key, which Wine does not save with the registry) then lasts from
        one program to the next."""
        self.kept = True
        subprocess.run(["wineserver", "-p"], env=self.env, timeout=bound(60))

    def wait_window(self, window_class, ms=20000):
        """True when a top-level window of this class appears within `ms` milliseconds."""
        ms = int(bound(ms / 1000) * 1000)
        return self.wine(PXTOOL, "wait-window", window_class, str(ms), timeout=ms / 1000 / SLOWDOWN + 60) == 0

    def start(self, *args):
        """Starts a Wine program in the background (for example the stand-in viewer)."""
        p = subprocess.Popen(["wine", *args], env=self.env, cwd=self.cwd,
                             stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.background.append(p)
        return p

    def listen_debug(self, trace):
        """From now on the debug output of the machine's programs goes to the file `trace`, as a
        debug output viewer started before them shows it (pxtool debug-listen)."""
        ready = trace + ".listening"
        self.start(PXTOOL, "debug-listen", "Z:" + trace.replace("/", "\\"), "Z:" + ready.replace("/", "\\"))
        end = deadline(60)  # often the machine's first program: its start comes first
        while not os.path.exists(ready) and time.time() < end:
            time.sleep(0.2)
        if not os.path.exists(ready):
            raise AssertionError("the debug output listener did not start")

    def set_partner_offers(self, toolbar, desktop):
        """Makes the machine qualify (or not) for each partner offer of the wizard."""
        browser = '"C:\\Program Files\\Internet Explorer\\iexplore.exe" -nohome' if toolbar else \
            '"C:\\windows\\system32\\winebrowser.exe" "%1"'
        self.wine("reg", "add", r"HKLM\Software\Classes\http\shell\open\command", "/ve", "/d", browser, "/f")
        self.wine("reg", "add", r"HKCU\Software\Google\Google Desktop", "/v", "timestamp", "/t", "REG_DWORD",
                  "/d", "0" if desktop else "1", "/f")

    def start_display(self, screen="1024x768x24"):
        """Gives this machine its own virtual screen (Xvfb), needed for any window."""
        self.xvfb, self.env["DISPLAY"] = start_xvfb(screen)

    def screenshot(self, path):
        """Saves the whole virtual screen as a PNG (needs imagemagick's import)."""
        subprocess.run(["import", "-window", "root", path], env=self.env, timeout=bound(60),
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def wait(self):
        subprocess.run(["wineserver", "-w"], env=self.env, timeout=bound(120))

    def programs(self):
        """(seconds running, command line) of each of the machine's running Wine programs (as
        scripts/wine-kill finds them)."""
        with open("/proc/uptime") as f:
            now = float(f.read().split()[0])
        ticks = os.sysconf("SC_CLK_TCK")
        found = []
        for pid in os.listdir("/proc"):
            if not pid.isdigit():
                continue
            try:
                exe = os.readlink(f"/proc/{pid}/exe")
                if "wine" not in exe and "qemu-i386" not in exe:
                    continue
                with open(f"/proc/{pid}/environ", "rb") as f:
                    if b"WINEPREFIX=" + self.prefix.encode() not in f.read().split(b"\0"):
                        continue
                with open(f"/proc/{pid}/stat", "rb") as f:
                    stat = f.read().rsplit(b")", 1)[1].split()
                if stat[0] == b"Z":
                    continue  # ended, not yet waited for
                with open(f"/proc/{pid}/cmdline", "rb") as f:
                    line = f.read().replace(b"\0", b" ").decode(errors="replace")
                found.append((now - int(stat[19]) / ticks, line))
            except (OSError, IndexError, ValueError):
                continue
        return found

    def check_boot(self, what):
        """Before a step on a machine whose start has hung: under emulation a hung wineboot never
        ends, and every later program of the machine waits minutes for it. When nothing of the
        test's own runs on the machine (no program in the background, no server kept for what
        lives only in it), the machine's processes are ended, which saves its registry, and the
        step starts it anew; otherwise the step fails at once instead of after a long wait."""
        if not (EMULATED and self.boot_hung()):
            return
        if not self.kept and all(p.poll() is not None for p in self.background):
            sys.stderr.write(f"harness: {what}: the machine's start (wineboot) had hung under the emulator; "
                             "its processes were ended and it starts anew\n")
            self.kill()
            return
        raise AssertionError(f"{what}: the machine's start (wineboot) has hung under the emulator; "
                             "nothing on this machine can run any more")

    def boot_hung(self):
        """Whether the machine's start (wineboot) has hung: natively it takes about a second, so
        one still running after the bound of half a minute never ends."""
        return any("wineboot.exe" in line and seconds > bound(30) for seconds, line in self.programs())

    def kill(self):
        """Ends every process of this machine, also one that its wineserver no longer knows of."""
        subprocess.run([os.path.join(SOURCE, "scripts", "wine-kill"), self.prefix], timeout=bound(60) + 30)
        for p in self.background:
            try:
                p.wait(timeout=10)
            except subprocess.TimeoutExpired:
                p.kill()

    def close(self):
        if self in _open_machines:
            _open_machines.remove(self)
        self.kill()
        sudo = [] if os.geteuid() == 0 else ["sudo", "-n"]
        for folder in self.mounts:
            subprocess.run(sudo + ["umount", "-l", folder])
        if self.xvfb:
            self.xvfb.terminate()
            self.xvfb.wait(timeout=30)
        shutil.rmtree(self.root, ignore_errors=True)

    # --- looking at the machine ------------------------------------------------------------
    def unix(self, winpath):
        """Unix path of a Windows path on drive C: (or any drive letter of the prefix)."""
        drive, _, rest = winpath.partition(":")
        rest = rest.replace("\\", "/").lstrip("/")
        return os.path.join(self.prefix, "dosdevices", drive.lower() + ":", rest)

    def registry(self):
        """Registry snapshot; ends the wineserver first so that its files are current."""
        self.kill()
        return Registry(self.prefix)

    @property
    def log(self):
        """Bytes of the install log in the working folder, or None when none was written."""
        path = os.path.join(self.cwd, "Pixmora_Install.log")
        if not os.path.exists(path):
            return None
        with open(path, "rb") as f:
            return f.read()

    def program_files_live(self):
        """ProgramFilesDir read through Wine while the machine runs (no registry snapshot)."""
        out = subprocess.run(["wine", "reg", "query", r"HKLM\Software\Microsoft\Windows\CurrentVersion",
                              "/v", "ProgramFilesDir"], env=self.env, capture_output=True, text=True,
                             timeout=bound(60)).stdout
        for line in out.splitlines():
            if "REG_SZ" in line:
                return line.split("REG_SZ", 1)[1].strip()
        raise AssertionError("no ProgramFilesDir")

    def program_files(self):
        return self.registry().value(r"HKLM\Software\Microsoft\Windows\CurrentVersion", "ProgramFilesDir")


def payload_bytes(rel):
    with open(os.path.join(PAYLOAD, rel), "rb") as f:
        return f.read()


def cp1252(text):
    return text.encode("cp1252")


def read_lnk(path):
    """The parts of a shell link file that the setup sets: target, arguments, icon file and
    index, description, working directory (None when absent)."""
    with open(path, "rb") as f:
        data = f.read()
    import struct
    flags = struct.unpack_from("<I", data, 0x14)[0]
    icon_index = struct.unpack_from("<i", data, 0x38)[0]
    pos = 0x4C
    target = None
    if flags & 0x01:  # item id list
        pos += 2 + struct.unpack_from("<H", data, pos)[0]
    if flags & 0x02:  # link info
        size, _, info_flags, _, base_off = struct.unpack_from("<IIIII", data, pos)
        if info_flags & 1:
            end = data.index(b"\0", pos + base_off)
            target = data[pos + base_off:end].decode("cp1252")
        pos += size
    unicode = bool(flags & 0x80)
    strings = {}
    for bit, name in ((0x04, "description"), (0x08, "relative"), (0x10, "workdir"),
                      (0x20, "arguments"), (0x40, "icon")):
        if flags & bit:
            count = struct.unpack_from("<H", data, pos)[0]
            pos += 2
            n = count * 2 if unicode else count
            raw = data[pos:pos + n]
            strings[name] = raw.decode("utf-16-le" if unicode else "cp1252").rstrip("\0")
            pos += n
    return {"target": target, "arguments": strings.get("arguments"), "icon": strings.get("icon"),
            "icon_index": icon_index, "description": strings.get("description"),
            "workdir": strings.get("workdir")}


WIZDRIVER = os.path.join(BUILD, "tools", "wizdriver.exe")
SCREENSHOTS = os.path.join(BUILD, "screenshots")


class Wizard:
    """The setup's wizard running on a machine's virtual screen, driven by build/tools/wizdriver.exe."""

    def __init__(self, machine, *args, toolbar=False, desktop=False, trace=None):
        """trace: a file that receives the setup's debug output, as a debug output viewer
        started before it shows it (pxtool debug-listen)."""
        import time
        self.m = machine
        machine.set_partner_offers(toolbar, desktop)
        if not machine.xvfb:
            machine.start_display()
        if trace:
            machine.listen_debug(trace)
        self.proc = subprocess.Popen(["wine", SETUP_EXE, *args], env=machine.env, cwd=machine.cwd,
                                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        machine.background.append(self.proc)
        if self.run("wait-sheet", str(int(bound(30) * 1000)), timeout=30 + 60)[0] != 0:
            raise AssertionError("the wizard did not appear")
        self.time = time

    # The commands that only look: one that hung before its end can simply be asked again.
    LOOKING = {"wait-sheet", "wait-closed", "page", "wait-page", "msgbox", "wait-msgbox", "msgbox-default",
               "sheet-enabled", "buttons", "text", "state", "list", "list-texts", "list-columns", "rect",
               "window-exe", "windows", "acc", "focus", "layout", "controls"}

    def run(self, *args, timeout=60):
        """(exit code, printed text) of one wizdriver command (see run_helper)."""
        return run_helper(self.m, WIZDRIVER, args, self.LOOKING, timeout)

    def __call__(self, *args):
        return self.run(*args)[1]

    def page(self):
        return int(self("page"))

    def state(self, control):
        """(checked, enabled, visible) of a control of the active page or the sheet."""
        return tuple(int(x) for x in self("state", str(control)).split())

    def press(self, button, then_page=None):
        self.run("press", button)
        if then_page is not None:
            self.wait_page(then_page)

    def wait_page(self, index, seconds=20):
        end = deadline(seconds)
        while self.time.time() < end:
            code, out = self.run("page")
            if code == 0 and out.strip() == str(index):
                return
            self.time.sleep(0.2)
        raise AssertionError(f"page {index} did not become active (now {self.run('page')[1]})")

    def msgbox(self, seconds=20):
        """(caption, text, buttons) of the message box that appears within `seconds`."""
        end = deadline(seconds)
        while self.time.time() < end:
            code, out = self.run("msgbox")
            if code == 0:
                caption, text, buttons = out.split("|")
                return caption, text, buttons
            self.time.sleep(0.2)
        raise AssertionError("no message box appeared")

    def answer(self, button):
        self.run("answer", button)
        end = deadline(20)
        while self.time.time() < end and self.run("msgbox")[0] == 0:
            self.time.sleep(0.1)

    def list(self):
        return self("list")

    def screenshot(self, name):
        os.makedirs(SCREENSHOTS, exist_ok=True)
        self.m.screenshot(os.path.join(SCREENSHOTS, name + ".png"))

    def exit_code(self, seconds=60):
        try:
            return self.proc.wait(timeout=bound(seconds))
        except subprocess.TimeoutExpired:
            raise AssertionError("the setup did not end")

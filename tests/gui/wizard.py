"""The real setup's wizard on a German Windows, driven like a user would from a second program in the
same prefix (tests/fixtures/wizdriver.cpp) on the machine's own Xvfb.

The Wizard here is the harness's wizard with what these tests need on top: a stand-in browser, the
folder picker, the viewer, list texts, message box details, screenshots of the wizard window kept under
build/gui/<test id>/ and, when a test fails, one more of the screen with the texts of every open window.
"""
import ntpath
import os
import shutil
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
import harness  # noqa: E402
from harness import BUILD, PAYLOAD, SOURCE, Machine, R, bound  # noqa: E402,F401

RECORDER = os.path.join(BUILD, "tools", "cmdline_recorder.exe")
ARTIFACTS = os.path.join(BUILD, "gui")

# Page indices of the five-page wizard (no partner offer).
DESTINATION, NOTES, FORMATS, READY, FINISH = range(5)
BACK, NEXT, CANCEL = "back", "next", "cancel"
BROWSER = "C:\\pxtest\\browser.exe"  # the stand-in browser of every wizard machine


def _german_locale():
    names = subprocess.run(["locale", "-a"], capture_output=True, text=True).stdout.split()
    return "de_DE.UTF-8" if any(n.lower() in ("de_de.utf8", "de_de.utf-8") for n in names) else None


GERMAN_LOCALE = _german_locale()


def _ms(seconds):
    """A wait of wizdriver's, in milliseconds, for what natively takes at most `seconds`."""
    return str(int(bound(seconds) * 1000))


def german_machine(test, version=None, dpi=96, contrast=False):
    """A fresh machine with a display, cleaned up with the test: a German Windows (the system's own
    texts, such as message box buttons and the folder picker, in German; Wine needs the Unix locale
    for it, which scripts/install-deps makes), whose window frames Wine draws itself, so that
    screenshots show the caption. `dpi`: the display's scale (96 is 100 %), on a screen large
    enough for the wizard at that scale. `contrast`: with the high-contrast scheme on."""
    for attempt in range(2):
        m = Machine(version, display=True, screen="1024x768x24" if dpi <= 144 else "2048x1536x24")
        try:
            _prepare(m, dpi, contrast)
        except AssertionError as e:
            # Under emulation the prefix's first wineserver has been seen to die under its first
            # programs, which then wait for it for ever; what it held of the registry is lost with
            # it, so the whole machine is made again, once.
            m.close()
            if not harness.EMULATED or attempt:
                raise
            sys.stderr.write(f"wizard: a fresh machine, preparing the first failed under emulation: {e}\n")
            continue
        test.addCleanup(m.close)
        return m


def _prepare(m, dpi, contrast):
    if dpi != 96:
        # Both places Windows keeps it in (this Wine took the scale from either alone).
        for key in (r"HKCU\Control Panel\Desktop", r"HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts"):
            m.wine("reg", "add", key, "/v", "LogPixels", "/t", "REG_DWORD", "/d", str(dpi), "/f", timeout=60)
    if GERMAN_LOCALE:
        m.env.update(LANG=GERMAN_LOCALE, LC_ALL=GERMAN_LOCALE)
    m.wine("reg", "add", r"HKCU\Software\Wine\X11 Driver", "/v", "Managed", "/d", "N", "/f", timeout=60)
    if contrast:
        high_contrast(m)


# The "High Contrast Black" scheme: white text on black, links in yellow, and no visual style.
HIGH_CONTRAST = {"ButtonFace": "0 0 0", "ButtonText": "255 255 255", "Window": "0 0 0", "WindowText": "255 255 255",
                 "HotTrackingColor": "255 255 0", "GrayText": "0 255 0", "Hilight": "26 235 255",
                 "HilightText": "0 0 0", "Background": "0 0 0", "ButtonShadow": "128 128 128",
                 "ButtonHilight": "255 255 255", "ButtonDkShadow": "255 255 255", "ButtonLight": "192 192 192",
                 "WindowFrame": "255 255 255", "ActiveTitle": "128 0 128", "TitleText": "255 255 255"}


def high_contrast(machine):
    """Switches the machine's user to the high-contrast scheme, before the setup starts."""
    colours = "".join(f'"{name}"="{value}"\n' for name, value in HIGH_CONTRAST.items())
    path = os.path.join(machine.root, "contrast.reg")
    with open(path, "w", encoding="cp1252") as f:
        f.write("REGEDIT4\n\n[HKEY_CURRENT_USER\\Control Panel\\Accessibility\\HighContrast]\n"
                '"Flags"="127"\n"High Contrast Scheme"="Kontrast Schwarz"\n\n'
                "[HKEY_CURRENT_USER\\Control Panel\\Colors]\n" + colours + "\n"
                "[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\ThemeManager]\n"
                '"ThemeActive"="0"\n')
    machine.wine("regedit", "/S", path)


def start_viewer(test, m):
    """Starts the stand-in viewer of the payload (a window of class "Pixmora")."""
    p = m.start(os.path.join(PAYLOAD, "pxm32.exe"))
    test.assertTrue(m.wait_window("Pixmora"), "the stand-in viewer did not open")
    return p


class Wizard(harness.Wizard):
    def __init__(self, test, machine, *args, **offers):
        """Starts the setup on `machine` (see german_machine) with these arguments, on a machine
        that qualifies for the partner offers named (toolbar=True, desktop=True), and waits for its
        wizard; web addresses then open in a stand-in browser that records them."""
        self.test = test
        self.shots = os.path.join(ARTIFACTS, test.id().split(".", 1)[-1])
        os.makedirs(self.shots, exist_ok=True)
        for old in os.listdir(self.shots):
            os.remove(os.path.join(self.shots, old))
        test.addCleanup(self._on_failure)  # runs before the machine is closed
        super().__init__(machine, *args, **offers)
        # After the start: the partner checks at start-up read the browser command as left by the harness.
        os.makedirs(machine.unix(ntpath.dirname(BROWSER)), exist_ok=True)
        shutil.copy(RECORDER, machine.unix(BROWSER))
        machine.wine("reg", "add", r"HKLM\Software\Classes\http\shell\open\command", "/ve",
                     "/d", f'"{BROWSER}" "%1"', "/f")

    def _on_failure(self):
        # Cleanups run after the test's failures have reached its result.
        result = getattr(getattr(self.test, "_outcome", None), "result", None)
        if not result or not any(t is self.test or getattr(t, "test_case", None) is self.test
                                 for t, _ in result.failures + result.errors):
            return
        self.m.screenshot(os.path.join(self.shots, "failure.png"))
        windows = self.run("windows")[1]
        with open(os.path.join(self.shots, "failure-windows.txt"), "w", encoding="utf-8") as f:
            f.write(windows)
        sys.stderr.write(f"\nopen windows at the failure (screenshot in {self.shots}):\n{windows}\n")

    def _ok(self, *args, what=None):
        code, out = self.run(*args)
        self.test.assertEqual(code, 0, what or f"wizdriver {' '.join(args)} failed")
        return out

    # --- the sheet -----------------------------------------------------------------------------
    def wait_page(self, index, seconds=20):
        """Waits until page `index` is active and no message box is open."""
        code, out = self.run("wait-page", str(index), _ms(seconds), timeout=seconds + 30)
        self.test.assertEqual(code, 0, f"expected page {index}, the wizard shows page {out}")

    def to_ready_page(self, formats=None):
        """Next from page 0 to the ready page; `formats`: a selection button to press on page 2."""
        self.press(NEXT, NOTES)
        self.press(NEXT, FORMATS)
        if formats:
            self.click(formats)
        self.press(NEXT, READY)

    def buttons(self):
        """[(text, enabled)] of Back, Next and Cancel."""
        return [(t.rsplit(":", 1)[0], t.endswith(":1")) for t in self("buttons").split("|")]

    def key(self, name):
        self.run("key", name)

    def close_box(self):
        self.run("sysclose")

    def closed(self, seconds=20):
        return self.run("wait-closed", _ms(seconds), timeout=seconds + 30)[0] == 0

    # --- message boxes -------------------------------------------------------------------------
    def answer(self, button):
        """Answers the message box that is open or opens within 10 s, and waits until it has gone."""
        self._ok("answer", button, _ms(10), what=f"could not answer a message box with {button}")

    def no_msgbox(self):
        return self.run("msgbox")[0] != 0

    def expect_msgbox(self, text, buttons="ok", default=None, answer=None, shot=None):
        """Asserts the message box that opens (captioned with the setup's name), optionally screenshots and answers it."""
        caption, shown, kind = self.msgbox()
        self.test.assertEqual(caption, "Pixmora Installation")
        self.test.assertEqual(shown.replace("\r\n", "\n"), text)
        self.test.assertEqual(kind, buttons)
        if default is not None:
            self.test.assertEqual(self("msgbox-default"), default)
        if shot:
            self.screenshot(shot)
        self.answer(answer or ("yes" if buttons == "yesno" else "ok"))

    # --- controls of the active page -----------------------------------------------------------
    def text(self, control):
        return self._ok("text", str(control), what=f"no control {control}").replace("\r\n", "\n")

    def set_text(self, control, text):
        self._ok("set-text", str(control), text)

    def click(self, control):
        self._ok("click", str(control), what=f"no control {control}")

    def picker(self, button):
        self._ok("picker", button, _ms(20), what="no folder picker")

    # --- the association list ------------------------------------------------------------------
    def ticks(self):
        return self._ok("list", what="no list on the active page")

    def tick(self, row, on=True):
        self._ok("list-set", str(row), "1" if on else "0")

    def list_rows(self):
        return [tuple(line.split("\t")) for line in self._ok("list-texts").splitlines()]

    def list_columns(self):
        return tuple(int(v) for v in self._ok("list-columns").split())

    # --- pictures and outside effects ----------------------------------------------------------
    def _rect(self, *what):
        code, out = self.run("rect", *what)
        return tuple(int(v) for v in out.split()) if code == 0 else None

    def screenshot(self, name, folder=None):
        """The wizard window, with a message box of ours or the download dialog when one is open,
        as a PNG file; returns its path."""
        time.sleep(bound(0.3))  # let the page finish painting
        path = os.path.join(folder or self.shots, name + ".png")
        rects = [r for r in (self._rect(), self._rect("msgbox"), self._rect("download")) if r]
        crop = []
        if rects:
            left, top = max(min(r[0] for r in rects), 0), max(min(r[1] for r in rects), 0)
            right, bottom = max(r[2] for r in rects), max(r[3] for r in rects)
            crop = ["-crop", f"{right - left}x{bottom - top}+{left}+{top}", "+repage"]
        # Without the time chunks the same picture gives the same file.
        subprocess.run(["import", "-window", "root", *crop, "-define", "png:exclude-chunks=date,time", path],
                       env=self.m.env, timeout=bound(60), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        return path

    def colours(self, control):
        """The colours ("#RRGGBB") drawn inside a control of the active page, from the screen."""
        left, top, right, bottom = (int(x) for x in self._ok("rect", str(control)).split())
        path = os.path.join(self.m.root, "colours.png")
        self.m.screenshot(path)
        out = subprocess.run(["convert", path, "-crop", f"{right - left}x{bottom - top}+{left}+{top}",
                              "-unique-colors", "-depth", "8", "txt:-"], capture_output=True, text=True,
                             timeout=60).stdout
        return {line.split()[2] for line in out.splitlines()[1:] if len(line.split()) > 2}

    def opened_urls(self):
        """The addresses given to the stand-in browser, in order."""
        path = self.m.unix(BROWSER) + ".log"
        if not os.path.exists(path):
            return []
        with open(path, encoding="cp1252") as f:
            return [line.split('" ', 1)[-1].strip('"') for line in f.read().splitlines()]

    def viewer_program(self, seconds=10):
        """Program file of the running viewer window (class "Pixmora"), or None."""
        code, out = self.run("window-exe", "Pixmora", _ms(seconds), timeout=seconds + 30)
        return out if code == 0 else None

    def close_viewer(self):
        self._ok("close-window", "Pixmora", what="no viewer window to close")

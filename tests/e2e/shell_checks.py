"""Expectations shared by the shell integration cases: the links, and the registry rows that a
run must write on each Windows family, compared against what the run really changed."""
import os
import pwd
import re
import subprocess
import tempfile
import time

from harness import BUILD, PAYLOAD, PAYLOAD_FILES, SETUP_EXE, bound, deadline, helper_run, read_lnk

GROUP = [  # link file, target below the folder, arguments, icon index of pxm32.exe (None: default)
    ("Pixmora 4.00.lnk", "pxm32.exe", None, None),
    ("Pixmora - Thumbnails.lnk", "pxm32.exe", "/thumbs", 7),
    ("Pixmora deinstallieren.lnk", "pmx_uninstall.exe", None, None),
    ("Über Pixmora.lnk", "pxm_about.txt", None, None),
    ("Was ist neu.lnk", "pxm_changes.txt", None, None),
    ("Kommandozeilen-Optionen.lnk", "pxm_options.txt", None, None),
    ("Verfügbare PlugIns.lnk", "pxm_plugins.txt", None, None),
    ("Verfügbare Sprachen.lnk", "pxm_languages.txt", None, None),
    ("Über PlugIns.lnk", "Plugins\\Plugins.txt", None, None),
    ("Pixmora Hilfe.lnk", "help\\pxm32d.chm", None, None),
]
DESKTOP = [  # link file, arguments, icon index, description
    ("Pixmora.lnk", None, None, "Pixmora - Bildbetrachter"),
    ("Pixmora Thumbnails.lnk", "/thumbs", 7, "Pixmora - Thumbnails"),
]

# The format groups in registration order: "extension:type" pairs, icon ("%1" or the index in
# pxm32.exe), and the extensions listed in their open-with lists.
FORMATS = [
    ("ani:ani", "%1", "ani"),
    ("b3d:b3d", 0, ""),
    ("bmp:bmp dib:bmp", 0, "bmp"),
    ("cam:cam", 0, ""),
    ("clp:clp", 0, "clp"),
    ("crw:crw cr2:cr2", 0, ""),
    ("cur:cur", "%1", "cur"),
    ("dcm:dcm acr:dcm", 0, ""),
    ("dcx:dcx", 0, ""),
    ("dds:dds", 0, ""),
    ("djvu:djvu iw44:djvu", 0, ""),
    ("ecw:ecw", 0, ""),
    ("emf:emf", 0, "emf"),
    ("eps:eps", 0, ""),
    ("fpx:fpx", 0, ""),
    ("fsh:fsh", 0, ""),
    ("g3:g3", 0, ""),
    ("gif:gif", 0, "gif"),
    ("icl:icl", "%1", ""),
    ("ico:ico", "%1", "ico"),
    ("iff:iff lbm:iff", 0, ""),
    ("img:img", 0, ""),
    ("jp2:jp2 jpc:jp2 j2k:jp2", 0, ""),
    ("jpg:jpg jpeg:jpg jpe:jpg", 0, "jpg jpeg jpe"),
    ("jpm:jpm", 0, ""),
    ("kdc:kdc", 0, ""),
    ("ldf:ldf", 0, ""),
    ("lwf:lwf", 0, ""),
    ("mng:mng jng:jng", 0, ""),
    ("nlm:nlm nol:nlm ngg:nlm gsm:nlm", 0, ""),
    ("pbm:pbm", 0, ""),
    ("pcd:pcd", 0, ""),
    ("pcx:pcx", 0, "pcx"),
    ("pgm:pgm", 0, ""),
    ("png:png", 0, "png"),
    ("ppm:ppm", 0, ""),
    ("psd:psd", 0, ""),
    ("psp:psp", 0, ""),
    ("ras:ras sun:ras", 0, ""),
    ("raw:raw", 0, ""),
    ("rle:rle", 0, ""),
    ("sff:sff", 0, ""),
    ("sfw:sfw", 0, ""),
    ("sgi:sgi rgb:sgi", 0, ""),
    ("sid:sid", 0, ""),
    ("swf:swf", 0, ""),
    ("tga:tga", 0, ""),
    ("tif:tif tiff:tif", 0, "tif tiff"),
    ("wbmp:wbmp", 0, ""),
    ("wmf:wmf", 0, "wmf"),
    ("xbm:xbm", 0, ""),
    ("xpm:xpm", 0, ""),
    ("ttf:ttf", 0, ""),
    ("asf:asf", 9, "asf"),
    ("avi:avi", 9, "avi"),
    ("mpg:mpg mpe:mpe mpeg:mpg", 9, "mpg mpe mpeg"),
    ("mov:mov", 9, ""),
    ("wmv:wmv", 9, "wmv"),
    ("aif:aif", 8, "aif"),
    ("mid:mid rmi:rmi", 8, "mid rmi"),
    ("med:med", 8, ""),
    ("mp3:mp3", 8, "mp3"),
    ("ogg:ogg", 8, "ogg"),
    ("ra:ra", 8, ""),
    ("au:au snd:au", 8, "au snd"),
    ("wav:wav", 8, "wav"),
    ("wma:wma", 8, "wma"),
]

# Windows families as the program tells them apart.
OLD, XP, VISTA, WIN8 = "old", "xp", "vista", "win8"
FAMILY = {"win98": OLD, "win2k": OLD, "winxp": XP, "vista": VISTA, "win7": VISTA, "win10": WIN8}

CLASSES = "software\\classes\\"
FILEEXTS = "software\\microsoft\\windows\\currentversion\\explorer\\fileexts\\."
UNINSTALL = "software\\microsoft\\windows\\currentversion\\uninstall\\pixmora"


def payload_kib():
    """The payload's size in KiB, rounded up: the uninstall entry's "EstimatedSize"."""
    total = sum(os.path.getsize(os.path.join(PAYLOAD, rel)) for rel in PAYLOAD_FILES)
    return (total + 1023) // 1024


def assoc_flags(value):
    """The format flags of "/assoc=value"."""
    return [1 if value == 2 or (value == 1 and g < 52) else 0 for g in range(67)]


def expected_rows(family, folder, flags, thumbs=False, assoc_all_users=False, registered_apps=False,
                  confirmed=True):
    """{(hive, key, value name): data} of every value a run writes, names in lower case.
    `confirmed` is the answer to the question before file types are taken over."""
    program = folder + "\\pxm32.exe"
    opening = f'"{program}" "%1"'
    vista = family in (VISTA, WIN8)
    rows = {}

    def put(hive, key, name, data):
        rows[(hive, key.lower(), name.lower())] = data

    if thumbs and vista:
        for root in ("directory", "drive"):
            put("hklm", CLASSES + root + "\\shell\\Browse with &Pixmora", "", "Browse with &Pixmora")
            put("hklm", CLASSES + root + "\\shell\\Browse with &Pixmora\\command", "", f'"{program}" "%1 /thumbs"')
    put("hklm", CLASSES + "Pixmora", "", "Pixmora")
    put("hklm", CLASSES + "Pixmora\\shell\\open\\command", "", opening)
    put("hklm", CLASSES + "Applications\\pxm32.exe\\shell\\open\\command", "", opening)
    put("hklm", UNINSTALL, "", "")
    put("hklm", UNINSTALL, "DisplayName", "Pixmora (remove only)")
    put("hklm", UNINSTALL, "UninstallString", f'"{folder}\\pmx_uninstall.exe"')
    put("hklm", UNINSTALL, "DisplayVersion", "4.00")
    put("hklm", UNINSTALL, "Publisher", "Pixmora")
    put("hklm", UNINSTALL, "InstallLocation", folder + "\\")
    put("hklm", UNINSTALL, "DisplayIcon", f'"{program}",0')
    put("hklm", UNINSTALL, "EstimatedSize", payload_kib())
    put("hklm", UNINSTALL, "NoModify", 1)
    put("hklm", UNINSTALL, "NoRepair", 1)
    if vista:
        put("hklm", "software\\pixmora\\shell\\open\\command", "", f'"{program}"')
        put("hklm", "software\\pixmora\\capabilities", "ApplicationDescription",
            "Picture viewer, editor and converter - one of the most popular viewers worldwide")
        if registered_apps:
            put("hklm", "software\\registeredapplications", "Pixmora", "SOFTWARE\\Pixmora\\Capabilities")

    if not (confirmed or vista):
        return rows
    for group, (pairs, icon, open_with) in enumerate(FORMATS):
        selected = flags[group]
        if not (vista or selected):
            continue
        take_over = selected and confirmed
        for pair in pairs.split():
            ext, kind = pair.split(":")
            progid = "Pixmora." + kind
            if family == XP:
                put("hkcu", FILEEXTS + ext, "", "")
                put("hkcu", FILEEXTS + ext, "ProgID", progid)
                if assoc_all_users:
                    put("hklm", CLASSES + "." + ext, "", progid)
            elif take_over:
                put("hklm", CLASSES + "." + ext, "", progid)
            if family != OLD and ext in open_with.split():
                put("hklm", CLASSES + "." + ext + "\\OpenWithProgids", progid, "")
            put("hklm", CLASSES + progid, "", f"Pixmora {kind.upper()} File")
            put("hklm", CLASSES + progid + "\\shell\\open\\command", "", opening)
            put("hklm", CLASSES + progid + "\\DefaultIcon", "", icon if icon == "%1" else f"{program},{icon}")
            if vista:
                put("hklm", "software\\pixmora\\capabilities\\fileassociations", "." + kind, progid)
                if take_over and family == VISTA:
                    put("hkcu", FILEEXTS + ext + "\\UserChoice", "Progid", progid)
    return rows


def _values(registry):
    """Every value of the snapshot as {(hive, key, name): data}, leaving out what Wine itself
    changes while a program runs (device classes, its own settings)."""
    out = {}
    for hive in ("hklm", "hkcu"):
        for key, values in getattr(registry, hive).items():
            if hive == "hklm" and not key.startswith("software\\"):
                continue
            if key.startswith("software\\wine"):
                continue
            for name, data in values.items():
                out[(hive, key, name)] = data
    return out


def check_registry(test, before, after, expected, removed=()):
    """The run changed exactly the expected values and removed exactly the `removed` ones
    ((hive, key, name) in lower case)."""
    old, new = _values(before), _values(after)
    changed = {k: v for k, v in new.items() if old.get(k) != v}
    want = {k: v for k, v in expected.items() if old.get(k) != v}
    missing = {k: v for k, v in want.items() if changed.get(k) != v}
    extra = {k: v for k, v in changed.items() if k not in want}
    test.assertEqual(missing, {}, "expected values not written (or written differently)")
    test.assertEqual(extra, {}, "values written that the run must leave alone")
    test.assertEqual(sorted(k for k in old if k not in new), sorted(removed))


def value_names(prefix, hive_file, name):
    """How many values named exactly `name` (case kept) the hive file holds; the registry
    snapshot folds case, the value names of the user's extension entries must not."""
    with open(os.path.join(prefix, hive_file), encoding="utf-8", errors="replace") as f:
        return len(re.findall(rf'^"{re.escape(name)}"=', f.read(), re.M))


def check_links(test, group_dir, desktop_dir, folder, desktop=True):
    """Asserts the ten group entries and (unless `desktop` is false) both desktop links for an
    installation in `folder`."""
    program = folder + "\\pxm32.exe"
    test.assertEqual(sorted(os.listdir(group_dir)), sorted(g[0] for g in GROUP))
    for name, target, args, icon in GROUP:
        with test.subTest(link=name):
            lnk = read_lnk(os.path.join(group_dir, name))
            test.assertEqual(lnk["target"].lower(), (folder + "\\" + target).lower())
            test.assertEqual(lnk["arguments"], args)
            test.assertEqual(lnk["icon"], program if icon is not None else None)
            if icon is not None:
                test.assertEqual(lnk["icon_index"], icon)
            test.assertIsNone(lnk["description"])
            test.assertIsNone(lnk["workdir"])
    if not desktop:
        return
    for name, args, icon, description in DESKTOP:
        with test.subTest(link=name):
            lnk = read_lnk(os.path.join(desktop_dir, name))
            test.assertEqual(lnk["target"], program)
            test.assertEqual(lnk["arguments"], args)
            test.assertEqual(lnk["description"], description)
            test.assertEqual(lnk["icon"], program if icon is not None else None)
            if icon is not None:
                test.assertEqual(lnk["icon_index"], icon)
            test.assertIsNone(lnk["workdir"])


def user_folders(machine):
    """(program group, desktop) of the current user and of all users, as Unix paths."""
    user = os.path.join(machine.prefix, "drive_c/users", pwd.getpwuid(os.getuid()).pw_name)
    common = os.path.join(machine.prefix, "drive_c")
    return (
        (os.path.join(user, "AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Pixmora"),
         os.path.join(user, "Desktop")),
        (os.path.join(common, "ProgramData/Microsoft/Windows/Start Menu/Programs/Pixmora"),
         os.path.join(common, "users/Public/Desktop")),
    )


class Wizard:
    """The setup's wizard on a machine with a display, driven by tools/wizdriver.exe."""

    def __init__(self, machine):
        self.m = machine
        self.driver = os.path.join(BUILD, "tools", "wizdriver.exe")
        self.m.start("Z:" + SETUP_EXE.replace("/", "\\"))
        if self.run("wait-sheet", str(int(bound(30) * 1000)))[0] != 0:
            raise AssertionError("the wizard did not open")

    def run(self, *args):
        """(exit code, printed text) of one driver command. Output goes to a file: Wine's
        background processes would hold a pipe open."""
        with tempfile.TemporaryFile() as out:
            def step():
                out.seek(0)
                out.truncate()
                return subprocess.run(["wine", self.driver, *args], env=self.m.env, cwd=self.m.cwd,
                                      stdout=out, stderr=subprocess.DEVNULL, timeout=bound(60) + 30)
            code = helper_run(f"wizdriver {' '.join(args)}", step).returncode
            out.seek(0)
            return code, out.read().decode("cp1252", errors="replace").strip()

    def page(self):
        return self.run("page")[1].split()[0]

    def wait(self, condition, what, seconds=20):
        end = deadline(seconds)
        while time.time() < end:
            if condition():
                return
            time.sleep(0.2)
        raise AssertionError(f"wizard: {what} within {bound(seconds):.0f} s (page {self.page()})")

    def next(self):
        """Presses Next and waits until the next page is active."""
        page = int(self.page())
        self.run("press", "next")
        self.wait(lambda: self.page() == str(page + 1), f"page {page + 1}")

    def answer_question(self, answer):
        """Waits for the message box, returns its text and answers it."""
        self.wait(lambda: self.run("msgbox")[0] == 0, "the question")
        text = self.run("msgbox")[1]
        self.run("answer", answer)
        return text

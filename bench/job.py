"""The job of a silent run on the Vista family (Windows 7 is Wine's default), as a list of steps that
bench/gen_nsis.py and bench/gen_floor.py turn into an NSIS script and the floor program's tables.

The payload list and the extension table are read from the sources the setup is built from, the
links from the expectations of the end-to-end tests, so no installer of the benchmark can drift from
the setup. Texts may hold "{folder}", the installation folder without a trailing backslash.

Steps, in the order the setup takes them:
    ("file", resource id, resource type, path below the folder)   folders made before their first file
    ("ini", [(section, key, value)])                                pxm32.ini
    ("group",)                                                      the program group's folder
    ("link", "group" | "desktop", name, target, arguments, icon path, icon index, description)
    ("delete_link", "group", name)                                  an older version's link
    ("reg", hive, key, value name or "", text)                      hive: HKLM, HKCU or HKCR
    ("reg_empty", hive, key, value name)                            a REG_SZ value without data
    ("reg_delete", hive, key)                                       a key removed with its subkeys
    ("reg_if_key", hive, key, value name, text)                     set only where the key exists
    ("reg_dword", hive, key, value name, number or None)            REG_DWORD; None: the payload's KiB
    ("notify",)                                                     icons and associations changed
"""
import os
import re
import sys

SOURCE = os.path.abspath(os.path.join(os.path.dirname(__file__), ".."))
sys.path.insert(0, os.path.join(SOURCE, "tests", "e2e"))
from shell_checks import DESKTOP, GROUP  # noqa: E402

FULL_SWITCHES = "/group=1 /desktop=1 /thumbs=1 /assoc=2"
FILEEXTS = r"Software\Microsoft\Windows\CurrentVersion\Explorer\FileExts"
DESCRIPTION = "Picture viewer, editor and converter - one of the most popular viewers worldwide"
VERB = "Browse with &Pixmora"
PROGRAM = "{folder}\\pxm32.exe"
ICONS = {"OWN": "%1", "P0": PROGRAM + ",0", "P8": PROGRAM + ",8", "P9": PROGRAM + ",9"}


def payload_files():
    """(resource id, resource type, path below the payload folder) in the order the setup writes them."""
    with open(os.path.join(SOURCE, "cmake", "payload_files.cmake")) as f:
        rows = re.findall(r'"(\d+) (\w+) ([^"]+)"', f.read())
    assert len(rows) == 23, rows
    return [(int(i), t, rel) for i, t, rel in rows]


def extensions():
    """(group, extension, type name, icon, open-with) in registration order."""
    with open(os.path.join(SOURCE, "install", "associations_table.cpp")) as f:
        rows = re.findall(r'\{(\d+), "(\w+)", "(\w+)", (OWN|P0|P8|P9), (true|false)(?:, "[^"]*", "[^"]*")?\}', f.read())
    rows = [(int(g), e, t, i, o == "true") for g, e, t, i, o in rows]
    assert len(rows) == 87 and len({r[0] for r in rows}) == 67, len(rows)
    return rows


def steps(mode):
    """The steps of "/silent" alone (plain), of "/silent " + FULL_SWITCHES (full), or only the files
    and the ini (files)."""
    assert mode in ("plain", "full", "files")
    full = mode == "full"
    out = [("file", i, t, rel) for i, t, rel in payload_files()]
    out.append(("ini", [("Language", "DLL", "DEUTSCH.DLL"), ("Language", "Lang", "Deutsch")]))
    if mode == "files":
        return out

    open_cmd = f'"{PROGRAM}" "%1"'
    if full:
        out.append(("group",))
        for i, (name, target, args, icon) in enumerate(GROUP):
            out.append(("link", "group", name, "{folder}\\" + target, args or "",
                        PROGRAM if icon is not None else "", icon or 0, ""))
            if i == 0:
                out += [("delete_link", "group", f"Pixmora {old}.lnk") for old in ("3.99", "3.98")]
        for name, args, icon, description in DESKTOP:
            out.append(("link", "desktop", name, PROGRAM, args or "", PROGRAM if icon is not None else "",
                        icon or 0, description))
        browse = f'"{PROGRAM}" "%1 /thumbs"'
        for root in ("Directory", "Drive"):
            key = f"SOFTWARE\\Classes\\{root}\\shell\\{VERB}"
            out += [("reg", "HKLM", key, "", VERB), ("reg", "HKLM", key + "\\command", "", browse)]

    # Program registration.
    uninstall = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Pixmora"
    out += [
        ("reg", "HKLM", "SOFTWARE\\Classes\\Pixmora", "", "Pixmora"),
        ("reg", "HKLM", "SOFTWARE\\Classes\\Pixmora\\shell\\open\\command", "", open_cmd),
        ("reg_delete", "HKLM", "SOFTWARE\\Classes\\Pixmora\\DefaultIcon"),
        ("reg", "HKCR", "Applications\\pxm32.exe\\shell\\open\\command", "", open_cmd),
        ("reg", "HKLM", uninstall, "", ""),
        ("reg", "HKLM", uninstall, "DisplayName", "Pixmora (remove only)"),
        ("reg", "HKLM", uninstall, "UninstallString", '"{folder}\\pmx_uninstall.exe"'),
        ("reg", "HKLM", uninstall, "DisplayVersion", "4.00"),
        ("reg", "HKLM", uninstall, "Publisher", "Pixmora"),
        ("reg", "HKLM", uninstall, "InstallLocation", "{folder}\\"),
        ("reg", "HKLM", uninstall, "DisplayIcon", f'"{PROGRAM}",0'),
        ("reg_dword", "HKLM", uninstall, "EstimatedSize", None),
        ("reg_dword", "HKLM", uninstall, "NoModify", 1),
        ("reg_dword", "HKLM", uninstall, "NoRepair", 1),
        ("reg", "HKLM", "SOFTWARE\\Pixmora\\shell\\open\\command", "", f'"{PROGRAM}"'),
        ("reg", "HKLM", "SOFTWARE\\Pixmora\\Capabilities", "ApplicationDescription", DESCRIPTION),
        # The list of registered applications is only filled where the system has it.
        ("reg_if_key", "HKLM", "SOFTWARE\\RegisteredApplications", "Pixmora", "SOFTWARE\\Pixmora\\Capabilities"),
    ]

    # The classes of all 87 extensions; the full run also takes every extension over.
    for group, ext, type_name, icon, open_with in extensions():
        progid = f"Pixmora.{type_name}"
        cls = f"SOFTWARE\\Classes\\{progid}"
        if full:
            out.append(("reg", "HKLM", f"SOFTWARE\\Classes\\.{ext}", "", progid))
        if open_with:
            out.append(("reg_empty", "HKLM", f"SOFTWARE\\Classes\\.{ext}\\OpenWithProgids", progid))
        out += [("reg", "HKLM", cls, "", f"Pixmora {type_name.upper()} File"),
                ("reg", "HKLM", cls + "\\shell\\open\\command", "", open_cmd),
                ("reg", "HKLM", cls + "\\DefaultIcon", "", ICONS[icon]),
                ("reg", "HKLM", "SOFTWARE\\Pixmora\\Capabilities\\FileAssociations", "." + type_name, progid)]
        if full:
            choice = f"{FILEEXTS}\\.{ext}\\UserChoice"
            out += [("reg_delete", "HKCU", choice), ("reg", "HKCU", choice, "Progid", progid)]
    out.append(("notify",))
    return out

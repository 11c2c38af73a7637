"""What the setup weighs beside NSIS and the floor of per-file compression: a part of `make bench`
that runs alone as `bench.py BUILD --sizes`, and is judged anywhere, since sizes do not depend on the
machine's speed.

Payloads: the sample (the build's), and two realistic ones made at bench time from Wine's own i386
PE files (installed with wine32), about 5 MB and 50 MB, standing in for the viewer's programs,
help, texts and pictures: each of the 23 files one fixed file of Wine's, so every run weighs the
same bytes.

Installers, all from the same payload folder: ours (each file in its own resource, packed where that
makes it smaller, through one dictionary that runs on from file to file); NSIS doing the full run's
job (bench/gen_nsis.py) with `SetCompressor lzma` (each file its own stream and dictionary), `SetCompressor /SOLID lzma`, zlib and uncompressed; and the floor of per-file
compression, the sum of `xz --format=lzma -9e` of each file, which holds no program at all.
"""
import os
import re
import shutil
import subprocess
import sys

SOURCE = os.path.abspath(os.path.join(os.path.dirname(__file__), ".."))
sys.path.insert(0, os.path.join(SOURCE, "tests", "e2e"))
from pe_resources import resources  # noqa: E402

WINE_PE = "/usr/lib/i386-linux-gnu/wine/i386-windows"
REALISTIC = {
    "realistic, 5 MB": {
        "pxm32.exe": "msctfp.dll", "pmx_uninstall.exe": "lz32.dll", "pxm32.chm": "schedsvc.dll",
        "Help/pxm32d.chm": "dpvoice.dll", "pxm_about.txt": "icmp.dll", "pxm_changes.txt": "msimsg.dll",
        "pxm_options.txt": "normaliz.dll", "pxm_plugins.txt": "security.dll", "pxm_languages.txt": "sfc.dll",
        "Toolbars/Tarnholm_24.txt": "usp10.dll", "Toolbars/Velder_16.txt": "wmi.dll",
        "Toolbars/Tarnholm_24.png": "iprop.dll", "Toolbars/Velder_16.png": "vcruntime140_1.dll",
        "Plugins/Video.dll": "dmloader.dll", "Plugins/Icons.dll": "wsdapi.dll", "Plugins/Effects.dll": "cscript.exe",
        "Plugins/Mpg.dll": "mpr.dll", "Plugins/Plugins.txt": "dplay.dll", "Plugins/Slideshow.exe": "cabinet.dll",
        "Languages/Deutsch.dll": "credui.dll", "Html/thumbnails.html": "dpnaddr.dll",
        "Html/slideshow.html": "dpnlobby.dll", "Html/frame.html": "rsabase.dll"},
    "realistic, 50 MB": {
        "pxm32.exe": "shell32.dll", "pmx_uninstall.exe": "credui.dll", "pxm32.chm": "comctl32.dll",
        "Help/pxm32d.chm": "actxprxy.dll", "pxm_about.txt": "msvcp140_2.dll", "pxm_changes.txt": "regsvr32.exe",
        "pxm_options.txt": "dmusic32.dll", "pxm_plugins.txt": "icinfo.exe", "pxm_languages.txt": "apisetschema.dll",
        "Toolbars/Tarnholm_24.txt": "utildll.dll", "Toolbars/Velder_16.txt": "iprop.dll",
        "Toolbars/Tarnholm_24.png": "rundll32.exe", "Toolbars/Velder_16.png": "wlanapi.dll",
        "Plugins/Video.dll": "windowscodecs.dll", "Plugins/Icons.dll": "ole32.dll", "Plugins/Effects.dll": "opengl32.dll",
        "Plugins/Mpg.dll": "d2d1.dll", "Plugins/Plugins.txt": "mscorwks.dll", "Plugins/Slideshow.exe": "jscript.dll",
        "Languages/Deutsch.dll": "ntdll.dll", "Html/thumbnails.html": "cryptsp.dll",
        "Html/slideshow.html": "expand.exe", "Html/frame.html": "vcruntime140_1.dll"},
}
TIMED = "realistic, 50 MB"  # the payload that the full bench also times "/silent" with
NSIS = (("lzma", "NSIS lzma (per file)"), ("lzma-solid", "NSIS /SOLID lzma"), ("zlib", "NSIS zlib"),
        ("off", "NSIS uncompressed"))
# (what, the ratio's key, aim: at most)
AIMS = (("ours / NSIS lzma per file", "vs_lzma", 1.0), ("ours / NSIS /SOLID lzma", "vs_solid", 1.1),
        ("ours / (1.05 x the floor + our stub)", "vs_floor", 1.0))

with open(os.path.join(SOURCE, "cmake", "payload_files.cmake")) as _f:
    PAYLOAD_ROWS = [(int(t) if t.isdigit() else t, int(i), rel)
                    for i, t, rel in re.findall(r'"(\d+) (\w+) ([^"]+)"', _f.read())]


def folder_bytes(folder):
    return sum(os.path.getsize(os.path.join(folder, rel)) for _, _, rel in PAYLOAD_ROWS)


def stored_payload(exe):
    """Bytes that the 23 payload resources take in the setup, as stored."""
    with open(exe, "rb") as f:
        found = resources(f.read())
    return sum(found[(rtype, rid)][1] for rtype, rid, _ in PAYLOAD_ROWS)


def linked_bytes(map_path, objects):
    """{object: bytes the linker placed in the image from it} from the linker's map (file bytes:
    no .bss, no debug sections)."""
    with open(map_path) as f:
        text = f.read()
    text = text[text.index("Linker script and memory map"):]
    placed = dict.fromkeys(objects, 0)
    for name, address, size, source in re.findall(
            r"^ (\.\S+)\s+0x([0-9a-f]+)\s+0x([0-9a-f]+)[ \t]+(\S+)$", text, re.M):
        if int(address, 16) == 0 or name.startswith((".bss", ".debug")):
            continue
        for obj in objects:
            if source.endswith(f"({obj})"):
                placed[obj] += int(size, 16)
    return placed


def floor_bytes(folder):
    """The sum of `xz --format=lzma -9e` of each payload file."""
    total = 0
    for _, _, rel in PAYLOAD_ROWS:
        r = subprocess.run(["xz", "--format=lzma", "-9e", "-c", os.path.join(folder, rel)],
                           check=True, stdout=subprocess.PIPE)
        total += len(r.stdout)
    return total


class SetupSize:
    def __init__(self, build, tmp, sample_payload, log=print):
        self.build, self.log = build, log
        self.tmp = os.path.join(tmp, "size")
        self.sample_payload = sample_payload
        os.makedirs(self.tmp, exist_ok=True)

    def realistic_payload(self, name, files):
        folder = os.path.join(self.tmp, "payload_" + re.sub(r"\W+", "_", name))
        for rel, source in files.items():
            target = os.path.join(folder, rel)
            os.makedirs(os.path.dirname(target), exist_ok=True)
            path = os.path.join(WINE_PE, source)
            if not os.path.isfile(path):
                raise SystemExit(f"{path} is missing: the realistic payload takes Wine's i386 PE files (wine32)")
            shutil.copyfile(path, target)
        return folder

    def ours(self, name, payload):
        """Our setup built with this payload in a build folder of the size part's own."""
        build = os.path.join(self.tmp, "build")
        subprocess.run(["cmake", "--no-warn-unused-cli", "-S", SOURCE, "-B", build, "-DPIXMORA_TESTS=OFF",
                        f"-DCMAKE_TOOLCHAIN_FILE={SOURCE}/cmake/mingw-i686.cmake",
                        f"-DPIXMORA_PAYLOAD_DIR={payload}", "-DPIXMORA_PAYLOAD_COMPRESSION=lzma"],
                       check=True, stdout=subprocess.DEVNULL)
        subprocess.run(["cmake", "--build", build, "-j", str(os.cpu_count()), "--target", "pixmora_setup"],
                       check=True, stdout=subprocess.DEVNULL)
        exe = os.path.join(self.tmp, "pixmora_setup_" + re.sub(r"\W+", "_", name) + ".exe")
        shutil.copy(os.path.join(build, "pixmora_setup.exe"), exe)
        return exe, os.path.join(build, "pixmora_setup.map")

    def nsis(self, mode, compression, payload, name):
        exe = os.path.join(self.tmp, f"nsis_{name}_{mode}_{compression}.exe")
        nsi = exe[:-4] + ".nsi"
        subprocess.run([sys.executable, os.path.join(SOURCE, "bench", "gen_nsis.py"), mode, compression,
                        payload, exe, nsi], check=True)
        subprocess.run(["makensis", "-V1", nsi], check=True)
        return os.path.getsize(exe)

    def run(self):
        payloads = [("sample", self.sample_payload)]
        payloads += [(name, self.realistic_payload(name, files)) for name, files in REALISTIC.items()]
        rows = []
        for name, folder in payloads:
            self.log(f"setup size: {name} payload")
            exe, map_path = self.ours(name, folder)
            row = {"name": name, "folder": folder, "exe": exe, "raw": folder_bytes(folder), "ours": os.path.getsize(exe),
                   "stored": stored_payload(exe), "floor": floor_bytes(folder),
                   "nsis": {c: self.nsis("full", c, folder, re.sub(r"\W+", "_", name)) for c, _ in NSIS}}
            if name == "sample":
                # The stub: NSIS's with its least script and with the full job, uncompressed.
                shares = linked_bytes(map_path, ("LzmaDec.c.obj", "payload_stream.cpp.obj", "packed_resource.cpp.obj"))
                row["stub"] = {"ours": row["ours"] - row["stored"], "decoder": shares["LzmaDec.c.obj"],
                               "unpacking": shares["payload_stream.cpp.obj"] + shares["packed_resource.cpp.obj"],
                               "nsis_full": row["nsis"]["off"] - row["raw"],
                               "nsis_files": self.nsis("files", "off", folder, "sample") - row["raw"]}
            rows.append(row)
        return rows


# --- the tables -------------------------------------------------------------------------------
SECTION_BEGIN = "<!-- setup size: written by make bench (bench.py --sizes alone) -->"
SECTION_END = "<!-- end of setup size -->"


def kib(n):
    return f"{n / 1024:,.1f} KiB"


def ratios(row):
    stub = row["ours"] - row["stored"]
    return {"vs_lzma": row["ours"] / row["nsis"]["lzma"], "vs_solid": row["ours"] / row["nsis"]["lzma-solid"],
            "vs_floor": row["ours"] / (1.05 * row["floor"] + stub)}


def verdict(value, aim):
    return "met" if value <= aim else f"missed by {value - aim:.4f} ({(value / aim - 1) * 100:.1f}%)"


def size_table(rows):
    out = ["| payload | files | ours | " + " | ".join(label for _, label in NSIS) + " | floor: xz -9e per file |",
           "|" + "---|" * (4 + len(NSIS))]
    for row in rows:
        cells = [kib(row["raw"]), kib(row["ours"])] + [kib(row["nsis"][c]) for c, _ in NSIS] + [kib(row["floor"])]
        out.append(f"| {row['name']} | " + " | ".join(cells) + " |")
    return out


def aim_lines(rows):
    lines = []
    for row in rows:
        r = ratios(row)
        lines.append(f"- {row['name']}: " + "; ".join(f"{what} {r[key]:.4f}, aim ≤ {aim:g}: {verdict(r[key], aim)}"
                                                        for what, key, aim in AIMS))
    return lines


def stub_lines(rows):
    s = rows[0]["stub"]
    return ["| stub (the file less its payload) | bytes |", "|---|---|",
            f"| ours | {s['ours']} ({kib(s['ours'])}) |",
            f"| of it the LZMA decoder (LzmaDec.c, Debian's lzma-dev) | {s['decoder']} ({kib(s['decoder'])}) |",
            f"| of it our unpacking and checking (install/payload_stream.cpp, fw/packed_resource.cpp) | {s['unpacking']} ({kib(s['unpacking'])}) |",
            f"| NSIS, the full run's job, uncompressed | {s['nsis_full']} ({kib(s['nsis_full'])}) |",
            f"| NSIS, files and ini only, uncompressed | {s['nsis_files']} ({kib(s['nsis_files'])}) |", "",
            f"Aim (our stub at most NSIS's uncompressed): against NSIS doing the same job "
            f"{'met' if s['ours'] <= s['nsis_full'] else 'missed'} ({(s['ours'] - s['nsis_full']) / 1024:+.1f} KiB); "
            f"against NSIS's stub with the least script {'met' if s['ours'] <= s['nsis_files'] else 'missed'} "
            f"({(s['ours'] - s['nsis_files']) / 1024:+.1f} KiB)."]


def section(rows, date):
    """The report's section, between its markers."""
    names = ", ".join(f"{row['name']} {row['raw'] / 1e6:.2f} MB" for row in rows)
    out = [SECTION_BEGIN, "## Setup size", "",
           f"Measured {date} (sizes depend on no timing). Payloads: {names}; the realistic ones are Wine's own "
           "i386 PE files (with their debug information) under the 23 names, a fixed list in "
           "`bench/setup_size.py`. Every installer from the same folder: ours, each file in its own resource, "
           "LZMA-packed where that makes it smaller, through one dictionary that runs on from file to file "
           "(a stream may refer back into the files before it); NSIS doing the full run's job (`bench/gen_nsis.py`) with each compressor; "
           "the floor, the sum of `xz --format=lzma -9e` of each file, no program at all. Sizes of the "
           "whole file.", ""]
    out += size_table(rows)
    out += ["", "Aims: ours at most NSIS lzma per file, at most 1.1x NSIS /SOLID lzma, at most 1.05x the "
            "floor plus our stub.", ""]
    out += aim_lines(rows)
    out += ["", "### Stub overhead", ""] + stub_lines(rows) + [SECTION_END]
    return "\n".join(out)


def summary(rows):
    """The README's short form."""
    out = ["| payload | ours | NSIS lzma | NSIS /SOLID lzma | floor + our stub | ours / NSIS lzma | ours / solid |",
           "|---|---|---|---|---|---|---|"]
    for row in rows:
        r = ratios(row)
        stub = row["ours"] - row["stored"]
        out.append(f"| {row['name']} ({row['raw'] / 1e6:.2f} MB) | {kib(row['ours'])} | {kib(row['nsis']['lzma'])} | "
                   f"{kib(row['nsis']['lzma-solid'])} | {kib(row['floor'] + stub)} | {r['vs_lzma']:.4f} | "
                   f"{r['vs_solid']:.4f} |")
    s = rows[0]["stub"]
    out += ["", f"Our stub is {kib(s['ours'])}, of which the LZMA decoder {kib(s['decoder'])} and the unpacking "
            f"{kib(s['unpacking'])}. Aims:", ""] + aim_lines(rows)
    return "\n".join(out)


def replace_block(path, begin, end, block):
    """Puts `block` (which may carry the markers itself) between the markers in the file."""
    with open(path) as f:
        text = f.read()
    start, stop = text.find(begin), text.find(end)
    if start < 0 or stop < start:
        raise SystemExit(f"{path} has no '{begin}' ... '{end}' block")
    if block.startswith(begin):
        text = text[:start] + block + text[stop + len(end):]
    else:
        text = text[:start + len(begin)] + "\n" + block + "\n" + text[stop:]
    with open(path, "w") as f:
        f.write(text)

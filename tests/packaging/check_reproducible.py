"""Builds pixmora_setup.exe a second time, from a copy of the sources in another folder into another
build folder, and compares it byte for byte with the one the test run built: a published SHA-256 must
be reproducible from the sources. A signature on the first build (make sign) is set aside first.

Usage: check_reproducible.py BUILD. With REPRO=0 in the environment the check is skipped (exit 77)
and says so."""
import hashlib
import os
import re
import shutil
import subprocess
import sys
import tempfile

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
SKIPPED = 77


def sha256(path):
    with open(path, "rb") as f:
        return hashlib.sha256(f.read()).hexdigest()


def source_files():
    """The files of the working tree that a clone would have, uncommitted edits included."""
    try:
        out = subprocess.run(["git", "ls-files", "-co", "--exclude-standard", "-z"], cwd=ROOT,
                             capture_output=True, check=True).stdout
        return [f for f in out.decode().split("\0") if f and os.path.isfile(os.path.join(ROOT, f))]
    except (OSError, subprocess.CalledProcessError):
        files = []
        for top, dirs, names in os.walk(ROOT):
            dirs[:] = [d for d in dirs if d not in (".git", "build")]
            files += [os.path.relpath(os.path.join(top, n), ROOT) for n in names]
        return files


def cache_value(build, name):
    with open(os.path.join(build, "CMakeCache.txt"), encoding="utf-8") as f:
        m = re.search(rf"^{name}:[A-Z]+=(.*)$", f.read(), re.M)
    return m.group(1) if m else None


def unsigned_copy(exe, folder):
    """The exe without its Authenticode signature (osslsigncode restores the bytes exactly)."""
    sig = os.path.join(folder, "signature.der")
    if subprocess.run(["osslsigncode", "extract-signature", "-in", exe, "-out", sig],
                      capture_output=True).returncode != 0:
        return exe
    plain = os.path.join(folder, "first-unsigned.exe")
    subprocess.run(["osslsigncode", "remove-signature", "-in", exe, "-out", plain], capture_output=True, check=True)
    print(f"{exe} is signed: comparing it without its signature")
    return plain


def main(build):
    if os.environ.get("REPRO", "1") == "0":
        print("reproducible build: SKIPPED because REPRO=0 was given; the second build was not made")
        return SKIPPED
    build = os.path.abspath(build)
    first = os.path.join(build, "pixmora_setup.exe")
    work = tempfile.mkdtemp(prefix="repro.", dir=build)
    src, out = os.path.join(work, "src"), os.path.join(work, "out")
    for rel in source_files():
        os.makedirs(os.path.dirname(os.path.join(src, rel)), exist_ok=True)
        shutil.copy2(os.path.join(ROOT, rel), os.path.join(src, rel))

    env = dict(os.environ)
    if "SOURCE_DATE_EPOCH" not in env:  # the copy has no history to take the date from
        r = subprocess.run(["git", "log", "-1", "--format=%ct"], cwd=ROOT, capture_output=True, text=True)
        if r.returncode == 0 and r.stdout.strip():
            env["SOURCE_DATE_EPOCH"] = r.stdout.strip()
    args = ["cmake", "-S", src, "-B", out, "-DPIXMORA_TESTS=OFF",
            "-DCMAKE_TOOLCHAIN_FILE=" + os.path.join(src, "cmake", "mingw-i686.cmake")]
    payload = cache_value(build, "PIXMORA_PAYLOAD_DIR")
    if payload and os.path.abspath(payload) != os.path.join(build, "payload"):
        args.append("-DPIXMORA_PAYLOAD_DIR=" + payload)  # the same given payload; else each its sample
    compression = cache_value(build, "PIXMORA_PAYLOAD_COMPRESSION")
    if compression:
        args.append("-DPIXMORA_PAYLOAD_COMPRESSION=" + compression)
    for cmd in (args, ["cmake", "--build", out, "--target", "pixmora_setup", "-j", str(os.cpu_count() or 1)]):
        r = subprocess.run(cmd, env=env, capture_output=True, text=True)
        if r.returncode != 0:
            print(r.stdout[-4000:], r.stderr[-4000:])
            print(f"the second build failed ({' '.join(cmd)}); it stays in {work}")
            return 1

    second = os.path.join(out, "pixmora_setup.exe")
    a, b = sha256(unsigned_copy(first, work)), sha256(second)
    print(f"{a}  {first}\n{b}  {second} (sources copied to {src})")
    if a != b:
        print(f"NOT reproducible: the two builds differ; the second stays in {work} "
              f"(compare with: cmp -l {first} {second})")
        return 1
    shutil.rmtree(work)
    print("reproducible: both builds are byte for byte the same")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))

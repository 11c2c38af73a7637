"""A release's signature: the build signed the way `make sign` signs it, with a certificate made
here and thrown away, checked by osslsigncode and by the system's own trust check."""
import hashlib
import os
import shutil
import socket
import subprocess
import tempfile
import unittest

from harness import BUILD, PXTOOL, SETUP_EXE, SOURCE, Machine

SIGN = os.path.join(SOURCE, "scripts", "sign")
WINGET_HASH = os.path.join(SOURCE, "scripts", "winget-hash")
MANIFEST = os.path.join(SOURCE, "packaging", "winget", "Pixmora.Pixmora.installer.yaml")
TRUST_E_NOSIGNATURE = "800b0100"
TRUST_E_BAD_DIGEST = "80096010"


def sha256(path):
    with open(path, "rb") as f:
        return hashlib.sha256(f.read()).hexdigest()


class Signing(unittest.TestCase):
    def setUp(self):
        os.makedirs(os.path.join(BUILD, "tmp"), exist_ok=True)
        self.dir = tempfile.mkdtemp(prefix="signing.", dir=os.path.join(BUILD, "tmp"))
        self.addCleanup(shutil.rmtree, self.dir, ignore_errors=True)
        self.key, self.cert, self.pfx = (os.path.join(self.dir, n) for n in ("key.pem", "cert.pem", "cert.pfx"))
        subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2",
                        "-subj", "/CN=Pixmora Test Signing", "-addext", "extendedKeyUsage=codeSigning",
                        "-keyout", self.key, "-out", self.cert], check=True, capture_output=True)
        subprocess.run(["openssl", "pkcs12", "-export", "-inkey", self.key, "-in", self.cert, "-out", self.pfx,
                        "-passout", "pass:geheim"], check=True, capture_output=True)

    def copy_of_build(self, name):
        """The built setup without any signature it may carry."""
        path = os.path.join(self.dir, name)
        if subprocess.run(["osslsigncode", "remove-signature", "-in", SETUP_EXE, "-out", path],
                          capture_output=True).returncode != 0:
            shutil.copy(SETUP_EXE, path)
        return path

    def sign(self, exe, **env):
        base = {k: v for k, v in os.environ.items() if k not in ("CERT", "KEY", "PASS", "PASS_FILE", "TIMESTAMP_URL")}
        return subprocess.run([SIGN, exe], env=dict(base, **env), capture_output=True, text=True)

    def verify(self, exe):
        r = subprocess.run(["osslsigncode", "verify", "-in", exe, "-CAfile", self.cert],
                           capture_output=True, text=True)
        return r.returncode == 0 and "Signature verification: ok" in r.stdout, r.stdout + r.stderr

    def test_signed_release_verifies_and_is_hashed(self):
        unsigned = self.copy_of_build("unsigned.exe")
        pfx_signed = self.copy_of_build("pixmora_setup.exe")
        r = self.sign(pfx_signed, CERT=self.pfx, PASS="geheim")
        self.assertEqual(r.returncode, 0, r.stderr)
        ok, report = self.verify(pfx_signed)
        self.assertTrue(ok, report)
        self.assertIn("/CN=Pixmora Test Signing", report)
        self.assertRegex(report, r"Message digest algorithm\s*: SHA256")

        # The password from a file (written with a line end, as an editor leaves it).
        from_file = self.copy_of_build("from_file.exe")
        with open(os.path.join(self.dir, "password"), "w") as f:
            f.write("geheim\n")
        r = self.sign(from_file, CERT=self.pfx, PASS_FILE=os.path.join(self.dir, "password"))
        self.assertEqual(r.returncode, 0, r.stderr)
        self.assertTrue(self.verify(from_file)[0])
        os.remove(os.path.join(self.dir, "password"))

        # The same with the certificate and key in PEM, over a signature already there.
        pem_signed = os.path.join(self.dir, "pem.exe")
        shutil.copy(pfx_signed, pem_signed)
        r = self.sign(pem_signed, CERT=self.cert, KEY=self.key)
        self.assertEqual(r.returncode, 0, r.stderr)
        ok, report = self.verify(pem_signed)
        self.assertTrue(ok, report)
        self.assertIn("Number of verified signatures: 1", report)

        # A signed file changed afterwards.
        tampered = os.path.join(self.dir, "tampered.exe")
        with open(pfx_signed, "rb") as f:
            data = bytearray(f.read())
        data[0x500] ^= 1  # inside the code
        with open(tampered, "wb") as f:
            f.write(data)

        m = Machine()
        self.addCleanup(m.close)
        trust = {}
        for name, path in (("signed", pfx_signed), ("pem", pem_signed), ("unsigned", unsigned),
                           ("tampered", tampered)):
            code, out = m.output(PXTOOL, "trust", "Z:" + path.replace("/", "\\"))
            self.assertEqual(code, 0)
            trust[name] = out.decode().strip()
        # The certificate is nobody's trusted root, so a chain verdict may come back; what matters
        # is that the signature is found and the file's digest matches it.
        for name in ("signed", "pem"):
            self.assertNotIn(trust[name], (TRUST_E_NOSIGNATURE, TRUST_E_BAD_DIGEST), name)
        self.assertEqual(trust["unsigned"], TRUST_E_NOSIGNATURE)
        self.assertEqual(trust["tampered"], TRUST_E_BAD_DIGEST)

        manifest = os.path.join(self.dir, "installer.yaml")
        shutil.copy(MANIFEST, manifest)
        r = subprocess.run([WINGET_HASH, pfx_signed, manifest], capture_output=True, text=True)
        self.assertEqual(r.returncode, 0, r.stderr)
        self.assertEqual(r.stderr, "")  # no warning about a missing signature
        with open(manifest, encoding="utf-8") as f:
            self.assertIn(f'    InstallerSha256: "{sha256(pfx_signed).upper()}"\n', f.read())

    def test_failed_signing_leaves_the_file_as_it_was(self):
        exe = self.copy_of_build("pixmora_setup.exe")
        before = sha256(exe)
        with socket.socket() as s:  # a port that nobody listens on
            s.bind(("127.0.0.1", 0))
            dead = f"http://127.0.0.1:{s.getsockname()[1]}/"
        cases = [
            {"CERT": self.pfx, "PASS": "falsch"},
            {"CERT": self.pfx, "PASS": "geheim", "TIMESTAMP_URL": dead},
            {},
        ]
        for env in cases:
            with self.subTest(env=env):
                self.assertNotEqual(self.sign(exe, **env).returncode, 0)
                self.assertEqual(sha256(exe), before)
                self.assertEqual(sorted(os.listdir(self.dir)), ["cert.pem", "cert.pfx", "key.pem",
                                                                "pixmora_setup.exe"])

    def test_password_on_makes_command_line_is_refused(self):
        # Every local process can read make's command line while the build runs.
        before = sha256(SETUP_EXE)
        env = {k: v for k, v in os.environ.items() if k not in ("PASS", "PASS_FILE")}
        r = subprocess.run(["make", "-C", SOURCE, "sign", f"BUILD={BUILD}", f"CERT={self.pfx}", "PASS=geheim"],
                           env=env, capture_output=True, text=True)
        self.assertNotEqual(r.returncode, 0)
        self.assertIn("PASS_FILE", r.stderr)
        self.assertEqual(sha256(SETUP_EXE), before)


if __name__ == "__main__":
    unittest.main()

"""Checks the sample winget manifests: valid YAML, the fields that the winget schema (1.6) requires for
an "exe" installer, allowed enum values, and exit codes, log switch and Apps & Features entry that
agree with the program's own."""
import glob
import os
import re
import sys
import unittest

try:
    import yaml
except ImportError:  # Debian's python3-yaml when the first python3 on PATH lacks it
    if sys.executable != "/usr/bin/python3" and os.path.exists("/usr/bin/python3"):
        os.execv("/usr/bin/python3", ["/usr/bin/python3", *sys.argv])
    raise

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
MANIFESTS = os.path.join(ROOT, "packaging", "winget")

REQUIRED = {
    "version": ["PackageIdentifier", "PackageVersion", "DefaultLocale", "ManifestType", "ManifestVersion"],
    "installer": ["PackageIdentifier", "PackageVersion", "Installers", "ManifestType", "ManifestVersion"],
    "defaultLocale": ["PackageIdentifier", "PackageVersion", "PackageLocale", "Publisher", "PackageName",
                      "License", "ShortDescription", "ManifestType", "ManifestVersion"],
}
RETURN_RESPONSES = {
    "packageInUse", "packageInUseByApplication", "installInProgress", "fileInUse", "missingDependency",
    "diskFull", "insufficientMemory", "invalidParameter", "noNetwork", "contactSupport",
    "rebootRequiredToFinish", "rebootRequiredForInstall", "rebootInitiated", "cancelledByUser",
    "alreadyInstalled", "downgrade", "blockedByPolicy", "systemNotSupported", "custom",
}
INSTALLER_TYPES = {"msix", "msi", "appx", "exe", "zip", "inno", "nullsoft", "wix", "burn", "pwa", "portable"}


def load(kind):
    for path in glob.glob(os.path.join(MANIFESTS, "*.yaml")):
        with open(path, encoding="utf-8") as f:
            doc = yaml.safe_load(f)
        if doc.get("ManifestType") == kind:
            return doc
    raise AssertionError(f"no {kind} manifest in {MANIFESTS}")


def program_exit_codes():
    """The exit codes the program defines (enum ExitCode in app/exit_code.h)."""
    with open(os.path.join(ROOT, "app", "exit_code.h"), encoding="utf-8") as f:
        body = re.search(r"enum ExitCode \{(.*?)\};", f.read(), re.S).group(1)
    return {int(v) for v in re.findall(r"=\s*(\d+)", body)}


def uninstall_entry():
    """The text values that the setup writes into its uninstall entry (install/registration.cpp)."""
    with open(os.path.join(ROOT, "install", "registration.cpp"), encoding="utf-8") as f:
        source = f.read()
    values = dict(re.findall(r'uninstall\.SetText\("(\w+)", "([^"]*)"', source))
    return values


class WingetManifests(unittest.TestCase):
    def test_required_fields_of_every_manifest(self):
        for kind, fields in REQUIRED.items():
            doc = load(kind)
            for field in fields:
                with self.subTest(manifest=kind, field=field):
                    self.assertIn(field, doc)
            self.assertEqual(doc["ManifestVersion"], "1.6.0")
            self.assertEqual(doc["PackageIdentifier"], load("version")["PackageIdentifier"])
            self.assertEqual(str(doc["PackageVersion"]), "4.00")

    def test_exe_installer_declares_silent_switches(self):
        doc = load("installer")
        installers = doc["Installers"]
        self.assertTrue(installers)
        for inst in installers:
            merged = dict(doc, **inst)
            self.assertIn(merged.get("InstallerType"), INSTALLER_TYPES)
            self.assertEqual(merged["InstallerType"], "exe")
            self.assertRegex(inst["InstallerUrl"], r"^https?://")
            self.assertRegex(inst["InstallerSha256"], r"^[0-9A-Fa-f]{64}$")
            self.assertIn(inst["Architecture"], {"x86", "x64", "arm", "arm64", "neutral"})
            # winget needs both silent switches for an exe installer.
            for mode in ("Silent", "SilentWithProgress"):
                self.assertTrue(merged["InstallerSwitches"][mode].startswith("/silent"), mode)

    def test_log_switch_names_the_log_file(self):
        switches = load("installer")["InstallerSwitches"]
        self.assertEqual(switches["Log"], '/log="<LOGPATH>"')

    def test_apps_and_features_entry_matches_the_uninstall_entry(self):
        doc = load("installer")
        entry = uninstall_entry()
        expected = {"DisplayName": entry.get("DisplayName"), "Publisher": entry.get("Publisher"),
                    "DisplayVersion": entry.get("DisplayVersion")}
        self.assertEqual(expected["DisplayVersion"], str(doc["PackageVersion"]))
        self.assertEqual(expected["Publisher"], load("defaultLocale")["Publisher"])
        for inst in doc["Installers"]:
            entries = inst.get("AppsAndFeaturesEntries", doc.get("AppsAndFeaturesEntries"))
            self.assertEqual(len(entries), 1)
            self.assertEqual({k: str(v) for k, v in entries[0].items()}, expected)

    def test_exit_codes_match_the_program(self):
        doc = load("installer")
        declared = {c["InstallerReturnCode"] for c in doc["ExpectedReturnCodes"]}
        for c in doc["ExpectedReturnCodes"]:
            self.assertIn(c["ReturnResponse"], RETURN_RESPONSES)
        self.assertEqual(doc["InstallerSuccessCodes"], [0])
        self.assertEqual(declared | {0}, program_exit_codes())


if __name__ == "__main__":
    unittest.main()

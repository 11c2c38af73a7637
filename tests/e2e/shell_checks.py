"""Expectations shared by the shell integration cases."""
import os

from harness import read_lnk

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


def check_links(test, group_dir, desktop_dir, folder):
    """Asserts the ten group entries and both desktop links for an installation in `folder`."""
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
    for name, args, icon, description in DESKTOP:
        with test.subTest(link=name):
            lnk = read_lnk(os.path.join(desktop_dir, name))
            test.assertEqual(lnk["target"], program)
            test.assertEqual(lnk["arguments"], args)
            test.assertEqual(lnk["description"], description)
            test.assertEqual(lnk["icon"], program if icon is not None else None)

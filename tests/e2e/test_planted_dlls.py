"""DLLs planted beside the installer under the names of the system DLLs it
loads late (wininet.dll, gdiplus.dll, bcrypt.dll in a signing build, and
oleacc.dll once a screen reader asks for the window) are never loaded: the installer runs
elevated, usually from Downloads, where anyone may have left one.

Wine prefers its own builtin DLLs, so these tests ask it to prefer DLLs
found on the search path ("native first"), as Windows does; a control shows
that a program loading the DLL by name then gets the planted one."""

import os
import shutil
import subprocess
import unittest

import driver as d

PLANTED = ("wininet.dll", "gdiplus.dll", "bcrypt.dll", "oleacc.dll")
NATIVE_FIRST = {"WINEDLLOVERRIDES": "winemenubuilder.exe=d;mscoree=d;mshtml=d;wininet,gdiplus,bcrypt,oleacc=n,b"}
FOLDER = os.path.join(d.PREFIX_C, "users", os.environ.get("USER", "root"), "Downloads", "planted")
WINDOWS_FOLDER = "C:\\users\\%s\\Downloads\\planted" % os.environ.get("USER", "root")


class PlantedDlls(unittest.TestCase):
    def setUp(self):
        d.stop_programs()
        self.addCleanup(d.stop_programs)
        shutil.rmtree(FOLDER, ignore_errors=True)
        os.makedirs(FOLDER)
        for name in PLANTED:
            shutil.copy(d.exe("planted.dll"), os.path.join(FOLDER, name))
        for name in ("installer.exe", "installer_signed.exe", "wintool.exe"):
            shutil.copy(d.exe(name), os.path.join(FOLDER, name))

    def markers(self):
        return sorted(n for n in os.listdir(FOLDER) if n.endswith(".loaded"))

    def test_a_program_that_loads_them_by_name_gets_the_planted_ones(self):
        for name in PLANTED:
            program = d.Program(os.path.join(FOLDER, "wintool.exe"), "load", name, env=NATIVE_FIRST)
            self.assertEqual(program.wait(), 0)
        self.assertEqual(self.markers(), sorted(n + ".loaded" for n in PLANTED))

    def test_the_installer_loads_them_from_the_system_folder_only(self):
        # No server answers here: the installer gets as far as the manifest
        # step (WinINet and GDI+ both loaded) and says it cannot connect.
        app = d.Program(os.path.join(FOLDER, "installer.exe"), env=NATIVE_FIRST)
        self.assertEqual(d.answer_box("提示", "ok", 30000), "连接服务器失败，请稍后重试")
        self.assertEqual(app.wait(), 0)
        self.assertEqual(self.markers(), [])

    def test_the_signing_build_verifies_with_the_system_bcrypt(self):
        # A signed manifest is served, so the signature check runs: it can
        # only pass with System32's bcrypt.dll, and the window then waits.
        base = os.path.join(d.BUILD, "e2e-state", "planted")
        shutil.rmtree(base, ignore_errors=True)
        release, www = os.path.join(base, "release"), os.path.join(base, "www")
        subprocess.run(["python3", os.path.join(d.FIXTURES, "make_sample_release.py"), d.exe("sample_product.exe"),
                        release], check=True, stdout=subprocess.DEVNULL)
        subprocess.run(["python3", os.path.join(d.ROOT, "server", "publish.py"), "--sign-key",
                        os.path.join(d.BUILD, "test-keys", "signing.pem"), release, www], check=True,
                       stdout=subprocess.DEVNULL)
        server = d.TestServer(os.path.realpath(www))
        self.addCleanup(server.stop)
        app = d.Program(os.path.join(FOLDER, "installer_signed.exe"), env=NATIVE_FIRST)
        self.assertIsNotNone(d.wait_for_window(), "no window: %s" % d.answer_box("提示", "ok", 1000))
        self.assertTrue(app.running())
        self.assertIn("GET /qrn/azq.txt.sig", server.log())
        # A screen reader asks for the window: oleacc.dll comes in too.
        code, tree = d.acctool("tree", d.WINDOW_CLASS)
        self.assertEqual(code, 0, tree)
        self.assertIn('push button "快速安装"', tree)
        self.assertEqual(self.markers(), [])


if __name__ == "__main__":
    unittest.main()

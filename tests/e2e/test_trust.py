"""What the installer takes from the network is what the publisher signed,
or it changes nothing: a signing build against signed releases (the real
nginx and the fault-injecting server), and the default build's reinstall
over a broken transfer. The keys are throwaway ones made at build time."""

import os
import re
import shutil
import subprocess
import time
import unittest

import driver as d

PRODUCT = "LOL Quenra助手"
USER = os.environ.get("USER", "root")
DEFAULT_FOLDER = "C:\\users\\%s\\AppData\\Roaming\\TaVoli" % USER
BASE = os.path.join(d.BUILD, "e2e-state", "trust")
RELEASE = os.path.join(BASE, "release")
SIGNED = os.path.join(BASE, "signed")      # the signed release as published
WWW = os.path.join(BASE, "www")            # what the fault-injecting server serves
KEYS = os.path.join(d.BUILD, "test-keys")
QUICK = (220, 379)
FAILURE = "安装未完成，部分文件下载或解压失败，请检查网络后重试"
REJECTED = "服务器文件校验失败，请稍后重试"
PROGRAM = "qrn/exe/zcx/qn_z.exe"
INI = os.path.join(d.PREFIX_C, "Tavoli.ini")


def publish(target, key="signing.pem"):
    args = ["python3", os.path.join(d.ROOT, "server", "publish.py")]
    if key:
        args += ["--sign-key", os.path.join(KEYS, key)]
    subprocess.run(args + [RELEASE, target], check=True, stdout=subprocess.DEVNULL)


def installed_files(folder):
    """Every file under the installation folder, with its bytes."""
    root = d.install_folder_unix(folder)
    files = {}
    for top, _, names in os.walk(root):
        for name in names:
            path = os.path.join(top, name)
            with open(path, "rb") as f:
                files[os.path.relpath(path, root)] = f.read()
    return files


def flip_byte(path, at=None):
    with open(path, "rb") as f:
        data = bytearray(f.read())
    at = len(data) // 2 if at is None else at
    data[at] ^= 0x01
    with open(path, "wb") as f:
        f.write(bytes(data))


class Trust(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        shutil.rmtree(BASE, ignore_errors=True)
        os.makedirs(BASE)
        subprocess.run(["python3", os.path.join(d.FIXTURES, "make_sample_release.py"), d.exe("sample_product.exe"),
                        RELEASE], check=True, stdout=subprocess.DEVNULL)
        publish(SIGNED)

    def setUp(self):
        d.stop_programs()
        self.addCleanup(d.stop_programs)
        self.env, self.record = d.use_url_recorder()
        self.clean_install_state()

    def clean_install_state(self):
        for path in (INI, os.path.join(d.desktop_folder(), PRODUCT + ".lnk")):
            if os.path.exists(path):
                os.remove(path)
        shutil.rmtree(d.install_folder_unix(DEFAULT_FOLDER), ignore_errors=True)

    def serve_copy(self):
        """A fresh copy of the signed tree behind the fault-injecting server."""
        shutil.rmtree(WWW, ignore_errors=True)
        shutil.copytree(os.path.realpath(SIGNED), WWW)
        server = d.TestServer(WWW)
        self.addCleanup(server.stop)
        return server

    def start(self, exe="installer_signed.exe"):
        app = d.Program(d.exe(exe), env=self.env)
        self.assertIsNotNone(d.wait_for_window(), "no window")
        d.move_to(-40, -40)
        return app

    def install(self, name):
        d.click(*QUICK)
        shot = d.wait_for_page(d.is_finish_page, timeout=240)
        self.assertIsNotNone(shot, "%s: no finish page: %s" % (name, d.answer_box("提示", "ok", 1000)))

    def expect_failure(self, app):
        self.assertEqual(d.answer_box("提示", "ok", 240000), FAILURE)
        held, back = d.expect_shot("trust_back", d.is_quick_install_page, 15)
        self.assertTrue(held, "not back on the quick-install page")

    def test_a_signed_release_from_nginx_verifies_and_installs(self):
        env = dict(os.environ, SERVE_STATE=os.path.join(BASE, "nginx"))
        serve = os.path.join(d.ROOT, "server", "serve")
        subprocess.run([serve, "start", SIGNED, "127.0.0.1", "5001"], check=True, env=env, stdout=subprocess.DEVNULL)
        self.addCleanup(subprocess.run, [serve, "stop"], env=env, stdout=subprocess.DEVNULL)
        self.start()
        self.install("nginx")
        files = installed_files(DEFAULT_FOLDER)
        with open(os.path.join(SIGNED, PROGRAM), "rb") as f:
            self.assertEqual(files[PRODUCT + ".exe"], f.read())
        for lib in ("libcurl.dll", "HPSocket4C.dll"):
            with open(os.path.join(SIGNED, "qrn", "shuju", lib), "rb") as f:
                self.assertEqual(files[lib], f.read(), lib)
        self.assertFalse([n for n in files if n.endswith(".part")])
        with open(os.path.join(BASE, "nginx", "access.log")) as f:
            log = f.read()
        self.assertIn("GET /qrn/azq.txt.sig HTTP/1.0\" 200", log)

    def test_a_manifest_that_does_not_verify_is_refused_before_anything_happens(self):
        cases = [
            ("manifest byte", lambda: flip_byte(os.path.join(WWW, "qrn", "azq.txt"), 3)),
            ("signature byte", lambda: flip_byte(os.path.join(WWW, "qrn", "azq.txt.sig"))),
            ("no signature", lambda: os.remove(os.path.join(WWW, "qrn", "azq.txt.sig"))),
            ("another key", lambda: subprocess.run(
                ["openssl", "dgst", "-sha256", "-sign", os.path.join(KEYS, "other.pem"), "-out",
                 os.path.join(WWW, "qrn", "azq.txt.sig"), os.path.join(WWW, "qrn", "azq.txt")], check=True)),
            # A forged notice with an update page: no page opens either.
            ("forged update", lambda: open(os.path.join(WWW, "qrn", "azq.txt"), "a", encoding="utf-8").write(
                "安装器版本号=（V12）")),
        ]
        for name, damage in cases:
            with self.subTest(case=name):
                d.stop_programs()
                server = self.serve_copy()
                damage()
                app = d.Program(d.exe("installer_signed.exe"), env=self.env)
                self.assertEqual(d.answer_box("提示", "ok", 30000), REJECTED)
                self.assertEqual(app.wait(), 0)
                self.assertFalse(os.path.exists(self.record), "a page was opened")
                self.assertFalse(os.path.exists(INI))
                self.assertFalse(os.path.exists(d.install_folder_unix(DEFAULT_FOLDER)))
                server.stop()

    def test_a_damaged_file_never_replaces_the_installed_one(self):
        server = self.serve_copy()
        self.start()
        self.install("first")
        d.stop_programs()
        before = installed_files(DEFAULT_FOLDER)
        for path in ("qrn/shuju/mhtp.zip", "qrn/shuju/libcurl.dll", PROGRAM):
            with self.subTest(damaged=path):
                d.stop_programs()
                server.stop()
                server = self.serve_copy()
                flip_byte(os.path.join(WWW, path))
                app = self.start()
                d.click(*QUICK)
                self.expect_failure(app)
                after = installed_files(DEFAULT_FOLDER)
                self.assertEqual(sorted(after), sorted(before), "files came or went")
                for name in before:
                    self.assertEqual(after[name], before[name], name)
                # Every attempt fetched it again; none was taken.
                self.assertEqual(server.log().count("GET /%s " % path), 3, path)

    def test_a_transfer_cut_once_resumes_with_a_range_and_finishes(self):
        server = self.serve_copy()
        size = os.path.getsize(os.path.join(WWW, PROGRAM))
        server.rule("/" + PROGRAM, cutonce=str(size // 2))
        self.start()
        self.install("resumed")
        with open(os.path.join(WWW, PROGRAM), "rb") as f:
            self.assertEqual(installed_files(DEFAULT_FOLDER)[PRODUCT + ".exe"], f.read())
        resumed = re.findall(r"GET /%s HTTP[^\n]*\n(?:[^\n]+\n)*?Range: bytes=(\d+)-" % re.escape(PROGRAM), server.log())
        self.assertTrue(resumed and int(resumed[0]) > 0, "no range request: %s" % server.log())

    def test_a_server_that_stops_answering_fails_within_the_time_outs(self):
        server = self.serve_copy()
        server.rule("/" + PROGRAM, stallbody="600000")
        app = self.start()
        started = time.time()
        d.click(*QUICK)
        self.expect_failure(app)
        spent = time.time() - started
        # Three attempts of at most one receive time-out (30 s) each, the
        # waits between them, and the rest of the job.
        self.assertLess(spent, 3 * 30 + 4 + 60, "took %.0f s" % spent)


class DefaultBuildReinstall(unittest.TestCase):
    """Without a key the Part's checks hold, and a failed file still never
    replaces the installed one."""

    def setUp(self):
        d.stop_programs()
        self.addCleanup(d.stop_programs)
        for path in (INI, os.path.join(d.desktop_folder(), PRODUCT + ".lnk")):
            if os.path.exists(path):
                os.remove(path)
        shutil.rmtree(d.install_folder_unix(DEFAULT_FOLDER), ignore_errors=True)
        shutil.rmtree(WWW, ignore_errors=True)
        if not os.path.isdir(RELEASE):
            Trust.setUpClass()
        publish(WWW, key=None)
        self.server = d.TestServer(WWW)
        self.addCleanup(self.server.stop)

    def test_a_404_or_a_cut_program_leaves_the_installed_program_as_it_was(self):
        app = d.Program(d.exe("installer.exe"))
        self.assertIsNotNone(d.wait_for_window())
        d.move_to(-40, -40)
        d.click(*QUICK)
        self.assertIsNotNone(d.wait_for_page(d.is_finish_page, timeout=240), "first install")
        d.stop_programs()
        program = os.path.join(d.install_folder_unix(DEFAULT_FOLDER), PRODUCT + ".exe")
        with open(program, "rb") as f:
            installed = f.read()
        # Cut after 100 bytes each time: three attempts resume to 300 bytes.
        for name, rule in (("404", {"status": "404"}), ("cut", {"cut": "100"})):
            with self.subTest(fault=name):
                d.stop_programs()
                self.server.control("reset")
                self.server.rule("/" + PROGRAM, **rule)
                app = d.Program(d.exe("installer.exe"))
                self.assertIsNotNone(d.wait_for_window())
                d.move_to(-40, -40)
                d.click(*QUICK)
                self.assertEqual(d.answer_box("提示", "ok", 240000), FAILURE)
                with open(program, "rb") as f:
                    self.assertEqual(f.read(), installed, name)


class UpdatePages(unittest.TestCase):
    """Only a web page is opened as the update page."""

    def setUp(self):
        d.stop_programs()
        self.addCleanup(d.stop_programs)
        shutil.rmtree(os.path.join(BASE, "pages"), ignore_errors=True)
        self.server = d.TestServer(os.path.join(BASE, "pages"))
        self.addCleanup(self.server.stop)
        self.env, self.record = d.use_url_recorder()

    def test_a_program_file_or_share_as_update_page_opens_nothing(self):
        for page in ("file:///C:/Windows/notepad.exe", "\\\\host\\share\\x.exe", "C:\\windows\\system32\\cmd.exe"):
            with self.subTest(page=page):
                d.stop_programs()
                if os.path.exists(self.record):
                    os.remove(self.record)
                self.server.write("qrn/azq.txt", "安装器版本号=（V12）\r\n更新提示=（请更新）\r\n"
                                  "Quenra自销更新跳转=（%s）\r\n" % page)
                app = d.Program(d.exe("installer.exe"), env=self.env)
                self.assertEqual(d.answer_box("提示", "ok"), "请更新")
                self.assertEqual(app.wait(), 0)
                self.assertIsNone(d.wait_for_file(self.record, timeout=3), "something was opened")


if __name__ == "__main__":
    unittest.main()

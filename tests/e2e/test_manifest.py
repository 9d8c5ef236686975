"""The version check at start, against a local server on 127.0.0.1:5001."""

import os
import shutil
import time
import subprocess
import unittest

import driver as d

STATE = os.path.join(d.BUILD, "e2e-state", "manifest-www")


class VersionCheck(unittest.TestCase):
    def setUp(self):
        d.stop_programs()
        shutil.rmtree(STATE, ignore_errors=True)
        self.server = d.TestServer(STATE)
        # Cleanups run even when setUp fails half-way; last added runs first.
        self.addCleanup(lambda: self.server.stop())
        self.addCleanup(d.stop_programs)
        self.env, self.record = d.use_url_recorder()
        for path in (os.path.join(d.PREFIX_C, "Tavoli.ini"),):
            if os.path.exists(path):
                os.remove(path)
        shutil.rmtree(d.appdata_install_folder(), ignore_errors=True)

    def start(self):
        self.app = d.Program(d.exe("installer.exe"), env=self.env)
        return self.app

    def assert_nothing_written(self):
        self.assertFalse(os.path.exists(os.path.join(d.PREFIX_C, "Tavoli.ini")))
        self.assertFalse(os.path.exists(d.appdata_install_folder()))

    def test_current_version_waits_on_the_first_page(self):
        self.server.write("qrn/azq.txt", d.manifest("V11"))
        app = self.start()
        self.assertIsNotNone(d.wait_for_window())
        self.assertTrue(d.no_box("提示", 1500))
        self.assertTrue(app.running())
        d.move_to(-40, -40)
        held, shot = d.expect_shot("manifest_current_page0", d.button_not_hovered)
        self.assertTrue(held, shot.pixel(120, 379))
        log = self.server.log()
        self.assertIn("GET /qrn/azq.txt HTTP/1.0", log)
        self.assertIn("User-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)", log)
        self.assert_nothing_written()

    def test_any_other_version_shows_the_notice_opens_the_page_and_ends(self):
        for version in ("V12", "V10", "v11"):
            with self.subTest(version=version):
                d.stop_programs()
                if os.path.exists(self.record):
                    os.remove(self.record)
                self.server.write("qrn/azq.txt", d.manifest(version, prompt="请下载新版本 " + version))
                app = self.start()
                self.assertEqual(d.answer_box("提示", "ok"), "请下载新版本 " + version)
                self.assertEqual(app.wait(), 0)
                urls = d.wait_for_file(self.record)
                self.assertEqual(urls, "http://127.0.0.1:5001/update/quenra.html\n")
                self.assert_nothing_written()

    def test_unreachable_empty_or_error_page_gives_one_connection_message(self):
        cases = {
            "server stopped": lambda: self.server.stop(),
            "empty body": lambda: self.server.write("qrn/azq.txt", b""),
            "error page": lambda: self.server.rule("/qrn/azq.txt", status="404"),
            "no version key": lambda: self.server.write("qrn/azq.txt", "更新提示=（x）"),
            "empty version": lambda: self.server.write("qrn/azq.txt", d.manifest("")),
        }
        for name, arrange in cases.items():
            with self.subTest(case=name):
                d.stop_programs()
                if self.server.proc.poll() is not None:
                    self.server = d.TestServer(STATE)
                self.server.control("reset")
                self.server.write("qrn/azq.txt", d.manifest("V11"))
                arrange()
                app = self.start()
                self.assertEqual(d.answer_box("提示", "ok"), "连接服务器失败，请稍后重试")
                self.assertEqual(app.wait(), 0)
                self.assertTrue(d.no_box("提示", 500))
                self.assert_nothing_written()

    def test_a_manifest_at_one_byte_a_second_leaves_the_window_answering_then_gives_up(self):
        self.server.write("qrn/azq.txt", d.manifest("V11"))
        self.server.rule("/qrn/azq.txt", drip="1000")
        started = time.time()
        app = d.Program(d.exe("installer.exe"))
        # The window exists and answers while the manifest trickles in.
        self.assertTrue(d.wait_for(lambda: d.wintool("answers", d.WINDOW_CLASS, 500)[0] == 0, 20),
                        "the window never answered")
        for _ in range(5):
            self.assertEqual(d.wintool("answers", d.WINDOW_CLASS, 2000)[0], 0, "the window stopped answering")
        # Then the time limit ends it as an unreachable server would.
        self.assertEqual(d.answer_box("提示", "ok", 40000), "连接服务器失败，请稍后重试")
        self.assertLess(time.time() - started, 45)
        self.assertEqual(app.wait(), 0)


class PublishedRelease(unittest.TestCase):
    """The sample release, published and served by nginx as for real."""

    def test_the_installer_passes_its_version_check_against_nginx(self):
        d.stop_programs()
        base = os.path.join(d.BUILD, "e2e-state", "nginx")
        shutil.rmtree(base, ignore_errors=True)
        release, served = os.path.join(base, "release"), os.path.join(base, "served")
        subprocess.run(["python3", os.path.join(d.FIXTURES, "make_sample_release.py"), d.exe("sample_product.exe"),
                        release], check=True, stdout=subprocess.DEVNULL)
        subprocess.run(["python3", os.path.join(d.ROOT, "server", "publish.py"), release, served], check=True,
                       stdout=subprocess.DEVNULL)
        env = dict(os.environ, SERVE_STATE=os.path.join(base, "state"))
        serve = os.path.join(d.ROOT, "server", "serve")
        subprocess.run([serve, "start", served, "127.0.0.1", "5001"], check=True, env=env, stdout=subprocess.DEVNULL)
        try:
            app = d.Program(d.exe("installer.exe"))
            self.assertIsNotNone(d.wait_for_window())
            self.assertTrue(d.no_box("提示", 1000))
            self.assertTrue(app.running())
            with open(os.path.join(base, "state", "access.log")) as f:
                self.assertIn("GET /qrn/azq.txt HTTP/1.0\" 200", f.read())
        finally:
            d.stop_programs()
            subprocess.run([serve, "stop"], env=env, stdout=subprocess.DEVNULL)


if __name__ == "__main__":
    unittest.main()

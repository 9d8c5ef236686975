"""The whole installation under Wine and Xvfb, as a person would do it,
against the sample release served on 127.0.0.1:5001 by the test server
(so that faults can be switched on)."""

import os
import shutil
import subprocess
import time
import unittest
import zipfile

import driver as d

PRODUCT = "LOL Quenra助手"
USER = os.environ.get("USER", "root")
DEFAULT_FOLDER = "C:\\users\\%s\\AppData\\Roaming\\TaVoli" % USER
WWW = os.path.join(d.BUILD, "e2e-state", "install-www")
RELEASE = os.path.join(d.BUILD, "e2e-state", "install-release")
QUICK = (220, 379)
CUSTOM_LINK = (220, 432)
BROWSE = (361, 326)
INSTALL = (220, 393)
FOLDER_BOX = (200, 326)
RUN = (190, 375)
FAILURE = "安装未完成，部分文件下载或解压失败，请检查网络后重试"
INI = os.path.join(d.PREFIX_C, "Tavoli.ini")
FOLDER_TEXT = (108, 312, 224, 28)  # inside the folder box, in screenshot coordinates


def folder_box_pixels(name):
    d.move_to(-40, -40)
    time.sleep(0.3)
    return d.Shot(name).region(*FOLDER_TEXT)


def harness_folder_box_pixels(text):
    """The folder box as the toolkit draws it showing `text`: what the
    installer's box must look like when it shows that text."""
    d.stop_programs()
    app = d.start_harness("--page", "1", "--folder", text)
    assert app is not None, "the harness did not come up"
    try:
        return folder_box_pixels("harness_folder_" + text.replace("\\", "_").replace(":", ""))
    finally:
        app.kill()
        d.stop_programs()


def choose_in_folder_browser(subfolder=None):
    """Answers the folder browser by keyboard, as a person would: the tree's
    last item (the computer), then its first child (drive C:), then by
    typing, the subfolder; then OK."""
    time.sleep(1.5)
    d.click(100, 260)  # into the tree
    for key in ("End", "Right", "Right"):
        d.key(key)
    if subfolder:
        d.key("Right")
        d.type_text(subfolder)
    d.Shot("install_folder_browser")
    d.key("Return")
    time.sleep(0.8)


def publish_sample():
    shutil.rmtree(WWW, ignore_errors=True)
    subprocess.run(["python3", os.path.join(d.FIXTURES, "make_sample_release.py"), d.exe("sample_product.exe"),
                    RELEASE], check=True, stdout=subprocess.DEVNULL)
    subprocess.run(["python3", os.path.join(d.ROOT, "server", "publish.py"), RELEASE, WWW], check=True,
                   stdout=subprocess.DEVNULL)


def pack_names(name):
    with zipfile.ZipFile(os.path.join(RELEASE, name)) as z:
        return [n for n in z.namelist() if not n.endswith("/")]


class Installation(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        publish_sample()

    def setUp(self):
        d.stop_programs()
        self.server = d.TestServer(WWW)
        for path in (INI, os.path.join(d.desktop_folder(), PRODUCT + ".lnk")):
            if os.path.exists(path):
                os.remove(path)
        for folder in (DEFAULT_FOLDER, "C:\\TaVoli", "C:\\Games", "C:\\TaVoliGames"):
            shutil.rmtree(d.install_folder_unix(folder), ignore_errors=True)

    def tearDown(self):
        d.stop_programs()
        self.server.stop()

    def start(self):
        self.app = d.Program(d.exe("installer.exe"))
        self.assertIsNotNone(d.wait_for_window(), "no window")
        d.move_to(-40, -40)

    def wait_finished(self, name):
        shot = d.wait_for_page(d.is_finish_page, timeout=180)
        self.assertIsNotNone(shot, "the finish page did not come: %s" % d.answer_box("提示", "ok", 1000))
        os.replace(shot.path, os.path.join(d.SHOTS, name + ".png"))

    def assert_installed(self, folder):
        root = d.install_folder_unix(folder)
        for sub in ("", "Data", "Config", "resource", "resource/Mountcache", "Data/image", "Data/image/head",
                    "Data/image/uncentered"):
            self.assertTrue(os.path.isdir(os.path.join(root, sub)), sub)
        for name in ("libcurl.dll", "HPSocket4C.dll"):
            with open(os.path.join(RELEASE, name), "rb") as a, open(os.path.join(root, name), "rb") as b:
                self.assertEqual(a.read(), b.read(), name)
        with open(d.exe("sample_product.exe"), "rb") as a, open(os.path.join(root, PRODUCT + ".exe"), "rb") as b:
            self.assertEqual(a.read(), b.read())
        for name in pack_names("yxtx.zip"):
            self.assertTrue(os.path.isfile(os.path.join(root, "Data/image/head", name)), name)
        for name in pack_names("mhtp.zip"):
            self.assertTrue(os.path.isfile(os.path.join(root, "Data/image", name)), name)
        self.assertFalse(os.path.exists(os.path.join(root, "Data/image/head/头像.zip")))
        self.assertFalse(os.path.exists(os.path.join(root, "Data/image/美化.zip")))
        # The profile file, byte for byte in GBK.
        with open(INI, "rb") as f:
            self.assertEqual(f.read(), ("[prompt]\r\nprompt=这是Quenra助手生成的一个配置文件，请勿删除\r\n"
                                        "[BASE]\r\npath=%s\r\n" % folder).encode("gbk"))
        # The shortcut points where the run button starts.
        code, target = d.wintool("lnk", "C:\\users\\%s\\Desktop\\%s.lnk" % (USER, PRODUCT))
        self.assertEqual(code, 0)
        self.assertEqual(target, folder + "\\" + PRODUCT + ".exe")

    def run_product(self, folder):
        log = os.path.join(d.install_folder_unix(folder), "started.log")
        d.click(*RUN)
        self.assertEqual(self.app.wait(), 0)
        started = d.wait_for_file(log, timeout=20)
        self.assertIsNotNone(started, "the product did not start")
        self.assertIn("exe=%s\\%s.exe" % (folder, PRODUCT), started)

    def test_quick_route_installs_and_runs_the_product(self):
        self.start()
        d.click(*QUICK)
        self.assertIsNotNone(d.wait_for_page(d.is_install_page, timeout=15, interval=0.2))
        d.click(383, 57)  # the exit button does nothing while installing
        self.wait_finished("install_quick_finished")
        self.assertTrue(d.no_box("提示", 500))
        self.assert_installed(DEFAULT_FOLDER)
        self.run_product(DEFAULT_FOLDER)

    def test_custom_route_with_a_chosen_folder(self):
        self.start()
        d.click(*CUSTOM_LINK)
        time.sleep(0.5)
        # Cancelling the dialog keeps the default folder.
        d.click(*BROWSE)
        self.assertEqual(d.wintool("browse", "cancel", 15000)[0], 0)
        time.sleep(0.5)
        after_cancel = folder_box_pixels("install_custom_after_cancel")
        # A folder whose name holds the product folder's name as part of a
        # longer one: the product folder goes inside it.
        os.makedirs(d.install_folder_unix("C:\\TaVoliGames"), exist_ok=True)
        d.click(*BROWSE)
        choose_in_folder_browser("TaVoliGames")
        chosen = folder_box_pixels("install_custom_folder_chosen")
        # Typing into the box changes nothing.
        d.click(*FOLDER_BOX)
        d.type_text("junk")
        d.click(*INSTALL)
        self.wait_finished("install_custom_finished")
        self.assert_installed("C:\\TaVoliGames\\TaVoli")
        self.assertFalse(os.path.exists(d.install_folder_unix(DEFAULT_FOLDER)))
        self.assertFalse(os.path.exists(d.install_folder_unix("C:\\TaVoli")))
        # The box showed the chosen folder, and the default after the cancel.
        shows_chosen = harness_folder_box_pixels("C:\\TaVoliGames")
        shows_default = harness_folder_box_pixels(DEFAULT_FOLDER)
        self.assertNotEqual(shows_chosen, shows_default)
        self.assertEqual(chosen, shows_chosen)
        self.assertEqual(after_cancel, shows_default)

    def test_custom_route_into_a_drive_root(self):
        self.start()
        d.click(*CUSTOM_LINK)
        time.sleep(0.5)
        d.click(*BROWSE)
        choose_in_folder_browser()
        chosen = folder_box_pixels("install_root_chosen")
        d.click(*INSTALL)
        self.wait_finished("install_root_finished")
        self.assert_installed("C:\\TaVoli")
        self.assertEqual(chosen, harness_folder_box_pixels("C:\\"))

    def test_installing_twice_refills_the_resource_folder(self):
        self.start()
        d.click(*QUICK)
        self.wait_finished("install_first")
        d.stop_programs()
        root = d.install_folder_unix(DEFAULT_FOLDER)
        with open(os.path.join(root, "Data/image/resource/stale.dat"), "w") as f:
            f.write("left from an older pack")
        with open(os.path.join(root, "Data/image/head/mine.png"), "w") as f:
            f.write("an avatar the pack does not have")
        self.start()
        d.click(*QUICK)
        self.wait_finished("install_second")
        self.assertFalse(os.path.exists(os.path.join(root, "Data/image/resource/stale.dat")))
        self.assertTrue(os.path.exists(os.path.join(root, "Data/image/resource/readme.txt")))
        self.assertTrue(os.path.exists(os.path.join(root, "Data/image/head/mine.png")))
        self.assert_installed(DEFAULT_FOLDER)

    def failing_install(self, arrange, shot):
        self.start()
        arrange()
        d.click(*QUICK)
        self.assertEqual(d.answer_box("提示", "ok", 120000), FAILURE)
        time.sleep(0.5)
        d.move_to(-40, -40)
        back = d.Shot(shot)
        self.assertTrue(d.is_quick_install_page(back), "not back on the start page")
        self.assertTrue(d.no_box("提示", 500))
        # The exit button answers again.
        d.click(383, 57)
        self.assertEqual(d.answer_box("提示", "cancel"), "您确定现在退出安装吗？")

    def test_a_failed_installation_is_reported_and_can_be_retried(self):
        def stop_server():
            self.server.stop()

        def missing_program():
            self.server.rule("/qrn/exe/zcx/qn_z.exe", status="404")

        def damaged_pack():
            self.server.rule("/qrn/shuju/mhtp.zip", cut="300")

        for name, arrange in (("server_stopped", stop_server), ("program_404", missing_program),
                              ("damaged_pack", damaged_pack)):
            with self.subTest(case=name):
                d.stop_programs()
                if self.server.proc.poll() is not None:
                    self.server = d.TestServer(WWW)
                self.server.control("reset")
                self.failing_install(arrange, "install_failed_" + name)
                # Libraries are never replaced by an error or an empty body.
                lib = os.path.join(d.install_folder_unix(DEFAULT_FOLDER), "libcurl.dll")
                if os.path.exists(lib):
                    self.assertGreater(os.path.getsize(lib), 0)
                # Once the server is whole again, a retry finishes.
                if self.server.proc.poll() is not None:
                    self.server = d.TestServer(WWW)
                self.server.control("reset")
                d.click(*QUICK)
                self.wait_finished("install_retried_" + name)
                self.assert_installed(DEFAULT_FOLDER)


if __name__ == "__main__":
    unittest.main()

"""The whole installation under Wine and Xvfb, as a person would do it,
against the sample release served on 127.0.0.1:5001 by the test server
(so that faults can be switched on)."""

import os
import shutil
import subprocess
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


def harness_folder_box_pixels(text):
    """The folder box as the toolkit draws it showing `text`: what the
    installer's box must look like when it shows that text."""
    d.stop_programs()
    app = d.start_harness("--page", "1", "--folder", text)
    assert app is not None, "the harness did not come up"
    try:
        d.move_to(-40, -40)
        name = "harness_folder_" + text.replace("\\", "_").replace(":", "")
        # Two shots alike in a row: the box is drawn and stays so.
        previous = []
        def settled(shot):
            region = shot.region(*FOLDER_TEXT)
            same = region == previous
            previous[:] = region
            return same
        held, shot = d.expect_shot(name, settled)
        assert held, "the harness's folder box never settled"
        return shot.region(*FOLDER_TEXT)
    finally:
        app.kill()
        d.stop_programs()


def expect_folder_box(name, pixels, timeout=10):
    """Waits until the installer's folder box looks exactly like pixels."""
    d.move_to(-40, -40)
    held, _ = d.expect_shot(name, lambda shot: shot.region(*FOLDER_TEXT) == pixels, timeout)
    return held


def choose_in_folder_browser(subfolder=None):
    """Answers the folder browser by keyboard, as a person would: the tree's
    last item (the computer), then its first child (drive C:), then by
    typing, the subfolder; then OK."""
    assert d.wait_for(d.dialog_shown, 30), "the folder browser did not open"
    assert d.wait_for(lambda: tree_count() > 0, 30), "the folder browser's tree stayed empty"
    d.click(100, 260)  # into the tree
    d.key("End")
    expand()           # the computer, whose drives come in
    d.key("Right")     # to its first child, drive C:
    if subfolder:
        expand()       # C:'s folders come in
        d.type_text(subfolder)
    d.Shot("install_folder_browser")
    d.key("Return")
    assert d.wait_for(lambda: not d.dialog_shown(), 30), "the folder browser did not close"


def tree_count():
    code, out = d.wintool("treecount")
    return int(out) if code == 0 and out.isdigit() else 0


def expand():
    """Opens the selected tree item and waits until its children are in."""
    before = tree_count()
    d.key("Right")
    assert d.wait_for(lambda: tree_count() > before, 30), "the tree item did not open"


def publish_sample():
    shutil.rmtree(WWW, ignore_errors=True)
    subprocess.run(["python3", os.path.join(d.FIXTURES, "make_sample_release.py"), d.exe("sample_product.exe"),
                    RELEASE], check=True, stdout=subprocess.DEVNULL)
    subprocess.run(["python3", os.path.join(d.ROOT, "server", "publish.py"), RELEASE, WWW], check=True,
                   stdout=subprocess.DEVNULL)


def pack_names(name):
    with zipfile.ZipFile(os.path.join(RELEASE, name)) as z:
        return [n for n in z.namelist() if not n.endswith("/")]


class InstallSteps:
    """The fixture and steps the installation tests share."""

    @classmethod
    def setUpClass(cls):
        publish_sample()

    def setUp(self):
        d.stop_programs()
        self.server = d.TestServer(WWW)
        # Cleanups run even when setUp fails half-way; last added runs first.
        self.addCleanup(lambda: self.server.stop())
        self.addCleanup(d.stop_programs)
        self.clean_install_state()

    def clean_install_state(self):
        for path in (INI, os.path.join(d.desktop_folder(), PRODUCT + ".lnk")):
            if os.path.exists(path):
                os.remove(path)
        for folder in (DEFAULT_FOLDER, "C:\\TaVoli", "C:\\Games", "C:\\TaVoliGames"):
            shutil.rmtree(d.install_folder_unix(folder), ignore_errors=True)

    def start(self, locale=None):
        """The installer, on a system whose locale (code page) is the given
        one, the Chinese one (936) when none is given."""
        self.app = d.Program(d.exe("installer.exe"), env={"WINE_RUN_LOCALE": locale} if locale else None)
        self.assertIsNotNone(d.wait_for_window(), "no window")
        d.move_to(-40, -40)

    def wait_finished(self, name):
        shot = d.wait_for_page(d.is_finish_page, timeout=180)
        self.assertIsNotNone(shot, "the finish page did not come: %s" % d.answer_box("提示", "ok", 1000))
        os.replace(shot.path, os.path.join(d.SHOTS, name + ".png"))

    def assert_installed(self, folder, missing=()):
        """Every step's result is there, except those named in missing
        ("libcurl.dll", "HPSocket4C.dll", "program", "avatars", "beautify"),
        which must not be: a failed library is never written at all."""
        root = d.install_folder_unix(folder)
        for sub in ("", "Data", "Config", "resource", "resource/Mountcache", "Data/image", "Data/image/head",
                    "Data/image/uncentered"):
            self.assertTrue(os.path.isdir(os.path.join(root, sub)), sub)
        for name in ("libcurl.dll", "HPSocket4C.dll"):
            if name in missing:
                self.assertFalse(os.path.exists(os.path.join(root, name)), name + " was written")
                continue
            with open(os.path.join(RELEASE, name), "rb") as a, open(os.path.join(root, name), "rb") as b:
                self.assertEqual(a.read(), b.read(), name)
        with open(d.exe("sample_product.exe"), "rb") as a:
            product = a.read()
        installed = os.path.join(root, PRODUCT + ".exe")
        if "program" in missing:
            self.assertFalse(os.path.exists(installed) and open(installed, "rb").read() == product)
        else:
            with open(installed, "rb") as b:
                self.assertEqual(product, b.read())
        for pack, sub, key in (("yxtx.zip", "Data/image/head", "avatars"), ("mhtp.zip", "Data/image", "beautify")):
            for name in pack_names(pack):
                present = os.path.isfile(os.path.join(root, sub, name))
                self.assertEqual(present, key not in missing, "%s: %s" % (pack, name))
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

    def run_product(self, folder, code_page=936):
        log = os.path.join(d.install_folder_unix(folder), "started.log")
        d.click(*RUN)
        self.assertEqual(self.app.wait(), 0)
        started = d.wait_for_file(log, timeout=60)
        self.assertIsNotNone(started, "the product did not start")
        self.assertIn("acp=%d " % code_page, started, "not the system the test meant")
        self.assertIn("exe=%s\\%s.exe" % (folder, PRODUCT), started)
        # It starts in its own folder, where its libraries and data are.
        self.assertIn("cwd=%s" % folder.rstrip("\\"), started)


class Installation(InstallSteps, unittest.TestCase):
    def test_quick_route_installs_and_runs_the_product(self):
        # The program comes slowly: the sample release is small, and the
        # installing page would otherwise come and go between two looks.
        self.server.rule("/qrn/exe/zcx/qn_z.exe", trickle="4")
        self.start()
        d.click(*QUICK)
        self.assertIsNotNone(d.wait_for_page(d.is_install_page, timeout=15, interval=0.2))
        d.click(383, 57)  # the exit button does nothing while installing
        self.wait_finished("install_quick_finished")
        self.assertTrue(d.no_box("提示", 500))
        self.assert_installed(DEFAULT_FOLDER)
        self.run_product(DEFAULT_FOLDER)

    def test_the_keyboard_alone_installs_and_runs_the_product(self):
        self.start()
        d.key("Return")  # the quick-install page's default button
        self.wait_finished("install_keyboard_finished")
        self.assert_installed(DEFAULT_FOLDER)
        log = os.path.join(d.install_folder_unix(DEFAULT_FOLDER), "started.log")
        d.key("Return")  # the finish page's run button
        self.assertEqual(self.app.wait(), 0)
        self.assertIsNotNone(d.wait_for_file(log, timeout=60), "the product did not start")

    def test_a_screen_reader_installs_and_runs_the_product(self):
        """Only through the accessible tree: the quick-install button's
        default action, the ring read as a progress bar, the run button."""
        self.server.rule("/qrn/exe/zcx/qn_z.exe", trickle="4")  # time to read the installing page
        self.start()
        code, out = d.acctool("do", d.WINDOW_CLASS, "快速安装")
        self.assertEqual(code, 0, out)

        def installing_tree():
            code, out = d.acctool("tree", d.WINDOW_CLASS)
            return out if code == 0 and "progress bar" in out else None
        tree = d.wait_for(installing_tree, 30, 0.2)
        self.assertIsNotNone(tree, "the reader never saw the installing page")
        self.assertRegex(tree, r'progress bar "安装进度" value="\d{1,3}%" \[read only\]')
        self.assertIn('push button "关闭" [unavailable]', tree)
        self.wait_finished("install_reader_finished")
        self.assert_installed(DEFAULT_FOLDER)
        log = os.path.join(d.install_folder_unix(DEFAULT_FOLDER), "started.log")
        code, out = d.acctool("do", d.WINDOW_CLASS, "运 行")
        self.assertEqual(code, 0, out)
        self.assertEqual(self.app.wait(), 0)
        self.assertIsNotNone(d.wait_for_file(log, timeout=60), "the product did not start")

    def test_the_install_page_shows_amount_speed_and_time_left(self):
        # The program's transfer pauses half-way, long enough to look.
        self.server.rule("/qrn/exe/zcx/qn_z.exe", stallbody="5000")
        self.start()
        d.click(*QUICK)

        def detail_line(shot):
            return d.is_install_page(shot) and min(min(p) for p in shot.region(60, 414, 320, 20)) < 200

        held, shot = d.expect_shot("install_detail_line", detail_line, 60, 0.3)
        self.assertTrue(held, "no amount and speed under the status text")
        self.wait_finished("install_detail_finished")
        self.assert_installed(DEFAULT_FOLDER)

    def open_custom_page(self):
        d.click(*CUSTOM_LINK)
        held, shot = d.expect_shot("install_custom_page", d.is_custom_install_page)
        self.assertTrue(held, "page 1 did not show: %s" % (shot.pixel(40, 100),))

    def test_custom_route_with_a_chosen_folder(self):
        # What the box must show, drawn by the toolkit itself first.
        shows_chosen = harness_folder_box_pixels("C:\\TaVoliGames")
        shows_default = harness_folder_box_pixels(DEFAULT_FOLDER)
        self.assertNotEqual(shows_chosen, shows_default)
        self.start()
        self.open_custom_page()
        # Cancelling the dialog keeps the default folder.
        d.click(*BROWSE)
        self.assertEqual(d.wintool("browse", "cancel", 15000)[0], 0)
        self.assertTrue(expect_folder_box("install_custom_after_cancel", shows_default), "not the default folder")
        # A folder whose name holds the product folder's name as part of a
        # longer one: the product folder goes inside it.
        os.makedirs(d.install_folder_unix("C:\\TaVoliGames"), exist_ok=True)
        d.click(*BROWSE)
        choose_in_folder_browser("TaVoliGames")
        self.assertTrue(expect_folder_box("install_custom_folder_chosen", shows_chosen), "not C:\\TaVoliGames")
        # Typing into the box changes nothing.
        d.click(*FOLDER_BOX)
        d.type_text("junk")
        d.click(*INSTALL)
        self.wait_finished("install_custom_finished")
        self.assert_installed("C:\\TaVoliGames\\TaVoli")
        self.assertFalse(os.path.exists(d.install_folder_unix(DEFAULT_FOLDER)))
        self.assertFalse(os.path.exists(d.install_folder_unix("C:\\TaVoli")))

    def test_custom_route_into_a_drive_root(self):
        shows_root = harness_folder_box_pixels("C:\\")
        self.start()
        self.open_custom_page()
        d.click(*BROWSE)
        choose_in_folder_browser()
        self.assertTrue(expect_folder_box("install_root_chosen", shows_root), "not C:\\")
        d.click(*INSTALL)
        self.wait_finished("install_root_finished")
        self.assert_installed("C:\\TaVoli")

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

    def expect_failure_message(self, shot, page_check, page_name):
        """The failure box, then the page the job started from, with the exit
        button answering again."""
        text = d.answer_box("提示", "ok", 120000)
        if text is None:
            seen = d.Shot(shot + "_no_box")
            self.fail("no failure message; the finish page shows: %s" % d.is_finish_page(seen))
        self.assertEqual(text, FAILURE)
        d.move_to(-40, -40)
        held, back = d.expect_shot(shot, page_check, 15)
        self.assertTrue(held, "not back on the %s: %s %s" % (page_name, back.pixel(40, 100), back.pixel(120, 379)))
        self.assertTrue(d.no_box("提示", 500))
        d.click(383, 57)
        self.assertEqual(d.answer_box("提示", "cancel"), "您确定现在退出安装吗？")

    def failing_install(self, arrange, shot):
        self.start()
        arrange()
        d.click(*QUICK)
        self.expect_failure_message(shot, d.is_quick_install_page, "quick-install page")

    def test_each_failing_input_alone_is_reported_and_every_other_step_is_done(self):
        """Each of the job's inputs fails on its own; the job reports it,
        returns to its page and has still done everything else."""
        pack = os.path.join(WWW, "qrn", "shuju")
        with open(os.path.join(pack, "yxtx.zip"), "rb") as f:
            avatar = f.read()
        with open(os.path.join(pack, "mhtp.zip"), "rb") as f:
            beautify = f.read()
        program = "/qrn/exe/zcx/qn_z.exe"
        cases = [
            # name, route, what fails, what is then missing
            ("avatar_pack_404", "quick", {"rule": ("/qrn/shuju/yxtx.zip", {"status": "404"})}, {"avatars"}),
            ("libcurl_404", "quick", {"rule": ("/qrn/shuju/libcurl.dll", {"status": "404"})}, {"libcurl.dll"}),
            ("libcurl_500", "custom", {"rule": ("/qrn/shuju/libcurl.dll", {"status": "500"})}, {"libcurl.dll"}),
            ("libcurl_cut_body", "quick", {"rule": ("/qrn/shuju/libcurl.dll", {"cut": "100"})}, {"libcurl.dll"}),
            ("hpsocket_404", "custom", {"rule": ("/qrn/shuju/HPSocket4C.dll", {"status": "404"})},
             {"HPSocket4C.dll"}),
            ("hpsocket_500_no_length", "quick",
             {"rule": ("/qrn/shuju/HPSocket4C.dll", {"status": "500", "nolength": "1"})}, {"HPSocket4C.dll"}),
            ("beautify_pack_404", "quick", {"rule": ("/qrn/shuju/mhtp.zip", {"status": "404"})}, {"beautify"}),
            ("program_404", "custom", {"rule": (program, {"status": "404"})}, {"program"}),
            # Served whole, but not a zip that unpacks: only the unpacking fails.
            ("avatar_unpacking", "quick", {"file": ("qrn/shuju/yxtx.zip", avatar[: len(avatar) // 2])}, {"avatars"}),
            ("beautify_unpacking", "custom", {"file": ("qrn/shuju/mhtp.zip", beautify[: len(beautify) // 2])},
             {"beautify"}),
        ]
        originals = {"qrn/shuju/yxtx.zip": avatar, "qrn/shuju/mhtp.zip": beautify}
        for name, route, fault, missing in cases:
            with self.subTest(case=name):
                d.stop_programs()
                self.clean_install_state()
                self.server.control("reset")
                for path, data in originals.items():
                    self.server.write(path, data)
                folder = DEFAULT_FOLDER if route == "quick" else "C:\\TaVoli"
                self.start()
                if "rule" in fault:
                    self.server.rule(fault["rule"][0], **fault["rule"][1])
                else:
                    self.server.write(*fault["file"])
                if route == "quick":
                    d.click(*QUICK)
                    self.expect_failure_message("install_failed_" + name, d.is_quick_install_page,
                                                "quick-install page")
                else:
                    self.open_custom_page()
                    d.click(*BROWSE)
                    choose_in_folder_browser()  # the drive root: C:\TaVoli
                    d.click(*INSTALL)
                    self.expect_failure_message("install_failed_" + name, d.is_custom_install_page,
                                                "custom-install page")
                self.assert_installed(folder, missing=missing)
        for path, data in originals.items():
            self.server.write(path, data)

    def test_a_library_without_a_length_is_taken_when_the_connection_ends_cleanly(self):
        # Without a Content-Length only the connection's end marks the end of
        # the body; a clean end means the whole library arrived.
        self.start()
        self.server.rule("/qrn/shuju/libcurl.dll", nolength="1")
        d.click(*QUICK)
        self.wait_finished("install_library_without_length")
        self.assert_installed(DEFAULT_FOLDER)

    def test_a_failed_installation_can_be_retried(self):
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
                # Once the server is whole again, a retry finishes.
                if self.server.proc.poll() is not None:
                    self.server = d.TestServer(WWW)
                self.server.control("reset")
                d.click(*QUICK)
                self.wait_finished("install_retried_" + name)
                self.assert_installed(DEFAULT_FOLDER)



# The quick-install page's texts: the name, the button and the link.
PAGE_TEXTS = (30, 240, 380, 210)


class OtherSystemLocales(InstallSteps, unittest.TestCase):
    """The installer on an English (code page 1252) and a Traditional-Chinese
    (950) Windows: its texts are GBK and converted as such, whatever the
    system's own code page, so everything comes out as on a 936 system."""

    def quick_page_texts(self, locale=None):
        self.start(locale)
        held, shot = d.expect_shot("locale_%s" % (locale or "zh_CN").split(".")[0], d.is_quick_install_page)
        self.assertTrue(held, shot.path)
        return shot.region(*PAGE_TEXTS)

    def test_english_and_traditional_chinese_systems_install_as_a_chinese_one(self):
        chinese = self.quick_page_texts()
        d.stop_programs()
        for locale, code_page in (("en_US.UTF-8", 1252), ("zh_TW.UTF-8", 950)):
            with self.subTest(locale=locale):
                d.stop_programs()
                self.clean_install_state()
                self.assertEqual(self.quick_page_texts(locale), chinese,
                                 "the page's texts differ from a Chinese system's on %s" % locale)
                d.key("Return")
                self.wait_finished("install_%s_finished" % locale.split(".")[0])
                self.assertTrue(d.no_box("提示", 500))
                # The program's and the packs' Chinese names, the shortcut and
                # the GBK profile file, as on a Chinese system.
                self.assert_installed(DEFAULT_FOLDER)
                self.run_product(DEFAULT_FOLDER, code_page)
                d.stop_programs()


if __name__ == "__main__":
    unittest.main()

"""The publisher: what it writes is what the installer reads, and what it
refuses leaves the served tree as it was."""

import os
import shutil
import subprocess
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
PUBLISH = os.path.join(ROOT, "server", "publish.py")
PROBE = os.environ.get("MANIFEST_PROBE", os.path.join(ROOT, "build", "native", "tests", "manifest_probe"))

sys.path.insert(0, os.path.join(ROOT, "tests", "fixtures"))
import make_sample_release  # noqa: E402


def make_release(folder, version="V11", notice="新版本上线，请更新", pages=None):
    os.makedirs(os.path.join(folder, "programs"))
    with open(os.path.join(folder, "programs", "qn_z.exe"), "wb") as f:
        f.write(b"MZ main program")
    with open(os.path.join(folder, "programs", "tv_f.exe"), "wb") as f:
        f.write(b"MZ other brand")
    for name in ("libcurl.dll", "HPSocket4C.dll"):
        with open(os.path.join(folder, name), "wb") as f:
            f.write(b"library")
    make_sample_release.write_pack(os.path.join(folder, "yxtx.zip"), make_sample_release.AVATARS)
    make_sample_release.write_pack(os.path.join(folder, "mhtp.zip"), make_sample_release.BEAUTIFY)
    pages = pages if pages is not None else {"Quenra.self": "http://updates.example/q?a=1)",
                                             "Quenra.distribution": "http://updates.example/qf",
                                             "ID.self": "http://updates.example/id"}
    with open(os.path.join(folder, "release.ini"), "w", encoding="utf-8") as f:
        f.write("[installer]\nversion = %s\nnotice = %s\n[update-pages]\n" % (version, notice))
        for key, value in pages.items():
            f.write("%s = %s\n" % (key, value))


def publish(release, served):
    return subprocess.run([sys.executable, PUBLISH, release, served], capture_output=True, text=True)


def probe(manifest, *keys):
    out = subprocess.run([PROBE, manifest] + list(keys), capture_output=True, check=True).stdout
    return out.decode("gbk").split("\n")[:len(keys)]


class Publish(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.mkdtemp()
        self.release = os.path.join(self.dir, "release")
        self.served = os.path.join(self.dir, "www")

    def tearDown(self):
        shutil.rmtree(self.dir, ignore_errors=True)

    def test_published_tree_reads_back_through_the_installers_parser(self):
        make_release(self.release)
        r = publish(self.release, self.served)
        self.assertEqual(r.returncode, 0, r.stderr)
        manifest = os.path.join(self.served, "qrn", "azq.txt")
        self.assertEqual(
            probe(manifest, "安装器版本号=（", "更新提示=（", "Quenra自销更新跳转=（", "Quenra分销更新跳转=（",
                  "ID自销更新跳转=（", "Zelkan自销更新跳转=（"),
            ["V11", "新版本上线，请更新", "http://updates.example/q?a=1)", "http://updates.example/qf",
             "http://updates.example/id", ""])
        for path in ("qrn/shuju/yxtx.zip", "qrn/shuju/mhtp.zip", "qrn/shuju/libcurl.dll", "qrn/shuju/HPSocket4C.dll",
                     "qrn/exe/zcx/qn_z.exe", "qrn/exe/zcx/tv_f.exe"):
            self.assertTrue(os.path.isfile(os.path.join(self.served, path)), path)
        with open(manifest, "rb") as f:
            f.read().decode("utf-8")  # UTF-8 throughout

    def test_republishing_replaces_the_whole_tree(self):
        make_release(self.release)
        self.assertEqual(publish(self.release, self.served).returncode, 0)
        os.remove(os.path.join(self.release, "programs", "tv_f.exe"))
        with open(os.path.join(self.release, "release.ini"), "w", encoding="utf-8") as f:
            f.write("[installer]\nversion = V12\nnotice = x\n")
        self.assertEqual(publish(self.release, self.served).returncode, 0)
        self.assertFalse(os.path.exists(os.path.join(self.served, "qrn", "exe", "zcx", "tv_f.exe")))
        self.assertEqual(probe(os.path.join(self.served, "qrn", "azq.txt"), "安装器版本号=（"), ["V12"])
        self.assertEqual([n for n in os.listdir(self.dir) if n.startswith(".")], [])  # no leftovers

    def test_refused_inputs_leave_no_tree_or_the_old_one(self):
        def missing_library(rel):
            os.remove(os.path.join(rel, "libcurl.dll"))

        def bracket_in_notice(rel):
            shutil.rmtree(rel)
            make_release(rel, notice="请更新）再试")

        def bracket_in_address(rel):
            shutil.rmtree(rel)
            make_release(rel, pages={"Quenra.self": "http://x/）"})

        def unknown_brand(rel):
            shutil.rmtree(rel)
            make_release(rel, pages={"Nobody.self": "http://x/"})

        def empty_version(rel):
            shutil.rmtree(rel)
            make_release(rel, version="")

        def not_a_zip(rel):
            with open(os.path.join(rel, "mhtp.zip"), "wb") as f:
                f.write(b"<html>404</html>")

        def badly_named_program(rel):
            with open(os.path.join(rel, "programs", "main.exe"), "wb") as f:
                f.write(b"MZ")

        def no_programs(rel):
            shutil.rmtree(os.path.join(rel, "programs"))

        cases = [missing_library, bracket_in_notice, bracket_in_address, unknown_brand, empty_version, not_a_zip,
                 badly_named_program, no_programs]
        for existing in (False, True):
            for arrange in cases:
                with self.subTest(case=arrange.__name__, existing=existing):
                    shutil.rmtree(self.dir)
                    os.makedirs(self.dir)
                    if existing:
                        make_release(self.release, version="V10")
                        self.assertEqual(publish(self.release, self.served).returncode, 0)
                        shutil.rmtree(self.release)
                    make_release(self.release)
                    arrange(self.release)
                    r = publish(self.release, self.served)
                    self.assertEqual(r.returncode, 1)
                    self.assertIn("refused", r.stderr)
                    if existing:
                        self.assertEqual(probe(os.path.join(self.served, "qrn", "azq.txt"), "安装器版本号=（"),
                                         ["V10"])
                    else:
                        self.assertFalse(os.path.exists(self.served))
                    self.assertEqual([n for n in os.listdir(self.dir) if n.startswith(".")], [])


if __name__ == "__main__":
    unittest.main()

"""The publisher: what it writes is what the installer reads, and what it
refuses leaves the served tree as it was."""

import os
import shutil
import socket
import struct
import subprocess
import sys
import tempfile
import threading
import unittest
import urllib.error
import urllib.request
import zipfile

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

    def test_every_file_has_its_check_and_a_signed_release_verifies(self):
        import hashlib
        make_release(self.release)
        keys = os.path.join(self.dir, "keys")
        os.makedirs(keys)
        make_key = os.path.join(ROOT, "server", "make-signing-key")
        subprocess.run([make_key, os.path.join(keys, "s.pem"), os.path.join(keys, "s.pub.pem")], check=True,
                       capture_output=True)
        r = subprocess.run([sys.executable, PUBLISH, "--sign-key", os.path.join(keys, "s.pem"), self.release,
                            self.served], capture_output=True, text=True)
        self.assertEqual(r.returncode, 0, r.stderr)
        manifest = os.path.join(self.served, "qrn", "azq.txt")
        paths = ("qrn/shuju/yxtx.zip", "qrn/shuju/mhtp.zip", "qrn/shuju/libcurl.dll", "qrn/shuju/HPSocket4C.dll",
                 "qrn/exe/zcx/qn_z.exe", "qrn/exe/zcx/tv_f.exe")
        expected = []
        for path in paths:
            with open(os.path.join(self.served, path), "rb") as f:
                data = f.read()
            expected.append("%d %s" % (len(data), hashlib.sha256(data).hexdigest()))
        self.assertEqual(probe(manifest, *("sha256:/%s=（" % p for p in paths)), expected)
        verify = subprocess.run(["openssl", "dgst", "-sha256", "-verify", os.path.join(keys, "s.pub.pem"),
                                 "-signature", manifest + ".sig", manifest], capture_output=True, text=True)
        self.assertEqual(verify.returncode, 0, verify.stdout + verify.stderr)
        # A key that cannot sign is refused before anything is written.
        bad = os.path.join(keys, "s.pub.pem")
        other = os.path.join(self.dir, "www2")
        r = subprocess.run([sys.executable, PUBLISH, "--sign-key", bad, self.release, other], capture_output=True,
                           text=True)
        self.assertEqual(r.returncode, 2)
        self.assertEqual(len(r.stderr.strip().splitlines()), 1, r.stderr)
        self.assertFalse(os.path.lexists(other))
        # make-signing-key never overwrites a key.
        again = subprocess.run([make_key, os.path.join(keys, "s.pem"), os.path.join(keys, "t.pub.pem")],
                               capture_output=True, text=True)
        self.assertEqual(again.returncode, 2)

    def test_republishing_replaces_the_whole_tree(self):
        make_release(self.release)
        self.assertEqual(publish(self.release, self.served).returncode, 0)
        os.remove(os.path.join(self.release, "programs", "tv_f.exe"))
        with open(os.path.join(self.release, "release.ini"), "w", encoding="utf-8") as f:
            f.write("[installer]\nversion = V12\nnotice = x\n")
        self.assertEqual(publish(self.release, self.served).returncode, 0)
        self.assertFalse(os.path.exists(os.path.join(self.served, "qrn", "exe", "zcx", "tv_f.exe")))
        self.assertEqual(probe(os.path.join(self.served, "qrn", "azq.txt"), "安装器版本号=（"), ["V12"])
        self.assertEqual(leftovers(self.dir), [])
        self.assertTrue(os.path.islink(self.served))
        self.assertEqual(len(os.listdir(self.served + ".releases")), 1)  # the old release is gone

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
        self.refuse_each({arrange.__name__: arrange for arrange in cases})

    def refuse_each(self, cases):
        """Each case spoils a good release; the publish is refused, over no
        tree and over an existing one."""
        for existing in (False, True):
            for name, arrange in cases.items():
                with self.subTest(case=name, existing=existing):
                    shutil.rmtree(self.dir)
                    os.makedirs(self.dir)
                    if existing:
                        make_release(self.release, version="V10")
                        self.assertEqual(publish(self.release, self.served).returncode, 0)
                        shutil.rmtree(self.release)
                    make_release(self.release)
                    arrange(self.release)
                    self.assert_refused(existing)

    def assert_refused(self, existing):
        r = publish(self.release, self.served)
        self.assertEqual(r.returncode, 2, r.stdout + r.stderr)
        self.assertEqual(len(r.stderr.strip().splitlines()), 1, r.stderr)
        self.assertIn("refused", r.stderr)
        if existing:
            self.assertEqual(probe(os.path.join(self.served, "qrn", "azq.txt"), "安装器版本号=（"), ["V10"])
        else:
            self.assertFalse(os.path.lexists(self.served))
        self.assertEqual(leftovers(self.dir), [])

    def test_what_the_installer_would_refuse_or_misname_is_refused(self):
        def pack(rel, *names, method=zipfile.ZIP_DEFLATED):
            with zipfile.ZipFile(os.path.join(rel, "mhtp.zip"), "w", method) as z:
                for name in names:
                    z.writestr(name, b"data")

        def raw_gbk_name(rel):  # bytes that are no GBK, without the UTF-8 flag
            pack(rel, "Xzq.txt")
            path = os.path.join(rel, "mhtp.zip")
            with open(path, "rb") as f:
                data = f.read().replace(b"Xzq", b"\xff\xfe\xfd")
            with open(path, "wb") as f:
                f.write(data)

        def repeated_directory(rel):  # two directory records for one entry
            pack(rel, "a.bin")
            path = os.path.join(rel, "mhtp.zip")
            with open(path, "rb") as f:
                data = f.read()
            end = data.rfind(b"PK\x05\x06")
            size, offset = struct.unpack("<II", data[end + 12:end + 20])
            record = data[offset:offset + size]
            tail = struct.pack("<4sHHHHIIH", b"PK\x05\x06", 0, 0, 2, 2, size * 2, offset, 0)
            with open(path, "wb") as f:
                f.write(data[:offset] + record + record + tail)

        def link_to_outside(rel):
            os.remove(os.path.join(rel, "libcurl.dll"))
            os.symlink("/etc/hostname", os.path.join(rel, "libcurl.dll"))

        def program_is_a_folder(rel):
            os.makedirs(os.path.join(rel, "programs", "mv_z.exe"))

        def ini(rel, notice="x", page="http://updates.example/q"):
            with open(os.path.join(rel, "release.ini"), "w", encoding="utf-8") as f:
                f.write("[installer]\nversion = V11\nnotice = %s\n[update-pages]\nQuenra.self = %s\n" % (notice, page))

        cases = {
            "traversal": lambda rel: pack(rel, "../../evil.dll"),
            "device name": lambda rel: pack(rel, "CON"),
            "device with extension": lambda rel: pack(rel, "skin/nul.png"),
            "trailing dot": lambda rel: pack(rel, "a."),
            "names alike but for case": lambda rel: pack(rel, "A.PNG", "a.png"),
            "stream name": lambda rel: pack(rel, "x:stream"),
            "method the installer cannot unpack": lambda rel: pack(rel, "b.txt", method=zipfile.ZIP_BZIP2),
            "name that is not GBK": raw_gbk_name,
            "entries sharing bytes": repeated_directory,
            "symbolic link": link_to_outside,
            "program that is a folder": program_is_a_folder,
            "notice GBK cannot hold": lambda rel: ini(rel, notice="新版本 🎮"),
            "page GBK cannot hold": lambda rel: ini(rel, page="http://updates.example/🎮"),
            "page that runs a program": lambda rel: ini(rel, page="C:\\Windows\\System32\\cmd.exe"),
            "page on another scheme": lambda rel: ini(rel, page="file:///C:/Windows/win.ini"),
            "page on a share": lambda rel: ini(rel, page="\\\\host\\share\\x.exe"),
        }
        self.refuse_each(cases)


def leftovers(folder):
    """Half-done work of a publish: staging folders and links."""
    found = [n for n in os.listdir(folder) if n.startswith(".")]
    store = [n for n in os.listdir(folder) if n.endswith(".releases")]
    for s in store:
        found += [os.path.join(s, n) for n in os.listdir(os.path.join(folder, s)) if n.startswith(".")]
    return found


class ServedWhilePublishing(unittest.TestCase):
    """nginx serving the tree while releases replace each other: every
    request finds a whole tree, old or new."""

    def test_no_request_ever_finds_the_tree_missing(self):
        work = tempfile.mkdtemp()
        os.chmod(work, 0o755)  # the workers run as nobody
        self.addCleanup(shutil.rmtree, work, True)
        served = os.path.join(work, "www")
        for version in ("V10", "V11"):
            make_release(os.path.join(work, version), version=version)
        self.assertEqual(publish(os.path.join(work, "V10"), served).returncode, 0)
        with socket.socket() as s:
            s.bind(("127.0.0.1", 0))
            port = s.getsockname()[1]
        env = dict(os.environ, SERVE_STATE=os.path.join(work, "nginx"))
        serve = os.path.join(ROOT, "server", "serve")
        started = subprocess.run([serve, "start", served, "127.0.0.1", str(port)], env=env, capture_output=True,
                                 text=True)
        self.assertEqual(started.returncode, 0, started.stderr)
        self.addCleanup(subprocess.run, [serve, "stop"], env=env, capture_output=True)

        seen, stop = [], threading.Event()

        def fetch():
            while not stop.is_set():
                for path in ("/qrn/azq.txt", "/qrn/shuju/yxtx.zip"):
                    try:
                        with urllib.request.urlopen("http://127.0.0.1:%d%s" % (port, path), timeout=10) as r:
                            seen.append((path, r.status, len(r.read())))
                    except urllib.error.HTTPError as e:
                        seen.append((path, e.code, 0))

        threads = [threading.Thread(target=fetch) for _ in range(2)]
        for t in threads:
            t.start()
        try:
            for i in range(30):
                r = publish(os.path.join(work, ("V10", "V11")[i % 2]), served)
                self.assertEqual(r.returncode, 0, r.stderr)
        finally:
            stop.set()
            for t in threads:
                t.join()
        self.assertGreater(len(seen), 30)
        self.assertEqual([s for s in seen if s[1] != 200], [])
        self.assertEqual([s for s in seen if s[2] == 0], [])


if __name__ == "__main__":
    unittest.main()

#!/usr/bin/env python3
"""Publishes a release into the tree that the distribution server serves.

    server/publish.py [--sign-key KEY.pem] RELEASE_FOLDER SERVED_TREE

The release folder holds:

    release.ini          [installer] version, notice; [update-pages] <ShortName>.self / .distribution
    programs/<code>_z.exe, programs/<code>_f.exe   the main program per brand code and channel
    libcurl.dll, HPSocket4C.dll                    the two libraries
    yxtx.zip, mhtp.zip                             the avatar and beautify packs

and becomes:

    qrn/azq.txt                      the manifest (UTF-8, key "=（" value "）"), with
                                     "sha256:<served path>=（<size> <hex digest>）" per file
    qrn/azq.txt.sig                  with --sign-key: ECDSA P-256 over SHA-256 of azq.txt (DER)
    qrn/shuju/yxtx.zip, mhtp.zip, libcurl.dll, HPSocket4C.dll
    qrn/exe/zcx/<code>_z.exe, <code>_f.exe

Everything is checked before anything is written: nothing but regular
files inside the release folder (no symbolic links), packs that the
installer will unpack under the names it reads, values that the installer
can show. A refusal is one line and exit code 2, with nothing written.

SERVED_TREE is a symbolic link to the current release under
SERVED_TREE.releases/; publishing writes the new release beside it and
replaces the link in one atomic rename, so the server always sees the old
tree or the new one, never none. (A SERVED_TREE that is still a plain
folder from before is moved aside once, the only moment it is missing.)
"""

import configparser
import hashlib
import os
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from packcheck import PackRefused, check_pack  # noqa: E402

BRANDS = {  # short name -> code, as the installer's brand table has them
    "Tavoli": "tv", "Quenra": "qn", "VS": "VS", "Morvik": "mv", "Zelkan": "zk", "ID": "ID",
}
CHANNELS = {"self": ("_z.exe", "自销更新跳转"), "distribution": ("_f.exe", "分销更新跳转")}
DATA_FILES = ("libcurl.dll", "HPSocket4C.dll", "yxtx.zip", "mhtp.zip")


class Refused(Exception):
    pass


def check_value(name, value):
    for marker in ("）", "=（"):
        if marker in value:
            raise Refused("%s contains \"%s\", which would cut the manifest's values apart: %r" % (name, marker, value))
    if any(ord(c) < 0x20 for c in value):
        raise Refused("%s contains a control character: %r" % (name, value))
    try:
        value.encode("cp936")
    except UnicodeEncodeError:
        raise Refused("%s holds characters that the installer (GBK) cannot show: %r" % (name, value))


def check_page(key, address):
    if not address.lower().startswith(("http://", "https://")) or any(c.isspace() for c in address):
        raise Refused("the update page %s is not an http:// or https:// address: %r" % (key, address))


def release_file(folder, relative, kind="file"):
    """The path of a regular file (or folder) inside the release folder:
    no symbolic link anywhere on the way, nothing outside."""
    path = os.path.join(folder, relative)
    real = os.path.realpath(path)
    if os.path.lexists(path) and (real != os.path.abspath(path) or os.path.islink(path)):
        raise Refused("%s is a symbolic link or leads outside the release folder" % path)
    if not os.path.lexists(path):
        raise Refused("missing %s" % path)
    if kind == "file" and not os.path.isfile(path):
        raise Refused("%s is not a regular file" % path)
    if kind == "folder" and not os.path.isdir(path):
        raise Refused("%s is not a folder" % path)
    return path


def read_release(folder):
    if not os.path.isdir(folder):
        raise Refused("no release folder %s" % folder)
    folder = os.path.realpath(folder)
    ini = release_file(folder, "release.ini")
    parser = configparser.ConfigParser(interpolation=None)
    parser.optionxform = str
    try:
        with open(ini, encoding="utf-8-sig") as f:
            parser.read_file(f)
    except (configparser.Error, UnicodeDecodeError) as e:
        raise Refused("%s cannot be read: %s" % (ini, e))
    if not parser.has_option("installer", "version") or not parser.get("installer", "version").strip():
        raise Refused("%s: [installer] version is missing or empty" % ini)
    if not parser.has_option("installer", "notice"):
        raise Refused("%s: [installer] notice is missing" % ini)
    version = parser.get("installer", "version").strip()
    notice = parser.get("installer", "notice").strip()
    check_value("the version", version)
    check_value("the notice", notice)

    pages = []
    if parser.has_section("update-pages"):
        for key, address in parser.items("update-pages"):
            short, _, channel = key.partition(".")
            if short not in BRANDS or channel not in CHANNELS:
                raise Refused("%s: unknown update page %r (expected <ShortName>.self or .distribution, "
                              "short names %s)" % (ini, key, ", ".join(BRANDS)))
            address = address.strip()
            check_value("the update page " + key, address)
            check_page(key, address)
            pages.append((short, channel, address))

    data = []
    for name in DATA_FILES:
        path = release_file(folder, name)
        if name.endswith(".zip"):
            try:
                check_pack(path)
            except PackRefused as e:
                raise Refused("%s is a pack the installer would refuse or misname: %s" % (path, e))
        data.append((name, path))

    programs = []
    program_dir = os.path.join(folder, "programs")
    if os.path.lexists(program_dir):
        release_file(folder, "programs", kind="folder")
        codes = set(BRANDS.values())
        suffixes = tuple(s for s, _ in CHANNELS.values())
        for name in sorted(os.listdir(program_dir)):
            code, _, _ = name.rpartition("_")
            if code not in codes or not name.endswith(suffixes):
                raise Refused("programs/%s: expected <code>_z.exe or <code>_f.exe with a code of %s" %
                              (name, ", ".join(sorted(codes))))
            path = release_file(folder, os.path.join("programs", name))
            with open(path, "rb") as f:
                if f.read(2) != b"MZ":
                    raise Refused("programs/%s is not a Windows program" % name)
            programs.append((name, path))
    if not programs:
        raise Refused("no main program in %s" % program_dir)
    return version, notice, pages, data, programs


def file_check(served_path, path):
    """The manifest line the installer checks a served file against."""
    digest = hashlib.sha256()
    size = 0
    with open(path, "rb") as f:
        for piece in iter(lambda: f.read(1 << 20), b""):
            digest.update(piece)
            size += len(piece)
    return "sha256:%s=（%d %s）" % (served_path, size, digest.hexdigest())


def manifest_text(version, notice, pages, checks=()):
    lines = ["安装器版本号=（%s）" % version, "更新提示=（%s）" % notice]
    for short, channel, address in pages:
        lines.append("%s%s=（%s）" % (short, CHANNELS[channel][1], address))
    lines.extend(checks)
    return "\r\n".join(lines) + "\r\n"


def check_sign_key(key):
    """The private key must sign before anything is published."""
    if key is None:
        return
    if not os.path.isfile(key):
        raise Refused("no signing key %s" % key)
    probe = subprocess.run(["openssl", "pkey", "-in", key, "-noout", "-text"], capture_output=True, text=True)
    if probe.returncode != 0 or "prime256v1" not in probe.stdout and "P-256" not in probe.stdout:
        raise Refused("%s is not an ECDSA P-256 private key that openssl can read" % key)


def sign(key, manifest, signature):
    r = subprocess.run(["openssl", "dgst", "-sha256", "-sign", key, "-out", signature, manifest],
                       capture_output=True, text=True)
    if r.returncode != 0:
        raise Refused("openssl could not sign the manifest: %s" % r.stderr.strip())


def publish(release, served, sign_key=None):
    check_sign_key(sign_key)
    version, notice, pages, data, programs = read_release(release)
    served = os.path.abspath(served)
    store = served + ".releases"
    os.makedirs(store, exist_ok=True)
    staging = tempfile.mkdtemp(prefix=".publish-", dir=store)
    link = None
    try:
        os.makedirs(os.path.join(staging, "qrn", "shuju"))
        os.makedirs(os.path.join(staging, "qrn", "exe", "zcx"))
        checks = [file_check("/qrn/shuju/" + name, path) for name, path in data]
        checks += [file_check("/qrn/exe/zcx/" + name, path) for name, path in programs]
        manifest = os.path.join(staging, "qrn", "azq.txt")
        with open(manifest, "w", encoding="utf-8", newline="") as f:
            f.write(manifest_text(version, notice, pages, checks))
        if sign_key:
            sign(sign_key, manifest, manifest + ".sig")
        for name, path in data:
            shutil.copyfile(path, os.path.join(staging, "qrn", "shuju", name), follow_symlinks=False)
        for name, path in programs:
            shutil.copyfile(path, os.path.join(staging, "qrn", "exe", "zcx", name), follow_symlinks=False)
        for root, dirs, files in os.walk(staging):
            os.chmod(root, 0o755)
            for n in files:
                os.chmod(os.path.join(root, n), 0o644)
        current = os.path.join(store, "r%d-%d" % (time.time_ns(), os.getpid()))
        os.rename(staging, current)
        staging = None
        if os.path.isdir(served) and not os.path.islink(served):
            # A tree published before releases were kept beside it.
            os.rename(served, os.path.join(store, "previous-%d" % os.getpid()))
        # The swap: a new link, renamed over the old one in one step.
        link = os.path.join(os.path.dirname(served), ".publish-link-%d" % os.getpid())
        os.symlink(os.path.relpath(current, os.path.dirname(served)), link)
        os.replace(link, served)
        link = None
        for old in os.listdir(store):
            if os.path.join(store, old) != current:
                shutil.rmtree(os.path.join(store, old), ignore_errors=True)
    finally:
        if staging:
            shutil.rmtree(staging, ignore_errors=True)
        if link and os.path.lexists(link):
            os.remove(link)
    return version, [n for n, _ in programs]


def main(argv):
    args = argv[1:]
    sign_key = None
    if len(args) >= 2 and args[0] == "--sign-key":
        sign_key, args = args[1], args[2:]
    if len(args) != 2:
        print(__doc__.strip().splitlines()[2].strip(), file=sys.stderr)
        return 2
    try:
        version, programs = publish(args[0], args[1], sign_key)
    except Refused as e:
        print("publish: refused: %s" % e, file=sys.stderr)
        return 2
    except OSError as e:
        print("publish: failed: %s" % e, file=sys.stderr)
        return 2
    print("publish: %s published to %s (%s)%s" % (version, args[1], ", ".join(programs),
                                                  ", signed" if sign_key else ""))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))

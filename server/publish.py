#!/usr/bin/env python3
"""Publishes a release into the tree that the distribution server serves.

    server/publish.py RELEASE_FOLDER SERVED_TREE

The release folder holds:

    release.ini          [installer] version, notice; [update-pages] <ShortName>.self / .distribution
    programs/<code>_z.exe, programs/<code>_f.exe   the main program per brand code and channel
    libcurl.dll, HPSocket4C.dll                    the two libraries
    yxtx.zip, mhtp.zip                             the avatar and beautify packs

and becomes:

    qrn/azq.txt                      the manifest (UTF-8, key "=（" value "）")
    qrn/shuju/yxtx.zip, mhtp.zip, libcurl.dll, HPSocket4C.dll
    qrn/exe/zcx/<code>_z.exe, <code>_f.exe

Everything is checked before anything is written; the new tree replaces
the old one in one rename, so a refused or failed publish leaves the
served tree as it was.
"""

import configparser
import os
import shutil
import sys
import tempfile

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
    if "\0" in value:
        raise Refused("%s contains a zero character" % name)


def read_release(folder):
    if not os.path.isdir(folder):
        raise Refused("no release folder %s" % folder)
    ini = os.path.join(folder, "release.ini")
    if not os.path.isfile(ini):
        raise Refused("missing %s" % ini)
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
            pages.append((short, channel, address))

    for name in DATA_FILES:
        path = os.path.join(folder, name)
        if not os.path.isfile(path):
            raise Refused("missing %s" % path)
        if name.endswith(".zip"):
            with open(path, "rb") as f:
                if f.read(4) != b"PK\x03\x04":
                    raise Refused("%s is not a zip archive that the installer can unpack" % path)

    programs = []
    program_dir = os.path.join(folder, "programs")
    if os.path.isdir(program_dir):
        codes = set(BRANDS.values())
        suffixes = tuple(s for s, _ in CHANNELS.values())
        for name in sorted(os.listdir(program_dir)):
            code, _, _ = name.rpartition("_")
            if code not in codes or not name.endswith(suffixes):
                raise Refused("programs/%s: expected <code>_z.exe or <code>_f.exe with a code of %s" %
                              (name, ", ".join(sorted(codes))))
            path = os.path.join(program_dir, name)
            with open(path, "rb") as f:
                if f.read(2) != b"MZ":
                    raise Refused("programs/%s is not a Windows program" % name)
            programs.append((name, path))
    if not programs:
        raise Refused("no main program in %s" % program_dir)
    return version, notice, pages, programs


def manifest_text(version, notice, pages):
    lines = ["安装器版本号=（%s）" % version, "更新提示=（%s）" % notice]
    for short, channel, address in pages:
        lines.append("%s%s=（%s）" % (short, CHANNELS[channel][1], address))
    return "\r\n".join(lines) + "\r\n"


def publish(release, served):
    version, notice, pages, programs = read_release(release)
    served = os.path.abspath(served)
    parent = os.path.dirname(served)
    os.makedirs(parent, exist_ok=True)
    staging = tempfile.mkdtemp(prefix=".publish-", dir=parent)
    try:
        os.makedirs(os.path.join(staging, "qrn", "shuju"))
        os.makedirs(os.path.join(staging, "qrn", "exe", "zcx"))
        with open(os.path.join(staging, "qrn", "azq.txt"), "w", encoding="utf-8", newline="") as f:
            f.write(manifest_text(version, notice, pages))
        for name in DATA_FILES:
            shutil.copyfile(os.path.join(release, name), os.path.join(staging, "qrn", "shuju", name))
        for name, path in programs:
            shutil.copyfile(path, os.path.join(staging, "qrn", "exe", "zcx", name))
        for root, dirs, files in os.walk(staging):
            os.chmod(root, 0o755)
            for n in files:
                os.chmod(os.path.join(root, n), 0o644)
        # Swap the trees: the server sees the old one or the new one.
        old = None
        if os.path.exists(served):
            old = tempfile.mkdtemp(prefix=".previous-", dir=parent)
            os.rmdir(old)
            os.rename(served, old)
        os.rename(staging, served)
        staging = None
        if old:
            shutil.rmtree(old, ignore_errors=True)
    finally:
        if staging:
            shutil.rmtree(staging, ignore_errors=True)
    return version, [n for n, _ in programs]


def main(argv):
    if len(argv) != 3:
        print(__doc__.strip().splitlines()[2].strip(), file=sys.stderr)
        return 2
    try:
        version, programs = publish(argv[1], argv[2])
    except Refused as e:
        print("publish: refused: %s" % e, file=sys.stderr)
        return 1
    print("publish: %s published to %s (%s)" % (version, argv[2], ", ".join(programs)))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))

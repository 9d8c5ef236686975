"""The installer's rules for a data pack, applied before it is published:
a pack that the installer would refuse, or whose files Windows would store
under other names, is refused here instead of failing on every user's
machine.

    check_pack(path) -> None, or raises PackRefused with one line saying why
"""

import struct
import zipfile
import zlib

END_SIGNATURE = b"PK\x05\x06"
ZIP64_LOCATOR = b"PK\x06\x07"
ZIP64_END = b"PK\x06\x06"
LOCAL_SIGNATURE = b"PK\x03\x04"
MAX_NAME_BYTES = 259
DEVICES = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"}
DEVICE_DIGITS = "0123456789\u00b9\u00b2\u00b3"
FORBIDDEN = set('<>:"/\\|?*')


class PackRefused(Exception):
    pass


def is_device(component):
    base = component.split(".", 1)[0].rstrip(" ").upper()
    return base in DEVICES or (len(base) == 4 and base[:3] in ("COM", "LPT") and base[3] in DEVICE_DIGITS)


def unsafe_component(component):
    """Why Windows would not store a file or folder under exactly this name."""
    if component in ("", ".", ".."):
        return "an empty, '.' or '..' part"
    if any(ord(c) < 0x20 for c in component):
        return "a control character"
    if FORBIDDEN & set(component):
        return "one of < > : \" / \\ | ? *"
    if component[-1] in ". ":
        return "a part ending in a dot or a space"
    if is_device(component):
        return "a device name"
    return None


def decoded_name(info):
    """The entry name as the installer decodes it: UTF-8 when flag bit 11
    is set, GBK (code page 936) otherwise."""
    if info.flag_bits & 0x800:
        return info.filename  # zipfile decoded it as UTF-8 already (strictly)
    raw = info.orig_filename.encode("cp437")  # zipfile's reversible reading of the bytes
    try:
        return raw.decode("cp936")
    except UnicodeDecodeError:
        raise PackRefused("a name that is not valid GBK: %r" % raw)


def relative_path(name):
    path = name[:-1] if name.endswith(("/", "\\")) else name
    parts = path.replace("\\", "/").split("/")
    for part in parts:
        why = unsafe_component(part)
        if why:
            raise PackRefused("the entry %r has %s" % (name, why))
    return "\\".join(parts)


def read_end_record(data):
    """Finds the end record where the installer looks for it: in the last
    65535 bytes, the occurrence nearest the end."""
    at = data.rfind(END_SIGNATURE, max(0, len(data) - 65535))
    if at < 0 or at + 22 > len(data):
        raise PackRefused("no end-of-central-directory record in the last 65535 bytes")
    disk, directory_disk, here, total, size, offset = struct.unpack("<HHHHII", data[at + 4:at + 20])
    if 0xFFFF in (here, total) or 0xFFFFFFFF in (size, offset):
        raise PackRefused("a ZIP64 archive, which the installer cannot read")
    if at >= 20 and data[at - 20:at - 16] == ZIP64_LOCATOR:
        zip64_at = struct.unpack("<Q", data[at - 12:at - 4])[0]
        if data[zip64_at:zip64_at + 4] == ZIP64_END:
            raise PackRefused("a ZIP64 archive, which the installer cannot read")
    if disk or directory_disk or here != total:
        raise PackRefused("an archive spanning several disks")
    if offset + size > at:
        raise PackRefused("a central directory that runs into its end record")
    return offset, size


def check_pack(path):
    with open(path, "rb") as f:
        data = f.read()
    if data[:4] != LOCAL_SIGNATURE or len(data) < 32 or struct.unpack("<i", data[24:28])[0] < 1:
        raise PackRefused("not a zip archive that starts with a named local file header")
    directory_offset, directory_size = read_end_record(data)
    try:
        archive = zipfile.ZipFile(path)
        infos = archive.infolist()
    except (zipfile.BadZipFile, UnicodeDecodeError, ValueError) as e:
        raise PackRefused("an archive that cannot be read: %s" % e)
    ranges = [(directory_offset, directory_offset + directory_size)]
    seen = {}  # the path as Windows compares it -> (the entry's name, whether a folder)
    for info in infos:
        name = decoded_name(info)
        raw_length = len(info.orig_filename.encode("utf-8" if info.flag_bits & 0x800 else "cp437"))
        if raw_length > MAX_NAME_BYTES:
            raise PackRefused("the entry %r has a name longer than %d bytes" % (name, MAX_NAME_BYTES))
        if info.flag_bits & 1:
            raise PackRefused("the entry %r is encrypted" % name)
        if info.compress_type not in (zipfile.ZIP_STORED, zipfile.ZIP_DEFLATED):
            raise PackRefused("the entry %r uses method %d (only stored and deflated unpack)" %
                              (name, info.compress_type))
        if max(info.file_size, info.compress_size, info.header_offset) >= 0xFFFFFFFF:
            raise PackRefused("the entry %r needs ZIP64" % name)
        relative = relative_path(name)
        folder = info.is_dir() or name.endswith("\\")
        key = relative.casefold()
        if key in seen and not (folder and seen[key][1]):
            raise PackRefused("the entries %r and %r name the same file on Windows" % (seen[key][0], name))
        seen[key] = (name, folder)
        local = data[info.header_offset:info.header_offset + 30]
        if len(local) < 30 or local[:4] != LOCAL_SIGNATURE:
            raise PackRefused("the entry %r has no local header where the directory says" % name)
        method, = struct.unpack("<H", local[8:10])
        name_length, extra_length = struct.unpack("<HH", local[26:30])
        stored_name = data[info.header_offset + 30:info.header_offset + 30 + name_length]
        central_name = info.orig_filename.encode("utf-8" if info.flag_bits & 0x800 else "cp437")
        if method != info.compress_type or stored_name != central_name:
            raise PackRefused("the entry %r has a local header that differs from its directory record" % name)
        start = info.header_offset
        ranges.append((start, start + 30 + name_length + extra_length + info.compress_size))
    ranges.sort()
    for (a_start, a_end), (b_start, b_end) in zip(ranges, ranges[1:]):
        if a_end > a_start and b_end > b_start and b_start < a_end:
            raise PackRefused("entries that share bytes (an overlapping archive)")
    for info in infos:
        try:
            with archive.open(info) as entry:
                crc = 0
                while True:
                    piece = entry.read(1 << 16)
                    if not piece:
                        break
                    crc = zlib.crc32(piece, crc)
        except (zipfile.BadZipFile, zlib.error, EOFError, NotImplementedError) as e:
            raise PackRefused("the entry %r does not unpack: %s" % (decoded_name(info), e))

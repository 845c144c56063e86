#!/usr/bin/env python3
"""Prints what a Windows shortcut (.lnk, the Shell Link format) starts, one field a line:

    target=<the path it starts>
    arguments=<its command line arguments>
    working-folder=<the folder it starts in>

for the installer's check under Wine (scripts/wine-installer-check.sh). The target is the
local path of the link's LinkInfo; a link without one (only an item list) is refused, as the
check could not tell where it points. Exits 1 with the reason on a file it cannot read.
"""

import struct
import sys

HEADER_SIZE = 0x4C
LINK_CLSID = bytes.fromhex("0114020000000000c000000000000046")
HAS_ID_LIST, HAS_LINK_INFO, HAS_NAME, HAS_RELATIVE_PATH = 0x1, 0x2, 0x4, 0x8
HAS_WORKING_DIR, HAS_ARGUMENTS, IS_UNICODE = 0x10, 0x20, 0x80
VOLUME_ID_AND_LOCAL_BASE_PATH = 0x1


class BadLink(Exception):
    pass


def c_string(data, offset, wide):
    if wide:
        end = offset
        while data[end:end + 2] != b"\0\0":
            if end + 2 > len(data):
                raise BadLink("a path runs past the end of the link")
            end += 2
        return data[offset:end].decode("utf-16-le")
    end = data.find(b"\0", offset)
    if end < 0:
        raise BadLink("a path runs past the end of the link")
    return data[offset:end].decode("mbcs" if sys.platform == "win32" else "cp1252")


def read_link(data):
    if len(data) < HEADER_SIZE or struct.unpack_from("<I", data)[0] != HEADER_SIZE \
            or data[4:20] != LINK_CLSID:
        raise BadLink("not a Shell Link file")
    flags = struct.unpack_from("<I", data, 0x14)[0]
    at = HEADER_SIZE
    if flags & HAS_ID_LIST:
        at += 2 + struct.unpack_from("<H", data, at)[0]
    if not flags & HAS_LINK_INFO:
        raise BadLink("the link has no LinkInfo, so no path of its target")
    info = data[at:at + struct.unpack_from("<I", data, at)[0]]
    at += len(info)
    header_size, info_flags = struct.unpack_from("<II", info, 4)
    if not info_flags & VOLUME_ID_AND_LOCAL_BASE_PATH:
        raise BadLink("the link's target is not a local path")
    base_offset, _, suffix_offset = struct.unpack_from("<III", info, 16)
    if header_size >= 0x24:
        base_wide, suffix_wide = struct.unpack_from("<II", info, 28)
        target = c_string(info, base_wide, True) + c_string(info, suffix_wide, True)
    else:
        target = c_string(info, base_offset, False) + c_string(info, suffix_offset, False)

    strings = {}
    for flag in (HAS_NAME, HAS_RELATIVE_PATH, HAS_WORKING_DIR, HAS_ARGUMENTS):
        if flags & flag:
            count = struct.unpack_from("<H", data, at)[0]
            at += 2
            size = count * 2 if flags & IS_UNICODE else count
            raw = data[at:at + size]
            # Wine counts the terminating NUL in, which the format leaves out.
            text = raw.decode("utf-16-le" if flags & IS_UNICODE else "cp1252")
            strings[flag] = text.rstrip("\0")
            at += size
    return target, strings.get(HAS_ARGUMENTS, ""), strings.get(HAS_WORKING_DIR, "")


def main():
    if len(sys.argv) != 2:
        print("usage: read-lnk.py <file.lnk>", file=sys.stderr)
        return 2
    try:
        with open(sys.argv[1], "rb") as file:
            target, arguments, folder = read_link(file.read())
    except (OSError, BadLink, struct.error, UnicodeDecodeError) as error:
        print(f"read-lnk.py: {sys.argv[1]}: {error}", file=sys.stderr)
        return 1
    print(f"target={target}\narguments={arguments}\nworking-folder={folder}")
    return 0


if __name__ == "__main__":
    sys.exit(main())

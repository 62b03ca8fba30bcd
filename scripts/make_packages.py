#!/usr/bin/env python3
"""Builds the demo library packages: every folder PACKAGES/NAME/ becomes OUT/NAME.zip holding the
folder's content (one top-level folder named like the library).

A folder that holds a file named ".gbk-names" is packed the way archivers on Chinese Windows pack:
entry names in code page 936 and without the zip UTF-8 mark. Python's zipfile always writes
non-ASCII names as UTF-8, so those names are written by hand here.

Usage: make_packages.py PACKAGES OUT
"""
import os
import sys
import time
import zipfile

GBK_MARKER = ".gbk-names"


class GbkZipInfo(zipfile.ZipInfo):
    """An entry whose name is stored in code page 936, without the UTF-8 flag."""

    def _encodeFilenameFlags(self):  # noqa: N802 (zipfile's own name)
        return self.filename.encode("gbk"), self.flag_bits & ~0x800


def stamp(path):
    return time.localtime(max(os.path.getmtime(path), 315532800))[:6]


def pack(folder, target):
    gbk = os.path.exists(os.path.join(folder, GBK_MARKER))
    tmp = target + ".part"
    with zipfile.ZipFile(tmp, "w", zipfile.ZIP_DEFLATED) as z:
        for root, dirs, files in os.walk(folder):
            dirs.sort()
            rel_root = os.path.relpath(root, folder)
            if rel_root != ".":
                name = rel_root.replace(os.sep, "/") + "/"
                info = (GbkZipInfo if gbk else zipfile.ZipInfo)(name)
                info.external_attr = (0o40755 << 16) | 0x10
                info.date_time = stamp(root)
                z.writestr(info, b"")
            for f in sorted(files):
                if f == GBK_MARKER:
                    continue
                path = os.path.join(root, f)
                name = os.path.relpath(path, folder).replace(os.sep, "/")
                info = (GbkZipInfo if gbk else zipfile.ZipInfo)(name)
                info.external_attr = 0o100644 << 16
                info.date_time = stamp(path)
                info.compress_type = zipfile.ZIP_DEFLATED
                with open(path, "rb") as fh:
                    z.writestr(info, fh.read())
    os.replace(tmp, target)


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    src, out = sys.argv[1], sys.argv[2]
    os.makedirs(out, exist_ok=True)
    for name in sorted(os.listdir(src)):
        folder = os.path.join(src, name)
        if os.path.isdir(folder):
            pack(folder, os.path.join(out, name + ".zip"))


if __name__ == "__main__":
    main()

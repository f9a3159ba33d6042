#!/usr/bin/env python3
"""Packs the skin: layouts and images side by side at the top of one deflated zip archive.

Usage: pack_skin.py OUT.zip FILE...
Entries keep their file names; a fixed time stamp keeps the archive identical from build to
build.
"""
import os
import sys
import zipfile


def main():
    out, files = sys.argv[1], sys.argv[2:]
    tmp = out + ".tmp"
    with zipfile.ZipFile(tmp, "w", zipfile.ZIP_DEFLATED, compresslevel=9) as z:
        for path in files:
            info = zipfile.ZipInfo(os.path.basename(path), date_time=(2020, 1, 1, 0, 0, 0))
            info.compress_type = zipfile.ZIP_DEFLATED
            info.external_attr = 0o644 << 16
            with open(path, "rb") as f:
                z.writestr(info, f.read())
    os.replace(tmp, out)


if __name__ == "__main__":
    main()

#!/usr/bin/env python3
"""Packs the zip that goes to users: the programs (tarrow.exe and tarrow64.exe) and
README.TXT, the text with CR LF line ends so that Notepad shows its lines."""
import argparse
import os
import sys
import time
import zipfile


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--exe", required=True, action="append",
                        help="a built program, packed under its own file name; may be given"
                             " more than once, and the programs are packed in that order")
    parser.add_argument("--readme", required=True, help="the README.TXT kept with LF line ends")
    parser.add_argument("--out", required=True, help="the zip to write")
    args = parser.parse_args()

    with open(args.readme, "rb") as f:
        text = f.read().replace(b"\r\n", b"\n").replace(b"\n", b"\r\n")
    readme = zipfile.ZipInfo("README.TXT", time.localtime(os.path.getmtime(args.readme))[:6])
    readme.compress_type = zipfile.ZIP_DEFLATED
    readme.external_attr = 0o644 << 16
    os.makedirs(os.path.dirname(os.path.abspath(args.out)), exist_ok=True)
    with zipfile.ZipFile(args.out, "w", zipfile.ZIP_DEFLATED) as archive:
        for exe in args.exe:
            archive.write(exe, os.path.basename(exe))
        archive.writestr(readme, text)
    print(args.out)
    return 0


if __name__ == "__main__":
    sys.exit(main())

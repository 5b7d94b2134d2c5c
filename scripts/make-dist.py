#!/usr/bin/env python3
"""Packs the zip that goes to users: the programs (tarrow.exe and tarrow64.exe) and
README.TXT, the text with CR LF line ends so that Notepad shows its lines.

The zip is the same byte for byte for the same programs and text, wherever and whenever it
is made: every member is dated with one source date (SOURCE_DATE_EPOCH when set, else the
time of the source tree's last commit, else a fixed date), in UTC, with the same mode, the
same compression and in the same order. Prints the zip's path, the source date, and the
SHA-256 of the zip and of each program in sha256sum's form, for `sha256sum -c`."""
import argparse
import hashlib
import os
import subprocess
import sys
import time
import zipfile

SOURCE = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
FALLBACK_DATE = 1767225600  # 2026-01-01 00:00:00 UTC, where no commit dates the tree
ZIP_FIRST_DATE = 315532800  # 1980-01-01 00:00:00 UTC, the earliest date a zip holds
ZIP_LAST_DATE = (2107, 12, 31, 23, 59, 58)


def source_date(environ=os.environ):
    """The Unix time the members are dated with, and where it came from."""
    given = environ.get("SOURCE_DATE_EPOCH", "").strip()
    if given:
        if not given.isdigit():
            raise SystemExit("SOURCE_DATE_EPOCH is %r, not a decimal Unix time" % given)
        return int(given), "SOURCE_DATE_EPOCH"
    try:
        commit = subprocess.run(["git", "-C", SOURCE, "log", "-1", "--format=%ct"],
                                capture_output=True, text=True, timeout=60)
        if commit.returncode == 0 and commit.stdout.strip().isdigit():
            return int(commit.stdout.strip()), "commit"
    except (OSError, subprocess.SubprocessError):
        pass
    return FALLBACK_DATE, "fixed, no git checkout"


def zip_date(seconds):
    """A Unix time as a zip member's date: UTC, within the years a zip holds, and to the
    even second, as the zip stores it."""
    if seconds < ZIP_FIRST_DATE:
        return (1980, 1, 1, 0, 0, 0)
    date = time.gmtime(seconds)[:6]
    if date > ZIP_LAST_DATE:
        return ZIP_LAST_DATE
    return date[:5] + (date[5] - date[5] % 2,)


def member(name, date):
    """A member with nothing of the file it comes from: the one date, mode rw-r--r--."""
    info = zipfile.ZipInfo(name, date)
    info.compress_type = zipfile.ZIP_DEFLATED
    info.create_system = 3  # Unix, so that the mode in external_attr reads as one
    info.external_attr = 0o644 << 16
    return info


def sha256_line(path):
    with open(path, "rb") as f:
        return "%s  %s" % (hashlib.sha256(f.read()).hexdigest(), os.path.basename(path))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--exe", required=True, action="append",
                        help="a built program, packed under its own file name; may be given"
                             " more than once, and the programs are packed in that order")
    parser.add_argument("--readme", required=True, help="the README.TXT kept with LF line ends")
    parser.add_argument("--out", required=True, help="the zip to write")
    args = parser.parse_args()

    seconds, origin = source_date()
    date = zip_date(seconds)
    with open(args.readme, "rb") as f:
        text = f.read().replace(b"\r\n", b"\n").replace(b"\n", b"\r\n")
    os.makedirs(os.path.dirname(os.path.abspath(args.out)), exist_ok=True)
    with zipfile.ZipFile(args.out, "w", zipfile.ZIP_DEFLATED) as archive:
        for exe in args.exe:
            with open(exe, "rb") as f:
                archive.writestr(member(os.path.basename(exe), date), f.read())
        archive.writestr(member("README.TXT", date), text)
    print(args.out)
    print("source date: %s UTC (%s)" % (time.strftime("%Y-%m-%d %H:%M:%S", time.gmtime(seconds)),
                                        origin))
    for path in [args.out] + args.exe:
        print(sha256_line(path))
    return 0


if __name__ == "__main__":
    sys.exit(main())

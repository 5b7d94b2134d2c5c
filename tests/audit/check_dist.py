#!/usr/bin/env python3
"""Checks the users' zip: made with scripts/make-dist.py into a temporary folder, or with
--zip one already made. Each program byte for byte the built one under its own file name,
in the order given, then README.TXT, the kept text in plain ASCII with CR LF line ends only,
as Notepad on Windows 95 needs them, every member with the one date. Made here, the zip is
made twice, from copies of the inputs with other file times and modes, in folders of other
names and in other time zones, and must come out the same byte for byte, dated with
SOURCE_DATE_EPOCH, with the checksums printed right."""
import argparse
import hashlib
import os
import shutil
import subprocess
import sys
import tempfile
import zipfile

SOURCE_DATE = 1781302951  # 2026-06-12 22:22:31 UTC: an odd second, late in a UTC day
SOURCE_DATE_IN_ZIP = (2026, 6, 12, 22, 22, 30)  # a zip keeps even seconds
# Each run of make-dist.py: its folder, the inputs' file times and mode, its time zone
# (POSIX form, needing no zone files; 5:30 ahead of UTC takes the date into the next day).
RUNS = [("first", 1000000000, 0o644, "UTC0"), ("second run", 1700000001, 0o755, "IST-5:30")]


def check(zip_path, exes, readme, date=None):
    findings = []
    expected = [os.path.basename(exe) for exe in exes] + ["README.TXT"]
    with zipfile.ZipFile(zip_path) as archive:
        names = archive.namelist()
        if names != expected:
            return ["zip holds %r, expected %r" % (names, expected)]
        if archive.testzip() is not None:
            findings.append("zip member %s is damaged" % archive.testzip())
        packed = {name: archive.read(name) for name in names}
        infos = archive.infolist()
    dates = {info.date_time for info in infos}
    if len(dates) != 1 or date and dates != {date}:
        findings.append("members dated %s, expected one date%s"
                        % (sorted(dates), " %s" % (date,) if date else ""))
    for exe in exes:
        name = os.path.basename(exe)
        if packed[name] != open(exe, "rb").read():
            findings.append("%s in the zip differs from the built one" % name)
    text = packed["README.TXT"]
    if text.count(b"\n") != text.count(b"\r\n") or text.count(b"\r") != text.count(b"\r\n"):
        findings.append("README.TXT has line ends other than CR LF")
    if not text.endswith(b"\r\n"):
        findings.append("README.TXT does not end with a line end")
    if any(byte > 0x7E or (byte < 0x20 and byte not in b"\r\n") for byte in text):
        findings.append("README.TXT holds characters outside plain ASCII")
    if text.replace(b"\r\n", b"\n") != open(readme, "rb").read().replace(b"\r\n", b"\n"):
        findings.append("README.TXT in the zip is not the kept text")
    return findings


def make_twice(make_dist, exes, readme, folder):
    """Makes the zip once per run in RUNS, from copies of the inputs; returns the first zip
    and the findings: the zips differ, or a run does not print the right checksums."""
    zips, findings = [], []
    for name, mtime, mode, zone in RUNS:
        inputs = os.path.join(folder, name)
        os.makedirs(inputs)
        copies = [shutil.copy(exe, inputs) for exe in exes]
        kept = shutil.copy(readme, os.path.join(inputs, "README.TXT"))
        for path in copies + [kept]:
            os.utime(path, (mtime, mtime))
            os.chmod(path, mode)
        zips.append(os.path.join(inputs, "tarrow-1.0.zip"))
        command = [sys.executable, make_dist, "--readme", kept, "--out", zips[-1]]
        command += [arg for exe in copies for arg in ("--exe", exe)]
        printed = subprocess.run(command, check=True, stdout=subprocess.PIPE, text=True,
                                 env=dict(os.environ, SOURCE_DATE_EPOCH=str(SOURCE_DATE),
                                          TZ=zone)).stdout.splitlines()
        for path in [zips[-1]] + copies:
            line = "%s  %s" % (hashlib.sha256(open(path, "rb").read()).hexdigest(),
                               os.path.basename(path))
            if line not in printed:
                findings.append("make-dist.py does not print %r" % line)
    if open(zips[0], "rb").read() != open(zips[1], "rb").read():
        findings.append("the zip differs between runs (in folder, file times, modes or time "
                        "zone)")
    return zips[0], findings


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    source = parser.add_mutually_exclusive_group(required=True)
    source.add_argument("--make-dist", help="scripts/make-dist.py, to make the zip with")
    source.add_argument("--zip", help="a zip already made")
    parser.add_argument("--exe", required=True, action="append",
                        help="a built program the zip must carry; may be given more than once")
    parser.add_argument("--readme", required=True)
    args = parser.parse_args()
    if args.zip:
        findings = check(args.zip, args.exe, args.readme)
    else:
        with tempfile.TemporaryDirectory() as folder:
            zip_path, findings = make_twice(args.make_dist, args.exe, args.readme, folder)
            findings += check(zip_path, args.exe, args.readme, SOURCE_DATE_IN_ZIP)
    for finding in findings:
        print("FAIL: " + finding)
    print("Distribution check failed." if findings else "Distribution check passed.")
    return 1 if findings else 0


if __name__ == "__main__":
    sys.exit(main())

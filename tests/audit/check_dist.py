#!/usr/bin/env python3
"""Checks the users' zip: made with scripts/make-dist.py into a temporary folder, or with
--zip one already made. Each program byte for byte the built one under its own file name,
in the order given, then README.TXT, the kept text in plain ASCII with CR LF line ends only,
as Notepad on Windows 95 needs them."""
import argparse
import os
import subprocess
import sys
import tempfile
import zipfile


def check(zip_path, exes, readme):
    findings = []
    expected = [os.path.basename(exe) for exe in exes] + ["README.TXT"]
    with zipfile.ZipFile(zip_path) as archive:
        names = archive.namelist()
        if names != expected:
            return ["zip holds %r, expected %r" % (names, expected)]
        if archive.testzip() is not None:
            findings.append("zip member %s is damaged" % archive.testzip())
        packed = {name: archive.read(name) for name in names}
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
            zip_path = os.path.join(folder, "tarrow-1.0.zip")
            command = [sys.executable, args.make_dist, "--readme", args.readme,
                       "--out", zip_path]
            for exe in args.exe:
                command += ["--exe", exe]
            subprocess.run(command, check=True)
            findings = check(zip_path, args.exe, args.readme)
    for finding in findings:
        print("FAIL: " + finding)
    print("Distribution check failed." if findings else "Distribution check passed.")
    return 1 if findings else 0


if __name__ == "__main__":
    sys.exit(main())

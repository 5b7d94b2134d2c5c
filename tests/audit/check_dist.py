#!/usr/bin/env python3
"""Makes the users' zip with scripts/make-dist.py into a temporary folder and checks it:
tarrow.exe byte for byte the built one, and README.TXT the kept text in plain ASCII with
CR LF line ends only, as Notepad on Windows 95 needs them."""
import argparse
import os
import subprocess
import sys
import tempfile
import zipfile


def check(zip_path, exe, readme):
    findings = []
    with zipfile.ZipFile(zip_path) as archive:
        names = archive.namelist()
        if names != ["tarrow.exe", "README.TXT"]:
            return ["zip holds %r, expected tarrow.exe and README.TXT" % names]
        if archive.testzip() is not None:
            findings.append("zip member %s is damaged" % archive.testzip())
        packed_exe, text = archive.read("tarrow.exe"), archive.read("README.TXT")
    if packed_exe != open(exe, "rb").read():
        findings.append("tarrow.exe in the zip differs from the built one")
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
    parser.add_argument("--make-dist", required=True, help="scripts/make-dist.py")
    parser.add_argument("--exe", required=True)
    parser.add_argument("--readme", required=True)
    args = parser.parse_args()
    with tempfile.TemporaryDirectory() as folder:
        zip_path = os.path.join(folder, "tarrow-1.0.zip")
        subprocess.run([sys.executable, args.make_dist, "--exe", args.exe,
                        "--readme", args.readme, "--out", zip_path], check=True)
        findings = check(zip_path, args.exe, args.readme)
    for finding in findings:
        print("FAIL: " + finding)
    print("Distribution check failed." if findings else "Distribution check passed.")
    return 1 if findings else 0


if __name__ == "__main__":
    sys.exit(main())

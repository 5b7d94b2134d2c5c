#!/usr/bin/env python3
"""Checks the resources that tell today's Windows what a program is, read back out of the
built file with windres: the manifest and the version information.

The manifest (type 24, id 1) must be well-formed, carry an assemblyIdentity (Windows XP's
loader wants one), declare each Windows version Tarrow knows, hold nothing in the asm.v1
namespace that Windows XP does not know (XP then refuses to start the program), ask for no
execution level and depend on no Common Controls 6.

With --expect-rejection the check must fail, and with each of the given findings.
"""
import argparse
import os
import struct
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ElementTree

RT_MANIFEST = 24
ASM_V1 = "{urn:schemas-microsoft-com:asm.v1}"
COMPATIBILITY_V1 = "{urn:schemas-microsoft-com:compatibility.v1}"
# What Windows XP accepts in the asm.v1 namespace of an application manifest, as far as
# this program needs it.
XP_ASM_V1_ELEMENTS = {"assembly", "assemblyIdentity", "dependency", "dependentAssembly", "file",
                      "noInherit", "noInheritable"}
SUPPORTED_OS = [
    ("Windows Vista", "{e2011457-1546-43c5-a5fe-008deee3d3f0}"),
    ("Windows 7", "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}"),
    ("Windows 8", "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}"),
    ("Windows 8.1", "{1f676c76-80e1-4239-95bb-83d0f6d0da78}"),
    ("Windows 10 and 11", "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"),
]


def read_resources(exe, windres):
    """Returns {(type, name): data}, type and name an int or a string, from windres's .res."""
    with tempfile.TemporaryDirectory() as folder:
        res_path = os.path.join(folder, "resources.res")
        subprocess.run([windres, "-i", exe, "-O", "res", "-o", res_path], check=True)
        data = open(res_path, "rb").read()
    resources = {}
    offset = 0
    while offset + 8 <= len(data):
        data_size, header_size = struct.unpack_from("<II", data, offset)
        pos = offset + 8
        kind, pos = read_name_or_ordinal(data, pos)
        name, pos = read_name_or_ordinal(data, pos)
        start = offset + header_size
        resources[(kind, name)] = data[start:start + data_size]
        offset = align4(start + data_size)
    return resources


def read_name_or_ordinal(data, pos):
    if struct.unpack_from("<H", data, pos)[0] == 0xFFFF:
        return struct.unpack_from("<H", data, pos + 2)[0], pos + 4
    text, pos = read_utf16z(data, pos)
    return text, align4(pos)


def read_utf16z(data, pos):
    end = pos
    while data[end:end + 2] != b"\0\0":
        end += 2
    return data[pos:end].decode("utf-16-le"), end + 2


def align4(value):
    return (value + 3) & ~3


def audit_manifest(resources):
    data = resources.get((RT_MANIFEST, 1))
    if data is None:
        return ["no manifest (resource type 24, id 1)"]
    text = data.decode("utf-8", errors="replace")
    print("Manifest (%d bytes):\n%s" % (len(data), text.rstrip()))
    try:
        root = ElementTree.fromstring(data)
    except ElementTree.ParseError as error:
        return ["manifest is not well-formed XML: %s" % error]
    findings = []
    if root.tag != ASM_V1 + "assembly" or root.get("manifestVersion") != "1.0":
        findings.append("manifest root is not an asm.v1 assembly of manifestVersion 1.0")
    identity = root.find(ASM_V1 + "assemblyIdentity")
    if identity is None or identity.get("type") != "win32" or not identity.get("name"):
        findings.append("manifest has no win32 assemblyIdentity")
    for element in root.iter():
        namespace, _, local = element.tag.rpartition("}")
        if namespace + "}" == ASM_V1 and local not in XP_ASM_V1_ELEMENTS:
            findings.append("%s in the asm.v1 namespace: Windows XP refuses the program" % local)
        if local in ("trustInfo", "requestedExecutionLevel"):
            findings.append("manifest asks for an execution level (%s): Windows would stop "
                            "redirecting the program's writes" % local)
    if "microsoft.windows.common-controls" in text.lower():
        findings.append("manifest depends on Common Controls 6: the classic look would go")
    path = "%scompatibility/%sapplication/%ssupportedOS" % ((COMPATIBILITY_V1,) * 3)
    declared = {element.get("Id", "").lower() for element in root.findall(path)}
    for name, guid in SUPPORTED_OS:
        if guid not in declared:
            findings.append("manifest does not declare %s %s" % (name, guid))
    for guid in sorted(declared - {guid for _, guid in SUPPORTED_OS}):
        findings.append("manifest declares an unknown supportedOS %s" % guid)
    return findings


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("exe")
    parser.add_argument("--windres", default="i686-w64-mingw32-windres")
    parser.add_argument("--expect-rejection", nargs="+", metavar="FINDING",
                        help="pass only if the check fails with each of these findings")
    args = parser.parse_args()

    resources = read_resources(args.exe, args.windres)
    findings = audit_manifest(resources)
    for finding in findings:
        print("FAIL: " + finding)

    if args.expect_rejection:
        missing = [want for want in args.expect_rejection
                   if not any(want in finding for finding in findings)]
        if missing:
            print("The check did not report: " + ", ".join(missing))
            return 1
        print("Rejected as expected (%d findings)." % len(findings))
        return 0
    if findings:
        print("Resource check failed: %d findings." % len(findings))
        return 1
    print("Resource check passed.")
    return 0


if __name__ == "__main__":
    sys.exit(main())

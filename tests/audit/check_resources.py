#!/usr/bin/env python3
"""Checks the resources that tell today's Windows what a program is, read back out of the
built file with windres: the manifest and the version information.

The manifest (type 24, id 1) must be well-formed, carry an assemblyIdentity (Windows XP's
loader wants one), declare each Windows version Tarrow knows, hold nothing in the asm.v1
namespace that Windows XP does not know (XP then refuses to start the program), ask for no
execution level, depend on no Common Controls 6 and declare system DPI awareness, not
per-monitor awareness. The version information (type 16, id 1) must name a Windows
application of version 1.0 and carry the strings the file's Properties show, in the US
English, Windows Latin 1 table.

--architecture names the program's processor: x86 for tarrow.exe, amd64 for tarrow64.exe.
The assemblyIdentity must name it, and the version information the program's own file name.

With --manifest the file given is a manifest to check on its own. With --expect-rejection
the check must fail, and with each of the given findings.
"""
import argparse
import os
import struct
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ElementTree

RT_VERSION = 16
RT_MANIFEST = 24
ASM_V1 = "{urn:schemas-microsoft-com:asm.v1}"
COMPATIBILITY_V1 = "{urn:schemas-microsoft-com:compatibility.v1}"
ASM_V3 = "{urn:schemas-microsoft-com:asm.v3}"
WINDOWS_SETTINGS_2005 = "{http://schemas.microsoft.com/SMI/2005/WindowsSettings}"
# Where Windows Vista and later look for dpiAware; they read no dpiAware anywhere else.
DPI_AWARE_PATH = "%sapplication/%swindowsSettings/%sdpiAware" % (ASM_V3, ASM_V3,
                                                                WINDOWS_SETTINGS_2005)
PER_MONITOR_DPI_AWARE = ("true/pm", "per monitor")
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

VS_FIXEDFILEINFO_SIGNATURE = 0xFEEF04BD
VOS__WINDOWS32 = 0x4
VFT_APP = 0x1
VERSION = (1, 0, 0, 0)
STRING_TABLE = "040904E4"
TRANSLATION = (0x0409, 1252)
VERSION_STRINGS = {
    "CompanyName": "Tarrow Diagnostics",
    "FileDescription": "Tarrow system inventory for support",
    "FileVersion": "1.0",
    "InternalName": "tarrow",
    "LegalCopyright": "Copyright (C) 2026 Tarrow Diagnostics",
    "OriginalFilename": None,  # the architecture's file name, below
    "ProductName": "Tarrow",
    "ProductVersion": "1.0",
}
# The program's file name by the processorArchitecture of its manifest.
FILE_NAMES = {"x86": "tarrow.exe", "amd64": "tarrow64.exe"}


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


def read_version_block(data, offset):
    """One block of a version resource: returns (key, value bytes, children, end)."""
    length, value_length, value_type = struct.unpack_from("<HHH", data, offset)
    end = offset + length
    key, pos = read_utf16z(data, offset + 6)
    pos = align4(pos)
    value_size = value_length * 2 if value_type == 1 else value_length  # text counts WCHARs
    value = data[pos:pos + value_size]
    pos = align4(pos + value_size)
    children = {}
    while pos < end:
        child_key, child_value, grandchildren, child_end = read_version_block(data, pos)
        if child_end <= pos:
            break  # a block of no length: the rest cannot be read
        children[child_key.upper()] = (child_value, grandchildren)
        pos = align4(child_end)
    return key, value, children, end


def version_text(value):
    return value.decode("utf-16-le").rstrip("\0")


def audit_version(resources, architecture):
    data = resources.get((RT_VERSION, 1))
    if data is None:
        return ["no version information (resource type 16, id 1)"]
    findings = []
    key, fixed, children, _ = read_version_block(data, 0)
    fields = struct.unpack_from("<13I", fixed) if len(fixed) >= 52 else None
    if key != "VS_VERSION_INFO" or not fields or fields[0] != VS_FIXEDFILEINFO_SIGNATURE:
        return ["version information has no fixed file information"]
    versions = {"file": fields[2:4], "product": fields[4:6]}
    for name, (high, low) in versions.items():
        got = (high >> 16, high & 0xFFFF, low >> 16, low & 0xFFFF)
        print("Fixed %s version: %d.%d.%d.%d" % ((name,) + got))
        if got != VERSION:
            findings.append("fixed %s version %d.%d.%d.%d, expected %d.%d.%d.%d" %
                            ((name,) + got + VERSION))
    if (fields[8], fields[9]) != (VOS__WINDOWS32, VFT_APP):
        findings.append("file OS 0x%x and type 0x%x: expected VOS__WINDOWS32 and VFT_APP" %
                        (fields[8], fields[9]))
    tables = children.get("STRINGFILEINFO", (b"", {}))[1]
    strings = {name: version_text(value)
               for name, (value, _) in tables.get(STRING_TABLE, (b"", {}))[1].items()}
    for name, want in VERSION_STRINGS.items():
        want = want or FILE_NAMES[architecture]
        got = strings.get(name.upper())
        print("%s: %r" % (name, got))
        if got != want:
            findings.append("version string %s in table %s: expected %r, got %r" %
                            (name, STRING_TABLE, want, got))
    translation = children.get("VARFILEINFO", (b"", {}))[1].get("TRANSLATION", (b"",))[0]
    got = struct.unpack("<HH", translation) if len(translation) == 4 else None
    if got != TRANSLATION:
        findings.append("translation %s, expected language 0x%04x, code page %d" %
                        (((got and "0x%04x, %d" % got),) + TRANSLATION))
    return findings


def audit_dpi_awareness(root):
    """System awareness: Windows then gives the program the screen's own pixels. Per-monitor
    awareness would promise that the window rescales itself on WM_DPICHANGED, which it does
    not."""
    findings = []
    declared = root.findall(DPI_AWARE_PATH)
    for element in root.iter():
        local = element.tag.rpartition("}")[2]
        if local == "dpiAware" and not any(element is found for found in declared):
            findings.append("%s where Windows does not read it: dpiAware belongs in an asm.v3 "
                            "application/windowsSettings, in the 2005 WindowsSettings namespace"
                            % element.tag)
        if local == "dpiAwareness":
            findings.append("manifest has a dpiAwareness element (%r): Windows 10 1607 and later "
                            "read it instead of dpiAware, which alone declares system awareness"
                            % (element.text or "").strip())
    for element in declared:
        value = (element.text or "").strip()
        if value.lower() in PER_MONITOR_DPI_AWARE:
            findings.append("manifest declares per-monitor DPI awareness (dpiAware %r): the "
                            "window does not handle WM_DPICHANGED" % value)
        elif value != "true":
            findings.append("dpiAware %r, expected 'true' (system DPI awareness)" % value)
    if not declared:
        findings.append("manifest declares no system DPI awareness (dpiAware true): Windows 8.1 "
                        "and later would scale its screen metrics, 1920 x 1080 at 150 % "
                        "reading 1280 x 720")
    return findings


def audit_manifest(resources, architecture):
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
    elif identity.get("processorArchitecture") != architecture:
        findings.append("assemblyIdentity names processorArchitecture %r, expected %r" %
                        (identity.get("processorArchitecture"), architecture))
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
    return findings + audit_dpi_awareness(root)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("file", help="the built program, or with --manifest a manifest file")
    parser.add_argument("--windres", default="i686-w64-mingw32-windres")
    parser.add_argument("--architecture", choices=sorted(FILE_NAMES), default="x86")
    parser.add_argument("--manifest", action="store_true",
                        help="the file is a manifest: check it alone, without windres")
    parser.add_argument("--expect-rejection", nargs="+", metavar="FINDING",
                        help="pass only if the check fails with each of these findings")
    args = parser.parse_args()

    if args.manifest:
        findings = audit_manifest({(RT_MANIFEST, 1): open(args.file, "rb").read()},
                                  args.architecture)
    else:
        resources = read_resources(args.file, args.windres)
        findings = (audit_manifest(resources, args.architecture) +
                    audit_version(resources, args.architecture))
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

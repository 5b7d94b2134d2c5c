#!/usr/bin/env python3
"""Audit of a Windows program for the oldest target: the first Windows 95 on a 486.

Lists the program's imports and fails on a DLL or function outside the allow-list, on a PE
OS or subsystem version above 4.0, on a TLS directory, on a file or section alignment below
512 bytes or a page, on a file larger than the limit, and on any instruction newer than the
Pentium. The guarded processor instructions
(CPUID, RDTSC, EMMS) and the privileged ones of the interval-timer and Cyrix code (IN, OUT,
CLI, STI, ...) are allowed only in code the linker's map file attributes to the processor
library (libtarrow_cpu.a) or to objects built from cpu/.

With --expect-rejection the audit must fail, and with each of the given findings: that is
how the test tree proves the audit can fail.
"""
import argparse
import bisect
import re
import subprocess
import sys

# Instructions a 486 or a Pentium (without MMX) does not have: P6 conditional moves and
# compares, MMX/SSE and later (caught by their registers, below), and the rest by name.
NEWER_MNEMONIC = re.compile(
    r"^(cmov\w*|fcmov\w*|fcomip?|fucomip?|sysenter|sysexit|rdpmc|ud2\w*|fxsave\w*|"
    r"fxrstor\w*|ldmxcsr|stmxcsr|prefetch\w*|movnti|clflush\w*|lfence|mfence|sfence|"
    r"popcnt|lzcnt|tzcnt|movbe|crc32\w*|fisttp\w*|monitor|mwait|xgetbv|rdrand|rdseed|"
    r"rdtscp|femms)$")
NEWER_REGISTER = re.compile(r"%(x|y|z)mm\d+|%mm\d")
# Allowed only in the processor code, where each runs under an exception guard.
GUARDED_MNEMONIC = re.compile(r"^(cpuid|rdtsc|emms)$")
PRIVILEGED_MNEMONIC = re.compile(r"^(in|out|ins|outs)[bwl]?$|^(cli|sti|hlt|rdmsr|wrmsr)$")
PROCESSOR_CODE = re.compile(r"libtarrow_cpu\.a\(|[/\\]cpu[/\\]")

# objdump -d --no-show-raw-insn: "  401000:\tpush   %ebp"
INSTRUCTION_LINE = re.compile(r"^\s*([0-9a-f]+):\t(\S+)\s*(.*)$")


def run(command):
    return subprocess.run(command, check=True, capture_output=True, text=True).stdout


def read_allow_list(path):
    """Returns {dll (lower case): set of function names}."""
    allowed = {}
    current = None
    with open(path) as handle:
        for raw in handle:
            line = raw.split("#", 1)[0].strip()
            if not line:
                continue
            if line.startswith("[") and line.endswith("]"):
                current = allowed.setdefault(line[1:-1].lower(), set())
            elif current is None:
                raise SystemExit(f"{path}: function outside a [DLL] section: {line}")
            else:
                current.add(line.split()[0])
    return allowed


def read_imports(private_headers):
    """Returns [(dll, name)], name None for an import by ordinal."""
    imports = []
    dll = None
    in_table = False
    for line in private_headers.splitlines():
        match = re.match(r"^\s*DLL Name: (\S+)", line)
        if match:
            dll = match.group(1)
            in_table = False
            continue
        if dll and "Hint/Ord" in line:
            in_table = True
            continue
        if in_table:
            fields = line.split()
            if not fields:
                in_table = False
                dll = None
            elif len(fields) >= 3 and re.fullmatch(r"[0-9a-f]+", fields[0]):
                imports.append((dll, fields[2]))
            elif len(fields) >= 2 and re.fullmatch(r"[0-9a-f]+", fields[0]):
                imports.append((dll, None if fields[1] == "<none>" else fields[1]))
    return imports


def read_header_fields(private_headers):
    fields = {}
    for line in private_headers.splitlines():
        match = re.match(r"^(\w+)\s+([0-9a-fA-F]+)", line)
        if match:
            fields.setdefault(match.group(1), match.group(2))
        match = re.match(r"^Entry 9 ([0-9a-f]+) ([0-9a-f]+) Thread Storage", line)
        if match:
            fields["TlsDirectory"] = int(match.group(1), 16) or int(match.group(2), 16)
    return fields


def read_code_ranges(map_path):
    """Returns sorted [(start, end, object)] for every .text input section in the map."""
    ranges = []
    pending = None
    with open(map_path, errors="replace") as handle:
        for line in handle:
            match = re.match(r"^ (\.text\S*)\s*$", line)
            if match:
                pending = match.group(1)  # a long section name: the rest is on the next line
                continue
            if pending:
                match = re.match(r"^\s+0x([0-9a-f]+)\s+0x([0-9a-f]+)\s+(\S.*)$", line)
                pending = None
            else:
                match = re.match(r"^ \.text\S*\s+0x([0-9a-f]+)\s+0x([0-9a-f]+)\s+(\S.*)$", line)
            if match:
                start, size = int(match.group(1), 16), int(match.group(2), 16)
                if start and size:
                    ranges.append((start, start + size, match.group(3).strip()))
    ranges.sort()
    return ranges


def owner_of(address, ranges, starts):
    index = bisect.bisect_right(starts, address) - 1
    if index >= 0 and ranges[index][0] <= address < ranges[index][1]:
        return ranges[index][2]
    return "unknown code"


def audit_instructions(disassembly, ranges):
    starts = [start for start, _, _ in ranges]
    findings = []
    for line in disassembly.splitlines():
        match = INSTRUCTION_LINE.match(line)
        if not match:
            continue
        address, mnemonic, operands = int(match.group(1), 16), match.group(2), match.group(3)
        if mnemonic in ("rep", "repz", "repnz", "lock", "data16", "addr16") and operands:
            mnemonic, _, operands = operands.partition(" ")
        where = lambda: owner_of(address, ranges, starts)
        if NEWER_MNEMONIC.match(mnemonic) or (NEWER_REGISTER.search(operands)
                                              and mnemonic != "emms"):
            findings.append(f"instruction newer than the Pentium: {mnemonic} {operands}"
                            f" at 0x{address:x} in {where()}")
        elif GUARDED_MNEMONIC.match(mnemonic) or PRIVILEGED_MNEMONIC.match(mnemonic):
            if not PROCESSOR_CODE.search(where()):
                findings.append(f"{mnemonic} outside the processor code at 0x{address:x}"
                                f" in {where()}")
    return findings


def audit(args):
    findings = []
    headers = run([args.objdump, "-p", args.exe])

    size = len(open(args.exe, "rb").read())
    print(f"{args.exe}: {size} bytes (limit {args.max_size})")
    if size > args.max_size:
        findings.append(f"size {size} bytes is above the limit of {args.max_size} bytes")

    fields = read_header_fields(headers)
    for kind in ("OSystem", "Subsystem"):
        major = int(fields.get(f"Major{kind}Version", "0"), 16)
        minor = int(fields.get(f"Minor{kind}Version", "0"), 16)
        print(f"PE {kind} version: {major}.{minor}")
        if (major, minor) > (4, 0):
            findings.append(f"PE {kind} version {major}.{minor} is above 4.0")
    # The Windows 95 loader maps sections in whole disk sectors and pages.
    file_alignment = int(fields.get("FileAlignment", "0"), 16)
    section_alignment = int(fields.get("SectionAlignment", "0"), 16)
    if file_alignment < 0x200 or section_alignment < 0x1000:
        findings.append(f"alignment below the Windows 95 loader's: file 0x{file_alignment:x},"
                        f" sections 0x{section_alignment:x}")
    if fields.get("TlsDirectory"):
        findings.append("TLS directory present: the first Windows 95 does not run its callbacks")

    allowed = read_allow_list(args.allowed)
    imports = read_imports(headers)
    print(f"Imports ({len(imports)}):")
    unknown_dlls = set()
    for dll, name in imports:
        print(f"  {dll}: {name or '(by ordinal)'}")
        names = allowed.get(dll.lower())
        if names is None:
            if dll.lower() not in unknown_dlls:
                findings.append(f"DLL not in the allow-list: {dll}")
                unknown_dlls.add(dll.lower())
        elif name is None:
            findings.append(f"import by ordinal from {dll}")
        elif name not in names:
            findings.append(f"function not in the allow-list: {dll}!{name}")

    ranges = read_code_ranges(args.map) if args.map else []
    disassembly = run([args.objdump, "-d", "--no-show-raw-insn", args.exe])
    findings += audit_instructions(disassembly, ranges)
    return findings


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("exe")
    parser.add_argument("--objdump", default="i686-w64-mingw32-objdump")
    parser.add_argument("--allowed", required=True, help="allow-list of DLLs and functions")
    parser.add_argument("--map", help="the linker's map file, to place guarded instructions")
    parser.add_argument("--max-size", type=int, default=96 * 1024)
    parser.add_argument("--expect-rejection", nargs="+", metavar="FINDING",
                        help="pass only if the audit fails with each of these findings")
    args = parser.parse_args()

    findings = audit(args)
    # Many hits of one kind (a whole C runtime of CMOVs) are summarised after the first few.
    shown = {}
    for finding in findings:
        kind = finding.split(":")[0].split(" at ")[0]
        shown[kind] = shown.get(kind, 0) + 1
        if shown[kind] <= 5:
            print("FAIL: " + finding)
    for kind, count in shown.items():
        if count > 5:
            print(f"FAIL: ... {count - 5} more of: {kind}")

    if args.expect_rejection:
        missing = [want for want in args.expect_rejection
                   if not any(want in finding for finding in findings)]
        if missing:
            print("The audit did not report: " + ", ".join(missing))
            return 1
        print(f"Rejected as expected ({len(findings)} findings).")
        return 0
    if findings:
        print(f"Audit failed: {len(findings)} findings.")
        return 1
    print("Audit passed.")
    return 0


if __name__ == "__main__":
    sys.exit(main())

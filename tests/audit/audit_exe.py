#!/usr/bin/env python3
"""Audit of a Windows program for its oldest target.

--target win95-i486 (tarrow.exe): the first Windows 95 on a 486. Lists the program's imports
and fails on a DLL or function outside the allow-list, on a program that is not a 32-bit
(PE32, i386) windowed one, on a PE OS or subsystem version above 4.0, on a TLS directory, on
a file or section alignment below 512 bytes or a page, on a file larger than the limit, and
on any instruction newer than the Pentium. The guarded processor instructions (CPUID,
RDTSC, EMMS) and the privileged ones of the interval-timer and Cyrix code (IN, OUT, CLI,
STI, ...) are allowed only in code the linker's map file attributes to the processor library
(libtarrow_cpu.a) or to objects built from cpu/.

--target xp-x64 (tarrow64.exe): Windows XP x64 and Server 2003 x64 on the first x86-64
processors. The same import and size rules; the program must be a windowed PE32+ for AMD64
with PE OS and subsystem version 5.2, the first 64-bit Windows's. Its instructions are held
to the x86-64 processors' common set (SSE2 and before): SSE3 and later, AVX, the bit
manipulation sets, and LAHF, SAHF, CMPXCHG16B and PREFETCHW (missing from the first
processors in 64-bit mode) are allowed only in the processor code, as are the guarded
instructions; the privileged ones are allowed nowhere, as no 64-bit Windows lets a program
run them.

Both: a program may import only from the DLLs its allow-list lets it import; the DLLs the
list marks "loaded at run time" it loads itself from the system folder and binds through
its own table (base/system_dll_table_win32.cpp). With --run-time-table that table is read
out of the program, found by its symbol in the map file, and every function in it must be
in its DLL's section of the list, as an import would.

With --expect-rejection the audit must fail, and with each of the given findings: that is
how the test tree proves the audit can fail.
"""
import argparse
import bisect
import re
import struct
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
# Instructions beyond the x86-64 processors' common set (which has CMOV, MMX, SSE and SSE2):
# SSE3, SSSE3, SSE4.1, SSE4.2 and SSE4a, AES and carry-less multiply, SHA, BMI1 and BMI2, ADX,
# and the rest by name; AVX and later by their v-prefixed mnemonics and their registers.
NEWER_THAN_X86_64_MNEMONIC = re.compile(
    r"^(addsubp[sd]|haddp[sd]|hsubp[sd]|movs[hl]dup|movddup|lddqu|fisttp\w*|monitor\w*|"
    r"mwait\w*|pabs[bwd]|palignr|phadd(w|d|sw)|phsub(w|d|sw)|pmaddubsw|pmulhrsw|pshufb|"
    r"psign[bwd]|blendv?p[sd]|dpp[sd]|extractps|insertps|movntdqa|mpsadbw|packusdw|pblendvb|"
    r"pblendw|pcmpeqq|pextr[bdq]|phminposuw|pinsr[bdq]|pmaxs[bd]|pmaxu[wd]|pmins[bd]|"
    r"pminu[wd]|pmov[sz]x\w+|pmuldq|pmulld|ptest|round[ps][sd]|pcmp[ei]str[im]|pcmpgtq|"
    r"crc32\w*|popcnt|extrq|insertq|movnts[sd]|aes\w+|pclmul\w+|sha1\w+|sha256\w+|andn|"
    r"bextr|blsi|blsmsk|blsr|bzhi|mulx|pdep|pext|rorx|sarx|shlx|shrx|tzcnt|lzcnt|adcx|adox|"
    r"movbe|rdrand|rdseed|rdtscp|xgetbv|xsave\w*|xrstor\w*|cmpxchg16b|lahf|sahf|prefetchw\w*|"
    r"clflushopt|clwb|v(?!err$|erw$)\w+)$")
NEWER_THAN_X86_64_REGISTER = re.compile(r"%(y|z)mm\d+|%k[0-7]\b")
# Allowed only in the processor code, where each runs under an exception guard.
GUARDED_MNEMONIC = re.compile(r"^(cpuid|rdtsc|emms)$")
PRIVILEGED_MNEMONIC = re.compile(r"^(in|out|ins|outs)[bwl]?$|^(cli|sti|hlt|rdmsr|wrmsr)$")
PROCESSOR_CODE = re.compile(r"libtarrow_cpu\.a\(|[/\\]cpu[/\\]")

# objdump -d --no-show-raw-insn: "  401000:\tpush   %ebp"
INSTRUCTION_LINE = re.compile(r"^\s*([0-9a-f]+):\t(\S+)\s*(.*)$")
PREFIXES = ("rep", "repz", "repnz", "lock", "data16", "addr16", "addr32", "rex", "rex.W")

# What each target's loader and processors take.
TARGETS = {
    "win95-i486": {
        "format": "pei-i386", "magic": "010b", "what": "a 32-bit (PE32) program for i386",
        "versions": "at most", "version": (4, 0), "loader_alignment": True,
        "newer": "instruction newer than the Pentium",
        "newer_in_processor_code": False, "privileged_in_processor_code": True,
    },
    "xp-x64": {
        "format": "pei-x86-64", "magic": "020b", "what": "a PE32+ program for AMD64",
        "versions": "exactly", "version": (5, 2), "loader_alignment": False,
        "newer": "instruction beyond the x86-64 common set",
        "newer_in_processor_code": True, "privileged_in_processor_code": False,
    },
}
WINDOWS_GUI_SUBSYSTEM = 2


def run(command):
    return subprocess.run(command, check=True, capture_output=True, text=True).stdout


RUN_TIME_MARK = "loaded at run time"


def read_allow_list(path):
    """Returns ({dll (lower case): set of function names}, the set of DLLs (lower case) that
    may only be loaded at run time)."""
    allowed = {}
    run_time = set()
    current = None
    with open(path) as handle:
        for raw in handle:
            line = raw.split("#", 1)[0].strip()
            if not line:
                continue
            if line.startswith("[") and line.endswith("]"):
                dll, _, mark = (part.strip() for part in line[1:-1].partition(","))
                if mark not in ("", RUN_TIME_MARK):
                    raise SystemExit(f"{path}: unknown section mark: {line}")
                current = allowed.setdefault(dll.lower(), set())
                if mark:
                    run_time.add(dll.lower())
            elif current is None:
                raise SystemExit(f"{path}: function outside a [DLL] section: {line}")
            else:
                current.add(line.split()[0])
    return allowed, run_time


# The run-time table as the program holds it: an array of {const char *fileName,
# const BoundFunction *functions, int functionCount}, each BoundFunction {const char *name,
# void **slot}; pointers are the image's own addresses. Its end is the first entry that is
# not one: a DLL name, a function list inside the image, and a plausible count.
TABLE_SYMBOLS = ("_systemDllTables", "systemDllTables")  # 32-bit, 64-bit linker names
DLL_NAME = re.compile(rb"^[A-Z0-9_]+\.DLL$")
EXPORT_NAME = re.compile(rb"^[A-Za-z_][A-Za-z0-9_]*$")
MAX_TABLE_FUNCTIONS = 64


class Image:
    """A PE file's bytes read at the addresses it is mapped to."""

    def __init__(self, data):
        self.data = data
        header = struct.unpack_from("<I", data, 0x3C)[0]
        sections, optional_size = struct.unpack_from("<H12xH", data, header + 6)
        optional = header + 24
        magic = struct.unpack_from("<H", data, optional)[0]
        self.wide = magic == 0x20B
        self.width = 8 if self.wide else 4  # a pointer's
        self.base = (struct.unpack_from("<Q", data, optional + 24)[0] if self.wide
                     else struct.unpack_from("<I", data, optional + 28)[0])
        self.sections = []
        for i in range(sections):
            entry = optional + optional_size + 40 * i
            size, address, raw_size, raw = struct.unpack_from("<4I", data, entry + 8)
            self.sections.append((self.base + address, max(size, raw_size), raw, raw_size))

    def offset(self, address, length=1):
        """The file offset of length bytes at address, or None outside the file's sections."""
        for start, size, raw, raw_size in self.sections:
            if start <= address and address + length <= start + min(size, raw_size):
                return raw + address - start
        return None

    def pointer(self, address):
        where = self.offset(address, self.width)
        if where is None:
            return None
        return struct.unpack_from("<Q" if self.wide else "<I", self.data, where)[0]

    def text(self, address, pattern):
        """The zero-terminated text at address when it matches pattern, else None."""
        where = self.offset(address) if address else None
        if where is None:
            return None
        end = self.data.find(b"\0", where, where + 260)
        if end < 0 or not pattern.match(self.data[where:end]):
            return None
        return self.data[where:end].decode("ascii")


def map_symbol(map_path, names):
    """The address the map file gives the first of these symbols it has, or None."""
    with open(map_path, errors="replace") as handle:
        for line in handle:
            match = re.match(r"^\s+0x([0-9a-f]+)\s+(\S+)\s*$", line)
            if match and match.group(2) in names:
                return int(match.group(1), 16)
    return None


def read_run_time_table(exe_path, map_path):
    """Returns [(dll, [function names])] from the program's run-time table, or None when the
    map names no table."""
    address = map_symbol(map_path, TABLE_SYMBOLS)
    if address is None:
        return None
    with open(exe_path, "rb") as handle:
        image = Image(handle.read())
    width = image.width
    entry_size = 3 * width  # the int is padded to a pointer's width
    table = []
    while True:
        dll = image.text(image.pointer(address) or 0, DLL_NAME)
        functions = image.pointer(address + width)
        count_at = image.offset(address + 2 * width, 4)
        count = struct.unpack_from("<i", image.data, count_at)[0] if count_at else 0
        if dll is None or functions is None or not 0 < count <= MAX_TABLE_FUNCTIONS:
            return table
        names = []
        for i in range(count):
            name = image.text(image.pointer(functions + 2 * width * i) or 0, EXPORT_NAME)
            if name is None:
                return table + [(dll, names + ["(unreadable entry %d)" % i])]
            names.append(name)
        table.append((dll, names))
        address += entry_size


def audit_run_time_table(args, allowed):
    findings = []
    table = read_run_time_table(args.exe, args.map)
    if not table:
        return ["no table of the DLLs loaded at run time found (symbol %s in %s)"
                % (" or ".join(TABLE_SYMBOLS), args.map)]
    print(f"Loaded at run time ({len(table)} DLLs):")
    for dll, names in table:
        print(f"  {dll}: {' '.join(names)}")
        known = allowed.get(dll.lower())
        if known is None:
            findings.append(f"DLL loaded at run time not in the allow-list: {dll}")
            continue
        findings += [f"function loaded at run time not in the allow-list: {dll}!{name}"
                     for name in names if name not in known]
    return findings


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


def is_newer(target, mnemonic, operands):
    if target is TARGETS["xp-x64"]:
        return bool(NEWER_THAN_X86_64_MNEMONIC.match(mnemonic)
                    or NEWER_THAN_X86_64_REGISTER.search(operands))
    return bool(NEWER_MNEMONIC.match(mnemonic)
                or (NEWER_REGISTER.search(operands) and mnemonic != "emms"))


def audit_instructions(target, disassembly, ranges):
    starts = [start for start, _, _ in ranges]
    findings = []
    for line in disassembly.splitlines():
        match = INSTRUCTION_LINE.match(line)
        if not match:
            continue
        address, mnemonic, operands = int(match.group(1), 16), match.group(2), match.group(3)
        while mnemonic in PREFIXES and operands:
            mnemonic, _, operands = operands.partition(" ")
            operands = operands.strip()
        where = lambda: owner_of(address, ranges, starts)
        in_processor_code = lambda: bool(PROCESSOR_CODE.search(where()))
        if is_newer(target, mnemonic, operands):
            if not (target["newer_in_processor_code"] and in_processor_code()):
                findings.append(f"{target['newer']}: {mnemonic} {operands}"
                                f" at 0x{address:x} in {where()}")
        elif PRIVILEGED_MNEMONIC.match(mnemonic) and not target["privileged_in_processor_code"]:
            findings.append(f"privileged instruction {mnemonic} at 0x{address:x} in {where()}")
        elif GUARDED_MNEMONIC.match(mnemonic) or PRIVILEGED_MNEMONIC.match(mnemonic):
            if not in_processor_code():
                findings.append(f"{mnemonic} outside the processor code at 0x{address:x}"
                                f" in {where()}")
    return findings


def audit_header(target, headers, fields):
    findings = []
    match = re.search(r"file format (\S+)", headers)
    file_format = match.group(1) if match else "unknown"
    magic = fields.get("Magic", "unknown")
    print(f"File format {file_format}, magic {magic}")
    if file_format != target["format"] or magic != target["magic"]:
        findings.append(f"not {target['what']}: file format {file_format}, magic {magic}")
    subsystem = int(fields.get("Subsystem", "0"), 16)
    if subsystem != WINDOWS_GUI_SUBSYSTEM:
        findings.append(f"subsystem {subsystem} is not the windowed one (2)")
    for kind in ("OSystem", "Subsystem"):
        major = int(fields.get(f"Major{kind}Version", "0"), 16)
        minor = int(fields.get(f"Minor{kind}Version", "0"), 16)
        print(f"PE {kind} version: {major}.{minor}")
        wanted = target["version"]
        if (major, minor) > wanted:
            findings.append(f"PE {kind} version {major}.{minor} is above {wanted[0]}.{wanted[1]}")
        elif target["versions"] == "exactly" and (major, minor) != wanted:
            findings.append(f"PE {kind} version {major}.{minor} is not {wanted[0]}.{wanted[1]}")
    if target["loader_alignment"]:
        # The Windows 95 loader maps sections in whole disk sectors and pages.
        file_alignment = int(fields.get("FileAlignment", "0"), 16)
        section_alignment = int(fields.get("SectionAlignment", "0"), 16)
        if file_alignment < 0x200 or section_alignment < 0x1000:
            findings.append(f"alignment below the Windows 95 loader's: file"
                            f" 0x{file_alignment:x}, sections 0x{section_alignment:x}")
    if fields.get("TlsDirectory"):
        findings.append("TLS directory present: the program's own start-up runs no callbacks")
    return findings


def audit(args):
    findings = []
    target = TARGETS[args.target]
    headers = run([args.objdump, "-p", args.exe])

    size = len(open(args.exe, "rb").read())
    print(f"{args.exe}: {size} bytes (limit {args.max_size})")
    if size > args.max_size:
        findings.append(f"size {size} bytes is above the limit of {args.max_size} bytes")

    findings += audit_header(target, headers, read_header_fields(headers))

    allowed, run_time = read_allow_list(args.allowed)
    imports = read_imports(headers)
    print(f"Imports ({len(imports)}):")
    unknown_dlls = set()
    for dll, name in imports:
        print(f"  {dll}: {name or '(by ordinal)'}")
        names = allowed.get(dll.lower())
        if names is None or dll.lower() in run_time:
            if dll.lower() not in unknown_dlls:
                findings.append(f"DLL not in the allow-list: {dll}" if names is None else
                                f"imports a DLL it may only load at run time: {dll}")
                unknown_dlls.add(dll.lower())
        elif name is None:
            findings.append(f"import by ordinal from {dll}")
        elif name not in names:
            findings.append(f"function not in the allow-list: {dll}!{name}")

    if args.run_time_table:
        findings += audit_run_time_table(args, allowed)

    ranges = read_code_ranges(args.map) if args.map else []
    disassembly = run([args.objdump, "-d", "--no-show-raw-insn", args.exe])
    findings += audit_instructions(target, disassembly, ranges)
    return findings


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("exe")
    parser.add_argument("--target", choices=sorted(TARGETS), default="win95-i486",
                        help="the oldest Windows and processor the program is for")
    parser.add_argument("--objdump", default="i686-w64-mingw32-objdump")
    parser.add_argument("--allowed", required=True, help="allow-list of DLLs and functions")
    parser.add_argument("--map", help="the linker's map file, to place guarded instructions")
    parser.add_argument("--max-size", type=int, default=96 * 1024)
    parser.add_argument("--run-time-table", action="store_true",
                        help="check the program's table of DLLs loaded at run time (needs --map)")
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

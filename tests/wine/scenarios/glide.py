"""The Glide rows, from the product versions of glide2x.dll and glide3x.dll in the system
directory; the fixture libraries carry each arrangement of string tables, and copies of
them damaged in each way a file on a user's disk may be. Glide's libraries are 32-bit
everywhere: for tarrow64.exe they are the win32 tree's fixtures in C:\\windows\\syswow64,
as a 64-bit Windows keeps them."""
import os
import struct

from benchlib import FOLDER, log_bytes

LONG_VERSION = "L" + "0123456789" * 30  # as in tests/wine/fixtures/version.rc


def fixture(bench, name):
    return bench.glide_fixture(name)


def glide_rows(run):
    return [row for row in run.rows if row[0].startswith("Glide")]


def check_glide(bench, name, files, expected, logged=None):
    """Installs the fixtures as the Glide files and checks the Glide rows."""
    m = bench.machine("glide-" + name,
                      system_files={f: fixture(bench, src) for f, src in files.items()})
    check_glide_rows(bench, name, m.report(), expected, logged)


def check_glide_rows(bench, name, run, expected, logged=None):
    """Checks the Glide rows, which follow the colour depth, in the window and byte for
    byte in the log (logged: the rows as the log holds them, when they differ)."""
    rows = [(label, details, 5) for label, details in expected]
    bench.check_equal(rows, glide_rows(run), name + " rows")
    labels = run.labels()
    if "Color Depth" not in labels:
        bench.check(False, name + ": no colour-depth row")
        return
    at = labels.index("Color Depth") + 1
    others = [row for row in run.rows if not row[0].startswith("Glide")]
    logged = rows if logged is None else logged
    bench.check_bytes(log_bytes(others[:at] + logged + others[at:]), run.log, name + " log")


def test_neither_library(bench):
    check_glide(bench, "neither", {}, [])


def test_only_glide3x(bench):
    check_glide(bench, "only3x", {"glide3x.dll": "version_1200"},
                [("Glide 3x Version", "3.10.00.0658 cp 1200")])


def test_both_libraries(bench):
    check_glide(bench, "both", {"glide2x.dll": "version_1252", "glide3x.dll": "version_1200"},
                [("Glide 2x Version", "2.53, cp 1252 "),
                 ("Glide 3x Version", "3.10.00.0658 cp 1200")])


def test_code_page_1252_before_1200(bench):
    check_glide(bench, "both-tables", {"glide2x.dll": "version_both"},
                [("Glide 2x Version", "2.53, cp 1252 ")])


def test_no_us_english_product_version(bench):
    # German table only, no string table, a table without ProductVersion: no row.
    check_glide(bench, "german", {"glide2x.dll": "version_0407", "glide3x.dll": "version_none"},
                [])
    check_glide(bench, "noproduct", {"glide3x.dll": "version_noproduct"}, [])


def test_long_product_version_is_cut(bench):
    # Cut at the probe's buffer of 260 bytes; the log reads the row back as 254 characters.
    check_glide(bench, "long", {"glide2x.dll": "version_long"},
                [("Glide 2x Version", LONG_VERSION[:259])],
                [("Glide 2x Version", LONG_VERSION[:254], 5)])


# -- damaged libraries ------------------------------------------------------------------
# Each Glide library takes each form below, glide2x.dll made from version_1252 and
# glide3x.dll from version_1200; a form gives no row unless UNTERMINATED says otherwise.
#   empty, truncated (cut inside the PE header): no version resource is found.
#   folder: a folder of the library's name, which no file function opens as a file.
#   size-7fffffff: the resource entry's size; VERSION.DLL reports twice it plus four,
#     which wraps to 2 bytes: too short for any block.
#   size-1mb: the same entry at 1 MB; the reported 2 MB is past the program's limit and
#     refused before anything is read.
#   root-past-block: the version block's own length at 0xFFFF, past the bytes read;
#     VerQueryValueA would write its ANSI copy 64 KB beyond the block.
#   unterminated: the ProductVersion value's zero and the padding after it made "#", so
#     the text runs to the end of its node; VerQueryValueA converts the characters the
#     node counts, the "#" with them.
#   held: the intact library, held open by the driver without sharing.
DAMAGED_FORMS = ["empty", "truncated", "folder", "size-7fffffff", "size-1mb",
                 "root-past-block", "unterminated", "held"]
LIBRARIES = [("glide2x.dll", "Glide 2x Version", "version_1252"),
             ("glide3x.dll", "Glide 3x Version", "version_1200")]
UNTERMINATED = {"version_1252": "2.53, cp 1252 #", "version_1200": "3.10.00.0658 cp 1200#"}
# Wine 8 checks the tails of heap blocks only while it validates the whole heap at every
# heap call: its heap warnings alone mark tails without checking them, and its heap trace
# validates every process of the prefix, Wine's own among them. The program's image
# options turn validation on for the program alone (FLG_HEAP_VALIDATE_ALL); a written-over
# tail then gives "err:heap ... invalid block tail", and the program ends without its log.
IMAGE_OPTIONS = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Image File Execution Options"
HEAP_CHECKS = '[HKEY_LOCAL_MACHINE\\%s\\tarrow.exe]\n"GlobalFlag"=dword:00000080\n' % IMAGE_OPTIONS


def heap_checked_machine(bench, name, **options):
    m = bench.machine(name, wine_debug="-all,err+heap", **options)
    m.registry(HEAP_CHECKS)
    return m


def pe_header(data):
    return struct.unpack_from("<I", data, 0x3C)[0]


# Where the data directories start in each form of the optional header, by its magic.
DATA_DIRECTORIES = {0x10B: 96, 0x20B: 112}  # PE32, PE32+


def data_directory(data, pe, index):
    """The file offset of a data directory's entry (2 is the resource table)."""
    magic = struct.unpack_from("<H", data, pe + 24)[0]
    return pe + 24 + DATA_DIRECTORIES[magic] + 8 * index


def version_resource(data):
    """The file offsets, in a fixture library, of the version resource's data entry and of
    the resource itself, found through the PE resource directory."""
    pe = pe_header(data)
    count = struct.unpack_from("<H", data, pe + 6)[0]
    optional_size = struct.unpack_from("<H", data, pe + 20)[0]
    sections = [struct.unpack_from("<8sIIII", data, pe + 24 + optional_size + 40 * i)
                for i in range(count)]

    def file_offset(rva):
        for _name, _size, address, raw_size, raw_offset in sections:
            if address <= rva < address + raw_size:
                return rva - address + raw_offset
        raise ValueError("no section holds RVA %#x" % rva)

    root = file_offset(struct.unpack_from("<I", data, data_directory(data, pe, 2))[0])
    entry = root
    for wanted in (16, 1, None):  # RT_VERSION, resource 1, its first language
        named, numbered = struct.unpack_from("<HH", data, entry + 12)
        for i in range(named + numbered):
            name, target = struct.unpack_from("<II", data, entry + 16 + 8 * i)
            if wanted is None or name == wanted:
                break
        else:
            raise ValueError("no version resource")
        entry = root + (target & 0x7FFFFFFF)
    return entry, file_offset(struct.unpack_from("<I", data, entry)[0])


def damaged(data, form):
    """The bytes of a fixture library damaged in the given form."""
    if form == "empty":
        return b""
    if form == "truncated":
        return data[:pe_header(data) + 24 + 16]  # into the optional header
    data = bytearray(data)
    entry, resource = version_resource(data)
    if form == "size-7fffffff":
        struct.pack_into("<I", data, entry + 4, 0x7FFFFFFF)
    elif form == "size-1mb":
        struct.pack_into("<I", data, entry + 4, 0x100000)
    elif form == "root-past-block":
        struct.pack_into("<H", data, resource, 0xFFFF)
    elif form == "unterminated":
        key = "ProductVersion\0".encode("utf-16-le")
        node = data.index(key, resource) - 6
        length, characters = struct.unpack_from("<HH", data, node)
        end = node + length
        value = node + ((6 + len(key) + 3) & ~3)  # the key's end on a 32-bit boundary
        assert value + 2 * characters == end and data[end - 2:end] == b"\0\0"
        padded = resource + ((end - resource + 3) & ~3)
        data[end - 2:end] = "#".encode("utf-16-le")
        data[end:padded] = b"#" * (padded - end)
    else:
        raise ValueError(form)
    return bytes(data)


def damaged_library(bench, folder, form, source):
    """The system_files source for a library made from fixture source in the given form."""
    if form == "folder":
        return FOLDER
    if form == "held":
        return fixture(bench, source)
    path = os.path.join(folder, "%s-%s.dll" % (source, form))
    if not os.path.exists(path):
        with open(fixture(bench, source), "rb") as f:
            data = damaged(f.read(), form)
        with open(path, "wb") as f:
            f.write(data)
    return path


def heap_errors(run):
    return [line for line in run.stderr.splitlines() if "err:heap" in line]


def check_damaged_run(bench, name, plain, run, expected):
    """The program ran to its end under Wine's heap checks and wrote its log, and every row
    besides the Glide rows is the same as on the same kind of machine without them."""
    bench.check_equal(0, run.exit_code, name + " exit code")
    errors = heap_errors(run)
    bench.check(not errors, "%s: %d heap errors, the first: %s" %
                (name, len(errors), errors[0] if errors else ""))
    bench.check_equal(plain.labels(),
                      [label for label in run.labels() if not label.startswith("Glide")],
                      name + " other rows")
    check_glide_rows(bench, name, run, expected)


def check_damaged_libraries(bench, version):
    """Every form for both libraries, two forms a machine in turn, each run with Wine
    validating the program's heap at every heap call; on Windows 98 also the 16-bit ones."""
    plain = bench.machine("glide-plain-" + version, version=version).report()
    bench.check_equal(0, plain.exit_code, version + " plain exit code")
    bench.check_equal([], glide_rows(plain), version + " plain Glide rows")
    folder = bench.temp_dir()
    for i, form in enumerate(DAMAGED_FORMS):
        forms = [form, DAMAGED_FORMS[(i + 1) % len(DAMAGED_FORMS)]]
        name = "damaged-%s-%s-%s" % (version, forms[0], forms[1])
        files, hold, expected = {}, [], []
        for (file_name, label, source), form_taken in zip(LIBRARIES, forms):
            files[file_name] = damaged_library(bench, folder, form_taken, source)
            if form_taken == "held":
                hold.append(bench.system_path(file_name))
            if form_taken == "unterminated":
                expected.append((label, UNTERMINATED[source]))
        run = heap_checked_machine(bench, "glide-" + name, version=version,
                                   system_files=files).report(hold=hold)
        check_damaged_run(bench, name, plain, run, expected)
    if version == "win98":
        check_ne_libraries(bench, plain, folder)


# -- 16-bit libraries ---------------------------------------------------------------------
# A 16-bit (NE) library whose version resource is in the 32-bit layout. GetFileVersionInfoA
# reads such a resource without the "FE2X" mark and reports (resource length - 52) x 4
# bytes, yet VerQueryValueA still writes each text's ANSI copy up to twice the root plus
# four into the block. NE_ROOT_928: 400 resource bytes whose root and the nodes on the way
# to ProductVersion claim 928 bytes (the block is 1392), the value at 188 running to the
# root's end: its copy covers [1120, 1490). NE_SOUND: the same file with honest lengths.
NE_RESOURCE_SIZE = 400
NE_FILE_SIZE = 568
NE_ROOT_928 = ("ne-root-928", 928, "2.43 ne, root 928")
NE_SOUND = ("ne-sound", None, "2.43 ne")


def wide(text):
    return (text + "\0").encode("utf-16-le")


def version_node(key, kind, value, children=()):
    """A node of a 32-bit version block: wLength, wValueLength, wType, key, value, children,
    each on a 32-bit boundary; a text's length counted in characters."""
    data = bytearray(6) + wide(key)
    for part in [value] + list(children):
        data += bytes(-len(data) % 4) + part
    struct.pack_into("<HHH", data, 0, len(data), len(value) // 2 if kind else len(value), kind)
    return data


def ne_version_block(version, root):
    """The resource's bytes: the root with its fixed information, the string-file node, the
    code page 1252 table and its ProductVersion (a text at offset 188), zeros to 400. With
    root, every node on the way to the value, and the value, claim to run to it."""
    fixed = bytearray(52)
    struct.pack_into("<II", fixed, 0, 0xFEEF04BD, 0x10000)
    product = version_node("ProductVersion", 1, wide(version))
    table = version_node("040904E4", 1, b"", [product])
    string_file = version_node("StringFileInfo", 1, b"", [table])
    block = version_node("VS_VERSION_INFO", 0, bytes(fixed), [string_file])
    nodes = [0, len(block) - len(string_file), len(block) - len(table),
             len(block) - len(product)]
    assert nodes[3] + 36 == 188 and len(block) <= NE_RESOURCE_SIZE
    if root:
        for node in nodes:
            struct.pack_into("<H", block, node, root - node)
        struct.pack_into("<H", block, nodes[3] + 2, (root - 188) // 2)
    return bytes(block) + bytes(NE_RESOURCE_SIZE - len(block))


def ne_library(version, root):
    """A 16-bit library of 568 bytes: an MZ stub, the NE header, a resource table with one
    RT_VERSION entry, a resident-name table, and the version resource at offset 168."""
    shift = 3  # resource offsets and lengths in 8-byte units
    resource_at = NE_FILE_SIZE - NE_RESOURCE_SIZE
    stub = bytearray(64)
    stub[0:2] = b"MZ"
    struct.pack_into("<I", stub, 0x3C, 64)  # e_lfanew
    resources = struct.pack("<H", shift)
    resources += struct.pack("<HHI", 0x8010, 1, 0)  # RT_VERSION, one resource
    resources += struct.pack("<HHHHHH", resource_at >> shift, NE_RESOURCE_SIZE >> shift,
                             0x30, 0x8001, 0, 0)
    resources += struct.pack("<H", 0)  # end of the types
    names = b"\x07GLIDE2X" + struct.pack("<H", 0) + b"\0"
    header = bytearray(64)
    header[0:2] = b"NE"
    struct.pack_into("<HH", header, 0x24, 64, 64 + len(resources))  # resource, name tables
    struct.pack_into("<H", header, 0x36, 2)  # target: Windows
    data = stub + header + resources + names
    data += bytes(resource_at - len(data)) + ne_version_block(version, root)
    assert len(data) == NE_FILE_SIZE
    return bytes(data)


def check_ne_libraries(bench, plain, folder):
    """Each 16-bit library as glide2x.dll beside the intact glide3x.dll."""
    for form, root, version in (NE_ROOT_928, NE_SOUND):
        path = os.path.join(folder, "glide2x-%s.dll" % form)
        with open(path, "wb") as f:
            f.write(ne_library(version, root))
        name = "16-bit-win98-" + form
        run = heap_checked_machine(bench, "glide-" + name, version="win98",
                                   system_files={"glide2x.dll": path,
                                                 "glide3x.dll": fixture(bench, "version_1200")}
                                   ).report()
        check_damaged_run(bench, name, plain, run,
                          [("Glide 2x Version", version),
                           ("Glide 3x Version", "3.10.00.0658 cp 1200")])


def test_damaged_libraries_windows_98(bench):
    check_damaged_libraries(bench, "win98")


def test_damaged_libraries_windows_7(bench):
    check_damaged_libraries(bench, "win7")

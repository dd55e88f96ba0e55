#!/usr/bin/env python3
"""dist/ holds the 32-bit programs (PE32, i386, GUI, statically linked) and the start page.

usage: dist_check.py DIST_DIR
"""
import os
import struct
import sys

MACHINE_I386 = 0x14C
PE32_MAGIC = 0x10B
SUBSYSTEM_GUI = 2


def pe_facts(path):
    """(machine, optional-header magic, subsystem, imported DLL names) or None."""
    with open(path, "rb") as f:
        data = f.read()
    if data[:2] != b"MZ":
        return None
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0":
        return None
    machine, sections, _, _, _, optional_size = struct.unpack_from("<HHIIIH", data, pe + 4)
    optional = pe + 24
    magic = struct.unpack_from("<H", data, optional)[0]
    subsystem = struct.unpack_from("<H", data, optional + 68)[0]
    # The import directory is data directory 1; its place depends on PE32 or PE32+.
    directories = optional + (96 if magic == PE32_MAGIC else 112)
    import_rva = struct.unpack_from("<I", data, directories + 8)[0]

    table = optional + optional_size
    spans = []
    for i in range(sections):
        size, rva, raw_size, raw = struct.unpack_from("<IIII", data, table + 40 * i + 8)
        spans.append((rva, max(size, raw_size), raw))

    def offset(rva):
        for start, size, raw in spans:
            if start <= rva < start + size:
                return raw + rva - start
        return None

    dlls = set()
    at = offset(import_rva) if import_rva else None
    while at is not None:
        name_rva = struct.unpack_from("<I", data, at + 12)[0]
        if name_rva == 0:
            break
        name_at = offset(name_rva)
        if name_at is None:
            break
        dlls.add(data[name_at:data.index(b"\0", name_at)].decode("ascii", "replace").lower())
        at += 20
    return machine, magic, subsystem, dlls


def main():
    dist = sys.argv[1]
    failures = []
    for program in ("miravolt.exe", "update.exe"):
        path = os.path.join(dist, program)
        facts = pe_facts(path) if os.path.exists(path) else None
        if facts is None:
            failures.append("%s missing or not a PE program" % program)
            continue
        machine, magic, subsystem, dlls = facts
        if machine != MACHINE_I386 or magic != PE32_MAGIC:
            failures.append("%s is not a 32-bit (i386, PE32) program" % program)
        if subsystem != SUBSYSTEM_GUI:
            failures.append("%s is not a window program" % program)
        for runtime in ("libstdc++-6.dll", "libgcc_s_dw2-1.dll", "libwinpthread-1.dll"):
            if runtime in dlls:
                failures.append("%s needs %s" % (program, runtime))
        if "kernel32.dll" not in dlls:
            failures.append("%s: import table not read (%s)" % (program, sorted(dlls)))
    page = os.path.join(dist, "res", "index.html")
    if not os.path.exists(page):
        failures.append("res/index.html missing beside the programs")
    else:
        text = open(page, encoding="utf-8").read()
        if "<title>Miravolt</title>" not in text:
            failures.append("the start page's title is not Miravolt")
        if 'class="container"' not in text:
            failures.append("the start page has no .container element")
    for f in failures:
        print("FAILED: " + f)
    print("dist: %s" % ("failed" if failures else "ok"))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())

#!/usr/bin/env python3
"""dist/ holds the 32-bit programs (PE32, i386, GUI, statically linked) and the start page.

usage: dist_check.py DIST_DIR
"""
import os
import re
import struct
import sys

MACHINE_I386 = 0x14C
PE32_MAGIC = 0x10B
SUBSYSTEM_GUI = 2


def pe_facts(path):
    with open(path, "rb") as f:
        data = f.read()
    if data[:2] != b"MZ":
        return None
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0":
        return None
    machine = struct.unpack_from("<H", data, pe + 4)[0]
    optional = pe + 24
    magic = struct.unpack_from("<H", data, optional)[0]
    subsystem = struct.unpack_from("<H", data, optional + 68)[0]
    # Imported DLL names, to see that no C++ runtime DLL is needed.
    dlls = set(m.group(0).lower() for m in re.finditer(rb"[A-Za-z0-9_+\-]+\.dll", data))
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
        for runtime in (b"libstdc++-6.dll", b"libgcc_s_dw2-1.dll", b"libwinpthread-1.dll"):
            if runtime in dlls:
                failures.append("%s needs %s" % (program, runtime.decode()))
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

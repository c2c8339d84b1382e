#!/usr/bin/env python3
"""Reads the delay-import tables of built Windows programs and checks that
every delayed function can be called: its address slot must hold, before
the first call, the address of a loading stub inside the image's code.
A slot left 0 (the linker kept the slot but dropped the stub) makes the
first call jump to address 0.

GNU ld leaves the image's delay-import directory empty, so the tables are
found through the symbols the delay-import libraries define
(__DELAY_IMPORT_DESCRIPTOR_*), read with the toolchain's nm.

Usage: delay_imports_test.py --nm NM --expect N FILE...
  --expect N  the least number of delayed imports in all files together, so
              that a build that lost its delay imports (or its symbols) fails
"""

import argparse
import re
import subprocess
import struct
import sys


class Image:
    def __init__(self, path):
        with open(path, "rb") as f:
            self.data = f.read()
        d = self.data
        if d[:2] != b"MZ":
            raise ValueError("not an MZ file")
        pe = struct.unpack_from("<I", d, 0x3C)[0]
        if d[pe:pe + 4] != b"PE\0\0":
            raise ValueError("no PE signature")
        _, sections, _, _, _, optional_size, _ = struct.unpack_from("<HHIIIHH", d, pe + 4)
        opt = pe + 24
        magic = struct.unpack_from("<H", d, opt)[0]
        self.pe32plus = magic == 0x20B
        if self.pe32plus:
            self.image_base = struct.unpack_from("<Q", d, opt + 24)[0]
            directories = opt + 112
        elif magic == 0x10B:
            self.image_base = struct.unpack_from("<I", d, opt + 28)[0]
            directories = opt + 96
        else:
            raise ValueError("unknown optional header 0x%x" % magic)
        self.size_of_image = struct.unpack_from("<I", d, opt + 56)[0]
        self.directories = directories
        self.sections = []
        for i in range(sections):
            s = opt + optional_size + 40 * i
            name = d[s:s + 8].rstrip(b"\0").decode("latin-1")
            vsize, va, raw_size, raw_ptr = struct.unpack_from("<IIII", d, s + 8)
            flags = struct.unpack_from("<I", d, s + 36)[0]
            self.sections.append((name, va, max(vsize, raw_size), raw_ptr, raw_size, flags))

    def directory(self, index):
        return struct.unpack_from("<II", self.data, self.directories + 8 * index)

    def offset(self, rva):
        for _, va, size, raw_ptr, raw_size, _ in self.sections:
            if va <= rva < va + size:
                if rva - va >= raw_size:
                    return None  # in the zero-filled tail
                return raw_ptr + rva - va
        raise ValueError("RVA 0x%x is in no section" % rva)

    def read(self, rva, fmt):
        off = self.offset(rva)
        if off is None:
            return (0,) * len(struct.unpack(fmt, bytes(struct.calcsize(fmt))))
        return struct.unpack_from(fmt, self.data, off)

    def string(self, rva):
        off = self.offset(rva)
        return self.data[off:self.data.index(b"\0", off)].decode("latin-1")

    def in_code(self, rva):
        return any(va <= rva < va + size and flags & 0x20000000  # IMAGE_SCN_MEM_EXECUTE
                   for _, va, size, _, _, flags in self.sections)

    def delay_imports(self, descriptors):
        """(dll, function, slot value as an RVA or None for 0) for every delayed
        import of the descriptors at the given RVAs."""
        found = []
        for rva in descriptors:
            found += self.descriptor_imports(rva)
        return found

    def descriptor_imports(self, rva):
        """The imports of the one descriptor at rva (each delay-import library
        here holds one)."""
        pointer = "<Q" if self.pe32plus else "<I"
        step = 8 if self.pe32plus else 4
        ordinal_flag = 1 << (63 if self.pe32plus else 31)
        attributes, name, _, iat, names, _, _, _ = self.read(rva, "<8I")
        # Attribute bit 0: the fields are RVAs; without it, addresses.
        base = 0 if attributes & 1 else self.image_base
        dll = self.string(name - base)
        found = []
        for i in range(4096):
            entry = self.read(names - base + i * step, pointer)[0]
            if not entry:
                break
            function = "#%d" % (entry & 0xFFFF) if entry & ordinal_flag else self.string(entry - base + 2)
            slot = self.read(iat - base + i * step, pointer)[0]
            found.append((dll, function, slot - self.image_base if slot else None))
        return found


def descriptor_rvas(nm, path, image):
    out = subprocess.run([nm, path], capture_output=True, text=True, check=True).stdout
    rvas = []
    for line in out.splitlines():
        m = re.match(r"([0-9a-fA-F]+) \w _*DELAY_IMPORT_DESCRIPTOR_", line)
        if m:
            rvas.append(int(m.group(1), 16) - image.image_base)
    return rvas


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--nm", required=True)
    ap.add_argument("--expect", type=int, default=0)
    ap.add_argument("files", nargs="+")
    args = ap.parse_args()
    failed, total = 0, 0
    for path in args.files:
        image = Image(path)
        imports = image.delay_imports(descriptor_rvas(args.nm, path, image))
        total += len(imports)
        bad = []
        for dll, function, slot in imports:
            if slot is None:
                bad.append("%s!%s: slot is 0" % (dll, function))
            elif not (0 <= slot < image.size_of_image and image.in_code(slot)):
                bad.append("%s!%s: slot points outside the code (RVA 0x%x)" % (dll, function, slot))
        if bad:
            failed += 1
            print("FAIL %s: %d of %d delayed imports unusable" % (path, len(bad), len(imports)))
            for line in bad:
                print("     " + line)
        else:
            print("ok   %s: %d delayed imports, each with its stub" % (path, len(imports)))
    if total < args.expect:
        failed += 1
        print("FAIL %d delayed imports found, at least %d expected" % (total, args.expect))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())

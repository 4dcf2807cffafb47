#!/usr/bin/env python3
"""Checks the built executable with the cross binutils and a small reader of
its resource directory: PE32+ x86-64 for the GUI subsystem, the expected DLL
imports and no others, and one resource, the manifest, with its content."""
import struct
import subprocess
import sys
import unittest
import xml.etree.ElementTree as ET

EXE = sys.argv.pop(1)
OBJDUMP = "x86_64-w64-mingw32-objdump"
ALLOWED_DLLS = {"KERNEL32.DLL", "USER32.DLL", "COMDLG32.DLL", "COMCTL32.DLL", "OLE32.DLL", "MSVCRT.DLL"}


def private_headers():
    return subprocess.run([OBJDUMP, "-p", EXE], check=True, capture_output=True, text=True).stdout


def resources(image):
    """Every leaf of the resource tree as (type, id, language, bytes)."""
    pe = struct.unpack_from("<I", image, 0x3C)[0]
    sections, optional_size = struct.unpack_from("<H12xH", image, pe + 6)
    table = pe + 24 + optional_size
    for i in range(sections):
        name, vsize, rva, rawsize, rawptr = struct.unpack_from("<8sIIII", image, table + 40 * i)
        if name.rstrip(b"\0") == b".rsrc":
            break
    else:
        return []

    def at(offset):
        return rawptr + offset

    def entries(offset):
        named, ids = struct.unpack_from("<12xHH", image, at(offset))
        for k in range(named + ids):
            key, target = struct.unpack_from("<II", image, at(offset) + 16 + 8 * k)
            yield key, target

    leaves = []
    for rtype, t in entries(0):
        for rid, n in entries(t & 0x7FFFFFFF):
            for lang, leaf in entries(n & 0x7FFFFFFF):
                data_rva, size = struct.unpack_from("<II", image, at(leaf))
                start = rawptr + data_rva - rva
                leaves.append((rtype, rid, lang, image[start:start + size]))
    return leaves


class ExecutableTest(unittest.TestCase):
    def test_pe32_plus_x86_64_gui(self):
        headers = private_headers()
        self.assertIn("file format pei-x86-64", headers)
        self.assertRegex(headers, r"Magic\s+020b\s+\(PE32\+\)")
        self.assertRegex(headers, r"Subsystem\s+00000002\s+\(Windows GUI\)")

    def test_imports_only_the_system_dlls_and_msvcrt(self):
        dlls = {line.split(":", 1)[1].strip().upper()
                for line in private_headers().splitlines() if "DLL Name:" in line}
        self.assertTrue(dlls, "no imports found")
        self.assertLessEqual(dlls, ALLOWED_DLLS)
        self.assertIn("KERNEL32.DLL", dlls)

    def test_only_resource_is_the_manifest(self):
        with open(EXE, "rb") as f:
            leaves = resources(f.read())
        self.assertEqual([(t, i, l) for t, i, l, _ in leaves], [(24, 1, 1033)])
        manifest = leaves[0][3]
        self.assertTrue(manifest.startswith(b'<?xml version="1.0" encoding="UTF-8" standalone="yes"?>'))
        asm = "{urn:schemas-microsoft-com:asm.v1}"
        compat = "{urn:schemas-microsoft-com:compatibility.v1}"
        root = ET.fromstring(manifest)
        self.assertEqual(root.tag, asm + "assembly")
        self.assertEqual(root.attrib, {"manifestVersion": "1.0"})
        self.assertEqual([child.tag for child in root],
                         [compat + "compatibility", asm + "assemblyIdentity", asm + "description", asm + "dependency"])
        application = root.find(compat + "compatibility/" + compat + "application")
        self.assertEqual([os.attrib["Id"] for os in application], [
            "{e2011457-1546-43c5-a5fe-008deee3d3f0}",
            "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",
            "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",
            "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",
            "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",
        ])
        self.assertEqual(root.find(asm + "assemblyIdentity").attrib, {
            "version": "1.0.0.0", "processorArchitecture": "amd64",
            "name": "CompanyName.ProductName.YourApp", "type": "win32"})
        description = root.find(asm + "description")
        self.assertEqual((description.text or "").strip(), "")
        self.assertEqual(len(description), 0)
        dependency = root.find(asm + "dependency")
        self.assertEqual(len(dependency), 1)
        self.assertEqual(len(dependency[0]), 1)
        self.assertEqual(dependency[0][0].attrib, {
            "type": "win32", "name": "Microsoft.Windows.Common-Controls", "version": "6.0.0.0",
            "processorArchitecture": "amd64", "publicKeyToken": "6595b64144ccf1df", "language": "*"})
        # No execution level, no DPI awareness: nothing beyond the four children.
        self.assertNotIn(b"trustInfo", manifest)
        self.assertNotIn(b"dpiAware", manifest)


if __name__ == "__main__":
    unittest.main(verbosity=2)

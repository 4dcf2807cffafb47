#!/usr/bin/env python3
"""The whole program under Wine, driven as a user drives it, checked against
Python's zlib and hashlib."""
import hashlib
import os
import shutil
import sys
import unittest
import zlib

from harness import TITLE, Session, windows_path

BUILD_DIR = os.environ.get("BQ_BUILD_DIR", "build/windows")
FILES = os.path.join(BUILD_DIR, "e2e-files")


def digests(path):
    crc, md5 = 0, hashlib.md5()
    with open(path, "rb") as f:
        while chunk := f.read(1 << 24):
            crc = zlib.crc32(chunk, crc)
            md5.update(chunk)
    return f"{crc:08X}", md5.hexdigest().upper()


def make_file(name, content=b""):
    path = os.path.join(FILES, name)
    with open(path, "wb") as f:
        f.write(content)
    return path


class ChecksumReportTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        shutil.rmtree(FILES, ignore_errors=True)
        os.makedirs(FILES)
        cls.session = Session(BUILD_DIR)
        cls.session.prepare_prefix()

    def expect_report(self, path, screenshots=None):
        crc, md5 = digests(path)
        result = self.session.report(path, screenshots)
        box, clipboard = result["box"], result["clipboard"]
        self.assertEqual(clipboard["text"], f"{crc}     {md5}")
        self.assertEqual(len(clipboard["text"]), 45)
        self.assertEqual(box["title"], os.path.basename(path))
        self.assertEqual(box["text"], f"CRC32 Checksum: {crc}\r\nMD5 Checksum: {md5}")
        self.assertEqual(len(box["text"]), 72)
        self.assertEqual(box["buttons"], ["OK"])
        self.assertEqual(result["exit"], 0)
        return result

    def test_dialog_offers_all_files_and_no_initial_name(self):
        result = self.expect_report(make_file("dialog.txt", b"dialog"), os.path.join(BUILD_DIR, "screenshots"))
        dialog = result["dialog"]
        self.assertEqual(dialog["title"], TITLE)
        self.assertEqual(dialog["filters"], ["All files (*.*)"])
        self.assertEqual(dialog["selectedFilter"], 0)
        self.assertEqual(dialog["fileName"], "")

    def test_check_value_and_no_window_left(self):
        path = make_file("check.txt", b"123456789")
        result = self.expect_report(path)
        self.assertTrue(result["clipboard"]["text"].startswith("CBF43926     "))
        left = self.session.driver("windows")["windows"]
        self.assertEqual([w for w in left if w["pid"] in (result["dialog"]["pid"], result["box"]["pid"])], [])

    def test_files_that_matter(self):
        crc_with_leading_zero = next(bytes([i]) * 3 for i in range(256) if zlib.crc32(bytes([i]) * 3) >> 28 == 0)
        cases = {
            "empty.bin": b"",
            "one-mebibyte.bin": os.urandom(1048576),
            "one-mebibyte-and-one.bin": os.urandom(1048577),
            "leading-zero.bin": crc_with_leading_zero,
            "name with spaces.tar.gz.bak": b"spaces and dots",
            "na\u00efve r\u00e9sum\u00e9 \U0001F600.txt": b"not only ASCII",
        }
        for name, content in cases.items():
            with self.subTest(name=name):
                result = self.expect_report(make_file(name, content))
                if not content:
                    self.assertEqual(result["clipboard"]["text"], "00000000     D41D8CD98F00B204E9800998ECF8427E")

    def test_file_larger_than_four_gibibytes(self):
        path = os.path.join(FILES, "sparse-4g.bin")
        with open(path, "wb") as f:
            f.truncate((1 << 32) + 12345)
            f.seek((1 << 32) + 1000)
            f.write(b"past the 4 GiB boundary")
        self.expect_report(path)

    def test_file_locked_by_another_process_gives_empty_digests(self):
        path = make_file("locked.bin", b"locked")
        with self.session.holding("hold-file", windows_path(path)):
            result = self.session.report(path)
        self.assertEqual(result["clipboard"]["text"], "     ")
        self.assertEqual(result["box"]["text"], "CRC32 Checksum: \r\nMD5 Checksum: ")
        self.assertEqual(result["box"]["title"], "locked.bin")
        self.assertEqual(result["exit"], 0)

    def test_cancel_leaves_the_clipboard_and_shows_no_box(self):
        self.session.driver("set-clipboard", "earlier content")
        self.session.start()
        self.session.driver("dialog")
        self.session.driver("cancel")
        self.assertEqual(self.session.wait(), 0)
        self.assertEqual(self.session.driver("clipboard")["text"], "earlier content")
        self.assertEqual(self.session.driver("message", "2", check=False).get("title"), None)

    def test_command_line_is_not_read(self):
        self.session.start()
        plain = self.session.driver("dialog")
        self.session.driver("cancel")
        self.assertEqual(self.session.wait(), 0)
        self.session.start("/x", "C:\\some file.txt", "--help")
        with_arguments = self.session.driver("dialog")
        self.session.driver("cancel")
        self.assertEqual(self.session.wait(), 0)
        for key in ("title", "filters", "selectedFilter", "fileName"):
            self.assertEqual(with_arguments[key], plain[key])

    def test_clipboard_held_by_another_process(self):
        path = make_file("held.txt", b"clipboard held")
        crc, md5 = digests(path)
        self.session.driver("set-clipboard", "kept")
        with self.session.holding("hold-clipboard"):
            result = self.session.report(path)
        self.assertEqual(result["box"]["text"], f"CRC32 Checksum: {crc}\r\nMD5 Checksum: {md5}")
        self.assertEqual(self.session.driver("clipboard")["text"], "kept")
        self.assertEqual(result["exit"], 0)


if __name__ == "__main__":
    unittest.main(verbosity=2)

"""scripts/check-reproducible's comparison of two builds' files, on small programs built for each
case: equal files pass, and a difference fails naming the sections of the program that hold the
differing bytes, so that a build that does not repeat itself points at its cause."""

import pathlib
import shutil
import subprocess
import tempfile
import unittest

SCRIPT = pathlib.Path(__file__).resolve().parents[2] / "scripts" / "check-reproducible"

# A string in read-only data and a number in the code, each chosen by the build.
SOURCE = r"""
#include <stdio.h>
int main(void) {
  puts(TEXT);
  return NUMBER;
}
"""


class CheckReproducibleCompare(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.folder = pathlib.Path(tempfile.mkdtemp())
        (cls.folder / "program.c").write_text(SOURCE)

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.folder)

    def build(self, name, text="built", number=0):
        program = self.folder / name
        subprocess.run(["cc", "-O2", "-DTEXT=\"%s\"" % text, "-DNUMBER=%d" % number,
                        "-o", program, self.folder / "program.c"], check=True)
        return program

    def compare(self, a, b):
        result = subprocess.run([SCRIPT, "--compare", a, b], capture_output=True, text=True,
                                check=False)
        sections = [line.split()[0] for line in result.stdout.splitlines()
                    if line.startswith("    ")]
        return result.returncode, sections, result.stdout

    def test_accepts_the_same_bytes(self):
        code, sections, out = self.compare(self.build("one"), self.build("two"))
        self.assertEqual((code, sections), (0, []), out)

    def test_names_the_sections_that_differ(self):
        # Same lengths, so nothing else moves; the build-id, a digest of the contents, follows
        # every change.
        cases = {
            "a string": ({"text": "built"}, {"text": "BUILT"}, [".note.gnu.build-id", ".rodata"]),
            "an instruction's operand": ({"number": 3}, {"number": 4},
                                         [".note.gnu.build-id", ".text"]),
        }
        for name, (first, second, expected) in cases.items():
            with self.subTest(name):
                code, sections, out = self.compare(self.build("a", **first),
                                                   self.build("b", **second))
                self.assertEqual((code, sorted(sections)), (1, expected), out)

    def test_reports_other_files_without_sections(self):
        a, b = self.folder / "a.txt", self.folder / "b.txt"
        a.write_bytes(b"release 1\n")
        b.write_bytes(b"release 2\n")
        code, sections, out = self.compare(a, b)
        self.assertEqual((code, sections), (1, []), out)
        self.assertIn("1 byte(s) differ", out)


if __name__ == "__main__":
    unittest.main()

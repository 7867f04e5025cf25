"""scripts/check-hardening on small programs built for each case: a program built with every
hardening flag passes, and a program missing one flag fails naming exactly that property."""

import pathlib
import shutil
import subprocess
import tempfile
import unittest

SCRIPT = pathlib.Path(__file__).resolve().parents[2] / "scripts" / "check-hardening"

# Has a stack array (for the stack protector) and a copy the compiler can bound (for fortify).
SOURCE = r"""
#include <stdio.h>
#include <string.h>
int main(int argc, char **argv) {
  char buffer[64];
  strcpy(buffer, argv[0]);
  snprintf(buffer + 1, sizeof buffer - 1, "%d", argc);
  puts(buffer);
  return 0;
}
"""

HARDENED = ["-O2", "-fPIE", "-pie", "-fstack-protector-strong", "-D_FORTIFY_SOURCE=2",
            "-Wl,-z,relro,-z,now"]


class CheckHardening(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.folder = tempfile.mkdtemp()
        cls.source = pathlib.Path(cls.folder, "program.c")
        cls.source.write_text(SOURCE)

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.folder)

    def check(self, flags):
        program = pathlib.Path(self.folder, "program")
        subprocess.run(["cc", *flags, "-o", program, self.source], check=True)
        result = subprocess.run([SCRIPT, program], capture_output=True, text=True, check=False)
        missing = [line.split(None, 1)[1] for line in result.stdout.splitlines()
                   if line.startswith("MISSING")]
        return result.returncode, missing

    def test_accepts_a_hardened_program(self):
        self.assertEqual(self.check(HARDENED), (0, []))

    def test_names_each_missing_property(self):
        cases = {
            "PIE": (["-fno-PIE", "-no-pie"], "PIE (ELF type DYN)"),
            "RELRO": (["-Wl,-z,norelro"], "RELRO (GNU_RELRO segment)"),
            "lazy binding": (["-Wl,-z,lazy"], "BIND_NOW (immediate binding)"),
            "stack protector": (["-fno-stack-protector"], "stack protector (__stack_chk_fail)"),
            "fortify": (["-U_FORTIFY_SOURCE"], "fortify (__*_chk functions)"),
        }
        for name, (weakening, property_name) in cases.items():
            with self.subTest(name):
                self.assertEqual(self.check(HARDENED + weakening), (1, [property_name]))

    def test_refuses_a_missing_file(self):
        result = subprocess.run([SCRIPT, pathlib.Path(self.folder, "absent")],
                                capture_output=True, text=True, check=False)
        self.assertEqual(result.returncode, 2)


if __name__ == "__main__":
    unittest.main()

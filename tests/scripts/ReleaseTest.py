"""scripts/release --from-build on a small hardened program with debug information, in a
throw-away clone of the scripts: the archive holds what a user needs to check and debug the
program, and two packings under different umasks and file times give the same bytes."""

import hashlib
import os
import pathlib
import shutil
import subprocess
import tarfile
import tempfile
import unittest

import CheckHardeningTest

REPO = pathlib.Path(__file__).resolve().parents[2]
VERSION = "1.2.3.4"
NAME = "zanth-bootstrapper-%s-linux-x86_64" % VERSION
# The check-hardening test's small hardened program, with debug information and a build-id.
HARDENED = CheckHardeningTest.HARDENED + ["-g", "-Wl,--build-id=sha1"]
SOURCE = CheckHardeningTest.SOURCE


def run(*argv, **options):
    result = subprocess.run([str(a) for a in argv], capture_output=True, text=True, check=False,
                            **options)
    if result.returncode != 0:
        raise AssertionError("%s: exit %d\n%s%s" % (" ".join(map(str, argv)), result.returncode,
                                                   result.stdout, result.stderr))
    return result


class Release(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.folder = pathlib.Path(tempfile.mkdtemp())
        # The scripts the packing uses, in a repository of their own whose tree is its commit.
        cls.repo = cls.folder / "repo"
        (cls.repo / "scripts").mkdir(parents=True)
        (cls.repo / "bootstrapper").mkdir()
        for script in ("release", "check-hardening"):
            shutil.copy(REPO / "scripts" / script, cls.repo / "scripts" / script)
        (cls.repo / "CMakeLists.txt").write_text(
            "project(ZanthBootstrapper VERSION %s LANGUAGES C CXX)\n" % VERSION)
        (cls.repo / "bootstrapper" / "main.cpp").write_text(SOURCE)
        run("git", "init", "-q", cls.repo)
        run("git", "-C", cls.repo, "add", ".")
        run("git", "-C", cls.repo, "-c", "user.name=t", "-c", "user.email=t@example.org",
            "commit", "-qm", "packed")
        # A build folder as the release preset leaves it.
        cls.build = cls.folder / "build"
        (cls.build / "bootstrapper").mkdir(parents=True)
        # Named from the repository's root, as the release preset's prefix maps name sources.
        run("cc", *HARDENED, "-x", "c", "-o", cls.build / "bootstrapper" / "zanth-bootstrapper",
            "bootstrapper/main.cpp", cwd=cls.repo)
        plist = cls.folder / "libplist-2.2.0"
        (plist / "debian").mkdir(parents=True)
        (plist / "COPYING.LESSER").write_text("GNU LESSER GENERAL PUBLIC LICENSE 2.1\n")
        (plist / "debian" / "copyright").write_text("Files: *\n")
        (cls.build / "_deps").mkdir()
        (cls.build / "_deps" / "libplist-package").write_text(
            "libplist 2.2.0-6 bookworm %s\n" % plist)
        root = cls.folder / "root.der"
        root.write_bytes(b"a root certificate")
        (cls.build / "CMakeCache.txt").write_text(
            "ZANTH_DOWNLOAD_BASE:STRING=https://download.example.org\n"
            "ZANTH_ROOT_CERT:FILEPATH=%s\nCMAKE_CXX_COMPILER:FILEPATH=/usr/bin/c++\n" % root)
        cls.archives = [cls.pack(0o022, 1_000_000_000), cls.pack(0o077, 1_500_000_000)]

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.folder)

    @classmethod
    def pack(cls, umask, mtime):
        """Packs the build with the given umask after setting every input's time to mtime;
        returns the archive's bytes."""
        for path in list(cls.build.rglob("*")) + list(cls.folder.glob("libplist-2.2.0/**/*")):
            os.utime(path, (mtime, mtime))
        old = os.umask(umask)
        try:
            run("bash", cls.repo / "scripts" / "release", "--from-build", cls.build)
        finally:
            os.umask(old)
        return (cls.repo / "dist" / (NAME + ".tar.xz")).read_bytes()

    def test_packings_give_the_same_bytes(self):
        self.assertEqual(hashlib.sha256(self.archives[0]).hexdigest(),
                         hashlib.sha256(self.archives[1]).hexdigest())

    def test_archive_holds_the_files_with_fixed_owners_modes_and_times(self):
        with tarfile.open(self.repo / "dist" / (NAME + ".tar.xz")) as archive:
            members = archive.getmembers()
        names = [m.name for m in members]
        commit_time = int(run("git", "-C", self.repo, "log", "-1", "--format=%ct").stdout)
        build_id = run("readelf", "--notes", self.build / "bootstrapper" / "zanth-bootstrapper")
        build_id = build_id.stdout.split("Build ID: ")[1].split()[0]
        link = "%s/.build-id/%s/%s.debug" % (NAME, build_id[:2], build_id[2:])
        self.assertEqual(names, sorted(names))
        for expected in ("zanth-bootstrapper", "zanth-bootstrapper.debug", "SHA256SUMS",
                         "NOTICE", "BUILD-OPTIONS", "LICENSES/libplist-LGPL-2.1.txt"):
            self.assertIn("%s/%s" % (NAME, expected), names)
        self.assertIn(link, names)
        by_name = {m.name: m for m in members}
        self.assertEqual(by_name[link].linkname, "../../zanth-bootstrapper.debug")
        self.assertEqual(oct(by_name[NAME + "/zanth-bootstrapper"].mode), oct(0o755))
        self.assertEqual(oct(by_name[NAME + "/NOTICE"].mode), oct(0o644))
        for member in members:
            with self.subTest(member.name):
                self.assertEqual((member.uid, member.gid, member.mtime), (0, 0, commit_time))

    def test_notices_name_the_bundled_source_and_the_build_options(self):
        unpacked = self.folder / "unpacked"
        with tarfile.open(self.repo / "dist" / (NAME + ".tar.xz")) as archive:
            archive.extractall(unpacked)
        folder = unpacked / NAME
        run("sha256sum", "--quiet", "--check", "SHA256SUMS", cwd=folder)
        self.assertIn("libplist\n2.2.0-6 (Debian bookworm)", (folder / "NOTICE").read_text())
        options = (folder / "BUILD-OPTIONS").read_text()
        self.assertIn("ZANTH_DOWNLOAD_BASE=https://download.example.org\n", options)
        self.assertIn("ZANTH_ROOT_CERT sha256 %s\n"
                      % hashlib.sha256(b"a root certificate").hexdigest(), options)
        # The program is stripped; its symbols come back only with the debug file.
        symbols = run("readelf", "--syms", folder / "zanth-bootstrapper").stdout
        self.assertNotIn(" main\n", symbols)


if __name__ == "__main__":
    unittest.main()

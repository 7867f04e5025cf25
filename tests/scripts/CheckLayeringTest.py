"""scripts/check-layering on small trees built for each case: what it accepts, and for each
include it refuses, the file:line and the rule it reports."""

import pathlib
import subprocess
import sys
import tempfile
import unittest

SCRIPT = pathlib.Path(__file__).resolve().parents[2] / "scripts" / "check-layering"

# Headers the includes below may name.
HEADERS = [
    "platform/Path.h", "libinstall/InstallLogMsgs.h", "libinstall/LibInstall.h",
    "params/KOBU.h", "download/Downloader.h", "signature/SignatureVerification.h",
]


def run(sources):
    """Runs the check on a tree holding HEADERS and sources ({path: [include lines]})."""
    with tempfile.TemporaryDirectory() as root:
        for path, includes in [(h, []) for h in HEADERS] + list(sources.items()):
            file = pathlib.Path(root, path)
            file.parent.mkdir(parents=True, exist_ok=True)
            file.write_text("".join(f"#include {include}\n" for include in includes))
        result = subprocess.run([sys.executable, SCRIPT, "--root", root],
                                capture_output=True, text=True, check=False)
    return result.returncode, result.stdout.splitlines()


class CheckLayering(unittest.TestCase):
    def assertRefuses(self, sources, expected):
        """Exactly the expected (file:line, rule fragment) pairs are reported, and the check fails."""
        code, lines = run(sources)
        self.assertEqual(code, 1, lines)
        reported = {line.split(": ", 1)[0]: line for line in lines}
        self.assertEqual(sorted(reported), sorted(where for where, _ in expected), lines)
        for where, rule in expected:
            self.assertIn(rule, reported[where])

    def test_accepts_includes_that_follow_the_layering(self):
        code, lines = run({
            "platform/Path.cpp": ['"platform/Path.h"', '"BuildConfig.h"', "<glib.h>",
                                  "<unistd.h>", "<sys/stat.h>", "<vector>", "<stdlib.h>"],
            "platform/ui/gtk/GtkBackend.cpp": ["<gtk/gtk.h>", "<gio/gio.h>"],
            "platform/curl/CurlLoop.cpp": ["<curl/curl.h>"],
            "platform/UrlDownloadCurl.cpp": ["<curl/curl.h>"],
            "platform/PropertyListPlist.cpp": ["<plist/plist.h>"],
            "platform/GzipDecoder.cpp": ["<zlib.h>"],
            "libinstall/LinuxInstall.cpp": ["<syslog.h>", '"platform/Path.h"'],
            "download/Downloader.cpp": ['"libinstall/InstallLogMsgs.h"', "<string>"],
            "signature/RevocationCheck.cpp": ['"download/Downloader.h"', "<openssl/x509.h>"],
            "bootstrapper/Bootstrapper.cpp": ['"signature/SignatureVerification.h"',
                                              '"params/KOBU.h"', '"libinstall/LibInstall.h"'],
        })
        self.assertEqual((code, len(lines)), (0, 1), lines)

    def test_refuses_modules_above_beside_and_beyond_the_named_interfaces(self):
        self.assertRefuses({
            "platform/Path.cpp": ['"platform/Path.h"', '"download/Downloader.h"'],
            "messages/Catalogue.cpp": ['"params/KOBU.h"'],
            "params/KOBU.cpp": ['"signature/SignatureVerification.h"'],
            "download/Downloader.cpp": ['"libinstall/LibInstall.h"'],
        }, [
            ("platform/Path.cpp:2", "platform/ must not include download/, a module above it"),
            ("messages/Catalogue.cpp:1", "a module beside it"),
            ("params/KOBU.cpp:1", "a module beside it"),
            ("download/Downloader.cpp:1", "download/ may use libinstall/ only for the install log"),
        ])

    def test_refuses_paths_not_named_from_the_root_or_missing(self):
        self.assertRefuses({
            "params/KOBU.cpp": ['"../platform/Path.h"', '"KOBU.h"', '"platform/Nope.h"'],
        }, [
            ("params/KOBU.cpp:1", "without '..'"),
            ("params/KOBU.cpp:2", "not a module's header"),
            ("params/KOBU.cpp:3", "no such file"),
        ])

    def test_refuses_library_and_host_headers_outside_their_owners(self):
        self.assertRefuses({
            "platform/ui/Application.cpp": ["<gtk/gtk.h>", "<openssl/err.h>", "<libxml/parser.h>"],
            "platform/GzipDecoder.h": ["<zlib.h>"],
            "platform/PropertyList.h": ["<plist/plist.h>"],
            "platform/UrlDownload.cpp": ["<curl/curl.h>"],
            "messages/Dialog.cpp": ["<glib.h>"],
            "bootstrapper/main.cpp": ["<unistd.h>"],
        }, [
            ("platform/ui/Application.cpp:1", "GTK/GDK headers belong to platform/ui/gtk/*"),
            ("platform/ui/Application.cpp:2", "OpenSSL headers belong to signature/*"),
            ("platform/ui/Application.cpp:3", "not a standard, host or known third-party header"),
            ("platform/GzipDecoder.h:1", "zlib headers belong to platform/GzipDecoder.cpp"),
            ("platform/PropertyList.h:1", "libplist headers belong to"),
            ("platform/UrlDownload.cpp:1", "libcurl headers belong to"),
            ("messages/Dialog.cpp:1", "GLib/GIO headers belong to platform/*"),
            ("bootstrapper/main.cpp:1", "host headers belong to"),
        ])


if __name__ == "__main__":
    unittest.main()

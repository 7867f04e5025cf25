#!/usr/bin/env python3
"""Side-by-side measurements of the program against the tools a user would use instead.

Called by bench/run after the release build; see bench/run for the options. Python 3 standard
library only. Every comparison alternates its two sides run by run (A B A B ...), so that a
change in the machine's load falls on both; each figure is the median of the runs, with the
fastest and slowest run as its range.
"""

import argparse
import csv
import os
import re
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import time

SERVER_FOLDER = "zanth/3/kob/macos10.0/x86"
HOST = "http://download.quillor.example"
INSTALLER_URL = HOST + "/" + SERVER_FOLDER + "/installer"
CRL_NAMES = ["QuillorRootCA.crl", "QuillorCodeSigning.crl"]
# The runtime installer: a script that ends at once, followed by its bulk.
INSTALLER_HEADER = b"#!/bin/sh\nexit 0\n"
MIB = 1 << 20
# A link that is not loopback: what the fixture server is told to pace its answers to.
LINK_RATE = 8 * MIB  # bytes per second, shared by all connections
LINK_DELAY_MS = 40  # before each answer begins
# The switches that make the server offer ranges (with an ETag) and reset the connection once
# at a given offset; the next request continues from where the client asks.
RESET_ONCE_SWITCHES = "_ranges/_reset-once=%d"


# --- Running and timing ---------------------------------------------------------------------

def run_once(argv, env, expect=0):
    """Runs argv to its end; returns (seconds, peak resident KiB). The peak is the process's own
    or that of a child it waited for, whichever is larger (wait4's accounting)."""
    start = time.perf_counter()
    pid = os.posix_spawn(argv[0], argv, env)
    _, status, usage = os.wait4(pid, 0)
    elapsed = time.perf_counter() - start
    code = os.waitstatus_to_exitcode(status)
    if expect is not None and code != expect:
        raise SystemExit("%s ended with %d, expected %d" % (" ".join(argv), code, expect))
    return elapsed, usage.ru_maxrss


def summary(values):
    return {"median": statistics.median(values), "min": min(values), "max": max(values),
            "runs": len(values)}


def alternate(sides, runs, warmup=1):
    """sides: list of (name, callable returning seconds). Runs them in turn; returns
    {name: [seconds...]}."""
    for _ in range(warmup):
        for _, action in sides:
            action()
    times = {name: [] for name, _ in sides}
    for _ in range(runs):
        for name, action in sides:
            times[name].append(action())
    return times


def needed_libraries(path):
    """The shared objects a program file names (its NEEDED entries), in their order."""
    out = subprocess.run(["readelf", "--dynamic", "--wide", path], check=True,
                         capture_output=True, text=True).stdout
    return re.findall(r"\(NEEDED\)\s+Shared library: \[([^\]]+)\]", out)


def build_linked_floor(program, folder):
    """Builds an empty C program that names exactly the libraries program names, linked as the
    program is (PIE, full RELRO, immediate binding), so that the dynamic loader does the same
    work before main; returns its path. Fails when the result names other libraries."""
    needed = needed_libraries(program)
    source = os.path.join(folder, "linked_floor.c")
    path = os.path.join(folder, "linked_floor")
    with open(source, "w") as f:
        f.write("int main(void) { return 0; }\n")
    subprocess.run([os.environ.get("CC", "cc"), "-O2", "-fPIE", "-pie", "-o", path, source,
                    "-Wl,-z,relro,-z,now", "-Wl,--no-as-needed"] +
                   ["-l:" + name for name in needed], check=True)
    if sorted(needed_libraries(path)) != sorted(needed):
        raise SystemExit("the linked floor names %s, the program %s"
                         % (needed_libraries(path), needed))
    return path


# --- The world: installers, signatures, server, package ---------------------------------------

class Bench:
    def __init__(self, options):
        self.o = options
        self.build = os.path.abspath(options.build)
        self.pki = os.path.join(self.build, "fixtures", "pki")
        self.make_pki = os.path.join(self.build, "tools", "fixture_pki", "make_fixture_pki")
        self.program = os.path.join(self.build, "tests", "e2e", "bootstrapper_fixture")
        self.floor = os.path.join(self.build, "bench", "exec_floor")
        self.minimal_window = os.path.join(self.build, "bench", "minimal_gtk_window")
        self.map_watch = os.path.join(self.build, "bench", "map_watch")
        self.verify_tool = os.path.join(self.build, "bench", "zanth_verify")
        self.work = tempfile.mkdtemp(prefix="zanth-bench-", dir=options.work)
        self.servers = []
        self.xvfb = None
        self.rows = []
        self.paced_proxy = None

    # Files ---------------------------------------------------------------------------------

    def make_installer(self, size_mib):
        """An installer of header + size_mib MiB of pseudo-random bytes, signed by the expected
        publisher; returns its path (its signature is path + ".p7")."""
        path = os.path.join(self.work, "files", "installer-%d" % size_mib)
        if os.path.exists(path):
            return path
        os.makedirs(os.path.dirname(path), exist_ok=True)
        block = bytearray(os.urandom(MIB))
        with open(path, "wb") as out:
            out.write(INSTALLER_HEADER)
            for i in range(size_mib):
                block[:8] = i.to_bytes(8, "little")  # no two blocks alike
                out.write(block)
        subprocess.run([self.make_pki, "--sign", self.pki, "good", path, path + ".p7"],
                       check=True, stdout=subprocess.DEVNULL)
        return path

    def publish(self, size_mib):
        """Makes the server offer the installer of size_mib."""
        path = self.make_installer(size_mib)
        folder = os.path.join(self.work, "server", SERVER_FOLDER)
        for suffix in ("", ".p7"):
            link = os.path.join(folder, "installer" + suffix)
            if os.path.lexists(link):
                os.remove(link)
            os.symlink(path + suffix, link)
        return path

    def start_server(self, repo):
        root = os.path.join(self.work, "server")
        os.makedirs(os.path.join(root, SERVER_FOLDER), exist_ok=True)
        os.makedirs(os.path.join(root, "crl"), exist_ok=True)
        for name in CRL_NAMES:
            shutil.copy(os.path.join(self.pki, name.replace(".crl", "-empty.crl")),
                        os.path.join(root, "crl", name))
        self.repo = repo
        self.proxy = self.spawn_server([])

    def spawn_server(self, options):
        """One more fixture server over the same files; returns its address as a proxy."""
        server = subprocess.Popen(
            [sys.executable, os.path.join(self.repo, "tests", "support", "fixture_server.py"),
             "--root", os.path.join(self.work, "server")] + options,
            stdout=subprocess.PIPE, text=True)
        self.servers.append(server)
        return "http://127.0.0.1:%d" % int(server.stdout.readline())

    def make_package(self):
        """Install Foo beside Foo, and the folders of a machine without the runtime."""
        box = os.path.join(self.work, "box")
        for folder in ("pkg/Foo", "home/.local/share", "tmp", "share", "etc/xdg", "script"):
            os.makedirs(os.path.join(box, folder), exist_ok=True)
        self.app = os.path.join(box, "pkg", "Install Foo")
        shutil.copy(self.program, self.app)
        self.box = box
        env = {k: v for k, v in os.environ.items()
               if k in ("PATH", "USER", "LOGNAME", "SHELL", "TERM")}
        env.update(HOME=box + "/home", TMPDIR=box + "/tmp",
                   XDG_DATA_HOME=box + "/home/.local/share", XDG_DATA_DIRS=box + "/share",
                   XDG_CONFIG_DIRS=box + "/etc/xdg", LANG="C.UTF-8", http_proxy=self.proxy)
        self.env = env

    def check_clean(self):
        left = os.listdir(os.path.join(self.box, "tmp"))
        if left:
            raise SystemExit("the program left %s in its temporary folder" % left)

    # Rows ------------------------------------------------------------------------------------

    def add(self, measure, subject, size, unit, values, reference=None):
        row = {"measure": measure, "subject": subject, "size_mib": size, "unit": unit}
        row.update(summary(values))
        row["ratio"] = row["median"] / reference["median"] if reference else None
        row["reference_median"] = reference["median"] if reference else None
        self.rows.append(row)
        return row

    # Measurements ----------------------------------------------------------------------------

    def startup(self):
        """Start-up to decision, headless: Install Foo -silent without runtime ends with 10,
        against an empty program that loads the same libraries (the goal), with the bare exec
        floor beside them for information."""
        app = [self.app, "-silent"]
        floor = [self.floor]
        linked = [build_linked_floor(self.app, self.work)]
        out = os.open(os.devnull, os.O_WRONLY)
        saved = os.dup(1)
        os.dup2(out, 1)  # the program's "Unable to download..." line
        try:
            times = alternate([("program", lambda: run_once(app, self.env, expect=10)[0]),
                               ("linked", lambda: run_once(linked, self.env)[0]),
                               ("floor", lambda: run_once(floor, self.env)[0])],
                              self.o.startup_runs, warmup=5)
        finally:
            os.dup2(saved, 1)
            os.close(saved)
            os.close(out)
        ms = lambda values: [v * 1000 for v in values]
        floor_row = self.add("startup", "exec floor (C, exec+exit)", "", "ms",
                             ms(times["floor"]))
        linked_row = self.add("startup", "empty C program, the same NEEDED", "", "ms",
                              ms(times["linked"]), floor_row)
        linked_row["checked"] = False  # what loading the libraries costs: information
        self.add("startup", "Install Foo -silent (exit 10), headless", "", "ms",
                 ms(times["program"]), linked_row)

    def start_display(self):
        """One Xvfb for the window measure; returns its DISPLAY value."""
        read, write = os.pipe()
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write), "-nolisten", "tcp", "-noreset", "-screen", "0",
             "1280x1024x24"],
            pass_fds=[write], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write)
        with os.fdopen(read) as f:
            number = f.readline().strip()
        if not number:
            raise SystemExit("Xvfb did not start")
        return ":" + number

    def window(self):
        """Start to the progress window mapped under Xvfb, against a minimal GTK 3 program that
        maps one window. The download stalls after its headers, so the window stays; map_watch
        sees both programs' windows the same way (the X server's MapNotify) and then ends them."""
        self.publish(self.o.size)
        switches = os.path.join(self.work, "server", SERVER_FOLDER, "installer.switches")
        with open(switches, "w") as f:
            f.write("_stall\n")
        env = dict(self.env)
        # The accessibility bridge would look for a desktop session bus that Xvfb has not got.
        env.update(DISPLAY=self.start_display(), NO_AT_BRIDGE="1")

        def mapped_ms(argv):
            watch = subprocess.run([self.map_watch, "30"] + argv, env=env, capture_output=True,
                                   text=True)
            if watch.returncode != 0:
                raise SystemExit("%s: %s" % (" ".join(argv), watch.stderr.strip()))
            return float(watch.stdout.split()[0])

        def program():
            ms = mapped_ms([self.app, "-eulaAccepted", "-allowDownload"])
            self.check_clean()
            return ms

        try:
            times = alternate([("program", program),
                               ("minimal", lambda: mapped_ms([self.minimal_window]))],
                              self.o.window_runs, warmup=3)
        finally:
            os.remove(switches)
        ref = self.add("window", "minimal GTK 3 window (C)", "", "ms", times["minimal"])
        self.add("window", "Install Foo progress window (Xvfb)", "", "ms", times["program"], ref)

    def road_script(self, proxy=None, name="install-runtime.sh", curl_options="-sSf"):
        """The scripted tools' version of the whole road, as a user would write it: one curl
        invocation (one connection, kept alive) fetches the four files."""
        proxy = proxy or self.proxy
        script = os.path.join(self.box, "script", name)
        crls = " ".join("-o crl%d.crl %s/crl/%s" % (i, HOST, name)
                        for i, name in enumerate(CRL_NAMES))
        with open(script, "w") as f:
            f.write(f"""#!/bin/sh
# Download the runtime installer, its signature and the revocation lists; verify; run.
set -e
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
cd "$dir"
curl {curl_options} --proxy {proxy} -o installer {INSTALLER_URL} -o installer.p7 {INSTALLER_URL}.p7 {crls}
{{ cat {self.pki}/root.pem; for c in crl*.crl; do openssl crl -inform DER -in "$c"; done; }} >ca.pem
openssl cms -verify -binary -inform DER -in installer.p7 -content installer -CAfile ca.pem \\
  -no-CApath -no-CAstore -purpose any -ignore_critical -crl_check_all -out /dev/null 2>/dev/null
chmod +x installer
./installer -silent "$1"
""")
        os.chmod(script, 0o755)
        return script

    def road(self, size):
        self.publish(size)
        script = self.road_script()
        pkg = os.path.join(self.box, "pkg", "Foo")
        app = [self.app, "-silent", "-allowDownload"]
        tools = ["/bin/sh", script, pkg]
        peaks = []

        def program():
            seconds, peak = run_once(app, self.env)
            peaks.append(peak / 1024)
            self.check_clean()
            return seconds

        times = alternate([("program", program),
                           ("tools", lambda: run_once(tools, self.env)[0])], self.o.runs)
        ref = self.add("road", "curl + openssl cms + chmod + run", size, "s", times["tools"])
        self.add("road", "Install Foo -silent -allowDownload", size, "s", times["program"], ref)
        return peaks

    def link(self, size):
        """The whole road over a paced link, against the tools over the same link."""
        self.publish(size)
        env = dict(self.env, http_proxy=self.link_proxy())
        script = self.road_script(env["http_proxy"], "install-runtime-link.sh")
        app = [self.app, "-silent", "-allowDownload"]
        tools = ["/bin/sh", script, os.path.join(self.box, "pkg", "Foo")]

        def program():
            seconds = run_once(app, env)[0]
            self.check_clean()
            return seconds

        times = alternate([("program", program), ("tools", lambda: run_once(tools, env)[0])],
                          self.o.runs)
        subject = "paced link"
        ref = self.add("link", "curl + openssl cms + run, " + subject, size, "s",
                       times["tools"])
        self.add("link", "Install Foo -silent, " + subject, size, "s",
                 times["program"], ref)

    def link_proxy(self):
        """The fixture server paced as a link that is not loopback, started when first needed."""
        if not self.paced_proxy:
            self.paced_proxy = self.spawn_server(
                ["--rate", str(LINK_RATE), "--delay", str(LINK_DELAY_MS)])
        return self.paced_proxy

    def resume(self, size):
        """The road over the paced link with the connection reset once at half the installer,
        against the clean road; curl resuming with -C - --retry 3 beside it."""
        self.publish(size)
        env = dict(self.env, http_proxy=self.link_proxy())
        switches = os.path.join(self.work, "server", SERVER_FOLDER, "installer.switches")
        reset_at = (len(INSTALLER_HEADER) + size * MIB) // 2
        script = self.road_script(env["http_proxy"], "install-runtime-resume.sh",
                                  "-sSf -C - --retry 3 --retry-delay 1 --retry-all-errors")
        app = [self.app, "-silent", "-allowDownload"]
        tools = ["/bin/sh", script, os.path.join(self.box, "pkg", "Foo")]

        def with_reset(argv):
            with open(switches, "w") as f:
                f.write(RESET_ONCE_SWITCHES % reset_at + "\n")
            try:
                seconds = run_once(argv, env)[0]
            finally:
                os.remove(switches)
            self.check_clean()
            return seconds

        def clean():
            seconds = run_once(app, env)[0]
            self.check_clean()
            return seconds

        times = alternate([("clean", clean), ("reset", lambda: with_reset(app)),
                           ("tools", lambda: with_reset(tools))], self.o.runs)
        ref = self.add("resume", "Install Foo, clean paced link", size, "s", times["clean"])
        self.add("resume", "Install Foo, one reset at half", size, "s", times["reset"], ref)
        row = self.add("resume", "curl -C - --retry 3 road, one reset", size, "s",
                       times["tools"], ref)
        row["checked"] = False  # the user's alternative, shown beside the program

    def verification(self, size):
        data = self.make_installer(size)
        crls = [os.path.join(self.pki, name.replace(".crl", "-empty.crl")) for name in CRL_NAMES]
        ca = os.path.join(self.work, "ca.pem")
        with open(ca, "wb") as out:
            with open(os.path.join(self.pki, "root.pem"), "rb") as f:
                out.write(f.read())
            for crl in crls:
                out.write(subprocess.run(["openssl", "crl", "-inform", "DER", "-in", crl],
                                         check=True, capture_output=True).stdout)
        common = ["-binary", "-inform", "DER", "-in", data + ".p7", "-content", data, "-CAfile",
                  ca, "-no-CApath", "-no-CAstore", "-purpose", "any", "-ignore_critical",
                  "-crl_check_all", "-out", "/dev/null"]
        openssl = shutil.which("openssl")
        cms = [openssl, "cms", "-verify"] + common
        smime = [openssl, "smime", "-verify"] + common
        ours = [self.verify_tool, data, data + ".p7"] + crls
        devnull = os.open(os.devnull, os.O_WRONLY)
        saved = os.dup(2)
        os.dup2(devnull, 2)  # "Verification successful"
        try:
            times = alternate([("ours", lambda: run_once(ours, self.env)[0]),
                               ("cms", lambda: run_once(cms, self.env)[0]),
                               ("smime", lambda: run_once(smime, self.env)[0])], self.o.runs)
        finally:
            os.dup2(saved, 2)
            os.close(saved)
            os.close(devnull)
        ref = self.add("verify", "openssl cms -verify", size, "s", times["cms"])
        self.add("verify", "openssl smime -verify", size, "s", times["smime"], ref)
        self.add("verify", "SignatureVerification (zanth_verify)", size, "s", times["ours"], ref)

    def memory(self, sizes, headless_peaks):
        xvfb = shutil.which("xvfb-run")
        gnu_time = "/usr/bin/time"
        for size in sizes:
            self.publish(size)
            peaks = list(headless_peaks.get(size, []))
            while len(peaks) < self.o.memory_runs:
                peaks.append(run_once([self.app, "-silent", "-allowDownload"], self.env)[1] / 1024)
                self.check_clean()
            self.add("memory", "headless -silent", size, "MiB", peaks)
            if not xvfb:
                continue
            gui = []
            report = os.path.join(self.work, "time.txt")
            for _ in range(self.o.memory_runs):
                argv = [xvfb, "-a", gnu_time, "-f", "%M", "-o", report, self.app,
                        "-eulaAccepted", "-allowDownload"]
                env = dict(self.env)
                env.pop("DISPLAY", None)
                run_once(argv, env)
                with open(report) as f:
                    gui.append(int(f.read().split()[-1]) / 1024)
                self.check_clean()
            self.add("memory", "progress window (Xvfb)", size, "MiB", gui)

    def stop(self):
        if self.xvfb:
            self.xvfb.terminate()
            self.xvfb.wait()
        for server in self.servers:
            server.send_signal(signal.SIGTERM)
            server.wait()
        shutil.rmtree(self.work, ignore_errors=True)


# --- Output -----------------------------------------------------------------------------------

GOALS = {"startup": ("<= 1.2x the empty program with the same libraries", lambda r: r <= 1.2),
         "window": ("<= 1.5x the minimal GTK window", lambda r: r <= 1.5),
         "road": ("<= 1.05x the tools", lambda r: r <= 1.05),
         "link": ("<= 1.05x the tools over the same link", lambda r: r <= 1.05),
         "resume": ("<= 1.3x the clean road", lambda r: r <= 1.3),
         "verify": ("(none; 1.0 = openssl cms)", None)}
MEMORY_LIMITS = {"headless": 32, "window": 96}


def fmt(value, unit):
    if unit == "ms":
        return "%.2f" % value
    if unit == "s":
        return "%.3f" % value
    return "%.1f" % value


def print_table(rows, noise):
    """Prints the rows and each goal's line; returns whether every goal was met."""
    print()
    print("%-8s %-40s %5s %10s %22s %4s %7s" % ("measure", "subject", "MiB", "median",
                                               "range (min..max)", "runs", "ratio"))
    for r in rows:
        ratio = "%.2f" % r["ratio"] if r["ratio"] is not None else ""
        print("%-8s %-40s %5s %7s %-2s %10s..%-10s %4d %7s" % (
            r["measure"], r["subject"], r["size_mib"], fmt(r["median"], r["unit"]), r["unit"],
            fmt(r["min"], r["unit"]), fmt(r["max"], r["unit"]), r["runs"], ratio))
    print()
    print("Noise: load average %s before, %s after; spread (max-min)/median: %s" % (
        noise["load_before"], noise["load_after"],
        ", ".join("%s %s %.0f%%" % (r["measure"], r["subject"].split()[0],
                                     100 * (r["max"] - r["min"]) / r["median"])
                  for r in rows if r["measure"] != "memory")))
    print("Goals: start-up to decision (headless) <= 1.2x an empty program linked with the "
          "program's NEEDED libraries (the exec floor is shown for information); progress "
          "window mapped <= 1.5x a minimal GTK 3 window; road <= 1.05x tools, also over a "
          "paced link; one reset <= 1.3x the clean road; memory < 32 MiB headless, < 96 MiB "
          "with the window, independent of size.")
    met = []
    for r in rows:
        goal = GOALS.get(r["measure"])
        if r["ratio"] is not None and goal and goal[1] and r.get("checked", True):
            met.append(goal[1](r["ratio"]))
            print("  %-7s %.2fx %s: %s" % (r["measure"], r["ratio"], goal[0],
                                           "met" if met[-1] else "MISSED"))
        if r["measure"] == "memory":
            limit = MEMORY_LIMITS["headless" if r["subject"].startswith("headless") else "window"]
            met.append(r["max"] < limit)
            print("  memory  %s, %s MiB: %.1f MiB (max %.1f) < %d MiB: %s" % (
                r["subject"], r["size_mib"], r["median"], r["max"], limit,
                "met" if met[-1] else "MISSED"))
    return all(met)


def write_csv(rows, path):
    with open(path, "w", newline="") as f:
        writer = csv.DictWriter(f, fieldnames=["measure", "subject", "size_mib", "unit", "runs",
                                               "median", "min", "max", "ratio"])
        writer.writeheader()
        for r in rows:
            writer.writerow({k: r[k] for k in writer.fieldnames})


def write_chart(rows, folder, label):
    """Two panels: ratios of the program to its reference, and peak memory against size."""
    gnuplot = shutil.which("gnuplot")
    if not gnuplot:
        print("gnuplot not found: no chart", file=sys.stderr)
        return
    ratios = os.path.join(folder, "ratios-%s.dat" % label)
    with open(ratios, "w") as f:
        for r in rows:
            if r["ratio"] is None or not r.get("checked", True) or \
                    r["subject"].startswith("openssl smime"):
                continue
            name = {"startup": "start-up", "window": "window mapped", "road": "whole road",
                    "link": "paced link", "resume": "one reset", "verify": "verify"}[r["measure"]]
            f.write('"%s" %f %f %f\n' % (name, r["ratio"], r["min"] / r["reference_median"],
                                         r["max"] / r["reference_median"]))
    memory = os.path.join(folder, "memory-%s.dat" % label)
    with open(memory, "w") as f:
        for subject in ("headless -silent", "progress window (Xvfb)"):
            for r in rows:
                if r["measure"] == "memory" and r["subject"] == subject:
                    f.write("%s %f %f %f\n" % (r["size_mib"], r["median"], r["min"], r["max"]))
            f.write("\n\n")
    png = os.path.join(folder, "bench-%s.png" % label)
    script = f"""
set terminal pngcairo size 1200,500 noenhanced font ",10"
set output "{png}"
set multiplot layout 1,2 title "Install Foo against the tools a user would use instead ({label})"
set title "Time: program / reference (median, bars: slowest and fastest run)"
set style data histogram
set style fill solid 0.6 border -1
set boxwidth 0.6
set logscale y
set yrange [0.5:*]
set grid ytics
set ylabel "ratio (log scale)"
set xtics nomirror
plot "{ratios}" using 0:2:xtic(1) with boxes notitle, \\
     "" using 0:2:3:4 with yerrorbars lc rgb "black" pt 0 notitle, \\
     1.05 with lines dt 2 lc rgb "red" title "road goal 1.05", \\
     1.5 with lines dt 4 lc rgb "dark-green" title "window goal 1.5", \\
     1.2 with lines dt 3 lc rgb "blue" title "start-up goal 1.2"
set title "Peak resident memory on the whole road"
set xlabel "installer size (MiB)"
set ylabel "MiB"
set logscale x 2
set xrange [32:2048]
unset logscale y
set yrange [0:*]
set key center right
plot "{memory}" index 0 using 1:2:3:4 with yerrorlines title "headless", \\
     "" index 1 using 1:2:3:4 with yerrorlines title "progress window (Xvfb)", \\
     32 with lines dt 2 lc rgb "red" title "32 MiB", \\
     96 with lines dt 2 lc rgb "blue" title "96 MiB"
unset multiplot
"""
    subprocess.run([gnuplot], input=script, text=True, check=True)
    print("chart: %s" % png)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build", required=True)
    parser.add_argument("--repo", required=True)
    parser.add_argument("--results", required=True)
    parser.add_argument("--label", default="latest")
    parser.add_argument("--work", default=None, help="folder for the bench's files")
    parser.add_argument("--runs", type=int, default=7, help="runs of each side (>= 5)")
    parser.add_argument("--startup-runs", type=int, default=41)
    parser.add_argument("--window-runs", type=int, default=21)
    parser.add_argument("--memory-runs", type=int, default=5)
    parser.add_argument("--size", type=int, default=256, help="installer MiB of road and verify")
    parser.add_argument("--memory-sizes", default="64,256,1024")
    parser.add_argument("--link-size", type=int, default=64,
                        help="installer MiB of the paced-link measures")
    parser.add_argument("--only", default="startup,window,road,link,resume,verify,memory")
    parser.add_argument("--check", action="store_true",
                        help="exit with 1 when a goal is not met")
    options = parser.parse_args()
    only = options.only.split(",")
    sizes = [int(s) for s in options.memory_sizes.split(",") if s]

    os.makedirs(options.results, exist_ok=True)
    bench = Bench(options)
    noise = {"load_before": open("/proc/loadavg").read().split()[:3]}
    try:
        bench.start_server(options.repo)
        bench.make_package()
        for size in sorted(set(sizes + [options.size, options.link_size])):
            print("preparing a signed %d MiB installer" % size, flush=True)
            bench.make_installer(size)
        peaks = {}
        if "startup" in only:
            print("start-up to decision ...", flush=True)
            bench.startup()
        if "window" in only:
            print("start to the progress window mapped (Xvfb) ...", flush=True)
            bench.window()
        if "road" in only:
            print("whole road, %d MiB ..." % options.size, flush=True)
            peaks[options.size] = bench.road(options.size)
        if "link" in only:
            print("whole road over a paced link, %d MiB ..." % options.link_size, flush=True)
            bench.link(options.link_size)
        if "resume" in only:
            print("whole road with one reset, %d MiB ..." % options.link_size, flush=True)
            bench.resume(options.link_size)
        if "verify" in only:
            print("verification alone, %d MiB ..." % options.size, flush=True)
            bench.verification(options.size)
        if "memory" in only:
            print("peak memory, %s MiB ..." % ", ".join(map(str, sizes)), flush=True)
            bench.memory(sizes, peaks)
    finally:
        bench.stop()
    noise["load_after"] = open("/proc/loadavg").read().split()[:3]
    all_met = print_table(bench.rows, noise)
    csv_path = os.path.join(options.results, "bench-%s.csv" % options.label)
    write_csv(bench.rows, csv_path)
    print("table: %s" % csv_path)
    write_chart(bench.rows, options.results, options.label)
    if options.check and not all_met:
        print("goals not met", file=sys.stderr)
        sys.exit(1)


if __name__ == "__main__":
    main()

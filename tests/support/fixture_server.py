#!/usr/bin/env python3
"""Fixture download server for tests: Python standard library only.

Usage:
    fixture_server.py --root FOLDER [--log FILE] [--port N] [--tls-certificate PEM --tls-key PEM]
                      [--rate BYTES_PER_SECOND] [--delay MS]

Binds 127.0.0.1 (a free port unless --port is given), prints the port number on the first line
of standard output, then serves until it is terminated (SIGTERM/SIGINT).

It answers both direct requests (http://127.0.0.1:PORT/path) and forward-proxy requests, so
a program run with http_proxy=http://127.0.0.1:PORT reaches any host name through it, e.g.
http://download.quillor.example/... (the host name is ignored; only the path counts).

With --tls-certificate and --tls-key it speaks only TLS (https://127.0.0.1:PORT/...), presenting
that certificate; a client that refuses it simply ends the connection.

With --rate and --delay it stands in for a link that is not loopback: every answer waits MS
milliseconds before it begins (the round trip), and the bodies of all connections together are
sent at no more than BYTES_PER_SECOND (one shared link).

It makes no tunnels: a CONNECT (an https address through the proxy) is answered 407 with
Proxy-Authenticate, as by a proxy whose credentials the client lacks.

Every request's path (without scheme and host) is appended as one line to the --log file before
it is answered, so tests can tell which addresses were fetched.

Behaviour is chosen by switches: leading path segments that begin with "_", in any number and
order, before the file's path below FOLDER. Values are percent-decoded.

    /name                     the file FOLDER/name (200, Content-Length, application/octet-stream)
    /_status=404/name         answers that status (404, 410, 401, 407, 500, ...) with a short body
    /_type=T/name             Content-Type T, exactly as given (e.g. _type=Application%2FX-Gzip)
    /_gzip/name               the body is the file gzip-compressed (pair with _type=...)
    /_name=N/name             Content-Disposition: attachment; filename="N" (N may hold "/", "..")
    /_nolength/name           no Content-Length; the body ends when the connection closes
    /_truncate/name           announces 1000 bytes more than it sends, then closes
    /_reset=N/name            announces the whole body, sends its first N bytes, waits 0.3 s,
                              then resets the connection (SO_LINGER 0: a TCP RST, not a close)
    /_longer/name             announces half the body, sends all of it, then closes
    /_split=N/name            sends the first N bytes, pauses 0.5 s, then the rest
    /_drip=B,MS/name          sends B bytes every MS milliseconds (a slow but moving download)
    /_stall/name              sends the headers, then nothing (holds the connection 120 s)
    /_hold=G/name             sends the headers and the first half of the body, then waits until
                              FOLDER/G exists (at most 25 s) before it sends the rest
    /_redirect=K/rest         302 to /_redirect=K-1/rest; /_redirect=0/rest serves /rest
    /_loop/name               302 to itself, for ever
    /_redirect-to=URL/name    302 to URL (any scheme, e.g. ftp://...)
    /_redirect-hold/name      302 to /name announcing a body of 1 MB, then sends nothing (holds
                              the connection 120 s): a client must not wait for that body
    /_proxy-auth=U:P/name     as a proxy that wants Basic credentials U:P: a request without
                              them in Proxy-Authorization gets 407 with Proxy-Authenticate

Resumable answers (a request with a Range header is logged with " range=<value>" after its path):

    /_ranges/name             offers ranges: Accept-Ranges and an ETag; answers "Range: bytes=N-"
                              with 206 from N, unless an If-Range names another ETag (then 200)
    /_accept-ranges=V/name    with _ranges, says "Accept-Ranges: V" in place of "bytes"; an empty
                              V sends no Accept-Ranges (ranges are served all the same)
    /_reset-once=N/name       the first request of this path (switches included; a switch file
                              written anew counts as new) is reset after its first N bytes of
                              body, as /_reset=N does; later ones are whole
    /_resets=K/name           with _reset-once, the first K requests are reset so
    /_changes/name            from the second request of this path on, serves FOLDER/name.next
                              (another ETag) in place of FOLDER/name; _changes=V says
                              "Accept-Ranges: V" for it

A file FOLDER/name.switches, when present, holds further switches for /name, written the same
way on one line (e.g. "_status=404" or "_drip=4096,50"). It lets a test change how a fixed
address answers (the program's own download addresses) without changing the address.
"""

import argparse
import base64
import gzip
import os
import socket
import ssl
import struct
import sys
import threading
import time
import urllib.parse
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    server_version = "ZanthFixture/1"

    def log_message(self, format, *args):  # keep test output quiet
        pass

    def setup(self):
        super().setup()
        if self.server.link:
            self.wfile = ShapedWriter(self.wfile, self.server.link)

    def parse_request(self):
        parsed = super().parse_request()
        if parsed and self.server.link:
            time.sleep(self.server.link.delay)
        return parsed

    def do_GET(self):
        try:
            self.answer()
        except (BrokenPipeError, ConnectionResetError):
            self.close_connection = True

    def do_CONNECT(self):
        self.record("CONNECT " + self.path)
        self.demand_proxy_credentials()
        self.close_connection = True

    def record(self, path):
        with self.server.log_lock:
            if self.server.log_file:
                self.server.log_file.write(path + "\n")
                self.server.log_file.flush()

    def answer(self):
        # A proxy request carries the absolute URL; a direct one only the path.
        target = urllib.parse.urlsplit(self.path)
        path = target.path or "/"
        self.record(path + ("?" + target.query if target.query else "") + self.range_note())

        segments = path.lstrip("/").split("/")
        switches = {}
        while segments and segments[0].startswith("_"):
            key, _, value = segments.pop(0)[1:].partition("=")
            switches[key] = urllib.parse.unquote(value)
        rest = "/".join(segments)
        for key, value in self.switch_file(rest).items():
            switches.setdefault(key, value)

        if "proxy-auth" in switches and not self.proxy_authorized(switches["proxy-auth"]):
            return self.demand_proxy_credentials()
        if "loop" in switches:
            return self.redirect(path)
        if "redirect-to" in switches:
            return self.redirect(switches["redirect-to"])
        if "redirect-hold" in switches:
            return self.redirect_and_hold("/" + rest)
        if "redirect" in switches:
            left = int(switches["redirect"])
            prefix = "".join(
                "/_%s%s" % (k, "=" + urllib.parse.quote(v, safe="") if v else "")
                for k, v in switches.items() if k != "redirect")
            if left > 0:
                return self.redirect("/_redirect=%d%s/%s" % (left - 1, prefix, rest))
        if "status" in switches:
            return self.send_simple(int(switches["status"]), b"fixture error\n")

        file_path = os.path.join(self.server.root, urllib.parse.unquote(rest))
        if not rest or not os.path.isfile(file_path):
            return self.send_simple(404, b"no such fixture file\n")
        if set(switches) & {"ranges", "reset-once", "changes"}:
            return self.send_resumable(switches, rest, file_path)
        with open(file_path, "rb") as f:
            if "gzip" in switches:
                body = gzip.compress(f.read())
                self.send_body(switches, body, None)
            elif set(switches) & {"split", "drip", "truncate", "longer", "stall", "reset", "hold"}:
                self.send_body(switches, f.read(), None)
            else:
                self.send_body(switches, None, f)

    def switch_file(self, rest):
        """The switches of FOLDER/rest.switches, if that file exists."""
        switches = {}
        candidate = os.path.join(self.server.root, urllib.parse.unquote(rest)) + ".switches"
        if rest and os.path.isfile(candidate):
            with open(candidate) as f:
                for segment in f.read().split("/"):
                    segment = segment.strip()
                    if segment.startswith("_"):
                        key, _, value = segment[1:].partition("=")
                        switches[key] = urllib.parse.unquote(value)
        return switches

    def range_note(self):
        """What the log line of a request says of its Range header."""
        value = self.headers.get("Range")
        return " range=" + value if value else ""

    def redirect_and_hold(self, location):
        self.send_response(302)
        self.send_header("Location", location)
        self.send_header("Content-Length", "1000000")
        self.end_headers()
        self.wfile.flush()
        self.close_connection = True
        time.sleep(120)

    def send_resumable(self, switches, rest, file_path):
        """The answers of _ranges, _reset-once and _changes."""
        # The path with its switches, and the version of its switch file: writing the file anew
        # starts the count over.
        key = urllib.parse.urlsplit(self.path).path
        switch_path = os.path.join(self.server.root, urllib.parse.unquote(rest)) + ".switches"
        if rest and os.path.isfile(switch_path):
            key += "@%d" % os.stat(switch_path).st_mtime_ns
        with self.server.log_lock:
            count = self.server.request_counts.get(key, 0) + 1
            self.server.request_counts[key] = count
        etag = '"v1"'
        accept_ranges = switches.get("accept-ranges", "bytes")
        if "changes" in switches and count > 1:
            file_path, etag = file_path + ".next", '"v2"'
            accept_ranges = switches["changes"] or accept_ranges
        with open(file_path, "rb") as f:
            body = f.read()
        start = 0
        wanted, condition = self.headers.get("Range", ""), self.headers.get("If-Range")
        if ("ranges" in switches and wanted.startswith("bytes=") and wanted.endswith("-")
                and condition in (None, etag)):
            start = int(wanted[len("bytes="):-1])
            if start >= len(body):
                return self.send_simple(416, b"range not satisfiable\n")
        self.send_response(206 if start else 200)
        self.send_header("Content-Type", "application/octet-stream")
        self.send_header("Content-Length", str(len(body) - start))
        if "ranges" in switches:
            if accept_ranges:
                self.send_header("Accept-Ranges", accept_ranges)
            self.send_header("ETag", etag)
        if start:
            self.send_header("Content-Range", "bytes %d-%d/%d" % (start, len(body) - 1, len(body)))
        self.end_headers()
        if "reset-once" in switches and count <= int(switches.get("resets", "1")):
            self.wfile.write(body[start:int(switches["reset-once"])])
            self.reset_connection()
        else:
            self.wfile.write(body[start:])

    def reset_connection(self):
        """Ends the connection with a TCP RST once the client has what was sent."""
        self.wfile.flush()
        time.sleep(0.3)
        self.connection.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
        self.connection.close()
        self.close_connection = True
    def proxy_authorized(self, credentials):
        """Whether the request carries credentials ("user:password") as Basic proxy credentials."""
        expected = "Basic " + base64.b64encode(credentials.encode()).decode()
        return self.headers.get("Proxy-Authorization", "") == expected

    def demand_proxy_credentials(self):
        body = b"proxy credentials required\n"
        self.send_response(407)
        self.send_header("Proxy-Authenticate", 'Basic realm="fixture"')
        self.send_header("Content-Type", "text/plain")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def redirect(self, location):
        self.send_response(302)
        self.send_header("Location", location)
        self.send_header("Content-Length", "0")
        self.end_headers()

    def send_simple(self, status, body):
        self.send_response(status)
        self.send_header("Content-Type", "text/plain")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def send_body(self, switches, body, file):
        size = len(body) if body is not None else os.fstat(file.fileno()).st_size
        self.send_response(200)
        self.send_header("Content-Type", switches.get("type", "application/octet-stream"))
        if "name" in switches:
            self.send_header("Content-Disposition",
                             'attachment; filename="%s"' % switches["name"])
        if "nolength" in switches:
            self.send_header("Connection", "close")
            self.close_connection = True
        elif "truncate" in switches:
            self.send_header("Content-Length", str(size + 1000))
            self.close_connection = True
        elif "longer" in switches:
            self.send_header("Content-Length", str(size // 2))
            self.close_connection = True
        else:
            self.send_header("Content-Length", str(size))
        self.end_headers()

        if "stall" in switches:
            self.close_connection = True
            time.sleep(120)
            return
        if file is not None:
            if self.server.link:  # paced through the writer
                while piece := file.read(1 << 20):
                    self.wfile.write(piece)
            else:
                self.connection.sendfile(file)
            return
        if "reset" in switches:
            self.wfile.write(body[:int(switches["reset"])])
            time.sleep(0.3)  # the client has the first bytes before the reset
            self.connection.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
            self.connection.close()
            self.close_connection = True
        elif "hold" in switches:
            half = len(body) // 2
            self.wfile.write(body[:half])
            self.wfile.flush()
            go = os.path.join(self.server.root, switches["hold"])
            end = time.monotonic() + 25
            while not os.path.exists(go) and time.monotonic() < end:
                time.sleep(0.02)
            self.wfile.write(body[half:])
        elif "split" in switches:
            first = int(switches["split"])
            self.wfile.write(body[:first])
            time.sleep(0.5)
            self.wfile.write(body[first:])
        elif "drip" in switches:
            step, _, ms = switches["drip"].partition(",")
            step, delay = max(1, int(step)), int(ms or "100") / 1000.0
            for start in range(0, len(body), step):
                self.wfile.write(body[start:start + step])
                if start + step < len(body):
                    time.sleep(delay)
        else:
            self.wfile.write(body)


class Link:
    """A shared link of a given rate: a token bucket all connections draw from."""

    def __init__(self, rate, delay_ms):
        self.rate = rate
        self.delay = delay_ms / 1000.0
        self.lock = threading.Lock()
        self.next_free = time.monotonic()

    def send_time(self, length):
        """Reserves the link for length bytes; returns when they may be sent."""
        with self.lock:
            start = max(self.next_free, time.monotonic())
            self.next_free = start + length / self.rate
            return self.next_free


class ShapedWriter:
    """The connection's writer, paced by the link in pieces of at most 16 KiB."""

    PIECE = 16 * 1024

    def __init__(self, writer, link):
        self.writer = writer
        self.link = link

    def write(self, data):
        view = memoryview(data)
        for offset in range(0, len(view), self.PIECE):
            piece = view[offset:offset + self.PIECE]
            wait = self.link.send_time(len(piece)) - time.monotonic()
            if wait > 0:
                time.sleep(wait)
            self.writer.write(piece)
        return len(view)

    def flush(self):
        self.writer.flush()

    def __getattr__(self, name):
        return getattr(self.writer, name)


class Server(ThreadingHTTPServer):
    daemon_threads = True

    def handle_error(self, request, client_address):
        # A client that hangs up early (a cancelled or failed download) or refuses the server's
        # certificate is part of the tests.
        if not isinstance(sys.exc_info()[1], (ConnectionError, TimeoutError, ssl.SSLError)):
            super().handle_error(request, client_address)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--root", required=True)
    parser.add_argument("--log")
    parser.add_argument("--port", type=int, default=0)
    parser.add_argument("--tls-certificate")
    parser.add_argument("--tls-key")
    parser.add_argument("--rate", type=float, default=0, help="bytes per second, 0: unlimited")
    parser.add_argument("--delay", type=float, default=0, help="milliseconds before each answer")
    options = parser.parse_args()

    server = Server(("127.0.0.1", options.port), Handler)
    if options.tls_certificate:
        context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        context.load_cert_chain(options.tls_certificate, options.tls_key)
        # The handshake runs in accept(); a failed one is an OSError, which the server drops.
        server.socket = context.wrap_socket(server.socket, server_side=True)
    server.root = os.path.abspath(options.root)
    server.link = Link(options.rate, options.delay) if options.rate > 0 else None
    server.log_lock = threading.Lock()
    server.log_file = open(options.log, "a") if options.log else None
    server.request_counts = {}
    print(server.server_address[1], flush=True)
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass


if __name__ == "__main__":
    import signal
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(0))
    main()

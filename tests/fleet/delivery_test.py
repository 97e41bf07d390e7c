#!/usr/bin/env python3
"""velmora send against servers that answer as a GLPI server does, and against servers that
misbehave, all of them the test's own on loopback.

The stand-in for the agent endpoint follows the format's description: it inflates the request
by its Content-Type, checks the document against data/glpi-inventory.schema.json (400 and an
error body when it is invalid) and answers compressed as the request was. Every failing case must
end send with exit 1 and one line on stderr within its timeout plus a second, in less than 32 MB,
leaving --keep's document. Usage: delivery_test.py SOURCE_DIR [EMULATOR] VELMORA
"""
import gzip
import http.server
import json
import os
import socket
import ssl
import struct
import subprocess
import threading
import time
import zlib

import jsonschema

import fleet_run
from fleet_run import COMMAND, SOURCE, TEMP, WINE, check, host

DATA = os.path.join(SOURCE, "tests", "fleet", "data")
PROFILE = os.path.join(SOURCE, "examples", "workstation.json")
TIMEOUT = 2  # send's --timeout in the failing cases
MEMORY_KB = 32 * 1024
# The bound on memory holds for velmora itself: not for Wine's loader, which is what time(1) would
# measure under Wine, nor for a sanitized build, whose shadow memory alone passes it.
MEASURED = not WINE and not os.environ.get("VELMORA_SANITIZED")


class Run:
    def __init__(self, returncode, stdout, stderr, seconds, peak_kb):
        self.returncode, self.stdout, self.stderr = returncode, stdout, stderr
        self.seconds, self.peak_kb = seconds, peak_kb

    def __repr__(self):
        return f"exit {self.returncode}, {self.seconds:.1f} s, {self.peak_kb} KB, {self.stderr!r}"


def velmora(*args, environment=None):
    """Runs velmora and measures that one process: its wall time and its peak resident size
    (by time(1): a child of this script would count the script's own size as its peak)."""
    env = fleet_run.environment(environment)
    peak = os.path.join(TEMP, "peak")
    measure = [] if WINE else ["/usr/bin/time", "-f", "%M", "-o", peak]
    started = time.monotonic()
    run = subprocess.run(measure + COMMAND + list(args), env=env, capture_output=True, timeout=120)
    seconds = time.monotonic() - started
    peak_kb = 0 if WINE else int(open(peak).read().split()[-1])
    return Run(run.returncode, run.stdout, run.stderr, seconds, peak_kb)


def send(url, *args, environment=None):
    return velmora("--profile", host(PROFILE), "send", url, *args, environment=environment)


validator = jsonschema.Draft7Validator(
    json.load(open(os.path.join(DATA, "glpi-inventory.schema.json"))),
    format_checker=jsonschema.FormatChecker())

# How the request's Content-Type says its body is compressed, and how to answer in kind.
INFLATE = {
    "application/x-compress-zlib": zlib.decompress, "application/x-zlib": zlib.decompress,
    "application/x-compress-gzip": gzip.decompress, "application/x-gzip": gzip.decompress,
    "application/x-compress-deflate": lambda b: zlib.decompress(b, -15),
    "application/x-deflate": lambda b: zlib.decompress(b, -15),
    "application/json": lambda b: b,
}


def deflate_raw(data):
    compressor = zlib.compressobj(wbits=-15)
    return compressor.compress(data) + compressor.flush()


COMPRESS = {
    "application/x-compress-zlib": zlib.compress, "application/x-zlib": zlib.compress,
    "application/x-compress-gzip": gzip.compress, "application/x-gzip": gzip.compress,
    "application/x-compress-deflate": deflate_raw, "application/x-deflate": deflate_raw,
    "application/json": lambda b: b,
}


class Server(http.server.ThreadingHTTPServer):
    """Answers each POST as `behave(handler, body)` says; keeps what it received."""
    daemon_threads = True

    def __init__(self, behave, tls=None):
        super().__init__(("127.0.0.1", 0), Handler)
        self.behave, self.received = behave, []
        if tls:
            self.socket = tls.wrap_socket(self.socket, server_side=True)
        threading.Thread(target=self.serve_forever, daemon=True).start()
        scheme = "https" if tls else "http"
        self.base = f"{scheme}://127.0.0.1:{self.server_address[1]}"
        self.url = self.base + "/front/inventory.php"

    def close(self):
        self.shutdown()
        self.server_close()

    def handle_error(self, request, client_address):
        pass  # a client that hung up on a misbehaving answer is what the test wants


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def do_POST(self):
        body = b""
        if self.server.behave is not slow_reader:
            body = self.rfile.read(int(self.headers["Content-Length"]))
        self.server.received.append((self.path, self.headers, body))
        self.server.behave(self, body)

    def answer(self, status, content_type, body, headers=()):
        self.send_response(status)
        self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(len(body)))
        for name, value in headers:
            self.send_header(name, value)
        self.end_headers()
        self.wfile.write(body)

    def log_message(self, *args):
        pass


def glpi(answer_as=None):
    """The stand-in: inflated by the request's type, checked, answered in kind (or as told)."""
    def behave(handler, body):
        kind = handler.headers.get("Content-Type", "")
        reply_kind = answer_as or kind
        if kind not in INFLATE:
            handler.answer(400, "application/json", b'{"status": "error", "message": "type"}')
            return
        try:
            document = json.loads(INFLATE[kind](body))
            error = next(iter(validator.iter_errors(document)), None)
        except (ValueError, zlib.error, OSError) as problem:
            document, error = None, problem
        if error is not None:
            message = getattr(error, "message", str(error))
            reply = {"status": "error", "message": f"invalid inventory: {message}", "expiration": 24}
            handler.answer(400, reply_kind, COMPRESS[reply_kind](json.dumps(reply).encode()))
            return
        reply = json.dumps({"status": "ok", "expiration": 24}).encode()
        handler.answer(200, reply_kind, COMPRESS[reply_kind](reply))
    return behave


def reset(handler, body):
    handler.connection.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
    handler.connection.close()
    handler.close_connection = True


def drip(handler, body):
    text = b"HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nContent-Length: 40\r\n\r\n"
    for byte in text + b'{"status": "ok", "expiration": 24}     ':
        handler.wfile.write(bytes([byte]))
        handler.wfile.flush()
        time.sleep(1)


CHUNK = b"\0" * 65536


def huge(handler, body, length=True):
    """300 MB, made as it is written: never held."""
    size = 300 * 1024 * 1024
    handler.send_response(200)
    handler.send_header("Content-Type", "application/json")
    if length:
        handler.send_header("Content-Length", str(size))
    else:
        handler.send_header("Connection", "close")
        handler.close_connection = True
    handler.end_headers()
    for _ in range(size // len(CHUNK)):
        handler.wfile.write(CHUNK)


BOMB = zlib.compress(b" " * (8 * 1024 * 1024), 9)


def bomb(handler, body):
    handler.answer(200, "application/x-compress-zlib", BOMB)


def html(handler, body):
    handler.answer(200, "text/html; charset=UTF-8", b"<html><body><h1>Log in</h1></body></html>")


def redirect_forever(handler, body):
    hops = int(handler.path.rsplit("/", 1)[-1]) if handler.path.startswith("/hop/") else 0
    handler.answer(302, "text/html", b"moved", [("Location", f"../hop/{hops + 1}")])


def redirect_then(count, status, then):
    """`count` redirects (the first relative, the next absolute), then `then`."""
    def behave(handler, body):
        hops = len(handler.server.received) - 1
        if hops < count:
            target = "/glpi/next" if hops == 0 else f"{handler.server.base}/glpi/again{hops}"
            handler.answer(status, "text/html", b"", [("Location", target)])
        else:
            then(handler, body)
    return behave


def busy(handler, body):
    reply = json.dumps({"status": "error", "message": "busy, retry later"}).encode()
    handler.answer(503, "application/json", reply, [("Retry-After", "120")])


def slow_reader(handler, body):
    for _ in range(int(handler.headers["Content-Length"])):
        if not handler.rfile.read(1):
            return
        time.sleep(1)


def basic(handler, body):
    if handler.headers.get("Authorization") != "Basic Z2xwaS1hZ2VudDpzM2NyZXQ=":  # glpi-agent:s3cret
        handler.answer(401, "application/json", b'{"status": "error", "message": "authentication"}',
                       [("WWW-Authenticate", 'Basic realm="inventory"')])
        return
    glpi()(handler, body)


def succeeds(run, what):
    check(run.returncode == 0 and run.stdout == b"expiration: 24\n" and run.stderr == b"",
          f"{what}: exits 0 and prints the expiration: {run}")


def fails(run, text, what):
    """Exit 1, one line holding `text`, within the timeout plus a second, in less than 32 MB."""
    err = run.stderr.decode(errors="replace")
    print(f"{what}: {run}")
    check(run.returncode == 1 and err.count("\n") == 1 and text in err and run.stdout == b"",
          f"{what}: exits 1 with one line holding {text!r}: {run}")
    check(run.seconds < TIMEOUT + 1 + startup, f"{what}: ends within the timeout: {run}")
    # Under Wine the process measured is Wine's loader with its own libraries: not velmora's size.
    check(not MEASURED or run.peak_kb < MEMORY_KB, f"{what}: less than 32 MB: {run}")


def fails_keeping(server_behaviour, text, what, tls=None, args=()):
    server = Server(server_behaviour, tls)
    kept = os.path.join(TEMP, "kept.json")
    if os.path.exists(kept):
        os.remove(kept)
    run = send(server.url, "--timeout", str(TIMEOUT), "--keep", host(kept), *args)
    server.close()
    fails(run, text, what)
    try:
        check(json.load(open(kept))["content"]["versionclient"].startswith("Velmora"),
              f"{what}: --keep's document is left")
    except (OSError, ValueError, KeyError) as problem:
        check(False, f"{what}: --keep's document is left: {problem}")
    return server


# What a run costs before it posts anything: under Wine, starting Wine's services, which takes
# from a fraction of a second to several on a busy machine. Ten seconds more are allowed there:
# enough for Wine, far too little for a server that drips its answer for a minute.
closed = Server(glpi())
port = closed.server_address[1]
closed.close()
startup = 10 if WINE else 0
fails(send(f"http://127.0.0.1:{port}/", "--timeout", str(TIMEOUT)), "connection refused",
      "a closed port")

# As GLPI answers: compressed in kind, and the same in each compression a server may choose.
for kind in (None, "application/x-compress-gzip", "application/x-compress-deflate",
             "application/x-gzip", "application/x-deflate", "application/json"):
    server = Server(glpi(kind))
    run = send(server.url)
    server.close()
    succeeds(run, f"an answer as {kind or 'the request was'}")
    if kind is None and len(server.received) == 1:
        check(server.received[0][1]["Content-Type"] == "application/x-compress-zlib",
              "the request is zlib-compressed")
invalid = os.path.join(TEMP, "invalid.json")
with open(invalid, "w") as file:
    json.dump({"action": "inventory", "content": {"versionclient": "Velmora"}}, file)
server = Server(glpi())
fails(velmora("send", "--file", host(invalid), server.url), "400: invalid inventory",
      "an invalid document: the stand-in's error, inflated")
server.close()

fails_keeping(reset, "inventory.php: ", "a connection reset")
fails_keeping(drip, "no answer within 2 s", "one byte a second")
fails_keeping(huge, "passed 1 MB", "300 MB with a length")
fails_keeping(lambda h, b: huge(h, b, length=False), "passed 1 MB", "300 MB without a length")
fails_keeping(bomb, "more than 1 MB once inflated", "a zip bomb")
fails_keeping(html, "answered 200 with text/html, not a JSON object", "an HTML page")
server = fails_keeping(redirect_forever, "redirected more than 3 times, last to http://127.0.0.1:",
                       "redirected forever")
check([path for path, _, _ in server.received] == ["/front/inventory.php", "/hop/1", "/hop/2",
                                                   "/hop/3"], f"four posts: {server.received}")
fails_keeping(busy, "503: busy, retry later (retry after 120 s)", "busy, with Retry-After")
fails_keeping(slow_reader, "no answer within 2 s", "reading one byte a second")
fails_keeping(basic, "answered 401: authentication", "Basic authentication without credentials")

# Redirects followed: the same body and headers posted again, credentials to the same place only.
for count, status in ((1, 307), (2, 301), (3, 308)):
    server = Server(redirect_then(count, status, glpi()))
    run = send(server.url, environment={"VELMORA_SERVER_TOKEN": "t0ken"})
    server.close()
    succeeds(run, f"{count} redirect(s) with {status}")
    paths = [path for path, _, _ in server.received]
    check(paths[:2] == ["/front/inventory.php", "/glpi/next"] and len(paths) == count + 1,
          f"{count} redirect(s): the relative location resolved: {paths}")
    check(len({body for _, _, body in server.received}) == 1 and
          all(h["Authorization"] == "Bearer t0ken" and h["Content-Type"] == "application/x-compress-zlib"
              for _, h, _ in server.received), f"{count} redirect(s): the same post again")
elsewhere = Server(glpi())
server = Server(lambda h, b: h.answer(307, "text/html", b"", [("Location", elsewhere.url)]))
run = send(server.url, environment={"VELMORA_SERVER_TOKEN": "t0ken"})
server.close()
elsewhere.close()
succeeds(run, "a redirect to another server")
check(len(elsewhere.received) == 1 and "Authorization" not in elsewhere.received[0][1],
      "the token does not follow a redirect to another server")

# Basic authentication from a file only its owner may read.
credentials = os.path.join(TEMP, "credentials")
with open(credentials, "w") as file:
    file.write("user = glpi-agent\npassword = s3cret\n")
os.chmod(credentials, 0o600)
server = Server(basic)
succeeds(send(server.url, "--credentials", host(credentials)), "Basic authentication")
if not WINE:  # Wine's files carry no mode bits to refuse
    os.chmod(credentials, 0o644)
    run = send(server.url, "--credentials", host(credentials))
    err = run.stderr.decode()
    check(run.returncode == 2 and err.count("\n") == 1 and "owner" in err and "s3cret" not in err,
          f"credentials others may read: exit 2 and one line: {run}")
    check(len(server.received) == 1, "nothing is posted with refused credentials")
server.close()

# TLS: the system's authorities, or those of --ca-file; never without a check.
certificate, key = os.path.join(TEMP, "cert.pem"), os.path.join(TEMP, "key.pem")
subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "1",
                "-subj", "/CN=127.0.0.1", "-addext", "subjectAltName=IP:127.0.0.1",
                "-keyout", key, "-out", certificate], check=True, capture_output=True)
tls = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
tls.load_cert_chain(certificate, key)
server = Server(glpi(), tls)
fails(send(server.url, "--timeout", str(TIMEOUT)), "TLS failure", "a certificate not trusted")
if not WINE:  # WinHTTP trusts the system's store only
    succeeds(send(server.url, "--ca-file", host(certificate)), "a certificate trusted by --ca-file")
    plain = Server(glpi())
    server.behave = lambda h, b: h.answer(302, "text/html", b"", [("Location", plain.url)])
    fails(send(server.url, "--ca-file", host(certificate), "--timeout", str(TIMEOUT)),
          "redirected from https to http://", "a redirect from https to http")
    check(plain.received == [], "nothing is posted in the clear")
    plain.close()
server.close()

fleet_run.finish()

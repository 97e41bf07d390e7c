#!/usr/bin/env python3
"""velmora send against servers that answer as a GLPI server does, and against servers that
misbehave, all of them the test's own on loopback.

The stand-in for the agent endpoint follows the format's description: it inflates the request
by its Content-Type, checks the document against the format's schema (400 and an error body when
it is invalid) and answers compressed as the request was. Every failing case must end send with
exit 1 and one line on stderr within its timeout plus a second, in less than 32 MB, leaving
--keep's document. Usage: delivery_test.py SOURCE_DIR [EMULATOR] VELMORA
"""
import gzip
import json
import os
import re
import socket
import struct
import time
import zlib

import fleet_run
from fleet_run import TEMP, WINE, WORKSTATION, Server, answering, check, host

TIMEOUT = 2  # send's --timeout in the failing cases
MEMORY_KB = 32 * 1024
# The bound on memory holds for velmora itself: not for Wine's loader, which is what time(1) would
# measure under Wine, nor for a sanitized build, whose shadow memory alone passes it.
MEASURED = not WINE and not os.environ.get("VELMORA_SANITIZED")


def velmora(*args, token=None):
    """Runs velmora measured, with `token` as the server's token from the environment."""
    return fleet_run.velmora(*args, extra={"VELMORA_SERVER_TOKEN": token} if token else None,
                             measure=True)


def said(run):
    return f"exit {run.returncode}, {run.seconds:.1f} s, {run.peak_kb} KB, {run.stderr!r}"


def send(url, *args, token=None):
    return velmora("--profile", host(WORKSTATION), "send", url, *args, token=token)


def exchange(behave, *args, token=None):
    """send to a server of its own that behaves as `behave` says: the run, and the server."""
    with Server(behave) as server:
        return send(server.url, *args, token=token), server


validator = fleet_run.glpi_validator()


def deflate_raw(data):
    compressor = zlib.compressobj(wbits=-15)
    return compressor.compress(data) + compressor.flush()


# How the request's Content-Type says its body is compressed, under either of its names: how to
# inflate it, and how to answer in kind.
CODECS = {"application/json": (lambda b: b, lambda b: b)}
for name, codec in {"zlib": (zlib.decompress, zlib.compress),
                    "gzip": (gzip.decompress, gzip.compress),
                    "deflate": (lambda b: zlib.decompress(b, -15), deflate_raw)}.items():
    CODECS.update({f"application/x-compress-{name}": codec, f"application/x-{name}": codec})


def glpi(answer_as=None):
    """The stand-in: inflated by the request's type, checked, answered in kind (or as told)."""
    def behave(handler, body):
        kind = handler.headers.get("Content-Type", "")
        reply_kind = answer_as or kind
        if kind not in CODECS:
            handler.answer(400, "application/json", b'{"status": "error", "message": "type"}')
            return
        try:
            document = json.loads(CODECS[kind][0](body))
            error = next(iter(validator.iter_errors(document)), None)
        except (ValueError, zlib.error, OSError) as problem:
            document, error = None, problem
        if error is not None:
            message = getattr(error, "message", str(error))
            reply = {"status": "error", "message": f"invalid inventory: {message}", "expiration": 24}
            handler.answer(400, reply_kind, CODECS[reply_kind][1](json.dumps(reply).encode()))
            return
        reply = json.dumps({"status": "ok", "expiration": 24}).encode()
        handler.answer(200, reply_kind, CODECS[reply_kind][1](reply))
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


def moved(status, location):
    return lambda handler, body: handler.answer(status, "text/html", b"", [("Location", location)])


def redirect_forever(handler, body):
    hops = int(handler.path.rsplit("/", 1)[-1]) if handler.path.startswith("/hop/") else 0
    moved(302, f"../hop/{hops + 1}")(handler, body)


def redirect_then(count, status, then):
    """`count` redirects (the first relative, the next absolute), then `then`."""
    def behave(handler, body):
        hops = len(handler.server.received) - 1
        if hops < count:
            target = "/glpi/next" if hops == 0 else f"{handler.server.base}/glpi/again{hops}"
            moved(status, target)(handler, body)
        else:
            then(handler, body)
    return behave


def slow_reader(handler, body):
    for _ in range(int(handler.headers["Content-Length"])):
        if not handler.rfile.read(1):
            return
        time.sleep(1)


slow_reader.reads_body = True


def basic(handler, body):
    if handler.headers.get("Authorization") != "Basic Z2xwaS1hZ2VudDpzM2NyZXQ=":  # glpi-agent:s3cret
        handler.answer(401, "application/json", b'{"status": "error", "message": "authentication"}',
                       [("WWW-Authenticate", 'Basic realm="inventory"')])
        return
    glpi()(handler, body)


def succeeds(run, what):
    check(run.returncode == 0 and run.stdout == b"expiration: 24\n" and run.stderr == b"",
          f"{what}: exits 0 and prints the expiration: {said(run)}")


def fails(run, text, what):
    """Exit 1, one line holding `text`, within the timeout plus a second, in less than 32 MB."""
    err = run.stderr.decode(errors="replace")
    print(f"{what}: {said(run)}")
    check(run.returncode == 1 and err.count("\n") == 1 and text in err and run.stdout == b"",
          f"{what}: exits 1 with one line holding {text!r}: {said(run)}")
    check(run.seconds < TIMEOUT + 1 + startup, f"{what}: ends within the timeout: {said(run)}")
    # Under Wine the process measured is Wine's loader with its own libraries: not velmora's size.
    check(not MEASURED or run.peak_kb < MEMORY_KB, f"{what}: less than 32 MB: {said(run)}")


def fails_keeping(server_behaviour, text, what):
    kept = os.path.join(TEMP, "kept.json")
    if os.path.exists(kept):
        os.remove(kept)
    run, server = exchange(server_behaviour, "--timeout", str(TIMEOUT), "--keep", host(kept))
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
with Server(glpi()) as closed:
    port = closed.server_address[1]
startup = 10 if WINE else 0
fails(send(f"http://127.0.0.1:{port}/", "--timeout", str(TIMEOUT)), "connection refused",
      "a closed port")

# A first post: the document export prints, zlib-compressed, with the token from the environment
# and the agent's ID, kept for the next run; --keep's document, sent again by --file, is the same.
kept = os.path.join(TEMP, "sent.json")
with Server(glpi()) as server:
    succeeds(send(server.url, "--keep", host(kept), token="s3cret"), "a first post")
    succeeds(velmora("send", "--file", host(kept), server.url), "--file")
printed = fleet_run.velmora("--profile", host(WORKSTATION), "export", "--format", "glpi").stdout
check(len(server.received) == 2, "two posts")
if len(server.received) == 2:
    (path, headers, body), (_, headers_again, body_again) = server.received
    check(path == "/front/inventory.php", "the URL's path")
    check(zlib.decompress(body) == printed == open(kept, "rb").read(),
          "the body inflates to the document")
    check(body_again == body, "--keep then --file sends the same bytes")
    check(headers["Content-Type"] == "application/x-compress-zlib"
          and headers["Pragma"] == "no-cache" and headers["User-Agent"].startswith("Velmora/"),
          f"Content-Type, Pragma, User-Agent: {headers}")
    check(headers["Authorization"] == "Bearer s3cret" and "Authorization" not in headers_again,
          "the token from the environment, and none without it")
    agent = open(os.path.join(TEMP, "agent-id")).read().strip()
    check(re.fullmatch(r"[0-9a-f]{8}-[0-9a-f]{4}-4[0-9a-f]{3}-[89ab][0-9a-f]{3}-[0-9a-f]{12}", agent)
          is not None and headers["GLPI-Agent-ID"] == agent == headers_again["GLPI-Agent-ID"],
          "one agent ID, kept")

# As GLPI answers: compressed in kind, and the same in each compression a server may choose.
for kind in ("application/x-compress-gzip", "application/x-compress-deflate",
             "application/x-gzip", "application/x-deflate", "application/json"):
    succeeds(exchange(glpi(kind))[0], f"an answer as {kind}")
invalid = fleet_run.write("invalid.json",
                          {"action": "inventory", "content": {"versionclient": "Velmora"}})
with Server(glpi()) as server:
    fails(velmora("send", "--file", host(invalid), server.url), "400: invalid inventory",
          "an invalid document: the stand-in's error, inflated")

fails_keeping(reset, "inventory.php: ", "a connection reset")
fails_keeping(drip, "no answer within 2 s", "one byte a second")
fails_keeping(huge, "passed 1 MB", "300 MB with a length")
fails_keeping(lambda h, b: huge(h, b, length=False), "passed 1 MB", "300 MB without a length")
fails_keeping(bomb, "more than 1 MB once inflated", "a zip bomb")
server = fails_keeping(redirect_forever, "redirected more than 3 times, last to http://127.0.0.1:",
                       "redirected forever")
check([path for path, _, _ in server.received] == ["/front/inventory.php", "/hop/1", "/hop/2",
                                                   "/hop/3"], f"four posts: {server.received}")
fails_keeping(answering(503, {"status": "error", "message": "busy, retry later"},
                        [("Retry-After", "120")]),
              "503: busy, retry later (retry after 120 s)", "busy, with Retry-After")
fails_keeping(slow_reader, "no answer within 2 s", "reading one byte a second")
fails_keeping(basic, "answered 401: authentication", "Basic authentication without credentials")

# Redirects followed: the same body and headers posted again, credentials to the same place only.
for count, status in ((1, 307), (2, 301), (3, 308)):
    run, server = exchange(redirect_then(count, status, glpi()), token="t0ken")
    succeeds(run, f"{count} redirect(s) with {status}")
    paths = [path for path, _, _ in server.received]
    check(paths[:2] == ["/front/inventory.php", "/glpi/next"] and len(paths) == count + 1,
          f"{count} redirect(s): the relative location resolved: {paths}")
    check(len({body for _, _, body in server.received}) == 1 and
          all(h["Authorization"] == "Bearer t0ken" and h["Content-Type"] == "application/x-compress-zlib"
              for _, h, _ in server.received), f"{count} redirect(s): the same post again")
with Server(glpi()) as elsewhere:
    succeeds(exchange(moved(307, elsewhere.url), token="t0ken")[0], "a redirect to another server")
check(len(elsewhere.received) == 1 and "Authorization" not in elsewhere.received[0][1],
      "the token does not follow a redirect to another server")

# Basic authentication from a file only its owner may read.
credentials = fleet_run.write("credentials", "user = glpi-agent\npassword = s3cret\n")
with Server(basic) as server:
    succeeds(send(server.url, "--credentials", host(credentials)), "Basic authentication")
    if not WINE:  # Wine's files carry no mode bits to refuse
        os.chmod(credentials, 0o644)
        run = send(server.url, "--credentials", host(credentials))
        err = run.stderr.decode()
        check(run.returncode == 2 and err.count("\n") == 1 and "owner" in err
              and "s3cret" not in err,
              f"credentials others may read: exit 2 and one line: {said(run)}")
        check(len(server.received) == 1, "nothing is posted with refused credentials")

# TLS: the system's authorities, or those of --ca-file; never without a check.
tls, certificate = fleet_run.self_signed()
with Server(glpi(), tls) as server, Server(glpi()) as plain:
    fails(send(server.url, "--timeout", str(TIMEOUT)), "TLS failure", "a certificate not trusted")
    if not WINE:  # WinHTTP trusts the system's store only
        succeeds(send(server.url, "--ca-file", host(certificate)),
                 "a certificate trusted by --ca-file")
        server.behave = moved(302, plain.url)
        fails(send(server.url, "--ca-file", host(certificate), "--timeout", str(TIMEOUT)),
              "redirected from https to http://", "a redirect from https to http")
        check(plain.received == [], "nothing is posted in the clear")

fleet_run.finish()

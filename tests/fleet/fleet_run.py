"""What the fleet's end-to-end scripts share: the program under test, a scratch folder, checks
that collect failures, paths as the program sees them, the environment it runs in, the machines
they export, and a server on loopback.

The scripts are run as SCRIPT SOURCE_DIR [EMULATOR] VELMORA.
"""
import http.server
import json
import os
import ssl
import subprocess
import sys
import tempfile
import threading
import time

SOURCE = sys.argv[1]
COMMAND = sys.argv[2:]
WINE = len(COMMAND) > 1
SCRATCH = tempfile.TemporaryDirectory(prefix="fleet-")  # removed when the script ends
TEMP = SCRATCH.name
DATA = os.path.join(SOURCE, "tests", "fleet", "data")
TREES = os.path.join(SOURCE, "tests", "harnel", "linux", "data")
WORKSTATION = os.path.join(SOURCE, "examples", "workstation.json")
failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FAIL:", what)


def host(path):
    """The path as the program sees it: under Wine, on the drive that maps the root."""
    return "Z:" + path.replace("/", "\\") if WINE else path


def environment(extra=None):
    """The program's environment: no proxy, no profile, the agent's ID in the scratch folder."""
    env = {k: v for k, v in os.environ.items() if "proxy" not in k.lower()}
    env.pop("HARNEL_PROFILE", None)
    env.update({"WINEDEBUG": "-all", "VELMORA_AGENT_ID_FILE": host(os.path.join(TEMP, "agent-id"))})
    env.update(extra or {})
    return env


def velmora(*args, root=None, extra=None, measure=False):
    """Runs the program; `root` is a fixture tree its Linux readers read instead of the machine.
    The run's wall time is its `seconds`; with `measure`, its `peak_kb` is that one process's peak
    resident size, by time(1): a child of this script would count the script's own size."""
    extra = {**({"HARNEL_ROOT": root} if root else {}), **(extra or {})}
    peak = os.path.join(TEMP, "peak")
    timed = ["/usr/bin/time", "-f", "%M", "-o", peak] if measure and not WINE else []
    started = time.monotonic()
    run = subprocess.run(timed + COMMAND + list(args), env=environment(extra), capture_output=True,
                         timeout=120)
    run.seconds = time.monotonic() - started
    run.peak_kb = int(open(peak).read().split()[-1]) if timed else 0
    return run


def start(*args, **pipes):
    """The program started, not waited for."""
    return subprocess.Popen(COMMAND + list(args), env=environment(), **pipes)


def write(name, content, mode=0o600):
    """A file in the scratch folder: text as it is, anything else as JSON."""
    path = os.path.join(TEMP, name)
    with open(path, "w", encoding="utf-8") as file:
        if isinstance(content, str):
            file.write(content)
        else:
            json.dump(content, file, ensure_ascii=False)
    os.chmod(path, mode)
    return path


def windows_profile(name):
    """A Windows machine file of the provider's tests as a profile, with the Machine key its raw
    data give."""
    path = os.path.join(SOURCE, "tests", "harnel", "windows", "data", name + ".json")
    with open(path, encoding="utf-8") as file:
        machine = json.load(file)
    return write(name + ".json", {**machine["records"], "Machine": machine["machine"]["Machine"]})


def glpi_validator():
    """The GLPI inventory format's schema (data/glpi-inventory.schema.json, written from the
    format's description); jsonschema is the system Python's python3-jsonschema."""
    import jsonschema
    with open(os.path.join(DATA, "glpi-inventory.schema.json"), encoding="utf-8") as file:
        schema = json.load(file)
    return jsonschema.Draft7Validator(schema, format_checker=jsonschema.FormatChecker())


def self_signed():
    """A server context with a certificate for 127.0.0.1 that no authority signed, and its file."""
    certificate, key = os.path.join(TEMP, "cert.pem"), os.path.join(TEMP, "key.pem")
    subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "1",
                    "-subj", "/CN=127.0.0.1", "-addext", "subjectAltName=IP:127.0.0.1",
                    "-keyout", key, "-out", certificate], check=True, capture_output=True)
    tls = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    tls.load_cert_chain(certificate, key)
    return tls, certificate


class Server(http.server.ThreadingHTTPServer):
    """A server on loopback that records each post (path, headers, body as sent) and answers it as
    `behave(handler, body)` says; `release` ends the behaviours that stall."""
    daemon_threads = True

    def __init__(self, behave, tls=None):
        super().__init__(("127.0.0.1", 0), Handler)
        self.behave, self.received, self.release = behave, [], threading.Event()
        if tls:
            self.socket = tls.wrap_socket(self.socket, server_side=True)
        threading.Thread(target=self.serve_forever, daemon=True).start()
        self.base = f"{'https' if tls else 'http'}://127.0.0.1:{self.server_address[1]}"
        self.url = self.base + "/front/inventory.php"

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()

    def close(self):
        self.release.set()
        self.shutdown()
        self.server_close()

    def handle_error(self, request, client_address):
        pass  # a client that hung up on a misbehaving answer is what the tests want


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def do_POST(self):
        body = b""
        if not getattr(self.server.behave, "reads_body", False):
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


def answering(status, reply, headers=()):
    """A behaviour: the status and the JSON reply, uncompressed."""
    return lambda handler, body: handler.answer(status, "application/json",
                                                json.dumps(reply).encode(), headers)


def stall(handler, body):
    """A behaviour: no answer until the server is released, then the connection is dropped."""
    handler.server.release.wait(30)
    handler.close_connection = True


ACCEPTED = answering(200, {"status": "ok", "expiration": 24})
BUSY = answering(503, {"status": "error", "message": "busy, retry later"})


def finish():
    print(f"{len(failures)} failure(s)")
    sys.exit(1 if failures else 0)

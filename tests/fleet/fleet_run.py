"""What the fleet's end-to-end scripts share: the program under test, a scratch folder, checks
that collect failures, paths as the program sees them, and the environment it runs in.

The scripts are run as SCRIPT SOURCE_DIR [EMULATOR] VELMORA.
"""
import http.server
import json
import os
import subprocess
import sys
import tempfile
import threading

SOURCE = sys.argv[1]
COMMAND = sys.argv[2:]
WINE = len(COMMAND) > 1
SCRATCH = tempfile.TemporaryDirectory(prefix="fleet-")  # removed when the script ends
TEMP = SCRATCH.name
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


def velmora(*args, extra=None):
    return subprocess.run(COMMAND + list(args), env=environment(extra), capture_output=True,
                          timeout=120)


class Server(http.server.ThreadingHTTPServer):
    """A server on loopback that records each post (path, headers, body as sent) and answers
    `answer`, a status and a JSON body; with None it stalls until closed, then hangs up."""

    def __init__(self, answer, tls=None):
        super().__init__(("127.0.0.1", 0), Handler)
        self.answer, self.received, self.release = answer, [], threading.Event()
        if tls:
            self.socket = tls.wrap_socket(self.socket, server_side=True)
        threading.Thread(target=self.serve_forever, daemon=True).start()
        self.url = f"{'https' if tls else 'http'}://127.0.0.1:{self.server_address[1]}/front/inventory.php"

    def close(self):
        self.release.set()
        self.shutdown()
        self.server_close()


class Handler(http.server.BaseHTTPRequestHandler):
    def do_POST(self):
        body = self.rfile.read(int(self.headers["Content-Length"]))
        self.server.received.append((self.path, self.headers, body))
        if self.server.answer is None:
            self.server.release.wait(30)
            return
        status, answer = self.server.answer
        self.send_response(status)
        self.send_header("Content-Type", "application/json")
        self.end_headers()
        self.wfile.write(json.dumps(answer).encode())

    def log_message(self, *args):
        pass


def finish():
    print(f"{len(failures)} failure(s)")
    sys.exit(1 if failures else 0)

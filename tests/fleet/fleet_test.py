#!/usr/bin/env python3
"""velmora export --format glpi and velmora send, run as a user would.

Every document is checked against the format's schema (data/glpi-inventory.schema.json, written
from the format's description) and, where data/expected/ has one, compared with the expected
document; a replayed capture must export what the machine does. send posts to servers of the
test's own on loopback. Usage: fleet_test.py SOURCE_DIR [EMULATOR] VELMORA
"""
import json
import os
import re
import ssl
import subprocess
import zlib

import jsonschema

import fleet_run
from fleet_run import SOURCE, TEMP, WINE, Server, check, host

DATA = os.path.join(SOURCE, "tests", "fleet", "data")


def velmora(*args, root=None, environment=None):
    return fleet_run.velmora(*args, extra={**({"HARNEL_ROOT": root} if root else {}),
                                           **(environment or {})})


validator = jsonschema.Draft7Validator(
    json.load(open(os.path.join(DATA, "glpi-inventory.schema.json"))),
    format_checker=jsonschema.FormatChecker())


def export(name, *args, root=None, after=()):
    run = velmora(*args, "export", "--format", "glpi", *after, root=root)
    check(run.returncode == 0 and run.stderr == b"", f"{name}: export exits 0 quietly: {run.stderr}")
    document = json.loads(run.stdout)
    for error in validator.iter_errors(document):
        check(False, f"{name}: {error.json_path}: {error.message}")
    for network in document["content"].get("networks", []):
        check("ipaddress" not in network or "ipaddress6" not in network, f"{name}: one address")
    return document


def without_boot_time(document):
    document["content"].get("operatingsystem", {}).pop("boot_time", None)
    return document


def profile_file(name, records):
    path = os.path.join(TEMP, name + ".json")
    with open(path, "w", encoding="utf-8") as file:
        json.dump(records, file, ensure_ascii=False)
    return path


def compare_with_expected(name, document):
    with open(os.path.join(DATA, "expected", name + ".json"), encoding="utf-8") as file:
        expected = json.load(file)
    expected["content"]["versionclient"] = document["content"]["versionclient"]
    check(document == expected, f"{name}: the expected document\n{json.dumps(document, indent=1)}")
    check(re.fullmatch(r"Velmora \d+\.\d+\.\d+", document["content"]["versionclient"]) is not None,
          f"{name}: versionclient names Velmora and its version")


# Profiles: the shipped example and two Windows machine files (one captured under Wine, one
# written after a laptop) with the Machine key their raw data give; the same bytes under Wine.
windows = {}
for name in ("windows11-laptop", "wine"):
    with open(os.path.join(SOURCE, "tests", "harnel", "windows", "data", name + ".json"), encoding="utf-8") as f:
        machine = json.load(f)
        windows[name] = {**machine["records"], "Machine": machine["machine"]["Machine"]}
profiles = {"workstation": os.path.join(SOURCE, "examples", "workstation.json")}
profiles.update({name: profile_file(name, records) for name, records in windows.items()})
for name, path in profiles.items():
    compare_with_expected(name, export(name, "--profile", host(path)))
named = export("deviceid", "--profile", host(profiles["workstation"]), after=("--deviceid", "desk-42"))
check(named["deviceid"] == "desk-42", "--deviceid names the device")

# Without the Machine key, an adapter's type is read from the start of the provider's adapter type.
adapter_kinds = {"Ethernet 802.3": "ethernet", "Wireless 802.11": "wifi", "InfiniBand": "infiniband",
                 "PPP": "dialup", "Loopback": "loopback", "Bridge": "bridge",
                 "Fibre Channel": "fibrechannel", "Bluetooth": "bluetooth", "IP over FireWire": None}
adapters = profile_file("adapters", {"NetworkadapterList": [
    {"description": text, "adapterType": text} for text in adapter_kinds]})
typed = export("adapter types", "--profile", host(adapters))["content"]["networks"]
check({n["description"]: n.get("type") for n in typed} == adapter_kinds, f"adapter types: {typed}")


# The machine itself (the Linux fixture trees, and this machine or the one Wine presents): valid,
# and a capture of it replayed exports the same document but for the boot time.
def live_and_replayed(name, root=None):
    live = export(name, root=root)
    capture = velmora("capture", root=root)
    path = profile_file(name + "-capture", json.loads(capture.stdout))
    replayed = export(name + " replayed", "--profile", host(path))
    check("boot_time" not in replayed["content"].get("operatingsystem", {}), f"{name}: no boot time")
    check(without_boot_time(live) == replayed, f"{name}: a replayed capture exports the same")
    return live


if not WINE:
    for tree in ("laptop", "server", "container", "image"):
        live = live_and_replayed(tree, os.path.join(SOURCE, "tests", "harnel", "linux", "data", tree))
        compare_with_expected(tree, live)
live_and_replayed("this machine")


# send, against servers of the test's own.
def send(*args, environment=None):
    return velmora("--profile", host(profiles["workstation"]), "send", *args, environment=environment)


def fails_with(run, text, what):
    err = run.stderr.decode(errors="replace")
    check(run.returncode == 1 and err.count("\n") == 1 and text in err and run.stdout == b"",
          f"{what}: exits 1 with one line holding {text!r}: {run.returncode} {err!r}")


kept = os.path.join(TEMP, "kept.json")
server = Server((200, {"status": "ok", "expiration": 24}))
first = send(server.url, "--keep", host(kept), environment={"VELMORA_SERVER_TOKEN": "s3cret"})
again = send("--file", host(kept), server.url)
server.close()
check(first.returncode == 0 and first.stdout == b"expiration: 24\n", f"ok: 0 and the expiration: {first}")
check(again.returncode == 0, f"--file: 0: {again}")
printed = velmora("--profile", host(profiles["workstation"]), "export", "--format", "glpi").stdout
check(len(server.received) == 2, "two posts")
if len(server.received) == 2:
    (path, headers, body), (_, headers_again, body_again) = server.received
    check(path == "/front/inventory.php", "the URL's path")
    check(zlib.decompress(body) == printed == open(kept, "rb").read(), "the body inflates to the document")
    check(body_again == body, "--keep then --file sends the same bytes")
    check(headers["Content-Type"] == "application/x-compress-zlib", "Content-Type")
    check(headers["Pragma"] == "no-cache", "Pragma")
    check(headers["User-Agent"].startswith("Velmora/"), "User-Agent")
    check(headers["Authorization"] == "Bearer s3cret" and "Authorization" not in headers_again,
          "the token from the environment, and none without it")
    agent = open(os.path.join(TEMP, "agent-id")).read().strip()
    check(re.fullmatch(r"[0-9a-f]{8}-[0-9a-f]{4}-4[0-9a-f]{3}-[89ab][0-9a-f]{3}-[0-9a-f]{12}", agent)
          is not None and headers["GLPI-Agent-ID"] == agent == headers_again["GLPI-Agent-ID"],
          "one agent ID, kept")

server = Server((503, {"status": "error", "message": "busy, retry later"}))
fails_with(send(server.url), "503: busy, retry later", "an error answer")
server.close()
server = Server(None)
fails_with(send(server.url, "--timeout", "1"), "no answer within 1 s", "a silent server")
server.close()
server = Server(None)
port = server.server_address[1]
server.close()
fails_with(send(f"http://127.0.0.1:{port}/"), "connection refused", "a closed port")

certificate, key = os.path.join(TEMP, "cert.pem"), os.path.join(TEMP, "key.pem")
subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "1",
                "-subj", "/CN=127.0.0.1", "-keyout", key, "-out", certificate],
               check=True, capture_output=True)
tls = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
tls.load_cert_chain(certificate, key)
server = Server((200, {"status": "ok"}), tls)
fails_with(send(server.url), "TLS failure", "a self-signed certificate")
server.close()

fleet_run.finish()

#!/usr/bin/env python3
"""velmora agent, run as a schedule runs it, against servers of the test's own on loopback.

Every run reads its own agent.conf with a state folder in a temporary folder (never the
machine's). Usage: agent_test.py SOURCE_DIR [EMULATOR] VELMORA
"""
import base64
import glob
import json
import os
import random
import signal
import subprocess
import time
import zlib

import fleet_run
from fleet_run import ACCEPTED, BUSY, TEMP, WINE, WORKSTATION, Server, answering, check, host, write


def agent(config, profile, *args, run=fleet_run.velmora, **pipes):
    """A run of the agent, or with run=fleet_run.start one started and not waited for."""
    return run("--profile", host(profile), "agent", "--config", host(config), *args, **pipes)


def config(name, *lines):
    return write(name, "".join(line + "\n" for line in lines))


def posted(server, index=-1):
    """The headers and the inflated body of a post the server received."""
    _, headers, body = server.received[index]
    return headers, zlib.decompress(body)


def runs_as(run, status, start, what):
    """The run's one journal line, without the program's prefix, holds its outcome."""
    err = run.stderr.decode(errors="replace")
    check(err.count("\n") == 1 and err.startswith("velmora: agent: ") and run.stdout == b"",
          f"one journal line and nothing on standard output: {err!r}")
    line = err[len("velmora: agent: "):].rstrip("\r\n")
    check(run.returncode == status and line.startswith(start),
          f"{what}: exits {status} saying {start!r}: {run.returncode} {line!r}")
    return line


laptop = fleet_run.windows_profile("windows11-laptop")


def exported(profile):
    return json.loads(fleet_run.velmora("--profile", host(profile), "export", "--format", "glpi").stdout)


# No server named: what the packaged timer meets before anyone configures the agent.
empty = config("empty.conf", "# server = https://glpi.example/")
runs_as(agent(empty, WORKSTATION), 0, f"{host(empty)} names no server: nothing to do", "no server")

server = Server(ACCEPTED)
state = os.path.join(TEMP, "state")
main = config("agent.conf", f"server = {server.url}", "tag = paris-3", "timeout = 20",
              f"state = {host(state)}")
line = runs_as(agent(main, WORKSTATION), 0, f"sent to {server.url}: the first inventory, accepted",
               "a first run")
check(line.endswith("expiration 24 h"), f"the expiration is journaled: {line!r}")
expected = exported(WORKSTATION)
check(len(server.received) == 1, "one post")
if server.received:
    sent = json.loads(posted(server, 0)[1])
    check(sent.pop("tag", None) == "paris-3" and sent == expected,
          "the document as export prints it, with the configured tag")
state_files = [name for name in os.listdir(state) if name.endswith(".state.json")]
check(len(state_files) == 1, f"one state file: {os.listdir(state)}")

runs_as(agent(main, WORKSTATION), 0, f"unchanged for {server.url}: accepted ", "the same machine")
check(len(server.received) == 1, "an unchanged inventory is not sent")
runs_as(agent(main, laptop), 0, f"sent to {server.url}: the inventory changed", "another machine")
check(len(server.received) == 2, "a changed inventory is sent")

runs_as(agent(main, laptop, "--force"), 0, f"sent to {server.url}: forced", "--force")
check(len(server.received) == 3, "the forced inventory is sent")

# A busy server: the inventory is kept, and the next run delivers it as kept.
server.behave = BUSY
runs_as(agent(main, WORKSTATION), 0, f"kept for {server.url}: the server answered 503: busy, retry later",
        "a busy server")
kept_files = [os.path.join(state, n) for n in os.listdir(state) if n.endswith(".kept.json")]
check(len(kept_files) == 1, f"one kept inventory: {os.listdir(state)}")
kept = open(kept_files[0], "rb").read() if kept_files else b""
server.behave = ACCEPTED
runs_as(agent(main, WORKSTATION), 0, f"sent to {server.url}: the kept inventory, accepted",
        "the next run")
check(posted(server)[1] == kept, "the kept inventory is delivered byte for byte")
check(not any(n.endswith(".kept.json") for n in os.listdir(state)), "and is no longer kept")

# Credentials: HTTP Basic from a file only its owner may read.
secret = write("credentials", "user = agent-7\npassword = p;a ss\n")
with_secret = config("secret.conf", f"server = {server.url}", f"credentials = {host(secret)}",
                     f"state = {host(state)}")
runs_as(agent(with_secret, WORKSTATION, "--force"), 0, f"sent to {server.url}: forced", "credentials")
check(posted(server)[0]["Authorization"] ==
      "Basic " + base64.b64encode(b"agent-7:p;a ss").decode(), "Basic authentication")

# Two runs at once: the second leaves the state folder to the first and says so.
server.behave = fleet_run.stall
first = agent(main, WORKSTATION, "--force", run=fleet_run.start, stdout=subprocess.PIPE,
              stderr=subprocess.PIPE)
waited = 0
count = len(server.received)
while len(server.received) == count and waited < 600:
    time.sleep(0.1)
    waited += 1
check(len(server.received) == count + 1, "the first run posts")
runs_as(agent(main, WORKSTATION, "--force"), 0, f"another run holds {host(state)}",
        "a second run at once")
server.release.set()
out, err = first.communicate(timeout=120)
check(first.returncode == 0 and err.decode().startswith(f"velmora: agent: kept for {server.url}"),
      f"the first run keeps what it could not deliver: {err!r}")
check(len(server.received) == count + 1, "the second run posted nothing")
server.close()

# A run killed at any moment, writing the kept inventory included, leaves the previous kept
# inventory whole: each run keeps another machine's inventory for a refusing server.
# Not under Wine: a Wine process killed from outside leaves the next one a broken connection to
# Wine's server ("wine client error: recvmsg: Connection reset by peer").
if not WINE:
    refusing = Server(answering(503, {"status": "error", "message": "busy"}))
    killed_state = os.path.join(TEMP, "killed")

    def files(pattern):
        return glob.glob(os.path.join(killed_state, pattern))

    killed = config("killed.conf", f"server = {refusing.url}", f"state = {host(killed_state)}")
    documents = set()
    for profile in (WORKSTATION, laptop):
        runs_as(agent(killed, profile), 0, f"kept for {refusing.url}", "a refused inventory is kept")
        documents.add(json.dumps(exported(profile), sort_keys=True))
    duration = agent(killed, WORKSTATION).seconds
    kills = 40
    interrupted = 0  # kills that left a temporary file: the run was writing, or had written it
    for round in range(kills):
        for path in files("*.new"):
            os.remove(path)
        run = agent(killed, (WORKSTATION, laptop)[round % 2], run=fleet_run.start,
                    stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        time.sleep(random.uniform(0, duration * 1.2))
        run.send_signal(signal.SIGKILL)
        run.wait()
        interrupted += bool(files("*.new"))
        for path in files("*.kept.json"):
            with open(path, encoding="utf-8") as file:
                text = file.read()
            try:
                whole = json.dumps(json.loads(text), sort_keys=True) in documents
            except ValueError:
                whole = False
            check(whole, f"kill {round}: the kept inventory is one of the documents, whole")
    refusing.close()
    print(f"{kills} runs killed, {interrupted} of them with the temporary file written or being written")

# Bad configuration files: one line naming the file, the line and the key; exit 2.
open_secret = write("open-credentials", "user = a\npassword = b\n", 0o644)
# Each problem the reader finds has its case in the unit tests; here, that the run ends with it.
path = config("unknown.conf", f"server = {server.url}", "sevrer = http://x/")
runs_as(agent(path, WORKSTATION), 2, host(path) + ":2: sevrer: unknown key", "an unknown key")
missing = os.path.join(TEMP, "missing.conf")
runs_as(agent(missing, WORKSTATION), 2, f"{host(missing)}: cannot be read: ", "a missing file")
# Under Wine a file others may read has an access list that lets everyone read it.
path = config("open.conf", f"server = {server.url}", f"credentials = {host(open_secret)}")
runs_as(agent(path, WORKSTATION), 2,
        host(open_secret) + (": its access list lets everyone read it" if WINE
                             else ": others may read it (mode 0644)"),
        "credentials others may read")

fleet_run.finish()

#!/usr/bin/env python3
"""velmora send and velmora agent against a private OCS Inventory server (ocs_server.py): the
machines it holds afterwards, row by row against the profiles sent, a changed machine updating its
row, the agent's unchanged run, and the web server gone after the PROLOG.
Usage: ocs_server_test.py SOURCE_DIR VELMORA
"""
import json
import os
import re
import urllib.error
import urllib.request

import fleet_run
from fleet_run import TEMP, TREES, WORKSTATION, check, velmora, write
from ocs_server import OcsServer


def version():
    with open(os.path.join(fleet_run.SOURCE, "CMakeLists.txt")) as f:
        return re.search(r"project\(Velmora VERSION (\S+)", f.read()).group(1)


def capture(name, root=None, profile=None):
    """The machine as a profile file: the one given, or a capture of a tree or of this machine."""
    if profile:
        return profile
    run = velmora("capture", root=root)
    check(run.returncode == 0, f"{name}: capture exits 0: {run.stderr}")
    return write(name + ".json", run.stdout.decode("utf-8"))


def text(value):
    """A value as the server's columns hold it: absent text is empty, an absent number 0."""
    return "" if value is None or value in ("", "0", 0) else str(value)


def device_id(profile):
    run = velmora("--profile", profile, "export", "--format", "ocs")
    found = re.search(r"<DEVICEID>(.*)</DEVICEID>", run.stdout.decode(errors="replace"))
    check(found, f"{profile}: export names the device: {run.stderr}")
    return found.group(1) if found else ""


def check_rows(server, name, table, hid, records, columns):
    """The machine's rows of a table (in id order) match the records, column by column: `columns`
    maps each column to the record's field expected in it."""
    rows = server.rows(f"SELECT {', '.join(columns)} FROM {table} WHERE HARDWARE_ID = {hid} "
                       f"ORDER BY ID")
    check(len(rows) == len(records), f"{name} {table}: {len(records)} rows: {len(rows)}")
    for index, (row, node) in enumerate(zip(rows, records)):
        for value, (column, field) in zip(row, columns.items()):
            want = text(node.get(field))
            check(text(value) == want, f"{name} {table} #{index}: {column} is {want!r}: {value!r}")


# The field of a record each column of the server's tables holds; "parts" are the tables kept
# one to a record of the profile's list (joined with the Machine key's), and that list.
with open(os.path.join(fleet_run.DATA, "ocs-columns.json"), encoding="utf-8") as f:
    COLUMNS = json.load(f)
assert COLUMNS.keys() == {"cpus", "parts", "networks"}, f"ocs-columns.json: {list(COLUMNS)}"


def check_machine(server, name, profile_path):
    with open(profile_path, encoding="utf-8") as f:
        profile = json.load(f)
    machine = profile.get("Machine", {})
    system = machine.get("System", {})
    os_record = profile.get("OS") or {}
    hardware = server.rows("SELECT ID, NAME, UUID, OSNAME FROM hardware WHERE DEVICEID = '%s'"
                           % device_id(profile_path))
    check(len(hardware) == 1, f"{name}: one hardware row: {hardware}")
    if len(hardware) != 1:
        return None
    hid, host_name, uuid, os_name = hardware[0]
    check(text(host_name) == text(os_record.get("computerName")), f"{name}: NAME {host_name}")
    check(text(uuid) == text(system.get("uuid")), f"{name}: UUID {uuid}")
    check(text(os_name) == text(os_record.get("osName")), f"{name}: OSNAME {os_name}")
    bios = [[text(v) for v in row] for row in
            server.rows(f"SELECT SSN, SMANUFACTURER FROM bios WHERE HARDWARE_ID = {hid}")]
    want = [text(system.get("serial")), text(system.get("manufacturer"))]
    # A machine without any BIOS fact sends no BIOS section, and the server keeps no row.
    check(bios == [want] or (bios == [] and want == ["", ""]),
          f"{name}: bios serial and maker {want}: {bios}")

    def joined(key):
        nodes = profile.get(key) or []
        extra = machine.get(key) or []
        return [{**node, **(extra[i] if i < len(extra) else {})} for i, node in enumerate(nodes)]

    processor = {**(profile.get("Processor") or {}), **(machine.get("Processor") or {})}
    packages = processor.get("packages") or 1 if profile.get("Processor") else 0
    check_rows(server, name, "cpus", hid, [processor] * packages, COLUMNS["cpus"])
    for table, key, columns in COLUMNS["parts"]:
        check_rows(server, name, table, hid, joined(key), columns)
    # One row per address of an adapter (its IPv4 one, or none for an IPv6 one), and one for an
    # adapter without any.
    adapters = []
    for node in joined("NetworkadapterList"):
        addresses = [a for a in (node.get("ipAddress") or "").split(", ") if a] or [None]
        for address in addresses:
            adapters.append({**node, "shown": node.get("interfaceName") or node.get("description"),
                             "v4": address if address and ":" not in address else None})
    check_rows(server, name, "networks", hid, adapters, COLUMNS["networks"])
    return hid


def send(name, profile, url, *args):
    run = velmora("--profile", profile, "send", url, *args)
    out = run.stdout.decode()
    check(run.returncode == 0 and re.fullmatch(r"reply: (NO_)?ACCOUNT_UPDATE\nexpiration: 24\n",
                                               out),
          f"{name}: send exits 0 with the server's reply and PROLOG_FREQ: "
          f"{run.returncode} {out!r} {run.stderr!r}")


def cut_after_prolog(ocs):
    """A relay's behaviour: passes requests on to the OCS server; once the PROLOG's answer is
    back, it stops the web server, so that the inventory meets nobody and its connection is
    dropped. The relay's `requests` counts what it passed."""
    def behave(handler, body):
        handler.server.requests += 1
        if handler.server.requests > 1:
            ocs.stop_web()
            handler.close_connection = True
            return
        headers = {k: v for k, v in handler.headers.items()
                   if k.lower() not in ("host", "content-length")}
        request = urllib.request.Request(ocs.url, data=body, headers=headers)
        try:
            answer = urllib.request.urlopen(request, timeout=30)
        except urllib.error.HTTPError as error:
            answer = error
        handler.answer(answer.status, answer.headers.get("Content-Type", ""), answer.read())
    return behave


def check_count(server, machines, what):
    count = server.rows("SELECT COUNT(*) FROM hardware")[0][0]
    check(count == str(machines), f"{what}: {count}")


def agent(config):
    return velmora("--profile", WORKSTATION, "agent", "--config", config)


def main():
    with OcsServer(f"Velmora/{version()}") as server:
        machines = [("workstation", None, WORKSTATION)]
        machines += [(tree, os.path.join(TREES, tree), None) for tree in sorted(os.listdir(TREES))
                     if os.path.isdir(os.path.join(TREES, tree, "sys"))]
        machines.append(("this-machine", None, None))
        for name, root, profile in machines:
            path = capture(name, root=root, profile=profile)
            send(name, path, server.url)
            check_machine(server, name, path)
        check_count(server, len(machines), "one hardware row per machine")

        # A changed machine updates its own row.
        with open(WORKSTATION, encoding="utf-8") as f:
            changed = json.load(f)
        changed["Memory"]["totalPhysicalMB"] = 65214
        changed["StorageList"] = changed["StorageList"][:1]
        changed["Machine"]["StorageList"] = changed["Machine"]["StorageList"][:1]
        changed["StorageList"][0]["model"] = "Samsung SSD 990 PRO 2TB & more <new>"
        changed_path = write("changed.json", changed)
        before = check_machine(server, "workstation", WORKSTATION)
        send("changed", changed_path, server.url)
        after = check_machine(server, "changed", changed_path)
        check(before is not None and before == after, f"the same row: {before} {after}")
        memory = server.rows(f"SELECT MEMORY FROM hardware WHERE ID = {after}")
        check(memory == [["65214"]], f"the new memory size: {memory}")
        check_count(server, len(machines), "no second row for the changed machine")

        # The agent: once, then nothing while unchanged.
        state = os.path.join(TEMP, "state")
        config = write("agent.conf", f"server = {server.url}\nformat = ocs\nstate = {state}\n")
        first, second = agent(config), agent(config)
        check(first.returncode == 0 and b"sent to " in first.stderr and b"ACCOUNT_UPDATE" in
              first.stderr and b"expiration 24 h" in first.stderr, f"agent sends: {first.stderr}")
        check(second.returncode == 0 and b"unchanged for " in second.stderr,
              f"agent sends nothing while unchanged: {second.stderr}")

        # The web server stops after the PROLOG: send fails and keeps, the agent keeps, and both
        # deliver once it is back.
        with fleet_run.Server(cut_after_prolog(server)) as relay:
            relay.requests, relay.url = 0, relay.base + "/ocsinventory"
            kept = os.path.join(TEMP, "kept.xml")
            cut = velmora("--profile", changed_path, "send", relay.url, "--keep", kept,
                          "--timeout", "20")
            check(cut.returncode == 1 and cut.stderr.startswith(b"velmora: send: ") and
                  b"(inventory)" in cut.stderr and cut.stderr.count(b"\n") == 1,
                  f"send exits 1 with one line: {cut.returncode} {cut.stderr}")
            check(os.path.getsize(kept) > 0, "the inventory is kept")
            server.start_web()
            relay.requests = 0
            write("agent.conf", f"server = {relay.url}\nformat = ocs\nstate = {state}\n")
            cut = agent(config)
            check(cut.returncode == 0 and b"kept for " in cut.stderr,
                  f"the agent keeps the inventory: {cut.stderr}")
            server.start_web()
            relay.requests = -10
            again = agent(config)
            check(again.returncode == 0 and b"the kept inventory, accepted" in again.stderr,
                  f"the next run delivers the kept inventory: {again.stderr}")
        run = velmora("send", "--file", kept, server.url)
        check(run.returncode == 0, f"send --file delivers the kept one: {run.stderr}")
        if fleet_run.failures:
            print(server.error_log()[-3000:])
    fleet_run.finish()


main()

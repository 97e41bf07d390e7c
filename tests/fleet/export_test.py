#!/usr/bin/env python3
"""velmora export in both formats, run as a user would, of the example profile, two Windows machine
files, the fixture trees and this machine (or the one Wine presents).

GLPI: every document is checked against the format's schema and, where data/expected/ has one,
compared with the expected document; a replayed capture of a machine must export what the machine
does. OCS: every document is well-formed XML (Python's expat), shaped as the OCS server reads it,
and every section and field it writes is one that OCS Inventory's own agent writes for that
section, or one of the few that only its Windows agent writes and its server keeps (the names come
from an inventory that agent makes of this machine, when it is installed, and from
data/ocs-agent-fields.json: "agent", the field lists of the agent's Ocsinventory/Agent/Common.pm,
and "server", the others, from the server's Apache/Ocsinventory/Map.pm).
Usage: export_test.py SOURCE_DIR [EMULATOR] VELMORA
"""
import glob
import json
import os
import re
import shutil
import subprocess
import xml.etree.ElementTree as ElementTree

import fleet_run
from fleet_run import DATA, TEMP, TREES, WINE, WORKSTATION, check, host, velmora, write

validator = fleet_run.glpi_validator()
# The sections the OCS server keeps a table for; HARDWARE carries the identity and must be there.
SECTIONS = {"HARDWARE", "BIOS", "CPUS", "MEMORIES", "STORAGES", "NETWORKS", "MONITORS", "VIDEOS",
            "CONTROLLERS", "SLOTS", "INPUTS", "MODEMS", "PRINTERS", "SOUNDS"}
# What the server reads besides the agent's sections.
ENVELOPE = {"ACCOUNTINFO", "VERSIONCLIENT"}
# Fields written as numbers into the server's SQL, unquoted.
NUMBERS = {("HARDWARE", f) for f in ("MEMORY", "SWAP", "PROCESSORS", "PROCESSORN", "CHECKSUM")}


def glpi(name, *args, root=None, after=()):
    run = velmora(*args, "export", "--format", "glpi", *after, root=root)
    check(run.returncode == 0 and run.stderr == b"", f"{name}: export exits 0 quietly: {run.stderr}")
    document = json.loads(run.stdout)
    for error in validator.iter_errors(document):
        check(False, f"{name}: {error.json_path}: {error.message}")
    for network in document["content"].get("networks", []):
        check("ipaddress" not in network or "ipaddress6" not in network, f"{name}: one address")
    return document


def compare_with_expected(name, document):
    with open(os.path.join(DATA, "expected", name + ".json"), encoding="utf-8") as file:
        expected = json.load(file)
    expected["content"]["versionclient"] = document["content"]["versionclient"]
    check(document == expected, f"{name}: the expected document\n{json.dumps(document, indent=1)}")
    check(re.fullmatch(r"Velmora \d+\.\d+\.\d+", document["content"]["versionclient"]) is not None,
          f"{name}: versionclient names Velmora and its version")


def replayed(name, live, root=None):
    """A capture of the machine replayed exports the same document as the machine but for the
    boot time; `live` loses its boot time."""
    path = write(name + "-capture.json", json.loads(velmora("capture", root=root).stdout))
    document = glpi(name + " replayed", "--profile", host(path))
    check("boot_time" not in document["content"].get("operatingsystem", {}), f"{name}: no boot time")
    live["content"].get("operatingsystem", {}).pop("boot_time", None)
    check(live == document, f"{name}: a replayed capture exports the same")


def agent_fields():
    """Section -> the field names OCS Inventory's agent writes, from its inventory of this machine
    (ocsinventory-agent --local), or from the names kept in data/ where the agent is missing or
    under Wine; merged with the kept names, for sections this machine lacks."""
    with open(os.path.join(DATA, "ocs-agent-fields.json")) as f:
        kept = json.load(f)
    names = {section: set(fields) for section, fields in kept["agent"].items()}
    for section, fields in kept["server"].items():
        names.setdefault(section, set()).update(fields)
    agent = shutil.which("ocsinventory-agent")
    if agent and not WINE:
        folder = os.path.join(TEMP, "ocs-agent")
        os.makedirs(folder)
        run = subprocess.run([agent, "--local", folder, "--nosoftware"], capture_output=True,
                             timeout=240)
        made = glob.glob(os.path.join(folder, "*.ocs"))
        check(run.returncode == 0 and len(made) == 1, f"the agent leaves one .ocs file: {run}")
        for path in made:
            content = ElementTree.parse(path).getroot().find("CONTENT")
            for section in content:
                names.setdefault(section.tag, set()).update(child.tag for child in section)
    return names


def ocs(name, known, *args, root=None):
    run = velmora(*args, "export", "--format", "ocs", root=root)
    check(run.returncode == 0 and run.stderr == b"", f"{name}: exits 0 quietly: {run.stderr}")
    check(run.stdout.startswith(b'<?xml version="1.0" encoding="UTF-8" ?>\n'), f"{name}: declaration")
    try:
        root = ElementTree.fromstring(run.stdout)
    except ElementTree.ParseError as error:
        check(False, f"{name}: not well-formed: {error}")
        return
    check(root.tag == "REQUEST" and root.findtext("QUERY") == "INVENTORY", f"{name}: a request")
    check(re.fullmatch(r".+-\d{4}(-\d{2}){5}", root.findtext("DEVICEID") or ""),
          f"{name}: a device id the server takes: {root.findtext('DEVICEID')}")
    content = root.find("CONTENT")
    check(content.find("HARDWARE/CHECKSUM") is not None, f"{name}: HARDWARE has a CHECKSUM")
    check(content.findtext("VERSIONCLIENT", "").startswith("Velmora "), f"{name}: client")
    for section in content:
        if section.tag in ENVELOPE:
            continue
        check(section.tag in SECTIONS, f"{name}: {section.tag} is a section the server keeps")
        for field in section:
            check(field.tag in known.get(section.tag, ()) or field.tag == "CHECKSUM",
                  f"{name}: {section.tag}/{field.tag} is a field the agent writes")
            check(len(field) == 0 and (field.text or "").strip() != "",
                  f"{name}: {section.tag}/{field.tag} holds text")
            if (section.tag, field.tag) in NUMBERS:
                check(re.fullmatch(r"\d+", field.text or ""),
                      f"{name}: {section.tag}/{field.tag} is a number: {field.text}")


# Each machine: its name, the profile it is read from (None: the machine or a tree, captured and
# replayed), and the fixture tree its Linux readers read (None: this machine). Under Wine the
# provider reads Windows, not trees; the profiles' bytes are the same.
machines = [("workstation", WORKSTATION, None)]
machines += [(name, fleet_run.windows_profile(name), None) for name in ("windows11-laptop", "wine")]
if not WINE:
    machines += [(tree, None, os.path.join(TREES, tree)) for tree in sorted(os.listdir(TREES))
                 if os.path.isdir(os.path.join(TREES, tree, "sys"))
                 or os.path.isdir(os.path.join(TREES, tree, "proc"))]
machines.append(("this machine", None, None))
known = agent_fields()
for name, profile, root in machines:
    args = ["--profile", host(profile)] if profile else []
    document = glpi(name, *args, root=root)
    if profile is None:
        replayed(name, document, root)
    if os.path.exists(os.path.join(DATA, "expected", name + ".json")):
        compare_with_expected(name, document)
    ocs(name, known, *args, root=root)

named = glpi("deviceid", "--profile", host(WORKSTATION), after=("--deviceid", "desk-42"))
check(named["deviceid"] == "desk-42", "--deviceid names the device")

# Without the Machine key, an adapter's type is read from the start of the provider's adapter type.
adapter_kinds = {"Ethernet 802.3": "ethernet", "Wireless 802.11": "wifi", "InfiniBand": "infiniband",
                 "PPP": "dialup", "Loopback": "loopback", "Bridge": "bridge",
                 "Fibre Channel": "fibrechannel", "Bluetooth": "bluetooth", "IP over FireWire": None}
adapters = write("adapters.json", {"NetworkadapterList": [
    {"description": text, "adapterType": text} for text in adapter_kinds]})
typed = glpi("adapter types", "--profile", host(adapters))["content"]["networks"]
check({n["description"]: n.get("type") for n in typed} == adapter_kinds, f"adapter types: {typed}")

fleet_run.finish()

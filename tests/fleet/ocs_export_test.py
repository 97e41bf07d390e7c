#!/usr/bin/env python3
"""velmora export --format ocs of the example profiles and the fixture trees: each document is
well-formed XML (Python's expat), shaped as the OCS server reads it, and every section and field
it writes is one that OCS Inventory's own agent writes for that section, or one of the few that
only its Windows agent writes and its server keeps (the names come from an inventory that agent
makes of this machine, when it is installed, and from data/ocs-agent-fields.json: "agent", the
field lists of the agent's Ocsinventory/Agent/Common.pm, and "server", the others, from the
server's Apache/Ocsinventory/Map.pm).
Usage: ocs_export_test.py SOURCE_DIR [EMULATOR] VELMORA
"""
import glob
import json
import os
import re
import shutil
import subprocess
import xml.etree.ElementTree as ElementTree

import fleet_run
from fleet_run import SOURCE, TEMP, WINE, check, host

DATA = os.path.join(SOURCE, "tests", "fleet", "data")
TREES = os.path.join(SOURCE, "tests", "harnel", "linux", "data")
# The sections the server keeps a table for; HARDWARE carries the identity and must be there.
SECTIONS = {"HARDWARE", "BIOS", "CPUS", "MEMORIES", "STORAGES", "NETWORKS", "MONITORS", "VIDEOS",
            "CONTROLLERS", "SLOTS", "INPUTS", "MODEMS", "PRINTERS", "SOUNDS"}
# What the server reads besides the agent's sections.
ENVELOPE = {"ACCOUNTINFO", "VERSIONCLIENT"}
# Fields written as numbers into the server's SQL, unquoted.
NUMBERS = {("HARDWARE", f) for f in ("MEMORY", "SWAP", "PROCESSORS", "PROCESSORN", "CHECKSUM")}


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


def documents():
    for profile in sorted(glob.glob(os.path.join(SOURCE, "examples", "*.json"))):
        yield os.path.basename(profile), ["--profile", host(profile)], {}
    for tree in sorted(os.listdir(TREES)):
        if os.path.isdir(os.path.join(TREES, tree, "sys")) or os.path.isdir(
                os.path.join(TREES, tree, "proc")):
            yield tree, [], {"HARNEL_ROOT": os.path.join(TREES, tree)}
    yield "this machine", [], {}


def main():
    known = agent_fields()
    seen = 0
    for name, args, extra in documents():
        run = fleet_run.velmora(*args, "export", "--format", "ocs", extra=extra)
        check(run.returncode == 0 and run.stderr == b"", f"{name}: exits 0 quietly: {run.stderr}")
        text = run.stdout.decode("utf-8")
        check(text.startswith('<?xml version="1.0" encoding="UTF-8" ?>\n'), f"{name}: declaration")
        try:
            root = ElementTree.fromstring(run.stdout)
        except ElementTree.ParseError as error:
            check(False, f"{name}: not well-formed: {error}")
            continue
        seen += 1
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
    check(seen >= 3, f"the examples and the trees were exported: {seen}")
    fleet_run.finish()


main()

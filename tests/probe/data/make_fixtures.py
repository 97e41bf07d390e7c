#!/usr/bin/env python3
"""Builds the machine trees that the probe tests read: a laptop with DMI, an SMBIOS table and
EDID blocks, a server that exposes no SMBIOS table to its unprivileged reader, and a bare
container. Binary files are laid out byte for byte as the kernel exports them (SMBIOS 3.x
structure table, EDID 1.4 base block, glibc's utmp records). Run it from this folder; it
rewrites laptop/, server/ and container/."""

import os
import shutil
import struct


def write(root, path, content, mode="w"):
    full = os.path.join(root, path.lstrip("/"))
    os.makedirs(os.path.dirname(full), exist_ok=True)
    with open(full, mode) as f:
        f.write(content)


def link(root, path, target):
    full = os.path.join(root, path.lstrip("/"))
    os.makedirs(os.path.dirname(full), exist_ok=True)
    os.symlink(target, full)


# --- SMBIOS --------------------------------------------------------------------------------

def smbios_structure(type_, handle, fields, strings):
    """One structure: header, formatted fields, then the string set ending in two NULs."""
    body = struct.pack("<BBH", type_, 4 + len(fields), handle) + fields
    if strings:
        body += b"".join(s.encode() + b"\0" for s in strings) + b"\0"
    else:
        body += b"\0\0"
    return body


def laptop_smbios():
    parts = []
    # Type 0: vendor 1, version 2, start segment, release date 3, ROM size, characteristics...
    parts.append(smbios_structure(0, 0x0000,
        struct.pack("<BBHBBQ", 1, 2, 0xE800, 3, 0xFF, 0x0B) + bytes([0x0D, 0x0F, 1, 34, 1, 17]),
        ["LENOVO", "N23ET59W (1.34 )", "11/28/2018"]))
    # Type 2: manufacturer 1, product 2, version 3, serial 4, asset 0, features, location 0...
    parts.append(smbios_structure(2, 0x0002,
        struct.pack("<BBBBBBBHBB", 1, 2, 3, 4, 0, 0x09, 0, 0x0003, 0x0A, 0),
        ["LENOVO", "20KHCTO1WW", "SDK0J40697 WIN", "L1HF8AB01ZT"]))
    # Type 3: manufacturer 1, type 10 (Notebook), version 0, serial 2, asset 0, states...
    parts.append(smbios_structure(3, 0x0003,
        struct.pack("<BBBBBBBBBI", 1, 10, 0, 2, 0, 3, 3, 3, 2, 0) + bytes([0, 0, 0, 0]),
        ["LENOVO", "PF1ABCDE"]))
    # Type 4: socket 1, type 3 (CPU), family 0xC6, manufacturer 2, ID (EAX, EDX), version 3,
    # voltage, external clock, max speed 4000, current 1800, status 0x41 (populated, enabled),
    # upgrade, L1/L2/L3 handles, serial 0, asset 0, part-number string 0, cores/enabled/threads, characteristics.
    parts.append(smbios_structure(4, 0x0004,
        struct.pack("<BBBBIIBBHHHBBHHHBBBBBBH", 1, 3, 0xC6, 2, 0x000806EA, 0xBFEBFBFF, 3,
                    0x8B, 100, 4000, 1800, 0x41, 0x01, 0x0005, 0x0006, 0x0007, 0, 0, 0,
                    4, 4, 8, 0x00EC),
        ["U3E1", "Intel(R) Corporation", "Intel(R) Core(TM) i7-8550U CPU @ 1.80GHz"]))
    # Type 9: designation 1, type, width, usage, length, ID, characteristics 1 and 2.
    parts.append(smbios_structure(9, 0x0009,
        struct.pack("<BBBBBHBB", 1, 0xB6, 0x0D, 0x04, 0x04, 1, 0x04, 0x01),
        ["J6B2"]))
    parts.append(smbios_structure(9, 0x000A,
        struct.pack("<BBBBBHBB", 1, 0x17, 0x0A, 0x03, 0x03, 2, 0x04, 0x01),
        ["M.2 Slot"]))
    # Type 17: array handle, error handle, total width, data width, size, form factor, set,
    # device locator 1, bank locator 2, type, type detail, speed, manufacturer 3, serial 4,
    # asset 0, part-number string 5, attributes, extended size, configured speed.
    parts.append(smbios_structure(17, 0x0011,
        struct.pack("<HHHHHBBBBBHHBBBBBIH", 0x0010, 0xFFFE, 64, 64, 8192, 0x0D, 0, 1, 2, 0x1A,
                    0x0080, 2400, 3, 4, 0, 5, 1, 0, 2400),
        ["ChannelA-DIMM0", "BANK 0", "Samsung", "12345678", "M471A1K43CB1-CRC"]))
    # An empty slot: size 0, no strings beyond the locators.
    parts.append(smbios_structure(17, 0x0012,
        struct.pack("<HHHHHBBBBBHHBBBBBIH", 0x0010, 0xFFFE, 0xFFFF, 0xFFFF, 0, 0x0D, 0, 1, 2,
                    0x02, 0x0000, 0, 0, 0, 0, 0, 0, 0, 0),
        ["ChannelB-DIMM0", "BANK 2"]))
    parts.append(smbios_structure(127, 0xFEFF, b"", []))
    return b"".join(parts)


# --- EDID ----------------------------------------------------------------------------------

def pnp_id(letters):
    value = 0
    for c in letters:
        value = value << 5 | (ord(c) - ord("A") + 1)
    return struct.pack(">H", value)


def detailed_timing(clock_khz, h_active, h_blank, v_active, v_blank, width_mm, height_mm):
    return struct.pack("<H", clock_khz // 10) + bytes([
        h_active & 0xFF, h_blank & 0xFF, (h_active >> 8) << 4 | (h_blank >> 8),
        v_active & 0xFF, v_blank & 0xFF, (v_active >> 8) << 4 | (v_blank >> 8),
        48, 32, 0x35, 0x00,  # sync offsets and widths
        width_mm & 0xFF, height_mm & 0xFF, (width_mm >> 8) << 4 | (height_mm >> 8),
        0, 0, 0x1E])


def text_descriptor(tag, text):
    data = text.encode()[:13]
    if len(data) < 13:
        data += b"\n" + b" " * (12 - len(data))
    return bytes([0, 0, 0, tag, 0]) + data


def range_descriptor():
    return bytes([0, 0, 0, 0xFD, 0, 56, 76, 30, 81, 17, 0, 0x0A]) + b" " * 6


def edid(maker, product, width_cm, height_cm, descriptors):
    block = bytearray(b"\x00\xFF\xFF\xFF\xFF\xFF\xFF\x00")
    block += pnp_id(maker) + struct.pack("<HI", product, 0x01010101)
    block += bytes([1, 28, 1, 4, 0xA5, width_cm, height_cm, 0x78, 0x3A])  # week, year, v1.4
    block += bytes(10)  # chromaticity
    block += bytes(3)  # established timings
    block += b"\x01\x01" * 8  # no standard timings
    for d in descriptors:
        block += d
    block += bytes([0])  # no extension blocks
    block += bytes([(-sum(block)) & 0xFF])
    assert len(block) == 128
    return bytes(block)


# --- utmp ----------------------------------------------------------------------------------

def utmp(type_, user, line, seconds):
    return struct.pack("<hxxi32s4s32s256shhiii16s20s", type_, 1000, line.encode(), b"",
                       user.encode(), b"", 0, 0, 0, seconds, 0, bytes(16), bytes(20))


USER_PROCESS, DEAD_PROCESS, BOOT_TIME = 7, 8, 2


# --- common pieces -------------------------------------------------------------------------

PCI_IDS = """#
#\tList of PCI ID's (fixture excerpt in the database's format)
#
102b  Matrox Electronics Systems Ltd.
\t0534  G200eR2
1022  Advanced Micro Devices, Inc. [AMD]
\t1480  Starship/Matisse Root Complex
\t\t1022 1480  Starship/Matisse Root Complex
144d  Samsung Electronics Co Ltd
\ta808  NVMe SSD Controller SM981/PM981/PM983
8086  Intel Corporation
\t15d7  Ethernet Connection (4) I219-LM
\t24fd  Wireless 8265 / 8275
\t5914  Xeon E3-1200 v6/7th Gen Core Processor Host Bridge/DRAM Registers
\t5917  UHD Graphics 620
\t9d2f  Sunrise Point-LP USB 3.0 xHCI Controller
\t1521  I350 Gigabit Network Connection
C 01  Mass storage controller
\t06  SATA controller
\t08  Non-Volatile memory controller
\t\t02  NVM Express
C 02  Network controller
\t00  Ethernet controller
\t80  Network controller
C 03  Display controller
\t00  VGA compatible controller
C 06  Bridge
\t00  Host bridge
C 0c  Serial bus controller
\t03  USB controller
\t\t30  XHCI
"""


def kernel(root, hostname, release, version, domain="(none)"):
    write(root, "/proc/sys/kernel/ostype", "Linux\n")
    write(root, "/proc/sys/kernel/osrelease", release + "\n")
    write(root, "/proc/sys/kernel/version", version + "\n")
    write(root, "/proc/sys/kernel/arch", "x86_64\n")
    write(root, "/proc/sys/kernel/hostname", hostname + "\n")
    write(root, "/proc/sys/kernel/domainname", domain + "\n")


def pci_device(root, address, vendor, device, class_, extra=None):
    folder = "/sys/devices/pci0000:00/" + address
    write(root, folder + "/vendor", "0x%04x\n" % vendor)
    write(root, folder + "/device", "0x%04x\n" % device)
    write(root, folder + "/subsystem_vendor", "0x%04x\n" % vendor)
    write(root, folder + "/subsystem_device", "0x0000\n")
    write(root, folder + "/class", "0x%06x\n" % class_)
    link(root, folder + "/subsystem", "../../../bus/pci")
    link(root, "/sys/bus/pci/devices/" + address, "../../../devices/pci0000:00/" + address)
    for path, content in (extra or {}).items():
        write(root, folder + "/" + path, content)
    return folder


def cpuinfo(blocks):
    return "\n".join("\n".join("%s\t: %s" % kv for kv in block) + "\n" for block in blocks)


# --- the laptop ----------------------------------------------------------------------------

def laptop(root):
    write(root, "/etc/os-release", 'PRETTY_NAME="Debian GNU/Linux 12 (bookworm)"\n'
          'NAME="Debian GNU/Linux"\nVERSION_ID="12"\nVERSION="12 (bookworm)"\nID=debian\n')
    write(root, "/etc/machine-id", "0f3c2d1e9a8b47c6b5a4d3e2f1a0b9c8\n")
    kernel(root, "thinkpad", "6.1.0-18-amd64", "#1 SMP PREEMPT_DYNAMIC Debian 6.1.76-1 (2024-02-01)")
    write(root, "/proc/uptime", "273906.42 1050000.17\n")
    cpu = [("processor", "0"), ("vendor_id", "GenuineIntel"), ("cpu family", "6"), ("model", "142"),
           ("model name", "Intel(R) Core(TM) i7-8550U CPU @ 1.80GHz"), ("stepping", "10"),
           ("cpu MHz", "1993.154"), ("cache size", "8192 KB"),
           ("flags", "fpu vme de pse tsc msr pae mce cx8 apic sep mtrr pge mca cmov lm constant_tsc")]
    write(root, "/proc/cpuinfo", cpuinfo([cpu, [("processor", "1")] + cpu[1:4] +
                                           [("model name", "second processor")] + cpu[5:]]))
    write(root, "/sys/devices/system/cpu/cpu0/cpufreq/cpuinfo_max_freq", "4000000\n")
    for index, (level, type_, size) in enumerate([(1, "Data", "32K"), (1, "Instruction", "32K"),
                                                  (2, "Unified", "256K"), (3, "Unified", "8192K")]):
        folder = "/sys/devices/system/cpu/cpu0/cache/index%d" % index
        write(root, folder + "/level", "%d\n" % level)
        write(root, folder + "/type", type_ + "\n")
        write(root, folder + "/size", size + "\n")
    write(root, "/proc/meminfo", "MemTotal:       16131244 kB\nMemFree:         9123456 kB\n"
          "SwapTotal:       8388604 kB\nSwapFree:        8388604 kB\n")

    dmi = {"board_vendor": "LENOVO", "board_name": "20KHCTO1WW", "chassis_type": "10",
           "bios_vendor": "LENOVO", "bios_version": "N23ET59W (1.34 )", "bios_date": "11/28/2018"}
    for name, value in dmi.items():  # board_serial is root-only: the table supplies it
        write(root, "/sys/class/dmi/id/" + name, value + "\n")
    write(root, "/sys/firmware/dmi/tables/DMI", laptop_smbios(), "wb")

    write(root, "/proc/bus/input/devices", """I: Bus=0011 Vendor=0001 Product=0001 Version=ab54
N: Name="AT Translated Set 2 keyboard"
P: Phys=isa0060/serio0/input0
S: Sysfs=/devices/platform/i8042/serio0/input/input3
U: Uniq=
H: Handlers=sysrq kbd leds event3
B: PROP=0
B: EV=120013
B: KEY=402000000 3803078f800d001 feffffdfffefffff fffffffffffffffe
B: MSC=10
B: LED=7

I: Bus=0019 Vendor=0000 Product=0001 Version=0000
N: Name="Power Button"
P: Phys=LNXPWRBN/button/input0
S: Sysfs=/devices/LNXSYSTM:00/LNXPWRBN:00/input/input2
U: Uniq=
H: Handlers=kbd event2
B: PROP=0
B: EV=3
B: KEY=10000000000000 0

I: Bus=0011 Vendor=0002 Product=000a Version=0063
N: Name="TPPS/2 Elan TrackPoint"
P: Phys=isa0060/serio1/input0
S: Sysfs=/devices/platform/i8042/serio1/input/input6
U: Uniq=
H: Handlers=mouse0 event6
B: PROP=21
B: EV=7
B: KEY=70000 0 0 0 0
B: REL=3

I: Bus=0003 Vendor=046d Product=c52b Version=0111
N: Name="Logitech USB Receiver"
P: Phys=usb-0000:00:14.0-1/input0
S: Sysfs=/devices/pci0000:00/0000:00:14.0/usb1/1-1/1-1:1.0/0003:046D:C52B.0001/input/input9
U: Uniq=
H: Handlers=mouse1 event9
B: PROP=0
B: EV=17
B: KEY=ffff0000 0 0 0 0
B: REL=1943
B: MSC=10
""")
    write(root, "/sys/devices/pci0000:00/0000:00:14.0/usb1/1-1/manufacturer", "Logitech\n")

    pci_device(root, "0000:00:00.0", 0x8086, 0x5914, 0x060000)
    gpu = pci_device(root, "0000:00:02.0", 0x8086, 0x5917, 0x030000, {
        "resource": "0x00000000eb000000 0x00000000ebffffff 0x0000000000140204\n"
                    "0x00000000a0000000 0x00000000afffffff 0x000000000014220c\n"
                    "0x000000000000e000 0x000000000000e03f 0x0000000000040101\n"})
    link(root, gpu + "/driver", "../../../bus/pci/drivers/i915")
    panel = edid("LGD", 0x0573, 31, 17, [detailed_timing(148500, 1920, 280, 1080, 45, 309, 174),
                                          range_descriptor(), text_descriptor(0xFE, "LG Display"),
                                          text_descriptor(0xFE, "LP140WF7-SPB1")])
    dell = edid("DEL", 0xA0C4, 52, 32, [detailed_timing(154000, 1920, 160, 1200, 35, 518, 324),
                                         text_descriptor(0xFF, "7MT0156S1ABL"),
                                         text_descriptor(0xFC, "DELL U2415"), range_descriptor()])
    for connector, status, modes, blob in (("eDP-1", "connected", "1920x1080\n", panel),
                                           ("HDMI-A-1", "connected", "1920x1200\n1920x1080\n", dell),
                                           ("DP-1", "disconnected", "", b"")):
        folder = gpu + "/drm/card0/card0-" + connector
        write(root, folder + "/status", status + "\n")
        write(root, folder + "/modes", modes)
        write(root, folder + "/edid", blob, "wb")
        link(root, "/sys/class/drm/card0-" + connector,
             "../../devices/pci0000:00/0000:00:02.0/drm/card0/card0-" + connector)
    link(root, "/sys/class/drm/card0", "../../devices/pci0000:00/0000:00:02.0/drm/card0")
    pci_device(root, "0000:00:14.0", 0x8086, 0x9d2f, 0x0c0330)
    eth = pci_device(root, "0000:00:1f.6", 0x8086, 0x15d7, 0x020000)
    wifi = pci_device(root, "0000:02:00.0", 0x8086, 0x24fd, 0x028000)
    nvme = pci_device(root, "0000:3d:00.0", 0x144d, 0xa808, 0x010802)

    for name, device, address, wireless in (("enp0s31f6", eth, "54:e1:ad:12:34:56", False),
                                            ("wlp2s0", wifi, "a4:34:d9:ab:cd:ef", True)):
        folder = device + "/net/" + name
        write(root, folder + "/address", address + "\n")
        write(root, folder + "/type", "1\n")
        if wireless:
            # A wireless interface links to its radio, as the kernel shows it (and git keeps
            # a link, where it would drop an empty folder).
            write(root, device + "/ieee80211/phy0/name", "phy0\n")
            link(root, folder + "/phy80211", "../../ieee80211/phy0")
        link(root, folder + "/device", "../../../" + device.rsplit("/", 1)[1])
        link(root, "/sys/class/net/" + name, "../../devices/pci0000:00/" + folder.split("pci0000:00/")[1])
    for name, type_ in (("lo", "772"), ("docker0", "1")):
        folder = "/sys/devices/virtual/net/" + name
        write(root, folder + "/address", "02:42:00:00:00:00\n")
        write(root, folder + "/type", type_ + "\n")
        link(root, "/sys/class/net/" + name, "../../devices/virtual/net/" + name)

    # NVMe: the disk's device is the controller, which names the model; the PCI function above
    # it names the maker.
    write(root, nvme + "/nvme/nvme0/model", "SAMSUNG MZVLB512HAJQ-000L7              \n")
    link(root, nvme + "/nvme/nvme0/subsystem", "../../../../../class/nvme")
    link(root, nvme + "/nvme/nvme0/device", "../../../0000:3d:00.0")
    write(root, nvme + "/nvme/nvme0/nvme0n1/size", "1000215216\n")
    write(root, nvme + "/nvme/nvme0/nvme0n1/removable", "0\n")
    link(root, nvme + "/nvme/nvme0/nvme0n1/device", "../../nvme0")
    link(root, "/sys/block/nvme0n1", "../devices/pci0000:00/0000:3d:00.0/nvme/nvme0/nvme0n1")
    usb_disk = "/sys/devices/pci0000:00/0000:00:14.0/usb2/2-1/2-1:1.0/host0/target0:0:0/0:0:0:0"
    write(root, usb_disk + "/vendor", "SanDisk \n")
    write(root, usb_disk + "/model", "Ultra Fit       \n")
    write(root, usb_disk + "/type", "0\n")
    write(root, usb_disk + "/block/sda/size", "60063744\n")
    write(root, usb_disk + "/block/sda/removable", "1\n")
    link(root, usb_disk + "/block/sda/device", "../../../0:0:0:0")
    link(root, "/sys/block/sda", "../devices/pci0000:00/0000:00:14.0/usb2/2-1/2-1:1.0/host0/"
         "target0:0:0/0:0:0:0/block/sda")
    for name in ("loop0", "zram0"):
        write(root, "/sys/devices/virtual/block/%s/size" % name, "2048\n")
        link(root, "/sys/block/" + name, "../devices/virtual/block/" + name)

    # A USB modem: the ACM interface speaks AT commands (protocol 1).
    interface = "/sys/devices/pci0000:00/0000:00:14.0/usb1/1-6/1-6:1.2"
    write(root, interface + "/bInterfaceClass", "02\n")
    write(root, interface + "/bInterfaceSubClass", "02\n")
    write(root, interface + "/bInterfaceProtocol", "01\n")
    write(root, "/sys/devices/pci0000:00/0000:00:14.0/usb1/1-6/product", "Sierra Wireless EM7455\n")
    write(root, interface + "/tty/ttyACM0/dev", "166:0\n")
    link(root, interface + "/tty/ttyACM0/device", "../../../1-6:1.2")
    link(root, "/sys/class/tty/ttyACM0",
         "../../devices/pci0000:00/0000:00:14.0/usb1/1-6/1-6:1.2/tty/ttyACM0")
    write(root, "/sys/devices/virtual/tty/ttyS0/dev", "4:64\n")
    link(root, "/sys/class/tty/ttyS0", "../../devices/virtual/tty/ttyS0")

    write(root, "/run/utmp", utmp(BOOT_TIME, "reboot", "~", 1700000000) +
          utmp(USER_PROCESS, "alice", "tty2", 1700000500) +
          utmp(DEAD_PROCESS, "", "pts/1", 1700000600), "wb")
    write(root, "/var/log/wtmp", utmp(USER_PROCESS, "bob", "tty2", 1690000000) +
          utmp(DEAD_PROCESS, "", "tty2", 1690000900) +
          utmp(USER_PROCESS, "carol", "pts/0", 1699990000) +
          utmp(USER_PROCESS, "alice", "tty2", 1700000500) +
          utmp(USER_PROCESS, "dave", "pts/3", 1700009999), "wb")
    write(root, "/etc/resolv.conf", "# by NetworkManager\nsearch lan\nnameserver 192.168.1.1\n")
    write(root, "/usr/share/misc/pci.ids", PCI_IDS)


# --- the server ----------------------------------------------------------------------------

def server(root):
    write(root, "/etc/os-release", 'NAME="Rocky Linux"\nVERSION="9.3 (Blue Onyx)"\nID="rocky"\n')
    write(root, "/etc/machine-id", "7d0a1b2c3d4e4f5a8b9c0d1e2f3a4b5c\n")
    kernel(root, "db01.corp.example.com", "5.14.0-362.8.1.el9_3.x86_64",
           "#1 SMP PREEMPT_DYNAMIC Wed Nov 8 17:36:32 UTC 2023")
    write(root, "/proc/uptime", "86400.00 100.00\n")
    cpu = [("processor", "0"), ("vendor_id", "AuthenticAMD"), ("cpu family", "23"), ("model", "49"),
           ("model name", "AMD EPYC 7302 16-Core Processor"), ("stepping", "0"),
           ("cpu MHz", "2994.327"), ("flags", "fpu vme de pse tsc msr pae lm")]
    write(root, "/proc/cpuinfo", cpuinfo([cpu]))
    write(root, "/sys/devices/system/cpu/cpu0/cache/index2/level", "2\n")
    write(root, "/sys/devices/system/cpu/cpu0/cache/index2/type", "Unified\n")
    write(root, "/sys/devices/system/cpu/cpu0/cache/index2/size", "512K\n")
    write(root, "/proc/meminfo", "MemTotal:       263842152 kB\nSwapTotal:       4194300 kB\n")
    dmi = {"board_vendor": "Supermicro", "board_name": "H11SSL-i", "chassis_type": "23",
           "bios_vendor": "American Megatrends Inc.", "bios_version": "2.4",
           "bios_date": "04/12/2022"}
    for name, value in dmi.items():
        write(root, "/sys/class/dmi/id/" + name, value + "\n")
    # The udev database keeps what the privileged DMI reader found at boot.
    write(root, "/run/udev/data/+dmi:id", """I:1234
E:MEMORY_ARRAY_LOCATION=System Board Or Motherboard
E:MEMORY_DEVICE_0_PRESENT=1
E:MEMORY_DEVICE_0_SIZE=68719476736
E:MEMORY_DEVICE_0_FORM_FACTOR=DIMM
E:MEMORY_DEVICE_0_LOCATOR=DIMMA1
E:MEMORY_DEVICE_0_BANK_LOCATOR=P0_Node0_Channel0_Dimm0
E:MEMORY_DEVICE_0_TYPE=DDR4
E:MEMORY_DEVICE_0_SPEED_MTS=3200
E:MEMORY_DEVICE_0_MANUFACTURER=Micron Technology
E:MEMORY_DEVICE_0_PART_NUMBER=36ASF8G72PZ-3G2E1
E:MEMORY_DEVICE_0_DATA_WIDTH=64
E:MEMORY_DEVICE_1_PRESENT=0
E:MEMORY_DEVICE_1_LOCATOR=DIMMB1
E:MEMORY_DEVICE_2_SIZE=68719476736
E:MEMORY_DEVICE_2_LOCATOR=DIMMC1
E:MEMORY_DEVICE_2_TYPE=DDR4
E:MEMORY_DEVICE_2_MANUFACTURER=Unknown
""")
    write(root, "/proc/bus/input/devices", "")
    pci_device(root, "0000:00:00.0", 0x1022, 0x1480, 0x060000)
    vga = pci_device(root, "0000:00:03.0", 0x102b, 0x0534, 0x030000)
    write(root, vga + "/drm/card0/card0-VGA-1/status", "disconnected\n")
    nic = pci_device(root, "0000:00:04.0", 0x8086, 0x1521, 0x020000)
    write(root, nic + "/net/eno1/address", "3c:ec:ef:00:11:22\n")
    write(root, nic + "/net/eno1/type", "1\n")
    link(root, nic + "/net/eno1/device", "../../../0000:00:04.0")
    link(root, "/sys/class/net/eno1", "../../devices/pci0000:00/0000:00:04.0/net/eno1")
    sata = pci_device(root, "0000:00:05.0", 0x1022, 0x7901, 0x010601)
    for index, (name, model, sectors) in enumerate((("sda", "Samsung SSD 860", "937703088"),
                                                    ("sdb", "ST4000NM0035-1V4", "7814037168"))):
        disk = sata + "/ata%d/host%d/target%d:0:0/%d:0:0:0" % (index + 1, index, index, index)
        write(root, disk + "/vendor", "ATA     \n")
        write(root, disk + "/model", model + "\n")
        write(root, disk + "/type", "0\n")
        write(root, disk + "/block/%s/size" % name, sectors + "\n")
        write(root, disk + "/block/%s/removable" % name, "0\n")
        link(root, disk + "/block/%s/device" % name, "../../../%d:0:0:0" % index)
        link(root, "/sys/block/" + name, "../devices/pci0000:00/0000:00:05.0/ata%d/host%d/"
             "target%d:0:0/%d:0:0:0/block/%s" % (index + 1, index, index, index, name))
    cdrom = sata + "/ata3/host2/target2:0:0/2:0:0:0"
    write(root, cdrom + "/vendor", "HL-DT-ST\n")
    write(root, cdrom + "/model", "DVDRAM GUD0N    \n")
    write(root, cdrom + "/type", "5\n")
    write(root, cdrom + "/block/sr0/size", "0\n")
    write(root, cdrom + "/block/sr0/removable", "1\n")
    link(root, cdrom + "/block/sr0/device", "../../../2:0:0:0")
    link(root, "/sys/block/sr0", "../devices/pci0000:00/0000:00:05.0/ata3/host2/target2:0:0/"
         "2:0:0:0/block/sr0")
    write(root, "/etc/resolv.conf", "search corp.example.com example.com\nnameserver 10.0.0.2\n")
    write(root, "/usr/share/misc/pci.ids", PCI_IDS)


# --- the container -------------------------------------------------------------------------

def container(root):
    write(root, "/etc/os-release", 'PRETTY_NAME="Alpine Linux v3.19"\nNAME="Alpine Linux"\n')
    kernel(root, "4f2a9c1d7e3b", "6.5.0-1014-azure", "#14~22.04.1-Ubuntu SMP Thu Jan 18 2024")
    write(root, "/proc/uptime", "59.99 100.00\n")
    write(root, "/proc/cpuinfo", cpuinfo([[("processor", "0"), ("vendor_id", "GenuineIntel"),
                                           ("model name", "Intel(R) Xeon(R) Platinum 8272CL CPU @ 2.60GHz"),
                                           ("cpu MHz", "2593.906")]]))
    write(root, "/proc/meminfo", "MemTotal:        8152236 kB\nSwapTotal:             0 kB\n")
    folder = "/sys/devices/virtual/net/eth0"
    write(root, folder + "/address", "02:42:ac:11:00:02\n")
    write(root, folder + "/type", "1\n")
    link(root, "/sys/class/net/eth0", "../../devices/virtual/net/eth0")


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    for name, build in (("laptop", laptop), ("server", server), ("container", container)):
        root = os.path.join(here, name)
        shutil.rmtree(root, ignore_errors=True)
        os.makedirs(root)
        build(root)


if __name__ == "__main__":
    main()

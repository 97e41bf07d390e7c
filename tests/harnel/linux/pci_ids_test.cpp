// Lookups in the pci.ids database: the binary search over a sorted database, in memory and
// read from a file a window at a time, against a plain pass over every line, by the same
// rules for every line.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "harnel/linux/machine_files.h"
#include "harnel/linux/pci.h"
#include "harnel/linux/pci_ids.h"
#include "harnel/linux/pci_ids_names.h"
#include "tests/support/case_file.h"
#include "tests/support/scratch_dir.h"

namespace harnel::linux {
namespace {

std::string Hex(unsigned value, int digits) {
  char text[8];
  std::snprintf(text, sizeof text, "%0*x", digits, value);
  return text;
}

std::uint32_t ModelKey(const PciDevice& device) {
  return static_cast<std::uint32_t>(device.vendor) << 16 | device.device;
}

std::optional<std::string> Lookup(const std::map<std::uint32_t, std::string>& names,
                                  std::uint32_t key) {
  const auto found = names.find(key);
  return found == names.end() ? std::nullopt : std::optional<std::string>(found->second);
}

constexpr unsigned kFirstVendor = 0x0010, kVendorStep = 0x0137;
constexpr unsigned kBigVendor = kFirstVendor + 105 * kVendorStep;  // 7f9f, 3000 models

// A database in the real one's shape and order: a header, vendors with models and
// subsystems (one vendor with a block far larger than a read window), comments between
// models, then classes with subclasses and programming interfaces. With `devices`, only the
// lines a selection for them holds, in the same order: the vendors, models, classes and
// subclasses they name.
std::string Database(const std::vector<PciDevice>* devices = nullptr) {
  const auto any = [&](auto match) {
    return !devices || std::any_of(devices->begin(), devices->end(), match);
  };
  std::string text = devices ? "" : "#\n#\tList of PCI ID's (generated)\n#\n\n";
  for (unsigned vendor = kFirstVendor; vendor < 0xff00; vendor += kVendorStep) {
    const bool named = any([&](const PciDevice& d) { return d.vendor == vendor; });
    if (named) text += Hex(vendor, 4) + "  Vendor " + Hex(vendor, 4) + "\n";
    const unsigned models = vendor == kBigVendor ? 3000 : vendor % 7;
    for (unsigned model = 0; model < models; ++model) {
      const unsigned id = model * 0x15 + 3;
      if (!devices && model % 97 == 5) text += "# a retired model\n";
      if (named && any([&](const PciDevice& d) { return d.vendor == vendor && d.device == id; })) {
        text += "\t" + Hex(id, 4) + "  Model " + Hex(vendor, 4) + ":" + Hex(id, 4) + "\n";
      }
      if (!devices && model % 3 == 0) text += "\t\t" + Hex(vendor, 4) + " 0001  Board\n";
    }
  }
  if (!devices) text += "\n# List of known device classes\n\n";
  for (unsigned base = 0; base < 0x14; ++base) {
    const bool named = any([&](const PciDevice& d) { return d.BaseClass() == base; });
    if (named) text += "C " + Hex(base, 2) + "  Class " + Hex(base, 2) + "\n";
    for (unsigned sub = 0; sub < base % 5; ++sub) {
      if (named &&
          any([&](const PciDevice& d) { return d.ClassAndSubclass() == (base << 8 | sub * 2); })) {
        text += "\t" + Hex(sub * 2, 2) + "  Subclass " + Hex(base, 2) + Hex(sub * 2, 2) + "\n";
      }
      if (!devices) text += "\t\t01  Interface\n";
    }
  }
  if (any([](const PciDevice& d) { return d.BaseClass() == 0xff; }))
    text += "C ff  Unassigned class\n";
  return text;
}

TEST(PciIdsTest, BinarySearchFindsWhatEveryLineHolds) {
  const std::string ids = Database();
  ASSERT_GT(ids.size(), 100'000u);  // many read windows, one block of ten
  const velmora_test::ScratchDir root;
  root.Write("pci.ids", ids);
  const MachineFile file(root.Path(), "/pci.ids");
  ASSERT_EQ(file.Size(), ids.size());

  // Vendors at the start, the end and around the big block, models present and absent (the
  // first, the last, between two), known and unknown classes and subclasses.
  std::mt19937 random(8086);
  std::vector<std::vector<PciDevice>> sets;
  for (unsigned vendor : {kFirstVendor, kFirstVendor + kVendorStep, kBigVendor - kVendorStep,
                          kBigVendor, kBigVendor + kVendorStep, 0xfdf7u, 0xfeffu, 0x1234u}) {
    for (unsigned model : {0x0003u, 0x0018u, 0x0019u, 0x3d5fu, 0xf606u, 0xffffu}) {
      PciDevice device;
      device.vendor = static_cast<std::uint16_t>(vendor);
      device.device = static_cast<std::uint16_t>(model);
      device.classCode = static_cast<std::uint32_t>(random() % 0x15) << 16 | (random() % 8) << 8;
      sets.push_back({device});
    }
  }
  for (int i = 0; i < 200; ++i) {
    std::vector<PciDevice> devices(1 + random() % 6);
    for (PciDevice& device : devices) {
      device.vendor = static_cast<std::uint16_t>(kFirstVendor + kVendorStep * (random() % 210));
      if (random() % 4 == 0) device.vendor = static_cast<std::uint16_t>(random());
      device.device = static_cast<std::uint16_t>((random() % 3100) * 0x15 + 3 + random() % 2);
      device.classCode = static_cast<std::uint32_t>(random() % 0x16) << 16 | (random() % 9) << 8;
      if (random() % 10 == 0) device.classCode = 0xff0000;
    }
    sets.push_back(devices);
  }

  for (std::size_t i = 0; i < sets.size(); ++i) {
    SCOPED_TRACE("device set " + std::to_string(i));
    const std::string expected = Database(&sets[i]);
    EXPECT_EQ(SelectPciIds(ids, sets[i]), expected);
    PciIdsText fromFile(file);
    EXPECT_EQ(SelectPciIds(fromFile, sets[i]), expected);
  }
}

TEST(PciIdsTest, OnlyATopLevelLineEndsABlock) {
  // Each row of data/pci_ids_block_lines.txt put into the big vendor's block, before a model:
  // whether it leaves the model there, for the selection as for the names of the whole text.
  const std::string model = Hex(2000 * 0x15 + 3, 4), line = "\t" + model + "  Model ";
  PciDevice device;
  device.vendor = static_cast<std::uint16_t>(kBigVendor);
  device.device = static_cast<std::uint16_t>(2000 * 0x15 + 3);
  device.classCode = 0x030000;
  const velmora_test::ScratchDir root;
  int file = 0;
  for (const CaseRow& row : ReadCaseFile(MACHINE_FIXTURES "/pci_ids_block_lines.txt", 3)) {
    SCOPED_TRACE(row.where);
    std::string ids = Database(), inserted;
    for (auto n = row.Value(1); n-- > 0;) inserted += row.Bytes(0);
    const std::size_t at = ids.find(line);
    ASSERT_NE(at, std::string::npos);
    ids.insert(at, inserted + "\n");
    const std::optional<std::string> expected =
        row.Value(2) != 0 ? std::optional<std::string>("Model " + Hex(kBigVendor, 4) + ":" + model)
                          : std::nullopt;
    EXPECT_EQ(PciNames(ids, {device}).Device(device.vendor, device.device), expected);
    EXPECT_EQ(Lookup(ReadPciIdsNames(ids).models, ModelKey(device)), expected);

    // A file of its own for each row: rows of one length must not share what was found.
    const std::string name = "pci.ids." + std::to_string(file++);
    root.Write(name, ids);
    const MachineFile opened(root.Path(), "/" + name);
    PciIdsText text(opened);
    EXPECT_EQ(Lookup(ReadPciIdsNames(SelectPciIds(text, {device})).models, ModelKey(device)),
              expected);
  }
}

TEST(PciIdsTest, LaterSelectionsReuseWhatTheSearchesFoundUntilTheFileChanges) {
  // What the searches of a file found is kept for later selections in it; a rewritten file
  // (another size, another modification time) still gives its own lines.
  const velmora_test::ScratchDir root;
  std::vector<PciDevice> devices(1);
  devices[0].vendor = static_cast<std::uint16_t>(kBigVendor + kVendorStep);
  devices[0].classCode = 0x030000;
  std::string ids = Database(), expected = Database(&devices);
  for (int version = 0; version < 3; ++version) {
    SCOPED_TRACE("version " + std::to_string(version));
    root.Write("pci.ids", ids);
    std::size_t reads[2] = {};
    for (std::size_t& count : reads) {
      const MachineFile file(root.Path(), "/pci.ids");
      PciIdsText text(file);
      EXPECT_EQ(SelectPciIds(text, devices), expected);
      count = text.Reads();
    }
    EXPECT_GE(reads[0], 5u);  // a binary search over many windows
    EXPECT_LE(reads[1], 2u);  // the block's own lines only
    // Every line moves: a vendor block in front, and the names grow.
    ids = "0001  Vendor 0001\n\t0001  Model 0001:0001\n" + ids;
    for (std::string* text : {&ids, &expected}) {
      for (std::size_t at = text->find("Vendor"); at != std::string::npos;
           at = text->find("Vendor", at)) {
        text->replace(at, 6, "Manufacturer");
      }
    }
  }
}

TEST(PciIdsTest, NamesFoundAreKeptWhileTheDatabaseIsTheSame) {
  // A database rewritten with the same size and modification time counts as the same file:
  // devices named before keep their names without a new look at it, new devices are named
  // from it, and a new modification time makes every name come from the file again.
  const velmora_test::ScratchDir root;
  const std::filesystem::path file = root / "usr/share/misc/pci.ids";
  const auto write = [&](const std::string& model) {
    root.Write("usr/share/misc/pci.ids",
               "8086  Intel Corporation\n\t1234  Widget\n\t5917  " + model +
                   "\nC 03  Display controller\n\t00  VGA compatible controller\n");
  };
  PciDevice gpu, widget;
  gpu.vendor = 0x8086, gpu.device = 0x5917, gpu.classCode = 0x030000;
  widget.vendor = 0x8086, widget.device = 0x1234, widget.classCode = 0x030000;

  write("UHD Graphics 620");
  EXPECT_EQ(PciNames::ForRoot(root.Path(), {gpu}).Device(0x8086, 0x5917), "UHD Graphics 620");
  EXPECT_EQ(PciNames::ForRoot(root.Path(), {gpu}).Vendor(0x8086), "Intel Corporation");

  struct stat before {};
  ASSERT_EQ(::stat(file.c_str(), &before), 0);
  write("UHD Graphics 630");
  const timespec times[2] = {before.st_atim, before.st_mtim};
  ASSERT_EQ(::utimensat(AT_FDCWD, file.c_str(), times, 0), 0);
  const PciNames both = PciNames::ForRoot(root.Path(), {gpu, widget});
  EXPECT_EQ(both.Device(0x8086, 0x5917), "UHD Graphics 620");
  EXPECT_EQ(both.Device(0x8086, 0x1234), "Widget");
  EXPECT_EQ(both.Class(gpu.classCode), "VGA compatible controller");
  // Only the devices asked for are named, whatever was named before.
  EXPECT_EQ(PciNames::ForRoot(root.Path(), {widget}).Device(0x8086, 0x5917), std::nullopt);

  const timespec later[2] = {before.st_atim, {before.st_mtim.tv_sec + 10, 0}};
  ASSERT_EQ(::utimensat(AT_FDCWD, file.c_str(), later, 0), 0);
  EXPECT_EQ(PciNames::ForRoot(root.Path(), {gpu}).Device(0x8086, 0x5917), "UHD Graphics 630");
}

}  // namespace
}  // namespace harnel::linux

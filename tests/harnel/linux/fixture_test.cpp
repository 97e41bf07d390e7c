// Whole records read from fixture trees: a laptop with DMI, an SMBIOS table and displays, a
// server whose SMBIOS table is closed to the reader, and a bare container.

#include <dlfcn.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include "harnel/explain.h"
#include "harnel/linux/networkadapter.h"
#include "harnel/linux/printer.h"
#include "harnel/machine_facts.h"
#include "harnel/probe.h"
#include "harnel/schema.h"
#include "tests/support/case_file.h"
#include "tests/support/scratch_dir.h"

namespace harnel {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;
using namespace std::string_view_literals;

const fs::path kFixtures = MACHINE_FIXTURES;

// A data file of expected values, with // comments saying why.
json ReadData(const fs::path& name) {
  std::ifstream file(kFixtures / name);
  return json::parse(file, nullptr, true, true);
}

// Each fixture's records, and why its records and fields are empty, one data file each; both
// name every record, null where it is absent. A missing root gives no record.
TEST(FixtureTest, EachMachineGivesItsRecordsAndWhyTheyAreEmpty) {
  CaseKeys everyRecord;
  for (const RecordSchema& schema : RecordSchemas()) everyRecord.required.emplace_back(schema.key);
  for (const std::string machine : {"laptop", "server", "container", "image"}) {
    const json records = ReadData("records-" + machine + ".json");
    ASSERT_EQ(WrongKeys(records, everyRecord), "") << machine;
    for (const auto& [key, record] : records.items()) {
      SCOPED_TRACE(machine + " " + key);
      EXPECT_EQ(ProbeMachine(key, kFixtures / machine), record);
      EXPECT_TRUE(ProbeMachine(key, kFixtures / "no-such-machine").is_null());
    }
    const json reasonsOfEach = ReadData("reasons-" + machine + ".json");
    ASSERT_EQ(WrongKeys(reasonsOfEach, everyRecord), "") << machine;
    for (const auto& [key, reasons] : reasonsOfEach.items()) {
      SCOPED_TRACE(machine + " reasons " + key);
      EXPECT_EQ(ExplainMachine(key, kFixtures / machine), reasons);
    }
  }
  // Keys of no record give nothing.
  EXPECT_TRUE(ExplainMachine("Os", kFixtures / "laptop").is_null());
  EXPECT_TRUE(ProbeMachine("Os", kFixtures / "laptop").is_null());
  EXPECT_TRUE(ProbeMachine("", kFixtures / "laptop").is_null());
}

// Each fixture's Machine key, and why it lacks what it lacks, from machine-facts.json.
TEST(FixtureTest, EachMachineGivesItsFactsAndWhyTheyAreAbsent) {
  const json expected = ReadData("machine-facts.json");
  EXPECT_EQ(expected.size(), 4u);
  for (const auto& [machine, facts] : expected.items()) {
    SCOPED_TRACE(machine);
    ASSERT_EQ(WrongKeys(facts, {{"Machine", "Reasons"}, {}}), "");
    const MachineFacts read = ReadMachineFacts(kFixtures / machine);
    EXPECT_EQ(json(read.key), facts["Machine"]);
    EXPECT_EQ(json(read.reasons), facts["Reasons"]);
  }
}

// Puts a FIFO where the file `path` was: opening it for reading would block a careless reader.
void ReplaceWithFifo(const velmora_test::ScratchDir& tree, const std::string& path) {
  fs::remove(tree / path);
  ASSERT_EQ(::mkfifo((tree / path).c_str(), 0600), 0);
}

TEST(FixtureTest, EachFieldIsReadOnItsOwn) {
  const velmora_test::ScratchDir tree(kFixtures / "laptop");
  for (const char* path : {"sys/class/dmi/id/board_name", "sys/class/dmi/id/bios_date",
                           "proc/sys/kernel/hostname", "proc/meminfo"}) {
    ReplaceWithFifo(tree, path);
  }
  fs::remove(tree / "sys/firmware/dmi/tables/DMI");

  const json bios = ProbeMachine("BIOS", tree.Path());
  EXPECT_FALSE(bios.contains("boardName"));
  EXPECT_FALSE(bios.contains("biosReleaseDate"));
  EXPECT_FALSE(bios.contains("boardSerialNumber"));  // the table is gone too
  EXPECT_EQ(bios.value("boardManufacturer", ""), "LENOVO");
  EXPECT_EQ(bios.value("machineType", ""), "Notebook");

  const json os = ProbeMachine("OS", tree.Path());
  EXPECT_EQ(os.value("computerName", ""), "x1carbon");  // /etc/hostname stands in
  EXPECT_EQ(os.value("osVersion", ""), "6.1.0-18-amd64");

  EXPECT_TRUE(ProbeMachine("Memory", tree.Path()).is_null());
  const json processor = ProbeMachine("Processor", tree.Path());
  EXPECT_FALSE(processor.contains("slotName"));
  EXPECT_EQ(processor.value("maxClockSpeed", 0), 4000);
}

TEST(FixtureTest, NetworkAddressesComeThroughTheirSeam) {
  linux::AddressTable addresses;
  addresses["wlp2s0"] = {{"192.168.1.23", "fe80::1"}, {"255.255.255.0", "64"}};
  const json list = linux::BuildNetworkadapterList(kFixtures / "laptop", addresses);
  ASSERT_EQ(list.size(), 2u);
  EXPECT_FALSE(list[0].contains("ipAddress"));
  EXPECT_EQ(list[1]["ipAddress"], "192.168.1.23, fe80::1");
  EXPECT_EQ(list[1]["subnetMask"], "255.255.255.0, 64");
}

bool CupsLoaded() {
  void* handle = ::dlopen("libcups.so.2", RTLD_NOW | RTLD_NOLOAD);
  if (handle) ::dlclose(handle);
  return handle != nullptr;
}

TEST(PrinterTest, NoSchedulerMeansNoWaitAndNoLibrary) {
  EXPECT_FALSE(linux::FindSchedulerSocket(kFixtures / "laptop"));
  EXPECT_TRUE(ProbeMachine("PrinterList", kFixtures / "laptop").is_null());
  EXPECT_FALSE(CupsLoaded());
}

// A scheduler's answer over HTTP: IPP 2.0, successful, one printer named "late".
constexpr std::string_view kLateAnswer =
    "HTTP/1.1 200 OK\r\nContent-Type: application/ipp\r\nContent-Length: 94\r\n\r\n"
    "\x02\x00\x00\x00\x00\x00\x00\x01\x01\x47\x00\x12"
    "attributes-charset\x00\x05utf-8\x48\x00\x1b"
    "attributes-natural-language\x00\x02"
    "en\x04\x42\x00\x0c"
    "printer-name\x00\x04late\x03"sv;

// A scheduler that takes one connection and reads the request, then answers only if the reader
// still waits after `patienceMs` (a reader that gives up sooner closes the connection first):
// whether it was asked, and whether it answered.
std::pair<bool, bool> AnswerLate(int listening, int patienceMs) {
  pollfd waiting{listening, POLLIN, 0};
  if (::poll(&waiting, 1, patienceMs) != 1) return {false, false};
  waiting.fd = ::accept(listening, nullptr, nullptr);
  char buffer[4096];
  ssize_t read = 1;
  while (read > 0 && ::poll(&waiting, 1, patienceMs) == 1) {
    read = ::recv(waiting.fd, buffer, sizeof buffer, 0);
  }
  const bool answered =
      read > 0 && ::send(waiting.fd, kLateAnswer.data(), kLateAnswer.size(), MSG_NOSIGNAL) > 0;
  while (answered && ::poll(&waiting, 1, patienceMs) == 1 &&
         ::recv(waiting.fd, buffer, sizeof buffer, 0) > 0) {
  }
  ::close(waiting.fd);
  return {true, answered};
}

TEST(PrinterTest, ASchedulerSocketThatNeverAnswersGivesNull) {
  const velmora_test::ScratchDir tree(kFixtures / "container");
  fs::create_directories(tree.Path() / "run/cups");
  const std::string path = (tree.Path() / "run/cups/cups.sock").string();
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  ASSERT_LT(path.size(), sizeof address.sun_path);
  path.copy(address.sun_path, path.size());
  // Bound but not listening: a scheduler that died and left its socket behind.
  const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);

  EXPECT_EQ(linux::FindSchedulerSocket(tree.Path()), fs::path(path));
  EXPECT_TRUE(ProbeMachine("PrinterList", tree.Path()).is_null());
  EXPECT_EQ(ExplainMachine("PrinterList", tree.Path()),
            "the CUPS scheduler lists no printer, or libcups is not installed");
  // One that takes the connection and answers ten times later than the reader waits.
  ASSERT_EQ(::listen(fd, 1), 0);
  std::pair<bool, bool> askedAndAnswered;
  std::thread scheduler([&] { askedAndAnswered = AnswerLate(fd, 10000); });
  EXPECT_TRUE(ProbeMachine("PrinterList", tree.Path()).is_null());
  scheduler.join();
  EXPECT_EQ(askedAndAnswered, std::pair(CupsLoaded(), false));
  ::close(fd);
}

}  // namespace
}  // namespace harnel

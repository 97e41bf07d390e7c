// Prints what the Windows readers gather on the machine it runs on, as a test case of
// parse_test.cpp without its records: {"raw": {"OS": ..., ...}}. Run it on Windows (or under
// Wine) to capture a machine for the tests.

#include <iostream>

#include "harnel/schema.h"
#include "harnel/windows/read.h"

int main() {
  nlohmann::ordered_json raw = nlohmann::ordered_json::object();
  for (const harnel::RecordSchema& schema : harnel::RecordSchemas()) {
    // nlohmann converts to ordered_json from a plain json only.
    raw[std::string(schema.key)] = nlohmann::json(harnel::windows::ReadWindowsRecord(schema.key));
  }
  std::cout << nlohmann::ordered_json{{"raw", raw}}.dump(1) << "\n";
}

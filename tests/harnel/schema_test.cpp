#include "harnel/schema.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <utility>

#include "harnel/machine_key.h"
#include "tests/support/case_file.h"

namespace {

struct KindRow {
  std::string_view kind;
};

// The checks that keep the readers' tables and the Machine key in step with the schema are
// compile-time ones; these show they say no where they must.
constexpr KindRow kInOrder[] = {
    {"OS"},
    {"BIOS"},
    {"Processor"},
    {"Memory"},
    {"Userinfo"},
    {"InputdeviceList"},
    {"ModemList"},
    {"MonitorList"},
    {"NetworkadapterList"},
    {"PrinterList"},
    {"StorageList"},
    {"SystemcontrollerList"},
    {"SystemslotList"},
    {"VideoadapterList"},
    {"PhyMemoryList"},
};
static_assert(harnel::FirstRowOutOfPlace(kInOrder) == harnel::kRecordKinds);

// The first N rows of kInOrder, the row at `swapAt` traded with the next one.
template <std::size_t N>
struct Rows {
  KindRow rows[N];
};
template <std::size_t N>
constexpr Rows<N> FirstRowsOfInOrder(std::size_t swapAt = N) {
  Rows<N> out{};
  for (std::size_t i = 0; i < N; ++i) out.rows[i] = kInOrder[i];
  if (swapAt + 1 < N) std::swap(out.rows[swapAt], out.rows[swapAt + 1]);
  return out;
}
static_assert(harnel::FirstRowOutOfPlace(FirstRowsOfInOrder<harnel::kRecordKinds>(6).rows) == 6);
static_assert(harnel::FirstRowOutOfPlace(FirstRowsOfInOrder<harnel::kRecordKinds - 1>().rows) ==
              harnel::kRecordKinds - 1);

// A pair or fill row reads exactly one field.
static_assert(harnel::ReadsSchemaField<StorageNode>(&StorageNode::model, nullptr));
static_assert(harnel::ReadsSchemaField<StorageNode>(nullptr, &StorageNode::sizeMB));
static_assert(!harnel::ReadsSchemaField<StorageNode>(nullptr, nullptr));
static_assert(!harnel::ReadsSchemaField<StorageNode>(&StorageNode::model, &StorageNode::sizeMB));

TEST(SchemaTest, KindsFollowTheProviderOrderAndTheirKeys) {
  ASSERT_EQ(harnel::RecordSchemas().size(), harnel::kRecordKinds);
  for (std::size_t i = 0; i < harnel::kRecordKinds; ++i) {
    const harnel::RecordSchema& schema = harnel::RecordSchemas()[i];
    SCOPED_TRACE(std::string(schema.key));
    EXPECT_EQ(schema.key, kInOrder[i].kind);
    EXPECT_EQ(harnel::RecordIndex(schema), i);
    EXPECT_FALSE(schema.title.empty());
    EXPECT_EQ(schema.isList, schema.key.ends_with("List"));
    EXPECT_NE(schema.get, nullptr);
    EXPECT_NE(schema.release, nullptr);
  }
  EXPECT_EQ(harnel::FindRecordSchema("Storage"), nullptr);
  EXPECT_EQ(harnel::FindRecordSchema("StorageList")->size, sizeof(StorageNode));
  EXPECT_EQ(harnel::FindRecordSchema("Processor")->fields.size(), 7u);
  // The spare field is not part of a profile.
  EXPECT_EQ(harnel::FindRecordSchema("MonitorList")->fields.size(), 2u);
}

TEST(SchemaTest, MachineKeyHoldsItsFieldsForTheirRecordsOnly) {
  for (const CaseRow& row :
       ReadCaseFile(VELMORA_SOURCE_DIR "/tests/harnel/data/profile_fields.txt", 3)) {
    SCOPED_TRACE(row.where);
    EXPECT_EQ(harnel::IsProfileField(row.Bytes(0), row.Bytes(1)), row.Value(2) != 0);
  }
}

}  // namespace

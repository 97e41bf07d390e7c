#include "harnel/record_json.h"

#include <gtest/gtest.h>

#include "harnel/schema.h"
#include "provider/records.h"

namespace {

using nlohmann::json;

const harnel::RecordSchema& Schema(std::string_view key) {
  const harnel::RecordSchema* schema = harnel::FindRecordSchema(key);
  EXPECT_NE(schema, nullptr) << key;
  return *schema;
}

TEST(RecordJsonTest, BuildsRecordsLaidOutAsTheStructsSay) {
  const json processor = {{"name", "CPU 中"},
                          {"maxClockSpeed", 2400},
                          {"l2CacheKB", 512},
                          {"slotName", "U3E1"},
                          {"unknown", true}};
  harnel::HeldRecord held = harnel::BuildRecord(Schema("Processor"), processor);
  const auto* record = static_cast<const ProcessorInfo*>(held.first());
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(WString(record->name), WTEXT("CPU 中"));
  EXPECT_EQ(record->maxClockSpeed, 2400);
  EXPECT_EQ(record->manufacturer, nullptr);
  EXPECT_EQ(WString(record->slotName), WTEXT("U3E1"));
  EXPECT_EQ(record->l2CacheKB, 512);

  const json storage = json::array({{{"name", "sda"}, {"sizeMB", 1}},
                                    {{"name", nullptr}, {"description", "\xF0\xA0\x80\x80"}},
                                    {{"sizeMB", -3}}});
  held = harnel::BuildRecord(Schema("StorageList"), storage);
  const auto* node = static_cast<const StorageNode*>(held.first());
  ASSERT_NE(node, nullptr);
  EXPECT_EQ(WString(node->name), WTEXT("sda"));
  EXPECT_EQ(node->sizeMB, 1);
  node = node->next;
  ASSERT_NE(node, nullptr);
  EXPECT_EQ(node->name, nullptr);
  EXPECT_EQ(WString(node->description), (WString{0xD840, 0xDC00}));
  node = node->next;
  ASSERT_NE(node, nullptr);
  EXPECT_EQ(node->sizeMB, -3);
  EXPECT_EQ(node->next, nullptr);

  EXPECT_EQ(harnel::BuildRecord(Schema("StorageList"), json::array()).first(), nullptr);
  EXPECT_EQ(harnel::BuildRecord(Schema("OS"), nullptr).first(), nullptr);
}

TEST(RecordJsonTest, WritingBackGivesEveryFieldInTableOrder) {
  for (const harnel::RecordSchema& schema : harnel::RecordSchemas()) {
    SCOPED_TRACE(std::string(schema.key));
    json node = json::object();
    int number = 1;
    for (const harnel::FieldSchema& field : schema.fields) {
      if (field.kind == harnel::FieldKind::FieldInt32) {
        node[std::string(field.name)] = -number++;
      } else {
        node[std::string(field.name)] = std::string(field.name) + " 值";
      }
    }
    const json value = schema.isList ? json::array({node, node}) : node;
    ASSERT_EQ(harnel::CheckRecordJson(schema, value), "");
    const harnel::HeldRecord held = harnel::BuildRecord(schema, value);
    const nlohmann::ordered_json back = harnel::RecordToJson(schema, held.first());
    EXPECT_EQ(json::parse(back.dump()), value);
    const nlohmann::ordered_json& first = schema.isList ? back[0] : back;
    ASSERT_EQ(first.size(), schema.fields.size());
    std::size_t i = 0;
    for (const auto& item : first.items()) EXPECT_EQ(item.key(), schema.fields[i++].name);
  }
  // Absent text is written as null and absent integers as 0, so nothing is lost twice over.
  const harnel::HeldRecord held = harnel::BuildRecord(Schema("Memory"), json::object());
  EXPECT_EQ(harnel::RecordToJson(Schema("Memory"), held.first()).dump(),
            R"({"totalPhysicalMB":0,"totalPageFileMB":0})");
  EXPECT_TRUE(harnel::RecordToJson(Schema("OS"), nullptr).is_null());
}

}  // namespace

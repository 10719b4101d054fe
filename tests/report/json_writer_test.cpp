#include "report/json_writer.h"

#include <gtest/gtest.h>

namespace propclear {
namespace {

using Layout = JsonWriter::Layout;

TEST(JsonWriter, IndentsBlocksAndKeepsInlineRecordsOnOneLine) {
  JsonWriter json;
  json.openObject();
  json.key("name");
  json.value("a'");
  json.key("blade");
  json.openObject(Layout::Inline);
  json.key("x");
  json.value(1.5, "x");
  json.key("z");
  json.value(-2);
  json.close();
  json.key("list");
  json.openArray();
  json.value(1);
  json.openArray(Layout::Inline);
  json.value(2);
  json.value(3);
  json.close();
  json.close();
  json.key("empty");
  json.openArray();
  json.close();
  json.key("none");
  json.openObject(Layout::Inline);
  json.close();
  json.close();
  EXPECT_EQ(json.text(),
            "{\n"
            "  \"name\": \"a'\",\n"
            "  \"blade\": {\"x\": 1.5, \"z\": -2},\n"
            "  \"list\": [\n"
            "    1,\n"
            "    [2, 3]\n"
            "  ],\n"
            "  \"empty\": [],\n"
            "  \"none\": {}\n"
            "}\n");
}

TEST(JsonWriter, TopLevelArrayOfStrings) {
  JsonWriter json;
  json.openArray();
  json.value("tab\there");
  json.value(std::string_view("x"));
  json.close();
  EXPECT_EQ(json.text(), "[\n  \"tab\\there\",\n  \"x\"\n]\n");
}

}  // namespace
}  // namespace propclear

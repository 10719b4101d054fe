// One setting of a ship file changed in its text: the value replaced in
// place with the line's comment kept, a new key added before the first
// table, and everything else left as it was.

#include "rules/ship_file_text.h"

#include <gtest/gtest.h>

#include "common/run_error.h"

namespace propclear {
namespace {

const std::string shipFile =
    "# MV Test\n"
    "name = \"MV #1\"   # shown in the report\n"
    "rule_length = 118.0           # L, m\n"
    "\"power\"=6500\n"
    "rule_sets = [\"lr-recommended\", \"custom\"]  # checked\n"
    "\n"
    "[custom_minima]\n"
    "a = \"0.25D\"\n";

std::string set(const std::string& text, const char* key, const char* value) {
  return setShipFileValue(text, "Test.ship.toml", key, value);
}

TEST(ShipFileText, ReplacesOnlyTheValueKeepingBlanksAndComment) {
  EXPECT_EQ(set(shipFile, "rule_length", "120.5"),
            "# MV Test\n"
            "name = \"MV #1\"   # shown in the report\n"
            "rule_length = 120.5           # L, m\n"
            "\"power\"=6500\n"
            "rule_sets = [\"lr-recommended\", \"custom\"]  # checked\n"
            "\n"
            "[custom_minima]\n"
            "a = \"0.25D\"\n");
  const std::string renamed = set(shipFile, "name", "\"MV \\\"Two\\\"\"");
  EXPECT_NE(renamed.find("name = \"MV \\\"Two\\\"\"   # shown in the report\n"), std::string::npos);
  EXPECT_NE(set(shipFile, "power", "7000").find("\"power\"=7000\n"), std::string::npos);
  EXPECT_NE(set(shipFile, "rule_sets", "[\"tip-guidance\"]").find("rule_sets = [\"tip-guidance\"]  # checked\n"),
            std::string::npos);
  // The table's own "a" is not the top level's.
  EXPECT_EQ(set(shipFile, "a", "1").find("a = \"0.25D\""), shipFile.find("a = \"0.25D\"") + 6);
}

TEST(ShipFileText, AddsANewKeyAfterTheLastTopLevelSettingWithTheFilesLineEnds) {
  const std::string added = set(shipFile, "blades", "4");
  EXPECT_NE(added.find("# checked\nblades = 4\n\n[custom_minima]"), std::string::npos) << added;
  EXPECT_EQ(set("power = 1\r\nname = \"x\"", "skew", "\"high\""),
            "power = 1\r\nname = \"x\"\r\nskew = \"high\"");
  EXPECT_EQ(set("", "power", "1"), "power = 1\n");
  EXPECT_EQ(set("# only a comment\n", "power", "1"), "power = 1\n# only a comment\n");
}

TEST(ShipFileText, RefusesAValueOverSeveralLines) {
  const std::string text = "rule_sets = [\n  \"custom\",\n]\n";
  try {
    set(text, "rule_sets", "[]");
    FAIL() << "a value over several lines was replaced";
  } catch (const RunError& error) {
    EXPECT_EQ(std::string(error.what()),
              "Test.ship.toml:1: cannot change rule_sets: its value runs over several lines");
  }
}

TEST(ShipFileText, QuotesTextAsTomlDoes) {
  EXPECT_EQ(quotedTomlString("MV \"A\" \\ B"), "\"MV \\\"A\\\" \\\\ B\"");
  EXPECT_EQ(quotedTomlString("line\nbreak"), "\"line\\u000Abreak\"");
}

}  // namespace
}  // namespace propclear

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

TEST(ShipFileText, FindsTheValueWhereTheParserReadItNotWhereTextLooksLikeIt) {
  // A setting written inside a multi-line string is text, not a setting.
  const std::string text =
      "name = \"\"\"MV Tern\npower = 1  # not a setting\n\"\"\"  # ship\n"
      "# power = 2 in a comment\n"
      "power   =  6500.0 # kW\n"
      "rule_sets = [\n  \"custom\",\n]  # several lines\n"
      "\"cl\u00e9\" = \"\u00e9t\u00e9\"  # \u00e9\n";
  EXPECT_EQ(set(text, "power", "7000.0"),
            "name = \"\"\"MV Tern\npower = 1  # not a setting\n\"\"\"  # ship\n"
            "# power = 2 in a comment\n"
            "power   =  7000.0 # kW\n"
            "rule_sets = [\n  \"custom\",\n]  # several lines\n"
            "\"cl\u00e9\" = \"\u00e9t\u00e9\"  # \u00e9\n");
  EXPECT_NE(set(text, "rule_sets", "[]").find("rule_sets = []  # several lines\n\"cl"),
            std::string::npos);
  EXPECT_NE(set(text, "cl\u00e9", "\"t\"").find("\"cl\u00e9\" = \"t\"  # \u00e9\n"), std::string::npos);
  EXPECT_NE(set(text, "name", "\"B\"").find("name = \"B\"  # ship\n# power = 2"),
            std::string::npos);
}

TEST(ShipFileText, RefusesTextThatIsNotTomlNamingTheLine) {
  try {
    set("power = 1\nname = \"open\n", "power", "2");
    FAIL() << "text that is not TOML was changed";
  } catch (const RunError& error) {
    EXPECT_NE(std::string(error.what()).find("Test.ship.toml:2"), std::string::npos) << error.what();
  }
}

TEST(ShipFileText, QuotesTextAsTomlDoes) {
  EXPECT_EQ(quotedTomlString("MV \"A\" \\ B"), "\"MV \\\"A\\\" \\\\ B\"");
  EXPECT_EQ(quotedTomlString("line\nbreak"), "\"line\\u000Abreak\"");
}

}  // namespace
}  // namespace propclear

#include "report/json_text.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

#include "common/run_error.h"

namespace propclear {
namespace {

struct StringCase {
  std::string text;
  std::string json;
};

TEST(JsonString, EscapesWhatJsonRequires) {
  const StringCase cases[] = {
      {"", R"("")"},
      {"plain text", R"("plain text")"},
      {"say \"E\"", R"("say \"E\"")"},
      {"C:\\stern", R"("C:\\stern")"},
      {"line\nnext\r\ttab", R"("line\nnext\r\ttab")"},
      {std::string("nul\0end", 7), R"("nul\u0000end")"},
      {"\x1f\x7f", "\"\\u001f\x7f\""},
      {"\b\f", R"("\b\f")"},
  };
  for (const StringCase& c : cases) EXPECT_EQ(jsonString(c.text), c.json) << c.json;
}

TEST(JsonString, ValidUtf8PassesThrough) {
  const std::string texts[] = {"Kıç bodoslama", "\xe2\x82\xac", "\xf0\x9f\x9a\xa2", "\xc2\x80"};
  for (const std::string& text : texts) EXPECT_EQ(jsonString(text), "\"" + text + "\"");
}

TEST(JsonString, BytesOutsideUtf8BecomeReplacementCharacters) {
  const StringCase cases[] = {
      {"\xfd", R"("\ufffd")"},                       // a Latin-1 byte of a design file
      {"a\xc3", R"("a\ufffd")"},                     // sequence cut off at the end
      {"\xc3(", R"("\ufffd(")"},                     // lead byte without continuation
      {"\x80", R"("\ufffd")"},                       // stray continuation byte
      {"\xc0\xaf", R"("\ufffd\ufffd")"},             // overlong "/"
      {"\xe0\x80\xaf", R"("\ufffd\ufffd\ufffd")"},   // overlong, three bytes
      {"\xed\xa0\x80", R"("\ufffd\ufffd\ufffd")"},   // a surrogate
      {"\xf4\x90\x80\x80", R"("\ufffd\ufffd\ufffd\ufffd")"},  // above U+10FFFF
  };
  for (const StringCase& c : cases) EXPECT_EQ(jsonString(c.text), c.json) << c.json;
}

TEST(JsonNumber, ShortestTextThatReadsBackExactly) {
  const std::pair<double, const char*> cases[] = {
      {0.0, "0"},   {4.6, "4.6"},       {-0.35, "-0.35"}, {10.0, "10"},
      {1e-05, "1e-05"}, {0.1 + 0.2, "0.30000000000000004"}, {1e21, "1e+21"},
  };
  for (const auto& [value, text] : cases) EXPECT_EQ(jsonNumber(value, "x"), text);
  for (const double value : {1.0 / 3.0, 2.2424999999999997, -1e-300, 1.7976931348623157e308}) {
    const std::string text = jsonNumber(value, "x");
    double back = 0.0;
    std::from_chars(text.data(), text.data() + text.size(), back);
    EXPECT_EQ(back, value) << text;
  }
}

TEST(JsonNumber, NonFiniteIsAnArithmeticFaultNamingTheValue) {
  for (const double value : {std::numeric_limits<double>::quiet_NaN(),
                             std::numeric_limits<double>::infinity(),
                             -std::numeric_limits<double>::infinity()}) {
    try {
      jsonNumber(value, "the length of a");
      FAIL() << "a non-finite number was written";
    } catch (const RunError& error) {
      EXPECT_EQ(error.kind(), ErrorKind::Arithmetic);
      EXPECT_NE(std::string(error.what()).find("the length of a"), std::string::npos);
    }
  }
}

}  // namespace
}  // namespace propclear

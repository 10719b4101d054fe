#include "common/number_conversion.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace propclear {
namespace {

// Round values, powers of ten and their neighbours, the ends of the range,
// digits either side of eight (where the shortest digits are split), and
// random bit patterns of every exponent.
std::vector<double> sampleValues() {
  std::vector<double> values = {0.0, -0.0, 0.1, 0.5, 1.0, 4.6, 100.0, 1e5, 123456.0, 1e15, 1e16,
                                1e21, 1e22, 1e-5, 0.0001, 2.5, 0.125, 1234.5678, 9.5, 0.05,
                                9999999.0, 12345678.0, 99999999.0, 100000001.0, 1.23456789,
                                0.30000000000000004, 1234567890123456.7,
                                std::numeric_limits<double>::min(),
                                std::numeric_limits<double>::denorm_min(),
                                std::numeric_limits<double>::max()};
  for (int e = -320; e <= 308; ++e) {
    const double power = std::pow(10.0, e);
    values.insert(values.end(), {power, std::nextafter(power, 0.0), std::nextafter(power, 2 * power)});
  }
  std::mt19937_64 random(35);
  for (int i = 0; i < 4000; ++i) {
    const double value = std::bit_cast<double>(random());
    if (std::isfinite(value)) values.push_back(value);
  }
  std::uniform_real_distribution<double> metres(-50.0, 50.0);
  for (int i = 0; i < 4000; ++i) values.push_back(metres(random));
  return values;
}

template <class Write>
std::string written(Write write) {
  std::vector<char> buffer(1500);
  const std::to_chars_result result = write(buffer.data(), buffer.data() + buffer.size());
  EXPECT_EQ(result.ec, std::errc{});
  return std::string(buffer.data(), result.ptr);
}

// The texts equal the standard library's (libstdc++'s, exact and shortest)
// in every form the program writes.
TEST(NumberConversion, WritesTheStandardLibrarysTexts) {
  for (const double v : sampleValues()) {
    ASSERT_EQ(written([&](char* f, char* l) { return writeShortest(f, l, v); }),
              written([&](char* f, char* l) { return std::to_chars(f, l, v); }));
    ASSERT_EQ(written([&](char* f, char* l) { return writeShortestFixed(f, l, v); }),
              written([&](char* f, char* l) { return std::to_chars(f, l, v, std::chars_format::fixed); }));
    ASSERT_EQ(written([&](char* f, char* l) { return writeScientific(f, l, v, 14); }),
              written([&](char* f, char* l) {
                return std::to_chars(f, l, v, std::chars_format::scientific, 14);
              }));
    for (const int decimals : {0, 3, 1074}) {
      ASSERT_EQ(written([&](char* f, char* l) { return writeFixed(f, l, v, decimals); }),
                written([&](char* f, char* l) {
                  return std::to_chars(f, l, v, std::chars_format::fixed, decimals);
                }))
          << v << " to " << decimals << " places";
    }
  }
}

TEST(NumberConversion, ReportsTooSmallABuffer) {
  char buffer[4];
  EXPECT_EQ(writeShortest(buffer, buffer + 4, 0.12345).ec, std::errc::value_too_large);
  EXPECT_EQ(writeShortestFloat(buffer, buffer + 4, 0.12345f).ec, std::errc::value_too_large);
}

// A float's own shortest digits, which read back as the same float: 4.6f
// is 4.599999904632568 as a double.
TEST(NumberConversion, WritesAFloatsOwnShortestDigits) {
  for (const auto& [value, expected] : std::vector<std::pair<float, std::string>>{
           {4.6f, "4.6"}, {-0.35f, "-0.35"}, {1e-5f, "1e-05"}, {0.0f, "0"}, {16777216.0f, "16777216"},
           {3.4028235e38f, "3.4028235e+38"}}) {
    char buffer[32];
    const auto result = writeShortestFloat(buffer, buffer + sizeof buffer, value);
    ASSERT_EQ(result.ec, std::errc{});
    const std::string text(buffer, result.ptr);
    EXPECT_EQ(text, expected);
    EXPECT_EQ(std::stof(text), value) << text;
  }
}

struct Read {
  std::errc ec;
  std::ptrdiff_t used;
  double value;
};

Read readWith(bool standard, const char* text) {
  double value = 7.0;
  const char* last = text + std::strlen(text);
  const auto result = standard ? std::from_chars(text, last, value) : readDouble(text, last, value);
  return {result.ec, result.ptr - text, value};
}

// The nearest double, and the standard library's verdicts on text out of
// range or not a number.
TEST(NumberConversion, ReadsAsTheStandardLibraryReads) {
  const char* texts[] = {"1e400", "-1e400", "1e-400", "4e-320", "0.0", "0e999", "-0", "1e-5",
                         "123.456", "2.2250738585072011e-308", "1.", ".5", "  1", "+1", "abc",
                         "1e+5", "9007199254740993", "0.1000000000000000055511151231257827",
                         "12,5", "1e", "-.e1"};
  for (const char* text : texts) {
    const Read ours = readWith(false, text), standard = readWith(true, text);
    EXPECT_EQ(ours.ec, standard.ec) << text;
    EXPECT_EQ(ours.used, standard.used) << text;
    EXPECT_EQ(std::bit_cast<std::uint64_t>(ours.value), std::bit_cast<std::uint64_t>(standard.value))
        << text;
  }
  for (const double v : sampleValues()) {
    const std::string text = written([&](char* f, char* l) { return writeShortest(f, l, v); });
    ASSERT_EQ(std::bit_cast<std::uint64_t>(readWith(false, text.c_str()).value),
              std::bit_cast<std::uint64_t>(v))
        << text;
  }
}

}  // namespace
}  // namespace propclear

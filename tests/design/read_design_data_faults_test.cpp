// Faulty design files: each fault is reported with the file, the line and
// column where it was found, what was expected there and what was found.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <random>
#include <ostream>
#include <string>
#include <vector>

#include "common/run_error.h"
#include "design/read_design_data.h"
#include "design_file_builder.h"
#include "support/test_support.h"

namespace propclear {
namespace {

using test::DesignFileBuilder;
using test::ScratchDir;

// The error message of reading `content` as the design file.
std::string readFault(const std::string& content) {
  ScratchDir scratch;
  test::writeFile(scratch / designFileName, content);
  try {
    readDesignData(scratch / designFileName);
  } catch (const RunError& error) {
    EXPECT_EQ(error.kind(), ErrorKind::Input);
    return error.what();
  }
  return "no error";
}

// The default file cut right after layout line `lastLine`.
std::string fileEndingAfterLine(int lastLine) {
  const std::vector<std::string> lines = test::splitCrLfLines(DesignFileBuilder().text());
  std::string content;
  for (int i = 0; i < lastLine; ++i) content += lines[i] + "\r\n";
  return content;
}

struct FaultCase {
  std::string name;
  std::string content;
  std::string message;
};

// Test listings name a case, not its bytes.
void PrintTo(const FaultCase& fault, std::ostream* out) { *out << fault.name; }

std::vector<FaultCase> faultCases() {
  const std::string longDigits(5000, '7');
  return {
      {"Word", DesignFileBuilder().line(17, "4.6, abc").text(),
       "Norvalek.TSK:17:6: expected a number (hub diameter), found \"abc\""},
      {"EmptyFieldBetweenCommas", DesignFileBuilder().line(13, "4.0,,2.8").text(),
       "Norvalek.TSK:13:5: expected a number (propeller centre z), found \",\" (an empty field)"},
      {"EmptyFieldBetweenBlankedCommas", DesignFileBuilder().line(13, "4.0 , , 2.8").text(),
       "Norvalek.TSK:13:7: expected a number (propeller centre z), found \",\" (an empty field)"},
      {"LeadingComma", DesignFileBuilder().line(15, "  ,9.0").text(),
       "Norvalek.TSK:15:3: expected a number (waterline height), found \",\" (an empty field)"},
      {"CommaStartingTheNextLine", DesignFileBuilder().line(17, "4.6").line(18, ", 0.85").text(),
       "Norvalek.TSK:18:1: expected a number (hub diameter), found \",\" (an empty field) (line 17 "
       "holds 1 number for its 2 fields, propeller diameter and hub diameter: \"4.6\"; a missing "
       "value is the usual cause)"},
      {"Semicolon", DesignFileBuilder().line(20, "0.8;0.55, 10").text(),
       "Norvalek.TSK:20:1: expected a number (pitch ratio), found \"0.8;0.55\""},
      {"Infinity", DesignFileBuilder().line(20, "0.8, inf, 10").text(),
       "Norvalek.TSK:20:6: expected a number (area ratio), found \"inf\""},
      {"NotANumber", DesignFileBuilder().line(20, "0.8, 0.55, nan").text(),
       "Norvalek.TSK:20:12: expected a number (rake angle), found \"nan\""},
      {"Hexadecimal", DesignFileBuilder().line(13, "0x10, 2.8").text(),
       "Norvalek.TSK:13:1: expected a number (propeller centre x), found \"0x10\""},
      {"Overflow", DesignFileBuilder().line(17, "1e400, 0.85").text(),
       "Norvalek.TSK:17:1: expected a number (propeller diameter), found \"1e400\", which is out "
       "of range"},
      {"NulByte", DesignFileBuilder().line(25, std::string("8.9, 6\0.0", 9)).text(),
       "Norvalek.TSK:25:6: expected a number (rudder point 2 z), found \"6\\x00.0\""},
      {"RudderCorner", DesignFileBuilder().line(26, "x6.25, 6.0").text(),
       "Norvalek.TSK:26:1: expected a number (rudder point 3 x), found \"x6.25\""},
      {"NonAscii",
       DesignFileBuilder()
           .line(15,
                 "\xE2\x89\x88"
                 "9.0")
           .text(),
       "Norvalek.TSK:15:1: expected a number (waterline height), found \"\\xE2\\x89\\x88"
       "9.0\""},
      {"QuotesAndBackslash", DesignFileBuilder().line(15, "\"9.0\\").text(),
       "Norvalek.TSK:15:1: expected a number (waterline height), found \"\\\"9.0\\\\\""},
      {"LongToken", DesignFileBuilder().line(17, "4.6, " + longDigits).text(),
       "Norvalek.TSK:17:6: expected a number (hub diameter), found \"" + longDigits.substr(0, 40) +
           "\" (the first 40 of 5000 characters), which is too long for a number"},
      {"ContourHeight",
       DesignFileBuilder()
           .contour({"1,1,1", "2,2,1", "3,3,1", "4,4,1", "5,5,1", "6,6,1", "z,7,1"})
           .text(),
       "Norvalek.TSK:36:1: expected a number (contour point 7 height), found \"z\""},
      {"ContourX", DesignFileBuilder().contour({"0.3, 1.8, 1", "2.8, 2.9x, 1", "0,0,99"}).text(),
       "Norvalek.TSK:31:6: expected a number (contour point 2 x), found \"2.9x\""},
      {"ContourCode", DesignFileBuilder().contour({"0.3, 1.8, one", "0,0,99"}).text(),
       "Norvalek.TSK:30:11: expected a number (contour point 1 code), found \"one\""},
      {"TerminatorLineIsReadToo", DesignFileBuilder().contour({"0.3, 1.8, 1", "-, 0, 99"}).text(),
       "Norvalek.TSK:31:1: expected a number (contour point 2 height), found \"-\""},
      {"EmptyFile", "", "Norvalek.TSK:1:1: unexpected end of file: expected header line 1"},
      {"EndInTheHeader", fileEndingAfterLine(5),
       "Norvalek.TSK:6:1: unexpected end of file: expected header line 6"},
      {"EndBeforeTheContourCaptions", fileEndingAfterLine(28),
       "Norvalek.TSK:29:1: unexpected end of file: expected header line 29"},
      {"EndBeforeAValueLine", fileEndingAfterLine(16),
       "Norvalek.TSK:17:1: unexpected end of file: expected a number (propeller diameter)"},
      {"EndInsideAValueLine", fileEndingAfterLine(16) + "4.6\r\n",
       "Norvalek.TSK:18:1: unexpected end of file: expected a number (hub diameter) (line 17 holds "
       "1 number for its 2 fields, propeller diameter and hub diameter: \"4.6\"; a missing value is "
       "the usual cause)"},
      {"EndWithoutLineEnd", fileEndingAfterLine(16) + "4.6  ",
       "Norvalek.TSK:17:6: unexpected end of file: expected a number (hub diameter)"},
      {"ContourWithoutTerminator",
       DesignFileBuilder().contour({"0.3, 1.8, 1", "2.8, 2.9, 1"}).text(),
       "Norvalek.TSK:32:1: unexpected end of file: the contour ends without a terminator line "
       "(code 99) after 2 points"},
      {"EmptyContour", fileEndingAfterLine(29) + "\r\n   \r\n",
       "Norvalek.TSK:32:1: unexpected end of file: the contour ends without a terminator line "
       "(code 99) after 0 points"},
      {"EndInsideAContourLine", DesignFileBuilder().contour({"0.3, 1.8, 1", "2.8, 2.9"}).text(),
       "Norvalek.TSK:32:1: unexpected end of file: expected a number (contour point 2 code) (line "
       "31 holds 2 numbers for its 3 fields, height, x and code: \"2.8, 2.9\"; a missing value is "
       "the usual cause)"},
      // A decimal comma shifts the stream; the fault shows two lines later.
      {"DecimalComma", DesignFileBuilder().line(17, "5,200, 0.850").text(),
       "Norvalek.TSK:19:1: expected a number (pitch ratio), found \"caption\" (line 17 holds 3 "
       "numbers for its 2 fields, propeller diameter and hub diameter: \"5,200, 0.850\"; a decimal "
       "comma or a missing separator is the usual cause)"},
  };
}

class FaultTest : public ::testing::TestWithParam<FaultCase> {};

TEST_P(FaultTest, NamesLineColumnAndFoundText) {
  EXPECT_EQ(readFault(GetParam().content), GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(BadInput, FaultTest, ::testing::ValuesIn(faultCases()),
                         [](const ::testing::TestParamInfo<FaultCase>& info) {
                           return info.param.name;
                         });

TEST(ReadDesignDataFaults, LineAndColumnCountEveryLineEndForm) {
  // Line 2 ends with a lone CR and line 3 with LF: line 17 is still line 17.
  std::string content = DesignFileBuilder().line(17, "4.6, abc").text();
  content.replace(content.find("caption 2\r\n"), 11, "caption 2\r");
  content.replace(content.find("caption 3\r\n"), 11, "caption 3\n");
  EXPECT_EQ(readFault(content),
            "Norvalek.TSK:17:6: expected a number (hub diameter), found \"abc\"");
}

TEST(ReadDesignDataFaults, MissingFileNamesTheSystemsReason) {
  ScratchDir scratch;
  try {
    readDesignData(scratch / designFileName);
    FAIL() << "no error";
  } catch (const RunError& error) {
    EXPECT_EQ(error.kind(), ErrorKind::Input);
    EXPECT_EQ(error.what(), "cannot open " + (scratch / designFileName).string() +
                                ": No such file or directory");
  }
}

TEST(ReadDesignDataFaults, DirectoryIsNotReadable) {
  ScratchDir scratch;
  std::filesystem::create_directory(scratch / designFileName);
  try {
    readDesignData(scratch / designFileName);
    FAIL() << "no error";
  } catch (const RunError& error) {
    EXPECT_EQ(error.kind(), ErrorKind::Input);
    EXPECT_STREQ(error.what(), "Norvalek.TSK: cannot read the file: Is a directory");
  }
}

TEST(ReadDesignDataFaults, UnreadableFileNamesTheSystemsReason) {
  if (::geteuid() == 0) GTEST_SKIP() << "file permissions do not bind the super-user";
  ScratchDir scratch;
  const auto path = DesignFileBuilder().writeTo(scratch / designFileName);
  std::filesystem::permissions(path, std::filesystem::perms::none);
  try {
    readDesignData(path);
    FAIL() << "no error";
  } catch (const RunError& error) {
    EXPECT_STREQ(error.what(), "Norvalek.TSK: cannot open the file: Permission denied");
  }
}

TEST(ReadDesignDataFaults, MessagesNameTheFileByItsBareName) {
  ScratchDir scratch;
  std::filesystem::create_directory(scratch / "sub");
  const auto path = DesignFileBuilder().line(15, "deep").writeTo(scratch / "sub" / "other.TSK");
  try {
    readDesignData(path);
    FAIL() << "no error";
  } catch (const RunError& error) {
    EXPECT_STREQ(error.what(),
                 "other.TSK:15:1: expected a number (waterline height), found \"deep\"");
    EXPECT_EQ(error.where().file, "other.TSK");
    EXPECT_EQ(error.where().line, 15);
    EXPECT_EQ(error.where().column, 1);
    EXPECT_EQ(error.detail(), "expected a number (waterline height), found \"deep\"");
  }
}

TEST(ReadDesignDataFaults, HugeTokenIsQuotedShortly) {
  const std::string huge(2'000'000, 'q');
  const std::string message = readFault(DesignFileBuilder().line(15, huge).text());
  EXPECT_EQ(message, "Norvalek.TSK:15:1: expected a number (waterline height), found \"" +
                         huge.substr(0, 40) + "\" (the first 40 of 2000000 characters)");
}

TEST(ReadDesignDataFaults, BinaryGarbageIsAnInputFault) {
  std::mt19937 random(20240318);
  std::string garbage(1 << 20, '\0');
  for (char& byte : garbage) byte = static_cast<char>(random() & 0xFF);
  const std::string message = readFault(garbage);
  EXPECT_EQ(message.rfind("Norvalek.TSK:", 0), 0u) << message;
  EXPECT_LT(message.size(), 300u);
}

TEST(ReadDesignDataFaults, FileWithoutAnyLineEndEndsInTheHeader) {
  const std::string message = readFault(std::string(3'000'000, '7'));
  EXPECT_EQ(message, "Norvalek.TSK:1:3000001: unexpected end of file: expected header line 2");
}

}  // namespace
}  // namespace propclear

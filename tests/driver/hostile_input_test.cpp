// Hostile design files, each run end to end through the program: it either
// completes with clean, finite outputs or stops with a message saying what
// is wrong, leaving the files as its ending says. Never a crash, a hang or a
// NaN; time and memory grow no more than linearly with the input.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/ptrace.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "hostile_run.h"
#include "report/write_report.h"
#include "sample_design.h"

namespace propclear {
namespace {

using test::Expected;
using test::replaced;
using test::sampleDesignFile;

struct HostileCase {
  std::string name;
  std::function<std::string()> design;
  Expected ending;
  std::vector<std::string> gists;
  // The input differs from the sample design only in what a run skips.
  bool reportAsForTheSample = false;
};

// The sample design with one change to its data.
std::string sampleWith(const std::function<void(DesignData&)>& change) {
  DesignData design = test::sampleDesign();
  change(design);
  return test::designFileText(design);
}

std::string contourOf(std::initializer_list<test::ContourPoint> points) {
  return sampleWith([&](DesignData& d) { test::setContour(d, points); });
}

// The sample design with its contour lines (terminator excluded) replaced,
// for contours whose plot extent cannot even be computed.
std::string withContourLines(const std::vector<std::string>& lines) {
  const std::string sample = sampleDesignFile();
  std::string text = sample.substr(0, sample.find("0.2, 1.2, 1\r\n"));
  for (const std::string& line : lines) text += line + "\r\n";
  return text + "0, 0, 99\r\n";
}

std::string randomBytes(std::size_t size, unsigned seed) {
  std::mt19937 random(seed);
  std::string bytes(size, '\0');
  for (char& byte : bytes) byte = static_cast<char>(random() & 0xFF);
  return bytes;
}

std::string withLineEnds(const std::string& crLfText, const std::string& lineEnd) {
  std::string text;
  for (const std::string& line : test::splitCrLfLines(crLfText)) text += line + lineEnd;
  return text;
}

constexpr std::size_t kFiftyMegabytes = 50u << 20;
constexpr int kMillion = 1'000'000;

std::string repeated(const std::string& line, int count) {
  std::string text;
  text.reserve(line.size() * static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) text += line;
  return text;
}

std::vector<HostileCase> hostileInputCases() {
  const std::string sample = sampleDesignFile();
  return {
      // Not a design file at all.
      {"EmptyFile",
       [] { return std::string(); },
       Expected::ErrorBeforeReport,
       {"propclear: error: Norvalek.TSK:1:1: unexpected end of file: expected header line 1"}},
      {"BinaryGarbage",
       [] { return randomBytes(1 << 16, 7); },
       Expected::ErrorBeforeReport,
       {"propclear: error: Norvalek.TSK:13:1: expected a number (propeller centre x), found \"",
        "(the first 40 of "}},
      {"NulBytesOnly",
       [] { return std::string(4096, '\0'); },
       Expected::ErrorBeforeReport,
       {"Norvalek.TSK:1:4097: unexpected end of file: expected header line 2"}},
      {"NulBytesInACaption",
       [sample] { return replaced(sample, "header line 3", std::string("head\0\0er", 8)); },
       Expected::Completed,
       {},
       true},
      {"NulByteInAValue",
       [sample] { return replaced(sample, "4.6, 0.85", std::string("4.6\0, 0.85", 10)); },
       Expected::ErrorBeforeReport,
       {"Norvalek.TSK:17:1: expected a number (propeller diameter), found \"4.6\\x00\""}},
      {"NonUtf8CaptionLine",
       [sample] {
         return replaced(sample, "header line 1", "Gemi \xFC\xE7 \xFF\xFE \xC3\x28 kic");
       },
       Expected::Completed,
       {},
       true},
      {"CarriageReturnOnlyLineEnds",
       [sample] { return withLineEnds(sample, "\r"); },
       Expected::Completed,
       {},
       true},
      {"LineFeedOnlyLineEnds",
       [sample] { return withLineEnds(sample, "\n"); },
       Expected::Completed,
       {},
       true},

      // Size: every case is read in one linear pass.
      {"FiftyMegabyteValue",
       [sample] {
         return replaced(sample, "\r\n7.2\r\n",
                         "\r\n" + std::string(kFiftyMegabytes, '7') + "\r\n");
       },
       Expected::ErrorBeforeReport,
       {"Norvalek.TSK:15:1: expected a number (waterline height), found \"7777",
        "(the first 40 of 52428800 characters), which is too long for a number"}},
      {"FiftyMegabyteCaption",
       [sample] { return replaced(sample, "header line 2", std::string(kFiftyMegabytes, 'x')); },
       Expected::Completed,
       {},
       true},
      {"MillionBlankLinesBeforeAValue",
       [sample] {
         return replaced(sample, "\r\n7.2\r\n", "\r\n" + repeated("\r\n", kMillion) + "7.2\r\n");
       },
       Expected::Completed,
       {},
       true},
      {"MillionLinesAfterTheTerminator",
       [sample] { return sample + repeated("junk, 1e999, 0x10\r\n", kMillion); },
       Expected::Completed,
       {},
       true},
      {"MillionContourLinesWithoutTerminator",
       [sample] {
         return replaced(sample, "0, 0, 99\r\n", "") + repeated("1.5, 2.5, 1\r\n", kMillion);
       },
       Expected::ContourTooLong,
       {"Kic Bodoslama geometrisi data girisinde hata var."}},

      // Numbers at the ends of the range, and numbers in a foreign notation.
      {"SubnormalWaterline",
       [] { return sampleWith([](DesignData& d) { d.waterlineHeight = 1e-320; }); },
       Expected::Completed,
       {}},
      {"SubnormalContour",
       [] {
         return contourOf({{1e-320, 2e-320, 1}, {3e-320, 4e-320, 1}, {5e-320, 1e-320, 1}});
       },
       Expected::Completed,
       {"propclear: warning: the height z = 4.273 m lies outside the stern contour's rising "
        "heights"}},
      {"Hexadecimal",
       [sample] { return replaced(sample, "4, 2.8", "0x10, 2.8"); },
       Expected::ErrorBeforeReport,
       {"Norvalek.TSK:13:1: expected a number (propeller centre x), found \"0x10\""}},
      // A decimal comma splits a number in two, so the values shift onto the
      // next caption line, which is no number.
      {"DecimalCommaInTheWaterline",
       [sample] { return replaced(sample, "\r\n7.2\r\n", "\r\n7,2\r\n"); },
       Expected::ErrorBeforeReport,
       {"Norvalek.TSK:16:1: expected a number (propeller diameter), found \"D\""}},
      {"DecimalCommasInThePropellerCentre",
       [sample] { return replaced(sample, "4, 2.8", "4,0, 2,8"); },
       Expected::ErrorBeforeReport,
       {"Norvalek.TSK:14:1: expected a number (waterline height), found \"DESIGN\""}},
      // In a contour line it shifts every following point by one value: the
      // terminator's 99 is taken for a height and the file ends inside a point.
      {"DecimalCommaInAContourLine",
       [sample] { return replaced(sample, "2, 1.35, 1", "2, 1,35, 1"); },
       Expected::ErrorBeforeReport,
       {"Norvalek.TSK:40:1: unexpected end of file: expected a number (contour point 11 x)"}},

      // Propeller data a blade cannot have.
      {"NegativeDiameter",
       [] { return sampleWith([](DesignData& d) { d.propellerDiameter = -4.6; }); },
       Expected::Completed,
       {"propclear: warning: the propeller diameter D = -4.600 m is negative"}},
      {"HubLargerThanDiameter",
       [] { return sampleWith([](DesignData& d) { d.hubDiameter = 12.5; }); },
       Expected::Completed,
       {"propclear: warning: the hub diameter Dh = 12.500 m is not smaller than the propeller "
        "diameter D = 4.600 m"}},

      // Contours and rudders that have no proper shape.
      {"EqualNeighbouringHeights",
       [] {
         return contourOf({{0.2, 1.2, 1},
                           {1.0, 1.3, 1},
                           {2.0, 1.35, 1},
                           {2.0, 1.4, 1},
                           {4.0, 1.6, 1},
                           {5.8, 3.2, 1},
                           {6.6, 6.0, 1}});
       },
       Expected::Completed,
       {"propclear: warning: the stern contour's heights do not rise from point 3 to point 4"}},
      {"AllRudderCornersEqual",
       [] {
         return sampleWith([](DesignData& d) {
           for (int i = 1; i <= rudderCornerCount; ++i) {
             d.rudderX[i] = 7.0;
             d.rudderZ[i] = 3.0;
           }
         });
       },
       Expected::Completed,
       {}},
  };
}

// Every arithmetic fault ends the run after the report was created, with a
// message saying what could not be computed and why.
std::vector<HostileCase> arithmeticFaultCases() {
  return {
      {"ZeroDiameter",
       [] { return sampleWith([](DesignData& d) { d.propellerDiameter = 0; }); },
       Expected::ErrorAfterReport,
       {"arithmetic fault: cannot compute the blade outline (edge angle at zero radius and lead: "
        "propeller diameter 0, or too small for its square to be represented): division by zero"}},
      {"SubnormalDiameter",
       [] { return sampleWith([](DesignData& d) { d.propellerDiameter = 1e-320; }); },
       Expected::ErrorAfterReport,
       {"arithmetic fault: cannot compute the blade outline (edge angle at zero radius and lead: "
        "propeller diameter 0, or too small for its square to be represented): division by zero"}},
      {"PlusMinus1e308InTheContour",
       [] {
         return withContourLines({"0.3, 1e308, 1", "5.0, -1e308, 1", "8.3, 3.0, 1"});
       },
       Expected::ErrorAfterReport,
       {"arithmetic fault: cannot compute the plot extent: the result overflows"}},
      {"Diameter1e308",
       [] { return sampleWith([](DesignData& d) { d.propellerDiameter = 1e308; }); },
       Expected::ErrorAfterReport,
       {"arithmetic fault: cannot compute the blade outline: the result overflows"}},
      {"Minus1e308PropellerCentre",
       [] { return sampleWith([](DesignData& d) { d.propellerCentreZ = -1e308; }); },
       Expected::ErrorAfterReport,
       {"arithmetic fault: cannot compute a midpoint of a clearance: the result overflows"}},
      {"Contour1e300",
       [] {
         return contourOf({{1e300, 1.8, 1}, {2e300, 3.15, 1}, {3e300, 10.4, 1}});
       },
       Expected::ErrorAfterReport,
       {"arithmetic fault: cannot compute the spline fit (first equation): the result overflows"}},
      {"WaterlineBeyondSinglePrecision",
       [] { return sampleWith([](DesignData& d) { d.waterlineHeight = 1e39; }); },
       Expected::ErrorAfterReport,
       {"arithmetic fault: cannot compute a plot coordinate: the result overflows"}},
      // Knot spacings 0, 1, -1 cancel the spline fit's one unguarded pivot.
      {"UnguardedPivotOfTheSplineFit",
       [] {
         return contourOf({{0, 0, 1}, {0, 1, 1}, {1, 2, 1}, {0, 3, 1}});
       },
       Expected::ErrorAfterReport,
       {"arithmetic fault: cannot compute the spline fit (last equation, unguarded pivot): "
        "division "
        "by zero"}},
      {"LastThreeHeightsEqual",
       [] {
         return contourOf({{0.3, 1.8, 1}, {5.0, 2.35, 1}, {5.0, 2.85, 1}, {5.0, 2.95, 1}});
       },
       Expected::ErrorAfterReport,
       {"arithmetic fault: cannot compute the spline fit (last equation, unguarded pivot): "
        "division "
        "by zero"}},
      {"TwoHundredFiftyIdenticalPoints",
       [] {
         return sampleWith([](DesignData& d) {
           for (int k = 1; k <= maxContourPoints; ++k) {
             d.contourZ[sternContourRow][k] = 5.0;
             d.contourX[sternContourRow][k] = 3.0;
             d.contourCode[sternContourRow][k] = 1;
           }
           d.contourPointCount[sternContourRow] = maxContourPoints;
         });
       },
       Expected::ErrorAfterReport,
       {"arithmetic fault: cannot compute the spline fit (last equation, unguarded pivot): "
        "division "
        "by zero"}},
      // A falling spacing of exactly -1e-6 or -1e-7 cancels the guard added to it.
      {"SpacingCancelsItsGuard",
       [] {
         return contourOf({{0.000001, 0, 1}, {0, 1, 1}});
       },
       Expected::ErrorAfterReport,
       {"arithmetic fault: cannot compute the spline fit (difference quotient): division by zero"}},
      {"SpacingCancelsTheSmallerGuard",
       [] {
         return contourOf({{1e-7, 0, 1}, {0, 1, 1}});
       },
       Expected::ErrorAfterReport,
       {"arithmetic fault: cannot compute the spline fit (piece derivatives): division by zero"}},
      {"StraightPieceCancelsItsGuard",
       [] {
         return contourOf({{1e-7, 0, 1}, {0, 1, 0}, {5, 3, 1}});
       },
       Expected::ErrorAfterReport,
       {"arithmetic fault: cannot compute the contour set-up (straight piece): division by zero"}},
      {"HorizontalRudderEdge",
       [] {
         return sampleWith([](DesignData& d) {
           d.rudderX[4] = 7.9;
           d.rudderZ[4] = d.rudderZ[3];
         });
       },
       Expected::ErrorAfterReport,
       {"arithmetic fault: cannot compute the rudder edge at the blade's height (rudder corners 3 "
        "and 4 lie at the same height: the edge is horizontal): division by zero"}},
  };
}

void PrintTo(const HostileCase& c, std::ostream* out) { *out << c.name; }

class HostileInputTest : public ::testing::TestWithParam<HostileCase> {};

TEST_P(HostileInputTest, EndsAsExpected) {
  const HostileCase& c = GetParam();
  const test::RunFolder folder(c.design());
  const test::ProcessResult result = folder.run();
  test::expectRun(folder, result, c.ending, c.gists);
  if (c.reportAsForTheSample) {
    EXPECT_EQ(test::readFile(folder / reportFileName), test::sampleReport());
  }
}

std::string caseName(const ::testing::TestParamInfo<HostileCase>& info) { return info.param.name; }

INSTANTIATE_TEST_SUITE_P(Input, HostileInputTest, ::testing::ValuesIn(hostileInputCases()),
                         caseName);
INSTANTIATE_TEST_SUITE_P(ArithmeticFault, HostileInputTest,
                         ::testing::ValuesIn(arithmeticFaultCases()), caseName);

// Peak resident memory of one run of the program in `folder`, in kilobytes,
// or -1 where it cannot be measured. The program is stopped at its exit, while
// its memory is still its own, and its high-water mark read there: the
// resource usage a parent gets back counts the parent's own memory too.
long peakMemoryKilobytes(const test::RunFolder& folder) {
  std::string binary = PROPCLEAR_BINARY;
  std::vector<std::string> args = {binary,        "-C",       folder.path().string(),
                                   "--no-window", "--answer", "H"};
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  // The leak checker traces the process itself, which a traced process cannot allow.
  std::string leakCheckOff = "ASAN_OPTIONS=detect_leaks=0";
  std::vector<char*> envp = {leakCheckOff.data(), nullptr};
  const int quiet = ::open("/dev/null", O_WRONLY);
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::dup2(quiet, 1);
    ::dup2(quiet, 2);
    ::ptrace(PTRACE_TRACEME, 0, nullptr, nullptr);
    ::execve(binary.c_str(), argv.data(), envp.data());
    ::_exit(127);
  }
  ::close(quiet);
  int status = 0;
  ::waitpid(pid, &status, 0);  // stopped at the start of the program
  if (!WIFSTOPPED(status)) return -1;
  ::ptrace(PTRACE_SETOPTIONS, pid, nullptr, PTRACE_O_TRACEEXIT);
  long peak = -1;
  for (int signal = 0;;) {
    ::ptrace(PTRACE_CONT, pid, nullptr, signal);
    ::waitpid(pid, &status, 0);
    if (WIFEXITED(status) || WIFSIGNALED(status)) break;
    signal = 0;
    if (status >> 8 == (SIGTRAP | (PTRACE_EVENT_EXIT << 8))) {
      std::ifstream procStatus("/proc/" + std::to_string(pid) + "/status");
      for (std::string line; std::getline(procStatus, line);) {
        if (line.rfind("VmHWM:", 0) == 0) peak = std::stol(line.substr(6));
      }
    } else if (WIFSTOPPED(status)) {
      signal = WSTOPSIG(status);
    }
  }
  return peak;
}

TEST(HostileInput, FiftyMegabyteLinesTakeNoMoreMemoryThanASmallFile) {
  // The reader keeps neither a line nor the file, so the peak stays that of
  // an ordinary run, far below the size of the line.
  constexpr long kAllowedGrowthKilobytes = 8 * 1024;
  const std::string sample = sampleDesignFile();
  const long ordinary = peakMemoryKilobytes(test::RunFolder(sample));
  if (ordinary < 0) GTEST_SKIP() << "this system does not let a test trace the program it starts";
  const std::string caption(kFiftyMegabytes, 'x');
  const std::string digits(kFiftyMegabytes, '7');
  for (const std::string& design : {replaced(sample, "header line 2", caption),
                                    replaced(sample, "\r\n7.2\r\n", "\r\n" + digits + "\r\n")}) {
    EXPECT_LT(peakMemoryKilobytes(test::RunFolder(design)), ordinary + kAllowedGrowthKilobytes);
  }
}

}  // namespace
}  // namespace propclear

// The study commands as a designer runs them: sweeps compared with plain runs
// of the same edited designs, solves checked just inside and outside their
// boundary, batches over folders of good and bad files, and options that
// must stop a study before anything runs.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <regex>

#include "common/format_number.h"
#include "design/read_design_data.h"
#include "study_table.h"
#include "support/sample_design.h"
#include "support/test_support.h"

namespace propclear {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using test::ProcessResult;
using test::runPropclear;

const std::vector<std::string> clearances = {"a", "b", "c", "a'", "b'", "c'"};
constexpr int noFeasibleValue = 4;

class StudyCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::copy_file(test::examplesDir() / designFileName, design());
    fileDesign = readDesignData(design()).design;
  }

  fs::path design() const { return scratch / designFileName; }

  // A plain run's results for the example with `edit` applied.
  nlohmann::json plainRunOf(const DesignData& edited, const std::string& name = "edited.TSK") {
    test::writeFile(scratch / name, test::designFileText(edited));
    return test::plainRunResults(scratch / name);
  }
  DesignData withDiameter(double diameter) const {
    DesignData edited = fileDesign;
    edited.propellerDiameter = diameter;
    return edited;
  }

  test::ScratchDir scratch;
  DesignData fileDesign;
};

// The report's clearance lines: " a  =  1.113 m. / 0.242*D".
std::map<std::string, std::pair<std::string, std::string>> reportClearances(const fs::path& report) {
  static const std::regex line(R"(^ (\S+)\s*=\s*(-?[0-9.]+) m\. / (-?[0-9.]+)\*D)");
  std::map<std::string, std::pair<std::string, std::string>> found;
  for (const std::string& text : test::splitCrLfLines(test::readFile(report))) {
    std::smatch match;
    if (std::regex_search(text, match, line)) found[match[1]] = {match[2], match[3]};
  }
  return found;
}

std::string matchIn(const std::string& text, const std::string& pattern) {
  std::smatch match;
  if (!std::regex_search(text, match, std::regex(pattern))) {
    ADD_FAILURE() << "no \"" << pattern << "\" in:\n" << text;
    return {};
  }
  return match[1];
}

TEST_F(StudyCommands, SweepRowsEqualPlainRunsOfTheEditedDesigns) {
  const ProcessResult sweep = runPropclear({"sweep", design().string(), "--vary",
                                            "diameter=4.2,4.6,5.1", "--vary", "rudder-x=-0.3,0.25"});
  ASSERT_EQ(sweep.exitStatus, 0) << sweep.err;
  const test::StudyTable table = test::parseCsv(sweep.out);
  ASSERT_EQ(table.rows.size(), 6u);
  for (std::size_t row = 0; row < table.rows.size(); ++row) {
    DesignData edited = withDiameter(table.number(row, "diameter"));
    for (int corner = 1; corner <= rudderCornerCount; ++corner) {
      edited.rudderX[corner] += table.number(row, "rudder-x");
    }
    const nlohmann::json results = plainRunOf(edited);
    const auto report = reportClearances(scratch / "edited.SON");
    for (const std::string& name : clearances) {
      SCOPED_TRACE("row " + std::to_string(row) + ", " + name);
      const nlohmann::json& clearance = test::clearanceOf(results, name);
      EXPECT_EQ(table.number(row, name + "_m"), clearance.at("length_m").get<double>());
      EXPECT_EQ(table.number(row, name + "_per_D"), clearance.at("ratio_to_D").get<double>());
      EXPECT_EQ(table.number(row, name + "_gap_m"), clearance.at("signedLength").get<double>());
      // The report prints the mirrored lower blade's legacy a' and c'.
      const bool legacy = name == "a'" || name == "c'";
      const double printed =
          legacy ? table.number(row, "legacy_" + name + "_m") : table.number(row, name + "_m");
      EXPECT_EQ(formatRounded(printed, 3), report.at(name).first);
      if (!legacy) {
        EXPECT_EQ(formatRounded(table.number(row, name + "_per_D"), 3), report.at(name).second);
      }
    }
    EXPECT_EQ(table.cell(row, "warnings").empty(), results.at("warnings").empty());
  }
  // At D = 5.1 the lower tip dips below the heel: an overlap, and said so.
  EXPECT_LT(table.number(4, "b'_gap_m"), 0.0);
  EXPECT_THAT(table.cell(4, "warnings"), HasSubstr("overlaps the heel"));
}

TEST_F(StudyCommands, SweepStreamsEveryDesignInOrderInEitherFormat) {
  const ProcessResult csv = runPropclear({"sweep", design().string(), "--vary", "diameter=4.0:5.5:0.01"});
  ASSERT_EQ(csv.exitStatus, 0) << csv.err;
  const test::StudyTable table = test::parseCsv(csv.out);
  ASSERT_EQ(table.rows.size(), 151u);
  EXPECT_EQ(table.cell(37, "diameter"), "4.37");
  EXPECT_EQ(table.cell(150, "diameter"), "5.5");

  const ProcessResult jsonl =
      runPropclear({"sweep", design().string(), "--vary", "diameter=4.0:5.5:0.01", "--jsonl", "-"});
  ASSERT_EQ(jsonl.exitStatus, 0) << jsonl.err;
  std::istringstream lines(jsonl.out);
  std::size_t row = 0;
  for (std::string line; std::getline(lines, line); ++row) {
    const nlohmann::json object = nlohmann::json::parse(line);
    EXPECT_EQ(object.at("diameter").get<double>(), table.number(row, "diameter"));
    EXPECT_EQ(object.at("c'_m").get<double>(), table.number(row, "c'_m"));
    EXPECT_TRUE(object.at("error").is_null());
    EXPECT_TRUE(object.at("warnings").is_array());
  }
  EXPECT_EQ(row, 151u);

  // The same rows from one thread as from several.
  const std::vector<std::string> grid = {"sweep", design().string(), "--vary", "diameter=4:5:0.01",
                                         "--vary", "centre-z=2.5:3:0.05", "--threads"};
  std::vector<std::string> one = grid, three = grid;
  one.push_back("1");
  three.push_back("3");
  const ProcessResult single = runPropclear(one);
  EXPECT_EQ(test::parseCsv(single.out).rows.size(), 101u * 11u);
  EXPECT_EQ(single.out, runPropclear(three).out);
}

TEST_F(StudyCommands, AFailingDesignIsARowAndTheSweepGoesOn) {
  const ProcessResult sweep =
      runPropclear({"sweep", design().string(), "--vary", "diameter=4.6,0,4.2"});
  ASSERT_EQ(sweep.exitStatus, 0) << sweep.err;
  const test::StudyTable table = test::parseCsv(sweep.out);
  ASSERT_EQ(table.rows.size(), 3u);
  EXPECT_THAT(table.cell(1, "error"), HasSubstr("cannot compute"));
  EXPECT_EQ(table.cell(1, "a_m"), "");
  EXPECT_EQ(table.cell(0, "error"), "");
  EXPECT_EQ(table.cell(2, "error"), "");
  EXPECT_GT(table.number(2, "b_m"), table.number(0, "b_m"));
}

TEST_F(StudyCommands, EachCommandHasItsHelpAndThePlainRunNamesThem) {
  const ProcessResult plain = runPropclear({"--help"});
  for (const char* command : {"propclear sweep [FILE]", "propclear solve [FILE]", "propclear batch"}) {
    EXPECT_THAT(plain.out, HasSubstr(command));
  }
  for (const auto& [command, option] : std::vector<std::pair<std::string, std::string>>{
           {"sweep", "--vary NAME=VALUES"}, {"solve", "--keep centre|tip-to-heel"}, {"batch", "DIR_OR_FILES"}}) {
    const ProcessResult help = runPropclear({command, "--help"});
    EXPECT_EQ(help.exitStatus, 0) << command;
    EXPECT_THAT(help.out, HasSubstr("Usage: propclear " + command));
    EXPECT_THAT(help.out, HasSubstr(option));
  }
}

TEST_F(StudyCommands, BadOptionsStopBeforeAnythingRuns) {
  const std::string file = design().string();
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{"sweep", file, "--vary", "diameter=4:5:0"}, "--vary diameter=4:5:0: the step is 0"},
      {{"sweep", file, "--vary", "diameter=5:4:0.1"}, "--vary diameter=5:4:0.1: the step 0.1 leads away"},
      {{"sweep", file, "--vary", "diameter=4:5:1e-9"}, "more than the 100000000"},
      {{"sweep", file, "--vary", "pitch=1:2:0.1"}, "unknown parameter \"pitch\""},
      {{"sweep", file, "--vary", "rake=1:2,5:0.1"}, "\"2,5\" is not a number"},
      {{"sweep", file, "--vary", "rake=1,2", "--vary", "rake=3"}, "rake is varied twice"},
      {{"sweep", file}, "--vary is required"},
      {{"sweep", file, "--vary", "rake=1", "--plot", (scratch / "p.bmp").string()}, "unknown image type \".bmp\""},
      {{"sweep", file, "--vary", "rake=1:2:1e-5", "--plot", (scratch / "p.png").string()}, "a plot shows at most 100000"},
      {{"sweep", file, "--vary", "rake=1", "--plot", (scratch / "no" / "p.png").string()}, "no does not exist"},
      {{"sweep", file, "--vary", "rake=1", "--csv", "-", "--jsonl", "-"}, "excludes"},
      {{"sweep", file, "--vary", "rake=1", "--rules", "lr"}, "unknown rule set \"lr\""},
      {{"sweep", (scratch / "none.TSK").string(), "--vary", "rake=1"}, "none.TSK: No such file or directory"},
      {{"solve", file, "--maximise", "diameter", "--range", "6:3"}, "--range 6:3: START must lie below STOP"},
      {{"solve", file, "--maximise", "girth"}, "--maximise girth: unknown parameter"},
      {{"solve", file, "--maximise", "rake", "--minimise", "rake"}, "excludes"},
      {{"solve", file}, "--maximise NAME or --minimise NAME is required"},
      {{"solve", file, "--maximise", "centre-z", "--keep", "tip-to-heel"}, "tip-to-heel moves centre-z"},
      {{"sweep", file, "--vary", "rake=1", "--plot", (scratch / "p.png").string(), "--plot-size", "0x5"},
       "--plot-size takes WIDTHxHEIGHT, each a whole number from 1 to 20000, not \"0x5\""},
      {{"sweep", file, "--vary", "rake=1", "--plot-size", "800x600"}, "there is no --plot FILE to size"},
  };
  for (const auto& [arguments, message] : cases) {
    const ProcessResult run = runPropclear(arguments);
    EXPECT_EQ(run.exitStatus, test::kExitError) << message;
    EXPECT_EQ(run.out, "") << message;
    EXPECT_THAT(run.err, HasSubstr(message));
  }
  EXPECT_FALSE(fs::exists(scratch / "p.png"));
}

TEST_F(StudyCommands, SolveBoundaryIsWhereTheBindingClearanceChangesSign) {
  const ProcessResult solve =
      runPropclear({"solve", design().string(), "--maximise", "diameter", "--range", "3:6"});
  ASSERT_EQ(solve.exitStatus, 0) << solve.err;
  const double best = std::stod(matchIn(solve.out, R"(best: diameter = ([0-9.]+) m)"));
  const std::string binding = matchIn(solve.out, R"(binding: (\S+) \()");
  const double beyond = std::stod(matchIn(solve.out, R"(binding: .* at ([0-9.]+) m\))"));
  EXPECT_EQ(binding, "b'");
  EXPECT_NEAR(beyond - best, 0.0001, 1e-12);
  EXPECT_GT(test::clearanceOf(plainRunOf(withDiameter(best)), binding).at("signedLength").get<double>(), 0.0);
  EXPECT_LT(test::clearanceOf(plainRunOf(withDiameter(beyond)), binding).at("signedLength").get<double>(), 0.0);
  // The run's own verdict agrees: --strict ends an overlapping run with 4.
  for (const auto& [diameter, status] : {std::pair{best, test::kExitCompleted}, std::pair{beyond, test::kExitStrictOverlap}}) {
    test::writeFile(scratch / "edited.TSK", test::designFileText(withDiameter(diameter)));
    EXPECT_EQ(runPropclear({(scratch / "edited.TSK").string(), "--no-window", "--answer", "H", "--strict"}).exitStatus,
              status);
  }
  EXPECT_THAT(solve.out, HasSubstr("\n  3 to " + matchIn(solve.out, R"(best: diameter = ([0-9.]+))") +
                                   " m (from the start of the range)\n"));

  // STOP one resolution step past the boundary: the value beyond the best is
  // STOP itself, and the same clearance binds there.
  const ProcessResult tight =
      runPropclear({"solve", design().string(), "--maximise", "diameter", "--range",
                    "3:" + matchIn(solve.out, R"(binding: .* at ([0-9.]+) m\))")});
  ASSERT_EQ(tight.exitStatus, 0) << tight.err;
  EXPECT_THAT(tight.out, HasSubstr(matchIn(solve.out, R"((best: [^\n]*\nbinding: [^\n]*\n))")));
}

TEST_F(StudyCommands, SolveUnderTheRulesStopsWhereARuleLineFails) {
  fs::copy_file(test::examplesDir() / "Norvalek.ship.toml", scratch / "Norvalek.ship.toml");
  const ProcessResult solve = runPropclear(
      {"solve", design().string(), "--maximise", "diameter", "--range", "3:6", "--rules", "lr-recommended"});
  ASSERT_EQ(solve.exitStatus, 0) << solve.err;
  const std::string best = matchIn(solve.out, R"(best: diameter = ([0-9.]+) m)");
  const std::string beyond = matchIn(solve.out, R"(binding: .* at ([0-9.]+) m\))");
  const std::string line = matchIn(solve.out, R"(binding: (lr-recommended \S+) \()");
  const ProcessResult sweep = runPropclear({"sweep", design().string(), "--vary",
                                            "diameter=" + best + "," + beyond, "--rules", "lr-recommended"});
  const test::StudyTable table = test::parseCsv(sweep.out);
  ASSERT_EQ(table.rows.size(), 2u) << sweep.err;
  EXPECT_GE(table.number(0, line + " margin_m"), 0.0);
  EXPECT_EQ(table.cell(0, line + " verdict"), "meets");
  EXPECT_LT(table.number(1, line + " margin_m"), 0.0);
  EXPECT_EQ(table.cell(1, line + " verdict"), "below the recommended minimum");
}

TEST_F(StudyCommands, SolveFindsEveryStretchAroundABulge) {
  // A tall stern with a small propeller and a bulge of the stern frame at
  // z = 7 m: the turning propeller cuts the bulge when it sweeps past its
  // height, and clears it below and above.
  DesignData tall = fileDesign;
  tall.propellerCentreZ = 3.0;
  tall.propellerDiameter = 2.0;
  tall.hubDiameter = 0.4;
  tall.rudderZ[2] = tall.rudderZ[3] = 15.0;
  test::setContour(tall, {{0.3, 1.8, 1},  {1, 2.3, 1},   {2, 2.7, 1},    {3, 2.85, 1},  {4, 2.9, 1},
                          {5, 2.9, 1},    {6, 2.9, 1},   {6.6, 3.0, 1},  {7.0, 4.05, 1}, {7.4, 3.0, 1},
                          {8, 2.9, 1},    {9, 2.9, 1},   {10, 2.9, 1},   {11, 2.95, 1}, {12, 3.1, 1},
                          {13, 3.5, 1},   {13.5, 4.2, 1}, {14, 5.5, 1},  {14.5, 7.5, 1}, {15, 9.5, 1}});
  test::writeFile(design(), test::designFileText(tall));
  fileDesign = tall;

  const ProcessResult solve =
      runPropclear({"solve", design().string(), "--maximise", "centre-z", "--range", "5:12"});
  ASSERT_EQ(solve.exitStatus, 0) << solve.err;
  const std::regex interval(R"(\n  ([0-9.]+) to ([0-9.]+) m)");
  std::vector<std::pair<double, double>> intervals;
  for (std::sregex_iterator it(solve.out.begin(), solve.out.end(), interval), end; it != end; ++it) {
    intervals.emplace_back(std::stod((*it)[1]), std::stod((*it)[2]));
  }
  ASSERT_GE(intervals.size(), 2u) << solve.out;
  EXPECT_EQ(intervals.front().first, 5.0);
  EXPECT_EQ(intervals.back().second, 12.0);
  EXPECT_THAT(solve.out, HasSubstr("best: centre-z = 12 m"));
  // A plain run under --strict ends with 4 when anything overlaps: each edge
  // inside the range is clear, and 0.1 mm past it is not.
  const auto strictRunAt = [&](double centreZ) {
    DesignData edited = fileDesign;
    edited.propellerCentreZ = centreZ;
    test::writeFile(scratch / "edited.TSK", test::designFileText(edited));
    return runPropclear({(scratch / "edited.TSK").string(), "--no-window", "--answer", "H", "--strict"})
        .exitStatus;
  };
  for (std::size_t i = 0; i < intervals.size(); ++i) {
    SCOPED_TRACE("interval " + std::to_string(i));
    if (i > 0) {
      EXPECT_EQ(strictRunAt(intervals[i].first), test::kExitCompleted);
      EXPECT_EQ(strictRunAt(intervals[i].first - 0.0001), test::kExitStrictOverlap);
    }
    if (i + 1 < intervals.size()) {
      EXPECT_EQ(strictRunAt(intervals[i].second), test::kExitCompleted);
      EXPECT_EQ(strictRunAt(intervals[i].second + 0.0001), test::kExitStrictOverlap);
    }
  }
}

TEST_F(StudyCommands, SolveWithoutAFeasibleValueSaysSo) {
  const ProcessResult solve =
      runPropclear({"solve", design().string(), "--maximise", "diameter", "--range", "5.1:6"});
  EXPECT_EQ(solve.exitStatus, noFeasibleValue);
  EXPECT_THAT(solve.err, HasSubstr("no feasible value in the range 5.1 to 6 m"));
  EXPECT_THAT(solve.out, ::testing::Not(HasSubstr("best:")));
}

TEST_F(StudyCommands, SolveTellsALimitInsideTheRangeFromTheRangesEnd) {
  // The rudder may come forward to about -1.61 m before the blade meets it.
  const auto solveFrom = [&](const std::string& start, bool json) {
    std::vector<std::string> arguments = {"solve", design().string(), "--minimise", "rudder-x", "--range",
                                          start + ":2"};
    if (json) arguments.push_back("--json");
    return runPropclear(arguments);
  };
  const ProcessResult outsideText = solveFrom("-1.6", false);
  ASSERT_EQ(outsideText.exitStatus, 0) << outsideText.err;
  EXPECT_THAT(outsideText.out, HasSubstr("bound: rudder-x \u2264 -1.600 m: the range's end \u2014 widen --range\n"));
  const nlohmann::json outside = nlohmann::json::parse(solveFrom("-1.6", true).out);
  EXPECT_EQ(outside.at("best"), -1.6);
  EXPECT_EQ(outside.at("at_range_end"), true);
  EXPECT_EQ(outside.at("binding").at("kind"), "range-end");

  const ProcessResult insideText = solveFrom("-1.7", false);
  ASSERT_EQ(insideText.exitStatus, 0) << insideText.err;
  EXPECT_THAT(insideText.out, ::testing::Not(HasSubstr("range's end")));
  const nlohmann::json inside = nlohmann::json::parse(solveFrom("-1.7", true).out);
  EXPECT_EQ(inside.at("at_range_end"), false);
  EXPECT_GT(inside.at("best").get<double>(), -1.7);
  EXPECT_LT(inside.at("best").get<double>(), -1.6);
  const nlohmann::json& binding = inside.at("binding");
  EXPECT_EQ(binding.at("kind"), "margin");
  EXPECT_NEAR(binding.at("beyond").get<double>(), inside.at("best").get<double>() - 0.0001, 1e-12);
  EXPECT_GE(binding.at("here_m").get<double>(), 0.0);
  EXPECT_LT(binding.at("beyond_m").get<double>(), 0.0);
  EXPECT_THAT(insideText.out, HasSubstr("binding: " + binding.at("name").get<std::string>() + " ("));
}

TEST_F(StudyCommands, InvalidDesignsAreNeverFeasible) {
  // A hub as large as the propeller: the largest feasible hub stays below D.
  const nlohmann::json hub = nlohmann::json::parse(
      runPropclear({"solve", design().string(), "--maximise", "hub-diameter", "--range", "0.5:10", "--json"}).out);
  ASSERT_EQ(hub.at("found"), true);
  EXPECT_LT(hub.at("best").get<double>(), fileDesign.propellerDiameter);
  // Pitch and area ratios that are not positive, and rakes of 45 degrees or
  // more, are never an answer; --write writes only a valid design.
  const fs::path written = scratch / "smallest.TSK";
  const ProcessResult pitch = runPropclear({"solve", design().string(), "--minimise", "pitch-ratio", "--range",
                                            "-5:2", "--json", "--write", written.string()});
  ASSERT_EQ(pitch.exitStatus, 0) << pitch.err;
  const nlohmann::json smallest = nlohmann::json::parse(pitch.out);
  EXPECT_GT(smallest.at("best").get<double>(), 0.0);
  EXPECT_EQ(smallest.at("binding").at("kind"), "infeasible");
  EXPECT_THAT(smallest.at("binding").at("invalid").get<std::string>(), HasSubstr("P/D = 0 is not positive"));
  EXPECT_GT(readDesignData(written).design.pitchRatio, 0.0);
  for (const auto& [name, range] : {std::pair{"area-ratio", "-2.08:0"}, std::pair{"rake", "45:60"}}) {
    EXPECT_EQ(runPropclear({"solve", design().string(), "--maximise", name, "--range", range}).exitStatus,
              noFeasibleValue)
        << name;
  }
  const test::StudyTable rows = test::parseCsv(
      runPropclear({"sweep", design().string(), "--vary", "rake=-45,44.9", "--vary", "area-ratio=-2.08"}).out);
  ASSERT_EQ(rows.rows.size(), 2u);
  EXPECT_THAT(rows.cell(0, "invalid"), HasSubstr("45 degrees or more either way"));
  EXPECT_THAT(rows.cell(1, "invalid"), HasSubstr("Ear = -2.08 is not positive"));
  EXPECT_THAT(rows.cell(1, "invalid"), ::testing::Not(HasSubstr("rake")));
}

TEST_F(StudyCommands, SolveWritesTheDesignKeepingTheTipToHeelGap) {
  const fs::path written = scratch / "largest.TSK";
  const ProcessResult solve = runPropclear({"solve", design().string(), "--maximise", "diameter",
                                            "--keep", "tip-to-heel", "--write", written.string()});
  ASSERT_EQ(solve.exitStatus, 0) << solve.err;
  const DesignData largest = readDesignData(written).design;
  EXPECT_EQ(largest.propellerDiameter, std::stod(matchIn(solve.out, R"(best: diameter = ([0-9.]+) m)")));
  EXPECT_GT(largest.propellerCentreZ, fileDesign.propellerCentreZ);
  EXPECT_NEAR(analyseStern(largest).clearances[clearanceBPrime].length,
              analyseStern(fileDesign).clearances[clearanceBPrime].length, 1e-12);
  const auto before = test::splitCrLfLines(test::readFile(design()));
  const auto after = test::splitCrLfLines(test::readFile(written));
  ASSERT_EQ(after.size(), before.size());
  for (std::size_t i = 0; i < before.size(); ++i) {
    if (i + 1 != 13 && i + 1 != 17) {
      EXPECT_EQ(after[i], before[i]) << "line " << i + 1;
    }
  }
}

TEST_F(StudyCommands, BatchGivesOneRowPerDesignFileOfAFolder) {
  const fs::path folder = scratch / "designs";
  fs::create_directories(folder / "older");
  fs::copy_file(design(), folder / "A.TSK");
  fs::copy_file(design(), folder / "older" / "ignored.TSK");
  DesignData falling = fileDesign;
  falling.contourZ[sternContourRow][3] = falling.contourZ[sternContourRow][2];
  test::writeFile(folder / "b.tsk", test::designFileText(falling));
  test::writeFile(folder / "c.TSK", test::readFile(design()).substr(0, 400));
  std::string endless = test::readFile(design());
  endless.resize(endless.find("0.000, 0.000, 99"));
  for (int line = 0; line < 260; ++line) endless += "11, 11, 1\r\n";
  test::writeFile(folder / "d.TSK", endless);
  test::writeFile(folder / "notes.txt", "not a design\n");
  test::writeFile(folder / "e.TSK", test::designFileText(withDiameter(0.0)));

  const ProcessResult batch = runPropclear({"batch", folder.string()});
  EXPECT_EQ(batch.exitStatus, test::kExitError);
  const test::StudyTable table = test::parseCsv(batch.out);
  ASSERT_EQ(table.rows.size(), 5u) << batch.out;
  const std::vector<std::pair<std::string, std::string>> expected = {{"A.TSK", "analysed"},
                                                                     {"b.tsk", "analysed"},
                                                                     {"c.TSK", "error"},
                                                                     {"d.TSK", "contour-too-long"},
                                                                     {"e.TSK", "error"}};
  for (std::size_t row = 0; row < expected.size(); ++row) {
    EXPECT_EQ(fs::path(table.cell(row, "file")).filename(), expected[row].first);
    EXPECT_EQ(table.cell(row, "ending"), expected[row].second);
  }
  EXPECT_EQ(table.cell(0, "a_m"), test::parseCsv(runPropclear({"sweep", design().string(), "--vary", "rake=10"}).out).cell(0, "a_m"));
  // A warning with commas is one quoted field.
  EXPECT_THAT(table.cell(1, "warnings"), HasSubstr("do not rise from point 2 to point 3: the fitted contour has no piece there, and"));
  EXPECT_THAT(table.cell(2, "error"), HasSubstr("c.TSK:"));
  EXPECT_EQ(table.cell(2, "a_m"), "");
  EXPECT_THAT(table.cell(3, "error"), HasSubstr("no terminator (code 99) within 251 lines"));
  // e.TSK reads, but a propeller of no diameter cannot be analysed.
  EXPECT_THAT(table.cell(4, "error"), HasSubstr("cannot compute"));
  EXPECT_EQ(table.cell(4, "a_m"), "");
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(scratch.path())) {
    EXPECT_NE(entry.path().extension(), ".SON") << entry.path();
    EXPECT_NE(entry.path().extension(), ".SCR") << entry.path();
  }

  const ProcessResult good = runPropclear(
      {"batch", (folder / "A.TSK").string(), (folder / "b.tsk").string(), "--jsonl", "-"});
  EXPECT_EQ(good.exitStatus, 0) << good.err;
  EXPECT_EQ(std::count(good.out.begin(), good.out.end(), '\n'), 2);
  EXPECT_EQ(nlohmann::json::parse(good.out.substr(0, good.out.find('\n'))).at("ending"), "analysed");
}

// The propeller file beside a design gives every study its blade, as it
// gives the plain run's; its Z must agree with the ship file's there too.
TEST_F(StudyCommands, StudiesTakeThePropellerFileBesideTheDesign) {
  const auto sweepRow = [&](const std::vector<std::string>& extra = {}) {
    std::vector<std::string> arguments = {"sweep", design().string(), "--vary", "diameter=4.6"};
    arguments.insert(arguments.end(), extra.begin(), extra.end());
    const ProcessResult sweep = runPropclear(arguments);
    EXPECT_EQ(sweep.exitStatus, 0) << sweep.err;
    return test::parseCsv(sweep.out);
  };
  const auto solveAnswer = [&] {
    return matchIn(runPropclear({"solve", design().string(), "--maximise", "diameter", "--range", "3:6"}).out,
                   "best: diameter = (\\S+) m");
  };
  const test::StudyTable bSeries = sweepRow();
  const std::string bSeriesAnswer = solveAnswer();
  fs::copy_file(test::examplesDir() / "Norvalek-skewed.propeller.toml", scratch / "Norvalek.propeller.toml");

  const nlohmann::json plain = test::plainRunResults(design());
  const test::StudyTable swept = sweepRow();
  const test::StudyTable batch = test::parseCsv(runPropclear({"batch", design().string()}).out);
  for (const std::string& name : clearances) {
    SCOPED_TRACE(name);
    const nlohmann::json& clearance = test::clearanceOf(plain, name);
    EXPECT_EQ(swept.number(0, name + "_m"), clearance.at("length_m").get<double>());
    EXPECT_EQ(swept.number(0, name + "_gap_m"), clearance.at("signedLength").get<double>());
    EXPECT_EQ(batch.number(0, name + "_gap_m"), clearance.at("signedLength").get<double>());
  }
  // The skewed five-bladed outline is not the B-series one: a grows, and
  // the largest diameter without an overlap moves.
  EXPECT_GT(swept.number(0, "a_m"), bSeries.number(0, "a_m") + 0.1);
  EXPECT_NE(solveAnswer(), bSeriesAnswer);

  // The ship file's Z = 4 contradicts the propeller file's 5 in every
  // command, and --ship-set blades=5 settles it: the skewed blade meets LR's
  // minima where the B-series one falls short on a.
  fs::copy_file(test::examplesDir() / "Norvalek.ship.toml", scratch / "Norvalek.ship.toml");
  for (const std::vector<std::string>& command :
       {std::vector<std::string>{"sweep", design().string(), "--vary", "diameter=4.6"},
        {"solve", design().string(), "--maximise", "diameter"}}) {
    const ProcessResult refused = runPropclear(command);
    EXPECT_EQ(refused.exitStatus, test::kExitError) << command.front();
    EXPECT_THAT(refused.err, HasSubstr("Norvalek.propeller.toml:7: blades = 5: must agree with the ship file's blades = 4"));
  }
  const test::StudyTable batchRefused = test::parseCsv(runPropclear({"batch", design().string()}).out);
  EXPECT_THAT(batchRefused.cell(0, "error"), HasSubstr("Norvalek.propeller.toml:7: blades = 5"));
  EXPECT_EQ(sweepRow({"--ship-set", "blades=5"}).cell(0, "status"), "meets");
}

// --propeller FILE gives every study the blade it gives the plain run, in
// place of the propeller file beside the design; no output may replace it.
TEST_F(StudyCommands, StudiesTakeThePropellerFileTheOptionNames) {
  test::writeFile(scratch / "Norvalek.propeller.toml", "blades = 99\n");  // refused if read
  fs::create_directory(scratch / "outlines");
  const fs::path named = scratch / "outlines" / "skewed.toml";
  fs::copy_file(test::examplesDir() / "Norvalek-skewed.propeller.toml", named);
  const auto withOption = [&](std::vector<std::string> arguments) {
    arguments.insert(arguments.end(), {"--propeller", named.string()});
    return runPropclear(arguments);
  };
  const auto solveAnswer = [&](const ProcessResult& solve) {
    EXPECT_EQ(solve.exitStatus, 0) << solve.err;
    return matchIn(solve.out, "best: diameter = (\\S+) m");
  };

  const nlohmann::json plain = test::plainRunResults(design(), {"--propeller", named.string()});
  const ProcessResult sweep = withOption({"sweep", design().string(), "--vary", "diameter=4.6"});
  const ProcessResult batch = withOption({"batch", design().string()});
  ASSERT_EQ(sweep.exitStatus, 0) << sweep.err;
  ASSERT_EQ(batch.exitStatus, 0) << batch.err;
  const test::StudyTable swept = test::parseCsv(sweep.out);
  const test::StudyTable batched = test::parseCsv(batch.out);
  for (const std::string& name : clearances) {
    SCOPED_TRACE(name);
    const double gap = test::clearanceOf(plain, name).at("signedLength").get<double>();
    EXPECT_EQ(swept.number(0, name + "_gap_m"), gap);
    EXPECT_EQ(batched.number(0, name + "_gap_m"), gap);
  }
  const std::string answer =
      solveAnswer(withOption({"solve", design().string(), "--maximise", "diameter", "--range", "3:6"}));

  const ProcessResult overIt =
      withOption({"sweep", design().string(), "--vary", "diameter=4.6", "--csv", named.string()});
  EXPECT_EQ(overIt.exitStatus, test::kExitError);
  EXPECT_THAT(overIt.err, HasSubstr("--csv: the output would replace the input " + named.string()));
  EXPECT_EQ(test::readFile(named), test::readFile(test::examplesDir() / "Norvalek-skewed.propeller.toml"));

  // The same blade beside the design gives the same answer.
  fs::copy_file(named, scratch / "Norvalek.propeller.toml", fs::copy_options::overwrite_existing);
  EXPECT_EQ(solveAnswer(runPropclear({"solve", design().string(), "--maximise", "diameter", "--range",
                                      "3:6"})),
            answer);
}

TEST_F(StudyCommands, BatchGoesOnPastFilesThatGiveNoDesign) {
  fs::create_symlink("loop.TSK", scratch / "loop.TSK");
  const ProcessResult batch = runPropclear({"batch", (scratch / "missing.TSK").string(),
                                            (scratch / "loop.TSK").string(), design().string()});
  EXPECT_EQ(batch.exitStatus, test::kExitError);
  const test::StudyTable table = test::parseCsv(batch.out);
  ASSERT_EQ(table.rows.size(), 3u) << batch.out << batch.err;
  EXPECT_EQ(table.cell(0, "ending"), "error");
  EXPECT_THAT(table.cell(0, "error"), HasSubstr("missing.TSK: no such file or folder"));
  EXPECT_EQ(table.cell(1, "ending"), "error");
  EXPECT_THAT(table.cell(1, "error"), HasSubstr("loop.TSK: "));
  EXPECT_EQ(table.cell(2, "ending"), "analysed");
  EXPECT_EQ(batch.err, "3 designs: 1 completed, 2 failed\n");
}

TEST_F(StudyCommands, SweepPlotsAreImagesOfTheirOwnSize) {
  const fs::path png = scratch / "sweep.png";
  const ProcessResult line = runPropclear({"sweep", design().string(), "--vary", "diameter=4.0:5.5:0.01",
                                           "--csv", (scratch / "rows.csv").string(), "--plot", png.string()});
  if (line.err.find("cannot save images") != std::string::npos) GTEST_SKIP() << "a build without Qt Charts";
  ASSERT_EQ(line.exitStatus, 0) << line.err;
  EXPECT_EQ(line.err, "");
  EXPECT_EQ(test::parseCsv(test::readFile(scratch / "rows.csv")).rows.size(), 151u);
  std::string image = test::readFile(png);
  ASSERT_GT(image.size(), 24u);
  EXPECT_EQ(image.substr(1, 3), "PNG");
  const auto bigEndian = [&](std::size_t at) {
    return (static_cast<unsigned char>(image[at]) << 24) | (static_cast<unsigned char>(image[at + 1]) << 16) |
           (static_cast<unsigned char>(image[at + 2]) << 8) | static_cast<unsigned char>(image[at + 3]);
  };
  EXPECT_EQ(bigEndian(16), 1200);
  EXPECT_EQ(bigEndian(20), 760);
  ASSERT_EQ(runPropclear({"sweep", design().string(), "--vary", "diameter=4.0:5.5:0.1", "--csv", "/dev/null",
                          "--plot", png.string(), "--plot-size", "800x500"})
                .exitStatus,
            0);
  image = test::readFile(png);
  ASSERT_GT(image.size(), 24u);
  EXPECT_EQ(bigEndian(16), 800);
  EXPECT_EQ(bigEndian(20), 500);

  const fs::path svg = scratch / "map.svg";
  const ProcessResult map = runPropclear({"sweep", design().string(), "--vary", "diameter=4:5.5:0.1", "--vary",
                                          "centre-z=2.4:3.4:0.1", "--csv", "/dev/null", "--plot", svg.string()});
  ASSERT_EQ(map.exitStatus, 0) << map.err;
  EXPECT_THAT(test::readFile(svg), HasSubstr("Clearances of Norvalek.TSK against diameter and centre-z"));
  EXPECT_THAT(test::readFile(svg), HasSubstr("Largest D with nothing overlapping: "));
}

}  // namespace
}  // namespace propclear

namespace propclear {
namespace {

// A study judges by the ship file beside the design, as the plain run does;
// --rules none by no rules at all.
TEST(StudyRulesByDefault, SolveInTheExampleFolderTakesTheShipFilesRules) {
  const std::string example = (test::examplesDir() / "Norvalek.TSK").string();
  const auto best = [&](std::vector<std::string> options) {
    std::vector<std::string> args = {"solve", example, "--maximise", "diameter"};
    args.insert(args.end(), options.begin(), options.end());
    const test::ProcessResult solve = test::runPropclear(args);
    EXPECT_EQ(solve.exitStatus, 0) << solve.err;
    const std::size_t at = solve.out.find("best: ");
    return at == std::string::npos ? solve.out : solve.out.substr(at, solve.out.find('\n', at) - at);
  };
  const std::string byShipFile = best({});
  EXPECT_EQ(byShipFile, "best: diameter = 3.7569 m");
  EXPECT_EQ(byShipFile, best({"--rules", "lr-recommended"}));
  EXPECT_EQ(best({"--rules", "none"}), "best: diameter = 5.0002 m");
  // Another ship file given by --ship, here one that names the tip guidance only.
  const test::ScratchDir dir;
  test::writeFile(dir / "tip.toml", "skew = \"none\"\nrule_sets = [\"tip-guidance\"]\n");
  EXPECT_EQ(best({"--ship", (dir / "tip.toml").string()}), best({"--rules", "none"}))
      << "the tip guidance is informative: geometry decides";
}

}  // namespace
}  // namespace propclear

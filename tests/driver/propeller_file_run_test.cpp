// The propeller file through whole runs: the B-series outline written as a
// table gives what the run without one gives, on the example and on 200
// varied designs; a skewed five-bladed propeller's outline in the JSON
// results is the side-view projection of its table; a bad file touches no
// file.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdint>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "design/read_design_data.h"
#include "driver/run.h"
#include "driver/terminal_platform.h"
#include "sample_design.h"
#include "test_support.h"

namespace propclear {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

// The B-series outline as the series publishes it (r/R, c Z / (D Ear), a / c).
constexpr double kRadiusRatio[] = {0.2, 0.3, 0.4, 0.5, 0.6, 0.7, 0.8, 0.9, 0.95, 0.975, 1.0};
constexpr double kChordFactor[] = {1.662, 1.882, 2.05,  2.152, 2.187, 2.144,
                                   1.97,  1.582, 1.016, 0.574, 0.05};
constexpr double kEdgeFactor[] = {0.617, 0.613, 0.601, 0.586, 0.561, 0.524,
                                  0.463, 0.351, 0.22,  0.123, 0.005};

std::string bSeriesTable(double areaRatio) {
  PropellerTable table;
  for (std::size_t i = 0; i < std::size(kRadiusRatio); ++i) {
    table.radiusRatio.push_back(kRadiusRatio[i]);
    table.chordPerDiameter.push_back(kChordFactor[i] * areaRatio / 4.0);
    table.edge2PerChord.push_back(kEdgeFactor[i]);
    table.skewDegrees.push_back(0.0);
  }
  return test::propellerFileText(table);
}

struct RunResult {
  Ending ending = Ending::Error;
  std::string messages;
  std::optional<std::string> report, script, results;
};

std::optional<std::string> fileIfAny(const fs::path& path) {
  if (!fs::exists(path)) return std::nullopt;
  return test::readFile(path);
}

RunResult runIn(const fs::path& folder, const std::vector<std::string>& propellerOption = {}) {
  RunOptions options;
  options.workDir = folder;
  options.noWindow = true;
  options.answer.emplace(1, 'H');
  options.jsonFile = (folder / "results.json").string();
  if (!propellerOption.empty()) options.propellerFile = propellerOption.front();
  std::istringstream noInput;
  std::ostringstream promptOutput, messages;
  TerminalPlatform platform(options.answer, noInput, promptOutput);
  RunResult result;
  result.ending = runDesign(options, platform, messages).ending;
  result.messages = messages.str();
  result.report = fileIfAny(folder / "Norvalek.SON");
  result.script = fileIfAny(folder / "Norvalek.SCR");
  result.results = fileIfAny(folder / "results.json");
  for (const char* name : {"Norvalek.SON", "Norvalek.SCR", "results.json"}) fs::remove(folder / name);
  return result;
}

// Every member of `plain` in `table` with the same value, numbers within
// 1e-9; `table` may add members of its own.
void expectSameNumbers(const json& plain, const json& table, const std::string& path) {
  if (plain.is_object()) {
    ASSERT_TRUE(table.is_object()) << path;
    for (const auto& [key, value] : plain.items()) {
      ASSERT_TRUE(table.contains(key)) << path << "/" << key;
      expectSameNumbers(value, table[key], path + "/" + key);
    }
  } else if (plain.is_array()) {
    ASSERT_EQ(plain.size(), table.size()) << path;
    for (std::size_t i = 0; i < plain.size(); ++i) {
      expectSameNumbers(plain[i], table[i], path + "[" + std::to_string(i) + "]");
    }
  } else if (plain.is_number_float() && table.is_number()) {
    EXPECT_NEAR(plain.get<double>(), table.get<double>(), 1e-9) << path;
  } else {
    EXPECT_EQ(plain, table) << path;
  }
}

// The script's lines the same, but for coordinates (millimetres) within
// 1e-6 mm: the table's c / D times D may differ from the series' D c Z /
// (D Ear) times Ear / Z in the last bit.
void expectSameScript(const std::string& plain, const std::string& table) {
  const std::vector<std::string> plainLines = test::splitCrLfLines(plain);
  const std::vector<std::string> tableLines = test::splitCrLfLines(table);
  ASSERT_EQ(plainLines.size(), tableLines.size());
  for (std::size_t i = 0; i < plainLines.size(); ++i) {
    if (plainLines[i] == tableLines[i]) continue;
    double x1 = 0, z1 = 0, x2 = 0, z2 = 0;
    char end1 = 0, end2 = 0;
    ASSERT_EQ(std::sscanf(plainLines[i].c_str(), "%lf,%lf%c", &x1, &z1, &end1), 2) << plainLines[i];
    ASSERT_EQ(std::sscanf(tableLines[i].c_str(), "%lf,%lf%c", &x2, &z2, &end2), 2) << tableLines[i];
    EXPECT_NEAR(x1, x2, 1e-6) << "line " << i + 1;
    EXPECT_NEAR(z1, z2, 1e-6) << "line " << i + 1;
  }
}

void expectTableRunsAsPlain(const DesignData& design) {
  test::ScratchDir folder;
  test::writeFile(folder / "Norvalek.TSK", test::designFileText(design));
  const RunResult plain = runIn(folder.path());
  test::writeFile(folder / "Norvalek.propeller.toml", bSeriesTable(design.areaRatio));
  const RunResult table = runIn(folder.path());
  ASSERT_EQ(plain.ending, table.ending) << plain.messages << "\n" << table.messages;
  EXPECT_EQ(plain.report, table.report);
  ASSERT_EQ(plain.script.has_value(), table.script.has_value());
  if (plain.script) expectSameScript(*plain.script, *table.script);
  ASSERT_EQ(plain.results.has_value(), table.results.has_value());
  if (!plain.results) return;
  const json tableResults = json::parse(*table.results);
  expectSameNumbers(json::parse(*plain.results), tableResults, "");
  EXPECT_EQ(tableResults["propeller"]["blades"], 4);
  EXPECT_EQ(tableResults["propeller"]["outline"].size(), std::size(kRadiusRatio));
}

DesignData exampleDesign() {
  ReadResult read = readDesignData(test::examplesDir() / "Norvalek.TSK");
  return read.design;
}

TEST(PropellerFileRun, TheBSeriesAsATableGivesThePlainRunsOutputsOnTheExample) {
  expectTableRunsAsPlain(exampleDesign());
}

TEST(PropellerFileRun, TheBSeriesAsATableGivesThePlainRunsOutputsOn200VariedDesigns) {
  std::mt19937 generator(20261207);
  const auto within = [&](double low, double high) {
    return low + (high - low) * static_cast<double>(generator()) / 4294967296.0;
  };
  const DesignData example = exampleDesign();
  for (int k = 0; k < 200; ++k) {
    DesignData design = example;
    design.propellerDiameter = within(3.4, 5.4);
    design.hubDiameter = within(0.5, 1.1);
    design.pitchRatio = within(0.5, 1.4);
    design.areaRatio = within(0.35, 1.0);
    design.rakeAngle = within(-5.0, 15.0);
    design.propellerCentreX += within(-0.4, 0.4);
    design.propellerCentreZ += within(-0.3, 0.3);
    SCOPED_TRACE("design " + std::to_string(k));
    expectTableRunsAsPlain(design);
    if (HasFatalFailure()) return;
  }
}

TEST(PropellerFileRun, ASkewedFiveBladedOutlineIsTheProjectionOfItsTable) {
  test::ScratchDir folder;
  const DesignData design = exampleDesign();
  test::writeFile(folder / "Norvalek.TSK", test::readFile(test::examplesDir() / "Norvalek.TSK"));
  const PropellerTable skewed = test::skewedFiveBladedPropeller();
  test::writeFile(folder / "skewed.toml", test::propellerFileText(skewed));
  const RunResult run = runIn(folder.path(), {"skewed.toml"});
  ASSERT_EQ(run.ending, Ending::Completed) << run.messages;
  ASSERT_TRUE(run.results);
  const json propeller = json::parse(*run.results)["propeller"];
  EXPECT_EQ(propeller["blades"], 5);
  EXPECT_EQ(propeller["hubLength_m"], 1.3);
  ASSERT_EQ(propeller["outline"].size(), skewed.radiusRatio.size());
  // pi and 2 pi as the established outline takes them.
  const double pi = 3.141592654, twoPi = 6.2831853, d = design.propellerDiameter;
  for (std::size_t i = 0; i < skewed.radiusRatio.size(); ++i) {
    const double r = skewed.radiusRatio[i] * d / 2, c = skewed.chordPerDiameter[i] * d;
    const double a = skewed.edge2PerChord[i] * c;
    const double h = skewed.pitchRatio[i] * d / twoPi, k = skewed.rakePerDiameter[i] * d;
    const json& station = propeller["outline"][i];
    EXPECT_NEAR(station["r"].get<double>(), r, 1e-12);
    for (const auto& [edge, s] : {std::pair{"edge1", a - c}, std::pair{"edge2", a}}) {
      const double theta = -skewed.skewDegrees[i] * pi / 180 + s / std::sqrt(h * h + r * r);
      EXPECT_NEAR(station[edge]["x"].get<double>(), k - h * theta, 1e-9) << i << edge;
      EXPECT_NEAR(station[edge]["z"].get<double>(), r * std::cos(theta), 1e-9) << i << edge;
    }
  }
  EXPECT_NE(run.report->find(" Kanat Sayisi --------- Z = 5\r\n"), std::string::npos);
}

TEST(PropellerFileRun, ABadPropellerFileNamesItsLineAndTouchesNoFile) {
  test::ScratchDir folder;
  test::writeFile(folder / "Norvalek.TSK", test::readFile(test::examplesDir() / "Norvalek.TSK"));
  test::writeFile(folder / "Norvalek.SON", "earlier report\r\n");
  test::writeFile(folder / "Norvalek.SCR", "earlier script\r\n");
  std::string table = test::propellerFileText(test::skewedFiveBladedPropeller());
  table.replace(table.find("r_over_R = [0.2"), 15, "r_over_R = [0.5");
  test::writeFile(folder / "Norvalek.propeller.toml", table);
  const RunResult run = runIn(folder.path());
  EXPECT_EQ(run.ending, Ending::Error);
  EXPECT_NE(run.messages.find("Norvalek.propeller.toml:4: [outline] r_over_R = [0.5, 0.3"),
            std::string::npos)
      << run.messages;
  EXPECT_NE(run.messages.find("must rise from root to tip"), std::string::npos);
  EXPECT_EQ(run.report, "earlier report\r\n");
  EXPECT_EQ(run.script, "earlier script\r\n");
  EXPECT_EQ(run.results, std::nullopt);
}

}  // namespace
}  // namespace propclear

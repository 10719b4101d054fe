// What a sweep plot answers, read back from its layout: the headline of the
// example's diameter sweep under the ship file's rules and without rules, the panels'
// signed gaps and crossings, and the map's zero contour and design mark.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "plot/sweep_plot_layout.h"
#include "studies/study_rules.h"
#include "studies/sweep.h"
#include "support/test_support.h"

namespace propclear {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::StartsWith;

class SweepPlotAnswers : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"Norvalek.TSK", "Norvalek.ship.toml"}) {
      fs::copy_file(test::examplesDir() / name, scratch.path() / name);
    }
  }

  // The plot the sweep hands over for saving; without --rules the designs
  // are judged by the ship file's rule sets (the example's: lr-recommended).
  SweepPlot plotOf(const std::vector<std::string>& varied, const std::string& ruleSets = {}) {
    SweepOptions options;
    options.designFile = scratch.path() / "Norvalek.TSK";
    for (const std::string& text : varied) options.varied.push_back(parseVariedParameter(text, "--vary"));
    options.rules = parseStudyRuleRequest({}, ruleSets, {});
    options.target = (scratch.path() / "rows.csv").string();
    options.plotFile = scratch.path() / "plot.png";
    options.threads = 2;
    SweepPlot plot;
    std::ostringstream messages;
    runSweep(options, [&](const SweepPlot& made, const fs::path&) { plot = made; }, messages);
    return plot;
  }

  test::ScratchDir scratch;
};

const SweepPanel& panelOf(const SweepPlot& plot, const std::string& clearance) {
  const auto found = std::find_if(plot.panels.begin(), plot.panels.end(),
                                  [&](const SweepPanel& panel) { return panel.clearance == clearance; });
  EXPECT_NE(found, plot.panels.end()) << clearance;
  return *found;
}

TEST_F(SweepPlotAnswers, TheDiameterSweepNamesTheLargestDiameterAndWhatBindsIt) {
  const SweepPlot plot = plotOf({"diameter=3:6:0.01"});
  const SweepPlotLayout layout = layoutSweepPlot(plot);
  // The same answer as the solve, 3.7569 m, to a millimetre, with no --rules.
  EXPECT_EQ(layout.headline, "Largest D meeting every rule: 3.757 m \u2014 bound by a (lr-recommended a)");
  ASSERT_EQ(layout.panelBoxes.size(), 6u);
  EXPECT_LT(layout.headlineBox.top + layout.headlineBox.height, layout.panelBoxes.front().top);
  for (const LayoutBox& box : layout.panelBoxes) {
    EXPECT_LE(box.left + box.width, 1200.0);
    EXPECT_LE(box.top + box.height, 760.0);
  }
  // a's panel stops meeting at the answer; b' goes below zero past the heel
  // (signed, never turning round at zero) and is marked where it crosses.
  const SweepPanel& a = panelOf(plot, "a");
  ASSERT_FALSE(a.crossings.empty());
  EXPECT_EQ(a.crossings.front().text, "3.757 m");
  const SweepPanel& bPrime = panelOf(plot, "b'");
  ASSERT_TRUE(bPrime.gapMetres.back().has_value());
  EXPECT_LT(*bPrime.gapMetres.back(), -0.4);
  for (std::size_t i = 1; i < bPrime.gapMetres.size(); ++i) {
    EXPECT_LT(bPrime.gapMetres[i].value_or(0.0), bPrime.gapMetres[i - 1].value_or(0.0)) << plot.x[i];
  }
  ASSERT_FALSE(bPrime.crossings.empty());
  EXPECT_EQ(plot.currentX, 4.6);
  EXPECT_EQ(plot.currentLabel, "Norvalek.TSK: 4.6 m");
}

TEST_F(SweepPlotAnswers, TheHeadlineSaysWhyNoValueFitsOrThatTheSweepEndsFirst) {
  EXPECT_THAT(layoutSweepPlot(plotOf({"diameter=4:5.5:0.01"})).headline,
              StartsWith("No D from 4 to 5.5 m meets every rule \u2014 nearest at 4 m: a (lr-recommended a) short by "));
  EXPECT_EQ(layoutSweepPlot(plotOf({"diameter=3:3.5:0.1"})).headline,
            "Largest D meeting every rule: \u2265 3.500 m \u2014 the sweep's end");
  EXPECT_THAT(layoutSweepPlot(plotOf({"diameter=4:5.5:0.01"}, "none")).headline,
              StartsWith("Largest D with nothing overlapping: 5.0"));
}

TEST_F(SweepPlotAnswers, TheMapDrawsTheZeroContourAndMarksTheDesign) {
  const SweepPlot map = plotOf({"diameter=4:5.5:0.1", "centre-z=2.4:3.4:0.1"}, "none");
  ASSERT_FALSE(map.zeroContour.empty());
  for (const ContourSegment& segment : map.zeroContour) {
    EXPECT_GE(segment.x1, 4.0);
    EXPECT_LE(segment.x1, 5.5);
  }
  EXPECT_EQ(map.feasible.size(), map.smallestMargin.size());
  EXPECT_TRUE(map.currentSecond.has_value());
  EXPECT_THAT(layoutSweepPlot(map).headline, StartsWith("Largest D with nothing overlapping: "));
  EXPECT_EQ(layoutSweepPlot(map).panelBoxes.size(), 1u);
}

}  // namespace
}  // namespace propclear

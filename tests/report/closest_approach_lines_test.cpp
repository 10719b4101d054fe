#include "report/closest_approach_lines.h"

#include <gtest/gtest.h>

#include "sample_design.h"

namespace propclear {
namespace {

// One line per structure in the analysis's order; without a swept volume one
// line that says why, never an empty answer to --closest.
TEST(ClosestApproachLines, OnePerStructureOrOneSayingThereIsNone) {
  const DesignData design = test::sampleDesign();
  const SternAnalysis analysis = analyseStern(design);
  const std::vector<std::string> lines = closestApproachLines(design, analysis);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0].rfind("closest approach: stern contour ", 0), 0u) << lines[0];
  EXPECT_EQ(lines[1].rfind("closest approach: rudder leading edge ", 0), 0u) << lines[1];
  EXPECT_EQ(lines[2].rfind("closest approach: heel ", 0), 0u) << lines[2];

  DesignData negative = design;
  negative.propellerDiameter = -4.6;
  EXPECT_EQ(closestApproachLines(negative, analyseStern(negative)),
            std::vector<std::string>{"closest approach: none, the propeller sweeps no volume (its "
                                     "diameter is not positive)"});
}

}  // namespace
}  // namespace propclear

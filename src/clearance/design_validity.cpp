#include "clearance/design_validity.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "clearance/segment_support.h"
#include "common/format_number.h"

namespace propclear {

namespace {

void checkPropeller(const DesignData& design, std::vector<std::string>& problems) {
  const double d = design.propellerDiameter;
  if (d < 0.0) {
    problems.push_back("the propeller diameter D = " + metresText(d) +
                       " is negative: the blade stations fall, no 0.7R point is found and "
                       "clearances a, c, a' and c' are measured from x = 0, z = 0");
  }
  if (design.hubDiameter >= d) {
    problems.push_back("the hub diameter Dh = " + metresText(design.hubDiameter) +
                       " is not smaller than the propeller diameter D = " + metresText(d) +
                       ": the blade outline is meaningless");
  }
  const auto positiveRatio = [&](const char* name, double value) {
    if (!(value > 0.0)) {
      problems.push_back(std::string(name) + " = " + formatShortest(value, name) +
                         " is not positive: the blade outline is meaningless");
    }
  };
  positiveRatio("the pitch ratio P/D", design.pitchRatio);
  positiveRatio("the blade area ratio Ear", design.areaRatio);
  if (!(std::abs(design.rakeAngle) < rakeLimitDegrees)) {
    problems.push_back("the rake = " + formatShortest(design.rakeAngle, "the rake") +
                       " degrees is 45 degrees or more either way: the blade outline is "
                       "meaningless");
  }
}

void checkSternContour(const DesignData& design, std::vector<std::string>& problems) {
  const int n = design.contourPointCount[sternContourRow];
  const auto& heights = design.contourZ[sternContourRow];
  for (int k = 2; k <= n; ++k) {
    if (!(heights[k] > heights[k - 1])) {
      problems.push_back("the stern contour's heights do not rise from point " +
                         std::to_string(k - 1) + " to point " + std::to_string(k) +
                         ": the fitted contour has no piece there, and queries at such heights "
                         "measure to x = 0");
      return;
    }
  }
  if (n < 1 || !(design.propellerDiameter > 0.0)) return;
  const double top = *std::max_element(heights.begin() + 1, heights.begin() + n + 1);
  const double tip = design.propellerCentreZ + 0.5 * design.propellerDiameter;
  if (top < tip) {
    problems.push_back("the stern contour's highest point z = " + metresText(top) +
                       " lies below the upper blade tip z = " + metresText(tip) +
                       ": clearance b has no contour above the tip");
  }
}

}  // namespace

std::vector<std::string> designValidityProblems(const DesignData& design) {
  std::vector<std::string> problems;
  checkPropeller(design, problems);
  checkSternContour(design, problems);
  return problems;
}

}  // namespace propclear

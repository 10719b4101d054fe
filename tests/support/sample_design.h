#pragma once
// A small, plausible stern for tests that need whole design data: a
// 4.6 m propeller between a stern frame (smaller x) and a rudder (larger x).

#include <initializer_list>
#include <string>

#include "assessment/assessment.h"
#include "design/design_data.h"
#include "plot/drawing_surface.h"

namespace propclear::test {

struct ContourPoint {
  double z;
  double x;
  double code;
};

// Sets the stern contour to `points`.
void setContour(DesignData& design, std::initializer_list<ContourPoint> points);

DesignData sampleDesign();

// A design with its assessment (no rules), and the stern plot with the
// clearances drawn into `surface` as a run draws them.
struct SampleRun {
  DesignData design;
  Assessment assessment;
  const SternAnalysis& analysis;
  DrawingSurface surface;

  explicit SampleRun(const DesignData& sample);
  SampleRun(const SampleRun&) = delete;
};

}  // namespace propclear::test

namespace propclear::test {

// The design file text for `design` in the established line layout, with
// captions on the skipped lines and CR LF line ends.
std::string designFileText(const DesignData& design);

// A five-bladed propeller skewed 25 degrees at the tip, with a pitch and a
// rake of its own and a hub 1.3 m long, tabulated at radii that do not hold
// 0.7R.
PropellerTable skewedFiveBladedPropeller();

// The propeller file for `table`, every number in its shortest exact form.
std::string propellerFileText(const PropellerTable& table);

}  // namespace propclear::test

#include "sample_design.h"

#include <charconv>

#include "plot/draw_stern_plot.h"

namespace propclear::test {

void setContour(DesignData& design, std::initializer_list<ContourPoint> points) {
  int k = 0;
  for (const ContourPoint& point : points) {
    ++k;
    design.contourZ[sternContourRow][k] = point.z;
    design.contourX[sternContourRow][k] = point.x;
    design.contourCode[sternContourRow][k] = point.code;
  }
  design.contourPointCount[sternContourRow] = k;
}

SampleRun::SampleRun(const DesignData& sample)
    : design(sample), assessment(assess(design, {})), analysis(assessment.analysis) {
  drawSternPlot(design, analysis, surface);
  drawClearances(design, assessment, surface);
  drawSweptVolume(analysis, surface);
}

DesignData sampleDesign() {
  DesignData design;
  design.propellerCentreX = 4.0;
  design.propellerCentreZ = 2.8;
  design.waterlineHeight = 7.2;
  design.propellerDiameter = 4.6;
  design.hubDiameter = 0.85;
  design.pitchRatio = 0.8;
  design.areaRatio = 0.55;
  design.rakeAngle = 10.0;
  const double rudderX[] = {0, 7.9, 7.9, 6.6, 6.6};
  const double rudderZ[] = {0, 0.6, 6.2, 6.2, 0.6};
  for (int i = 1; i <= 4; ++i) {
    design.rudderX[i] = rudderX[i];
    design.rudderZ[i] = rudderZ[i];
  }
  setContour(design, {{0.2, 1.2, 1},
                      {1.0, 1.3, 1},
                      {2.0, 1.35, 1},
                      {3.0, 1.4, 1},
                      {4.0, 1.6, 1},
                      {5.0, 2.1, 1},
                      {5.8, 3.2, 1},
                      {6.3, 4.6, 1},
                      {6.6, 6.0, 1}});
  return design;
}

}  // namespace propclear::test

namespace propclear::test {

namespace {

// Shortest round-trip text of a double, independent of the locale.
std::string number(double value) {
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

}  // namespace

std::string designFileText(const DesignData& d) {
  std::string text;
  auto line = [&text](const std::string& content) { text += content + "\r\n"; };
  for (int i = 1; i <= 10; ++i) line("TEST STERN - header line " + std::to_string(i));
  line("PROPELLER CENTRE");
  line("x (m), z (m)");
  line(number(d.propellerCentreX) + ", " + number(d.propellerCentreZ));
  line("DESIGN WATERLINE z (m)");
  line(number(d.waterlineHeight));
  line("D (m), Dh (m)");
  line(number(d.propellerDiameter) + ", " + number(d.hubDiameter));
  line("PROPELLER DATA");
  line("P/D, Ear, rake (deg)");
  line(number(d.pitchRatio) + ", " + number(d.areaRatio) + ", " + number(d.rakeAngle));
  line("RUDDER");
  line("corner points 1 to 4");
  line("x (m), z (m)");
  for (int i = 1; i <= 4; ++i) line(number(d.rudderX[i]) + ", " + number(d.rudderZ[i]));
  line("STERN CONTOUR");
  line("z (m), x (m), code");
  for (int k = 1; k <= d.contourPointCount[sternContourRow]; ++k) {
    line(number(d.contourZ[sternContourRow][k]) + ", " + number(d.contourX[sternContourRow][k]) +
         ", " + number(d.contourCode[sternContourRow][k]));
  }
  line("0, 0, 99");
  return text;
}

}  // namespace propclear::test

// Reading the entities of a drawing, and tracing the shapes that are easy
// to get wrong: bulges, arcs drawn from below, rudders drawn from any corner.

#include "dxf/dxf_drawing.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>

#include "common/run_error.h"
#include "import/traced_path.h"
#include "import/traced_rudder.h"
#include "import_invariants.h"
#include "support/test_support.h"

namespace propclear {
namespace {

DxfDrawing entitiesOf(const std::string& entities) {
  return parseDxfDrawing(
      "999\nwritten by hand\n0\nSECTION\n2\nHEADER\n9\n$ACADVER\n1\nAC1015\n9\n$INSUNITS\n70\n6\n"
      "0\nENDSEC\n0\nSECTION\n2\nENTITIES\n" +
          entities + "0\nENDSEC\n0\nEOF\n",
      "d.dxf");
}

TEST(DxfDrawing, ReadsTheEntitiesOfTheModelSpaceWithTheirLayersAndHandles) {
  const DxfDrawing d = entitiesOf(
      "0\nLINE\n5\nA1\n8\nSTERN\n10\n1\n20\n2\n30\n0\n11\n3\n21\n4\n"
      "0\nLINE\n8\nSHEET\n67\n1\n10\n0\n20\n0\n11\n1\n21\n1\n"  // paper space: left out
      "0\nPOLYLINE\n8\nP\n66\n1\n70\n1\n0\nVERTEX\n8\nP\n10\n0\n20\n0\n42\n1\n0\nVERTEX\n8\nP\n10\n"
      "2\n20\n0\n"
      "0\nSEQEND\n8\nP\n"
      "0\nARC\n8\nA\n10\n5\n20\n0\n40\n1\n50\n0\n51\n90\n210\n0\n220\n0\n230\n-1\n"
      "0\nSPLINE\n8\nS\n71\n1\n40\n0\n40\n0\n40\n1\n40\n1\n10\n0\n20\n0\n10\n4\n20\n2\n"
      "0\nTEXT\n8\nT\n1\nhello\n");
  EXPECT_EQ(d.version, "AC1015");
  EXPECT_EQ(d.insertionUnits, 6);
  ASSERT_EQ(d.entities.size(), 5u);
  EXPECT_EQ(d.entities[0].handle, "A1");
  EXPECT_EQ(d.entities[0].vertices[1].at.y, 4.0);
  EXPECT_TRUE(d.entities[1].closed);
  ASSERT_EQ(d.entities[1].vertices.size(), 2u);
  EXPECT_EQ(d.entities[1].vertices[0].bulge, 1.0);
  // Drawn from below, the arc about (5, 0) from 0 to 90 degrees is the arc
  // about (-5, 0) from 90 to 180 degrees.
  EXPECT_EQ(d.entities[2].centre.x, -5.0);
  EXPECT_EQ(d.entities[2].startAngle, 90.0);
  EXPECT_EQ(d.entities[2].endAngle, 180.0);
  EXPECT_EQ(d.entities[3].spline.controlPoints.size(), 2u);
  EXPECT_EQ(d.entities[4].shape, DxfShape::Other);
}

TEST(TracedPath, BulgesAndSplinesFollowTheirCurves) {
  const DxfDrawing d = entitiesOf(
      "0\nLWPOLYLINE\n8\nP\n90\n2\n10\n0\n20\n0\n42\n1\n10\n2\n20\n0\n"  // a half circle,
                                                                         // counter-clockwise
      "0\nSPLINE\n8\nS\n71\n2\n40\n0\n40\n0\n40\n0\n40\n1\n40\n1\n40\n1\n"
      "41\n1\n41\n0.7071067811865476\n41\n1\n10\n1\n20\n0\n10\n1\n20\n1\n10\n0\n20\n1\n");  // a
                                                                                            // quarter
                                                                                            // circle
  DrawingFrame metres;
  metres.unitsPerMetre = 1.0;
  const TracedPath half = tracePath(d.entities[0], metres, 1e-4, "d.dxf");
  const TracedPath quarter = tracePath(d.entities[1], metres, 1e-4, "d.dxf");
  ASSERT_GT(half.points.size(), 10u);
  for (const FramePoint& p : half.points) {
    EXPECT_NEAR(std::hypot(p.x - 1.0, p.z), 1.0, 1e-12);
    EXPECT_LE(p.z, 1e-12);  // counter-clockwise from (0, 0) to (2, 0) passes below
  }
  for (const FramePoint& p : quarter.points) EXPECT_NEAR(std::hypot(p.x, p.z), 1.0, 1e-12);
  EXPECT_NEAR(quarter.points.back().x, 0.0, 1e-12);
}

TEST(TracedRudder, NumbersTheCornersFromTheAftLowerOneWhereverTheOutlineStarts) {
  const double x[] = {9.1, 8.9, 6.25, 6.15};
  const double z[] = {0.6, 6.0, 6.0, 0.6};
  for (int start = 0; start < 4; ++start) {
    for (const int step : {1, 3}) {
      std::string vertices;
      for (int i = 0; i < 4; ++i) {
        const int k = (start + i * step) % 4;
        vertices += "10\n" + std::to_string(x[k]) + "\n20\n" + std::to_string(z[k]) + "\n";
      }
      const DxfDrawing d = entitiesOf("0\nLWPOLYLINE\n8\nRUDDER\n70\n1\n" + vertices);
      DrawingFrame metres;
      metres.unitsPerMetre = 1.0;
      const TracedRudder rudder = traceRudder({&d.entities[0]}, metres, 0.001, 4.0, "d.dxf");
      for (int k = 0; k < 4; ++k) {
        EXPECT_NEAR(rudder.corners[k].x, x[k], 1e-9) << start << " " << step;
        EXPECT_NEAR(rudder.corners[k].z, z[k], 1e-9) << start << " " << step;
      }
    }
  }
}

TEST(DxfDrawing, MalformedGroupsNameTheirLine) {
  const auto messageOf = [](const std::string& text) {
    try {
      parseDxfDrawing(text, "d.dxf");
    } catch (const RunError& error) {
      return std::string(error.what());
    }
    return std::string("read");
  };
  EXPECT_EQ(messageOf("\xEF\xBB\xBF"
                      "0\nSECTION\n2\nENTITIES\n0\nENDSEC\n0\nEOF\n"),
            "read");  // a UTF-8 mark
  EXPECT_EQ(messageOf("0\nSECTION\n2\nENTITIES\nten\nLINE\n"),
            "d.dxf:5: group code \"ten\" is not an integer: the file is not an ASCII DXF drawing, "
            "or is damaged");
  EXPECT_EQ(messageOf("0\nSECTION\n2\nENTITIES\n0\nARC\n5\n9\n40\n-1\n0\nENDSEC\n0\nEOF\n"),
            "d.dxf:5: ARC (handle 9, line 5): radius -1.000000 is not above 0");
  EXPECT_EQ(messageOf("0\nSECTION\n2\nENTITIES\n0\nLINE\n10\n1e400\n"),
            "d.dxf:8: LINE (line 5): x = \"1e400\": not a finite number (group code 10)");
}

}  // namespace
}  // namespace propclear

namespace propclear {
namespace {

// The fuzz target's seeds and the example drawing, as the fuzz target runs them.
TEST(ImportFuzzCorpus, EveryDrawingEndsInADesignOrAnInputError) {
  const std::filesystem::path root = test::examplesDir().parent_path();
  for (const std::filesystem::path& folder : {root / "fuzz/corpus-dxf", root / "examples"}) {
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
      if (entry.path().extension() != ".dxf") continue;
      EXPECT_EQ(test::brokenImportInvariant(test::readFile(entry.path())), "") << entry.path();
    }
  }
}

}  // namespace
}  // namespace propclear

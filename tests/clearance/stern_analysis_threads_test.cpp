// The analysis shares nothing between calls: several threads analysing at
// once get exactly, bit for bit, what one thread gets. scripts/test also runs
// this test under ThreadSanitizer.

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <thread>
#include <vector>

#include "clearance/stern_analysis.h"
#include "common/run_error.h"
#include "sample_design.h"

namespace propclear {
namespace {

constexpr int kDesignCount = 300;
constexpr int kThreadCount = 4;

// The sample stern moved, resized and reshaped at random; some designs end
// in an arithmetic fault (a horizontal rudder edge), which must be reported
// alike on every thread too.
std::vector<DesignData> variedDesigns() {
  std::mt19937 random(12);
  std::uniform_real_distribution<double> shift(-1.0, 1.0);
  std::vector<DesignData> designs;
  for (int i = 0; i < kDesignCount; ++i) {
    DesignData design = test::sampleDesign();
    design.propellerCentreX += shift(random);
    design.propellerCentreZ += 0.3 * shift(random);
    design.propellerDiameter += 0.8 * shift(random);
    design.rakeAngle += 10.0 * shift(random);
    for (int corner = 1; corner <= 4; ++corner) design.rudderX[corner] += 0.5 * shift(random);
    if (i % 37 == 0) design.rudderZ[3] = design.rudderZ[4];
    const int n = design.contourPointCount[sternContourRow];
    for (int k = 1; k <= n; ++k) design.contourX[sternContourRow][k] += 0.05 * shift(random);
    if (i % 5 == 0) design.contourCode[sternContourRow][1 + i % n] = breakCode;
    designs.push_back(design);
  }
  return designs;
}

// Everything an output reads of one analysis, as bytes, or the error message.
std::string fingerprint(const DesignData& design) {
  try {
    const SternAnalysis a = analyseStern(design);
    std::string bytes;
    const auto append = [&bytes](const auto& value) {
      bytes.append(reinterpret_cast<const char*>(&value), sizeof value);
    };
    for (const ClearanceSegment& s : a.clearances) {
      bytes += s.name;
      for (const double v : {s.bladeX, s.bladeZ, s.targetX, s.targetZ, s.length}) append(v);
    }
    append(a.extent.min);
    append(a.extent.range);
    for (const SplineCurve* curve : {&a.contourCurve, &a.hullCurve}) {
      for (int row = 1; row <= 4; ++row) {
        for (const double v : curve->coef(row)) append(v);
      }
    }
    for (const double v : a.outline.edge2X) append(v);
    for (const Warning& warning : a.warnings) bytes += warning.text;
    return bytes;
  } catch (const RunError& error) {
    return std::string("error: ") + error.what();
  }
}

TEST(SternAnalysisThreads, ConcurrentAnalysesEqualSingleThreadedOnes) {
  const std::vector<DesignData> designs = variedDesigns();
  std::vector<std::string> expected;
  for (const DesignData& design : designs) expected.push_back(fingerprint(design));

  // Every thread analyses every design, starting at a different one.
  std::vector<std::vector<std::string>> found(kThreadCount,
                                              std::vector<std::string>(designs.size()));
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreadCount; ++t) {
    threads.emplace_back([&, t] {
      for (std::size_t i = 0; i < designs.size(); ++i) {
        const std::size_t d = (i + static_cast<std::size_t>(t) * 71) % designs.size();
        found[t][d] = fingerprint(designs[d]);
      }
    });
  }
  for (std::thread& thread : threads) thread.join();

  int errors = 0;
  for (std::size_t d = 0; d < designs.size(); ++d) {
    if (expected[d].rfind("error: ", 0) == 0) ++errors;
    for (int t = 0; t < kThreadCount; ++t) ASSERT_EQ(found[t][d], expected[d]) << "design " << d;
  }
  EXPECT_GT(errors, 0) << "no design reached an error path";
  EXPECT_LT(errors, kDesignCount / 10) << "most designs must be analysed";
}

}  // namespace
}  // namespace propclear

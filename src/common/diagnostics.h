#pragma once
// Warnings of a run: results that were computed but that a designer must not
// take for real ones without being told (a hull query outside the contour, a
// root search that gave up, a blade that overlaps the structure, ...). Each
// says what kind of finding it is and which clearance it is about, so that
// no reader has to search the texts; the text is for people. They go to
// standard error and into the outputs that list them; the established files
// stay as their formats define them.

#include <string>
#include <utility>
#include <vector>

namespace propclear {

enum class WarningKind {
  InvalidDesign,     // the design's values make the blade outline or a measurement meaningless
  StandInTarget,     // a clearance measured to a stand-in, not to the structure
  MeasuringFrame,    // the design looks drawn the other way round
  Overlap,           // a blade or the swept volume overlaps the hull or the rudder
  LegacyLowerBlade,  // the report's mirrored a' and c' differ from the blade as it turns
};

// "invalid-design", "stand-in-target", "measuring-frame", "overlap", "legacy-lower-blade".
inline const char* warningKindCode(WarningKind kind) {
  switch (kind) {
    case WarningKind::InvalidDesign: return "invalid-design";
    case WarningKind::StandInTarget: return "stand-in-target";
    case WarningKind::MeasuringFrame: return "measuring-frame";
    case WarningKind::Overlap: return "overlap";
    case WarningKind::LegacyLowerBlade: return "legacy-lower-blade";
  }
  return "invalid-design";
}

struct Warning {
  WarningKind kind = WarningKind::InvalidDesign;
  std::string clearance;  // the clearance it is about ("a", "c'"), or empty
  std::string text;

  bool operator==(const Warning&) const = default;
};

// The warnings' texts, in order.
inline std::vector<std::string> warningTexts(const std::vector<Warning>& warnings) {
  std::vector<std::string> texts;
  texts.reserve(warnings.size());
  for (const Warning& warning : warnings) texts.push_back(warning.text);
  return texts;
}

struct Diagnostics {
  std::vector<Warning> warnings;

  void warn(WarningKind kind, std::string text, std::string clearance = {}) {
    warnings.push_back({kind, std::move(clearance), std::move(text)});
  }
};

}  // namespace propclear

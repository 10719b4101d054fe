#include "web/studio_c_interface.h"

#include <array>
#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "design/design_field.h"
#include "design/read_design_data.h"
#include "design/rewrite_design_text.h"
#include "report/json_writer.h"
#include "web/run_on_texts.h"

namespace propclear {

namespace {

// The folder of the page's runs in the browser's in-memory file system.
constexpr const char* studioFolder = "/studio";

// The propeller's data and the rudder corners come first in the values.
constexpr int propellerValueCount = 8;
constexpr int leadingValueCount = propellerValueCount + 2 * rudderCornerCount;

const char* kept(std::string& store, std::string text) {
  store = std::move(text);
  return store.c_str();
}

// The drawing of the last run or preview.
std::vector<float> lastDrawing;

const char* kept(std::string& store, PageAnswer answer) {
  lastDrawing = std::move(answer.drawing);
  return kept(store, std::move(answer.json));
}

std::string oneMember(const char* name, std::string_view text) {
  JsonWriter json;
  json.openObject(JsonWriter::Layout::Inline);
  json.member(name, text);
  json.close();
  return json.text();
}

// The number of contour points in `count` values; none when they are not
// a design's.
std::optional<int> pointCountOf(int count) {
  const int pointCount = (count - leadingValueCount) / 3;
  if (count < leadingValueCount || (count - leadingValueCount) % 3 != 0 ||
      pointCount > maxContourPoints) {
    return std::nullopt;
  }
  return pointCount;
}

std::string notADesignsValues(int count) {
  return oneMember("error", "the values are not a design's: " + std::to_string(count) + " numbers");
}

DesignData withValues(DesignData design, const double* values, int pointCount) {
  double* const propellerData[propellerValueCount] = {
      &design.propellerCentreX, &design.propellerCentreZ, &design.waterlineHeight,
      &design.propellerDiameter, &design.hubDiameter,     &design.pitchRatio,
      &design.areaRatio,         &design.rakeAngle};
  for (int i = 0; i < propellerValueCount; ++i) *propellerData[i] = values[i];
  for (int corner = 1; corner <= rudderCornerCount; ++corner) {
    design.rudderX[corner] = values[propellerValueCount + 2 * (corner - 1)];
    design.rudderZ[corner] = values[propellerValueCount + 2 * (corner - 1) + 1];
  }
  const double* point = values + leadingValueCount;
  for (int i = 1; i <= pointCount; ++i, point += 3) {
    design.contourZ[sternContourRow][i] = point[0];
    design.contourX[sternContourRow][i] = point[1];
    design.contourCode[sternContourRow][i] = point[2];
  }
  design.contourPointCount[sternContourRow] = pointCount;
  return design;
}

constexpr std::array<std::pair<std::string_view, DesignField>, 13> fieldKeys = {{
    {"propellerCentreX", DesignField::PropellerCentreX},
    {"propellerCentreZ", DesignField::PropellerCentreZ},
    {"waterlineHeight", DesignField::WaterlineHeight},
    {"propellerDiameter", DesignField::PropellerDiameter},
    {"hubDiameter", DesignField::HubDiameter},
    {"pitchRatio", DesignField::PitchRatio},
    {"areaRatio", DesignField::AreaRatio},
    {"rakeAngle", DesignField::RakeAngle},
    {"rudderX", DesignField::RudderX},
    {"rudderZ", DesignField::RudderZ},
    {"contourZ", DesignField::ContourZ},
    {"contourX", DesignField::ContourX},
    {"contourCode", DesignField::ContourCode},
}};

std::optional<DesignField> fieldOfKey(std::string_view key) {
  for (const auto& [name, field] : fieldKeys)
    if (name == key) return field;
  return std::nullopt;
}

// The design and the ship of the drag under way.
std::unique_ptr<RunPreview> preview;

}  // namespace

}  // namespace propclear

extern "C" const char* propclear_run(const char* designName, const char* designText,
                                     const char* shipText) {
  using namespace propclear;
  static std::string result;
  lastDrawing.clear();
  try {
    return kept(result, runOnTexts(studioFolder, RunTexts{designName, designText, shipText}));
  } catch (const std::exception& error) {
    return kept(result, oneMember("error", error.what()));
  }
}

extern "C" const float* propclear_drawing(void) { return propclear::lastDrawing.data(); }

extern "C" int propclear_drawing_length(void) {
  return static_cast<int>(propclear::lastDrawing.size());
}

extern "C" void propclear_preview_begin(const char* designName, const char* designText,
                                        const char* shipText) {
  using namespace propclear;
  preview = std::make_unique<RunPreview>(RunTexts{designName, designText, shipText});
}

extern "C" const char* propclear_preview(const double* values, int count) {
  using namespace propclear;
  static std::string result;
  lastDrawing.clear();
  if (!preview) return kept(result, oneMember("error", "no design read for a preview"));
  const std::optional<int> pointCount = pointCountOf(count);
  if (!pointCount) return kept(result, notADesignsValues(count));
  if (!preview->design()) return kept(result, preview->readingFailure());
  try {
    return kept(result, preview->answerFor(withValues(*preview->design(), values, *pointCount)));
  } catch (const std::exception& error) {
    return kept(result, oneMember("error", error.what()));
  }
}

extern "C" const char* propclear_rewrite(const char* designName, const char* designText,
                                         const double* values, int count) {
  using namespace propclear;
  static std::string result;
  try {
    const std::optional<int> pointCount = pointCountOf(count);
    if (!pointCount) return kept(result, notADesignsValues(count));
    const ReadResult read = readDesignText(designText, designName);
    if (read.outcome != ReadOutcome::Read) {
      return kept(result, oneMember("error", std::string(designName) +
                                                 ": the stern contour has no end line in time"));
    }
    const DesignData changed = withValues(read.design, values, *pointCount);
    return kept(result, oneMember("text", rewriteDesignText(designText, designName, changed)));
  } catch (const std::exception& error) {
    return kept(result, oneMember("error", error.what()));
  }
}

extern "C" const char* propclear_check_field(const char* field, int index, const char* text) {
  using namespace propclear;
  static std::string result;
  const std::optional<DesignField> designField = fieldOfKey(field);
  if (!designField) return kept(result, oneMember("fault", std::string("no field ") + field));
  const FieldEntry entry = checkFieldText(FieldRef{*designField, index}, text);
  if (!entry.value) return kept(result, oneMember("fault", entry.fault));
  JsonWriter json;
  json.openObject(JsonWriter::Layout::Inline);
  json.member("value", *entry.value);
  json.close();
  return kept(result, json.text());
}

#include "import/import_design.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <map>

#include "common/format_number.h"
#include "common/run_error.h"
#include "common/version.h"
#include "design/contour_table_text.h"
#include "design/design_file_text.h"
#include "design/read_design_data.h"
#include "design/rewrite_design_text.h"
#include "import/example_design_file.h"
#include "import/traced_rudder.h"

namespace propclear {

namespace {

// Imported coordinates are rounded to micrometres, far inside any tolerance,
// so that the design file holds readable numbers.
constexpr double micrometresPerMetre = 1e6;
// The example's captions before its separator line; the import writes its own.
constexpr std::size_t captionLines = 9;

std::string upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

bool sameLayer(const std::string& a, const std::string& b) { return upper(a) == upper(b); }

double rounded(double metres) {
  return std::round(metres * micrometresPerMetre) / micrometresPerMetre;
}

std::string metresDigits(double value) { return formatRounded(value, 3); }

// A name on one caption line: control characters would break the line count.
std::string printable(std::string text) {
  for (char& c : text) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = '?';
  }
  return text;
}

struct LayerChoice {
  std::vector<const DxfEntity*> entities;
  std::string description;  // "layer STERN", "layers A, B"
};

class DesignImporter {
 public:
  DesignImporter(const DxfDrawing& drawing, const ImportOptions& options)
      : drawing_(drawing), options_(options) {}

  ImportedDesign import() {
    const DrawingFrame frame =
        drawingFrameOf(drawing_, options_.unit, options_.origin, options_.drawingName);
    summary_.push_back("drawing " + options_.drawingName +
                       (drawing_.version.empty() ? "" : " (" + drawing_.version + ")") + ", in " +
                       frame.unitNote);
    summariseLayers();
    const std::string baseText = baseDesign();
    const LayerChoice rudderLayers = rudderChoice();
    const LayerChoice contourLayers = contourChoice(rudderLayers);
    const TracedContour contour = tracedContour(contourLayers, frame);
    setContour(contour, contourLayers);
    if (!rudderLayers.entities.empty()) {
      setRudder(traceRudder(rudderLayers.entities, frame, options_.tracing.tolerance,
                            imported_.design.propellerCentreX, options_.drawingName),
                rudderLayers);
    }
    notes();
    imported_.text = rewriteDesignText(baseText, baseName_, imported_.design);
    if (!options_.baseDesign) imported_.text = withImportCaptions(imported_.text);
    imported_.summary = std::move(summary_);
    return std::move(imported_);
  }

 private:
  [[noreturn]] void fail(const std::string& message) const {
    throw RunError(ErrorKind::Input, message, ErrorLocation{options_.drawingName});
  }

  // The contour; where the drawing has block references, a fault says that
  // they were not read, as the contour may be inside one.
  TracedContour tracedContour(const LayerChoice& layers, const DrawingFrame& frame) const {
    try {
      return traceContour(layers.entities, frame, options_.tracing, options_.drawingName);
    } catch (const RunError& error) {
      if (drawing_.blockReferences == 0) throw;
      throw RunError(error.kind(),
                     error.detail() + " (block references are not read, and the drawing has " +
                         std::to_string(drawing_.blockReferences) + ": explode the blocks first)",
                     error.where());
    }
  }

  void summariseLayers() {
    std::map<std::string, std::map<std::string, int>> counts;
    for (const DxfEntity& e : drawing_.entities) ++counts[e.layer][e.type];
    for (const auto& [layer, types] : counts) {
      std::string line =
          "  layer ";  // piece by piece: g++ 12 warns wrongly on "literal" + a temporary
      line += layer;
      line += ':';
      for (const auto& [type, count] : types) {
        line += ' ';
        line += std::to_string(count);
        line += ' ';
        line += type;
      }
      summary_.push_back(line);
    }
  }

  // The base design's text and values, with the values given applied.
  std::string baseDesign() {
    std::string text;
    if (options_.baseDesign) {
      baseName_ = options_.baseDesign->string();
      text = readDesignFileText(*options_.baseDesign);
    } else {
      baseName_ = exampleDesignFileName;
      text = exampleDesignFileText();
    }
    const ReadResult base = readDesignText(text, baseName_);
    if (base.outcome != ReadOutcome::Read) {
      throw RunError(
          ErrorKind::Input,
          "the stern contour has more than " + std::to_string(maxContourPoints) + " points",
          ErrorLocation{baseName_});
    }
    imported_.design = base.design;
    applySettings();
    return text;
  }

  void applySettings() {
    const PropellerSettings& s = options_.settings;
    DesignData& d = imported_.design;
    const auto apply = [&](const std::optional<double>& given, double& value, const char* name) {
      if (given) {
        value = *given;
      } else {
        fromBase_.push_back(name);
      }
    };
    apply(s.centreX, d.propellerCentreX, "propeller centre x");
    apply(s.centreZ, d.propellerCentreZ, "propeller centre z");
    apply(s.waterline, d.waterlineHeight, "waterline");
    apply(s.diameter, d.propellerDiameter, "diameter");
    apply(s.hubDiameter, d.hubDiameter, "hub diameter");
    apply(s.pitchRatio, d.pitchRatio, "pitch ratio");
    apply(s.areaRatio, d.areaRatio, "area ratio");
    apply(s.rakeAngle, d.rakeAngle, "rake angle");
    if (fromBase_.empty()) {
      summary_.push_back("propeller and waterline: as given");
    } else if (options_.baseDesign) {
      summary_.push_back("propeller and waterline: from " + baseName_ +
                         joined(", given: ", givenNames()));
    } else {
      summary_.push_back("warning: the example's values for: " + joined("", fromBase_) +
                         "; give them with --design BASE.TSK or their options");
    }
  }

  std::vector<std::string> givenNames() const {
    static const std::vector<std::string> all{
        "propeller centre x", "propeller centre z", "waterline",  "diameter",
        "hub diameter",       "pitch ratio",        "area ratio", "rake angle"};
    std::vector<std::string> given;
    for (const std::string& name : all) {
      if (std::find(fromBase_.begin(), fromBase_.end(), name) == fromBase_.end())
        given.push_back(name);
    }
    return given;
  }

  static std::string joined(const std::string& prefix, const std::vector<std::string>& names) {
    if (names.empty()) return "";
    std::string text = prefix;
    for (std::size_t i = 0; i < names.size(); ++i) text += (i > 0 ? ", " : "") + names[i];
    return text;
  }

  // The entities on the named layer, or on the layers named like `words`.
  LayerChoice layerChoice(const std::optional<std::string>& named,
                          const std::vector<std::string>& words,
                          const LayerChoice* leaveOut) const {
    LayerChoice choice;
    std::vector<std::string> layers;
    for (const DxfEntity& e : drawing_.entities) {
      const bool taken = named ? sameLayer(e.layer, *named) : layerNamedLike(e.layer, words);
      if (!taken ||
          (leaveOut != nullptr && std::find(leaveOut->entities.begin(), leaveOut->entities.end(),
                                            &e) != leaveOut->entities.end())) {
        continue;
      }
      choice.entities.push_back(&e);
      if (std::find(layers.begin(), layers.end(), e.layer) == layers.end())
        layers.push_back(e.layer);
    }
    choice.description = (layers.size() == 1 ? "layer " : "layers ") + joined("", layers);
    if (named && choice.entities.empty()) {
      fail("no entity on the layer " + *named +
           "; the drawing's layers with entities are: " + joined("", layersWithEntities()));
    }
    return choice;
  }

  std::vector<std::string> layersWithEntities() const {
    std::vector<std::string> layers;
    for (const DxfEntity& e : drawing_.entities) {
      if (std::find(layers.begin(), layers.end(), e.layer) == layers.end())
        layers.push_back(e.layer);
    }
    return layers;
  }

  LayerChoice rudderChoice() const {
    LayerChoice choice = layerChoice(options_.rudderLayer, rudderLayerWords, nullptr);
    if (choice.entities.empty() && !options_.baseDesign) {
      fail(
          "no layer named like *RUDDER*, and no base design to take the rudder from: name the "
          "rudder's layer with --rudder-layer or give --design BASE.TSK; the drawing's layers "
          "with entities are: " +
          joined("", layersWithEntities()));
    }
    return choice;
  }

  // The named layer, the layers named like a contour, or else every layer
  // but the rudder's, whose longest chain is then taken.
  LayerChoice contourChoice(const LayerChoice& rudder) {
    LayerChoice choice = layerChoice(options_.contourLayer, contourLayerWords, &rudder);
    if (!choice.entities.empty()) return choice;
    for (const DxfEntity& e : drawing_.entities) {
      if (std::find(rudder.entities.begin(), rudder.entities.end(), &e) == rudder.entities.end()) {
        choice.entities.push_back(&e);
      }
    }
    if (choice.entities.empty()) fail("the drawing holds no entity besides the rudder's");
    choice.description =
        "the longest open chain of every layer (none is named like *STERN*, *CONTOUR* or "
        "*PROFILE*)";
    return choice;
  }

  void setContour(const TracedContour& contour, const LayerChoice& layers) {
    std::vector<ContourPoint> points = contour.points;
    for (ContourPoint& p : points) {
      p.z = rounded(p.z);
      p.x = rounded(p.x);
    }
    setSternContour(imported_.design, points);
    std::string line = "stern contour from " + layers.description + ": ";
    if (contour.markedPoints > 0) {
      line += std::to_string(contour.markedPoints) + " marked points taken as the points";
    } else {
      line += std::to_string(contour.entities.size()) +
              (contour.entities.size() == 1 ? " entity" : " entities") + " chained, " +
              std::to_string(contour.drawnPoints) + " points thinned to " +
              std::to_string(points.size()) + ", largest deviation of the fitted curve " +
              formatRounded(contour.largestDeviation * 1000.0, 3) + " mm";
    }
    line += ", " + std::to_string(contour.breakPoints) + " break point" +
            (contour.breakPoints == 1 ? "" : "s");
    summary_.push_back(line);
    contourLayer_ = layers.description;
  }

  void setRudder(const TracedRudder& rudder, const LayerChoice& layers) {
    std::string line = "rudder from " + layers.description + ":";
    for (int corner = 1; corner <= rudderCornerCount; ++corner) {
      const FramePoint p = rudder.corners[corner - 1];
      imported_.design.rudderX[corner] = rounded(p.x);
      imported_.design.rudderZ[corner] = rounded(p.z);
      for (const std::string& piece :
           {std::string(" "), std::to_string(corner), std::string(" ("), metresDigits(p.x),
            std::string(", "), metresDigits(p.z), std::string(")")}) {
        line += piece;  // piece by piece: g++ 12 warns wrongly on "literal" + a temporary
      }
    }
    summary_.push_back(line);
    rudderLayer_ = layers.description;
  }

  void notes() {
    if (rudderLayer_.empty())
      summary_.push_back("rudder: from " + baseName_ + " (the drawing has none)");
    if (drawing_.blockReferences > 0) {
      summary_.push_back("note: block references are not read, and the drawing has " +
                         std::to_string(drawing_.blockReferences) +
                         ": explode the blocks to trace what they hold");
    }
    if (drawing_.outOfPlane > 0) {
      summary_.push_back("note: " + std::to_string(drawing_.outOfPlane) +
                         " entities outside the drawing's x-y plane are left out");
    }
  }

  // The example's text with captions that say where the file comes from and
  // which values are the example's. Captions are skipped by count, so the
  // lines change and their number stays.
  std::string withImportCaptions(const std::string& text) const {
    const std::vector<std::string> captions{
        "STERN CONTOUR AND RUDDER TRACED FROM THE DRAWING " + printable(options_.drawingName),
        "Written by propclear import " + std::string(programVersion) + ": tolerance " +
            formatRounded(options_.tracing.tolerance * 1000.0, 3) +
            " mm, break points at corners sharper than " +
            formatRounded(options_.tracing.cornerAngle, 1) + " degrees",
        "Stern contour from " + contourLayer_,
        "Rudder from " + (rudderLayer_.empty() ? baseName_ : rudderLayer_),
        fromBase_.empty()
            ? std::string("Propeller and waterline: as given")
            : "WARNING: THESE VALUES ARE THE EXAMPLE'S (" + std::string(exampleDesignFileName) +
                  "), NOT THIS SHIP'S: " + upper(joined("", fromBase_)),
        fromBase_.empty() ? std::string()
                          : "CHECK AND CORRECT LINES 13 TO 20 BEFORE TRUSTING THE CLEARANCES",
        "Frame: x horizontal (m), aft perpendicular at x = 0; z vertical (m), base line at z = 0",
        "Propeller: Wageningen B-series, 4 blades",
        "Values on a line are separated by commas or blanks; caption lines are skipped by count",
    };
    static_assert(captionLines == 9);
    std::string out;
    std::size_t position = 0;
    for (const std::string& caption : captions) {
      const std::size_t end = text.find("\r\n", position);
      if (end == std::string::npos) return text;  // the example always has its captions
      out += caption + "\r\n";
      position = end + 2;
    }
    return out + text.substr(position);
  }

  const DxfDrawing& drawing_;
  const ImportOptions& options_;
  ImportedDesign imported_;
  std::vector<std::string> summary_;
  std::string baseName_;
  std::vector<std::string> fromBase_;  // the values the base design gives
  std::string contourLayer_;
  std::string rudderLayer_;
};

}  // namespace

PropellerSettings propellerSettingsOf(const DesignData& d) {
  return {d.propellerCentreX, d.propellerCentreZ, d.waterlineHeight, d.propellerDiameter,
          d.hubDiameter,      d.pitchRatio,       d.areaRatio,       d.rakeAngle};
}

bool layerNamedLike(const std::string& layer, const std::vector<std::string>& words) {
  const std::string name = upper(layer);
  return std::any_of(words.begin(), words.end(),
                     [&](const std::string& word) { return name.find(word) != std::string::npos; });
}

ImportedDesign importDesign(const DxfDrawing& drawing, const ImportOptions& options) {
  return DesignImporter(drawing, options).import();
}

}  // namespace propclear

#pragma once
// A design file from a drawing: the stern contour and the rudder traced from
// their layers of a DXF drawing, the propeller and the waterline from a base
// design file, from values given, or else from the example with a warning in
// the file's captions.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "design/design_data.h"
#include "dxf/dxf_drawing.h"
#include "import/drawing_frame.h"
#include "import/traced_contour.h"

namespace propclear {

// Values given for the design beside the drawing; each one given replaces
// the base design's.
struct PropellerSettings {
  std::optional<double> centreX, centreZ;       // m
  std::optional<double> waterline;              // m
  std::optional<double> diameter, hubDiameter;  // m
  std::optional<double> pitchRatio, areaRatio;
  std::optional<double> rakeAngle;  // degrees
};

// Every value of `design`'s propeller and waterline, for an import that keeps them.
PropellerSettings propellerSettingsOf(const DesignData& design);

struct ImportOptions {
  std::string drawingName;  // names the drawing in messages and captions
  std::optional<std::string>
      contourLayer;  // else the layers named like *STERN*, *CONTOUR*, *PROFILE*
  std::optional<std::string> rudderLayer;  // else the layers named like *RUDDER*
  ContourTracing tracing;
  std::optional<DrawingUnit> unit;  // else the drawing's $INSUNITS
  DxfPoint origin;                  // the drawing's point that is the design's 0, 0, in its units
  std::optional<std::filesystem::path> baseDesign;
  PropellerSettings settings;
};

struct ImportedDesign {
  DesignData design;
  std::string text;                  // the design file, CR LF line ends
  std::vector<std::string> summary;  // lines for the user, without line ends
};

// The design of `drawing`. Every fault (no layer or entity to trace, a
// contour or rudder that cannot be the design's, a base design that cannot
// be read) throws RunError(ErrorKind::Input) naming the entity or the file.
ImportedDesign importDesign(const DxfDrawing& drawing, const ImportOptions& options);

// The layers whose name holds one of the words, any case.
bool layerNamedLike(const std::string& layer, const std::vector<std::string>& words);
inline const std::vector<std::string> contourLayerWords{"STERN", "CONTOUR", "PROFILE"};
inline const std::vector<std::string> rudderLayerWords{"RUDDER"};

}  // namespace propclear

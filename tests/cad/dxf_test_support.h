#pragma once
// Reading back what the DXF writer wrote, and a sample run's results to
// write: shared by the DXF tests.

#include <string>
#include <utility>
#include <vector>

#include "clearance/clearance_segment.h"
#include "common/diagnostics.h"
#include "design/design_data.h"
#include "geometry/blade_outline.h"
#include "geometry/curve_workspace.h"
#include "plot/drawing_surface.h"

namespace propclear::test {

using DxfGroup = std::pair<int, std::string>;

struct DxfEntity {
  std::string type;
  std::vector<DxfGroup> groups;     // after the entity's 0 group
  std::vector<DxfEntity> vertices;  // of a POLYLINE, without its SEQEND

  bool has(int code) const;
  // The value of the first group with `code`; "" when there is none.
  std::string value(int code) const;
};

// The file's lines as (code, value) pairs; fails the test on a malformed code.
std::vector<DxfGroup> dxfGroupsOf(const std::vector<std::string>& lines);
// The entities of the ENTITIES section, polylines with their vertices.
std::vector<DxfEntity> dxfEntitiesOf(const std::vector<std::string>& lines);
// Layer name and colour of the LAYER table, in order.
std::vector<std::pair<std::string, int>> dxfLayersOf(const std::vector<std::string>& lines);

// The design, outline and clearances of a run of the sample design, with
// the plot drawn into `surface` as the run draws it.
struct SampleRun {
  DesignData design;
  BladeOutline outline;
  CurveWorkspace workspace;
  ClearanceSet clearances;
  DrawingSurface surface;
  Diagnostics diagnostics;

  explicit SampleRun(const DesignData& sample);
};

}  // namespace propclear::test

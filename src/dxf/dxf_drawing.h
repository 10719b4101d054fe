#pragma once
// What a DXF drawing holds for tracing a side view: its units, its layers and
// the model space's lines, arcs, circles, points, polylines and splines, in
// the drawing's own units and its x-y plane. Texts, hatches, dimensions and
// the like are kept by their type only, to be counted; block references are
// counted but not expanded.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace propclear {

struct DxfPoint {
  double x = 0.0;
  double y = 0.0;
};

// A polyline vertex; `bulge` is the tangent of a quarter of the arc's angle
// to the next vertex, positive counter-clockwise, 0 for a straight segment.
struct DxfVertex {
  DxfPoint at;
  double bulge = 0.0;
};

// A B-spline by its control points (with weights when rational) and knots,
// or by the points it passes through when the file gives only those.
struct DxfSpline {
  int degree = 3;
  std::vector<double> knots;
  std::vector<DxfPoint> controlPoints;
  std::vector<double> weights;  // empty, or one per control point
  std::vector<DxfPoint> fitPoints;
};

enum class DxfShape { Line, Arc, Circle, Point, Polyline, Spline, Other };

struct DxfEntity {
  std::string type;  // as the file names it: "LWPOLYLINE"
  DxfShape shape = DxfShape::Other;
  std::string layer = "0";
  std::string handle;  // empty when the file gives none
  long line = 0;       // the line of its type

  std::vector<DxfVertex> vertices;  // a line's two ends; a polyline's vertices
  bool closed = false;              // a polyline or spline that closes on itself
  DxfPoint centre;                  // of an arc or circle; a point's place
  double radius = 0.0;
  double startAngle = 0.0;  // degrees, counter-clockwise from the x axis
  double endAngle = 0.0;
  DxfSpline spline;
};

struct DxfDrawing {
  std::string version;                 // $ACADVER, "AC1009" for R12
  std::optional<long> insertionUnits;  // $INSUNITS when the header has it
  std::vector<std::string> layers;     // the layer table, in file order
  std::vector<DxfEntity> entities;     // the model space, in file order
  long blockReferences = 0;            // INSERTs in the model space
  long outOfPlane = 0;                 // entities not drawn in the x-y plane, left out
};

// Larger drawings are refused: a stern's drawing is far smaller, and a
// damaged or hostile file must not take the memory of the machine.
inline constexpr std::uintmax_t maxDxfFileBytes = 256u * 1024u * 1024u;
inline constexpr long maxDxfEntities = 200000;
inline constexpr long maxDxfCoordinates = 1000000;

// The drawing in the ASCII DXF `text` (named `displayName` in messages). A
// binary DXF, a truncated file (no "EOF", a section without "ENDSEC"), a
// group that is malformed, a coordinate that is not a finite number, or a
// drawing beyond the limits above throws RunError(ErrorKind::Input) naming
// the line and, for an entity, its handle.
DxfDrawing parseDxfDrawing(std::string_view text, const std::string& displayName);

// The same for the file at `path`; a file that cannot be read or is larger
// than maxDxfFileBytes throws RunError(ErrorKind::Input).
DxfDrawing readDxfDrawing(const std::filesystem::path& path, const std::string& displayName);

// "LWPOLYLINE (handle 2F, line 1234)", for messages.
std::string describeEntity(const DxfEntity& entity);

}  // namespace propclear

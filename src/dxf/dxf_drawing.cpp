#include "dxf/dxf_drawing.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>

#include "dxf/dxf_group_reader.h"

namespace propclear {

namespace {

// Polyline flags (group 70): closed; a 3D polyline; a polygon mesh or
// polyface mesh, which is no line.
constexpr long closedFlag = 1;
constexpr long meshFlags = 16 | 64;
// Vertex flag of a spline's frame control point, which the curve does not pass.
constexpr long frameControlFlag = 16;
// Spline flag of a closed curve.
constexpr long splineClosedFlag = 1;
// Entity group 67 holds 1 for an entity in paper space.
constexpr long paperSpace = 1;
// A comment group, allowed anywhere.
constexpr int commentCode = 999;
// The largest spline degree read; CAD programs write 3, at most 11.
constexpr long maxSplineDegree = 11;

bool isOcsEntity(const std::string& type) {
  return type == "ARC" || type == "CIRCLE" || type == "LWPOLYLINE" || type == "POLYLINE";
}

// Parses the groups of one section after another, keeping one group of
// look-ahead so that an entity ends where the next one begins.
class DrawingParser {
 public:
  DrawingParser(std::string_view text, const std::string& displayName)
      : reader_(text, displayName) {}

  DxfDrawing parse() {
    while (read()) {
      if (isZero("EOF")) return std::move(drawing_);
      if (!isZero("SECTION")) fail(group_.line, "expected a SECTION, found " + describeGroup());
      if (!read() || group_.code != 2) truncated();
      const std::string name(group_.value);
      if (name == "HEADER") {
        header();
      } else if (name == "TABLES") {
        tables();
      } else if (name == "ENTITIES") {
        entities();
      } else {
        skipSection();
      }
    }
    truncated();
  }

 private:
  bool read() {
    if (pending_) {
      pending_ = false;
      return true;
    }
    do {
      if (!reader_.next(group_)) return false;
    } while (group_.code == commentCode);
    if (group_.code == 0 && ++entityCount_ > maxDxfEntities) {
      fail(group_.line, "more than " + std::to_string(maxDxfEntities) +
                            " entities: a stern's drawing holds far fewer; copy the stern's "
                            "layers into a drawing of their own");
    }
    if (group_.code >= 10 && group_.code <= 18 && ++coordinateCount_ > maxDxfCoordinates) {
      fail(group_.line, "more than " + std::to_string(maxDxfCoordinates) +
                            " points: a stern's drawing holds far fewer; copy the stern's "
                            "layers into a drawing of their own");
    }
    return true;
  }
  void unread() { pending_ = true; }
  bool isZero(std::string_view value) const { return group_.code == 0 && group_.value == value; }
  std::string describeGroup() const {
    return "group " + std::to_string(group_.code) + " \"" +
           std::string(group_.value.substr(0, 40)) + "\"";
  }
  [[noreturn]] void fail(long line, const std::string& message) const {
    reader_.fail(line, message);
  }
  [[noreturn]] void truncated() const {
    fail(reader_.lineNumber(),
         "the file ends before the drawing does (no ENDSEC or EOF): "
         "the drawing is truncated");
  }

  // Reads to the section's ENDSEC.
  void skipSection() {
    while (read()) {
      if (isZero("ENDSEC")) return;
    }
    truncated();
  }

  void header() {
    std::string variable;
    while (read()) {
      if (isZero("ENDSEC")) return;
      if (group_.code == 9) {
        variable = group_.value;
      } else if (variable == "$ACADVER" && group_.code == 1) {
        drawing_.version = group_.value;
      } else if (variable == "$INSUNITS" && group_.code == 70) {
        drawing_.insertionUnits = reader_.integer(group_, "$INSUNITS");
      }
    }
    truncated();
  }

  void tables() {
    bool inLayer = false;
    while (read()) {
      if (isZero("ENDSEC")) return;
      if (group_.code == 0) inLayer = group_.value == "LAYER";
      if (inLayer && group_.code == 2) drawing_.layers.emplace_back(group_.value);
    }
    truncated();
  }

  void entities() {
    while (read()) {
      if (isZero("ENDSEC")) return;
      if (group_.code != 0) fail(group_.line, "expected an entity, found " + describeGroup());
      entity();
    }
    truncated();
  }

  // One entity from its type group on; a POLYLINE with its vertices.
  void entity() {
    DxfEntity e;
    e.type = group_.value;
    e.line = group_.line;
    EntityGroups groups = collect(e);
    if (e.type == "POLYLINE") polylineVertices(e, groups);
    if (groups.paperSpace) return;
    if (!groups.inPlane) {
      ++drawing_.outOfPlane;
      return;
    }
    if (e.type == "INSERT") ++drawing_.blockReferences;
    if (groups.mirrored && isOcsEntity(e.type)) mirror(e);
    drawing_.entities.push_back(std::move(e));
  }

  struct EntityGroups {
    bool paperSpace = false;
    bool inPlane = true;
    bool mirrored = false;  // drawn from below: extrusion direction (0, 0, -1)
    long flags = 0;
    long expectedVertices = -1;
  };

  double number(std::string_view what, const DxfEntity& e) {
    try {
      return reader_.number(group_, what);
    } catch (const RunError& error) {
      fail(group_.line + 1, describeEntity(e) + ": " + error.detail());
    }
  }

  // Reads the entity's groups up to the next entity, taking what its shape needs.
  EntityGroups collect(DxfEntity& e) {
    EntityGroups g;
    DxfPoint extrusion{0.0, 0.0};
    double extrusionZ = 1.0;
    while (read()) {
      if (group_.code == 0) {
        unread();
        break;
      }
      switch (group_.code) {
        case 5:
          e.handle = group_.value;
          break;
        case 8:
          e.layer = group_.value;
          break;
        case 67:
          g.paperSpace = reader_.integer(group_, "space") == paperSpace;
          break;
        case 70:
          g.flags = reader_.integer(group_, "flags");
          break;
        case 210:
          extrusion.x = number("extrusion x", e);
          break;
        case 220:
          extrusion.y = number("extrusion y", e);
          break;
        case 230:
          extrusionZ = number("extrusion z", e);
          break;
        default:
          shapeGroup(e, g);
          break;
      }
    }
    if (!pending_) truncated();
    g.inPlane = extrusion.x == 0.0 && extrusion.y == 0.0 && extrusionZ != 0.0;
    g.mirrored = extrusionZ < 0.0;
    finish(e, g);
    return g;
  }

  void shapeGroup(DxfEntity& e, EntityGroups& g) {
    const int code = group_.code;
    if (e.type == "LINE" || e.type == "VERTEX" || e.type == "POINT") {
      if (code == 10 || code == 11)
        e.vertices.resize(std::max<std::size_t>(e.vertices.size(), code - 9));
      if (code == 10 || code == 11) e.vertices[code - 10].at.x = number("x", e);
      if (code == 20 || code == 21) {
        if (e.vertices.size() < static_cast<std::size_t>(code - 19))
          fail(group_.line, describeEntity(e) + ": y before its x");
        e.vertices[code - 20].at.y = number("y", e);
      }
      if (code == 42 && !e.vertices.empty()) e.vertices[0].bulge = number("bulge", e);
    } else if (e.type == "ARC" || e.type == "CIRCLE") {
      if (code == 10) e.centre.x = number("centre x", e);
      if (code == 20) e.centre.y = number("centre y", e);
      if (code == 40) e.radius = number("radius", e);
      if (code == 50) e.startAngle = number("start angle", e);
      if (code == 51) e.endAngle = number("end angle", e);
    } else if (e.type == "LWPOLYLINE") {
      if (code == 90) g.expectedVertices = reader_.integer(group_, "vertex count");
      if (code == 10) e.vertices.push_back({{number("x", e), 0.0}, 0.0});
      if ((code == 20 || code == 42) && e.vertices.empty())
        fail(group_.line, describeEntity(e) + ": a vertex value before the first vertex");
      if (code == 20) e.vertices.back().at.y = number("y", e);
      if (code == 42) e.vertices.back().bulge = number("bulge", e);
    } else if (e.type == "SPLINE") {
      splineGroup(e);
    }
  }

  void splineGroup(DxfEntity& e) {
    DxfSpline& s = e.spline;
    const int code = group_.code;
    if (code == 71)
      s.degree =
          static_cast<int>(std::clamp(reader_.integer(group_, "degree"), 0L, maxSplineDegree + 1));
    if (code == 40) s.knots.push_back(number("knot", e));
    if (code == 41) s.weights.push_back(number("weight", e));
    if (code == 10) s.controlPoints.push_back({number("control point x", e), 0.0});
    if (code == 11) s.fitPoints.push_back({number("fit point x", e), 0.0});
    if (code == 20 || code == 21) {
      std::vector<DxfPoint>& points = code == 20 ? s.controlPoints : s.fitPoints;
      if (points.empty()) fail(group_.line, describeEntity(e) + ": y before its x");
      points.back().y = number(code == 20 ? "control point y" : "fit point y", e);
    }
  }

  // Gives the entity its shape once its groups are read.
  void finish(DxfEntity& e, const EntityGroups& g) {
    if (e.type == "LINE") {
      e.shape = DxfShape::Line;
      e.vertices.resize(2);
    } else if (e.type == "ARC") {
      e.shape = DxfShape::Arc;
    } else if (e.type == "CIRCLE") {
      e.shape = DxfShape::Circle;
    } else if (e.type == "POINT") {
      e.shape = DxfShape::Point;
      e.vertices.resize(1);
      e.centre = e.vertices[0].at;
      e.vertices.clear();
    } else if (e.type == "LWPOLYLINE" || e.type == "POLYLINE") {
      e.shape = (g.flags & meshFlags) != 0 ? DxfShape::Other : DxfShape::Polyline;
      e.closed = (g.flags & closedFlag) != 0;
    } else if (e.type == "SPLINE") {
      e.shape = DxfShape::Spline;
      e.closed = (g.flags & splineClosedFlag) != 0;
    }
    if (e.type == "LWPOLYLINE" && g.expectedVertices >= 0 &&
        g.expectedVertices != static_cast<long>(e.vertices.size())) {
      fail(e.line, describeEntity(e) + ": " + std::to_string(e.vertices.size()) +
                       " vertices where its count (group 90) says " +
                       std::to_string(g.expectedVertices));
    }
    if ((e.shape == DxfShape::Arc || e.shape == DxfShape::Circle) && !(e.radius > 0.0)) {
      fail(e.line, describeEntity(e) + ": radius " + std::to_string(e.radius) + " is not above 0");
    }
  }

  // The VERTEX entities of a POLYLINE up to its SEQEND.
  void polylineVertices(DxfEntity& polyline, const EntityGroups& header) {
    while (read()) {
      if (isZero("SEQEND")) {
        DxfEntity end;
        collect(end);
        return;
      }
      if (!isZero("VERTEX")) {
        fail(group_.line,
             describeEntity(polyline) + ": expected VERTEX or SEQEND, found " + describeGroup());
      }
      DxfEntity vertex;
      vertex.type = "VERTEX";
      vertex.line = group_.line;
      const EntityGroups g = collect(vertex);
      if ((g.flags & frameControlFlag) != 0 || (header.flags & meshFlags) != 0) continue;
      vertex.vertices.resize(1);
      polyline.vertices.push_back(vertex.vertices[0]);
    }
    truncated();
  }

  // An entity drawn from below: its x axis runs the other way.
  static void mirror(DxfEntity& e) {
    e.centre.x = -e.centre.x;
    const double start = e.startAngle;
    e.startAngle = 180.0 - e.endAngle;
    e.endAngle = 180.0 - start;
    for (DxfVertex& v : e.vertices) {
      v.at.x = -v.at.x;
      v.bulge = -v.bulge;
    }
  }

  DxfGroupReader reader_;
  DxfGroup group_;
  bool pending_ = false;
  long entityCount_ = 0;
  long coordinateCount_ = 0;
  DxfDrawing drawing_;
};

}  // namespace

std::string describeEntity(const DxfEntity& entity) {
  std::string text = entity.type + " (";
  if (!entity.handle.empty()) text += "handle " + entity.handle + ", ";
  return text + "line " + std::to_string(entity.line) + ")";
}

DxfDrawing parseDxfDrawing(std::string_view text, const std::string& displayName) {
  return DrawingParser(text, displayName).parse();
}

DxfDrawing readDxfDrawing(const std::filesystem::path& path, const std::string& displayName) {
  const auto refuse = [&](const std::string& reason) {
    throw RunError(ErrorKind::Input, "cannot read the drawing: " + reason,
                   ErrorLocation{displayName});
  };
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) {
    refuse(error ? error.message() : "it is not a regular file");
  }
  const std::uintmax_t size = std::filesystem::file_size(path, error);
  if (error) refuse(error.message());
  if (size > maxDxfFileBytes) {
    refuse("it holds " + std::to_string(size) + " bytes, more than the " +
           std::to_string(maxDxfFileBytes) + " a drawing may have");
  }
  errno = 0;
  std::ifstream in(path, std::ios::binary);
  if (!in.is_open()) refuse(errno != 0 ? std::strerror(errno) : "it cannot be opened");
  const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (in.bad()) refuse("reading failed");
  return parseDxfDrawing(text, displayName);
}

}  // namespace propclear

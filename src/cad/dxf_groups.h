#pragma once
// The text of an ASCII DXF file: pairs of lines, a group code (right-aligned
// in three places, as AutoCAD writes it) and its value.

#include <string>
#include <string_view>
#include <vector>

#include "geometry/drawing_point.h"

namespace propclear {

class DxfGroups {
 public:
  void text(int code, std::string_view value);
  void integer(int code, int value);
  // A length or coordinate already in drawing units, in the CAD script's digits.
  void number(int code, double value);
  // A point of the side view, in metres, as x, y and z groups in millimetres
  // (codes baseCode, baseCode + 10, baseCode + 20; the side view lies in z = 0).
  void point(int baseCode, DrawingPoint metres);
  // Appends the groups of `other`.
  void append(const DxfGroups& other);

  const std::vector<std::string>& lines() const { return lines_; }

 private:
  std::vector<std::string> lines_;
};

}  // namespace propclear

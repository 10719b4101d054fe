#pragma once
// A stern contour table pasted from a spreadsheet or typed as text: one point
// per line, "z, x, code" or "z, x" (code 1, an ordinary point). Cells are
// separated by tabs, as a spreadsheet copies them; on a line without tabs by
// commas, semicolons or blanks, as in the design file. Inside a tab-separated
// cell a lone comma is a decimal comma ("2,85"). A first line that holds no
// number is a heading and is skipped; blank lines are skipped; a line with
// code 99 ends the table, as in the design file.

#include <string>
#include <string_view>
#include <vector>

#include "design/design_data.h"

namespace propclear {

// The lines of such a table that hold a cell, split into cells as above,
// each with its line number from 1: any table pasted from a spreadsheet.
struct PastedRow {
  std::size_t line = 0;
  std::vector<std::string> cells;
};
std::vector<PastedRow> pastedRowsOf(std::string_view text);

struct ContourPoint {
  double z = 0.0;     // m
  double x = 0.0;     // m
  double code = 1.0;  // 0 break point, else an ordinary point

  friend bool operator==(const ContourPoint&, const ContourPoint&) = default;
};

// The points of the table, or the first fault, naming its line and cell:
// "line 3, cell 2: \"2.8x\" is not a number". More than maxContourPoints
// points, a cell that is not a number, a line with more than three or fewer
// than two cells, or a value beyond 10000 m is a fault; nothing is taken from
// a table with a fault.
struct ContourTableParse {
  std::vector<ContourPoint> points;
  std::string fault;  // empty when the table was read
};
ContourTableParse parseContourTable(std::string_view text);

// The stern contour of `design` as points, and `points` written into it.
std::vector<ContourPoint> sternContourOf(const DesignData& design);
// Throws std::length_error for more than maxContourPoints points.
void setSternContour(DesignData& design, const std::vector<ContourPoint>& points);

}  // namespace propclear

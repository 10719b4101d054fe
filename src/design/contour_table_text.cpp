#include "design/contour_table_text.h"

#include <stdexcept>

#include "design/decimal_number.h"
#include "design/design_field.h"

namespace propclear {

namespace {

std::string_view trimmedCell(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

std::vector<std::string_view> linesOf(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const std::size_t end = text.find_first_of("\r\n");
    lines.push_back(text.substr(0, end));
    if (end == std::string_view::npos) break;
    const std::size_t next = text.compare(end, 2, "\r\n") == 0 ? end + 2 : end + 1;
    text.remove_prefix(next);
  }
  return lines;
}

std::vector<std::string> cellsOf(std::string_view line) {
  std::vector<std::string> cells;
  const bool tabbed = line.find('\t') != std::string_view::npos;
  const std::string_view separators = tabbed ? "\t" : ",; \t";
  std::size_t start = 0;
  while (start <= line.size()) {
    const std::size_t end = line.find_first_of(separators, start);
    std::string cell(trimmedCell(line.substr(start, end == std::string_view::npos ? end : end - start)));
    // A spreadsheet set to a decimal comma copies "2,85".
    if (tabbed && cell.find(',') == cell.rfind(',') && cell.find('.') == std::string::npos) {
      const std::size_t comma = cell.find(',');
      if (comma != std::string::npos) cell[comma] = '.';
    }
    // Blanks around a comma are part of the separator; empty tab cells count.
    if (!cell.empty() || tabbed) cells.push_back(std::move(cell));
    if (end == std::string_view::npos) break;
    start = end + 1;
  }
  while (!cells.empty() && cells.back().empty()) cells.pop_back();
  return cells;
}

bool anyNumber(const std::vector<std::string>& cells) {
  for (const std::string& cell : cells) {
    if (parseDecimalNumber(cell).status != NumberStatus::Malformed) return true;
  }
  return false;
}

std::string where(std::size_t line, std::size_t cell) {
  return "line " + std::to_string(line) + ", cell " + std::to_string(cell) + ": ";
}

// A line with code 99 ends the table; its z and x are not read.
bool isTerminator(const std::vector<std::string>& cells) {
  if (cells.size() != 3) return false;
  const ParsedNumber code = parseDecimalNumber(cells[2]);
  return code.status == NumberStatus::Valid && code.value == contourTerminatorCode;
}

// Point number `pointNumber` from one line's cells, or the fault.
std::string pointOf(const std::vector<std::string>& cells, std::size_t line, int pointNumber,
                    ContourPoint& point) {
  if (cells.size() < 2 || cells.size() > 3) {
    return "line " + std::to_string(line) + ": " + std::to_string(cells.size()) +
           " cells; a point has z, x and an optional code";
  }
  const DesignField fields[3] = {DesignField::ContourZ, DesignField::ContourX,
                                 DesignField::ContourCode};
  double values[3] = {0.0, 0.0, 1.0};
  for (std::size_t i = 0; i < cells.size(); ++i) {
    const FieldEntry entry = checkFieldText(FieldRef{fields[i], pointNumber}, cells[i]);
    if (!entry.value) return where(line, i + 1) + entry.fault;
    values[i] = *entry.value;
  }
  point = ContourPoint{values[0], values[1], values[2]};
  return {};
}

}  // namespace

std::vector<PastedRow> pastedRowsOf(std::string_view text) {
  std::vector<PastedRow> rows;
  const std::vector<std::string_view> lines = linesOf(text);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    std::vector<std::string> cells = cellsOf(lines[i]);
    if (!cells.empty()) rows.push_back({i + 1, std::move(cells)});
  }
  return rows;
}

ContourTableParse parseContourTable(std::string_view text) {
  ContourTableParse result;
  bool headingAllowed = true;
  for (const auto& [line, cells] : pastedRowsOf(text)) {
    if (headingAllowed && !anyNumber(cells)) {
      headingAllowed = false;
      continue;
    }
    headingAllowed = false;
    if (isTerminator(cells)) break;
    if (result.points.size() == static_cast<std::size_t>(maxContourPoints)) {
      return {{}, "the table holds more than " + std::to_string(maxContourPoints) +
                      " points, the most a stern contour may have"};
    }
    ContourPoint point;
    const int pointNumber = static_cast<int>(result.points.size()) + 1;
    std::string fault = pointOf(cells, line, pointNumber, point);
    if (!fault.empty()) return {{}, std::move(fault)};
    result.points.push_back(point);
  }
  if (result.points.empty()) return {{}, "the table holds no contour point"};
  return result;
}

std::vector<ContourPoint> sternContourOf(const DesignData& design) {
  std::vector<ContourPoint> points;
  for (int i = 1; i <= design.contourPointCount[sternContourRow]; ++i) {
    points.push_back({design.contourZ[sternContourRow][i], design.contourX[sternContourRow][i],
                      design.contourCode[sternContourRow][i]});
  }
  return points;
}

void setSternContour(DesignData& design, const std::vector<ContourPoint>& points) {
  if (points.size() > static_cast<std::size_t>(maxContourPoints)) {
    throw std::length_error("a stern contour has at most 250 points");
  }
  design.contourPointCount[sternContourRow] = static_cast<int>(points.size());
  for (std::size_t i = 0; i < points.size(); ++i) {
    design.contourZ[sternContourRow][i + 1] = points[i].z;
    design.contourX[sternContourRow][i + 1] = points[i].x;
    design.contourCode[sternContourRow][i + 1] = points[i].code;
  }
}

}  // namespace propclear

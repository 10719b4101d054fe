#include "cad/dxf_groups.h"

#include <charconv>
#include <string>

#include "cad/drawing_annotations.h"
#include "cad/write_cad_script.h"

namespace propclear {

namespace {

std::string integerText(int value) {
  char buffer[16];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

std::string groupCodeText(int code) {
  const std::string digits = integerText(code);
  return digits.size() < 3 ? std::string(3 - digits.size(), ' ') + digits : digits;
}

}  // namespace

void DxfGroups::text(int code, std::string_view value) {
  lines_.push_back(groupCodeText(code));
  lines_.emplace_back(value);
}

void DxfGroups::integer(int code, int value) { text(code, integerText(value)); }

void DxfGroups::number(int code, double value) { text(code, formatCadNumber(value)); }

void DxfGroups::point(int baseCode, DrawingPoint metres) {
  number(baseCode, metres.x * millimetresPerMetre);
  number(baseCode + 10, metres.z * millimetresPerMetre);
  number(baseCode + 20, 0.0);
}

void DxfGroups::append(const DxfGroups& other) {
  lines_.insert(lines_.end(), other.lines_.begin(), other.lines_.end());
}

}  // namespace propclear

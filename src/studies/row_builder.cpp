#include "studies/row_builder.h"

#include <utility>

#include "common/format_number.h"
#include "report/json_text.h"

namespace propclear {

namespace {

std::string csvField(std::string_view value) {
  if (value.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(value);
  std::string quoted = "\"";
  for (char c : value) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + "\"";
}

std::string joined(const std::vector<std::string>& values) {
  std::string text;
  for (const std::string& value : values) {
    if (!text.empty()) text += "; ";
    text += value;
  }
  return text;
}

}  // namespace

RowBuilder::RowBuilder(RowFormat format, bool collectNames)
    : format_(format), collectNames_(collectNames) {}

void RowBuilder::beginField(std::string_view column) {
  if (collectNames_) names_.emplace_back(column);
  if (format_ == RowFormat::Csv) {
    if (fields_ > 0) row_ += ',';
  } else {
    row_ += fields_ > 0 ? ',' : '{';
    row_ += jsonString(column);
    row_ += ':';
  }
  ++fields_;
}

void RowBuilder::number(std::string_view column, double value) {
  beginField(column);
  appendShortest(row_, value, "a value of a study");
}

void RowBuilder::text(std::string_view column, std::string_view value) {
  beginField(column);
  row_ += format_ == RowFormat::Csv ? csvField(value) : jsonString(value);
}

void RowBuilder::texts(std::string_view column, const std::vector<std::string>& values) {
  beginField(column);
  if (format_ == RowFormat::Csv) {
    row_ += csvField(joined(values));
    return;
  }
  row_ += '[';
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (i > 0) row_ += ',';
    row_ += jsonString(values[i]);
  }
  row_ += ']';
}

void RowBuilder::flag(std::string_view column, bool value) {
  beginField(column);
  row_ += value ? "true" : "false";
}

void RowBuilder::missing(std::string_view column) {
  beginField(column);
  if (format_ == RowFormat::JsonLines) row_ += "null";
}

std::string RowBuilder::takeRow() {
  if (format_ == RowFormat::Csv) {
    row_ += "\r\n";
  } else {
    row_ += fields_ > 0 ? "}\n" : "{}\n";
  }
  fields_ = 0;
  return std::exchange(row_, {});
}

std::string headerLine(RowFormat format, const std::vector<std::string>& columns) {
  if (format == RowFormat::JsonLines) return {};
  std::string line;
  for (const std::string& column : columns) {
    if (!line.empty()) line += ',';
    line += csvField(column);
  }
  return line + "\r\n";
}

}  // namespace propclear

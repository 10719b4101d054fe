#include "studies/row_builder.h"

#include <algorithm>
#include <utility>

#include "common/format_number.h"
#include "report/json_text.h"

namespace propclear {

namespace {

// Room for a sweep's row with rules, so that it grows at most once.
constexpr std::size_t rowCapacity = 1024;

// Whether a CSV field holds a comma, a quote or a line end. A loop of its
// own: find_first_of looks each character up in the set with a call of
// memchr, and a sweep writes millions of fields.
bool needsQuotes(std::string_view value) {
  return std::any_of(value.begin(), value.end(),
                     [](char c) { return c == ',' || c == '"' || c == '\r' || c == '\n'; });
}

// RFC 4180: a field holding a comma, a quote or a line end is quoted, its
// quotes doubled.
void appendCsvField(std::string& out, std::string_view value) {
  if (!needsQuotes(value)) {
    out += value;
    return;
  }
  out += '"';
  for (std::size_t quote = value.find('"'); quote != std::string_view::npos;
       quote = value.find('"')) {
    out.append(value.substr(0, quote + 1)) += '"';
    value.remove_prefix(quote + 1);
  }
  out.append(value) += '"';
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

std::string ColumnName::joined() const {
  std::string name(stem);
  name += suffix;
  return name;
}

RowBuilder::RowBuilder(RowFormat format, bool collectNames)
    : format_(format), collectNames_(collectNames) {
  row_.reserve(rowCapacity);
}

void RowBuilder::beginField(ColumnName column) {
  if (collectNames_) names_.push_back(column.joined());
  if (format_ == RowFormat::Csv) {
    if (fields_ > 0) row_ += ',';
  } else {
    row_ += fields_ > 0 ? ',' : '{';
    row_ += jsonString(column.joined());
    row_ += ':';
  }
  ++fields_;
}

void RowBuilder::number(ColumnName column, double value) {
  beginField(column);
  appendShortest(row_, value, "a value of a study");
}

void RowBuilder::text(ColumnName column, std::string_view value) {
  beginField(column);
  if (format_ == RowFormat::Csv) {
    appendCsvField(row_, value);
  } else {
    row_ += jsonString(value);
  }
}

void RowBuilder::texts(ColumnName column, const std::vector<std::string>& values) {
  beginField(column);
  if (format_ == RowFormat::Csv) {
    appendCsvField(row_, joined(values));
    return;
  }
  row_ += '[';
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (i > 0) row_ += ',';
    row_ += jsonString(values[i]);
  }
  row_ += ']';
}

void RowBuilder::flag(ColumnName column, bool value) {
  beginField(column);
  row_ += value ? "true" : "false";
}

void RowBuilder::missing(ColumnName column) {
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
    appendCsvField(line, column);
  }
  return line + "\r\n";
}

}  // namespace propclear

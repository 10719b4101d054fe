#pragma once
// One row of a study's table as text: a CSV record (RFC 4180: fields with a
// comma, quote or line end quoted, quotes doubled, records ended by CR LF) or
// a JSON Lines object (one object per line, keys the column names). Numbers
// take their shortest exact form, the same in every locale; a non-finite
// number is an arithmetic fault.
//
// The row is written field by field in column order. A builder that collects
// names remembers each field's column name, so that the header comes from the
// same code as the rows.

#include <string>
#include <string_view>
#include <vector>

namespace propclear {

enum class RowFormat { Csv, JsonLines };

// A column's name in two parts, "lr-recommended a" and " margin_m", joined
// only where the name is written (a JSON key, the header): a CSV row of a
// sweep names no column, and its designs make no names.
struct ColumnName {
  ColumnName(std::string_view name) : stem(name) {}  // NOLINT: a name is a column name
  ColumnName(const char* name) : stem(name) {}        // NOLINT
  ColumnName(const std::string& name) : stem(name) {}  // NOLINT
  ColumnName(std::string_view stemPart, std::string_view suffixPart)
      : stem(stemPart), suffix(suffixPart) {}

  std::string joined() const;

  std::string_view stem;
  std::string_view suffix;
};

class RowBuilder {
 public:
  explicit RowBuilder(RowFormat format, bool collectNames = false);

  void number(ColumnName column, double value);
  void text(ColumnName column, std::string_view value);
  // CSV: one field, the texts joined by "; "; JSON: an array.
  void texts(ColumnName column, const std::vector<std::string>& values);
  // CSV and JSON: true or false.
  void flag(ColumnName column, bool value);
  // CSV: an empty field; JSON: null.
  void missing(ColumnName column);

  // The row with its line end; the builder starts a new row.
  std::string takeRow();
  // The names of the fields of the rows built so far; with collectNames only.
  const std::vector<std::string>& columnNames() const { return names_; }

 private:
  void beginField(ColumnName column);

  RowFormat format_;
  bool collectNames_;
  std::vector<std::string> names_;
  std::string row_;
  int fields_ = 0;
};

// The CSV header line for `columns`, or nothing for JSON Lines (whose keys
// name every value).
std::string headerLine(RowFormat format, const std::vector<std::string>& columns);

}  // namespace propclear

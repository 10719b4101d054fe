#include "study_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>

#include "support/test_support.h"

namespace propclear::test {

const std::string& StudyTable::cell(std::size_t row, const std::string& column) const {
  const auto found = std::find(header.begin(), header.end(), column);
  if (found == header.end()) {
    ADD_FAILURE() << "no column " << column;
    static const std::string none;
    return none;
  }
  return rows.at(row).at(static_cast<std::size_t>(found - header.begin()));
}

double StudyTable::number(std::size_t row, const std::string& column) const {
  const std::string& text = cell(row, column);
  double value = 0.0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  EXPECT_TRUE(error == std::errc() && end == text.data() + text.size())
      << column << " of row " << row << " is not a number: \"" << text << '"';
  return value;
}

StudyTable parseCsv(const std::string& text) {
  std::vector<std::vector<std::string>> records;
  std::vector<std::string> record;
  std::string field;
  bool quoted = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (quoted) {
      if (c != '"') {
        field += c;
      } else if (i + 1 < text.size() && text[i + 1] == '"') {
        field += '"';
        ++i;
      } else {
        quoted = false;
      }
    } else if (c == '"') {
      EXPECT_TRUE(field.empty()) << "a quote inside an unquoted field at byte " << i;
      quoted = true;
    } else if (c == ',') {
      record.push_back(std::exchange(field, {}));
    } else if (c == '\r') {
      EXPECT_EQ(text.substr(i, 2), "\r\n") << "a lone CR at byte " << i;
      record.push_back(std::exchange(field, {}));
      records.push_back(std::exchange(record, {}));
      ++i;
    } else {
      EXPECT_NE(c, '\n') << "a lone LF at byte " << i;
      field += c;
    }
  }
  EXPECT_FALSE(quoted) << "an unclosed quote";
  EXPECT_TRUE(record.empty() && field.empty()) << "the last record has no line end";
  StudyTable table;
  if (records.empty()) return table;
  table.header = records.front();
  table.rows.assign(records.begin() + 1, records.end());
  for (const auto& row : table.rows) EXPECT_EQ(row.size(), table.header.size());
  return table;
}

nlohmann::json plainRunResults(const std::filesystem::path& designFile,
                               const std::vector<std::string>& options) {
  std::vector<std::string> arguments = {designFile.string(), "--no-window", "--answer", "H",
                                        "--json", "-"};
  arguments.insert(arguments.end(), options.begin(), options.end());
  const ProcessResult run = runPropclear(arguments);
  EXPECT_EQ(run.exitStatus, kExitCompleted) << run.err;
  return nlohmann::json::parse(run.out);
}

const nlohmann::json& clearanceOf(const nlohmann::json& results, const std::string& name) {
  for (const nlohmann::json& clearance : results.at("clearances")) {
    if (clearance.at("name") == name) return clearance;
  }
  ADD_FAILURE() << "no clearance " << name;
  return results;
}

}  // namespace propclear::test

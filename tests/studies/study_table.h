#pragma once
// Reading what the study commands write: CSV tables (RFC 4180) and the JSON
// results of plain runs, for comparing the two.

#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

namespace propclear::test {

struct StudyTable {
  std::vector<std::string> header;
  std::vector<std::vector<std::string>> rows;

  // The cell of `row` under `column`; a missing column fails the test.
  const std::string& cell(std::size_t row, const std::string& column) const;
  // The cell read as a double, exactly.
  double number(std::size_t row, const std::string& column) const;
};

// Quoted fields may hold commas, quotes (doubled) and line ends; records end
// with CR LF. A malformed table fails the test.
StudyTable parseCsv(const std::string& text);

// The JSON results of a plain run of `designFile`, answered "H" without a
// window; the run must complete.
nlohmann::json plainRunResults(const std::filesystem::path& designFile,
                               const std::vector<std::string>& options = {});

// The clearance named `name` ("a'") of plain-run results.
const nlohmann::json& clearanceOf(const nlohmann::json& results, const std::string& name);

}  // namespace propclear::test

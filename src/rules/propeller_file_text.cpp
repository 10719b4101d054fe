#include "rules/propeller_file_text.h"

#include <utility>
#include <vector>

#include "common/format_number.h"

namespace propclear {

namespace {

// A number as TOML reads it back as a float: "1.0", not the integer "1".
std::string tomlFloat(double value) {
  std::string text = formatShortest(value, "a value of the propeller table");
  if (text.find_first_of(".e") == std::string::npos) text += ".0";
  return text;
}

std::string columnLine(const char* key, const std::vector<double>& values) {
  std::string line = std::string(key) + " = [";
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (i > 0) line += ", ";
    line += tomlFloat(values[i]);
  }
  return line + "]\n";
}

}  // namespace

std::string propellerFileText(const PropellerTable& table) {
  std::string text = "blades = " + std::to_string(table.bladeCount) + "\n";
  if (table.hubLengthMetres) text += "hub_length = " + tomlFloat(*table.hubLengthMetres) + "\n";
  text += "\n[outline]\n";
  const std::pair<const char*, const std::vector<double>*> columns[] = {
      {"r_over_R", &table.radiusRatio},
      {"chord_over_D", &table.chordPerDiameter},
      {"leading_edge_over_chord", &table.edge2PerChord},
      {"skew_deg", &table.skewDegrees},
      {"pitch_over_D", &table.pitchRatio},
      {"rake_over_D", &table.rakePerDiameter},
  };
  for (const auto& [key, values] : columns) {
    if (!values->empty()) text += columnLine(key, *values);
  }
  return text;
}

}  // namespace propclear

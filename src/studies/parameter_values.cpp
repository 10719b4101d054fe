#include "studies/parameter_values.h"

#include <cmath>
#include <cstdio>

#include "common/checked_math.h"
#include "common/run_error.h"
#include "design/decimal_number.h"

namespace propclear {

namespace {

[[noreturn]] void fault(const std::string& optionText, const std::string& reason) {
  throw RunError(ErrorKind::Usage, optionText + ": " + reason);
}

std::string countText(double count) {
  char text[32];
  std::snprintf(text, sizeof text, "%.0f", count);
  return text;
}

double stepsBetween(double start, double stop, double step, const std::string& optionText) {
  try {
    return checkedDivide(stop - start, step, "the steps of a range");
  } catch (const RunError&) {
    fault(optionText, "the range has too many steps to count");
  }
}

// START:STOP:STEP.
ParameterValues parseRange(const std::vector<std::string_view>& parts, const std::string& optionText) {
  if (parts.size() != 3) fault(optionText, "a range is START:STOP:STEP");
  const double start = parseOptionNumber(parts[0], optionText);
  const double stop = parseOptionNumber(parts[1], optionText);
  const double step = parseOptionNumber(parts[2], optionText);
  if (step == 0.0 && start != stop) fault(optionText, "the step is 0");
  const double steps = start == stop ? 0.0 : stepsBetween(start, stop, step, optionText);
  if (steps < 0.0) {
    fault(optionText, "the step " + std::string(parts[2]) + " leads away from " +
                          std::string(parts[1]) + " (a range downwards needs a negative step)");
  }
  const double count = wholeSteps(steps) + 1.0;
  if (count > static_cast<double>(maxStudyDesigns)) {
    fault(optionText, countText(count) + " values, more than the " +
                          std::to_string(maxStudyDesigns) + " a study may have");
  }
  ParameterValues values;
  values.grid = {start, step,
                 commonDecimalPlaces(decimalPlacesOf(parts[0]), decimalPlacesOf(parts[2]))};
  values.count = static_cast<std::uint64_t>(count);
  return values;
}

ParameterValues parseList(const std::vector<std::string_view>& parts, const std::string& optionText) {
  ParameterValues values;
  for (std::string_view part : parts) values.list.push_back(parseOptionNumber(part, optionText));
  values.count = values.list.size();
  return values;
}

}  // namespace

std::vector<std::string_view> splitAt(std::string_view text, char separator) {
  std::vector<std::string_view> parts;
  for (std::size_t from = 0;;) {
    const std::size_t at = text.find(separator, from);
    parts.push_back(text.substr(from, at == std::string_view::npos ? at : at - from));
    if (at == std::string_view::npos) return parts;
    from = at + 1;
  }
}

double parseOptionNumber(std::string_view number, const std::string& optionText) {
  const ParsedNumber parsed = parseDecimalNumber(number);
  if (parsed.status == NumberStatus::Valid) return parsed.value;
  if (number.empty()) fault(optionText, "a number is missing");
  // Built by appending: GCC 12 warns falsely about '"\"" + string'.
  std::string reason(1, '"');
  reason.append(number).append("\" is not a number");
  if (parsed.status == NumberStatus::OutOfRange) reason += " in range";
  fault(optionText, reason);
}

ParameterValues parseVariedParameter(std::string_view text, std::string_view option) {
  const std::string optionText = std::string(option) + " " + std::string(text);
  const std::size_t equals = text.find('=');
  if (equals == std::string_view::npos) fault(optionText, "expected NAME=START:STOP:STEP or NAME=V1,V2,...");
  const std::string_view name = text.substr(0, equals);
  const StudyParameter* parameter = findStudyParameter(name);
  if (parameter == nullptr) {
    fault(optionText, "unknown parameter \"" + std::string(name) + "\"; the parameters are " +
                          studyParameterList());
  }
  const std::string_view values = text.substr(equals + 1);
  ParameterValues parsed = values.find(':') != std::string_view::npos
                               ? parseRange(splitAt(values, ':'), optionText)
                               : parseList(splitAt(values, ','), optionText);
  parsed.parameter = parameter;
  return parsed;
}

std::uint64_t countStudyDesigns(const std::vector<ParameterValues>& varied) {
  double designs = 1.0;
  std::string options;
  for (const ParameterValues& values : varied) {
    designs *= static_cast<double>(values.count);
    options += (options.empty() ? "" : " by ") + std::string(values.parameter->name);
  }
  if (designs > static_cast<double>(maxStudyDesigns)) {
    fault("--vary " + options, countText(designs) + " designs, more than the " +
                                   std::to_string(maxStudyDesigns) + " a study may have");
  }
  return static_cast<std::uint64_t>(designs);
}

}  // namespace propclear

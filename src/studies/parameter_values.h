#pragma once
// The values a study gives a parameter, as the command line writes them:
// "--vary NAME=START:STOP:STEP", START + i * STEP up to and including STOP
// (a drift of the quotient's rounding past it still counts: wholeSteps), or
// "--vary NAME=V1,V2,...". Every fault (an unknown name, a malformed number,
// a step of 0 or of the wrong sign, too many designs) is a
// RunError(ErrorKind::Usage) naming the option and its value, raised before
// anything runs.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "studies/decimal_grid.h"
#include "studies/study_parameter.h"

namespace propclear {

// The most designs one study may have (a grid counts all its points).
inline constexpr std::uint64_t maxStudyDesigns = 100'000'000;

struct ParameterValues {
  const StudyParameter* parameter = nullptr;
  DecimalGrid grid;          // for a range
  std::vector<double> list;  // for a list; empty for a range
  std::uint64_t count = 0;

  double at(std::uint64_t index) const {
    return list.empty() ? grid.at(static_cast<std::int64_t>(index)) : list[index];
  }
};

// One "--vary" value: "NAME=START:STOP:STEP" or "NAME=V1,V2,...". `option`
// names the option in messages ("--vary").
ParameterValues parseVariedParameter(std::string_view text, std::string_view option);

// The number of designs of a sweep over all `varied` together (a grid); more
// than maxStudyDesigns is a usage fault.
std::uint64_t countStudyDesigns(const std::vector<ParameterValues>& varied);

// A number of an option's value, read like the design file's numbers; a
// malformed one is a usage fault quoting `optionText` ("--range 3:x").
double parseOptionNumber(std::string_view number, const std::string& optionText);

// `text` split at every `separator`.
std::vector<std::string_view> splitAt(std::string_view text, char separator);

}  // namespace propclear

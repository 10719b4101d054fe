#pragma once
// Where the number stream went off count. The reader takes a design file's
// values as one stream of numbers, so a value line with a number too many
// (a decimal comma: "5,200") or too few shifts every later field, and the
// fault shows only lines later, on a caption. This finds the first value
// line before the fault that holds more or fewer numbers than its fields.

#include <filesystem>
#include <string>
#include <string_view>

namespace propclear {

// " (line 17 holds 3 numbers for its 2 fields, propeller diameter and hub
// diameter: "5,200, 0.850"; a decimal comma or a missing separator is the
// usual cause)" (for too few numbers: "a missing value"), or "" when every
// value line before `faultLine` holds as many numbers as it has fields.
std::string valueLineCountHint(const std::filesystem::path& path, long faultLine);
// The same for a design file's text.
std::string valueLineCountHint(std::string_view text, long faultLine);

}  // namespace propclear

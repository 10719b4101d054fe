#pragma once
// JSON literals: strings and numbers as the results file writes them.

#include <string>
#include <string_view>

namespace propclear {

// `text` as a quoted JSON string. Quotes, backslashes and control characters
// are escaped; valid UTF-8 passes through, and each byte that is not part of
// a valid UTF-8 sequence becomes U+FFFD, since a warning may quote a design
// file's bytes.
std::string jsonString(std::string_view text);

// The shortest decimal text that reads back as exactly `value`. A non-finite
// value, which JSON cannot carry, is an arithmetic fault naming `what`.
std::string jsonNumber(double value, const char* what);

}  // namespace propclear

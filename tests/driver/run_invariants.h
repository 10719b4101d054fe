#pragma once
// What every run must leave behind, whatever its design file held: an ending
// with its disk state, a message for an error, and outputs that are plain
// ASCII CR LF text free of NaN and infinity. Shared by the fuzz target, which
// aborts on a broken invariant, and the suite, which replays what the fuzzer
// found. Header-only and free of GoogleTest so that both can use it.

#include <algorithm>
#include <cctype>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

#include "cad/write_cad_script.h"
#include "design/read_design_data.h"
#include "driver/run.h"
#include "report/write_report.h"

namespace propclear::test {

// Lines of the report of a completed run.
inline constexpr std::size_t completedReportLineCount = 38;

// The whole file, or nothing when it does not exist.
inline std::optional<std::string> fileContent(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline bool containsWordIgnoringCase(const std::string& text, const std::string& word) {
  std::string lower = text;
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return lower.find(word) != std::string::npos;
}

// "" when `text` is CR LF lines of printable ASCII without "nan" or "inf" in
// any case; otherwise what is wrong with it.
inline std::string brokenTextFile(const std::string& name, const std::string& text) {
  if (text.size() < 2 || text.compare(text.size() - 2, 2, "\r\n") != 0) {
    return name + " does not end with CR LF";
  }
  for (std::size_t i = 0; i < text.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    const bool lineEnd = (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ||
                         (c == '\n' && i > 0 && text[i - 1] == '\r');
    if (!lineEnd && (c < 0x20 || c > 0x7E)) {
      return name + " holds byte " + std::to_string(c) + " at offset " + std::to_string(i);
    }
  }
  for (const char* word : {"nan", "inf"}) {
    if (containsWordIgnoringCase(text, word)) return name + " holds \"" + word + "\"";
  }
  return "";
}

inline std::size_t crLfLineCount(const std::string& text) {
  std::size_t count = 0;
  for (std::size_t at = text.find("\r\n"); at != std::string::npos;
       at = text.find("\r\n", at + 2)) {
    ++count;
  }
  return count;
}

// "" when nothing in the folder but the design file and the run's two outputs.
inline std::string strayFiles(const std::filesystem::path& folder) {
  std::string stray;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    const std::string name = entry.path().filename().string();
    if (name != designFileName && name != reportFileName && name != cadScriptFileName) {
      stray += (stray.empty() ? "" : ", ") + name;
    }
  }
  return stray.empty() ? "" : "files left behind: " + stray;
}

inline std::string nonFiniteDrawing(const RunOutcome& outcome) {
  if (!outcome.state) return "";
  for (const DrawCommand& c : outcome.state->surface.commands()) {
    for (const double value : {double(c.x1), double(c.y1), double(c.x2), double(c.y2),
                               double(c.radius), c.left, c.top, c.right, c.bottom}) {
      if (!std::isfinite(value)) return "the drawing holds a non-finite coordinate";
    }
  }
  return "";
}

// Checks a run that started in `folder` holding only its design file and was
// answered "H". `messages` is what the run wrote to its message stream.
// Returns "" when every invariant holds, else the first one broken.
inline std::string brokenRunInvariant(const RunOutcome& outcome, const std::string& messages,
                                      const std::filesystem::path& folder) {
  const std::optional<std::string> report = fileContent(folder / reportFileName);
  const std::optional<std::string> script = fileContent(folder / cadScriptFileName);
  if (std::string stray = strayFiles(folder); !stray.empty()) return stray;
  if (std::string drawing = nonFiniteDrawing(outcome); !drawing.empty()) return drawing;
  switch (outcome.ending) {
    case Ending::ContourTooLong:
      if (report || script) return "an over-long contour left an output file";
      return "";
    case Ending::WrongGeometry:
      return "the answer \"H\" ended the run as wrong geometry";
    case Ending::Error:
      if (outcome.errorMessage.empty()) return "an error ending without a message";
      if (messages.find("propclear: error: " + outcome.errorMessage) == std::string::npos) {
        return "the error message did not reach the message stream";
      }
      if (report && !report->empty()) return "an error ending left a report with text";
      if (script) return "an error ending left a CAD script: " + outcome.errorMessage;
      return "";
    case Ending::Completed: {
      if (!report || !script) return "a completed run without both output files";
      if (crLfLineCount(*report) != completedReportLineCount) {
        return "the report has " + std::to_string(crLfLineCount(*report)) + " lines";
      }
      if (script->rfind("Limits\r\n", 0) != 0) return "the CAD script does not start with Limits";
      if (std::string bad = brokenTextFile(reportFileName, *report); !bad.empty()) return bad;
      return brokenTextFile(cadScriptFileName, *script);
    }
  }
  return "an unknown ending";
}

}  // namespace propclear::test

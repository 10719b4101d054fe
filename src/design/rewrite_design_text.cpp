#include "design/rewrite_design_text.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <system_error>
#include <vector>

#include "common/format_number.h"
#include "common/number_conversion.h"
#include "common/run_error.h"
#include "design/read_design_data.h"

namespace propclear {

namespace {

// The numbers before the contour: centre x, z, waterline, D, Dh, P/D, Ear,
// rake, then x and z of each rudder corner.
constexpr std::size_t propellerAndRudderValues = 8 + 2 * rudderCornerCount;
constexpr std::size_t valuesPerContourPoint = 3;
// Enough for any double to read back exactly in fixed notation at the sizes
// of a stern (beyond it the shortest text is written).
constexpr int maxExactDecimals = 17;

int contourPointsOf(const DesignData& design) { return design.contourPointCount[sternContourRow]; }

// Every value of `design` in the order the file holds them, the terminator
// line left out.
std::vector<double> valuesInFileOrder(const DesignData& design) {
  std::vector<double> values = {design.propellerCentreX, design.propellerCentreZ,
                                design.waterlineHeight,  design.propellerDiameter,
                                design.hubDiameter,      design.pitchRatio,
                                design.areaRatio,        design.rakeAngle};
  for (int corner = 1; corner <= rudderCornerCount; ++corner) {
    values.push_back(design.rudderX[corner]);
    values.push_back(design.rudderZ[corner]);
  }
  for (int point = 1; point <= contourPointsOf(design); ++point) {
    values.push_back(design.contourZ[sternContourRow][point]);
    values.push_back(design.contourX[sternContourRow][point]);
    values.push_back(design.contourCode[sternContourRow][point]);
  }
  return values;
}

// Equal down to the sign of a zero, so that -0 written as 0 is rewritten too.
bool sameValue(double first, double second) {
  return first == second && std::signbit(first) == std::signbit(second);
}

std::string_view lineEndOf(std::string_view text) {
  const std::size_t end = text.find_first_of("\r\n");
  if (end == std::string_view::npos) return "\r\n";
  if (text[end] == '\n') return "\n";
  return text.substr(end, 2) == "\r\n" ? "\r\n" : "\r";
}

// The offset where the line holding `offset` begins.
std::size_t lineStartOf(std::string_view text, std::size_t offset) {
  const std::size_t previousEnd = text.find_last_of("\r\n", offset == 0 ? 0 : offset - 1);
  return offset == 0 || previousEnd == std::string_view::npos ? 0 : previousEnd + 1;
}

// The decimals of a number as written: "4.600" has 3; none for one written
// without a point or with an exponent.
std::optional<int> decimalsOf(std::string_view written) {
  if (written.find_first_of("eE") != std::string_view::npos) return std::nullopt;
  const std::size_t point = written.find('.');
  if (point == std::string_view::npos) return std::nullopt;
  return static_cast<int>(written.size() - point - 1);
}

bool readsBackAs(const std::string& text, double value) {
  double read = 0.0;
  const std::from_chars_result result = readDouble(text.data(), text.data() + text.size(), read);
  return result.ec == std::errc() && read == value && std::signbit(read) == std::signbit(value);
}

// `value` with the decimals of the number it replaces, or as many more as it
// needs to read back exactly; the shortest exact text where the number had
// no decimals or an exponent.
void appendAsWritten(std::string& out, double value, std::optional<int> decimals,
                     const char* what) {
  if (decimals && std::isfinite(value)) {
    for (int places = *decimals; places <= maxExactDecimals; ++places) {
      std::string text = formatRounded(value, places);
      if (readsBackAs(text, value)) {
        out += text;
        return;
      }
    }
  }
  appendShortest(out, value, what);
}

// The decimals of each column of the original's first contour point.
struct ContourStyle {
  std::optional<int> z, x, code;
};

std::string contourLines(const DesignData& design, std::string_view lineEnd,
                         const ContourStyle& style) {
  std::string lines;
  for (int point = 1; point <= contourPointsOf(design); ++point) {
    appendAsWritten(lines, design.contourZ[sternContourRow][point], style.z, "a contour height");
    lines += ", ";
    appendAsWritten(lines, design.contourX[sternContourRow][point], style.x, "a contour x");
    lines += ", ";
    appendAsWritten(lines, design.contourCode[sternContourRow][point], style.code,
                    "a contour code");
    lines += lineEnd;
  }
  return lines;
}

// Copies `text` into `out` with the numbers at spans[0..count) replaced where
// their value changed, up to `end`.
class Rewriter {
 public:
  Rewriter(std::string_view text, const std::vector<TextSpan>& spans)
      : text_(text), spans_(spans) {}

  void numbers(std::size_t count, const std::vector<double>& before,
               const std::vector<double>& after) {
    for (std::size_t i = 0; i < count; ++i) {
      if (sameValue(before[i], after[i])) continue;
      copyUpTo(spans_[i].begin);
      appendAsWritten(out_, after[i], decimalsOf(written(i)), "a value of the design");
      copied_ = spans_[i].end;
    }
  }
  void replace(std::size_t begin, std::size_t end, std::string_view replacement) {
    copyUpTo(begin);
    out_ += replacement;
    copied_ = end;
  }
  std::string_view written(std::size_t i) const {
    return text_.substr(spans_[i].begin, spans_[i].end - spans_[i].begin);
  }
  std::string finish() {
    copyUpTo(text_.size());
    return std::move(out_);
  }

 private:
  void copyUpTo(std::size_t offset) {
    out_.append(text_.substr(copied_, offset - copied_));
    copied_ = offset;
  }

  std::string_view text_;
  const std::vector<TextSpan>& spans_;
  std::string out_;
  std::size_t copied_ = 0;
};

}  // namespace

std::string rewriteDesignText(std::string_view originalText, const std::string& displayName,
                              const DesignData& design) {
  std::vector<TextSpan> spans;
  const ReadResult original = readDesignText(originalText, displayName, &spans);
  if (original.outcome == ReadOutcome::ContourTooLong) {
    throw RunError(ErrorKind::Input,
                   "cannot write the design back: the original's stern contour has no terminator "
                   "(code 99) within " + std::to_string(maxContourLines) + " lines",
                   ErrorLocation{displayName});
  }
  const std::vector<double> before = valuesInFileOrder(original.design);
  const std::vector<double> after = valuesInFileOrder(design);
  Rewriter rewriter(originalText, spans);
  if (contourPointsOf(original.design) == contourPointsOf(design)) {
    rewriter.numbers(after.size(), before, after);
    return rewriter.finish();
  }
  rewriter.numbers(propellerAndRudderValues, before, after);
  // The contour lines run from the first contour number (the terminator's,
  // when there are none) to the terminator's line, or to its first number
  // when a point shares that line.
  const std::size_t first = spans[propellerAndRudderValues].begin;
  const std::size_t terminator = spans[before.size()].begin;
  const std::size_t lastPointEnd = spans[before.size() - 1].end;
  const std::size_t terminatorLine = lineStartOf(originalText, terminator);
  const std::size_t end = terminatorLine >= lastPointEnd ? terminatorLine : terminator;
  ContourStyle style;
  if (contourPointsOf(original.design) > 0) {
    style = {decimalsOf(rewriter.written(propellerAndRudderValues)),
             decimalsOf(rewriter.written(propellerAndRudderValues + 1)),
             decimalsOf(rewriter.written(propellerAndRudderValues + 2))};
  }
  rewriter.replace(first, std::max(first, end),
                   contourLines(design, lineEndOf(originalText), style));
  return rewriter.finish();
}

}  // namespace propclear

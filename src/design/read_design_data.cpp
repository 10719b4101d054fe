#include "design/read_design_data.h"

#include <string>

#include "design/number_stream.h"
#include "design/value_line_counts.h"

namespace propclear {

namespace {

void skipHeaderLines(NumberStream& in, int firstLine, int lastLine) {
  for (int line = firstLine; line <= lastLine; ++line) in.skipLine(line);
}

void readPropellerData(NumberStream& in, DesignData& design) {
  skipHeaderLines(in, 1, 12);
  design.propellerCentreX = in.readNumber({"propeller centre x"});
  design.propellerCentreZ = in.readNumber({"propeller centre z"});
  skipHeaderLines(in, 14, 14);
  design.waterlineHeight = in.readNumber({"waterline height"});
  skipHeaderLines(in, 16, 16);
  design.propellerDiameter = in.readNumber({"propeller diameter"});
  design.hubDiameter = in.readNumber({"hub diameter"});
  skipHeaderLines(in, 18, 19);
  design.pitchRatio = in.readNumber({"pitch ratio"});
  design.areaRatio = in.readNumber({"area ratio"});
  design.rakeAngle = in.readNumber({"rake angle"});
}

void readRudderCorners(NumberStream& in, DesignData& design) {
  skipHeaderLines(in, 21, 23);
  for (int corner = 1; corner <= rudderCornerCount; ++corner) {
    design.rudderX[corner] = in.readNumber({"rudder point", corner, "x"});
    design.rudderZ[corner] = in.readNumber({"rudder point", corner, "z"});
  }
  design.rudderPointCount = rudderCornerCount;
}

// Reads contour lines up to and including the terminator (code 99) into row
// sternContourRow; false when maxContourLines lines pass without one.
bool readSternContour(NumberStream& in, DesignData& design) {
  skipHeaderLines(in, 28, 29);
  for (int line = 1; line <= maxContourLines; ++line) {
    if (in.atEndOfNumbers()) {
      throw in.faultHere(
          "unexpected end of file: the contour ends without a terminator line (code 99) after " +
          std::to_string(line - 1) + " points");
    }
    const double z = in.readNumber({"contour point", line, "height"});
    const double x = in.readNumber({"contour point", line, "x"});
    const double code = in.readNumber({"contour point", line, "code"});
    if (code == contourTerminatorCode) {
      design.contourPointCount[sternContourRow] = line - 1;
      return true;
    }
    if (line <= maxContourPoints) {
      design.contourZ[sternContourRow][line] = z;
      design.contourX[sternContourRow][line] = x;
      design.contourCode[sternContourRow][line] = code;
    }
  }
  return false;
}

// One result, returned by every path, so that it is built in the caller's
// place: the design data are 48 kB.
ReadResult readDesign(NumberStream& in) {
  ReadResult result;
  readPropellerData(in, result.design);
  readRudderCorners(in, result.design);
  if (!readSternContour(in, result.design)) result = {ReadOutcome::ContourTooLong, DesignData{}};
  return result;
}

}  // namespace

std::string displayNameOf(const std::filesystem::path& path) {
  const std::string name = path.filename().string();
  return name.empty() ? path.string() : name;
}

ReadResult readDesignData(const std::filesystem::path& path) {
  try {
    NumberStream in(path, displayNameOf(path));
    return readDesign(in);
  } catch (const RunError& error) {
    // A fault that the number stream found some lines after the value line
    // whose count went off: say where it went off.
    if (error.kind() != ErrorKind::Input || error.where().line == 0) throw;
    const std::string hint = valueLineCountHint(path, error.where().line);
    if (hint.empty()) throw;
    throw RunError(ErrorKind::Input, error.detail() + hint, error.where());
  }
}

ReadResult readDesignText(std::string_view text, const std::string& displayName,
                          std::vector<TextSpan>* numberSpans) {
  try {
    NumberStream in(text, displayName);
    in.recordNumberSpans(numberSpans);
    return readDesign(in);
  } catch (const RunError& error) {
    if (error.kind() != ErrorKind::Input || error.where().line == 0) throw;
    const std::string hint = valueLineCountHint(text, error.where().line);
    if (hint.empty()) throw;
    throw RunError(ErrorKind::Input, error.detail() + hint, error.where());
  }
}

}  // namespace propclear

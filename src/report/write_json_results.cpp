#include "report/write_json_results.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <optional>

#include "common/checked_math.h"
#include "common/output_file.h"
#include "common/run_error.h"
#include "common/version.h"
#include "report/json_writer.h"

namespace propclear {

namespace {

using Layout = JsonWriter::Layout;

// r/R of the stations is given to this many decimals, the table's precision.
constexpr double radiusRatioScale = 10000.0;

void member(JsonWriter& json, const char* name, double value) {
  json.key(name);
  json.value(value, name);
}

void pointMember(JsonWriter& json, const char* name, double x, double z) {
  json.key(name);
  json.openObject(Layout::Inline);
  member(json, "x", x);
  member(json, "z", z);
  json.close();
}

void appendProgram(JsonWriter& json) {
  json.key("program");
  json.openObject(Layout::Inline);
  json.key("name");
  json.value(programName);
  json.key("version");
  json.value(programVersion);
  json.close();
}

void appendDesign(JsonWriter& json, const DesignData& design) {
  json.key("design");
  json.openObject();
  pointMember(json, "propellerCentre", design.propellerCentreX, design.propellerCentreZ);
  member(json, "waterlineHeight", design.waterlineHeight);
  member(json, "propellerDiameter", design.propellerDiameter);
  member(json, "hubDiameter", design.hubDiameter);
  member(json, "pitchRatio", design.pitchRatio);
  member(json, "areaRatio", design.areaRatio);
  member(json, "rakeAngle", design.rakeAngle);
  json.key("rudderCorners");
  json.openArray();
  for (int i = 1; i <= design.rudderPointCount; ++i) {
    json.openObject(Layout::Inline);
    member(json, "x", design.rudderX[i]);
    member(json, "z", design.rudderZ[i]);
    json.close();
  }
  json.close();
  json.key("contourPoints");
  json.openArray();
  for (int k = 1; k <= design.contourPointCount[sternContourRow]; ++k) {
    json.openObject(Layout::Inline);
    member(json, "z", design.contourZ[sternContourRow][k]);
    member(json, "x", design.contourX[sternContourRow][k]);
    member(json, "code", design.contourCode[sternContourRow][k]);
    json.close();
  }
  json.close();
  json.close();
}

// The station's r/R (0.2 ... 1.0), recovered from its radius.
double radiusRatio(double radius, double propellerDiameter) {
  const char* what = "a blade station's r/R";
  const double ratio = checkedDivide(radius, checkedDivide(propellerDiameter, 2.0, what), what);
  return checkedDivide(std::round(ratio * radiusRatioScale), radiusRatioScale, what);
}

void appendBladeOutline(JsonWriter& json, const BladeOutline& b, double propellerDiameter) {
  json.key("bladeOutline");
  json.openObject();
  json.key("stations");
  json.openArray();
  for (int k = 1; k <= b.stationCount; ++k) {
    json.openObject();
    json.key("station");
    json.value(k);
    member(json, "rOverR", radiusRatio(b.stationRadius[k], propellerDiameter));
    member(json, "radius", b.stationRadius[k]);
    pointMember(json, "edge1", b.edge1X[k], b.edge1Z[k]);
    pointMember(json, "edge2", b.edge2X[k], b.edge2Z[k]);
    json.close();
  }
  json.close();
  json.close();
}

void appendClearances(JsonWriter& json, const SternAnalysis& analysis, double propellerDiameter) {
  json.key("clearances");
  json.openArray();
  for (int i = 0; i < clearanceCount; ++i) {
    const ClearanceSegment& segment = analysis.clearances[i];
    const std::optional<double>& signedGap = analysis.signedGaps[i];
    json.openObject();
    json.key("name");
    json.value(segment.name);
    pointMember(json, "blade", segment.bladeX, segment.bladeZ);
    pointMember(json, "target", segment.targetX, segment.targetZ);
    member(json, "length_m", segment.length);
    member(json, "ratio_to_D",
           checkedDivide(segment.length, propellerDiameter, "a clearance as a multiple of D"));
    json.key("signedLength");
    if (signedGap) {
      json.value(*signedGap, "signedLength");
    } else {
      json.null();
    }
    json.key("overlaps");
    json.value(overlaps(signedGap));
    json.close();
  }
  json.close();
}

void appendPlotExtent(JsonWriter& json, const PlotExtent& extent) {
  json.key("plotExtent");
  json.openObject(Layout::Inline);
  member(json, "min", extent.min);
  member(json, "max", extent.max);
  member(json, "range", extent.range);
  json.close();
}

void appendWarnings(JsonWriter& json, const std::vector<std::string>& warnings) {
  json.key("warnings");
  json.openArray();
  for (const std::string& warning : warnings) json.value(warning);
  json.close();
}

void writeToStandardOutput(const std::string& text) {
  errno = 0;
  const bool written = std::fwrite(text.data(), 1, text.size(), stdout) == text.size();
  if (!written || std::fflush(stdout) != 0) {
    throw RunError(ErrorKind::FileSystem,
                   std::string("cannot write the results: ") +
                       (errno != 0 ? std::strerror(errno) : "unknown error"),
                   ErrorLocation{"standard output"});
  }
}

}  // namespace

std::string jsonResultsText(const JsonResults& results) {
  const double d = results.design.propellerDiameter;
  JsonWriter json;
  json.openObject();
  json.key("schemaVersion");
  json.value(jsonSchemaVersion);
  appendProgram(json);
  json.key("ending");
  json.value(results.ending);
  appendDesign(json, results.design);
  appendBladeOutline(json, results.analysis.outline, d);
  appendClearances(json, results.analysis, d);
  appendPlotExtent(json, results.analysis.extent);
  appendWarnings(json, results.analysis.warnings);
  json.close();
  return json.text();
}

void writeJsonResults(const std::string& target, const JsonResults& results) {
  const std::string text = jsonResultsText(results);
  if (target == standardOutputTarget) {
    writeToStandardOutput(text);
    return;
  }
  OutputFile file(target, target, OutputFile::Mode::ReplaceOnCommit);
  file.writeText(text);
  file.commit();
}

}  // namespace propclear

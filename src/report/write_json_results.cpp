#include "report/write_json_results.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "common/checked_math.h"
#include "common/output_file.h"
#include "common/version.h"
#include "report/json_writer.h"
#include "report/rule_check_json.h"

namespace propclear {

namespace {

using Layout = JsonWriter::Layout;

// r/R of the stations is given to this many decimals, the table's precision.
constexpr double radiusRatioScale = 10000.0;

void pointMember(JsonWriter& json, const char* name, double x, double z) {
  json.key(name);
  json.openObject(Layout::Inline);
  json.member("x", x);
  json.member("z", z);
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
  json.member("waterlineHeight", design.waterlineHeight);
  json.member("propellerDiameter", design.propellerDiameter);
  json.member("hubDiameter", design.hubDiameter);
  json.member("pitchRatio", design.pitchRatio);
  json.member("areaRatio", design.areaRatio);
  json.member("rakeAngle", design.rakeAngle);
  json.key("rudderCorners");
  json.openArray();
  for (int i = 1; i <= design.rudderPointCount; ++i) {
    json.openObject(Layout::Inline);
    json.member("x", design.rudderX[i]);
    json.member("z", design.rudderZ[i]);
    json.close();
  }
  json.close();
  json.key("contourPoints");
  json.openArray();
  for (int k = 1; k <= design.contourPointCount[sternContourRow]; ++k) {
    json.openObject(Layout::Inline);
    json.member("z", design.contourZ[sternContourRow][k]);
    json.member("x", design.contourX[sternContourRow][k]);
    json.member("code", design.contourCode[sternContourRow][k]);
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
    json.member("rOverR", radiusRatio(b.stationRadius[k], propellerDiameter));
    json.member("radius", b.stationRadius[k]);
    pointMember(json, "edge1", b.edge1X[k], b.edge1Z[k]);
    pointMember(json, "edge2", b.edge2X[k], b.edge2Z[k]);
    json.close();
  }
  json.close();
  json.close();
}

// The figures of one measured segment: its ends, its length in m and per D,
// its signed gap and whether it overlaps.
void appendSegmentFigures(JsonWriter& json, const ClearanceSegment& segment,
                          const std::optional<double>& signedGap, double propellerDiameter) {
  pointMember(json, "blade", segment.bladeX, segment.bladeZ);
  pointMember(json, "target", segment.targetX, segment.targetZ);
  json.member("length_m", segment.length);
  json.member("ratio_to_D",
         checkedDivide(segment.length, propellerDiameter, "a clearance as a multiple of D"));
  json.key("signedLength");
  if (signedGap) {
    json.value(*signedGap, "signedLength");
  } else {
    json.null();
  }
  json.key("overlaps");
  json.value(overlaps(signedGap));
}

const char* bladeCode(MeasuredBlade blade) {
  return blade == MeasuredBlade::Upper ? "upper" : "lower-turning";
}

// a, b, c of the upper blade, a', b', c' of the lower blade as it turns.
void appendClearances(JsonWriter& json, const Assessment& assessment, double propellerDiameter) {
  json.key("clearances");
  json.openArray();
  for (const AssessedClearance& clearance : assessment.clearances) {
    json.openObject();
    json.member("name", std::string(clearance.name));
    json.member("measuredOn", std::string(bladeCode(clearance.blade)));
    appendSegmentFigures(json, clearance.segment, clearance.signedGap, propellerDiameter);
    json.member("status", std::string(statusCode(clearance.status)));
    json.member("statusText", clearanceStatusText(assessment, clearance));
    json.close();
  }
  json.close();
}

// The mirrored lower blade's a' and c', as the report and the CAD script print them.
void appendLegacyClearances(JsonWriter& json, const Assessment& assessment,
                            double propellerDiameter) {
  json.key("legacyClearances");
  json.openArray();
  for (const LegacyClearance& clearance : assessment.legacyLowerBlade) {
    json.openObject();
    json.member("name", std::string(clearance.name));
    json.member("measuredOn", std::string("lower-mirrored"));
    appendSegmentFigures(json, clearance.segment, clearance.signedGap, propellerDiameter);
    json.close();
  }
  json.close();
}

void appendClashes(JsonWriter& json, const std::vector<Clash>& clashes) {
  json.key("clashes");
  json.openArray();
  for (const Clash& clash : clashes) {
    json.openObject(Layout::Inline);
    json.member("cutter", std::string(clash.cutter == Clash::Cutter::Blade ? "blade"
                                      : clash.cutter == Clash::Cutter::Hub ? "hub"
                                                                           : "swept-volume"));
    json.member("structure", clash.structure);
    json.member("clearance", clash.clearance);
    json.member("depth_m", clash.depthMetres);
    json.member("text", clashText(clash));
    json.close();
  }
  json.close();
}

const char* structureKey(SternStructure structure) {
  switch (structure) {
    case SternStructure::SternContour: return "sternContour";
    case SternStructure::RudderEdge: return "rudderLeadingEdge";
    case SternStructure::Heel: return "heel";
  }
  return "structure";
}

// The meridional section at the stations: the axial extent of each blade
// section, between its two edge points.
void appendSweptVolume(JsonWriter& json, const DesignData& design, const BladeOutline& outline) {
  const double x0 = design.propellerCentreX;
  json.key("sweptVolume");
  json.openObject();
  json.member("axisZ", design.propellerCentreZ);
  json.key("sections");
  json.openArray();
  for (int k = 1; k <= outline.stationCount; ++k) {
    const double r = outline.stationRadius[k];
    const double x1 = x0 + outline.edge1X[k], x2 = x0 + outline.edge2X[k];
    json.openObject(Layout::Inline);
    json.member("rOverR", radiusRatio(r, design.propellerDiameter));
    json.member("radius", r);
    json.member("xLow", std::min(x1, x2));
    json.member("xHigh", std::max(x1, x2));
    json.close();
  }
  json.close();
  json.close();
}

void appendApproach(JsonWriter& json, const ClosestApproach& approach) {
  json.openObject();
  json.key("structure");
  json.value(structureKey(approach.structure));

  json.member("distance_m", approach.distance);
  json.member("ratio_to_D", approach.distancePerDiameter);
  pointMember(json, "structurePoint", approach.structureX, approach.structureZ);
  pointMember(json, "sweptPoint", approach.sweptX, approach.sweptZ);
  json.member("rOverR", approach.radiusRatio);
  json.key("side");
  json.value(approach.aboveShaft ? "above" : "below");
  json.key("overlaps");
  json.value(approach.overlaps);
  json.member("overlapDepth_m", approach.overlapDepth);
  json.close();
}

// The lower tip's height above the base line and the shortest distance from
// the upper tip to the contour above, each where the analysis measured it.
void appendTipClearances(JsonWriter& json, const SternAnalysis& analysis, double propellerDiameter) {
  if (analysis.baseLineClearance) json.member("baseLineClearance_m", *analysis.baseLineClearance);
  if (!analysis.shortestTipDistance) return;
  const ClearanceSegment& shortest = *analysis.shortestTipDistance;
  json.key("shortestTipDistance");
  json.openObject();
  pointMember(json, "blade", shortest.bladeX, shortest.bladeZ);
  pointMember(json, "target", shortest.targetX, shortest.targetZ);
  json.member("length_m", shortest.length);
  json.member("ratio_to_D", checkedDivide(shortest.length, propellerDiameter,
                                          "the shortest tip distance as a multiple of D"));
  json.close();
}

// The propeller file's propeller: its blades, its hub's length and the
// outline of the upper blade as offsets from the propeller centre, in metres.
void appendPropeller(JsonWriter& json, const DesignData& design, const SternAnalysis& analysis) {
  if (!design.propeller) return;
  const BladeOutline& b = analysis.outline;
  json.key("propeller");
  json.openObject();
  json.key("blades");
  json.value(design.propeller->bladeCount);
  json.member("hubLength_m", hubLength(design));
  json.key("outline");
  json.openArray();
  for (int k = 1; k <= b.stationCount; ++k) {
    json.openObject(Layout::Inline);
    json.member("r", b.stationRadius[k]);
    pointMember(json, "edge1", b.edge1X[k], b.edge1Z[k]);
    pointMember(json, "edge2", b.edge2X[k], b.edge2Z[k]);
    json.close();
  }
  json.close();
  json.key("hubClosestApproach");
  if (analysis.hubApproach) {
    appendApproach(json, *analysis.hubApproach);
  } else {
    json.null();
  }
  json.close();
}

// Null without a swept volume (a diameter that is not positive).
void appendClosestApproach(JsonWriter& json, const DesignData& design,
                           const SternAnalysis& analysis) {
  json.key("closestApproach");
  if (!analysis.sweptVolume) {
    json.null();
    return;
  }
  json.openObject();
  json.key("bladeThickness");
  json.value("neglected");
  appendSweptVolume(json, design, analysis.outline);
  json.key("structures");
  json.openArray();
  for (const ClosestApproach& approach : analysis.closestApproaches) appendApproach(json, approach);
  json.close();
  json.close();
}

void appendPlotExtent(JsonWriter& json, const PlotExtent& extent) {
  json.key("plotExtent");
  json.openObject(Layout::Inline);
  json.member("min", extent.min);
  json.member("max", extent.max);
  json.member("range", extent.range);
  json.close();
}

void appendWarnings(JsonWriter& json, const std::vector<Warning>& warnings) {
  json.key("warnings");
  json.openArray();
  for (const Warning& warning : warnings) {
    json.openObject(Layout::Inline);
    json.member("kind", std::string(warningKindCode(warning.kind)));
    json.member("clearance", warning.clearance);
    json.member("text", warning.text);
    json.close();
  }
  json.close();
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
  const Assessment& assessment = results.assessment;
  json.member("status", std::string(statusCode(assessment.status)));
  json.member("statusText", overallText(assessment));
  appendDesign(json, results.design);
  appendBladeOutline(json, assessment.analysis.outline, d);
  appendPropeller(json, results.design, assessment.analysis);
  appendClearances(json, assessment, d);
  appendLegacyClearances(json, assessment, d);
  appendTipClearances(json, assessment.analysis, d);
  appendClashes(json, assessment.clashes);
  appendClosestApproach(json, results.design, assessment.analysis);
  appendPlotExtent(json, assessment.analysis.extent);
  if (assessment.rules) appendRuleCheckJson(json, *assessment.rules);
  appendWarnings(json, assessment.warnings());
  json.close();
  return json.text();
}

void writeJsonResults(OutputFile& file, const JsonResults& results) {
  file.writeText(jsonResultsText(results));
}

}  // namespace propclear

#include "report/write_report.h"

#include <iterator>
#include <string>
#include <vector>

#include "common/checked_math.h"
#include "common/output_file.h"
#include "common/version.h"
#include "common/format_number.h"

namespace propclear {

namespace {

const char* const frameBorder =
    "#################################################################################";
const char* const frameBlank =
    "#######                                                                  ########";
const char* const frameTitle =
    "####### GEMI KIC BODOSLAMA GEOMETRISI - PERVANE/GEMI/DUMEN ACIKLIKLARI   ########";
const char* const frameSubtitle =
    "#######                HESAP PROGRAMI CIKIS DOSYASI                      ########";
const char* const frameTextStart = "#######    ";
const char* const frameTextEnd = "########";
// The author and contact texts stand in characters 12 to 73.
constexpr std::size_t frameTextPlaces = 62;

const char* const inputHeading =
    " GIRIS BILGILERI ----------------------------------------------------------------";
const char* const outputHeading =
    " CIKIS BILGILERI ----------------------------------------------------------------";

// Prefix and label of the rudder corner lines, corners 1 to 4 in file order.
struct RudderLineText {
  const char* prefix;
  const char* label;
};
constexpr RudderLineText rudderLineTexts[] = {
    {" 1. Nokta ----- = ", "  (Sol alt nokta)"},
    {" 2. Nokta ----- = ", "  (Sol ust nokta)"},
    {" 3. Nokta ----- = ", "  (Sag ust nokta)"},
    {" 4. Nokta ----- = ", "  (Sag ust nokta)"},
};
static_assert(std::size(rudderLineTexts) == rudderCornerCount);

// Prefix and recommended range of the clearance lines, in the order a, b, c,
// a', b', c'; only a and b carry a range.
struct ClearanceLineText {
  const char* prefix;
  const char* range;
};
constexpr ClearanceLineText clearanceLineTexts[] = {
    {" a  =  ", " [Onerilen a/D = 0.005 - 0.512]"},
    {" b  =  ", " [Onerilen b/D = 0.005 - 0.572]"},
    {" c  =  ", ""},
    {" a' =  ", ""},
    {" b' =  ", ""},
    {" c' =  ", ""},
};
static_assert(std::size(clearanceLineTexts) == clearanceCount);

void appendTitleFrame(std::vector<std::string>& lines) {
  lines.insert(lines.end(),
               {frameBorder, frameBlank, frameTitle, frameSubtitle, frameBlank, frameBlank});
  lines.push_back(reportFrameLine(std::string(programName) + " " + programVersion));
  lines.push_back(reportFrameLine(programLicence));
  lines.insert(lines.end(), {frameBlank, frameBorder, ""});
}

void appendRudderCorners(std::vector<std::string>& lines, const DesignData& design) {
  lines.insert(lines.end(), {inputHeading, "", " Dumen Bilgileri      x        z "});
  for (int i = 1; i <= rudderCornerCount; ++i) {
    const RudderLineText& text = rudderLineTexts[static_cast<std::size_t>(i - 1)];
    lines.push_back(text.prefix + formatFixed(design.rudderX[i], 3, 3) + "  " +
                    formatFixed(design.rudderZ[i], 3, 3) + text.label);
  }
  lines.insert(lines.end(), {"", ""});
}

void appendPropellerData(std::vector<std::string>& lines, const DesignData& design) {
  const double diameter = design.propellerDiameter;
  const double hubRatio =
      checkedDivide(design.hubDiameter, diameter, "the hub diameter ratio Dh/D");
  lines.push_back(" Pervane Bilgileri - Wageningen B Serisi Pervaneler Kullanilmaktadir");
  // The propeller file's Z, one digit like the B-series' own four.
  const int blades = design.propeller ? design.propeller->bladeCount : 4;
  lines.push_back(" Kanat Sayisi --------- Z = " + std::to_string(blades));
  lines.push_back(" Acinim Alan Orani -- Ear = " + formatFixed(design.areaRatio, 1, 3));
  lines.push_back(" Hatve Orani -------- P/D = " + formatFixed(design.pitchRatio, 1, 3));
  lines.push_back(" Pervane Capi --------- D = " + formatFixed(diameter, 2, 3) + " m.");
  lines.push_back(" Pervane Gobek Capi -- Dh = " + formatFixed(design.hubDiameter, 2, 3) +
                  " m. / Dh/D = " + formatFixed(hubRatio, 1, 3));
  lines.insert(lines.end(), {"", "", ""});
}

void appendClearances(std::vector<std::string>& lines, const ClearanceSet& clearances,
                      double diameter) {
  lines.insert(lines.end(), {outputHeading, "", " Pervane Tekne Arasi Acikliklar"});
  for (std::size_t i = 0; i < clearances.size(); ++i) {
    const double length = clearances[i].length;
    const double ratio = checkedDivide(length, diameter, "a clearance as a multiple of D");
    const ClearanceLineText& text = clearanceLineTexts[i];
    lines.push_back(text.prefix + formatFixed(length, 1, 3) + " m. / " + formatFixed(ratio, 1, 3) +
                    "*D" + text.range);
  }
}

}  // namespace

std::string reportFrameLine(std::string_view text) {
  const std::string_view shown = text.substr(0, frameTextPlaces);
  return frameTextStart + std::string(shown) + std::string(frameTextPlaces - shown.size(), ' ') +
         frameTextEnd;
}

std::vector<std::string> reportLines(const DesignData& design, const ClearanceSet& clearances) {
  std::vector<std::string> lines;
  lines.reserve(reportLineCount);
  appendTitleFrame(lines);
  appendRudderCorners(lines, design);
  appendPropellerData(lines, design);
  appendClearances(lines, clearances, design.propellerDiameter);
  return lines;
}

void writeReport(OutputFile& report, const DesignData& design, const ClearanceSet& clearances) {
  for (const std::string& line : reportLines(design, clearances)) report.writeLine(line);
}

}  // namespace propclear

#pragma once
// What the clearance report shows, as plain values: the design, its
// assessment (the rule check when the run has one, the status, the
// warnings) and the design file; and what follows from them for the page:
// its title, the clearances it dimensions, the mark of each, the table of
// signed gaps that stands in for the rule check without one, and the legacy
// figures of the mirrored lower blade in an annex. The page itself is laid
// out by the desktop front end.
//
// The report shows the lower blade as the propeller turns it: its a' and c'
// are the turning blade's, as everywhere but in the established report and
// CAD script, whose mirrored figures the annex names as legacy.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "assessment/assessment.h"
#include "design/design_data.h"
#include "rules/ship_particulars.h"

namespace propclear {

// The sheet the report is printed on, landscape.
enum class ReportPaper { A4, A3 };

// "A4", "A3"; none for another name.
std::optional<ReportPaper> reportPaperNamed(std::string_view name);
const char* reportPaperName(ReportPaper paper);

struct ClearanceReportContent {
  const DesignData& design;
  const Assessment& assessment;
  std::filesystem::path designFile;
  // The ship file's particulars when the run has them: the title block's
  // [drawing] boxes (empty ones stay empty), Z and the skew.
  const ShipParticulars* ship = nullptr;
  ReportPaper paper = ReportPaper::A4;
};

// The design file's caption lines, for the title block: its first lines up
// to the first rule of '=' or '-' (at most `designCaptionLineCount`), blank
// ones left out, trailing blanks and line ends taken off.
inline constexpr std::size_t designCaptionLineCount = 10;
std::vector<std::string> designCaptionLines(std::string_view fileText);

// The first line of the page: the title and the overall status, the clash
// named first: "MV Norvalek: CLASH — the blade cuts the stern frame by 0.316 m".
std::string clearanceReportHeadline(const ClearanceReportContent& content);

// The propeller's particulars as "symbol value" pairs: D, Dh, P/D, Ear, Z,
// rake, skew, the centre and the shaft's immersion below the waterline.
std::vector<std::pair<std::string, std::string>> propellerParticulars(
    const ClearanceReportContent& content);

// The closest approaches of the structure to the swept volume:
//   structure       distance m  /D     at x m  z m     state
//   stern contour   0.683       0.149  2.892   3.185   clear

// The ship's name, or the design file's name when there is none.
std::string clearanceReportTitle(const ClearanceReportContent& content);

// The six clearances the report dimensions, as assessed (a', b', c' of the
// turning lower blade), and their signed gaps (none against a stand-in
// target).
struct ReportedClearances {
  ClearanceSet segments;
  SignedGaps signedGaps;
};

ReportedClearances reportedClearancesOf(const Assessment& assessment);

// How a clearance is drawn: its worst finding over every rule line about it.
// In rising order of concern; a stand-in target ranks just below an overlap,
// as nothing can be said about the real gap.
enum class ClearanceMark {
  Clear,             // meets every minimum, or no rule check
  BelowInformative,  // below an informative minimum only
  BelowMinimum,      // below a binding minimum
  NotMeasured,       // measured against a stand-in, not the structure
  Overlap,           // the blade overlaps the structure
};

ClearanceMark clearanceMarkOf(const ClearanceReportContent& content, int clearance);

// The finding of one line of the rule check.
ClearanceMark clearanceMarkOf(const RuleLine& line);

// The six clearances with their signed gaps, for a run without a ship file:
//   clearance  length m  /D     signed gap m  /D      state
//   a          0.612     0.133  0.612         0.133   clear
struct SignedGapTable {
  std::vector<std::string> header;
  std::vector<std::vector<std::string>> rows;  // a, b, c, a', b', c'
};

SignedGapTable signedGapTable(const ClearanceReportContent& content);

// The annex of the mirrored lower blade's figures, as the report and the
// CAD script print them:
//   clearance               length m  /D
//   legacy a' (mirrored)    1.194     0.260
SignedGapTable legacyClearanceTable(const ClearanceReportContent& content);

// The closest approaches of the structure to the swept volume, the heel's too:
//   structure       distance m  /D     at x m  at z m  state
//   stern contour   0.683       0.149  2.892   3.185   clear
SignedGapTable closestApproachTable(const ClearanceReportContent& content);

}  // namespace propclear

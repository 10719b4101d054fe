#pragma once
// The run: read the design, draw it, measure the clearances, ask the designer,
// write the CAD script and the report, in that fixed order.

#include <iosfwd>
#include <memory>
#include <string>

#include <optional>

#include "assessment/assessment.h"
#include "design/design_data.h"
#include "driver/run_options.h"
#include "driver/run_platform.h"
#include "plot/drawing_surface.h"
#include "rules/check_clearance_rules.h"

namespace propclear {

enum class Ending {
  ContourTooLong,  // the design file's contour has no terminator in time; no file touched
  WrongGeometry,   // the designer reported wrong geometry; report empty, no script
  Completed,       // script and report written
  Error,           // stopped by an error; files hold what was written before it
};

// Process exit status of each ending.
int exitStatusOf(Ending ending);

// The exit status of a completed run in which a blade overlaps the hull or
// the rudder, under --strict.
inline constexpr int strictOverlapStatus = 4;
// A word for the ending ("completed", "wrong-geometry", ...).
const char* endingName(Ending ending);

inline constexpr const char* geometryQuestion = "KIC BODOSLAMA GEOMETRISINDE YANLISLIK VAR MI E/H <H>";
inline constexpr const char* geometryQuestionTitle = " ";
inline constexpr const char* geometryQuestionDefault = "H";

// The over-long contour message; the answer is ignored.
inline constexpr const char* contourTooLongMessage =
    "Kic Bodoslama geometrisi data girisinde hata var.  Bu durumda hesap devam edemez. "
    "Lütfen ilgili postadaki nokta sayısını 251 'e indirin. "
    "Programı sonlandırmak için 'Enter' tuşuna basın.";
inline constexpr const char* contourTooLongTitle = "Kic geometrisi fazla data noktasi hatasi";

// Everything a run holds, from start to end.
struct RunState {
  DesignData design;
  std::optional<ShipParticulars> ship;  // when the run checks clearance rules
  Assessment assessment;
  DrawingSurface surface;
};

struct RunOutcome {
  Ending ending = Ending::Error;
  std::string errorMessage;  // for Ending::Error
  std::unique_ptr<RunState> state;
};

// The process exit status of a run: its ending's, or strictOverlapStatus
// for a completed run under --strict whose status is a clash, below a
// minimum or not measured.
int exitStatusOf(const RunOutcome& outcome, const RunOptions& options);

// The rule check's table, after a completed run that checked clearance rules.
void printRuleCheck(const RunOutcome& outcome, std::ostream& out);

// The judged result of the design and the ship in `state` and its drawing,
// as the run makes them; the warnings go to `messages`.
void assessAndDraw(RunState& state, std::ostream& messages);

// Runs the whole sequence in options.workDir. Messages and warnings go to
// `messages` (standard error for the program).
RunOutcome runDesign(const RunOptions& options, RunPlatform& platform, std::ostream& messages);

// Only exactly "E" or "e" reports wrong geometry.
bool reportsWrongGeometry(const std::string& answer);

}  // namespace propclear

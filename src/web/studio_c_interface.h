#pragma once
// The C interface of the studio in a browser: the page hands over texts and
// gets JSON back; every computation is the core's. Each function returns a
// UTF-8 text that stays valid until the next call of the same function.

#ifdef __cplusplus
extern "C" {
#endif

// Runs the design `designName` ("Norvalek.TSK") with the text `designText`
// and the ship file text `shipText` (empty: no ship file) in the folder
// /studio, which it empties first; the outputs stay there for the page to
// read. Returns the run as JSON (web/run_on_texts.h).
const char* propclear_run(const char* designName, const char* designText, const char* shipText);

// The drawing of the last propclear_run or propclear_preview: the plot's
// commands as numbers, propclear_drawing_length of them
// (web/run_on_texts.h); valid until the next of those calls.
const float* propclear_drawing(void);
int propclear_drawing_length(void);

// Reads a design and its ship file as propclear_run does, once, for the
// previews of a drag that follow.
void propclear_preview_begin(const char* designName, const char* designText, const char* shipText);

// The design last read by propclear_preview_begin with `values` (as
// propclear_rewrite takes them), judged and drawn as propclear_run judges
// and draws the rewritten design, nothing written: its answer without files
// and with the judged result in brief (web/run_on_texts.h).
const char* propclear_preview(const double* values, int count);

// The design text with changed values, written as the studio writes a
// design back (design/rewrite_design_text.h): `values` holds, in order, the
// propeller centre x and z, the waterline height, D, Dh, P/D, Ear, the rake
// angle, the four rudder corners (x, z each) and the contour points (z, x,
// code each), 16 + 3 n values for n points. Returns {"text": ...} or
// {"error": ...}.
const char* propclear_rewrite(const char* designName, const char* designText, const double* values,
                              int count);

// The value typed for a design field, checked as the studio checks it
// (design/design_field.h): `field` is a key of the results' "design" object
// ("propellerDiameter", "rudderX", "contourCode", ...), `index` the corner or
// point from 1 (0 for the propeller's data). Returns {"value": v} or
// {"fault": ...}.
const char* propclear_check_field(const char* field, int index, const char* text);

#ifdef __cplusplus
}
#endif

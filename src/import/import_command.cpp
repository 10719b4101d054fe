#include "import/import_command.h"

#include <CLI/CLI.hpp>
#include <new>
#include <ostream>

#include "common/output_file.h"
#include "common/run_error.h"
#include "design/decimal_number.h"
#include "import/import_design.h"

namespace propclear {

namespace {

constexpr int importDoneStatus = 0;
constexpr int importErrorStatus = 1;
const char* const commandName = "propclear import";

double numberOf(const std::string& text, const std::string& option) {
  const ParsedNumber parsed = parseDecimalNumber(text);
  if (parsed.status != NumberStatus::Valid) {
    throw RunError(ErrorKind::Usage, option + " " + text + ": not a number");
  }
  return parsed.value;
}

// "X,Z" as two numbers.
DxfPoint pairOf(const std::string& text, const std::string& option) {
  const std::size_t comma = text.find(',');
  if (comma == std::string::npos)
    throw RunError(ErrorKind::Usage, option + " " + text + ": expected X,Z");
  return {numberOf(text.substr(0, comma), option), numberOf(text.substr(comma + 1), option)};
}

std::optional<double> optionalNumber(const std::string& text, const std::string& option) {
  if (text.empty()) return std::nullopt;
  return numberOf(text, option);
}

double positive(const std::string& text, const std::string& option, double upTo) {
  const double value = numberOf(text, option);
  if (!(value > 0.0 && value < upTo)) {
    throw RunError(ErrorKind::Usage, option + " " + text + ": must lie above 0 and below " +
                                         std::to_string(static_cast<int>(upTo)));
  }
  return value;
}

// The options as the command line gives them, numbers as text.
struct CommandOptions {
  std::string drawing;
  std::string output;
  std::string contourLayer, rudderLayer;
  std::string tolerance = "1";
  std::string cornerAngle = "30";
  std::string units;
  std::string origin;
  std::string design;
  std::string centre, waterline, diameter, hubDiameter, pitchRatio, areaRatio, rake;

  void addTo(CLI::App& app) {
    app.add_option("DRAWING", drawing, "the ASCII DXF drawing of the stern")->required();
    app.add_option("-o,--output", output,
                   "the design file to write (default: DRAWING with .TSK; - for standard output)")
        ->type_name("DESIGN.TSK");
    app.add_option("--contour-layer", contourLayer,
                   "the stern contour's layer (default: those named like *STERN*, *CONTOUR* or "
                   "*PROFILE*, else the longest open chain of the drawing)")
        ->type_name("LAYER");
    app.add_option("--rudder-layer", rudderLayer,
                   "the rudder's layer (default: those named like *RUDDER*)")
        ->type_name("LAYER");
    app.add_option(
           "--tolerance", tolerance,
           "the largest deviation of the thinned contour from the drawing, in mm (default 1)")
        ->type_name("MM");
    app.add_option("--corner-angle", cornerAngle,
                   "a turn of the contour sharper than this is a break point (default 30)")
        ->type_name("DEGREES");
    app.add_option(
           "--units", units,
           "the drawing's unit (mm, cm or m), where its $INSUNITS does not say or says wrong")
        ->type_name("mm|m");
    app.add_option(
           "--origin", origin,
           "the drawing's point that is the design's aft perpendicular on the base line, in "
           "the drawing's units (default 0,0)")
        ->type_name("X,Z");
    app.add_option(
           "--design", design,
           "take the propeller, waterline and captions (and the rudder, when the drawing has "
           "none) from this design file")
        ->type_name("BASE.TSK");
    app.add_option("--centre,--center", centre, "the propeller centre, in m")->type_name("X,Z");
    app.add_option("--waterline", waterline, "the design waterline's height, in m")->type_name("Z");
    app.add_option("--diameter", diameter, "the propeller diameter D, in m")->type_name("D");
    app.add_option("--hub-diameter", hubDiameter, "the hub diameter Dh, in m")->type_name("DH");
    app.add_option("--pitch-ratio", pitchRatio, "the pitch ratio P/D")->type_name("P/D");
    app.add_option("--area-ratio", areaRatio, "the expanded area ratio Ear")->type_name("EAR");
    app.add_option("--rake", rake, "the rake angle, in degrees")->type_name("DEGREES");
  }

  ImportOptions importOptions() const {
    ImportOptions o;
    o.drawingName = drawing;
    if (!contourLayer.empty()) o.contourLayer = contourLayer;
    if (!rudderLayer.empty()) o.rudderLayer = rudderLayer;
    o.tracing.tolerance = positive(tolerance, "--tolerance", 1000.0) / 1000.0;
    o.tracing.cornerAngle = positive(cornerAngle, "--corner-angle", 180.0);
    if (!units.empty() && units != "mm" && units != "cm" && units != "m") {
      throw RunError(ErrorKind::Usage, "--units " + units + ": expected mm, cm or m");
    }
    if (units == "mm") o.unit = DrawingUnit::Millimetre;
    if (units == "cm") o.unit = DrawingUnit::Centimetre;
    if (units == "m") o.unit = DrawingUnit::Metre;
    if (!origin.empty()) o.origin = pairOf(origin, "--origin");
    if (!design.empty()) o.baseDesign = design;
    PropellerSettings& s = o.settings;
    if (!centre.empty()) {
      const DxfPoint c = pairOf(centre, "--centre");
      s.centreX = c.x;
      s.centreZ = c.y;
    }
    s.waterline = optionalNumber(waterline, "--waterline");
    if (!diameter.empty()) s.diameter = positive(diameter, "--diameter", 100.0);
    if (!hubDiameter.empty()) s.hubDiameter = positive(hubDiameter, "--hub-diameter", 100.0);
    s.pitchRatio = optionalNumber(pitchRatio, "--pitch-ratio");
    s.areaRatio = optionalNumber(areaRatio, "--area-ratio");
    s.rakeAngle = optionalNumber(rake, "--rake");
    return o;
  }

  std::string outputPath() const {
    if (!output.empty()) return output;
    return std::filesystem::path(drawing).replace_extension(".TSK").string();
  }
};

void writeDesign(const std::string& target, const std::string& text) {
  if (target == "-") {
    OutputFile file{OutputFile::StandardOutput{}};
    file.writeText(text);
    file.commit();
    return;
  }
  OutputFile file(target, target, OutputFile::Devices::Refuse, OutputFile::Checked{});
  file.writeText(text);
  file.commit();
}

int importCommand(CLI::App& app, const std::vector<std::string>& arguments,
                  std::ostream& messages) {
  CommandOptions command;
  command.addTo(app);
  app.footer(
      "\nThe contour is taken from LWPOLYLINE, POLYLINE (with bulges), LINE, ARC and SPLINE\n"
      "entities joined end to end, from its lowest point upwards; circles or points marking\n"
      "points along it are taken as the points themselves. The rudder is a closed outline\n"
      "of four corners. Without --design, the values not given are the example's, and the\n"
      "file's captions say so.\n"
      "\nExamples:\n"
      "  propclear import stern.dxf -o Norvalek.TSK --design old/Norvalek.TSK\n"
      "  propclear import stern.dxf --units mm --origin 1200,-350 --centre 4.0,2.8 --waterline 9\n"
      "\nExit status: 0 written, 1 error (nothing written).\n");
  app.parse(std::vector<std::string>(arguments.rbegin(), arguments.rend()));
  const ImportOptions options = command.importOptions();
  const DxfDrawing drawing = readDxfDrawing(command.drawing, command.drawing);
  const ImportedDesign imported = importDesign(drawing, options);
  const std::string target = command.outputPath();
  writeDesign(target, imported.text);
  for (const std::string& line : imported.summary) messages << line << '\n';
  messages << "written: " << (target == "-" ? "standard output" : target) << '\n';
  return importDoneStatus;
}

}  // namespace

bool isImportCommand(std::string_view firstArgument) { return firstArgument == "import"; }

std::string importCommandHelp() {
  return "\nDrawings (propclear import --help):\n"
         "  propclear import DRAWING.dxf -o DESIGN.TSK          a design file from a DXF drawing\n";
}

int runImportCommand(const std::vector<std::string>& arguments, std::ostream& out,
                     std::ostream& messages) {
  CLI::App app("A design file from the stern contour and rudder of a DXF drawing.", commandName);
  try {
    return importCommand(app, std::vector<std::string>(arguments.begin() + 1, arguments.end()),
                         messages);
  } catch (const CLI::CallForHelp&) {
    out << app.help();
    return importDoneStatus;
  } catch (const CLI::ParseError& error) {
    messages << commandName << ": " << error.what() << " (see " << commandName << " --help)\n";
    return importErrorStatus;
  } catch (const RunError& error) {
    messages << commandName << ": " << error.what();
    if (error.kind() == ErrorKind::Usage) messages << " (see " << commandName << " --help)";
    messages << '\n';
    return importErrorStatus;
  } catch (const std::bad_alloc&) {
    messages << commandName << ": out of memory\n";
    return importErrorStatus;
  }
}

}  // namespace propclear

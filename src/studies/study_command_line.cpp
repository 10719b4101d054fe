#include "studies/study_command_line.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <new>
#include <ostream>

#include "common/run_error.h"
#include "common/terminal_text.h"
#include "plot/plot_size.h"
#include "rules/rule_set_catalogue.h"
#include "studies/batch.h"
#include "studies/ordered_parallel.h"
#include "studies/solve.h"
#include "studies/study_input.h"
#include "studies/sweep.h"

namespace propclear {

namespace {

constexpr int doneStatus = 0;
constexpr int errorStatus = 1;

const char* const sweepSummary =
    "clearances of every design of a range of one or two parameters, one row each";
const char* const solveSummary =
    "the largest or smallest value of a parameter for which the design is feasible";
const char* const batchSummary = "one row of clearances for each design file of folders or files";

// A file name given to an option: an empty one names no file.
const CLI::Validator nonEmptyFileName(
    [](std::string& name) { return name.empty() ? std::string("the file name is empty") : std::string(); },
    "");

// Where rows go and in which format: --csv FILE|- or --jsonl FILE|-.
struct RowTarget {
  std::string csv;
  std::string jsonl;

  void addTo(CLI::App& app) {
    CLI::Option* csvOption =
        app.add_option("--csv", csv, "write the rows as CSV to FILE (- for standard output, the default)")
            ->check(nonEmptyFileName)
            ->type_name("FILE");
    app.add_option("--jsonl", jsonl, "write the rows as JSON Lines to FILE (- for standard output)")
        ->check(nonEmptyFileName)
        ->type_name("FILE")
        ->excludes(csvOption);
  }
  RowFormat format() const { return jsonl.empty() ? RowFormat::Csv : RowFormat::JsonLines; }
  std::string target() const { return !jsonl.empty() ? jsonl : csv.empty() ? "-" : csv; }
};

// --ship, --rules and --ship-set, as the options of the rule check.
struct RuleOptions {
  std::string shipFile;
  std::string ruleSets;
  std::vector<std::string> shipSettings;

  StudyRuleRequest request() const {
    return parseStudyRuleRequest(shipFile, ruleSets, shipSettings);
  }
};

// --propeller FILE, given: the blade of every design, as in the plain run.
std::optional<std::filesystem::path> propellerFileOf(const std::string& name) {
  if (name.empty()) return std::nullopt;
  return name;
}

void addCommon(CLI::App& app, RuleOptions& rules, std::string& propeller, unsigned& threads) {
  app.add_option("--ship", rules.shipFile,
                 "the ship file (default: X.ship.toml beside X.TSK); its rule_sets judge every "
                 "design, as in the plain run")
      ->type_name("FILE");
  app.add_option("--propeller", propeller,
                 "the propeller file: blades, hub length and blade outline table (default: "
                 "X.propeller.toml beside X.TSK), as in the plain run")
      ->check(nonEmptyFileName)
      ->type_name("FILE");
  app.add_option("--rules", rules.ruleSets,
                 "judge by the rule sets NAME[,NAME] (" + ruleSetNameList() +
                     ") instead of the ship file's rule_sets; none: by no rules, geometry only")
      ->type_name("NAMES|none");
  app.add_option("--ship-set", rules.shipSettings,
                 "set KEY of the ship file to VALUE for the rule check (repeatable)")
      ->type_name("KEY=VALUE")
      ->expected(1)
      ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
  app.add_option("--threads", threads, "compute on N threads (default: every core)")
      ->type_name("N")
      ->check(CLI::Range(1u, 1024u));
}

const StudyParameter& parameterNamed(const std::string& name, const std::string& option) {
  const StudyParameter* parameter = findStudyParameter(name);
  if (parameter == nullptr) {
    throw RunError(ErrorKind::Usage, option + " " + name + ": unknown parameter; the parameters are " +
                                         studyParameterList());
  }
  return *parameter;
}

std::string parameterFooter() {
  return "\nParameters: " + studyParameterList() +
         ".\nrudder-x and rudder-z shift all four rudder corners from where the file puts "
         "them.\nLengths in m, the rake in degrees.\n";
}

int sweepCommand(CLI::App& app, const std::vector<std::string>& arguments,
                 const SaveSweepPlot& savePlot, std::ostream& messages) {
  std::string file = defaultStudyDesignFile().string();
  std::vector<std::string> varied;
  RuleOptions rules;
  std::string propeller;
  std::string plot;
  unsigned threads = allCores();
  RowTarget rows;
  app.add_option("FILE", file, "the design file (default: Norvalek.TSK)");
  app.add_option("--vary", varied,
                 "vary NAME over START:STOP:STEP (inclusive) or the list V1,V2,...; "
                 "given twice, over the grid of both")
      ->type_name("NAME=VALUES")
      ->required()
      ->expected(1)
      ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
  rows.addTo(app);
  app.add_option("--plot", plot, "also plot the sweep as PNG, SVG or PDF (by FILE's extension)")
      ->check(nonEmptyFileName)
      ->type_name("FILE");
  std::string plotSize;
  app.add_option("--plot-size", plotSize,
                 "the plot's size: pixels for PNG, points for SVG and PDF (default: 1200x760)")
      ->type_name("WxH");
  addCommon(app, rules, propeller, threads);
  app.footer("\nExample:\n  propclear sweep Norvalek.TSK --vary diameter=4.0:5.5:0.01 --plot sweep.png\n" +
             parameterFooter());
  app.parse(std::vector<std::string>(arguments.rbegin(), arguments.rend()));

  if (varied.size() > 2) throw RunError(ErrorKind::Usage, "--vary: a sweep varies one or two parameters");
  SweepOptions options;
  options.designFile = file;
  for (const std::string& text : varied) options.varied.push_back(parseVariedParameter(text, "--vary"));
  if (options.varied.size() == 2 && options.varied[0].parameter == options.varied[1].parameter) {
    throw RunError(ErrorKind::Usage, "--vary: " + std::string(options.varied[0].parameter->name) +
                                         " is varied twice");
  }
  options.rules = rules.request();
  options.propellerFile = propellerFileOf(propeller);
  options.format = rows.format();
  options.target = rows.target();
  if (!plot.empty()) options.plotFile = plot;
  if (!plotSize.empty() && plot.empty()) {
    throw RunError(ErrorKind::Usage, "--plot-size " + plotSize + ": there is no --plot FILE to size");
  }
  if (!plotSize.empty()) options.plotSize = parsePlotSize(plotSize);
  options.threads = threads;
  runSweep(options, savePlot, messages);
  return doneStatus;
}

int solveCommand(CLI::App& app, const std::vector<std::string>& arguments, std::ostream& out,
                 std::ostream& messages) {
  std::string file = defaultStudyDesignFile().string();
  std::string maximise;
  std::string minimise;
  std::string range;
  std::string keep = "centre";
  RuleOptions rules;
  std::string propeller;
  std::string write;
  unsigned threads = allCores();
  app.add_option("FILE", file, "the design file (default: Norvalek.TSK)");
  CLI::Option* largest = app.add_option("--maximise,--maximize", maximise,
                                        "find the largest feasible value of NAME")
                             ->type_name("NAME");
  CLI::Option* smallest = app.add_option("--minimise,--minimize", minimise,
                                         "find the smallest feasible value of NAME")
                              ->type_name("NAME");
  largest->excludes(smallest);
  app.add_option("--range", range,
                 "search from START to STOP (default: half to one and a half times the file's "
                 "value for sizes, the file's value +-2 m for positions and rudder shifts, +-10 "
                 "degrees for the rake)")
      ->type_name("START:STOP");
  app.add_option("--keep", keep,
                 "what stays when the propeller changes: the shaft centre, or the height of the "
                 "lower blade tip above the heel (b'), the centre moving up or down")
      ->type_name("centre|tip-to-heel")
      ->check(CLI::IsMember({"centre", "tip-to-heel"}));
  app.add_option("--write", write, "write the design at the best value to FILE, captions kept")
      ->check(nonEmptyFileName)
      ->type_name("FILE");
  bool json = false;
  app.add_flag("--json", json,
               "print the answer as one JSON object (best, at_range_end, binding, margins, "
               "intervals)");
  addCommon(app, rules, propeller, threads);
  app.footer("\nExamples:\n  propclear solve Norvalek.TSK --maximise diameter --range 3.0:6.0\n"
             "  propclear solve Norvalek.TSK --minimise rudder-x --range -1:2\n" +
             parameterFooter() +
             "\nExit status: 0 found, 1 error, 4 no feasible value in the range.\n");
  app.parse(std::vector<std::string>(arguments.rbegin(), arguments.rend()));

  if (maximise.empty() && minimise.empty()) {
    throw RunError(ErrorKind::Usage, "--maximise NAME or --minimise NAME is required");
  }
  SolveOptions options;
  options.designFile = file;
  options.goal = maximise.empty() ? SolveGoal::Minimise : SolveGoal::Maximise;
  options.parameter = maximise.empty() ? &parameterNamed(minimise, "--minimise")
                                       : &parameterNamed(maximise, "--maximise");
  if (!range.empty()) options.range = parseSolveRange(range);
  options.keep = keep == "tip-to-heel" ? KeepMode::TipToHeel : KeepMode::Centre;
  options.rules = rules.request();
  options.propellerFile = propellerFileOf(propeller);
  if (!write.empty()) options.writeFile = write;
  options.json = json;
  options.threads = threads;
  return runSolve(options, out, messages);
}

int batchCommand(CLI::App& app, const std::vector<std::string>& arguments, std::ostream& messages) {
  std::vector<std::string> inputs;
  RuleOptions rules;
  std::string propeller;
  unsigned threads = allCores();
  RowTarget rows;
  app.add_option("DIR_OR_FILES", inputs,
                 "design files, and folders whose *.TSK files (any case) are taken, not looking "
                 "into subfolders")
      ->required();
  rows.addTo(app);
  addCommon(app, rules, propeller, threads);
  app.footer(
      "\nExample:\n  propclear batch designs/ --csv clearances.csv\n"
      "\nExit status: 0 when every file was read and analysed, 1 otherwise.\n");
  app.parse(std::vector<std::string>(arguments.rbegin(), arguments.rend()));

  BatchOptions options;
  options.inputs.assign(inputs.begin(), inputs.end());
  options.rules = rules.request();
  options.propellerFile = propellerFileOf(propeller);
  options.format = rows.format();
  options.target = rows.target();
  options.threads = threads;
  return runBatch(options, messages) ? doneStatus : errorStatus;
}

int runCommand(CLI::App& app, const std::string& command, const std::vector<std::string>& options,
               const SaveSweepPlot& savePlot, std::ostream& out, std::ostream& messages) {
  if (command == "sweep") return sweepCommand(app, options, savePlot, messages);
  if (command == "solve") return solveCommand(app, options, out, messages);
  return batchCommand(app, options, messages);
}

const char* summaryOf(const std::string& command) {
  if (command == "sweep") return sweepSummary;
  if (command == "solve") return solveSummary;
  return batchSummary;
}

}  // namespace

bool isStudyCommand(std::string_view firstArgument) {
  return firstArgument == "sweep" || firstArgument == "solve" || firstArgument == "batch";
}

std::string studyCommandsHelp() {
  return "\n"
         "Studies (propclear COMMAND --help for each):\n"
         "  propclear sweep [FILE] --vary NAME=START:STOP:STEP  a row per design of a range\n"
         "  propclear solve [FILE] --maximise|--minimise NAME   the largest or smallest that fits\n"
         "  propclear batch DIR_OR_FILES...                     a row per design file\n";
}

int runStudyCommand(const std::vector<std::string>& arguments, const SaveSweepPlot& savePlot,
                    std::ostream& out, std::ostream& messages) {
  const std::string command = arguments.front();
  const std::string name = "propclear " + command;
  CLI::App app(std::string(summaryOf(command)) + ".", name);
  // Options start with "-" on every system: on Windows CLI11 would also take
  // "/x" for one, and a path such as /designs/hull.TSK with it.
  app.allow_windows_style_options(false);
  const std::vector<std::string> options(arguments.begin() + 1, arguments.end());
  try {
    return runCommand(app, command, options, savePlot, out, messages);
  } catch (const CLI::CallForHelp&) {
    out << app.help();
    return doneStatus;
  } catch (const CLI::ParseError& error) {
    messages << name << ": " << withControlsEscaped(error.what()) << " (see " << name << " --help)\n";
    return errorStatus;
  } catch (const RunError& error) {
    messages << name << ": " << error.what();
    if (error.kind() == ErrorKind::Usage) messages << " (see " << name << " --help)";
    messages << '\n';
    return errorStatus;
  } catch (const std::bad_alloc&) {
    messages << name << ": out of memory\n";
    return errorStatus;
  }
}

}  // namespace propclear

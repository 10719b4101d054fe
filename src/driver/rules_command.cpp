#include "driver/rules_command.h"

#include <filesystem>

#include "common/run_error.h"
#include "driver/run.h"
#include "report/rule_set_text.h"
#include "rules/bundled_rule_files.h"
#include "rules/read_rule_file.h"

namespace propclear {

namespace {

constexpr const char* usage =
    "usage: propclear rules list [--rules-file FILE]...\n"
    "       propclear rules show NAME|FILE.toml [--rules-file FILE]...\n";

[[noreturn]] void rulesUsageError(const std::string& message) {
  throw RunError(ErrorKind::Usage, message + " (see propclear rules --help)");
}

struct RulesRequest {
  std::string action;  // "list", "show"
  std::string name;    // show: a rule set's name or a rule file
  std::vector<std::filesystem::path> ruleFiles;
};

RulesRequest parseRequest(const std::vector<std::string>& arguments) {
  RulesRequest request;
  for (std::size_t i = 1; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (argument == "--rules-file") {
      if (i + 1 >= arguments.size()) rulesUsageError("option --rules-file needs a value");
      request.ruleFiles.push_back(arguments[++i]);
    } else if (request.action.empty() && (argument == "list" || argument == "show")) {
      request.action = argument;
    } else if (request.action == "show" && request.name.empty() && !argument.empty() &&
               argument.front() != '-') {
      request.name = argument;
    } else {
      rulesUsageError("unexpected argument \"" + argument + "\"");
    }
  }
  if (request.action.empty()) rulesUsageError("say list or show");
  if (request.action == "show" && request.name.empty()) rulesUsageError("show needs a rule set's name");
  return request;
}

std::vector<RuleSetDefinition> knownRuleSets(const RulesRequest& request) {
  std::vector<RuleSetDefinition> sets = bundledRuleSets();
  for (const std::filesystem::path& file : request.ruleFiles) sets.push_back(readRuleFile(file));
  return sets;
}

std::string shownSet(const RulesRequest& request) {
  if (std::filesystem::path(request.name).extension() == ".toml") {
    return ruleSetText(readRuleFile(request.name));
  }
  if (request.name == "custom") {
    return "custom: the designer's own minima, the [custom_minima] table of the ship file\n";
  }
  const std::vector<RuleSetDefinition> sets = knownRuleSets(request);
  for (const RuleSetDefinition& set : sets) {
    if (set.name == request.name) return ruleSetText(set);
  }
  std::string known;
  for (const RuleSetDefinition& set : sets) known += (known.empty() ? "" : ", ") + set.name;
  throw RunError(ErrorKind::Usage, "no rule set \"" + request.name + "\"; known: " + known +
                                       ", custom");
}

}  // namespace

bool isRulesCommand(std::string_view firstArgument) { return firstArgument == "rules"; }

int runRulesCommand(const std::vector<std::string>& arguments, std::ostream& out,
                    std::ostream& messages) {
  for (const std::string& argument : arguments) {
    if (argument == "-h" || argument == "--help") {
      out << usage;
      return exitStatusOf(Ending::Completed);
    }
  }
  try {
    const RulesRequest request = parseRequest(arguments);
    out << (request.action == "list" ? ruleSetListText(knownRuleSets(request)) : shownSet(request));
    return exitStatusOf(Ending::Completed);
  } catch (const RunError& error) {
    messages << "propclear rules: " << error.what() << '\n';
    return exitStatusOf(Ending::Error);
  }
}

std::string rulesCommandHelp() {
  return "\n"
         "Rule sets:\n"
         "  propclear rules list [--rules-file FILE]     the rule sets, bundled and FILE's\n"
         "  propclear rules show NAME|FILE.toml          one rule set with its lines\n";
}

}  // namespace propclear

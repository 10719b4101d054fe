#pragma once
// Reader of a rule file: a rule set written as TOML, such as the bundled
// rules/lr-recommended.toml (the README gives the format with it as the
// example):
//
//   name = "yard-standard"            # how a ship file's rule_sets names it
//   source = "Yard standard HS-12"    # title, section, table
//   edition = "2024"
//   scope = "single-screw cargo ships"  # optional
//   mapping = "..."                   # optional: the source's letters on a, b, c, ...
//   factor_formula = "lr-k"           # optional: K, for requirements "of" K*D
//   always = false                    # optional: true checks it in every rule
//                                     # check, named by rule_sets or not
//
//   [[line]]
//   clearance = "b"                   # a, b, c, a', b', c', tip-to-base-line,
//                                     # tip-to-contour, closest-contour,
//                                     # closest-rudder, closest-heel
//   letter = "YS 1"                   # the source's name for it
//   of = "K*D"                        # the factor multiplies K*D, D or m
//   factor = { 3 = 1.2, 4 = 1.0 }     # or one number for every blade number
//   minimum = 0.10                    # optional, in minimum_of
//   minimum_of = "D"                  # D, m or tR (the rudder's thickness)
//   rudders = ["horn", "sole-piece"]  # optional: the arrangements it applies to
//   skew = "none"                     # optional: only for this skew
//   ship_types = ["ferry"]            # optional: only for these ship types
//   except_ship_types = ["ferry"]     # optional: never for these
//   qualifier = "no skew"             # optional: shown after the basis
//   informative = false               # true: shown, never part of the verdict
//
// Every key and value is checked; a fault is a RunError(ErrorKind::Input)
// naming the file, the line, the key, its value and the rule broken:
// "yard.toml:14: [line] clearance = \"z\": unknown clearance; known: a, b, ...".

#include <filesystem>
#include <string>

#include "rules/rule_set_definition.h"

namespace propclear {

RuleSetDefinition readRuleFile(const std::filesystem::path& file);

// The same for a rule file's text, named `displayName` in messages.
RuleSetDefinition readRuleFileText(std::string text, const std::string& displayName);

}  // namespace propclear

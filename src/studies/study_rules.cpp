#include "studies/study_rules.h"

#include "common/run_error.h"

namespace propclear {

StudyRules studyRulesFor(const std::string& ruleSetNames, const std::filesystem::path& /*designFile*/) {
  throw RunError(ErrorKind::Usage, "--rules " + ruleSetNames +
                                       ": this version of propclear has no clearance rule sets "
                                       "to check");
}

}  // namespace propclear

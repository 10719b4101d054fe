#pragma once
// One design of a study: the design file's design with some parameters set.

#include <span>

#include "design/design_data.h"
#include "studies/study_parameter.h"

namespace propclear {

struct ParameterSetting {
  const StudyParameter* parameter = nullptr;
  double value = 0.0;
};

// What stays when the propeller changes.
enum class KeepMode {
  Centre,     // the shaft centre stays where the file puts it
  TipToHeel,  // the centre moves up or down so that the lower blade tip keeps
              // its height, and with it b', the gap down to the heel
};

// `fileDesign` with every setting applied, in order. Under TipToHeel the
// centre then moves by the change of the lower tip's offset below the centre;
// building that blade outline may throw RunError (a zero diameter).
DesignData editDesign(const DesignData& fileDesign, std::span<const ParameterSetting> settings,
                      KeepMode keep);

// The same into `design`, a copy of `fileDesign` made once: the values a
// study may change (propeller, centre, rudder) are set back to the file's and
// edited again, and the contour, which no study changes, is not copied for
// every design.
void editDesignInPlace(DesignData& design, const DesignData& fileDesign,
                       std::span<const ParameterSetting> settings, KeepMode keep);

}  // namespace propclear

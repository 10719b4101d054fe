#pragma once
// The English labels of what the drawings dimension, each with its value in
// metres and as a multiple of D: the saved plots, the studio, the clearance
// report and the DXF drawing alike. (The CAD script and the report keep
// their established wording.)

#include <string>

#include "assessment/assessment.h"
#include "clearance/closest_approach.h"

namespace propclear {

// A clearance with its value: its signed gap where there is one, "a 1.113 m
// / 0.242D", "c -0.336 m / -0.073D overlap"; its length against a stand-in
// target, "a' 1.728 m / 0.376D to a stand-in".
std::string valuedLabel(const AssessedClearance& clearance, double propellerDiameter);

// A closest approach to the swept volume: "contour 0.683 m / 0.149D",
// "rudder 1.610 m / 0.350D", "heel cut 0.250 m", "contour to hub 0.120 m / 0.026D".
std::string approachLabel(const ClosestApproach& approach);

}  // namespace propclear

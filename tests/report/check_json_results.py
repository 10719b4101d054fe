#!/usr/bin/python3
"""Reads the JSON results of a propclear run and checks them against the run.

Usage: check_json_results.py RESULTS REPORT ENDING MESSAGES

RESULTS is the JSON file, REPORT the run's Norvalek.SON, ENDING the ending the
run should state ("completed" or "wrong-geometry"), MESSAGES the run's
standard error. Checks the documented fields (the lower clearances also for the turning
blade, the swept volume and the closest approaches), that every number is finite,
that the warnings are the run's warnings in order, and for a completed run
that the six clearances (metres and multiples of D) and the echoed design
data equal the report's values to its precision; for "wrong-geometry" that
the report is empty. Prints the failures and exits with status 1 when there
are any.
"""

import json
import math
import re
import sys
from decimal import ROUND_HALF_UP, Decimal

STATUSES = ("clash", "below", "not-measured", "meets", "no-rules")
CLEARANCE_NAMES = ["a", "b", "c", "a'", "b'", "c'"]
# The stern contour is left out when no piece of it rises.
STRUCTURES = ["sternContour", "rudderLeadingEdge", "heel"]
RADIUS_RATIOS = [0.2, 0.3, 0.4, 0.5, 0.6, 0.7, 0.8, 0.9, 0.95, 0.975, 1.0]
WARNING_PREFIX = "propclear: warning: "
# Lines 33 to 38 of the report: " a  =  1.113 m. / 0.242*D ...".
REPORT_CLEARANCE_LINES = range(32, 38)
REPORT_CLEARANCE = re.compile(r"^ (\S+)\s+=\s+(-?[0-9.]+%?) m\. / (-?[0-9.]+%?)\*D")
# Lines 15 to 18: rudder corners "x z"; lines 23 to 26: Ear, P/D, D, Dh.
REPORT_RUDDER_LINES = range(14, 18)
REPORT_NUMBER = re.compile(r"-?[0-9]+\.[0-9]{3}")
REPORT_PROPELLER = {22: "areaRatio", 23: "pitchRatio", 24: "propellerDiameter", 25: "hubDiameter"}

failures = []


def check(condition, message):
    if not condition:
        failures.append(message)


def three_decimals(value):
    """The report's rounding: halves away from zero, judged on the exact double."""
    return str(Decimal(value).quantize(Decimal("0.001"), rounding=ROUND_HALF_UP))


def reject_constant(name):
    raise ValueError(f"{name} is not a JSON number")


def check_layout(results, ending):
    check(results.get("schemaVersion") == 4, "schemaVersion is not 4")
    check(results.get("status") in STATUSES, f"status {results.get('status')!r}")
    check(results.get("program", {}).get("name") == "propclear", "program name")
    check(re.match(r"^[0-9]+\.[0-9]+\.[0-9]+", results.get("program", {}).get("version", "")),
          "program version")
    check(results.get("ending") == ending, f"ending {results.get('ending')!r}, not {ending!r}")
    stations = results["bladeOutline"]["stations"]
    check([s["rOverR"] for s in stations] == RADIUS_RATIOS, "blade stations' r/R")
    for s in stations:
        check(set(s) == {"station", "rOverR", "radius", "edge1", "edge2"}, f"station fields {set(s)}")
    clearances = results["clearances"]
    check([c["name"] for c in clearances] == CLEARANCE_NAMES, "clearance names")
    diameter = results["design"]["propellerDiameter"]
    for c in clearances:
        check_figures(c, c["name"], diameter)
        lower = c["name"].endswith("'")
        check(c["measuredOn"] == ("lower-turning" if lower else "upper"),
              f"clearance {c['name']}: measured on {c['measuredOn']!r}")
        check(c["status"] in STATUSES, f"clearance {c['name']}: status {c['status']!r}")
    legacy = results["legacyClearances"]
    check([c["name"] for c in legacy] == ["a'", "c'"], "legacy clearance names")
    for c in legacy:
        check_figures(c, "legacy " + c["name"], diameter)
        check(c["measuredOn"] == "lower-mirrored", f"legacy {c['name']}: {c['measuredOn']!r}")
    check_closest_approach(results["closestApproach"], diameter)
    extent = results["plotExtent"]
    check(extent["range"] == extent["max"] - extent["min"], "plot extent range")


def check_figures(c, name, diameter):
    check(c["length_m"] >= 0, f"clearance {name} is negative")
    check(math.isclose(c["ratio_to_D"], c["length_m"] / diameter, rel_tol=1e-15),
          f"clearance {name}: ratio_to_D is not length_m / D")
    signed = c["signedLength"]
    check(signed is None or abs(signed) == c["length_m"],
          f"clearance {name}: signedLength {signed!r} is not +-length_m")
    check(c["overlaps"] == (signed is not None and signed < 0),
          f"clearance {name}: overlaps {c['overlaps']!r} with signedLength {signed!r}")


def check_closest_approach(approach, diameter):
    if diameter <= 0:
        check(approach is None, "closestApproach without a swept volume is not null")
        return
    check(approach["bladeThickness"] == "neglected", "blade thickness")
    sections = approach["sweptVolume"]["sections"]
    check([s["rOverR"] for s in sections] == RADIUS_RATIOS, "swept volume sections' r/R")
    check(all(s["xLow"] <= s["xHigh"] for s in sections), "a swept section's xLow above its xHigh")
    structures = approach["structures"]
    names = [s["structure"] for s in structures]
    check(names in (STRUCTURES, STRUCTURES[1:]), f"closest approach structures {names}")
    for s in structures:
        name = s["structure"]
        check(s["distance_m"] >= 0, f"{name}: negative distance")
        check(math.isclose(s["ratio_to_D"], s["distance_m"] / diameter, rel_tol=1e-15),
              f"{name}: ratio_to_D is not distance_m / D")
        check(s["overlaps"] == (s["overlapDepth_m"] > 0) and
              (not s["overlaps"] or s["distance_m"] == 0), f"{name}: overlap fields disagree")
        check(s["side"] in ("above", "below"), f"{name}: side {s['side']!r}")
        if not s["overlaps"]:
            check(0.2 - 1e-9 <= s["rOverR"] <= 1.0 + 1e-9, f"{name}: r/R {s['rOverR']}")
            gap = math.dist((s["structurePoint"]["x"], s["structurePoint"]["z"]),
                            (s["sweptPoint"]["x"], s["sweptPoint"]["z"]))
            check(math.isclose(gap, s["distance_m"], abs_tol=1e-9),
                  f"{name}: its points lie {gap!r} apart, not distance_m")


def check_warnings(results, messages_path):
    with open(messages_path, encoding="utf-8", errors="replace") as messages:
        warnings = [line[len(WARNING_PREFIX):].rstrip("\n")
                    for line in messages if line.startswith(WARNING_PREFIX)]
    texts = [w["text"] for w in results["warnings"]]
    check(texts == warnings, f"warnings {texts!r}, the run gave {warnings!r}")


def check_against_report(results, report_path):
    with open(report_path, "rb") as report:
        lines = report.read().decode("ascii").split("\r\n")
    # The report prints the mirrored blade's legacy a' and c'.
    printed = {c["name"]: c for c in results["clearances"]}
    printed.update({c["name"]: c for c in results["legacyClearances"]})
    for index, name in zip(REPORT_CLEARANCE_LINES, CLEARANCE_NAMES):
        clearance = printed[name]
        match = REPORT_CLEARANCE.match(lines[index])
        check(match is not None, f"report line {index + 1} is no clearance line")
        if match:
            _, length, ratio = match.groups()
            check(three_decimals(clearance["length_m"]) == length,
                  f"clearance {name}: {clearance['length_m']!r} m, report {length} m")
            check(three_decimals(clearance["ratio_to_D"]) == ratio,
                  f"clearance {name}: {clearance['ratio_to_D']!r}*D, report {ratio}*D")
    design = results["design"]
    for index, corner in zip(REPORT_RUDDER_LINES, design["rudderCorners"]):
        shown = REPORT_NUMBER.findall(lines[index])[:2]
        check(shown == [three_decimals(corner["x"]), three_decimals(corner["z"])],
              f"rudder corner {corner}: report line {index + 1} shows {shown}")
    for index, field in REPORT_PROPELLER.items():
        shown = REPORT_NUMBER.findall(lines[index])[:1]
        check(shown == [three_decimals(design[field])],
              f"{field} {design[field]!r}: report line {index + 1} shows {shown}")


def main(arguments):
    if len(arguments) != 4:
        raise SystemExit(__doc__)
    results_path, report_path, ending, messages_path = arguments
    with open(results_path, encoding="utf-8") as results_file:
        results = json.load(results_file, parse_constant=reject_constant)
    check_layout(results, ending)
    check_warnings(results, messages_path)
    if ending == "completed":
        check_against_report(results, report_path)
    else:
        with open(report_path, "rb") as report:
            check(report.read() == b"", "the report of a wrong-geometry run is not empty")
    for failure in failures:
        print(f"{results_path}: {failure}")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))

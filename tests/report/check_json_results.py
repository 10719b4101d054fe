#!/usr/bin/python3
"""Reads the JSON results of a propclear run and checks them against the run.

Usage: check_json_results.py RESULTS REPORT ENDING MESSAGES

RESULTS is the JSON file, REPORT the run's Norvalek.SON, ENDING the ending the
run should state ("completed" or "wrong-geometry"), MESSAGES the run's
standard error. Checks the documented fields, that every number is finite,
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

CLEARANCE_NAMES = ["a", "b", "c", "a'", "b'", "c'"]
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
    check(results.get("schemaVersion") == 2, "schemaVersion is not 2")
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
        check(c["length_m"] >= 0, f"clearance {c['name']} is negative")
        check(math.isclose(c["ratio_to_D"], c["length_m"] / diameter, rel_tol=1e-15),
              f"clearance {c['name']}: ratio_to_D is not length_m / D")
        signed = c["signedLength"]
        check(signed is None or abs(signed) == c["length_m"],
              f"clearance {c['name']}: signedLength {signed!r} is not +-length_m")
        check(c["overlaps"] == (signed is not None and signed < 0),
              f"clearance {c['name']}: overlaps {c['overlaps']!r} with signedLength {signed!r}")
    extent = results["plotExtent"]
    check(extent["range"] == extent["max"] - extent["min"], "plot extent range")


def check_warnings(results, messages_path):
    with open(messages_path, encoding="utf-8", errors="replace") as messages:
        warnings = [line[len(WARNING_PREFIX):].rstrip("\n")
                    for line in messages if line.startswith(WARNING_PREFIX)]
    check(results["warnings"] == warnings,
          f"warnings {results['warnings']!r}, the run gave {warnings!r}")


def check_against_report(results, report_path):
    with open(report_path, "rb") as report:
        lines = report.read().decode("ascii").split("\r\n")
    for index, clearance in zip(REPORT_CLEARANCE_LINES, results["clearances"]):
        match = REPORT_CLEARANCE.match(lines[index])
        check(match is not None, f"report line {index + 1} is no clearance line")
        if match:
            _, length, ratio = match.groups()
            name = clearance["name"]
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

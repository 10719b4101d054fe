#!/usr/bin/python3
"""Reads a DXF drawing of propclear back with ezdxf and checks it.

Usage: check_dxf_drawing.py DRAWING [REPORT]

Checks that the drawing reads and audits without errors, that it is an R12
drawing in millimetres with the expected layers and colours, and its entity
counts: the stepped contour with its markers, four blade polylines of 11
vertices (the lower blade as it turns) and the mirrored legacy blade's two
dashed ones, six clearance lines, the swept volume's two dashed outlines, a
dotted line and a label for each closest approach, and twelve texts besides
those labels, no two of which overlap, all inside the drawing's limits and
extents. With the report of the same run (Norvalek.SON), also checks that
the line's length / 1000 and the label's ratio of a, b, c and b' equal the
report's values to its three decimals (the report's a' and c' are the
mirrored blade's legacy figures, the drawing's those of the blade as it
turns).
Prints the failures and exits with status 1 when there are any.
"""

import math
import re
import sys
from decimal import ROUND_HALF_UP, Decimal

import ezdxf
import ezdxf.bbox

# Layer name and AutoCAD colour number.
LAYERS = {
    "CONTOUR": 5, "REFERENCE": 5, "RUDDER": 5, "PROPELLER": 3,
    "UPPER_BLADE": 1, "LOWER_BLADE": 1, "LEGACY_LOWER_BLADE": 8, "CLEARANCES": 2, "OVERLAP": 1,
    "SWEPT": 8, "TEXT": 7,
}
# The clearances the report and the drawing measure alike.
SHARED_WITH_REPORT = {"a", "b", "c", "b'"}
# Stern contour, rudder leading edge, heel.
APPROACHES = 3
APPROACH_LABEL = re.compile(r"^(contour|rudder|heel)( to hub)? ([0-9.]+ m / [0-9.]+D|cut [0-9.]+ m)$")
CLEARANCE_NAMES = ["a", "b", "c", "a'", "b'", "c'"]
STATIONS = 11
# Lines 33 to 38 of the report: " a  =  1.113 m. / 0.242*D ...".
REPORT_CLEARANCE_LINES = range(32, 38)
REPORT_CLEARANCE = re.compile(r"^ (\S+)\s+=\s+(-?[0-9.]+%?) m\. / (-?[0-9.]+%?)\*D")
# "a 1.113 m / 0.242D": the signed gap in m and as a multiple of D.
LABEL = re.compile(r"^(a|b|c|a'|b'|c') (-?[0-9.]+) m / (-?[0-9.]+)D( overlap| to a stand-in)?$")

failures = []


def check(condition, message):
    if not condition:
        failures.append(message)


def three_decimals(value):
    """The report's rounding: halves away from zero, judged on the exact double."""
    return str(Decimal(value).quantize(Decimal("0.001"), rounding=ROUND_HALF_UP))


def report_clearances(path):
    with open(path, "rb") as report:
        lines = report.read().decode("ascii").split("\r\n")
    values = []
    for index in REPORT_CLEARANCE_LINES:
        match = REPORT_CLEARANCE.match(lines[index])
        if not match:
            raise SystemExit(f"{path}: line {index + 1} is no clearance line: {lines[index]!r}")
        values.append(match.groups())
    return values


def check_document(doc):
    auditor = doc.audit()
    check(not auditor.has_errors, "audit errors: " + "; ".join(str(e.message) for e in auditor.errors))
    check(doc.dxfversion == "AC1009", f"version {doc.dxfversion}, not AC1009 (R12)")
    check(doc.header.get("$INSUNITS") == 4, "drawing units are not millimetres")
    for name, colour in LAYERS.items():
        if not doc.layers.has_entry(name):
            failures.append(f"layer {name} missing")
        else:
            check(doc.layers.get(name).dxf.color == colour, f"layer {name} has not colour {colour}")


def doc_line_type(msp, layer):
    return msp.doc.layers.get(layer).dxf.linetype if msp.doc.layers.has_entry(layer) else None


def check_entities(msp):
    blades = msp.query('POLYLINE[layer=="UPPER_BLADE" | layer=="LOWER_BLADE"]')
    check(len(blades) == 4, f"{len(blades)} blade polylines, not 4")
    for blade in blades:
        check(len(list(blade.vertices)) == STATIONS, f"a blade polyline has not {STATIONS} vertices")
    check(doc_line_type(msp, "LEGACY_LOWER_BLADE") == "DASHED", "the legacy blade is not dashed")
    check(len(msp.query('POLYLINE[layer=="LEGACY_LOWER_BLADE"]')) == 2,
          "the legacy lower blade is not two polylines")
    curves = msp.query('POLYLINE[layer=="CONTOUR"]')
    check(len(curves) == 1 and len(list(curves[0].vertices)) >= 2, "no stepped contour curve")
    markers = msp.query('CIRCLE[layer=="CONTOUR"]')
    check(len(markers) > 0 and len(markers) % 2 == 0, f"{len(markers)} contour markers")
    rudders = msp.query('POLYLINE[layer=="RUDDER"]')
    check(len(rudders) == 1 and rudders[0].is_closed and len(list(rudders[0].vertices)) == 4,
          "the rudder is not one closed outline of four corners")
    check(len(msp.query('LINE[layer=="PROPELLER"]')) == 6, "shaft, disc and hub are not six lines")
    check(len(msp.query('LINE[layer=="REFERENCE"]')) == 3, "base line, waterline, A.P. missing")
    check(doc_line_type(msp, "SWEPT") == "DASHED", "the swept volume's layer is not dashed")
    outlines = msp.query('POLYLINE[layer=="SWEPT"]')
    check(len(outlines) == 2 and all(o.is_closed for o in outlines),
          "the swept volume is not two closed outlines")
    approaches = msp.query('LINE[layer=="SWEPT"]')
    check(len(approaches) == APPROACHES and all(a.dxf.linetype == "DOT" for a in approaches),
          f"{len(approaches)} dotted closest approaches, not {APPROACHES}")
    texts = [t.dxf.text for t in msp.query("TEXT")]
    labels = [t for t in texts if APPROACH_LABEL.match(t)]
    check(len(labels) == APPROACHES, f"closest approach labels {labels}")
    check(len(texts) == 12 + APPROACHES, f"{len(texts)} texts, not {12 + APPROACHES}")
    for expected in ["B.L.", "DWL", "A.P.", "legacy lower blade (mirrored)"]:
        check(expected in texts, f"text {expected} missing")
    check(any(t.startswith("Propeller, hull and rudder clearances") for t in texts), "title missing")
    check(any(t.startswith("Drawn by propclear") for t in texts), "credit line missing")


def text_box(text):
    """Every character as wide as the text is high, descenders below the baseline."""
    height = text.dxf.height
    x, y = text.dxf.insert.x, text.dxf.insert.y
    return (x, y - 0.3 * height, x + len(text.dxf.text) * height, y + height)


def check_layout(doc, msp):
    texts = list(msp.query("TEXT"))
    boxes = [text_box(t) for t in texts]
    for i, first in enumerate(boxes):
        for j in range(i):
            second = boxes[j]
            overlap = (first[0] < second[2] and second[0] < first[2] and
                       first[1] < second[3] and second[1] < first[3])
            check(not overlap, f"texts {texts[i].dxf.text!r} and {texts[j].dxf.text!r} overlap")
    drawn = ezdxf.bbox.extents(msp)
    for low, high in (("$LIMMIN", "$LIMMAX"), ("$EXTMIN", "$EXTMAX")):
        lowest, highest = doc.header.get(low), doc.header.get(high)
        check(lowest is not None and highest is not None, f"{low} or {high} missing")
        if lowest is None or highest is None:
            continue
        tolerance = 1e-6 * max(1.0, abs(drawn.extmax.x), abs(drawn.extmax.y))
        check(lowest[0] <= drawn.extmin.x + tolerance and lowest[1] <= drawn.extmin.y + tolerance and
              highest[0] >= drawn.extmax.x - tolerance and highest[1] >= drawn.extmax.y - tolerance,
              f"{low} {lowest} to {high} {highest} do not enclose {drawn.extmin} to {drawn.extmax}")
    for t in texts:
        check(t.dxf.layer == "TEXT" and not t.dxf.hasattr("color"),
              f"text {t.dxf.text!r} is not in the text layer's colour")


def clearance_lines_and_labels(msp):
    lines = msp.query('LINE[layer=="CLEARANCES" | layer=="OVERLAP"]')
    check(len(lines) == 6, f"{len(lines)} clearance lines, not 6")
    labels = [LABEL.match(t.dxf.text) for t in msp.query("TEXT")]
    labels = [m.groups() for m in labels if m]
    check([groups[0] for groups in labels] == CLEARANCE_NAMES, f"clearance labels {labels}")
    return lines, labels


def compare_with_report(lines, labels, report_path):
    for index, (name, length, ratio) in enumerate(report_clearances(report_path)):
        if index >= len(lines) or index >= len(labels):
            break
        if name not in SHARED_WITH_REPORT:
            continue
        line = lines[index]
        drawn = math.dist(line.dxf.start, line.dxf.end) / 1000.0
        check(three_decimals(drawn) == length,
              f"clearance {name}: drawn {drawn!r} m, report {length} m")
        check(labels[index][2] == ratio, f"clearance {name}: label {labels[index][2]}, report {ratio}")


def main(arguments):
    if len(arguments) not in (1, 2):
        raise SystemExit(__doc__)
    doc = ezdxf.readfile(arguments[0])
    check_document(doc)
    msp = doc.modelspace()
    check_entities(msp)
    check_layout(doc, msp)
    lines, labels = clearance_lines_and_labels(msp)
    if len(arguments) == 2:
        compare_with_report(lines, labels, arguments[1])
    for failure in failures:
        print(f"{arguments[0]}: {failure}")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))

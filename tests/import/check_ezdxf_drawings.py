#!/usr/bin/python3
"""Imports drawings made with ezdxf and checks the design files written.

Usage: check_ezdxf_drawings.py PROPCLEAR EXAMPLE_DESIGN FOLDER

Writes into FOLDER, with ezdxf, the example's stern drawn as CAD programs
draw it: R12 with a POLYLINE contour and the rudder as four LINEs; R2000
with an LWPOLYLINE with bulges in metres; a SPLINE by control points and one
by fit points; LINEs and an ARC joined end to end; each with extra layers of
other geometry. Imports each with propclear and checks that the contour
lies within the tolerance of the drawn curve and the drawn curve within the
tolerance of the contour, that its heights rise, that sharp corners are
break points, and that the rudder's corners are numbered as the design file
has them. Prints the failures and exits with status 1 when there are any.
"""

import math
import pathlib
import random
import subprocess
import sys

import ezdxf
import ezdxf.math
import ezdxf.path

TOLERANCE = 0.001  # m, the import's default
failures = []


def check(condition, message):
    if not condition:
        failures.append(message)


def read_design(path):
    """Rudder corners and contour points (x, z, code) of a design file."""
    lines = pathlib.Path(path).read_text(encoding="ascii").splitlines()
    def numbers(line):
        return [float(v) for v in line.replace(",", " ").split()]
    rudder = [tuple(numbers(lines[i])) for i in range(23, 27)]
    contour = []
    for values in map(numbers, lines[29:]):
        if values[2] == 99:
            break
        contour.append((values[1], values[0], values[2]))
    return rudder, contour


def example(path):
    _, contour = read_design(path)
    return [(x, z) for x, z, _ in contour]


def distance_to_polyline(point, polyline):
    best = math.inf
    px, pz = point
    for (ax, az), (bx, bz) in zip(polyline, polyline[1:]):
        dx, dz = bx - ax, bz - az
        squared = dx * dx + dz * dz
        t = 0.0 if squared == 0 else max(0.0, min(1.0, ((px - ax) * dx + (pz - az) * dz) / squared))
        best = min(best, math.hypot(ax + t * dx - px, az + t * dz - pz))
    return best


def flattened(entity, metres_per_unit):
    points = ezdxf.path.make_path(entity).flattening(0.00001 / metres_per_unit)
    return [(p.x * metres_per_unit, p.y * metres_per_unit) for p in points]


RUDDER = [(9.1, 0.6), (8.9, 6.0), (6.25, 6.0), (6.15, 0.6)]  # corners 1 to 4 of the example


def add_extra_layers(msp, scale):
    """Frames, a waterline, texts and circles that are not the stern."""
    for frame in range(0, 12, 2):
        msp.add_line((frame * scale, 0), (frame * scale, 11 * scale), dxfattribs={"layer": "FRAMES"})
    msp.add_line((-2 * scale, 9 * scale), (14 * scale, 9 * scale), dxfattribs={"layer": "WATERLINE"})
    msp.add_text("MV NORVALEK", dxfattribs={"layer": "TEXT", "height": 0.2 * scale})
    msp.add_circle((4 * scale, 2.8 * scale), 2.3 * scale, dxfattribs={"layer": "PROPELLER"})


def run_import(propclear, drawing, design, *options):
    result = subprocess.run([propclear, "import", str(drawing), "-o", str(design), *options],
                            capture_output=True, text=True)
    check(result.returncode == 0, f"{drawing.name}: exit status {result.returncode}: {result.stderr}")
    check("largest deviation" in result.stderr or "marked points" in result.stderr,
          f"{drawing.name}: no summary on standard error: {result.stderr}")
    return result.returncode == 0


def check_design(name, design, drawn, corners=()):
    rudder, contour = read_design(design)
    for corner, expected in enumerate(RUDDER, start=1):
        check(math.dist(rudder[corner - 1], expected) <= TOLERANCE,
              f"{name}: rudder corner {corner} at {rudder[corner - 1]}, expected {expected}")
    points = [(x, z) for x, z, _ in contour]
    check(len(points) <= 250, f"{name}: {len(points)} contour points")
    check(all(b[1] > a[1] for a, b in zip(points, points[1:])), f"{name}: heights do not rise")
    far = max(distance_to_polyline(p, drawn) for p in points)
    check(far <= TOLERANCE, f"{name}: a contour point lies {far * 1000:.3f} mm off the drawing")
    away = max(distance_to_polyline(p, points) for p in drawn)
    check(away <= TOLERANCE, f"{name}: the drawing lies {away * 1000:.3f} mm off the contour")
    breaks = [(x, z) for x, z, code in contour if code == 0]
    for corner in corners:
        check(any(math.dist(corner, b) <= TOLERANCE for b in breaks),
              f"{name}: no break point at the corner {corner}; break points {breaks}")
    check(len(breaks) == len(corners), f"{name}: break points {breaks}, expected {list(corners)}")
    return contour


def r12_polyline(folder, propclear, points):
    """R12 in millimetres: POLYLINE contour; the rudder as four LINEs, drawn
    in no particular order or direction."""
    doc = ezdxf.new("R12")
    doc.units = 4
    msp = doc.modelspace()
    msp.add_polyline2d([(x * 1000, z * 1000) for x, z in points], dxfattribs={"layer": "STERN"})
    corners = [(x * 1000, z * 1000) for x, z in RUDDER]
    for a, b in [(2, 1), (3, 2), (0, 3), (0, 1)]:
        msp.add_line(corners[a], corners[b], dxfattribs={"layer": "RUDDER"})
    add_extra_layers(msp, 1000)
    drawing = folder / "r12-polyline.dxf"
    doc.saveas(drawing)
    # R12 has no $INSUNITS: the unit is given.
    if run_import(propclear, drawing, folder / "r12.TSK", "--units", "mm"):
        check_design("R12 POLYLINE", folder / "r12.TSK", points)


def r2000_bulges(folder, propclear):
    """R2000 in metres: an LWPOLYLINE with arcs (bulges) and one sharp corner;
    the rudder a closed LWPOLYLINE starting at corner 3, clockwise."""
    doc = ezdxf.new("R2000")
    doc.units = 6
    msp = doc.modelspace()
    vertices = [(1.8, 0.3, 0), (2.6, 1.8, 0.15), (2.9, 3.0, 0), (3.2, 4.6, -0.2),
                (6.0, 6.6, 0), (10.4, 8.3, 0), (10.7, 10.5, 0)]
    contour = msp.add_lwpolyline(vertices, format="xyb", dxfattribs={"layer": "Stern contour"})
    msp.add_lwpolyline([RUDDER[2], RUDDER[1], RUDDER[0], RUDDER[3]], close=True,
                       dxfattribs={"layer": "Rudder"})
    add_extra_layers(msp, 1)
    drawing = folder / "r2000-bulges.dxf"
    doc.saveas(drawing)
    drawn = flattened(contour, 1.0)
    if run_import(propclear, drawing, folder / "bulges.TSK"):
        check_design("R2000 LWPOLYLINE with bulges", folder / "bulges.TSK", drawn, corners=[(10.4, 8.3)])


def spline_by_control_points(folder, propclear, points):
    doc = ezdxf.new("R2000")
    doc.units = 4
    msp = doc.modelspace()
    curve = ezdxf.math.global_bspline_interpolation([(x * 1000, z * 1000) for x, z in points], degree=3)
    spline = msp.add_open_spline(curve.control_points, degree=curve.degree, knots=curve.knots(),
                                 dxfattribs={"layer": "PROFILE"})
    msp.add_lwpolyline([(x * 1000, z * 1000) for x, z in RUDDER], close=True, dxfattribs={"layer": "RUDDER"})
    add_extra_layers(msp, 1000)
    drawing = folder / "spline.dxf"
    doc.saveas(drawing)
    drawn = flattened(spline, 0.001)
    if run_import(propclear, drawing, folder / "spline.TSK"):
        check_design("SPLINE by control points", folder / "spline.TSK", drawn)


def spline_by_fit_points(folder, propclear, points):
    """Only the points the curve passes: they are the contour's points."""
    doc = ezdxf.new("R2000")
    doc.units = 4
    msp = doc.modelspace()
    msp.add_spline([(x * 1000, z * 1000) for x, z in points], dxfattribs={"layer": "CONTOUR"})
    msp.add_lwpolyline([(x * 1000, z * 1000) for x, z in RUDDER], close=True, dxfattribs={"layer": "RUDDER"})
    drawing = folder / "fit-points.dxf"
    doc.saveas(drawing)
    if run_import(propclear, drawing, folder / "fit.TSK"):
        contour = check_design("SPLINE by fit points", folder / "fit.TSK", points)
        check(len(contour) <= len(points), "SPLINE by fit points: more points than drawn")


def lines_and_arc(folder, propclear):
    """LINEs and an ARC joined end to end, shuffled and some reversed, ends
    meeting within half a millimetre, in millimetres without $INSUNITS
    (given with --units), on a layer named on the command line."""
    doc = ezdxf.new("R2000")
    doc.header["$INSUNITS"] = 0
    msp = doc.modelspace()
    centre, radius = (3000.0, 3600.0), 600.0
    start = (centre[0] + radius * math.cos(math.radians(-60)), centre[1] + radius * math.sin(math.radians(-60)))
    end = (centre[0] + radius * math.cos(math.radians(60)), centre[1] + radius * math.sin(math.radians(60)))
    pieces = [((1800.0, 300.0), (2500.0, 2000.0)), ((2500.0, 2000.0), (start[0] + 0.4, start[1])),
              ((end[0], end[1] - 0.3), (6000.0, 7000.0)), ((6000.0, 7000.0), (10600.0, 10500.0))]
    random.Random(7).shuffle(pieces)
    for index, (a, b) in enumerate(pieces):
        msp.add_line(*((b, a) if index % 2 else (a, b)), dxfattribs={"layer": "HULL"})
    msp.add_arc(centre, radius, -60, 60, dxfattribs={"layer": "HULL"})
    msp.add_lwpolyline([(x * 1000, z * 1000) for x, z in RUDDER], close=True, dxfattribs={"layer": "RUDDER"})
    add_extra_layers(msp, 1000)
    drawing = folder / "lines-and-arc.dxf"
    doc.saveas(drawing)
    arc = [(centre[0] + radius * math.cos(math.radians(a / 10)), centre[1] + radius * math.sin(math.radians(a / 10)))
           for a in range(-600, 601)]
    drawn = [(1800.0, 300.0), (2500.0, 2000.0)] + arc + [(6000.0, 7000.0), (10600.0, 10500.0)]
    drawn = [(x / 1000, z / 1000) for x, z in drawn]
    if run_import(propclear, drawing, folder / "lines.TSK", "--units", "mm", "--contour-layer", "hull"):
        check_design("LINEs and an ARC", folder / "lines.TSK", drawn,
                     corners=[(end[0] / 1000, end[1] / 1000)])  # the other joints turn less than 30 degrees


def main():
    propclear, example_design, folder = sys.argv[1], sys.argv[2], pathlib.Path(sys.argv[3])
    points = example(example_design)
    r12_polyline(folder, propclear, points)
    r2000_bulges(folder, propclear)
    spline_by_control_points(folder, propclear, points)
    spline_by_fit_points(folder, propclear, points)
    lines_and_arc(folder, propclear)
    for failure in failures:
        print(failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())

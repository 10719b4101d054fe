#!/usr/bin/env python3
"""Writes COUNT varied designs, each into a folder of its own under OUT:
DESIGN-NNN/Norvalek.TSK, every other one with the example's ship file.

    varied_designs.py EXAMPLES_DIR OUT COUNT

Each design is the example moved and scaled by a seeded random draw: the
propeller centre, its diameter, hub, pitch and area ratios and rake, the
rudder's corners and the stern contour's x. Some draws put the blade
through the structure or the rudder: those runs end with an error, whose
message and exit status are compared like the files of the others.
"""
import pathlib
import random
import re
import shutil
import sys

NUMBER = re.compile(r"-?\d+\.\d+")


def vary_line(line, deltas):
    """The line with each decimal number moved by the next delta, printed
    with the number's own count of decimals."""
    numbers = iter(deltas)

    def moved(match):
        text = match.group(0)
        decimals = len(text.split(".")[1])
        return f"{float(text) + next(numbers, 0.0):.{decimals}f}"

    return NUMBER.sub(moved, line)


def varied(lines, draw):
    centre_dx, centre_dz = draw.uniform(-0.4, 0.4), draw.uniform(-0.3, 0.3)
    rudder_dx = draw.uniform(-0.6, 0.8)
    contour_dx = draw.uniform(-0.3, 0.3)
    out = list(lines)
    # Line numbers of the example's layout (caption lines counted).
    out[12] = vary_line(lines[12], [centre_dx, centre_dz])
    out[14] = vary_line(lines[14], [draw.uniform(-0.5, 0.5)])
    out[16] = vary_line(lines[16], [draw.uniform(-0.6, 0.4), draw.uniform(-0.15, 0.15)])
    out[19] = vary_line(lines[19], [draw.uniform(-0.25, 0.35), draw.uniform(-0.15, 0.3),
                                    draw.uniform(-10.0, 5.0)])
    for index in range(23, 27):
        out[index] = vary_line(lines[index], [rudder_dx, draw.uniform(-0.2, 0.2)])
    index = 29
    while not lines[index].rstrip().endswith("99"):
        out[index] = vary_line(lines[index], [0.0, contour_dx + draw.uniform(-0.05, 0.05)])
        index += 1
    return out


def main():
    examples, out, count = pathlib.Path(sys.argv[1]), pathlib.Path(sys.argv[2]), int(sys.argv[3])
    text = (examples / "Norvalek.TSK").read_bytes().decode("ascii")
    lines = text.split("\r\n")
    draw = random.Random(34)
    for number in range(1, count + 1):
        folder = out / f"DESIGN-{number:03d}"
        folder.mkdir(parents=True, exist_ok=True)
        (folder / "Norvalek.TSK").write_bytes("\r\n".join(varied(lines, draw)).encode("ascii"))
        if number % 2 == 0:
            shutil.copy(examples / "Norvalek.ship.toml", folder / "Norvalek.ship.toml")


if __name__ == "__main__":
    main()

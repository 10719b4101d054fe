#!/usr/bin/env python3
"""Puts the studio page together: studio.html with its style, the core's
module (WebAssembly inside the script) and the example, as one file that
needs nothing else.

    assemble.py CORE_JS EXAMPLE_DESIGN EXAMPLE_SHIP OUTPUT_HTML
"""
import json
import pathlib
import sys


def main() -> int:
    core_js, example_design, example_ship, output = map(pathlib.Path, sys.argv[1:5])
    page_dir = pathlib.Path(__file__).resolve().parent
    example = {
        "designName": example_design.name,
        "designText": example_design.read_bytes().decode("utf-8"),
        "shipText": example_ship.read_bytes().decode("utf-8"),
    }
    # "</" cannot end the script element early once escaped.
    example_json = json.dumps(example).replace("</", "<\\/")
    parts = {
        "/*STYLE*/": (page_dir / "studio.css").read_text(encoding="utf-8"),
        "/*CORE*/": core_js.read_text(encoding="utf-8").replace("</script", "<\\/script"),
        "/*EXAMPLE*/": example_json,
        "/*APP*/": (page_dir / "studio.js").read_text(encoding="utf-8"),
    }
    page = (page_dir / "studio.html").read_text(encoding="utf-8")
    for marker, text in parts.items():
        if page.count(marker) != 1:
            print(f"studio.html: the marker {marker} must stand there once", file=sys.stderr)
            return 1
        page = page.replace(marker, text)
    output.parent.mkdir(parents=True, exist_ok=True)
    output.write_text(page, encoding="utf-8")
    print(f"{output}: {output.stat().st_size} bytes")
    return 0


if __name__ == "__main__":
    sys.exit(main())

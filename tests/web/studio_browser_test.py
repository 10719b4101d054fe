#!/usr/bin/env python3
"""The studio in a browser, in Debian's headless Chromium, against the native
program: the example's clearances and verdicts as the native --json gives
them; a drag of the propeller centre against a native run of the edited
design; the downloaded outputs byte for byte.

    studio_browser_test.py PAGE_HTML PROPCLEAR EXAMPLES_DIR
"""
import json
import pathlib
import re
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent))
from chromium_page import ChromiumPage  # noqa: E402

PAGE, PROPCLEAR, EXAMPLES = (pathlib.Path(a).resolve() for a in sys.argv[1:4])
del sys.argv[1:4]

READ_TABLES = """(() => {
  const rows = (selector) => Array.from(document.querySelectorAll(selector),
    (row) => Array.from(row.cells, (cell) => cell.textContent));
  return {clearances: rows('#clearances tr[data-clearance]'), rules: rows('#rules tr[data-clearance]'),
          status: document.getElementById('status').textContent,
          statusClass: document.getElementById('status').className,
          design: propclearStudio.studio.designText};
})()"""


def native_run(folder: pathlib.Path, design: str):
    """The native program on `design` in `folder`: its JSON results."""
    subprocess.run([str(PROPCLEAR), design, "--no-window", "--answer", "H", "--json",
                    pathlib.Path(design).stem + ".json", "--dxf", pathlib.Path(design).stem + ".dxf"],
                   cwd=folder, check=False, capture_output=True)
    return json.loads((folder / (pathlib.Path(design).stem + ".json")).read_text())


def without_rule_file_paths(text: str) -> str:
    """The results with each bundled rule file named from its rules/ folder on: the page
    reads them from its in-memory folder, the program from the folder beside it."""
    return re.sub(r'("file": ?")[^"]*/(rules/[^"/]+\.toml")', r"\1\2", text)


def comparable(results):
    return json.loads(without_rule_file_paths(json.dumps(results)))


def shown(value):
    """As the page shows a figure: a dash where there is none (a line that does not apply)."""
    return "\u2014" if value is None else f"{value:.3f}"


class StudioPage(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.scratch = pathlib.Path(tempfile.mkdtemp(prefix="propclear-web-test-"))
        cls.native = cls.scratch / "native"
        shutil.copytree(EXAMPLES, cls.native)
        cls.example = native_run(cls.native, "Norvalek.TSK")
        cls.page = ChromiumPage()
        cls.page.open(PAGE.as_uri() + "?open=example")
        cls.page.wait_for("document.body.dataset.ready === 'true' && propclearStudio.studio.run !== null")

    @classmethod
    def tearDownClass(cls):
        cls.page.close()
        shutil.rmtree(cls.scratch, ignore_errors=True)

    def assert_tables_match(self, tables, native):
        self.assertEqual([row[0] for row in tables["clearances"]],
                         [c["name"] for c in native["clearances"]])
        for row, clearance in zip(tables["clearances"], native["clearances"]):
            self.assertEqual(row[1:4], [shown(clearance["length_m"]), shown(clearance["ratio_to_D"]),
                                        clearance["status"].replace("-", " ")], clearance["name"])
        lines = native["ruleCheck"]["lines"]
        self.assertEqual([(row[0], row[-1]) for row in tables["rules"]],
                         [(line["clearance"], line["verdict"]) for line in lines])
        for row, line in zip(tables["rules"], lines):
            self.assertEqual(row[3:5], [shown(line["required_m"]), shown(line.get("measured_m"))])

    def test_1_example_shows_the_native_clearances_and_verdicts(self):
        tables = self.page.evaluate(READ_TABLES)
        self.assert_tables_match(tables, self.example)
        # The judged status: two binding lines of the example are below their minimum.
        self.assertEqual(self.example["status"], "below")
        self.assertEqual(tables["status"], self.example["statusText"])
        self.assertIn("below", tables["statusClass"].split())
        page_result = self.page.evaluate("propclearStudio.studio.run.result")
        self.assertEqual(comparable(page_result), comparable(self.example))

    def test_2_dragging_the_propeller_centre_follows_a_native_run(self):
        handle = self.page.evaluate("""(() => {
          const box = document.querySelector('.handle.propeller').getBoundingClientRect();
          return [box.x + box.width / 2, box.y + box.height / 2];
        })()""")
        x, y = handle
        self.page.mouse("mousePressed", x, y)
        for step in range(1, 21):
            self.page.mouse("mouseMoved", x - step, y - step)
        self.page.mouse("mouseReleased", x - 20, y - 20, buttons=0)
        tables = self.page.evaluate(READ_TABLES)
        edited = self.page.evaluate("propclearStudio.studio.values.slice(0, 2)")
        self.assertNotEqual(edited, [4.0, 2.8], "the drag moved the centre")
        # Snapped to whole millimetres.
        for value in edited:
            self.assertAlmostEqual(value * 1000, round(value * 1000), places=6)
        folder = self.scratch / "edited"
        folder.mkdir()
        (folder / "Norvalek.TSK").write_text(tables["design"], newline="")
        shutil.copy(EXAMPLES / "Norvalek.ship.toml", folder)
        native = native_run(folder, "Norvalek.TSK")
        self.assertEqual(native["design"]["propellerCentre"], {"x": edited[0], "z": edited[1]})
        self.assert_tables_match(tables, native)
        self.assertEqual(comparable(self.page.evaluate("propclearStudio.studio.run.result")),
                         comparable(native))
        # One drag, one undo step.
        self.page.evaluate("propclearStudio.undo()")
        self.assertEqual(self.page.evaluate("propclearStudio.studio.values.slice(0, 2)"), [4, 2.8])
        self.page.evaluate("propclearStudio.redo()")
        self.__class__.edited_folder = folder

    def test_3_downloads_are_the_native_files_byte_for_byte(self):
        downloads = self.scratch / "downloads"
        downloads.mkdir()
        self.page.allow_downloads(downloads)
        expected = {"Norvalek.SON": "report", "Norvalek.SCR": "script", "Norvalek.dxf": "drawing",
                    "Norvalek.json": "results", "Norvalek.TSK": None}
        for kind in ["report", "script", "drawing", "results"]:
            self.page.evaluate(f"document.querySelector('[data-download={kind}]').click()")
        self.page.evaluate("document.getElementById('save-design').click()")
        deadline = time.monotonic() + 20
        while time.monotonic() < deadline and not all((downloads / n).exists() for n in expected):
            time.sleep(0.05)
        time.sleep(0.2)
        for name in expected:
            self.assertTrue((downloads / name).exists(), name)
            page_bytes, native_bytes = ((folder / name).read_bytes() for folder in (downloads, self.edited_folder))
            if name.endswith(".json"):
                page_bytes, native_bytes = (without_rule_file_paths(b.decode()).encode()
                                            for b in (page_bytes, native_bytes))
            self.assertEqual(page_bytes, native_bytes, name)


if __name__ == "__main__":
    unittest.main(verbosity=2)

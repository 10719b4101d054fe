#!/usr/bin/env python3
"""The studio in a browser, in Debian's headless Chromium, against the native
program: the example's clearances and verdicts as the native --json gives
them; a recorded 200-step drag of the propeller centre against a native run
of the edited design; every downloaded output, of the example and of the
dragged design, byte for byte. Prints the page's load time and the drag
steps' times (the benchmark, bench/web/, judges them against their targets).

    studio_browser_test.py PAGE_HTML PROPCLEAR EXAMPLES_DIR
"""
import json
import pathlib
import shutil
import statistics
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


# The page's downloads by the button that gives them, named as the program names them.
DOWNLOADS = {"Norvalek.SON": "[data-download=report]", "Norvalek.SCR": "[data-download=script]",
             "Norvalek.dxf": "[data-download=drawing]", "Norvalek.json": "[data-download=results]",
             "Norvalek.svg": "[data-download=svg]", "Norvalek.TSK": "#save-design"}


def native_run(folder: pathlib.Path, design: str):
    """The native program on `design` in `folder`, writing every output the
    page offers: its JSON results."""
    stem = pathlib.Path(design).stem
    subprocess.run([str(PROPCLEAR), design, "--no-window", "--answer", "H", "--json", stem + ".json",
                    "--dxf", stem + ".dxf", "--plot", stem + ".svg"],
                   cwd=folder, check=False, capture_output=True)
    return json.loads((folder / (stem + ".json")).read_text())


def shown(value):
    """As the page shows a figure: a dash where there is none (a line that does not apply),
    and no sign on a figure that rounds to zero, as the native tables print it."""
    if value is None:
        return "\u2014"
    text = f"{value:.3f}"
    return text[1:] if text == "-0.000" else text


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
        print(f"\npage load to the example drawn: {cls.page.evaluate('propclearStudio.firstDrawnAt'):.0f} ms",
              file=sys.stderr)

    @classmethod
    def tearDownClass(cls):
        cls.page.close()
        shutil.rmtree(cls.scratch, ignore_errors=True)

    def assert_tables_match(self, tables, native):
        self.assertEqual([row[0] for row in tables["clearances"]],
                         [c["name"] for c in native["clearances"]])
        for row, clearance in zip(tables["clearances"], native["clearances"]):
            self.assertEqual(row[1:4], [shown(clearance["length_m"]), shown(clearance["ratio_to_D"]),
                                        clearance["statusText"]], clearance["name"])
        lines = native["ruleCheck"]["lines"]
        self.assertEqual([(row[0], row[-1]) for row in tables["rules"]],
                         [(line["clearance"], line["verdict"]) for line in lines])
        for row, line in zip(tables["rules"], lines):
            self.assertEqual(row[2:4], [shown(line["required_m"]), shown(line.get("measured_m"))])

    def assert_results_fit_their_panel(self):
        """Nothing in the results panel scrolls sideways, at the default
        window size and at 1280 x 800."""
        for width, height in ((1280, 800), (1400, 900)):
            self.page.command("Emulation.setDeviceMetricsOverride", width=width, height=height,
                              deviceScaleFactor=1, mobile=False)
            scroll, client = self.page.evaluate("""(() => {
              const panel = document.getElementById('results-panel');
              return [panel.scrollWidth, panel.clientWidth]; })()""")
            self.assertLessEqual(scroll, client, f"the results panel at {width} x {height}")

    def test_1_example_shows_the_native_clearances_and_verdicts(self):
        tables = self.page.evaluate(READ_TABLES)
        self.assert_tables_match(tables, self.example)
        self.assert_results_fit_their_panel()
        # The judged status: two binding lines of the example are below their minimum.
        self.assertEqual(self.example["status"], "below")
        self.assertEqual(tables["status"], self.example["statusText"])
        self.assertIn("below", tables["statusClass"].split())
        page_result = self.page.evaluate("propclearStudio.studio.run.result")
        self.assertEqual(page_result, self.example)

    def download_all(self, folder: pathlib.Path):
        folder.mkdir()
        self.page.allow_downloads(folder)
        for selector in DOWNLOADS.values():
            self.page.evaluate(f"document.querySelector('{selector}').click()")
        deadline = time.monotonic() + 20
        while time.monotonic() < deadline and not all((folder / n).exists() for n in DOWNLOADS):
            time.sleep(0.05)
        time.sleep(0.2)

    def assert_downloads_are(self, folder: pathlib.Path, native: pathlib.Path):
        for name in DOWNLOADS:
            self.assertTrue((folder / name).exists(), name)
            page_bytes, native_bytes = (folder / name).read_bytes(), (native / name).read_bytes()
            self.assertEqual(page_bytes, native_bytes, name)

    def test_2_downloads_of_the_example_are_the_native_files(self):
        self.download_all(self.scratch / "example-downloads")
        self.assert_downloads_are(self.scratch / "example-downloads", self.native)

    def test_3_a_recorded_drag_of_the_propeller_centre_follows_a_native_run(self):
        x, y = self.page.evaluate("""(() => {
          const box = document.querySelector('.handle.propeller').getBoundingClientRect();
          return [box.x + box.width / 2, box.y + box.height / 2];
        })()""")
        self.page.evaluate("propclearStudio.moveTimes.length = 0")
        self.page.mouse("mousePressed", x, y)
        # 200 moves of a pixel, to and fro along x while rising along z; each
        # waits for its frame, so that every one is a step shown.
        for step in range(1, 201):
            along = step % 40 if step % 40 <= 20 else 40 - step % 40
            self.page.mouse("mouseMoved", x - along, y - step // 10)
            self.page.wait_for(f"propclearStudio.moveTimes.length >= {step}", timeout=10)
        self.page.mouse("mouseReleased", x, y - 20, buttons=0)
        times = self.page.evaluate("propclearStudio.moveTimes.slice()")
        ordered = sorted(times)
        print(f"\ndrag of {len(times)} steps, each to its frame painted: median "
              f"{statistics.median(times):.1f} ms, 99th percentile "
              f"{ordered[min(len(ordered) - 1, round(0.99 * (len(ordered) - 1)))]:.1f} ms, "
              f"longest {ordered[-1]:.1f} ms", file=sys.stderr)
        self.assertEqual(len(times), 200)

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
        self.assertEqual(self.page.evaluate("propclearStudio.studio.run.result"), native)
        self.assert_results_fit_their_panel()
        # One drag, one undo step.
        self.page.evaluate("propclearStudio.undo()")
        self.assertEqual(self.page.evaluate("propclearStudio.studio.values.slice(0, 2)"), [4, 2.8])
        self.page.evaluate("propclearStudio.redo()")
        self.__class__.edited_folder = folder

    def test_4_downloads_of_the_dragged_design_are_the_native_files(self):
        self.download_all(self.scratch / "edited-downloads")
        self.assert_downloads_are(self.scratch / "edited-downloads", self.edited_folder)


if __name__ == "__main__":
    unittest.main(verbosity=2)

#!/usr/bin/env python3
"""Figures of the studio in a browser, in Debian's headless Chromium: the
page's size, page load to the example drawn (target 1 s), and a recorded
200-step drag of the propeller centre, each step from the start of its work
to its frame with the drawing and the tables painted (target 16 ms at the
99th percentile), and the main thread's own time of each step from
Chromium's trace, which other processes on a busy machine do not lengthen.
Also saves the
screenshots: the example, a clash, the rule table.

    studio_page_bench.py PAGE_HTML SCREENSHOT_DIR [--quick]
"""
import os
import pathlib
import statistics
import sys

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[2] / "tests" / "web"))
from chromium_page import ChromiumPage  # noqa: E402

LOAD_TARGET_MS = 1000.0
STEP_TARGET_MS = 16.0

# A drag of the propeller centre by pointer events, one a frame, as the
# browser delivers a real drag; the page records each shown step's time from
# the start of its work to its frame painted (propclearStudio.moveTimes).
DRAG = """(async (steps) => {
  const svg = document.getElementById('drawing');
  const handle = document.querySelector('.handle.propeller');
  const box = handle.getBoundingClientRect();
  let x = box.x + box.width / 2, y = box.y + box.height / 2;
  const event = (type) => new PointerEvent(type, {clientX: x, clientY: y, pointerId: 1,
                                                  bubbles: true, buttons: 1});
  propclearStudio.moveTimes.length = 0;
  handle.dispatchEvent(event('pointerdown'));
  for (let i = 0; i < steps; ++i) {
    x += (i % 50 < 25 ? 1 : -1) * 0.7;
    y += (i % 20 < 10 ? 1 : -1) * 0.5;
    svg.dispatchEvent(event('pointermove'));
    await new Promise((resolve) => requestAnimationFrame(() => setTimeout(resolve, 0)));
  }
  svg.dispatchEvent(event('pointerup'));
  return propclearStudio.moveTimes.splice(0);
})"""


def main_thread_per_step(events):
    """The main thread's own time (the trace's thread time, which a busy
    machine's other processes do not lengthen) of each frame that showed a
    drag step, the frames with animation frame callbacks, in ms; and of each
    the callbacks' (the step's script, the core's preview included)."""
    timed = [e for e in events if e.get("ph") == "X" and "tdur" in e]
    callbacks = [e for e in timed if e["name"] == "FireAnimationFrame"]
    frames, scripts = [], []
    for frame in (e for e in timed if e["name"] == "ProxyMain::BeginMainFrame"):
        end = frame["ts"] + frame["dur"]
        inside = [c["tdur"] for c in callbacks if c["tid"] == frame["tid"] and frame["ts"] <= c["ts"] < end]
        if inside:
            frames.append(frame["tdur"] / 1000)
            scripts.append(sum(inside) / 1000)
    return frames, scripts


def percentile(values, share):
    ordered = sorted(values)
    return ordered[min(len(ordered) - 1, int(round(share * (len(ordered) - 1))))]


def main() -> int:
    page_path = pathlib.Path(sys.argv[1]).resolve()
    shots = pathlib.Path(sys.argv[2])
    quick = "--quick" in sys.argv
    shots.mkdir(parents=True, exist_ok=True)
    loads = []
    with ChromiumPage() as page:
        for _ in range(2 if quick else 7):
            page.open(page_path.as_uri() + "?open=example")
            page.wait_for("window.propclearStudio && propclearStudio.firstDrawnAt !== null")
            loads.append(page.evaluate("propclearStudio.firstDrawnAt"))
        page.screenshot(shots / "studio-example.png")
        steps = page.evaluate(f"{DRAG}({50 if quick else 200})")
        page.evaluate("propclearStudio.undo()")
        _, events = page.traced("devtools.timeline,disabled-by-default-devtools.timeline,cc",
                                lambda: page.evaluate(f"{DRAG}({50 if quick else 200})"))
        page.evaluate("propclearStudio.undo()")
        thread_steps, scripts = main_thread_per_step(events)
        # The propeller pushed up into the stern: a clash.
        page.evaluate("""(() => { const v = propclearStudio.studio.values.slice();
          v[0] = 3.2; v[1] = 3.4; propclearStudio.applyValues(v); })()""")
        page.screenshot(shots / "studio-clash.png")
        page.evaluate("propclearStudio.undo()")
        clip = page.evaluate("""(() => { const r = document.getElementById('results-panel')
          .getBoundingClientRect(); return {x: r.x, y: r.y, width: r.width, height: r.height}; })()""")
        page.screenshot(shots / "studio-rule-table.png", clip={**clip, "scale": 1})

    size = page_path.stat().st_size
    load_median = statistics.median(loads)
    p99 = percentile(steps, 0.99)
    print(f"page size: {size} bytes ({size / 1024 / 1024:.2f} MiB)")
    print(f"load to drawn: median {load_median:.0f} ms over {len(loads)} loads "
          f"(max {max(loads):.0f} ms), target {LOAD_TARGET_MS:.0f} ms: "
          f"{'met' if load_median <= LOAD_TARGET_MS else 'MISSED'}")
    print(f"drag step: median {statistics.median(steps):.2f} ms, p99 {p99:.2f} ms over "
          f"{len(steps)} steps, target {STEP_TARGET_MS:.0f} ms: "
          f"{'met' if p99 <= STEP_TARGET_MS else 'MISSED'}")
    print(f"drag step, the main thread's own time (traced): median "
          f"{statistics.median(thread_steps):.2f} ms, p99 {percentile(thread_steps, 0.99):.2f} ms "
          f"over {len(thread_steps)} frames; of it the step's script: median "
          f"{statistics.median(scripts):.2f} ms")
    print("load average (1, 5, 15 min): " + ", ".join(f"{load:.2f}" for load in os.getloadavg()))
    print(f"screenshots: {shots}")
    return 0


if __name__ == "__main__":
    sys.exit(main())

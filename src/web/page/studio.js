// The studio in a browser: the page shows and edits a design; every value it
// shows comes from the core (WebAssembly) through its C interface:
// propclear_run (the whole run, the outputs written into /studio),
// propclear_rewrite (a design's text with new values) and
// propclear_check_field (a typed value, checked). Nothing here measures,
// judges or lays out a file.
"use strict";

const studioFolder = "/studio";
const snapMetres = 0.001;
const handleRadiusPixels = 6;
// The conventional 16-colour palette of the drawing, by index.
const palette = ["#000000", "#0000aa", "#00aa00", "#00aaaa", "#aa0000", "#aa00aa", "#aa5500",
  "#aaaaaa", "#555555", "#5555ff", "#55ff55", "#55ffff", "#ff5555", "#ff55ff", "#ffff55", "#ffffff"];
// The propeller's data in the order of propclear_rewrite's values.
const propellerFields = [
  ["propellerCentreX", "Propeller centre x", "m"], ["propellerCentreZ", "Propeller centre z", "m"],
  ["waterlineHeight", "Waterline", "m"], ["propellerDiameter", "D", "m"],
  ["hubDiameter", "Dh", "m"], ["pitchRatio", "P/D", ""], ["areaRatio", "Ear", ""],
  ["rakeAngle", "Rake", "°"]];

const svgNamespace = "http://www.w3.org/2000/svg";
const element = (id) => document.getElementById(id);

let core = null;
const studio = {
  designName: null, designText: null, shipText: "",
  values: null,          // the design's values, as propclear_rewrite takes them
  run: null,             // the last run (propclear_run's JSON)
  undo: [], redo: [],    // design texts
  view: null,            // the viewBox: x, y (of -z), width, height in metres
  selectedPoint: 0,      // contour point of the table, from 1
  faults: {},            // typed text refused, by field id
};

// ---- The core -------------------------------------------------------------

function nulTerminated(text) {
  const bytes = new TextEncoder().encode(text);
  const withEnd = new Uint8Array(bytes.length + 1);
  withEnd.set(bytes);
  return withEnd;
}

function runCore(preview) {
  const text = core.ccall("propclear_run", "string", ["array", "array", "array", "number"],
    [nulTerminated(studio.designName), nulTerminated(studio.designText), nulTerminated(studio.shipText),
      preview ? 0 : 1]);
  return JSON.parse(text);
}

function rewriteCore(values) {
  const bytes = new Uint8Array(new Float64Array(values).buffer);
  const text = core.ccall("propclear_rewrite", "string", ["array", "array", "array", "number"],
    [nulTerminated(studio.designName), nulTerminated(studio.designText), bytes, values.length]);
  return JSON.parse(text);
}

function checkField(field, index, text) {
  return JSON.parse(core.ccall("propclear_check_field", "string", ["string", "number", "string"],
    [field, index, text]));
}

// ---- The design's values --------------------------------------------------

function valuesOf(design) {
  const values = propellerFields.map(([key]) => {
    if (key === "propellerCentreX") return design.propellerCentre.x;
    if (key === "propellerCentreZ") return design.propellerCentre.z;
    return design[key];
  });
  for (const corner of design.rudderCorners) values.push(corner.x, corner.z);
  for (const point of design.contourPoints) values.push(point.z, point.x, point.code);
  return values;
}

const rudderOffset = (corner, axis) => 8 + 2 * (corner - 1) + (axis === "x" ? 0 : 1);
const contourOffset = (point, column) => 16 + 3 * (point - 1) + ["z", "x", "code"].indexOf(column);
const pointCount = () => (studio.values.length - 16) / 3;

// ---- Opening, editing, undo ----------------------------------------------

function openDesign(name, text, shipText) {
  studio.designName = name;
  studio.designText = text;
  studio.shipText = shipText || "";
  studio.undo = [];
  studio.redo = [];
  studio.view = null;
  studio.values = null;
  studio.selectedPoint = 0;
  studio.faults = {};
  recompute();
}

// Runs the design as it stands and shows the run; a preview (a step of a
// drag) leaves the drawing files unwritten until the drop.
function recompute(preview = false) {
  studio.run = runCore(preview);
  if (studio.run.result) studio.values = valuesOf(studio.run.result.design);
  showAll();
}

// A changed design text, one undo step (unless a drag already made it one).
function commitText(text, asNewStep = true, preview = false) {
  if (asNewStep) {
    studio.undo.push(studio.designText);
    studio.redo = [];
  }
  studio.designText = text;
  recompute(preview);
}

// The design with `values`: rewritten by the core and run again.
function applyValues(values, asNewStep = true, { preview = false } = {}) {
  const rewritten = rewriteCore(values);
  if (rewritten.error) {
    showMessage(rewritten.error);
    return false;
  }
  studio.values = values;
  commitText(rewritten.text, asNewStep, preview);
  return true;
}

function undo() {
  if (!studio.undo.length) return;
  studio.redo.push(studio.designText);
  studio.designText = studio.undo.pop();
  recompute();
}

function redo() {
  if (!studio.redo.length) return;
  studio.undo.push(studio.designText);
  studio.designText = studio.redo.pop();
  recompute();
}

async function openFiles(files) {
  const list = Array.from(files);
  const design = list.find((file) => /\.tsk$/i.test(file.name));
  if (!design) {
    showMessage("Open a design file (.TSK), with its ship file (.ship.toml) if it has one.");
    return;
  }
  const stem = design.name.replace(/\.tsk$/i, "");
  const ship = list.find((file) => file.name === stem + ".ship.toml") ||
    list.find((file) => /\.toml$/i.test(file.name));
  openDesign(design.name, await design.text(), ship ? await ship.text() : "");
}

// ---- The drawing ---------------------------------------------------------

function svgChild(parent, name, attributes) {
  const node = document.createElementNS(svgNamespace, name);
  for (const [key, value] of Object.entries(attributes)) node.setAttribute(key, value);
  parent.appendChild(node);
  return node;
}

// The extent of the drawing's lines and circles, metres.
function drawingExtent(commands) {
  let low = [Infinity, Infinity], high = [-Infinity, -Infinity];
  const take = (x, z) => {
    low = [Math.min(low[0], x), Math.min(low[1], z)];
    high = [Math.max(high[0], x), Math.max(high[1], z)];
  };
  for (const c of commands) {
    if (c[0] === "line") { take(c[1], c[2]); take(c[3], c[4]); }
    if (c[0] === "circle") { take(c[1] - c[3], c[2] - c[3]); take(c[1] + c[3], c[2] + c[3]); }
  }
  return isFinite(low[0]) ? { low, high } : { low: [0, 0], high: [10, 10] };
}

function fitView() {
  const { low, high } = drawingExtent(studio.run ? studio.run.drawing : []);
  const margin = 0.05 * Math.max(high[0] - low[0], high[1] - low[1], 1);
  let width = high[0] - low[0] + 2 * margin, height = high[1] - low[1] + 2 * margin;
  // The view's own proportions, so that one metre is as long in x as in z.
  const size = drawingPixels();
  const aspect = size.width / Math.max(size.height, 1) || 1.5;
  if (width / height < aspect) width = height * aspect; else height = width / aspect;
  const centre = [(low[0] + high[0]) / 2, (low[1] + high[1]) / 2];
  studio.view = { x: centre[0] - width / 2, y: -centre[1] - height / 2, width, height };
}

// The drawing's size in pixels, as a ResizeObserver last saw it: asked of
// the element in the middle of a step, it would cost a whole layout.
let drawingSize = null;

function drawingPixels() {
  if (!drawingSize) {
    const svg = element("drawing");
    drawingSize = { width: svg.clientWidth, height: svg.clientHeight };
  }
  return drawingSize;
}

function pixelsPerMetre() {
  const size = drawingPixels();
  return Math.min(size.width / studio.view.width, size.height / studio.view.height) || 1;
}

function dashesOf(style) {
  return style === 1 ? "8 5" : style === 2 ? "2 4" : "none";
}

// The core's drawing commands as SVG elements, at true scale: metres in x,
// metres of height upwards (the SVG's y is -z); each as its tag, its
// attributes and its text.
function plotItems(commands, metresPerPixel) {
  let lineWidth = 1, lineStyle = 0, textColour = 0, fontPixels = 13, cursor = [0, 0];
  const items = [];
  for (const c of commands) {
    switch (c[0]) {
      case "lineWidth": lineWidth = c[1]; break;
      case "lineStyle": lineStyle = c[1]; break;
      case "textColour": textColour = c[1]; break;
      case "font": fontPixels = Math.max(9, Math.round(c[2] * 4 / 3)); break;
      case "cursor": cursor = [c[1], c[2]]; break;
      case "line": {
        // A line that goes on from the last one in its pen goes on its
        // polyline: the outlines are many short lines, and fewer elements
        // are restyled, laid out and painted faster.
        const last = items[items.length - 1];
        const pen = { stroke: palette[c[5]], "stroke-width": lineWidth, "stroke-dasharray": dashesOf(lineStyle) };
        if (last && last.end && last.end[0] === c[1] && last.end[1] === c[2] &&
            last.pen.stroke === pen.stroke && last.pen["stroke-width"] === pen["stroke-width"] &&
            last.pen["stroke-dasharray"] === pen["stroke-dasharray"]) {
          last.points.push(c[3], -c[4]);
        } else {
          items.push(Object.assign(["polyline", pen], { pen, points: [c[1], -c[2], c[3], -c[4]] }));
        }
        items[items.length - 1].end = [c[3], c[4]];
        break;
      }
      case "circle":
        items.push(["circle", { cx: c[1], cy: -c[2], r: c[3], stroke: palette[c[4]],
          "stroke-width": lineWidth, "stroke-dasharray": dashesOf(lineStyle) }]);
        break;
      case "text": {
        const size = fontPixels * metresPerPixel;
        items.push(["text", { x: cursor[0], y: -cursor[1] + 0.8 * size, fill: palette[textColour],
          "font-size": size }, c[1]]);
        cursor = [cursor[0], cursor[1] - 1.2 * size];
        break;
      }
      default: break;
    }
  }
  for (const item of items) if (item.points) item[1].points = item.points.join(" ");
  return items;
}

// The elements of a group, kept from one drawing to the next: a drag step
// changes the attributes of the few that moved, and the browser restyles and
// repaints only those, where a new set of elements costs it the whole
// drawing.
class KeptElements {
  constructor(group) { this.group = group; this.kept = []; }

  show(items) {
    items.forEach(([tag, attributes, text], i) => {
      let kept = this.kept[i];
      if (!kept || kept.tag !== tag) {
        const node = document.createElementNS(svgNamespace, tag);
        if (kept) this.group.replaceChild(node, kept.node); else this.group.appendChild(node);
        kept = this.kept[i] = { node, tag, attributes: {}, text: undefined };
      }
      for (const key in attributes) {
        if (kept.attributes[key] === attributes[key]) continue;
        kept.node.setAttribute(key, attributes[key]);
        kept.attributes[key] = attributes[key];
      }
      if (text !== undefined && kept.text !== text) kept.node.textContent = kept.text = text;
    });
    while (this.kept.length > items.length) this.kept.pop().node.remove();
  }
}

let plotElements = null, handleElements = null;

function handleItems(metresPerPixel) {
  if (!studio.values) return [];
  const r = handleRadiusPixels * metresPerPixel;
  const items = [];
  const handle = (x, z, kind, target, radius = r) => {
    const shape = kind === "rudder"
      ? ["rect", { x: x - radius, y: -z - radius, width: 2 * radius, height: 2 * radius }]
      : ["circle", { cx: x, cy: -z, r: radius }];
    shape[1].class = "handle " + kind;
    shape[1]["data-target"] = target;
    items.push(shape);
  };
  for (let point = 1; point <= pointCount(); ++point) {
    handle(studio.values[contourOffset(point, "x")], studio.values[contourOffset(point, "z")],
      "contour", "point:" + point, 0.8 * r);
  }
  for (let corner = 1; corner <= 4; ++corner) {
    handle(studio.values[rudderOffset(corner, "x")], studio.values[rudderOffset(corner, "z")],
      "rudder", "corner:" + corner);
  }
  handle(studio.values[0], studio.values[1], "propeller", "propeller", 1.2 * r);
  return items;
}

function drawView() {
  const svg = element("drawing");
  if (!plotElements) {
    plotElements = new KeptElements(svgChild(svg, "g", { id: "plot" }));
    handleElements = new KeptElements(svgChild(svg, "g", { id: "handles" }));
  }
  if (!studio.view) fitView();
  const v = studio.view;
  svg.setAttribute("viewBox", `${v.x} ${v.y} ${v.width} ${v.height}`);
  svg.setAttribute("preserveAspectRatio", "xMidYMid meet");
  const metresPerPixel = studio.run ? 1 / pixelsPerMetre() : 1;
  plotElements.show(studio.run ? plotItems(studio.run.drawing, metresPerPixel) : []);
  handleElements.show(studio.run ? handleItems(metresPerPixel) : []);
  // When the first design was drawn, after the page began to load (ms).
  if (studio.run) window.propclearStudio.firstDrawnAt ??= performance.now();
}

// ---- Panels --------------------------------------------------------------

const shown = (value, decimals = 3) =>
  (typeof value === "number" && isFinite(value)) ? value.toFixed(decimals) : "—";

function fieldInput(id, field, index, value) {
  const input = document.createElement("input");
  input.className = "field" + (studio.faults[id] ? " fault" : "");
  input.id = id;
  input.value = studio.faults[id] ? studio.faults[id].text : String(value);
  input.addEventListener("change", () => enterField(id, field, index, input.value));
  return input;
}

function faultRow(table, id, columns) {
  if (!studio.faults[id]) return;
  const row = table.insertRow();
  const cell = row.insertCell();
  cell.colSpan = columns;
  cell.className = "fault-text";
  cell.textContent = studio.faults[id].fault;
}

// A value typed into a field: checked by the core, then the design rewritten.
function enterField(id, field, index, text) {
  const checked = checkField(field, index, text.trim().replace(",", "."));
  if (checked.fault !== undefined) {
    studio.faults[id] = { text, fault: checked.fault };
    showPanels();
    return;
  }
  delete studio.faults[id];
  const values = studio.values.slice();
  values[offsetOf(field, index)] = checked.value;
  applyValues(values);
}

function offsetOf(field, index) {
  const propeller = propellerFields.findIndex(([key]) => key === field);
  if (propeller >= 0) return propeller;
  if (field === "rudderX" || field === "rudderZ") return rudderOffset(index, field.slice(-1).toLowerCase());
  return contourOffset(index, { contourZ: "z", contourX: "x", contourCode: "code" }[field]);
}

function showDesignPanel() {
  const fields = element("fields"), rudder = element("rudder"), contour = element("contour");
  fields.replaceChildren(); rudder.replaceChildren(); contour.replaceChildren();
  if (!studio.values) return;
  propellerFields.forEach(([key, label, unit], i) => {
    const row = fields.insertRow();
    row.insertCell().textContent = label;
    row.insertCell().appendChild(fieldInput("field-" + key, key, 0, studio.values[i]));
    row.insertCell().textContent = unit;
    faultRow(fields, "field-" + key, 3);
  });
  rudder.createTHead().innerHTML = "<tr><th>corner</th><th>x (m)</th><th>z (m)</th></tr>";
  for (let corner = 1; corner <= 4; ++corner) {
    const row = rudder.insertRow();
    row.insertCell().textContent = corner;
    row.insertCell().appendChild(fieldInput(`rudder-x-${corner}`, "rudderX", corner, studio.values[rudderOffset(corner, "x")]));
    row.insertCell().appendChild(fieldInput(`rudder-z-${corner}`, "rudderZ", corner, studio.values[rudderOffset(corner, "z")]));
    faultRow(rudder, `rudder-x-${corner}`, 3);
    faultRow(rudder, `rudder-z-${corner}`, 3);
  }
  contour.createTHead().innerHTML = "<tr><th>#</th><th>z (m)</th><th>x (m)</th><th>code</th></tr>";
  for (let point = 1; point <= pointCount(); ++point) {
    const row = contour.insertRow();
    if (point === studio.selectedPoint) row.className = "selected";
    row.insertCell().textContent = point;
    row.addEventListener("click", () => { studio.selectedPoint = point; showDesignPanel(); });
    for (const [column, field] of [["z", "contourZ"], ["x", "contourX"], ["code", "contourCode"]]) {
      row.insertCell().appendChild(fieldInput(`contour-${column}-${point}`, field, point,
        studio.values[contourOffset(point, column)]));
    }
    for (const column of ["z", "x", "code"]) faultRow(contour, `contour-${column}-${point}`, 4);
  }
}

// A point after the selected one (or at the end), halfway to the next.
function insertPoint() {
  if (!studio.values) return;
  const count = pointCount();
  const after = studio.selectedPoint || count;
  const at = (point, column) => studio.values[contourOffset(point, column)];
  const next = Math.min(after + 1, count);
  const point = next === after
    ? [at(after, "z") + 0.1, at(after, "x"), at(after, "code")]
    : [(at(after, "z") + at(next, "z")) / 2, (at(after, "x") + at(next, "x")) / 2, at(after, "code")];
  point[0] = Math.round(point[0] / snapMetres) * snapMetres;
  point[1] = Math.round(point[1] / snapMetres) * snapMetres;
  const values = studio.values.slice();
  values.splice(contourOffset(after + 1, "z"), 0, ...point);
  if (applyValues(values)) studio.selectedPoint = after + 1;
  showDesignPanel();
}

function deletePoint() {
  if (!studio.values || !studio.selectedPoint || pointCount() <= 1) return;
  const values = studio.values.slice();
  values.splice(contourOffset(studio.selectedPoint, "z"), 3);
  if (applyValues(values)) studio.selectedPoint = Math.min(studio.selectedPoint, pointCount());
  showDesignPanel();
}

// A node's text, set only when it changed: setting it anew costs the
// browser a new layout of the panel.
function setText(node, text) {
  if (node.textContent !== text) node.textContent = text;
}

// The rows of a table, changed in place where the same rows stand there
// already: a drag step changes a few figures, not the rows.
function showRows(table, head, rows) {
  const body = table.tBodies[0];
  const same = body && body.rows.length === rows.length &&
    rows.every((row, i) => body.rows[i].dataset.clearance === row.clearance);
  if (!same) {
    table.replaceChildren();
    table.createTHead().innerHTML = head;
    const newBody = table.createTBody();
    for (const row of rows) {
      const tr = newBody.insertRow();
      tr.dataset.clearance = row.clearance;
      for (let i = 0; i < row.cells.length; ++i) tr.insertCell();
    }
  }
  rows.forEach((row, i) => {
    const tr = table.tBodies[0].rows[i];
    if (tr.className !== row.className) tr.className = row.className;
    row.cells.forEach((text, j) => setText(tr.cells[j], text));
  });
}

function clearanceRows(result) {
  return result.clearances.map((c) => ({
    clearance: c.name,
    className: c.status === "clash" ? "overlap" : c.status === "below" ? "verdict-fail" : "",
    cells: [c.name, shown(c.length_m), shown(c.ratio_to_D), c.statusText],
  }));
}

function ruleRows(result) {
  return result.ruleCheck.lines.map((line) => ({
    clearance: line.clearance,
    className: line.overlap ? "overlap" : line.informative ? "verdict-informative"
      : line.verdict === "meets" ? "" : "verdict-fail",
    cells: [line.clearance, line.sourceLetter || line.ruleSet, line.basis || "",
      shown(line.required_m), shown(line.measured_m),
      typeof line.margin_percent === "number" ? shown(line.margin_percent, 1) + " %" : "—",
      line.verdict],
  }));
}

function showResultsPanel() {
  const result = studio.run && studio.run.result;
  const table = element("clearances");
  const ruleCheck = element("rule-check");
  if (!result) {
    table.replaceChildren();
    ruleCheck.replaceChildren();
    return;
  }
  showRows(table, "<tr><th>clearance</th><th>m</th><th>/ D</th><th></th></tr>", clearanceRows(result));
  if (!result.ruleCheck) {
    ruleCheck.replaceChildren();
    ruleCheck.textContent = "No ship file: no rules checked.";
    return;
  }
  let rules = element("rules");
  if (!rules) {
    ruleCheck.replaceChildren(document.createElement("div"), rules = document.createElement("table"));
    rules.id = "rules";
  }
  setText(ruleCheck.firstChild, `${result.ruleCheck.ship.name} (${result.ruleCheck.ship.source})`);
  showRows(rules, "<tr><th>clearance</th><th>rule</th><th>basis</th><th>required m</th>" +
    "<th>measured m</th><th>margin</th><th>verdict</th></tr>", ruleRows(result));
}

// The judged result's overall status, as the program words it.
function showStatus() {
  const status = element("status");
  const run = studio.run;
  const result = run && run.result;
  const className = "status " + (!run ? "" : result ? result.status : "error");
  if (status.className !== className) status.className = className;
  setText(status, !run ? "no design" : result ? result.statusText : run.ending.replace("-", " "));
  status.title = result ? result.statusText : "";
}

function showMessage(text) {
  setText(element("messages"), text);
}

// While a handle is dragged the design panel waits for the drop: its many
// fields would cost more than the rest of a step.
function showPanels() {
  if (!(gesture && gesture.kind === "handle")) showDesignPanel();
  showResultsPanel();
}

function showAll() {
  setText(element("design-name"), studio.designName || "");
  element("undo").disabled = !studio.undo.length;
  element("redo").disabled = !studio.redo.length;
  element("save-design").disabled = !studio.designText;
  const files = studio.run ? studio.run.files || [] : [];
  for (const button of document.querySelectorAll("[data-download]")) {
    const kind = button.dataset.download;
    button.disabled = !downloadName(kind, files);
  }
  // The drawing first: it reads the view's size, which costs nothing before
  // the panels change and a whole layout after.
  drawView();
  showMessage(studio.run ? (studio.run.error || studio.run.messages) : "");
  showStatus();
  showPanels();
}

// ---- Downloads -----------------------------------------------------------

function downloadName(kind, files) {
  const stem = studio.designName.replace(/\.[^.]*$/, "");
  const extension = studio.designName.match(/\.[^.]*$/)[0];
  const lower = extension === extension.toLowerCase();
  const names = {
    report: stem + (lower ? ".son" : ".SON"), script: stem + (lower ? ".scr" : ".SCR"),
    drawing: stem + ".dxf", results: stem + ".json", svg: stem + ".svg",
  };
  return files.includes(names[kind]) ? names[kind] : null;
}

function download(name, bytes, type) {
  const url = URL.createObjectURL(new Blob([bytes], { type }));
  const link = document.createElement("a");
  link.href = url;
  link.download = name;
  document.body.appendChild(link);
  link.click();
  link.remove();
  setTimeout(() => URL.revokeObjectURL(url), 1000);
}

function downloadOutput(kind) {
  const name = downloadName(kind, studio.run.files);
  download(name, core.FS.readFile(studioFolder + "/" + name), "application/octet-stream");
}

// ---- Pointer: handles, pan, zoom ------------------------------------------

function pointerInMetres(event) {
  const svg = element("drawing");
  const point = new DOMPoint(event.clientX, event.clientY).matrixTransform(svg.getScreenCTM().inverse());
  return { x: point.x, z: -point.y };
}

const snapped = (metres) => Math.round(metres / snapMetres) * snapMetres;

let gesture = null;

function onPointerDown(event) {
  if (!studio.run) return;
  const svg = element("drawing");
  svg.setPointerCapture(event.pointerId);
  const target = event.target.dataset && event.target.dataset.target;
  if (target && studio.values) {
    gesture = { kind: "handle", target, startText: studio.designText, moved: false };
    event.target.classList.add("dragged");
  } else {
    gesture = { kind: "pan", from: [event.clientX, event.clientY], view: { ...studio.view } };
    svg.classList.add("panning");
  }
}

// The value offsets of a handle's x and z.
function handleOffsets(target) {
  const [kind, index] = target.split(":");
  if (kind === "propeller") return [0, 1];
  if (kind === "corner") return [rudderOffset(+index, "x"), rudderOffset(+index, "z")];
  return [contourOffset(+index, "x"), contourOffset(+index, "z")];
}

function dragHandleTo(target, at) {
  const [xOffset, zOffset] = handleOffsets(target);
  const x = snapped(at.x), z = snapped(at.z);
  if (studio.values[xOffset] === x && studio.values[zOffset] === z) return;
  const values = studio.values.slice();
  values[xOffset] = x;
  values[zOffset] = z;
  // The whole drag is one undo step: its first move makes it.
  applyValues(values, !gesture.moved, { preview: true });
  gesture.moved = true;
  element("readout").textContent = `${target}: x ${x.toFixed(3)} m, z ${z.toFixed(3)} m`;
}

// The moves of a gesture wait for the next frame, and only the last one is
// shown: the pointer may move several times a frame, the screen shows one.
function onPointerMove(event) {
  if (studio.view && !gesture) {
    const at = pointerInMetres(event);
    element("readout").textContent = `x ${at.x.toFixed(3)} m, z ${at.z.toFixed(3)} m`;
  }
  if (!gesture) return;
  const first = !gesture.pending;
  gesture.pending = gesture.kind === "handle" ? pointerInMetres(event) : [event.clientX, event.clientY];
  if (first) requestAnimationFrame(showPendingMove);
}

function showPendingMove() {
  if (!gesture || !gesture.pending) return;
  const started = performance.now();
  const at = gesture.pending;
  gesture.pending = null;
  if (gesture.kind === "handle") {
    dragHandleTo(gesture.target, at);
  } else {
    const perPixel = 1 / pixelsPerMetre();
    studio.view.x = gesture.view.x - (at[0] - gesture.from[0]) * perPixel;
    studio.view.y = gesture.view.y - (at[1] - gesture.from[1]) * perPixel;
    drawView();
  }
  recordFrame(started);
}

// How long each shown move took, from the start of its work to its frame
// painted: a message posted now is handled after the frame's style, layout
// and paint (for the benchmarks and the browser tests).
function recordFrame(started) {
  const channel = new MessageChannel();
  channel.port1.onmessage = () => window.propclearStudio.moveTimes.push(performance.now() - started);
  channel.port2.postMessage(null);
}

function onPointerUp() {
  element("drawing").classList.remove("panning");
  for (const node of document.querySelectorAll(".handle.dragged")) node.classList.remove("dragged");
  if (gesture && gesture.pending) showPendingMove();
  const dropped = gesture && gesture.kind === "handle";
  const moved = dropped && gesture.moved;
  gesture = null;
  // The files of the dropped design, which the moves left unwritten.
  if (moved) recompute();
  else if (dropped) showDesignPanel();
  drawView();
}

function zoomBy(factor, about) {
  const v = studio.view;
  const ax = about ? about.x : v.x + v.width / 2, ay = about ? -about.z : v.y + v.height / 2;
  studio.view = { x: ax - (ax - v.x) * factor, y: ay - (ay - v.y) * factor,
    width: v.width * factor, height: v.height * factor };
  drawView();
}

function onWheel(event) {
  if (!studio.view) return;
  event.preventDefault();
  zoomBy(event.deltaY > 0 ? 1.15 : 1 / 1.15, pointerInMetres(event));
}

function onKey(event) {
  if (event.target.tagName === "INPUT") return;
  const key = event.key.toLowerCase();
  if ((event.ctrlKey || event.metaKey) && key === "z") { event.preventDefault(); event.shiftKey ? redo() : undo(); }
  else if ((event.ctrlKey || event.metaKey) && key === "y") { event.preventDefault(); redo(); }
  else if (key === "f" && studio.run) { fitView(); drawView(); }
  else if ((key === "+" || key === "=") && studio.view) zoomBy(1 / 1.25);
  else if (key === "-" && studio.view) zoomBy(1.25);
}

// ---- Start ---------------------------------------------------------------

function wireUp() {
  element("open").addEventListener("change", (event) => openFiles(event.target.files));
  element("example").addEventListener("click",
    () => openDesign(propclearExample.designName, propclearExample.designText, propclearExample.shipText));
  element("undo").addEventListener("click", undo);
  element("redo").addEventListener("click", redo);
  element("insert-point").addEventListener("click", insertPoint);
  element("delete-point").addEventListener("click", deletePoint);
  element("save-design").addEventListener("click",
    () => download(studio.designName, studio.designText, "application/octet-stream"));
  for (const button of document.querySelectorAll("[data-download]")) {
    button.addEventListener("click", () => downloadOutput(button.dataset.download));
  }
  const svg = element("drawing");
  svg.addEventListener("pointerdown", onPointerDown);
  svg.addEventListener("pointermove", onPointerMove);
  svg.addEventListener("pointerup", onPointerUp);
  svg.addEventListener("wheel", onWheel, { passive: false });
  document.addEventListener("keydown", onKey);
  new ResizeObserver(([entry]) => {
    drawingSize = { width: entry.contentRect.width, height: entry.contentRect.height };
    if (studio.run) drawView();
  }).observe(svg);
  document.addEventListener("dragover", (event) => { event.preventDefault(); document.body.classList.add("dragging-files"); });
  document.addEventListener("dragleave", (event) => { if (!event.relatedTarget) document.body.classList.remove("dragging-files"); });
  document.addEventListener("drop", (event) => {
    event.preventDefault();
    document.body.classList.remove("dragging-files");
    openFiles(event.dataTransfer.files);
  });
}

// For scripts that drive the page (the browser tests, the benchmarks).
window.propclearStudio = { studio, openDesign, applyValues, undo, redo, dragHandleTo,
  firstDrawnAt: null, moveTimes: [], ready: null };

window.propclearStudio.ready = createPropclearCore().then((module) => {
  core = module;
  wireUp();
  const start = new URLSearchParams(location.search).get("open");
  if (start === "example") element("example").click();
  document.body.dataset.ready = "true";
});

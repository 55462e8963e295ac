#include "tool/view_assets.h"

namespace tool {

// The drawing along the route is laid out anew, in the window's own pixels,
// for every stretch shown: profiles scaled in x, glyphs at their metres,
// labels placed for the room the stretch leaves them.
const char* const view_script_track = R"js(
const trackSvg = $("track");
let T = null;  // the layout of the track: sizes, lanes, the stretch drawn
let a = 0, b = M;
const x = m => T.AL + (T.AR - T.AL) * (m - a) / (b - a);
const metreAt = px => a + (px - T.AL) / (T.AR - T.AL) * (b - a);

// Lane positions for a panel of w x h pixels.
function trackLayout(w, h) {
  const clamp = (v, lo, hi) => Math.max(lo, Math.min(hi, v));
  const t = { W: w, H: h, G: w < 520 ? 46 : w < 900 ? 80 : 100 };
  t.AL = t.G + 6; t.AR = w - 40;
  const gH = clamp(h * 0.09, 40, 84), hH = clamp(h * 0.07, 32, 64), sH = clamp(h * 0.11, 50, 110);
  const rest = Math.max(120, h - 292 - gH - hH - sH);
  const stL = Math.min(rest * 0.5, 190), tbL = Math.min(rest - stL, 200);
  let y = 6;
  t.gT = y; t.gB = y += gH; y += 8;
  t.hT = y; t.hB = y += hH; y += 6;
  t.cT = y; t.cB = y += 16; y += 10;
  t.sT = y; t.sB = y += sH; y += 6;
  t.stT = y; t.stB = y += stL; t.band = y + 6; y += 20;
  t.sigT = y; t.sigB = y += 44; t.sigRow = y + 12; y += 22;
  t.sbT = y; t.sbB = y += 46; t.sbRow = y + 6; y += 16;
  t.tbT = y; t.tbB = y += tbL; t.tbRow = y + 6; y += 26;
  t.mk = y; y += 10;
  t.mT = y; t.mB = y += 12;
  t.aY = y + 6;
  return t;
}

// The gradient scale: a limit of whole fives above the steepest gradient,
// ticks at 0 and at whole steps either side of it.
let gradientLimit = 5;
data.gradient.forEach(r => { if (r[2] !== -1000) gradientLimit = Math.max(gradientLimit, Math.abs(r[2])); });
gradientLimit = Math.ceil(gradientLimit / 5) * 5;
let speedTop = 40;
data.speed.forEach(r => { speedTop = Math.max(speedTop, r[2]); });
data.restrictions.forEach(r => { speedTop = Math.max(speedTop, r[2]); });
speedTop = Math.ceil(speedTop / niceStep(speedTop / 5)) * niceStep(speedTop / 5);

// The lanes of objects: which kinds each holds.
const laneOf = kind => kind === "signal" ? "sig" : kind === "speed board" ? "sb" :
  kind === "text board" ? "tb" : "mk";
const items = objects.filter(o => o.kind !== "station" && (o.kind !== "signal" || o.cell >= 2))
  .map(o => ({ lane: laneOf(o.kind), metre: o.metre, o }))
  .concat(stations.map(s => ({ lane: "st", metre: s.metre, s })))
  .sort((p, q) => p.metre - q.metre || (p.s ? -1 : 1));
items.forEach((it, i) => { it.index = i; });
const lanes = {};
for (const it of items) (lanes[it.lane] = lanes[it.lane] || []).push(it);
const laneOrder = ["st", "sig", "sb", "tb", "mk"];
const laneY = lane => lane === "st" ? T.band + 5 : lane === "sig" ? T.sigRow - 4 :
  lane === "sb" ? T.sbRow + 4 : lane === "tb" ? T.tbRow + 4 : T.mk;

// Labels of a lane, laid out left to right: each takes the fullest of its
// forms whose block stays within `reach` of its object and clear of the one
// before; a label with no such form is left out (its object keeps its
// glyph and its details). A form is a list of upright lines.
const labelCache = new Map();
function placeLabels(list, top, bottom, size, forms, reach) {
  const pitch = size + 3, out = [], len = bottom - top - 2;
  let end = T.AL - 1;
  for (const it of list) {
    const px = x(it.metre);
    if (px < T.AL - reach || px > T.AR + reach) continue;
    if (px + reach < end + pitch) continue;
    const key = it.index + "|" + Math.round(len);
    let fs = labelCache.get(key);
    if (!fs) { fs = forms(it, len).filter(f => f.length && f.every(l => l)); labelCache.set(key, fs); }
    for (const f of fs) {
      const w = f.length * pitch;
      let p = Math.max(px - w / 2, end + 2, T.AL);
      if (p + w > T.AR) p = T.AR - w;
      if (p < end + 2 || p < T.AL || Math.abs(p + w / 2 - px) > reach) continue;
      out.push({ it, px, p, w, lines: f });
      end = p + w;
      break;
    }
  }
  return out.map(l => {
    let s = "";
    l.lines.forEach((line, k) => {
      const tx = l.p + k * pitch + size * 0.85;
      s += tag("text", { transform: "translate(" + f1(tx) + " " + f1(bottom) + ") rotate(-90)",
        "font-size": size, class: l.cls || "" }, esc(line));
    });
    return [l.it, s, l.p + l.w / 2];
  });
}
const stationForms = (it, len) => {
  const s = it.s, time = s.time ? s.time.slice(0, 5) : "";
  const forms = [];
  if (time && textWidth(s.name, 10) <= len && textWidth(time, 10) <= len) forms.push([s.name, time]);
  const one = s.name + (time ? " " + time : "");
  if (textWidth(one, 10) <= len) forms.push([one]);
  else if (time) forms.push([fitText(s.name, 10, len - textWidth(" " + time, 10)) + " " + time]);
  else forms.push([fitText(s.name, 10, len)]);
  return forms;
};
const boardText = o => (o.values.find(v => v[0] === "text") || [])[1] || "";
const boardForms = (it, len) => {
  const lines = boardLines(boardText(it.o));
  const forms = [];
  if (lines.length > 1 && lines.every(l => textWidth(l, 10) <= len)) forms.push(lines);
  forms.push([fitBoard(lines, 10, len)]);
  return forms;
};
const valueOf = (o, key) => (o.values.find(v => v[0] === key) || [])[1];
const signalForms = it => [[it.o.km]];
const speedBoardForms = it => [[String(valueOf(it.o, "s") || "").replace(/ km\/h$/, "")]];

function signalClass(o) {
  const sx = String(valueOf(o, "sx") || "");
  return sx === "1" ? "sig1" : sx === "2" ? "sig2" : "sigo";
}
function glyph(it, px) {
  const o = it.o;
  if (it.s) {
    const z = it.s.zone.match(/(-?\d+) \.\. (-?\d+)/);
    const z0 = z ? x(+z[1]) : px, z1 = z ? x(+z[2]) : px;
    return tag("rect", { x: Math.max(z0, T.AL - 10), y: T.band, width: Math.max(Math.min(z1, T.AR + 10) - Math.max(z0, T.AL - 10), 2), height: 10, class: "zone" }) +
      tag("line", { x1: px, y1: T.band - 3, x2: px, y2: T.band + 13, class: "stn-line" });
  }
  const y = T.mk;
  switch (o.kind) {
    case "signal": {
      const r = T.sigRow;
      return tag("line", { x1: px, y1: r + 8, x2: px, y2: r - 4, class: "pole" }) +
        tag("circle", { cx: px, cy: r - 6, r: 4, class: signalClass(o) });
    }
    case "speed board": return tag("rect", { x: px - 4, y: T.sbRow, width: 8, height: 8, class: "sb" });
    case "text board": return tag("rect", { x: px - 3.5, y: T.tbRow, width: 7, height: 9, class: "tb" });
    case "restriction warning":
      return tag("polygon", { points: [px, y - 7, px + 6, y + 5, px - 6, y + 5].map(f1).join(" "), class: "warn" });
    case "restriction start": return tag("rect", { x: px - 5, y: y - 5, width: 10, height: 10, class: "rstart" });
    case "restriction end": return tag("rect", { x: px - 5, y: y - 5, width: 10, height: 10, class: "rend" });
    case "countdown": return tag("rect", { x: px - 1.5, y: y - 6, width: 3, height: 12, class: "cd" });
    case "approach marker":
      return tag("polygon", { points: [px, y - 5, px + 4, y, px, y + 5, px - 4, y].map(f1).join(" "), class: "am" });
    case "mountain marker": return tag("line", { x1: px, y1: y - 4, x2: px, y2: y + 4, class: "mm" });
    case "plain marker":
      return tag("polygon", { points: [px, y - 5, px + 4, y, px, y + 5, px - 4, y].map(f1).join(" "), class: "pm" });
    default:  // a cell with only a mark
      return tag("circle", { cx: px, cy: y, r: 2, class: "am" });
  }
}

// The same glyph as path data, [class, d] pairs: where hundreds of objects
// are in view, those without a label are drawn as one path a class (the
// pointer finds objects by their metre, not by their elements).
const circlePath = (cx, cy, r) => "M" + f1(cx - r) + " " + f1(cy) + "a" + r + " " + r + " 0 1 0 " + 2 * r + " 0a" + r + " " + r + " 0 1 0 " + -2 * r + " 0";
const boxPath = (x0, y0, w, h) => "M" + f1(x0) + " " + f1(y0) + "h" + w + "v" + h + "h" + -w + "z";
const polyPath = pts => "M" + pts.map(f1).join(" ") + "z";
function glyphPath(it, px) {
  if (it.s) {
    const z = it.s.zone.match(/(-?\d+) \.\. (-?\d+)/);
    const z0 = Math.max(z ? x(+z[1]) : px, T.AL - 10), z1 = Math.min(z ? x(+z[2]) : px, T.AR + 10);
    return [["zone", boxPath(z0, T.band, f1(Math.max(z1 - z0, 2)), 10)], ["stn-line", "M" + f1(px) + " " + (T.band - 3) + "V" + (T.band + 13)]];
  }
  const o = it.o, y = T.mk;
  switch (o.kind) {
    case "signal": {
      const r = T.sigRow;
      return [["pole", "M" + f1(px) + " " + (r + 8) + "V" + (r - 4)], [signalClass(o), circlePath(px, r - 6, 4)]];
    }
    case "speed board": return [["sb", boxPath(px - 4, T.sbRow, 8, 8)]];
    case "text board": return [["tb", boxPath(px - 3.5, T.tbRow, 7, 9)]];
    case "restriction warning": return [["warn", polyPath([px, y - 7, px + 6, y + 5, px - 6, y + 5])]];
    case "restriction start": return [["rstart", boxPath(px - 5, y - 5, 10, 10)]];
    case "restriction end": return [["rend", boxPath(px - 5, y - 5, 10, 10)]];
    case "countdown": return [["cd", boxPath(px - 1.5, y - 6, 3, 12)]];
    case "approach marker": return [["am", polyPath([px, y - 5, px + 4, y, px, y + 5, px - 4, y])]];
    case "mountain marker": return [["mm", "M" + f1(px) + " " + (y - 4) + "V" + (y + 4)]];
    case "plain marker": return [["pm", polyPath([px, y - 5, px + 4, y, px, y + 5, px - 4, y])]];
    default: return [["am", circlePath(px, y, 2)]];
  }
}

// Runs of cells [first, last, value] that meet a stretch of route metres.
function runsIn(runs, from, to) {
  const i0 = Math.max(0, lowerBound(runs, Math.floor(from / 50), r => r[1]));
  const out = [];
  for (let i = i0; i < runs.length && runs[i][0] * 50 <= to; ++i) out.push(runs[i]);
  return out;
}

// Path data of many pieces drawn as a few paths of one class, one a strip
// of the plot 256 pixels wide by where each piece begins: the browser paints
// the drawing in squares of that size, and each square then goes through
// the pieces near it, not all of a class's (a drawing moved along by a drag
// is painted anew each frame).
const strip = 256;
function stripPaths(d, cls) {
  if (!d) return "";
  const parts = new Map();
  for (const piece of d.split("M")) {
    if (!piece) continue;
    const k = Math.floor(parseFloat(piece) / strip);
    parts.set(k, (parts.get(k) || "") + "M" + piece);
  }
  let out = "";
  for (const part of parts.values()) out += tag("path", { d: part, class: cls });
  return out;
}
// A line of points [x, y] as path data that starts anew (at the point it
// reached) where it enters another strip: stripPaths then parts it.
function stripLine() {
  let d = "", at = null, k = null;
  return {
    to(px, py) {
      const p = f1(px) + " " + f1(py), kk = Math.floor(px / strip);
      d += at === null ? "M" + p : kk !== k ? "L" + p + "M" + p : "L" + p;
      at = p; k = kk;
    },
    get d() { return d; },
  };
}

// The profiles, clipped to the plot; their value scales, right of it, go
// into `scales`.
function drawProfiles(scales) {
  const s = [];
  // The lines where a range begins and where the route ends run through
  // the profiles: labels keep off them.
  const boxes = [];
  data.ranges.concat([{ start: L }]).forEach(r => {
    if (r.start > a && r.start < b) boxes.push([x(r.start) - 1.5, x(r.start) + 1.5, T.gT - 2, T.sB]);
  });
  const free = (x0, x1, y0, y1) => boxes.every(q => q[1] <= x0 || q[0] >= x1 || q[3] <= y0 || q[2] >= y1);
  const clipX = v => Math.max(T.AL - 2, Math.min(T.AR + 2, v));
  // Gradient bars and their scale: 0 and whole steps either side.
  const gMid = (T.gT + T.gB) / 2, gScale = (T.gB - T.gT) / 2 / gradientLimit;
  const gStep = niceStep(gradientLimit / 2);
  // A value is written where it keeps 11 pixels from the one above it.
  let lastScale = -Infinity;
  const scaleText = (v, y, cls) => {
    if (y - lastScale < 11) return;
    lastScale = y;
    scales.push(tag("text", { x: T.W - 4, y: y + 4, "font-size": 10, "text-anchor": "end", class: cls || "faint" }, v));
  };
  const gTop = Math.floor(gradientLimit / gStep) * gStep;
  // From the top down, 0 first so that it is always written.
  const gValues = [];
  for (let v = gTop; v >= -gTop; v -= gStep) gValues.push(v);
  for (const v of gValues) s.push(tag("line", { x1: T.AL, y1: gMid - v * gScale, x2: T.AR, y2: gMid - v * gScale, class: v === 0 ? "zero" : "gl" }));
  const gZero = gMid;
  for (const v of gValues) if (v === 0 || Math.abs(gMid - v * gScale - gZero) >= 11) scaleText(v, gMid - v * gScale);
  let climb = "", fall = "";
  const gradientRuns = runsIn(data.gradient, a, b);
  if (gradientRuns.length > T.AR - T.AL) {
    // More stretches than pixels: each pixel's column shows its steepest
    // climb and fall, in place of thousands of slivers; the columns are the
    // outline of one shape a side, each run of equal columns one step.
    const first = Math.floor(T.AL - 2), up = new Float64Array(Math.ceil(T.AR + 2) - first + 2), down = up.slice();
    for (const [c0, c1, g] of gradientRuns) {
      if (g === -1000 || g === 0) continue;
      const x0 = clipX(x(c0 * 50)), x1 = clipX(x((c1 + 1) * 50));
      for (let col = Math.floor(x0); col <= Math.max(Math.ceil(x1) - 1, Math.floor(x0)); ++col) {
        const k = col - first;
        if (g > 0) up[k] = Math.max(up[k], g); else down[k] = Math.min(down[k], g);
      }
    }
    const outline = values => {
      let d = "", from = 0;
      for (let k = 1; k <= values.length; ++k) {
        if (k < values.length && values[k] === values[from]) continue;
        if (values[from]) d += (d && from > 0 && values[from - 1] ? "" : "M" + (first + from) + " " + f1(gMid)) +
          "V" + f1(gMid - values[from] * gScale) + "h" + (k - from) + (k < values.length && values[k] ? "" : "V" + f1(gMid) + "Z");
        from = k;
      }
      return d;
    };
    climb = outline(up);
    fall = outline(down);
  } else {
    for (const [c0, c1, g] of gradientRuns) {
      if (g === -1000 || g === 0) continue;
      const x0 = clipX(x(c0 * 50)), x1 = clipX(x((c1 + 1) * 50)), y = gMid - g * gScale;
      const d = "M" + f1(x0) + " " + f1(gMid) + "H" + f1(Math.max(x1, x0 + 0.5)) + "V" + f1(y) + "H" + f1(x0) + "Z";
      if (g > 0) climb += d; else fall += d;
    }
  }
  s.push(stripPaths(climb, "climb"), stripPaths(fall, "fall"));

  // Heights, integrated from the gradients, scaled to the stretch shown.
  const c0 = Math.max(0, Math.floor(a / 50)), c1 = Math.min(data.cells, Math.ceil(b / 50));
  let lo = Infinity, hi = -Infinity;
  const stepC = Math.max(1, Math.floor((c1 - c0) / (T.AR - T.AL)));
  for (let c = c0; c <= c1; ++c) { lo = Math.min(lo, heights[c]); hi = Math.max(hi, heights[c]); }
  const hStep = niceStep(Math.max(hi - lo, 2) / 2);
  lo = Math.floor(lo / hStep) * hStep; hi = Math.max(Math.ceil(hi / hStep) * hStep, lo + hStep);
  const hy = v => T.hB - (v - lo) / (hi - lo) * (T.hB - T.hT);
  for (let v = hi; v >= lo - 1e-9; v -= hStep) {
    s.push(tag("line", { x1: T.AL, y1: hy(v), x2: T.AR, y2: hy(v), class: "gl" }));
    scaleText(f1(v), hy(v), "t-height");
  }
  const heightLine = stripLine();
  for (let c = c0; c <= c1; c += stepC) {
    let top = heights[c], bottom = heights[c];
    for (let k = c; k < c + stepC && k <= c1; ++k) { top = Math.max(top, heights[k]); bottom = Math.min(bottom, heights[k]); }
    const px = x(c * 50);
    heightLine.to(px, hy(top));
    if (top !== bottom) heightLine.to(px, hy(bottom));
  }
  s.push(stripPaths(heightLine.d, "height"));

  // Curves: right-hand ones above the middle, left-hand ones below, taller
  // for a tighter radius.
  const cMid = (T.cT + T.cB) / 2;
  s.push(tag("line", { x1: T.AL, y1: cMid, x2: T.AR, y2: cMid, class: "gl" }));
  const labels = [];
  let lastLabel = -Infinity;
  // Hundreds of curves in view are drawn as one path a side, not one
  // rectangle each: the browser lays out a path at once.
  const shownCurves = curves.filter(c => !(c[1] + 50 < a || c[0] - 50 > b));
  const merged = shownCurves.length > 150, sides = { "curve-r": "", "curve-l": "" };
  for (const c of shownCurves) {
    const x0 = clipX(x(c[0] - 25)), x1 = clipX(x(c[1] + 25)), hgt = Math.min(7, 7 * 300 / c[2] + 2);
    const box = { x: x0, y: c[3] ? cMid - hgt : cMid, width: Math.max(x1 - x0, 1), height: hgt, class: c[3] ? "curve-r" : "curve-l" };
    if (merged)  // on whole pixels, as they are drawn (crisp edges)
      sides[box.class] += "M" + Math.round(box.x) + " " + Math.round(box.y) + "h" + Math.max(Math.round(box.width), 1) +
        "v" + Math.round(box.height) + "h" + -Math.max(Math.round(box.width), 1) + "z";
    else
      s.push(tag("rect", box));
    if (x1 - x0 < 20) continue;  // too short for any label
    const t = "R " + c[2], w = textWidth(t, 10) + 6, mid = (x0 + x1) / 2;
    if (x1 - x0 > w && mid - w / 2 > lastLabel && free(mid - w / 2, mid + w / 2, T.cT, T.cB)) {
      labels.push(tag("text", { x: mid, y: c[3] ? cMid + 8.5 : cMid - 1.5, "font-size": 10, "text-anchor": "middle", class: "t-curve" }, t));
      lastLabel = mid + w / 2;
    }
  }
  for (const side in sides) s.push(stripPaths(sides[side], side));
  s.push(labels.join(""));

  // Speeds: the line speed with its area, restrictions over it.
  const sScale = (T.sB - T.sT) / speedTop, sStep = niceStep(speedTop / 4);
  for (let v = Math.floor(speedTop / sStep) * sStep; v >= 0; v -= sStep) {
    const y = T.sB - v * sScale;
    s.push(tag("line", { x1: T.AL, y1: y, x2: T.AR, y2: y, class: v === 0 ? "zero" : "gl" }));
    scaleText(v, y);
  }
  let area = "";
  const line = stripLine();
  const speedRuns = runsIn(data.speed, a, b).filter(r => r[2] > 0);
  for (const [r0, r1, v] of speedRuns) {
    const x0 = clipX(x(r0 * 50)), x1 = clipX(x((r1 + 1) * 50)), y = T.sB - v * sScale;
    line.to(x0, y);
    line.to(x1, y);
    area += "M" + f1(x0) + " " + f1(T.sB) + "V" + f1(y) + "H" + f1(x1) + "V" + f1(T.sB) + "Z";
  }
  s.push(stripPaths(area, "speed-area"), stripPaths(line.d, "speed"));

  // Dozens of restrictions in view are one path (where two overlap, their
  // shades no longer add up).
  const restr = data.restrictions.filter(r => r[1] >= a && r[0] <= b);
  let restrPath = "";
  for (const [r0, r1, v] of restr) {
    const x0 = clipX(x(r0)), x1 = clipX(x(r1)), y = T.sB - Math.min(v, speedTop) * sScale;
    if (restr.length > 30) restrPath += boxPath(x0, y, f1(Math.max(x1 - x0, 1)), f1(T.sB - y));
    else s.push(tag("rect", { x: x0, y, width: Math.max(x1 - x0, 1), height: T.sB - y, class: "restr" }));
  }
  s.push(stripPaths(restrPath, "restr"));
  for (const [r0, r1, v] of restr) {
    const x0 = clipX(x(r0)), x1 = clipX(x(r1)), y = Math.min(T.sB - Math.min(v, speedTop) * sScale + 13, T.sB - 2);
    const w = textWidth(String(v), 11), mid = (x0 + x1) / 2;
    if (mid - w / 2 < T.AL || mid + w / 2 > T.AR || !free(mid - w / 2 - 2, mid + w / 2 + 2, y - 11, y + 2)) continue;
    boxes.push([mid - w / 2 - 2, mid + w / 2 + 2, y - 11, y + 2]);
    s.push(tag("text", { x: mid, y, "font-size": 11, "text-anchor": "middle", class: "t-restr halo" }, v));
  }
  for (const [r0, r1, v] of speedRuns) {
    const x0 = clipX(x(r0 * 50)), x1 = clipX(x((r1 + 1) * 50)), y = T.sB - v * sScale - 4;
    const w = textWidth(String(v), 10), mid = (x0 + x1) / 2;
    if (x1 - x0 < w + 6 || y - 10 < T.sT - 6 || !free(mid - w / 2 - 2, mid + w / 2 + 2, y - 10, y + 2)) continue;
    boxes.push([mid - w / 2 - 2, mid + w / 2 + 2, y - 10, y + 2]);
    s.push(tag("text", { x: mid, y, "font-size": 10, "text-anchor": "middle", class: "t-speed" }, v));
  }

  // Mountains: shaded in the profiles, and a lane of their own.
  // Each a path of its stretches: they never overlap.
  let shade = "", lane = "";
  for (const [r0, r1, v] of runsIn(data.mountain, a, b)) {
    if (!v) continue;
    const x0 = clipX(x(r0 * 50)), x1 = clipX(x((r1 + 1) * 50)), w = f1(Math.max(x1 - x0, 1));
    shade += boxPath(x0, T.gT, w, f1(T.sB - T.gT));
    lane += boxPath(x0, T.mT, w, f1(T.mB - T.mT));
  }
  s.push(stripPaths(shade, "mtn-shade"), stripPaths(lane, "mtn"));
  return s.join("");
}

// The kilometre axis: ticks every 50 m and up, as far apart as their
// labels need; where a kilometric range begins, both counts.
function drawAxis() {
  const px = (T.AR - T.AL) / (b - a);
  let widest = 0;
  for (const m of [a, b]) widest = Math.max(widest, textWidth((lineMetre(m) / 1000).toFixed(2), 11));
  let step = 50;
  const digitsOf = st => st >= 1000 ? 0 : st >= 100 ? 1 : 2;
  while (step * px < widest + 14 - (2 - digitsOf(step)) * 6) step = niceStep(step * 1.5);
  const digits = digitsOf(step);
  const grid = [], out = [];
  let last = -Infinity;
  for (const [m, l] of ticks(a, b, step)) {
    const tx = x(m), label = (l / 1000).toFixed(digits).replace(/^-0(\.0*)?$/, "0$1"), w = textWidth(label, 11);
    grid.push("M" + f1(tx) + " " + f1(T.gT) + "V" + f1(T.sB) + "M" + f1(tx) + " " + f1(T.stT) + "V" + f1(T.mB));
    out.push(tag("line", { x1: tx, y1: T.aY, x2: tx, y2: T.aY + 6, class: "ink-s" }));
    const l0 = Math.max(tx - w / 2, T.G + 2);
    if (l0 < last + 6 || l0 + w > T.W - 2) continue;
    out.push(tag("text", { x: l0 + w / 2, y: T.aY + 18, "font-size": 11, "text-anchor": "middle" }, label));
    last = l0 + w;
  }
  // Where the count changes.
  last = -Infinity;
  const ranges = [];
  data.ranges.forEach((r, i) => {
    if (r.start <= a || r.start >= b || r.start <= 0) return;
    const tx = x(r.start);
    ranges.push(tag("line", { x1: tx, y1: T.gT, x2: tx, y2: T.sB, class: "range" }) +
      tag("line", { x1: tx, y1: T.mk - 8, x2: tx, y2: T.aY + 6, class: "range" }));
    const before = i === 0 ? "route " + mark(r.start) : mark(lineMetre(r.start - 1) - 1);
    const t = before + " | " + mark(r.reference - r.start), w = textWidth(t, 10);
    const l0 = Math.min(Math.max(tx - w / 2, T.G + 2), T.W - 2 - w);
    if (l0 < last + 8) return;
    last = l0 + w;
    ranges.push(tag("text", { x: l0, y: T.aY + 33, "font-size": 10, class: "range-note" }, t));
  });
  return { grid: stripPaths(grid.join(""), "gl"),
    axis: tag("line", { x1: T.AL, y1: T.aY, x2: T.AR, y2: T.aY, class: "ink-s" }) + out.join(""),
    ranges: ranges.join("") };
}

// The titles in the gutter, each the longest of its wordings that fits.
function gutter() {
  const s = [];
  const title = (y, words, size, cls) => {
    const t = words.find(w => textWidth(w, size) <= T.G - 4) || "";
    if (t) s.push(tag("text", { x: 4, y, "font-size": size, class: cls || "faint" }, t));
  };
  title(T.gT + 11, ["Gradient \u2030", "Grad. \u2030", "\u2030"], 11, "");
  title(T.gT + 24, ["climb", "up"], 10, "climb");
  title(T.gB - 3, ["fall", "dn"], 10, "fall");
  title(T.hT + 11, ["Height m", "Ht m", "m"], 11, "t-height");
  title(T.cB - 3, ["curves", "curv", "R"], 10);
  title(T.sT + 11, ["Speed km/h", "Speed", "km/h"], 11, "");
  title(T.band + 9, ["stations", "stns", "st"], 10);
  title(T.sigRow, ["signals", "sig."], 10);
  title(T.sbRow + 8, ["speed boards", "sp. boards", "s.b."], 10);
  title(T.tbRow + 8, ["text boards", "boards", "tb"], 10);
  title(T.mk + 4, ["restrictions, markers", "markers", "mk"], 10);
  title(T.mB, ["mountains", "mount.", "mt"], 10);
  title(T.aY + 18, [data.ranges.length ? "line km" : "route km", "km"], 11);
  return s.join("");
}

// The labels of the lanes `which` for the stretch a .. b: for each labelled
// item, its texts' markup, the middle of its block and the lane's foot.
const labelLanes = ["st", "sig", "sb", "tb"];
function laneLabels(which) {
  const margin = 12 * (b - a) / (T.AR - T.AL), labelled = new Map();
  const placed = {
    st: [T.stT, T.stB, stationForms, 10, 40],
    sig: [T.sigT, T.sigB, signalForms, 10, 24],
    sb: [T.sbT, T.sbB, speedBoardForms, 10, 24],
    tb: [T.tbT, T.tbB, boardForms, 10, 40],
  };
  for (const lane of which) {
    const [top, bottom, forms, size, reach] = placed[lane], all = lanes[lane] || [], list = [];
    for (let i = lowerBound(all, a - margin * 4, it => it.metre); i < all.length && all[i].metre <= b + margin * 4; ++i)
      list.push(all[i]);
    for (const [it, s, centre] of placeLabels(list, top, bottom, size, forms, reach))
      labelled.set(it, [s, centre, bottom]);
  }
  return labelled;
}
// An object or a station with its glyph, and its leader and label if it has one.
const labelClass = { st: "t-stn", sig: "", sb: "t-sb", tb: "t-tb" };
function itemGroup(it, px, label) {
  let body = glyph(it, px);
  if (label) {
    const [s, centre, bottom] = label;
    const from = it.lane === "st" ? T.band - 3 : it.lane === "sig" ? T.sigRow - 10 : it.lane === "sb" ? T.sbRow : T.tbRow;
    if (Math.abs(centre - px) > 1.5 || it.lane === "st" || it.lane === "tb")
      body += tag("line", { x1: px, y1: from, x2: centre, y2: bottom + 2, class: it.lane === "st" ? "lead-stn" : "lead" });
    body += "<g class=\"lbl " + labelClass[it.lane] + "\">" + s + "</g>";
  }
  return it.s ? "<g class=\"stn\" data-station=\"" + it.s.entry + "\">" + body + "</g>"
    : "<g class=\"obj\" data-cell=\"" + it.o.cell + "\">" + body + "</g>";
}

// Everything along the route for the stretch a .. b; with `dry`, only its
// markup, returned (the page compiles its drawing code so ahead of the
// first wheel or drag). Where hundreds of objects are in view, every glyph
// is one of a path a class and the labels are left to labelGroups, whose
// groups come in later frames: laying out hundreds of texts is the larger
// part of a redraw, and the browser answers the wheel or the drag sooner
// when the two halves come one a frame. Returns whether labels are to come.
function drawTrack(r, dry) {
  const t = trackMarkup(r);
  if (dry) return t.markup;
  putTrack(t);
  return t.dense;
}
// The drawing of trackMarkup put on the page.
function putTrack(t) {
  trackSvg.setAttribute("viewBox", "0 0 " + t.w + " " + t.h);
  trackSvg.innerHTML = t.markup;
  drawOverlay();
}
// The markup of drawTrack, built off the page: { markup, dense, w, h }.
function trackMarkup(r) {
  const w = Math.max(Math.round(r.width), 200), h = Math.max(Math.round(r.height), 300);
  if (!T || T.W !== w || T.H !== h) { T = trackLayout(w, h); labelCache.clear(); }
  const margin = 12 * (b - a) / (T.AR - T.AL);
  const i0 = lowerBound(items, a - margin, it => it.metre), i1 = lowerBound(items, b + margin + 1e-9, it => it.metre);
  const axis = drawAxis();
  const dense = i1 - i0 > 400, labelled = dense ? new Map() : laneLabels(labelLanes);
  // Glyphs closer than a pixel and a half to the one drawn before them in
  // their lane are hidden by it: they are left out (their details stay).
  const groups = [], lastX = {}, joined = {};
  for (let i = i0; i < i1; ++i) {
    const it = items[i], px = x(it.metre);
    const label = labelled.get(it);
    if (!label && lastX[it.lane] !== undefined && px - lastX[it.lane] < 3) continue;
    lastX[it.lane] = px;
    if (dense) {
      for (const [c, d] of glyphPath(it, px)) joined[c] = (joined[c] || "") + d;
      continue;
    }
    groups.push(itemGroup(it, px, label));
  }
  // Zones under the stations' lines, markers under the boards' glyphs.
  const order = ["zone", "stn-line"];
  for (const c of order.concat(Object.keys(joined).filter(c => !order.includes(c))))
    groups.push(stripPaths(joined[c], c));
  if (dense) groups.push("<g id=\"labelled\"></g>");
  // The end of the route, its words beside its line and inside the track.
  let end = "";
  if (L >= a && L <= b) {
    const ex = x(L), t = "end of route", w = textWidth(t, 11);
    const left = ex - 4 - w >= T.AL;
    end = tag("line", { x1: ex, y1: T.gT - 2, x2: ex, y2: T.sB, class: "end" }) +
      tag("line", { x1: ex, y1: T.mk - 8, x2: ex, y2: T.mB, class: "end" }) +
      tag("text", { x: left ? ex - 4 : ex + 4, y: T.gT + 11, "font-size": 11, "text-anchor": left ? "end" : "start", class: "faint halo" }, t);
  }
  const scales = [], profiles = drawProfiles(scales);
  const markup =
    tag("rect", { x: 0, y: 0, width: w, height: h, class: "bg" }) + gutter() +
    tag("svg", { x: T.AL - 8, y: 0, width: T.AR - T.AL + 16, height: h,
      viewBox: (T.AL - 8) + " 0 " + (T.AR - T.AL + 16) + " " + h }, "<g id=\"pan\">" + axis.grid + "<g id=\"stretch\">" + profiles + "</g>" +
    "<g id=\"points\">" + end + groups.join("") + "</g></g>") +
    scales.join("") + "<g id=\"axis\">" + axis.axis + axis.ranges + "</g><g id=\"overlay\"></g>";
  return { markup, dense, w, h };
}
// The labelled objects over the glyphs drawTrack left in one path a class,
// each with its glyph, leader and label: their markup, in the order of the
// lanes, to be added to the drawing a few dozen at a time.
function labelGroups() {
  const out = [];
  for (const [it, label] of laneLabels(labelLanes)) out.push(itemGroup(it, x(it.metre), label));
  return out;
}
const addLabelGroups = list => {
  const g = $("labelled");
  if (g) g.insertAdjacentHTML("beforeend", list.join(""));
};
)js";

}  // namespace tool

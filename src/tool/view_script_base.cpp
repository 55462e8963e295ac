#include "tool/view_assets.h"

namespace tool {

// Route metres m run from 0 to M (the grid's cells times 50); the line's
// kilometres come from the kilometric ranges. Every piece below shares the
// names defined here.
const char* const view_script_base = R"js(
"use strict";
const data = JSON.parse(document.getElementById("data").textContent);
const NS = "http://www.w3.org/2000/svg";
const M = Math.max(data.cells * 50, 1000), L = data.route_length;
const $ = id => document.getElementById(id);
const stations = data.stations.slice().sort((p, q) => p.metre - q.metre);
const objects = data.objects.slice().sort((p, q) => p.metre - q.metre);
const objectOfCell = new Map(data.objects.map(o => [String(o.cell), o]));
const stationOfEntry = new Map(data.stations.map(s => [String(s.entry), s]));

const mark = v => {
  const n = Math.round(Math.abs(v));
  return (v < 0 ? "-" : "") + Math.floor(n / 1000) + "+" + String(n % 1000).padStart(3, "0");
};
// The range in force at route metre m: the last that begins at or before it.
const rangeAt = m => {
  let r = -1;
  for (let i = 0; i < data.ranges.length; ++i) if (data.ranges[i].start <= m) r = i;
  return r;
};
const lineMetre = m => { const r = rangeAt(m); return r < 0 ? m : data.ranges[r].reference - m; };
const kmAt = m => mark(lineMetre(m));
// A step of 1, 2 or 5 times a power of ten, at least `least`.
const niceStep = least => {
  let p = Math.pow(10, Math.floor(Math.log10(Math.max(least, 1e-9))));
  for (;;) {
    for (const f of [1, 2, 5]) if (f * p >= least) return f * p;
    p *= 10;
  }
};
// The ticks of the line's kilometres between route metres `from` and `to`,
// every `step` metres of the line: [route metre, line metre]. Each range is
// ticked in its own count up to where the next one begins.
function ticks(from, to, step) {
  const out = [], cuts = [from];
  data.ranges.forEach(r => { if (r.start > from && r.start < to) cuts.push(r.start); });
  cuts.push(to);
  for (let i = 0; i + 1 < cuts.length; ++i) {
    const p = cuts[i], q = cuts[i + 1], r = rangeAt(p);
    const last = i + 2 === cuts.length;
    if (r < 0) {
      for (let k = Math.ceil(p / step) * step; k <= q; k += step)
        if (k < q || last) out.push([k, k]);
    } else {
      const ref = data.ranges[r].reference;
      for (let l = Math.ceil((ref - q) / step) * step; l <= ref - p; l += step)
        if (ref - l < q || last) out.push([ref - l, l]);
    }
  }
  return out.sort((p, q) => p[0] - q[0]);
}
// Every route metre where the line reads line metre `lm`: inside a range
// from its start up to and with the start of the next (where both counts
// hold), before the first range the route metres themselves.
function routeMetresOfKm(lm) {
  const out = [];
  const R = data.ranges;
  if ((!R.length || lm <= R[0].start) && lm >= 0 && lm <= M) out.push(lm);
  for (let i = 0; i < R.length; ++i) {
    const m = R[i].reference - lm, end = i + 1 < R.length ? R[i + 1].start : M;
    if (m >= R[i].start && m <= end && !out.includes(m)) out.push(m);
  }
  return out.sort((p, q) => p - q);
}
// "86+550", "-500+000", "−0+200", "86.5", "km 44+450": a line metre, or null.
function parseKm(text) {
  const t = text.trim().replace(/^km\s*/i, "").replace(/[\u2212\u2013]/g, "-").replace(/\s+/g, "");
  const k = t.match(/^(-?)(\d+)(?:([+.,])(\d+))?$/);
  if (!k) return null;
  const sign = k[1] ? -1 : 1;
  if (k[3] === "+") return sign * (+k[2] * 1000 + +k[4]);
  return sign * Math.round(parseFloat(k[2] + (k[4] !== undefined ? "." + k[4] : "")) * 1000);
}
// Names compared without case or accents: "ponte" finds "PONTÈ".
const fold = s => s.normalize("NFD").replace(/[\u0300-\u036f]/g, "").toLowerCase();

// The first index of a list sorted by metre whose metre is at least m.
function lowerBound(list, m, key) {
  let lo = 0, hi = list.length;
  while (lo < hi) {
    const mid = (lo + hi) >> 1;
    if (key(list[mid]) < m) lo = mid + 1; else hi = mid;
  }
  return lo;
}

// Stretch bytes at a route metre, from the runs of cells.
function runValue(runs, m) {
  const c = Math.floor(m / 50);
  const i = lowerBound(runs, c + 1, r => r[0]) - 1;
  return i >= 0 && runs[i][1] >= c ? runs[i][2] : null;
}
// Heights from the gradients: metres above the route's start at each cell
// boundary (a gradient of g per mille over a cell of 50 m climbs g / 20 m).
const heights = new Float64Array(data.cells + 1);
{
  let c = 0;
  for (const [first, last, g] of data.gradient) {
    for (; c < first && c < data.cells; ++c) heights[c + 1] = heights[c];
    for (; c <= last && c < data.cells; ++c) heights[c + 1] = heights[c] + (g === -1000 ? 0 : g / 20);
  }
  for (; c < data.cells; ++c) heights[c + 1] = heights[c];
}
const heightAt = m => {
  const c = Math.max(0, Math.min(data.cells, m / 50)), i = Math.floor(c);
  return i >= data.cells ? heights[data.cells] : heights[i] + (heights[i + 1] - heights[i]) * (c - i);
};

// The plan's trace: route metre, east and north of each sample.
const P = data.plan;
const planAt = m => {
  const n = P.m.length;
  if (!n) return null;
  let i = lowerBound(P.m, m, v => v);
  if (i >= n) return [P.e[n - 1], P.n[n - 1]];
  if (i === 0 || P.m[i] === m) return [P.e[i], P.n[i]];
  const t = (m - P.m[i - 1]) / (P.m[i] - P.m[i - 1]);
  return [P.e[i - 1] + (P.e[i] - P.e[i - 1]) * t, P.n[i - 1] + (P.n[i] - P.n[i - 1]) * t];
};
// Curves from the turning of the trace: at each sample, the curvature of
// the plan (1 / radius, positive turning right), over samples at most 100 m
// apart so that a straight line between far samples is not read as one.
const bends = [];
{
  const heading = i => Math.atan2(P.n[i + 1] - P.n[i], P.e[i + 1] - P.e[i]);
  for (let i = 1; i + 1 < P.m.length; ++i) {
    const s = (P.m[i + 1] - P.m[i - 1]) / 2;
    if (!(s > 0) || s > 100) continue;
    let d = heading(i - 1) - heading(i);
    while (d > Math.PI) d -= 2 * Math.PI;
    while (d < -Math.PI) d += 2 * Math.PI;
    const k = d / s;
    if (Math.abs(k) > 1 / 20000) bends.push([P.m[i], k]);
  }
}
// Curves as runs of bends of one hand: [from, to, radius, right].
const curves = [];
for (const [m, k] of bends) {
  const c = curves[curves.length - 1], right = k > 0;
  if (c && c[3] === right && m - c[1] <= 110) { c[1] = m; c[4] = Math.max(c[4], Math.abs(k)); }
  else curves.push([m, m, 0, right, Math.abs(k)]);
}
curves.forEach(c => { c[2] = Math.round(1 / c[4]); });

// Text widths, measured in the drawing's font.
const measurer = document.createElement("canvas").getContext("2d");
const widths = new Map();
function textWidth(t, size) {
  const key = size + "|" + t;
  let w = widths.get(key);
  if (w === undefined) {
    measurer.font = size + "px \"DejaVu Sans\", Helvetica, Arial, sans-serif";
    w = measurer.measureText(t).width;
    if (widths.size > 20000) widths.clear();
    widths.set(key, w);
  }
  return w;
}
// The longest start of `t` (with an ellipsis when cut) that fits `px`.
function fitText(t, size, px) {
  if (textWidth(t, size) <= px) return t;
  const chars = Array.from(t);
  let lo = 0, hi = chars.length;
  while (lo < hi) {
    const mid = (lo + hi + 1) >> 1;
    if (textWidth(chars.slice(0, mid).join("") + "\u2026", size) <= px) lo = mid; else hi = mid - 1;
  }
  return lo ? chars.slice(0, lo).join("") + "\u2026" : "";
}
// A board's lines fitted into one line of `px`: the lines holding a figure
// stay whole, the others are shortened before them.
function fitBoard(lines, size, px) {
  const dot = " \u00b7 ", whole = lines.join(dot);
  if (textWidth(whole, size) <= px) return whole;
  const figures = lines.filter(l => /\d/.test(l)).join(dot);
  const words = lines.filter(l => !/\d/.test(l)).join(" ");
  if (!figures) return fitText(whole, size, px);
  if (textWidth(figures, size) > px) return "";
  const room = px - textWidth(dot + figures, size);
  const w = words && room > textWidth("ABC\u2026", size) ? fitText(words, size, room) : "";
  return w ? w + dot + figures : figures;
}
// A board text "(ONE)(TWO)(THREE)" as its lines.
const boardLines = t => {
  const parts = t.match(/\(([^)]*)\)/g);
  return parts && parts.join("") === t ? parts.map(p => p.slice(1, -1)).filter(p => p) : [t];
};

function el(name, attrs, text) {
  const e = document.createElementNS(NS, name);
  for (const k in attrs) e.setAttribute(k, attrs[k]);
  if (text !== undefined) e.textContent = text;
  return e;
}
const esc = t => String(t).replace(/[&<>"]/g, c => ({ "&": "&amp;", "<": "&lt;", ">": "&gt;", '"': "&quot;" })[c]);
// One decimal, written from whole numbers (three times quicker than
// writing the fraction: a redraw writes tens of thousands).
const f1 = v => {
  const n = Math.round(v * 10), i = (n / 10) | 0, d = n - i * 10;
  return d === 0 ? "" + i : (n < 0 && i === 0 ? "-0." : i + ".") + (d < 0 ? -d : d);
};
// Markup for the drawing, built as text and set at once.
const tag = (name, attrs, body) => {
  let s = "<" + name;
  for (const k in attrs) s += " " + k + "=\"" + (typeof attrs[k] === "number" ? f1(attrs[k]) : esc(attrs[k])) + "\"";
  return body === undefined ? s + "/>" : s + ">" + body + "</" + name + ">";
};
)js";

}  // namespace tool

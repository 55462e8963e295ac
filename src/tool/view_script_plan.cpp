#include "tool/view_assets.h"

namespace tool {

// The plan is drawn from the trace's own coordinates (to the millimetre)
// for the stretch shown: whole, it shows the line; zoomed, it is magnified
// to the stretch, which it marks, with its stations, signals, kilometres
// and a scale for that magnification.
const char* const view_script_plan = R"js(
const planSvg = $("plan"), overviewSvg = $("overview");
let PL = null;  // the plan as last drawn: its transform and projected samples

function planFrame() {
  const whole = b - a >= M * 0.999;
  let minE = Infinity, maxE = -Infinity, minN = Infinity, maxN = -Infinity;
  const take = (e, n) => {
    minE = Math.min(minE, e); maxE = Math.max(maxE, e); minN = Math.min(minN, n); maxN = Math.max(maxN, n);
  };
  const from = whole ? -Infinity : a, to = whole ? Infinity : b;
  for (let i = 0; i < P.m.length; ++i) if (P.m[i] >= from && P.m[i] <= to) take(P.e[i], P.n[i]);
  if (!whole) for (const m of [a, b]) { const p = planAt(m); if (p) take(p[0], p[1]); }
  return [minE, maxE, minN, maxN];
}

// The plan for the stretch a .. b; with `dry`, only its markup, returned.
function drawPlan(r, dry) {
  const p = planMarkup(r);
  if (dry) return p.markup;
  putPlan(p);
}
// The drawing of planMarkup put on the page.
function putPlan(p) {
  planSvg.setAttribute("viewBox", "0 0 " + p.w + " " + p.h);
  planSvg.innerHTML = p.markup;
  PL = p.layout;
}
// The markup of drawPlan, built off the page: { markup, layout, w, h }.
function planMarkup(r) {
  const w = Math.max(Math.round(r.width), 120), h = Math.max(Math.round(r.height), 120);
  const s = [tag("rect", { x: 0, y: 0, width: w, height: h, class: "bg" }),
    tag("text", { x: 8, y: 16, "font-size": 12, "font-weight": "bold" }, "Plan (north up)")];
  if (P.m.length < 2) {
    s.push(tag("text", { x: 8, y: 36, "font-size": 11, class: "faint" }, "the plan holds no trace"));
    return { markup: s.join(""), layout: null, w, h };
  }
  const [minE, maxE, minN, maxN] = planFrame();
  const left = 16, right = w - 16, top = 28, bottom = h - 40;
  const scale = Math.min((right - left) / Math.max(maxE - minE, 1), (bottom - top) / Math.max(maxN - minN, 1), 50);
  const ox = (left + right) / 2 - (minE + maxE) / 2 * scale, oy = (top + bottom) / 2 + (minN + maxN) / 2 * scale;
  const X = e => ox + e * scale, Y = n => oy - n * scale;
  const inside = (px, py, pad) => px >= -pad && px <= w + pad && py >= -pad && py <= h + pad;
  // The trace: within the route, past its end, in curves, and the stretch shown.
  const paths = { trace: "", beyond: "", curve: "", shown: "" };
  const whole = b - a >= M * 0.999;
  let ci = 0;
  const inCurve = m => {
    while (ci < curves.length && curves[ci][1] + 25 < m) ++ci;
    return ci < curves.length && curves[ci][0] - 25 <= m;
  };
  const px = new Float64Array(P.m.length), py = new Float64Array(P.m.length);
  const last = {};
  const add = (key, i, force) => {
    const l = last[key];
    if (l !== undefined && l >= 0 && !force && Math.abs(px[i] - px[l]) < 0.7 && Math.abs(py[i] - py[l]) < 0.7) return;
    paths[key] += (l === undefined || l < 0 ? "M" : "L") + f1(px[i]) + " " + f1(py[i]);
    last[key] = i;
  };
  const cut = key => { last[key] = -1; };
  for (let i = 0; i < P.m.length; ++i) {
    px[i] = X(P.e[i]); py[i] = Y(P.n[i]);
    const m = P.m[i], near = inside(px[i], py[i], w) || i > 0 && inside(px[i - 1], py[i - 1], w);
    if (!near) { for (const k in paths) cut(k); continue; }
    const end = i + 1 === P.m.length;
    if (m <= L) add("trace", i, end); else cut("trace");
    if (m >= L || i + 1 < P.m.length && P.m[i + 1] > L) add("beyond", i, end); else cut("beyond");
    if (m <= L && inCurve(m)) add("curve", i, end); else cut("curve");
    if (!whole && m >= a - 50 && m <= b + 50) add("shown", i, end); else cut("shown");
  }
  s.push(tag("path", { d: paths.shown, class: "trace-shown" }), tag("path", { d: paths.beyond, class: "trace-beyond" }),
    tag("path", { d: paths.trace, class: "trace" }), tag("path", { d: paths.curve, class: "trace-curve" }));
  // Labels keep clear of one another and of the panel's edges.
  const boxes = [[0, 0, 130, 22]];
  const free = (x0, y0, x1, y1) => x0 >= 2 && y0 >= 2 && x1 <= w - 2 && y1 <= h - 2 &&
    boxes.every(q => q[2] <= x0 || q[0] >= x1 || q[3] <= y0 || q[1] >= y1);
  const label = (x0, y0, t, size, cls) => {
    const tw = textWidth(t, size);
    for (const [dx, dy, anchor] of [[8, 4, 0], [-8, 4, 1], [0, -9, 0.5], [0, 15, 0.5]]) {
      const lx = x0 + dx - tw * anchor, ly = y0 + dy;
      if (!free(lx - 1, ly - size, lx + tw + 1, ly + 3)) continue;
      boxes.push([lx - 1, ly - size, lx + tw + 1, ly + 3]);
      s.push(tag("text", { x: lx, y: ly, "font-size": size, class: cls + " halo" }, t));
      return true;
    }
    return false;
  };
  // One dot where several signals of a kind fall within a pixel or two of
  // each other: the whole of a long line puts hundreds on one spot.
  const dots = [], dotAt = new Set();
  for (const it of lanes.sig || []) {
    const p = planAt(it.metre), qx = p && X(p[0]), qy = p && Y(p[1]);
    if (!p || !inside(qx, qy, 4)) continue;
    const cls = signalClass(it.o), key = cls + " " + Math.round(qx / 1.5) + " " + Math.round(qy / 1.5);
    if (dotAt.has(key)) continue;
    dotAt.add(key);
    dots.push([cls, qx, qy]);
  }
  // Hundreds of dots are one path a kind: the browser lays out a path at once.
  const dotPaths = {};
  if (dots.length > 150) for (const [cls, qx, qy] of dots) dotPaths[cls] = (dotPaths[cls] || "") + circlePath(qx, qy, 3.2);
  const dotsDrawn = dots.length > 150 ? Object.keys(dotPaths).map(c => tag("path", { d: dotPaths[c], class: c })).join("")
    : dots.map(([cls, qx, qy]) => tag("circle", { cx: qx, cy: qy, r: 3.2, class: cls })).join("");
  // Scale bar and north arrow first: the labels keep off them.
  const barM = niceStep(70 / scale), bar = barM * scale, bx = 34, by = h - 16;
  const barText = barM >= 1000 ? barM / 1000 + " km" : barM + " m";
  s.push(tag("path", { d: "M" + bx + " " + by + "h" + f1(bar) + "M" + bx + " " + (by - 4) + "v8M" + f1(bx + bar) + " " + (by - 4) + "v8", class: "ink-s" }),
    tag("text", { x: bx + bar + 6, y: by + 4, "font-size": 11, id: "scale-bar" }, barText),
    tag("polygon", { points: [14, by - 22, 20, by, 14, by - 6, 8, by].join(" "), class: "north" }),
    tag("text", { x: 14, y: by - 25, "font-size": 11, "text-anchor": "middle", "font-weight": "bold" }, "N"));
  boxes.push([0, by - 40, bx + bar + 12 + textWidth(barText, 11), h]);
  const stationDots = [];
  for (const st of stations) {
    const p = planAt(st.metre);
    if (!p || !inside(X(p[0]), Y(p[1]), 0)) continue;
    stationDots.push([X(p[0]), Y(p[1]), st]);
    s.push(tag("circle", { cx: X(p[0]), cy: Y(p[1]), r: 4.5, class: "stn-dot" }));
  }
  s.push(dotsDrawn);
  for (const [qx, qy, st] of stationDots) {
    boxes.push([qx - 5, qy - 5, qx + 5, qy + 5]);
  }
  for (const [qx, qy, st] of stationDots) label(qx, qy, st.name, 11, "t-stn");
  // Kilometres along the trace, as far apart as their labels need.
  const kmStep = Math.max(niceStep(90 / scale), 50);
  const span = whole ? [0, L] : [Math.max(0, a - (b - a)), Math.min(M, b + (b - a))];
  const digits = kmStep >= 1000 ? 0 : kmStep >= 100 ? 1 : 2;
  for (const [m, l] of ticks(span[0], span[1], kmStep)) {
    if (m <= 0 || m > L) continue;
    const p = planAt(m), qx = p && X(p[0]), qy = p && Y(p[1]);
    if (!p || !inside(qx, qy, -4)) continue;
    if (label(qx, qy, (l / 1000).toFixed(digits) + " km", 10, "faint"))
      s.push(tag("circle", { cx: qx, cy: qy, r: 1.8, class: "tick-dot" }));
  }
  s.push("<g id=\"plan-overlay\"></g>");
  return { markup: s.join(""), layout: { X, Y, px, py, w, h, scale }, w, h };
}

// The overview: the whole route's speed profile and stations, and a window
// on the stretch shown.
function drawOverview(r) {
  const w = Math.max(Math.round(r.width), 100), h = Math.max(Math.round(r.height), 20);
  overviewSvg.setAttribute("viewBox", "0 0 " + w + " " + h);
  const ox = m => 6 + (w - 12) * m / M;
  let d = "";
  for (const [r0, r1, v] of data.speed) {
    if (!v) continue;
    const y = h - 3 - v / speedTop * (h - 8);
    d += "M" + f1(ox(r0 * 50)) + " " + f1(h - 3) + "V" + f1(y) + "H" + f1(Math.max(ox((r1 + 1) * 50), ox(r0 * 50) + 0.3)) + "V" + f1(h - 3) + "Z";
  }
  let st = "";
  for (const s of stations) st += "M" + f1(ox(s.metre)) + " 2V" + (h - 2);
  const x0 = ox(a), x1 = Math.max(ox(b), x0 + 3);
  overviewSvg.innerHTML = tag("rect", { x: 0, y: 0, width: w, height: h, class: "bg" }) +
    tag("path", { d, class: "speed-area" }) + tag("path", { d: st, class: "lead-stn" }) +
    tag("rect", { x: x0, y: 1, width: x1 - x0, height: h - 2, class: "window", id: "overview-window" });
  overviewSvg.dataset.width = w;
}
const overviewMetre = clientX => {
  const r = overviewSvg.getBoundingClientRect();
  return (clientX - r.left - 6 * r.width / +overviewSvg.dataset.width) / (r.width - 12 * r.width / +overviewSvg.dataset.width) * M;
};
)js";

}  // namespace tool

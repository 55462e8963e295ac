#include "tool/view_assets.h"

const char* const view_style = R"css(
html, body { margin: 0; height: 100%; font-family: "DejaVu Sans", Helvetica, Arial, sans-serif;
  font-size: 13px; color: #1c2833; overflow: hidden; }
header { display: flex; align-items: center; gap: 8px; height: 40px; padding: 0 10px;
  border-bottom: 1px solid #d5d8dc; background: #f8f9f9; box-sizing: border-box; }
header strong { margin-right: 12px; }
#search { display: flex; gap: 4px; }
#query { width: 180px; }
#status { color: #b03a2e; }
#shown { margin-left: auto; color: #5d6d7e; }
main { display: flex; height: calc(100% - 40px); }
#drawing { flex: 1; min-width: 0; height: 100%; }
#drawing > svg { display: block; width: 100%; height: 100%; user-select: none; }
#drawing > svg.dragging { cursor: grabbing; }
#stretch *, #plan-trace * { vector-effect: non-scaling-stroke; }
aside { width: 270px; height: 100%; overflow: auto; border-left: 1px solid #d5d8dc; }
#stations { border-collapse: collapse; width: 100%; }
#stations th, #stations td { padding: 3px 6px; text-align: left; white-space: nowrap; }
#stations th { position: sticky; top: 0; background: #f8f9f9; }
#stations tbody tr { cursor: pointer; }
#stations tbody tr:hover { background: #fdebd0; }
#stations tr.in-view td:first-child { font-weight: bold; color: #b03a2e; }
#tip { position: fixed; z-index: 10; max-width: 420px; padding: 6px 8px; background: #fffffe;
  border: 1px solid #566573; box-shadow: 0 2px 6px rgba(0,0,0,.2); pointer-events: none;
  font-size: 12px; }
#tip table { border-collapse: collapse; }
#tip td { padding: 1px 6px 1px 0; vertical-align: top; }
#tip td:first-child { color: #5d6d7e; }
.flash { animation: flash 1.2s ease-out 2; }
@keyframes flash { 50% { opacity: .2; } }
)css";

// Zooming keeps route metres m = a .. b on the axis: shapes along the route
// are scaled in x, glyphs and labels only moved, and the axis and the plan
// are drawn anew for the stretch shown.
const char* const view_script = R"js(
"use strict";
(function () {
  const data = JSON.parse(document.getElementById("data").textContent);
  const svg = document.querySelector("#drawing > svg");
  const NS = "http://www.w3.org/2000/svg";
  const AL = +svg.dataset.axisLeft, AR = +svg.dataset.axisRight, M = +svg.dataset.metres;
  const stretch = document.getElementById("stretch");
  const grid = document.getElementById("grid"), axis = document.getElementById("axis");
  const plan = document.getElementById("plan");
  const tip = document.getElementById("tip");
  const status = document.getElementById("status");
  const objects = new Map(data.objects.map(o => [String(o.cell), o]));
  const stations = new Map(data.stations.map(s => [String(s.entry), s]));
  const groups = Array.from(svg.querySelectorAll("#points .obj, #points .stn"));
  const spans = Array.from(svg.querySelectorAll("#points .span"));
  const rows = Array.from(document.querySelectorAll("#stations tbody tr"));
  let a = 0, b = M;

  // Shapes keep their words as data for the tooltip, not as titles.
  svg.querySelectorAll("title").forEach(t => {
    if (t.parentNode !== svg) t.parentNode.dataset.tip = t.textContent;
    t.remove();
  });

  const mark = v => {
    const n = Math.round(Math.abs(v));
    return (v < 0 ? "-" : "") + Math.floor(n / 1000) + "+" + String(n % 1000).padStart(3, "0");
  };
  const rangeAt = m => {
    let r = -1;
    data.ranges.forEach((x, i) => { if (x.start <= m) r = i; });
    return r;
  };
  const lineMetre = m => { const r = rangeAt(m); return r < 0 ? m : data.ranges[r].reference - m; };
  const niceStep = (range, most) => {
    let step = 1;
    while (range / step > most) {
      for (const f of [2, 2.5, 2]) { step *= f; if (range / step <= most) break; }
    }
    return step;
  };
  const x = m => AL + (AR - AL) * (m - a) / (b - a);
  const metreAt = px => a + (px - AL) / (AR - AL) * (b - a);

  function ticks(from, to, step) {
    const out = [], cuts = [from];
    data.ranges.forEach(r => { if (r.start > from && r.start < to) cuts.push(r.start); });
    cuts.push(to);
    for (let i = 0; i + 1 < cuts.length; ++i) {
      const p = cuts[i], q = cuts[i + 1], r = rangeAt(p);
      const last = i + 2 === cuts.length;
      if (r < 0) {
        for (let k = Math.ceil(p / step) * step; k <= q; k += step) if (k < q || last) out.push([k, k]);
      } else {
        const ref = data.ranges[r].reference;
        for (let l = Math.ceil((ref - q) / step) * step; l <= ref - p; l += step)
          if (ref - l < q || last) out.push([ref - l, l]);
      }
    }
    // In route order; a tick too near the one before it (where a range
    // begins) is left out.
    out.sort((p, q) => p[0] - q[0]);
    return out.filter((t, i, all) => i === 0 || t[0] - all[i - 1][0] >= step * 0.4);
  }

  function el(name, attrs, text) {
    const e = document.createElementNS(NS, name);
    for (const k in attrs) e.setAttribute(k, attrs[k]);
    if (text !== undefined) e.textContent = text;
    return e;
  }

  function drawAxis() {
    const step = niceStep((b - a) / 1000, 20) * 1000;
    const lanes = [[100, 200], [232, 352], [360, 852]];
    const y = 858;
    grid.replaceChildren();
    const kept = Array.from(axis.children).filter(c => c.tagName === "g");
    axis.replaceChildren();
    const digits = step >= 1000 ? 0 : step >= 100 ? 1 : 2;
    for (const [m, l] of ticks(a, b, step)) {
      const px = x(m);
      for (const [t, btm] of lanes)
        grid.appendChild(el("line", { x1: px, y1: t, x2: px, y2: btm, stroke: "#e5e8e8" }));
      axis.appendChild(el("line", { x1: px, y1: y, x2: px, y2: y + 6, stroke: "#1c2833" }));
      axis.appendChild(el("text", { x: px, y: y + 19, "font-size": 11, "text-anchor": "middle",
        fill: "#1c2833" }, (l / 1000).toFixed(digits)));
    }
    // The notes where a kilometric range begins move with the route.
    kept.forEach(g => {
      axis.appendChild(g);
      const t = g.querySelector("text");
      if (!t.dataset.x) t.dataset.x = t.getAttribute("x");
      const m = (t.dataset.x - AL) / (AR - AL) * M;
      g.setAttribute("transform", "translate(" + (x(m) - t.dataset.x) + " 0)");
    });
  }

  function declutter(list) {
    let last = -Infinity;
    for (const [px, label] of list) {
      const fits = px >= AL - 4 && px <= AR + 4 && px - last >= 12;
      label.setAttribute("display", fits ? "inline" : "none");
      if (fits) last = px;
    }
  }

  function followPlan() {
    if (!plan) return;
    const ox = +plan.dataset.ox, oy = +plan.dataset.oy, s0 = +plan.dataset.scale;
    const P = data.plan;
    let d = "", minX = Infinity, maxX = -Infinity, minY = Infinity, maxY = -Infinity;
    for (let i = 0; i < P.m.length; ++i) {
      if (P.m[i] < a || P.m[i] > b) continue;
      const px = ox + P.e[i] * s0, py = oy - P.n[i] * s0;
      d += (d ? " L" : "M") + px.toFixed(1) + " " + py.toFixed(1);
      minX = Math.min(minX, px); maxX = Math.max(maxX, px);
      minY = Math.min(minY, py); maxY = Math.max(maxY, py);
    }
    const whole = b - a >= M * 0.999 || !d;
    document.getElementById("plan-shown").setAttribute("d", whole ? "" : d);
    // Zoomed, the stretch shown is drawn again from every point of the trace.
    document.getElementById("plan-detail").setAttribute("d", whole ? "" : d);
    const trace = document.getElementById("plan-trace");
    const labels = document.getElementById("plan-labels");
    const bar = document.getElementById("scale-bar");
    let s = 1, tx = 0, ty = 0;
    if (!whole) {
      const L = +plan.dataset.left, R = +plan.dataset.right, T = +plan.dataset.top, B = +plan.dataset.bottom;
      s = Math.min((R - L) / Math.max(maxX - minX, 1), (B - T) / Math.max(maxY - minY, 1), 400);
      s = Math.max(s, 1);
      tx = (L + R) / 2 - s * (minX + maxX) / 2;
      ty = (T + B) / 2 - s * (minY + maxY) / 2;
    }
    trace.setAttribute("transform", "translate(" + tx + " " + ty + ") scale(" + s + ")");
    trace.querySelectorAll("circle").forEach(c => {
      if (!c.dataset.r) c.dataset.r = c.getAttribute("r");
      c.setAttribute("r", c.dataset.r / s);
    });
    labels.setAttribute("display", whole ? "inline" : "none");
    if (bar) bar.setAttribute("display", whole ? "inline" : "none");
  }

  let pending = false;
  function apply() {
    pending = false;
    const k = M / (b - a);
    const tx = AL - AL * k - (AR - AL) * a / (b - a);
    stretch.setAttribute("transform", "matrix(" + k + " 0 0 1 " + tx + " 0)");
    const lanes = new Map();
    for (const g of groups) {
      const xb = +g.dataset.x, xn = xb * k + tx;
      g.setAttribute("transform", "translate(" + (xn - xb) + " 0)");
      const label = g.querySelector(".lbl");
      if (label) {
        const kind = (objects.get(g.dataset.cell) || {}).kind;
        if (!lanes.has(kind)) lanes.set(kind, []);
        lanes.get(kind).push([xn, label]);
      }
    }
    lanes.forEach(declutter);
    const restrictions = [];
    for (const g of spans) {
      const x0 = +g.dataset.x0, x1 = +g.dataset.x1;
      g.setAttribute("transform", "translate(" + ((x0 + x1) / 2 * (k - 1) + tx) + " 0)");
      const t = g.querySelector("text");
      if (t.classList.contains("lbl-r")) restrictions.push([(x0 + x1) / 2 * k + tx, t]);
      else t.setAttribute("display", (x1 - x0) * k > 22 ? "inline" : "none");
    }
    restrictions.sort((p, q) => p[0] - q[0]);
    let lastR = -Infinity;
    for (const [px, t] of restrictions) {
      const fits = px - lastR >= 26;
      t.setAttribute("display", fits ? "inline" : "none");
      if (fits) lastR = px;
    }
    drawAxis();
    followPlan();
    rows.forEach(r => r.classList.toggle("in-view", +r.dataset.metre >= a && +r.dataset.metre <= b));
    document.getElementById("shown").textContent =
      "shown: km " + mark(lineMetre(a)) + " to " + mark(lineMetre(b)) +
      (b - a < M * 0.999 ? " (\u00d7" + k.toFixed(1) + ")" : " (whole line)");
    svg.dataset.shownFrom = a;
    svg.dataset.shownTo = b;
  }
  function show(from, to) {
    const width = Math.min(Math.max(to - from, 200), M);
    from = Math.max(0, Math.min(from, M - width));
    a = from; b = from + width;
    if (!pending) { pending = true; requestAnimationFrame(apply); }
  }
  const zoom = (factor, at) => {
    const m = at === undefined ? (a + b) / 2 : at;
    show(m - (m - a) * factor, m + (b - m) * factor);
  };
  const pan = f => show(a + (b - a) * f, b + (b - a) * f);
  const fit = () => show(0, M);

  const toSvgX = ev => {
    const p = svg.createSVGPoint();
    p.x = ev.clientX; p.y = ev.clientY;
    return p.matrixTransform(svg.getScreenCTM().inverse());
  };
  const onTrack = p => p.x >= AL - 8 && p.x <= AR + 8 && p.y >= 90 && p.y <= 900;

  svg.addEventListener("wheel", ev => {
    const p = toSvgX(ev);
    if (!onTrack(p)) return;
    ev.preventDefault();
    if (ev.shiftKey || Math.abs(ev.deltaX) > Math.abs(ev.deltaY)) {
      pan((ev.deltaX || ev.deltaY) > 0 ? 0.1 : -0.1);
    } else {
      zoom(ev.deltaY > 0 ? 1.25 : 0.8, metreAt(p.x));
    }
  }, { passive: false });

  let drag = null;
  svg.addEventListener("pointerdown", ev => {
    const p = toSvgX(ev);
    if (ev.button !== 0 || !onTrack(p)) return;
    drag = { x: p.x, a: a, b: b };
    svg.setPointerCapture(ev.pointerId);
    svg.classList.add("dragging");
  });
  svg.addEventListener("pointermove", ev => {
    if (!drag) return;
    const dm = (toSvgX(ev).x - drag.x) / (AR - AL) * (drag.b - drag.a);
    show(drag.a - dm, drag.b - dm);
  });
  const endDrag = () => { drag = null; svg.classList.remove("dragging"); };
  svg.addEventListener("pointerup", endDrag);
  svg.addEventListener("pointercancel", endDrag);

  document.addEventListener("keydown", ev => {
    if (ev.target.tagName === "INPUT") return;
    const keys = { "+": () => zoom(0.5), "=": () => zoom(0.5), "-": () => zoom(2),
      "ArrowLeft": () => pan(-0.2), "ArrowRight": () => pan(0.2), "0": fit, "f": fit,
      "Home": () => show(0, b - a), "End": () => show(M - (b - a), M) };
    if (keys[ev.key]) { ev.preventDefault(); keys[ev.key](); }
  });
  document.getElementById("fit").addEventListener("click", fit);
  document.getElementById("zoom-in").addEventListener("click", () => zoom(0.5));
  document.getElementById("zoom-out").addEventListener("click", () => zoom(2));

  // Hover: everything the package knows of the object under the pointer.
  function details(target) {
    const g = target.closest("[data-cell], [data-station], [data-tip]");
    if (!g || !svg.contains(g) && !g.closest("#stations")) return null;
    const rowsOf = pairs => "<table>" + pairs.filter(p => p[1] !== undefined && p[1] !== "")
      .map(p => "<tr><td>" + esc(p[0]) + "</td><td>" + esc(String(p[1])) + "</td></tr>").join("") + "</table>";
    if (g.dataset.cell && objects.has(g.dataset.cell)) {
      const o = objects.get(g.dataset.cell);
      return "<b>" + esc(o.kind) + "</b>" + rowsOf([["km", o.km], ["route metre", o.metre], ["cell", o.cell]]
        .concat(o.values).concat([["mark (b11)", o.mark || ""], ["line speed", o.speed_kmh + " km/h"],
          ["gradient", o.gradient + " per mille"], ["adhesion", o.adhesion], ["mountain", o.mountain || ""],
          ["record", o.origin || (data.with_origins ? "none" : "")]]));
    }
    if (g.dataset.station && stations.has(g.dataset.station)) {
      const s = stations.get(g.dataset.station);
      return "<b>station " + esc(s.name) + "</b>" + rowsOf([["km", s.km], ["route metre", s.metre],
        ["zone", s.zone], ["time", s.time], ["type", s.type], ["entry", s.entry],
        ["record", s.origin || (data.with_origins ? "none" : "")]]);
    }
    return g.dataset.tip ? esc(g.dataset.tip) : null;
  }
  const esc = t => t.replace(/[&<>"]/g, c => ({ "&": "&amp;", "<": "&lt;", ">": "&gt;", '"': "&quot;" })[c]);
  document.addEventListener("pointermove", ev => {
    if (drag) { tip.hidden = true; return; }
    const html = ev.target instanceof Element ? details(ev.target) : null;
    if (!html) { tip.hidden = true; return; }
    tip.innerHTML = html;
    tip.hidden = false;
    const w = tip.offsetWidth, h = tip.offsetHeight;
    tip.style.left = Math.min(ev.clientX + 14, innerWidth - w - 4) + "px";
    tip.style.top = Math.min(ev.clientY + 14, innerHeight - h - 4) + "px";
  });

  // Search: a station by name, or a kilometre of the line ("86+550", "86.5").
  function routeMetreOfKm(lm) {
    if (!data.ranges.length) return lm;
    for (let i = data.ranges.length - 1; i >= 0; --i) {
      const r = data.ranges[i], m = r.reference - lm;
      if (m >= r.start && rangeAt(m) === i && m <= M) return m;
    }
    return rangeAt(lm) < 0 && lm >= 0 && lm <= M ? lm : null;
  }
  function goTo(m, what) {
    const width = Math.min(b - a, 5000);
    show(m - width / 2, m + width / 2);
    status.textContent = what;
  }
  function flashStation(entry) {
    const g = svg.querySelector('#points [data-station="' + entry + '"]');
    if (g) { g.classList.remove("flash"); void g.getBBox(); g.classList.add("flash"); }
  }
  document.getElementById("search").addEventListener("submit", ev => {
    ev.preventDefault();
    const q = document.getElementById("query").value.trim();
    if (!q) return;
    const km = q.replace(/^km\s*/i, "").match(/^(\d+)(?:([+.,])(\d+))?$/);
    if (km) {
      const lm = km[2] === "+" ? +km[1] * 1000 + +km[3]
        : Math.round(parseFloat(km[1] + (km[3] ? "." + km[3] : "")) * 1000);
      const m = routeMetreOfKm(lm);
      if (m !== null) { goTo(m, "km " + mark(lm)); return; }
    }
    const s = data.stations.find(s => s.name.toLowerCase().includes(q.toLowerCase()));
    if (s) { goTo(s.metre, s.name + ", km " + s.km); flashStation(s.entry); return; }
    status.textContent = "nothing found for \u201c" + q + "\u201d";
  });
  rows.forEach(r => r.addEventListener("click", () => {
    const s = stations.get(r.dataset.station);
    goTo(s.metre, s.name + ", km " + s.km);
    flashStation(s.entry);
  }));

  apply();
  window.scenarioView = { show, fit, zoom, shown: () => [a, b] };
})();
)js";

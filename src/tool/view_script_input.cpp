#include "tool/view_assets.h"

namespace tool {

// Showing a stretch, and everything a person does to choose one or to ask
// about what it holds.
const char* const view_script_input = R"js(
const tip = $("tip"), status = $("status"), readout = $("readout");
const rows = Array.from(document.querySelectorAll("#stations tbody tr"));
let cursor = null;            // route metre under the pointer
let measure = null;           // { from, to } in route metres while measuring
let measuring = false;
let selected = -1;            // index into items of the object chosen by keys
let found = null;             // the last search: { query, list, at }

function drawOverlay() {
  const o = $("overlay");
  if (!o || !T) return;
  let s = "";
  const inView = m => m >= a && m <= b;
  if (measure && measure.to !== null) {
    const x0 = x(Math.max(Math.min(measure.from, measure.to), a)), x1 = x(Math.min(Math.max(measure.from, measure.to), b));
    if (x1 >= x0) s += tag("rect", { x: x0, y: T.gT, width: Math.max(x1 - x0, 1), height: T.aY - T.gT, class: "measure" });
  } else if (measure && inView(measure.from)) {
    s += tag("line", { x1: x(measure.from), y1: T.gT, x2: x(measure.from), y2: T.aY, class: "measure" });
  }
  if (cursor !== null && inView(cursor)) {
    const cx = x(cursor);
    s += tag("line", { x1: cx, y1: T.gT, x2: cx, y2: T.aY, class: "cursor" }) +
      tag("polygon", { points: [cx, T.aY, cx - 4, T.aY + 7, cx + 4, T.aY + 7].map(f1).join(" "), class: "cursor-dot" });
  }
  if (selected >= 0 && inView(items[selected].metre)) {
    const it = items[selected], sx = x(it.metre), sy = laneY(it.lane);
    s += tag("rect", { x: sx - 8, y: sy - 10, width: 16, height: 20, rx: 3, class: "selected" });
  }
  o.innerHTML = s;
  const po = $("plan-overlay");
  if (po && PL) {
    let t = "";
    const dot = (m, cls) => { const p = planAt(m); if (p) t += tag("circle", { cx: PL.X(p[0]), cy: PL.Y(p[1]), r: 4, class: cls }); };
    if (cursor !== null) dot(cursor, "cursor-dot");
    if (measure) { dot(measure.from, "cursor-dot"); if (measure.to !== null) dot(measure.to, "cursor-dot"); }
    if (selected >= 0) { const p = planAt(items[selected].metre); if (p) t += tag("circle", { cx: PL.X(p[0]), cy: PL.Y(p[1]), r: 7, class: "selected" }); }
    po.innerHTML = t;
  }
  let r = "";
  if (cursor !== null) {
    const g = runValue(data.gradient, cursor), v = runValue(data.speed, cursor);
    r = "km " + kmAt(cursor) + " \u00b7 " + (v ? v + " km/h" : "no line speed") +
      (g !== null && g !== -1000 ? " \u00b7 " + g + " \u2030" : "") + " \u00b7 height " + f1(heightAt(cursor)) + " m";
  }
  if (measure) {
    const to = measure.to !== null ? measure.to : cursor;
    if (to !== null) {
      const d = Math.abs(to - measure.from);
      r = "measured " + Math.round(d).toLocaleString("en").replace(/,/g, "\u2009") + " m, km " + kmAt(Math.min(measure.from, to)) +
        " to " + kmAt(Math.max(measure.from, to)) + ", height " + (heightAt(Math.max(measure.from, to)) - heightAt(Math.min(measure.from, to)) >= 0 ? "+" : "") +
        f1(heightAt(Math.max(measure.from, to)) - heightAt(Math.min(measure.from, to))) + " m" + (measure.to === null ? " (click the second point)" : "");
    } else r = "measure: click the first point, then the second";
  }
  readout.textContent = r;
}

// A redraw comes in parts, one a frame: the track first (where hundreds of
// objects are in view, its glyphs and profiles first and the labels of its
// lanes after them), then the plan and the overview. Each frame's work is
// then a fraction of a redraw, and a wheel, a drag or a key is answered in
// the next frame. A new stretch drops the parts still to come.
let pending = false, hashTimer = 0;
let later = [], laterAsked = false, settledWaiters = [];
const labelsAFrame = 50;
function askLater() {
  if (!laterAsked) { laterAsked = true; requestAnimationFrame(runLater); }
}
function settle() {
  if (pending || later.length || panned) return;
  settledWaiters.splice(0).forEach(f => f());
}
function runLater() {
  laterAsked = false;
  // A new stretch is laid out in this frame (and asks again), unless the
  // drawing is moved to it: the parts to come are the same.
  if (pending && !moveDrawing()) return;
  const part = later.shift();
  if (part) part();
  if (later.length) askLater(); else settle();
}
// The stretch asked for and the parts still to come, drawn at once (for
// printing and exporting).
function finish() {
  if (pending || panned) apply();
  while (later.length) later.shift()();
  settle();
}
function apply() {
  pending = false;
  waiting = false;
  // The three drawings' sizes, read before any of them is drawn again: read
  // after one was, they would make the browser lay the whole page out on the
  // spot, tens of milliseconds on a long line.
  const boxes = [trackSvg, planSvg, overviewSvg].map(e => e.getBoundingClientRect());
  later = [];
  let labels;
  if (panned && laidOut && T && Math.max(Math.round(boxes[0].width), 200) === T.W && Math.max(Math.round(boxes[0].height), 300) === T.H) {
    // A moved drawing is laid out anew off the page in this frame and
    // stays on it, moved, until the next, which puts the new one in its
    // place (moved by as far as the pointer went meanwhile): building the
    // markup and the browser's parsing, styling and painting of it are then
    // each a frame's work.
    const built = trackMarkup(boxes[0]), from = a, to = b;
    labels = built.dense;
    laidOut.time = performance.now();
    waiting = true;
    later.push(() => {
      waiting = false;
      putTrack(built);
      laidOut = labels ? { a: from, b: to, time: performance.now() } : null;
      panned = false;
      if (a !== from || b !== to) {
        if (laidOut && Math.abs(to - from - (b - a)) <= (b - a) * 1e-9) { shiftDrawing(); panned = true; requestAnimationFrame(layOutAgain); }
        else ask();
      }
    });
  } else {
    labels = drawTrack(boxes[0]);
    panned = false;
    laidOut = labels ? { a, b, time: performance.now() } : null;
  }
  // The labels' places are found in a frame, their groups added a few dozen
  // a frame after it: laying out hundreds of texts is most of a redraw. Both
  // are for the stretch laid out, where the drawing is moved.
  if (labels) later.push(() => {
    const groups = atLaidOut(labelGroups);
    let at = later.length - 3;  // before the plan and the overview
    for (let i = 0; i < groups.length; i += labelsAFrame) {
      const part = groups.slice(i, i + labelsAFrame);
      later.splice(at++, 0, () => addLabelGroups(part));
    }
  });
  // The plan is built in a frame and put on the page in the next.
  let plan = null;
  later.push(() => { plan = planMarkup(boxes[1]); }, () => putPlan(plan), () => { drawOverview(boxes[2]); drawOverlay(); });
  askLater();
  shownNews();
}
// Runs f for the stretch the drawing was laid out for.
function atLaidOut(f) {
  if (!laidOut) return f();
  const keep = [a, b];
  [a, b] = [laidOut.a, laidOut.b];
  try { return f(); } finally { [a, b] = keep; }
}
// What tells where the stretch shown lies, besides the drawing.
function shownNews() {
  rows.forEach(r => r.classList.toggle("in-view", +r.dataset.metre >= a && +r.dataset.metre <= b));
  const whole = b - a >= M * 0.999;
  $("shown").textContent = "shown: km " + kmAt(a) + " to " + kmAt(b) +
    (whole ? " (whole line)" : " (\u00d7" + (M / (b - a)).toFixed(1) + ")");
  trackSvg.dataset.shownFrom = a;
  trackSvg.dataset.shownTo = b;
  // A search result that has left the stretch shown is no longer the news.
  if (found && found.metre !== undefined && (found.metre < a || found.metre > b)) { status.textContent = ""; found.metre = undefined; }
  clearTimeout(hashTimer);
  hashTimer = setTimeout(() => {
    const h = whole ? "" : "#from=" + Math.round(a) + "&to=" + Math.round(b);
    if (location.hash !== h) history.replaceState(null, "", h || location.pathname + location.search);
  }, 150);
}
// A dense drawing dragged along is moved as it stands, its labels with it,
// and laid out anew when the pointer lets go and at most every 100 ms
// meanwhile (counted from the press or the last layout): a frame of the
// drag then costs a small part of a redraw.
// The drawing of a stretch laid out anew off the page waits a frame to be
// put on it (`waiting`), moved meanwhile.
let laidOut = null, panned = false;  // the dense stretch last laid out; whether it is moved since
let waiting = false;
function moveDrawing() {
  const width = b - a;
  if (!drag || !laidOut || !T || Math.abs(laidOut.b - laidOut.a - width) > width * 1e-9 ||
      performance.now() - laidOut.time >= 100) return false;
  shiftDrawing();
  pending = false;
  if (!panned) requestAnimationFrame(layOutAgain);
  panned = true;
  drawOverlay();
  shownNews();
  if (later.length) askLater();
  return true;
}
const shiftDrawing = () => {
  const dx = f1((laidOut.a - a) / (b - a) * (T.AR - T.AL));
  for (const id of ["pan", "axis"]) { const g = $(id); if (g) g.setAttribute("transform", "translate(" + dx + " 0)"); }
};
function layOutAgain() {
  if (!panned) return;
  if (!pending && !waiting && (!drag || !laidOut || performance.now() - laidOut.time >= 100)) ask();
  else requestAnimationFrame(layOutAgain);
}
// A redraw in the next frame, unless one is asked for already.
function ask() {
  if (!pending) { pending = true; requestAnimationFrame(() => { if (pending && !moveDrawing()) apply(); }); }
}
// Resolves once the stretch asked for is drawn whole.
const settled = () => new Promise(r => { settledWaiters.push(r); settle(); });
function show(from, to) {
  const width = Math.min(Math.max(to - from, 200), M);
  from = Math.max(0, Math.min(from, M - width));
  a = from; b = from + width;
  ask();
}
const zoom = (factor, at) => {
  const m = at === undefined ? (a + b) / 2 : at;
  show(m - (m - a) * factor, m + (b - m) * factor);
};
const pan = f => show(a + (b - a) * f, b + (b - a) * f);
const fit = () => show(0, M);
function fromHash() {
  const h = location.hash.match(/from=(-?[\d.]+)&to=(-?[\d.]+)/);
  if (h && +h[2] > +h[1]) { a = Math.max(0, +h[1]); b = Math.min(M, +h[2]); show(a, b); return true; }
  return false;
}

// Details of an object, a station or a stretch, as a small table.
const rowsOf = pairs => "<table>" + pairs.filter(p => p[1] !== undefined && p[1] !== "" && p[1] !== null)
  .map(p => "<tr><td>" + esc(p[0]) + "</td><td>" + esc(String(p[1])) + "</td></tr>").join("") + "</table>";
function details(it) {
  if (it.s) {
    const s = it.s;
    return "<b>station " + esc(s.name) + "</b>" + rowsOf([["km", s.km], ["route metre", s.metre],
      ["zone", s.zone], ["time", s.time], ["type", s.type], ["entry", s.entry],
      ["record", s.origin || (data.with_origins ? "none" : "")]]);
  }
  const o = it.o;
  return "<b>" + esc(o.kind) + "</b>" + rowsOf([["km", o.km], ["route metre", o.metre], ["cell", o.cell]]
    .concat(o.values).concat([["mark (b11)", o.mark || ""], ["line speed", o.speed_kmh + " km/h"],
      ["gradient", o.gradient === -100 ? "" : o.gradient + " per mille"], ["adhesion", o.adhesion],
      ["mountain", o.mountain || ""], ["record", o.origin || (data.with_origins ? "none" : "")],
      ["mark's record", o.mark_origin && o.mark_origin !== o.origin ? o.mark_origin : ""]]));
}
// What the profiles hold at a route metre, in line kilometres.
function stretchDetails(m, y) {
  const runAt = runs => { const c = Math.floor(m / 50), i = lowerBound(runs, c + 1, r => r[0]) - 1; return i >= 0 && runs[i][1] >= c ? runs[i] : null; };
  const span = r => "km " + kmAt(r[0] * 50) + " to " + kmAt((r[1] + 1) * 50);
  const pairs = [["km", kmAt(m)], ["route metre", Math.round(m)], ["height", f1(heightAt(m)) + " m"]];
  const g = runAt(data.gradient), v = runAt(data.speed), mt = runAt(data.mountain);
  if (g && g[2] !== -1000) pairs.push(["gradient", g[2] + " per mille, " + span(g)]);
  if (v) pairs.push(["line speed", v[2] + " km/h, " + span(v)]);
  const rs = data.restrictions.find(r => r[0] <= m && m <= r[1]);
  if (rs) pairs.push(["restriction", rs[2] + " km/h, km " + kmAt(rs[0]) + " to " + kmAt(rs[1])]);
  const c = curves.find(c => c[0] - 25 <= m && m <= c[1] + 25);
  if (c) pairs.push(["curve", (c[3] ? "right" : "left") + ", radius about " + c[2] + " m, km " + kmAt(c[0]) + " to " + kmAt(c[1])]);
  if (mt && mt[2]) pairs.push(["mountain", "type " + mt[2] + ", " + span(mt)]);
  return "<b>" + (y < T.hT ? "gradient" : y < T.cT ? "height" : y < T.sT ? "curves" : y < T.stT ? "speed" : "mountain") +
    "</b>" + rowsOf(pairs);
}
function showTip(html, cx, cy) {
  if (!html) { tip.hidden = true; return; }
  tip.innerHTML = html;
  tip.hidden = false;
  const w = tip.offsetWidth, h = tip.offsetHeight;
  tip.style.left = Math.max(2, Math.min(cx + 14, innerWidth - w - 4)) + "px";
  tip.style.top = Math.max(2, cy + 14 + h > innerHeight ? cy - h - 10 : cy + 14) + "px";
}
// The object nearest the pointer in the lane under it, within 8 pixels.
function itemAt(px, py) {
  const lane = py < T.stT ? null : py <= T.band + 16 ? "st" : py <= T.sigRow + 10 ? "sig" :
    py <= T.sbRow + 10 ? "sb" : py <= T.tbRow + 12 ? "tb" : py <= T.mk + 9 ? "mk" : null;
  const list = lanes[lane];
  if (!list) return null;
  const m = metreAt(px), i = lowerBound(list, m, it => it.metre);
  let best = null, bestD = 8;
  for (const k of [i - 2, i - 1, i, i + 1]) {
    if (k < 0 || k >= list.length) continue;
    const d = Math.abs(x(list[k].metre) - px);
    if (d <= bestD) { best = list[k]; bestD = d; }
  }
  return best;
}
// (While a pointer is down on the track, its place read at the press: read
// again, it would make the browser lay the page out on the spot.)
let pressedAt = null;
const local = (svg, ev) => {
  const r = svg === trackSvg && pressedAt || svg.getBoundingClientRect(), vb = svg.viewBox.baseVal;
  return [(ev.clientX - r.left) * vb.width / r.width, (ev.clientY - r.top) * vb.height / r.height];
};

// Pointers on the track: one drags along the route, two pinch; a mouse
// without a button moves the cursor and asks for details.
const pointers = new Map();
let drag = null, pinch = null;
trackSvg.addEventListener("pointerdown", ev => {
  if (ev.button !== 0) return;
  ev.preventDefault();  // no text selection; keys go on to the page
  const [px] = local(trackSvg, ev);
  if (measuring && ev.pointerType === "mouse") {
    const m = Math.max(0, Math.min(M, metreAt(px)));
    if (!measure || measure.to !== null) measure = { from: m, to: null };
    else { measure.to = m; measuring = false; setMeasuring(false, true); }
    drawOverlay();
    return;
  }
  if (!pointers.size) pressedAt = trackSvg.getBoundingClientRect();
  pointers.set(ev.pointerId, px);
  trackSvg.setPointerCapture(ev.pointerId);
  if (pointers.size === 1) {
    drag = { x: px, a, b, moved: false };
    trackSvg.classList.add("dragging");
    if (laidOut) laidOut.time = performance.now();
  }
  else if (pointers.size === 2) {
    const [p, q] = Array.from(pointers.values());
    pinch = { d: Math.max(Math.abs(p - q), 10), m: metreAt((p + q) / 2), a, b };
    drag = null;
  }
});
trackSvg.addEventListener("pointermove", ev => {
  const [px, py] = local(trackSvg, ev);
  if (pointers.has(ev.pointerId)) {
    pointers.set(ev.pointerId, px);
    if (pinch && pointers.size === 2) {
      const [p, q] = Array.from(pointers.values());
      const k = pinch.d / Math.max(Math.abs(p - q), 10), w = (pinch.b - pinch.a) * k;
      const c = (p + q) / 2, from = pinch.m - (c - T.AL) / (T.AR - T.AL) * w;
      show(from, from + w);
    } else if (drag) {
      const dm = (px - drag.x) / (T.AR - T.AL) * (drag.b - drag.a);
      if (Math.abs(px - drag.x) > 2) drag.moved = true;
      show(drag.a - dm, drag.b - dm);
    }
    tip.hidden = true;
    return;
  }
  if (ev.pointerType !== "mouse") return;
  cursor = px >= T.AL && px <= T.AR ? metreAt(px) : null;
  drawOverlay();
  const it = itemAt(px, py);
  if (it) showTip(details(it), ev.clientX, ev.clientY);
  else if (cursor !== null && py >= T.gT && (py <= T.sB || py >= T.mT && py <= T.mB)) showTip(stretchDetails(cursor, py), ev.clientX, ev.clientY);
  else tip.hidden = true;
});
const endPointer = ev => {
  const wasDrag = drag;
  pointers.delete(ev.pointerId);
  if (pointers.size < 2) pinch = null;
  if (pointers.size === 0) { drag = null; pressedAt = null; trackSvg.classList.remove("dragging"); }
  else if (pointers.size === 1) { const [p] = pointers.values(); drag = { x: p, a, b, moved: true }; }
  // A tap (no drag) on an object shows its details.
  if (ev.type === "pointerup" && wasDrag && !wasDrag.moved && pointers.size === 0) {
    const [px, py] = local(trackSvg, ev), it = itemAt(px, py);
    if (it) { selected = it.index; drawOverlay(); showTip(details(it), ev.clientX, ev.clientY); }
  }
};
trackSvg.addEventListener("pointerup", endPointer);
trackSvg.addEventListener("pointercancel", endPointer);
trackSvg.addEventListener("pointerleave", ev => {
  if (ev.pointerType !== "mouse" || pointers.size) return;
  cursor = null; tip.hidden = true; drawOverlay();
});
trackSvg.addEventListener("wheel", ev => {
  const [px, py] = local(trackSvg, ev);
  if (px < T.AL - 8 || px > T.AR + 8 || py > T.aY + 40) return;
  ev.preventDefault();
  if (ev.shiftKey || Math.abs(ev.deltaX) > Math.abs(ev.deltaY)) pan((ev.deltaX || ev.deltaY) > 0 ? 0.1 : -0.1);
  else zoom(ev.deltaY > 0 ? 1.25 : 0.8, metreAt(px));
}, { passive: false });

// The plan: the pointer's nearest point of the trace is the cursor; the
// wheel zooms the route around it.
function planMetre(ev) {
  if (!PL) return null;
  const [qx, qy] = local(planSvg, ev);
  let best = -1, bestD = 400;
  for (let i = 0; i < P.m.length; ++i) {
    const d = (PL.px[i] - qx) ** 2 + (PL.py[i] - qy) ** 2;
    if (d < bestD) { bestD = d; best = i; }
  }
  return best < 0 ? null : P.m[best];
}
planSvg.addEventListener("pointermove", ev => {
  if (ev.pointerType !== "mouse") return;
  const m = planMetre(ev);
  cursor = m;
  drawOverlay();
  if (m === null) { tip.hidden = true; return; }
  const st = stations.find(s => Math.abs(s.metre - m) <= 60);
  showTip(st ? details({ s: st }) : stretchDetails(m, T.gT), ev.clientX, ev.clientY);
});
planSvg.addEventListener("pointerleave", () => { cursor = null; tip.hidden = true; drawOverlay(); });
planSvg.addEventListener("click", ev => {
  const m = planMetre(ev);
  if (m !== null) show(m - (b - a) / 2, m + (b - a) / 2);
});
planSvg.addEventListener("wheel", ev => {
  const m = planMetre(ev);
  if (m === null) return;
  ev.preventDefault();
  zoom(ev.deltaY > 0 ? 1.25 : 0.8, Math.max(a, Math.min(b, m)));
}, { passive: false });

// The overview: a press or a drag puts the stretch shown there.
let overviewDrag = false;
const overviewTo = ev => { const m = overviewMetre(ev.clientX); show(m - (b - a) / 2, m + (b - a) / 2); };
overviewSvg.addEventListener("pointerdown", ev => {
  overviewDrag = true; overviewSvg.setPointerCapture(ev.pointerId); overviewTo(ev);
});
overviewSvg.addEventListener("pointermove", ev => { if (overviewDrag) overviewTo(ev); });
overviewSvg.addEventListener("pointerup", () => { overviewDrag = false; });
overviewSvg.addEventListener("pointercancel", () => { overviewDrag = false; });

// Keys. On the page: + - 0 Home End zoom, the arrows (or with Shift
// anywhere) move along. With the track focused (Tab), the arrows go from
// object to object (left, right) and from lane to lane (up, down), Enter
// shows the chosen one's details and Escape puts them away.
function choose(i) {
  if (i < 0 || i >= items.length) return;
  selected = i;
  const m = items[i].metre;
  if (m < a || m > b) show(m - (b - a) / 2, m + (b - a) / 2);
  else drawOverlay();
  trackSvg.setAttribute("aria-label", itemLabel(items[i]));
  if (!tip.hidden) tipFor(items[i]);
}
const itemLabel = it => it.s ? "station " + it.s.name + ", km " + it.s.km : it.o.kind + ", km " + it.o.km;
function tipFor(it) {
  requestAnimationFrame(() => {
    const r = trackSvg.getBoundingClientRect(), k = r.width / T.W;
    showTip(details(it), r.left + x(it.metre) * k, r.top + laneY(it.lane) * k);
  });
}
function laneStep(dir) {
  const here = selected >= 0 ? items[selected] : null;
  const li = here ? laneOrder.indexOf(here.lane) : -1;
  const m = here ? here.metre : (a + b) / 2;
  for (let k = li + dir; k >= 0 && k < laneOrder.length; k += dir) {
    const list = lanes[laneOrder[k]];
    if (!list || !list.length) continue;
    const i = lowerBound(list, m, it => it.metre);
    const pick = [i - 1, i].filter(j => j >= 0 && j < list.length)
      .sort((p, q) => Math.abs(list[p].metre - m) - Math.abs(list[q].metre - m))[0];
    return choose(list[pick].index);
  }
}
function setMeasuring(on, keep) {
  measuring = on;
  if (!keep) measure = null;
  $("measure").setAttribute("aria-pressed", String(on));
  trackSvg.classList.toggle("measuring", on);
  drawOverlay();
}
document.addEventListener("keydown", ev => {
  if (ev.target.tagName === "INPUT" || ev.ctrlKey || ev.metaKey || ev.altKey) return;
  const onTrack = document.activeElement === trackSvg && !ev.shiftKey;
  const firstShown = () => lowerBound(items, a, it => it.metre);
  const keys = {
    "+": () => zoom(0.5), "=": () => zoom(0.5), "-": () => zoom(2), "0": fit, "f": fit,
    "Home": () => show(0, b - a), "End": () => show(M - (b - a), M),
    "m": () => setMeasuring(!measuring),
    "Escape": () => { tip.hidden = true; if (measuring || measure) setMeasuring(false); },
    "ArrowLeft": () => onTrack ? choose(selected >= 0 ? selected - 1 : firstShown()) : pan(-0.2),
    "ArrowRight": () => onTrack ? choose(selected >= 0 ? selected + 1 : firstShown()) : pan(0.2),
  };
  if (onTrack) {
    keys.ArrowUp = () => laneStep(-1);
    keys.ArrowDown = () => laneStep(1);
    keys.Enter = () => { if (selected < 0) choose(firstShown()); if (selected >= 0) tipFor(items[selected]); };
    keys[" "] = keys.Enter;
  }
  if (keys[ev.key]) { ev.preventDefault(); keys[ev.key](); }
});
trackSvg.addEventListener("focus", () => { if (selected < 0) choose(lowerBound(items, a, it => it.metre)); });
trackSvg.addEventListener("blur", () => { tip.hidden = true; });
$("fit").addEventListener("click", fit);
$("zoom-in").addEventListener("click", () => zoom(0.5));
$("zoom-out").addEventListener("click", () => zoom(2));
$("measure").addEventListener("click", () => setMeasuring(!measuring));

// Search: a kilometre of the line ("86+550", "-500+000", "86.5"), or a
// station by any part of its name, without case or accents. The same query
// again goes on to the next place that matches.
function goTo(m, what) {
  const width = Math.min(b - a, 5000);
  show(m - width / 2, m + width / 2);
  a = Math.max(0, Math.min(m - width / 2, M - width)); b = a + width;
  status.textContent = what;
  found.metre = m;
}
function flashStation(entry) {
  const r = rows.find(r => r.dataset.station === String(entry));
  if (r) r.scrollIntoView({ block: "nearest" });
}
$("search").addEventListener("submit", ev => {
  ev.preventDefault();
  const input = $("query"), q = input.value.trim();
  if (!q) return;
  if (!found || found.query !== q) {
    const list = [];
    const lm = parseKm(q);
    if (lm !== null) routeMetresOfKm(lm).forEach(m => list.push({ m, what: "km " + mark(lm) + (routeMetresOfKm(lm).length > 1 ? " (route metre " + m + ")" : "") }));
    const f = fold(q);
    stations.filter(s => fold(s.name).includes(f)).forEach(s => list.push({ m: s.metre, what: s.name + ", km " + s.km, entry: s.entry }));
    found = { query: q, list, at: -1 };
  }
  input.blur();  // keys zoom and move again
  if (!found.list.length) { status.textContent = "nothing found for \u201c" + q + "\u201d"; return; }
  found.at = (found.at + 1) % found.list.length;
  const hit = found.list[found.at];
  goTo(hit.m, hit.what + (found.list.length > 1 ? " (" + (found.at + 1) + " of " + found.list.length + ")" : ""));
  if (hit.entry !== undefined) flashStation(hit.entry);
});
rows.forEach(r => {
  r.tabIndex = 0;
  const go = () => {
    const s = stationOfEntry.get(r.dataset.station);
    found = { query: null, list: [], at: 0 };
    goTo(s.metre, s.name + ", km " + s.km);
  };
  r.addEventListener("click", go);
  r.addEventListener("keydown", ev => { if (ev.key === "Enter" || ev.key === " ") { ev.preventDefault(); go(); } });
});

// Export: the stretch shown (the track and the plan side by side) as one
// SVG document or as a PNG picture of it.
function exportSvg() {
  finish();
  const cs = getComputedStyle(document.documentElement);
  const vars = Array.from(document.styleSheets[0].cssRules).map(r => r.cssText)
    .join("\n").match(/--[a-z0-9]+(?=:)/g) || [];
  const own = Array.from(new Set(vars)).map(v => v + ": " + cs.getPropertyValue(v).trim()).join("; ");
  const rules = Array.from(document.styleSheets[0].cssRules).map(r => r.cssText)
    .filter(t => t.startsWith("svg ")).join("\n");
  const pw = PL ? PL.w : 0, ph = PL ? PL.h : 0, w = T.W + pw, h = Math.max(T.H, ph);
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"" + NS + "\" class=\"export\" width=\"" + w +
    "\" height=\"" + h + "\" viewBox=\"0 0 " + w + " " + h + "\" font-family=\"DejaVu Sans, Helvetica, Arial, sans-serif\">\n" +
    "<style>\nsvg.export { " + own + " }\n" + rules + "\n</style>\n" +
    "<title>" + esc(document.title) + ", km " + kmAt(a) + " to " + kmAt(b) + "</title>\n" +
    (PL ? "<svg x=\"0\" y=\"0\" width=\"" + pw + "\" height=\"" + ph + "\">" + planSvg.innerHTML + "</svg>\n" : "") +
    "<svg x=\"" + pw + "\" y=\"0\" width=\"" + T.W + "\" height=\"" + T.H + "\">" + trackSvg.innerHTML + "</svg>\n</svg>\n";
}
function save(blob, name) {
  const link = document.createElement("a");
  link.download = name;
  link.href = URL.createObjectURL(blob);
  document.body.appendChild(link);
  link.click();
  link.remove();
  setTimeout(() => URL.revokeObjectURL(link.href), 1000);
}
const exportName = ext => (data.line + "_" + data.train + "_km_" + kmAt(a) + "_" + kmAt(b)).replace(/[^\w+-]+/g, "_") + "." + ext;
function exportPng(done) {
  const svgText = exportSvg(), img = new Image();
  const url = URL.createObjectURL(new Blob([svgText], { type: "image/svg+xml" }));
  img.onload = () => {
    const c = document.createElement("canvas"), k = 2;
    c.width = img.width * k; c.height = img.height * k;
    const g = c.getContext("2d");
    g.scale(k, k);
    g.drawImage(img, 0, 0);
    URL.revokeObjectURL(url);
    c.toBlob(blob => { save(blob, exportName("png")); if (done) done(blob); }, "image/png");
  };
  img.src = url;
}
$("export-svg").addEventListener("click", () => save(new Blob([exportSvg()], { type: "image/svg+xml" }), exportName("svg")));
$("export-png").addEventListener("click", () => exportPng());

// The drawing follows its panels' sizes, for printing too.
const redraw = () => { labelCache.clear(); T = null; apply(); finish(); };
// (The observer reports the size it first finds too: the drawing has it.)
if (window.ResizeObserver) new ResizeObserver(entries => {
  const r = entries[entries.length - 1].contentRect;
  if (!T || Math.max(Math.round(r.width), 200) !== T.W || Math.max(Math.round(r.height), 300) !== T.H) {
    laidOut = null;  // laid out anew, not moved
    ask();
  }
}).observe(trackSvg);
addEventListener("beforeprint", redraw);
addEventListener("afterprint", redraw);
addEventListener("hashchange", () => { if (!fromHash()) fit(); });

if (!fromHash()) { a = 0; b = M; }
apply();
finish();
// The drawing code runs a few times more, in idle moments after the page is
// drawn, on stretches of other sizes, and throws its markup away: the
// browser compiles the code it runs often, and the first wheel or drag then
// redraws a long line in a fraction of the time (on a 1 000 000 m line,
// 80 ms uncompiled). The markup of each run is built and dropped, and
// nothing shown changes; the track, its labels and the plan are each an
// idle moment's work, so that a wheel coming meanwhile waits for little.
{
  const idle = window.requestIdleCallback || (f => setTimeout(() => f({ timeRemaining: () => 0 }), 50));
  const steps = [];
  for (const [p, q] of [[0, 1], [0.1, 0.9], [0.3, 0.6], [0.4, 0.45], [0.2, 0.8], [0.5, 0.7], [0, 0.8], [0.05, 0.4], [0.6, 0.7]])
    for (const draw of [r => drawTrack(r[0], true), () => labelGroups(), r => drawPlan(r[1], true)]) steps.push([p, q, draw]);
  // As many as an idle moment leaves room for.
  const warm = deadline => {
    if (!steps.length) return;
    if (pending || later.length || panned || drag || pinch) { idle(warm); return; }
    const keep = [a, b], boxes = [trackSvg, planSvg].map(e => e.getBoundingClientRect());
    try {
      do {
        const [p, q, draw] = steps.shift();
        a = M * p; b = M * q;
        draw(boxes);
      } while (steps.length && deadline.timeRemaining() > 15);
    } finally { [a, b] = keep; }
    idle(warm);
  };
  idle(warm);
}
window.scenarioView = { show, fit, zoom, shown: () => [a, b], settled, exportSvg, exportPng,
  layout: () => T, items: () => items.length };
)js";

}  // namespace tool

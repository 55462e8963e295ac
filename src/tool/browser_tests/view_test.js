// Opens the page of `scenario-tool view` and the SVG of `render` in headless
// Chromium at 1600 x 1000 and checks what a person would: the page loads
// with no error and fetches nothing, zooming narrows the kilometres shown,
// dragging and keys move them, hovering shows an object's details and the
// record behind it, the search finds a station and a kilometre, "fit" shows
// the whole line, and nothing of the drawing is cut, scrolled off or
// overlapping. Screenshots land in the work directory.
//
//   node view_test.js SCENARIO_TOOL WORK_DIR
//
// Exits 77 (skipped) when Chromium or puppeteer-core is missing.
"use strict";
const fs = require("fs");
const path = require("path");
const { execFileSync } = require("child_process");

const SKIP = 77;
const [toolArg, workArg] = process.argv.slice(2);
if (!toolArg || !workArg) {
  console.error("usage: node view_test.js SCENARIO_TOOL WORK_DIR");
  process.exit(2);
}
const chromium = process.env.CHROMIUM ||
  ["/usr/bin/chromium", "/usr/bin/chromium-browser"].find(p => fs.existsSync(p));
if (!chromium) {
  console.log("skipped: no chromium");
  process.exit(SKIP);
}
let puppeteer;
try {
  puppeteer = require("puppeteer-core");
} catch (e) {
  console.log("skipped: puppeteer-core is not installed (npm ci in " + __dirname + ")");
  process.exit(SKIP);
}

const tool = path.resolve(toolArg);
const work = path.resolve(workArg);
fs.rmSync(work, { recursive: true, force: true });
fs.mkdirSync(work, { recursive: true });
const run = (...args) => execFileSync(tool, args, { cwd: work, stdio: ["ignore", "pipe", "inherit"] });
run("documents", "--out", ".");
run("compile", "--line", "Borvasco_Lestrano_linea.txt", "--train", "Borvasco_Lestrano_40817-.txt",
    "--out", ".");
run("render", ".", "-o", "line.svg");
run("view", ".", "-o", "line.html", "--line", "Borvasco_Lestrano_linea.txt",
    "--train", "Borvasco_Lestrano_40817-.txt");

let failures = 0;
function check(ok, what) {
  console.log((ok ? "ok   " : "FAIL ") + what);
  if (!ok) failures++;
}

const sleep = ms => new Promise(r => setTimeout(r, ms));

// Every visible text of the document whose box overlaps another's by more
// than a pixel either way, and every one that leaves the window.
async function layoutProblems(page) {
  return page.evaluate(() => {
    const boxes = [];
    for (const t of document.querySelectorAll("svg text")) {
      if (t.closest("[display=none]")) continue;
      const r = t.getBoundingClientRect();
      if (r.width === 0 || r.height === 0) continue;
      boxes.push({ text: t.textContent, r });
    }
    const out = [], cut = [];
    for (const b of boxes)
      if (b.r.left < -0.5 || b.r.top < -0.5 || b.r.right > innerWidth + 0.5 ||
          b.r.bottom > innerHeight + 0.5)
        cut.push(b.text);
    // Glyphs of a text's box are smaller than the box: a pixel of slack.
    for (let i = 0; i < boxes.length; ++i)
      for (let k = i + 1; k < boxes.length; ++k) {
        const a = boxes[i].r, b = boxes[k].r;
        if (Math.min(a.right, b.right) - Math.max(a.left, b.left) > 1.5 &&
            Math.min(a.bottom, b.bottom) - Math.max(a.top, b.top) > 1.5)
          out.push(boxes[i].text + " / " + boxes[k].text);
      }
    return { overlaps: out, cut, count: boxes.length,
      scrolls: document.documentElement.scrollWidth > innerWidth ||
        document.documentElement.scrollHeight > innerHeight };
  });
}

(async () => {
  const browser = await puppeteer.launch({
    executablePath: chromium, headless: true,
    args: ["--no-sandbox", "--disable-gpu", "--allow-file-access-from-files"],
  });
  try {
    const page = await browser.newPage();
    await page.setViewport({ width: 1600, height: 1000 });
    const errors = [], fetched = [];
    page.on("console", m => { if (m.type() === "error") errors.push(m.text()); });
    page.on("pageerror", e => errors.push(String(e)));
    await page.setRequestInterception(true);
    page.on("request", r => {
      if (!r.url().startsWith("file:")) fetched.push(r.url());
      r.url().startsWith("file:") ? r.continue() : r.abort();
    });

    // The page.
    await page.goto("file://" + path.join(work, "line.html"), { waitUntil: "load" });
    await sleep(300);
    check(errors.length === 0, "the page loads with no console error " + JSON.stringify(errors));
    check(fetched.length === 0, "the page fetches nothing " + JSON.stringify(fetched));
    const shown = () => page.evaluate(() => window.scenarioView.shown());
    // Until the stretch asked for is drawn whole: its labels and the plan
    // follow the track by a few frames.
    const drawn = () => page.evaluate(() => window.scenarioView.settled());
    const [a0, b0] = await shown();
    check(a0 === 0 && b0 > 90000, "the whole line is shown at first: " + [a0, b0]);

    await page.screenshot({ path: path.join(work, "view.png") });
    const whole = await page.evaluate(() => {
      const r = document.getElementById("track").getBoundingClientRect();
      const end = Array.from(document.querySelectorAll("#points text"))
        .find(t => t.textContent === "end of route").getBoundingClientRect();
      return { r: [r.left, r.top, r.right, r.bottom], end: [end.left, end.right],
        scrolls: document.documentElement.scrollWidth > innerWidth ||
          document.documentElement.scrollHeight > innerHeight };
    });
    check(!whole.scrolls && whole.r[0] >= 0 && whole.r[2] <= 1600 && whole.r[3] <= 1000,
          "at 1600 x 1000 the whole line fits with no scrollbar " + JSON.stringify(whole));
    check(whole.end[0] > whole.r[0] && whole.end[1] <= whole.r[2] + 60,
          "the end of the route is in sight " + JSON.stringify(whole.end));
    const pageLayout = await layoutProblems(page);
    check(pageLayout.overlaps.length === 0,
          "no two labels of the page overlap " + JSON.stringify(pageLayout.overlaps.slice(0, 8)));

    // Zoom with the wheel over the track.
    const track = await page.$("#track");
    const tb = await track.boundingBox();
    await page.mouse.move(tb.x + tb.width * 0.3, tb.y + tb.height * 0.45);
    await page.mouse.wheel({ deltaY: -400 });
    await sleep(200);
    await drawn();
    const [a1, b1] = await shown();
    check(b1 - a1 < (b0 - a0) * 0.9, "the wheel narrows the kilometres shown: " + [a1, b1]);
    const text1 = await page.$eval("#shown", e => e.textContent);
    check(/km \d+\+\d{3} to \d+\+\d{3}/.test(text1), "the range shown reads in kilometres: " + text1);
    const zoomed = await layoutProblems(page);
    check(zoomed.overlaps.length === 0,
          "zoomed, no two labels overlap " + JSON.stringify(zoomed.overlaps.slice(0, 8)));

    // Drag pans; keys zoom.
    await page.mouse.move(tb.x + tb.width * 0.5, tb.y + tb.height * 0.45);
    await page.mouse.down();
    await page.mouse.move(tb.x + tb.width * 0.3, tb.y + tb.height * 0.45, { steps: 5 });
    await page.mouse.up();
    await sleep(200);
    await drawn();
    const [a2, b2] = await shown();
    check(a2 > a1 && Math.abs((b2 - a2) - (b1 - a1)) < 1, "dragging left moves along the route: " + [a2, b2]);
    await page.keyboard.press("+");
    await sleep(200);
    await drawn();
    const [a3, b3] = await shown();
    check(b3 - a3 < (b2 - a2) * 0.6, "the + key zooms in: " + [a3, b3]);

    // Hover on a signal: its details and its record.
    const signal = await page.evaluate(() => {
      const data = JSON.parse(document.getElementById("data").textContent);
      const [a, b] = window.scenarioView.shown();
      const s = data.objects.find(o => o.kind === "signal" && o.metre > a && o.metre < b);
      return s ? s.cell : null;
    });
    check(signal !== null, "a signal lies in the stretch shown");
    if (signal !== null) {
      const glyph = await page.$(`#points [data-cell="${signal}"] circle`);
      const gb = await glyph.boundingBox();
      await page.mouse.move(gb.x + gb.width / 2, gb.y + gb.height / 2);
      await sleep(100);
      const tip = await page.$eval("#tip", e => ({ hidden: e.hidden, text: e.textContent }));
      check(!tip.hidden && /^signal/.test(tip.text) && /km\d+\+\d{3}/.test(tip.text) &&
            /sx\d/.test(tip.text), "hovering a signal shows its details: " + tip.text);
      check(/Borvasco_Lestrano_40817-\.txt:\d+:1 \(segnale\)/.test(tip.text),
            "and the document and line of its record");
    }

    // An object on a cell where another record laid a mark names its own
    // record, and the mark's below it: a speed board under a signal's mark,
    // a mountain marker under a signal's or a station's.
    const marked = [
      ["speed board", /Borvasco_Lestrano_linea\.txt:\d+:1 \(indicatori_vmax\)/],
      ["mountain marker", /Borvasco_Lestrano_linea\.txt:\d+:1 \(montagna\)/],
    ];
    for (const [kind, own] of marked) {
      const cell = await page.evaluate(kind => {
        const data = JSON.parse(document.getElementById("data").textContent);
        const o = data.objects.find(o => o.kind === kind && o.mark && o.mark_origin);
        if (!o) return null;
        window.scenarioView.show(o.metre - 400, o.metre + 400);
        return o.cell;
      }, kind);
      check(cell !== null, "a " + kind + " carries another record's mark");
      if (cell === null) continue;
      await sleep(200);
      await drawn();
      const glyph = await page.$(`#points [data-cell="${cell}"] *`);
      const gb = glyph && await glyph.boundingBox();
      check(gb !== null, "the marked " + kind + " is drawn");
      if (!gb) continue;
      await page.mouse.move(gb.x + gb.width / 2, gb.y + gb.height / 2);
      await sleep(100);
      const tip = await page.$eval("#tip", e => e.textContent);
      const record = tip.replace(/mark's record.*/, "");
      check(tip.startsWith(kind) && own.test(record) &&
            /mark's record.*Borvasco_Lestrano_40817-\.txt:\d+:1 \((segnale|stazione)\)/.test(tip),
            "hovering the " + kind + " names its own record and the mark's: " + tip);
    }

    // Search: a station, then a kilometre.
    await page.click("#query", { clickCount: 3 });
    await page.type("#query", "san dalmio");
    await page.keyboard.press("Enter");
    await sleep(200);
    await drawn();
    const station = await page.evaluate(() => {
      const data = JSON.parse(document.getElementById("data").textContent);
      return data.stations.find(s => s.name === "SAN DALMIO").metre;
    });
    const [a4, b4] = await shown();
    const status4 = await page.$eval("#status", e => e.textContent);
    check(a4 <= station && station <= b4 && /SAN DALMIO/.test(status4),
          "the search finds a station: " + [a4, b4, station, status4]);
    await page.click("#query", { clickCount: 3 });
    await page.type("#query", "44+450");
    await page.keyboard.press("Enter");
    await sleep(200);
    await drawn();
    const [a5, b5] = await shown();
    // The board "KM 44+450" stands at route metre 44050.
    check(a5 <= 44050 && 44050 <= b5 && b5 - a5 <= 5000, "the search finds a kilometre: " + [a5, b5]);

    await page.click("#fit");
    await sleep(200);
    await drawn();
    const [a6, b6] = await shown();
    check(a6 === a0 && b6 === b0, "fit shows the whole line again");
    await page.screenshot({ path: path.join(work, "view-fit.png") });

    // The SVG alone.
    const svgPage = await browser.newPage();
    await svgPage.setViewport({ width: 1600, height: 1000 });
    const svgErrors = [];
    svgPage.on("pageerror", e => svgErrors.push(String(e)));
    await svgPage.goto("file://" + path.join(work, "line.svg"), { waitUntil: "load" });
    const root = await svgPage.evaluate(() => ({
      tag: document.documentElement.tagName,
      parseErrors: document.getElementsByTagName("parsererror").length,
    }));
    check(root.tag === "svg" && root.parseErrors === 0 && svgErrors.length === 0,
          "the SVG is well-formed " + JSON.stringify(root));
    await svgPage.screenshot({ path: path.join(work, "render.png") });
    const svgLayout = await layoutProblems(svgPage);
    check(!svgLayout.scrolls, "at 1600 x 1000 the SVG needs no scrollbar");
    check(svgLayout.cut.length === 0, "no text of the SVG leaves the window " +
          JSON.stringify(svgLayout.cut.slice(0, 8)));
    check(svgLayout.overlaps.length === 0, "no two labels of the SVG overlap (" + svgLayout.count +
          " texts) " + JSON.stringify(svgLayout.overlaps.slice(0, 8)));

    // The SVG of the synthetic 1 000 000 m package: its hundreds of labels
    // keep apart too.
    const large = path.join(__dirname, "../../../bench/make_large_scenario.py");
    let python = null;
    try { execFileSync("python3", ["--version"]); python = "python3"; } catch (e) { }
    if (python && fs.existsSync(large)) {
      const big = path.join(work, "large");
      fs.mkdirSync(big);
      execFileSync(python, [large, big], { stdio: "ignore" });
      execFileSync(tool, ["compile", "--line", "large_linea.txt", "--train", "large_treno.txt",
        "--out", "."], { cwd: big, stdio: "ignore" });
      execFileSync(tool, ["render", ".", "-o", "large.svg"], { cwd: big });
      await svgPage.goto("file://" + path.join(big, "large.svg"), { waitUntil: "load" });
      await svgPage.screenshot({ path: path.join(work, "render-large.png") });
      const bigLayout = await layoutProblems(svgPage);
      check(!bigLayout.scrolls && bigLayout.cut.length === 0 && bigLayout.overlaps.length === 0,
            "the 1 000 000 m drawing fits and no two of its " + bigLayout.count +
            " texts overlap " + JSON.stringify(bigLayout.overlaps.slice(0, 8)));
    }
  } finally {
    await browser.close();
  }
  console.log(failures ? failures + " check(s) failed" : "all checks passed");
  process.exit(failures ? 1 : 0);
})().catch(e => {
  console.error(e);
  process.exit(1);
});

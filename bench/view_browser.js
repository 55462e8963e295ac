// Load and interaction times of `scenario-tool view`'s page on the dense
// 1 000 000 m package in headless Chromium: the time to a drawn page, and
// for each of a wheel, a drag and a key the time to the next drawn frame and
// the longest task (long tasks are those over 50 ms), from 1 s after the page
// is drawn, and the longest task of each, traced. A report, not a test.
//
//   node bench/view_browser.js [SCENARIO_TOOL]   (default build/release/scenario-tool)
//
// Needs python3, /usr/bin/chromium and `npm ci` in src/tool/browser_tests.
"use strict";
const fs = require("fs"), os = require("os"), path = require("path");
const { execFileSync } = require("child_process");
const puppeteer = require(path.join(__dirname, "../src/tool/browser_tests/node_modules/puppeteer-core"));
const tool = path.resolve(process.argv[2] || path.join(__dirname, "../build/release/scenario-tool"));
const work = fs.mkdtempSync(path.join(os.tmpdir(), "view-bench-"));
execFileSync("python3", [path.join(__dirname, "make_large_scenario.py"), work], { stdio: "ignore" });
execFileSync(tool, ["compile", "--line", "large_linea.txt", "--train", "large_treno.txt", "--out", "."], { cwd: work, stdio: "ignore" });
execFileSync(tool, ["view", ".", "-o", "line.html"], { cwd: work });
(async () => {
  const browser = await puppeteer.launch({ executablePath: "/usr/bin/chromium", headless: true, args: ["--no-sandbox", "--disable-gpu"] });
  const page = await browser.newPage();
  await page.setViewport({ width: 1600, height: 1000 });
  await page.evaluateOnNewDocument(() => {
    window.longTasks = [];
    new PerformanceObserver(l => l.getEntries().forEach(e => window.longTasks.push(e.duration))).observe({ type: "longtask", buffered: true });
  });
  const t0 = Date.now();
  await page.goto("file://" + path.join(work, "line.html"), { waitUntil: "load" });
  await page.evaluate(() => new Promise(r => requestAnimationFrame(() => requestAnimationFrame(r))));
  const load = Date.now() - t0;
  const size = fs.statSync(path.join(work, "line.html")).size;
  console.log("page " + (size / 1048576).toFixed(1) + " MiB, drawn in " + load + " ms, long tasks while loading: " +
    JSON.stringify(await page.evaluate(() => window.longTasks.map(Math.round))));
  // A person's first wheel comes a moment after the page appears: by then
  // the page has compiled its drawing code in idle time.
  await new Promise(r => setTimeout(r, 1000));
  const box = await (await page.$("#track")).boundingBox();
  const cx = box.x + box.width * 0.5, cy = box.y + box.height * 0.4;
  // Each interaction is traced: its longest task on the page's main thread
  // (script, style, layout, paint and commit of one frame), whatever its
  // length; the browser's long tasks are those over 50 ms.
  const timed = async (name, act) => {
    const [from, to] = await page.evaluate(() => window.scenarioView.shown());
    await page.evaluate(() => { window.longTasks = []; });
    await page.tracing.start({ categories: ["toplevel", "__metadata"] });
    const t = await page.evaluate(() => performance.now());
    await act();
    const done = await page.evaluate(() => new Promise(r => requestAnimationFrame(() => requestAnimationFrame(() => r(performance.now())))));
    const whole = await page.evaluate(() => (window.scenarioView.settled ? window.scenarioView.settled() : Promise.resolve())
      .then(() => new Promise(r => requestAnimationFrame(() => requestAnimationFrame(() => r(performance.now()))))));
    const events = JSON.parse((await page.tracing.stop()).toString()).traceEvents;
    const main = new Set(events.filter(e => e.ph === "M" && e.name === "thread_name" && e.args.name === "CrRendererMain").map(e => e.pid + ":" + e.tid));
    const longest = Math.max(0, ...events.filter(e => e.ph === "X" && /RunTask$/.test(e.name) && main.has(e.pid + ":" + e.tid)).map(e => e.dur / 1000));
    const tasks = await page.evaluate(() => window.longTasks.map(Math.round));
    console.log(name.padEnd(8) + ("from " + ((to - from) / 1000).toFixed(0) + " km").padStart(12) +
      (done - t).toFixed(0).padStart(5) + " ms to a drawn frame," + (whole - t).toFixed(0).padStart(5) + " ms drawn whole, longest task" +
      longest.toFixed(0).padStart(4) + " ms, long tasks " + JSON.stringify(tasks));
  };
  await page.mouse.move(cx, cy);
  for (let i = 0; i < 3; ++i) {
    await timed("wheel", () => page.mouse.wheel({ deltaY: -300 }));
    await timed("drag", async () => { await page.mouse.down(); await page.mouse.move(cx - 200, cy, { steps: 4 }); await page.mouse.up(); await page.mouse.move(cx, cy); });
    await timed("key +", () => page.keyboard.press("+"));
  }
  await timed("key 0", () => page.keyboard.press("0"));
  await browser.close();
  fs.rmSync(work, { recursive: true, force: true });
})().catch(e => { console.error(e); process.exit(1); });

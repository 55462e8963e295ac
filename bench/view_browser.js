// Load and interaction times of `scenario-tool view`'s page on the dense
// 1 000 000 m package in headless Chromium: the time to a drawn page, and
// for each of a wheel, a drag and a key the time to the next drawn frame and
// the longest task (long tasks are those over 50 ms), from 1 s after the page
// is drawn. A report, not a test.
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
  const timed = async (name, act) => {
    await page.evaluate(() => { window.longTasks = []; });
    const t = await page.evaluate(() => performance.now());
    await act();
    const done = await page.evaluate(() => new Promise(r => requestAnimationFrame(() => requestAnimationFrame(() => r(performance.now())))));
    const tasks = await page.evaluate(() => window.longTasks.map(Math.round));
    console.log(name.padEnd(8) + (done - t).toFixed(0).padStart(5) + " ms to a drawn frame, long tasks " + JSON.stringify(tasks));
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

// The player's page in Chromium as the tests open it, and the steps of the scenarios in
// tests/data/player: one step a line, its words split by tabs.
import assert from "node:assert/strict";
import fs from "node:fs";
import path from "node:path";
import { pathToFileURL } from "node:url";

const shots = process.env.TAVRIN_PLAYER_SHOTS;

// Opens an export's page; records console errors, page errors and any request that is not
// for a file of the CD. Each page in a context of its own: what one test keeps in storage
// another does not see.
export async function open(browser, folder, viewport = { width: 1280, height: 800 }, query = "", setup = null) {
  const context = await browser.createBrowserContext();
  const page = await context.newPage();
  page.on("close", () => context.close().catch(() => {}));
  if (setup) await page.evaluateOnNewDocument(setup);
  await page.setViewport(viewport);
  const problems = [];
  page.on("console", (m) => { if (m.type() === "error") problems.push("console: " + m.text()); });
  page.on("pageerror", (e) => problems.push("page: " + e.message));
  page.on("request", (r) => { if (!r.url().startsWith("file:") && !r.url().startsWith("data:")) problems.push("network: " + r.url()); });
  page.on("requestfailed", (r) => problems.push("failed: " + r.url()));
  await page.goto(pathToFileURL(path.join(folder, "index.html")).href + query, { waitUntil: "load" });
  return { page, problems };
}

export async function shot(page, name) {
  if (!shots) return;
  fs.mkdirSync(shots, { recursive: true });
  await page.screenshot({ path: path.join(shots, name + ".png") });
}

export const texts = (page, selector) => page.$$eval(selector, (nodes) => nodes.map((n) => n.textContent.trim()));

// Every text node of the page that holds an Arabic yeh, alef maksura or kaf.
export const arabicLetters = (page) => page.evaluate(() => {
  const found = [];
  const walker = document.createTreeWalker(document.body, NodeFilter.SHOW_TEXT);
  for (let n = walker.nextNode(); n; n = walker.nextNode()) {
    if (/[\u064A\u0643\u0649]/.test(n.nodeValue)) found.push(n.nodeValue);
  }
  if (/[\u064A\u0643\u0649]/.test(document.title)) found.push(document.title);
  return found;
});

// The focused element, by its id or else its class.
const focused = (page) => page.evaluate(() => document.activeElement.id || document.activeElement.className);

// The player's clock, kept in the session's storage so that it outlives a reload and moved
// by the steps instead of waited for.
function testClock() {
  window.TAVRIN_CLOCK = () => Number(sessionStorage.getItem("now") || 1000000);
}

// What a step reads of the first element a selector finds.
const read = (page, selector, kind, name) => page.$eval(selector, (e, k, n) => String({
  "has-class": () => e.classList.contains(n), attr: () => e.getAttribute(n),
  prop: () => e[n], style: () => getComputedStyle(e)[n] }[k]()), kind, name);

// A wait for a condition on the page, with its arguments.
const until = (page, condition, ...args) => page.waitForFunction(condition, { timeout: 5000 }, ...args);

// The verbs, each given the scenario's state `s` (page, remembered text, where in the file)
// and its words.
const verbs = {
  click: (s, a) => s.page.click(a),
  key: (s, a) => s.page.keyboard.press(a),
  focus: (s, a) => s.page.focus(a),
  reload: (s) => s.page.reload({ waitUntil: "load" }),
  wait: (s, a) => s.page.waitForSelector(a, { timeout: 5000 }),
  shot: (s, a) => shot(s.page, a),
  advance: (s, a) => s.page.evaluate((ms) => sessionStorage.setItem("now",
    String(Number(sessionStorage.getItem("now") || 1000000) + ms)), +a),
  "pointer-down": (s) => s.page.evaluate(() =>
    document.body.dispatchEvent(new PointerEvent("pointerdown", { bubbles: true }))),
  text: async (s, a, b) => assert.equal((await texts(s.page, a))[0], b, s.where),
  "text-starts": async (s, a, b) => assert.ok(((await texts(s.page, a))[0] || "").startsWith(b), s.where),
  texts: async (s, a, ...all) => assert.deepEqual(await texts(s.page, a), all, s.where),
  "any-has": async (s, a, b) => assert.ok((await texts(s.page, a)).some((t) => t.includes(b)), s.where),
  "wait-text": (s, a, b) => until(s.page, (q, t) => document.querySelector(q)?.textContent.trim() === t, a, b),
  "wait-match": (s, a, b) => until(s.page, (q, t) => new RegExp(t).test(document.querySelector(q)?.textContent), a, b),
  remember: async (s, a) => { s.remembered = (await texts(s.page, a))[0]; },
  same: async (s, a) => assert.equal((await texts(s.page, a))[0], s.remembered, s.where),
  count: async (s, a, b) => assert.equal(await s.page.$$eval(a, (n) => n.length), +b, s.where),
  absent: async (s, a) => assert.equal(await s.page.$(a), null, s.where),
  "has-class": async (s, a, b) => assert.equal(await read(s.page, a, "has-class", b), "true", s.where),
  attr: async (s, a, b, c) => assert.equal(await read(s.page, a, "attr", b), c, s.where),
  prop: async (s, a, b, c) => assert.equal(await read(s.page, a, "prop", b), c, s.where),
  style: async (s, a, b, c) => assert.equal(await read(s.page, a, "style", b), c, s.where),
  focused: async (s, a) => assert.equal(await focused(s.page), a, s.where),
  "tab-to": async (s, a) => {
    for (let i = 0; i < 20 && (await focused(s.page)) !== a; i++) await s.page.keyboard.press("Tab");
    assert.equal(await focused(s.page), a, s.where);
  },
  "focus-outlined": async (s) => assert.notEqual(await s.page.evaluate(() =>
    getComputedStyle(document.activeElement).outlineStyle), "none", s.where),
  // A picture's file, once it has loaded.
  picture: async (s, a, b) => {
    const src = await until(s.page, (q) => {
      const img = document.querySelector(q);
      return img && img.complete && img.naturalWidth > 0 ? img.src : null;
    }, a);
    assert.match(await src.jsonValue(), new RegExp(b), s.where);
  },
  font: async (s, a) => assert.ok(await s.page.evaluate(async (f) => {
    await document.fonts.ready;
    return document.fonts.check(f);
  }, a), s.where),
  fits: async (s) => assert.ok(await s.page.evaluate(() =>
    document.documentElement.scrollWidth <= window.innerWidth), "nothing wider than the screen: " + s.where),
  "no-arabic-letters": async (s) => assert.deepEqual(await arabicLetters(s.page), [], s.where),
  "data-title-has": async (s, a, b) => assert.match(await s.page.evaluate((k) =>
    TAVRIN_DATA.lessons[k].title, +a), new RegExp(b), s.where),
};

// Runs one scenario file: `open EXPORT [QUERY] [WIDTHxHEIGHT] [clock]` opens a page, then
// its steps. Nothing may have gone wrong on a page by the time it is left.
export async function runSteps(browser, exports, file) {
  const lines = fs.readFileSync(file, "utf8").split("\n").map((l) => l.replace(/\r$/, ""))
    .filter((l) => l && !l.startsWith("#"));
  const s = { page: null, problems: [], remembered: null, where: "" };
  const close = async () => {
    if (!s.page) return;
    assert.deepEqual(s.problems, [], s.where);
    await s.page.close();
  };
  for (const [n, line] of lines.entries()) {
    const [verb, ...words] = line.split("\t");
    s.where = `${path.basename(file)} step ${n + 1}: ${line}`;
    if (verb === "open") {
      await close();
      const size = words.find((w) => /^\d+x\d+$/.test(w))?.split("x");
      ({ page: s.page, problems: s.problems } = await open(browser, exports[+words[0]],
        size ? { width: +size[0], height: +size[1] } : undefined, words.find((w) => w.startsWith("?")) || "",
        words.includes("clock") ? testClock : null));
    } else if (verbs[verb]) await verbs[verb](s, ...words);
    else throw new Error("unknown step: " + s.where);
  }
  await close();
}

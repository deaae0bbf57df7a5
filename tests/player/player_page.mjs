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

// A stored text and the text a student reads compared letter for letter, whichever yeh, kaf
// and digits each uses.
export const same = (t) => String(t).replace(/[\u064A\u0649]/g, "\u06CC").replace(/\u0643/g, "\u06A9")
  .replace(/[۰-۹]/g, (d) => String("۰۱۲۳۴۵۶۷۸۹".indexOf(d))).replace(/[\u200C\u200F]/g, "")
  .replace(/\s+/g, " ").trim();

// The shown answer (1 first) that is right, or one that is wrong, for the question on the page
// (or in the platform's frame): found by its text in the data the player read.
export async function answerFor(page, right) {
  if (!(await page.$(".answer"))) return 0; // nothing to answer
  const text = await page.$eval("#question", (q) => q.textContent);
  const questions = await page.evaluate(() => TAVRIN_DATA.lessons.flatMap((l) => l.questions));
  const q = questions.find((d) => same(d.text) === same(text));
  const rightText = same(q.answers[q.correct - 1].replace(/\{\d+\}\s*/g, ""));
  const shown = (await texts(page, ".answer .text")).map(same);
  if (!shown.length) return 0; // nothing to answer
  const at = shown.findIndex((t) => t === rightText);
  return (right ? at : (at + 1) % shown.length) + 1;
}

// axe-core's WCAG 2.1 A and AA rules on the page as it stands: the violations, by rule.
const axeSource = fs.readFileSync(path.join(path.dirname(new URL(import.meta.url).pathname),
  "node_modules", "axe-core", "axe.min.js"), "utf8");
export async function axe(page) {
  if (!(await page.evaluate(() => typeof window.axe === "object"))) await page.evaluate(axeSource);
  // No preload: on a page read from disk axe may not fetch the style sheets itself.
  const result = await page.evaluate(() => window.axe.run(document, {
    preload: false,
    runOnly: { type: "tag", values: ["wcag2a", "wcag2aa", "wcag21a", "wcag21aa"] } }));
  return result.violations.map((v) => v.id + ": " + v.nodes.map((n) => n.target.join(" ")).join(", "));
}

// The questions and answers an exam shows, next after next to its end.
async function walked(page) {
  const seen = [];
  for (let i = 0; i < 300; i++) { // an exam whose "next" never ends stops the test, not the suite
    seen.push([(await texts(page, ".question"))[0], ...(await texts(page, ".answer .text"))]);
    if (await page.$eval("#next", (b) => b.disabled)) return seen;
    await page.click("#next");
  }
  throw new Error("the exam never reached its last question");
}

// The player's clock, kept in the session's storage so that it outlives a reload and moved
// by the steps instead of waited for.
function testClock() {
  window.TAVRIN_CLOCK = () => Number(sessionStorage.getItem("now") || 1000000);
}

// What a step reads of the first element a selector finds.
const read = (page, selector, kind, name) => page.$eval(selector, (e, k, n) => String({
  "has-class": () => e.classList.contains(n), attr: () => e.getAttribute(n),
  prop: () => e[n], style: () => getComputedStyle(e)[n] }[k]()), kind, name);

// Ends a running exam by its button, saying yes when it asks about questions left unanswered.
export async function endExam(page) {
  await page.$eval("#finish", (b) => b.click());
  const shown = await page.waitForSelector("#result-title, dialog.ask[open]");
  if (await shown.evaluate((e) => e.matches("dialog"))) await page.$eval("#end-exam", (b) => b.click());
  await page.waitForSelector("#result-title");
}

// Where an element's left edge stands on the page, in whole pixels: a button keeps its
// place whatever its text's width.
const place = (page, selector) => page.$eval(selector, (e) => Math.round(e.getBoundingClientRect().left));

// A wait for a condition on the page, with its arguments.
const until = (page, condition, ...args) => page.waitForFunction(condition, { timeout: 5000 }, ...args);

// A click once the element is shown, still and enabled: a view that is still being put in
// place (a transition, a slow machine) has nodes without a box yet.
const clickable = (page, selector) => page.locator(selector).setTimeout(5000).click();

// The verbs, each given the scenario's state `s` (page, remembered text, where in the file)
// and its words.
const verbs = {
  click: (s, a) => clickable(s.page, a),
  key: (s, a) => s.page.keyboard.press(a),
  focus: (s, a) => s.page.focus(a),
  reload: (s) => s.page.reload({ waitUntil: "load" }),
  wait: (s, a) => s.page.waitForSelector(a, { timeout: 5000 }),
  shot: (s, a) => shot(s.owner || s.page, a),
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
  // Where an element stands across the page, to find it again in another view.
  "remember-place": async (s, a) => { s.place = await place(s.page, a); },
  "same-place": async (s, a) => assert.deepEqual(await place(s.page, a), s.place, s.where),
  same: async (s, a) => assert.equal((await texts(s.page, a))[0], s.remembered, s.where),
  count: async (s, a, b) => assert.equal(await s.page.$$eval(a, (n) => n.length), +b, s.where),
  absent: async (s, a) => assert.equal(await s.page.$(a), null, s.where),
  "has-class": async (s, a, b) => assert.equal(await read(s.page, a, "has-class", b), "true", s.where),
  attr: async (s, a, b, c) => assert.equal(await read(s.page, a, "attr", b), c, s.where),
  prop: async (s, a, b, c) => assert.equal(await read(s.page, a, "prop", b), c, s.where),
  style: async (s, a, b, c) => assert.equal(await read(s.page, a, "style", b), c, s.where),
  answer: async (s, a) => clickable(s.page, `.answer[data-answer="${await answerFor(s.page, a === "right")}"]`),
  // The first question's answers are not in the data's order.
  "answers-shuffled": async (s) => {
    const text = (await texts(s.page, ".question"))[0];
    const q = (await s.page.evaluate(() => TAVRIN_DATA.lessons[0].questions)).find((d) => same(d.text) === same(text));
    assert.notDeepEqual((await texts(s.page, ".answer .text")).map(same), q.answers.map((x) => same(x.replace(/\{\d+\}\s*/, ""))), s.where);
  },
  walk: async (s, a) => { s.walks[a] = await walked(s.page); },
  "walks-same": async (s, a, b) => assert.deepEqual(s.walks[a], s.walks[b], s.where),
  "walks-differ": async (s, a, b) => assert.notDeepEqual(s.walks[a], s.walks[b], s.where),
  "walk-length": async (s, a, b) => assert.equal(s.walks[a].length, +b, s.where),
  "count-at-least": async (s, a, b) => assert.ok(await s.page.$$eval(a, (n) => n.length) >= +b, s.where),
  axe: async (s, ...what) => assert.deepEqual(await axe(s.page), [], s.where),
  "text-size": (s, a) => s.page.evaluate((size) => {
    document.documentElement.style.fontSize = size;
    document.body.style.fontSize = size;
  }, a),
  // Every button inside the screen and large enough to touch.
  "buttons-fit": async (s) => assert.deepEqual(await s.page.$$eval("button", (buttons) => buttons.filter((b) => {
    const r = b.getBoundingClientRect();
    return r.width > 0 && (r.left < -1 || r.right > window.innerWidth + 1 || r.width < 24 || r.height < 24);
  }).map((b) => b.id || b.className)), [], s.where),
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

// `open EXPORT [QUERY] [WIDTHxHEIGHT] [clock] [dark] [reduced-motion]`: an export's page.
export const openVerb = (browser, exports) => async (s, ...words) => {
  await s.leave();
  const size = words.find((w) => /^\d+x\d+$/.test(w))?.split("x");
  ({ page: s.page, problems: s.problems } = await open(browser, exports[+words[0]],
    size ? { width: +size[0], height: +size[1] } : undefined, words.find((w) => w.startsWith("?")) || "",
    words.includes("clock") ? testClock : null));
  const media = { dark: ["prefers-color-scheme", "dark"], "reduced-motion": ["prefers-reduced-motion", "reduce"] };
  const features = words.filter((w) => media[w]).map((w) => ({ name: media[w][0], value: media[w][1] }));
  if (features.length) await s.page.emulateMediaFeatures(features);
};

// Runs one scenario file, its verbs these and the caller's own (an "open" among them). The
// page a step works is s.page (a frame, when s.owner is the page holding it). Nothing may
// have gone wrong on a page by the time it is left.
export async function runSteps(file, own) {
  const lines = fs.readFileSync(file, "utf8").split("\n").map((l) => l.replace(/\r$/, ""))
    .filter((l) => l && !l.startsWith("#"));
  const s = { page: null, owner: null, problems: [], remembered: null, walks: {}, where: "" };
  s.leave = async () => {
    if (!s.page) return;
    assert.deepEqual(s.problems, [], s.where);
    await (s.owner || s.page).close();
    s.page = s.owner = null;
  };
  const all = { ...verbs, ...own };
  for (const [n, line] of lines.entries()) {
    const [verb, ...words] = line.split("\t");
    s.where = `${path.basename(file)} step ${n + 1}: ${line}`;
    if (!all[verb]) throw new Error("unknown step: " + s.where);
    await all[verb](s, ...words);
  }
  await s.leave();
}

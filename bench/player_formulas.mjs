// A lesson of formulas opening in Debian's Chromium: 100 questions holding 500 formulas (one in
// each question and each of its four answers), from the page's load to its first question
// shown with its formulas drawn and their fonts in (what the student waits for). Peer, in
// the same run and interleaved with it: the same lesson with each formula's TeX as plain
// text. Each run checks its work: the formulas drawn (none broken) or none at all.
//   node bench/player_formulas.mjs   (5 interleaved pairs; TAVRIN_BENCH_ROUNDS to change)
import { createRequire } from "node:module";
import fs from "node:fs";
import os from "node:os";
import path from "node:path";
import { fileURLToPath, pathToFileURL } from "node:url";

const here = path.dirname(fileURLToPath(import.meta.url));
const require = createRequire(path.join(here, "../tests/player/package.json"));
const puppeteer = require("puppeteer-core");
const rounds = Number(process.env.TAVRIN_BENCH_ROUNDS || 5);
const questionsCount = 100;

const tex = (i, k) => [`x^{${i}} + \\frac{${k}}{${i + 1}}`, `\\sqrt{${i}} \\le ${k}`,
  `\\sum_{n=1}^{${i}} n^${k}`, `\\vec{F}_{${i}} = m\\vec{a}`, `\\int_0^{${k}} t\\,dt`][k];

// A CD folder holding the shipped player and the lesson, its formulas delimited or not.
function cdOf(formulas) {
  const folder = fs.mkdtempSync(path.join(os.tmpdir(), "tavrin-formulas-"));
  fs.cpSync(process.env.TAVRIN_PLAYER_DIR || path.join(here, "../resources/player"), folder, { recursive: true });
  fs.mkdirSync(path.join(folder, "Data"));
  const f = (i, k) => (formulas ? "\\(" + tex(i, k) + "\\)" : tex(i, k));
  const questions = Array.from({ length: questionsCount }, (_, i) => ({
    n: i + 1, text: "پرسش " + (i + 1) + ": مقدار " + f(i, 0) + " کدام است؟",
    answers: [1, 2, 3, 4].map((k) => "گزینه " + f(i, k)),
    correct: 1 + (i % 4), explanation: "", images: {}, attach: null, sound: null, film: null, back: null,
  }));
  const data = {
    lessons: [{ id: "0-1", title: "درس", questions }],
    media: { back: null, music: [] },
    settings: { template: 1, print: false, music: false, exam: { on: false, minutes: 0, count: 0 } },
  };
  fs.writeFileSync(path.join(folder, "Data/quizdata.js"), "var TAVRIN_DATA = " + JSON.stringify(data) + ";\n");
  return folder;
}

const median = (xs) => {
  const s = [...xs].sort((a, b) => a - b);
  return s.length % 2 ? s[(s.length - 1) / 2] : (s[s.length / 2 - 1] + s[s.length / 2]) / 2;
};

const browser = await puppeteer.launch({ executablePath: "/usr/bin/chromium", headless: true, args: ["--no-sandbox"] });
const folders = { formulas: cdOf(true), plain: cdOf(false) };
// Milliseconds from the navigation's start to the page loaded, and from the click on the
// lesson to its first question laid out with its fonts (the two added: what is waited for).
async function open(kind, pause) {
  const context = await browser.createBrowserContext();
  const page = await context.newPage();
  await page.setViewport({ width: 1280, height: 800 });
  const errors = [];
  page.on("pageerror", (e) => errors.push(e.message));
  await page.goto(pathToFileURL(path.join(folders[kind], "index.html")).href, { waitUntil: "load" });
  if (pause) await new Promise((r) => setTimeout(r, pause));
  const result = await page.evaluate(() => new Promise((done) => {
    const loaded = performance.getEntriesByType("navigation")[0].loadEventEnd;
    const start = performance.now();
    document.querySelector("button.lesson[data-lesson='0']").click();
    document.fonts.ready.then(() => {
      void document.body.offsetHeight;
      requestAnimationFrame(() => setTimeout(() => done({
        ms: loaded + performance.now() - start, load: loaded, open: performance.now() - start,
        drawn: document.querySelectorAll("#view .formula .katex").length,
        broken: document.querySelectorAll("#view .formula.broken").length,
        answers: document.querySelectorAll("#view .answer").length,
      }), 0));
    });
  }));
  await context.close();
  const expected = kind === "formulas" ? 5 : 0;
  if (result.drawn !== expected || result.broken || result.answers !== 4 || errors.length)
    throw new Error(`${kind}: ${result.drawn} formulas drawn, ${result.broken} broken, ${result.answers} answers; ${errors.join("; ")}`);
  return result;
}

await open("formulas", 0); // a first run warms the browser for both
// The lesson clicked as soon as the page has loaded, and after a student's moment on the list
// (1.5 s, when the page has drawn a first formula and loaded its fonts while idle).
const rows = [];
for (const pause of [0, 1500]) {
  const pairs = [];
  for (let round = 0; round < rounds; round++) {
    const withFormulas = await open("formulas", pause);
    const plain = await open("plain", pause);
    pairs.push({ withFormulas, plain, ratio: withFormulas.ms / plain.ms });
  }
  const m = (kind, key) => +median(pairs.map((p) => p[kind][key])).toFixed(1);
  rows.push({ clicked: pause ? "after 1.5 s" : "at once", formulas_ms: m("withFormulas", "ms"), plain_ms: m("plain", "ms"),
    ratio: +median(pairs.map((p) => p.ratio)).toFixed(2),
    formulas_load_ms: m("withFormulas", "load"), plain_load_ms: m("plain", "load"),
    formulas_open_ms: m("withFormulas", "open"), plain_open_ms: m("plain", "open") });
}
await browser.close();
for (const folder of Object.values(folders)) fs.rmSync(folder, { recursive: true, force: true });
console.log(`A lesson of ${questionsCount} questions and ${questionsCount * 5} formulas opening, Chromium headless: ms from the navigation to the page loaded, then from the click on the lesson to its first question drawn with its fonts; medians of ${rounds} interleaved pairs`);
console.table(rows);

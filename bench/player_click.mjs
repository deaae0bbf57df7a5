// The exam's click in Debian's Chromium: a lesson of N questions taken as an exam, each click
// (an answer, then the next question) timed from the click to the frame that shows it, as the
// student waits. Peer, in the same page and the same rounds: a bare swap of a question's text
// and its four answers, timed the same way. Every round checks that the clicks did their work:
// the answers marked in the map, and after a reload the same answers kept.
//   node bench/player_click.mjs [N ...]        (default: 257 20000; 5 rounds of 40 clicks)
import { createRequire } from "node:module";
import fs from "node:fs";
import os from "node:os";
import path from "node:path";
import { fileURLToPath, pathToFileURL } from "node:url";

const here = path.dirname(fileURLToPath(import.meta.url));
const require = createRequire(path.join(here, "../tests/player/package.json"));
const puppeteer = require("puppeteer-core");
const sizes = process.argv.slice(2).map(Number).filter((n) => n > 0);
const rounds = Number(process.env.TAVRIN_BENCH_ROUNDS || 5);
const clicks = Number(process.env.TAVRIN_BENCH_CLICKS || 40);

// A CD folder holding the shipped player and one lesson of n questions of four answers.
function cdOf(n) {
  const folder = fs.mkdtempSync(path.join(os.tmpdir(), "tavrin-click-"));
  const player = process.env.TAVRIN_PLAYER_DIR || path.join(here, "../resources/player");
  fs.cpSync(player, folder, { recursive: true });
  fs.mkdirSync(path.join(folder, "Data"));
  const questions = Array.from({ length: n }, (_, i) => ({
    n: i + 1, text: "پرسش شماره " + (i + 1) + " دربارهٔ درس؟", answers: ["یک", "دو", "سه", "چهار"],
    correct: 1 + (i % 4), explanation: "", images: {}, attach: null, sound: null, film: null, back: null,
  }));
  const data = {
    lessons: [{ id: "0-1", title: "درس", questions }],
    media: { back: null, music: [] },
    settings: { template: 1, print: false, music: false, exam: { on: true, minutes: 0, count: 0 } },
  };
  fs.writeFileSync(path.join(folder, "Data/quizdata.js"), "var TAVRIN_DATA = " + JSON.stringify(data) + ";\n");
  return folder;
}

// Milliseconds from a click to the page laid out after it (its handler, style and layout:
// the work that grows with the page; painting covers one screen whatever the size), and to
// the next frame (Chromium's frame pacing included).
const clickToFrame = (selector) => new Promise((done) => {
  const start = performance.now();
  document.querySelector(selector).click();
  void document.body.offsetHeight;
  const laidOut = performance.now() - start;
  requestAnimationFrame(() => setTimeout(() => done([laidOut, performance.now() - start]), 0));
});

// The peer: the shown question's text and answers replaced by new ones, nothing else.
const swapToFrame = (round) => new Promise((done) => {
  const start = performance.now();
  const question = document.getElementById("question");
  question.textContent = "پرسش دیگر " + round;
  const list = document.querySelector(".answers");
  list.replaceChildren(...["یک", "دو", "سه", "چهار"].map((a, k) => {
    const li = document.createElement("li");
    const b = document.createElement("button");
    b.className = "answer";
    b.textContent = a + " " + round + k;
    li.append(b);
    return li;
  }));
  void document.body.offsetHeight;
  const laidOut = performance.now() - start;
  requestAnimationFrame(() => setTimeout(() => done([laidOut, performance.now() - start]), 0));
});

const median = (xs) => {
  const s = [...xs].sort((a, b) => a - b);
  return s.length % 2 ? s[(s.length - 1) / 2] : (s[s.length / 2 - 1] + s[s.length / 2]) / 2;
};

const browser = await puppeteer.launch({ executablePath: "/usr/bin/chromium", headless: true, args: ["--no-sandbox", "--disable-frame-rate-limit", "--disable-gpu-vsync"] });
const rows = [];
for (const n of sizes.length ? sizes : [257, 20000]) {
  const folder = cdOf(n);
  const answer = [], move = [], peer = [];
  for (let round = 0; round < rounds; round++) {
    const context = await browser.createBrowserContext();
    const page = await context.newPage();
    await page.setViewport({ width: 1280, height: 800 });
    const errors = [];
    page.on("pageerror", (e) => errors.push(e.message));
    await page.goto(pathToFileURL(path.join(folder, "index.html")).href + "?seed=" + (round + 1), { waitUntil: "load" });
    await page.click('.exam[data-lesson="0"]');
    await page.waitForSelector(".jumps");
    // Answers kept 256 to a piece: the clicks cross from one piece to the next.
    if (n > 300) await page.evaluate(() => document.querySelectorAll(".jump")[240].click());
    for (let c = 0; c < clicks; c++) {
      answer.push(await page.evaluate(clickToFrame, `.answer[data-answer="${1 + (c % 4)}"]`));
      move.push(await page.evaluate(clickToFrame, "#next"));
      peer.push(await page.evaluate(swapToFrame, c));
      // The peer's swap is undone by the real page before the next click.
      await page.evaluate(clickToFrame, "#prev");
      await page.evaluate(clickToFrame, "#next");
    }
    const marked = await page.$$eval(".jump.answered", (j) => j.length);
    await page.reload({ waitUntil: "load" });
    await page.waitForSelector(".jumps");
    const kept = await page.$$eval(".jump.answered", (j) => j.length);
    const total = await page.$$eval(".jump", (j) => j.length);
    if (marked !== clicks || kept !== clicks || total !== n || errors.length) {
      throw new Error(`round ${round} at ${n}: ${marked} marked, ${kept} kept after a reload, ${total} in the map; ${errors.join("; ")}`);
    }
    await context.close();
  }
  fs.rmSync(folder, { recursive: true, force: true });
  const first = (xs) => xs.map((x) => x[0]), second = (xs) => xs.map((x) => x[1]);
  rows.push({ questions: n, answer_ms: median(first(answer)), next_ms: median(first(move)), peer_swap_ms: median(first(peer)),
              answer_frame_ms: median(second(answer)), next_frame_ms: median(second(move)), peer_frame_ms: median(second(peer)),
              clicks: answer.length + move.length });
}
await browser.close();
console.log(`Exam clicks, Chromium headless, wall time to the page laid out (*_ms) and to the next frame (*_frame_ms), medians of ${rounds} rounds of ${clicks} answer and ${clicks} next clicks`);
console.table(rows.map((r) => Object.fromEntries(Object.entries(r).map(([k, v]) => [k, typeof v === "number" && !Number.isInteger(v) ? +v.toFixed(2) : v]))));

// The CD player in Debian's Chromium, over two exports the tool made (make_exports.cpp):
// the first with template 1, music and printing; the second with template 2 and neither.
// TAVRIN_PLAYER_SHOTS names a folder to keep screenshots in.
import { after, before, describe, test } from "node:test";
import assert from "node:assert/strict";
import fs from "node:fs";
import path from "node:path";
import { pathToFileURL } from "node:url";
import puppeteer from "puppeteer-core";

const fixture = process.env.TAVRIN_PLAYER_FIXTURE;
const shots = process.env.TAVRIN_PLAYER_SHOTS;
const exports = fs.readdirSync(path.join(fixture, "out")).sort().map((name) => path.join(fixture, "out", name));
const chromium = ["/usr/bin/chromium", "/usr/bin/chromium-browser"].find((p) => fs.existsSync(p));

let browser;

// Opens an export's page; records console errors, page errors and any request that is not
// for a file of the CD.
async function open(folder, viewport = { width: 1280, height: 800 }) {
  const page = await browser.newPage();
  await page.setViewport(viewport);
  const problems = [];
  page.on("console", (m) => { if (m.type() === "error") problems.push("console: " + m.text()); });
  page.on("pageerror", (e) => problems.push("page: " + e.message));
  page.on("request", (r) => { if (!r.url().startsWith("file:") && !r.url().startsWith("data:")) problems.push("network: " + r.url()); });
  page.on("requestfailed", (r) => problems.push("failed: " + r.url()));
  await page.goto(pathToFileURL(path.join(folder, "index.html")).href, { waitUntil: "load" });
  return { page, problems };
}

async function shot(page, name) {
  if (!shots) return;
  fs.mkdirSync(shots, { recursive: true });
  await page.screenshot({ path: path.join(shots, name + ".png") });
}

const texts = (page, selector) => page.$$eval(selector, (nodes) => nodes.map((n) => n.textContent.trim()));

before(async () => {
  assert.ok(chromium, "Debian's chromium is needed");
  browser = await puppeteer.launch({ executablePath: chromium, headless: true, args: ["--no-sandbox"] });
});
after(async () => { if (browser) await browser.close(); });

describe("the first export: template 1, music and printing", () => {
  test("lists the lessons in the index's order, right to left, offline and without errors", async () => {
    const { page, problems } = await open(exports[0]);
    assert.deepEqual((await texts(page, ".lesson .title")), ["علوم: حالت‌هاي ماده", "جغرافيا: ايران"]);
    assert.equal(await page.$eval("html", (h) => getComputedStyle(h).direction), "rtl");
    assert.ok(await page.$eval("body", (b) => b.classList.contains("theme-1")));
    assert.equal(await page.$eval("#print", (b) => b.hidden), false);
    assert.equal(await page.$eval("#mute", (b) => b.hidden), false);
    const font = await page.evaluate(async () => { await document.fonts.ready; return document.fonts.check("16px Vazirmatn"); });
    assert.ok(font, "Vazirmatn is loaded from the CD");
    await shot(page, "lessons");
    assert.deepEqual(problems, []);
    await page.close();
  });

  test("answering right and wrong, the explanation, images and the score", async () => {
    const { page, problems } = await open(exports[0]);
    await page.click('.lesson[data-lesson="0"]');
    assert.equal((await texts(page, ".progress"))[0], "سؤال ۱ از ۳");
    assert.equal((await texts(page, ".question"))[0], "كدام ماده در دماي اتاق مايع است؟");
    await page.click('.answer[data-answer="2"]');
    assert.equal((await texts(page, ".verdict.right")).length, 1);
    assert.equal((await texts(page, ".explanation"))[0], "جيوه تنها فلز مايع در دماي اتاق است.");
    assert.equal(await page.$$eval(".answer:disabled", (n) => n.length), 4);
    await page.click("#next");
    // The answer "{0}" shows the exported picture, once it has loaded.
    const loaded = await page.waitForFunction(() => {
      const img = document.querySelector('.answer[data-answer="1"] img');
      return img && img.complete && img.naturalWidth > 0 ? img.src : null;
    }, { timeout: 5000 });
    assert.match(await loaded.jsonValue(), /Data\/BookTXT\/quiz0-0-0\.jpg$/);
    await page.click('.answer[data-answer="3"]'); // wrong: the sky is answer 1
    assert.equal((await texts(page, ".verdict.wrong"))[0], "پاسخ درست گزينه ۱ است.");
    assert.ok(await page.$eval('.answer[data-answer="1"]', (b) => b.classList.contains("right")));
    assert.ok(await page.$eval('.answer[data-answer="3"]', (b) => b.classList.contains("wrong")));
    await shot(page, "wrong-answer");
    await page.click("#next");
    // The attached picture of the third question.
    assert.match(await page.$eval(".attachments img", (img) => img.src), /Data\/BookTXT\/[0-9A-Y]{14}\.jpg$/);
    await page.click('.answer[data-answer="3"]');
    await page.click("#next");
    assert.equal((await texts(page, ".score"))[0], "امتياز شما: ۲ از ۳");
    assert.deepEqual((await texts(page, ".missed li")).length, 1);
    await shot(page, "score");
    assert.deepEqual(problems, []);
    await page.close();
  });

  test("the keyboard: digits answer, arrows move, Escape goes home", async () => {
    const { page, problems } = await open(exports[0]);
    await page.focus('.lesson[data-lesson="1"]');
    await page.keyboard.press("Enter");
    await page.keyboard.press("4");
    assert.equal((await texts(page, ".verdict.right")).length, 1);
    await page.keyboard.press("ArrowLeft");
    assert.equal((await texts(page, ".progress"))[0], "سؤال ۲ از ۳");
    await page.keyboard.press("ArrowRight");
    assert.equal((await texts(page, ".progress"))[0], "سؤال ۱ از ۳");
    await page.keyboard.press("Escape");
    assert.equal((await texts(page, ".lesson")).length, 2);
    assert.deepEqual(problems, []);
    await page.close();
  });

  test("texts holding markup and quotes are shown as text", async () => {
    const { page, problems } = await open(exports[0]);
    await page.click('.lesson[data-lesson="1"]');
    assert.equal((await texts(page, ".question"))[0], "a < b </script><b>\"quoted\"</b> 'single' & كدام؟");
    assert.equal(await page.$$eval(".question *", (n) => n.length), 0);
    assert.deepEqual(await texts(page, ".answer .text"), ["x < y", "\"two\"", "</script>", "&amp;"]);
    await page.click('.answer[data-answer="4"]');
    assert.equal((await texts(page, ".explanation"))[0], "<i>why</i>");
    assert.deepEqual(problems, []);
    await page.close();
  });

  test("a question without answers is read, not scored", async () => {
    const { page, problems } = await open(exports[0]);
    await page.click('.lesson[data-lesson="1"]');
    await page.click('.answer[data-answer="4"]');
    await page.click("#next");
    await page.click('.answer[data-answer="2"]');
    await page.click("#next");
    assert.equal((await texts(page, ".question"))[0], "درباره پايتخت بينديشيد.");
    assert.equal(await page.$$eval(".answer", (n) => n.length), 0);
    assert.equal(await page.evaluate(() => document.activeElement.id), "next");
    await page.keyboard.press("1"); // no answer to choose
    assert.equal(await page.$$eval(".verdict", (n) => n.length), 0);
    await page.click("#next");
    assert.equal((await texts(page, ".score"))[0], "امتياز شما: ۲ از ۲");
    assert.deepEqual(problems, []);
    await page.close();
  });

  test("readable on a small screen", async () => {
    const { page, problems } = await open(exports[0], { width: 390, height: 740 });
    await page.click('.lesson[data-lesson="0"]');
    const overflow = await page.evaluate(() => document.documentElement.scrollWidth - window.innerWidth);
    assert.ok(overflow <= 0, "nothing wider than the screen");
    assert.deepEqual(problems, []);
    await page.close();
  });
});

describe("the shipped sample, exported as it comes on a first run", () => {
  test("plays both made lessons, the picture answer and the explanations", async () => {
    const { page, problems } = await open(exports[2]);
    assert.deepEqual(await texts(page, ".lesson .title"), ["علوم: حالت‌هاي ماده", "جغرافيا: ايران"]);
    await page.click('.lesson[data-lesson="0"]');
    assert.equal((await texts(page, ".progress"))[0], "سؤال ۱ از ۴");
    await page.click('.answer[data-answer="2"]');
    assert.equal((await texts(page, ".verdict.right")).length, 1);
    assert.ok((await texts(page, ".explanation"))[0].startsWith("جيوه تنها فلزي"));
    await page.click("#next");
    await page.click("#next");
    const loaded = await page.waitForFunction(() => {
      const img = document.querySelector('.answer[data-answer="3"] img');
      return img && img.complete && img.naturalWidth > 0 ? img.src : null;
    }, { timeout: 5000 });
    assert.match(await loaded.jsonValue(), /Data\/BookTXT\/quiz0-0-0\.png$/);
    await page.click('.answer[data-answer="3"]');
    assert.equal((await texts(page, ".verdict.right")).length, 1);
    await shot(page, "sample-picture-answer");
    assert.deepEqual(problems, []);
    await page.close();
  });
});

describe("the second export: template 2, no music, no printing", () => {
  test("is the other theme and offers neither music nor printing", async () => {
    const { page, problems } = await open(exports[1]);
    assert.ok(await page.$eval("body", (b) => b.classList.contains("theme-2")));
    assert.equal(await page.$eval("#mute", (b) => b.hidden), true);
    assert.equal(await page.$eval("#print", (b) => b.hidden), true);
    const colours = await page.$eval("body", (b) => getComputedStyle(b).backgroundColor);
    assert.equal(colours, "rgb(27, 30, 35)");
    await page.click('.lesson[data-lesson="0"]');
    await page.click('.answer[data-answer="1"]');
    await page.evaluate(() => document.body.dispatchEvent(new PointerEvent("pointerdown", { bubbles: true })));
    assert.equal(await page.$eval("#music", (a) => a.paused), true);
    await shot(page, "template-2");
    assert.deepEqual(problems, []);
    await page.close();
  });
});

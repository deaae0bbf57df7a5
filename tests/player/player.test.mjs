// The CD player in Debian's Chromium, over three exports the tool made (make_exports.cpp):
// the first with template 1, music, printing and a minute's exam; the second with template 2,
// neither, and two questions an exam; the third the shipped sample with no exam. The
// scenarios of tests/data/player run first; what they cannot say follows as code.
// TAVRIN_PLAYER_SHOTS names a folder to keep screenshots in.
import { after, before, describe, test } from "node:test";
import assert from "node:assert/strict";
import { execFileSync } from "node:child_process";
import fs from "node:fs";
import path from "node:path";
import { fileURLToPath } from "node:url";
import puppeteer from "puppeteer-core";
import { open as openIn, openVerb, runSteps, shot, texts } from "./player_page.mjs";

const here = path.dirname(fileURLToPath(import.meta.url));
const fixture = process.env.TAVRIN_PLAYER_FIXTURE;
const shots = process.env.TAVRIN_PLAYER_SHOTS;
const exports = fs.readdirSync(path.join(fixture, "out")).sort().map((name) => path.join(fixture, "out", name));
const chromium = ["/usr/bin/chromium", "/usr/bin/chromium-browser"].find((p) => fs.existsSync(p));
const scenarios = path.join(here, "..", "data", "player");

let browser;
const open = (...where) => openIn(browser, ...where);

// Opens an export's page, works it, and finds nothing gone wrong on it before closing it.
async function played(work, ...where) {
  const { page, problems } = await open(...where);
  await work(page);
  assert.deepEqual(problems, []);
  await page.close();
}

before(async () => {
  assert.ok(chromium, "Debian's chromium is needed");
  browser = await puppeteer.launch({ executablePath: chromium, headless: true, args: ["--no-sandbox"] });
});
after(async () => { if (browser) await browser.close(); });

describe("the scenarios", () => {
  for (const name of fs.readdirSync(scenarios).filter((f) => f.endsWith(".steps")).sort()) {
    test(name, () => runSteps(path.join(scenarios, name), { open: openVerb(browser, exports) }));
  }
});

// ---- the exam's data changed, and paper -------------------------------------------------------------

// The page's data, as the player read it.
const lessonData = (page, i) => page.evaluate((n) => TAVRIN_DATA.lessons[n], i);

describe("the exam and its result", () => {
  test("a question made without a right answer is read with its answers and never scored", async () => {
    const copy = fs.mkdtempSync(path.join(fixture, "unmarked-"));
    fs.cpSync(exports[0], copy, { recursive: true });
    const file = path.join(copy, "Data", "quizdata.js");
    const script = fs.readFileSync(file, "utf8");
    const data = JSON.parse(script.slice(script.indexOf("=") + 1, script.lastIndexOf(";")));
    Object.assign(data.lessons[0].questions[0], { correct: 0, unmarked: true });
    fs.writeFileSync(file, "const TAVRIN_DATA = " + JSON.stringify(data) + ";\n");
    const { page, problems } = await open(copy, undefined, "?seed=3");
    await page.click('.lesson[data-lesson="0"]');
    assert.equal(await page.$$eval("button.answer", (n) => n.length), 0);
    assert.equal(await page.$$eval(".answers.unscored li", (n) => n.length), data.lessons[0].questions[0].answers.length);
    assert.equal((await texts(page, ".unscored-note")).length, 1);
    await page.click("#home");
    await page.click('.exam[data-lesson="0"]');
    let count = 0;
    for (;;) {
      count += 1;
      if (await page.$eval("#next", (b) => b.disabled)) break;
      await page.click("#next");
    }
    assert.equal(count, data.lessons[0].questions.length - 1);
    assert.deepEqual(problems, []);
    await page.close();
    fs.rmSync(copy, { recursive: true, force: true });
  });

  test("the printed result: right to left on A4, a line for the name, every question whole", async () => {
    // A copy of the first export whose lesson has 45 questions, every fifth with a long
    // explanation, the first with a picture answer.
    const big = fs.mkdtempSync(path.join(fixture, "big-"));
    fs.cpSync(exports[0], big, { recursive: true });
    const script = fs.readFileSync(path.join(big, "Data", "quizdata.js"), "utf8");
    const data = JSON.parse(script.slice(script.indexOf("=") + 1, script.lastIndexOf(";")));
    const lesson = data.lessons[0];
    const withPicture = lesson.questions.find((x) => Object.keys(x.images).length) || lesson.questions[0];
    const q = lesson.questions[0];
    const long = "توضیح " + "این پاسخ درست است زیرا ماده در این حالت شکل ثابتی ندارد؛ ".repeat(8) + "پایان";
    lesson.questions = Array.from({ length: 45 }, (_, i) => ({ ...(i === 0 ? withPicture : q),
      text: "سؤال شماره " + (i + 1), explanation: i % 5 === 0 ? long : "کوتاه" }));
    data.settings.exam.minutes = 0;
    fs.writeFileSync(path.join(big, "Data", "quizdata.js"), "const TAVRIN_DATA = " + JSON.stringify(data) + ";\n");
    const { page, problems } = await open(big, undefined, "?seed=11");
    await page.click('.exam[data-lesson="0"]');
    await page.click('.answer[data-answer="1"]');
    await page.click("#finish");
    await page.evaluate(() => document.body.classList.add("print-result"));
    // On paper a picture answer is a picture, not a sliver one line high.
    await page.emulateMediaType("print");
    const heights = await page.$$eval(".result-item img", (n) => n.map((i) => i.getBoundingClientRect().height));
    assert.ok(heights.length > 0 && heights.every((h) => h > 30), String(heights));
    await page.emulateMediaType(null);
    const pdf = path.join(big, "result.pdf");
    await page.pdf({ path: pdf, format: "A4", printBackground: false, preferCSSPageSize: true });
    await page.evaluate(() => document.body.classList.remove("print-result"));
    const info = execFileSync("pdfinfo", [pdf], { encoding: "utf8" });
    assert.match(info, /\(A4\)/);
    const text = execFileSync("pdftotext", [pdf, "-"], { encoding: "utf8" });
    // Every question is there, and every long explanation to its last word: nothing cut.
    assert.equal((text.match(/شماره|هرامش/g) || []).length, 45 + 1); // and the exam's number
    assert.equal((text.match(/پایان|نایاپ/g) || []).length, 9);
    assert.ok(!text.includes("…"), "no explanation cut short");
    const layout = execFileSync("pdftotext", ["-layout", pdf, "-"], { encoding: "utf8" });
    assert.match(layout, /خانوادگی/);
    assert.match(layout, /کارنامه/);
    assert.ok(!/رد شدن|فهرست درس‌ها|چاپ کارنامه/.test(layout), "no buttons on paper");
    if (shots) fs.copyFileSync(pdf, path.join(shots, "exam-result.pdf"));
    assert.deepEqual(problems, []);
    await page.close();
    fs.rmSync(big, { recursive: true, force: true });
  });
});

// The CD player in Debian's Chromium, over three exports the tool made (make_exports.cpp):
// the first with template 1, music, printing and a minute's exam; the second with template 2,
// neither, and two questions an exam; the third the shipped sample with no exam.
// TAVRIN_PLAYER_SHOTS names a folder to keep screenshots in.
import { after, before, describe, test } from "node:test";
import assert from "node:assert/strict";
import { execFileSync } from "node:child_process";
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
// Each page in a context of its own: what one test keeps in storage another does not see.
async function open(folder, viewport = { width: 1280, height: 800 }, query = "", setup = null) {
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

// Opens an export's page, works it, and finds nothing gone wrong on it before closing it.
async function played(work, ...where) {
  const { page, problems } = await open(...where);
  await work(page);
  assert.deepEqual(problems, []);
  await page.close();
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
  test("lists the lessons in the index's order, right to left, offline and without errors", () => played(async (page) => {
    assert.deepEqual((await texts(page, ".lesson .title")), ["علوم: حالت‌های ماده", "جغرافیا: ایران"]);
    assert.equal(await page.$eval("html", (h) => getComputedStyle(h).direction), "rtl");
    assert.ok(await page.$eval("body", (b) => b.classList.contains("theme-1")));
    assert.equal(await page.$eval("#print", (b) => b.hidden), false);
    assert.equal(await page.$eval("#mute", (b) => b.hidden), false);
    const font = await page.evaluate(async () => { await document.fonts.ready; return document.fonts.check("16px Vazirmatn"); });
    assert.ok(font, "Vazirmatn is loaded from the CD");
    await shot(page, "lessons");
  }, exports[0]));

  test("answering right and wrong, the explanation, images and the score", () => played(async (page) => {
    await page.click('.lesson[data-lesson="0"]');
    assert.equal((await texts(page, ".progress"))[0], "سؤال ۱ از ۳");
    assert.equal((await texts(page, ".question"))[0], "کدام ماده در دمای اتاق مایع است؟");
    await page.click('.answer[data-answer="2"]');
    assert.equal((await texts(page, ".verdict.right")).length, 1);
    assert.equal((await texts(page, ".explanation"))[0], "جیوه تنها فلز مایع در دمای اتاق است.");
    assert.equal(await page.$$eval(".answer:disabled", (n) => n.length), 4);
    await page.click("#next");
    // The answer "{0}" shows the exported picture, once it has loaded.
    const loaded = await page.waitForFunction(() => {
      const img = document.querySelector('.answer[data-answer="1"] img');
      return img && img.complete && img.naturalWidth > 0 ? img.src : null;
    }, { timeout: 5000 });
    assert.match(await loaded.jsonValue(), /Data\/BookTXT\/quiz0-0-0\.jpg$/);
    await page.click('.answer[data-answer="3"]'); // wrong: the sky is answer 1
    assert.equal((await texts(page, ".verdict.wrong"))[0], "پاسخ درست گزینه ۱ است.");
    assert.ok(await page.$eval('.answer[data-answer="1"]', (b) => b.classList.contains("right")));
    assert.ok(await page.$eval('.answer[data-answer="3"]', (b) => b.classList.contains("wrong")));
    await shot(page, "wrong-answer");
    await page.click("#next");
    // The attached picture of the third question.
    assert.match(await page.$eval(".attachments img", (img) => img.src), /Data\/BookTXT\/[0-9A-Y]{14}\.jpg$/);
    await page.click('.answer[data-answer="3"]');
    await page.click("#next");
    assert.equal((await texts(page, ".score"))[0], "امتیاز شما: ۲ از ۳");
    assert.deepEqual((await texts(page, ".missed li")).length, 1);
    await shot(page, "score");
  }, exports[0]));

  test("the keyboard: digits answer, arrows move, Escape goes home", () => played(async (page) => {
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
  }, exports[0]));

  test("texts holding markup and quotes are shown as text", () => played(async (page) => {
    await page.click('.lesson[data-lesson="1"]');
    assert.equal((await texts(page, ".question"))[0], "a < b </script><b>\"quoted\"</b> 'single' & کدام؟");
    assert.equal(await page.$$eval(".question *", (n) => n.length), 0);
    assert.deepEqual(await texts(page, ".answer .text"), ["x < y", "\"two\"", "</script>", "&amp;"]);
    await page.click('.answer[data-answer="4"]');
    assert.equal((await texts(page, ".explanation"))[0], "<i>why</i>");
  }, exports[0]));

  test("a question without answers is read, not scored", () => played(async (page) => {
    await page.click('.lesson[data-lesson="1"]');
    await page.click('.answer[data-answer="4"]');
    await page.click("#next");
    await page.click('.answer[data-answer="2"]');
    await page.click("#next");
    assert.equal((await texts(page, ".question"))[0], "درباره پایتخت بیندیشید.");
    assert.equal(await page.$$eval(".answer", (n) => n.length), 0);
    assert.equal(await page.evaluate(() => document.activeElement.id), "question");
    await page.keyboard.press("1"); // no answer to choose
    assert.equal(await page.$$eval(".verdict", (n) => n.length), 0);
    await page.click("#next");
    assert.equal((await texts(page, ".score"))[0], "امتیاز شما: ۲ از ۲");
  }, exports[0]));

  test("readable on a small screen", () => played(async (page) => {
    await page.click('.lesson[data-lesson="0"]');
    const overflow = await page.evaluate(() => document.documentElement.scrollWidth - window.innerWidth);
    assert.ok(overflow <= 0, "nothing wider than the screen");
  }, exports[0], { width: 390, height: 740 }));
});

describe("the shipped sample, exported as it comes on a first run", () => {
  test("plays both made lessons, the picture answer and the explanations", () => played(async (page) => {
    assert.deepEqual(await texts(page, ".lesson .title"), ["علوم: حالت‌های ماده", "جغرافیا: ایران"]);
    await page.click('.lesson[data-lesson="0"]');
    assert.equal((await texts(page, ".progress"))[0], "سؤال ۱ از ۴");
    await page.click('.answer[data-answer="2"]');
    assert.equal((await texts(page, ".verdict.right")).length, 1);
    assert.ok((await texts(page, ".explanation"))[0].startsWith("جیوه تنها فلزی"));
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
  }, exports[2]));
});

describe("the second export: template 2, no music, no printing", () => {
  test("is the other theme and offers neither music nor printing", () => played(async (page) => {
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
  }, exports[1]));
});

// ---- letters, exam, access ----------------------------------------------------------------

const axeSource = fs.readFileSync(path.join(path.dirname(new URL(import.meta.url).pathname),
  "node_modules", "axe-core", "axe.min.js"), "utf8");

// Every text node of the page that holds an Arabic yeh, alef maksura or kaf.
const arabicLetters = (page) => page.evaluate(() => {
  const found = [];
  const walker = document.createTreeWalker(document.body, NodeFilter.SHOW_TEXT);
  for (let n = walker.nextNode(); n; n = walker.nextNode()) {
    if (/[\u064A\u0643\u0649]/.test(n.nodeValue)) found.push(n.nodeValue);
  }
  if (/[\u064A\u0643\u0649]/.test(document.title)) found.push(document.title);
  return found;
});

// axe-core's WCAG 2.1 A and AA rules on the page as it stands: the violations, by rule.
async function axe(page) {
  if (!(await page.evaluate(() => typeof window.axe === "object"))) await page.evaluate(axeSource);
  // No preload: on a page read from disk axe may not fetch the style sheets itself.
  const result = await page.evaluate(() => window.axe.run(document, {
    preload: false,
    runOnly: { type: "tag", values: ["wcag2a", "wcag2aa", "wcag21a", "wcag21aa"] } }));
  return result.violations.map((v) => v.id + ": " + v.nodes.map((n) => n.target.join(" ")).join(", "));
}

// The page's data, as the player read it.
const lessonData = (page, i) => page.evaluate((n) => TAVRIN_DATA.lessons[n], i);

describe("Persian letters and the exam", () => {
  test("no Arabic yeh or kaf in any text the student reads, on every page", () => played(async (page) => {
    const pages = [];
    const check = async (name) => pages.push([name, await arabicLetters(page)]);
    await check("lessons");
    await page.click('.lesson[data-lesson="0"]');
    await check("question");
    await page.click('.answer[data-answer="1"]');
    await check("explanation");
    for (let i = 0; i < 2; i++) { await page.click("#next"); await page.click('.answer[data-answer="1"]'); }
    await page.click("#next");
    await check("score");
    await page.click("#home");
    await page.click('.exam[data-lesson="0"]');
    await check("exam question");
    await page.click("#finish");
    await check("result");
    for (const [name, found] of pages) assert.deepEqual(found, [], name);
    // The data keeps the author's letters; only the shown text changes.
    assert.match((await lessonData(page, 0)).title, /\u064A/);
  }, exports[0], undefined, "?seed=7"));

  test("an exam: a fixed seed gives a fixed order, answers shuffled, the score still right", async () => {
    const orderOf = async (seed) => {
      const { page } = await open(exports[0], undefined, "?seed=" + seed);
      await page.click('.exam[data-lesson="0"]');
      const order = [];
      const shownAnswers = [];
      for (;;) {
        order.push((await texts(page, ".question"))[0]);
        shownAnswers.push(await texts(page, ".answer .text"));
        if (await page.$eval("#next", (b) => b.disabled)) break;
        await page.click("#next");
      }
      await page.close();
      return { order, shownAnswers };
    };
    const a = await orderOf(42), b = await orderOf(42), c = await orderOf(43);
    assert.deepEqual(a, b);
    assert.equal(a.order.length, 3);
    assert.notDeepEqual(a, c);

    const { page, problems } = await open(exports[0], undefined, "?seed=42");
    const lesson = await lessonData(page, 0);
    // Shown and stored texts compared letter for letter, whichever digits and yeh they use.
    const same = (t) => t.replace(/[\u064A\u0649]/g, "\u06CC").replace(/\u0643/g, "\u06A9")
      .replace(/[۰-۹]/g, (d) => String("۰۱۲۳۴۵۶۷۸۹".indexOf(d))).replace(/[\u200C\u200F]/g, "").trim();
    const rightText = (questionText) => {
      const q = lesson.questions.find((x) => same(x.text) === same(questionText));
      return same(q.answers[q.correct - 1].replace(/\{\d+\}\s*/, ""));
    };
    await page.click('.exam[data-lesson="0"]');
    // The first question's answers are not in the data's order for this seed.
    const first = (await texts(page, ".question"))[0];
    const q0 = lesson.questions.find((x) => same(x.text) === same(first));
    assert.notDeepEqual((await texts(page, ".answer .text")).map(same), q0.answers.map((x) => same(x.replace(/\{\d+\}\s*/, ""))));
    // No right or wrong until the end: two right, one wrong.
    for (let i = 0; i < 3; i++) {
      const question = (await texts(page, ".question"))[0];
      const shown = await texts(page, ".answer .text");
      const right = shown.findIndex((t) => same(t) === rightText(question)) + 1;
      await page.click(`.answer[data-answer="${i === 1 ? (right % shown.length) + 1 : right}"]`);
      assert.equal(await page.$$eval(".verdict, .answer.right, .answer.wrong", (n) => n.length), 0);
      if (i < 2) await page.click("#next");
    }
    await page.click("#finish");
    assert.equal((await texts(page, ".result-score"))[0], "۲ از ۳");
    assert.equal((await texts(page, ".result-percent"))[0], "۶۷٪");
    assert.equal((await texts(page, ".result-seed"))[0], "۴۲");
    assert.equal(await page.$$eval(".result-item", (n) => n.length), 3);
    assert.equal(await page.$$eval(".result-item.wrong .correct", (n) => n.length), 1);
    assert.ok((await texts(page, ".result-item .explanation")).length >= 3);
    assert.equal(await page.evaluate(() => document.activeElement.id), "result-title");
    await shot(page, "exam-result");
    assert.deepEqual(problems, []);
    await page.close();
  });

  test("skip and return, the progress bar, and a time limit that ends the exam", async () => {
    // The player's clock, moved by the test instead of waited for.
    const { page, problems } = await open(exports[0], undefined, "?seed=5", () => {
      window.__now = Date.UTC(2026, 0, 1);
      window.TAVRIN_CLOCK = () => window.__now;
    });
    await page.click('.exam[data-lesson="0"]');
    assert.equal((await texts(page, "#time-left"))[0], "۰۱:۰۰");
    assert.equal((await texts(page, "#next"))[0], "رد شدن");
    await page.click("#next"); // skipped
    await page.click('.answer[data-answer="1"]');
    assert.equal(await page.$eval('[role="progressbar"]', (b) => b.getAttribute("aria-valuenow")), "1");
    await page.click('.jump[aria-label^="سؤال ۱"]');
    assert.equal((await texts(page, ".progress"))[0], "سؤال ۱ از ۳");
    assert.equal(await page.$$eval(".answer.chosen", (n) => n.length), 0);
    await page.click('.answer[data-answer="2"]');
    assert.equal(await page.$eval('[role="progressbar"]', (b) => b.getAttribute("aria-valuenow")), "2");
    await page.evaluate(() => { window.__now += 35000; });
    await page.waitForFunction(() => document.getElementById("time-left").textContent === "۰۰:۲۵");
    await page.waitForFunction(() => /ثانیه/.test(document.getElementById("announce").textContent));
    await shot(page, "exam-question");
    await page.evaluate(() => { window.__now += 30000; });
    await page.waitForSelector("#result", { timeout: 3000 });
    assert.equal((await texts(page, ".result-score"))[0].endsWith("از ۳"), true);
    assert.ok(await page.$$eval(".yours", (n) => n.some((x) => x.textContent.includes("بی‌پاسخ"))));
    assert.equal((await texts(page, ".result-time"))[0], "۱ دقیقه و ۵ ثانیه");
    assert.deepEqual(problems, []);
    await page.close();
  });

  test("an exam draws as many questions as the author set; none is offered where it is off", async () => {
    const { page, problems } = await open(exports[1], undefined, "?seed=3");
    await page.click('.exam[data-lesson="0"]');
    assert.equal((await texts(page, ".progress"))[0], "سؤال ۱ از ۲");
    assert.equal(await page.$$eval("#time-left", (n) => n.length), 0);
    assert.deepEqual(problems, []);
    await page.close();
    const sample = await open(exports[2]);
    assert.equal(await sample.page.$$eval(".exam", (n) => n.length), 0);
    assert.equal(await sample.page.$$eval(".lesson", (n) => n.length), 2);
    await sample.page.close();
  });

  test("progress survives a reload: practice answers, and a running exam with its time", async () => {
    const { page, problems } = await open(exports[0], undefined, "?seed=9", () => {
      window.__now = window.__now || 1000000;
      window.TAVRIN_CLOCK = () => Number(sessionStorage.getItem("now") || 1000000);
    });
    await page.click('.lesson[data-lesson="0"]');
    await page.click('.answer[data-answer="2"]');
    await page.click("#next");
    await page.reload({ waitUntil: "load" });
    assert.equal((await texts(page, ".progress"))[0], "سؤال ۲ از ۳");
    await page.click("#prev");
    assert.equal((await texts(page, ".verdict.right")).length, 1);
    await page.click("#home");
    await page.click('.exam[data-lesson="0"]');
    const question = (await texts(page, ".question"))[0];
    await page.click('.answer[data-answer="3"]');
    await page.click("#next");
    await page.evaluate(() => sessionStorage.setItem("now", String(1000000 + 20000)));
    await page.reload({ waitUntil: "load" });
    assert.equal((await texts(page, ".progress"))[0], "سؤال ۲ از ۳");
    assert.equal((await texts(page, "#time-left"))[0], "۰۰:۴۰");
    await page.click('.jump[aria-label^="سؤال ۱"]');
    assert.equal((await texts(page, ".question"))[0], question);
    assert.equal(await page.$eval('.answer[data-answer="3"]', (b) => b.getAttribute("aria-pressed")), "true");
    assert.deepEqual(problems, []);
    await page.close();
  });

  test("a running exam is left only when the student says so, and is taken up again as it was", () => played(async (page) => {
    await page.click('.exam[data-lesson="0"]');
    const first = (await texts(page, ".question"))[0];
    await page.click('.answer[data-answer="2"]');
    // Escape asks, starting on staying; Escape again stays, the answer kept.
    await page.keyboard.press("Escape");
    await page.waitForSelector("dialog.ask[open]");
    assert.equal(await page.evaluate(() => document.activeElement.id), "stay");
    await shot(page, "exam-leave");
    await page.keyboard.press("Escape");
    assert.equal(await page.$("dialog.ask"), null);
    assert.equal(await page.$eval('.answer[data-answer="2"]', (b) => b.getAttribute("aria-pressed")), "true");
    // The lesson list button asks too; staying stays.
    await page.click("#home");
    await page.click("#stay");
    assert.equal((await texts(page, ".question"))[0], first);
    // Leaving: the list offers the exam to go on with, not a new one; it comes back as left.
    await page.click("#home");
    await page.click("#leave");
    await page.waitForSelector(".lessons");
    assert.equal((await texts(page, '.exam[data-lesson="0"]'))[0], "ادامه آزمون");
    await page.reload({ waitUntil: "load" });
    await page.click('.exam[data-lesson="0"]');
    assert.equal((await texts(page, ".question"))[0], first);
    assert.equal(await page.$eval('.answer[data-answer="2"]', (b) => b.getAttribute("aria-pressed")), "true");
    // Finished, it is gone: the next exam is a new one.
    await page.click("#finish");
    await page.click("#home");
    assert.equal((await texts(page, '.exam[data-lesson="0"]'))[0], "آزمون");
  }, exports[0], undefined, "?seed=5"));

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

describe("access for every student", () => {
  // Every page of the player, practice and exam, in both templates and in the dark scheme.
  const walk = async (folder, dark) => {
    const { page, problems } = await open(folder, undefined, "?seed=21");
    if (dark) await page.emulateMediaFeatures([{ name: "prefers-color-scheme", value: "dark" }]);
    const found = {};
    const check = async (name) => { found[name] = await axe(page); };
    await check("lessons");
    await page.click('.lesson[data-lesson="0"]');
    await check("practice question");
    await page.click('.answer[data-answer="1"]');
    await check("explanation");
    for (let i = 0; i < 2; i++) { await page.click("#next"); await page.click('.answer[data-answer="2"]'); }
    await page.click("#next");
    await check("score");
    await page.click("#home");
    if (await page.$(".exam")) {
      await page.click('.exam[data-lesson="0"]');
      await page.click('.answer[data-answer="1"]');
      await check("exam question");
      await page.click("#finish");
      await check("result");
    }
    if (dark) await shot(page, "dark-result");
    await page.close();
    return { found, problems };
  };
  for (const [name, folder, dark] of [["template 1", 0, false], ["template 1, dark", 0, true], ["template 2", 1, false]]) {
    test("axe finds no WCAG 2.1 A or AA violation: " + name, async () => {
      const { found, problems } = await walk(exports[folder], dark);
      for (const [where, violations] of Object.entries(found)) assert.deepEqual(violations, [], where);
      assert.ok(Object.keys(found).length >= 5);
      assert.deepEqual(problems, []);
    });
  }

  test("a whole exam by keyboard alone, focus where a screen reader expects it", () => played(async (page) => {
    const focused = () => page.evaluate(() => {
      const a = document.activeElement;
      return a.id || a.className;
    });
    // The list opens on the first lesson's practice; Tab reaches its exam.
    assert.equal(await focused(), "lesson");
    await page.keyboard.press("Tab");
    assert.equal(await focused(), "exam");
    await page.keyboard.press("Enter");
    assert.equal(await focused(), "question");
    const visible = await page.evaluate(() => getComputedStyle(document.activeElement).outlineStyle);
    assert.notEqual(visible, "none");
    for (let i = 0; i < 3; i++) {
      await page.keyboard.press(String(i + 1 > 3 ? 1 : i + 1));
      assert.equal(await page.$$eval(".answer.chosen", (n) => n.length), 1);
      if (i < 2) {
        await page.keyboard.press("ArrowLeft"); // the next question lies to the left
        assert.equal(await focused(), "question");
      }
    }
    await page.keyboard.press("ArrowRight");
    assert.equal((await texts(page, ".progress"))[0], "سؤال ۲ از ۳");
    // Tab to the finish button and press it with Space.
    for (let i = 0; i < 20 && (await focused()) !== "finish"; i++) await page.keyboard.press("Tab");
    assert.equal(await focused(), "finish");
    await page.keyboard.press("Space");
    assert.equal(await focused(), "result-title");
    assert.equal((await texts(page, ".result-item")).length, 3);
    // In practice the verdict is in a live region, and focus goes on to "next".
    await page.keyboard.press("Escape");
    await page.keyboard.press("Enter");
    await page.keyboard.press("2");
    assert.equal(await page.$eval(".verdict-area", (a) => a.getAttribute("aria-live")), "polite");
    assert.ok((await texts(page, ".verdict-area .verdict")).length === 1);
    assert.equal(await focused(), "next");
  }, exports[0], undefined, "?seed=4"));

  test("reduced motion, and text at 200% on a 390 px screen", () => played(async (page) => {
    await page.emulateMediaFeatures([{ name: "prefers-reduced-motion", value: "reduce" }]);
    await page.evaluate(() => { document.documentElement.style.fontSize = "200%"; document.body.style.fontSize = "200%"; });
    await page.click('.exam[data-lesson="0"]');
    assert.equal(await page.$eval(".meter-fill", (m) => getComputedStyle(m).transitionDuration), "0s");
    const overflow = await page.evaluate(() => document.documentElement.scrollWidth - window.innerWidth);
    assert.ok(overflow <= 0, "nothing wider than the screen: " + overflow);
    const outside = await page.$$eval("button", (buttons) => buttons.filter((b) => {
      const r = b.getBoundingClientRect();
      return r.width > 0 && (r.left < -1 || r.right > window.innerWidth + 1 || r.width < 24 || r.height < 24);
    }).map((b) => b.id || b.className));
    assert.deepEqual(outside, []);
    await page.click('.answer[data-answer="1"]');
    await page.click("#finish");
    assert.equal(await page.$$eval("#result", (n) => n.length), 1);
    await shot(page, "exam-200-percent");
  }, exports[0], { width: 390, height: 780 }, "?seed=2"));
});

// Exams scored as Iranian exams are, in Debian's Chromium: the rows of
// tests/data/scoring/cases.tsv taken as the player's comprehensive exam (the tool's engine and
// its "score" verb run the same rows in tst_scoring), and the comprehensive exam of the project
// make_exports.cpp scored (<fixture>/scoring): drawn by its budget, kept across a reload,
// laid out for every reader.
import { after, before, describe, test } from "node:test";
import assert from "node:assert/strict";
import { execFileSync } from "node:child_process";
import fs from "node:fs";
import path from "node:path";
import { fileURLToPath } from "node:url";
import puppeteer from "puppeteer-core";
import { axe, endExam, open as openIn, same, shot, texts } from "./player_page.mjs";

const here = path.dirname(fileURLToPath(import.meta.url));
const fixture = process.env.TAVRIN_PLAYER_FIXTURE;
const scored = path.join(fixture, "scoring", "out", "Export 1");
const chromium = ["/usr/bin/chromium", "/usr/bin/chromium-browser"].find((p) => fs.existsSync(p));
const DIGITS = "۰۱۲۳۴۵۶۷۸۹";
const latin = (t) => t.replace(/[۰-۹]/g, (d) => String(DIGITS.indexOf(d)));
// A figure as the result shows it: Persian digits and decimal point, a real minus sign.
const shown = (figure) => figure.replace("-", "\u2212").replace(".", "\u066B").replace(/[0-9]/g, (d) => DIGITS[d]) + "٪";

let browser;
before(async () => {
  assert.ok(chromium, "Debian's chromium is needed");
  browser = await puppeteer.launch({ executablePath: chromium, headless: true, args: ["--no-sandbox"] });
});
after(async () => { if (browser) await browser.close(); });

const rows = fs.readFileSync(path.join(here, "..", "data", "scoring", "cases.tsv"), "utf8").split("\n")
  .filter((l) => l.trim() && !l.startsWith("#")).map((l) => l.split("\t"));

// "R10W2|b1": a field a group; R right, W wrong, B blank, lower case cancelled.
function answersOf(text) {
  return text.split("|").map((group) => [...group.matchAll(/([RWBrwb])(\d*)/g)]
    .flatMap(([, letter, count]) => Array(Number(count || 1)).fill({ given: letter.toUpperCase(), cancelled: letter === letter.toLowerCase() })));
}

// The player's data for a row: a lesson a field, every question drawn by the budget.
function dataFor(penalty, weights, fields, pass = "") {
  const [taken, per] = penalty === "0" ? [0, 1] : penalty.split("/").map(Number);
  const weightOf = weights.split(",").map(Number);
  const budget = {};
  const lessons = fields.map((questions, f) => {
    budget[f + "-0"] = questions.length;
    return { id: f + "-0", title: "فصل " + (f + 1), field: f, questions: questions.map((a, q) => ({
      n: q, text: "سؤال " + (f + 1) + "-" + (q + 1), answers: ["درست", "نادرست یک", "نادرست دو", "نادرست سه"],
      correct: 1, explanation: "", images: {}, attach: null, sound: null, film: null, back: null,
      ...(a.cancelled ? { cancelled: true } : {}) })) };
  });
  return { lessons, fields: fields.map((_, f) => "درس " + (f + 1)), media: { back: null, music: [] },
    settings: { template: 1, music: false, print: false, exam: { on: false, minutes: 0, count: 0 },
      scoring: { penalty: [taken, per], weights: Object.fromEntries(weightOf.map((w, f) => [f, w])), passMark: Number(pass.split(" ")[0] || 50), passMarkSet: pass !== "" },
      fullExam: { on: true, title: "آزمون جامع", minutes: 0, budget } } };
}

async function press(page, selector) {
  await page.waitForSelector(selector, { visible: true });
  await page.click(selector);
}

// The comprehensive exam taken as the row says: each question found by its text.
async function takeAsPlanned(page, fields) {
  await press(page, "#full-exam");
  for (let i = 0; ; i++) {
    assert.ok(i < 400, "the exam never reached its last question");
    const [f, q] = latin(await page.$eval("#question", (e) => e.textContent)).match(/(\d+)-(\d+)/).slice(1).map(Number);
    const given = fields[f - 1][q - 1].given;
    if (given !== "B") {
      const labels = (await texts(page, ".answer .text"));
      const at = labels.findIndex((t) => (given === "R" ? t === "درست" : t.startsWith("نادرست")));
      await press(page, `.answer[data-answer="${at + 1}"]`);
    }
    if (await page.$eval("#next", (b) => b.disabled)) break;
    await press(page, "#next");
  }
  await endExam(page);
}

// The result sheet's table as a reader sees it, its figures back in Latin digits.
async function resultTable(page) {
  return page.evaluate(() => ({
    fields: [...document.querySelectorAll(".field-row")].map((r) => [...r.querySelectorAll("td")].map((c) => c.textContent)),
    overall: document.querySelector(".field-table .overall").textContent,
  }));
}

function withData(data) {
  const folder = fs.mkdtempSync(path.join(fixture, "scored-"));
  fs.cpSync(scored, folder, { recursive: true });
  fs.writeFileSync(path.join(folder, "Data", "quizdata.js"), "const TAVRIN_DATA = " + JSON.stringify(data) + ";\n");
  return folder;
}

describe("the published cases, taken in the player", () => {
  for (const [name, penalty, weights, answers, fields, overall, pass = ""] of rows) {
    test(name, async () => {
      const planned = answersOf(answers);
      const { page, problems } = await openIn(browser, withData(dataFor(penalty, weights, planned, pass)), undefined, "?seed=7");
      await takeAsPlanned(page, planned);
      const table = await resultTable(page);
      const expected = fields.split(";").map((f) => f.split(" "));
      assert.deepEqual(table.fields.map((cells) => cells.slice(0, 4).map(latin)), expected.map((e) => e.slice(0, 4)));
      assert.deepEqual(table.fields.map((cells) => cells[4]), expected.map((e) => shown(e[4])));
      assert.deepEqual(table.fields.map((cells) => latin(cells[5])), weights.split(",").map(String).concat(Array(9).fill("1")).slice(0, expected.length));
      assert.equal(table.overall, shown(overall));
      assert.equal(await page.$eval(".result-percent", (e) => e.textContent), shown(overall));
      // The pass mark's verdict where the project sets one, and nothing where it does not.
      const verdict = await page.$$eval(".result-pass", (d) => d.map((e) => e.textContent));
      assert.deepEqual(verdict, pass ? [pass.split(" ")[1] + " (حد نصاب " + pass.split(" ")[0].replace(/[0-9]/g, (d) => "۰۱۲۳۴۵۶۷۸۹"[d]) + "٪)"] : []);
      // Every cancelled question is marked so on the result.
      const marks = await texts(page, ".result-item.cancelled .mark");
      assert.equal(marks.length, planned.flat().filter((a) => a.cancelled).length);
      assert.ok(marks.every((m) => m.endsWith("(سؤال لغو شده)")), String(marks));
      assert.deepEqual(problems, []);
      await page.close();
    });
  }
});

describe("the seeded draw", () => {
  // The paper exam's twin (tst_scoring) follows the same table.
  test("follows tests/data/exam/draws.tsv", async () => {
    const draws = fs.readFileSync(path.join(here, "..", "data", "exam", "draws.tsv"), "utf8").split("\n")
      .filter((l) => l.trim() && !l.startsWith("#")).map((l) => l.split("\t"));
    assert.ok(draws.length >= 6);
    const { page } = await openIn(browser, scored);
    const found = await page.evaluate((rows) => rows.map(([, seed, n, order]) => {
      const next = Tavrin.draw.random(Number(seed));
      const places = Array.from({ length: Number(n) }, (_, i) => i);
      return (order || "").split(" | ").map(() => Tavrin.draw.shuffled(places, next).join(" ")).join(" | ");
    }), draws);
    draws.forEach((row, i) => assert.equal(found[i], row[3] || "", row[0]));
    await page.close();
  });
});

describe("a lesson's own exam", () => {
  test("is scored by the project's penalty, with the table of its field", async () => {
    const data = dataFor("1/3", "4", answersOf("W6"));
    data.settings.exam = { on: true, minutes: 0, count: 0 };
    data.settings.fullExam.on = false;
    const { page, problems } = await openIn(browser, withData(data), undefined, "?seed=4");
    assert.equal(await page.$("#full-exam"), null);
    await press(page, '.exam[data-lesson="0"]');
    for (;;) {
      const at = (await texts(page, ".answer .text")).findIndex((t) => t.startsWith("نادرست"));
      await press(page, `.answer[data-answer="${at + 1}"]`);
      if (await page.$eval("#next", (b) => b.disabled)) break;
      await press(page, "#next");
    }
    await endExam(page);
    const table = await resultTable(page);
    assert.deepEqual(table.fields.map((c) => c.map(latin)), [["6", "0", "6", "0", latin(shown("-33.33")), "4"]]);
    assert.equal(await page.$eval(".result-percent", (e) => e.textContent), shown("-33.33"));
    assert.equal(await page.$eval(".result-score", (e) => e.textContent), "۰ از ۶");
    assert.equal(await page.$eval(".field-row th", (e) => e.textContent), "درس ۱");
    assert.deepEqual(problems, []);
    await page.close();
  });
});

describe("the comprehensive exam the tool exported", () => {
  // The questions of an exam as drawn: each by its field (shown beside its place) and text.
  async function drawn(seed) {
    const { page } = await openIn(browser, scored, undefined, "?seed=" + seed);
    await press(page, "#full-exam");
    const seen = [];
    for (;;) {
      const place = await page.$eval(".progress", (e) => e.textContent);
      seen.push(place.split(" · ")[1] + " | " + (await page.$eval("#question", (e) => e.textContent)));
      if (await page.$eval("#next", (b) => b.disabled)) break;
      await press(page, "#next");
    }
    await page.close();
    return seen;
  }

  test("its home page lists the lessons under their fields, the comprehensive exam after them", async () => {
    const { page, problems } = await openIn(browser, scored);
    assert.deepEqual(await texts(page, ".field-group > .field-title"), ["پایه هفتم", "پایه هشتم"]);
    assert.deepEqual(await page.$$eval(".field-group", (groups) => groups.map((g) =>
      [...g.querySelectorAll(".lesson .title")].map((t) => t.textContent))),
    [["علوم: حالت‌های ماده", "جغرافیا: ایران"], ["علوم دوباره"]]);
    assert.equal(await page.$eval("ul.lessons", (e) => e.lastElementChild.classList.contains("full-exam")), true);
    assert.deepEqual(await axe(page), []);
    await shot(page, "home-by-field");
    assert.deepEqual(problems, []);
    await page.close();
  });

  test("it draws by the budget: each lesson's count, fields in order, none twice, one seed one exam", async () => {
    const data = JSON.parse(fs.readFileSync(path.join(scored, "Data", "quizdata.js"), "utf8").replace(/^[^=]*=\s*/s, "").replace(/;\s*$/, ""));
    assert.deepEqual(data.settings.fullExam.budget, { "0-0": 2, "0-1": 2, "1-0": 3 });
    const exam = await drawn(5);
    assert.equal(exam.length, 7);
    assert.equal(new Set(exam).size, 7);
    const fieldOf = (entry) => entry.split(" | ")[0];
    assert.deepEqual(exam.map(fieldOf), ["پایه هفتم", "پایه هفتم", "پایه هفتم", "پایه هفتم", "پایه هشتم", "پایه هشتم", "پایه هشتم"]);
    // Each lesson's share, its questions known by their texts.
    const fromLesson = (lesson) => exam.filter((e) => fieldOf(e) === "پایه هفتم" &&
      data.lessons.find((l) => l.id === lesson).questions.some((q) => same(q.text) === same(e.split(" | ")[1]))).length;
    assert.deepEqual([fromLesson("0-0"), fromLesson("0-1")], [2, 2]);
    assert.deepEqual(await drawn(5), exam);
    assert.notDeepEqual(await drawn(6), exam);
  });

  // The tool's paper exam for seed 5 (make_exports.cpp writes its record): version الف is
  // this exam, question for question and option for option.
  test("the paper exam's first version is the exam the player draws for its seed", async () => {
    const data = JSON.parse(fs.readFileSync(path.join(scored, "Data", "quizdata.js"), "utf8").replace(/^[^=]*=\s*/s, "").replace(/;\s*$/, ""));
    const record = JSON.parse(fs.readFileSync(path.join(fixture, "scoring", "paper-exam.json"), "utf8"));
    assert.equal(record.seed, 5);
    const printed = record.versions[0].questions.map(({ bank, options }) => {
      const [f, l, q] = bank.split("-").map(Number);
      const question = data.lessons.find((lesson) => lesson.id === `${f - 1}-${l - 1}`).questions[q - 1];
      return [same(question.text), ...options.map((o) => same(question.answers[o - 1]))];
    });
    const { page } = await openIn(browser, scored, undefined, "?seed=5");
    await press(page, "#full-exam");
    const played = [];
    for (;;) {
      played.push([same(await page.$eval("#question", (e) => e.textContent)),
        ...(await page.$$eval(".answers .answer .text", (all) => all.map((e) => e.textContent))).map(same)]);
      if (await page.$eval("#next", (b) => b.disabled)) break;
      await press(page, "#next");
    }
    await page.close();
    assert.equal(played.length, 7);
    assert.deepEqual(played, printed);
    // The second version: the same questions, in another order within the fields.
    const second = record.versions[1].questions.map((q) => q.bank);
    assert.deepEqual([...second].sort(), record.versions[0].questions.map((q) => q.bank).sort());
    assert.notDeepEqual(second, record.versions[0].questions.map((q) => q.bank));
  });

  test("a running comprehensive exam survives a reload, and every page reads clean", async () => {
    const { page, problems } = await openIn(browser, scored, undefined, "?seed=9");
    assert.deepEqual(await axe(page), []);
    assert.equal(await page.$eval("#full-exam", (b) => b.getAttribute("aria-label")), "آزمون جامع نوبت اول");
    await shot(page, "full-exam-list");
    await press(page, "#full-exam");
    assert.equal(await page.$eval("#time-left", (e) => e.textContent), "۳۰:۰۰");
    assert.deepEqual(await axe(page), []);
    await press(page, '.answer[data-answer="1"]');
    await press(page, "#next");
    await press(page, '.answer[data-answer="2"]');
    await shot(page, "full-exam-question");
    await page.reload({ waitUntil: "load" });
    await page.waitForSelector("#question");
    assert.equal(await page.$eval(".answered", (e) => e.textContent), "پاسخ داده شده: ۲ از ۷");
    assert.equal(await page.$eval(".answer.chosen", (e) => e.dataset.answer), "2");
    await endExam(page);
    assert.equal(await page.$eval("#result-title", (e) => e.textContent), "کارنامه آزمون جامع نوبت اول");
    assert.equal(await page.$eval(".penalty-rule", (e) => e.textContent), "هر سه پاسخ نادرست، یک پاسخ درست را خنثی می‌کند");
    assert.equal(await page.$$eval(".field-row", (r) => r.length), 2);
    assert.deepEqual(await page.$$eval(".field-row .weight", (c) => c.map((x) => x.textContent)), ["۲", "۱"]);
    // A blank is shown as blank; the negative figures read as such, left of their sign.
    assert.ok((await texts(page, ".result-item.blank .mark")).every((t) => t.startsWith("بی‌پاسخ")));
    const direction = await page.$eval(".field-table .overall bdi", (e) => getComputedStyle(e).direction);
    assert.equal(direction, "ltr");
    assert.deepEqual(await axe(page), []);
    await shot(page, "full-exam-result");
    // Printed, the result sheet carries the same table.
    await page.evaluate(() => document.body.classList.add("print-result"));
    const pdf = path.join(fixture, "full-exam-result.pdf");
    await page.pdf({ path: pdf, format: "A4", printBackground: false, preferCSSPageSize: true });
    const printed = execFileSync("pdftotext", [pdf, "-"], { encoding: "utf8" });
    const overall = await page.$eval(".field-table .overall", (e) => e.textContent);
    for (const part of ["کارنامه به تفکیک رشته", "حد نصاب", "درصد خام", "پایه هفتم", "پایه هشتم", "میانگین وزنی", overall.replace(/[^۰-۹٫]/g, "")])
      assert.ok(printed.includes(part), part + " not in the printed result:\n" + printed);
    assert.match(printed, /قبول|مردود/);
    assert.deepEqual(problems, []);
    await page.close();
  });
});

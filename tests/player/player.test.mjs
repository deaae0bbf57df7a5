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
import { open as openIn, openVerb, runSteps } from "./player_page.mjs";

const here = path.dirname(fileURLToPath(import.meta.url));
const fixture = process.env.TAVRIN_PLAYER_FIXTURE;
const shots = process.env.TAVRIN_PLAYER_SHOTS;
const exports = fs.readdirSync(path.join(fixture, "out")).sort().map((name) => path.join(fixture, "out", name));
const chromium = ["/usr/bin/chromium", "/usr/bin/chromium-browser"].find((p) => fs.existsSync(p));
const scenarios = path.join(here, "..", "data", "player");

let browser;
const open = (...where) => openIn(browser, ...where);

before(async () => {
  assert.ok(chromium, "Debian's chromium is needed");
  browser = await puppeteer.launch({ executablePath: chromium, headless: true, args: ["--no-sandbox"] });
});
after(async () => { if (browser) await browser.close(); });

// An export's data changed before it is opened: its first question left without a right
// answer, or its first lesson made 45 questions long, every fifth with a long explanation, the
// first with a picture answer, and no time limit.
const changes = {
  "unmarked first": (data) => Object.assign(data.lessons[0].questions[0], { correct: 0, unmarked: true }),
  "forty-five questions": (data) => {
    const lesson = data.lessons[0];
    const withPicture = lesson.questions.find((x) => Object.keys(x.images).length) || lesson.questions[0];
    const long = "توضیح " + "این پاسخ درست است زیرا ماده در این حالت شکل ثابتی ندارد؛ ".repeat(8) + "پایان";
    lesson.questions = Array.from({ length: 45 }, (_, i) => ({ ...(i === 0 ? withPicture : lesson.questions[0]),
      text: "سؤال شماره " + (i + 1), explanation: i % 5 === 0 ? long : "کوتاه" }));
    data.settings.exam.minutes = 0;
  },
};

// The verbs of changed data and of paper.
const own = {
  "open-changed": async (s, n, change, query) => {
    const copy = fs.mkdtempSync(path.join(fixture, "changed-"));
    fs.cpSync(exports[+n], copy, { recursive: true });
    const file = path.join(copy, "Data", "quizdata.js");
    const script = fs.readFileSync(file, "utf8");
    const data = JSON.parse(script.slice(script.indexOf("=") + 1, script.lastIndexOf(";")));
    changes[change](data);
    fs.writeFileSync(file, "const TAVRIN_DATA = " + JSON.stringify(data) + ";\n");
    await s.leave();
    ({ page: s.page, problems: s.problems } = await open(copy, undefined, query));
    s.folder = copy;
  },
  // The result as printed: its pictures' heights on paper, then the PDF and its text.
  print: async (s, name) => {
    await s.page.evaluate(() => document.body.classList.add("print-result"));
    await s.page.emulateMediaType("print");
    s.heights = await s.page.$$eval(".result-item img", (n) => n.map((i) => i.getBoundingClientRect().height));
    await s.page.emulateMediaType(null);
    const pdf = path.join(s.folder, name + ".pdf");
    await s.page.pdf({ path: pdf, format: "A4", printBackground: false, preferCSSPageSize: true });
    await s.page.evaluate(() => document.body.classList.remove("print-result"));
    s.pdf = { info: execFileSync("pdfinfo", [pdf], { encoding: "utf8" }),
      text: execFileSync("pdftotext", [pdf, "-"], { encoding: "utf8" }),
      layout: execFileSync("pdftotext", ["-layout", pdf, "-"], { encoding: "utf8" }) };
    if (shots) fs.copyFileSync(pdf, path.join(shots, name + ".pdf"));
  },
  "printed-pictures-taller-than": (s, h) =>
    assert.ok(s.heights.length > 0 && s.heights.every((x) => x > +h), String(s.heights)),
  "pdf-info": (s, pattern) => assert.match(s.pdf.info, new RegExp(pattern), s.where),
  "pdf-count": (s, pattern, n) => assert.equal((s.pdf.text.match(new RegExp(pattern, "g")) || []).length, +n, s.where),
  "layout-count": (s, pattern, n) =>
    assert.equal((s.pdf.layout.match(new RegExp(pattern, "g")) || []).length, +n, s.where),
};

describe("the scenarios", () => {
  for (const name of fs.readdirSync(scenarios).filter((f) => f.endsWith(".steps")).sort()) {
    test(name, () => runSteps(path.join(scenarios, name), { ...own, open: openVerb(browser, exports) }));
  }
});

// The questions that leave the tool: the GIFT file read by gift-pegjs, the SCORM packages'
// manifests checked against the IMS and ADL schemas by xmllint, and a package played in
// Chromium inside a page that gives it the SCORM 1.2 API of scorm-again. The files are those
// make_exports.cpp made in <fixture>/interchange.
import { after, before, describe, test } from "node:test";
import assert from "node:assert/strict";
import { execFileSync } from "node:child_process";
import fs from "node:fs";
import http from "node:http";
import os from "node:os";
import path from "node:path";
import { fileURLToPath } from "node:url";
import gift from "gift-pegjs";
import puppeteer from "puppeteer-core";
import { answerFor, same, shot } from "./player_page.mjs";

const here = path.dirname(fileURLToPath(import.meta.url));
const fixture = process.env.TAVRIN_PLAYER_FIXTURE;
const travel = path.join(fixture, "interchange");
const chromium = ["/usr/bin/chromium", "/usr/bin/chromium-browser"].find((p) => fs.existsSync(p));
const schema = path.join(here, "..", "export", "scorm12", "manifest.xsd");

// The first export's data: the lessons the GIFT file and the packages were made from.
function exportedData() {
  const first = fs.readdirSync(path.join(fixture, "out")).sort()[0];
  const script = fs.readFileSync(path.join(fixture, "out", first, "Data", "quizdata.js"), "utf8");
  return JSON.parse(script.slice(script.indexOf("=") + 1).trim().replace(/;$/, ""));
}

function unpacked(zip) {
  const folder = fs.mkdtempSync(path.join(os.tmpdir(), "tavrin-scorm-"));
  execFileSync("unzip", ["-q", zip, "-d", folder]);
  return folder;
}

// A click in one turn of the page's own script: a button the page has just drawn anew is
// clicked as it stands, with no race against the mouse's path to it.
async function press(page, selector) {
  await page.waitForSelector(selector, { visible: true });
  await page.$eval(selector, (b) => b.click());
}

describe("GIFT", () => {
  test("gift-pegjs finds every question of the sample with its right answer and explanation", () => {
    const parsed = gift.parse(fs.readFileSync(path.join(travel, "sample.gift"), "utf8"));
    const questions = parsed.filter((q) => q.type !== "Category");
    const categories = parsed.filter((q) => q.type === "Category").map((c) => c.title);
    const lessons = exportedData().lessons;
    assert.deepEqual(categories, [
      "$course$/top/پایه هفتم/علوم: حالت‌های ماده",
      "$course$/top/پایه هفتم/علوم: حالت‌های ماده/حالت‌های ماده",
      "$course$/top/پایه هفتم/جغرافیا: ایران"]);
    const expected = lessons.flatMap((l) => l.questions);
    assert.equal(questions.length, expected.length);
    questions.forEach((q, i) => {
      const want = expected[i];
      assert.equal(same(q.stem.text), same(want.text), "question " + i);
      if (!want.answers.length) {
        assert.equal(q.type, "Description");
        return;
      }
      assert.equal(q.type, "MC");
      // A picture answer travels as the words that name its picture.
      const named = (a) => a.replace(/\{(\d+)\}/g, (m, n) => "[تصویر: " + path.basename(want.images[n] || "") + "]");
      assert.deepEqual(q.choices.map((c) => same(c.text.text)), want.answers.map(named).map(same));
      assert.deepEqual(q.choices.map((c) => c.isCorrect), want.answers.map((_, k) => k + 1 === want.correct));
      assert.equal(same(q.globalFeedback.text), same(want.explanation));
      assert.match(q.title, /[۰-۹]$/);
    });
    assert.doesNotMatch(fs.readFileSync(path.join(travel, "sample.gift"), "utf8"), /[\u064A\u0643]/);
  });

  test("every escaped character comes back as it was", () => {
    const parsed = gift.parse(fs.readFileSync(path.join(travel, "special.gift"), "utf8"));
    const expected = JSON.parse(fs.readFileSync(path.join(travel, "special.json"), "utf8"));
    assert.deepEqual(parsed.filter((q) => q.type === "Category").map((c) => c.title), ["$course$/top/a:b/c"]);
    const questions = parsed.filter((q) => q.type === "MC");
    assert.equal(questions.length, expected.length);
    questions.forEach((q, i) => {
      assert.equal(q.title, expected[i].title);
      assert.equal(q.stem.text, expected[i].text);
      assert.deepEqual(q.choices.map((c) => c.text.text), expected[i].answers);
      assert.deepEqual(q.choices.map((c) => c.isCorrect), expected[i].answers.map((_, k) => k + 1 === expected[i].correct));
      assert.equal(q.globalFeedback.text, expected[i].explanation);
    });
  });
});

describe("SCORM 1.2 packages", () => {
  test("the manifests are valid IMS CP 1.1.2 / ADL SCORM 1.2 and name every file", () => {
    for (const [zip, items] of [["lessons.zip", 2], ["all.zip", 1]]) {
      const folder = unpacked(path.join(travel, zip));
      execFileSync("xmllint", ["--noout", "--schema", schema, path.join(folder, "imsmanifest.xml")], { stdio: "pipe" });
      const manifest = fs.readFileSync(path.join(folder, "imsmanifest.xml"), "utf8");
      assert.equal((manifest.match(/<item /g) || []).length, items, zip);
      assert.match(manifest, /adlcp:scormtype="sco"/);
      assert.match(manifest, /<adlcp:masteryscore>60<\/adlcp:masteryscore>/);
      const named = [...manifest.matchAll(/<file href="([^"]+)"/g)].map((m) => m[1]).sort();
      const held = execFileSync("unzip", ["-Z1", path.join(travel, zip)], { encoding: "utf8" })
        .split("\n").filter((f) => f && f !== "imsmanifest.xml").sort();
      // The schemas the manifest names stand beside it, as files of the package, not of its SCO.
      const schemas = held.filter((f) => f.endsWith(".xsd"));
      assert.deepEqual(schemas, ["adlcp_rootv1p2.xsd", "ims_xml.xsd", "imscp_rootv1p1p2.xsd"]);
      const located = manifest.match(/xsi:schemaLocation="([^"]+)"/)[1].split(/\s+/).filter((_, k) => k % 2);
      for (const f of located) assert.ok(schemas.includes(f), f);
      assert.deepEqual(named, held.filter((f) => !f.endsWith(".xsd")));
      for (const f of named) assert.ok(fs.existsSync(path.join(folder, f)), f);
      assert.doesNotMatch(manifest, /[\u064A\u0643]/);
    }
  });
});

describe("a package played by a learning platform", () => {
  let browser;
  let server;
  let base;
  const roots = {};
  before(async () => {
    assert.ok(chromium, "Debian's chromium is needed");
    roots.lessons = unpacked(path.join(travel, "lessons.zip"));
    roots.all = unpacked(path.join(travel, "all.zip"));
    const scormAgain = path.join(here, "node_modules", "scorm-again", "dist", "scorm12.js");
    // The platform's server: its own page and script, and the packages under /lessons and /all.
    server = http.createServer((req, res) => {
      const url = new URL(req.url, "http://localhost");
      const [, root, ...rest] = decodeURIComponent(url.pathname).split("/");
      const file = url.pathname === "/host.html" ? path.join(here, "scorm_host.html")
        : url.pathname === "/scorm12.js" ? scormAgain
        : roots[root] ? path.join(roots[root], ...rest) : null;
      if (!file || !fs.existsSync(file) || !fs.statSync(file).isFile()) {
        res.writeHead(404).end();
        return;
      }
      const types = { ".html": "text/html; charset=utf-8", ".js": "text/javascript; charset=utf-8", ".css": "text/css" };
      res.writeHead(200, { "content-type": types[path.extname(file)] || "application/octet-stream" });
      fs.createReadStream(file).pipe(res);
    });
    await new Promise((resolve) => server.listen(0, "127.0.0.1", resolve));
    base = "http://127.0.0.1:" + server.address().port;
    browser = await puppeteer.launch({ executablePath: chromium, headless: true, args: ["--no-sandbox"] });
  });
  after(async () => {
    if (browser) await browser.close();
    if (server) server.close();
  });

  // Opens the platform's page with a package item in its frame; the player's clock is the
  // page's, so a test moves time on.
  async function launch(sco) {
    const page = await browser.newPage();
    await page.setViewport({ width: 1100, height: 800 });
    const problems = [];
    page.on("pageerror", (e) => problems.push(e.message));
    await page.evaluateOnNewDocument(() => {
      window.TAVRIN_CLOCK = () => 1000000 + (window.top.advanced || 0);
    });
    await page.goto(base + "/host.html?sco=" + encodeURIComponent(sco), { waitUntil: "networkidle0" });
    const frame = page.frames().find((f) => f !== page.mainFrame());
    await frame.waitForSelector(".lesson");
    return { page, frame, problems };
  }
  const recorded = (page) => page.evaluate(() => JSON.parse(JSON.stringify(window.recorded)));

  // An exam of the n-th lesson shown, in a page or the platform's frame, every answer right
  // or every one wrong.
  async function takeExam(page, n, allRight, beforeFinish = null) {
    await press(page, 'button.exam[data-lesson="' + n + '"]');
    await page.waitForSelector("#question");
    for (;;) {
      const chosen = await answerFor(page, allRight);
      if (chosen) await press(page, `.answer[data-answer="${chosen}"]`);
      if (await page.$eval("#next", (b) => b.disabled)) break;
      await press(page, "#next");
    }
    if (beforeFinish) await beforeFinish();
    await press(page, "#finish");
    await page.waitForSelector("#result-title");
  }


  test("a lesson's SCO: an exam answered right is reported as 100, passed, with its time", async () => {
    const { page, frame, problems } = await launch("/lessons/index.html?lesson=0");
    const before = await recorded(page);
    assert.equal(before.initialized, true);
    assert.equal(before.sets["cmi.core.lesson_status"], "incomplete");
    assert.deepEqual(await frame.$$eval(".lesson .title", (n) => n.map((x) => x.textContent)), ["علوم: حالت‌های ماده"]);
    // Finished a minute and five seconds on.
    await takeExam(frame, 0, true, () => page.evaluate(() => { window.advanced = 65000; }));
    const after = await recorded(page);
    assert.equal(after.sets["cmi.core.score.raw"], "100");
    assert.equal(after.sets["cmi.core.score.min"], "0");
    assert.equal(after.sets["cmi.core.score.max"], "100");
    assert.equal(after.sets["cmi.core.lesson_status"], "passed");
    assert.equal(after.sets["cmi.core.session_time"], "00:01:05.00");
    assert.ok(after.commits >= 2);
    assert.equal(after.finished, false);
    await shot(page, "scorm-result");
    // Leaving the package ends the session.
    await page.evaluate(() => { document.getElementById("sco").src = "about:blank"; });
    await page.waitForFunction(() => window.recorded.finished === true);
    assert.deepEqual(problems, []);
    await page.close();
  });

  test("one SCO for all lessons: a wrong exam is reported as the score the student saw, failed", async () => {
    const { page, frame, problems } = await launch("/all/index.html");
    assert.equal((await frame.$$(".lesson")).length, 2);
    // Every answer the student gives is wrong.
    await takeExam(frame, 1, false);
    const shown = await frame.$eval(".result-percent", (d) => d.textContent);
    const percent = Number(shown.replace(/[۰-۹]/g, (d) => "۰۱۲۳۴۵۶۷۸۹".indexOf(d)).replace("٪", ""));
    const after = await recorded(page);
    assert.equal(after.sets["cmi.core.score.raw"], String(percent));
    assert.equal(after.sets["cmi.core.lesson_status"], percent >= 60 ? "passed" : "failed");
    assert.match(after.sets["cmi.core.session_time"], /^\d{2,4}:\d{2}:\d{2}\.\d{2}$/);
    assert.deepEqual(problems, []);
    await page.close();
  });

  // The package opened as the platform's own window opens it, with a strict runtime in that
  // same window; `held` is what the platform kept from earlier sessions.
  const strict = fs.readFileSync(path.join(here, "strict_scorm12.js"), "utf8");
  async function launchStrict(sco, held, options) {
    const page = await browser.newPage();
    await page.setViewport({ width: 1100, height: 800 });
    const problems = [];
    const warnings = [];
    page.on("pageerror", (e) => problems.push(e.message));
    page.on("console", (m) => { if (m.type() === "warn" || m.type() === "warning") warnings.push(m.text()); });
    await page.evaluateOnNewDocument((source, kept, chosen) => {
      window.TAVRIN_CLOCK = () => 1000000 + (window.advanced || 0);
      (0, eval)(source);
      window.API = new StrictScorm12API(kept, chosen);
    }, strict, held || null, options || null);
    await page.goto(base + sco, { waitUntil: "networkidle0" });
    await page.waitForSelector(".lesson");
    return { page, problems, warnings };
  }
  const runtime = (page) => page.evaluate(() => JSON.parse(JSON.stringify({
    held: window.API.held, sets: window.API.sets, refused: window.API.refused })));

  async function practise(page, n) {
    await press(page, 'button.lesson[data-lesson="' + n + '"]');
    while (!(await page.$("#score-title"))) {
      const answers = await page.$$(".answer:not([disabled])");
      if (answers.length) await answers[answers.length - 1].evaluate((x) => x.click());
      await press(page, "#next");
    }
  }

  test("a strict runtime in the SCO's own window: an exam, a practice round, a failed retake", async () => {
    const { page, problems, warnings } = await launchStrict("/lessons/index.html?lesson=0",
      { "cmi.core.student_name": "Rostami, Sara" });
    assert.equal((await runtime(page)).held["cmi.core.lesson_status"], "incomplete");
    await press(page, 'button.exam[data-lesson="0"]');
    await page.waitForSelector("#question");
    assert.equal((await runtime(page)).sets["cmi.core.exit"], "suspend", "an unfinished exam suspends");
    await press(page, "#home");
    await press(page, "#leave");
    await takeExam(page, 0, true);
    let now = await runtime(page);
    assert.equal(now.held["cmi.core.score.raw"], "100");
    assert.equal(now.held["cmi.core.lesson_status"], "passed");
    assert.equal(now.sets["cmi.core.exit"], "");
    assert.equal(now.held.interactions.length, 1);
    assert.match(now.held.interactions[0].id, /^exam_/);
    assert.equal(now.held.interactions[0].result, "100");
    assert.equal(await page.$eval("#result .student", (p) => p.textContent), "نام و نام خانوادگی: Sara Rostami");
    await shot(page, "scorm-result-named");
    // A practice round is the student's own: the platform hears nothing of it.
    await press(page, "#result .nav button:last-child");
    await practise(page, 0);
    assert.deepEqual((await runtime(page)).held, now.held);
    // A failed retake is listed and kept as the lesson's latest, but the pass stands.
    await press(page, "#home");
    await takeExam(page, 0, false);
    now = await runtime(page);
    assert.equal(now.held["cmi.core.lesson_status"], "passed");
    assert.equal(now.held["cmi.core.score.raw"], "100");
    assert.equal(now.held.interactions.length, 2);
    assert.equal(now.held.interactions[1].result, "0");
    assert.deepEqual(Object.values(JSON.parse(now.held["cmi.suspend_data"])), [0]);
    assert.deepEqual(now.refused, []);
    assert.deepEqual(warnings, []);
    assert.deepEqual(problems, []);
    await page.close();
  });

  test("one SCO for all lessons: the mean of each lesson's latest exam, across sessions", async () => {
    const first = await launchStrict("/all/index.html");
    await takeExam(first.page, 1, false);
    await press(first.page, "#result .nav button:last-child");
    await takeExam(first.page, 0, true);
    const held = (await runtime(first.page)).held;
    assert.equal(held["cmi.core.score.raw"], "50");
    assert.equal(held["cmi.core.lesson_status"], "failed");
    assert.equal(held.interactions.length, 2);
    assert.deepEqual((await runtime(first.page)).refused, []);
    await first.page.close();
    // The next session finds the first lesson's exam in the platform's keeping.
    const second = await launchStrict("/all/index.html", held);
    await takeExam(second.page, 1, true);
    const after = await runtime(second.page);
    assert.equal(after.held["cmi.core.score.raw"], "100");
    assert.equal(after.held["cmi.core.lesson_status"], "passed");
    assert.equal(after.held.interactions.length, 3);
    assert.deepEqual(after.refused, []);
    assert.deepEqual(first.warnings.concat(second.warnings), []);
    await second.page.close();
  });

  test("a runtime without interactions: each refused call is told on the console, the rest reported", async () => {
    const { page, problems, warnings } = await launchStrict("/lessons/index.html?lesson=1", null, { interactions: false });
    await takeExam(page, 0, true);
    const now = await runtime(page);
    assert.equal(now.held["cmi.core.lesson_status"], "passed");
    assert.ok(warnings.length > 0);
    assert.ok(warnings.every((w) => /^SCORM LMS(Get|Set)Value\(cmi\.interactions\.[^)]*\) failed: error 401 \(Not implemented error\)$/.test(w)), warnings.join("\n"));
    assert.deepEqual(problems, []);
    await page.close();
  });

  test("without a platform the package plays as a CD", async () => {
    const page = await browser.newPage();
    const problems = [];
    page.on("pageerror", (e) => problems.push(e.message));
    await page.goto(base + "/lessons/index.html", { waitUntil: "networkidle0" });
    await page.waitForSelector(".lesson");
    assert.equal((await page.$$(".lesson")).length, 2);
    await press(page, "button.lesson");
    await page.waitForSelector("#question");
    assert.deepEqual(problems, []);
    await page.close();
  });
});

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
import { answerFor, endExam, runSteps } from "./player_page.mjs";

const here = path.dirname(fileURLToPath(import.meta.url));
const fixture = process.env.TAVRIN_PLAYER_FIXTURE;
const travel = path.join(fixture, "interchange");
const chromium = ["/usr/bin/chromium", "/usr/bin/chromium-browser"].find((p) => fs.existsSync(p));
const schema = path.join(here, "..", "export", "scorm12", "manifest.xsd");

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

// What gift-pegjs finds in a GIFT file the tool wrote: its categories, and each question's
// kind, title, text, answers, right answer (1 first) and explanation.
function giftRead(name) {
  const parsed = gift.parse(fs.readFileSync(path.join(travel, name), "utf8"));
  return {
    categories: parsed.filter((q) => q.type === "Category").map((c) => c.title),
    questions: parsed.filter((q) => q.type !== "Category").map((q) => ({ type: q.type, title: q.title,
      text: q.stem.text, answers: (q.choices || []).map((c) => c.text.text),
      correct: (q.choices || []).findIndex((c) => c.isCorrect) + 1, explanation: q.globalFeedback?.text })),
  };
}

describe("GIFT", () => {
  // tests/data/platforms/sample_gift.json: a category per lesson and group; a picture answer as
  // the words that name its picture; a question without answers as a description; Persian
  // letters and digits in the titles.
  test("gift-pegjs finds every question of the sample with its right answer and explanation", () => {
    assert.deepEqual(JSON.parse(JSON.stringify(giftRead("sample.gift"))),
      JSON.parse(fs.readFileSync(path.join(here, "..", "data", "platforms", "sample_gift.json"), "utf8")));
  });

  test("every escaped character comes back as it was", () => {
    const { categories, questions } = giftRead("special.gift");
    assert.deepEqual(categories, ["$course$/top/a:b/c"]);
    assert.deepEqual(questions.map(({ type, ...q }) => q),
      JSON.parse(fs.readFileSync(path.join(here, "..", "data", "platforms", "special_questions.json"), "utf8")));
  });
});

// The project scored with a third off each wrong answer (make_exports.cpp): written as each
// wrong answer's negative fraction, read by a strict XML reader and gift-pegjs.
describe("negative marks", () => {
  // Moodle's grades of an answer (question_bank::fraction_options_full), in percent.
  const grades = ["100", "90", "83.33333", "80", "75", "70", "66.66667", "60", "50", "40", "33.33333", "30",
    "25", "20", "16.66667", "14.28571", "12.5", "11.11111", "10", "5", "0"];
  const allowed = new Set(grades.flatMap((g) => [g, "-" + g]));

  test("Moodle XML: well formed, every answer's fraction one Moodle lists, each wrong one -33.33333", () => {
    const file = path.join(travel, "scored.xml");
    // xmllint parses strictly (no recovery): a file that is not well formed fails here.
    const fractions = execFileSync("xmllint", ["--xpath", "//question[@type='multichoice']/answer/@fraction", file],
      { encoding: "utf8" }).match(/fraction="[^"]*"/g).map((f) => f.slice(10, -1));
    assert.ok(fractions.length > 20);
    for (const f of fractions) assert.ok(allowed.has(f), f);
    const rights = fractions.filter((f) => f === "100").length;
    assert.deepEqual([...new Set(fractions.filter((f) => f !== "100"))], ["-33.33333"]);
    assert.equal(execFileSync("xmllint", ["--xpath", "count(//question[@type='multichoice'])", file], { encoding: "utf8" }).trim(), String(rights));
  });

  test("GIFT: gift-pegjs reads each wrong answer's weight as -33.33333, the right one as right", () => {
    const parsed = gift.parse(fs.readFileSync(path.join(travel, "scored.gift"), "utf8")).filter((q) => q.type === "MC");
    assert.ok(parsed.length > 5);
    for (const q of parsed) {
      assert.equal(q.choices.filter((c) => c.isCorrect).length, 1, q.title);
      for (const c of q.choices.filter((c) => !c.isCorrect)) assert.equal(c.weight, -33.33333, q.title);
    }
  });
});

// The lesson of formulas (tests/data/formulas/quiz0-0.txt) as Moodle XML and GIFT: each
// formula comes back as the same TeX, in the delimiters the platforms' filters read.
describe("formulas", () => {
  const player = { addEventListener() {} };
  new Function("window", fs.readFileSync(path.join(here, "..", "..", "resources", "player", "player-formula.js"), "utf8"))(player);
  const formulasOf = (texts) => texts.flatMap((t) => player.Tavrin.formulaPieces(t))
    .filter((p) => p.kind !== "text").map((p) => p.kind + " " + p.tex).sort();
  const source = fs.readFileSync(path.join(here, "..", "data", "formulas", "quiz0-0.txt"), "utf8");
  const expected = formulasOf(source.split("\n"));
  const html = (h) => h.replace(/<[^>]*>/g, "").replace(/&lt;/g, "<").replace(/&gt;/g, ">")
    .replace(/&quot;/g, '"').replace(/&#39;/g, "'").replace(/&amp;/g, "&");

  test("Moodle XML: read strictly, every formula as written, in \\( \\) or \\[ \\] and isolated", () => {
    const file = path.join(travel, "formulas.xml");
    execFileSync("xmllint", ["--noout", file]); // no recovery: not well formed fails here
    const texts = [...fs.readFileSync(file, "utf8").matchAll(/<!\[CDATA\[([\s\S]*?)\]\]>/g)].map((m) => m[1]);
    assert.ok(expected.length >= 10);
    assert.deepEqual(formulasOf(texts.map(html)), expected);
    for (const t of texts) {
      for (const p of player.Tavrin.formulaPieces(html(t)).filter((p) => p.kind !== "text")) {
        assert.match(p.source, /^\\[([]/, p.source);
        assert.ok(t.includes('<span dir="ltr">' + p.source.replace(/&/g, "&amp;").replace(/</g, "&lt;").replace(/>/g, "&gt;")), p.source);
      }
    }
  });

  test("GIFT: gift-pegjs reads every formula back as it was", () => {
    const parsed = gift.parse(fs.readFileSync(path.join(travel, "formulas.gift"), "utf8")).filter((q) => q.type === "MC");
    const texts = parsed.flatMap((q) => [q.stem.text, q.globalFeedback?.text || "", ...q.choices.map((c) => c.text.text)]);
    assert.deepEqual(formulasOf(texts), expected);
  });
});

describe("SCORM 1.2 packages", () => {
  test("the manifests are valid IMS CP 1.1.2 / ADL SCORM 1.2 and name every file, each 0644", () => {
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
      // Every entry is for others to read once unpacked, whatever the disk said.
      const modes = execFileSync("zipinfo", [path.join(travel, zip)], { encoding: "utf8" })
        .split("\n").filter((l) => /^[-d][rwx-]{9} /.test(l));
      assert.ok(modes.length >= 9 && modes.every((l) => l.startsWith("-rw-r--r--")), zip);
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
    roots.scored = unpacked(path.join(travel, "scored.zip"));
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

  // The platform's verbs over the player's: the package opened in the platform's frame with
  // scorm-again ("host SCO"), in the platform's own window with a strict runtime ("strict SCO
  // [student=NAME] [carried] [no-interactions]"), or with no platform ("plain SCO"); what the
  // platform was told ("told sets|held|top KEY VALUE", "~" before a pattern to match).
  const strict = fs.readFileSync(path.join(here, "strict_scorm12.js"), "utf8");
  const told = (s) => (s.owner || s.page).evaluate(() => JSON.parse(JSON.stringify(window.recorded
    ? { top: window.recorded, sets: window.recorded.sets }
    : { held: window.API.held, sets: window.API.sets, refused: window.API.refused })));
  const watched = async (s, setup) => {
    await s.leave();
    const page = await browser.newPage();
    await page.setViewport({ width: 1100, height: 800 });
    s.problems = [];
    s.warnings = [];
    page.on("pageerror", (e) => s.problems.push(e.message));
    page.on("console", (m) => { if (m.type() === "warn" || m.type() === "warning") s.warnings.push(m.text()); });
    if (setup) await page.evaluateOnNewDocument(...setup);
    return page;
  };
  const platform = {
    host: async (s, sco) => {
      const page = await watched(s, [() => { window.TAVRIN_CLOCK = () => 1000000 + (window.top.advanced || 0); }]);
      await page.goto(base + "/host.html?sco=" + encodeURIComponent(sco), { waitUntil: "networkidle0" });
      s.owner = page;
      s.page = page.frames().find((f) => f !== page.mainFrame());
      await s.page.waitForSelector(".lesson");
    },
    strict: async (s, sco, ...words) => {
      const student = words.find((w) => w.startsWith("student="));
      const held = words.includes("carried") ? s.carried
        : student ? { "cmi.core.student_name": student.slice(8) } : null;
      s.page = await watched(s, [(source, kept, chosen) => {
        window.TAVRIN_CLOCK = () => 1000000 + (window.advanced || 0);
        (0, eval)(source);
        window.API = new StrictScorm12API(kept, chosen);
      }, strict, held, words.includes("no-interactions") ? { interactions: false } : null]);
      await s.page.goto(base + sco, { waitUntil: "networkidle0" });
      await s.page.waitForSelector(".lesson");
    },
    plain: async (s, sco) => {
      s.page = await watched(s);
      await s.page.goto(base + sco, { waitUntil: "networkidle0" });
      await s.page.waitForSelector(".lesson");
    },
    press: (s, a) => press(s.page, a),
    // An exam of the n-th lesson shown, every answer right or every one wrong, finished unless
    // "unfinished".
    exam: (s, n, how, finish) => takeExam(s.page, n, how === "right", finish !== "unfinished"),
    // The comprehensive exam, every answer right or every one wrong, finished.
    "full-exam": (s, how) => takeExam(s.page, "full", how === "right", true),
    practise: async (s, n) => {
      await press(s.page, 'button.lesson[data-lesson="' + n + '"]');
      for (let i = 0; !(await s.page.$("#score-title")); i++) {
        assert.ok(i < 300, "the practice round never reached its score");
        const answers = await s.page.$$(".answer:not([disabled])");
        if (answers.length) await answers[answers.length - 1].evaluate((x) => x.click());
        await press(s.page, "#next");
      }
    },
    "time-passes": (s, ms) => (s.owner || s.page).evaluate((n) => { window.advanced = n; }, +ms),
    told: async (s, where, key, value) => {
      const got = String((await told(s))[where][key]);
      if (value.startsWith("~")) assert.match(got, new RegExp(value.slice(1)), s.where);
      else assert.equal(got, value, s.where);
    },
    interactions: async (s, n) => assert.equal((await told(s)).held.interactions.length, +n, s.where),
    interaction: async (s, k, key, value) =>
      assert.match(String((await told(s)).held.interactions[+k][key]), new RegExp(value), s.where),
    "commits-at-least": async (s, n) => assert.ok((await told(s)).top.commits >= +n, s.where),
    // The exams the platform keeps between sessions, by their scores.
    "kept-scores": async (s, scores) =>
      assert.deepEqual(Object.values(JSON.parse((await told(s)).held["cmi.suspend_data"])), JSON.parse(scores), s.where),
    carry: async (s) => { s.carried = (await told(s)).held; },
    "held-as-carried": async (s) => assert.deepEqual((await told(s)).held, s.carried, s.where),
    "nothing-refused": async (s) => {
      assert.deepEqual((await told(s)).refused, [], s.where);
      assert.deepEqual(s.warnings, [], s.where);
    },
    "warnings-all": (s, pattern) => {
      assert.ok(s.warnings.length > 0, s.where);
      for (const w of s.warnings) assert.match(w, new RegExp(pattern), s.where);
    },
    // The score the student saw is the score reported, and passes at 60.
    "reported-as-shown": async (s) => {
      const shown = await s.page.$eval(".result-percent", (d) => d.textContent);
      const percent = Number(shown.replace(/[۰-۹]/g, (d) => "۰۱۲۳۴۵۶۷۸۹".indexOf(d)).replace("٪", ""));
      const sets = (await told(s)).sets;
      assert.equal(sets["cmi.core.score.raw"], String(percent), s.where);
      assert.equal(sets["cmi.core.lesson_status"], percent >= 60 ? "passed" : "failed", s.where);
    },
    // Leaving the package ends the session.
    "leave-package": async (s) => {
      await s.owner.evaluate(() => { document.getElementById("sco").src = "about:blank"; });
      await s.owner.waitForFunction(() => window.recorded.finished === true);
    },
  };

  async function takeExam(page, n, allRight, finish) {
    await press(page, n === "full" ? "#full-exam" : 'button.exam[data-lesson="' + n + '"]');
    await page.waitForSelector("#question");
    for (let i = 0; ; i++) {
      assert.ok(i < 300, "the exam never reached its last question");
      const chosen = await answerFor(page, allRight);
      if (chosen) await press(page, `.answer[data-answer="${chosen}"]`);
      if (await page.$eval("#next", (b) => b.disabled)) break;
      await press(page, "#next");
    }
    if (!finish) return;
    await endExam(page);
  }

  const scenarios = path.join(here, "..", "data", "platforms");
  for (const name of fs.readdirSync(scenarios).filter((f) => f.endsWith(".steps")).sort()) {
    test(name, () => runSteps(path.join(scenarios, name), platform));
  }
});

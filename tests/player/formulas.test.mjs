// Formulas in Debian's Chromium: the division of a text into text and TeX (the same table as
// the tool's, tests/data/formulas/pieces.tsv), Word's equations as the tool turned them drawn
// as the same formula written by hand (tests/data/formulas/omml.tsv), and the lesson of
// formulas the tool exported (<fixture>/formulas): laid out left to right inside the
// right-to-left page, checked by where the glyphs are drawn.
import { after, before, describe, test } from "node:test";
import assert from "node:assert/strict";
import fs from "node:fs";
import path from "node:path";
import { fileURLToPath } from "node:url";
import puppeteer from "puppeteer-core";
import { execFileSync } from "node:child_process";
import os from "node:os";
import { axe, open, shot } from "./player_page.mjs";

const here = path.dirname(fileURLToPath(import.meta.url));
const fixture = process.env.TAVRIN_PLAYER_FIXTURE;
const exported = path.join(fixture, "formulas", "out", "Export 1");
const chromium = ["/usr/bin/chromium", "/usr/bin/chromium-browser"].find((p) => fs.existsSync(p));
const table = (name) => fs.readFileSync(path.join(here, "..", "data", "formulas", name), "utf8").split("\n")
  .filter((l) => l.trim() && !l.startsWith("#")).map((l) => l.split("\t"));

let browser;
before(async () => {
  assert.ok(chromium, "Debian's chromium is needed");
  browser = await puppeteer.launch({ executablePath: chromium, headless: true, args: ["--no-sandbox"] });
});
after(async () => { if (browser) await browser.close(); });

// The boxes of the characters of a node's text, in the text's order: [{c, left, right}].
const glyphs = (page, selector) => page.$eval(selector, (root) => {
  const out = [];
  const walker = document.createTreeWalker(root, NodeFilter.SHOW_TEXT);
  for (let n = walker.nextNode(); n; n = walker.nextNode()) {
    if (n.parentElement.closest(".katex-mathml")) continue; // read aloud, not drawn
    for (let i = 0; i < n.nodeValue.length; i++) {
      if (!n.nodeValue[i].trim()) continue;
      const range = document.createRange();
      range.setStart(n, i);
      range.setEnd(n, i + 1);
      const r = range.getBoundingClientRect();
      if (r.width > 0) out.push({ c: n.nodeValue[i], left: r.left, right: r.right, top: r.top });
    }
  }
  return out;
});
const at = (list, c) => {
  const g = list.find((x) => x.c === c);
  assert.ok(g, c + " is drawn");
  return g;
};

// The renderer the CD carries is KaTeX as npm gives the version pinned in the lock file.
test("the shipped KaTeX is the pinned one", () => {
  const shipped = path.join(here, "..", "..", "resources", "player", "katex");
  const dist = path.join(here, "node_modules", "katex", "dist");
  const names = ["katex.min.js", "katex.min.css", ...fs.readdirSync(path.join(shipped, "fonts")).map((f) => "fonts/" + f)];
  assert.equal(names.length, 22);
  for (const name of names) assert.ok(fs.readFileSync(path.join(shipped, name)).equals(fs.readFileSync(path.join(dist, name))), name);
  const lock = JSON.parse(fs.readFileSync(path.join(here, "package-lock.json"), "utf8"));
  assert.equal(lock.packages["node_modules/katex"].version, JSON.parse(fs.readFileSync(path.join(dist, "..", "package.json"))).version);
});

describe("the text's division", () => {
  test("the same table as the tool's", async () => {
    const { page, problems } = await open(browser, exported);
    const rows = table("pieces.tsv");
    const found = await page.evaluate((texts) => texts.map((t) => Tavrin.formulaPieces(t).map((p) =>
      (p.kind === "text" ? "T[" + p.source : p.kind === "inline" ? "I[" + p.tex : "D[" + p.tex) + "]").join(" ")),
      rows.map((r) => r[1].replaceAll("⏎", "\n").replaceAll("␍", "\r")));
    rows.forEach((r, i) => assert.equal(found[i], r[2].replaceAll("⏎", "\n").replaceAll("␍", "\r"), r[0]));
    assert.deepEqual(problems, []);
    await page.close();
  });
});

describe("the two splitters", () => {
  // Random texts of dollars, backslashes, brackets, digits of three scripts and Unicode spaces,
  // split by the tool (make_exports) and by the player: not one differs.
  test("read random texts alike", async () => {
    const { page } = await open(browser, exported);
    const rows = JSON.parse(fs.readFileSync(path.join(fixture, "formulas", "random-pieces.json"), "utf8"));
    assert.ok(rows.length >= 4000);
    const found = await page.evaluate((texts) => texts.map((t) => Tavrin.formulaPieces(t).map((p) =>
      (p.kind === "text" ? "T[" + p.source : p.kind === "inline" ? "I[" + p.tex : "D[" + p.tex) + "]").join(" ")),
      rows.map((r) => r[0]));
    const differ = rows.filter((r, i) => found[i] !== r[1]).map((r) => JSON.stringify(r[0]));
    assert.deepEqual(differ.slice(0, 10), []);
    await page.close();
  });
});

// A formula of a few bytes cannot draw past a few lines or expand without end: KaTeX is
// bounded where the CD and the paper exam draw it.
test("a formula is bounded in size and expansion", async () => {
  const { page } = await open(browser, exported);
  const drawn = await page.evaluate(() => {
    const heightOf = (text) => {
      const box = document.createElement("div");
      box.style.fontSize = "16px";
      box.append(...Tavrin.withFormulas(text, (t) => [document.createTextNode(t)]));
      document.body.append(box);
      const h = box.getBoundingClientRect().height;
      const broken = box.querySelector(".formula.broken") !== null;
      box.remove();
      return { h, broken };
    };
    return {
      rule: heightOf("\\(\\rule{1em}{30000em}\\)"),
      plain: heightOf("\\(\\rule{1em}{2em}\\)"),
      expand: heightOf("\\(\\def\\a{\\a\\a}\\a\\)"),
    };
  });
  assert.ok(!drawn.rule.broken && drawn.rule.h <= 20 * 16 + 40, "the rule is capped: " + drawn.rule.h);
  assert.ok(drawn.plain.h >= 2 * 16, "a rule within the bound keeps its size: " + drawn.plain.h);
  assert.ok(drawn.expand.broken, "an endless macro is refused, shown as its source");
  await page.close();
});

describe("Word's equations", () => {
  // Each converted formula beside the same one as a person writes it: the same pixels.
  test("drawn as the hand-written TeX is drawn", async () => {
    const { page } = await open(browser, exported);
    const rows = table("omml.tsv");
    // One box at one place, drawn in turn: the same pixels only where the glyphs are the same.
    await page.evaluate(() => {
      document.body.innerHTML = '<div id="box" style="position:absolute;left:20px;top:20px;'
        + 'padding:4px;background:#fff;color:#000;font-size:20px"></div>';
    });
    const draw = async (tex) => {
      await page.$eval("#box", (box, tex) => {
        box.innerHTML = katex.renderToString(tex, { displayMode: true, throwOnError: true, strict: "ignore" });
      }, tex);
      await page.evaluate(() => document.fonts.ready);
      return (await page.$("#box .katex-html")).screenshot({ encoding: "base64" });
    };
    const differ = [];
    for (const [name, , , tex, reference] of rows) {
      const tool = await draw(tex), hand = await draw(reference);
      assert.ok(tool.length > 200, name + " is drawn");
      if (tool !== hand) differ.push(name);
    }
    assert.deepEqual(differ, [], "the tool's TeX is drawn as the hand-written one");
    await page.close();
  });
});

describe("the lesson of formulas", () => {
  let page, problems;
  before(async () => {
    ({ page, problems } = await open(browser, exported));
    await page.click("button.lesson[data-lesson='0']");
    await page.waitForSelector("#question .formula");
    await page.evaluate(() => document.fonts.ready);
  });
  after(() => page.close());

  test("an inline formula keeps its place in the Persian sentence, drawn left to right", async () => {
    const words = await glyphs(page, "#question");
    // "اگر \(x^2 = 9\) و …": the sentence reads from the right, the formula from the left.
    const first = await page.$$eval("#question .formula", (f) => f.map((n) => {
      const r = n.getBoundingClientRect();
      return { left: r.left, right: r.right, text: n.querySelector(".katex-mathml").textContent };
    }));
    assert.equal(first.length, 2);
    const agar = words.find((g) => g.c === "ا"); // the sentence's first letter
    assert.ok(agar.left > first[0].right, "the formula stands after the sentence's first word (to its left)");
    assert.ok(first[0].left > first[1].right, "the second formula after the first");
    const inside = await glyphs(page, "#question .formula");
    const x = at(inside, "x"), two = at(inside, "2"), nine = at(inside, "9");
    assert.ok(x.right <= two.left + 1 && two.right <= nine.left, "x, ² and 9 from left to right");
    assert.ok(two.top < x.top, "the 2 is raised");
    // Persian digits in the sentence, none in a formula; MathML beside the drawing.
    assert.match(await page.$eval("#question", (q) => q.textContent), /۲/);
    const formulaText = await page.$$eval(".formula", (f) => f.map((n) => n.textContent).join(""));
    assert.doesNotMatch(formulaText, /[۰-۹]/);
    assert.ok(first.every((f) => f.text.includes("x")), "each formula has its MathML");
  });

  test("formulas in the answers left to right, the answers from the right", async () => {
    const answers = await page.$$eval(".answer", (a) => a.map((n) => n.getBoundingClientRect().right));
    const first = await glyphs(page, ".answer[data-answer='1'] .formula");
    const x = at(first, "x"), eq = at(first, "="), three = at(first, "3");
    assert.ok(x.right <= eq.left && eq.right <= three.left);
    // The answer's word after its formula stands at the formula's left (its own label "الف)"
    // is taken off: the player letters the answers itself).
    const words = await glyphs(page, ".answer[data-answer='1'] .text");
    assert.ok(at(words, "س").right < x.left);
    assert.equal(words.some((g) => g.c === "ل"), false);
    assert.equal(new Set(answers.map(Math.round)).size, 1, "the answers line up at the right");
    assert.deepEqual(await axe(page), []);
    await shot(page, "formulas-question");
  });

  test("the explanation's display formula after an answer", async () => {
    await page.click(".answer[data-answer='1']");
    await page.waitForSelector(".explanation .formula.display");
    const display = await glyphs(page, ".explanation .formula.display");
    const x = at(display, "x"), root = at(display, "9");
    assert.ok(x.left < root.left);
    assert.deepEqual(await axe(page), []);
  });

  test("a display formula, a picture beside a formula, a broken formula and cases", async () => {
    await page.click("#next");
    await page.waitForSelector(".answer .formula.display");
    const sum = await glyphs(page, ".answer[data-answer='1'] .formula");
    const equals = sum.filter((g) => g.c === "=").pop(); // the last: the first is the limit's
    assert.ok(at(sum, "∑").right <= equals.left, "the sum on the left of its value");
    // {1}{2} of a fraction names no picture: the answer shows the one picture it marks.
    assert.equal(await page.$$eval(".answer[data-answer='2'] img", (i) => i.length), 1);
    const broken = await page.$eval(".answer[data-answer='3'] .formula.broken", (b) => {
      const r = b.getBoundingClientRect();
      return { text: b.textContent, width: r.width, height: r.height };
    });
    assert.ok(broken.text.includes("\\(\\frac{1}{\\)") && broken.width > 20 && broken.height > 5,
      "the broken formula shows its source, marked");
    const cases = await glyphs(page, ".answer[data-answer='4'] .formula");
    const brace = cases.find((g) => "{⎧⎨⎩".includes(g.c)); // by size, one glyph or pieces
    assert.ok(brace, "the brace is drawn");
    const rows = cases.slice(cases.indexOf(brace) + 1);
    assert.ok(rows.length > 4 && rows.every((g) => g.left >= brace.right), "the brace on the left of its rows");
    assert.ok(at(cases, "f").right <= brace.left, "and on the right of f(x) =");
    assert.deepEqual(await axe(page), []);
    assert.deepEqual(problems, []);
    await shot(page, "formulas-display-broken-cases");
  });
});

// The SCORM package of the same lesson draws its formulas as the CD does, from its own files.
test("the SCORM package draws the formulas", async () => {
  const folder = fs.mkdtempSync(path.join(os.tmpdir(), "tavrin-scorm-formulas-"));
  execFileSync("unzip", ["-q", path.join(fixture, "interchange", "formulas.zip"), "-d", folder]);
  const { page, problems } = await open(browser, folder);
  await page.click("button.lesson[data-lesson='0']");
  await page.waitForSelector("#question .formula .katex");
  await page.evaluate(() => document.fonts.ready);
  assert.equal(await page.$$eval("#question .formula .katex", (f) => f.length), 2);
  assert.ok(await page.evaluate(() => [...document.fonts].some((f) => f.family === "KaTeX_Main" && f.status === "loaded")),
    "KaTeX's fonts come from the package");
  assert.deepEqual(problems, []);
  await page.close();
});

// The paper benchmark's peer: one Chromium process (Debian's, driven by puppeteer-core as the
// tests pin it) printing the tool's laid-out pages one after another, each once it says it is
// laid out, A4 with no margins as the tool prints them. Usage: node print_pages.mjs OUT PAGE…
// Prints the milliseconds from the browser's start to the last PDF written.
import { createRequire } from "node:module";
import fs from "node:fs";
import path from "node:path";
import { fileURLToPath, pathToFileURL } from "node:url";

const here = path.dirname(fileURLToPath(import.meta.url));
const require = createRequire(path.join(here, "..", "tests", "player", "package.json"));
const puppeteer = require("puppeteer-core");

const [out, ...pages] = process.argv.slice(2);
const started = performance.now();
const browser = await puppeteer.launch({ executablePath: "/usr/bin/chromium", headless: true,
  args: ["--no-sandbox", "--disable-gpu"] });
try {
  const tab = await browser.newPage();
  for (const page of pages) {
    await tab.goto(pathToFileURL(page).href, { waitUntil: "load" });
    await tab.waitForFunction("window.paperDone || window.paperFailed", { timeout: 300000 });
    if (await tab.evaluate("window.paperFailed")) throw new Error(page + " was not laid out");
    const pdf = await tab.pdf({ format: "A4", printBackground: true, preferCSSPageSize: true,
      margin: { top: 0, right: 0, bottom: 0, left: 0 }, timeout: 300000 });
    fs.writeFileSync(path.join(out, path.basename(page).replace(/\.html$/, ".pdf")), pdf);
  }
} finally {
  await browser.close();
}
console.log(Math.round(performance.now() - started));

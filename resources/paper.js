// The exam on paper: the tool hands one document's data (PAPER) to this page, which lays
// it out as A4 sheets by measuring, so that no question is split across pages unless it is
// longer than a page, and numbers each page; the browser engine then prints it as it stands.
"use strict";

(function (T) {
  const { el, fa, digits, rich, withImages } = T;
  const data = typeof PAPER === "undefined" ? null : PAPER;

  // The sheets made so far; each holds a body with columns and a foot.
  const pages = [];
  function newPage(head) {
    const body = el("div", { class: "page-body" });
    const page = el("section", { class: data.kind === "sheet" ? "page marked" : "page" }, body,
      el("div", { class: "page-foot" }));
    if (data.kind === "sheet")
      for (const c of ["tr", "tl", "br", "bl"]) page.append(el("div", { class: "corner " + c }));
    if (head) body.append(head);
    const columns = el("div", { class: "columns" + (data.columns === 2 ? " two" : "") });
    const count = data.columns === 2 ? 2 : 1;
    for (let i = 0; i < count; i++) columns.append(el("div", { class: "col" }));
    body.append(columns);
    document.body.append(page);
    pages.push(page);
    return [...columns.children];
  }


  // The height a column's blocks take.
  function used(col) {
    const last = col.lastElementChild;
    return last ? last.offsetTop + last.offsetHeight : 0;
  }
  const overflows = (col) => used(col) > col.clientHeight + 0.5;

  // Where a block taller than a column may be cut: the top of a line or a picture, at most
  // `limit` below `from`; the column's height when no line starts there.
  function cutAt(block, from, limit) {
    const top = block.getBoundingClientRect().top;
    let best = 0;
    const walker = document.createTreeWalker(block, NodeFilter.SHOW_TEXT);
    const tops = [];
    for (let n = walker.nextNode(); n; n = walker.nextNode()) {
      const range = document.createRange();
      range.selectNodeContents(n);
      for (const r of range.getClientRects()) tops.push(r.top - top);
    }
    for (const img of block.querySelectorAll("img, .katex-display")) tops.push(img.getBoundingClientRect().top - top);
    for (const t of tops) if (t > from + 1 && t <= from + limit && t > best) best = t;
    return best > from ? best : from + limit;
  }


  // Blocks into columns and pages, in order.
  const kMostColumns = 12;

  function flow(blocks, head) {
    let cols = newPage(head);
    let at = 0;
    // A column of a page without the header: what a block may need at most.
    const fullHeight = (() => {
      const probe = newPage(null);
      const h = probe[0].clientHeight;
      pages.pop().remove();
      return h;
    })();
    const nextColumn = () => {
      at += 1;
      if (at >= cols.length) {
        cols = newPage(null);
        at = 0;
      }
    };
    for (const block of blocks) {
      let col = cols[at];
      col.append(block);
      if (!overflows(col)) continue;
      // Taller than a whole column: begun where it stands, shown in pieces cut at lines.
      const height = block.offsetHeight;
      if (height <= fullHeight) {
        block.remove();
        nextColumn();
        cols[at].append(block);
        continue;
      }
      // A bound on one question: past it the exam is refused with the question's number,
      // never printed as hundreds of pages of one question.
      if (height > kMostColumns * fullHeight) {
        const number = block.querySelector(".q-num");
        throw new Error("question " + (number ? number.textContent.replace(/\.$/, "") : "?") +
          " would fill more than " + kMostColumns + " columns");
      }
      block.remove();
      let from = 0;
      while (from < height - 0.5) {
        col = cols[at];
        let room = col.clientHeight - used(col);
        if (room < fullHeight / 8) {
          nextColumn();
          col = cols[at];
          room = col.clientHeight;
        }
        const probe = block.cloneNode(true);
        col.append(probe);
        const to = height - from <= room ? height : Math.min(height, cutAt(probe, from, room));
        probe.remove();
        const piece = el("div", { class: "piece" });
        piece.style.height = to - from + "px";
        const inner = block.cloneNode(true);
        inner.style.marginTop = -from + "px";
        piece.append(inner);
        col.append(piece);
        from = to;
      }
    }
    numberPages();
  }

  function numberPages() {
    const total = pages.length;
    pages.forEach((page, i) => {
      const parts = ["صفحهٔ " + digits(i + 1) + " از " + digits(total)];
      if (data.version && data.version.count > 1) parts.push("نسخهٔ " + data.version.name);
      if (data.header.title) parts.push(fa(data.header.title));
      page.querySelector(".page-foot").textContent = parts.join("  ·  ");
    });
  }

  function header(withStudent) {
    const h = data.header;
    const line = (label, value) => (value ? el("div", {}, label + fa(String(value))) : null);
    const side1 = el("div", { class: "side" },
      line("آموزشگاه: ", h.school), line("کلاس: ", h.className), line("دبیر: ", h.teacher));
    const middle = el("div", {},
      el("div", { class: "title" }, ...rich(h.title || data.project || "")),
      data.kind !== "booklet" ? el("div", { class: "sub", text: kindTitle() }) : null);
    const side2 = el("div", { class: "side" },
      line("تاریخ: ", h.date ? digits(h.date) : ""),
      h.minutes > 0 ? el("div", {}, "مدت: " + digits(h.minutes) + " دقیقه") : null,
      data.version && data.version.count > 1 ? el("div", { class: "version", text: "نسخهٔ " + data.version.name }) : null);
    const box = el("div", { class: "head" }, el("div", { class: "head-grid" }, side1, middle, side2));
    if (withStudent)
      box.append(el("div", { class: "student" },
        el("span", { text: "نام و نام خانوادگی: ………………………………" }), el("span", { text: "شماره: …………" })));
    return box;
  }
  function kindTitle() {
    return { key: "کلید پاسخ‌ها", explanations: "پاسخ‌نامهٔ تشریحی", sheet: "پاسخ‌برگ" }[data.kind] || "";
  }

  const fieldTitle = (f) => fa((data.fields && data.fields[f]) || "رشته " + digits(f + 1));
  const manyFields = (questions) => new Set(questions.map((q) => q.field)).size > 1;

  // A question of the booklet: its number, its text, its options from ۱ at the right.
  function questionBlock(q, n) {
    const opts = el("ol", { class: "opts measuring" }, ...q.answers.map((a, i) =>
      el("li", {}, el("span", { class: "opt-key", text: digits(i + 1) + ")" }),
        el("span", { class: "opt-text" }, ...withImages(a, q.images)))));
    return el("div", { class: "q" },
      el("div", { class: "q-text" }, el("span", { class: "q-num", text: digits(n) + "." }),
        ...withImages(q.text, q.images)),
      q.answers.length ? opts : null);
  }
  // One row of four, two rows of two or four rows, as the longest option allows.
  function arrangeOptions(root) {
    for (const ol of root.querySelectorAll(".opts.measuring")) {
      const width = ol.clientWidth;
      const widest = Math.max(...[...ol.children].map((li) => li.getBoundingClientRect().width));
      const gap = 16;
      const per = widest <= width / 4 - gap ? 4 : widest <= width / 2 - gap ? 2 : 1;
      ol.className = "opts per-" + per;
    }
  }

  function booklet() {
    const blocks = [];
    const p = data.penalty || [0, 1];
    if (p[0] > 0) blocks.push(el("div", { class: "rule" }, "نمرهٔ منفی: " + T.score.penaltyWords(p, digits)));
    const sections = manyFields(data.questions);
    let field = -1;
    data.questions.forEach((q, i) => {
      if (sections && q.field !== field) {
        field = q.field;
        blocks.push(el("div", { class: "field-title", text: fieldTitle(field) }));
      }
      blocks.push(questionBlock(q, i + 1));
    });
    return blocks;
  }

  // The student's number: a box to write each digit in, above its column of bubbles ۰ to ۹,
  // the number's first digit at the left, so the number is read by machine.
  function numberGrid() {
    return el("div", { class: "number-grid", "aria-label": "شماره" },
      el("div", { class: "number-title", text: "شماره" }),
      el("div", { class: "number-cols" }, ...Array.from({ length: 8 }, (_, d) =>
        el("div", { class: "number-col" }, el("span", { class: "digit-box" }),
          ...Array.from({ length: 10 }, (_, v) =>
            el("span", { class: "bubble small", "data-digit": d, "data-value": v, text: digits(v) }))))));
  }

  // The sheet: a page for every hundred questions, each with the student's fields, the
  // number's grid and a QR code of its own (the page is in the code), so pages read back in
  // any order are joined.
  const kSheetRows = 25, kSheetPerPage = 100;
  function sheetPages() {
    const v = data.version;
    const count = Math.max(1, Math.ceil(data.options.length / kSheetPerPage));
    if (!Array.isArray(data.qr) || data.qr.length !== count)
      throw new Error("the sheet has " + count + " pages and " + (data.qr ? data.qr.length : 0) + " QR codes");
    for (let p = 0; p < count; p++) {
      const head = el("div", { class: "sheet-head" },
        el("div", { class: "fields" },
          el("div", { class: "title" }, ...rich(data.header.title || data.project || "")),
          el("div", {}, "پاسخ‌برگ" + (v.count > 1 ? " · نسخهٔ " + v.name : "") +
            (data.header.date ? " · " + digits(data.header.date) : "")),
          el("div", { class: "box-field" }, el("span", { text: "نام و نام خانوادگی:" }),
            el("div", { class: "box" }, data.student ? fa(data.student.name) : ""))),
        numberGrid(),
        el("div", { class: "qr", "aria-label": "کد نسخه" }));
      head.querySelector(".qr").innerHTML = data.qr[p]; // the tool's own SVG, from its QR encoder
      const hint = el("div", { class: "hint", text: "برای هر سؤال فقط یک دایره را کاملاً پر کنید؛ سؤال بی‌پاسخ را خالی بگذارید." });
      const grid = el("div", { class: "grid" });
      const start = p * kSheetPerPage, end = Math.min(start + kSheetPerPage, data.options.length);
      for (let c = start; c < end; c += kSheetRows) {
        const col = el("div", { class: "grid-col" });
        for (let n = c; n < Math.min(c + kSheetRows, end); n++) {
          col.append(el("div", { class: "grid-row" }, el("span", { class: "n", text: digits(n + 1) }),
            ...[1, 2, 3, 4].map((k) => k > data.options[n] ? el("span", { class: "bubble none" })
              : el("span", { class: "bubble", "data-question": n + 1, "data-option": k, text: digits(k) }))));
        }
        grid.append(col);
      }
      const cols = newPage(el("div", {}, head, hint));
      cols[0].append(grid);
      if (overflows(cols[0]))
        throw new Error("page " + (p + 1) + " of the sheet is taller than the paper");
    }
    numberPages();
  }

  // What was drawn, measured where it stands, in millimetres from each page's top-left
  // corner: what a reader of the scanned sheet needs to find every bubble.
  function sheetLayout() {
    const round = (x) => Math.round(x * 1000) / 1000;
    return {
      width: 210, height: 297,
      pages: pages.map((page) => {
        const box = page.getBoundingClientRect();
        const mm = 210 / box.width;
        const at = (node) => {
          const r = node.getBoundingClientRect();
          return { x: round((r.left + r.width / 2 - box.left) * mm), y: round((r.top + r.height / 2 - box.top) * mm),
            w: round(r.width * mm), h: round(r.height * mm) };
        };
        const marks = [...page.querySelectorAll(".corner")].map((c) => {
          const m = at(c);
          return { corner: c.classList[1], x: m.x, y: m.y, size: m.w };
        });
        const q = at(page.querySelector(".qr svg"));
        const bubble = (b, extra) => {
          const m = at(b);
          return Object.assign(extra, { x: m.x, y: m.y, r: round(m.w / 2) });
        };
        return {
          marks,
          qr: { x: round(q.x - q.w / 2), y: round(q.y - q.h / 2), size: q.w },
          bubbles: [...page.querySelectorAll(".bubble[data-question]")].map((b) =>
            bubble(b, { question: +b.dataset.question, option: +b.dataset.option })),
          number: [...page.querySelectorAll(".bubble[data-digit]")].map((b) =>
            bubble(b, { digit: +b.dataset.digit, value: +b.dataset.value })),
        };
      }),
    };
  }

  function key() {
    const blocks = [];
    // Each version's key in blocks of ten rows, none taller than a column: a page of any
    // length is laid out block by block, never cut and copied whole into each piece.
    const perBlock = 100;
    for (const v of data.versions) {
      for (let start = 0; start < v.rights.length; start += perBlock) {
        const grid = el("div", { class: "key-grid" });
        // A cell a question: its number above its right option.
        v.rights.slice(start, start + perBlock).forEach((r, i) => grid.append(el("div", {},
          el("span", { class: "n", text: digits(start + i + 1) }), el("span", { class: "k", text: digits(r) }))));
        const last = start + perBlock >= v.rights.length;
        blocks.push(el("div", { class: "key-block" + (last ? "" : " key-part") },
          start === 0 ? el("h2", { text: "کلید نسخهٔ " + v.name }) : null, grid));
      }
    }
    // The master key: which question of each version is which of the bank, by rows of 25.
    for (let start = 0; start < data.master.length; start += 25) {
      const head = el("tr", {}, el("th", { text: "سؤال بانک" }), el("th", { class: "lesson", text: "درس" }),
        ...data.versions.map((v) => el("th", { text: "نسخهٔ " + v.name })));
      const rows = data.master.slice(start, start + 25).map((m) => el("tr", {},
        el("td", {}, el("bdi", { dir: "ltr", text: m.bank })),
        el("td", { class: "lesson", text: fa(m.lesson) + (m.cancelled ? " (سؤال لغو شده)" : "") }),
        ...m.places.map(([n, r]) => el("td", { text: "سؤال " + digits(n) + "، گزینهٔ " + digits(r) }))));
      blocks.push(el("div", { class: "master key-block" },
        start === 0 ? el("h2", { text: "کلید اصلی: جای هر سؤال بانک در هر نسخه" }) : null,
        el("table", { class: "master" }, el("thead", {}, head), el("tbody", {}, ...rows))));
    }
    return blocks;
  }

  function explanations() {
    const names = data.versionNames;
    const sections = manyFields(data.questions);
    let field = -1;
    const blocks = [];
    data.questions.forEach((q, i) => {
      if (sections && q.field !== field) {
        field = q.field;
        blocks.push(el("div", { class: "field-title", text: fieldTitle(field) }));
      }
      const where = names.length > 1
        ? el("div", { class: "x-where" }, q.places.map(([n, r], v) => "نسخهٔ " + names[v] + ": سؤال " + digits(n) + "، گزینهٔ " + digits(r)).join(" · "))
        : null;
      blocks.push(el("div", { class: "q" },
        el("div", { class: "q-text" }, el("span", { class: "q-num", text: digits(i + 1) + "." }),
          ...withImages(q.text, q.images),
          q.cancelled ? el("span", { class: "cancelled", text: " (سؤال لغو شده)" }) : null),
        el("div", { class: "x-right" }, el("b", { text: "پاسخ درست (گزینهٔ " + digits(q.places[0][1]) + "):" }),
          ...withImages(q.right, q.images)),
        where,
        q.explanation && q.explanation.trim() ? el("div", { class: "x-text" }, ...withImages(q.explanation, q.images)) : null));
    });
    return blocks;
  }

  // Every picture loaded; one that does not is named and the page refused, never printed
  // as a broken icon.
  function waitForPictures(root) {
    const missing = (img) => new Error("a picture did not load: " + decodeURIComponent(img.src));
    return Promise.all([...root.querySelectorAll("img")].map((img) =>
      img.complete ? (img.naturalWidth > 0 ? null : Promise.reject(missing(img)))
        : new Promise((done, fail) => { img.onload = done; img.onerror = () => fail(missing(img)); })));
  }

  async function layOut() {
    document.documentElement.style.setProperty("--size", (data.fontSize || 12) + "pt");
    let head = null;
    let blocks;
    if (data.kind === "booklet") {
      head = header(true);
      blocks = booklet();
    } else if (data.kind === "sheet") {
      await document.fonts.ready;
      sheetPages();
      await document.fonts.ready;
      window.paperLayout = JSON.stringify(sheetLayout());
      return;
    } else {
      head = header(false);
      blocks = data.kind === "key" ? key() : explanations();
    }
    // Laid out once out of sight at a column's width: fonts and pictures load, options are
    // arranged by their widths, then everything is measured where it stands.
    const cols = newPage(head);
    const measure = el("div", { class: "measure" });
    measure.style.width = cols[0].clientWidth + "px";
    measure.append(...blocks);
    document.body.append(measure);
    await waitForPictures(measure);
    await document.fonts.ready;
    arrangeOptions(measure);
    pages.pop().remove();
    measure.remove();
    flow(blocks, head);
    await document.fonts.ready;
  }

  if (data) {
    window.addEventListener("DOMContentLoaded", () => {
      layOut().then(() => { window.paperDone = true; },
        (e) => { window.paperFailed = String((e && e.message) || e); });
    });
  }
})(window.Tavrin = window.Tavrin || {});

// The item analysis on paper: the tool hands the analysis (REPORT) to this page, which draws
// its plots as SVG and lays the report out as A4 sheets by measuring, a table's header again
// on each sheet it continues on; the browser engine then prints it as it stands.
"use strict";

(function (T) {
  const { el, fa, digits, rich, withImages } = T;
  const data = typeof REPORT === "undefined" ? null : REPORT;
  const SVG = "http://www.w3.org/2000/svg";

  // A figure in Persian digits and decimal sign, kept left to right ("−۰٫۱۲"); a dash
  // where it is not defined.
  function n(x, places) {
    if (x === null || x === undefined) return el("span", { class: "n none", text: "—" });
    const text = digits(Number(x).toFixed(places)).replace(".", "٫").replace("-", "\u2212");
    return el("span", { class: "n", dir: "ltr", text });
  }
  const pct = (x, places) => el("span", {}, n(x, places), "٪");

  function svg(tag, attrs, ...children) {
    const node = document.createElementNS(SVG, tag);
    for (const [k, v] of Object.entries(attrs || {})) node.setAttribute(k, v);
    for (const c of children) if (c !== null && c !== undefined) node.append(c);
    return node;
  }
  const svgText = (x, y, text, attrs) => svg("text", Object.assign({ x, y }, attrs || {}), text);

  // Sheets made so far; each holds a body the blocks flow into.
  let body = null;
  function newPage() {
    body = el("div", { class: "page-body" });
    document.body.append(el("section", { class: "page" }, body, el("div", { class: "page-foot" })));
    return body;
  }
  const overflows = () => body.scrollHeight > body.clientHeight + 0.5;

  // What is left of the sheet below its last block.
  function free() {
    const last = body.lastElementChild;
    const used = last ? last.getBoundingClientRect().bottom - body.getBoundingClientRect().top : 0;
    return body.clientHeight - used;
  }

  // A heading that would end a sheet goes to the next with what follows it.
  function newPageKeeping() {
    const last = body.lastElementChild;
    const keep = last && last.classList.contains("keep-next") && body.children.length > 1 ? last : null;
    if (keep) keep.remove();
    newPage();
    if (keep) body.append(keep);
  }

  // Rows of one height go by counting, so a class of thousands is laid out in one measure a
  // sheet; the header again at the top of each sheet the table continues on.
  function flowRows(table) {
    let at = 0;
    let height = 0;
    while (at < table.rows.length) {
      const head = table.head.cloneNode(true);
      body.append(head);
      if (!height) {
        body.append(table.rows[0]);
        height = table.rows[0].getBoundingClientRect().height;
        table.rows[0].remove();
      }
      let fit = Math.floor((free() - 1) / height);
      if (fit < 1 && body.children.length > 1) {
        head.remove();
        newPageKeeping();
        continue;
      }
      fit = Math.max(1, fit);
      const some = document.createDocumentFragment();
      for (const row of table.rows.slice(at, at + fit)) some.append(row);
      body.append(some);
      at += fit;
      if (at < table.rows.length) newPage();
    }
  }

  // A block moves to a new sheet when it does not fit, a heading with it.
  function flow(blocks) {
    newPage();
    for (const b of blocks) {
      if (b.tableRows) {
        flowRows(b);
        continue;
      }
      body.append(b);
      if (!overflows() || body.children.length === 1) continue;
      b.remove();
      newPageKeeping();
      body.append(b);
    }
    const pages = document.querySelectorAll(".page");
    pages.forEach((p, i) => {
      p.querySelector(".page-foot").textContent =
        fa(data.title) + " · تحلیل سؤال‌ها · صفحهٔ " + digits(i + 1) + " از " + digits(pages.length);
    });
  }

  function heading(text) {
    return el("h2", { class: "keep-next", text });
  }

  function front() {
    const t = data.test;
    return el("div", { class: "front" },
      el("h1", { text: "تحلیل سؤال‌های آزمون" }),
      el("div", { class: "sub" }, fa(data.title) + (data.exam ? " · " + fa(data.exam) : "")),
      el("div", { class: "sub" }, digits(data.date) + " · " + digits(t.students) + " دانش‌آموز · " +
        digits(t.questions) + " سؤال · " + T.score.penaltyWords(data.penalty, digits)));
  }

  // The test's figures, each with what it means and its usual bounds.
  function figures() {
    const t = data.test;
    const rows = [
      ["میانگین درصد", pct(t.mean, 2), "درصد کل با قاعدهٔ نمره‌منفی پروژه، میانگین کلاس."],
      ["میانه", pct(t.median, 2), "درصد دانش‌آموز وسط کلاس؛ دور از میانگین یعنی نمره‌ها یک‌سو کشیده شده‌اند."],
      ["انحراف معیار", n(t.sd, 2), "پراکندگی درصدها (با n − ۱)؛ پایه‌ی تراز."],
      ["کمینه و بیشینه", el("span", {}, pct(t.min, 2), " تا ", pct(t.max, 2)), "کمترین و بیشترین درصد کلاس."],
      ["چولگی", n(t.skewness, 3), "مثبت: بیشتر نمره‌ها پایین‌اند (آزمون دشوار)؛ منفی: بیشتر بالا؛ بین −۱ و ۱ معمول است."],
      ["کشیدگی", n(t.kurtosis, 3), "کشیدگی اضافه نسبت به توزیع نرمال (صفر)؛ منفی یعنی پخش‌تر."],
      ["پایایی KR-20", n(t.kr20, 3), "هماهنگی درونی سؤال‌ها (برابر آلفای کرونباخ)؛ بالای ۰٫۷۵ رضایت‌بخش، زیر ۰٫۵ ضعیف."],
      ["خطای معیار اندازه‌گیری", n(t.sem, 2), "انحراف معیار × √(۱ − KR-20)؛ درصد هر دانش‌آموز تا همین اندازه نامطمئن است."],
    ];
    return el("table", { class: "figures" }, el("tbody", {},
      ...rows.map(([name, value, meaning]) =>
        el("tr", {}, el("th", { text: name }), el("td", { class: "v" }, value), el("td", { class: "m", text: meaning })))));
  }

  // How many students stand in each tenth of the percentages.
  function histogram() {
    const ps = data.percents;
    const low = Math.min(0, Math.floor(Math.min(...ps) / 10) * 10);
    const bins = [];
    for (let b = low; b < 100; b += 10) bins.push(0);
    for (const p of ps) bins[Math.min(bins.length - 1, Math.floor((p - low) / 10))]++;
    const most = Math.max(...bins, 1);
    const W = 170, H = 48, left = 12, bottom = 10, bw = (W - left) / bins.length;
    const g = svg("svg", { viewBox: `0 0 ${W} ${H}`, class: "plot", role: "img", "aria-label": "نمودار درصدها" });
    g.append(svg("line", { x1: left, y1: H - bottom, x2: W, y2: H - bottom, class: "axis" }));
    bins.forEach((c, i) => {
      const h = (H - bottom - 6) * c / most;
      // Left to right as percentages are read on a scale.
      const x = left + i * bw;
      g.append(svg("rect", { x: x + 0.6, y: H - bottom - h, width: bw - 1.2, height: h, class: "bar" }));
      if (c) g.append(svgText(x + bw / 2, H - bottom - h - 1, digits(c), { class: "count" }));
      g.append(svgText(x, H - 3, digits(low + i * 10), { class: "tick" }));
    });
    g.append(svgText(W - 1, H - 3, digits(100), { class: "tick", "text-anchor": "end" }));
    return el("div", { class: "figure" }, g, el("div", { class: "caption", text: "تعداد دانش‌آموزان در هر ده درصد (محور افقی: درصد کل)" }));
  }

  // Facility across, discrimination up; flagged questions in red.
  function itemMap() {
    const W = 170, H = 90, left = 14, bottom = 10, top = 3;
    const x = (f) => left + (W - left - 3) * f / 100;
    const y = (d) => top + (H - bottom - top) * (1 - (d + 0.5) / 1.5);
    const g = svg("svg", { viewBox: `0 0 ${W} ${H}`, class: "plot", role: "img", "aria-label": "نقشهٔ سؤال‌ها" });
    for (const d of [-0.5, 0, 0.2, 0.5, 1]) {
      g.append(svg("line", { x1: left, y1: y(d), x2: W - 3, y2: y(d), class: d === 0.2 ? "guide" : "grid" }));
      g.append(svgText(left - 1.5, y(d) + 1.2, digits(d.toFixed(1)).replace(".", "٫").replace("-", "\u2212"), { class: "tick", "text-anchor": "end" }));
    }
    for (const f of [0, 20, 50, 90, 100]) {
      g.append(svg("line", { x1: x(f), y1: top, x2: x(f), y2: H - bottom, class: f === 20 || f === 90 ? "guide" : "grid" }));
      g.append(svgText(x(f), H - 4, digits(f), { class: "tick", "text-anchor": "middle" }));
    }
    data.items.forEach((q) => {
      if (q.discrimination === null) return;
      const d = Math.max(-0.5, Math.min(1, q.discrimination));
      const cls = q.flags.length ? "point flagged" : "point";
      g.append(svg("circle", { cx: x(q.facility), cy: y(d), r: 1.1, class: cls }));
      g.append(svgText(x(q.facility) + 1.5, y(d) - 1, digits(q.n), { class: "label" + (q.flags.length ? " flagged" : "") }));
    });
    return el("div", { class: "figure" }, g, el("div", { class: "caption",
      text: "محور افقی: درصد پاسخ درست (آسانی)؛ محور عمودی: ضریب تمیز (همبستگی با بقیهٔ آزمون). خط‌های رنگی: ۲۰ و ۹۰ درصد، تمیز ۰٫۲. سؤال‌های نشان‌دار قرمزند." }));
  }

  // A small bar a question: how many chose each option, the key dark.
  function choiceBars(q) {
    const W = 30, H = 7, most = Math.max(...q.chose, 1), bw = W / q.chose.length;
    const g = svg("svg", { viewBox: `0 0 ${W} ${H}`, class: "bars" });
    q.chose.forEach((c, i) => {
      const h = (H - 0.5) * c / most;
      // Option 1 on the right, as the options are printed.
      const x = W - (i + 1) * bw;
      g.append(svg("rect", { x: x + 0.4, y: H - h, width: bw - 0.8, height: Math.max(h, 0.3),
        class: i + 1 === q.key ? "key" : i < q.options ? "other" : "absent" }));
    });
    return g;
  }

  function flagList(q) {
    return el("ul", { class: "flags" }, ...q.flags.map((f) =>
      el("li", {}, el("b", { text: f.words + ": " }), f.reason)));
  }

  function flagged() {
    const blocks = [];
    const list = data.items.filter((q) => q.flags.length);
    if (!list.length) return [heading("سؤال‌های نشان‌دار"), el("p", { text: "هیچ سؤالی نشان‌دار نشد." })];
    blocks.push(heading("سؤال‌های نشان‌دار (" + digits(list.length) + ")"));
    for (const q of list) {
      blocks.push(el("div", { class: "flagged-q" },
        el("div", { class: "q-head" }, el("b", { text: "سؤال " + digits(q.n) }), el("span", { class: "lr", dir: "ltr", text: q.id }),
          el("span", {}, "· آسانی ", pct(q.facility, 1), " · تمیز ", n(q.discrimination, 2))),
        el("div", { class: "q-text" }, ...withImages(q.text, q.images)),
        el("ol", { class: "opts" }, ...q.answers.map((a, i) =>
          el("li", { class: i + 1 === q.key ? "key" : "" },
            el("span", { class: "opt-text" }, ...withImages(a, q.images)),
            el("span", { class: "chose", text: " (" + digits(q.chose[i]) + " نفر" + (i + 1 === q.key ? "، کلید" : "") + ")" })))),
        flagList(q)));
    }
    return blocks;
  }

  // Rows of equal height, so a long table flows by counting.
  function rowTable(cls, columns, rows) {
    const head = el("div", { class: "trow thead " + cls }, ...columns.map((c) => el("div", { text: c })));
    return { tableRows: true, head, rows: rows.map((cells) => el("div", { class: "trow " + cls }, ...cells.map((c) => el("div", {}, c)))) };
  }

  function itemTable() {
    return rowTable("items", ["#", "سؤال", "آسانی", "تمیز", "بالا−پایین", "دورشته‌ای", "گزینه‌ها", "نشان"],
      data.items.map((q) => [digits(q.n), el("span", { class: "lr", dir: "ltr", text: q.id }), pct(q.facility, 1),
        n(q.discrimination, 2), n(q.upperLower, 2), n(q.pointBiserial, 2), choiceBars(q),
        q.flags.map((f) => f.words).join("، ")]));
  }

  function classList() {
    return rowTable("class", ["رتبه", "نام", "نسخه", "درست", "نادرست", "نزده", "درصد", "تراز"],
      data.students.map((s) => [digits(s.rank), fa(s.name), s.version ? digits(s.version) : "—",
        digits(s.right), digits(s.wrong), digits(s.blank), pct(s.percent, 2), digits(s.taraz)]));
  }

  function layOut() {
    const blocks = [front(), heading("شاخص‌های آزمون"), figures(), heading("توزیع درصدها"), histogram(),
      heading("نقشهٔ سؤال‌ها"), itemMap(), ...flagged(), heading("همهٔ سؤال‌ها"), itemTable(),
      heading("فهرست کلاس به ترتیب رتبه"), classList()];
    flow(blocks);
    return document.fonts.ready;
  }

  if (data) {
    window.addEventListener("DOMContentLoaded", () => {
      Promise.resolve().then(layOut).then(() => { window.paperDone = true; },
        (e) => { window.paperFailed = String((e && e.message) || e); });
    });
  }
})(window.Tavrin = window.Tavrin || {});

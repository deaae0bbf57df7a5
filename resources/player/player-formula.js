// Formulas in the texts: TeX between \( \) or \[ \] ($ $ and $$ $$ read the same), drawn by
// KaTeX left to right inside the right-to-left page, with MathML beside the drawing for
// screen readers. Persian letters and digits are never put inside a formula; one that does
// not parse stays visible as its source, marked.
"use strict";

(function (T) {
  // The same division as the authoring tool's (store/formula_text): both read one table.
  const LONGEST = 2000; // no formula is longer: openers without closers are read in linear time
  const blankLineAt = (text, i) => text[i] === "\n" && (text[i + 1] === "\n" || (text[i + 1] === "\r" && text[i + 2] === "\n"));
  function dollarEnd(text, at) {
    const from = at + 1;
    if (from >= text.length || /\s/.test(text[from]) || text[from] === "$") return -1;
    const last = Math.min(text.length, from + LONGEST);
    for (let i = from; i < last; i++) {
      const c = text[i];
      if (c === "\\") { i++; continue; }
      if (blankLineAt(text, i)) return -1;
      if (c !== "$") continue;
      if (/\s/.test(text[i - 1]) || /[0-9\u0660-\u0669\u06F0-\u06F9]/.test(text[i + 1] || "")) continue;
      return i;
    }
    return -1;
  }
  function closedAt(text, at, close) {
    const last = Math.min(text.length, at + LONGEST);
    for (let i = at; i + close.length <= last; i++) {
      if (text.startsWith(close, i)) return i;
      if (text[i] === "\\" && close[0] !== "\\") i++;
      else if (text[i] === "\\" && text[i + 1] === "\\") i++;
    }
    return -1;
  }
  // Where the last closer of each kind stands (-1: none), found once a text: an opener after
  // it cannot close, so a text of openers alone is read in linear time.
  function lastClosers(text) {
    const found = {};
    return {
      of: (close) => (close in found ? found[close] : (found[close] = text.lastIndexOf(close))),
      dollar: () => {
        if ("$" in found) return found.$;
        found.$ = -1;
        for (let i = text.length - 1; i > 0; i--) {
          if (text[i] === "$" && !/\s/.test(text[i - 1]) && !/[0-9\u0660-\u0669\u06F0-\u06F9]/.test(text[i + 1] || "")) { found.$ = i; break; }
        }
        return found.$;
      },
    };
  }
  function formulaAt(text, at, last) {
    const c = text[at], next = text[at + 1];
    if (c === "\\" && (next === "(" || next === "[")) {
      const display = next === "[";
      const closer = display ? "\\]" : "\\)";
      if (last.of(closer) < at + 2) return null;
      const close = closedAt(text, at + 2, closer);
      if (close <= at + 2) return null;
      return { kind: display ? "display" : "inline", texStart: at + 2, texEnd: close, end: close + 2 };
    }
    if (c !== "$") return null;
    if (next === "$") {
      if (last.of("$$") < at + 2) return null;
      const close = closedAt(text, at + 2, "$$");
      if (close <= at + 2) return null;
      return { kind: "display", texStart: at + 2, texEnd: close, end: close + 2 };
    }
    if (last.dollar() <= at + 1) return null;
    const close = dollarEnd(text, at);
    if (close < 0) return null;
    return { kind: "inline", texStart: at + 1, texEnd: close, end: close + 1 };
  }
  // [{kind: "text"|"inline"|"display", source, tex}]
  function formulaPieces(text) {
    text = String(text);
    const pieces = [];
    let plainFrom = 0;
    const flush = (to) => { if (to > plainFrom) pieces.push({ kind: "text", source: text.slice(plainFrom, to), tex: "" }); };
    if (text.indexOf("$") < 0 && text.indexOf("\\") < 0) {
      flush(text.length);
      return pieces;
    }
    const last = lastClosers(text);
    for (let i = 0; i < text.length; i++) {
      const c = text[i];
      if (c === "\\" && text[i + 1] === "$") { i++; continue; }
      if (c !== "\\" && c !== "$") continue;
      const f = formulaAt(text, i, last);
      if (!f) continue;
      flush(i);
      pieces.push({ kind: f.kind, source: text.slice(i, f.end), tex: text.slice(f.texStart, f.texEnd) });
      plainFrom = f.end;
      i = f.end - 1;
    }
    flush(text.length);
    return pieces;
  }

  // A formula drawn once is drawn again from memory, its nodes copied: a lesson repeats its
  // formulas, and the student goes back and forth.
  const drawn = new Map();
  function formula(piece) {
    const display = piece.kind === "display";
    const key = (display ? "D" : "I") + piece.tex;
    let html = drawn.get(key);
    if (html === undefined) {
      try {
        html = document.createElement("template");
        html.innerHTML = window.katex.renderToString(piece.tex, {
          displayMode: display, throwOnError: true, strict: "ignore", output: "htmlAndMathml",
          // No formula may draw past a few lines (\rule{1em}{30000em} would lay out a
          // thousand pages) or expand its macros without end.
          maxSize: 20, maxExpand: 1000,
        });
      } catch (e) {
        html = null; // not TeX KaTeX reads, or no KaTeX
      }
      drawn.set(key, html);
    }
    const node = document.createElement("span");
    node.setAttribute("dir", "ltr");
    if (html === null) {
      node.className = "formula broken";
      node.title = "این فرمول خوانده نشد";
      node.append(document.createTextNode(piece.source));
      const mark = document.createElement("span");
      mark.className = "broken-mark";
      mark.textContent = "⚠";
      mark.setAttribute("aria-label", "فرمول نادرست");
      node.prepend(mark);
    } else {
      node.className = display ? "formula display" : "formula";
      // Named by its TeX where a name is computed (an answer that is only a formula); the
      // MathML inside stays for readers that walk through mathematics.
      node.setAttribute("role", "math");
      node.setAttribute("aria-label", piece.tex.trim());
      node.append(html.content.cloneNode(true)); // KaTeX's own markup, made from the TeX alone
    }
    return node;
  }

  // A text's nodes: its formulas drawn, the rest through `plain` (letters and digits shown
  // in Persian, picture marks...).
  function withFormulas(text, plain) {
    const parts = [];
    for (const p of formulaPieces(text)) {
      if (p.kind === "text") parts.push(...plain(p.source));
      else parts.push(formula(p));
    }
    return parts;
  }

  // KaTeX's first drawing is slow (its tables built, its code compiled) and its fonts load
  // only when first used: on a disc with formulas, while the page is idle before the student
  // opens a lesson, the formulas of each lesson's first question are drawn out of sight: their
  // drawings are kept and their fonts load.
  const piecesOf = (t) => (typeof t === "string" && (t.indexOf("\\") >= 0 || t.indexOf("$") >= 0)
    ? formulaPieces(t).filter((p) => p.kind !== "text") : []);
  function warm() {
    if (!window.katex || typeof TAVRIN_DATA === "undefined") return;
    const first = (TAVRIN_DATA.lessons || []).slice(0, 200).map((l) => (l.questions || [])[0]).filter(Boolean)
      .flatMap((q) => [q.text, q.explanation, ...(q.answers || [])].flatMap(piecesOf));
    if (!first.length) return;
    const probe = document.createElement("span");
    probe.className = "formula-probe";
    probe.setAttribute("aria-hidden", "true");
    probe.append(...first.map(formula)); // their fonts load, out of sight
    document.body.append(probe);
    document.fonts.ready.then(() => probe.remove());
  }
  window.addEventListener("load", () => (window.requestIdleCallback || setTimeout)(warm));

  Object.assign(T, { formulaPieces, withFormulas });
})(window.Tavrin = window.Tavrin || {});

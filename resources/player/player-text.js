// The player's letters and digits, and its way of making page elements: every text from the
// data is put in as text, never as markup, and shown in Persian letters.
"use strict";

(function (T) {
  const PERSIAN_DIGITS = "۰۱۲۳۴۵۶۷۸۹";
  // Texts from Windows-1256 sources carry the Arabic yeh and kaf; shown as they are, a
  // Persian reader sees Arabic. The data keeps them; only what is shown changes. A right-to-
  // left mark inside a word, and a plural after a final heh, become the non-joiner; Latin
  // digits become Persian only inside Persian text (nearest letters Persian, none Latin), so
  // "Physics 10" and 3×10^8 keep theirs; image marks keep theirs too.
  const ARABIC_LETTER = /[\u0620-\u064A\u066E-\u06D3\uFB50-\uFDFF\uFE70-\uFEFF]/;
  const PREFIXED = /(^|[^\u0620-\u06D3\u200C])(\u0646?\u0645[\u064A\u06CC])(?=\u0628\u0627\u0634|\u0634\u0648|[\u0643\u06A9]\u0646|\u062A\u0648\u0627\u0646|\u0622|\u0627\u0641\u062A|\u062F\u0647|\u062E\u0648\u0627\u0647|\u0631\u0648|\u06AF\u0631\u062F|\u0645\u0627\u0646|\u0633\u0627\u0632|\u067E\u0630\u064A)/g;
  function nearestLetter(text, i, step) {
    for (; i >= 0 && i < text.length; i += step) {
      const c = text[i];
      if (ARABIC_LETTER.test(c)) return "fa";
      if (/\p{L}/u.test(c)) return "latin";
    }
    return "";
  }
  function letters(text) {
    return text
      .replace(/([\u0620-\u064A\u067E-\u06D3])\u200F(?=[\u0620-\u064A\u067E-\u06D3])/g, "$1\u200C")
      .replace(/\u0647(?=\u0647\u0627)/g, "\u0647\u200C")
      .replace(PREFIXED, "$1$2\u200C")
      .replace(/[\u064A\u0649]/g, "\u06CC")
      .replace(/\u0643/g, "\u06A9")
      .replace(/[\u0660-\u0669]/g, (d) => PERSIAN_DIGITS[d.charCodeAt(0) - 0x0660]);
  }
  function fa(value) {
    const text = letters(String(value));
    return text.replace(/\{\d+\}|[0-9]+/g, (run, at) => {
      if (run[0] === "{") return run;
      const before = nearestLetter(text, at - 1, -1);
      const after = nearestLetter(text, at + run.length, 1);
      const persian = before !== "latin" && after !== "latin" && (before === "fa" || after === "fa");
      return persian ? run.replace(/[0-9]/g, (d) => PERSIAN_DIGITS[d]) : run;
    });
  }
  // A number the player itself shows (a count, a score, a place) is read in Persian.
  const digits = (n) => letters(String(n)).replace(/[0-9]/g, (d) => PERSIAN_DIGITS[d]);

  function el(tag, attrs, ...children) {
    const node = document.createElement(tag);
    for (const [key, value] of Object.entries(attrs || {})) {
      if (key === "class") node.className = value;
      else if (key === "text") node.textContent = value;
      else if (key.startsWith("on")) node.addEventListener(key.slice(2), value);
      else if (value !== undefined && value !== null && value !== false) node.setAttribute(key, value === true ? "" : value);
    }
    for (const child of children) {
      if (child !== null && child !== undefined) node.append(child);
    }
    return node;
  }

  // A text with formulas and image marks "{N}": the formulas drawn, the rest as text, the
  // marks (outside formulas: \frac{1}{2} names no picture) as the exported pictures.
  function withImages(text, images) {
    return T.withFormulas(text, (plain) => imagesIn(plain, images));
  }
  // A text with formulas and no pictures (a question, a title).
  function rich(text) {
    return T.withFormulas(text, (plain) => [document.createTextNode(fa(plain))]);
  }

  function imagesIn(text, images) {
    const parts = [];
    const mark = /\{(\d+)\}/g;
    let last = 0;
    let m;
    text = String(text);
    while ((m = mark.exec(text)) !== null) {
      if (m.index > last) parts.push(document.createTextNode(fa(text.slice(last, m.index))));
      const file = images && images[m[1]];
      parts.push(file ? el("img", { src: file, alt: "تصویر گزینه", class: "answer-image" })
                      : document.createTextNode(fa(m[0])));
      last = mark.lastIndex;
    }
    if (last < text.length) parts.push(document.createTextNode(fa(text.slice(last))));
    return parts;
  }

  // A question made without a marked answer is read with its answers, never scored: the one
  // rule of the tool's question bank (exam/question_bank.h, isScorable), here for the disc.
  function scorable(q) {
    return q.answers.length > 0 && q.correct >= 1 && q.correct <= q.answers.length;
  }

  Object.assign(T, { PERSIAN_DIGITS, letters, fa, digits, el, withImages, rich, scorable });
})(window.Tavrin = window.Tavrin || {});

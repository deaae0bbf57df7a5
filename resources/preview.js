// The question editor's preview: the entry as the CD's player shows a question, drawn by the
// player's own files, so what the author sees is what the student will see.
"use strict";

(function (T) {
  T.preview = function (entry) {
    const { el, rich, withImages, digits } = T;
    const card = el("article", { class: "card" },
      el("h2", { class: "question", id: "question" }, ...rich(entry.text || "")));
    const answers = (entry.answers || []).filter((a) => a.trim());
    if (answers.length) {
      card.append(el("ol", { class: "answers", "aria-label": "گزینه‌ها" },
        ...answers.map((a, i) => el("li", {}, el("div", { class: "answer" + (i + 1 === entry.correct ? " right" : "") },
          el("span", { class: "key", "aria-hidden": "true", text: digits(i + 1) }),
          el("span", { class: "text" }, ...withImages(a, entry.images || {})))))));
    }
    if ((entry.explanation || "").trim())
      card.append(el("p", { class: "explanation" }, ...withImages(entry.explanation, entry.images || {})));
    document.getElementById("view").replaceChildren(card);
    // What the tool reads back: how many formulas were drawn and how many did not parse.
    return { drawn: document.querySelectorAll(".formula .katex").length,
             broken: document.querySelectorAll(".formula.broken").length,
             pictures: document.querySelectorAll("img.answer-image").length };
  };
})(window.Tavrin = window.Tavrin || {});

// The CD player: the lessons the tool exported, one question at a time, right or wrong
// against the marked answer, the explanation, the score. Reads TAVRIN_DATA from
// Data/quizdata.js; every text from it is put in as text, never as markup.
"use strict";

(function () {
  const data = typeof TAVRIN_DATA === "object" && TAVRIN_DATA ? TAVRIN_DATA : null;
  const view = document.getElementById("view");
  const heading = document.getElementById("heading");
  const homeButton = document.getElementById("home");
  const printButton = document.getElementById("print");
  const muteButton = document.getElementById("mute");
  const music = document.getElementById("music");
  const PERSIAN_DIGITS = "۰۱۲۳۴۵۶۷۸۹";

  const state = { lesson: -1, index: 0, chosen: [] };

  function digits(n) {
    return String(n).replace(/[0-9]/g, (d) => PERSIAN_DIGITS[d]);
  }

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

  function show(...nodes) {
    view.replaceChildren(...nodes);
    view.focus({ preventScroll: true });
  }

  // A text with image marks "{N}": the text as text, the marks as the exported pictures.
  function withImages(text, images) {
    const parts = [];
    const mark = /\{(\d+)\}/g;
    let last = 0;
    let m;
    while ((m = mark.exec(text)) !== null) {
      if (m.index > last) parts.push(document.createTextNode(text.slice(last, m.index)));
      const file = images && images[m[1]];
      parts.push(file ? el("img", { src: file, alt: "", class: "answer-image" })
                      : document.createTextNode(m[0]));
      last = mark.lastIndex;
    }
    if (last < text.length) parts.push(document.createTextNode(text.slice(last)));
    return parts;
  }

  // ---- the lesson list ---------------------------------------------------------------

  function renderLessons() {
    state.lesson = -1;
    heading.textContent = "فهرست درس‌ها";
    homeButton.hidden = true;
    if (!data) {
      show(el("div", { class: "card" }, el("p", { class: "empty", text: "داده‌هاي اين لوح يافت نشد." })));
      return;
    }
    if (!data.lessons.length) {
      show(el("div", { class: "card" }, el("p", { class: "empty", text: "درسي در اين لوح نيست." })));
      return;
    }
    const list = el("ul", { class: "lessons" });
    data.lessons.forEach((lesson, i) => {
      list.append(el("li", {},
        el("button", { type: "button", class: "lesson", "data-lesson": String(i), onclick: () => startLesson(i) },
          el("span", { class: "title", text: lesson.title || "درس " + digits(i + 1) }),
          el("span", { class: "count", text: digits(lesson.questions.length) + " سؤال" }))));
    });
    show(list);
    const first = list.querySelector("button");
    if (first) first.focus();
  }

  function startLesson(i) {
    state.lesson = i;
    state.index = 0;
    state.chosen = new Array(data.lessons[i].questions.length).fill(0);
    homeButton.hidden = false;
    heading.textContent = data.lessons[i].title;
    if (!data.lessons[i].questions.length) {
      show(el("div", { class: "card" }, el("p", { class: "empty", text: "اين درس سؤالي ندارد." })));
      return;
    }
    renderQuestion();
  }

  // ---- one question ------------------------------------------------------------------

  function attachments(q) {
    const box = el("div", { class: "attachments" });
    if (q.attach) {
      if (/\.(jpe?g|png|gif|bmp|webp)$/i.test(q.attach)) box.append(el("img", { src: q.attach, alt: "تصوير سؤال" }));
      else box.append(el("a", { href: q.attach, target: "_blank", rel: "noopener", text: "فايل ضميمه سؤال" }));
    }
    if (q.sound) box.append(el("audio", { controls: true, src: q.sound, preload: "none" }));
    if (q.film) {
      const probe = document.createElement("video");
      const type = /\.mp4$/i.test(q.film) ? "video/mp4" : /\.webm$/i.test(q.film) ? "video/webm"
                 : /\.ogv$/i.test(q.film) ? "video/ogg" : "";
      if (type && probe.canPlayType(type)) box.append(el("video", { controls: true, src: q.film, preload: "none" }));
      else box.append(el("a", { href: q.film, target: "_blank", rel: "noopener", class: "film", text: "باز كردن فيلم سؤال" }));
    }
    return box.childNodes.length ? box : null;
  }

  function renderQuestion() {
    const lesson = data.lessons[state.lesson];
    const q = lesson.questions[state.index];
    const chosen = state.chosen[state.index];
    const card = el("article", { class: "card", "aria-live": "polite" });
    if (q.back) card.style.backgroundImage = "linear-gradient(var(--paper), var(--paper)), url(\"" + encodeURI(q.back) + "\")";
    card.append(el("div", { class: "progress", text: "سؤال " + digits(state.index + 1) + " از " + digits(lesson.questions.length) }));
    card.append(el("p", { class: "question", text: q.text || "" }));
    const extra = attachments(q);
    if (extra) card.append(extra);
    // A question without answers is read, not answered: it has no place in the score.
    const list = el("ol", { class: "answers" });
    if (!scorable(q)) list.hidden = true;
    q.answers.forEach((answer, i) => {
      const button = el("button", {
        type: "button", class: "answer", "data-answer": String(i + 1),
        onclick: () => choose(i + 1),
      }, el("span", { class: "key", text: digits(i + 1) }), el("span", { class: "text" }, ...withImages(answer, q.images)));
      if (chosen) {
        button.disabled = true;
        if (i + 1 === q.correct) button.classList.add("right");
        else if (i + 1 === chosen) button.classList.add("wrong");
      }
      list.append(el("li", {}, button));
    });
    if (!list.hidden) card.append(list);
    if (chosen) {
      const right = chosen === q.correct;
      card.append(el("p", { class: "verdict " + (right ? "right" : "wrong"),
        text: right ? "پاسخ شما درست است." : "پاسخ درست گزينه " + digits(q.correct) + " است." }));
      if (q.explanation) card.append(el("p", { class: "explanation" }, ...withImages(q.explanation, q.images)));
    }
    const last = state.index === lesson.questions.length - 1;
    card.append(el("div", { class: "nav" },
      el("button", { type: "button", id: "prev", disabled: state.index === 0, onclick: previous, text: "قبلي" }),
      el("button", { type: "button", id: "next", onclick: next, text: last ? "پايان و امتياز" : "بعدي" })));
    show(card);
    const focus = chosen || !scorable(q) ? card.querySelector("#next") : card.querySelector(".answer");
    if (focus) focus.focus();
  }

  function scorable(q) {
    return q.answers.length > 0;
  }

  function choose(n) {
    if (state.lesson < 0 || state.chosen[state.index]) return;
    const q = data.lessons[state.lesson].questions[state.index];
    if (n < 1 || n > q.answers.length) return;
    state.chosen[state.index] = n;
    renderQuestion();
  }

  function next() {
    const lesson = data.lessons[state.lesson];
    if (state.index < lesson.questions.length - 1) {
      state.index += 1;
      renderQuestion();
    } else {
      renderScore();
    }
  }

  function previous() {
    if (state.index > 0) {
      state.index -= 1;
      renderQuestion();
    }
  }

  // ---- the score ---------------------------------------------------------------------

  function renderScore() {
    const lesson = data.lessons[state.lesson];
    let right = 0;
    const scored = lesson.questions.filter(scorable).length;
    const missed = el("ol", { class: "missed" });
    lesson.questions.forEach((q, i) => {
      if (!scorable(q)) return;
      if (state.chosen[i] === q.correct) {
        right += 1;
        return;
      }
      const answer = q.answers[q.correct - 1];
      missed.append(el("li", {},
        el("span", { text: q.text || "" }), el("br"),
        el("span", { class: "right-answer" }, "پاسخ درست: ", ...withImages(answer === undefined ? "" : answer, q.images))));
    });
    const card = el("article", { class: "card", id: "score" },
      el("p", { class: "score", text: "امتياز شما: " + digits(right) + " از " + digits(scored) }));
    if (missed.childNodes.length) {
      card.append(el("h2", { text: "سؤال‌هايي كه درست پاسخ داده نشد" }), missed);
    } else {
      card.append(el("p", { text: "همه سؤال‌ها را درست پاسخ داديد!" }));
    }
    card.append(el("div", { class: "nav" },
      el("button", { type: "button", onclick: () => startLesson(state.lesson), text: "دوباره" }),
      el("button", { type: "button", onclick: renderLessons, text: "فهرست درس‌ها" })));
    show(card);
    card.querySelector("button").focus();
  }

  // ---- printing ----------------------------------------------------------------------

  function printLesson() {
    const out = document.getElementById("printout");
    const lessons = state.lesson >= 0 ? [data.lessons[state.lesson]] : data.lessons;
    out.replaceChildren();
    for (const lesson of lessons) {
      const list = el("ol");
      for (const q of lesson.questions) {
        const answers = el("ol", { type: "1" });
        q.answers.forEach((a) => answers.append(el("li", {}, ...withImages(a, q.images))));
        list.append(el("li", {}, el("p", { text: q.text || "" }), answers));
      }
      out.append(el("h1", { text: lesson.title }), list);
    }
    window.print();
  }

  // ---- music -------------------------------------------------------------------------

  let track = 0;
  let started = false;
  function startMusic() {
    if (started || !data || !data.settings.music || !data.media.music.length) return;
    started = true;
    music.src = data.media.music[track];
    music.volume = 0.5;
    music.play().catch(() => { started = false; });
  }
  music.addEventListener("ended", () => {
    track = (track + 1) % data.media.music.length;
    music.src = data.media.music[track];
    music.play().catch(() => {});
  });

  // ---- set-up ------------------------------------------------------------------------

  if (data) {
    document.body.classList.remove("theme-1", "theme-2");
    document.body.classList.add(data.settings.template === 2 ? "theme-2" : "theme-1");
    if (data.media.back) document.getElementById("backdrop").style.backgroundImage = "url(\"" + encodeURI(data.media.back) + "\")";
    printButton.hidden = !data.settings.print;
    muteButton.hidden = !(data.settings.music && data.media.music.length);
  }
  homeButton.addEventListener("click", renderLessons);
  printButton.addEventListener("click", printLesson);
  muteButton.addEventListener("click", () => {
    music.muted = !music.muted;
    muteButton.setAttribute("aria-pressed", String(music.muted));
  });
  // Browsers start sound only after the student's first action.
  document.addEventListener("pointerdown", startMusic, { once: false, capture: true });
  document.addEventListener("keydown", (event) => {
    startMusic();
    if (state.lesson < 0 || event.altKey || event.ctrlKey || event.metaKey) return;
    const key = event.key.replace(/[۰-۹]/g, (d) => String(PERSIAN_DIGITS.indexOf(d)));
    if (/^[1-4]$/.test(key) && document.querySelector(".answer")) {
      choose(Number(key));
      event.preventDefault();
    } else if (event.key === "ArrowLeft" && document.getElementById("next")) {
      next(); // right to left: the next question lies to the left
      event.preventDefault();
    } else if (event.key === "ArrowRight" && document.getElementById("prev")) {
      previous();
      event.preventDefault();
    } else if (event.key === "Escape") {
      renderLessons();
    }
  });

  renderLessons();
})();

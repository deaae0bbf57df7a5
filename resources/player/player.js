// The CD player: the lessons the tool exported, practised one question at a time (right or
// wrong at once, the explanation, the score) or taken as an exam (shuffled from a seed, an
// optional time limit, the result at the end). Reads TAVRIN_DATA from Data/quizdata.js;
// every text from it is put in as text, never as markup, and shown in Persian letters. The
// page's other scripts come first: player-text.js, player-keeping.js, player-platform.js and
// player-exam.js; all are classic scripts, so the CD opens from the disc itself.
"use strict";

(function (T) {
  const { PERSIAN_DIGITS, fa, digits, el, withImages, rich, scorable } = T;
  const data = typeof TAVRIN_DATA === "object" && TAVRIN_DATA ? TAVRIN_DATA : null;
  // A learning platform starts one lesson of a package as "?lesson=N".
  const onlyLesson = Number(new URLSearchParams(window.location.search).get("lesson"));
  const singleLesson = !!(data && new URLSearchParams(window.location.search).has("lesson") &&
      Number.isInteger(onlyLesson) && data.lessons[onlyLesson]);
  if (singleLesson) data.lessons = [data.lessons[onlyLesson]];
  const view = document.getElementById("view");
  const heading = document.getElementById("heading");
  const homeButton = document.getElementById("home");
  const printButton = document.getElementById("print");
  const muteButton = document.getElementById("mute");
  const music = document.getElementById("music");
  const announcer = document.getElementById("announce");
  const exam = (data && data.settings.exam) || { on: false, minutes: 0, count: 0 };
  // The clock and the seed can be set from outside (a test), never needed otherwise.
  const now = () => (typeof window.TAVRIN_CLOCK === "function" ? window.TAVRIN_CLOCK() : Date.now());

  const keeping = T.keeping(data);
  const platform = T.connectPlatform(data, now);
  if (platform) {
    window.addEventListener("pagehide", () => platform.finish());
    window.addEventListener("beforeunload", () => platform.finish());
  }
  // What the exam shares with the rest of the page; its state is the page's state. practice:
  // { lesson, index, chosen[] }; exam: { lesson, seed, order[], answers[][], chosen[], index,
  // started, limit, finished, ended }.
  const P = { state: { mode: "list" }, data, exam, view, heading, homeButton, now, keeping, platform,
              show, announce, save, questionCard, answerButton, renderLessons, singleLesson };
  const examMode = T.installExam(P);

  // Replaces the page's content; the focus goes where a reader of the page expects it.
  function show(focus, ...nodes) {
    view.replaceChildren(...nodes);
    const target = typeof focus === "string" ? view.querySelector(focus) : focus;
    (target || view).focus({ preventScroll: false });
  }

  function announce(text) {
    announcer.textContent = "";
    window.setTimeout(() => { announcer.textContent = text; }, 30);
  }

  function save() {
    keeping.keep(P.state.mode === "practice" || P.state.mode === "exam" ? P.state : null);
  }

  // ---- the lesson list ----------------------------------------------------------------

  function renderLessons() {
    examMode.stopTimer();
    P.state = { mode: "list" };
    save();
    // The CD's own title over its lessons, where the project has one.
    const title = data && data.settings && data.settings.title;
    heading.textContent = title ? fa(title) : "فهرست درس‌ها";
    homeButton.hidden = true;
    if (!data) {
      show(null, el("div", { class: "card" }, el("p", { class: "empty", text: "داده‌های این لوح یافت نشد." })));
      return;
    }
    if (!data.lessons.length) {
      show(null, el("div", { class: "card" }, el("p", { class: "empty", text: "درسی در این لوح نیست." })));
      return;
    }
    const list = el("ul", { class: "lessons" });
    // Under their fields' titles when the project has more than one field.
    let group = null;
    let groupTitle;
    data.lessons.forEach((lesson, i) => {
      let into = list;
      if (lesson.fieldTitle !== undefined) {
        if (!group || lesson.fieldTitle !== groupTitle) {
          groupTitle = lesson.fieldTitle;
          const heading = el("h2", { class: "field-title", text: fa(lesson.fieldTitle) });
          group = el("ul", { class: "lessons", "aria-label": fa(lesson.fieldTitle) });
          list.append(el("li", { class: "field-group" }, heading, group));
        }
        into = group;
      }
      const title = fa(lesson.title || "درس " + (i + 1));
      const row = el("li", { class: "lesson-row" },
        el("button", { type: "button", class: "lesson", "data-lesson": String(i), onclick: () => startPractice(i) },
          el("span", { class: "title", text: title }),
          el("span", { class: "count", text: digits(lesson.questions.length) + " سؤال" }),
          el("span", { class: "way", text: "تمرین" })));
      if (exam.on && lesson.questions.some(scorable)) {
        const left = keeping.leftExam(i);
        row.append(el("button", { type: "button", class: "exam", "data-lesson": String(i),
          "aria-label": (left ? "ادامه آزمون " : "آزمون ") + title, onclick: () => examMode.start(i) },
          left ? "ادامه آزمون" : "آزمون"));
      }
      into.append(row);
    });
    // The comprehensive exam, drawn from the lessons by the author's budget, after them.
    const full = examMode.full;
    if (full) {
      const left = keeping.leftExam("full");
      const title = fa(full.title);
      list.append(el("li", { class: "lesson-row full-exam" },
        el("span", { class: "lesson full-title" },
          el("span", { class: "title", text: title }),
          el("span", { class: "count", text: digits(full.drawn) + " سؤال" }),
          el("span", { class: "way", text: "آزمون جامع" })),
        el("button", { type: "button", class: "exam", id: "full-exam", "aria-label": (left ? "ادامه " : "") + title,
          onclick: () => examMode.start("full") }, left ? "ادامه آزمون" : "آزمون")));
    }
    show(list.querySelector("button"), list);
  }

  // A question put to the student in a modal box, starting on the choice that keeps things as
  // they are (Escape too); `onGo` runs only on the other one.
  let asking = null;
  let dismissAsking = null;
  function ask(text, stayText, goId, goText, onGo) {
    if (asking) return;
    const stay = el("button", { type: "button", id: "stay", text: stayText });
    const go = el("button", { type: "button", id: goId, text: goText });
    asking = el("dialog", { class: "ask", "aria-labelledby": "ask-title" },
      el("p", { id: "ask-title", text }), el("div", { class: "nav" }, stay, go));
    const done = (going) => {
      const box = asking;
      asking = dismissAsking = null;
      box.close();
      box.remove();
      if (going) onGo();
    };
    dismissAsking = () => done(false);
    stay.addEventListener("click", () => done(false));
    go.addEventListener("click", () => done(true));
    asking.addEventListener("cancel", (event) => { event.preventDefault(); done(false); });
    document.body.append(asking);
    asking.showModal();
    stay.focus();
  }
  P.ask = ask;
  // An exam that ends by its clock closes a question left open.
  P.dismissAsking = () => dismissAsking && dismissAsking();

  // Leaving a running exam is asked first; a left exam waits for the student with its answers
  // and its clock.
  function leave() {
    if (P.state.mode !== "exam") return renderLessons();
    ask("آزمون هنوز تمام نشده است. اگر بروید، پاسخ‌هایتان می‌ماند و زمان آزمون می‌گذرد؛ بعداً همین آزمون را ادامه می‌دهید.",
      "ماندن در آزمون", "leave", "رفتن به فهرست درس‌ها", () => {
        if (P.state.mode !== "exam") return;
        keeping.keepLeftExam(P.state.lesson, P.state);
        renderLessons();
      });
  }

  // ---- practice -------------------------------------------------------------------------

  function startPractice(i, resumed) {
    const lesson = data.lessons[i];
    P.state = resumed || { mode: "practice", lesson: i, index: 0, chosen: new Array(lesson.questions.length).fill(0) };
    homeButton.hidden = false;
    heading.textContent = fa(lesson.title);
    save();
    if (!lesson.questions.length) {
      show(null, el("div", { class: "card" }, el("p", { class: "empty", text: "این درس سؤالی ندارد." })));
      return;
    }
    renderQuestion();
  }

  function attachments(q) {
    const box = el("div", { class: "attachments" });
    if (q.attach) {
      if (/\.(jpe?g|png|gif|bmp|webp)$/i.test(q.attach)) box.append(el("img", { src: q.attach, alt: "تصویر سؤال" }));
      else box.append(el("a", { href: q.attach, target: "_blank", rel: "noopener", text: "فایل ضمیمه سؤال" }));
    }
    if (q.sound) box.append(el("audio", { controls: true, src: q.sound, preload: "none", "aria-label": "صدای سؤال" }));
    if (q.film) {
      const probe = document.createElement("video");
      const type = /\.mp4$/i.test(q.film) ? "video/mp4" : /\.webm$/i.test(q.film) ? "video/webm"
                 : /\.ogv$/i.test(q.film) ? "video/ogg" : "";
      if (type && probe.canPlayType(type)) box.append(el("video", { controls: true, src: q.film, preload: "none", "aria-label": "فیلم سؤال" }));
      else box.append(el("a", { href: q.film, target: "_blank", rel: "noopener", class: "film", text: "باز کردن فیلم سؤال" }));
    }
    return box.childNodes.length ? box : null;
  }

  // The question's card: its place, text, attachments and background.
  function questionCard(q, place, total) {
    const card = el("article", { class: "card", "aria-labelledby": "question" });
    if (q.back) card.style.backgroundImage = "linear-gradient(var(--paper), var(--paper)), url(\"" + encodeURI(q.back) + "\")";
    card.append(el("p", { class: "progress", text: "سؤال " + digits(place) + " از " + digits(total) }));
    card.append(el("h2", { class: "question", id: "question", tabindex: "-1" }, ...rich(q.text || "")));
    const extra = attachments(q);
    if (extra) card.append(extra);
    return card;
  }

  function answerButton(q, original, shownAs, onclick) {
    return el("button", { type: "button", class: "answer", "data-answer": String(shownAs), onclick },
      el("span", { class: "key", "aria-hidden": "true", text: digits(shownAs) }),
      el("span", { class: "text" }, ...withImages(q.answers[original - 1], q.images)));
  }

  function renderQuestion(focusVerdict) {
    const lesson = data.lessons[P.state.lesson];
    const q = lesson.questions[P.state.index];
    const chosen = P.state.chosen[P.state.index];
    const card = questionCard(q, P.state.index + 1, lesson.questions.length);
    // A question without answers is read, not answered: it has no place in the score.
    if (scorable(q)) {
      const list = el("ol", { class: "answers", "aria-label": "گزینه‌ها" });
      q.answers.forEach((_, i) => {
        const button = answerButton(q, i + 1, i + 1, () => choose(i + 1));
        if (chosen) {
          button.disabled = true;
          if (i + 1 === q.correct) button.classList.add("right");
          else if (i + 1 === chosen) button.classList.add("wrong");
        }
        list.append(el("li", {}, button));
      });
      card.append(list);
    } else if (q.answers.length) {
      card.append(el("ol", { class: "answers unscored" },
        ...q.answers.map((a) => el("li", { class: "answer" }, ...withImages(a, q.images)))),
        el("p", { class: "unscored-note", text: "پاسخ درست این سؤال معین نشده است؛ در امتیاز شمرده نمی‌شود." }));
    }
    const verdict = el("div", { class: "verdict-area", "aria-live": "polite" });
    if (chosen) {
      const right = chosen === q.correct;
      verdict.append(el("p", { class: "verdict " + (right ? "right" : "wrong"), tabindex: "-1",
        text: right ? "پاسخ شما درست است." : "پاسخ درست گزینه " + digits(q.correct) + " است." }));
      if (q.explanation) verdict.append(el("p", { class: "explanation" }, ...withImages(q.explanation, q.images)));
    }
    card.append(verdict);
    const last = P.state.index === lesson.questions.length - 1;
    card.append(el("div", { class: "nav" },
      el("button", { type: "button", id: "prev", disabled: P.state.index === 0, onclick: previous, text: "قبلی" }),
      el("button", { type: "button", id: "next", onclick: next, text: last ? "پایان و امتیاز" : "بعدی" })));
    show(focusVerdict ? "#next" : "#question", card);
  }

  function choose(n) {
    if (P.state.mode === "exam") return examMode.choose(n);
    if (P.state.mode !== "practice" || P.state.chosen[P.state.index]) return;
    const q = data.lessons[P.state.lesson].questions[P.state.index];
    if (n < 1 || n > q.answers.length) return;
    P.state.chosen[P.state.index] = n;
    save();
    renderQuestion(true);
  }

  function next() {
    if (P.state.mode === "exam") return examMode.move(P.state.index + 1);
    const lesson = data.lessons[P.state.lesson];
    if (P.state.index < lesson.questions.length - 1) {
      P.state.index += 1;
      save();
      renderQuestion();
    } else {
      renderScore();
    }
  }

  function previous() {
    if (P.state.mode === "exam") return examMode.move(P.state.index - 1);
    if (P.state.index > 0) {
      P.state.index -= 1;
      save();
      renderQuestion();
    }
  }

  function renderScore() {
    const lesson = data.lessons[P.state.lesson];
    let right = 0;
    const scored = lesson.questions.filter(scorable).length;
    const missed = el("ol", { class: "missed" });
    lesson.questions.forEach((q, i) => {
      if (!scorable(q)) return;
      if (P.state.chosen[i] === q.correct) {
        right += 1;
        return;
      }
      const answer = q.answers[q.correct - 1];
      missed.append(el("li", {},
        el("span", {}, ...rich(q.text || "")), el("br"),
        el("span", { class: "right-answer" }, "پاسخ درست: ", ...withImages(answer === undefined ? "" : answer, q.images))));
    });
    const lessonIndex = P.state.lesson;
    P.state = { mode: "score", lesson: lessonIndex };
    save();
    const card = el("article", { class: "card", id: "score", "aria-labelledby": "score-title" },
      el("h2", { class: "score", id: "score-title", tabindex: "-1", text: "امتیاز شما: " + digits(right) + " از " + digits(scored) }));
    if (missed.childNodes.length) {
      card.append(el("h3", { text: "سؤال‌هایی که درست پاسخ داده نشد" }), missed);
    } else {
      card.append(el("p", { text: "همه سؤال‌ها را درست پاسخ دادید!" }));
    }
    card.append(el("div", { class: "nav" },
      el("button", { type: "button", onclick: () => startPractice(lessonIndex), text: "دوباره" }),
      el("button", { type: "button", onclick: renderLessons, text: "فهرست درس‌ها" })));
    show("#score-title", card);
  }

  // ---- printing ---------------------------------------------------------------------------

  function printLesson() {
    const out = document.getElementById("printout");
    const lessons = P.state.lesson >= 0 && P.state.mode !== "list" ? [data.lessons[P.state.lesson]] : data.lessons;
    out.replaceChildren();
    for (const lesson of lessons) {
      const list = el("ol");
      for (const q of lesson.questions) {
        const answers = el("ol", { type: "1" });
        q.answers.forEach((a) => answers.append(el("li", {}, ...withImages(a, q.images))));
        list.append(el("li", {}, el("p", {}, ...rich(q.text || "")), answers));
      }
      out.append(el("h1", { text: fa(lesson.title) }), list);
    }
    window.print();
  }

  // ---- music ----------------------------------------------------------------------------

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

  // ---- set-up -----------------------------------------------------------------------------

  if (data) {
    document.body.classList.remove("theme-1", "theme-2");
    document.body.classList.add(data.settings.template === 2 ? "theme-2" : "theme-1");
    if (data.media.back) document.getElementById("backdrop").style.backgroundImage = "url(\"" + encodeURI(data.media.back) + "\")";
    printButton.hidden = !data.settings.print;
    muteButton.hidden = !(data.settings.music && data.media.music.length);
  }
  homeButton.addEventListener("click", leave);
  printButton.addEventListener("click", printLesson);
  muteButton.addEventListener("click", () => {
    music.muted = !music.muted;
    muteButton.setAttribute("aria-pressed", String(music.muted));
  });
  // Browsers start sound only after the student's first action.
  document.addEventListener("pointerdown", startMusic, { once: false, capture: true });
  document.addEventListener("keydown", (event) => {
    startMusic();
    if (event.altKey || event.ctrlKey || event.metaKey) return;
    if (asking) return; // the question's own keys
    if (event.key === "Escape" && P.state.mode !== "list") {
      leave();
      event.preventDefault();
      return;
    }
    if (P.state.mode !== "practice" && P.state.mode !== "exam") return;
    const key = event.key.replace(/[۰-۹]/g, (d) => String(PERSIAN_DIGITS.indexOf(d)));
    if (/^[1-9]$/.test(key) && view.querySelector(".answer")) {
      choose(Number(key));
      event.preventDefault();
    } else if (event.key === "ArrowLeft" && document.getElementById("next") && !document.getElementById("next").disabled) {
      next(); // right to left: the next question lies to the left
      event.preventDefault();
    } else if (event.key === "ArrowRight" && document.getElementById("prev") && !document.getElementById("prev").disabled) {
      previous();
      event.preventDefault();
    }
  });

  // Back where the student was before the page was loaded again.
  const before = data ? keeping.kept() : null;
  if (before && data.lessons[before.lesson] && before.mode === "practice" &&
      Array.isArray(before.chosen) && before.chosen.length === data.lessons[before.lesson].questions.length) {
    startPractice(before.lesson, before);
  } else if (before && before.mode === "exam" && examMode.lessonOf(before.lesson) &&
             (exam.on || before.lesson === "full") && Array.isArray(before.order) &&
             before.order.every((n) => examMode.lessonOf(before.lesson).questions[n])) {
    examMode.start(before.lesson, before);
  } else {
    renderLessons();
  }
})(window.Tavrin);

// The CD player: the lessons the tool exported, practised one question at a time (right or
// wrong at once, the explanation, the score) or taken as an exam (shuffled from a seed, an
// optional time limit, the result at the end). Reads TAVRIN_DATA from Data/quizdata.js;
// every text from it is put in as text, never as markup, and shown in Persian letters.
"use strict";

(function () {
  const data = typeof TAVRIN_DATA === "object" && TAVRIN_DATA ? TAVRIN_DATA : null;
  // A learning platform starts one lesson of a package as "?lesson=N".
  const onlyLesson = Number(new URLSearchParams(window.location.search).get("lesson"));
  if (data && new URLSearchParams(window.location.search).has("lesson") &&
      Number.isInteger(onlyLesson) && data.lessons[onlyLesson]) {
    data.lessons = [data.lessons[onlyLesson]];
  }
  const view = document.getElementById("view");
  const heading = document.getElementById("heading");
  const homeButton = document.getElementById("home");
  const printButton = document.getElementById("print");
  const muteButton = document.getElementById("mute");
  const music = document.getElementById("music");
  const announcer = document.getElementById("announce");
  const PERSIAN_DIGITS = "۰۱۲۳۴۵۶۷۸۹";
  const exam = (data && data.settings.exam) || { on: false, minutes: 0, count: 0 };
  // The clock and the seed can be set from outside (a test), never needed otherwise.
  const now = () => (typeof window.TAVRIN_CLOCK === "function" ? window.TAVRIN_CLOCK() : Date.now());

  // practice: { lesson, index, chosen[] }; exam: { lesson, seed, order[], answers[][],
  // chosen[], index, started, limit, finished, ended }
  let state = { mode: "list" };

  // ---- letters and digits -----------------------------------------------------------

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

  // A text with image marks "{N}": the text as text, the marks as the exported pictures.
  function withImages(text, images) {
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

  // A question made without a marked answer is read with its answers, never scored.
  function scorable(q) {
    return q.answers.length > 0 && q.correct >= 1 && q.correct <= q.answers.length;
  }

  // ---- what survives a reload -------------------------------------------------------

  // A CD read from a disc may forbid storage: then nothing is kept, and nothing is said.
  const cdKey = (function () {
    let h = 5381;
    const text = data ? JSON.stringify(data.lessons.map((l) => [l.id, l.title, l.questions.length])) : "";
    for (let i = 0; i < text.length; i++) h = ((h * 33) ^ text.charCodeAt(i)) >>> 0;
    return "tavrin:" + h.toString(36);
  })();
  function keep(value) {
    try {
      if (value) window.localStorage.setItem(cdKey, JSON.stringify(value));
      else window.localStorage.removeItem(cdKey);
    } catch (e) { /* storage refused */ }
  }
  function kept() {
    try {
      return JSON.parse(window.localStorage.getItem(cdKey) || "null");
    } catch (e) {
      return null;
    }
  }
  function save() {
    keep(state.mode === "practice" || state.mode === "exam" ? state : null);
  }
  // Exams left unfinished, by lesson: taken up again as they were, never drawn anew, until
  // they are finished or their time is up.
  const leftKey = cdKey + ":left";
  function leftExams() {
    try {
      return JSON.parse(window.localStorage.getItem(leftKey) || "{}") || {};
    } catch (e) {
      return {};
    }
  }
  const leftInMemory = {};
  function leftExam(lesson) {
    const stored = leftExams()[lesson];
    return stored || leftInMemory[lesson] || null;
  }
  function keepLeftExam(lesson, taken) {
    if (taken) leftInMemory[lesson] = taken;
    else delete leftInMemory[lesson];
    try {
      const all = leftExams();
      if (taken) all[lesson] = taken;
      else delete all[lesson];
      window.localStorage.setItem(leftKey, JSON.stringify(all));
    } catch (e) { /* storage refused: kept while the page is open */ }
  }

  // ---- a learning platform ---------------------------------------------------------------

  // The SCORM 1.2 runtime of the platform that opened this page, if any: an "API" object in
  // this window or one above it, else in the opener's. Without one the player is as on a CD.
  // Only exams are reported; a status the platform holds as passed is never lowered; the
  // score is the mean of the latest exams of the lessons this page shows, each exam listed as
  // an interaction, the latest ones kept in suspend_data for the next session.
  const platform = (function () {
    function apiAbove(win) {
      for (let hops = 0; win && hops < 10; hops++) {
        try {
          if (win.API && typeof win.API.LMSInitialize === "function") return win.API;
          if (!win.parent || win.parent === win) break;
          win = win.parent;
        } catch (e) { return null; } // a window of another origin
      }
      return null;
    }
    let opener = null;
    try { opener = window.opener || (window.top && window.top.opener); } catch (e) { opener = null; }
    const api = apiAbove(window) || (opener ? apiAbove(opener) : null);
    if (!api) return null;
    // Every call whose answer says it failed is told on the console with the runtime's error.
    function call(name, ...args) {
      let answer;
      try {
        answer = String(api[name](...args));
      } catch (e) {
        console.warn("SCORM " + name + "(" + args.join(", ") + ") threw: " + e.message);
        return null;
      }
      const getting = name === "LMSGetValue";
      let code = "0";
      if (getting || answer !== "true") {
        try { code = String(api.LMSGetLastError()); } catch (e) { code = "?"; }
      }
      if (getting ? code !== "0" : answer !== "true") {
        let said = "";
        try { said = String(api.LMSGetErrorString(code)); } catch (e) { said = ""; }
        console.warn("SCORM " + name + "(" + args.join(", ") + ") failed: error " + code + (said ? " (" + said + ")" : ""));
        return null;
      }
      return answer;
    }
    const get = (element) => call("LMSGetValue", element) || "";
    const set = (element, value) => call("LMSSetValue", element, String(value));
    if (call("LMSInitialize", "") !== "true") return null;
    const began = now();
    const passMark = data && data.settings.lms && Number.isFinite(data.settings.lms.passMark)
      ? data.settings.lms.passMark : 50;
    let finished = false;
    const status = get("cmi.core.lesson_status");
    let passed = status === "passed";
    let held = Number(get("cmi.core.score.raw"));
    if (!Number.isFinite(held)) held = 0;
    if (status === "not attempted" || status === "") {
      set("cmi.core.lesson_status", "incomplete");
      call("LMSCommit", "");
    }
    let latest = {};
    try {
      const kept = JSON.parse(get("cmi.suspend_data") || "{}");
      if (kept && typeof kept === "object" && !Array.isArray(kept)) latest = kept;
    } catch (e) { latest = {}; }
    // "Last, First" as a name line reads it: "First Last".
    const name = (function () {
      const given = get("cmi.core.student_name").trim();
      const parts = given.split(",");
      return parts.length === 2 ? (parts[1].trim() + " " + parts[0].trim()).trim() : given;
    })();
    const two = (n) => String(n).padStart(2, "0");
    // CMITimespan: hours, minutes, seconds and hundredths.
    function sessionTime() {
      const cs = Math.max(0, Math.round((now() - began) / 10));
      return two(Math.floor(cs / 360000)) + ":" + two(Math.floor(cs / 6000) % 60) + ":" +
             two(Math.floor(cs / 100) % 60) + "." + two(cs % 100);
    }
    return {
      name,
      // An exam begun or taken up again: leaving now is a suspension, not an end.
      examRunning(running) {
        if (finished) return;
        set("cmi.core.exit", running ? "suspend" : "");
        call("LMSCommit", "");
      },
      // A finished exam of a lesson: listed, kept as the lesson's latest, and the mean of the
      // latest exams reported unless it would lower a pass.
      report(lesson, right, total) {
        if (finished) return;
        const percent = total ? Math.round((100 * right) / total) : 0;
        const id = "exam_" + String(lesson.id).replace(/[^A-Za-z0-9_-]/g, "_");
        const at = new Date(now());
        const n = Number(get("cmi.interactions._count")) || 0;
        set("cmi.interactions." + n + ".id", id);
        set("cmi.interactions." + n + ".type", "numeric");
        set("cmi.interactions." + n + ".student_response", percent);
        set("cmi.interactions." + n + ".result", percent);
        set("cmi.interactions." + n + ".time", two(at.getHours()) + ":" + two(at.getMinutes()) + ":" + two(at.getSeconds()));
        latest[lesson.id] = percent;
        set("cmi.suspend_data", JSON.stringify(latest));
        const taken = data.lessons.filter((l) => Object.prototype.hasOwnProperty.call(latest, l.id));
        const mean = Math.round(taken.reduce((sum, l) => sum + Number(latest[l.id]), 0) / taken.length);
        if (!(passed && mean < held)) {
          set("cmi.core.score.min", "0");
          set("cmi.core.score.max", "100");
          set("cmi.core.score.raw", mean);
          passed = passed || mean >= passMark;
          held = mean;
          set("cmi.core.lesson_status", passed ? "passed" : "failed");
        }
        set("cmi.core.exit", "");
        set("cmi.core.session_time", sessionTime());
        call("LMSCommit", "");
      },
      finish() {
        if (finished) return;
        finished = true;
        set("cmi.core.session_time", sessionTime());
        call("LMSCommit", "");
        call("LMSFinish", "");
      },
    };
  })();
  if (platform) {
    window.addEventListener("pagehide", () => platform.finish());
    window.addEventListener("beforeunload", () => platform.finish());
  }

  // ---- the lesson list ----------------------------------------------------------------

  function renderLessons() {
    stopTimer();
    state = { mode: "list" };
    save();
    heading.textContent = "فهرست درس‌ها";
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
    data.lessons.forEach((lesson, i) => {
      const title = fa(lesson.title || "درس " + (i + 1));
      const row = el("li", { class: "lesson-row" },
        el("button", { type: "button", class: "lesson", "data-lesson": String(i), onclick: () => startPractice(i) },
          el("span", { class: "title", text: title }),
          el("span", { class: "count", text: digits(lesson.questions.length) + " سؤال" }),
          el("span", { class: "way", text: "تمرین" })));
      if (exam.on && lesson.questions.some(scorable)) {
        const left = leftExam(i);
        row.append(el("button", { type: "button", class: "exam", "data-lesson": String(i),
          "aria-label": (left ? "ادامه آزمون " : "آزمون ") + title, onclick: () => startExam(i) },
          left ? "ادامه آزمون" : "آزمون"));
      }
      list.append(row);
    });
    show(list.querySelector("button"), list);
  }

  // Leaving a running exam is asked first, starting on staying; a left exam waits for the
  // student with its answers and its clock.
  let asking = null;
  function leave() {
    if (state.mode !== "exam") return renderLessons();
    if (asking) return;
    const stay = el("button", { type: "button", id: "stay", text: "ماندن در آزمون" });
    const go = el("button", { type: "button", id: "leave", text: "رفتن به فهرست درس‌ها" });
    asking = el("dialog", { class: "ask", "aria-labelledby": "ask-title" },
      el("p", { id: "ask-title", text: "آزمون هنوز تمام نشده است. اگر بروید، پاسخ‌هایتان می‌ماند و زمان آزمون می‌گذرد؛ بعداً همین آزمون را ادامه می‌دهید." }),
      el("div", { class: "nav" }, stay, go));
    const done = (leaving) => {
      const box = asking;
      asking = null;
      box.close();
      box.remove();
      if (!leaving || state.mode !== "exam") return;
      keepLeftExam(state.lesson, state);
      renderLessons();
    };
    stay.addEventListener("click", () => done(false));
    go.addEventListener("click", () => done(true));
    asking.addEventListener("cancel", (event) => { event.preventDefault(); done(false); });
    document.body.append(asking);
    asking.showModal();
    stay.focus();
  }

  // ---- practice -------------------------------------------------------------------------

  function startPractice(i, resumed) {
    const lesson = data.lessons[i];
    state = resumed || { mode: "practice", lesson: i, index: 0, chosen: new Array(lesson.questions.length).fill(0) };
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
    card.append(el("h2", { class: "question", id: "question", tabindex: "-1", text: fa(q.text || "") }));
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
    const lesson = data.lessons[state.lesson];
    const q = lesson.questions[state.index];
    const chosen = state.chosen[state.index];
    const card = questionCard(q, state.index + 1, lesson.questions.length);
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
    const last = state.index === lesson.questions.length - 1;
    card.append(el("div", { class: "nav" },
      el("button", { type: "button", id: "prev", disabled: state.index === 0, onclick: previous, text: "قبلی" }),
      el("button", { type: "button", id: "next", onclick: next, text: last ? "پایان و امتیاز" : "بعدی" })));
    show(focusVerdict ? "#next" : "#question", card);
  }

  function choose(n) {
    if (state.mode === "exam") return chooseInExam(n);
    if (state.mode !== "practice" || state.chosen[state.index]) return;
    const q = data.lessons[state.lesson].questions[state.index];
    if (n < 1 || n > q.answers.length) return;
    state.chosen[state.index] = n;
    save();
    renderQuestion(true);
  }

  function next() {
    if (state.mode === "exam") return moveInExam(state.index + 1);
    const lesson = data.lessons[state.lesson];
    if (state.index < lesson.questions.length - 1) {
      state.index += 1;
      save();
      renderQuestion();
    } else {
      renderScore();
    }
  }

  function previous() {
    if (state.mode === "exam") return moveInExam(state.index - 1);
    if (state.index > 0) {
      state.index -= 1;
      save();
      renderQuestion();
    }
  }

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
        el("span", { text: fa(q.text || "") }), el("br"),
        el("span", { class: "right-answer" }, "پاسخ درست: ", ...withImages(answer === undefined ? "" : answer, q.images))));
    });
    const lessonIndex = state.lesson;
    state = { mode: "score", lesson: lessonIndex };
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

  // ---- exam ----------------------------------------------------------------------------

  // A small generator of its own, so one seed gives one order in any browser.
  function random(seed) {
    let a = seed >>> 0;
    return function () {
      a = (a + 0x6D2B79F5) >>> 0;
      let t = a;
      t = Math.imul(t ^ (t >>> 15), t | 1);
      t ^= t + Math.imul(t ^ (t >>> 7), t | 61);
      return ((t ^ (t >>> 14)) >>> 0) / 4294967296;
    };
  }
  function shuffled(items, next) {
    const out = items.slice();
    for (let i = out.length - 1; i > 0; i--) {
      const j = Math.floor(next() * (i + 1));
      [out[i], out[j]] = [out[j], out[i]];
    }
    return out;
  }

  function chosenSeed() {
    const asked = Number(new URLSearchParams(window.location.search).get("seed"));
    if (Number.isInteger(asked) && asked > 0) return asked;
    return 1 + Math.floor(Math.random() * 999999);
  }

  // The questions that can be answered, shuffled; as many as the author set (0: all); each
  // question's answers shuffled too. order[i] is a question, answers[i][k] the answer shown
  // as k + 1.
  function examFor(i, seed) {
    const lesson = data.lessons[i];
    const next = random(seed);
    let order = shuffled(lesson.questions.map((q, n) => n).filter((n) => scorable(lesson.questions[n])), next);
    if (exam.count > 0) order = order.slice(0, exam.count);
    const answers = order.map((n) => shuffled(lesson.questions[n].answers.map((a, k) => k + 1), next));
    return { mode: "exam", lesson: i, seed, order, answers, chosen: new Array(order.length).fill(0),
             index: 0, started: now(), limit: exam.minutes > 0 ? exam.minutes * 60000 : 0, finished: 0 };
  }

  function startExam(i, resumed) {
    state = resumed || leftExam(i) || examFor(i, chosenSeed());
    keepLeftExam(i, null);
    homeButton.hidden = false;
    heading.textContent = "آزمون " + fa(data.lessons[i].title);
    save();
    if (timeLeft() === 0) return finishExam();
    if (platform) platform.examRunning(true);
    startTimer();
    renderExamQuestion();
  }

  function timeLeft() {
    if (!state.limit) return null;
    return Math.max(0, state.limit - (now() - state.started));
  }

  function clock(ms) {
    const seconds = Math.ceil(ms / 1000);
    return digits(String(Math.floor(seconds / 60)).padStart(2, "0")) + ":" + digits(String(seconds % 60).padStart(2, "0"));
  }

  let timer = 0;
  let lastMinute = -1;
  function startTimer() {
    stopTimer();
    lastMinute = -1;
    if (state.limit) timer = window.setInterval(tick, 500);
  }
  function stopTimer() {
    if (timer) window.clearInterval(timer);
    timer = 0;
  }
  function tick() {
    if (state.mode !== "exam") return stopTimer();
    const left = timeLeft();
    const shown = document.getElementById("time-left");
    if (shown) shown.textContent = clock(left);
    // Said aloud once a minute and in the last half minute, not every second.
    const minute = Math.ceil(left / 60000);
    if (left > 0 && (minute !== lastMinute || (left <= 30000 && lastMinute !== 0))) {
      if (lastMinute !== -1) announce("زمان باقی‌مانده: " + (left <= 30000 ? digits(Math.ceil(left / 1000)) + " ثانیه" : digits(minute) + " دقیقه"));
      lastMinute = left <= 30000 ? 0 : minute;
    }
    if (left === 0) {
      announce("زمان آزمون به پایان رسید.");
      finishExam();
    }
  }

  function answeredCount() {
    return state.chosen.filter((c) => c > 0).length;
  }

  function renderExamQuestion() {
    const lesson = data.lessons[state.lesson];
    const q = lesson.questions[state.order[state.index]];
    const total = state.order.length;
    const card = questionCard(q, state.index + 1, total);
    const done = answeredCount();
    const status = el("div", { class: "exam-status" },
      el("div", { class: "meter", role: "progressbar", "aria-label": "پیشرفت آزمون", "aria-valuemin": "0",
        "aria-valuemax": String(total), "aria-valuenow": String(done), "aria-valuetext": digits(done) + " از " + digits(total) + " پاسخ داده شده" },
        el("div", { class: "meter-fill", style: "width:" + (total ? (100 * done) / total : 0) + "%" })),
      el("p", { class: "answered", text: "پاسخ داده شده: " + digits(done) + " از " + digits(total) }));
    if (state.limit) {
      status.append(el("p", { class: "time" }, "زمان باقی‌مانده: ",
        el("span", { id: "time-left", text: clock(timeLeft()) })));
    }
    card.prepend(status);
    const list = el("ol", { class: "answers", "aria-label": "گزینه‌ها" });
    state.answers[state.index].forEach((original, k) => {
      const button = answerButton(q, original, k + 1, () => chooseInExam(k + 1));
      const picked = state.chosen[state.index] === k + 1;
      button.setAttribute("aria-pressed", String(picked));
      if (picked) button.classList.add("chosen");
      list.append(el("li", {}, button));
    });
    card.append(list);
    const map = el("ol", { class: "jumps", "aria-label": "رفتن به سؤال" });
    state.order.forEach((_, i) => {
      const jump = el("button", { type: "button", class: "jump" + (state.chosen[i] ? " answered" : ""),
        "aria-label": "سؤال " + digits(i + 1) + (state.chosen[i] ? "، پاسخ داده شده" : "، بی‌پاسخ"),
        onclick: () => moveInExam(i) }, digits(i + 1));
      if (i === state.index) jump.setAttribute("aria-current", "step");
      map.append(el("li", {}, jump));
    });
    const last = state.index === total - 1;
    card.append(el("div", { class: "nav" },
      el("button", { type: "button", id: "prev", disabled: state.index === 0, onclick: previous, text: "قبلی" }),
      el("button", { type: "button", id: "next", disabled: last, onclick: next, text: state.chosen[state.index] ? "بعدی" : "رد شدن" }),
      el("button", { type: "button", id: "finish", onclick: finishExam, text: "پایان آزمون" })), map);
    show("#question", card);
  }

  function chooseInExam(n) {
    if (state.mode !== "exam" || n < 1 || n > state.answers[state.index].length) return;
    state.chosen[state.index] = n;
    save();
    const picked = state.index;
    renderExamQuestion();
    const button = view.querySelector('.answer[data-answer="' + n + '"]');
    if (button && picked === state.index) button.focus();
  }

  function moveInExam(i) {
    if (state.mode !== "exam" || i < 0 || i >= state.order.length) return;
    state.index = i;
    save();
    renderExamQuestion();
  }

  function finishExam() {
    if (state.mode !== "exam") return;
    keepLeftExam(state.lesson, null);
    stopTimer();
    state.finished = now();
    renderResult();
  }

  function renderResult() {
    const lesson = data.lessons[state.lesson];
    const taken = state;
    const total = taken.order.length;
    let right = 0;
    const items = el("ol", { class: "result-items" });
    taken.order.forEach((n, i) => {
      const q = lesson.questions[n];
      const shown = taken.chosen[i];
      const original = shown ? taken.answers[i][shown - 1] : 0;
      const ok = original === q.correct;
      if (ok) right += 1;
      const correctShown = taken.answers[i].indexOf(q.correct) + 1;
      const item = el("li", { class: "result-item " + (ok ? "right" : "wrong") },
        el("p", { class: "result-question", text: fa(q.text || "") }),
        el("p", { class: "yours" }, el("span", { class: "label", text: "پاسخ شما: " }),
          ...(shown ? [digits(shown) + ") ", ...withImages(q.answers[original - 1], q.images)] : ["بی‌پاسخ"])),
        el("p", { class: "correct" }, el("span", { class: "label", text: "پاسخ درست: " }),
          digits(correctShown) + ") ", ...withImages(q.answers[q.correct - 1] || "", q.images)),
        el("p", { class: "mark", text: ok ? "درست" : "نادرست" }));
      if (q.explanation) item.append(el("p", { class: "explanation" }, ...withImages(q.explanation, q.images)));
      items.append(item);
    });
    const percent = total ? Math.round((100 * right) / total) : 0;
    const seconds = Math.round(((taken.finished || now()) - taken.started) / 1000);
    if (platform) platform.report(lesson, right, total);
    const lessonIndex = taken.lesson;
    state = { mode: "result", lesson: lessonIndex };
    save();
    const card = el("article", { class: "card", id: "result", "aria-labelledby": "result-title" },
      el("h2", { id: "result-title", class: "score", tabindex: "-1", text: "کارنامه آزمون " + fa(lesson.title) }),
      el("p", { class: "student", text: "نام و نام خانوادگی: " + (platform && platform.name ? fa(platform.name) : "................................................") }),
      el("dl", { class: "figures" },
        el("dt", { text: "امتیاز" }), el("dd", { class: "result-score", text: digits(right) + " از " + digits(total) }),
        el("dt", { text: "درصد" }), el("dd", { class: "result-percent", text: digits(percent) + "٪" }),
        el("dt", { text: "زمان" }), el("dd", { class: "result-time", text: digits(Math.floor(seconds / 60)) + " دقیقه و " + digits(seconds % 60) + " ثانیه" }),
        el("dt", { text: "شماره آزمون" }), el("dd", { class: "result-seed", text: digits(taken.seed) })),
      items,
      el("div", { class: "nav" },
        el("button", { type: "button", id: "print-result", onclick: printResult, text: "چاپ کارنامه" }),
        el("button", { type: "button", onclick: () => startExam(lessonIndex), text: "آزمونی دیگر" }),
        el("button", { type: "button", onclick: renderLessons, text: "فهرست درس‌ها" })));
    show("#result-title", card);
  }

  // ---- printing ---------------------------------------------------------------------------

  function printResult() {
    document.body.classList.add("print-result");
    window.print();
    document.body.classList.remove("print-result");
  }

  function printLesson() {
    const out = document.getElementById("printout");
    const lessons = state.lesson >= 0 && state.mode !== "list" ? [data.lessons[state.lesson]] : data.lessons;
    out.replaceChildren();
    for (const lesson of lessons) {
      const list = el("ol");
      for (const q of lesson.questions) {
        const answers = el("ol", { type: "1" });
        q.answers.forEach((a) => answers.append(el("li", {}, ...withImages(a, q.images))));
        list.append(el("li", {}, el("p", { text: fa(q.text || "") }), answers));
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
    if (event.key === "Escape" && state.mode !== "list") {
      leave();
      event.preventDefault();
      return;
    }
    if (state.mode !== "practice" && state.mode !== "exam") return;
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
  const before = data ? kept() : null;
  if (before && data.lessons[before.lesson] && before.mode === "practice" &&
      Array.isArray(before.chosen) && before.chosen.length === data.lessons[before.lesson].questions.length) {
    startPractice(before.lesson, before);
  } else if (before && data.lessons[before.lesson] && before.mode === "exam" && exam.on &&
             Array.isArray(before.order) && before.order.every((n) => data.lessons[before.lesson].questions[n])) {
    startExam(before.lesson, before);
  } else {
    renderLessons();
  }
})();

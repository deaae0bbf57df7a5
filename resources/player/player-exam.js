// The exam: questions and answers shuffled from a seed, an optional time limit, the result
// with every answer at the end. Installed on the page the player builds (P).
"use strict";

(function (T) {
  const { fa, digits, el, withImages, scorable } = T;

  T.installExam = function (P) {
    const { data, exam, view, heading, homeButton, now } = P;
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
      P.state = resumed || P.keeping.leftExam(i) || examFor(i, chosenSeed());
      P.keeping.keepLeftExam(i, null);
      homeButton.hidden = false;
      heading.textContent = "آزمون " + fa(data.lessons[i].title);
      P.save();
      if (timeLeft() === 0) return finishExam();
      if (P.platform) P.platform.examRunning(true);
      startTimer();
      renderExamQuestion();
    }

    function timeLeft() {
      if (!P.state.limit) return null;
      return Math.max(0, P.state.limit - (now() - P.state.started));
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
      if (P.state.limit) timer = window.setInterval(tick, 500);
    }
    function stopTimer() {
      if (timer) window.clearInterval(timer);
      timer = 0;
    }
    function tick() {
      if (P.state.mode !== "exam") return stopTimer();
      const left = timeLeft();
      const shown = document.getElementById("time-left");
      if (shown) shown.textContent = clock(left);
      // Said aloud once a minute and in the last half minute, not every second.
      const minute = Math.ceil(left / 60000);
      if (left > 0 && (minute !== lastMinute || (left <= 30000 && lastMinute !== 0))) {
        if (lastMinute !== -1) P.announce("زمان باقی‌مانده: " + (left <= 30000 ? digits(Math.ceil(left / 1000)) + " ثانیه" : digits(minute) + " دقیقه"));
        lastMinute = left <= 30000 ? 0 : minute;
      }
      if (left === 0) {
        P.announce("زمان آزمون به پایان رسید.");
        finishExam();
      }
    }

    // The exam's page is built once and then changed where a click changes it: the map of
    // every question stays, so a click costs the same at 20 questions and at 20,000.
    let page = null;
    const JUMP_GROUP = 100, ONE_LIST = 300;

    function renderExamQuestion() {
      const total = P.state.order.length;
      const done = P.state.chosen.filter((c) => c > 0).length;
      const meter = el("div", { class: "meter", role: "progressbar", "aria-label": "پیشرفت آزمون", "aria-valuemin": "0",
        "aria-valuemax": String(total) }, el("div", { class: "meter-fill" }));
      const answered = el("p", { class: "answered" });
      const status = el("div", { class: "exam-status" }, meter, answered);
      if (P.state.limit) {
        status.append(el("p", { class: "time" }, "زمان باقی‌مانده: ",
          el("span", { id: "time-left", text: clock(timeLeft()) })));
      }
      // A long map in lists of a hundred, each laid out and painted only when it is on the
      // screen; an exam of a lesson's size in one.
      const map = el("nav", { class: "jumps", "aria-label": "رفتن به سؤال" });
      const size = total > ONE_LIST ? JUMP_GROUP : total;
      let group = null;
      const jumps = P.state.order.map((_, i) => {
        const jump = el("button", { type: "button", class: "jump", onclick: () => moveInExam(i) }, digits(i + 1));
        if (i % size === 0) map.append(group = el("ol", { class: "jump-group", start: String(i + 1) }));
        group.append(el("li", {}, jump));
        return jump;
      });
      const prev = el("button", { type: "button", id: "prev", onclick: () => moveInExam(P.state.index - 1), text: "قبلی" });
      const next = el("button", { type: "button", id: "next", onclick: () => moveInExam(P.state.index + 1) });
      const nav = el("div", { class: "nav" }, prev, next,
        el("button", { type: "button", id: "finish", onclick: finishExam, text: "پایان آزمون" }));
      const card = el("article", { class: "card", "aria-labelledby": "question" }, status, nav, map);
      page = { card, meter, answered, jumps, prev, next, nav, parts: [], buttons: [], done, at: -1 };
      jumps.forEach((_, i) => markJump(i));
      showQuestion();
      P.show("#question", card);
    }

    function markJump(i) {
      const jump = page.jumps[i];
      const chosen = P.state.chosen[i] > 0;
      jump.className = "jump" + (chosen ? " answered" : "");
      jump.setAttribute("aria-label", "سؤال " + digits(i + 1) + (chosen ? "، پاسخ داده شده" : "، بی‌پاسخ"));
      if (i === P.state.index) jump.setAttribute("aria-current", "step");
      else jump.removeAttribute("aria-current");
    }

    function showProgress() {
      const total = P.state.order.length;
      page.meter.setAttribute("aria-valuenow", String(page.done));
      page.meter.setAttribute("aria-valuetext", digits(page.done) + " از " + digits(total) + " پاسخ داده شده");
      page.meter.firstChild.style.transform = "scaleX(" + (total ? page.done / total : 0) + ")";
      page.answered.textContent = "پاسخ داده شده: " + digits(page.done) + " از " + digits(total);
      page.next.textContent = P.state.chosen[P.state.index] ? "بعدی" : "رد شدن";
    }

    function markAnswers() {
      page.buttons.forEach((button, k) => {
        const picked = P.state.chosen[P.state.index] === k + 1;
        button.setAttribute("aria-pressed", String(picked));
        button.classList.toggle("chosen", picked);
      });
    }

    // The question at P.state.index put in the place of the one shown.
    function showQuestion() {
      const lesson = data.lessons[P.state.lesson];
      const q = lesson.questions[P.state.order[P.state.index]];
      const total = P.state.order.length;
      const shown = P.questionCard(q, P.state.index + 1, total);
      const list = el("ol", { class: "answers", "aria-label": "گزینه‌ها" });
      page.buttons = P.state.answers[P.state.index].map((original, k) => {
        const button = P.answerButton(q, original, k + 1, () => chooseInExam(k + 1));
        list.append(el("li", {}, button));
        return button;
      });
      page.parts.forEach((part) => part.remove());
      page.parts = [...shown.childNodes, list];
      page.nav.before(...page.parts);
      page.card.style.backgroundImage = shown.style.backgroundImage;
      const was = page.at;
      page.at = P.state.index;
      if (was >= 0) markJump(was);
      markJump(P.state.index);
      markAnswers();
      page.prev.disabled = P.state.index === 0;
      page.next.disabled = P.state.index === total - 1;
      showProgress();
    }

    function chooseInExam(n) {
      if (P.state.mode !== "exam" || n < 1 || n > P.state.answers[P.state.index].length) return;
      const i = P.state.index;
      if (!P.state.chosen[i]) page.done += 1;
      P.state.chosen[i] = n;
      P.keeping.keepAnswer(P.state, i);
      markJump(i);
      markAnswers();
      showProgress();
      // A click has put the focus there already; a key moves it, on a button in sight.
      const button = page.buttons[n - 1];
      if (document.activeElement !== button) button.focus({ preventScroll: true });
    }

    function moveInExam(i) {
      if (P.state.mode !== "exam" || i < 0 || i >= P.state.order.length) return;
      P.state.index = i;
      P.keeping.keepPlace(P.state);
      showQuestion();
      const question = page.card.querySelector("#question");
      if (question) question.focus({ preventScroll: false });
    }

    function finishExam() {
      if (P.state.mode !== "exam") return;
      P.keeping.keepLeftExam(P.state.lesson, null);
      stopTimer();
      P.state.finished = now();
      page = null;
      renderResult();
    }

    function renderResult() {
      const lesson = data.lessons[P.state.lesson];
      const taken = P.state;
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
      if (P.platform) P.platform.report(lesson, right, total);
      const lessonIndex = taken.lesson;
      P.state = { mode: "result", lesson: lessonIndex };
      P.save();
      const card = el("article", { class: "card", id: "result", "aria-labelledby": "result-title" },
        el("h2", { id: "result-title", class: "score", tabindex: "-1", text: "کارنامه آزمون " + fa(lesson.title) }),
        el("p", { class: "student", text: "نام و نام خانوادگی: " + (P.platform && P.platform.name ? fa(P.platform.name) : "................................................") }),
        el("dl", { class: "figures" },
          el("dt", { text: "امتیاز" }), el("dd", { class: "result-score", text: digits(right) + " از " + digits(total) }),
          el("dt", { text: "درصد" }), el("dd", { class: "result-percent", text: digits(percent) + "٪" }),
          el("dt", { text: "زمان" }), el("dd", { class: "result-time", text: digits(Math.floor(seconds / 60)) + " دقیقه و " + digits(seconds % 60) + " ثانیه" }),
          el("dt", { text: "شماره آزمون" }), el("dd", { class: "result-seed", text: digits(taken.seed) })),
        items,
        el("div", { class: "nav" },
          el("button", { type: "button", id: "print-result", onclick: printResult, text: "چاپ کارنامه" }),
          el("button", { type: "button", onclick: () => startExam(lessonIndex), text: "آزمونی دیگر" }),
          el("button", { type: "button", onclick: P.renderLessons, text: "فهرست درس‌ها" })));
      P.show("#result-title", card);
    }

    function printResult() {
      document.body.classList.add("print-result");
      window.print();
      document.body.classList.remove("print-result");
    }

    return { start: startExam, choose: chooseInExam, move: moveInExam, stopTimer };
  };
})(window.Tavrin = window.Tavrin || {});

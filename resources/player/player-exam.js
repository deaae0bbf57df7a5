// The exam: questions and answers shuffled from a seed, an optional time limit, the result
// with every answer at the end, scored by the project's rule (player-score.js). A lesson's own
// exam, or the comprehensive exam ("full") drawn from many lessons by the author's budget.
// Installed on the page the player builds (P).
"use strict";

(function (T) {
  const { fa, digits, el, withImages, rich, scorable, score } = T;

  // A small generator of its own, so one seed gives one order in any browser; the tool's
  // paper exam draws by its twin (exam/seeded_draw), both held to tests/data/exam/draws.tsv.
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
  T.draw = { random, shuffled };

  T.installExam = function (P) {
    const { data, exam, heading, homeButton, now } = P;
    const scoring = (data && data.settings.scoring) || {};
    const penalty = score.penaltyOf(scoring.penalty);
    const weightOf = (field) => {
      const w = scoring.weights && Number(scoring.weights[field]);
      return Number.isInteger(w) && w >= 1 && w <= 10 ? w : 1;
    };
    const fieldTitle = (field) => (data.fields && data.fields[field]) || "رشته " + digits(field + 1);
    // The comprehensive exam as a lesson of its own: every question of a lesson with a budget,
    // with the lesson and field it came from. Not offered to a platform's single lesson.
    const fullSettings = data && data.settings.fullExam;
    const full = (function () {
      if (!fullSettings || !fullSettings.on || P.singleLesson) return null;
      const questions = [], from = [];
      data.lessons.forEach((lesson, li) => {
        if (!(Number(fullSettings.budget && fullSettings.budget[lesson.id]) > 0)) return;
        lesson.questions.forEach((q) => {
          if (!scorable(q)) return;
          questions.push(q);
          from.push({ lesson: li, field: lesson.field || 0 });
        });
      });
      if (!questions.length) return null;
      const drawn = data.lessons.reduce((sum, lesson, li) =>
        sum + Math.min(Number(fullSettings.budget[lesson.id]) || 0, from.filter((f) => f.lesson === li).length), 0);
      return { id: "full", title: fullSettings.title || "آزمون جامع", questions, from, drawn };
    })();
    const lessonOf = (i) => (i === "full" ? full : data.lessons[i]);
    const fieldAt = (taken, n) => (taken.lesson === "full" ? full.from[n].field : data.lessons[taken.lesson].field || 0);

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
      return withAnswers({ lesson: i, seed, order, minutes: exam.minutes }, next);
    }

    // The budget: from each lesson as many questions as the author set (at most what it has),
    // drawn from the seed; the fields in their order, each field's questions shuffled together.
    function fullExamFor(seed) {
      const next = random(seed);
      const byField = new Map();
      data.lessons.forEach((lesson, li) => {
        const take = Number(fullSettings.budget[lesson.id]) || 0;
        if (take <= 0) return;
        const own = full.from.map((f, n) => n).filter((n) => full.from[n].lesson === li);
        const drawn = shuffled(own, next).slice(0, take);
        const field = lesson.field || 0;
        byField.set(field, (byField.get(field) || []).concat(drawn));
      });
      const order = [...byField.keys()].sort((a, b) => a - b).flatMap((f) => shuffled(byField.get(f), next));
      return withAnswers({ lesson: "full", seed, order, minutes: Number(fullSettings.minutes) || 0 }, next);
    }

    // A drawn exam with each question's answers shuffled, ready to take.
    function withAnswers(plan, next) {
      const questions = lessonOf(plan.lesson).questions;
      const answers = plan.order.map((n) => shuffled(questions[n].answers.map((a, k) => k + 1), next));
      return { mode: "exam", lesson: plan.lesson, seed: plan.seed, order: plan.order, answers,
               chosen: new Array(plan.order.length).fill(0), index: 0, started: now(),
               limit: plan.minutes > 0 ? plan.minutes * 60000 : 0, finished: 0 };
    }

    function startExam(i, resumed) {
      P.state = resumed || P.keeping.leftExam(i) || (i === "full" ? fullExamFor(chosenSeed()) : examFor(i, chosenSeed()));
      P.keeping.keepLeftExam(i, null);
      homeButton.hidden = false;
      heading.textContent = i === "full" ? fa(full.title) : "آزمون " + fa(data.lessons[i].title);
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
      // "Next" at the far left, where practice has it.
      const nav = el("div", { class: "nav" }, prev,
        el("button", { type: "button", id: "finish", onclick: askToFinish, text: "پایان آزمون" }), next);
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
      const lesson = lessonOf(P.state.lesson);
      const q = lesson.questions[P.state.order[P.state.index]];
      const total = P.state.order.length;
      const shown = P.questionCard(q, P.state.index + 1, total);
      if (P.state.lesson === "full") {
        shown.firstChild.append(" · " + fa(fieldTitle(fieldAt(P.state, P.state.order[P.state.index]))));
      }
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

    // Ending with questions unanswered is asked first, naming how many.
    function askToFinish() {
      if (P.state.mode !== "exam") return;
      const total = P.state.order.length;
      const left = total - P.state.chosen.filter((c) => c > 0).length;
      if (!left) return finishExam();
      P.ask(digits(left) + " سؤال از " + digits(total) + " سؤال آزمون بی‌پاسخ مانده است. آزمون را پایان می‌دهید؟",
        "ماندن در آزمون", "end-exam", "پایان آزمون", finishExam);
    }

    function finishExam() {
      if (P.state.mode !== "exam") return;
      P.dismissAsking();
      P.keeping.keepLeftExam(P.state.lesson, null);
      stopTimer();
      P.state.finished = now();
      page = null;
      renderResult();
    }

    // A percentage as the result shows it: Persian digits, a Persian decimal point, a minus
    // sign kept on the left of the number in the right-to-left line.
    function percentText(hundredths) {
      const text = score.hundredthsText(hundredths).replace("-", "\u2212").replace(".", "\u066B");
      return digits(text) + "٪";
    }
    const percentNode = (hundredths) => el("bdi", { dir: "ltr" }, percentText(hundredths));

    // Each field's count and raw percentage, and the weighted overall one.
    function scored(taken) {
      const lesson = lessonOf(taken.lesson);
      const fields = new Map();
      const outcomes = taken.order.map((n, i) => {
        const q = lesson.questions[n];
        const shown = taken.chosen[i];
        const original = shown ? taken.answers[i][shown - 1] : 0;
        const answer = !shown ? "blank" : original === q.correct ? "right" : "wrong";
        const field = fieldAt(taken, n);
        if (!fields.has(field)) fields.set(field, score.tally());
        score.add(fields.get(field), answer, !!q.cancelled);
        return { q, shown, original, answer };
      });
      const rows = [...fields.keys()].sort((a, b) => a - b).map((field) => {
        const tally = fields.get(field);
        return { field, tally, weight: weightOf(field), hundredths: score.rawHundredths(tally, penalty) };
      });
      const overall = score.overallHundredths(rows.map((r) => ({ weight: r.weight, tally: r.tally })), penalty);
      const right = rows.reduce((sum, r) => sum + r.tally.right, 0);
      return { lesson, outcomes, rows, overall, right };
    }

    // The result sheet's table: per field its questions, right, wrong, blank answers, raw
    // percentage and weight; the weighted percentage below.
    function resultTable(result) {
      // Its rows are fields, in a lesson's exam as in the comprehensive one.
      const head = ["رشته", "تعداد سؤال", "درست", "نادرست", "بی‌پاسخ", "درصد خام", "ضریب"];
      const table = el("table", { class: "field-table" },
        el("caption", { text: "کارنامه به تفکیک رشته" }),
        el("thead", {}, el("tr", {}, ...head.map((h) => el("th", { scope: "col", text: h })))));
      const body = el("tbody");
      for (const r of result.rows) {
        body.append(el("tr", { class: "field-row", "data-field": String(r.field) },
          el("th", { scope: "row", text: fa(fieldTitle(r.field)) }),
          el("td", { class: "questions", text: digits(r.tally.questions) }),
          el("td", { class: "right", text: digits(r.tally.right) }),
          el("td", { class: "wrong", text: digits(r.tally.wrong) }),
          el("td", { class: "blank", text: digits(r.tally.blank) }),
          el("td", { class: "raw" + (r.hundredths < 0 ? " negative" : "") }, percentNode(r.hundredths)),
          el("td", { class: "weight", text: digits(r.weight) })));
      }
      table.append(body, el("tfoot", {}, el("tr", {},
        el("th", { scope: "row", colspan: "5", text: "درصد کل (میانگین وزنی)" }),
        el("td", { class: "overall" + (result.overall < 0 ? " negative" : ""), colspan: "2" }, percentNode(result.overall)))));
      return table;
    }

    // Passed or failed by the project's pass mark, where it sets one: the result and its
    // printout say so beside the percentage.
    function passed(ruled, overall) {
      const rule = data.settings.scoring;
      if (!ruled || !rule || !rule.passMarkSet) return [];
      const pass = overall >= rule.passMark * 100;
      return [el("dt", { text: "نتیجه" }),
        el("dd", { class: "result-pass " + (pass ? "passed" : "failed"),
          text: (pass ? "قبول" : "مردود") + " (حد نصاب " + digits(rule.passMark) + "٪)" })];
    }

    function renderResult() {
      const taken = P.state;
      const result = scored(taken);
      const { lesson } = result;
      const total = taken.order.length;
      const isFull = taken.lesson === "full";
      const cancelledAny = result.outcomes.some((o) => o.q.cancelled);
      // A project that sets no rule keeps the result it had: right answers out of questions.
      const ruled = isFull || !!data.settings.scoring || cancelledAny;
      const items = el("ol", { class: "result-items" });
      result.outcomes.forEach((o, i) => {
        const { q, shown, original, answer } = o;
        const correctShown = taken.answers[i].indexOf(q.correct) + 1;
        const mark = { right: "درست", wrong: "نادرست", blank: "بی‌پاسخ" }[answer] + (q.cancelled ? " (سؤال لغو شده)" : "");
        const item = el("li", { class: "result-item " + (answer === "right" ? "right" : answer) + (q.cancelled ? " cancelled" : "") },
          el("p", { class: "result-question" }, ...rich(q.text || "")),
          el("p", { class: "yours" }, el("span", { class: "label", text: "پاسخ شما: " }),
            ...(shown ? [digits(shown) + ") ", ...withImages(q.answers[original - 1], q.images)] : ["بی‌پاسخ"])),
          el("p", { class: "correct" }, el("span", { class: "label", text: "پاسخ درست: " }),
            digits(correctShown) + ") ", ...withImages(q.answers[q.correct - 1] || "", q.images)),
          el("p", { class: "mark", text: mark }));
        if (q.explanation) item.append(el("p", { class: "explanation" }, ...withImages(q.explanation, q.images)));
        items.append(item);
      });
      const plain = total ? Math.round((100 * result.right) / total) : 0;
      const seconds = Math.round(((taken.finished || now()) - taken.started) / 1000);
      if (P.platform) P.platform.report({ id: isFull ? "full" : lesson.id }, ruled ? result.overall / 100 : plain);
      const lessonIndex = taken.lesson;
      P.state = { mode: "result", lesson: lessonIndex };
      P.save();
      const title = isFull ? "کارنامه " + fa(lesson.title) : "کارنامه آزمون " + fa(lesson.title);
      const card = el("article", { class: "card", id: "result", "aria-labelledby": "result-title" },
        el("h2", { id: "result-title", class: "score", tabindex: "-1", text: title }),
        el("p", { class: "student", text: "نام و نام خانوادگی: " + (P.platform && P.platform.name ? fa(P.platform.name) : "................................................") }),
        el("dl", { class: "figures" },
          el("dt", { text: "امتیاز" }), el("dd", { class: "result-score", text: digits(result.right) + " از " + digits(total) }),
          el("dt", { text: "درصد" }), ruled
            ? el("dd", { class: "result-percent" + (result.overall < 0 ? " negative" : "") }, percentNode(result.overall))
            : el("dd", { class: "result-percent", text: digits(plain) + "٪" }),
          ...passed(ruled, result.overall),
          el("dt", { text: "زمان" }), el("dd", { class: "result-time", text: digits(Math.floor(seconds / 60)) + " دقیقه و " + digits(seconds % 60) + " ثانیه" }),
          el("dt", { text: "شماره آزمون" }), el("dd", { class: "result-seed", text: digits(taken.seed) })));
      if (ruled) card.append(el("p", { class: "penalty-rule", text: score.penaltyWords(penalty, digits) }), resultTable(result));
      card.append(items,
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

    return { start: startExam, choose: chooseInExam, move: moveInExam, stopTimer, full, lessonOf };
  };
})(window.Tavrin = window.Tavrin || {});

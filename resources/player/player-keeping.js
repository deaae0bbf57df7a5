// What survives a reload of the player: where the student was, and the exams left unfinished.
"use strict";

(function (T) {
  // The keeping of one CD's data (its lessons name it).
  T.keeping = function (data) {
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
    return { keep, kept, leftExam, keepLeftExam };
  };
})(window.Tavrin = window.Tavrin || {});

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
    // A running exam is kept in pieces, so that an answer rewrites only its own: the exam
    // once, the place apart, and the answers PIECE to a key, one letter each.
    const PIECE = 256;
    const placeKey = cdKey + ":at";
    const pieceKey = (p) => cdKey + ":chosen" + p;
    function piece(chosen, p) {
      return chosen.slice(p * PIECE, (p + 1) * PIECE).map((c) => String.fromCharCode(48 + c)).join("");
    }
    function forgetPieces() {
      let head = null;
      try {
        head = JSON.parse(window.localStorage.getItem(cdKey) || "null");
      } catch (e) { /* a damaged keeping is written anew */ }
      const pieces = head && head.pieces > 0 ? head.pieces : 0;
      for (let p = 0; p < pieces; p++) window.localStorage.removeItem(pieceKey(p));
      window.localStorage.removeItem(placeKey);
    }
    function keep(value) {
      try {
        forgetPieces();
        if (!value) return window.localStorage.removeItem(cdKey);
        if (value.mode !== "exam") return window.localStorage.setItem(cdKey, JSON.stringify(value));
        const { chosen, index, ...fixed } = value;
        const pieces = Math.ceil(chosen.length / PIECE);
        window.localStorage.setItem(cdKey, JSON.stringify({ ...fixed, pieces, count: chosen.length }));
        for (let p = 0; p < pieces; p++) window.localStorage.setItem(pieceKey(p), piece(chosen, p));
        window.localStorage.setItem(placeKey, String(index));
      } catch (e) { /* storage refused */ }
    }
    function keepAnswer(state, i) {
      try {
        window.localStorage.setItem(pieceKey(Math.floor(i / PIECE)), piece(state.chosen, Math.floor(i / PIECE)));
      } catch (e) { /* storage refused */ }
    }
    function keepPlace(state) {
      try {
        window.localStorage.setItem(placeKey, String(state.index));
      } catch (e) { /* storage refused */ }
    }
    function kept() {
      try {
        const value = JSON.parse(window.localStorage.getItem(cdKey) || "null");
        if (!value || value.mode !== "exam" || !(value.pieces >= 0)) return value;
        let letters = "";
        for (let p = 0; p < value.pieces; p++) letters += window.localStorage.getItem(pieceKey(p)) || "";
        const { pieces, count, ...exam } = value;
        exam.chosen = Array.from({ length: count }, (_, i) => Math.max(0, (letters.charCodeAt(i) || 48) - 48));
        exam.index = Number(window.localStorage.getItem(placeKey)) || 0;
        return exam;
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
    return { keep, kept, keepAnswer, keepPlace, leftExam, keepLeftExam };
  };
})(window.Tavrin = window.Tavrin || {});

// A learning platform that plays the CD's lessons as a SCORM 1.2 package.
"use strict";

(function (T) {
  // The SCORM 1.2 runtime of the platform that opened this page, if any: an "API" object in
  // this window or one above it, else in the opener's. Without one the player is as on a CD.
  // Only exams are reported; a status the platform holds as passed is never lowered; the
  // score is the mean of the latest exams of the lessons this page shows (and of its
  // comprehensive exam), each exam listed as an interaction, the latest ones kept in
  // suspend_data for the next session with their raw figures, negative ones too; the score
  // itself is never below 0.
  T.connectPlatform = function (data, now) {
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
      // A finished exam: listed, kept as the latest of its lesson (or of the comprehensive
      // exam), and the mean of the latest exams reported unless it would lower a pass; in
      // hundredths for a project scored by a rule, in whole percents as ever for one without.
      report(lesson, percent) {
        if (finished) return;
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
        const ids = data.lessons.map((l) => l.id).concat(["full"]);
        const taken = ids.filter((key) => Object.prototype.hasOwnProperty.call(latest, key));
        const average = taken.reduce((sum, key) => sum + Number(latest[key]), 0) / taken.length;
        const mean = Math.max(0, data.settings.scoring ? Math.round(average * 100) / 100 : Math.round(average));
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
  };
})(window.Tavrin = window.Tavrin || {});

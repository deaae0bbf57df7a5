// A SCORM 1.2 runtime as strict as the run-time rules read: no call before LMSInitialize or
// after LMSFinish, read-only and write-only elements kept so, every value checked against its
// type and vocabulary, interactions made only in order. Each refusal answers "false" with its
// error code, and is recorded. `held` is what the platform keeps between sessions; a test reads
// `held`, `sets`, `refused` and `calls` back.
"use strict";

class StrictScorm12API {
  constructor(held, options) {
    this.held = Object.assign({
      "cmi.core.student_id": "s-1",
      "cmi.core.student_name": "",
      "cmi.core.lesson_status": "not attempted",
      "cmi.core.score.raw": "",
      "cmi.core.score.min": "",
      "cmi.core.score.max": "",
      "cmi.core.total_time": "0000:00:00.00",
      "cmi.core.entry": "ab-initio",
      "cmi.core.credit": "credit",
      "cmi.core.lesson_mode": "normal",
      "cmi.suspend_data": "",
      "cmi.launch_data": "",
      interactions: [],
    }, held || {});
    this.options = Object.assign({ interactions: true }, options || {});
    this.state = "new";
    this.error = "0";
    this.sets = {};
    this.refused = [];
    this.calls = [];
  }

  fail(code, call) {
    this.error = code;
    this.refused.push({ call, code });
    return "false";
  }

  ok() {
    this.error = "0";
    return "true";
  }

  running(call) {
    if (this.state !== "running") {
      this.fail("301", call);
      return false;
    }
    return true;
  }

  LMSInitialize(arg) {
    this.calls.push("LMSInitialize");
    if (arg !== "") return this.fail("201", "LMSInitialize");
    if (this.state !== "new") return this.fail("101", "LMSInitialize");
    this.state = "running";
    return this.ok();
  }

  LMSFinish(arg) {
    this.calls.push("LMSFinish");
    if (arg !== "") return this.fail("201", "LMSFinish");
    if (!this.running("LMSFinish")) return "false";
    this.state = "finished";
    if (this.held["cmi.core.lesson_status"] === "not attempted") this.held["cmi.core.lesson_status"] = "completed";
    return this.ok();
  }

  LMSCommit(arg) {
    this.calls.push("LMSCommit");
    if (arg !== "") return this.fail("201", "LMSCommit");
    if (!this.running("LMSCommit")) return "false";
    return this.ok();
  }

  LMSGetValue(element) {
    this.calls.push("LMSGetValue " + element);
    if (!this.running("LMSGetValue " + element)) return "";
    if (element === "cmi.interactions._count" && this.options.interactions) {
      this.error = "0";
      return String(this.held.interactions.length);
    }
    if (/^cmi\.interactions\./.test(element)) {
      this.fail(this.options.interactions ? "404" : "401", "LMSGetValue " + element);
      return "";
    }
    if (["cmi.core.session_time", "cmi.core.exit"].includes(element)) {
      this.fail("404", "LMSGetValue " + element);
      return "";
    }
    if (!Object.prototype.hasOwnProperty.call(this.held, element) || element === "interactions") {
      this.fail("401", "LMSGetValue " + element);
      return "";
    }
    this.error = "0";
    return this.held[element];
  }

  LMSSetValue(element, value) {
    const call = "LMSSetValue " + element + " " + value;
    this.calls.push(call);
    if (!this.running(call)) return "false";
    if (typeof value !== "string") return this.fail("405", call);
    const decimal = (v) => v === "" || (/^-?\d+(\.\d+)?$/.test(v) && Number(v) >= 0 && Number(v) <= 100);
    const checks = {
      "cmi.core.lesson_status": (v) => ["passed", "completed", "failed", "incomplete", "browsed"].includes(v),
      "cmi.core.score.raw": decimal,
      "cmi.core.score.min": decimal,
      "cmi.core.score.max": decimal,
      "cmi.core.session_time": (v) => /^\d{2,4}:\d{2}:\d{2}(\.\d{1,2})?$/.test(v),
      "cmi.core.exit": (v) => ["time-out", "suspend", "logout", ""].includes(v),
      "cmi.core.lesson_location": (v) => v.length <= 255,
      "cmi.suspend_data": (v) => v.length <= 4096,
    };
    const readOnly = ["cmi.core.student_id", "cmi.core.student_name", "cmi.core.total_time",
      "cmi.core.entry", "cmi.core.credit", "cmi.core.lesson_mode", "cmi.launch_data",
      "cmi.interactions._count"];
    if (readOnly.includes(element)) return this.fail("403", call);
    const interaction = /^cmi\.interactions\.(\d+)\.(id|time|type|weighting|student_response|result|latency)$/.exec(element);
    if (interaction) {
      if (!this.options.interactions) return this.fail("401", call);
      const n = Number(interaction[1]);
      const list = this.held.interactions;
      if (n > list.length) return this.fail("201", call);
      const field = interaction[2];
      const valid = {
        id: (v) => /^[\x21-\x7E]{1,255}$/.test(v),
        time: (v) => /^([01]\d|2[0-3]):[0-5]\d:[0-5]\d(\.\d{1,2})?$/.test(v),
        type: (v) => ["true-false", "choice", "fill-in", "matching", "performance", "sequencing", "likert", "numeric"].includes(v),
        weighting: (v) => /^-?\d+(\.\d+)?$/.test(v),
        student_response: (v) => v.length <= 255,
        result: (v) => ["correct", "wrong", "unanticipated", "neutral"].includes(v) || /^-?\d+(\.\d+)?$/.test(v),
        latency: (v) => /^\d{2,4}:\d{2}:\d{2}(\.\d{1,2})?$/.test(v),
      }[field];
      if (!valid(value)) return this.fail("405", call);
      // An interaction begins with its id.
      if (n === list.length) {
        if (field !== "id") return this.fail("201", call);
        list.push({});
      }
      list[n][field] = value;
      this.sets[element] = value;
      return this.ok();
    }
    if (!checks[element]) return this.fail("401", call);
    if (!checks[element](value)) return this.fail("405", call);
    this.sets[element] = value;
    if (element !== "cmi.core.session_time" && element !== "cmi.core.exit") this.held[element] = value;
    return this.ok();
  }

  LMSGetLastError() {
    return this.error;
  }

  LMSGetErrorString(code) {
    return {
      "0": "No error", "101": "General exception", "201": "Invalid argument error",
      "301": "Not initialized", "401": "Not implemented error",
      "403": "Element is read only", "404": "Element is write only", "405": "Incorrect data type",
    }[code] || "";
  }

  LMSGetDiagnostic(code) {
    return this.LMSGetErrorString(code || this.error);
  }
}

// Code run by eval keeps its classes to itself in strict mode.
window.StrictScorm12API = StrictScorm12API;

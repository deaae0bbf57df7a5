// How an exam is scored, as the tool's own engine scores it: each wrong answer takes back
// taken/per of a right one, a blank costs nothing, a cancelled question counts only when it
// was answered right; each field's raw percentage, then their mean by the fields' weights.
// Figures are whole hundredths of a percent, rounded half away from zero, so the CD, the
// printed result and the tool's command line give the same digits.
"use strict";

(function (T) {
  function roundedQuotient(num, den) {
    const magnitude = Math.floor((2 * Math.abs(num) + den) / (2 * den));
    return num < 0 ? -magnitude : magnitude;
  }

  // penalty: [taken, per]; a missing or damaged one is none.
  function penaltyOf(value) {
    if (!Array.isArray(value) || value.length !== 2) return [0, 1];
    const [taken, per] = value.map(Number);
    return Number.isInteger(taken) && Number.isInteger(per) && per > 0 && taken >= 0 && taken <= per ? [taken, per] : [0, 1];
  }

  function tally() {
    return { questions: 0, right: 0, wrong: 0, blank: 0 };
  }

  // answer: "right", "wrong" or "blank".
  function add(t, answer, cancelled) {
    if (cancelled && answer !== "right") return t; // out of the count
    t.questions += 1;
    t[answer] += 1;
    return t;
  }

  function rawHundredths(t, penalty) {
    const [taken, per] = penaltyOf(penalty);
    if (t.questions <= 0) return 0;
    return roundedQuotient(10000 * (per * t.right - taken * t.wrong), per * t.questions);
  }

  // fields: [{ weight, tally }]. Rounded once from the exact fractions, never a mean of
  // rounded figures: Σ w·s/(per·q) over Σ w on the common denominator per·lcm(q)·Σ w, in
  // whole numbers of any size.
  function overallHundredths(fields, penalty) {
    const [taken, per] = penaltyOf(penalty).map(BigInt);
    const counted = fields.filter((f) => f.tally.questions > 0 && f.weight > 0);
    if (!counted.length) return 0;
    const gcd = (a, b) => (b === 0n ? a : gcd(b, a % b));
    let common = 1n;
    let weights = 0n;
    for (const f of counted) {
      const q = BigInt(f.tally.questions);
      common = common / gcd(common, q) * q;
      weights += BigInt(f.weight);
    }
    let sum = 0n;
    for (const f of counted) {
      const t = f.tally;
      sum += BigInt(f.weight) * (per * BigInt(t.right) - taken * BigInt(t.wrong)) * (common / BigInt(t.questions));
    }
    const num = 10000n * sum, den = per * common * weights;
    const magnitude = (2n * (num < 0n ? -num : num) + den) / (2n * den);
    return Number(num < 0n ? -magnitude : magnitude);
  }

  // "33.33", "-33.33", "0.00"
  function hundredthsText(h) {
    const m = Math.abs(h);
    return (h < 0 ? "-" : "") + Math.floor(m / 100) + "." + String(m % 100).padStart(2, "0");
  }

  const NUMBER_WORDS = ["", "یک", "دو", "سه", "چهار", "پنج", "شش", "هفت", "هشت", "نه", "ده"];
  // The penalty rule in words, as the result sheet states it.
  function penaltyWords(penalty, digits) {
    const [taken, per] = penaltyOf(penalty);
    if (!taken) return "پاسخ نادرست نمرهٔ منفی ندارد";
    const word = (n) => NUMBER_WORDS[n] || digits(n);
    if (taken === per) return "هر پاسخ نادرست، یک پاسخ درست را خنثی می‌کند";
    return "هر " + word(per) + " پاسخ نادرست، " + word(taken) + " پاسخ درست را خنثی می‌کند";
  }

  T.score = { penaltyOf, tally, add, rawHundredths, overallHundredths, hundredthsText, penaltyWords };
})(window.Tavrin = window.Tavrin || {});

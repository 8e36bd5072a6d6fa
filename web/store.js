// SPDX-License-Identifier: MIT
// What the page keeps on the device, in localStorage: its writes are done
// when the call returns, so a line is kept before it goes to the program,
// and a tab discarded a moment later has lost nothing. The amounts are
// small (a run is at most some five hundred short lines).
//
//   survey.kept     the run being typed: { date, lines, end, reportedLine }
//                   (end: the text before Ctrl-Z that ended the input, or
//                   null; reportedLine: the line a report came at, or -1)
//   survey.history  finished runs, newest first: { date, points, results,
//                   lines, end, pasted, status }
//   survey.paste    the paste field's text
//
// A failure (private mode, quota full) goes to onProblem, which the status
// line shows, and each later success to onProblem(null).
const KeptKey = 'survey.kept';
const HistoryKey = 'survey.history';
const PasteKey = 'survey.paste';
const HistoryLength = 50;

export class TStore {
  constructor(onProblem) {
    this.onProblem = onProblem;
  }

  read(key, otherwise) {
    try {
      const text = window.localStorage.getItem(key);
      return text === null ? otherwise : JSON.parse(text);
    } catch (error) {
      this.onProblem(error);
      return otherwise;
    }
  }

  write(key, value) {
    try {
      if (value === null) window.localStorage.removeItem(key);
      else window.localStorage.setItem(key, JSON.stringify(value));
      this.onProblem(null);
      return true;
    } catch (error) {
      this.onProblem(error);
      return false;
    }
  }

  kept() {
    const run = this.read(KeptKey, null);
    return run && Array.isArray(run.lines) ? run : null;
  }

  keep(run) {
    return this.write(KeptKey, run);
  }

  forget() {
    return this.write(KeptKey, null);
  }

  history() {
    const runs = this.read(HistoryKey, []);
    return Array.isArray(runs) ? runs : [];
  }

  addToHistory(run) {
    return this.write(HistoryKey, [run, ...this.history()].slice(0, HistoryLength));
  }

  pasted() {
    return this.read(PasteKey, '');
  }

  keepPasted(text) {
    return this.write(PasteKey, text);
  }
}

// The exact bytes a kept run handed to the program, as text: each line with
// CR LF, and the text that ended the input without. survey reads such a
// file as it read the lines typed.
export function inputOf(run) {
  if (typeof run.pasted === 'string') return run.pasted;
  return run.lines.map((line) => `${line}\r\n`).join('') + (run.end ?? '');
}

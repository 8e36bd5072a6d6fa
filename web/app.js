// SPDX-License-Identifier: MIT
// The survey program in the page: one run at a time, typed line by line in
// the page's console or pasted whole, beside the contour drawn from the
// bytes entered so far. Every line typed is kept on the device before the
// program gets it, so a reload, a discarded tab or a report costs nothing:
// the page offers to resume. Finished runs go into a history. A service
// worker keeps every file of the page, so that it starts without network.
import createSurvey from './survey.js';
import { TConsoleInput, TLineConsole, TPastedInput, textOf } from './console.js';
import { TContourPane, fetchBytes } from './contour_pane.js';
import { TStore, inputOf } from './store.js';
import { showHistory } from './history.js';

// The exit code of a run that a WebAssembly trap ended, as under Node.js.
const TrapExitCode = 255;
const ProgramScript = new URL('survey.js', import.meta.url).href;

const byId = (id) => document.getElementById(id);
const status = byId('status');
const newRun = byId('new-run');
const offer = byId('offer');
const pastedText = byId('measurements');

let current = null;
let runState = 'Loading…';
let storageProblem = null;

function showStatus(text, failed) {
  if (text !== undefined) {
    runState = text;
    status.dataset.failed = failed ? 'yes' : '';
  }
  const problem = storageProblem
    ? ` Lines not kept on this device: the browser's storage failed (${storageProblem}).` : '';
  status.textContent = runState + problem;
  status.classList.toggle('failed', Boolean(status.dataset.failed || storageProblem));
}

const store = new TStore((error) => {
  const problem = error ? error.name || String(error) : null;
  if (problem === storageProblem) return;
  storageProblem = problem;
  showStatus();
});
const contour = new TContourPane(byId('contour'));
const lineConsole = new TLineConsole({
  transcript: byId('transcript'), form: byId('entry'), field: byId('line'), send: byId('send'),
  endInput: byId('end-input'), keypad: byId('keypad'),
}, (line, end) => enterLine(line, end));

const wasmBinary = fetchBytes('survey.wasm');

// A line entered: kept first, then handed to the program.
function enterLine(line, end) {
  const run = current;
  if (!run || run.exitCode !== null || !run.kept) return;
  if (run.kept.lines.length === 0 && run.kept.end === null) setAsideOffered();
  if (end) run.kept.end = line;
  else run.kept.lines.push(line);
  store.keep(run.kept);
  run.input.hand(line, end);
  if (end) lineConsole.enable(false);
  contour.show(run, run.input.handed);
}

// The kept run that was offered, when the operator starts on another
// instead: it goes into the history, not finished, rather than being lost.
function setAsideOffered() {
  const kept = offer.hidden ? null : store.kept();
  offer.hidden = true;
  if (kept && (kept.lines.length > 0 || kept.end !== null)) {
    store.addToHistory({ ...kept, status: kept.reportedLine >= 0 ? 'report' : 'unfinished' });
  }
}

// The operator's count of points and the results line, from what the
// program wrote.
function summaryOf(run) {
  const text = textOf(run.output);
  const points = text.split('Enter the measured length of the point ').length - 1;
  const results = text.split('\r\n').find((line) => line.includes('The area of a contour')) || '';
  return { points, results: results.trim() };
}

function finish(run, exitCode) {
  if (run.exitCode !== null) return;
  run.exitCode = exitCode;
  run.resolve(exitCode);
  if (run !== current) return;
  lineConsole.enable(false);
  newRun.hidden = false;
  showStatus(`Ended with exit code ${exitCode}`, exitCode !== 0);
  record(run, exitCode);
}

// A run left while it still reads: its lines go into the history, not
// finished, and its input ends, so that its module runs out and is freed.
function leave(run) {
  if (!run || run.exitCode !== null) return;
  if (run.kept && (run.kept.lines.length > 0 || run.kept.end !== null)) {
    store.addToHistory({ ...run.kept, status: 'unfinished' });
    store.forget();
  }
  run.input.close();
}

// A finished run into the history; one that a report ended stays kept,
// marked at the line the report came at, and is offered to resume.
function record(run, exitCode) {
  const date = run.kept ? run.kept.date : new Date().toISOString();
  const entered = run.kept ?? { pasted: textOf(run.input.handed) };
  if (exitCode === 0) {
    store.addToHistory({ ...entered, date, ...summaryOf(run), status: 'finished' });
    if (run.kept) store.forget();
  } else if (run.kept && run.input.lastRead !== undefined) {
    run.kept.reportedLine = run.input.lastRead;
    store.keep(run.kept);
    offerResume(run.kept);
  }
}

function lineAt(kept, index) {
  return index < kept.lines.length ? kept.lines[index] : kept.end;
}

function offerResume(kept) {
  const count = kept.lines.length + (kept.end === null ? 0 : 1);
  const when = new Date(kept.date).toLocaleString();
  byId('offer-text').textContent = kept.reportedLine >= 0
    ? `The run of ${when} ended with a report at the line "${lineAt(kept, kept.reportedLine)}". `
      + `Resume it without that line, or discard its ${count} kept lines?`
    : `The run of ${when} was not finished: ${count} ${count === 1 ? 'line is' : 'lines are'} kept. `
      + 'Resume it, or discard them?';
  offer.hidden = false;
}

// The kept lines that a resumed run is fed: all, or all but the one a
// report came at.
function resumedLines(kept) {
  const skip = kept.reportedLine ?? -1;
  const lines = kept.lines.filter((line, index) => index !== skip);
  const end = skip === kept.lines.length ? null : kept.end;
  return { lines, end };
}

// Starts a run: typed (fed the lines of a kept run first, if given), or
// with pasted text as its whole input. The run stays readable as
// window.surveyRun, for the page's tests.
async function start({ pasted, feed } = {}) {
  leave(current);
  lineConsole.clear();
  newRun.hidden = true;
  const run = { output: [], errors: [], exitCode: null };
  run.done = new Promise((resolve) => { run.resolve = resolve; });
  if (pasted === undefined) {
    run.input = new TConsoleInput((entry) => lineConsole.echo(entry.line, entry.end));
    run.kept = { date: new Date().toISOString(), lines: [], end: null, reportedLine: -1 };
  } else {
    run.input = new TPastedInput(pasted);
  }
  current = run;
  window.surveyRun = run;
  contour.clear(run);
  if (feed) {
    offer.hidden = true;
    run.kept.lines = [...feed.lines];
    run.kept.end = feed.end;
    store.keep(run.kept);
    for (const line of feed.lines) run.input.hand(line, false);
    if (feed.end !== null) run.input.hand(feed.end, true);
  }
  if (run.input.handed.length > 0) contour.show(run, run.input.handed);
  lineConsole.enable(pasted === undefined && !run.input.ended);
  showStatus(pasted === undefined ? 'Running: Enter sends the line' : 'Running with the pasted measurements');
  const host = {
    read: (handle, count) => run.input.read(count),
    write: (handle, bytes) => {
      if (run !== current) return;
      (handle === 2 ? run.errors : run.output).push(...bytes);
      lineConsole.write(textOf(bytes), handle === 2 ? 'error' : 'output');
      if (run.output.length > 0 && !run.prompted) firstPrompt(run);
    },
    fileType: (handle) => (handle === 0 ? run.input.fileType : 2),
    close: () => {},
  };
  if (pasted === undefined) lineConsole.focus();
  try {
    await createSurvey({
      surveyHost: host,
      wasmBinary: await wasmBinary,
      onExit: (code) => finish(run, code),
      onAbort: (what) => reportTrap(run, what),
    });
  } catch (error) {
    reportTrap(run, error);
  }
  return run.done;
}

// Once the program has asked its first question: the contour module and the
// service worker load, neither holding up the prompt.
function firstPrompt(run) {
  run.prompted = true;
  if (firstPrompt.done) return;
  firstPrompt.done = true;
  contour.load().catch(() => {}); // a failure shows at the first drawing
  if ('serviceWorker' in navigator) {
    navigator.serviceWorker.register('sw.js').catch((error) => {
      console.warn(`The page will not start offline: ${error}`);
    });
  }
}

// A trap ends the module's run at once; the page says what it was, in the
// error colour, as the host under Node.js does.
function reportTrap(run, error) {
  if (!error || error.name === 'ExitStatus' || run.exitCode !== null) return;
  const message = `Runtime error: ${error.message || error}\r\n`;
  run.errors.push(...message.split('').map((c) => c.charCodeAt(0) & 0xff));
  if (run === current) lineConsole.write(message, 'error');
  finish(run, TrapExitCode);
}

// Only a failure that comes out of the program's own module is its trap
// (or, an ExitStatus, its end); any other error on the page leaves the run
// alone.
function isProgramFailure(error, source) {
  if (source && source.startsWith(ProgramScript)) return true;
  if (error && error.name === 'ExitStatus') return true;
  return Boolean(error && typeof error.stack === 'string' && error.stack.includes(ProgramScript));
}
window.addEventListener('unhandledrejection', (event) => {
  if (current && isProgramFailure(event.reason)) {
    reportTrap(current, event.reason);
    event.preventDefault();
  }
});
window.addEventListener('error', (event) => {
  if (current && isProgramFailure(event.error, event.filename)) {
    reportTrap(current, event.error || event.message);
    event.preventDefault();
  }
});

newRun.addEventListener('click', () => start());
byId('resume').addEventListener('click', () => {
  const kept = store.kept();
  if (kept) start({ feed: resumedLines(kept) });
});
byId('discard').addEventListener('click', () => {
  store.forget();
  offer.hidden = true;
});
byId('run-pasted').addEventListener('click', () => start({ pasted: pastedText.value }));
pastedText.value = store.pasted();
pastedText.addEventListener('input', () => store.keepPasted(pastedText.value));
byId('show-history').addEventListener('click', () => showHistory(byId('history'), store.history(), {
  runAgain: (entry) => (typeof entry.pasted === 'string'
    ? start({ pasted: entry.pasted }) : start({ feed: { lines: entry.lines, end: entry.end } })),
  inputOf,
}));
byId('show-about').addEventListener('click', async () => {
  const about = byId('about');
  about.showModal();
  for (const [id, name] of [['licence-text', 'LICENSE.txt'], ['notices-text', 'THIRD-PARTY-NOTICES.txt']]) {
    try {
      byId(id).textContent = new TextDecoder().decode(await fetchBytes(name));
    } catch (error) {
      byId(id).textContent = `${name} cannot be shown: ${error.message}`;
    }
  }
});

// On a phone the visible part shrinks while the keyboard is up; the page
// follows it, and the transcript keeps its last lines in view.
function resize() {
  if (window.visualViewport) document.body.style.height = `${window.visualViewport.height}px`;
  const transcript = byId('transcript');
  transcript.scrollTop = transcript.scrollHeight;
}
window.addEventListener('resize', resize);
if (window.visualViewport) window.visualViewport.addEventListener('resize', resize);
new ResizeObserver(resize).observe(byId('transcript'));
resize();

window.surveyPage = { start, ready: wasmBinary.then(() => true), contourDrawn: () => contour.drawn };
wasmBinary.then(() => {
  const kept = store.kept();
  if (kept && (kept.lines.length > 0 || kept.end !== null)) offerResume(kept);
  start();
}, (error) => {
  showStatus(`The program could not be loaded: ${error.message || error}`, true);
});

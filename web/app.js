// The survey program in a terminal pane that works as a console in line
// mode: typed characters are echoed, Backspace edits the line, Enter hands
// the line with CR LF to the program, and Ctrl-Z then Enter ends the input.
// Output appears as the program writes it; standard error in a second
// colour. Beside the terminal the contour is drawn again after every line,
// from the bytes typed so far, by the contour library in a module of its
// own. Everything is fetched once, when the page loads: a new run, and the
// page as a whole, need no network afterwards.
import { Terminal } from './vendor/xterm.mjs';
import { FitAddon } from './vendor/addon-fit.mjs';
import createSurvey from './survey.js';
import createContour from './contour.js';

// File types as the program's platform layer numbers them.
const FileTypeDisk = 1;
const FileTypeChar = 2;
const CtrlZ = '\x1a';
const ErrorColour = '\x1b[91m';
const PlainColour = '\x1b[0m';
// The exit code of a run that a WebAssembly trap ended, as under Node.js.
const TrapExitCode = 255;

const terminal = new Terminal({
  fontSize: 16,
  cursorBlink: true,
  scrollback: 10000,
  theme: { background: '#1e1e1e' },
});
const fit = new FitAddon();
terminal.loadAddon(fit);
terminal.open(document.getElementById('terminal'));

const status = document.getElementById('status');
const newRun = document.getElementById('new-run');
const wasmBinary = fetch(new URL('survey.wasm', import.meta.url))
  .then((response) => response.arrayBuffer());
const contourPane = document.getElementById('contour');

// The drawing module, started once; each drawing arrives in pieces.
const contourPieces = [];
const contourModule = fetch(new URL('contour.wasm', import.meta.url))
  .then((response) => response.arrayBuffer())
  .then((binary) => createContour({
    wasmBinary: binary,
    contourTake: (bytes) => contourPieces.push(bytes),
  }))
  .then((module) => {
    module._survey_contour_start();
    return module;
  });

// Draws the contour the bytes describe: the points typed in full so far,
// or once all are in, the closed boundary, its area and the findings.
async function drawContour(bytes) {
  const module = await contourModule;
  const at = module._malloc(Math.max(bytes.length, 1));
  module.HEAPU8.set(bytes, at);
  contourPieces.length = 0;
  const status = module._survey_contour_draw(at, bytes.length);
  module._free(at);
  if (status === 1) {
    const report = document.createElement('pre');
    report.className = 'report';
    report.textContent = module.UTF8ToString(module._survey_contour_report());
    contourPane.replaceChildren(report);
  } else {
    contourPane.innerHTML = contourPieces.map((piece) => textOf(piece)).join('');
  }
  contourPane.dataset.status = status;
}

// Text to the program's bytes and back: one byte per character, as the
// console hands them over; a character beyond one byte is a '?'.
function bytesOf(text) {
  return Uint8Array.from(text, (c) => (c.charCodeAt(0) < 256 ? c.charCodeAt(0) : 63));
}
function textOf(bytes) {
  let text = '';
  for (const byte of bytes) text += String.fromCharCode(byte);
  return text;
}

// The operator's lines, as a console in line mode delivers them: one
// line per read, and nothing until Enter.
class TConsoleInput {
  constructor() {
    this.fileType = FileTypeChar;
    this.line = '';
    this.lines = [];
    this.typed = [];
    this.ended = false;
    this.waiting = null;
  }

  type(data) {
    for (const c of data) {
      if (c === '\r') {
        terminal.write('\r\n');
        this.enter();
      } else if (c === '\x7f' || c === '\b') {
        if (this.line.length > 0) {
          terminal.write(this.line.endsWith(CtrlZ) ? '\b\b  \b\b' : '\b \b');
          this.line = this.line.slice(0, -1);
        }
      } else if (c === CtrlZ) {
        this.line += c;
        terminal.write('^Z');
      } else if (c >= ' ' || c === '\t') {
        this.line += c;
        terminal.write(c);
      }
    }
  }

  // A line with Ctrl-Z hands over what comes before it, and then the end.
  enter() {
    if (this.ended) return;
    const stop = this.line.indexOf(CtrlZ);
    const handed = bytesOf(stop < 0 ? this.line + '\r\n' : this.line.slice(0, stop));
    if (handed.length > 0) this.lines.push(handed);
    this.ended = stop >= 0;
    this.typed.push(...handed);
    this.line = '';
    this.wake();
    drawContour(Uint8Array.from(this.typed));
  }

  wake() {
    if (this.waiting && (this.lines.length > 0 || this.ended)) {
      const resolve = this.waiting;
      this.waiting = null;
      resolve();
    }
  }

  async read(count) {
    while (this.lines.length === 0 && !this.ended) {
      await new Promise((resolve) => { this.waiting = resolve; });
    }
    if (this.lines.length === 0) return new Uint8Array(0);
    const line = this.lines[0];
    if (line.length <= count) return this.lines.shift();
    this.lines[0] = line.subarray(count);
    return line.subarray(0, count);
  }
}

// A whole input at once, as a file redirect gives it.
class TPastedInput {
  constructor(text) {
    this.fileType = FileTypeDisk;
    this.bytes = bytesOf(text);
    this.at = 0;
    drawContour(this.bytes);
  }

  type() {}

  async read(count) {
    const part = this.bytes.subarray(this.at, this.at + count);
    this.at += part.length;
    return part;
  }
}

let current = null;

terminal.onData((data) => {
  if (current && current.exitCode === null) current.input.type(data);
});

function finish(run, exitCode) {
  if (run.exitCode !== null) return;
  run.exitCode = exitCode;
  status.textContent = `Ended with exit code ${exitCode}`;
  status.classList.toggle('failed', exitCode !== 0);
  newRun.hidden = false;
  run.resolve(exitCode);
}

// Starts a run; with pasted text as its whole input, otherwise typed. The
// run's bytes stay readable as window.surveyRun, for the page's tests.
async function start(pasted) {
  terminal.reset();
  contourPane.replaceChildren();
  newRun.hidden = true;
  status.classList.remove('failed');
  const run = {
    input: pasted === undefined ? new TConsoleInput() : new TPastedInput(pasted),
    output: [],
    errors: [],
    exitCode: null,
  };
  run.done = new Promise((resolve) => { run.resolve = resolve; });
  current = run;
  window.surveyRun = run;
  status.textContent = pasted === undefined
    ? 'Running. Enter sends a line; Ctrl-Z, Enter ends the input'
    : 'Running with the pasted measurements';
  const host = {
    read: (handle, count) => run.input.read(count),
    write: (handle, bytes) => {
      const text = textOf(bytes);
      if (handle === 2) {
        run.errors.push(...bytes);
        terminal.write(ErrorColour + text + PlainColour);
      } else {
        run.output.push(...bytes);
        terminal.write(text);
      }
    },
    fileType: (handle) => (handle === 0 ? run.input.fileType : FileTypeChar),
    close: () => {},
  };
  terminal.focus();
  try {
    await createSurvey({
      surveyHost: host,
      wasmBinary: await wasmBinary,
      onExit: (code) => finish(run, code),
    });
  } catch (error) {
    reportTrap(run, error);
  }
  return run.done;
}

// A trap ends the module's run at once; the page says what it was, in
// the error colour, as the host under Node.js does.
function reportTrap(run, error) {
  if (!error || error.name === 'ExitStatus' || run.exitCode !== null) return;
  const message = `Runtime error: ${error.message || error}\r\n`;
  run.errors.push(...bytesOf(message));
  terminal.write(ErrorColour + message + PlainColour);
  finish(run, TrapExitCode);
}

window.addEventListener('unhandledrejection', (event) => {
  if (current) reportTrap(current, event.reason);
  event.preventDefault();
});
window.addEventListener('error', (event) => {
  if (current) reportTrap(current, event.error);
  event.preventDefault();
});

newRun.addEventListener('click', () => start());
document.getElementById('run-pasted').addEventListener('click', () => {
  start(document.getElementById('measurements').value);
});

// The terminal fills the space it is given; on a phone the visible part
// shrinks while the keyboard is up, and the line being typed stays in it.
function resize() {
  if (window.visualViewport) document.body.style.height = `${window.visualViewport.height}px`;
  fit.fit();
  terminal.scrollToBottom();
}
window.addEventListener('resize', resize);
if (window.visualViewport) window.visualViewport.addEventListener('resize', resize);
resize();

window.surveyPage = { start, ready: wasmBinary.then(() => true) };
wasmBinary.then(() => start(), (error) => {
  status.textContent = `The program could not be loaded: ${error}`;
  status.classList.add('failed');
});

// SPDX-License-Identifier: MIT
// The page's own console. The program writes lines and reads lines, so the
// dialogue is a transcript of plain text and a native line field: a phone's
// keyboard types into the field as into any form, whatever it does with
// compositions and key codes, and the line goes to the program only on
// Enter, with CR LF. Nothing the program writes or the operator types is
// ever put into the page as HTML.

// File types as the program's platform layer numbers them.
export const FileTypeDisk = 1;
export const FileTypeChar = 2;

// Ctrl-Z in a line: what comes before it goes to the program, then the end
// of the input. In the field it shows as the sign for it.
const CtrlZ = '\x1a';
const CtrlZSign = '\u241a';

// Text to the program's bytes and back: one byte per character; a
// character beyond one byte is a '?'.
export function bytesOf(text) {
  return Uint8Array.from(text, (c) => (c.charCodeAt(0) < 256 ? c.charCodeAt(0) : 63));
}
export function textOf(bytes) {
  let text = '';
  for (const byte of bytes) text += String.fromCharCode(byte);
  return text;
}

// Offers bytes to the operator as a file to save.
export function offerFile(bytes, name, type) {
  const link = document.createElement('a');
  link.href = URL.createObjectURL(new Blob([bytes], { type }));
  link.download = name;
  link.click();
  setTimeout(() => URL.revokeObjectURL(link.href), 10000);
}

// The operator's lines as a console in line mode delivers them: one line per
// read, and nothing until Enter. Each line is announced once, as the program
// starts to read it (onRead), so that the transcript shows it after the
// prompt that asked for it.
export class TConsoleInput {
  constructor(onRead) {
    this.fileType = FileTypeChar;
    this.onRead = onRead;
    this.queue = [];
    this.handed = [];
    this.readLines = 0;
    this.ended = false;
    this.waiting = null;
  }

  // A line with CR LF, or with end set, the line alone and then the end.
  hand(line, end) {
    if (this.ended) return;
    const bytes = bytesOf(end ? line : `${line}\r\n`);
    this.queue.push({ line, end, bytes, index: this.handedLines(), started: false });
    this.handed.push(...bytes);
    this.ended = end;
    this.wake();
  }

  // The run is left: the program reads the end of its input.
  close() {
    this.ended = true;
    this.wake();
  }

  handedLines() {
    return this.queue.length + this.readLines;
  }

  wake() {
    if (this.waiting && (this.queue.length > 0 || this.ended)) {
      const resolve = this.waiting;
      this.waiting = null;
      resolve();
    }
  }

  async read(count) {
    while (this.queue.length === 0 && !this.ended) {
      await new Promise((resolve) => { this.waiting = resolve; });
    }
    const entry = this.queue[0];
    if (!entry) return new Uint8Array(0);
    if (!entry.started) {
      entry.started = true;
      this.lastRead = entry.index;
      this.onRead(entry);
    }
    if (entry.bytes.length <= count) {
      this.queue.shift();
      this.readLines += 1;
      return entry.bytes;
    }
    const part = entry.bytes.subarray(0, count);
    entry.bytes = entry.bytes.subarray(count);
    return part;
  }
}

// A whole input at once, as a file redirect gives it.
export class TPastedInput {
  constructor(text) {
    this.fileType = FileTypeDisk;
    this.handed = bytesOf(text);
    this.at = 0;
  }

  close() {}

  async read(count) {
    const part = this.handed.subarray(this.at, this.at + count);
    this.at += part.length;
    return part;
  }
}

// The transcript and the line field. onLine(line, end) takes each line
// entered: end when it ends the input (Ctrl-Z, or "End input").
export class TLineConsole {
  constructor(elements, onLine) {
    Object.assign(this, elements);
    this.onLine = onLine;
    this.form.addEventListener('submit', (event) => {
      event.preventDefault();
      this.enter(false);
    });
    this.endInput.addEventListener('click', () => this.enter(true));
    this.field.addEventListener('beforeinput', (event) => this.beforeInput(event));
    this.field.addEventListener('input', (event) => {
      if (!event.isComposing) this.pointForComma();
    });
    this.field.addEventListener('compositionend', () => this.pointForComma());
    this.field.addEventListener('keydown', (event) => this.keyDown(event));
    this.keypad.addEventListener('click', () => this.toggleKeypad());
    this.enable(false);
  }

  // Enter as a key: the line, unless a composition is still open (its
  // commit comes first, and then the keyboard's Enter).
  keyDown(event) {
    if (event.key === 'Enter' && !event.isComposing && event.keyCode !== 229) {
      event.preventDefault();
      this.enter(false);
    } else if (event.ctrlKey && !event.altKey && !event.metaKey && event.key.toLowerCase() === 'z') {
      event.preventDefault();
      this.field.setRangeText(CtrlZSign, this.field.selectionStart, this.field.selectionEnd, 'end');
    }
  }

  // Enter as text: a keyboard that inserts a line break rather than sending
  // a key. What comes before the break is the line; what follows stays.
  beforeInput(event) {
    const breaks = event.inputType === 'insertLineBreak' || event.inputType === 'insertParagraph';
    const data = event.data || event.dataTransfer?.getData('text') || '';
    if (!breaks && !/[\r\n]/.test(data)) return;
    event.preventDefault();
    const pieces = breaks ? ['', ''] : data.split(/\r\n|\r|\n/);
    const field = this.field;
    field.setRangeText(pieces[0], field.selectionStart, field.selectionEnd, 'end');
    const rest = field.value.slice(field.selectionEnd);
    field.value = field.value.slice(0, field.selectionEnd);
    this.enter(false);
    for (const line of pieces.slice(1, -1)) {
      field.value = line;
      this.enter(false);
    }
    field.value = pieces[pieces.length - 1] + rest;
  }

  // A keypad with only a decimal comma: the comma becomes the point the
  // program reads, shown as such before the line is sent.
  pointForComma() {
    const field = this.field;
    if (!field.value.includes(',')) return;
    const at = field.selectionStart;
    field.value = field.value.replaceAll(',', '.');
    field.setSelectionRange(at, at);
  }

  toggleKeypad() {
    const letters = this.field.inputMode !== 'text';
    this.field.inputMode = letters ? 'text' : 'decimal';
    this.keypad.setAttribute('aria-pressed', String(letters));
    this.keypad.textContent = letters ? '123' : 'abc';
    this.field.focus();
  }

  enter(endInput) {
    if (this.field.disabled) return;
    this.pointForComma();
    const text = this.field.value.replaceAll(CtrlZSign, CtrlZ);
    const stop = text.indexOf(CtrlZ);
    this.field.value = '';
    this.onLine(stop < 0 ? text : text.slice(0, stop), endInput || stop >= 0);
  }

  enable(on) {
    for (const control of [this.field, this.send, this.endInput]) control.disabled = !on;
  }

  focus() {
    this.field.focus({ preventScroll: true });
  }

  clear() {
    this.transcript.replaceChildren();
    this.field.value = '';
  }

  // Output in pieces as the program writes it; a piece of the same kind as
  // the last one joins its text node.
  write(text, kind) {
    const shown = text.replaceAll('\r\n', '\n');
    if (shown === '') return;
    const last = this.transcript.lastChild;
    if (last && last.dataset.kind === kind) {
      last.firstChild.appendData(shown);
    } else {
      const span = document.createElement('span');
      span.dataset.kind = kind;
      if (kind !== 'output') span.className = kind;
      span.textContent = shown;
      this.transcript.append(span);
    }
    this.transcript.scrollTop = this.transcript.scrollHeight;
  }

  // The line the program reads, where it reads it: after its prompt.
  echo(line, end) {
    this.write(`${line}${end ? '^Z' : ''}\n`, 'typed');
  }
}

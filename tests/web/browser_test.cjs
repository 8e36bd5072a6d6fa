// SPDX-License-Identifier: MIT
// The page in headless Chromium, served from 127.0.0.1 by a server of its
// own that can fail or delay a file, or stop. Usage:
//   node browser_test.cjs PART PAGE_DIR SOURCE_DIR BUILD_DIR [DEVICE]
// Each part is one table of rows (see Parts below); a row that fails says
// what differed, and the part fails if any row did. Chromium is Debian's;
// playwright-core (with its device descriptors) and axe-core come from
// web/package.json.
'use strict';
const fs = require('fs');
const http = require('http');
const os = require('os');
const path = require('path');
const { spawnSync } = require('child_process');
const { chromium, devices } = require('playwright-core');

const [part, pageDir, sourceDir, buildDir, onlyDevice] = process.argv.slice(2);
const casesDir = path.join(sourceDir, 'tests/e2e/cases');
const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));
const Desktop = { viewport: { width: 1000, height: 640 } };
const Phones = { 'Pixel 7': devices['Pixel 7'], 'iPhone 13': devices['iPhone 13'] };
const Types = {
  '.html': 'text/html', '.js': 'text/javascript', '.css': 'text/css', '.wasm': 'application/wasm',
  '.webmanifest': 'application/manifest+json', '.png': 'image/png', '.svg': 'image/svg+xml',
  '.txt': 'text/plain',
};

// The page's files; server.rules[name] = { status, delay } fails or delays one.
function serve(root) {
  const sockets = new Set();
  const server = http.createServer(async (request, response) => {
    const name = decodeURIComponent(new URL(request.url, 'http://x').pathname).slice(1) || 'index.html';
    const rule = server.rules[name] || {};
    if (rule.delay) await sleep(rule.delay);
    const file = path.join(root, name);
    if (rule.status || !file.startsWith(root) || !fs.existsSync(file)) {
      response.writeHead(rule.status || 404).end();
      return;
    }
    response.writeHead(200, { 'Content-Type': Types[path.extname(file)] || 'application/octet-stream' });
    response.end(fs.readFileSync(file));
  });
  server.rules = {};
  server.on('connection', (socket) => {
    sockets.add(socket);
    socket.on('close', () => sockets.delete(socket));
  });
  server.stop = () => new Promise((resolve) => {
    server.close(resolve);
    for (const socket of sockets) socket.destroy();
  });
  return new Promise((resolve) => server.listen(0, '127.0.0.1', () => resolve(server)));
}

// The switches this machine's closed network and a root user need; each
// launch has a fresh profile of its own.
const Chromium = {
  executablePath: process.env.SURVEY_CHROMIUM || '/usr/bin/chromium',
  args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
         '--disable-background-networking', '--disable-component-update', '--disable-sync'],
};
const launch = () => chromium.launch(Chromium);
// A profile on disk, as a phone's browser has one: an app is installable
// only there, not in a private window.
async function launchProfile(device) {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'survey-profile-'));
  const context = await chromium.launchPersistentContext(profile, { ...Chromium, ...device });
  context.remove = async () => {
    await context.close();
    fs.rmSync(profile, { recursive: true, force: true, maxRetries: 5 });
  };
  return context;
}

function expected(name) {
  const read = (file) => {
    const at = path.join(casesDir, name, file);
    return fs.existsSync(at) ? fs.readFileSync(at, 'latin1') : '';
  };
  return { input: read('input'), output: read('output'), errors: read('errors'), exitCode: Number(read('exitcode')) };
}
const Triangle = expected('triangle');
const Area = '2803.30m^2';

// A report's addresses as ######## and its module as the Linux build names it.
const masked = (errors) => errors.replace(/ at [0-9A-F]{8,16}\.\r\n/g, ' at ########.\r\n')
  .replace(/in module survey\.wasm at/g, 'in module survey at');

// Differences between what a run gave and what a case expects.
function compare(name, outcome, want) {
  const problems = [];
  if (want.input !== undefined && outcome.handed !== want.input) {
    problems.push(`the program was handed ${JSON.stringify(outcome.handed)}`);
  }
  if (outcome.output !== want.output) problems.push(`standard output differs: ${JSON.stringify(outcome.output.slice(-120))}`);
  if (masked(outcome.errors) !== want.errors) problems.push(`standard error differs: ${JSON.stringify(outcome.errors)}`);
  if (outcome.exitCode !== want.exitCode) problems.push(`exit code ${outcome.exitCode}`);
  return problems.map((problem) => `${name}: ${problem}`);
}

async function openPage(browser, url, device = Desktop, init) {
  const context = await browser.newContext({ ...device, acceptDownloads: true });
  if (init) await context.addInitScript(init);
  const page = await context.newPage();
  page.on('pageerror', (error) => console.log(`page error: ${error}`));
  const started = Date.now();
  await page.goto(url);
  await prompted(page);
  console.log(`first prompt after ${Date.now() - started} ms`);
  return page;
}

const prompted = (page) => page.waitForFunction(() => window.surveyRun && window.surveyRun.output.length > 0);
const running = (page) => page.evaluate(() => window.surveyRun.exitCode === null);
async function newRun(page, pasted) {
  await page.evaluate((text) => { window.surveyPage.start(text === null ? {} : { pasted: text }); }, pasted ?? null);
  await prompted(page);
  if (pasted === undefined) await page.focus('#line');
}
const handed = (page) => page.evaluate(() => String.fromCharCode(...window.surveyRun.input.handed));

async function outcome(page) {
  await page.waitForFunction(() => window.surveyRun.exitCode !== null, null, { timeout: 60000 });
  return page.evaluate(() => {
    const text = (bytes) => String.fromCharCode(...bytes);
    const run = window.surveyRun;
    return { output: text(run.output), errors: text(run.errors), exitCode: run.exitCode, handed: text(run.input.handed) };
  });
}

// Types an input as an operator at a keyboard: each line and Enter, Ctrl-Z
// for byte 26, a tab as text (Tab itself moves the focus on); the end of the
// input as Ctrl-Z then Enter, while the program still waits for it.
async function typeInput(page, input) {
  const typeLine = async (line) => {
    for (const [k, piece] of line.split('\x1a').entries()) {
      if (k > 0) await page.keyboard.press('Control+z');
      for (const chunk of piece.split(/(\t)/)) {
        if (chunk === '\t') await page.keyboard.insertText(chunk);
        else if (chunk) await page.keyboard.type(chunk);
      }
    }
  };
  const lines = input.split('\n');
  const last = lines.pop();
  for (const line of lines) {
    await typeLine(line.replace(/\r$/, ''));
    await page.keyboard.press('Enter');
  }
  if (await running(page)) {
    await typeLine(last);
    await page.keyboard.press('Control+z');
    await page.keyboard.press('Enter');
  }
}

// A phone keyboard over the DevTools protocol: how the characters of a line
// arrive, and how its Enter does.
const Typing = {
  composition: (line) => [...line].map((c, k) => ['Input.imeSetComposition', {
    text: line.slice(0, k + 1), selectionStart: k + 1, selectionEnd: k + 1 }])
    .concat(line ? [['Input.insertText', { text: line }]] : []),
  'key code 229': (line) => [...line].map((c) => [
    ['Input.dispatchKeyEvent', { type: 'keyDown', key: 'Unidentified', windowsVirtualKeyCode: 229 }],
    ['Input.insertText', { text: c }],
    ['Input.dispatchKeyEvent', { type: 'keyUp', key: 'Unidentified', windowsVirtualKeyCode: 229 }]]),
};
const EnterBy = {
  key: [[['Input.dispatchKeyEvent', { type: 'keyDown', key: 'Enter', code: 'Enter', windowsVirtualKeyCode: 13, text: '\r' }],
         ['Input.dispatchKeyEvent', { type: 'keyUp', key: 'Enter', code: 'Enter', windowsVirtualKeyCode: 13 }]]],
  text: [['Input.insertText', { text: '\n' }]],
  submit: [['submit']],
};

async function keyboardLine(page, cdp, line, typing, enter, gap) {
  for (const step of [...Typing[typing](line), ...EnterBy[enter]]) {
    for (const [method, parameters] of Array.isArray(step[0]) ? step : [step]) {
      if (method === 'submit') await page.evaluate(() => document.getElementById('entry').requestSubmit());
      else await cdp.send(method, parameters);
    }
    if (gap) await sleep(gap);
  }
}

// Whole lines as a keyboard gives them, and then the checks of the run.
async function enterLines(page, lines) {
  for (const line of lines) {
    await page.keyboard.type(line);
    await page.keyboard.press('Enter');
  }
}
const TriangleLines = Triangle.input.split('\r\n').slice(0, -1);

async function contourText(page, shows) {
  await page.waitForFunction((text) => document.querySelector('#contour').textContent.includes(text), shows,
                             { timeout: 10000 }).catch(() => {});
  return page.evaluate(() => ({
    text: document.querySelector('#contour').textContent,
    vertices: document.querySelectorAll('#contour svg g.vertex').length,
  }));
}

async function download(page, click) {
  const [file] = await Promise.all([page.waitForEvent('download'), click()]);
  return fs.readFileSync(await file.path(), 'latin1');
}

function nodeProgram(name, args, input) {
  const run = spawnSync(process.execPath, [path.join(buildDir, name), ...args], { input: Buffer.from(input, 'latin1') });
  return run.stdout.toString('latin1');
}

// Words of the transcript that a line break cuts, and whether anything
// sticks out sideways.
function layoutFaults() {
  const transcript = document.getElementById('transcript');
  const cut = [];
  const walker = document.createTreeWalker(transcript, NodeFilter.SHOW_TEXT);
  for (let node = walker.nextNode(); node; node = walker.nextNode()) {
    for (const word of node.data.matchAll(/\S+/g)) {
      const range = document.createRange();
      range.setStart(node, word.index);
      range.setEnd(node, word.index + word[0].length);
      const tops = new Set([...range.getClientRects()].map((rect) => Math.round(rect.top)));
      if (tops.size > 1) cut.push(word[0]);
    }
  }
  const faults = cut.map((word) => `"${word}" is cut across lines`);
  if (transcript.scrollWidth > transcript.clientWidth) faults.push('the transcript is wider than its pane');
  if (document.documentElement.scrollWidth > window.innerWidth) faults.push('the page is wider than the screen');
  const inside = (inner, outer) => inner.left >= outer.left - 1 && inner.right <= outer.right + 1
    && inner.top >= outer.top - 1 && inner.bottom <= outer.bottom + 1;
  const pane = document.querySelector('#contour .drawing').getBoundingClientRect();
  for (const item of document.querySelectorAll('#contour svg g.vertex, #contour svg .scale-bar')) {
    if (!inside(item.getBoundingClientRect(), pane)) faults.push(`${item.textContent.trim()} lies outside the pane`);
  }
  const svg = document.querySelector('#contour svg');
  for (const text of svg.querySelectorAll('text')) {
    const pixels = parseFloat(text.getAttribute('font-size')) * svg.getScreenCTM().a;
    if (pixels < 12) faults.push(`the label "${text.textContent}" is ${pixels.toFixed(1)} px`);
  }
  const area = document.querySelector('#contour .contour-text').getBoundingClientRect();
  if (!inside(area, document.getElementById('contour').getBoundingClientRect()) || area.bottom > window.innerHeight) {
    faults.push('the area is out of view');
  }
  return faults;
}

// With the paste field open, the console's last line and its field show.
function consoleHidden() {
  const transcript = document.getElementById('transcript');
  const view = transcript.getBoundingClientRect();
  const range = document.createRange();
  range.selectNodeContents(transcript);
  const rects = [...range.getClientRects()].filter((rect) => rect.width > 0);
  const last = rects[rects.length - 1];
  const field = document.getElementById('line').getBoundingClientRect();
  const paste = document.getElementById('paste').getBoundingClientRect();
  const faults = [];
  if (!last || last.bottom > view.bottom + 1 || last.top < view.top - 1) faults.push('the last line is hidden');
  if (field.bottom > paste.top + 1 || field.bottom > window.innerHeight) faults.push('the line field is hidden');
  return faults;
}

const Parts = {
  // Each phone (or the one named), each way a keyboard delivers characters
  // and Enter, with no pause and with 120 ms between events: the triangle,
  // byte for byte.
  async keyboards(browser, url) {
    const failures = [];
    for (const [device, descriptor] of Object.entries(Phones).filter(([name]) => !onlyDevice || name === onlyDevice)) {
      const page = await openPage(browser, url, descriptor);
      const cdp = await page.context().newCDPSession(page);
      const field = await page.$eval('#line', (f) => ['inputmode', 'enterkeyhint', 'autocomplete', 'autocorrect',
        'autocapitalize', 'spellcheck'].map((name) => f.getAttribute(name)).join(' '));
      if (field !== 'decimal send off off off false') failures.push(`${device}: the line field is "${field}"`);
      for (const typing of Object.keys(Typing)) {
        for (const enter of Object.keys(EnterBy)) {
          for (const gap of [0, 120]) {
            await newRun(page);
            for (const line of TriangleLines) await keyboardLine(page, cdp, line, typing, enter, gap);
            failures.push(...compare(`${device}, ${typing}, Enter as ${enter}, ${gap} ms`, await outcome(page), Triangle));
          }
        }
      }
      await page.context().close();
    }
    return failures;
  },

  // The console's own rows: what the program is handed, and what shows.
  async console(browser, url) {
    const page = await openPage(browser, url);
    const rows = [
      { name: 'Backspace', keys: ['12x', 'Backspace', 'Enter'], handed: '12\r\n' },
      { name: 'a decimal comma', keys: ['100,5'], shows: '100.5', then: ['Enter'], handed: '100.5\r\n' },
      { name: 'Ctrl-Z then Enter', keys: ['10', 'Control+z', '5', 'Enter'], handed: '10', ends: true },
      { name: '"End input"', keys: ['7'], click: '#end-input', handed: '7', ends: true },
      { name: 'markup typed', keys: ['<img src=x onerror="window.ran=1">', 'Enter'],
        handed: '<img src=x onerror="window.ran=1">\r\n', text: true },
      { name: 'Tab', keys: ['Tab'], handed: '', leaves: true },
    ];
    const failures = [];
    for (const row of rows) {
      await newRun(page);
      const press = async (keys) => {
        for (const key of keys || []) {
          if (/^(Backspace|Enter|Tab|Control\+z)$/.test(key)) await page.keyboard.press(key);
          else await page.keyboard.type(key);
        }
      };
      await press(row.keys);
      if (row.shows && (await page.inputValue('#line')) !== row.shows) failures.push(`${row.name}: the field shows "${await page.inputValue('#line')}"`);
      await press(row.then);
      if (row.click) await page.click(row.click);
      await sleep(200);
      const state = await page.evaluate(() => ({
        ended: window.surveyRun.input.ended, focused: document.activeElement.id, ran: window.ran,
        images: document.querySelectorAll('img').length, shown: document.getElementById('transcript').textContent,
      }));
      if ((await handed(page)) !== row.handed) failures.push(`${row.name}: the program was handed ${JSON.stringify(await handed(page))}`);
      if (Boolean(row.ends) !== state.ended) failures.push(`${row.name}: the input ${state.ended ? 'ended' : 'did not end'}`);
      if (row.leaves && state.focused === 'line') failures.push(`${row.name}: the focus stayed in the line field`);
      if (row.text && (state.ran || state.images || !state.shown.includes(row.handed.trim()))) {
        failures.push(`${row.name}: it was not shown as text (${state.images} images, ran: ${state.ran})`);
      }
    }
    const live = await page.$eval('#transcript', (t) => `${t.getAttribute('role')} ${t.getAttribute('aria-live')}`);
    if (live !== 'log polite') failures.push(`the transcript is "${live}", not a live log`);
    return failures;
  },

  // Every case that runs on the handles a file gives, typed on a keyboard.
  async transcripts(browser, url) {
    const names = fs.readdirSync(casesDir).filter((name) => !fs.existsSync(path.join(casesDir, name, 'handles'))).sort();
    const failures = [];
    const page = await openPage(browser, url);
    for (const name of names) {
      await newRun(page);
      const want = expected(name);
      await typeInput(page, want.input);
      failures.push(...compare(name, await outcome(page), { ...want, input: undefined }));
    }
    console.log(`${names.length} cases typed, ${failures.length} differences`);
    return failures;
  },

  // A whole input pasted, as from a file, byte for byte as the field holds
  // it (a text field keeps its line ends as LF); the field's text is kept.
  async paste(browser, url) {
    const page = await openPage(browser, url);
    const pasted = Triangle.input.replaceAll('\r\n', '\n');
    await page.click('#paste summary');
    await page.fill('#measurements', Triangle.input);
    await page.click('#run-pasted');
    const failures = compare('triangle pasted', await outcome(page), { ...Triangle, input: pasted });
    await page.reload();
    await prompted(page);
    if ((await page.inputValue('#measurements')) !== pasted) failures.push('the pasted text was not kept');
    return failures;
  },

  // A report: on standard error, shown in the page, and a new run offered.
  async error(browser, url) {
    const page = await openPage(browser, url);
    await page.focus('#line');
    const want = expected('count_not_integer');
    await typeInput(page, want.input);
    const failures = compare('count_not_integer', await outcome(page), { ...want, input: undefined });
    const status = await page.textContent('#status');
    if (!status.includes('exit code 1')) failures.push(`status reads "${status}"`);
    const shown = await page.$eval('#transcript .error', (e) => e.textContent).catch(() => '');
    if (!shown.includes('Invalid numeric input.')) failures.push('the report is not shown in the error colour');
    await page.click('#new-run');
    await page.waitForFunction(() => window.surveyRun.exitCode === null && window.surveyRun.output.length > 0);
    return failures;
  },

  // The drawing as the points come in, a crossing, and the three downloads,
  // each the bytes survey-contour writes for the same input.
  async contour(browser, url) {
    const page = await openPage(browser, url);
    const failures = [];
    const expectPane = async (when, shows, vertices) => {
      const pane = await contourText(page, shows);
      if (!pane.text.includes(shows)) failures.push(`${when}: the pane does not show "${shows}"`);
      if (pane.vertices !== vertices) failures.push(`${when}: ${pane.vertices} vertices drawn`);
    };
    await page.focus('#line');
    await enterLines(page, TriangleLines.slice(0, 5));
    await expectPane('two of three points typed', 'Points entered: 2 of 3', 2);
    if (await page.isEnabled('#contour [data-document=svg]')) failures.push('a contour not finished can be downloaded');
    await enterLines(page, TriangleLines.slice(5, 7));
    await expectPane('all three typed', Area, 3);
    const crossing = fs.readFileSync(path.join(sourceDir, 'examples/crossing.txt'), 'latin1');
    for (const [name, input] of [['triangle', TriangleLines.slice(0, 7).join('\r\n') + '\r\n'], ['crossing', crossing]]) {
      if (name === 'crossing') {
        await newRun(page, crossing);
        await expectPane('the crossing example pasted', 'cross at', 5);
      }
      for (const kind of ['svg', 'csv', 'dxf']) {
        const file = await download(page, () => page.click(`#contour [data-document=${kind}]`));
        const want = nodeProgram('survey-contour.js', [`--${kind}`], input);
        if (file !== want || want.length === 0) failures.push(`${name}: the ${kind} download differs from survey-contour's`);
      }
    }
    return failures;
  },

  // Nothing typed is lost: a reload mid-run, a report, the history, and a
  // storage that fails.
  async storage(browser, url) {
    const failures = [];
    const page = await openPage(browser, url, Phones['Pixel 7']);
    const interruptions = [
      { name: 'a reload', offers: '5 lines are kept', rest: TriangleLines.slice(5), interrupt: async () => {
        await page.focus('#line');
        await enterLines(page, TriangleLines.slice(0, 5));
        await page.reload();
        await prompted(page);
      } },
      { name: 'a report', offers: 'at the line "x"', rest: TriangleLines.slice(2), interrupt: async () => {
        await newRun(page);
        await enterLines(page, ['3', '100', 'x']);
        await outcome(page);
      } },
    ];
    for (const row of interruptions) {
      await row.interrupt();
      const offer = await page.textContent('#offer-text');
      if (!offer.includes(row.offers)) failures.push(`after ${row.name} the page offers "${offer}"`);
      await page.click('#resume');
      await page.focus('#line');
      await enterLines(page, row.rest);
      failures.push(...compare(`resumed after ${row.name}`, await outcome(page), Triangle));
    }

    await page.click('#show-history');
    const entries = await page.$$eval('#history-list li', (items) => items.map((item) => item.textContent));
    if (entries.length !== 2 || !entries.every((entry) => entry.includes('3 points') && entry.includes(Area))) {
      failures.push(`the history holds ${JSON.stringify(entries)}`);
    }
    const file = await download(page, () => page.click('#history-list li:first-child button:text("Download")'));
    if (file !== Triangle.input) failures.push(`the downloaded input is ${JSON.stringify(file)}`);
    if (nodeProgram('survey.js', [], file) !== Triangle.output) failures.push('survey reads the downloaded input otherwise');
    await page.click('#history-list li:first-child button:text("Run again")');
    await page.waitForFunction(() => window.surveyRun.exitCode !== null);
    failures.push(...compare('run again', await outcome(page), Triangle));
    await page.context().close();

    const full = await openPage(browser, url, Desktop, () => {
      Storage.prototype.setItem = () => { throw new DOMException('The quota has been exceeded.', 'QuotaExceededError'); };
    });
    await full.focus('#line');
    await enterLines(full, ['3']);
    const status = await full.textContent('#status');
    if (!status.includes('storage failed (QuotaExceededError)')) failures.push(`with storage full the status reads "${status}"`);
    if ((await handed(full)) !== '3\r\n') failures.push('with storage full the line did not reach the program');
    return failures;
  },

  // Installable, and with the server stopped a reload still starts.
  async offline(browser, url, server) {
    const failures = [];
    const context = await launchProfile(Phones['Pixel 7']);
    const page = context.pages()[0];
    await page.goto(url);
    await page.waitForFunction(() => navigator.serviceWorker.controller !== null, null, { timeout: 20000 });
    const cdp = await context.newCDPSession(page);
    const { installabilityErrors } = await cdp.send('Page.getInstallabilityErrors');
    if (installabilityErrors.length > 0) failures.push(`not installable: ${JSON.stringify(installabilityErrors)}`);
    const worker = fs.readFileSync(path.join(pageDir, 'sw.js'), 'latin1');
    const name = /const Cache = '([^']+)'/.exec(worker)[1];
    const files = /const Files = \[([^\]]*)\]/.exec(worker)[1].split(',').length;
    const caches = await page.evaluate(async () => Promise.all((await caches.keys()).map(
      async (key) => [key, (await (await caches.open(key)).keys()).length])));
    if (JSON.stringify(caches) !== JSON.stringify([[name, files]])) failures.push(`the caches are ${JSON.stringify(caches)}, not ${name} with ${files} files`);
    await server.stop();
    await page.reload();
    await prompted(page);
    await page.focus('#line');
    await enterLines(page, TriangleLines);
    failures.push(...compare('offline', await outcome(page), Triangle));
    if (!(await contourText(page, Area)).text.includes(Area)) failures.push('offline, the contour is not drawn');
    await page.click('#show-about');
    await page.waitForFunction(() => document.getElementById('licence-text').textContent.includes('MIT License'))
      .catch(() => failures.push('offline, "About" does not show the licence'));
    await context.remove();
    return failures;
  },

  // The script's faults: a failed fetch, a contour module that fails, a
  // drawing that lands after its run, an error that is not the program's.
  async faults(browser, url, server) {
    const failures = [];
    const rows = [
      { name: 'contour.wasm missing', rules: { 'contour.wasm': { status: 404 } }, shows: 'cannot be drawn: contour.wasm: 404' },
      { name: 'survey.wasm missing', rules: { 'survey.wasm': { status: 404 } }, status: 'could not be loaded: survey.wasm: 404' },
      { name: 'a late drawing', rules: { 'contour.wasm': { delay: 1500 } }, late: true },
      { name: 'an error elsewhere', rules: {}, elsewhere: true },
    ];
    for (const row of rows) {
      server.rules = row.rules;
      const context = await browser.newContext(Desktop);
      const page = await context.newPage();
      await page.goto(url);
      if (row.status) {
        await page.waitForFunction((text) => document.getElementById('status').textContent.includes(text), row.status, { timeout: 10000 })
          .catch(async () => failures.push(`${row.name}: the status reads "${await page.textContent('#status')}"`));
      } else if (row.late) {
        await prompted(page);
        await page.focus('#line');
        await enterLines(page, ['3', '100', '0']);
        await newRun(page);
        await page.evaluate(() => window.surveyPage.contourDrawn()); // the old run's drawing, made or dropped
        const left = await page.$eval('#contour', (pane) => pane.querySelectorAll('svg').length + pane.querySelector('.contour-text').textContent);
        if (left !== '0') failures.push(`${row.name}: the new run's pane shows the old run's drawing (${left})`);
      } else {
        await prompted(page);
        await page.focus('#line');
        if (row.elsewhere) {
          await page.evaluate(() => {
            setTimeout(() => { throw new Error('not the program'); });
            Promise.reject(new Error('not the program either'));
          });
          await sleep(300);
        }
        await enterLines(page, TriangleLines);
        failures.push(...compare(row.name, await outcome(page), Triangle));
        if (row.shows && !(await contourText(page, row.shows)).text.includes(row.shows)) failures.push(`${row.name}: the pane does not say "${row.shows}"`);
      }
      await context.close();
    }
    return failures;
  },

  // At phone widths no word of the dialogue is cut, the whole contour is in
  // its pane with labels of 12 px or more, and the paste field hides none of
  // the console.
  async layout(browser, url) {
    const failures = [];
    for (const width of [360, 390, 430]) {
      const page = await openPage(browser, url, { ...Phones['Pixel 7'], viewport: { width, height: 800 } });
      await page.focus('#line');
      await enterLines(page, TriangleLines);
      await outcome(page);
      await contourText(page, Area);
      failures.push(...(await page.evaluate(layoutFaults)).map((fault) => `${width} px: ${fault}`));
      await page.click('#paste summary');
      await page.evaluate(() => new Promise((resolve) => requestAnimationFrame(() => requestAnimationFrame(resolve))));
      failures.push(...(await page.evaluate(consoleHidden)).map((fault) => `${width} px, paste field open: ${fault}`));
      await page.context().close();
    }
    return failures;
  },

  // axe-core: no violation at the start, mid-run, after a report, and with
  // each dialog open, on a desktop and on a phone.
  async accessibility(browser, url) {
    const failures = [];
    const axe = path.join(process.env.NODE_PATH || '', 'axe-core/axe.min.js');
    for (const [device, descriptor] of [['desktop', Desktop], ['Pixel 7', Phones['Pixel 7']]]) {
      const page = await openPage(browser, url, descriptor);
      const check = async (when) => {
        await page.addScriptTag({ path: axe });
        const violations = await page.evaluate(async () => (await window.axe.run(document)).violations
          .map((v) => `${v.id}: ${v.nodes.map((node) => node.target.join(' ')).join(', ')}`));
        failures.push(...violations.map((violation) => `${device}, ${when}: ${violation}`));
      };
      await check('at the start');
      await page.focus('#line');
      await enterLines(page, ['3', '100']);
      await check('mid-run');
      await enterLines(page, ['x']);
      await outcome(page);
      await check('after a report');
      for (const dialog of ['history', 'about']) {
        await page.click(`#show-${dialog}`);
        await check(`with ${dialog} open`);
        await page.click(`#${dialog} form button`);
      }
      await page.context().close();
    }
    return failures;
  },

  // The README's pictures: the triangle typed, on a phone and on a desktop.
  async screenshots(browser, url) {
    const failures = [];
    for (const [name, device] of [['phone', Phones['Pixel 7']], ['desktop', Desktop]]) {
      const page = await openPage(browser, url, device);
      await page.focus('#line');
      await enterLines(page, TriangleLines.slice(0, -1));
      await contourText(page, Area);
      await page.evaluate(() => document.activeElement.blur());
      const output = await page.evaluate(() => String.fromCharCode(...window.surveyRun.output));
      if (!Triangle.output.startsWith(output) || !output.includes(Area)) failures.push(`${name}: the dialogue reads ${JSON.stringify(output)}`);
      await page.screenshot({ path: path.join(buildDir, `survey-web-${name}.png`) });
      await page.context().close();
    }
    return failures;
  },
};

(async () => {
  const server = await serve(path.resolve(pageDir) + path.sep);
  const browser = await launch();
  let failures;
  try {
    failures = await Parts[part](browser, `http://127.0.0.1:${server.address().port}/`, server);
  } finally {
    await browser.close();
    await server.stop();
  }
  for (const failure of failures) console.log(failure);
  process.exit(failures.length === 0 ? 0 : 1);
})().catch((error) => {
  console.log(error);
  process.exit(1);
});

// The page in headless Chromium, served from 127.0.0.1 by a static server
// of its own. Usage:
//   node browser_test.cjs PAGE_DIR CASES_DIR transcripts|paste|error|screenshot [PNG]
// transcripts: every transcript case that runs on the standard handles as
//   a file gives them is typed through the keyboard, line by line, and the
//   bytes the program wrote must be the expected ones;
// paste: one case through the "Paste measurements" field;
// error: a report on standard error, shown in the page, then a new run;
// contour: the drawing beside the terminal, redrawn as the points come in;
// screenshot: the triangle example typed, the page saved as PNG.
// Chromium and playwright-core come from Debian and from web/package.json.
'use strict';
const fs = require('fs');
const http = require('http');
const path = require('path');
const { chromium } = require('playwright-core');

const [pageDir, casesDir, mode, screenshotPath] = process.argv.slice(2);
const TypeOfFile = {
  '.html': 'text/html', '.js': 'text/javascript', '.mjs': 'text/javascript',
  '.css': 'text/css', '.wasm': 'application/wasm',
};

function serve(root) {
  const server = http.createServer((request, response) => {
    const file = path.join(root, decodeURIComponent(new URL(request.url, 'http://x').pathname));
    const name = file.endsWith('/') ? path.join(file, 'index.html') : file;
    if (!name.startsWith(root) || !fs.existsSync(name)) {
      response.writeHead(404).end();
      return;
    }
    response.writeHead(200, { 'Content-Type': TypeOfFile[path.extname(name)] || 'application/octet-stream' });
    response.end(fs.readFileSync(name));
  });
  return new Promise((resolve) => server.listen(0, '127.0.0.1', () => resolve(server)));
}

// The switches this machine's closed network and a root user need.
function launch() {
  return chromium.launch({
    executablePath: process.env.SURVEY_CHROMIUM || '/usr/bin/chromium',
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
           '--disable-background-networking', '--disable-component-update', '--disable-sync'],
  });
}

// A report's addresses as ######## and its module as the Linux build names it.
function masked(errors) {
  return errors.replace(/ at [0-9A-F]{8,16}\.\r\n/g, ' at ########.\r\n')
    .replace(/in module survey\.wasm at/g, 'in module survey at');
}

const latin1 = (bytes) => Buffer.from(bytes).toString('latin1');

// Types a case's input as an operator would: each line and Enter; Ctrl-Z
// for byte 26; the end of the input as Ctrl-Z then Enter, while the
// program still waits for it.
async function typeInput(page, input) {
  const lines = input.split('\n');
  const last = lines.pop();
  const typeLine = async (line) => {
    const parts = line.split('\x1a');
    for (let k = 0; k < parts.length; ++k) {
      if (k > 0) await page.keyboard.press('Control+z');
      if (parts[k]) await page.keyboard.type(parts[k]);
    }
  };
  for (const line of lines) {
    await typeLine(line.endsWith('\r') ? line.slice(0, -1) : line);
    await page.keyboard.press('Enter');
  }
  if (await page.evaluate(() => window.surveyRun.exitCode === null)) {
    await typeLine(last);
    await page.keyboard.press('Control+z');
    await page.keyboard.press('Enter');
  }
}

async function runOutcome(page) {
  await page.waitForFunction(() => window.surveyRun && window.surveyRun.exitCode !== null,
                             null, { timeout: 60000 });
  return page.evaluate(() => ({
    output: window.surveyRun.output, errors: window.surveyRun.errors,
    exitCode: window.surveyRun.exitCode,
  }));
}

function expected(name) {
  const folder = path.join(casesDir, name);
  const read = (file) => (fs.existsSync(path.join(folder, file))
    ? fs.readFileSync(path.join(folder, file), 'latin1') : '');
  return { input: read('input'), output: read('output'), errors: read('errors'),
           exitCode: Number(read('exitcode')) };
}

// Differences between what a run gave and what the case expects.
function compare(name, outcome, want) {
  const problems = [];
  if (latin1(outcome.output) !== want.output) problems.push('standard output differs');
  if (masked(latin1(outcome.errors)) !== want.errors) {
    problems.push(`standard error differs: ${JSON.stringify(latin1(outcome.errors))}`);
  }
  if (outcome.exitCode !== want.exitCode) problems.push(`exit code ${outcome.exitCode}`);
  return problems.map((problem) => `${name}: ${problem}`);
}

async function openPage(browser, url) {
  const page = await browser.newPage({ viewport: { width: 1000, height: 640 } });
  page.on('pageerror', (error) => console.log(`page error: ${error}`));
  const started = Date.now();
  await page.goto(url);
  await page.waitForFunction(() => window.surveyRun && window.surveyRun.output.length > 0);
  console.log(`first prompt after ${Date.now() - started} ms`);
  await page.click('#terminal');
  return page;
}

const Modes = {
  async transcripts(browser, url) {
    const names = fs.readdirSync(casesDir).filter((name) =>
      !fs.existsSync(path.join(casesDir, name, 'handles'))).sort();
    const failures = [];
    const page = await openPage(browser, url);
    for (const name of names) {
      const want = expected(name);
      await typeInput(page, want.input);
      failures.push(...compare(name, await runOutcome(page), want));
      await page.evaluate(() => { window.surveyPage.start(); });
    }
    console.log(`${names.length} cases typed, ${failures.length} differences`);
    return failures;
  },

  async paste(browser, url) {
    const page = await openPage(browser, url);
    const want = expected('triangle');
    await page.click('#paste summary');
    await page.fill('#measurements', want.input);
    await page.click('#run-pasted');
    return compare('triangle (pasted)', await runOutcome(page), want);
  },

  async error(browser, url) {
    const page = await openPage(browser, url);
    const want = expected('count_not_integer');
    await typeInput(page, want.input);
    const failures = compare('count_not_integer', await runOutcome(page), want);
    const status = await page.textContent('#status');
    if (!status.includes('exit code 1')) failures.push(`status reads "${status}"`);
    const screen = await page.evaluate(() => document.querySelector('#terminal').innerText);
    if (!screen.includes('Invalid numeric input.')) failures.push('the report is not on the screen');
    await page.click('#new-run');
    await page.waitForFunction(() => window.surveyRun.exitCode === null && window.surveyRun.output.length > 0);
    return failures;
  },

  async contour(browser, url) {
    const page = await openPage(browser, url);
    const failures = [];
    const expectPane = async (when, shows, vertices) => {
      await page.waitForFunction((text) => document.querySelector('#contour').textContent.includes(text),
                                 shows, { timeout: 10000 }).catch(() => {});
      const pane = await page.evaluate(() => ({
        text: document.querySelector('#contour').textContent,
        vertices: document.querySelectorAll('#contour svg g.vertex').length,
      }));
      if (!pane.text.includes(shows)) failures.push(`${when}: the pane does not show "${shows}"`);
      if (pane.vertices !== vertices) failures.push(`${when}: ${pane.vertices} vertices drawn`);
    };
    for (const line of ['3', '100', '0', '100', '50']) {
      await page.keyboard.type(line);
      await page.keyboard.press('Enter');
    }
    await expectPane('two of three points typed', 'Points entered: 2 of 3', 2);
    for (const line of ['50', '100']) {
      await page.keyboard.type(line);
      await page.keyboard.press('Enter');
    }
    await expectPane('all three typed', '2803.30m^2', 3);
    // A direction typed wrong makes two sides cross: a finding, in red.
    await page.keyboard.press('Enter');
    await runOutcome(page);
    await page.evaluate((text) => { window.surveyPage.start(text); },
                        fs.readFileSync(path.join(casesDir, '../../../examples/crossing.txt'), 'latin1'));
    await runOutcome(page);
    await expectPane('the crossing example pasted', 'cross at', 5);
    return failures;
  },

  async screenshot(browser, url) {
    const page = await openPage(browser, url);
    const want = expected('triangle');
    await typeInput(page, want.input);
    const failures = compare('triangle', await runOutcome(page), want);
    await page.screenshot({ path: screenshotPath });
    return failures;
  },
};

(async () => {
  const server = await serve(path.resolve(pageDir) + path.sep);
  const browser = await launch();
  let failures;
  try {
    failures = await Modes[mode](browser, `http://127.0.0.1:${server.address().port}/`);
  } finally {
    await browser.close();
    server.close();
  }
  for (const failure of failures) console.log(failure);
  process.exit(failures.length === 0 ? 0 : 1);
})().catch((error) => {
  console.log(error);
  process.exit(1);
});

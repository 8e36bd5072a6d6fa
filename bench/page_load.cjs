// SPDX-License-Identifier: MIT
// How fast the page reaches its first prompt on a field link: 1.6 Mbit/s
// down, 750 kbit/s up, 150 ms round trips (Chromium's network emulation),
// served by python3 -m http.server as the README serves it. Cold: a new
// profile, nothing cached. Warm: the same profile again, the page's files
// coming from its service worker. The time is the page's own clock from the
// start of the navigation to the first text of the dialogue.
//   NODE_PATH=web/node_modules node bench/page_load.cjs [PAGE_DIR] [RUNS]
// Build the page first (cmake --preset wasm && cmake --build --preset wasm).
'use strict';
const fs = require('fs');
const os = require('os');
const path = require('path');
const zlib = require('zlib');
const { spawn } = require('child_process');
const { chromium } = require('playwright-core');

const pageDir = path.resolve(process.argv[2] || 'build-wasm/web');
const runs = Number(process.argv[3] || 5);
const port = 8700 + Math.floor(Math.random() * 200);
const Link = { offline: false, latency: 150, downloadThroughput: 1.6e6 / 8, uploadThroughput: 750e3 / 8 };
const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));
const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];

// The moment the transcript first holds text, on the page's clock.
function markFirstPrompt() {
  new MutationObserver((changes, observer) => {
    const transcript = document.getElementById('transcript');
    if (transcript && transcript.textContent.length > 0) {
      window.firstPromptAt = performance.now();
      observer.disconnect();
    }
  }).observe(document, { childList: true, subtree: true, characterData: true });
}

// One load on the field link: the time to the first prompt, and the bytes
// that came over the network until then, by file.
async function load(context, url) {
  const page = context.pages()[0] || await context.newPage();
  const cdp = await context.newCDPSession(page);
  await cdp.send('Network.enable');
  await cdp.send('Network.setCacheDisabled', { cacheDisabled: false });
  await cdp.send('Network.emulateNetworkConditions', Link);
  const names = new Map();
  const bytes = new Map();
  const fromWorker = new Set();
  cdp.on('Network.responseReceived', ({ requestId, response }) => {
    names.set(requestId, new URL(response.url).pathname.slice(1) || '(page)');
    if (response.fromServiceWorker) fromWorker.add(requestId);
  });
  cdp.on('Network.loadingFinished', ({ requestId, encodedDataLength }) => {
    const name = names.get(requestId);
    if (name) bytes.set(name, (bytes.get(name) || 0) + encodedDataLength);
  });
  await page.goto(url);
  await page.waitForFunction(() => window.firstPromptAt !== undefined, null, { timeout: 60000, polling: 50 });
  const at = await page.evaluate(() => window.firstPromptAt);
  await cdp.detach();
  return { at, bytes, files: names.size, fromWorker: fromWorker.size };
}

(async () => {
  const server = spawn('python3', ['-m', 'http.server', '--bind', '127.0.0.1', '--directory', pageDir, String(port)],
                       { stdio: 'ignore' });
  await sleep(1000);
  const url = `http://127.0.0.1:${port}/`;
  const cold = [];
  const warm = [];
  let coldBytes = null;
  let served = '';
  try {
    for (let run = 0; run < runs; ++run) {
      const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'survey-bench-'));
      const context = await chromium.launchPersistentContext(profile, {
        executablePath: process.env.SURVEY_CHROMIUM || '/usr/bin/chromium',
        args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
               '--disable-background-networking', '--disable-component-update', '--disable-sync'],
        viewport: { width: 412, height: 839 },
      });
      await context.addInitScript(markFirstPrompt);
      const first = await load(context, url);
      cold.push(first.at);
      coldBytes = coldBytes || first.bytes;
      // The service worker keeps every file, then serves the next load.
      await context.pages()[0].waitForFunction(() => navigator.serviceWorker.controller !== null,
                                               null, { timeout: 60000 });
      await sleep(500);
      const again = await load(context, url);
      warm.push(again.at);
      served = `${again.fromWorker} of ${again.files}`;
      await context.close();
      fs.rmSync(profile, { recursive: true, force: true, maxRetries: 5 });
    }
  } finally {
    server.kill();
  }

  console.log(`First prompt on 1.6 Mbit/s, 150 ms round trips, ${runs} runs (median, min to max):`);
  const show = (name, times, goal) => console.log(`  ${name}  ${(median(times) / 1000).toFixed(2)} s `
    + `(${(Math.min(...times) / 1000).toFixed(2)} to ${(Math.max(...times) / 1000).toFixed(2)}), goal ${goal} s`);
  show('cold', cold, '2.0');
  show('warm', warm, '0.5');
  console.log(`  warm: ${served} files of the page from the service worker`);
  const total = [...coldBytes.values()].reduce((sum, n) => sum + n, 0);
  console.log(`Transferred before the first prompt, cold: ${total} bytes`);
  for (const [name, n] of [...coldBytes].sort((a, b) => b[1] - a[1])) console.log(`  ${String(n).padStart(8)}  ${name}`);
  console.log('The page\'s files (bytes as served, and gzip -9 for a host that compresses):');
  let files = 0;
  let gzipped = 0;
  for (const name of fs.readdirSync(pageDir).filter((n) => fs.statSync(path.join(pageDir, n)).isFile()
    && !/^(Makefile|CTestTestfile\.cmake|cmake_install\.cmake)$/.test(n)).sort()) {
    const data = fs.readFileSync(path.join(pageDir, name));
    const packed = zlib.gzipSync(data, { level: 9 }).length;
    files += data.length;
    gzipped += packed;
    console.log(`  ${String(data.length).padStart(8)}  ${String(packed).padStart(8)}  ${name}`);
  }
  console.log(`  ${String(files).padStart(8)}  ${String(gzipped).padStart(8)}  in all`);
})().catch((error) => {
  console.log(error);
  process.exit(1);
});

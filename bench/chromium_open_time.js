// Times how long Chromium takes to show a page: from the start of the
// navigation until every table of the original stands in the document and
// the document is complete. The pages are opened in turn, round after round
// (so that whatever else the machine does falls on all of them alike), and
// the median of the rounds is reported. Not a test: a measurement for the
// benchmark (bench/chromium-open-time.sh sets up the pages).
//
//   node bench/chromium_open_time.js ORIGINAL PAGE...
'use strict';

const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const { chromium } = require(path.join(__dirname, '../tests/browser/node_modules/playwright-core'));

(async () => {
  const [original, ...pages] = process.argv.slice(2);
  const tables = (fs.readFileSync(original, 'latin1').match(/<table/g) || []).length;
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'vexel-chromium-'));
  const context = await chromium.launchPersistentContext(profile, {
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
    headless: true,
    args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync'],
  });
  try {
    // The first page of a fresh browser pays for its start-up.
    const warm = await context.newPage();
    await warm.goto('file://' + path.resolve(original), { waitUntil: 'load', timeout: 0 });
    await warm.close();
    const rounds = Number(process.env.ROUNDS || 5);
    const files = [original, ...pages];
    const times = files.map(() => []);
    for (let round = 0; round < rounds; round += 1) {
      for (const [i, file] of files.entries()) {
        const page = await context.newPage();
        const started = Date.now();
        await page.goto('file://' + path.resolve(file), { waitUntil: 'commit', timeout: 0 });
        await page.waitForFunction((count) => document.readyState === 'complete' &&
          document.querySelectorAll('table').length === count, tables, { polling: 10, timeout: 0 });
        times[i].push((Date.now() - started) / 1000);
        await page.close();
      }
    }
    const median = (list) => [...list].sort((a, b) => a - b)[Math.floor(list.length / 2)];
    const base = median(times[0]);
    for (const [i, file] of files.entries()) {
      const m = median(times[i]);
      console.log(`${path.basename(file)}: ${fs.statSync(file).size} bytes, shown in ${m.toFixed(3)} s ` +
        `(median of ${rounds}: ${times[i].map((t) => t.toFixed(3)).join(' ')}), ${(m / base).toFixed(2)}x the original`);
    }
  } finally {
    await context.close();
    fs.rmSync(profile, { recursive: true, force: true });
  }
})();

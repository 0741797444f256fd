// Times how long Chromium takes to show a page: from the start of the
// navigation until every table of the original stands in the document and
// the document is complete. Not a test: a measurement for the benchmark
// (bench/chromium-open-time.sh sets up the pages).
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
    for (const file of [original, ...pages]) {
      const page = await context.newPage();
      const started = Date.now();
      await page.goto('file://' + path.resolve(file), { waitUntil: 'commit', timeout: 0 });
      await page.waitForFunction((count) => document.readyState === 'complete' &&
        document.querySelectorAll('table').length === count, tables, { polling: 10, timeout: 0 });
      const seconds = (Date.now() - started) / 1000;
      console.log(`${path.basename(file)}: ${fs.statSync(file).size} bytes, shown in ${seconds.toFixed(2)} s`);
      await page.close();
    }
  } finally {
    await context.close();
    fs.rmSync(profile, { recursive: true, force: true });
  }
})();

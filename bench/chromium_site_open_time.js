// Times how long Chromium takes to show two pages of a site opened from disk,
// as they are and as pages of the site beside their shared file: the first
// page in a fresh browser (cold: nothing of the site read or compiled
// before), then the second page in the same tab, as a reader who follows a
// link. A page is shown when its document is complete and holds as many
// elements as the original's, timed by the page's own clock from the start
// of its navigation. Rounds take the two sites in turn (so that
// whatever else the machine does falls on both alike); the median of the
// rounds is reported. Not a test: a measurement for the benchmark
// (bench/chromium-open-time.sh sets up the pages).
//
//   node bench/chromium_site_open_time.js ORIGINAL_DIR SITE_DIR FIRST_PAGE SECOND_PAGE
'use strict';

const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const { chromium } = require(path.join(__dirname, '../tests/browser/node_modules/playwright-core'));

const launch = async () => {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'vexel-chromium-'));
  const context = await chromium.launchPersistentContext(profile, {
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
    headless: true,
    args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync'],
  });
  return { context, profile };
};

// The page's own clock: from the start of its navigation (a document the
// page writes keeps its window and so its time origin) to the first poll
// that finds it shown.
const shown = async (page, url, elements) => {
  await page.goto(url, { waitUntil: 'commit', timeout: 0 });
  const at = await page.waitForFunction((count) => document.readyState === 'complete' &&
    document.getElementsByTagName('*').length === count && performance.now(), elements, { polling: 5, timeout: 0 });
  return (await at.jsonValue()) / 1000;
};

(async () => {
  const [originalDir, siteDir, first, second] = process.argv.slice(2);
  const url = (dir, name) => 'file://' + path.resolve(dir, name);
  // The elements of each original, counted once.
  const counting = await launch();
  const counts = [];
  const counter = await counting.context.newPage();
  for (const name of [first, second]) {
    await counter.goto(url(originalDir, name), { waitUntil: 'load' });
    counts.push(await counter.evaluate(() => document.getElementsByTagName('*').length));
  }
  await counting.context.close();
  fs.rmSync(counting.profile, { recursive: true, force: true });

  const rounds = Number(process.env.ROUNDS || 5);
  const times = { original: [[], []], site: [[], []] };
  for (let round = 0; round < rounds; round += 1) {
    const order = round % 2 ? ['site', 'original'] : ['original', 'site'];
    for (const kind of order) {
      const dir = kind === 'site' ? siteDir : originalDir;
      const { context, profile } = await launch();
      try {
        const page = await context.newPage();
        times[kind][0].push(await shown(page, url(dir, first), counts[0]));
        times[kind][1].push(await shown(page, url(dir, second), counts[1]));
      } finally {
        await context.close();
        fs.rmSync(profile, { recursive: true, force: true });
      }
    }
  }
  const median = (list) => [...list].sort((a, b) => a - b)[Math.floor(list.length / 2)];
  const list = (values) => values.map((t) => t.toFixed(3)).join(' ');
  for (const [i, label] of [[0, `first page, cold (${first})`], [1, `second page (${second})`]]) {
    const original = median(times.original[i]);
    const site = median(times.site[i]);
    console.log(`${label}: original ${fs.statSync(path.resolve(originalDir, [first, second][i])).size} bytes in ` +
      `${original.toFixed(3)} s (${list(times.original[i])}); page of the site ` +
      `${fs.statSync(path.resolve(siteDir, [first, second][i])).size} bytes in ${site.toFixed(3)} s ` +
      `(${list(times.site[i])}): ${(site / original).toFixed(2)}x the original (median of ${rounds})`);
  }
})();

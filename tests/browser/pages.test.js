// The written pages in a real browser: Debian's Chromium, driven by
// playwright-core. Modern pages, deflate and LZMA, must render exactly as
// their originals (DOM, text, title, charset, mode, the events their scripts
// saw, form values), encrypted ones only after their password; the classic
// JavaScript page of a body whose data spells script tags must render its
// body. An encrypted page the desktop program wrote (its end-to-end test
// under Wine leaves it, with its original and password, in
// VEXEL_DESKTOP_PAGES) opens with its password only.
//
//   VEXEL_PROGRAM=build/native/cli/vexel node --test tests/browser/
'use strict';

const test = require('node:test');
const assert = require('node:assert');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const { execFileSync } = require('node:child_process');
const { chromium } = require('playwright-core');

const vexel = path.resolve(process.env.VEXEL_PROGRAM || path.join(__dirname, '../../build/native/cli/vexel'));
const chromiumPath = process.env.CHROMIUM || '/usr/bin/chromium';
const work = fs.mkdtempSync(path.join(os.tmpdir(), 'vexel-browser-'));

let context;

test.before(async () => {
  context = await chromium.launchPersistentContext(path.join(work, 'profile'), {
    executablePath: chromiumPath,
    headless: true,
    args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync'],
  });
});

test.after(async () => {
  if (context) await context.close();
  fs.rmSync(work, { recursive: true, force: true });
});

// Rows that make a page large enough for its modern page to be smaller.
let rows = '';
for (let i = 0; i < 120; i += 1) rows += `<li class="row">Row ${i * 7919 % 1000}: more text of the page</li>\n`;

// A page with what can go wrong when a document is written back: scripts in
// the head and the body, DOMContentLoaded and load handlers, document.write,
// <pre> whitespace, a form, a doctype (or none: quirks mode).
function pageBytes({ doctype = true, meta = '', title, text, bom = '', lang = '' }) {
  const head = Buffer.from(`${doctype ? '<!DOCTYPE html>\n' : ''}<html${lang}><head>${meta}<title>`, 'latin1');
  const rest = Buffer.from(`</title>
<style>pre { color: #333 }</style>
<script>
window.__events = [];
document.addEventListener('DOMContentLoaded', function () { __events.push('dcl:' + document.querySelectorAll('p').length); });
window.addEventListener('load', function () { __events.push('load'); document.getElementById('late').textContent = 'loaded'; });
</script>
</head>
<body>
<h1>`, 'latin1');
  const tail = Buffer.from(`</h1>
<pre>
  two spaces
\ta tab   and trailing spaces   
</pre>
<form action="#"><input name="q" value="value"><textarea>  x
 y</textarea><select><option>a<option selected>b</select></form>
<script>document.write('<p id="dw">written in ' + document.characterSet + '</p>');</script>
<p id="late">not yet</p>
<ul>${rows}</ul>
</body></html>
`, 'latin1');
  return Buffer.concat([Buffer.from(bom, 'latin1'), head, title, rest, text, tail]);
}

const utf8 = (s) => Buffer.from(s, 'utf8');
const bytes = (hex) => Buffer.from(hex.replace(/ /g, ''), 'hex');

const originals = {
  'ascii.html': pageBytes({ title: utf8('Plain'), text: utf8('Plain ASCII text & more') }),
  'quirks.html': pageBytes({ doctype: false, title: utf8('Quirks'), text: utf8('No doctype') }),
  'latin.html': pageBytes({
    meta: '<meta http-equiv="Content-Type" content="text/html; charset=windows-1252">',
    title: bytes('436166e9'), text: bytes('4772fc df 65 2c 20 80 20 8a 20 9f 20 e9'),
  }),
  'utf8-bom.html': pageBytes({ bom: '\xEF\xBB\xBF', title: utf8('Grüße'), text: utf8('Grüße aus Köln — 日本語 😀') }),
  'utf8-meta.html': pageBytes({ meta: '<meta charset="utf-8">', title: utf8('Ελληνικά'), text: utf8('Ελληνικά, русский, 中文') }),
  'utf8-bare.html': pageBytes({ title: utf8('Café'), text: utf8('Crème brûlée, ½ € — no declaration at all') }),
  // 日本語のページ, then ソ and 表, whose second bytes are "\".
  'sjis.html': pageBytes({ meta: '<meta charset="Shift_JIS">', title: bytes('93fa967b8cea'),
    text: bytes('93fa967b8cea 82cc 8379815b8357 20 835c 955c') }),
};

// Compresses copies of `names` with `options`; returns the written paths.
function compress(dir, names, options) {
  fs.mkdirSync(dir, { recursive: true });
  const paths = names.map((name) => {
    const file = path.join(dir, name);
    fs.writeFileSync(file, originals[name] || fs.readFileSync(path.join(work, 'extra', name)));
    return file;
  });
  execFileSync(vexel, ['compress', '-q', ...options, ...paths], { stdio: ['ignore', 'ignore', 'pipe'] });
  return paths;
}

// What a page shows once loaded and its load handler has run.
async function rendering(url) {
  const page = await context.newPage();
  try {
    await page.goto(url, { waitUntil: 'load' });
    await page.waitForFunction(() => {
      const late = document.getElementById('late');
      return late && late.textContent === 'loaded';
    }, null, { timeout: 10000 });
    return await page.evaluate(() => ({
      html: document.documentElement.outerHTML,
      text: document.body.innerText,
      title: document.title,
      charset: document.characterSet,
      mode: document.compatMode,
      events: window.__events,
      input: document.forms[0].elements.q.value,
      textarea: document.querySelector('textarea').value,
    }));
  } finally {
    await page.close();
  }
}

const fileUrl = (file) => 'file://' + file;

test('modern pages render exactly as their originals, in every charset', async () => {
  const names = Object.keys(originals);
  const originalDir = path.join(work, 'original');
  fs.mkdirSync(originalDir, { recursive: true });
  for (const name of names) fs.writeFileSync(path.join(originalDir, name), originals[name]);
  const written = compress(path.join(work, 'modern'), names, ['--modern']);
  for (const [i, name] of names.entries()) {
    const modernPage = fs.readFileSync(written[i], 'latin1');
    assert.ok(modernPage.length < originals[name].length * 2, name);
    const expected = await rendering(fileUrl(path.join(originalDir, name)));
    const actual = await rendering(fileUrl(written[i]));
    assert.deepStrictEqual(actual, expected, name);
    assert.deepStrictEqual(expected.events, ['dcl:2', 'load'], name);
  }
});

// Pages whose charset a careless reading would take from the wrong place, and
// single-byte charsets with every byte above 127 (holes included).
const crafted = {
  'script-string.html': pageBytes({ meta: '<meta charset="windows-1251"><script>var s = "<meta charset=utf-8>";</script>',
    title: bytes('cff0e8e2e5f2'), text: bytes('cff0e8e2e5f2 3c736372 1b2842 6970743e') }),
  'comment.html': pageBytes({ meta: '<!-- <meta charset=iso-2022-jp> --><meta charset=koi8-r>', lang: ' lang=ru',
    title: bytes('f0d5d3d3cbc9ca'), text: bytes('f0d5d3d3cbc9ca 3c7363721b284269 70743e') }),
};
const everyHighByte = Buffer.from(Array.from({ length: 128 }, (_, i) => i + 128));
for (const charset of ['windows-1252', 'iso-8859-6', 'iso-8859-8', 'windows-874', 'windows-1253', 'windows-1255',
  'windows-1257', 'iso-8859-3', 'iso-8859-16', 'koi8-u', 'macintosh', 'x-mac-cyrillic', 'ibm866']) {
  crafted[`${charset}.html`] = pageBytes({ meta: `<meta charset=${charset}>`, title: everyHighByte,
    text: Buffer.concat([everyHighByte, everyHighByte]) });
}
// Refused: browsers read these differently, or not at all.
const refused = {
  'iso-2022-jp.html': pageBytes({ meta: '<meta charset=iso-2022-jp>', title: utf8('t'),
    text: bytes('3c7363721b284269 70743e616c6572742831293c2f7363721b2842697074 3e') }),
  'textarea.html': pageBytes({ meta: '<textarea><meta charset=iso-2022-jp></textarea>', title: utf8('t'),
    text: bytes('3c7363721b284269 70743e') }),
  'replacement.html': pageBytes({ meta: '<meta charset=iso-2022-kr>', title: utf8('t'), text: utf8('x') }),
};

test('crafted pages give the same DOM; pages in charsets browsers differ on are refused and kept', async () => {
  const dir = path.join(work, 'extra');
  fs.mkdirSync(dir, { recursive: true });
  const originalDir = path.join(work, 'crafted-original');
  fs.mkdirSync(originalDir, { recursive: true });
  const names = Object.keys(crafted);
  for (const name of names) {
    fs.writeFileSync(path.join(dir, name), crafted[name]);
    fs.writeFileSync(path.join(originalDir, name), crafted[name]);
  }
  const written = compress(path.join(work, 'crafted'), names, ['--modern']);
  for (const [i, name] of names.entries()) {
    assert.ok(fs.existsSync(written[i] + '_backup'), name);
    const expected = await rendering(fileUrl(path.join(originalDir, name)));
    const actual = await rendering(fileUrl(written[i]));
    assert.deepStrictEqual(actual, expected, name);
  }
  for (const name of Object.keys(refused)) {
    fs.writeFileSync(path.join(dir, name), refused[name]);
    const file = path.join(work, 'crafted', name);
    fs.writeFileSync(file, refused[name]);
    let failure;
    try {
      execFileSync(vexel, ['compress', '-q', '--modern', file], { stdio: ['ignore', 'ignore', 'pipe'] });
    } catch (e) {
      failure = e;
    }
    assert.ok(failure, name);
    assert.match(failure.stderr.toString(), /not written as a modern page/, name);
    assert.ok(failure.stderr.toString().includes(name), name);
    assert.deepStrictEqual(fs.readFileSync(file), refused[name], name);
    assert.ok(!fs.existsSync(file + '_backup'), name);
  }
});

test('LZMA pages render exactly as their originals, in every charset and carrier text, without '
  + 'DecompressionStream too, encrypted, and say so when damaged', async () => {
  const names = [...Object.keys(originals), ...Object.keys(crafted)];
  const written = compress(path.join(work, 'lzma'), names, ['--modern', '--codec', 'lzma']);
  const originalOf = (name) => fileUrl(path.join(work, originals[name] ? 'original' : 'crafted-original', name));
  for (const [i, name] of names.entries()) {
    assert.match(fs.readFileSync(written[i], 'latin1'), /function L\(A,N\)/, name);
    assert.deepStrictEqual(await rendering(fileUrl(written[i])), await rendering(originalOf(name)), name);
  }

  // The page's own decoder needs nothing of the browser's decompressors.
  const page = await context.newPage();
  try {
    await page.addInitScript(() => { delete window.DecompressionStream; });
    await page.goto(fileUrl(written[0]), { waitUntil: 'load' });
    await page.waitForFunction(() => document.getElementById('late') &&
      document.getElementById('late').textContent === 'loaded', null, { timeout: 10000 });
  } finally {
    await page.close();
  }

  // A page cut in its data says it is damaged instead of hanging or showing nothing.
  const damaged = path.join(work, 'lzma', 'damaged.html');
  const bytesOfPage = fs.readFileSync(written[0]);
  const data = bytesOfPage.indexOf('<script>/*') + 200;
  fs.writeFileSync(damaged, Buffer.concat([bytesOfPage.subarray(0, data), bytesOfPage.subarray(data + 3)]));
  const cut = await context.newPage();
  try {
    await cut.goto(fileUrl(damaged), { waitUntil: 'load' });
    await cut.waitForFunction(() => document.body && /^Damaged page: /.test(document.body.innerText), null,
      { timeout: 10000 });
  } finally {
    await cut.close();
  }

  const passwordFile = path.join(work, 'lzma-password.txt');
  fs.writeFileSync(passwordFile, 'Pässwört 42\n');
  const [sealed] = compress(path.join(work, 'lzma-sealed'), ['sjis.html'],
    ['--modern', '--codec', 'lzma', '--encrypt', '--password-file', passwordFile]);
  const form = await context.newPage();
  try {
    await form.goto(fileUrl(sealed), { waitUntil: 'load' });
    await form.fill('input[type=password]', 'Pässwört 42');
    await form.press('input[type=password]', 'Enter');
    await form.waitForFunction(() => document.getElementById('late') &&
      document.getElementById('late').textContent === 'loaded', null, { timeout: 20000 });
    const html = await form.evaluate(() => document.documentElement.outerHTML);
    assert.strictEqual(html, (await rendering(originalOf('sjis.html'))).html);
  } finally {
    await form.close();
  }
});

test('the loader page shows the title at once, and scroll positions come back on reload', async () => {
  const name = 'utf8-meta.html';
  const [file] = compress(path.join(work, 'scroll'), [name], ['--modern']);
  const loader = fs.readFileSync(file, 'utf8');
  assert.ok(loader.startsWith('<meta charset=utf-8><title>Ελληνικά</title><noscript>'), loader.slice(0, 120));
  const page = await context.newPage();
  try {
    await page.setViewportSize({ width: 400, height: 200 });
    await page.goto(fileUrl(file), { waitUntil: 'load' });
    await page.waitForFunction(() => document.getElementById('late') &&
      document.getElementById('late').textContent === 'loaded');
    await page.evaluate(() => scrollTo(0, 900));
    await page.reload({ waitUntil: 'load' });
    await page.waitForFunction(() => document.getElementById('late') &&
      document.getElementById('late').textContent === 'loaded');
    await page.waitForFunction(() => scrollY > 0, null, { timeout: 5000 });
    assert.strictEqual(await page.evaluate(() => scrollY), 900);
    assert.strictEqual(await page.evaluate(() => document.title), 'Ελληνικά');
  } finally {
    await page.close();
  }
});

test('a #fragment in the address scrolls the written page as it scrolls the original', async () => {
  const name = 'ascii.html';
  const [file] = compress(path.join(work, 'fragment'), [name], ['--modern']);
  const scrolled = async (url) => {
    const page = await context.newPage();
    try {
      await page.setViewportSize({ width: 400, height: 200 });
      await page.goto(url, { waitUntil: 'load' });
      await page.waitForFunction(() => document.getElementById('late') &&
        document.getElementById('late').textContent === 'loaded');
      await page.waitForFunction(() => scrollY > 0, null, { timeout: 5000 });
      return page.evaluate(() => scrollY);
    } finally {
      await page.close();
    }
  };
  const original = await scrolled(fileUrl(path.join(work, 'original', name)) + '#late');
  assert.ok(original > 0);
  assert.strictEqual(await scrolled(fileUrl(file) + '#late'), original);
});

test('an encrypted page opens with its password only, without reloading, and holds no plaintext', async () => {
  const passwordFile = path.join(work, 'password.txt');
  fs.writeFileSync(passwordFile, 'Pässwört 42\n');
  const [file] = compress(path.join(work, 'sealed'), ['utf8-meta.html'],
    ['--modern', '--encrypt', '--password-file', passwordFile]);
  const bytesOnDisk = fs.readFileSync(file, 'latin1');
  for (const secret of ['русский', 'Ελληνικά', 'Pässwört', 'two spaces']) {
    assert.ok(!fs.readFileSync(file).includes(Buffer.from(secret)), secret);
  }
  assert.ok(!bytesOnDisk.includes('prompt('));

  const page = await context.newPage();
  try {
    let loads = 0;
    page.on('load', () => { loads += 1; });
    await page.goto(fileUrl(file), { waitUntil: 'load' });
    await page.evaluate(() => { window.__marker = 'still here'; });
    await page.fill('input[type=password]', 'wrong');
    await page.press('input[type=password]', 'Enter');
    await page.waitForFunction(() => document.querySelector('output').value === 'wrong password', null,
      { timeout: 20000 });
    assert.strictEqual(await page.evaluate(() => window.__marker), 'still here');
    assert.strictEqual(loads, 1);

    await page.fill('input[type=password]', 'Pässwört 42');
    await page.press('input[type=password]', 'Enter');
    await page.waitForFunction(() => {
      const late = document.getElementById('late');
      return late && late.textContent === 'loaded';
    }, null, { timeout: 20000 });
    const shown = await page.evaluate(() => ({ html: document.documentElement.outerHTML, events: window.__events }));
    const expected = await rendering(fileUrl(path.join(work, 'original', 'utf8-meta.html')));
    assert.strictEqual(shown.html, expected.html);
    assert.deepStrictEqual(shown.events, expected.events);
  } finally {
    await page.close();
  }
});

test('pages of a site render exactly as their originals with their shared file, in every charset and carrier '
  + 'text, keep scroll and fragment, and say which file they miss without it', async () => {
  const names = [...Object.keys(originals), ...Object.keys(crafted)];
  const siteDir = path.join(work, 'site');
  const sub = path.join(siteDir, 'docs', 'deep');
  fs.mkdirSync(sub, { recursive: true });
  const paths = [];
  for (const name of names) {
    const bytesOfOriginal = originals[name] || crafted[name];
    for (const dir of [siteDir, sub]) {
      fs.writeFileSync(path.join(dir, name), bytesOfOriginal);
      paths.push(path.join(dir, name));
    }
  }
  execFileSync(vexel, ['compress', '-q', '--modern', '--site', siteDir, ...paths], { stdio: ['ignore', 'ignore', 'pipe'] });
  const shared = fs.readdirSync(siteDir).filter((n) => /^vexel-site-[0-9a-f]{16}\.js$/.test(n));
  assert.strictEqual(shared.length, 1);
  const originalOf = (name) => fileUrl(path.join(work, originals[name] ? 'original' : 'crafted-original', name));
  for (const file of paths) {
    const name = path.basename(file);
    const text = fs.readFileSync(file, 'latin1');
    assert.ok(text.includes(`<script src="${file.startsWith(sub) ? '../../' : ''}${shared[0]}"></script>`), file);
    assert.ok(!text.includes('function L('), file);  // the decoder is the shared file's
    assert.deepStrictEqual(await rendering(fileUrl(file)), await rendering(originalOf(name)), file);
  }
  execFileSync(vexel, ['verify', '-q', '-r', siteDir], { stdio: ['ignore', 'pipe', 'pipe'] });

  const page = await context.newPage();
  try {
    // Scroll positions come back on reload, and a #fragment scrolls as in the original.
    await page.setViewportSize({ width: 400, height: 200 });
    const deep = path.join(sub, 'ascii.html');
    await page.goto(fileUrl(deep), { waitUntil: 'load' });
    await page.waitForFunction(() => document.getElementById('late') &&
      document.getElementById('late').textContent === 'loaded');
    await page.evaluate(() => scrollTo(0, 900));
    await page.reload({ waitUntil: 'load' });
    await page.waitForFunction(() => document.getElementById('late') &&
      document.getElementById('late').textContent === 'loaded');
    await page.waitForFunction(() => scrollY > 0, null, { timeout: 5000 });
    assert.strictEqual(await page.evaluate(() => scrollY), 900);
    const scrolledTo = async (url) => {
      await page.goto('about:blank');
      await page.goto(url, { waitUntil: 'load' });
      await page.waitForFunction(() => document.getElementById('late') &&
        document.getElementById('late').textContent === 'loaded');
      await page.waitForFunction(() => scrollY > 0, null, { timeout: 5000 });
      return page.evaluate(() => scrollY);
    };
    assert.strictEqual(await scrolledTo(fileUrl(deep) + '#late'),
      await scrolledTo(fileUrl(path.join(work, 'original', 'ascii.html')) + '#late'));

    // Moved alone, the page says what it needs; nothing of the site is left in the global object.
    const alone = path.join(work, 'alone');
    fs.mkdirSync(alone, { recursive: true });
    fs.copyFileSync(deep, path.join(alone, 'ascii.html'));
    await page.goto(fileUrl(path.join(alone, 'ascii.html')), { waitUntil: 'load' });
    assert.strictEqual(await page.evaluate(() => document.body.innerText),
      `This compressed page needs its site's file ../../${shared[0]}, which is missing.`);
    assert.strictEqual(await page.title(), 'Plain');
    await page.goto(fileUrl(path.join(siteDir, 'ascii.html')), { waitUntil: 'load' });
    await page.waitForFunction(() => document.getElementById('late') &&
      document.getElementById('late').textContent === 'loaded');
    assert.strictEqual(await page.evaluate(() => 'vexelSite' in window), false);
  } finally {
    await page.close();
  }
});

test('a browser without DecompressionStream says so in plain words', async () => {
  const file = path.join(work, 'modern', 'ascii.html');
  const page = await context.newPage();
  try {
    await page.addInitScript(() => { delete window.DecompressionStream; });
    await page.goto(fileUrl(file), { waitUntil: 'load' });
    assert.strictEqual(await page.evaluate(() => document.body.innerText), 'This page needs a newer browser.');
  } finally {
    await page.close();
  }
});

test('classic JavaScript pages whose data spells script tags render their body', async () => {
  // Literals stand one code higher in the data: ";.rbqhos=" is "</script>"
  // there, ";!,," is "<!--" and ";RBQHOS" is "<SCRIPT".
  let body = '';
  for (let i = 0; i < 60; i += 1) body += `<p>Row ${i * 7919}: ;.rbqhos= ;!,, ;RBQHOS and more text ${i}</p>\n`;
  const original = `<html><head><title>Tags</title></head><body>${body}<p id="late">loaded</p></body></html>\n`;
  const dir = path.join(work, 'extra');
  fs.mkdirSync(dir, { recursive: true });
  fs.writeFileSync(path.join(dir, 'tags.html'), original);
  const [file] = compress(path.join(work, 'classic'), ['tags.html'], ['--keep-whitespace']);
  const page = await context.newPage();
  try {
    await page.goto(fileUrl(file), { waitUntil: 'load' });
    const text = await page.evaluate(() => document.body.innerText);
    const expected = await page.goto(fileUrl(path.join(dir, 'tags.html'))).then(() =>
      page.evaluate(() => document.body.innerText));
    assert.strictEqual(text.trim(), expected.trim());
    assert.match(text, /Row 467221: ;\.rbqhos= ;!,, ;RBQHOS and more text 59/);
  } finally {
    await page.close();
  }
  // A body tag that never closes (no ">" after it at all): the page is left
  // as it was, so it shows as before.
  const unclosed = '<html><head><title>t</title></head><body onload="go()"\n' + 'Text without tags. '.repeat(100);
  fs.writeFileSync(path.join(dir, 'unclosed.html'), unclosed);
  const [left] = compress(path.join(work, 'classic'), ['unclosed.html'], []);
  assert.strictEqual(fs.readFileSync(left, 'latin1'), unclosed);
  assert.ok(!fs.existsSync(left + '_backup'));
});

test('a classic page whose password is not ASCII opens when that password is typed at its prompt', async () => {
  const password = 'Pässwört 日本 😀';
  const dir = path.join(work, 'extra');
  fs.mkdirSync(dir, { recursive: true });
  fs.writeFileSync(path.join(dir, 'prompt.html'), '<html><head><meta charset="utf-8"><title>Prompt</title></head>' +
    `<body><p id="shown">behind the password</p>\n${'<p>row of the page</p>\n'.repeat(50)}</body></html>\n`);
  const [file] = compress(path.join(work, 'prompt'), ['prompt.html'], ['--password', password]);
  const page = await context.newPage();
  try {
    const answers = ['Passwort', password];
    const asked = [];
    page.on('dialog', async (dialog) => {
      asked.push(dialog.message());
      if (answers.length > 0) await dialog.accept(answers.shift());
      else await dialog.dismiss();
    });
    await page.goto(fileUrl(file));
    await page.waitForSelector('#shown', { timeout: 20000 });
    assert.strictEqual(await page.evaluate(() => document.getElementById('shown').textContent), 'behind the password');
    // The wrong answer took the reader back to the prompt; the right one let the page through.
    assert.deepStrictEqual(asked, ['Please input page password:', 'Please input page password:']);
  } finally {
    await page.close();
  }
});

const desktopPages = process.env.VEXEL_DESKTOP_PAGES;

test('an encrypted page written by the desktop program opens with its password and not without',
  { skip: !desktopPages && 'VEXEL_DESKTOP_PAGES names no folder of the desktop program\'s pages' }, async () => {
    const file = path.join(desktopPages, 'encrypted.html');
    assert.ok(fs.existsSync(file), `the desktop program's encrypted page is missing: ${file}`);
    const password = fs.readFileSync(path.join(desktopPages, 'password.txt'), 'utf8').split('\n')[0];
    const heading = 'Grüße aus Köln';
    const page = await context.newPage();
    try {
      await page.goto(fileUrl(path.join(desktopPages, 'original.html')), { waitUntil: 'load' });
      await page.waitForFunction(() => document.getElementById('late').textContent === 'loaded');
      const original = await page.evaluate(() => ({
        html: document.documentElement.outerHTML, text: document.body.innerText }));
      assert.ok(original.text.includes(heading));

      // No password given: nothing of the page shows.
      await page.goto(fileUrl(file), { waitUntil: 'load' });
      await page.waitForSelector('input[type=password]');
      const locked = await page.evaluate(() => document.documentElement.outerHTML);
      assert.ok(!locked.includes(heading) && !locked.includes('id="late"'), locked.slice(0, 400));

      await page.fill('input[type=password]', password + 'x');
      await page.press('input[type=password]', 'Enter');
      await page.waitForFunction(() => document.querySelector('output').value === 'wrong password', null,
        { timeout: 20000 });
      assert.ok(!(await page.evaluate(() => document.documentElement.outerHTML)).includes(heading));

      await page.fill('input[type=password]', password);
      await page.press('input[type=password]', 'Enter');
      await page.waitForFunction(() => {
        const late = document.getElementById('late');
        return late && late.textContent === 'loaded';
      }, null, { timeout: 20000 });
      const shown = await page.evaluate(() => ({
        html: document.documentElement.outerHTML, text: document.body.innerText }));
      assert.deepStrictEqual(shown, original);
    } finally {
      await page.close();
    }
  });

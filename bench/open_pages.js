// Times how long Node.js takes to open compressed pages: the page's own
// script run with a document that collects what it writes, from the start of
// the script until the text is written (document.writeln for a classic page,
// document.close for a modern one). Prints one JSON line per page.
//
//   node bench/open_pages.js PAGE...
'use strict';

const fs = require('node:fs');

const kClassicOpener = '<SCRIPT LANGUAGE="JavaScript">';
const kModernStart = '<script>(function(d){var Z=self.DecompressionStream';

function scriptOf(text, start) {
  return text.slice(start, text.toLowerCase().indexOf('</script', start));
}

async function open(file) {
  const text = fs.readFileSync(file, 'latin1');
  const modern = text.includes(kModernStart);
  const code = modern
    ? scriptOf(text, text.indexOf('<script>') + 8)
    : scriptOf(text, text.lastIndexOf(kClassicOpener) + kClassicOpener.length);
  const meta = /^<meta charset=([^>]+)>/.exec(text);
  let written = 0;
  let finished;
  const done = new Promise((resolve) => { finished = resolve; });
  const document = {
    characterSet: meta ? new TextDecoder(meta[1]).encoding : 'windows-1252',
    forms: [],
    open() { written = 0; },
    write(s) { written += s.length; },
    writeln(s) { written += s.length + 1; finished(); },
    close() { finished(); },
  };
  const started = process.hrtime.bigint();
  new Function('document', 'self', code)(document, { DecompressionStream, crypto });
  await done;
  const ms = Number(process.hrtime.bigint() - started) / 1e6;
  return { file, format: modern ? 'modern' : 'classic', ms, characters: written };
}

// The first use of DecompressionStream and TextDecoder sets them up; a
// browser has done so long before a page opens.
async function warmUp() {
  const { deflateRawSync } = require('node:zlib');
  const stream = new Response(deflateRawSync('warm up')).body.pipeThrough(new DecompressionStream('deflate-raw'));
  new TextDecoder('windows-1252').decode(await new Response(stream).arrayBuffer());
}

(async () => {
  await warmUp();
  for (const file of process.argv.slice(2)) {
    console.log(JSON.stringify(await open(file)));
  }
})();

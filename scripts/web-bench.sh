#!/usr/bin/env bash
# Benchmarks of the browser page (not timed tests), in Debian's headless Chromium:
# - its size;
# - the time from opening it to a ready page (median of 10 loads, each in a new tab, measured by
#   the page from the start of its navigation), side by side with a minimal page of the same
#   build: the same Emscripten, options and pre.js around an empty main, ready when its runtime
#   is (what any page of this build costs before its own start-up);
# - Generate File's work in the page (the binding's commit, the file written and read back for
#   the download; median of 200);
# - a key of the page's keyboard: from the key press event to the voice started on the audio
#   clock (median and largest of 40), against one render quantum (128 frames) of the context.
# Builds the page with scripts/web.sh and installs puppeteer-core as scripts/test.d/web.sh does.
set -euo pipefail
repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bash "$repo/scripts/web.sh" > /dev/null
PUPPETEER_SKIP_DOWNLOAD=1 npm ci --prefix "$repo/tests/web" --cache "$repo/build-web/npm-cache" \
  --no-audit --no-fund --loglevel=error > /dev/null
# The minimal page.
minimal="$repo/build-web/minimal"
mkdir -p "$minimal"
echo 'int main(void) { return 0; }' > "$minimal/main.c"
printf '<!doctype html>\n<p id="status"></p>\n{{{ SCRIPT }}}\n' > "$minimal/shell.html"
echo "Module['onRuntimeInitialized'] = function () {
  document.body.setAttribute('data-ready', performance.now().toFixed(1));
};" > "$minimal/post.js"
NODE_PATH="${NODE_PATH:+$NODE_PATH:}/usr/share/nodejs" emcc -Os "$minimal/main.c" \
  -o "$minimal/minimal.html" -sSINGLE_FILE=1 -sENVIRONMENT=web -sINVOKE_RUN=0 -sMINIFY_HTML=0 \
  --shell-file "$minimal/shell.html" --pre-js "$repo/web/pre.js" --post-js "$minimal/post.js"
cd "$repo/tests/web"
node --input-type=module - "$repo/build-web/vostrel.html" "$minimal/minimal.html" <<'JS'
import fs from 'node:fs';
import puppeteer from 'puppeteer-core';
const [pageFile, minimalFile] = process.argv.slice(2);
const median = (v) => [...v].sort((a, b) => a - b)[Math.floor(v.length / 2)];
const browser = await puppeteer.launch({executablePath: '/usr/bin/chromium', headless: true,
  args: ['--no-sandbox', '--disable-background-networking', '--disable-component-update',
         '--disable-sync', '--no-first-run', '--autoplay-policy=no-user-gesture-required']});
const ready = {};
let page;
// Ten loads of each, taking turns, so that both meet the same load of the machine.
for (let n = 0; n < 10; n++) {
  for (const file of [minimalFile, pageFile]) {
    if (page)
      await page.close();
    page = await browser.newPage();
    await page.goto('file://' + file);
    (ready[file] ||= []).push(Number(await page.$eval('body[data-ready]', (b) => b.dataset.ready)));
  }
}
const generate = await page.evaluate(() => {
  const texts = ['1701003', 'Werckmeister III', 'Werk3', '1701', 'Example Organ Society', '', '1.00'];
  const times = [];
  for (let n = 0; n < 200; n++) {
    const t = performance.now();
    Module.ccall('web_generate', 'string', Array(8).fill('string'), [0, ...texts]);
    const w = JSON.parse(Module.ccall('web_write', 'string', ['string', 'number'], ['Werk3.xml', 0]));
    Module.FS.readFile(w.file);
    times.push(performance.now() - t);
  }
  return times;
});
const keys = [];
await page.focus('#keyboard');
for (let n = 0; n < 40; n++) {
  await page.keyboard.down('q');
  keys.push(await page.evaluate(() => Page.keyDelay));
  await page.keyboard.up('q');
}
const rate = await page.evaluate(() => new AudioContext().sampleRate);
await browser.close();
const show = (v) => `${median(v).toFixed(1)} ms (all: ${v.join(' ')})`;
console.log(`page size: ${fs.statSync(pageFile).size} bytes`);
console.log(`open to ready (median of 10): ${show(ready[pageFile])}`);
console.log(`minimal page of the same build (median of 10): ${show(ready[minimalFile])}`);
console.log(`Generate File's work (median of 200): ${(median(generate) * 1000).toFixed(0)} us`);
console.log(`key press to voice started (40 presses): median ${median(keys).toFixed(2)} ms, ` +
            `largest ${Math.max(...keys).toFixed(2)} ms; a render quantum at ${rate} Hz: ` +
            `${(128000 / rate).toFixed(2)} ms`);
JS

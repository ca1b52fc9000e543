#!/usr/bin/env bash
# Benchmarks of the browser page (not timed tests): its size, the time from opening it to a ready
# page (median of 10 loads, each in a new tab of Debian's headless Chromium, measured by the page
# from the start of its navigation), and Generate File's work in the page (the binding's
# commit, the file written and read back for the download; median of 200). Builds the page
# with scripts/web.sh and installs puppeteer-core as scripts/test.d/web.sh does.
set -euo pipefail
repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bash "$repo/scripts/web.sh" > /dev/null
PUPPETEER_SKIP_DOWNLOAD=1 npm ci --prefix "$repo/tests/web" --cache "$repo/build-web/npm-cache" \
  --no-audit --no-fund --loglevel=error > /dev/null
cd "$repo/tests/web"
node --input-type=module - "$repo/build-web/vostrel.html" <<'JS'
import fs from 'node:fs';
import puppeteer from 'puppeteer-core';
const page_file = process.argv[2];
const median = (v) => v.sort((a, b) => a - b)[Math.floor(v.length / 2)];
const browser = await puppeteer.launch({executablePath: '/usr/bin/chromium', headless: true,
  args: ['--no-sandbox', '--disable-background-networking', '--disable-component-update',
         '--disable-sync', '--no-first-run']});
const ready = [];
let page;
for (let n = 0; n < 10; n++) {
  page = await browser.newPage();
  await page.goto('file://' + page_file);
  ready.push(Number(await page.$eval('body[data-ready]', (b) => b.dataset.ready)));
  if (n < 9)
    await page.close();
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
await browser.close();
console.log(`page size: ${fs.statSync(page_file).size} bytes`);
console.log(`open to ready (median of 10): ${median(ready).toFixed(1)} ms (all: ${ready.join(' ')})`);
console.log(`Generate File's work (median of 200): ${(median(generate) * 1000).toFixed(0)} us`);
JS

// scenarios.mjs PAGE NATIVE-BUILD - the page in Debian's headless Chromium, driven by
// puppeteer-core, its controls found by their visible labels; the files it downloads compared
// with those the native window program and vostrel-convert of NATIVE-BUILD write in this run.
// VOSTREL_SCREENSHOT_DIR, when set, receives web-wide.png (1280 x 800) and web-phone.png (375).
import {execFileSync} from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import puppeteer from 'puppeteer-core';

const [pagePath, native] = process.argv.slice(2).map((p) => path.resolve(p));
const here = path.dirname(new URL(import.meta.url).pathname);
const tmp = fs.mkdtempSync(path.join(os.tmpdir(), 'vostrel-web-'));
const pageUrl = 'file://' + pagePath;
const convert = path.join(native, 'vostrel-convert');
const WERK3 = ['1701003', 'Werckmeister III', 'Werk3', '1701', 'Example Organ Society', 'at 415 Hz',
               '1.00', '415', '0', '7.820', '3.910', '11.730', '1.955', '3.910', '5.865', '1.955',
               '9.775', '0', '7.820', '3.910'];
const FIELDS = ['Temperament ID', 'Temperament Name', 'Short Name', 'Supplier ID', 'Supplier Name',
                'Comment', 'Version', 'A-Pitch', 'A', 'A#/Bb', 'B', 'C', 'C#/Db', 'D', 'D#/Eb', 'E',
                'F', 'F#/Gb', 'G', 'G#/Ab'];
const CONVERTER_DEFAULTS = ['999900', '', '', '999999', '', '', '1.00', '440'];
let failures = 0;
let passes = 0;
const requests = [];

function check(ok, what) {
  if (ok) {
    passes++;
  } else {
    failures++;
    console.log('FAIL: ' + what);
  }
}

// Polls until test() gives a value, at most `tenths` times 0.1 s.
async function poll(tenths, test) {
  for (let n = 0; n < tenths; n++) {
    const value = await test();
    if (value)
      return value;
    await new Promise((resolve) => setTimeout(resolve, 100));
  }
  return null;
}

// ---- The page --------------------------------------------------------------------

const browser = await puppeteer.launch({
  executablePath: process.env.VOSTREL_CHROMIUM || '/usr/bin/chromium',
  headless: true,
  // The browser's own files (its crash database, say) in the temporary folder, not in the home.
  env: {...process.env, HOME: tmp, XDG_CONFIG_HOME: tmp, XDG_CACHE_HOME: tmp},
  args: ['--no-sandbox', '--disable-background-networking', '--disable-component-update',
         '--disable-sync', '--no-first-run', '--disable-default-apps'],
});

// A fresh page at the given size, downloading into a folder of its own; platform 'Win32' makes
// it a browser on Windows.
async function open(width, height, platform) {
  const page = await browser.newPage();
  page.on('request', (request) => requests.push(request.url()));
  page.on('pageerror', (error) => check(false, 'page error: ' + error.message));
  page.on('console', (message) => check(message.type() !== 'error', 'console: ' + message.text()));
  await page.setViewport({width, height});
  page.downloads = fs.mkdtempSync(path.join(tmp, 'downloads-'));
  const cdp = await page.createCDPSession();
  if (platform)
    await cdp.send('Emulation.setUserAgentOverride', {userAgent: await browser.userAgent(), platform});
  await cdp.send('Browser.setDownloadBehavior', {behavior: 'allow', downloadPath: page.downloads});
  await page.goto(pageUrl);
  await page.waitForSelector('body[data-ready]', {timeout: 20000});
  return page;
}

const control = (page, name, role = 'textbox') => page.$(`::-p-aria([name="${name}"][role="${role}"])`);

async function type(page, label, text) {
  const field = await control(page, label);
  await field.click({count: 3});
  await page.keyboard.down('Control');
  await page.keyboard.press('a');
  await page.keyboard.up('Control');
  await page.keyboard.press('Backspace');
  await page.keyboard.type(text);
  await page.keyboard.press('Tab');
}

async function press(page, label) {
  await page.locator(`::-p-aria([name="${label}"][role="button"])`).setTimeout(10000).click();
}

// The descriptive fields, A-Pitch, the cents and the pitches as the page shows them.
const snapshot = (page) => page.evaluate(() => {
  const all = (s) => [...document.querySelectorAll(s)].map((e) => e.value);
  return {f: all('[id^=f-]'), a: all('#t-apitch')[0], c: all('#notes input'), p: all('output')};
});
const same = (a, b) => JSON.stringify(a) === JSON.stringify(b);

const ended = (page) => page.evaluate(() => Number(document.body.dataset.actions || 0));

// Does step, which starts one action of the page, answers its dialogs (OK to the file name) and
// waits for the action's end: the messages shown and the file name question with its proposal.
async function perform(page, step) {
  const before = await ended(page);
  await step();
  const seen = {said: [], asked: null};
  for (let n = 0; n < 200; n++) {
    const open = await page.evaluate(() => {
      const d = document.querySelector('dialog[open]');
      const input = d && d.querySelector('input');
      return d && [d.querySelector('p, label').textContent, input ? input.value : null];
    });
    if (open) {
      if (open[1] === null)
        seen.said.push(open[0]);
      else
        seen.asked = open.join('|');
      await press(page, open[1] === null ? 'Close' : 'OK');
    } else if ((await ended(page)) > before) {
      return seen;
    } else {
      await new Promise((resolve) => setTimeout(resolve, 100));
    }
  }
  check(false, 'an action did not end');
  return seen;
}

// Chooses files through the chooser that the button opens: what the action said.
async function choose(page, button, files) {
  return perform(page, async () => {
    const [chooser] = await Promise.all([page.waitForFileChooser(), press(page, button)]);
    await chooser.accept(files);
  });
}

// Generate File (or Save as .scl) with the proposal confirmed: the question and the download.
async function generate(page, button = 'Generate File') {
  const {asked, said} = await perform(page, () => press(page, button));
  const name = asked && asked.split('|')[1];
  const file = name && await poll(100, () => fs.readdirSync(page.downloads).includes(name) &&
                                              path.join(page.downloads, name));
  return {asked, said, file};
}

// Chooses a temperament of the collection by its name.
const entry = async (page, name) => perform(page, async () =>
  (await control(page, 'Historical temperament', 'combobox')).select(await page.evaluate((n) =>
    [...document.querySelectorAll('#collection option')].find((o) => o.textContent === n).value, name)));

function converter(...args) {
  try {
    return {out: execFileSync(convert, args, {cwd: tmp, encoding: 'latin1', stdio: 'pipe'}), err: ''};
  } catch (error) {
    return {out: '', err: String(error.stderr).trim()};
  }
}

const bytes = (file) => file ? fs.readFileSync(file).toString('latin1') : 'none';

// ---- Scenarios -------------------------------------------------------------------------

// Werckmeister III on 415 Hz typed into the page and generated, also on Windows (CR LF), equals
// the native window's file; the values are remembered; the file loads back; a broken one changes
// nothing.
async function werckmeister(nativeFile) {
  for (const [platform, lineEnd] of [['', '\n'], ['Win32', '\r\n']]) {
    const page = await open(1280, 800, platform);
    for (let k = 0; k < FIELDS.length; k++)
      await type(page, FIELDS[k], WERK3[k]);
    const typed = await snapshot(page);
 const {asked, file} = await generate(page);
    check(asked === 'Filename to generate|Werk3.Temperament.Hauptwerk.xml', 'the name asked: ' + asked);
    check(bytes(file) === bytes(nativeFile).replaceAll('\n', lineEnd),
          `the page's file (${platform || 'Linux'}) differs from the window's`);
    const remembered = await page.evaluate(() => document.getElementById('remember-text').textContent);
    check(remembered.includes('Temperament ID 1701003, Supplier ID 1701, Supplier Name "Example Organ Society"'),
          'remembered: ' + remembered);
    if (platform) {
      await page.close();
      continue;
    }
    await reportMatches(page, file);
    await choose(page, 'Load File', [file]);
    const loaded = await snapshot(page);
    // A tiny negative offset recovered from the file shows as -0.0, as in the window.
    const shown = {...loaded, c: loaded.c.map((c) => c.replace('-0.0', '+0.0'))};
    check(same(shown, {...typed, f: [...WERK3.slice(0, 3), '001701', ...WERK3.slice(4, 7)],
                        a: ' 415.0000000'}), 'loaded back: ' + JSON.stringify(shown));
    const broken = path.join(tmp, 'broken.xml');
    fs.writeFileSync(broken, bytes(file).slice(0, 3000), 'latin1');
    const {said} = await choose(page, 'Load File', [broken]);
    check(JSON.stringify(said) === '["Missing correct end of xml-file","Loading broken.xml failed"]',
          'broken file: ' + said);
    check(same(await snapshot(page), loaded), 'the broken file changed the page');
    await page.close();
    const again = await open(1280, 800);
    const start = await snapshot(again);
    check(same(start.f.slice(3, 5), ['1701', 'Example Organ Society']) && start.f[0] === '1701003',
          'not restored on the next visit: ' + start.f);
    await press(again, 'Forget remembered values');
    await again.close();
    const last = await open(1280, 800);
    const forgotten = await snapshot(last);
    await last.close();
    check(same(forgotten.f, ['999900', 'Equal Temperament', 'Equal', '999999', '', '', '1.00']),
          'not forgotten: ' + forgotten.f);
  }
}

// The report's rows are those vostrel-convert --report prints for the generated file.
async function reportMatches(page, file) {
  const rows = converter('--report', file).out.split('\n').filter((line) => /^\S+ +\S+ +[\d.]+ +[-+]/.test(line));
  const expected = rows.map((line) => line.trim().split(/ +/));
  const shown = await page.evaluate(() => [...document.querySelectorAll('#report tbody tr')].map(
      (tr) => [...tr.cells].map((td) => td.textContent)));
  const want = expected.map((r) => [r[0] + '-' + r[1], r[2], r[3], r[4]]);
  const order = [...shown.filter((_, k) => k < 12), ...shown.filter((_, k) => k >= 12)];
  check(want.length === 24 && JSON.stringify(order) === JSON.stringify(want),
        'report: ' + JSON.stringify(shown.slice(0, 2)) + ' against ' + JSON.stringify(want.slice(0, 2)));
}

// A .scl (with a .kbm) fills the page as vostrel-convert converts it: generated with the
// converter's defaults in the other fields, the file is the converter's; a bad scale gives the
// converter's message. Save as .scl writes what --to-scl writes.
async function scales() {
  const scl = path.join(native, 'temperaments', 'Werckmeister III.scl');
  const kbm = path.join(tmp, 'baroque.kbm');
  fs.writeFileSync(kbm, '0\n0\n127\n62\n69\n415.0\n12\n');
  const bad = path.join(tmp, 'bad.scl');
  fs.writeFileSync(bad, '! bad\nBad\n12\n100.0\n200,0\n');
  const page = await open(1280, 800);
  for (let k = 0; k < CONVERTER_DEFAULTS.length; k++)
    await type(page, FIELDS[k], CONVERTER_DEFAULTS[k]);
  const cases = [{files: [scl], tonic: '5', args: ['--tonic', 'D', scl]},
                 {files: [scl, kbm], tonic: '3', args: ['--kbm', kbm, scl]},
                 {files: [bad], tonic: '3', args: ['bad.scl']}];
  for (const c of cases) {
    await (await control(page, 'Tonic of a scale', 'combobox')).select(c.tonic);
    const {said} = await choose(page, 'Load Scala Scale', c.files);
    const out = path.join(tmp, `convert-${c.tonic}-${c.files.length}.xml`);
    const {err} = converter('-o', out, ...c.args);
    if (err) {
      check(same(said.map((m) => m.replaceAll('\n', ' ')), [err]), `bad scale: "${said}", "${err}"`);
      continue;
    }
    const {file} = await generate(page);
    check(said.length === 0 && bytes(file) === bytes(out), 'scale ' + c.args.join(' ') + ': ' + said);
    fs.rmSync(file);
  }
  const {file} = await generate(page, 'Save as .scl');
  const host = path.join(tmp, 'Werk3.Temperament.Hauptwerk.xml');
  fs.rmSync(host, {force: true});
  execFileSync(convert, ['-o', host, '--kbm', kbm, scl]);
  const named = path.join(tmp, 'scl', path.basename(String(file)));
  fs.mkdirSync(path.dirname(named));
  converter('--to-scl', '--tonic', 'C', '-o', named, host);
  check(bytes(file) === bytes(named), 'Save as .scl differs from --to-scl');
  await page.close();
}

// A collection entry fills the page as Load File of the collection's host file does.
async function collection() {
  const page = await open(1280, 800);
  await choose(page, 'Load File', [path.join(native, 'temperaments', 'Kirnberger III.Temperament.Hauptwerk.xml')]);
  const loaded = await snapshot(page);
  await type(page, 'Temperament Name', 'something else');
  const {said} = await entry(page, 'Kirnberger III');
  const chosen = await snapshot(page);
  check(same(said, []) && same(chosen, loaded), 'Kirnberger III from the list: ' + said + JSON.stringify(chosen) + JSON.stringify(loaded));
  await page.close();
}

// Layout at 1280 x 800 (all visible) and 375 wide (one column), every control reached by Tab
// with a visible focus, text contrast at least 4.5:1; the screenshots.
async function layout() {
  for (const [width, height, name] of [[1280, 800, 'wide'], [375, 800, 'phone']]) {
    const page = await open(width, height);
    const fit = await page.evaluate(() => {
      const box = (s) => document.querySelector(s).getBoundingClientRect();
      const [a, b, c] = ['main > section:nth-child(1)', '#tuning', '#report'].map(box);
      return {w: document.documentElement.scrollWidth, h: document.documentElement.scrollHeight,
              column: a.bottom <= b.top && b.bottom <= c.top};
    });
    check(fit.w <= width && (width === 375 ? fit.column : fit.h <= height), `${name} layout: ${JSON.stringify(fit)}`);
    const shots = process.env.VOSTREL_SCREENSHOT_DIR;
    await entry(page, 'Werckmeister III');
    await type(page, 'A-Pitch', '415');
    if (shots)
      await page.screenshot({path: path.join(shots, `web-${name}.png`)});
    if (width !== 1280)
      continue;
    const reached = new Set();
    for (let n = 0; n < 60; n++) {
      await page.keyboard.press('Tab');
      reached.add(await page.evaluate(() => {
        const e = document.activeElement;
        // Past the last control the focus leaves the page for a moment: the body.
        return e === document.body ? '' : e.id + (getComputedStyle(e).outlineStyle === 'none' ? ' without focus ring' : '');
      }));
    }
    const controls = await page.evaluate(() => [...document.querySelectorAll('main input:not([type=file]), main select, main button')].map((e) => e.id));
    const missed = controls.filter((id) => !reached.has(id));
    check(missed.length === 0 && ![...reached].some((r) => r.includes('without')), 'keyboard: missed ' + missed + ', reached ' + [...reached]);
    const low = await page.evaluate(contrastBelow);
    check(low.length === 0, 'contrast below 4.5: ' + low.slice(0, 5));
    await page.close();
  }
}

// In the page: the texts whose colour has less than 4.5:1 contrast with their background.
function contrastBelow() {
  const rgb = (c) => c.match(/[\d.]+/g).map(Number);
  const lum = (c) => {
    const [r, g, b] = rgb(c).slice(0, 3).map((v) => {
      v /= 255;
      return v <= 0.03928 ? v / 12.92 : ((v + 0.055) / 1.055) ** 2.4;
    });
    return 0.2126 * r + 0.7152 * g + 0.0722 * b;
  };
  const background = (e) => {
    for (; e; e = e.parentElement) {
      const c = getComputedStyle(e).backgroundColor;
      if (rgb(c)[3] !== 0)
        return c;
    }
    return 'rgb(255, 255, 255)';
  };
  const low = [];
  for (const e of document.querySelectorAll('body *')) {
    const text = [...e.childNodes].some((n) => n.nodeType === 3 && n.textContent.trim()) || e.value;
    if (!text || !e.getClientRects().length)
      continue;
    const fg = getComputedStyle(e).fill !== 'none' && e instanceof SVGElement ? getComputedStyle(e).fill : getComputedStyle(e).color;
    const [l1, l2] = [lum(fg), lum(background(e))].sort((x, y) => y - x);
    if ((l1 + 0.05) / (l2 + 0.05) < 4.5)
      low.push(e.tagName + '#' + e.id + ' ' + fg);
  }
  return low;
}

try {
  const nativeFile = path.join(tmp, 'native.xml');
  execFileSync('bash', [path.join(here, 'native.sh'), path.join(native, 'vostrel'), nativeFile, ...WERK3],
               {stdio: 'inherit'});
  await werckmeister(nativeFile);
  await scales();
  await collection();
  await layout();
  const outside = requests.filter((url) => url !== pageUrl && !url.startsWith('blob:'));
  check(requests.length > 0 && outside.length === 0, 'requests beyond the page: ' + outside);
} finally {
  await browser.close();
  fs.rmSync(tmp, {recursive: true, force: true});
}
console.log(`${passes} passed, ${failures} failed`);
process.exit(failures ? 1 : 0);

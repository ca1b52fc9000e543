// scenarios.mjs PAGE NATIVE-BUILD - the page in Debian's headless Chromium (with
// VOSTREL_BROWSER=firefox in its firefox-esr), driven by puppeteer-core, its controls found by
// their visible labels; the files it downloads compared with those the native window program and
// vostrel-convert of NATIVE-BUILD write in this run.
// VOSTREL_SCREENSHOT_DIR, when set, receives web-wide.png (1280 x 800) and web-phone.png (375).
import {execFileSync} from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import {setTimeout as sleep} from 'node:timers/promises';
import puppeteer from 'puppeteer-core';

const [pagePath, native] = process.argv.slice(2).map((p) => path.resolve(p));
const pageUrl = 'file://' + pagePath;
const tmp = fs.mkdtempSync(path.join(os.tmpdir(), 'vostrel-web-'));
const WERK3 = ['1701003', 'Werckmeister III', 'Werk3', '1701', 'Example Organ Society', 'at 415 Hz',
               '1.00', '415', '0', '7.820', '3.910', '11.730', '1.955', '3.910', '5.865', '1.955',
               '9.775', '0', '7.820', '3.910'];
const LABELS = ['Temperament ID', 'Temperament Name', 'Short Name', 'Supplier ID', 'Supplier Name',
                'Comment', 'Version', 'A-Pitch', 'A', 'A#/Bb', 'B', 'C', 'C#/Db', 'D', 'D#/Eb', 'E',
                'F', 'F#/Gb', 'G', 'G#/Ab'];
let failures = 0;
const requests = [];

function check(ok, what, seen) {
  if (!ok) {
    failures++;
    console.log('FAIL: ' + what + ': ' + JSON.stringify(seen));
  }
}

// Polls until test() gives a value, at most `tenths` times 0.1 s.
async function poll(tenths, test) {
  for (let n = 0; n < tenths; n++) {
    const value = await test();
    if (value)
      return value;
    await sleep(100);
  }
  return null;
}

const converter = (...args) => execFileSync(path.join(native, 'vostrel-convert'), args,
                                            {encoding: 'latin1'});

const bytes = (file) => fs.existsSync(file) && fs.readFileSync(file, 'latin1');

// ---- The page --------------------------------------------------------------------

const firefox = process.env.VOSTREL_BROWSER === 'firefox';
const browser = await puppeteer.launch({
  browser: process.env.VOSTREL_BROWSER,
  executablePath: firefox ? '/usr/bin/firefox-esr'
                          : process.env.VOSTREL_CHROMIUM || '/usr/bin/chromium',
  headless: true,
  // The browser's own files (its crash database, say) in the temporary folder, not in the home.
  env: {...process.env, HOME: tmp, XDG_CONFIG_HOME: tmp, XDG_CACHE_HOME: tmp},
  // Puppeteer's own flags already keep the browser from its background traffic.
  // Firefox's downloads panel, opened by a download, would take the focus from the page.
  extraPrefsFirefox: {'browser.download.alwaysOpenPanel': false},
  args: firefox ? [] : ['--no-sandbox', '--disable-component-update'],
});

// A fresh page 800 high on the given platform ('Win32': a browser on Windows), downloading
// into a folder of its own.
async function open(width, platform) {
  const page = await browser.newPage();
  page.on('request', (request) => requests.push(request.url()));
  page.on('pageerror', (error) => check(false, 'page error', error.message));
  page.on('console', (message) => check(message.type() !== 'error', 'console', message.text()));
  await page.setViewport({width, height: 800});
  page.downloads = fs.mkdtempSync(path.join(tmp, 'downloads-'));
  // Firefox has no platform override: the page's navigator.platform is set before its script.
  if (firefox) {
    await page.evaluateOnNewDocument(
        (p) => p && Object.defineProperty(navigator, 'platform', {value: p}), platform);
    // WebDriver BiDi's command itself: puppeteer sets downloads only for a new browser context,
    // whose storage would not hold the remembered values.
    const downloadBehavior = {type: 'allowed', destinationFolder: page.downloads};
    await browser.connection.send('browser.setDownloadBehavior', {downloadBehavior});
  } else {
    const cdp = await page.createCDPSession();
    await cdp.send('Emulation.setUserAgentOverride',
                   {userAgent: await browser.userAgent(), platform});
    await cdp.send('Browser.setDownloadBehavior',
                   {behavior: 'allow', downloadPath: page.downloads});
  }
  await page.goto(pageUrl);
  await page.waitForSelector('body[data-ready]', {timeout: 20000});
  return page;
}

// The control of this visible label.
const control = (page, label, role = 'textbox') =>
  page.locator('::-p-aria([name="' + label + '"][role="' + role + '"])');

const press = (page, label) => control(page, label, 'button').click();

// Types the values into the controls of these labels (or chooses them), each left with Tab.
async function fill(page, labels, values, role) {
  for (let k = 0; k < labels.length; k++) {
    await control(page, labels[k], role).fill(values[k]);
    await page.keyboard.press('Tab');
  }
}

// What the page shows, between '|': the descriptive fields, A-Pitch, then each note's cents and
// pitch.
const shown = (page) => page.$$eval('main input:not([type=file]), output',
                                    (all) => all.map((e) => e.value).join('|'));

// The count of actions ended, for perform.
const ended = (page) => page.$eval('body', (body) => body.dataset.actions);

// Does step, which starts one action of the page, and answers its dialogs (Close, or OK to a
// file name) until the action ends: their texts, a question's proposal after '|'.
async function perform(page, step) {
  const before = await ended(page);
  await step();
  const said = [];
  const done = await poll(200, async () => {
    const open = await page.evaluate(() => {
      const d = document.querySelector('dialog[open]');
      const input = d && d.querySelector('input');
      return d && d.querySelector('p, label').textContent + (input ? '|' + input.value : '');
    });
    if (open) {
      said.push(open);
      await press(page, open.includes('|') ? 'OK' : 'Close');
    }
    return !open && (await ended(page)) !== before;
  });
  check(done, 'an action did not end', said);
  return said;
}

// Chooses files through the chooser that the button opens.
const choose = (page, button, files) => perform(page, async () => {
  const [chooser] = await Promise.all([page.waitForFileChooser(), press(page, button)]);
  await chooser.accept(files);
});

// Generate File (or Save as .scl) with the proposal confirmed: the dialogs and the download.
async function generate(page, button = 'Generate File') {
  const said = await perform(page, () => press(page, button));
  const file = path.join(page.downloads, String(said).split('|')[1]);
  await poll(100, () => fs.existsSync(file));
  return {said, file};
}

// ---- Scenarios -------------------------------------------------------------------------

// Werckmeister III on 415 Hz typed into the page equals the native window's file, with CR LF on
// Windows. The next visit starts with the remembered IDs and supplier; the file loads back as it
// was typed, with the report vostrel-convert --report prints; a broken file changes nothing.
async function werckmeister(nativeFile) {
  let typed;
  let made;
  for (const [platform, lineEnd] of [['Win32', '\r\n'], ['Linux', '\n']]) {
    const page = await open(1280, platform);
    await fill(page, LABELS, WERK3);
    typed = await shown(page);
    // A-Pitch, then A's offset and pitch.
    check(typed.includes('| 415.0000000|+0.0| 415.0000000|'), 'A at 415 Hz', typed);
    made = await generate(page);
    check(String(made.said) === 'Filename to generate|Werk3.Temperament.Hauptwerk.xml',
          'Generate File', made.said);
    check(bytes(made.file) === bytes(nativeFile).replaceAll('\n', lineEnd),
          'the page\'s file differs from the window\'s', platform);
    await page.close();
  }
  const page = await open(1280);
  const start = await shown(page);
  check(start.startsWith('1701003|Equal Temperament|Equal|1701|Example Organ Society|'),
        'remembered', start);
  await choose(page, 'Load File', [made.file]);
  const loaded = await shown(page);
  // The file gives the supplier ID in six digits; a tiny negative offset recovered from it shows
  // as -0.0, as in the window.
  // Typed offsets show to the decimals typed, loaded ones to one.
  const near = (a, b) => a.split('|').every((x, k) => x === b.split('|')[k] ||
                                            Math.abs(x - b.split('|')[k]) < 0.051);
  check(near(loaded, typed.replace('|1701|', '|001701|')), 'loaded back', loaded);
  // The report's rows as the page's table shows them: the two notes joined by '-'.
  const rows = converter('--report', made.file).split('\n').filter(
      (line) => / [-+][\d.]+$/.test(line));
  const report = await page.$$eval('#fifths tbody, #thirds tbody, #minor-thirds tbody',
                                   (bodies) => bodies.map((body) => body.innerText).join('\n'));
  check(report === rows.map((row) => row.replace(/ +/, '-').replace(/ +/g, '\t')).join('\n'),
        'the report', report);
  const broken = path.join(tmp, 'broken.xml');
  fs.writeFileSync(broken, bytes(made.file).slice(0, 3000), 'latin1');
  const said = await choose(page, 'Load File', [broken]);
  check(String(said) === 'Missing correct end of xml-file,Loading broken.xml failed', 'broken file',
        said);
  check(await shown(page) === loaded, 'the broken file changed the page', loaded);
  // Forgotten, the next page starts at the converter's defaults: scales() fails otherwise.
  await press(page, 'Forget remembered values');
  await page.close();
}

// A .scl, on the tonic chosen or with a .kbm, fills the page as vostrel-convert converts it: on
// a fresh page (its fields the converter's defaults) the file generated is the converter's.
// Save as .scl then writes what --to-scl writes.
async function scales() {
  const scl = path.join(native, 'temperaments', 'Werckmeister III.scl');
  const kbm = path.join(tmp, 'baroque.kbm');
  fs.writeFileSync(kbm, '0\n0\n127\n62\n69\n415.0\n12\n');
  const page = await open(1280);
  const host = path.join(tmp, 'Werck.Temperament.Hauptwerk.xml');
  // The tonic's option (D, C) and the files chosen; the converter's arguments.
  for (const [tonic, files, args] of [['5', [scl], ['--tonic', 'D']],
                                      ['3', [scl, kbm], ['--kbm', kbm]]]) {
    await fill(page, ['Tonic of a scale'], [tonic], 'combobox');
    await choose(page, 'Load Scala Scale', files);
    fs.rmSync(host, {force: true});
    converter('-o', host, ...args, scl);
    const {file} = await generate(page);
    check(bytes(file) === bytes(host), 'the scale differs from the converter\'s', args);
    fs.rmSync(file);
  }
  const {file} = await generate(page, 'Save as .scl');
  converter('--to-scl', '--output-dir', tmp, host);
  check(bytes(file) === bytes(path.join(tmp, 'Werck.scl')), 'Save as .scl differs from --to-scl');
  await page.close();
}

// At both widths: a collection entry fills the page as Load File of its host file does; the page
// fits the width (and at 1280 its main part the height) with its parts in three columns or one;
// Tab reaches every control with a visible focus ring. The screenshots show Werckmeister III at
// 415 Hz.
async function layout() {
  for (const [width, height, columns, name] of [[1280, 800, 3, 'web-wide.png'],
                                                [375, 1e9, 1, 'web-phone.png']]) {
    const page = await open(width);
    const value = await control(page, 'Werckmeister III', 'option').map((o) => o.value).wait();
    await perform(page, () => fill(page, ['Historical temperament'], [value], 'combobox'));
    const chosen = await shown(page);
    await choose(page, 'Load File',
                 [path.join(native, 'temperaments', 'Werckmeister III.Temperament.Hauptwerk.xml')]);
    check(await shown(page) === chosen, 'the entry differs from its file', chosen);
    await fill(page, ['A-Pitch'], ['415']);
    if (process.env.VOSTREL_SCREENSHOT_DIR)
      await page.screenshot({path: path.join(process.env.VOSTREL_SCREENSHOT_DIR, name)});
    await page.evaluate(() => document.addEventListener('focusin', (event) => {
      if (getComputedStyle(event.target).outlineStyle !== 'none')
        event.target.classList.add('ringed');
    }));
    // Firefox's Tab leaves the page after its last control instead of going round.
    await page.focus('main input');
    for (let n = 0; n < 60; n++)
      await page.keyboard.press('Tab');
    // The page's size, its columns, then the controls that Tab gave no focus ring.
    const seen = await page.evaluate(() => [
      document.documentElement.scrollWidth,
      document.querySelector('main').getBoundingClientRect().bottom,
      new Set([...document.querySelectorAll('main > section')].map((s) => s.offsetLeft)).size,
      ...[...document.querySelectorAll(
          'main :is(input:not([type=file]), select, button):not(.ringed)')].map((e) => e.id)]);
    check(seen[0] <= width && seen[1] <= height && seen[2] === columns && seen.length === 3, name,
          seen);
    await page.close();
  }
}

try {
  const nativeFile = path.join(tmp, 'native.xml');
  execFileSync('bash',
               [new URL('native.sh', import.meta.url).pathname, path.join(native, 'vostrel'),
                nativeFile, ...WERK3],
               {stdio: 'inherit'});
  await werckmeister(nativeFile);
  await scales();
  await layout();
  // Firefox reports no file: or blob: loads, and a new tab's empty 'data:,' now and then.
  const outside = requests.filter((url) => url !== pageUrl && url !== 'data:,' &&
                                           !url.startsWith('blob:'));
  check((firefox || requests.length > 0) && outside.length === 0, 'requests beyond the page',
        outside);
} finally {
  await browser.close();
  fs.rmSync(tmp, {recursive: true, force: true});
}
console.log(failures + ' failed');
process.exit(failures ? 1 : 0);

// listen.mjs PAGE NATIVE-BUILD - hearing, comparing, constructing and printing in the page, in
// Debian's headless Chromium (VOSTREL_BROWSER=firefox: firefox-esr). Every expected value comes
// from the host files and vostrel-convert --report of NATIVE-BUILD. Sound is the page's own:
// its graph rendered by an OfflineAudioContext put in the place of AudioContext.
import {execFileSync} from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import zlib from 'node:zlib';
import puppeteer from 'puppeteer-core';

const [pagePath, native] = process.argv.slice(2).map((p) => path.resolve(p));
const tmp = fs.mkdtempSync(path.join(os.tmpdir(), 'vostrel-listen-'));
const firefox = process.env.VOSTREL_BROWSER === 'firefox';
const RATE = 22050;
let failures = 0;

function check(ok, what, seen) {
  if (!ok) {
    failures++;
    console.log('FAIL: ' + what + ': ' + JSON.stringify(seen));
  }
}

const host = (name) => path.join(native, 'temperaments', name + '.Temperament.Hauptwerk.xml');
const pitches = (file) =>
  [...fs.readFileSync(file, 'latin1').matchAll(/<PitchHz>([^<]*)/g)].map((m) => Number(m[1]));
const cents = (a, b) => 1200 * Math.log2(a / b);
const converter = (...args) => execFileSync(path.join(native, 'vostrel-convert'), args,
                                            {encoding: 'latin1'});

// The report of a host file: offsets (note, offset, pitch) and the 36 interval rows (fifths,
// major thirds, minor thirds: notes, size, from pure, beats).
function report(file) {
  const rows = converter('--report', file).split('\n').map((line) => line.trim().split(/ +/));
  return {
    offsets: rows.filter((r) => r.length === 3 && /^[-+]\d/.test(r[1])),
    intervals: rows.filter((r) => r.length === 5 && /^\d/.test(r[2])),
  };
}

// The frequency of a wave that rises through zero once a period: periods between the first and
// the last rising crossing.
function frequency(s) {
  const up = [];
  for (let i = 1; i < s.length; i++)
    if (s[i - 1] < 0 && s[i] >= 0)
      up.push(i - 1 + s[i - 1] / (s[i - 1] - s[i]));
  return (up.length - 1) * RATE / (up[up.length - 1] - up[0]);
}

// The beat rate of the partials near hz: their envelope through a 40 ms Hann window, each ms
// after the attack, and the times it rises through its mean.
function beats(s, hz) {
  const n = RATE / 25, env = [], up = [];
  for (let ms = 200; ms * RATE / 1000 + n < s.length; ms++) {
    const t = Math.round(ms * RATE / 1000);
    let re = 0, im = 0;
    for (let j = 0; j < n; j++) {
      const w = s[t + j] * (1 - Math.cos(2 * Math.PI * j / n)), a = 2 * Math.PI * hz * j / RATE;
      re += w * Math.cos(a);
      im += w * Math.sin(a);
    }
    env.push(Math.hypot(re, im));
  }
  const mean = env.reduce((a, b) => a + b) / env.length;
  for (let i = 1; i < env.length; i++)
    if (env[i - 1] < mean && env[i] >= mean)
      up.push(i);
  return (up.length - 1) * 1000 / (up[up.length - 1] - up[0]);
}

const browser = await puppeteer.launch({
  browser: firefox ? 'firefox' : 'chrome',
  executablePath: firefox ? '/usr/bin/firefox-esr' : '/usr/bin/chromium',
  headless: true,
  env: {...process.env, HOME: tmp, XDG_CONFIG_HOME: tmp, XDG_CACHE_HOME: tmp},
  extraPrefsFirefox: {'browser.download.alwaysOpenPanel': false},
  args: firefox ? [] : ['--no-sandbox', '--autoplay-policy=no-user-gesture-required'],
});

// A fresh page, its sound rendered, not played, downloading into a folder of its own.
async function open() {
  const page = await browser.newPage();
  page.on('pageerror', (error) => check(false, 'page error', error.message));
  page.downloads = fs.mkdtempSync(path.join(tmp, 'downloads-'));
  await page.evaluateOnNewDocument((rate) => {
    window.AudioContext = class extends OfflineAudioContext {
      constructor() {
        super(1, rate * 1.5, rate);
        window.rendering = this;
      }
      resume() {}
    };
  }, RATE);
  if (firefox)
    await browser.connection.send('browser.setDownloadBehavior',
                                  {downloadBehavior: {type: 'allowed', destinationFolder: page.downloads}});
  else
    await (await page.createCDPSession()).send('Browser.setDownloadBehavior',
                                               {behavior: 'allow', downloadPath: page.downloads});
  await page.goto('file://' + pagePath);
  await page.waitForSelector('body[data-ready]', {timeout: 20000});
  return page;
}

const control = (page, label, role = 'textbox') =>
  page.locator('::-p-aria([name="' + label + '"][role="' + role + '"])');

// Polls until test() gives a value, at most `tenths` times 0.1 s.
async function poll(tenths, test) {
  for (let n = 0; n < tenths; n++) {
    const value = await test();
    if (value)
      return value;
    await new Promise((r) => setTimeout(r, 100));
  }
  return null;
}

// Does step, which starts one action of the page, and answers its dialogs (Close, or OK to a
// file name) until the action ends: their texts, a question's proposal after '|'.
async function perform(page, step) {
  const ended = () => page.$eval('body', (body) => body.dataset.actions);
  const before = await ended();
  await step();
  const said = [];
  await poll(200, async () => {
    const open = await page.evaluate(() => {
      const d = document.querySelector('dialog[open]');
      const input = d && d.querySelector('input');
      return d && d.querySelector('p, label').textContent + (input ? '|' + input.value : '');
    });
    if (open) {
      said.push(open);
      await page.click('dialog[open] button');
    }
    return !open && (await ended()) !== before;
  });
  return said;
}

const press = (page, label) => perform(page, () => control(page, label, 'button').click());

// Chooses files through the chooser that the button opens.
const choose = (page, button, files) => perform(page, async () => {
  const [chooser] = await Promise.all([page.waitForFileChooser(), control(page, button, 'button').click()]);
  await chooser.accept(files);
});

// Generate File with the proposed name: the pitches of the file downloaded.
async function generate(page) {
  const file = path.join(page.downloads, (await press(page, 'Generate File'))[0].split('|')[1]);
  await poll(100, () => fs.existsSync(file));
  const hz = pitches(file);
  fs.rmSync(file);
  return hz;
}

// ---- Scenarios ------------------------------------------------------------------------

// Renders the computer's keys held together on the page's keyboard.
async function render(page, keys) {
  await page.focus('#keyboard');
  for (const key of keys)
    await page.keyboard.down(key);
  // As text: far quicker through WebDriver BiDi than an array of numbers.
  const s = await page.evaluate(async () => (await rendering.startRendering()).getChannelData(0).join());
  for (const key of keys)
    await page.keyboard.up(key);
  return s.split(',').map(Number);
}

// Each note of the octave from middle C (keys Q to U) sounds at the pitch of the host file
// loaded, at A = 415 and 440 Hz; Werckmeister III's major third C-E beats as its report says.
async function sound(page) {
  const kbm = path.join(tmp, '415.kbm');
  const at415 = path.join(tmp, '415.xml');
  fs.writeFileSync(kbm, '0\n0\n127\n60\n69\n415\n12\n');
  converter('-o', at415, '--kbm', kbm, path.join(native, 'temperaments', 'Werckmeister III.scl'));
  for (const file of [at415, host('Werckmeister III')]) {
    await choose(page, 'Load File', [file]);
    for (const [k, key] of [...'q2w3er5t6y7u'].entries()) {
      const hz = frequency(await render(page, [key]));
      check(Math.abs(cents(hz, pitches(file)[60 + k])) < 0.1, 'the pitch of ' + key, [file, hz]);
    }
  }
  const hz = pitches(host('Werckmeister III'));
  const third = report(host('Werckmeister III')).intervals[12];
  const seen = beats(await render(page, ['q', 'e']), (5 * hz[60] + 4 * hz[64]) / 2);
  check(Math.abs(seen / third[4] - 1) < 0.03, 'the beats of C-E', [seen, third]);
}

// Compared with Vallotti, the page shows both offsets and their difference as the two reports
// give them, and the chart the thirds' distances from pure of both.
async function compare(page) {
  const [mine, theirs] = [host('Werckmeister III'), host('Vallotti')].map(report);
  const list = control(page, 'Compare with', 'combobox');
  const value = await page.$eval('#compare-with', (s) => [...s.options].find((o) => o.text === 'Vallotti').value);
  await perform(page, () => list.fill(value));
  const table = await page.$$eval('#compare-offsets tr', (rows) => rows.map((r) => [...r.cells].map((c) => c.textContent)));
  table.slice(1).forEach((row, i) => check(row[1] === mine.offsets[i][1] && row[2] === theirs.offsets[i][1] && Math.abs(row[1] - row[2] - row[3]) < 1e-9, 'offsets compared', row));
  const bars = await page.$$eval('#thirds-chart rect title', (all) => all.map((t) => t.textContent.split(' ').pop()));
  const thirds = (r, from) => r.intervals.slice(from, from + 12).map((row) => row[3]);
  check(bars.join() === [thirds(mine, 12), thirds(theirs, 12), thirds(mine, 24), thirds(theirs, 24)].join(), 'thirds chart', bars);
}

// Every entry of the collection, its fifths entered and applied, gives the pitches of its own
// host file: for fifths the same but for the last bit of pow (the page's libm and the native
// build's differ), within 0.001 cent for ratios and cents entered as fifths in cents to three
// decimals (the report's). The pitches are those Generate writes: the last entry's file.
async function construct(page) {
  const table = fs.readFileSync(new URL('../../data/temperaments/collection.tsv', import.meta.url), 'utf8');
  const entries = table.split('\n').filter((l) => /^\d/.test(l)).map((line) => {
    const [, , name, , construction] = line.split('\t');
    const file = host(name.replace(/[/\\:*?"<>|]/g, '-'));
    const ratios = !construction.startsWith('fifths');
    const words = ratios ? report(file).intervals.slice(0, 12).map((row) => row[3]) :
        construction.split(' ').slice(1).flatMap((w) => Array(Number(w.split('*')[1] || 1)).fill(w.split('*')[0]));
    return {name, file, ratios, words};
  });
  // Each field set as typing leaves it (keystrokes: keys()), firing its input event, then Apply.
  const applied = await page.evaluate(async (all) => {
    const hz = [];
    for (const words of all) {
      document.querySelectorAll('#fifths-fields input').forEach((field, k) => {
        field.value = words[k];
        field.dispatchEvent(new Event('input'));
      });
      document.getElementById('b-fifths-apply').click();
      await new Promise((resolve) => setTimeout(resolve));
      hz.push(Page.report.hz.map((h) => Number(h.toPrecision(15))));
    }
    return hz;
  }, entries.map((e) => e.words));
  check(String(await generate(page)) === String(applied.at(-1)), 'Generate', entries.at(-1).name);
  entries.forEach((e, k) => {
    const off = Math.max(...pitches(e.file).map((p, n) => Math.abs(cents(applied[k][n], p))));
    check(off <= (e.ratios ? 0.001 : 1e-9), 'the fifths of ' + e.name, off);
  });
}

// Print gives one page, A4 or Letter, holding the offsets, the three tables and the circle, and
// no control.
async function print(page) {
  for (const format of ['A4', 'Letter']) {
    // Firefox keeps its page objects in compressed streams.
    const pdf = Buffer.from(await page.pdf({format})).toString('latin1').split(/stream\r?\n/);
    const text = pdf.concat(pdf.map((s) => {
      try {
        return zlib.inflateSync(Buffer.from(s, 'latin1')).toString('latin1');
      } catch {
        return '';
      }
    })).join();
    check(text.match(/\/Type\s*\/Page\b/g).length === 1, 'pages printed', format);
  }
  // The print rules shown on the screen.
  const seen = await page.evaluate(() => [...document.styleSheets[0].cssRules].filter((r) => r.media && r.media.mediaText === 'print').forEach((r) => r.media.appendMedium('screen')) || ['sheet-offsets', 'fifths', 'thirds', 'minor-thirds', 'circle'].filter((id) => !document.getElementById(id).getClientRects().length).concat([...document.querySelectorAll('button, input, select')].filter((e) => e.getClientRects().length).map((e) => e.id)));
  check(seen.length === 0, 'printed', seen);
}

// Keyboard only: Tab reaches every control of the new sections; Enter plays, Escape stops, Space
// ticks A/B, an arrow changes what is compared, Enter in a fifth's field applies.
async function keys(page) {
  const all = await page.$$eval('#more :is(input:not([type=file]), select, button, [tabindex="0"])', (c) => c.map((e) => e.id));
  await page.evaluate(() => [...document.querySelectorAll('main button')].pop().focus());
  // Up to the page's last control: Firefox's Tab leaves the page after it.
  const reached = [];
  for (let n = 0; n < 40 && reached.at(-1) !== all.at(-1); n++) {
    await page.keyboard.press('Tab');
    reached.push(await page.evaluate(() => document.activeElement.id));
  }
  check(all.every((id) => reached.includes(id)), 'Tab', [all, reached]);
  const state = () => page.evaluate(() => [document.getElementById('playing').textContent, document.querySelectorAll('#sounding circle').length, document.getElementById('ab').checked, document.getElementById('compare-caption').textContent, [...document.querySelectorAll('#notes input')].map((i) => i.value).join()]);
  const before = await state();
  for (const [id, key] of [['b-fifths', 'Enter'], ['ab', ' '], ['compare-with', 'ArrowDown']]) {
    await page.focus('#' + id);
    await page.keyboard.press(key);
  }
  // The sequence's first 1.5 s rendered.
  await page.evaluate(() => rendering.startRendering());
  const playing = await poll(50, async () => (await state())[1] === 2 && state());
  check(playing && playing[0].includes('C-G') && playing[2] && playing[3] !== before[3], 'keys', playing);
  await page.focus('#b-stop');
  await page.keyboard.press('Escape');
  await control(page, 'F-C').fill('w');
  await control(page, 'C-G').fill('0');
  await page.keyboard.press('Enter');
  const after = await poll(50, async () => (await state())[4] !== before[4] && state());
  check(after && after[1] === 0, 'Escape, Enter', after);
}

try {
  const page = await open();
  for (const scenario of [sound, compare, construct, keys, print])
    await scenario(page);
} finally {
  await browser.close();
  fs.rmSync(tmp, {recursive: true, force: true});
}
console.log(failures + ' failed');
process.exit(failures ? 1 : 0);

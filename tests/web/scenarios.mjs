// scenarios.mjs PAGE NATIVE-BUILD STEPS... - the page's scenarios, written as steps in STEPS
// (tests/web/scenarios.ini), in the engine that VOSTREL_BROWSER names (driver.mjs); the files
// the page hands over are compared with those the native window program and vostrel-convert of
// NATIVE-BUILD write in this run. VOSTREL_SCREENSHOT_DIR, when set, receives the screenshots.
//
// A STEPS file holds sections "[what the scenario shows]" of lines "VERB[ LABEL] = ARG | ARG";
// a section "[@NAME]" is a group of steps that "do = NAME" runs. {tmp}, {native} and {here} in
// an argument stand for the run's temporary folder, NATIVE-BUILD and this folder, {none} for
// an empty text, \xHH for a character. The verbs are those of STEPS below.
import {execFileSync} from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import {check, engine, failures, launch, poll} from './driver.mjs';
import {listenSteps} from './listen.mjs';

const [pagePath, native, ...stepFiles] = process.argv.slice(2).map((p) => path.resolve(p));
const url = 'file://' + pagePath;
const tmp = fs.mkdtempSync(path.join(os.tmpdir(), 'vostrel-web-'));
const b = await launch(tmp);
const answers = [];
let width;
let said;

function arg(text) {
  return text.replace(/{(\w+)}/g, (x, name) => ({tmp, native, here: import.meta.dirname})[name] ?? '')
      .replace(/\\x(..)/g, (x, hex) => String.fromCharCode(parseInt(hex, 16)));
}

// In the page: the open dialog's text (a question's with '|' and the text in its field), whether
// the text fits the box, its buttons.
function dialog() {
  const d = document.querySelector('dialog[open]');
  const input = d?.querySelector('input:not(.hidden)');
  return d && [d.querySelector('p, label').textContent + (input ? '|' + input.value : ''),
               d.scrollWidth <= d.clientWidth, [...d.querySelectorAll('button')].map((e) => e.textContent)];
}

// Does step, which starts one action of the page, and answers its dialogs until the action has
// ended, each from answers (a button's label, or a text to type) or by its first button; their
// texts go to said.
async function perform(step) {
  const before = await b.run(() => String(document.body.dataset.actions));
  await step();
  said = [];
  check(await poll(300, async () => {
    const [text, fits, buttons] = await b.run(dialog) || [];
    if (text) {
      said.push(text);
      check(fits, 'a dialog wider than its box', text);
      const answer = answers.shift() ?? buttons[0];
      if (!buttons.includes(answer))
        await b.type(text.split('|')[0], answer);
      await b.click(buttons.includes(answer) ? answer : buttons[0]);
    }
    return !text && b.run((n) => !document.body.hasAttribute('data-busy') &&
                              String(document.body.dataset.actions) !== n, before);
  }), 'an action did not end', said);
}

// Opens the page; fresh, once more after its stored values are cleared.
async function visit(fresh) {
  await b.open(url, width);
  await poll(200, () => b.run(() => document.body.dataset.ready));
  if (fresh) {
    await b.run(() => localStorage.clear());
    await visit();
  }
}

// In the page: the controls Tab gave no focus ring, and when narrow one it reached out of reading
// order (from the top, and from the left in a row).
function tabbed() {
  const at = window.ringed.map((e) => e.getBoundingClientRect());
  return [...document.querySelectorAll('input:not([type=file]), select, button, [tabindex]')]
      .filter((e) => !e.disabled && e.getClientRects().length && !window.ringed.includes(e))
      .concat(window.ringed.filter((e, k) => innerWidth < 1000 && k &&
          (at[k].top < at[k - 1].top - 2 || at[k].top < at[k - 1].top + 2 && at[k].x < at[k - 1].x)))
      .map((e) => e.id);
}

// In the page: each shown text whose contrast with its background is below 4.5:1.
function faint() {
  const luminance = (colour) => colour.match(/[\d.]+/g).slice(0, 3).reduce((sum, c, k) =>
    sum + [0.2126, 0.7152, 0.0722][k] * ((c /= 255) < 0.04 ? c / 12.92 : ((c + 0.055) / 1.055) ** 2.4), 0.05);
  const back = (e) => !e ? 'rgb(255, 255, 255)' : /, 0\)/.test(getComputedStyle(e).backgroundColor)
      ? back(e.parentElement) : getComputedStyle(e).backgroundColor;
  return [...document.querySelectorAll('body *')].filter((e) => e.getClientRects().length &&
      [...e.childNodes].some((n) => n.data?.trim()) && [getComputedStyle(e)[
        e.ownerSVGElement ? 'fill' : 'color'], back(e)].map(luminance).sort().reduce((l, h) => h / l) < 4.5)
      .map((e) => e.id || e.textContent);
}

// Each verb's step: (the label after the verb, the arguments).
const STEPS = {
  // A fresh page of this width on a platform ('Win32': a browser on Windows); or a later visit.
  async open(_, w, platform) {
    width = Number(w);
    await visit(true);
    await b.run((p) => {
      Object.defineProperty(navigator, 'userAgentData', {value: null});
      Object.defineProperty(navigator, 'platform', {value: p});
    }, platform || 'Linux');
  },
  visit,
  async do(_, name) {
    for (const step of groups['@' + name])
      await run(step);
  },
  // Types into a field and leaves it with Tab.
  type: (label, text) => perform(async () => {
    await b.type(label, text);
    await b.key('Tab');
  }),
  press: (_, label) => perform(() => b.click(label)),
  enter: (_, label) => perform(async () => {
    await b.focus(label);
    await b.key('Enter');
  }),
  async keys(label, keys) {
    await b.focus(label);
    for (const key of keys.split(' '))
      await b.key(key);
  },
  files: (label, ...files) => perform(() => b.choose(label, files)),
  drop: (_, ...files) => perform(() => b.run((all) => {
    const data = new DataTransfer();
    all.forEach(([name, bytes]) => data.items.add(new File([new Uint8Array(bytes)], name)));
    document.body.dispatchEvent(new DragEvent('drop', {dataTransfer: data, bubbles: true}));
  }, files.map((f) => [path.basename(f), [...fs.readFileSync(f)]]))),
  answer: (_, ...texts) => answers.push(...texts),
  // The dialogs of the last action, between ' | '; ending in '…', their start.
  said(_, ...texts) {
    const want = texts.join(' | ');
    check(want.endsWith('…') ? said.join(' | ').startsWith(want.slice(0, -1))
                             : said.join(' | ') === want, 'said', said);
  },
  // A control's value (a list's choice); without a label, the fields and pitches between '|'.
  shows: async (label, value) => check(await b.run((e) => e ? e.selectedOptions?.[0]?.text ??
      e.value : [...document.querySelectorAll('main input:not([type=file]), output')].map(
        (f) => f.value).join('|'), label && await b.element(label)) === value, label, value),
  visible: async (_, text) => check(await b.run((t) => document.body.innerText.includes(t), text),
                                    'visible', text),
  write: (_, file, text) => fs.writeFileSync(file, text, 'latin1'),
  run: (_, command, ...args) => execFileSync(command, args, {stdio: 'inherit'}),
  // The file handed over under this name is the one given (with crlf: with CR LF line ends).
  file: async (_, name, file, crlf) => check(String(await b.download(name)) === String(
      fs.readFileSync(file)).replaceAll('\n', crlf ? '\r\n' : '\n'), 'file', name),
  // The zip file's files are the page's own collection of host files.
  async zip(_, name) {
    const out = tmp + '/zip';
    fs.writeFileSync(out + '.zip', await b.download(name));
    execFileSync('unzip', ['-q', out + '.zip', '-d', out]);
    const own = await b.run(() => Module.FS.readdir('/vostrel/collection').filter(
        (f) => f.endsWith('.xml')).map((f) => [f, String(Module.FS.readFile('/vostrel/collection/' + f))]));
    check(own.length > 60 && own.length === fs.readdirSync(out).length && own.every(
        ([f, bytes]) => String(fs.readFileSync(out + '/' + f).toJSON().data) === bytes), 'zip', name);
  },
  // Leaving the page asks first, or it 'stays' silent.
  leave: async (_, asks) => check(await b.run(() => !dispatchEvent(
      new Event('beforeunload', {cancelable: true}))) === (asks === 'asks'), 'leave', asks),
  // A stand-in for a folder the user chooses (Chromium's File System Access), and its files.
  folder: () => b.run(() => {
    const saved = window.saved = {};
    window.showDirectoryPicker = async () => ({
      name: 'Temperaments',
      getFileHandle: async (name, options) => name in saved || options?.create ? {
        createWritable: async () => ({write: async (d) => saved[name] = String(d), close() {}}),
      } : Promise.reject(new DOMException('', 'NotFoundError')),
    });
    document.getElementById('b-save-folder').className = '';
  }),
  saved: async (_, name, file) => check(await b.run((n) => window.saved[n], name) ===
      String(fs.readFileSync(file).toJSON().data), 'saved', name),
  // The page fits in this many columns, its controls 44 pixels tall when narrow.
  layout: async (_, columns) => check(String(await b.run(() => [
    document.documentElement.scrollWidth <= innerWidth,
    new Set([...document.querySelectorAll('main > section')].map((s) => s.offsetLeft)).size,
    ...[...document.querySelectorAll('main :is(input, select, button)')].filter((e) =>
      e.offsetHeight && e.offsetHeight < (innerWidth < 1000) * 44).map((e) => e.id),
  ])) === 'true,' + columns, 'layout', columns),
  // Tab from the first field reaches every control with a focus ring, in reading order (the first
  // round only: Chromium goes round again).
  async tabs() {
    await b.run(() => {
      window.ringed = [];
      document.addEventListener('focusin', ({target}) => getComputedStyle(target).outlineStyle !==
          'none' && !window.ringed.includes(target) && window.ringed.push(target));
    });
    await b.focus('Temperament ID');
    await b.key('Tab', 90);
    check(String(await b.run(tabbed)) === '', 'tabs', await b.run(tabbed));
  },
  contrast: async () => check(String(await b.run(faint)) === '', 'contrast', await b.run(faint)),
  // With full, the whole page.
  screenshot: (_, name, full) => engine === 'chromium' && process.env.VOSTREL_SCREENSHOT_DIR &&
      b.screenshot(path.join(process.env.VOSTREL_SCREENSHOT_DIR, name), full === 'full'),
};
Object.assign(STEPS, listenSteps(b, perform, native));

// The steps files: the scenarios in order, and the groups by name.
const groups = {};
let steps;
for (const line of stepFiles.flatMap((file) => String(fs.readFileSync(file)).split('\n'))) {
  const title = /^\[(.*)\]$/.exec(line)?.[1];
  if (title)
    steps = groups[title] = [];
  else if (/^\w/.test(line))
    steps.push(line);
}

async function run(line) {
  const [head, ...args] = line.split(/ = | \| /).map(arg);
  const [verb, ...label] = head.split(' ');
  const before = failures;
  await STEPS[verb](label.join(' '), ...args);
  if (failures > before)
    console.log('  at: ' + line);
}

try {
  for (const title in groups) {
    if (title[0] !== '@')
      console.log(engine + ': ' + title);
    for (const step of title[0] === '@' ? [] : groups[title])
      await run(step);
  }
  // Nothing but the page itself (Firefox reports no file: or blob: loads, WebDriver none).
  check(!b.requests.some((u) => u !== url && u !== 'data:,' && !u.startsWith('blob:')),
        'requests beyond the page', b.requests);
} finally {
  await b.close();
  fs.rmSync(tmp, {recursive: true, force: true});
}
console.log(failures + ' failed');
process.exit(failures ? 1 : 0);

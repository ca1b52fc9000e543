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

const [pagePath, native, ...stepFiles] = process.argv.slice(2).map((p) => path.resolve(p));
const url = 'file://' + pagePath;
const here = path.dirname(new URL(import.meta.url).pathname);
const tmp = fs.mkdtempSync(path.join(os.tmpdir(), 'vostrel-web-'));
const b = await launch(tmp);
let width;
let said = [];
const answers = [];

const arg = (text) => text.replace('{none}', '').replaceAll('{tmp}', tmp).replaceAll('{native}', native)
                          .replaceAll('{here}', here).replace(/\\x(..)/g, (x, h) =>
                            String.fromCharCode(parseInt(h, 16)));

// Does step, which starts one action of the page, and answers its dialogs until the action has
// ended: their texts go to said (a question's text after '|'); each is answered from answers,
// else by its first button. No dialog may be wider than its box.
async function perform(step) {
  const before = await b.run(() => document.body.dataset.actions);
  await step();
  said = [];
  const done = await poll(300, async () => {
    const open = await b.run(() => {
      const d = document.querySelector('dialog[open]');
      const input = d?.querySelector('input:not(.hidden)');
      return d && [d.querySelector('p, label').textContent + (input ? '|' + input.value : ''),
                   d.scrollWidth <= d.clientWidth, d.querySelector('button').textContent,
                   [...d.querySelectorAll('button')].map((e) => e.textContent)];
    });
    if (open) {
      said.push(open[0]);
      check(open[1], 'a dialog wider than its box', open[0]);
      const answer = answers.shift() ?? open[2];
      if (!open[3].includes(answer))
        await b.type(open[0].split('|')[0], answer);
      await b.click(open[3].includes(answer) ? answer : open[2]);
    }
    return !open && b.run((n) => !document.body.hasAttribute('data-busy') &&
                              document.body.dataset.actions !== n, before);
  });
  check(done, 'an action did not end', said);
}

// What the page shows, between '|': the descriptive fields, A-Pitch, each note's cents and pitch.
const shown = () => b.run(() => [...document.querySelectorAll('main input:not([type=file]), output')]
                                    .map((e) => e.value).join('|'));

// Opens the page; with reset, once more after its stored values are cleared.
async function visit(reset) {
  await b.open(url, width);
  await poll(200, () => b.run(() => document.body.dataset.ready));
  if (reset) {
    await b.run(() => localStorage.clear());
    await visit(false);
  }
}

// In the page: the controls that Tab reached without a focus ring, then, at a narrow width, a
// control Tab reached out of reading order (top to bottom, left to right).
function tabbed(narrow) {
  const all = [...document.querySelectorAll('input:not([type=file]), select, button, [tabindex]')]
                  .filter((e) => e.tabIndex >= 0 && !e.disabled && e.getClientRects().length &&
                                 !e.closest('dialog'));
  const unringed = all.filter((e) => !window.ringed.includes(e)).map((e) => e.id || e.textContent);
  const boxes = window.ringed.map((e) => e.getBoundingClientRect());
  const back = boxes.findIndex((r, k) => k && (r.top < boxes[k - 1].top - 2 ||
                                                Math.abs(r.top - boxes[k - 1].top) <= 2 &&
                                                r.left < boxes[k - 1].left));
  return unringed.concat(narrow && back > 0 ? [window.ringed[back].id] : []);
}

// In the page: every visible text whose contrast with its background is below 4.5:1.
function faint() {
  const luminance = (colour) => {
    const [r, g, bl] = colour.match(/[\d.]+/g).slice(0, 3).map((c) => {
      c /= 255;
      return c <= 0.03928 ? c / 12.92 : ((c + 0.055) / 1.055) ** 2.4;
    });
    return 0.2126 * r + 0.7152 * g + 0.0722 * bl;
  };
  const background = (e) => {
    for (; e; e = e.parentElement) {
      const colour = getComputedStyle(e).backgroundColor;
      if (!/, 0\)$|transparent/.test(colour))
        return colour;
    }
    return 'rgb(255, 255, 255)';
  };
  return [...document.querySelectorAll('body *')].filter((e) => {
    const text = e.matches('input, select, button') ||
        [...e.childNodes].some((n) => n.nodeType === 3 && n.textContent.trim());
    if (!text || !e.getClientRects().length || getComputedStyle(e).visibility === 'hidden')
      return false;
    const style = getComputedStyle(e);
    const [l1, l2] = [e instanceof SVGElement ? style.fill : style.color, background(e)]
                         .map(luminance).sort((x, y) => y - x);
    return (l1 + 0.05) / (l2 + 0.05) < 4.5;
  }).map((e) => e.id || e.textContent.slice(0, 30));
}

// The zip file's files, unpacked, against the page's own collection of host files.
async function sameFiles(zip) {
  const out = fs.mkdtempSync(path.join(tmp, 'zip-'));
  fs.writeFileSync(out + '.zip', zip);
  execFileSync('unzip', ['-q', out + '.zip', '-d', out]);
  const own = await b.run(() => Module.FS.readdir('/vostrel/collection').filter(
      (f) => f.endsWith('.xml')).map((f) => [f, [...Module.FS.readFile('/vostrel/collection/' + f)]]));
  return own.length > 60 && fs.readdirSync(out).length === own.length &&
      own.every(([f, bytes]) => fs.readFileSync(path.join(out, f)).equals(Buffer.from(bytes)));
}

// Each verb's step: (label or '', arguments).
const STEPS = {
  // A fresh page of this width (its stored values cleared) on a platform ('Win32', 'Linux').
  open: async (_, w, platform) => {
    width = Number(w);
    await visit(true);
    if (platform)
      await b.run((p) => {
        Object.defineProperty(navigator, 'userAgentData', {value: null});
        Object.defineProperty(navigator, 'platform', {value: p});
      }, platform);
  },
  // The same page opened again, as a later visit.
  visit: () => visit(false),
  do: async (_, name) => {
    for (const step of groups[name])
      await run(step);
  },
  // Types into a field emptied first, then leaves it with Tab.
  type: (label, text = '') => perform(async () => {
    await b.type(label, text);
    await b.key('Tab');
  }),
  press: (_, label) => perform(() => b.click(label)),
  enter: (_, label) => perform(async () => {
    await b.focus(label);
    await b.key('Enter');
  }),
  keys: async (label, keys) => {
    await b.focus(label);
    for (const key of keys.split(' '))
      await b.key(key);
  },
  pick: async (label, option) => b.run((e, o) => {
    e.value = [...e.options].find((x) => x.textContent === o).value;
  }, await b.element(label), option),
  files: (label, ...files) => perform(() => b.choose(label, files)),
  drop: (_, ...files) => perform(() => b.run((all) => {
    const data = new DataTransfer();
    for (const [name, bytes] of all)
      data.items.add(new File([new Uint8Array(bytes)], name));
    document.body.dispatchEvent(new DragEvent('drop', {dataTransfer: data, bubbles: true}));
  }, files.map((f) => [path.basename(f), [...fs.readFileSync(f)]]))),
  // The answers to the next questions: a button's label, or a text to type.
  answer: (_, ...texts) => answers.push(...texts),
  // The dialogs of the last action; a text ending in '…' is the start of one.
  said: (_, ...texts) => check(said.length === texts.length && texts.every(
      (t, k) => t.endsWith('…') ? said[k].startsWith(t.slice(0, -1)) : said[k] === t),
                               'said', said),
  shows: async (label, value) => {
    const seen = await b.run((e) => e.selectedOptions ? e.selectedOptions[0]?.textContent : e.value,
                             await b.element(label));
    check(seen === value, label, seen);
  },
  shown: async (_, text) => check(await shown() === text, 'shown', await shown()),
  visible: async (_, text) => check(await b.run((t) => document.body.innerText.includes(t),
                                                text), 'visible', text),
  write: (_, file, text) => fs.writeFileSync(file, text, 'latin1'),
  run: (_, command, ...args) => execFileSync(command, args, {stdio: 'inherit'}),
  // The file handed over under this name equals the file given (with CR LF: its lines so).
  file: async (_, name, file, lineEnds) => {
    const bytes = (await b.download(name))?.toString('latin1');
    const want = fs.readFileSync(file, 'latin1');
    check(bytes === (lineEnds ? want.replaceAll('\n', '\r\n') : want), 'file', name);
  },
  zip: async (_, name) => check(await sameFiles(await b.download(name)), 'zip', name),
  // The report's tables as vostrel-convert --report prints them for the file.
  report: async (_, file) => {
    const rows = execFileSync(path.join(native, 'vostrel-convert'), ['--report', file],
                              {encoding: 'latin1'}).split('\n').filter((l) => / [-+][\d.]+$/.test(l));
    const shownRows = await b.run(() => [...document.querySelectorAll('#fifths tbody tr, #thirds tbody tr')]
                                            .map((tr) => [...tr.cells].map((c) => c.textContent)
                                                             .join('\t')).join('\n'));
    check(shownRows === rows.map((r) => r.replace(/ +/, '-').replace(/ +/g, '\t')).join('\n'),
          'report', shownRows);
  },
  // Leaving the page asks first, or not ('stays').
  leave: async (_, asks) => check(await b.run(() => {
    const event = new Event('beforeunload', {cancelable: true});
    dispatchEvent(event);
    return event.defaultPrevented;
  }) === (asks === 'asks'), 'leave', asks),
  // A stand-in for the folder the browser lets the user choose (Chromium's File System Access).
  folder: () => b.run(() => {
    const saved = window.saved = {};
    const folder = {
      name: 'Temperaments',
      getFileHandle: async (name, options) => {
        if (!(name in saved) && !options?.create)
          throw new DOMException('none', 'NotFoundError');
        return {createWritable: async () => ({write: async (d) => saved[name] = [...d],
                                               close: async () => null})};
      },
    };
    window.showDirectoryPicker = async () => folder;
    document.getElementById('b-save-folder').classList.remove('hidden');
  }),
  saved: async (_, name, file) => check(Buffer.from(await b.run((n) => window.saved[n], name))
                                            .equals(fs.readFileSync(file)), 'saved', name),
  // The page fits the width in this many columns; on a narrow screen each control is 44 px tall;
  // "Save into a folder…" is offered where the browser can write into a folder.
  layout: async (_, columns) => {
    const seen = await b.run(() => [
      document.documentElement.scrollWidth,
      new Set([...document.querySelectorAll('main > section')].map((s) => s.offsetLeft)).size,
      !document.getElementById('b-save-folder').classList.contains('hidden') ===
          'showDirectoryPicker' in window,
      innerWidth,
      ...[...document.querySelectorAll('main :is(input, select, button)')].filter(
          (e) => e.getClientRects().length && e.offsetHeight < (innerWidth < 1000 ? 44 : 0))]);
    check(seen[0] <= seen[3] && seen[1] === Number(columns) && seen[2] && seen.length === 4,
          'layout', seen);
  },
  // Tab from the first field reaches every control with a focus ring, in reading order.
  tabs: async () => {
    await b.run(() => {
      window.ringed = [];
      // The first round only: Chromium goes round again after the last control.
      document.addEventListener('focusin', ({target}) => getComputedStyle(target).outlineStyle !==
          'none' && !window.ringed.includes(target) && window.ringed.push(target));
    });
    await b.focus('Temperament ID');
    for (let n = 0; n < 90; n++)
      await b.key('Tab');
    check((await b.run(tabbed, width < 1000)).length === 0, 'tabs', await b.run(tabbed, width < 1000));
  },
  contrast: async () => check((await b.run(faint)).length === 0, 'contrast', await b.run(faint)),
  screenshot: (_, name) => engine === 'chromium' && process.env.VOSTREL_SCREENSHOT_DIR &&
      b.screenshot(path.join(process.env.VOSTREL_SCREENSHOT_DIR, name)),
};

// Reads the steps files: the scenarios in order, and the groups by name.
const scenarios = [];
const groups = {};
let steps = [];
for (const file of stepFiles) {
  for (const line of fs.readFileSync(file, 'utf8').split('\n')) {
    const title = /^\[(@?)(.*)\]$/.exec(line);
    if (title)
      steps = title[1] ? groups[title[2]] = [] : scenarios[scenarios.push([title[2], []]) - 1][1];
    else if (/^\w/.test(line))
      steps.push(line);
  }
}

async function run(line) {
  const [head, ...args] = line.split(/ = | \| /).map(arg);
  const [verb, ...label] = head.split(' ');
  if (!check(verb in STEPS, 'no such step', line))
    return;
  const before = failures;
  await STEPS[verb](label.join(' '), ...args);
  if (failures > before)
    console.log('  at: ' + line);
}

try {
  for (const [title, steps] of scenarios) {
    console.log(engine + ': ' + title);
    for (const step of steps)
      await run(step);
  }
  // Nothing but the page itself (Firefox reports no file: or blob: loads; WebDriver none).
  const outside = b.requests.filter((u) => u !== url && u !== 'data:,' && !u.startsWith('blob:'));
  check(outside.length === 0, 'requests beyond the page', outside);
} finally {
  await b.close();
  fs.rmSync(tmp, {recursive: true, force: true});
}
console.log(failures + ' failed');
process.exit(failures ? 1 : 0);

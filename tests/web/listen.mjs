// listen.mjs - the steps of the scenarios of hearing, comparing, constructing and printing
// (tests/web/listen.ini), which scenarios.mjs runs with its own. Expected values come from the
// host files and vostrel-convert --report of the native build. Sound is the page's own: its
// graph rendered by an OfflineAudioContext put in the place of AudioContext ("offline").
import {execFileSync} from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';
import zlib from 'node:zlib';
import {check, poll} from './driver.mjs';

const RATE = 22050;
// The pitches of a host file's text.
const pitches = (text) => [...String(text).matchAll(/<PitchHz>([^<]*)/g)].map((m) => Number(m[1]));
const cents = (a, b) => Math.abs(1200 * Math.log2(a / b));

// The frequency of a signal sampled at rate that rises through zero once a period: the periods
// between its first and last rising crossing.
function frequency(s, rate) {
  const up = [];
  for (let i = 1; i < s.length; i++)
    if (s[i - 1] < 0 && s[i] >= 0)
      up.push(i - 1 + s[i - 1] / (s[i - 1] - s[i]));
  return (up.length - 1) * rate / (up.at(-1) - up[0]);
}

// The beat rate of the partials near hz: the frequency of their envelope (through a 40 ms Hann
// window, each 1 ms after the attack) about its mean.
function beats(s, hz) {
  const envelope = [];
  for (let t = 0.2 * RATE; t < s.length - RATE / 25; t += 22) {
    let re = 0, im = 0;
    for (let j = 0; j < RATE / 25; j++) {
      const a = 2 * Math.PI * j / RATE, w = s[t + j] * (1 - Math.cos(25 * a));
      re += w * Math.cos(hz * a);
      im += w * Math.sin(hz * a);
    }
    envelope.push(Math.hypot(re, im));
  }
  const mean = envelope.reduce((a, b) => a + b) / envelope.length;
  return frequency(envelope.map((e) => e - mean), RATE / 22);
}

// The steps, given the driver's page b, scenarios.mjs's perform and the native build.
export function listenSteps(b, perform, native) {
  const host = (name) => path.join(native, 'temperaments', name + '.Temperament.Hauptwerk.xml');
  // A host file's report rows: offsets (note, offset, pitch), then the fifths, major and minor
  // thirds (notes, size, from pure, beats).
  const report = (file) => execFileSync(path.join(native, 'vostrel-convert'), ['--report', file],
                                        {encoding: 'latin1'}).split('\n').map((l) => l.split(/ +/))
                               .filter((r) => /^[-+]\d/.test(r[1]) || /^\d+\.\d{3}$/.test(r[2]));
  // What the computer's keys held together on the page's keyboard sound, as text (far quicker
  // through WebDriver than numbers).
  const render = async (...keys) => {
    await b.run(() => document.getElementById('keyboard').focus());
    for (const key of keys)
      await b.down(key);
    const s = await b.run(async () => (await rendering.startRendering()).getChannelData(0).join());
    for (const key of keys)
      await b.up(key);
    return s.split(',').map(Number);
  };
  return {
    offline: () => b.run((rate) => {
      window.AudioContext = class extends OfflineAudioContext {
        constructor() {
          super(1, rate * 2.5, rate);
          window.rendering = this;
        }
        resume() {}
      };
    }, RATE),
    // What the page has scheduled, rendered: 2.5 s.
    render: () => render(),
    // The keys Q to U sound the octave from middle C at the host file's pitches; C and E
    // (keys Q and E) beat at the rate its report gives the major third C-E.
    sounds: async (_, file) => {
      const hz = pitches(fs.readFileSync(file, 'latin1'));
      for (const [k, key] of [...'q2w3er5t6y7u'].entries()) {
        const seen = frequency(await render(key), RATE);
        check(cents(seen, hz[60 + k]) < 0.1, 'the pitch of ' + key, seen);
      }
      const seen = beats(await render('q', 'e'), (5 * hz[60] + 4 * hz[64]) / 2);
      check(Math.abs(seen / report(file)[24][4] - 1) < 0.03, 'the beats of C-E', seen);
    },
    // Compared with the entry chosen: both offsets and their difference as the two reports give
    // them, then in the thirds chart the major and minor thirds' distances from pure of both.
    compared: async (_, mine, theirs) => {
      const [a, z] = [mine, theirs].map((name) => report(host(name)));
      const shown = await b.run(() => [...document.querySelectorAll(
          '#compare-offsets td, #thirds-chart rect title')].map((e) => e.textContent.split(' ').pop()));
      const want = a.slice(0, 12).flatMap((row, i) => [row[0], row[1], z[i][1], row[1] - z[i][1]])
                       .concat(...[24, 36].flatMap((k) => [a, z].map((r) => r.slice(k, k + 12).map((row) => row[3]))));
      check(want.every((w, k) => w === shown[k] || Math.abs(w - shown[k]) < 1e-9), 'compared', shown);
    },
    // Every entry of the collection, its fifths entered and applied, gives the pitches of its
    // own host file: for fifths the same but for the last bit of pow (the page's libm and the
    // native build's differ), within 0.001 cent for ratios and cents entered as fifths in cents
    // to three decimals (the report's). The pitches are those Generate writes: the last entry's.
    constructions: async () => {
      let hz;
      for (const line of fs.readFileSync(new URL('../../data/temperaments/collection.tsv',
                                                 import.meta.url), 'utf8').split('\n')) {
        const [id, , name, , construction = ''] = line.split('\t');
        const file = host(name?.replace(/[/\\:*?"<>|]/g, '-'));
        const fifths = construction.startsWith('fifths');
        const words = fifths ? construction.split(' ').slice(1).flatMap(
                                   (w) => Array(Number(w.split('*')[1] || 1)).fill(w.split('*')[0]))
                             : /^\d/.test(id) && report(file).slice(12, 24).map((row) => row[3]);
        if (!words)
          continue;
        // Each field set as typing leaves it (keystrokes: listen.ini), then Apply.
        hz = await b.run(async (all) => {
          document.querySelectorAll('#fifths-fields input').forEach((field, k) => {
            field.value = all[k];
            field.dispatchEvent(new Event('input'));
          });
          document.getElementById('b-fifths-apply').click();
          await new Promise((resolve) => setTimeout(resolve));
          return Page.report.hz.map((h) => Number(h.toPrecision(15)));
        }, words);
        const off = Math.max(...pitches(fs.readFileSync(file, 'latin1')).map((p, n) => cents(hz[n], p)));
        check(off <= (fifths ? 1e-9 : 0.001), 'the fifths of ' + name, off);
      }
      // The name Generate File proposes.
      const name = await b.run(() => document.getElementById('f-short').value);
      await perform(() => b.click('Generate File'));
      check(String(pitches(await b.download(name + '.Temperament.Hauptwerk.xml'))) === String(hz),
            'Generate', name);
    },
    // The sounding notes marked in the circle.
    marked: async (_, count) => check(await poll(50, () => b.run(
        (n) => document.querySelectorAll('#sounding circle').length === n, Number(count))),
        'marked', count),
    // Print: one page, A4 or Letter (where the driver prints), holding the offsets, the three
    // tables and the circle, and no control.
    printed: async () => {
      for (const format of ['A4', 'Letter']) {
        // Firefox keeps its page objects in compressed streams.
        const pdf = (await b.pdf(format))?.toString('latin1').split(/stream\r?\n/).map((s) => {
          try {
            return zlib.inflateSync(Buffer.from(s, 'latin1')).toString('latin1');
          } catch {
            return s;
          }
        });
        check(!pdf || pdf.join().match(/\/Type\s*\/Page\b/g).length === 1, 'pages', format);
      }
      // The print rules shown on the screen: what shows, or a control, is wrong.
      const wrong = await b.run(() => {
        for (const rule of document.styleSheets[0].cssRules)
          rule.media?.mediaText === 'print' && rule.media.appendMedium('screen');
        return [...document.querySelectorAll('#sheet-offsets, #fifths, #thirds, #minor-thirds, ' +
                                             '#circle, button, input, select')]
            .filter((e) => !e.getClientRects().length !== e.matches('button, input, select'))
            .map((e) => e.id);
      });
      check(wrong.length === 0, 'printed', wrong);
    },
  };
}

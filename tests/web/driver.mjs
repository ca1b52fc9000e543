// driver.mjs - the page in one of three engines, behind one set of steps that scenarios use:
// VOSTREL_BROWSER chromium (the default) or firefox, Debian's, driven by puppeteer-core; or
// webkit, WebKitGTK's MiniBrowser started by Debian's WebKitWebDriver (run under Xvfb), driven
// by selenium-webdriver through that driver only. Controls are found by their visible labels.
// WebDriver has no download control: there a download is read where the page hands it over,
// from the blob it creates.
import {execFileSync, spawn} from 'node:child_process';
import fs from 'node:fs';
import net from 'node:net';
import path from 'node:path';
import {setTimeout as sleep} from 'node:timers/promises';
import puppeteer from 'puppeteer-core';
import {Builder} from 'selenium-webdriver';

export const engine = process.env.VOSTREL_BROWSER || 'chromium';
export let failures = 0;

export function check(ok, what, seen) {
  if (!ok) {
    failures++;
    console.log('FAIL: ' + what + ': ' + JSON.stringify(seen));
  }
  return ok;
}

// Polls until test() gives a value, at most `tenths` times 0.1 s.
export async function poll(tenths, test) {
  for (let n = 0; n < tenths; n++) {
    const value = await test();
    if (value)
      return value;
    await sleep(100);
  }
  return null;
}

// In the page: the visible control of this label (a field's label, a button's or an option's
// text), or null.
function find(label) {
  const named = (e) => (e.labels && e.labels.length ? e.labels[0] : e).textContent.trim();
  return [...document.querySelectorAll('input, select, button, option')].find(
      (e) => named(e) === label && !e.closest('.hidden, dialog:not([open])'));
}

const KEYS = {Tab: '\uE004', Enter: '\uE007', ArrowDown: '\uE015', ArrowUp: '\uE013'};

// The engine's own steps; run takes a function and its arguments, executed in the page.
async function puppeteerSteps(tmp) {
  const firefox = engine === 'firefox';
  const browser = await puppeteer.launch({
    browser: firefox ? 'firefox' : 'chrome',
    executablePath: firefox ? '/usr/bin/firefox-esr' : '/usr/bin/chromium',
    headless: true,
    // The browser's own files (its crash database, say) in the temporary folder, not the home.
    env: {...process.env, HOME: tmp, XDG_CONFIG_HOME: tmp, XDG_CACHE_HOME: tmp},
    // Firefox's downloads panel, opened by a download, would take the focus from the page.
    extraPrefsFirefox: {'browser.download.alwaysOpenPanel': false},
    args: firefox ? [] : ['--no-sandbox', '--disable-component-update'],
  });
  let page;
  let downloads;
  const element = async (label) => (await page.evaluateHandle(find, label)).asElement();
  return {
    requests: [],
    async open(url, width) {
      await page?.close();
      page = await browser.newPage();
      page.on('request', (request) => this.requests.push(request.url()));
      page.on('pageerror', (error) => check(false, 'page error', error.message));
      page.on('console', (m) => check(m.type() !== 'error', 'console', m.text()));
      await page.setViewport({width, height: 800});
      downloads = fs.mkdtempSync(path.join(tmp, 'downloads-'));
      // Puppeteer sets a download folder only for a new browser context in Firefox, whose
      // storage would not hold the remembered values: WebDriver BiDi's command itself there.
      await (firefox ? browser.connection.send('browser.setDownloadBehavior', {
        downloadBehavior: {type: 'allowed', destinationFolder: downloads}})
                     : (await page.createCDPSession()).send('Browser.setDownloadBehavior', {
                       behavior: 'allow', downloadPath: downloads}));
      await page.goto(url);
    },
    run: (fn, ...args) => page.evaluate(fn, ...args),
    element,
    click: async (label) => (await element(label)).click(),
    // Types into the field, emptied by script first (an empty text: a blank, taken back, since
    // a change by script is not the user's).
    async type(label, text) {
      const e = await element(label);
      await e.evaluate((input, t) => input.focus() || (input.value = t ? '' : ' '), text);
      await (text ? e.type(text) : page.keyboard.press('Backspace'));
    },
    focus: async (label) => (await element(label)).focus(),
    key: (name) => page.keyboard.press(name),
    async choose(button, files) {
      const [chooser] = await Promise.all([page.waitForFileChooser(), this.click(button)]);
      await chooser.accept(files);
    },
    download: (name) => poll(100, () => {
      const file = path.join(downloads, name);
      return fs.existsSync(file) && !fs.existsSync(file + '.crdownload') &&
          fs.readFileSync(file);
    }),
    screenshot: (file) => page.screenshot({path: file}),
    close: () => browser.close(),
  };
}

async function webkitSteps(tmp) {
  const port = await new Promise((resolve) => {
    const server = net.createServer().listen(0, () => {
      const {port} = server.address();
      server.close(() => resolve(port));
    });
  });
  const driverProcess = spawn('WebKitWebDriver', ['--port=' + port], {
    stdio: 'ignore',
    env: {...process.env, HOME: tmp, XDG_DATA_HOME: tmp, XDG_CACHE_HOME: tmp},
  });
  const url = 'http://127.0.0.1:' + port;
  await poll(100, () => fetch(url + '/status').then((r) => r.ok, () => false));
  const binary = execFileSync('dpkg', ['-L', 'libwebkit2gtk-4.1-0'], {encoding: 'utf8'})
                     .split('\n').find((line) => line.endsWith('/MiniBrowser'));
  const driver = await new Builder().usingServer(url).withCapabilities({
    'browserName': 'MiniBrowser',
    'webkitgtk:browserOptions': {binary, args: ['--automation']},
  }).build();
  const run = (fn, ...args) => driver.executeScript('return (' + fn + ')(...arguments)', ...args);
  const element = (label) => run(find, label);
  return {
    requests: [],
    async open(pageUrl, width) {
      // The window's frame and the page's width differ by a constant. Without a window manager
      // the window has the focus only when given it.
      await driver.manage().window().setRect({width, height: 800});
      await driver.get(pageUrl);
      execFileSync('xdotool', ['search', '--onlyvisible', '--class', 'MiniBrowser', 'windowfocus',
                               '--sync']);
      const frame = width - (await run(() => innerWidth));
      await driver.manage().window().setRect({width: width + frame, height: 800});
      // Every blob handed over is kept, by the name of the link that takes it.
      await run(() => {
        const create = URL.createObjectURL;
        const click = HTMLAnchorElement.prototype.click;
        window.handedOver = {};
        URL.createObjectURL = (blob) => (window.blob = blob, create(blob));
        HTMLAnchorElement.prototype.click = function () {
          window.handedOver[this.download] = window.blob;
        };
      });
    },
    run,
    element,
    click: async (label) => (await element(label)).click(),
    async type(label, text) {
      // WebDriver's clear would fire a change event: the field is emptied by script.
      const e = await element(label);
      await run((input, t) => input.focus() || (input.value = t ? '' : ' '), e, text);
      await e.sendKeys(text || '\uE003');
    },
    focus: async (label) => run((e) => e.focus(), await element(label)),
    key: (name) => driver.actions().sendKeys(KEYS[name]).perform(),
    async choose(button, files) {
      const input = await run((b) => document.getElementById(b.getAttribute('aria-controls')),
                              await element(button));
      await input.sendKeys(files.join('\n'));
    },
    download: (name) => poll(100, async () => {
      const bytes = await run((n) => window.handedOver[n]?.arrayBuffer().then(
          (b) => [...new Uint8Array(b)]), name);
      return bytes && Buffer.from(bytes);
    }),
    screenshot: () => null,
    async close() {
      await driver.quit();
      driverProcess.kill();
    },
  };
}

export const launch = (tmp) => (engine === 'webkit' ? webkitSteps : puppeteerSteps)(tmp);

// driver.mjs - the page in one of three engines behind one set of steps: VOSTREL_BROWSER
// chromium (the default) or firefox, Debian's, driven by puppeteer-core; or webkit, WebKitGTK's
// MiniBrowser started by Debian's WebKitWebDriver (run under Xvfb), driven by
// selenium-webdriver through that driver only. Controls are found by their visible labels.
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

// In the page: the shown control of this label (a field's label, a button's or option's text).
function find(label) {
  return [...document.querySelectorAll('input, select, button, option')].find(
      (e) => (e.labels?.[0] || e).textContent.trim() === label &&
          !e.closest('.hidden, dialog:not([open])'));
}

// Puppeteer's steps: the browser's own files in tmp, each page's downloads in a folder of its own.
async function puppeteerSteps(tmp) {
  const firefox = engine === 'firefox';
  const browser = await puppeteer.launch({
    browser: firefox ? 'firefox' : 'chrome',
    executablePath: firefox ? '/usr/bin/firefox-esr' : '/usr/bin/chromium',
    env: {...process.env, HOME: tmp, XDG_CONFIG_HOME: tmp, XDG_CACHE_HOME: tmp},
    // Firefox's downloads panel, opened by a download, would take the focus from the page.
    extraPrefsFirefox: {'browser.download.alwaysOpenPanel': false},
    args: firefox ? [] : ['--no-sandbox', '--disable-component-update'],
  });
  let page;
  let downloads;
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
      // Firefox: WebDriver BiDi's own command (puppeteer's needs a context of its own, whose
      // storage would not keep the values of a visit).
      await (firefox ? browser.connection.send('browser.setDownloadBehavior', {
        downloadBehavior: {type: 'allowed', destinationFolder: downloads}})
                     : (await page.createCDPSession()).send('Browser.setDownloadBehavior', {
                       behavior: 'allow', downloadPath: downloads}));
      await page.goto(url);
    },
    run: (fn, ...args) => page.evaluate(fn, ...args),
    element: async (label) => (await page.evaluateHandle(find, label)).asElement(),
    send: (e, text) => e.type(text),
    async key(name, times = 1) {
      for (let n = 0; n < times; n++)
        await page.keyboard.press(name === 'Space' ? ' ' : name);
    },
    // A key held down, and let go.
    down: (name) => page.keyboard.down(name),
    up: (name) => page.keyboard.up(name),
    pdf: async (format) => Buffer.from(await page.pdf({format})),
    async choose(button, files) {
      const [chooser] = await Promise.all([page.waitForFileChooser(), this.click(button)]);
      await chooser.accept(files);
    },
    download: (name) => poll(100, () => {
      const file = path.join(downloads, name);
      return !fs.existsSync(file + '.crdownload') && fs.existsSync(file) && fs.readFileSync(file);
    }),
    screenshot: (file, fullPage) => page.screenshot({path: file, fullPage}),
    close: () => browser.close(),
  };
}

const KEYS = {Tab: '\uE004', Enter: '\uE007', Backspace: '\uE003', ArrowDown: '\uE015',
              ArrowUp: '\uE013', Escape: '\uE00C', Space: ' '};

// WebDriver's steps: a driver on a free port, one window, the blobs the page hands over kept.
async function webkitSteps(tmp) {
  const port = await new Promise((resolve) => {
    const server = net.createServer().listen(0, () => {
      const {port} = server.address();
      server.close(() => resolve(port));
    });
  });
  const driverProcess = spawn('WebKitWebDriver', ['--port=' + port],
                              {stdio: 'ignore', env: {...process.env, HOME: tmp, XDG_CACHE_HOME: tmp}});
  const url = 'http://127.0.0.1:' + port;
  await poll(100, () => fetch(url + '/status').then((r) => r.ok, () => false));
  const binary = execFileSync('dpkg', ['-L', 'libwebkit2gtk-4.1-0'], {encoding: 'utf8'})
                     .split('\n').find((line) => line.endsWith('/MiniBrowser'));
  const driver = await new Builder().usingServer(url).withCapabilities({
    'browserName': 'MiniBrowser',
    'webkitgtk:browserOptions': {binary, args: ['--automation']},
  }).build();
  const run = (fn, ...args) => driver.executeScript('return (' + fn + ')(...arguments)', ...args);
  const size = (width) => driver.manage().window().setRect({width, height: 800});
  return {
    requests: [],
    async open(pageUrl, width) {
      // The window is wider than the page by its frame. Without a window manager it has the
      // focus only when given it.
      // The page left never asks first (beforeunload), and it is left by a new window: leaving
      // a page that has shown a field in a dialog crashes WebKitGTK's web process.
      await run(() => addEventListener('beforeunload', (e) => e.stopImmediatePropagation(), true));
      const old = await driver.getWindowHandle();
      await driver.switchTo().newWindow('window');
      const fresh = await driver.getWindowHandle();
      await driver.switchTo().window(old);
      await driver.close();
      await driver.switchTo().window(fresh);
      await size(width);
      await driver.get(pageUrl);
      // Scripts fail until the page has loaded.
      await poll(100, () => run(() => document.readyState === 'complete').catch(() => false));
      await size(2 * width - await run(() => innerWidth));
      execFileSync('xdotool', ['search', '--onlyvisible', '--class', 'MiniBrowser', 'windowfocus',
                               '--sync']);
      await run(() => {
        const create = URL.createObjectURL;
        window.handedOver = {};
        URL.createObjectURL = (blob) => (window.blob = blob, create(blob));
        HTMLAnchorElement.prototype.click = function () {
          window.handedOver[this.download] = window.blob;
        };
      });
    },
    run,
    element: (label) => run(find, label),
    send: (e, text) => e.sendKeys(text),
    key: (name, times = 1) => driver.actions().sendKeys((KEYS[name] ?? name).repeat(times)).perform(),
    down: (name) => driver.actions().keyDown(name).perform(),
    up: (name) => driver.actions().keyUp(name).perform(),
    // WebKitWebDriver has no Print command.
    pdf: () => null,
    async choose(button, files) {
      await run((b) => document.getElementById(b.getAttribute('aria-controls')),
                await this.element(button)).then((input) => input.sendKeys(files.join('\n')));
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

// The engine's steps, and those made of them.
export async function launch(tmp) {
  const b = await (engine === 'webkit' ? webkitSteps : puppeteerSteps)(tmp);
  b.click = async (label) => (await b.element(label)).click();
  b.focus = async (label) => b.run((e) => e.focus(), await b.element(label));
  // Types into the field, emptied by script (an empty text: a blank taken back, since a change
  // made by script is not the user's).
  b.type = async (label, text) => {
    const e = await b.element(label);
    await b.run((input, t) => input.focus() || (input.value = t ? '' : ' '), e, text);
    await (text ? b.send(e, text) : b.key('Backspace'));
  };
  return b;
}

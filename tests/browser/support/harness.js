'use strict';
// Shared pieces of the browser tests: run lumivane-cli on pages written into a temporary folder,
// serve that folder on 127.0.0.1, and open the results in headless Chromium with every request
// that leaves this machine blocked and counted.

const { execFileSync } = require('node:child_process');
const fs = require('node:fs');
const http = require('node:http');
const os = require('node:os');
const path = require('node:path');
const { chromium } = require('playwright-core');

const CLI = process.env.LUMIVANE_CLI;
const CHROMIUM = process.env.CHROMIUM || '/usr/bin/chromium';

// Debian's Chromium, never a downloaded one; nothing in the background that would go online.
const LAUNCH = {
  executablePath: CHROMIUM,
  headless: true,
  args: [
    '--no-sandbox',
    '--disable-gpu',
    '--disable-quic',
    '--no-first-run',
    '--disable-background-networking',
    '--disable-component-update',
    '--disable-sync',
  ],
};

const DESKTOP = { width: 1280, height: 720 };
const PHONE = { width: 390, height: 844 };

function launchBrowser() {
  return chromium.launch(LAUNCH);
}

// The build tree keeps the snippet folder where installing puts it, in the data folder beside bin.
function snippetsFolder() {
  return path.join(path.dirname(CLI), '..', 'share', 'lumivane', 'snippets');
}

// The animation class names of the library, by family, as the fx files list them.
function fxClasses() {
  const read = (name) =>
    fs.readFileSync(path.join(snippetsFolder(), name), 'utf8').split('\n').filter((line) => line !== '');
  return { bounce: read('fx-bounce.txt'), slide: read('fx-slide.txt'), fade: read('fx-fade.txt') };
}

function classesOfFamily(family) {
  const fx = fxClasses();
  return family.split('+').flatMap((name) => fx[name]);
}

function makeTempFolder() {
  return fs.mkdtempSync(path.join(os.tmpdir(), 'lumivane-browser-'));
}

// Runs the program on one page and returns the path of the page it wrote.
function restyle(page, options) {
  const out = execFileSync(CLI, ['--yes', '--seed', '7', ...options, page], {
    encoding: 'utf8',
    stdio: ['ignore', 'pipe', 'pipe'],
    timeout: 60000,
  });
  const written = out.trim().split('\n').pop();
  if (!written || !fs.existsSync(written)) {
    throw new Error(`lumivane-cli wrote no page for ${page}: ${JSON.stringify(out)}`);
  }
  return written;
}

const TYPES = {
  '.html': 'text/html; charset=utf-8',
  '.css': 'text/css; charset=utf-8',
  '.js': 'text/javascript; charset=utf-8',
  '.svg': 'image/svg+xml',
  '.png': 'image/png',
};

// A static file server for one folder on a free port of 127.0.0.1.
async function serveFolder(root) {
  const server = http.createServer((request, response) => {
    const pathname = decodeURIComponent(new URL(request.url, 'http://127.0.0.1').pathname);
    if (pathname === '/favicon.ico') {
      response.writeHead(204).end();
      return;
    }
    const file = path.join(root, path.normalize(pathname).replace(/^([/\\])+/, ''));
    if (!file.startsWith(root) || !fs.existsSync(file) || !fs.statSync(file).isFile()) {
      response.writeHead(404, { 'content-type': 'text/plain' }).end('not found');
      return;
    }
    response.writeHead(200, {
      'content-type': TYPES[path.extname(file)] || 'application/octet-stream',
      'cache-control': 'no-store',
    });
    fs.createReadStream(file).pipe(response);
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  const base = `http://127.0.0.1:${server.address().port}`;
  return {
    base,
    url: (file) => `${base}/${path.relative(root, file).split(path.sep).map(encodeURIComponent).join('/')}`,
    close: () => new Promise((resolve) => server.close(resolve)),
  };
}

// A browser context whose requests stay on this machine, with a record of what went wrong:
// console errors, page errors, local requests that failed, and blocked outside requests.
async function openContext(browser, contextOptions = {}) {
  const context = await browser.newContext({ viewport: DESKTOP, ...contextOptions });
  const record = { blocked: [], consoleErrors: [], pageErrors: [], localFailures: [] };
  const isLocal = (url) => {
    const u = new URL(url);
    return u.protocol === 'data:' || u.protocol === 'about:' || u.hostname === '127.0.0.1';
  };
  await context.route('**/*', (route) => {
    const url = route.request().url();
    if (isLocal(url)) {
      return route.continue();
    }
    record.blocked.push(url);
    return route.abort('blockedbyclient');
  });
  context.on('page', (page) => watchPage(page, record, isLocal));
  return { context, record };
}

function watchPage(page, record, isLocal) {
  page.on('console', (message) => {
    if (message.type() !== 'error') {
      return;
    }
    // The browser reports each blocked outside request as a failed load: that is the blocking
    // at work, already counted, not a fault of the page.
    const where = message.location().url || '';
    if (/^Failed to load resource/.test(message.text()) && where && !isLocal(where)) {
      return;
    }
    record.consoleErrors.push(`${message.text()} (${where})`);
  });
  page.on('pageerror', (error) => record.pageErrors.push(String(error)));
  page.on('requestfailed', (request) => {
    if (isLocal(request.url())) {
      record.localFailures.push(`${request.url()}: ${request.failure() && request.failure().errorText}`);
    }
  });
  page.on('response', (response) => {
    if (isLocal(response.url()) && response.status() >= 400) {
      record.localFailures.push(`${response.url()}: HTTP ${response.status()}`);
    }
  });
}

function assertClean(assert, record) {
  assert.deepStrictEqual(record.consoleErrors, [], 'console errors');
  assert.deepStrictEqual(record.pageErrors, [], 'page errors');
  assert.deepStrictEqual(record.localFailures, [], 'failed local requests');
}

// The tagged elements in document order: tag, classes, the fx class, the duration attribute.
function taggedElements(page) {
  return page.$$eval('h1, img', (elements) =>
    elements.map((e) => ({
      tag: e.tagName.toLowerCase(),
      classes: [...e.classList],
      duration: e.getAttribute('data-wow-duration'),
    })),
  );
}

// Scrolls every element of the selector (every element of class wow) into view in turn, waiting
// until the reveal script has started it, then waits for every animation on the page to end.
async function scrollThroughAll(page, selector = '.wow', timeoutPerElement = 10000) {
  const count = await page.locator(selector).count();
  for (let i = 0; i < count; i++) {
    await page.evaluate(([which, index]) => {
      document.querySelectorAll(which)[index].scrollIntoView({ block: 'center' });
    }, [selector, i]);
    try {
      await page.waitForFunction(([which, index]) => document.querySelectorAll(which)[index].classList.contains('lv-in'), [selector, i], {
        timeout: timeoutPerElement,
      });
    } catch (error) {
      const what = await page.evaluate(([which, index]) => document.querySelectorAll(which)[index].outerHTML.slice(0, 120), [selector, i]);
      throw new Error(`element ${i} never revealed after scrolling to it: ${what}\n${error.message}`);
    }
  }
  await waitForAnimationsToEnd(page);
  return count;
}

// A finished animation that holds its end (fill-mode forwards, as a page's own library may use)
// stays listed; it no longer moves.
function waitForAnimationsToEnd(page, timeout = 30000) {
  return page.waitForFunction(() => document.getAnimations().every((a) => a.playState === 'finished'), null, {
    timeout,
    polling: 100,
  });
}

// What a visitor sees of each element of a selector: its computed opacity, visibility, animation
// name and duration, transform, and whether it has a box at all.
function looks(page, selector) {
  return page.$$eval(selector, (elements) =>
    elements.map((e) => {
      const style = getComputedStyle(e);
      const box = e.getBoundingClientRect();
      return {
        id: e.id || e.tagName.toLowerCase(),
        classes: [...e.classList],
        opacity: style.opacity,
        visibility: style.visibility,
        animationName: style.animationName,
        animationDuration: style.animationDuration,
        transform: style.transform,
        hasBox: box.width > 0 && box.height > 0,
      };
    }),
  );
}

module.exports = {
  CLI,
  CHROMIUM,
  DESKTOP,
  PHONE,
  assertClean,
  classesOfFamily,
  fxClasses,
  launchBrowser,
  looks,
  makeTempFolder,
  openContext,
  restyle,
  scrollThroughAll,
  serveFolder,
  snippetsFolder,
  taggedElements,
  waitForAnimationsToEnd,
};

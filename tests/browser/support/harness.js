'use strict';
// Shared pieces of the browser tests: run lumivane-cli on pages copied into a temporary folder
// (the pages of pages/site/, or pages made here), serve that folder on 127.0.0.1, and open the
// results in headless Chromium with every request that leaves this machine blocked and counted.

const assert = require('node:assert/strict');
const { execFileSync } = require('node:child_process');
const fs = require('node:fs');
const http = require('node:http');
const os = require('node:os');
const path = require('node:path');
const { after, before } = require('node:test');
const { chromium } = require('playwright-core');

const CLI = process.env.LUMIVANE_CLI;
const DESKTOP = { width: 1280, height: 720 };
const PHONE = { viewport: { width: 390, height: 844 }, isMobile: true, hasTouch: true };

// Debian's Chromium, never a downloaded one; nothing in the background that would go online.
function launchBrowser() {
  const args = ['no-sandbox', 'disable-gpu', 'disable-quic', 'no-first-run', 'disable-background-networking',
    'disable-component-update', 'disable-sync'];
  return chromium.launch({ executablePath: process.env.CHROMIUM || '/usr/bin/chromium', args: args.map((a) => `--${a}`) });
}

// The build tree keeps the snippet folder where installing puts it, in the data folder beside bin.
const snippetsFolder = () => path.join(path.dirname(CLI), '..', 'share', 'lumivane', 'snippets');

// The animation classes of a family ("bounce+fade"; all of them without one), as the fx files list them.
function fxClasses(family = 'bounce+slide+fade') {
  const read = (name) => fs.readFileSync(path.join(snippetsFolder(), `fx-${name}.txt`), 'utf8').split('\n');
  return family.split('+').flatMap(read).filter(Boolean);
}

// A static file server for one folder on a free port of 127.0.0.1.
async function serveFolder(root) {
  const types = { '.html': 'text/html; charset=utf-8', '.css': 'text/css', '.js': 'text/javascript', '.svg': 'image/svg+xml' };
  const server = http.createServer((request, response) => {
    const pathname = decodeURIComponent(new URL(request.url, 'http://127.0.0.1').pathname);
    if (pathname === '/favicon.ico') return response.writeHead(204).end();
    const file = path.join(root, pathname);
    if (!file.startsWith(root) || !fs.statSync(file, { throwIfNoEntry: false })?.isFile()) {
      response.writeHead(404, { 'content-type': 'text/plain' }).end('not found');
      return;
    }
    response.writeHead(200, { 'content-type': types[path.extname(file)] || 'application/octet-stream', 'cache-control': 'no-store' });
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

// For the tests of one file: a browser, a temporary folder holding the pages of pages/site/, and
// a server for that folder.
function setUp() {
  const env = {};
  before(async () => {
    env.browser = await launchBrowser();
    env.folder = fs.mkdtempSync(path.join(os.tmpdir(), 'lumivane-browser-'));
    fs.cpSync(path.join(__dirname, '..', 'pages', 'site'), env.folder, { recursive: true });
    env.server = await serveFolder(env.folder);
  });
  after(async () => {
    await env.browser?.close();
    await env.server?.close();
    if (env.folder) fs.rmSync(env.folder, { recursive: true, force: true });
  });
  return env;
}

// Writes a page into the folder (a page of pages/site/ changed by `edit`, or the given text) and
// returns its path.
function writePage(env, name, { from, edit = (text) => text, text } = {}) {
  const file = path.join(env.folder, name);
  fs.writeFileSync(file, text ?? edit(fs.readFileSync(path.join(env.folder, from), 'utf8')));
  return file;
}

// Runs the program on one page of the folder and returns the path of the page it wrote.
function restyle(env, page, options) {
  const source = path.isAbsolute(page) ? page : path.join(env.folder, page);
  const out = execFileSync(CLI, ['--yes', '--seed', '7', ...options, source], { encoding: 'utf8', stdio: 'pipe', timeout: 60000 });
  const written = out.trim().split('\n').pop();
  if (!written || !fs.existsSync(written)) throw new Error(`lumivane-cli wrote no page for ${page}: ${JSON.stringify(out)}`);
  return written;
}

// A browser context whose requests stay on this machine, with a record of what went wrong:
// console errors, page errors, local requests that failed, and blocked outside requests.
async function openContext(browser, contextOptions = {}) {
  const context = await browser.newContext({ viewport: DESKTOP, ...contextOptions });
  const record = { blocked: [], consoleErrors: [], pageErrors: [], localFailures: [] };
  const isLocal = (url) => /^(data|about):/.test(url) || new URL(url).hostname === '127.0.0.1';
  await context.route('**/*', (route) => {
    if (isLocal(route.request().url())) return route.continue();
    record.blocked.push(route.request().url());
    return route.abort('blockedbyclient');
  });
  context.on('page', (page) => {
    page.on('console', (message) => {
      // The browser reports each blocked outside request as a failed load: that is the blocking
      // at work, already counted, not a fault of the page.
      const where = message.location().url || '';
      if (message.type() !== 'error' || (/^Failed to load resource/.test(message.text()) && where && !isLocal(where))) return;
      record.consoleErrors.push(`${message.text()} (${where})`);
    });
    page.on('pageerror', (error) => record.pageErrors.push(String(error)));
    page.on('requestfailed', (request) => {
      if (isLocal(request.url())) record.localFailures.push(`${request.url()}: ${request.failure()?.errorText}`);
    });
    page.on('response', (response) => {
      if (isLocal(response.url()) && response.status() >= 400) record.localFailures.push(`${response.url()}: HTTP ${response.status()}`);
    });
  });
  return { context, record };
}

// A new tab on a written page; `prepare` sets up the context first. close() checks that nothing
// went wrong, unless told not to.
async function open(env, file, { prepare, ...contextOptions } = {}) {
  const { context, record } = await openContext(env.browser, contextOptions);
  await prepare?.(context);
  const page = await context.newPage();
  if (file) await page.goto(env.server.url(file));
  const close = async (clean = true) => {
    if (clean) {
      for (const kind of ['consoleErrors', 'pageErrors', 'localFailures']) assert.deepStrictEqual(record[kind], [], kind);
    }
    await context.close();
  };
  return { page, record, close };
}
// Scrolls every element of the selector into view in turn, waiting until the reveal script has
// started it, then waits for every animation on the page to end. Returns how many there were.
async function scrollThroughAll(page, selector = '.wow') {
  const count = await page.locator(selector).count();
  for (let i = 0; i < count; i++) {
    const element = page.locator(selector).nth(i);
    await element.evaluate((e) => e.scrollIntoView({ block: 'center' }));
    await element.evaluate((e) => new Promise((resolve, reject) => {
      const timer = setTimeout(() => reject(new Error(`never revealed after scrolling to it: ${e.outerHTML.slice(0, 120)}`)), 10000);
      const check = () => (e.classList.contains('lv-in') ? (clearTimeout(timer), resolve()) : requestAnimationFrame(check));
      check();
    }));
  }
  await waitForAnimationsToEnd(page);
  return count;
}

// A finished animation that holds its end (fill-mode forwards, as a page's own library may use)
// stays listed; it no longer moves.
function waitForAnimationsToEnd(page) {
  return page.waitForFunction(() => document.getAnimations().every((a) => a.playState === 'finished'), null, {
    timeout: 30000,
    polling: 100,
  });
}

// What a visitor sees of each element of a selector.
function looks(page, selector) {
  return page.$$eval(selector, (elements) => elements.map((e) => {
    const { opacity, visibility, animationName, animationDuration, transform } = getComputedStyle(e);
    const { width, height } = e.getBoundingClientRect();
    const [id, classes, duration, animations] = [e.id, [...e.classList], e.getAttribute('data-wow-duration'), e.getAnimations().length];
    return { id, classes, duration, opacity, visibility, animationName, animationDuration, transform, animations, hasBox: width > 0 && height > 0 };
  }));
}

module.exports = {
  DESKTOP, PHONE, fxClasses, launchBrowser, looks, open, openContext, restyle, scrollThroughAll, serveFolder,
  setUp, snippetsFolder, waitForAnimationsToEnd, writePage,
};

'use strict';
// Shared pieces of the browser tests: lumivane-cli run on pages in a temporary folder, that folder
// served on 127.0.0.1, Debian's Chromium with every request that leaves this machine blocked.
const assert = require('node:assert/strict');
const { execFileSync } = require('node:child_process');
const fs = require('node:fs');
const http = require('node:http');
const os = require('node:os');
const path = require('node:path');
const { after, before } = require('node:test');
const { chromium } = require('playwright-core');

const CLI = process.env.LUMIVANE_CLI;
const PHONE = { viewport: { width: 390, height: 844 }, isMobile: true, hasTouch: true };
// The build tree keeps the snippet folder where installing puts it, in the data folder beside bin.
const snippets = path.join(path.dirname(CLI ?? '.'), '..', 'share', 'lumivane', 'snippets');
const fxClasses = () => ['bounce', 'slide', 'fade'].flatMap((n) => fs.readFileSync(`${snippets}/fx-${n}.txt`, 'utf8').split('\n')).filter(Boolean);
const TYPES = { '.html': 'text/html', '.css': 'text/css', '.js': 'text/javascript', '.svg': 'image/svg+xml' };

// A browser, and a server for a folder: the given one, or a new one with the pages of pages/site/. Pages go
// out without a charset, as many servers send them; "?noscript" adds a policy that runs no script.
async function start(folder) {
  const args = ['no-sandbox', 'disable-gpu', 'disable-quic', 'no-first-run', 'disable-background-networking',
    'disable-component-update', 'disable-sync'].map((a) => `--${a}`);
  const env = { browser: await chromium.launch({ executablePath: process.env.CHROMIUM || '/usr/bin/chromium', args }) };
  env.folder = folder ?? fs.mkdtempSync(path.join(os.tmpdir(), 'lumivane-browser-'));
  if (!folder) fs.cpSync(path.join(__dirname, '..', 'pages', 'site'), env.folder, { recursive: true });
  env.server = http.createServer((request, response) => {
    const url = new URL(request.url, 'http://127.0.0.1');
    const file = path.join(env.folder, decodeURIComponent(url.pathname));
    if (!fs.statSync(file, { throwIfNoEntry: false })?.isFile()) return response.writeHead(url.pathname === '/favicon.ico' ? 204 : 404).end();
    const csp = url.search === '?noscript' ? { 'content-security-policy': "script-src 'none'" } : {};
    response.writeHead(200, { 'content-type': TYPES[path.extname(file)], 'cache-control': 'no-store', ...csp });
    fs.createReadStream(file).pipe(response);
  });
  await new Promise((resolve) => env.server.listen(0, '127.0.0.1', resolve));
  env.base = `http://127.0.0.1:${env.server.address().port}`;
  env.url = (file) => `${env.base}/${path.relative(env.folder, file)}`;
  return env;
}
const stop = async (env) => (env.server?.close(), env.folder && fs.rmSync(env.folder, { recursive: true, force: true }), env.browser?.close());
// The same for the tests of one file, then `prepare`.
function setUp(prepare) {
  const env = {};
  before(async () => (Object.assign(env, await start()), prepare?.()));
  after(() => stop(env));
  return env;
}

// Runs the program on a page (a path, or a name in the folder) and returns the page it wrote.
function restyle(env, page, options = []) {
  const written = execFileSync(CLI, ['--yes', '--seed', '7', ...options, path.resolve(env.folder, page)], { encoding: 'utf8' }).trim();
  assert.ok(fs.existsSync(written), `lumivane-cli wrote no page for ${page}: ${written}`);
  return written;
}

// A new tab, on the given page if any. record.blocked holds the outside requests; record.faults
// console errors, page errors and local requests that failed, which close() checks.
async function open(env, file, { prepare, ...contextOptions } = {}) {
  const context = await env.browser.newContext({ viewport: { width: 1280, height: 720 }, ...contextOptions });
  const record = { blocked: [], faults: [] };
  const isLocal = (url) => /^(data|about):/.test(url) || new URL(url).hostname === '127.0.0.1';
  await context.route('**/*', (route) => (isLocal(route.request().url()) ? route.continue()
    : (record.blocked.push(route.request().url()), route.abort('blockedbyclient'))));
  // Every frame from the first records how far the page is wider than the screen, in window.widest.
  await context.addInitScript(() => requestAnimationFrame(function sample() {
    const root = document.scrollingElement;
    window.widest = Math.max(window.widest ?? 0, root ? root.scrollWidth - root.clientWidth : 0);
    requestAnimationFrame(sample);
  }));
  await prepare?.(context);
  const page = await context.newPage();
  // A blocked outside request shows as a failed load: that is the blocking at work, counted above.
  page.on('console', (m) => m.type() === 'error' && isLocal(m.location().url || env.base) && record.faults.push(m.text()));
  page.on('pageerror', (error) => record.faults.push(String(error)));
  page.on('requestfailed', (r) => isLocal(r.url()) && record.faults.push(`${r.url()}: ${r.failure()?.errorText}`));
  if (file) await page.goto(env.url(file));
  const close = async () => (assert.deepEqual(record.faults, []), context.close());
  return { page, record, close };
}

// Scrolls every element of the selector into view in turn until the reveal script has started it, then
// waits for every animation to end (or hold its end, as a page's own may). Returns how many there were.
async function scrollThroughAll(page, selector = '.wow') {
  const count = await page.locator(selector).count();
  for (let i = 0; i < count; i++) {
    const element = await page.locator(selector).nth(i).elementHandle();
    await element.evaluate((e) => e.scrollIntoView({ block: 'center' }));
    await page.waitForFunction((e) => e.classList.contains('lv-in'), element, { timeout: 10000, polling: 'raf' })
      .catch(async () => assert.fail(`never revealed: ${await element.evaluate((e) => e.outerHTML.slice(0, 120))}`));
  }
  await animationsEnded(page);
  return count;
}
const animationsEnded = (page) =>
  page.waitForFunction(() => document.getAnimations().every((a) => a.playState === 'finished'), null, { timeout: 30000, polling: 100 });

// What a visitor sees of each element of a selector.
const looks = (page, selector) => page.$$eval(selector, (all) => all.map((e) => {
  const { opacity, visibility, animationName, animationDuration, transform } = getComputedStyle(e);
  const hasBox = e.getBoundingClientRect().width * e.getBoundingClientRect().height > 0;
  const animations = e.getAnimations().length;
  return { id: e.id, classes: [...e.classList], opacity, visibility, animationName, animationDuration, transform, animations, hasBox };
}));

module.exports = { PHONE, animationsEnded, fxClasses, looks, open, restyle, scrollThroughAll, setUp, snippets, start, stop };

'use strict';
// Shared pieces of the browser tests: lumivane-cli run on copies of pages/site/ in a temporary
// folder, that folder served on 127.0.0.1, and Debian's Chromium with every request that leaves
// this machine blocked and counted.

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
// The animation classes of a family ("bounce+fade"), as the fx files list them.
const fxClasses = (family = 'bounce+slide+fade') => family.split('+')
  .flatMap((name) => fs.readFileSync(path.join(snippets, `fx-${name}.txt`), 'utf8').split('\n')).filter(Boolean);

// Pages go out as text/html without a charset, as many servers send them: the page's bytes decide
// its encoding. "?noscript" adds a policy that runs no script while the parser still has scripting on.
function serve(root, request, response) {
  const url = new URL(request.url, 'http://127.0.0.1');
  const file = path.join(root, decodeURIComponent(url.pathname));
  if (url.pathname === '/favicon.ico') return response.writeHead(204).end();
  if (!fs.statSync(file, { throwIfNoEntry: false })?.isFile()) return response.writeHead(404).end();
  const types = { '.html': 'text/html', '.css': 'text/css', '.js': 'text/javascript', '.svg': 'image/svg+xml' };
  const headers = { 'content-type': types[path.extname(file)] ?? 'application/octet-stream', 'cache-control': 'no-store' };
  if (url.search === '?noscript') headers['content-security-policy'] = "script-src 'none'";
  response.writeHead(200, headers);
  fs.createReadStream(file).pipe(response);
}

// A browser, and a server on 127.0.0.1 for a folder: the given one, or a new temporary one holding
// the pages of pages/site/. env.url(file) is a file's address there; stop() removes the folder.
async function start(folder) {
  const args = ['no-sandbox', 'disable-gpu', 'disable-quic', 'no-first-run', 'disable-background-networking',
    'disable-component-update', 'disable-sync'].map((a) => `--${a}`);
  const env = { browser: await chromium.launch({ executablePath: process.env.CHROMIUM || '/usr/bin/chromium', args }) };
  env.folder = folder ?? fs.mkdtempSync(path.join(os.tmpdir(), 'lumivane-browser-'));
  if (!folder) fs.cpSync(path.join(__dirname, '..', 'pages', 'site'), env.folder, { recursive: true });
  env.server = http.createServer((request, response) => serve(env.folder, request, response));
  await new Promise((resolve) => env.server.listen(0, '127.0.0.1', resolve));
  env.base = `http://127.0.0.1:${env.server.address().port}`;
  env.url = (file) => `${env.base}/${path.relative(env.folder, file).split(path.sep).map(encodeURIComponent).join('/')}`;
  return env;
}
async function stop(env) {
  await env.browser?.close();
  env.server?.close();
  if (env.folder) fs.rmSync(env.folder, { recursive: true, force: true });
}
// The same for the tests of one file, then `prepare` on it.
function setUp(prepare) {
  const env = {};
  before(async () => {
    Object.assign(env, await start());
    await prepare?.();
  });
  after(() => stop(env));
  return env;
}

// Runs the program on a page (a path, or a name in the folder) and returns the page it wrote.
function restyle(env, page, options = []) {
  const out = execFileSync(CLI, ['--yes', '--seed', '7', ...options, path.resolve(env.folder, page)], { encoding: 'utf8', timeout: 60000 });
  const written = out.trim().split('\n').pop();
  assert.ok(written && fs.existsSync(written), `lumivane-cli wrote no page for ${page}: ${out}`);
  return written;
}

// A new tab, on the given page if any, whose requests stay on this machine. record.blocked holds
// the outside requests; record.faults console errors, page errors and local requests that failed.
// close() checks that there were no faults, unless told not to.
async function open(env, file, { prepare, ...contextOptions } = {}) {
  const context = await env.browser.newContext({ viewport: { width: 1280, height: 720 }, ...contextOptions });
  const record = { blocked: [], faults: [] };
  const isLocal = (url) => /^(data|about):/.test(url) || new URL(url).hostname === '127.0.0.1';
  await context.route('**/*', (route) => {
    if (isLocal(route.request().url())) return route.continue();
    record.blocked.push(route.request().url());
    return route.abort('blockedbyclient');
  });
  await prepare?.(context);
  const page = await context.newPage();
  // A blocked outside request shows as a failed load: that is the blocking at work, counted above.
  page.on('console', (m) => m.type() === 'error' && isLocal(m.location().url || env.base) && record.faults.push(m.text()));
  page.on('pageerror', (error) => record.faults.push(String(error)));
  page.on('requestfailed', (r) => isLocal(r.url()) && record.faults.push(`${r.url()}: ${r.failure()?.errorText}`));
  if (file) await page.goto(env.url(file));
  const close = async (clean = true) => {
    if (clean) assert.deepEqual(record.faults, []);
    await context.close();
  };
  return { page, record, close };
}

// Scrolls every element of the selector into view in turn, waiting until the reveal script has
// started it, then waits for every animation on the page to end (one that holds its end, as a
// page's own library may make it, counts as ended). Returns how many elements there were.
async function scrollThroughAll(page, selector = '.wow') {
  const count = await page.locator(selector).count();
  for (let i = 0; i < count; i++) {
    const element = page.locator(selector).nth(i);
    await element.evaluate((e) => e.scrollIntoView({ block: 'center' }));
    await page.waitForFunction((e) => e.classList.contains('lv-in'), await element.elementHandle(), { timeout: 10000, polling: 'raf' })
      .catch(async () => assert.fail(`never revealed: ${await element.evaluate((e) => e.outerHTML.slice(0, 120))}`));
  }
  await animationsEnded(page);
  return count;
}
const animationsEnded = (page) =>
  page.waitForFunction(() => document.getAnimations().every((a) => a.playState === 'finished'), null, { timeout: 30000, polling: 100 });

// What a visitor sees of each element of a selector.
const looks = (page, selector) => page.$$eval(selector, (elements) => elements.map((e) => {
  const { opacity, visibility, animationName, animationDuration, transform } = getComputedStyle(e);
  const { width, height } = e.getBoundingClientRect();
  return { id: e.id, classes: [...e.classList], opacity, visibility, animationName, animationDuration, transform,
    animations: e.getAnimations().length, hasBox: width > 0 && height > 0 };
}));

module.exports = { PHONE, animationsEnded, fxClasses, looks, open, restyle, scrollThroughAll, setUp, snippets, start, stop };

'use strict';
// The written page is the source page as a browser reads it, plus only what the options add.
// Every page of pages/fidelity/ and of the shared cut-down pages (LUMIVANE_FIDELITY_DIR, beside the
// repository by default) is restyled with the defaults, with every option on and without the web font;
// Chromium's reading of each output - encoding, rendering mode, node tree with our inserts taken
// out - must equal its reading of the source, and so must the picture a visitor sees.

const assert = require('node:assert/strict');
const fs = require('node:fs');
const path = require('node:path');
const { before, describe, test } = require('node:test');

const h = require('./support/harness');
const { readDocument, treeDiff, withoutOurs } = require('./support/tree');

const htmlIn = (folder) => (!fs.existsSync(folder) ? [] :
  fs.readdirSync(folder).filter((name) => name.endsWith('.html')).sort().map((name) => path.join(folder, name)));
const shared = process.env.LUMIVANE_FIDELITY_DIR || path.resolve(__dirname, '../../../shared/fidelity');
const sharedPages = htmlIn(shared);
const pages = [...htmlIn(path.join(__dirname, 'pages', 'fidelity')), ...sharedPages];

const VARIANTS = {
  defaults: () => [],
  'every option': (back) => ['--animations', 'bounce+slide', '--speed', 'slow', '--h1', '40', '--back-redirect', back],
  // Under reduced motion our stylesheet shows everything at once, and without the web font
  // nothing else of ours is visible: this output must look exactly like its source. Static pages
  // on one machine give the same pixels every time, so no difference at all is allowed.
  'no font': (back) => ['--no-font', '--back-redirect', back],
};

describe('restyled pages read as their source', () => {
  const fx = Object.values(h.fxClasses()).flat();
  const tabs = {};
  const env = h.setUp();

  // One tab per way of reading, reused (a new tab costs more than a page load). Pages go out as
  // text/html without a charset, as many servers send them: the page's bytes decide its encoding.
  async function open(options, headers = {}) {
    const { context } = await h.openContext(env.browser, options);
    await context.route('**/*.html', (route) => {
      const file = path.join(env.folder, decodeURIComponent(new URL(route.request().url()).pathname));
      route.fulfill({ headers: { 'content-type': 'text/html', ...headers }, body: fs.readFileSync(file) });
    });
    return context.newPage();
  }

  before(async () => {
    // Two parses, both compared. Visitors' browsers parse with scripting on (a <noscript> in the
    // head is then text); a policy that runs no script keeps that parse while stopping scripts -
    // ours mark <html>, a page's own may do anything - from changing the tree before it is read.
    // With JavaScript off <noscript> holds markup, as visitors without JavaScript get it.
    tabs['scripting on'] = await open({}, { 'content-security-policy': "script-src 'none'" });
    tabs['scripting off'] = await open({ javaScriptEnabled: false });
    tabs.seen = await open({ reducedMotion: 'reduce' });
  });

  async function read(tab, file) {
    await tab.goto(env.server.url(file));
    return tab === tabs.seen ? tab.screenshot({ animations: 'disabled', caret: 'hide' }) : tab.evaluate(readDocument);
  }

  // How many pixels two screenshots differ in, counted by the browser.
  async function differentPixels(pictures) {
    await tabs.seen.goto('about:blank');
    return tabs.seen.evaluate(async (urls) => {
      const [a, b] = await Promise.all(urls.map(async (url) => {
        const image = new Image();
        image.src = url;
        await image.decode();
        const canvas = new OffscreenCanvas(image.width, image.height).getContext('2d');
        canvas.drawImage(image, 0, 0);
        return new Uint32Array(canvas.getImageData(0, 0, image.width, image.height).data.buffer);
      }));
      return a.length !== b.length ? 'all' : a.filter((pixel, i) => pixel !== b[i]).length;
    }, pictures.map((png) => `data:image/png;base64,${png.toString('base64')}`));
  }

  // A developer may lack the shared pages; CI must not pass without reading them.
  if (sharedPages.length === 0) {
    const missing = `no shared pages (*.html) in ${shared} (the CMake cache option LUMIVANE_FIDELITY_DIR)`;
    if (process.env.CI) test('shared pages', () => assert.fail(missing));
    else test('shared pages', { skip: missing }, () => {});
  }

  for (const file of pages) {
    const name = path.basename(file);
    test(path.relative(path.resolve(file, '../../..'), file), async () => {
      const source = {};
      const problems = new Map(); // difference -> where it shows
      const report = (where, difference) => problems.set(difference, [...(problems.get(difference) ?? []), where]);
      for (const [index, [variant, options]] of Object.entries(VARIANTS).entries()) {
        // A folder per variant, as the output is named after the page.
        const copy = path.join(env.folder, String(index), name);
        fs.mkdirSync(path.dirname(copy), { recursive: true });
        fs.copyFileSync(file, copy);
        for (const reading of Object.keys(tabs)) source[reading] ??= await read(tabs[reading], copy);
        const output = h.restyle(env, copy, options(`${env.server.base}/back.html`));
        for (const reading of ['scripting on', 'scripting off']) {
          const tree = await read(tabs[reading], output);
          const difference = treeDiff(source[reading], withoutOurs(tree, fx, source[reading]));
          if (difference) report(`${variant}, ${reading}`, difference);
        }
        if (variant === 'no font') {
          const seen = await read(tabs.seen, output);
          const pixels = seen.equals(source.seen) ? 0 : await differentPixels([source.seen, seen]);
          if (pixels) report(`${variant}, seen with reduced motion`, `  ${pixels} pixels differ`);
        }
      }
      if (problems.size > 0) {
        assert.fail([...problems].map(([difference, where]) => `${where.join('; ')}:\n${difference}`).join('\n'));
      }
    });
  }
});

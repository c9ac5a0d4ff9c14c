'use strict';
// The written page is the source page as a browser reads it, plus only what the options add.
// Every page of pages/fidelity/ and of the shared cut-down pages (LUMIVANE_FIDELITY_DIR, beside the
// repository by default) is restyled with every option on, then without the web font; Chromium's
// reading of each output - encoding, rendering mode, node tree without our inserts - must equal its
// reading of the source, and so must the picture a visitor sees of the last.

const assert = require('node:assert/strict');
const fs = require('node:fs');
const path = require('node:path');
const { test } = require('node:test');

const h = require('./support/harness');
const { readDocument, treeDiff, withoutOurs } = require('./support/tree');

const htmlIn = (folder) => (fs.existsSync(folder) ? fs.readdirSync(folder) : [])
  .filter((n) => n.endsWith('.html')).sort().map((n) => path.join(folder, n));
const shared = process.env.LUMIVANE_FIDELITY_DIR || path.resolve(__dirname, '../../../shared/fidelity');
// Under reduced motion our stylesheet shows everything at once, and without the web font nothing else of ours shows.
const VARIANTS = [['--animations', 'bounce+slide', '--speed', 'slow', '--h1', '40', '--back-redirect', 'http://127.0.0.1/landing.html'], ['--no-font']];
const tabs = {};

// One tab per way of reading, reused. Visitors' browsers parse with scripting on (a <noscript> in the head
// is then text); a policy that runs no script keeps that parse while stopping scripts - ours mark <html>,
// a page's own may do anything - from changing the tree before it is read. Without JavaScript <noscript> holds markup.
const env = h.setUp(async () => {
  for (const [name, options] of [['scripting on'], ['scripting off', { javaScriptEnabled: false }], ['seen', { reducedMotion: 'reduce' }]]) {
    tabs[name] = (await h.open(env, null, options)).page;
  }
});
async function read(tab, file) {
  await tabs[tab].goto(env.url(file) + (tab === 'scripting on' ? '?noscript' : ''));
  return tab === 'seen' ? tabs.seen.screenshot({ animations: 'disabled', caret: 'hide' }) : tabs[tab].evaluate(readDocument);
}

// A developer may lack the shared pages; CI must not pass without reading them.
const missing = htmlIn(shared).length === 0 && `no shared pages (*.html) in ${shared} (the CMake cache option LUMIVANE_FIDELITY_DIR)`;
if (missing) test('shared pages', { skip: !process.env.CI && missing }, () => assert.fail(missing));

for (const file of [...htmlIn(path.join(__dirname, 'pages', 'fidelity')), ...htmlIn(shared)]) {
  test(path.relative(path.resolve(file, '../../..'), file), async () => {
    const copy = path.join(env.folder, path.basename(file));
    fs.copyFileSync(file, copy);
    const source = {};
    for (const tab of Object.keys(tabs)) source[tab] = await read(tab, copy);
    const problems = [];
    let output;
    for (const options of VARIANTS) {
      output = h.restyle(env, copy, options);
      for (const tab of ['scripting on', 'scripting off']) {
        const difference = treeDiff(source[tab], withoutOurs(await read(tab, output), source[tab]));
        if (difference) problems.push(`${options.join(' ')}, ${tab}:\n${difference}`);
      }
    }
    // Static pages on one machine give the same pixels every time: no difference is allowed.
    if (!(await read('seen', output)).equals(source.seen)) problems.push('--no-font: the picture differs');
    if (problems.length > 0) assert.fail(problems.join('\n'));
  });
}

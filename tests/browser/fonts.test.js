'use strict';
// The web font and heading sizes as a browser applies them. The font service is outside this
// machine, so its request is blocked and counted; the computed style names the family all the
// same.

const assert = require('node:assert/strict');
const fs = require('node:fs');
const path = require('node:path');
const { describe, test } = require('node:test');

const h = require('./support/harness');

describe('web font and heading sizes', () => {
  const env = h.setUp();

  // The fonts of body text, a paragraph and the headings, the sizes of the headings (the second
  // h1 has a size of its own), and the requests that were blocked.
  async function restyleAndRead(options) {
    const { page, record, close } = await h.open(env, h.restyle(env, 'long.html', options));
    const seen = await page.evaluate(() =>
      ['body', 'p', 'h1', 'h2', 'h3', '#second'].map((selector) => {
        const { fontFamily, fontSize } = getComputedStyle(document.querySelector(selector));
        return [fontFamily, fontSize];
      }));
    await close();
    return { fonts: seen.slice(0, 5).map(([family]) => family), sizes: seen.slice(2).map(([, size]) => size), record };
  }

  test('the chosen font is asked for and used by body text and headings, at the chosen sizes', async () => {
    const { fonts, sizes, record } = await restyleAndRead(['--font', 'Playfair Display', '--h1', '44', '--h2', '31', '--h3', '23']);
    assert.deepEqual(fonts, new Array(5).fill('"Playfair Display", sans-serif'));
    // The h1 size wins over the page's own heading rules.
    assert.deepEqual(sizes, ['44px', '31px', '23px', '44px']);
    assert.equal(record.blocked.length, 1, `only the font goes outside: ${record.blocked}`);
    assert.match(record.blocked[0], /family=Playfair\+Display\b.*display=swap/);
  });

  test('the default font is the first of the font list; an unticked heading keeps its own size', async () => {
    const first = fs.readFileSync(path.join(h.snippetsFolder(), 'gfonts.txt'), 'utf8').split('\n')[0];
    const { fonts, sizes } = await restyleAndRead(['--no-h2']);
    assert.ok(fonts[0].includes(first), `${fonts[0]} names ${first}`);
    assert.deepEqual(sizes.slice(0, 3), ['34px', '24px', '26px']);
  });

  test('without the font option the page keeps its fonts, its heading sizes, and asks for nothing outside', async () => {
    const { fonts, sizes, record } = await restyleAndRead(['--no-font', '--h1', '50']);
    assert.equal(fonts[0], 'Georgia, serif');
    assert.equal(sizes[0], '41.6px');
    assert.deepEqual(record.blocked, []);
  });
});

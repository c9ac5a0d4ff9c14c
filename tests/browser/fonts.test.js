'use strict';
// The web font and heading sizes as a browser applies them. The font service is outside this
// machine, so its request is blocked and counted; the computed style names the family all the same.

const assert = require('node:assert/strict');
const fs = require('node:fs');
const path = require('node:path');
const { test } = require('node:test');

const h = require('./support/harness');

const env = h.setUp();
const first = () => fs.readFileSync(path.join(h.snippets, 'gfonts.txt'), 'utf8').split('\n')[0];
// Options; the family of body text, a paragraph and the headings; the sizes of h1, h2, h3 and of
// the second h1, which has a size of its own that ours must beat; the font request.
const cases = [
  [['--font', 'Playfair Display', '--h1', '44', '--h2', '31', '--h3', '23'], () => 'Playfair Display',
    ['44px', '31px', '23px', '44px'], /family=Playfair\+Display\b.*display=swap/],
  [['--no-h2'], first, ['34px', '24px', '26px', '34px'], /family=/],
];
for (const [options, family, sizes, request] of cases) {
  test(`the font and heading sizes apply with ${options.join(' ')}`, async () => {
    const { page, record, close } = await h.open(env, h.restyle(env, 'long.html', options));
    const seen = await page.evaluate(() => ['body', 'p', 'h1', 'h2', 'h3', '#second'].map((selector) => {
      const { fontFamily, fontSize } = getComputedStyle(document.querySelector(selector));
      return [fontFamily, fontSize];
    }));
    assert.deepEqual(seen.slice(0, 5).map(([font]) => font), new Array(5).fill(`"${family()}", sans-serif`));
    assert.deepEqual(seen.slice(2).map(([, size]) => size), sizes);
    assert.equal(record.blocked.length, 1, `only the font goes outside: ${record.blocked}`);
    assert.match(record.blocked[0], request);
    await close();
  });
}

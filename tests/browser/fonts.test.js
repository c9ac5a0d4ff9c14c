'use strict';
// The web font and heading sizes as a browser applies them. The font service is outside this
// machine, so its request is blocked and counted; the computed style names the family all the same.
const assert = require('node:assert/strict');
const fs = require('node:fs');
const { test } = require('node:test');
const h = require('./support/harness');

const env = h.setUp();
// Options; family; sizes of h1, h2, h3 and of an h1 whose own size ours must beat (an unticked heading keeps its own).
const cases = [
  [['--font', 'Playfair Display', '--h1', '44', '--h2', '31', '--h3', '23'], () => 'Playfair Display', ['44px', '31px', '23px', '44px'],
    /family=Playfair\+Display\b.*display=swap/],
  [['--no-h2'], () => fs.readFileSync(`${h.snippets}/gfonts.txt`, 'utf8').split('\n')[0], ['34px', '24px', '26px', '34px'], /family=/],
];
for (const [options, family, sizes, request] of cases) {
  test(`the font and heading sizes apply with ${options.join(' ')}`, async () => {
    const { page, record, close } = await h.open(env, h.restyle(env, 'long.html', options));
    const seen = await page.evaluate(() => ['body', 'p', 'h1', 'h2', 'h3', '#second']
      .map((selector) => getComputedStyle(document.querySelector(selector))).map((style) => [style.fontFamily, style.fontSize]));
    assert.deepEqual(seen.map(([font]) => font), new Array(6).fill(`"${family()}", sans-serif`));
    assert.deepEqual(seen.slice(2).map(([, size]) => size), sizes);
    assert.deepEqual(record.blocked.map((url) => request.test(url)), [true], `only the font goes outside: ${record.blocked}`);
    await close();
  });
}

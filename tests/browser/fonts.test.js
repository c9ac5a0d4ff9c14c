'use strict';
// The web font and heading sizes as a browser applies them. The font service is outside this
// machine, so its request is blocked and counted; the computed style names the family all the
// same.

const assert = require('node:assert/strict');
const fs = require('node:fs');
const path = require('node:path');
const { after, before, describe, test } = require('node:test');

const h = require('./support/harness');
const { writeLongPage } = require('./support/pages');

describe('web font and heading sizes', () => {
  let browser;
  let folder;
  let server;

  before(async () => {
    browser = await h.launchBrowser();
    folder = h.makeTempFolder();
    server = await h.serveFolder(folder);
  });

  after(async () => {
    await browser?.close();
    await server?.close();
    if (folder) {
      fs.rmSync(folder, { recursive: true, force: true });
    }
  });

  async function open(output) {
    const { context, record } = await h.openContext(browser);
    const page = await context.newPage();
    await page.goto(server.url(output));
    const styles = await page.evaluate(() => {
      const font = (selector) => getComputedStyle(document.querySelector(selector)).fontFamily;
      const size = (selector) => getComputedStyle(document.querySelector(selector)).fontSize;
      return {
        body: font('body'),
        paragraph: font('p'),
        h1: [font('h1'), size('h1')],
        h2: [font('h2'), size('h2')],
        h3: [font('h3'), size('h3')],
        secondH1: size('#second'),
      };
    });
    await context.close();
    return { styles, record };
  }

  test('the chosen font is asked for and used by body text and headings, at the chosen sizes', async () => {
    const output = h.restyle(writeLongPage(folder, 'font.html'), [
      '--font', 'Playfair Display', '--h1', '44', '--h2', '31', '--h3', '23',
    ]);
    const { styles, record } = await open(output);
    for (const family of [styles.body, styles.paragraph, styles.h1[0], styles.h2[0], styles.h3[0]]) {
      assert.match(family, /^"Playfair Display", sans-serif$/);
    }
    assert.deepEqual([styles.h1[1], styles.h2[1], styles.h3[1]], ['44px', '31px', '23px']);
    assert.equal(styles.secondH1, '44px', 'over the page\'s own heading rules');

    const fontRequests = record.blocked.filter((url) => /family=Playfair\+Display\b/.test(url));
    assert.equal(fontRequests.length, 1, `blocked: ${record.blocked}`);
    assert.match(fontRequests[0], /display=swap/);
    assert.equal(record.blocked.length, 1, 'nothing else goes outside');
    h.assertClean(assert, record);
  });

  test('the default font is the first of the font list; an unticked heading keeps its own size', async () => {
    const first = fs.readFileSync(path.join(h.snippetsFolder(), 'gfonts.txt'), 'utf8').split('\n')[0];
    const output = h.restyle(writeLongPage(folder, 'default-font.html'), ['--no-h2']);
    const { styles, record } = await open(output);
    assert.ok(styles.body.includes(first), `${styles.body} names ${first}`);
    assert.deepEqual([styles.h1[1], styles.h2[1], styles.h3[1]], ['34px', '24px', '26px']);
    h.assertClean(assert, record);
  });

  test('without the font option the page keeps its fonts, its heading sizes, and asks for nothing outside', async () => {
    const output = h.restyle(writeLongPage(folder, 'no-font.html'), ['--no-font', '--h1', '50']);
    const { styles, record } = await open(output);
    assert.equal(styles.body, 'Georgia, serif');
    assert.equal(styles.h1[1], '41.6px');
    assert.deepEqual(record.blocked, []);
    h.assertClean(assert, record);
  });
});

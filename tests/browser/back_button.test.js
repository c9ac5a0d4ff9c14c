'use strict';
// The back-button redirect in a real browser: Back leads to the chosen address only after the
// visitor has clicked or typed on the page, with a single history entry however often they do.
// The clicks and key presses are dispatched through the DevTools protocol, so the page receives
// them as trusted input with user activation, as from a real visitor.

const assert = require('node:assert/strict');
const fs = require('node:fs');
const { after, before, describe, test } = require('node:test');

const h = require('./support/harness');
const { writeLongPage, writePlainPage } = require('./support/pages');

describe('back-button redirect', () => {
  let browser;
  let folder;
  let server;
  let output;
  let start;
  let landing;

  before(async () => {
    browser = await h.launchBrowser();
    folder = h.makeTempFolder();
    server = await h.serveFolder(folder);
    start = server.url(writePlainPage(folder, 'start.html', 'Start', 'Where the visitor came from'));
    landing = server.url(writePlainPage(folder, 'landing.html', 'Landing', 'The offer page'));
    output = server.url(h.restyle(writeLongPage(folder, 'back.html'), ['--back-redirect', landing]));
  });

  after(async () => {
    await browser?.close();
    await server?.close();
    if (folder) {
      fs.rmSync(folder, { recursive: true, force: true });
    }
  });

  // A tab that came to the restyled page from another page.
  async function arrive() {
    const { context, record } = await h.openContext(browser);
    const page = await context.newPage();
    await page.goto(start);
    await page.goto(output);
    return { context, record, page };
  }

  const historyLength = (page) => page.evaluate(() => history.length);

  async function pressBack(page) {
    // Back onto the same document fires popstate and the script leaves at once, so the history
    // navigation itself may be cut short by the one that follows it.
    await page.goBack({ waitUntil: 'commit' }).catch(() => {});
  }

  test('after a click, Back goes to the redirect address, and Back from there leaves for good', async () => {
    const { context, record, page } = await arrive();
    const before = await historyLength(page);
    await page.mouse.click(200, 300);
    await page.waitForFunction((n) => history.length === n + 1, before, { timeout: 5000 });

    // More clicks and key presses add nothing more.
    await page.mouse.click(250, 350);
    await page.keyboard.press('ArrowDown');
    await page.mouse.click(100, 100);
    assert.equal(await historyLength(page), before + 1);

    await pressBack(page);
    await page.waitForURL(landing, { timeout: 10000 });
    assert.equal(await page.title(), 'Landing');

    // The redirect replaced the page's entry: one more Back returns to where the visitor came from.
    await pressBack(page);
    await page.waitForURL(start, { timeout: 10000 });
    h.assertClean(assert, record);
    await context.close();
  });

  test('a key press counts as a gesture too', async () => {
    const { context, record, page } = await arrive();
    const before = await historyLength(page);
    await page.keyboard.press('a');
    await page.waitForFunction((n) => history.length === n + 1, before, { timeout: 5000 });
    await pressBack(page);
    await page.waitForURL(landing, { timeout: 10000 });
    h.assertClean(assert, record);
    await context.close();
  });

  test('without a click or key press Back is left alone', async () => {
    const { context, record, page } = await arrive();
    const before = await historyLength(page);
    await page.mouse.move(300, 300);
    await page.mouse.wheel(0, 800);
    await page.waitForFunction(() => window.scrollY > 0);
    assert.equal(await historyLength(page), before, 'no entry added');
    await page.goBack();
    assert.equal(page.url(), start);
    h.assertClean(assert, record);
    await context.close();
  });

  test('a reload after the click adds no second entry', async () => {
    const { context, record, page } = await arrive();
    const before = await historyLength(page);
    await page.mouse.click(200, 300);
    await page.waitForFunction((n) => history.length === n + 1, before, { timeout: 5000 });
    await page.reload();
    await page.mouse.click(200, 300);
    await page.keyboard.press('b');
    assert.equal(await historyLength(page), before + 1);
    await pressBack(page);
    await page.waitForURL(landing, { timeout: 10000 });
    h.assertClean(assert, record);
    await context.close();
  });

  test('an in-page link after the click: Back first returns within the page, then to the address', async () => {
    const { context, record, page } = await arrive();
    await page.mouse.click(200, 300);
    await page.evaluate(() => {
      location.hash = 'why';
    });
    await page.waitForFunction(() => location.hash === '#why');
    await pressBack(page);
    await page.waitForFunction(() => location.hash === '');
    assert.equal(page.url(), output);
    await pressBack(page);
    await page.waitForURL(landing, { timeout: 10000 });
    h.assertClean(assert, record);
    await context.close();
  });
});

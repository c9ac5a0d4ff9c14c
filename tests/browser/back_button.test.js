'use strict';
// The back-button redirect in a real browser: Back leads to the chosen address only after the
// visitor has clicked or typed on the page, with a single history entry however often they do.
// The clicks and key presses are dispatched through the DevTools protocol, so the page receives
// them as trusted input with user activation, as from a real visitor.

const assert = require('node:assert/strict');
const { before, describe, test } = require('node:test');

const h = require('./support/harness');

describe('back-button redirect', () => {
  const env = h.setUp();
  let output;
  let start;
  let landing;

  before(() => {
    [start, landing] = ['start.html', 'landing.html'].map((name) => env.server.url(`${env.folder}/${name}`));
    output = env.server.url(h.restyle(env, h.writePage(env, 'back.html', { from: 'long.html' }), ['--back-redirect', landing]));
  });

  // A tab that came to the restyled page from another page, and the length of its history then.
  async function arrive() {
    const view = await h.open(env, null);
    await view.page.goto(start);
    await view.page.goto(output);
    return { ...view, before: await historyLength(view.page) };
  }
  const historyLength = (page) => page.evaluate(() => history.length);
  const oneEntryMore = (page, before) => page.waitForFunction((n) => history.length === n + 1, before, { timeout: 5000 });
  // Back onto the same document fires popstate and the script leaves at once, so the history
  // navigation itself may be cut short by the one that follows it.
  async function backTo(page, url) {
    await page.goBack({ waitUntil: 'commit' }).catch(() => {});
    await page.waitForURL(url, { timeout: 10000 });
  }

  test('after a click, Back goes to the redirect address, and Back from there leaves for good', async () => {
    const { page, before, close } = await arrive();
    await page.mouse.click(200, 300);
    await oneEntryMore(page, before);
    // More clicks and key presses add nothing more.
    await page.mouse.click(250, 350);
    await page.keyboard.press('ArrowDown');
    await page.mouse.click(100, 100);
    assert.equal(await historyLength(page), before + 1);
    await backTo(page, landing);
    assert.equal(await page.title(), 'Landing');
    // The redirect replaced the page's entry: one more Back returns to where the visitor came from.
    await backTo(page, start);
    await close();
  });

  test('a key press counts as a gesture too, and a reload after it adds no second entry', async () => {
    const { page, before, close } = await arrive();
    await page.keyboard.press('a');
    await oneEntryMore(page, before);
    await page.reload();
    await page.mouse.click(200, 300);
    await page.keyboard.press('b');
    assert.equal(await historyLength(page), before + 1);
    await backTo(page, landing);
    await close();
  });

  test('without a click or key press Back is left alone', async () => {
    const { page, before, close } = await arrive();
    await page.mouse.move(300, 300);
    await page.mouse.wheel(0, 800);
    await page.waitForFunction(() => window.scrollY > 0);
    assert.equal(await historyLength(page), before, 'no entry added');
    await page.goBack();
    assert.equal(page.url(), start);
    await close();
  });

  test('an in-page link after the click: Back first returns within the page, then to the address', async () => {
    const { page, close } = await arrive();
    await page.mouse.click(200, 300);
    await page.evaluate(() => {
      location.hash = 'why';
    });
    await page.waitForFunction(() => location.hash === '#why');
    await page.goBack({ waitUntil: 'commit' }).catch(() => {});
    await page.waitForFunction(() => location.hash === '');
    assert.equal(page.url(), output);
    await backTo(page, landing);
    await close();
  });
});

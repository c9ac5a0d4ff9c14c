'use strict';
// The back-button redirect in a real browser: Back leads to the chosen address only after the visitor has
// clicked or typed on the page, with one history entry however often they do. Clicks and key presses go through
// the DevTools protocol, so the page receives them as trusted input with user activation, as from a visitor.
const { test } = require('node:test');
const h = require('./support/harness');

const url = (name) => `${env.base}/${name}`;
const env = h.setUp(() => h.restyle(env, 'long.html', ['--back-redirect', url('landing.html')]));
// What the visitor does on the page, the history entries that adds, and where each Back then leads.
const cases = [
  ['clicks, clicks and types again', async (page) => [await page.mouse.click(200, 300), await page.mouse.click(250, 350),
    await page.keyboard.press('ArrowDown')], 1, ['landing.html', 'landing.html?came-from']],
  ['types, reloads and clicks', async (page) => [await page.keyboard.press('a'), await page.waitForFunction(() => history.state), await page.reload(),
    await page.mouse.click(200, 300)], 1, ['landing.html']],
  ['only moves the mouse and scrolls', (page) => page.mouse.move(300, 300).then(() => page.mouse.wheel(0, 800)), 0, ['landing.html?came-from']],
  ['clicks, then follows an in-page link', (page) => page.mouse.click(200, 300).then(() => page.evaluate(() => { location.hash = 'why'; })),
    2, ['long_modified.html', 'landing.html']],
];
for (const [what, act, added, backs] of cases) {
  test(`the visitor ${what}: Back leads to ${backs.join(', then ')}`, async () => {
    const { page, close } = await h.open(env, null);
    await page.goto(url('landing.html?came-from'));
    await page.goto(url('long_modified.html'));
    const before = await page.evaluate(() => history.length);
    await act(page);
    await page.waitForFunction((n) => history.length === n, before + added, { timeout: 5000 });
    // Back onto the same document fires popstate and the script leaves at once, so the history
    // navigation itself may be cut short by the one that follows it.
    for (const name of backs) {
      await page.goBack({ waitUntil: 'commit' }).catch(() => {});
      await page.waitForURL(url(name), { timeout: 10000 });
    }
    await close();
  });
}

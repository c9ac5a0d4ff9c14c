'use strict';
// Entrance animations in a real browser: what the visitor sees while scrolling, that a page's own
// reveal library keeps working, and that everything shows whenever ours cannot do its job.
const assert = require('node:assert/strict');
const fs = require('node:fs');
const { test } = require('node:test');
const h = require('./support/harness');

const OURS = '.wow[class*="lv-"]';
const env = h.setUp();
const ourClass = ({ classes }) => classes.find((name) => h.fxClasses().includes(name));
const widest = (page) => page.evaluate(() => window.widest);

test('every h1 and image reveals with its animation as it scrolls into view, and ends as the page made it', async () => {
  const { page, close } = await h.open(env, h.restyle(env, 'long.html', ['--speed', 'slow', '--no-font']));
  // In view at load: starts without scrolling. Far below: hidden, not yet started.
  await page.waitForFunction(() => document.getElementById('first').classList.contains('lv-in'), null, { timeout: 5000 });
  assert.deepEqual(await page.$eval('#wide', (e) => [e.classList.contains('lv-in'), getComputedStyle(e).opacity]), [false, '0']);
  // An element's own transform stays what it is, while it animates and after.
  const ownTransform = await page.$eval('#turned', (e) => getComputedStyle(e).transform);
  await page.$eval('#turned', (e) => e.scrollIntoView({ block: 'center' }));
  const whileMoving = await page.waitForFunction(() => document.getElementById('turned').getAnimations().length > 0
    && getComputedStyle(document.getElementById('turned')).transform, null, { timeout: 10000, polling: 'raf' });
  assert.equal(await whileMoving.jsonValue(), ownTransform);
  assert.equal(await h.scrollThroughAll(page), 8, 'the picture the page copies after loading reveals as well');
  for (const e of await h.looks(page, 'h1, img')) {
    assert.deepEqual([e.opacity, e.visibility, e.hasBox, e.animationName, e.animationDuration, e.transform],
      ['1', 'visible', true, ourClass(e), '3s', e.id === 'turned' ? ownTransform : 'none'], e.id);
  }
  assert.equal(await page.$eval('#bar', (e) => e.getBoundingClientRect().top), 0, 'the sticky bar still sticks');
  await close();
});

for (const dir of ['ltr', 'rtl']) {
  test(`every animation plays and ends visible, and none widens a phone screen (${dir})`, async () => {
    // Every class of ours, tagged by hand on a block as wide as the page and with no data-wow-duration.
    const blocks = h.fxClasses().map((name) => `<p class="wow ${name}" style="padding:3rem 1rem;background:#eef">${name}</p>`).join('');
    fs.writeFileSync(`${env.folder}/all.html`, `<!DOCTYPE html><html dir="${dir}"><head><meta name="viewport" content="width=device-width">
<title>All</title></head><body>${blocks}<img src="hero.svg" alt="" style="width:100%"></body></html>`);
    const { page, record, close } = await h.open(env, h.restyle(env, 'all.html', ['--no-font']), h.PHONE);
    await h.scrollThroughAll(page);
    const seen = (await h.looks(page, 'p.wow')).map((e) => [e.animationName, e.animationDuration, e.opacity]);
    assert.deepEqual(seen, h.fxClasses().map((name) => [name, '1s', '1']));
    assert.equal(await widest(page), 0, 'no sideways scroll while animating');
    assert.deepEqual(record.blocked, [], 'no outside requests without a web font');
    await close();
  });
}

// Ours (ours-*) play our animations on top of the page's own library, and its own play as it made them.
test('a page with its own reveal library keeps it, and ours win on our elements', async () => {
  const { page, close } = await h.open(env, h.restyle(env, 'own-library.html', ['--animations', 'slide', '--no-font']), h.PHONE);
  assert.equal(await h.scrollThroughAll(page, OURS), 3);
  assert.equal(await widest(page), 0, 'no sideways scroll while animating');
  for (const e of await h.looks(page, OURS)) {
    assert.deepEqual([e.id.slice(0, 5), e.animationName, e.opacity, e.visibility], ['ours-', ourClass(e), '1', 'visible']);
  }
  const own = await page.$$eval('[id^="own"]', (all) => all.map((e) => [e.className, getComputedStyle(e).animationName, getComputedStyle(e).visibility]));
  assert.deepEqual(own, [['wow fadeIn animated', 'fadeIn', 'visible'], ['wow zoomIn animated', 'zoomIn', 'visible']]);
  await close();
});

// Every element of ours, wherever it is, is fully visible and still, and the page is not marked for the reveal script.
const stillCases = [
  ['without JavaScript', 'long.html', { javaScriptEnabled: false }],
  ['to a visitor who asked for reduced motion', 'long.html', { reducedMotion: 'reduce' }],
  ['in a browser without IntersectionObserver', 'long.html', { prepare: (c) => c.addInitScript(() => delete window.IntersectionObserver) }],
  ['on a page with its own reveal library, to a visitor who asked for reduced motion', 'own-library.html', { reducedMotion: 'reduce' }],
];
for (const [when, source, options] of stillCases) {
  test(`everything shows at once ${when}`, async () => {
    const { page, close } = await h.open(env, h.restyle(env, source, ['--no-font']), options);
    const all = await h.looks(page, OURS);
    assert.ok(all.length >= 3);
    for (const e of all) assert.deepEqual([e.opacity, e.visibility, e.animationName, e.animations], ['1', 'visible', 'none', 0], e.id);
    assert.equal(await page.$eval('html', (e) => e.className), '');
    await close();
  });
}

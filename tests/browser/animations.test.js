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
// Records, on every frame from the first, how far the page is wider than the screen.
const sampleOverflow = (context) => context.addInitScript(() => {
  window.widest = 0;
  const sample = () => {
    const root = document.scrollingElement;
    if (root) window.widest = Math.max(window.widest, root.scrollWidth - root.clientWidth);
    requestAnimationFrame(sample);
  };
  requestAnimationFrame(sample);
});

test('every h1 and image reveals with its animation as it scrolls into view, and ends as the page made it', async () => {
  const { page, close } = await h.open(env, h.restyle(env, 'long.html', ['--speed', 'slow', '--no-font']));
  // In view at load: starts without scrolling. Far below: still hidden, not yet started.
  await page.waitForFunction(() => document.getElementById('first').classList.contains('lv-in'), null, { timeout: 5000 });
  assert.deepEqual(await page.$eval('#wide', (e) => [e.classList.contains('lv-in'), getComputedStyle(e).opacity]), [false, '0']);
  // An element's own transform stays what it is, while it animates and after.
  const ownTransform = await page.$eval('#turned', (e) => getComputedStyle(e).transform);
  await page.$eval('#turned', (e) => e.scrollIntoView({ block: 'center' }));
  const whileMoving = await page.waitForFunction(() => {
    const e = document.getElementById('turned');
    return e.getAnimations().length > 0 && getComputedStyle(e).transform;
  }, null, { timeout: 10000, polling: 'raf' });
  assert.equal(await whileMoving.jsonValue(), ownTransform);
  // The picture the page copies after loading reveals as well.
  assert.equal(await h.scrollThroughAll(page), 8);
  for (const seen of await h.looks(page, 'h1, img')) {
    const { opacity, visibility, hasBox, animationName, animationDuration, transform } = seen;
    assert.deepEqual([opacity, visibility, hasBox, animationName, animationDuration, transform],
      ['1', 'visible', true, ourClass(seen), '3s', seen.id === 'turned' ? ownTransform : 'none'], seen.id);
  }
  // The sticky bar still sticks: nothing above it was clipped or made to scroll.
  assert.equal(await page.$eval('#bar', (e) => Math.round(e.getBoundingClientRect().top)), 0);
  await close();
});

for (const dir of ['ltr', 'rtl']) {
  test(`every animation plays and ends visible, and none widens a phone screen (${dir})`, async () => {
    // Every class of ours on a block as wide as the page, tagged by hand, whatever the picks of a run.
    const blocks = h.fxClasses().map((name) => `<p class="wow ${name}" style="padding:3rem 1rem;background:#eef">${name}</p>`);
    const file = `${env.folder}/all-${dir}.html`;
    fs.writeFileSync(file, `<!DOCTYPE html><html dir="${dir}"><head><meta name="viewport" content="width=device-width">
<title>All</title></head><body>${blocks.join('\n')}<img src="hero.svg" alt="" style="display:block;width:100%"></body></html>`);
    const { page, record, close } = await h.open(env, h.restyle(env, file, ['--no-font']), { ...h.PHONE, prepare: sampleOverflow });
    await h.scrollThroughAll(page);
    const seen = await h.looks(page, 'p.wow');
    // Without data-wow-duration the stylesheet's own duration applies.
    assert.deepEqual(seen.map((b) => [b.animationName, b.animationDuration, b.opacity]), h.fxClasses().map((name) => [name, '1s', '1']));
    assert.equal(await page.evaluate(() => window.widest), 0, 'no horizontal overflow while animating');
    assert.deepEqual(record.blocked, [], 'no outside requests without a web font');
    await close();
  });
}

// A page that animates elements of its own with a library of its own: ours (ours-*) play our
// animations on top of it, and the page's own play as the page made them.
test('a page with its own reveal library keeps it, and ours win on our elements', async () => {
  const output = h.restyle(env, 'own-library.html', ['--animations', 'slide', '--no-font']);
  const { page, close } = await h.open(env, output, { ...h.PHONE, prepare: sampleOverflow });
  assert.equal(await h.scrollThroughAll(page, OURS), 3);
  assert.equal(await page.evaluate(() => window.widest), 0, 'no sideways scroll while animating');
  for (const seen of await h.looks(page, OURS)) {
    assert.deepEqual([seen.id.slice(0, 5), seen.animationName, seen.opacity, seen.visibility], ['ours-', ourClass(seen), '1', 'visible']);
  }
  const own = await page.$$eval('[id^="own"]', (elements) =>
    elements.map((e) => [e.getAttribute('class'), getComputedStyle(e).animationName, getComputedStyle(e).visibility]));
  assert.deepEqual(own, [['wow fadeIn animated', 'fadeIn', 'visible'], ['wow zoomIn animated', 'zoomIn', 'visible']]);
  await close();
});

// Every element of ours, wherever it is on the page, is fully visible and does not move, and the
// page is not marked for the reveal script.
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
    for (const { id, opacity, visibility, animationName, animations } of all) {
      assert.deepEqual([opacity, visibility, animationName, animations], ['1', 'visible', 'none', 0], id);
    }
    assert.equal(await page.$eval('html', (e) => e.className), '');
    await close();
  });
}

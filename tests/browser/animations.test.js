'use strict';
// Entrance animations in a real browser: what the run tags, what the visitor sees while
// scrolling, and that everything shows whenever the library cannot do its job.

const assert = require('node:assert/strict');
const fs = require('node:fs');
const path = require('node:path');
const { describe, test } = require('node:test');

const h = require('./support/harness');

const DURATION = { fast: ['1s', null], natural: ['2s', '2s'], slow: ['3s', '3s'] }; // seen, written
const OURS = '.wow[class*="lv-"]';

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
const widest = (page) => page.evaluate(() => window.widest);

describe('entrance animations', () => {
  const env = h.setUp();

  const cases = [['bounce+fade', 'natural'], ['slide+fade', 'slow'], ['bounce+slide', 'fast'], ['bounce', 'natural'], ['slide', 'fast'], ['fade', 'natural']];
  for (const [family, speed] of cases) {
    test(`${family} at ${speed} speed: every h1 and image reveals with its animation as it scrolls into view`, async () => {
      const output = h.restyle(env, 'long.html', ['--animations', family, '--speed', speed]);
      const { page, close } = await h.open(env, output);

      // What the run wrote: wow, one class of the family, the page's own classes, the duration.
      const tagged = await h.looks(page, 'h1, img');
      assert.equal(tagged.length, 8);
      const picked = tagged.map(({ id, classes, duration }) => {
        const fx = classes.filter((name) => h.fxClasses().includes(name));
        assert.ok(classes.includes('wow') && fx.length === 1, `${id}: ${classes}`);
        assert.ok(h.fxClasses(family).includes(fx[0]), `${fx[0]} belongs to ${family}`);
        assert.equal(duration, DURATION[speed][1]);
        return fx[0];
      });
      assert.ok(tagged[2].classes.includes('headline') && tagged[2].classes.includes('big'), 'own classes kept');

      // In view at load: starts without scrolling. Far below: still hidden, not yet started.
      await page.waitForFunction(() => document.getElementById('first').classList.contains('lv-in'), null, { timeout: 5000 });
      assert.deepEqual(await page.$eval('#wide', (e) => [e.classList.contains('lv-in'), getComputedStyle(e).opacity]), [false, '0']);

      // An element's own transform stays what it is, while it animates and after.
      const ownTransform = await page.$eval('#turned', (e) => getComputedStyle(e).transform);
      assert.notEqual(ownTransform, 'none');
      await page.$eval('#turned', (e) => e.scrollIntoView({ block: 'center' }));
      const whileMoving = await page.waitForFunction(() => {
        const e = document.getElementById('turned');
        return e.classList.contains('lv-in') && e.getAnimations().length > 0 && getComputedStyle(e).transform;
      }, null, { timeout: 10000, polling: 'raf' });
      assert.equal(await whileMoving.jsonValue(), ownTransform);

      assert.equal(await h.scrollThroughAll(page), 8);
      (await h.looks(page, 'h1, img')).forEach((seen, i) => {
        const expected = { opacity: '1', visibility: 'visible', hasBox: true, animationName: picked[i], animationDuration: DURATION[speed][0] };
        assert.deepEqual(Object.fromEntries(Object.keys(expected).map((key) => [key, seen[key]])), expected, seen.id);
        if (seen.id === 'turned') assert.equal(seen.transform, ownTransform);
      });
      // The sticky bar still sticks: nothing above it was clipped or made to scroll.
      assert.equal(await page.$eval('#bar', (e) => Math.round(e.getBoundingClientRect().top)), 0);
      await close();
    });
  }

  for (const dir of ['ltr', 'rtl']) {
    test(`every animation of the library plays and ends visible, and none widens a phone screen (${dir})`, async () => {
      // Every class of the library on blocks as wide as the page, tagged by hand, so that each
      // animation is seen at work whatever the random picks of a run.
      const every = h.fxClasses();
      const blocks = every.map((cls) => `<p class="wow ${cls}" data-wow-duration="1s" style="padding:3rem 1rem;background:#e8eefc">${cls}</p>`);
      const text = `<!DOCTYPE html><html dir="${dir}"><head><meta name="viewport" content="width=device-width, initial-scale=1">
<title>Every animation</title></head><body>${blocks.join('\n')}<img src="hero.svg" alt="" style="display:block;width:100%"></body></html>`;
      const options = ['--animations', 'bounce+slide', '--speed', 'fast', '--no-font'];
      const all = h.restyle(env, h.writePage(env, `all-${dir}.html`, { text }), options);
      const long = h.restyle(env, h.writePage(env, `long-${dir}.html`, { from: 'long.html', edit: (page) => page.replace('dir="ltr"', `dir="${dir}"`) }), options);
      const { page, record, close } = await h.open(env, all, { ...h.PHONE, prepare: sampleOverflow });

      await h.scrollThroughAll(page);
      const seen = await h.looks(page, 'p.wow');
      assert.deepEqual(seen.map((block) => [block.animationName, block.opacity]), every.map((name) => [name, '1']));
      assert.equal(await widest(page), 0, 'no horizontal overflow while animating');

      await page.goto(env.server.url(long));
      await h.scrollThroughAll(page);
      assert.equal(await widest(page), 0, 'no horizontal overflow while animating');
      assert.ok(await page.evaluate(() => document.scrollingElement.scrollWidth <= window.innerWidth));
      assert.deepEqual(record.blocked, [], 'no outside requests without a web font');
      await close();
    });
  }

  // A page that animates elements of its own with a library of its own: the run tags only the
  // others (ours-*), our animations play on them, and the page's own play as the page made them.
  const ownLibraryPage = () => {
    const output = h.restyle(env, 'own-library.html', ['--animations', 'slide', '--no-font']);
    const html = fs.readFileSync(output, 'utf8');
    assert.doesNotMatch(html, /<[^>]*data-wow-duration[^>]*data-wow-duration/, 'one duration per element');
    assert.doesNotMatch(html, /class="[^"]*\bwow\b[^"]*\bwow\b/, 'one wow per element');
    return output;
  };
  for (const [name, options] of [['desktop', {}], ['phone', h.PHONE]]) {
    test(`a page with its own reveal library keeps it, and ours win on our elements (${name})`, async () => {
      const { page, close } = await h.open(env, ownLibraryPage(), { ...options, prepare: sampleOverflow });
      assert.equal(await h.scrollThroughAll(page, OURS), 4);
      assert.equal(await widest(page), 0, 'no sideways scroll while animating');
      for (const element of await h.looks(page, OURS)) {
        const fx = element.classes.filter((cls) => h.fxClasses('slide').includes(cls));
        assert.equal(fx.length, 1, `one animation class on ${element.id}: ${element.classes}`);
        assert.deepEqual([element.id.slice(0, 5), element.animationName, element.opacity, element.visibility], ['ours-', fx[0], '1', 'visible']);
      }
      const own = await page.$$eval('[id^="own"]', (elements) =>
        elements.map((e) => [e.id, e.getAttribute('class'), getComputedStyle(e).animationName, getComputedStyle(e).visibility]));
      assert.deepEqual(own, [
        ['own-title', 'wow fadeIn animated', 'fadeIn', 'visible'],
        ['own-pic', 'wow zoomIn animated', 'zoomIn', 'visible'],
        ['own-text', 'wow fadeIn animated', 'fadeIn', 'visible'],
      ]);
      await close();
    });
  }

  // Every tagged element, wherever it is on the page, is fully visible and does not move, and
  // the page is not marked for the reveal script.
  const stillCases = [
    ['without JavaScript', 'bounce+fade', { javaScriptEnabled: false }],
    ['to a visitor who asked for reduced motion', 'slide+fade', { reducedMotion: 'reduce' }],
    ['in a browser without IntersectionObserver', 'fade', { prepare: (c) => c.addInitScript(() => delete window.IntersectionObserver) }],
    ['when the library is not on the server', 'bounce+slide', { prepare: (c) => c.route('**/anilibs/**', (r) => r.fulfill({ status: 404 })) }],
    ['when only its script is missing', 'bounce+slide', { prepare: (c) => c.route('**/anilibs/*.js', (r) => r.fulfill({ status: 404 })) }],
  ];
  for (const [when, family, options] of stillCases) {
    test(`everything shows at once ${when}`, async () => {
      const { page, record, close } = await h.open(env, h.restyle(env, 'long.html', ['--animations', family]), options);
      const missing = when.includes('missing') || when.includes('not on the server');
      await checkAllShowing(page, OURS, 8);
      assert.deepEqual(record.pageErrors, []);
      if (missing) assert.ok(record.localFailures.length > 0, 'the library requests did fail');
      await close(!missing);
    });
  }
  test('a page with its own reveal library shows ours at once to a visitor who asked for reduced motion', async () => {
    const { page, close } = await h.open(env, ownLibraryPage(), { reducedMotion: 'reduce' });
    await checkAllShowing(page, OURS, 4);
    await close();
  });
  async function checkAllShowing(page, selector, count) {
    const all = await h.looks(page, selector);
    assert.equal(all.length, count);
    for (const { id, opacity, visibility, animationName, animations } of all) {
      assert.deepEqual([opacity, visibility, animationName, animations], ['1', 'visible', 'none', 0], id);
    }
    assert.equal(await page.$eval('html', (e) => e.className), '');
  }

  test('a tagged element that the page copies after loading reveals as well', async () => {
    const { page, close } = await h.open(env, h.restyle(env, 'slider.html', ['--animations', 'fade', '--no-font']));
    assert.deepEqual(await page.$eval('#copy', (e) => [e.classList.contains('wow'), e.classList.contains('lv-in')]), [true, false],
      'copied before it was revealed');
    assert.equal(await h.scrollThroughAll(page), 3);
    assert.equal((await h.looks(page, '#copy'))[0].opacity, '1');
    await close();
  });

  test('the library files are small and ask for nothing outside the page folder', () => {
    const library = path.join(h.snippetsFolder(), 'anilibs');
    const files = fs.readdirSync(library).map((name) => [name, fs.readFileSync(path.join(library, name), 'utf8')]);
    assert.ok(['.css', '.js'].every((ext) => files.some(([name]) => name.endsWith(ext))));
    for (const [name, text] of files) assert.doesNotMatch(text, /https?:|url\(|@import|jquery/i, `${name} stays within the page folder`);
    const total = files.reduce((sum, [, text]) => sum + Buffer.byteLength(text), 0);
    assert.ok(total < 12 * 1024, `library is ${total} bytes`);
  });
});

'use strict';
// Entrance animations in a real browser: what the run tags, what the visitor sees while
// scrolling, and that everything shows whenever the library cannot do its job.

const assert = require('node:assert/strict');
const fs = require('node:fs');
const path = require('node:path');
const { after, before, describe, test } = require('node:test');

const h = require('./support/harness');
const { writeAllClassesPage, writeCopyingPage, writeLongPage, writeOwnLibraryPage } = require('./support/pages');

const DURATION = { fast: '1s', natural: '2s', slow: '3s' };
const ATTRIBUTE = { fast: null, natural: '2s', slow: '3s' };

describe('entrance animations', () => {
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

  // Records, on every frame from the first, how far the page is wider than the screen.
  const SAMPLE_OVERFLOW = () => {
    window.__widest = 0;
    const sample = () => {
      const root = document.scrollingElement;
      if (root) {
        window.__widest = Math.max(window.__widest, root.scrollWidth - root.clientWidth);
      }
      requestAnimationFrame(sample);
    };
    requestAnimationFrame(sample);
  };

  const cases = [
    ['bounce+fade', 'natural'],
    ['slide+fade', 'slow'],
    ['bounce+slide', 'fast'],
    ['bounce', 'natural'],
    ['slide', 'fast'],
    ['fade', 'natural'],
  ];
  for (const [family, speed] of cases) {
    test(`${family} at ${speed} speed: every h1 and image reveals with its animation as it scrolls into view`, async () => {
      const source = writeLongPage(folder, `offer-${family.replace('+', '-')}-${speed}.html`);
      const output = h.restyle(source, ['--animations', family, '--speed', speed]);
      const allowed = h.classesOfFamily(family);
      const everyFx = Object.values(h.fxClasses()).flat();

      const { context, record } = await h.openContext(browser);
      const page = await context.newPage();
      await page.goto(server.url(output));

      // What the run wrote: wow, one class of the family, the page's own classes, the duration.
      const tagged = await h.taggedElements(page);
      assert.equal(tagged.length, 8);
      const picked = tagged.map((element) => {
        assert.ok(element.classes.includes('wow'), `${element.tag} has wow: ${element.classes}`);
        const fx = element.classes.filter((name) => everyFx.includes(name));
        assert.equal(fx.length, 1, `one animation class on ${element.tag}: ${element.classes}`);
        assert.ok(allowed.includes(fx[0]), `${fx[0]} belongs to ${family}`);
        assert.equal(element.duration, ATTRIBUTE[speed]);
        return fx[0];
      });
      assert.ok(tagged[2].classes.includes('headline') && tagged[2].classes.includes('big'), 'own classes kept');

      // In view at load: starts without scrolling. Far below: still hidden, not yet started.
      await page.waitForFunction(() => document.getElementById('first').classList.contains('lv-in'), null, {
        timeout: 5000,
      });
      const below = await page.$eval('#wide', (e) => [e.classList.contains('lv-in'), getComputedStyle(e).opacity]);
      assert.deepEqual(below, [false, '0']);

      // An element's own transform stays what it is, while it animates and after.
      const ownTransform = await page.$eval('#turned', (e) => getComputedStyle(e).transform);
      assert.notEqual(ownTransform, 'none');
      await page.$eval('#turned', (e) => e.scrollIntoView({ block: 'center' }));
      const whileMoving = await page.waitForFunction(
        () => {
          const e = document.getElementById('turned');
          return e.classList.contains('lv-in') && e.getAnimations().length > 0 && getComputedStyle(e).transform;
        },
        null,
        { timeout: 10000, polling: 'raf' },
      );
      assert.equal(await whileMoving.jsonValue(), ownTransform);

      assert.equal(await h.scrollThroughAll(page), 8);
      const seen = await h.looks(page, 'h1, img');
      seen.forEach((element, i) => {
        assert.equal(element.opacity, '1', `${element.id} fully visible`);
        assert.equal(element.visibility, 'visible');
        assert.ok(element.hasBox, `${element.id} has a box`);
        assert.equal(element.animationName, picked[i], `${element.id} animation`);
        assert.equal(element.animationDuration, DURATION[speed], `${element.id} duration`);
      });
      assert.equal(seen.find((element) => element.id === 'turned').transform, ownTransform);

      // The sticky bar still sticks: nothing above it was clipped or made to scroll.
      assert.equal(await page.$eval('#bar', (e) => Math.round(e.getBoundingClientRect().top)), 0);

      h.assertClean(assert, record);
      await context.close();
    });
  }

  for (const dir of ['ltr', 'rtl']) {
    test(`every animation of the library plays and ends visible, and none widens a phone screen (${dir})`, async () => {
      const every = Object.values(h.fxClasses()).flat();
      const allSource = writeAllClassesPage(folder, every, { dir, name: `all-${dir}.html` });
      const allOutput = h.restyle(allSource, ['--animations', 'bounce+slide', '--speed', 'fast', '--no-font']);
      const longSource = writeLongPage(folder, `phone-${dir}.html`, { dir });
      const longOutput = h.restyle(longSource, ['--animations', 'bounce+slide', '--speed', 'fast', '--no-font']);

      const { context, record } = await h.openContext(browser, { viewport: h.PHONE, isMobile: true, hasTouch: true });
      await context.addInitScript(SAMPLE_OVERFLOW);
      const page = await context.newPage();

      await page.goto(server.url(allOutput));
      await h.scrollThroughAll(page);
      const blocks = await h.looks(page, 'p.wow');
      assert.equal(blocks.length, every.length);
      blocks.forEach((block, i) => {
        assert.equal(block.animationName, every[i], `${every[i]} is defined by the stylesheet`);
        assert.equal(block.opacity, '1', `${every[i]} ends visible`);
      });
      assert.equal(await page.evaluate(() => window.__widest), 0, 'no horizontal overflow while animating');

      await page.goto(server.url(longOutput));
      await h.scrollThroughAll(page);
      assert.equal(await page.evaluate(() => window.__widest), 0, 'no horizontal overflow while animating');
      const root = await page.evaluate(() => [document.scrollingElement.scrollWidth, window.innerWidth]);
      assert.ok(root[0] <= root[1], `scrollWidth ${root[0]} <= innerWidth ${root[1]}`);

      h.assertClean(assert, record);
      assert.deepEqual(record.blocked, [], 'no outside requests without a web font');
      await context.close();
    });
  }

  // A page that animates elements of its own with a library of its own: the run tags only the
  // others (ours-*), our animations play on them, and the page's own play as the page made them.
  const OURS = '[id^="ours"]';
  const ownLibraryPage = (name) => {
    const output = h.restyle(writeOwnLibraryPage(folder, name), ['--animations', 'slide', '--no-font']);
    const html = fs.readFileSync(output, 'utf8');
    assert.doesNotMatch(html, /<[^>]*data-wow-duration[^>]*data-wow-duration/, 'one duration per element');
    assert.doesNotMatch(html, /class="[^"]*\bwow\b[^"]*\bwow\b/, 'one wow per element');
    return output;
  };
  const viewports = [
    ['desktop', { viewport: h.DESKTOP }],
    ['phone', { viewport: h.PHONE, isMobile: true, hasTouch: true }],
  ];
  for (const [name, options] of viewports) {
    test(`a page with its own reveal library keeps it, and ours win on our elements (${name})`, async () => {
      const output = ownLibraryPage(`own-${name}.html`);
      const { context, record } = await h.openContext(browser, options);
      await context.addInitScript(SAMPLE_OVERFLOW);
      const page = await context.newPage();
      await page.goto(server.url(output));
      assert.equal(await h.scrollThroughAll(page, OURS), 4);
      assert.equal(await page.evaluate(() => window.__widest), 0, 'no sideways scroll while animating');
      const slides = h.classesOfFamily('slide');
      for (const element of await h.looks(page, OURS)) {
        const fx = element.classes.filter((cls) => slides.includes(cls));
        assert.equal(fx.length, 1, `one animation class on ${element.id}: ${element.classes}`);
        assert.deepEqual([element.animationName, element.opacity, element.visibility], [fx[0], '1', 'visible'], element.id);
      }
      const own = await page.$$eval('[id^="own"]', (elements) =>
        elements.map((e) => [e.id, e.getAttribute('class'), getComputedStyle(e).animationName, getComputedStyle(e).visibility]),
      );
      assert.deepEqual(own, [
        ['own-title', 'wow fadeIn animated', 'fadeIn', 'visible'],
        ['own-pic', 'wow zoomIn animated', 'zoomIn', 'visible'],
        ['own-text', 'wow fadeIn animated', 'fadeIn', 'visible'],
      ]);
      h.assertClean(assert, record);
      await context.close();
    });
  }

  test('a page with its own reveal library shows ours at once to a visitor who asked for reduced motion', async () => {
    const output = ownLibraryPage('own-still.html');
    const { context, record } = await h.openContext(browser, { reducedMotion: 'reduce' });
    const page = await context.newPage();
    await page.goto(server.url(output));
    const ours = await page.$$eval(OURS, (elements) =>
      elements.map((e) => [e.id, getComputedStyle(e).visibility, getComputedStyle(e).opacity, e.getAnimations().length]),
    );
    assert.deepEqual(ours, ['ours-top', 'ours-hero', 'ours-end', 'ours-full'].map((id) => [id, 'visible', '1', 0]));
    h.assertClean(assert, record);
    await context.close();
  });

  // Every tagged element, wherever it is on the page, is fully visible and does not move.
  async function assertAllShowing(page) {
    const all = await h.looks(page, '.wow');
    assert.equal(all.length, 8);
    for (const element of all) {
      assert.equal(element.opacity, '1', `${element.id} visible`);
      assert.equal(element.visibility, 'visible');
      assert.equal(element.animationName, 'none', `${element.id} does not move`);
    }
    assert.equal(await page.evaluate(() => document.getAnimations().length), 0);
  }

  test('without JavaScript every element shows, without motion', async () => {
    const output = h.restyle(writeLongPage(folder, 'nojs.html'), ['--animations', 'bounce+fade']);
    const { context, record } = await h.openContext(browser, { javaScriptEnabled: false });
    const page = await context.newPage();
    await page.goto(server.url(output));
    assert.equal(await page.$eval('html', (e) => e.className), '');
    await assertAllShowing(page);
    h.assertClean(assert, record);
    await context.close();
  });

  test('a visitor who asked for reduced motion sees everything at once, without motion', async () => {
    const output = h.restyle(writeLongPage(folder, 'still.html'), ['--animations', 'slide+fade']);
    const { context, record } = await h.openContext(browser, { reducedMotion: 'reduce' });
    const page = await context.newPage();
    await page.goto(server.url(output));
    await assertAllShowing(page);
    h.assertClean(assert, record);
    await context.close();
  });

  test('everything shows when the library is not on the server, or only its script is missing', async () => {
    const output = h.restyle(writeLongPage(folder, 'missing.html'), ['--animations', 'bounce+slide']);
    for (const missing of ['**/anilibs/**', '**/anilibs/*.js']) {
      const { context, record } = await h.openContext(browser);
      await context.route(missing, (route) => route.fulfill({ status: 404, body: 'not found' }));
      const page = await context.newPage();
      await page.goto(server.url(output));
      await assertAllShowing(page);
      assert.deepEqual(record.pageErrors, []);
      assert.ok(record.localFailures.length > 0, `the ${missing} requests did fail`);
      await context.close();
    }
  });

  test('everything shows in a browser without IntersectionObserver', async () => {
    const output = h.restyle(writeLongPage(folder, 'old.html'), ['--animations', 'fade']);
    const { context, record } = await h.openContext(browser);
    await context.addInitScript(() => {
      delete window.IntersectionObserver;
    });
    const page = await context.newPage();
    await page.goto(server.url(output));
    assert.equal(await page.$eval('html', (e) => e.className), '');
    await assertAllShowing(page);
    h.assertClean(assert, record);
    await context.close();
  });

  test('a tagged element that the page copies after loading reveals as well', async () => {
    const output = h.restyle(writeCopyingPage(folder), ['--animations', 'fade', '--no-font']);
    const { context, record } = await h.openContext(browser);
    const page = await context.newPage();
    await page.goto(server.url(output));
    const copy = await page.$eval('#copy', (e) => [e.classList.contains('wow'), e.classList.contains('lv-in')]);
    assert.deepEqual(copy, [true, false], 'copied before it was revealed');
    assert.equal(await h.scrollThroughAll(page), 3);
    const [seen] = await h.looks(page, '#copy');
    assert.equal(seen.opacity, '1');
    h.assertClean(assert, record);
    await context.close();
  });

  test('the library files are small and ask for nothing outside the page folder', () => {
    const library = path.join(h.snippetsFolder(), 'anilibs');
    const files = fs.readdirSync(library);
    assert.ok(files.some((name) => name.endsWith('.css')) && files.some((name) => name.endsWith('.js')));
    let total = 0;
    for (const name of files) {
      const text = fs.readFileSync(path.join(library, name), 'utf8');
      total += Buffer.byteLength(text);
      assert.doesNotMatch(text, /https?:|url\(|@import|jquery/i, `${name} stays within the page folder`);
    }
    assert.ok(total < 12 * 1024, `library is ${total} bytes`);
  });
});

'use strict';
// Makes the README's before/after pictures: a small sales page as written, and as lumivane-cli
// restyles it (web font, heading sizes, entrance animations, one frame caught mid-way).
//
//   LUMIVANE_CLI=build/bin/lumivane-cli node tests/browser/tools/screenshots.js docs
//
// The web font comes from the font service on a visitor's machine; here it is blocked like every
// outside request, so the picture shows it only if the same family is installed locally
// (Debian: fonts-lato).

const fs = require('node:fs');
const path = require('node:path');

const h = require('../support/harness');

const HERO = `<svg xmlns="http://www.w3.org/2000/svg" width="640" height="220" viewBox="0 0 640 220">
<rect width="640" height="220" fill="#dff3e4"/><circle cx="540" cy="60" r="34" fill="#ffd166"/>
<rect y="170" width="640" height="50" fill="#8fbf6a"/>
<path d="M160 170 V90 M160 120 q-40 -10 -50 -45 q40 5 50 45 M160 105 q40 -15 55 -50 q-45 5 -55 50" stroke="#2d6a4f" stroke-width="6" fill="#52b788"/>
<path d="M320 170 V70 M320 110 q-45 -10 -55 -50 q45 5 55 50 M320 90 q45 -15 60 -55 q-50 5 -60 55" stroke="#2d6a4f" stroke-width="6" fill="#52b788"/>
<path d="M470 170 V110 M470 135 q-30 -8 -38 -35 q32 4 38 35" stroke="#2d6a4f" stroke-width="6" fill="#52b788"/>
</svg>
`;

const PAGE = `<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<title>Green Thumb in 30 Days</title>
<style>
  body { margin: 0 auto; max-width: 640px; padding: 1rem 1.5rem; font-family: Georgia, serif; color: #1b3a2b; background: #fbfdf9; }
  img { max-width: 100%; display: block; margin: 1rem 0; }
  .cta { display: inline-block; padding: .8rem 1.6rem; background: #e76f51; color: #fff; text-decoration: none; border-radius: .4rem; }
  blockquote { border-left: 4px solid #8fbf6a; margin: 1.5rem 0; padding-left: 1rem; font-style: italic; }
</style>
</head>
<body>
<h1>Grow a Green Thumb in 30 Days</h1>
<img src="garden.svg" alt="Three young plants in the sun" width="640" height="220">
<h2>What you get</h2>
<ul>
  <li>30 short video lessons, one a day</li>
  <li>A planting calendar for your region</li>
  <li>Lifetime access and free updates</li>
</ul>
<h3>Bonus: the balcony garden guide</h3>
<p>Small space? No problem. Learn which plants thrive in pots and how to water them right.</p>
<p><a class="cta" href="#order">Start growing today</a></p>
<blockquote>"My tomatoes never looked this good." - Dana, Leeds</blockquote>
</body>
</html>
`;

async function main() {
  const target = path.resolve(process.argv[2] || 'docs');
  const folder = h.makeTempFolder();
  fs.writeFileSync(path.join(folder, 'garden.svg'), HERO);
  const source = path.join(folder, 'sales.html');
  fs.writeFileSync(source, PAGE);
  const output = h.restyle(source, [
    '--font', 'Lato', '--h1', '44', '--h2', '30', '--h3', '22', '--animations', 'slide+fade', '--seed', '5',
  ]);
  const server = await h.serveFolder(folder);
  const browser = await h.launchBrowser();
  try {
    const { context } = await h.openContext(browser, { viewport: { width: 860, height: 760 } });
    const page = await context.newPage();
    const shot = (name) => page.screenshot({ path: path.join(target, name) });

    await page.goto(server.url(source));
    await shot('before.png');

    await page.goto(server.url(output));
    await h.waitForAnimationsToEnd(page);
    await shot('after.png');

    // The same page caught 0.35 s into its entrance animations.
    await page.reload();
    await page.waitForFunction(() => document.querySelectorAll('.lv-in').length >= 2);
    await page.evaluate(() =>
      document.getAnimations().forEach((animation) => {
        animation.pause();
        animation.currentTime = 350;
      }),
    );
    await shot('after-animating.png');
  } finally {
    await browser.close();
    await server.close();
    fs.rmSync(folder, { recursive: true, force: true });
  }
}

main().catch((error) => {
  console.error(error);
  process.exit(1);
});

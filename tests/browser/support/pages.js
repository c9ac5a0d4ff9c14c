'use strict';
// Pages of the browser tests, written into a folder before lumivane-cli restyles them.

const fs = require('node:fs');
const path = require('node:path');

const DOT_PNG =
  'data:image/png;base64,iVBORw0KGgoAAAANSUhEUgAAAAEAAAABCAYAAAAfFcSJAAAADUlEQVR42mNk+M9QDwADhgGAWjR9awAAAABJRU5ErkJggg==';

function picture(width, height, from, to) {
  return `<svg xmlns="http://www.w3.org/2000/svg" width="${width}" height="${height}" viewBox="0 0 ${width} ${height}">
<defs><linearGradient id="g" x1="0" y1="0" x2="1" y2="1"><stop offset="0" stop-color="${from}"/><stop offset="1" stop-color="${to}"/></linearGradient></defs>
<rect width="100%" height="100%" fill="url(#g)"/></svg>
`;
}

function writePictures(folder) {
  fs.writeFileSync(path.join(folder, 'hero.svg'), picture(600, 300, '#ffb347', '#ff5f6d'));
  fs.writeFileSync(path.join(folder, 'tall.svg'), picture(300, 2600, '#43cea2', '#185a9d'));
}

// A sales page long enough that most headings and pictures start below the fold, with a sticky
// bar, a picture turned by its own transform, a picture three screens tall, and pictures as wide
// as the page.
function writeLongPage(folder, name = 'offer.html', { dir = 'ltr' } = {}) {
  writePictures(folder);
  const page = `<!DOCTYPE html>
<html lang="en" dir="${dir}">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<title>Spring offer</title>
<style>
  body { margin: 0 auto; max-width: 60rem; padding: 0 1rem; font-family: Georgia, serif; }
  .bar { position: sticky; top: 0; background: #fff; padding: .5rem 0; z-index: 2; }
  .spacer { height: 900px; }
  h1 { font-size: 2.6rem; }
  .headline { font-size: 3rem; }
  img { max-width: 100%; }
  #turned { transform: rotate(-3deg) scale(0.9); }
  #tall { display: block; width: 300px; height: 2600px; }
  #full { display: block; width: 100%; height: auto; }
</style>
</head>
<body class="page">
<div class="bar" id="bar">Spring offer - only this week</div>
<h1 id="first">The offer of the year</h1>
<img id="hero" src="hero.svg" alt="A warm picture" width="600" height="300">
<h2 id="why">Why it works</h2>
<h3 id="details">The details</h3>
<p>Everything you need, nothing you don't. Read on.</p>
<div class="spacer"></div>
<h1 id="second" class="headline big">A second headline</h1>
<img id="turned" src="hero.svg" alt="" width="400" height="200">
<div class="spacer"></div>
<img id="tall" src="tall.svg" alt="">
<div class="spacer"></div>
<h1 id="wide">A heading as wide as the page</h1>
<img id="dot" src="${DOT_PNG}" alt="" width="40" height="40">
<img id="full" src="hero.svg" alt="">
<p>The end.</p>
</body>
</html>
`;
  const file = path.join(folder, name);
  fs.writeFileSync(file, page);
  return file;
}

// A page that uses every class of the library on blocks as wide as the page, tagged by hand,
// so that each animation is seen at work whatever the random picks of a run.
function writeAllClassesPage(folder, classes, { dir = 'ltr', name = 'all-classes.html' } = {}) {
  writePictures(folder);
  const blocks = classes
    .map(
      (cls) =>
        `<p class="wow ${cls}" id="fx-${cls}" data-wow-duration="1s" style="margin:0 0 1rem;padding:3rem 1rem;background:#e8eefc">${cls}</p>`,
    )
    .join('\n');
  const page = `<!DOCTYPE html>
<html lang="en" dir="${dir}">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<title>Every animation</title>
</head>
<body>
${blocks}
<img id="full" src="hero.svg" alt="" style="display:block;width:100%;height:auto">
</body>
</html>
`;
  const file = path.join(folder, name);
  fs.writeFileSync(file, page);
  return file;
}

// A page whose own script copies a tagged picture further down once the page is parsed, as
// sliders do with their slides.
function writeCopyingPage(folder, name = 'slider.html') {
  writePictures(folder);
  const file = path.join(folder, name);
  fs.writeFileSync(
    file,
    `<!DOCTYPE html>
<html lang="en"><head><meta charset="utf-8"><title>Slider</title></head>
<body>
<h1>Our customers</h1>
<img id="slide" src="hero.svg" alt="" width="600" height="300">
<div style="height:1500px"></div>
<div id="copies"></div>
<script>
document.addEventListener('DOMContentLoaded', function () {
  var copy = document.getElementById('slide').cloneNode(true);
  copy.id = 'copy';
  document.getElementById('copies').appendChild(copy);
});
</script>
</body></html>
`,
  );
  return file;
}

// A page that runs a scroll-reveal library of its own, written the common way: its stylesheet
// hides every .wow element and names an animation for each of its classes (the slides travel
// 3000 px); its script, once the page is parsed, notes each .wow element's animation, hides it,
// and as it scrolls into view shows it with that animation, its data-wow-duration and the class
// animated. Its own elements stand at the top, ours-* (for the run to tag) above and below the fold.
function writeOwnLibraryPage(folder, name = 'own-library.html') {
  writePictures(folder);
  fs.writeFileSync(
    path.join(folder, 'own-reveal.css'),
    `.wow { visibility: hidden; }
.animated { animation-duration: 1s; animation-fill-mode: both; }
.fadeIn { animation-name: fadeIn; }
.zoomIn { animation-name: zoomIn; }
.slideInUp, .slideInDown, .slideInLeft, .slideInRight { animation-name: slideIn; }
@keyframes fadeIn { from { opacity: 0; } }
@keyframes zoomIn { from { opacity: 0; transform: scale(0.3); } }
@keyframes slideIn { from { transform: translate3d(3000px, 0, 0); } }
`,
  );
  fs.writeFileSync(
    path.join(folder, 'own-reveal.js'),
    `document.addEventListener('DOMContentLoaded', function () {
  var boxes = [].slice.call(document.querySelectorAll('.wow'));
  var names = boxes.map(function (box) {
    var name = getComputedStyle(box).animationName;
    box.style.visibility = 'hidden';
    box.style.animationName = 'none';
    return name === 'none' ? '' : name;
  });
  function check() {
    boxes.forEach(function (box, i) {
      var r = box && box.getBoundingClientRect();
      if (!box || r.top >= innerHeight || r.bottom <= 0) return;
      if (box.getAttribute('data-wow-duration')) box.style.animationDuration = box.getAttribute('data-wow-duration');
      box.style.visibility = 'visible';
      box.style.animationName = names[i];
      box.className += ' animated';
      boxes[i] = null;
    });
  }
  addEventListener('scroll', check);
  check();
});
`,
  );
  const file = path.join(folder, name);
  fs.writeFileSync(
    file,
    `<!DOCTYPE html>
<html lang="en"><head><meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<title>Own library</title>
<link rel="stylesheet" href="own-reveal.css">
<style>body { margin: 0 auto; max-width: 60rem; padding: 0 1rem; } img { max-width: 100%; } .spacer { height: 1200px; }</style>
</head>
<body>
<h1 id="own-title" class="wow fadeIn" data-wow-duration="1s">Our story</h1>
<img id="own-pic" class="wow zoomIn" src="hero.svg" alt="" width="200" height="100">
<p id="own-text" class="wow fadeIn">Told by the page itself.</p>
<h1 id="ours-top">Ours, in view</h1>
<div class="spacer"></div>
<img id="ours-hero" src="hero.svg" alt="" width="600" height="300">
<div class="spacer"></div>
<h1 id="ours-end">Ours, at the end</h1>
<img id="ours-full" src="hero.svg" alt="" style="display:block;width:100%;height:auto">
<script src="own-reveal.js"></script>
</body></html>
`,
  );
  return file;
}

function writePlainPage(folder, name, title, body) {
  const file = path.join(folder, name);
  fs.writeFileSync(
    file,
    `<!DOCTYPE html>
<html lang="en"><head><meta charset="utf-8"><title>${title}</title></head>
<body><h2>${body}</h2></body></html>
`,
  );
  return file;
}

module.exports = { writeAllClassesPage, writeCopyingPage, writeLongPage, writeOwnLibraryPage, writePlainPage };

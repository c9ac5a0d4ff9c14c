/* Lumivane reveal: our elements (class "wow" and an animation class of ours, lv-...) play their
 * entrance animation (lumivane-animate.css) when they scroll into view; those in view when the
 * page loads start at once. A page's own elements of class "wow" belong to the page's own reveal
 * library, if it has one, and are never touched.
 *
 * The page is marked with the class lv-on on <html>, and so its elements hidden, only when this
 * script can also show them again: without JavaScript, without this file on the server, without
 * IntersectionObserver, or for a visitor who asked for reduced motion, every element just shows.
 * Loaded without defer at the top of <body>, the mark is set before anything below is painted.
 */
(function (win, doc) {
  'use strict';

  var root = doc.documentElement;
  var still = win.matchMedia && win.matchMedia('(prefers-reduced-motion: reduce)').matches;
  if (still || !('IntersectionObserver' in win) || !root.classList || root.classList.contains('lv-on')) {
    return;
  }
  root.classList.add('lv-on');

  var TIME = /^\s*(\d*\.?\d+)\s*(m?s)?\s*$/i;
  var OURS = /(^|\s)lv-/;
  var FAR = 10000;

  function ours(el) {
    return el.classList.contains('wow') && !el.classList.contains('lv-in') &&
      OURS.test(el.getAttribute('class'));
  }

  function room(n) {
    return Math.max(0, Math.floor(n) - 1);
  }

  // How far the element may move or grow towards the sides the page scrolls to, measured at
  // rest: the stylesheet keeps every move within it, so no animation makes the page wider or
  // longer than it is (a sideways scrollbar on a phone, a page that jumps at its end).
  function measure(el) {
    var r = el.getBoundingClientRect();
    var x = win.pageXOffset || 0;
    var y = win.pageYOffset || 0;
    var width = Math.max(root.scrollWidth, root.clientWidth);
    var height = Math.max(root.scrollHeight, root.clientHeight);
    var rtl = win.getComputedStyle(doc.body || root).direction === 'rtl';
    var right = rtl ? FAR : room(width - r.right - x);
    var left = rtl ? room(r.left + x + width - root.clientWidth) : FAR;
    var below = room(height - r.bottom - y);
    var side = rtl ? left : right;
    var grow = 1 + Math.min(side / (r.width || 1), below / (r.height || 1));
    el.style.setProperty('--lv-r', right + 'px');
    el.style.setProperty('--lv-l', left + 'px');
    el.style.setProperty('--lv-b', below + 'px');
    el.style.setProperty('--lv-g', String(Math.min(grow, 2)));
  }

  function reveal(el) {
    try {
      var wanted = TIME.exec(el.getAttribute('data-wow-duration') || '');
      if (wanted) {
        // A variable, not the duration itself: the stylesheet's duration must beat whatever
        // a page's own library writes into the element's style.
        el.style.setProperty('--lv-time', wanted[1] + (wanted[2] || 's').toLowerCase());
      }
      measure(el);
    } finally {
      el.classList.add('lv-in');
    }
  }

  function start() {
    try {
      // Threshold 0: one visible pixel is enough, so elements taller than the screen reveal too.
      var watcher = new IntersectionObserver(function (entries) {
        for (var i = 0; i < entries.length; i++) {
          if (entries[i].isIntersecting) {
            watcher.unobserve(entries[i].target);
            reveal(entries[i].target);
          }
        }
      }, { threshold: 0 });
      var watch = function (node) {
        if (node.nodeType !== 1) {
          return;
        }
        if (ours(node)) {
          watcher.observe(node);
        }
        var inside = node.querySelectorAll('.wow');
        for (var i = 0; i < inside.length; i++) {
          if (ours(inside[i])) {
            watcher.observe(inside[i]);
          }
        }
      };
      watch(root);
      // Elements the page adds later (a slider cloning its slides) would stay hidden unwatched.
      if ('MutationObserver' in win) {
        new MutationObserver(function (changes) {
          for (var c = 0; c < changes.length; c++) {
            for (var n = 0; n < changes[c].addedNodes.length; n++) {
              watch(changes[c].addedNodes[n]);
            }
          }
        }).observe(root, { childList: true, subtree: true });
      }
    } catch (e) {
      root.classList.remove('lv-on'); // rather show everything than leave anything hidden
    }
  }

  if (doc.readyState === 'loading') {
    doc.addEventListener('DOMContentLoaded', start);
  } else {
    start();
  }
})(window, document);

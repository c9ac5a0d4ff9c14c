// The page's own reveal library, written the common way: once the page is parsed it notes each .wow
// element's animation and hides it; as the element scrolls into view it shows it with that
// animation, its data-wow-duration and the class animated.
document.addEventListener('DOMContentLoaded', function () {
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
      box.style.animationDuration = box.getAttribute('data-wow-duration') || '';
      box.style.visibility = 'visible';
      box.style.animationName = names[i];
      box.className += ' animated';
      boxes[i] = null;
    });
  }
  addEventListener('scroll', check);
  check();
});

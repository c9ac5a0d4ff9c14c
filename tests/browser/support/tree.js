'use strict';
// A document as Chromium reads it (encoding, rendering mode, node tree), our own inserts taken out
// of a restyled page's tree, and a readable difference of two such readings.

const HTML = 'http://www.w3.org/1999/xhtml';
const PREFIX = { [HTML]: '', 'http://www.w3.org/2000/svg': 'svg:', 'http://www.w3.org/1998/Math/MathML': 'math:' };

// Runs in the page: every node of the document, template contents included.
function readDocument() {
  const walk = (n) => {
    const kids = [...n.childNodes].map(walk);
    if (n.content instanceof DocumentFragment) kids.unshift({ content: true, kids: [...n.content.childNodes].map(walk) });
    if (n.nodeType === Node.ELEMENT_NODE) {
      return { el: n.localName, ns: n.namespaceURI, attrs: [...n.attributes].map((a) => [a.name, a.value]), kids };
    }
    if (n.nodeType === Node.DOCUMENT_TYPE_NODE) return { doctype: [n.name, n.publicId, n.systemId] };
    return n.nodeType === Node.TEXT_NODE ? { text: n.data } : { comment: n.data };
  };
  return { characterSet: document.characterSet, compatMode: document.compatMode, kids: [...document.childNodes].map(walk) };
}

const attr = (n, name) => n.attrs?.find(([k]) => k === name)?.[1];
const textOf = (n) => (n.kids ?? []).map((k) => k.text ?? '').join('');
const isCharsetMeta = (n) => n.el === 'meta' && n.ns === HTML && n.attrs.length === 1 && attr(n, 'charset') !== undefined;

// Elements of our snippets: the stylesheet link and reveal script from anilibs/, the style blocks
// of the animation settings and the web font, the back-button script.
function isOurs(n) {
  if (n.ns !== HTML) return false;
  if (['link', 'script'].includes(n.el) && /^anilibs\//.test(attr(n, 'href') ?? attr(n, 'src') ?? '')) return true;
  return ['style', 'script'].includes(n.el) && /--lv-time|#lv-font|lumivaneBack/.test(textOf(n));
}

// The restyled page's tree without what the run added. The run may add a lone <meta charset>
// ahead of any the page has: as many of the first ones go as the output has more than the source.
// The line breaks the run writes beside an insert stay in the text around it, so a text that
// touched an insert becomes a pattern in which each such line break is optional.
function withoutOurs(tree, fx, source) {
  const count = (n) => (isCharsetMeta(n) ? 1 : 0) + (n.kids ?? []).reduce((sum, kid) => sum + count(kid), 0);
  let extraCharsets = count(tree) - count(source);
  const escape = (text) => text.replace(/[.*+?^${}()|[\]\\]/g, '\\$&');
  const optional = (text, before, after) => {
    const front = before && text.startsWith('\n') ? 1 : 0;
    const back = after && text.length > front && text.endsWith('\n') ? 1 : 0;
    return '\n?'.repeat(front) + escape(text.slice(front, text.length - back)) + '\n?'.repeat(back);
  };
  const clean = (n) => {
    if (!n.kids) return n;
    const kids = [];
    let run = []; // texts and taken-out inserts (null) since the last element kept
    const flush = () => {
      const texts = run.filter(Boolean);
      if (texts.length > 0) {
        const text = texts.map((t) => t.text).join('');
        const pattern = run.map((t, k) => t && optional(t.text, run[k - 1] === null, run[k + 1] === null)).join('');
        kids.push(run.includes(null) ? { text, pattern: new RegExp(`^${pattern}$`) } : { text });
      }
      run = [];
    };
    for (const kid of n.kids) {
      if (isOurs(kid) || (isCharsetMeta(kid) && extraCharsets-- > 0)) run.push(null);
      else if (kid.text !== undefined) run.push(kid);
      else {
        flush();
        kids.push(clean(kid));
      }
    }
    flush();
    const out = { ...n, kids };
    // The animation classes appended to h1 and img, and the duration written right after them.
    const at = n.ns === HTML && ['h1', 'img'].includes(n.el) ? n.attrs.findIndex(([k]) => k === 'class') : -1;
    const tag = at >= 0 && / wow (\S+)$/.exec(n.attrs[at][1]);
    if (tag && fx.includes(tag[1])) {
      out.attrs = n.attrs.map(([k, v]) => [k, v]);
      if (out.attrs[at + 1]?.[0] === 'data-wow-duration') out.attrs.splice(at + 1, 1);
      out.attrs[at][1] = out.attrs[at][1].slice(0, tag.index);
      // A class the run created stands last and empty: the page had none.
      if (out.attrs[at][1] === '' && at === out.attrs.length - 1) out.attrs.pop();
    }
    return out;
  };
  return clean(tree);
}

// One line per node, with the path of its parents.
function lines(tree) {
  const out = ['characterSet', 'compatMode'].map((name) => ({ key: `${name} ${tree[name]}`, path: 'document' }));
  const visit = (n, path) => {
    const name = n.el && `${PREFIX[n.ns] ?? `{${n.ns}}`}${n.el}`;
    const doctype = n.doctype && `<!DOCTYPE ${n.doctype.map((part) => JSON.stringify(part)).join(' ')}>`;
    const other = doctype || (n.content ? 'template contents' : `<!--${n.comment}-->`);
    const key = n.el ? `<${name}${n.attrs.map(([k, v]) => ` ${k}="${v}"`).join('')}>` : n.text !== undefined ? JSON.stringify(n.text) : other;
    out.push({ key, path, pattern: n.pattern, text: n.text });
    for (const kid of n.kids ?? []) visit(kid, `${path} > ${name || key}`);
  };
  tree.kids.forEach((kid) => visit(kid, 'document'));
  return out;
}

// The nodes only the source has (-) and only the output has (+), where a node matches only under
// the same parents and an empty text the output may leave out counts as nothing. Past the common
// head and tail, a longest common subsequence of the rest gives the lines; its table grows with
// the product of the two rests, so rests too long for it are shown as they are.
function treeDiff(source, output) {
  const [all, allOut] = [lines(source), lines(output)];
  const same = (x, y) =>
    x.path === y.path && (x.key === y.key || (x.text !== undefined && Boolean(y.pattern?.test(x.text))));
  let [head, tail] = [0, 0];
  while (head < Math.min(all.length, allOut.length) && same(all[head], allOut[head])) head++;
  const rest = Math.min(all.length, allOut.length) - head;
  while (tail < rest && same(all[all.length - 1 - tail], allOut[allOut.length - 1 - tail])) tail++;
  const [a, b] = [all.slice(head, all.length - tail), allOut.slice(head, allOut.length - tail)];
  const report = [];
  const show = (sign, { path, key }) =>
    report.push(`  ${sign} ${path}: ${key.length > 120 ? `${key.slice(0, 117)}...` : key}`);
  if (a.length * b.length > 4e6) {
    a.slice(0, 20).forEach((line) => show('-', line));
    b.slice(0, 20).forEach((line) => show('+', line));
    return report.join('\n');
  }
  const common = Array.from({ length: a.length + 1 }, () => new Uint32Array(b.length + 1));
  for (let i = a.length - 1; i >= 0; i--) {
    for (let j = b.length - 1; j >= 0; j--) {
      common[i][j] = same(a[i], b[j]) ? common[i + 1][j + 1] + 1 : Math.max(common[i + 1][j], common[i][j + 1]);
    }
  }
  let [i, j] = [0, 0];
  while (i < a.length || j < b.length) {
    if (i < a.length && j < b.length && same(a[i], b[j])) [i, j] = [i + 1, j + 1];
    else if (i < a.length && (j === b.length || common[i + 1][j] >= common[i][j + 1])) show('-', a[i++]);
    else if (!b[j++].pattern?.test('')) show('+', b[j - 1]);
  }
  return report.slice(0, 40).join('\n');
}

module.exports = { readDocument, treeDiff, withoutOurs };

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
    if (n.nodeType === Node.ELEMENT_NODE) return { el: n.localName, ns: n.namespaceURI, attrs: [...n.attributes].map((a) => [a.name, a.value]), kids };
    if (n.nodeType === Node.DOCUMENT_TYPE_NODE) return { doctype: [n.name, n.publicId, n.systemId] };
    return n.nodeType === Node.TEXT_NODE ? { text: n.data } : { comment: n.data };
  };
  return { characterSet: document.characterSet, compatMode: document.compatMode, kids: [...document.childNodes].map(walk) };
}

const attr = (n, name) => n.attrs?.find(([k]) => k === name)?.[1];
const isCharsetMeta = (n) => n.el === 'meta' && n.ns === HTML && n.attrs.length === 1 && attr(n, 'charset') !== undefined;

// Elements of our snippets: the stylesheet link and reveal script from anilibs/, the style blocks
// of the animation settings and the web font, the back-button script.
const isOurs = (n) => n.ns === HTML && ((['link', 'script'].includes(n.el) && /^anilibs\//.test(attr(n, 'href') ?? attr(n, 'src')))
  || (['style', 'script'].includes(n.el) && /--lv-time|#lv-font|lumivaneBack/.test(n.kids.map((k) => k.text ?? '').join(''))));

// The restyled page's tree without what the run added. The run may add a lone <meta charset>
// ahead of any the page has: as many of the first ones go as the output has more than the source.
// The line breaks the run writes beside an insert stay in the text around it, so a text that
// touched an insert becomes a pattern in which each such line break is optional.
function withoutOurs(tree, source) {
  const count = (n) => (isCharsetMeta(n) ? 1 : 0) + (n.kids ?? []).reduce((sum, kid) => sum + count(kid), 0);
  let extraCharsets = count(tree) - count(source);
  const escape = (text) => text.replace(/[.*+?^${}()|[\]\\]/g, '\\$&');
  const optional = (text, before, after) => {
    const front = before && text.startsWith('\n') ? 1 : 0;
    const back = after && text.length > front && text.endsWith('\n') ? 1 : 0;
    return '\n?'.repeat(front) + escape(text.slice(front, text.length - back)) + '\n?'.repeat(back);
  };
  const clean = (n) => {
    let [kids, run] = [[], []]; // run: texts and taken-out inserts (null) since the last element kept
    if (!n.kids) return n;
    const flush = () => {
      const text = run.filter(Boolean).map((t) => t.text).join('');
      const pattern = run.map((t, k) => t && optional(t.text, run[k - 1] === null, run[k + 1] === null)).join('');
      if (run.some(Boolean)) kids.push(run.includes(null) ? { text, pattern: new RegExp(`^${pattern}$`) } : { text });
      run = [];
    };
    for (const kid of n.kids) {
      if (isOurs(kid) || (isCharsetMeta(kid) && extraCharsets-- > 0)) run.push(null);
      else if (kid.text !== undefined) run.push(kid);
      else kids.push((flush(), clean(kid)));
    }
    flush();
    const out = { ...n, kids };
    // The animation classes appended to h1 and img, and the duration written right after them.
    const at = n.ns === HTML && ['h1', 'img'].includes(n.el) ? n.attrs.findIndex(([k]) => k === 'class') : -1;
    const tag = at >= 0 && / wow lv-\S+$/.exec(n.attrs[at][1]);
    if (tag) {
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
// the same parents and a text the output may leave out empty counts as nothing: both lists are
// walked from the front and then from the back while they agree, and what is left between differs.
// Time and memory grow with the length of the lists, a 2 MB page compares like a small one.
function treeDiff(source, output) {
  const [a, b] = [lines(source), lines(output)];
  const same = (x, y) => x.path === y.path && (x.key === y.key || (x.text !== undefined && Boolean(y.pattern?.test(x.text))));
  const optional = (y) => Boolean(y.pattern?.test(''));
  let [i, j, k, l] = [0, 0, a.length, b.length]; // a[i, k) and b[j, l) are left
  for (;;) {
    if (i < k && j < l && same(a[i], b[j])) [i, j] = [i + 1, j + 1];
    else if (j < l && optional(b[j])) j++;
    else break;
  }
  for (;;) {
    if (i < k && j < l && same(a[k - 1], b[l - 1])) [k, l] = [k - 1, l - 1];
    else if (j < l && optional(b[l - 1])) l--;
    else break;
  }
  const show = (sign, { path, key }) => `  ${sign} ${path}: ${key.length > 120 ? `${key.slice(0, 117)}...` : key}`;
  const left = b.slice(j, l).filter((y) => !optional(y));
  return [...a.slice(i, k).slice(0, 20).map((x) => show('-', x)), ...left.slice(0, 20).map((y) => show('+', y))].join('\n');
}

module.exports = { readDocument, treeDiff, withoutOurs };

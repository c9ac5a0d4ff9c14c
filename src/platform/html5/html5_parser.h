#pragma once

// The C interface of the HTML parser library (lib.rs beside this file, html5ever inside): the
// page goes in as UTF-8 and comes out as a flat list of nodes in document order, each with its
// depth below the document. Strings are UTF-8, not terminated, and point into the parsed document;
// they stay valid until lumivane_html5_free. Only src/platform/html5_parse.cpp includes this.

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

struct LumivaneHtml5Document;

struct LumivaneHtml5String {
    const char *data;
    size_t size;
};

enum LumivaneHtml5Kind {
    LUMIVANE_HTML5_DOCTYPE = 1,  // name; its public and system identifiers are its two attributes
    LUMIVANE_HTML5_ELEMENT = 2,  // namespace, local name, attributes
    LUMIVANE_HTML5_TEXT = 3,     // text
    LUMIVANE_HTML5_COMMENT = 4,  // text
    // The contents of the <template> element it follows, one level deeper: a fragment of its own,
    // never one of the element's children.
    LUMIVANE_HTML5_TEMPLATE_CONTENTS = 5,
};

// Element namespaces: 0 HTML, 1 SVG, 2 MathML. Attribute namespaces: 0 none, 1 XLink, 2 XML,
// 3 XMLNS; a namespaced attribute's name is its local name ("href" of xlink:href).
struct LumivaneHtml5Node {
    uint8_t kind;
    uint8_t ns;
    uint32_t depth;  // 0 for a child of the document
    uint32_t firstAttribute;
    uint32_t attributeCount;
    struct LumivaneHtml5String name;
    struct LumivaneHtml5String text;
};

struct LumivaneHtml5Attribute {
    uint8_t ns;
    struct LumivaneHtml5String name;
    struct LumivaneHtml5String value;
};

// Parses the page as a browser with scripting on does. Null only if the parser failed, which it
// is not known to do on any input.
struct LumivaneHtml5Document *lumivane_html5_parse(const uint8_t *utf8, size_t size);
// The nodes and their attributes. The list is made on the first call of either, so that the
// caller can free its copy of the page before: the parsed document holds what it needs.
const struct LumivaneHtml5Node *lumivane_html5_nodes(struct LumivaneHtml5Document *document,
                                                     size_t *count);
const struct LumivaneHtml5Attribute *
lumivane_html5_attributes(struct LumivaneHtml5Document *document, size_t *count);
// 0 no quirks, 1 limited quirks, 2 quirks: the rendering mode the page's doctype gave.
uint8_t lumivane_html5_quirks_mode(const struct LumivaneHtml5Document *document);
void lumivane_html5_free(struct LumivaneHtml5Document *document);

// The parser's own work alone (parse, then free the tree); the number of nodes. For measuring.
size_t lumivane_html5_parse_only(const uint8_t *utf8, size_t size);

#ifdef __cplusplus
}
#endif

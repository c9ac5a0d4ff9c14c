//! Parses a page with html5ever, as a browser with scripting on does, and hands the tree to C++ as
//! a flat list of nodes in document order (html5_parser.h describes the interface). The tree is
//! built in one growing array rather than from reference-counted nodes: it costs less memory and
//! time, and it is freed in one go, however deeply the page nests.

use std::borrow::Cow;
use std::os::raw::c_char;
use std::panic::{catch_unwind, AssertUnwindSafe};

use html5ever::tendril::{StrTendril, TendrilSink};
use html5ever::tree_builder::{ElementFlags, NodeOrText, QuirksMode, TreeBuilderOpts, TreeSink};
use html5ever::{namespace_url, ns, parse_document, Attribute, ExpandedName, ParseOpts, QualName};

const NONE: u32 = u32::MAX;
const DOCUMENT: u32 = 0;

enum Data {
    Document,
    Doctype {
        name: StrTendril,
        public_id: StrTendril,
        system_id: StrTendril,
    },
    Element {
        name: QualName,
        attributes: Vec<Attribute>,
        // A <template>'s contents: a fragment of its own, never among the element's children.
        template_contents: u32,
        annotation_xml_integration_point: bool,
    },
    TemplateContents,
    Text(StrTendril),
    Comment(StrTendril),
}

struct Node {
    parent: u32,
    previous: u32,
    next: u32,
    first_child: u32,
    last_child: u32,
    data: Data,
}

struct Tree {
    nodes: Vec<Node>,
    quirks_mode: QuirksMode,
}

impl Tree {
    fn new() -> Tree {
        let mut tree = Tree {
            nodes: Vec::new(),
            quirks_mode: QuirksMode::NoQuirks,
        };
        tree.add(Data::Document);
        tree
    }

    fn add(&mut self, data: Data) -> u32 {
        self.nodes.push(Node {
            parent: NONE,
            previous: NONE,
            next: NONE,
            first_child: NONE,
            last_child: NONE,
            data,
        });
        (self.nodes.len() - 1) as u32
    }

    fn node(&self, id: u32) -> &Node {
        &self.nodes[id as usize]
    }

    fn node_mut(&mut self, id: u32) -> &mut Node {
        &mut self.nodes[id as usize]
    }

    fn detach(&mut self, id: u32) {
        let (parent, previous, next) = {
            let node = self.node(id);
            (node.parent, node.previous, node.next)
        };
        if parent == NONE {
            return;
        }
        if previous != NONE {
            self.node_mut(previous).next = next;
        } else {
            self.node_mut(parent).first_child = next;
        }
        if next != NONE {
            self.node_mut(next).previous = previous;
        } else {
            self.node_mut(parent).last_child = previous;
        }
        let node = self.node_mut(id);
        node.parent = NONE;
        node.previous = NONE;
        node.next = NONE;
    }

    // Puts `id` under `parent`, before `before`, or last when `before` is NONE.
    fn insert(&mut self, parent: u32, before: u32, id: u32) {
        self.detach(id);
        let previous = if before == NONE {
            self.node(parent).last_child
        } else {
            self.node(before).previous
        };
        {
            let node = self.node_mut(id);
            node.parent = parent;
            node.previous = previous;
            node.next = before;
        }
        if previous != NONE {
            self.node_mut(previous).next = id;
        } else {
            self.node_mut(parent).first_child = id;
        }
        if before != NONE {
            self.node_mut(before).previous = id;
        } else {
            self.node_mut(parent).last_child = id;
        }
    }

    // Text joins the text node it would follow, as the DOM's parser does, instead of making a
    // second node beside it.
    fn insert_child(&mut self, parent: u32, before: u32, child: NodeOrText<u32>) {
        match child {
            NodeOrText::AppendNode(id) => self.insert(parent, before, id),
            NodeOrText::AppendText(text) => {
                let previous = if before == NONE {
                    self.node(parent).last_child
                } else {
                    self.node(before).previous
                };
                if previous != NONE {
                    if let Data::Text(existing) = &mut self.node_mut(previous).data {
                        existing.push_tendril(&text);
                        return;
                    }
                }
                let id = self.add(Data::Text(text));
                self.insert(parent, before, id);
            }
        }
    }
}

impl TreeSink for Tree {
    type Handle = u32;
    type Output = Tree;

    fn finish(self) -> Tree {
        self
    }

    // Parse errors are never shown: a browser reads past them too.
    fn parse_error(&mut self, _message: Cow<'static, str>) {}

    fn get_document(&mut self) -> u32 {
        DOCUMENT
    }

    fn elem_name<'a>(&'a self, target: &'a u32) -> ExpandedName<'a> {
        match &self.node(*target).data {
            Data::Element { name, .. } => name.expanded(),
            _ => panic!("the parser asked for the name of a node that is no element"),
        }
    }

    fn create_element(&mut self, name: QualName, attributes: Vec<Attribute>, flags: ElementFlags) -> u32 {
        let template_contents = if flags.template {
            self.add(Data::TemplateContents)
        } else {
            NONE
        };
        self.add(Data::Element {
            name,
            attributes,
            template_contents,
            annotation_xml_integration_point: flags.mathml_annotation_xml_integration_point,
        })
    }

    fn create_comment(&mut self, text: StrTendril) -> u32 {
        self.add(Data::Comment(text))
    }

    // Only XML has processing instructions; the HTML tokenizer turns "<?" into a comment.
    fn create_pi(&mut self, _target: StrTendril, data: StrTendril) -> u32 {
        self.add(Data::Comment(data))
    }

    fn append(&mut self, parent: &u32, child: NodeOrText<u32>) {
        self.insert_child(*parent, NONE, child);
    }

    fn append_based_on_parent_node(&mut self, element: &u32, previous_element: &u32, child: NodeOrText<u32>) {
        if self.node(*element).parent != NONE {
            self.append_before_sibling(element, child);
        } else {
            self.append(previous_element, child);
        }
    }

    fn append_doctype_to_document(&mut self, name: StrTendril, public_id: StrTendril, system_id: StrTendril) {
        let id = self.add(Data::Doctype {
            name,
            public_id,
            system_id,
        });
        self.insert(DOCUMENT, NONE, id);
    }

    fn get_template_contents(&mut self, target: &u32) -> u32 {
        match &self.node(*target).data {
            Data::Element { template_contents, .. } if *template_contents != NONE => *template_contents,
            _ => panic!("the parser asked for the contents of an element that is no template"),
        }
    }

    fn same_node(&self, x: &u32, y: &u32) -> bool {
        x == y
    }

    fn set_quirks_mode(&mut self, mode: QuirksMode) {
        self.quirks_mode = mode;
    }

    fn append_before_sibling(&mut self, sibling: &u32, child: NodeOrText<u32>) {
        let parent = self.node(*sibling).parent;
        self.insert_child(parent, *sibling, child);
    }

    fn add_attrs_if_missing(&mut self, target: &u32, new_attributes: Vec<Attribute>) {
        if let Data::Element { attributes, .. } = &mut self.node_mut(*target).data {
            for attribute in new_attributes {
                if !attributes.iter().any(|a| a.name == attribute.name) {
                    attributes.push(attribute);
                }
            }
        }
    }

    fn remove_from_parent(&mut self, target: &u32) {
        self.detach(*target);
    }

    fn reparent_children(&mut self, node: &u32, new_parent: &u32) {
        let mut child = self.node(*node).first_child;
        while child != NONE {
            let next = self.node(child).next;
            self.insert(*new_parent, NONE, child);
            child = next;
        }
    }

    fn is_mathml_annotation_xml_integration_point(&self, handle: &u32) -> bool {
        matches!(
            self.node(*handle).data,
            Data::Element {
                annotation_xml_integration_point: true,
                ..
            }
        )
    }
}

// ---- The C interface (html5_parser.h mirrors these types) ----

#[repr(C)]
pub struct LumivaneHtml5String {
    data: *const c_char,
    size: usize,
}

#[repr(C)]
pub struct LumivaneHtml5Node {
    kind: u8,
    namespace: u8,
    depth: u32,
    first_attribute: u32,
    attribute_count: u32,
    name: LumivaneHtml5String,
    text: LumivaneHtml5String,
}

#[repr(C)]
pub struct LumivaneHtml5Attribute {
    namespace: u8,
    name: LumivaneHtml5String,
    value: LumivaneHtml5String,
}

const KIND_DOCTYPE: u8 = 1;
const KIND_ELEMENT: u8 = 2;
const KIND_TEXT: u8 = 3;
const KIND_COMMENT: u8 = 4;
const KIND_TEMPLATE_CONTENTS: u8 = 5;

pub struct LumivaneHtml5Document {
    tree: Tree,
    // Made on first request, so that the caller can free its copy of the page before (the tree
    // holds what it needs). They point into the tree's strings and live no longer than it.
    flat: Option<(Vec<LumivaneHtml5Node>, Vec<LumivaneHtml5Attribute>)>,
}

impl LumivaneHtml5Document {
    fn flat(&mut self) -> &(Vec<LumivaneHtml5Node>, Vec<LumivaneHtml5Attribute>) {
        let tree = &self.tree;
        self.flat.get_or_insert_with(|| flatten(tree))
    }
}

fn string(text: &str) -> LumivaneHtml5String {
    LumivaneHtml5String {
        data: text.as_ptr() as *const c_char,
        size: text.len(),
    }
}

fn element_namespace(name: &QualName) -> u8 {
    if name.ns == ns!(svg) {
        1
    } else if name.ns == ns!(mathml) {
        2
    } else {
        0
    }
}

fn attribute_namespace(name: &QualName) -> u8 {
    if name.ns == ns!(xlink) {
        1
    } else if name.ns == ns!(xml) {
        2
    } else if name.ns == ns!(xmlns) {
        3
    } else {
        0
    }
}

// Every node but the document, parents before children, each with its depth below the document.
// Iterative: a page nested 100,000 deep must not exhaust the stack.
fn flatten(tree: &Tree) -> (Vec<LumivaneHtml5Node>, Vec<LumivaneHtml5Attribute>) {
    let mut nodes = Vec::with_capacity(tree.nodes.len());
    let mut attributes = Vec::new();
    let mut pending: Vec<(u32, u32)> = Vec::new();
    let push_children = |pending: &mut Vec<(u32, u32)>, parent: u32, depth: u32| {
        let mut child = tree.node(parent).last_child;
        while child != NONE {
            pending.push((child, depth));
            child = tree.node(child).previous;
        }
    };
    push_children(&mut pending, DOCUMENT, 0);
    while let Some((id, depth)) = pending.pop() {
        let empty = string("");
        let (kind, namespace, name, text, first_attribute) = match &tree.node(id).data {
            Data::Document => continue,
            Data::Doctype {
                name,
                public_id,
                system_id,
            } => {
                let first = attributes.len() as u32;
                attributes.push(LumivaneHtml5Attribute {
                    namespace: 0,
                    name: string("public"),
                    value: string(public_id),
                });
                attributes.push(LumivaneHtml5Attribute {
                    namespace: 0,
                    name: string("system"),
                    value: string(system_id),
                });
                (KIND_DOCTYPE, 0, string(name), empty, first)
            }
            Data::Element {
                name,
                attributes: element_attributes,
                template_contents,
                ..
            } => {
                let first = attributes.len() as u32;
                for attribute in element_attributes {
                    attributes.push(LumivaneHtml5Attribute {
                        namespace: attribute_namespace(&attribute.name),
                        name: string(&attribute.name.local),
                        value: string(&attribute.value),
                    });
                }
                push_children(&mut pending, id, depth + 1);
                // Popped first: the contents come before any children the element may have.
                if *template_contents != NONE {
                    pending.push((*template_contents, depth + 1));
                }
                (KIND_ELEMENT, element_namespace(name), string(&name.local), empty, first)
            }
            Data::TemplateContents => {
                push_children(&mut pending, id, depth + 1);
                (KIND_TEMPLATE_CONTENTS, 0, empty, string(""), attributes.len() as u32)
            }
            Data::Text(text) => (KIND_TEXT, 0, empty, string(text), attributes.len() as u32),
            Data::Comment(text) => (KIND_COMMENT, 0, empty, string(text), attributes.len() as u32),
        };
        nodes.push(LumivaneHtml5Node {
            kind,
            namespace,
            depth,
            first_attribute,
            attribute_count: attributes.len() as u32 - first_attribute,
            name,
            text,
        });
    }
    (nodes, attributes)
}

fn parse(bytes: &[u8]) -> Tree {
    let options = ParseOpts {
        tree_builder: TreeBuilderOpts {
            // Every visitor's browser runs scripts, so <noscript> holds text, not elements.
            scripting_enabled: true,
            ..TreeBuilderOpts::default()
        },
        ..ParseOpts::default()
    };
    // The caller gives UTF-8; anything else becomes U+FFFD rather than undefined behaviour. (The
    // lossy conversion alone would take a slower path over valid text as well.)
    let text: Cow<str> = match std::str::from_utf8(bytes) {
        Ok(valid) => Cow::Borrowed(valid),
        Err(_) => String::from_utf8_lossy(bytes),
    };
    parse_document(Tree::new(), options).one(StrTendril::from_slice(&text))
}

unsafe fn input<'a>(utf8: *const u8, size: usize) -> &'a [u8] {
    if size == 0 {
        &[]
    } else {
        std::slice::from_raw_parts(utf8, size)
    }
}

/// Parses `size` bytes of UTF-8 at `utf8`; null if the parser failed (it never should).
#[no_mangle]
pub unsafe extern "C" fn lumivane_html5_parse(utf8: *const u8, size: usize) -> *mut LumivaneHtml5Document {
    let bytes = input(utf8, size);
    catch_unwind(AssertUnwindSafe(|| {
        Box::into_raw(Box::new(LumivaneHtml5Document {
            tree: parse(bytes),
            flat: None,
        }))
    }))
    .unwrap_or(std::ptr::null_mut())
}

/// The parser's own work alone: parses and frees the tree; the number of nodes it built, or 0 if
/// the parser failed. The floor that a measured run is compared with.
#[no_mangle]
pub unsafe extern "C" fn lumivane_html5_parse_only(utf8: *const u8, size: usize) -> usize {
    let bytes = input(utf8, size);
    catch_unwind(AssertUnwindSafe(|| parse(bytes).nodes.len())).unwrap_or(0)
}

#[no_mangle]
pub unsafe extern "C" fn lumivane_html5_nodes(
    document: *mut LumivaneHtml5Document,
    count: *mut usize,
) -> *const LumivaneHtml5Node {
    let (nodes, _) = (*document).flat();
    *count = nodes.len();
    nodes.as_ptr()
}

#[no_mangle]
pub unsafe extern "C" fn lumivane_html5_attributes(
    document: *mut LumivaneHtml5Document,
    count: *mut usize,
) -> *const LumivaneHtml5Attribute {
    let (_, attributes) = (*document).flat();
    *count = attributes.len();
    attributes.as_ptr()
}

/// 0 no quirks, 1 limited quirks, 2 quirks.
#[no_mangle]
pub unsafe extern "C" fn lumivane_html5_quirks_mode(document: *const LumivaneHtml5Document) -> u8 {
    match (*document).tree.quirks_mode {
        QuirksMode::NoQuirks => 0,
        QuirksMode::LimitedQuirks => 1,
        QuirksMode::Quirks => 2,
    }
}

#[no_mangle]
pub unsafe extern "C" fn lumivane_html5_free(document: *mut LumivaneHtml5Document) {
    if !document.is_null() {
        drop(Box::from_raw(document));
    }
}

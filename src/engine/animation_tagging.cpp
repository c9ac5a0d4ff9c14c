#include "engine/animation_tagging.h"

#include "platform/components.h"
#include "platform/dom.h"

using namespace Qt::StringLiterals;

namespace lumivane {

namespace {

bool isAsciiWhitespace(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\f' || c == u'\r';
}

// Whether the class list holds the class wow, as the page's own library would find it.
bool hasClassWow(QStringView classes)
{
    for (qsizetype at = classes.indexOf(u"wow"); at >= 0; at = classes.indexOf(u"wow", at + 1)) {
        const qsizetype end = at + 3;
        if ((at == 0 || isAsciiWhitespace(classes[at - 1])) &&
            (end == classes.size() || isAsciiWhitespace(classes[end]))) {
            return true;
        }
    }
    return false;
}

}  // namespace

int CountPageAnimations(const Document &document)
{
    // Template contents are no part of the page a browser shows; a <noscript> holds only text.
    const dom::Tree &tree = document.tree();
    int count = 0;
    for (dom::NodeId id = 0; id < tree.size(); ++id) {
        if (tree[id].kind == dom::NodeKind::TemplateContents) {
            id = tree.subtreeEnd(id) - 1;
        } else if (const dom::Utf8 *classes = tree.attribute(id, "class");
                   classes && tree[id].isElement() && hasClassWow(toQString(*classes))) {
            ++count;
        }
    }
    return count;
}

QString PageAnimationsNotice(int count)
{
    return count == 1 ? u"The page already animates 1 element of its own (class wow); it keeps its "
                        "animation and gets none of ours."_s
                      : u"The page already animates %1 elements of its own (class wow); they keep "
                        "their animations and get none of ours."_s.arg(count);
}

int ApplyRandomAnimations(const Document &document, QStringList &lstFX, QRandomGenerator &random)
{
    if (lstFX.isEmpty()) {
        return 0;
    }

    const QString opening = u" "_s + QString::fromLatin1(marker::Opening) + u"wow "_s;
    const QString closing = QString::fromLatin1(marker::Closing);
    int tagged = 0;
    const auto tag = [&](Element element) {
        if (hasClassWow(element.className())) {
            return;
        }
        // A fresh shuffle for every element keeps the picks independent of one another.
        ShuffleList(lstFX, random);
        element.setClassName(element.className() + opening + lstFX.first() + closing);
        ++tagged;
    };
    for (const Element &element : document.getElementsByTagName(u"h1"_s)) {
        tag(element);
    }
    for (const Element &element : document.images()) {
        tag(element);
    }
    return tagged;
}

}  // namespace lumivane

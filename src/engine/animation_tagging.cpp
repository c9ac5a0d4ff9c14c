#include "engine/animation_tagging.h"

#include "engine/run_options.h"
#include "platform/components.h"
#include "platform/dom.h"

#include <vector>

using namespace Qt::StringLiterals;

namespace lumivane {

namespace {

// The fx files whose lines make the pool of a family entry, in loading order; none for an index
// outside the list.
QList<const char *> fxFilesForFamily(int family)
{
    switch (family) {
    case AnimationFamily::BounceFade:
        return {snippet::FxBounce, snippet::FxFade};
    case AnimationFamily::SlideFade:
        return {snippet::FxSlide, snippet::FxFade};
    case AnimationFamily::BounceSlide:
        return {snippet::FxBounce, snippet::FxSlide};
    case AnimationFamily::Bounce:
        return {snippet::FxBounce};
    case AnimationFamily::Slide:
        return {snippet::FxSlide};
    case AnimationFamily::Fade:
        return {snippet::FxFade};
    default:
        return {};
    }
}

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
    int count = 0;
    // Template contents are not children, and <noscript> holds text for a browser that runs
    // scripts, so neither is entered. A stack of our own: pages may nest very deep.
    std::vector<const dom::Node *> pending{&document.root()};
    while (!pending.empty()) {
        const dom::Node *node = pending.back();
        pending.pop_back();
        if (node->isElement()) {
            const dom::Attribute *classes = node->attribute(u"class");
            count += classes && hasClassWow(classes->value) ? 1 : 0;
            if (node->isHtml(u"noscript")) {
                continue;
            }
        }
        for (const auto &child : node->children) {
            pending.push_back(child.get());
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

Result<int> ApplyRandomAnimations(const Document &document, int family,
                                  const SnippetFolder &snippets, QRandomGenerator &random,
                                  QStringList &lstFX)
{
    lstFX.clear();
    for (const char *file : fxFilesForFamily(family)) {
        if (Status read = snippets.readLines(lstFX, file); !read) {
            return Error{read.error()};
        }
    }
    // A blank line names no animation; picking it would give an element the class wow alone, and
    // it would never show. Such lines are left out of the pool.
    lstFX.removeIf([](const QString &item) { return item.trimmed().isEmpty(); });
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

#include "engine/animation_tagging.h"

#include "engine/run_options.h"
#include "platform/components.h"

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

}  // namespace

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

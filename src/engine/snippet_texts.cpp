#include "engine/snippet_texts.h"

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

Result<SnippetTexts> ReadSnippetTexts(const SnippetFolder &snippets, const RunOptions &options)
{
    SnippetTexts texts;
    const auto read = [&snippets](QString &text, const char *file) -> Status {
        auto content = snippets.readText(file);
        if (!content) {
            return Error{content.error()};
        }
        text = std::move(content).value();
        return Ok{};
    };
    if (Status s = read(texts.animationLinkText, snippet::AnimateLinkRel); !s) {
        return Error{s.error()};
    }
    if (Status s = read(texts.animationStyleText, snippet::AnimateCss); !s) {
        return Error{s.error()};
    }
    if (Status s = read(texts.fontTemplate, snippet::FontCss); !s) {
        return Error{s.error()};
    }
    if (Status s = read(texts.activationText, snippet::ActivationScript); !s) {
        return Error{s.error()};
    }
    if (options.backButton && !options.backRedirect.isEmpty()) {
        if (Status s = read(texts.backButtonTemplate, snippet::BackButtonScript); !s) {
            return Error{s.error()};
        }
    }
    for (auto [list, file] : {std::pair{&texts.titleCloseCandidates, snippet::TitleCloseCandidates},
                              std::pair{&texts.bodyOpenCandidates, snippet::BodyOpenCandidates}}) {
        if (Status s = snippets.readLines(*list, file); !s) {
            return Error{s.error()};
        }
    }
    if (options.animations) {
        for (const char *file : fxFilesForFamily(options.animationFamily)) {
            if (Status s = snippets.readLines(texts.fxPool, file); !s) {
                return Error{s.error()};
            }
        }
        // A blank line names no animation; picking it would give an element the class wow alone,
        // and it would never show. Such lines are left out of the pool.
        texts.fxPool.removeIf([](const QString &item) { return item.trimmed().isEmpty(); });
    }
    return texts;
}

}  // namespace lumivane

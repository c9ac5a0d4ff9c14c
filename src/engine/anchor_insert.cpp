#include "engine/anchor_insert.h"

#include "engine/markup_scanner.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace lumivane {

namespace {

// Browsers look for the page's character-set declaration only in its first 1024 bytes. Every
// encoding a page can declare that way takes at least one byte per UTF-16 unit of our text, so a
// declaration that starts at unit 1024 or later is out of reach already and need not be kept in
// place.
constexpr qsizetype CharsetPrescanWindow = 1024;

const QString LineEnd = u"\r\n"_s;

struct InsertionPoint {
    qsizetype at = -1;
    bool lineEndAfter = false;  // the snippet stands on a line of its own, before a tag
};

InsertionPoint afterFirstCandidate(AnchorMode mode, PageTags &tags, const QString &page,
                                   const QStringList &lstToFind)
{
    for (const QString &candidate : lstToFind) {
        // A blank line would match anywhere; it is no candidate.
        if (candidate.trimmed().isEmpty()) {
            continue;
        }
        const qsizetype index = findTagText(tags, page, candidate);
        if (index < 0) {
            continue;
        }
        const MarkupTag &tag = *tags.at(index);
        if (mode == AnchorMode::Body) {
            // The whole opening tag, attributes and all, up to its '>'.
            return {tag.end, false};
        }
        // The candidate text itself; a candidate that stops short of the tag's '>' must still
        // not put the insert inside the tag.
        return {std::max(tag.begin + candidate.size(), tag.end), false};
    }
    return {};
}

// A page without a title: the insert still belongs to the head, so it goes at the head's end.
InsertionPoint endOfHead(PageTags &tags)
{
    qsizetype headStartEnd = -1;
    for (qsizetype index = 0; const MarkupTag *found = tags.at(index); ++index) {
        const MarkupTag &tag = *found;
        if (tag.name != "head"_L1 || !tag.inPageContent()) {
            continue;
        }
        if (tag.kind == MarkupTag::Kind::End) {
            return {tag.begin, true};
        }
        if (headStartEnd < 0) {
            headStartEnd = tag.end;
        }
    }
    if (headStartEnd >= 0) {
        return {headStartEnd, false};
    }
    return {};
}

}  // namespace

QString InsertAfterAnchor(AnchorMode mode, const QString &snippet, const QString &page,
                          const QStringList &lstToFind)
{
    // The anchors stand near the top of a page: the tags are scanned only as far as needed.
    PageTags tags(page);

    InsertionPoint point = afterFirstCandidate(mode, tags, page, lstToFind);
    if (point.at < 0 && mode == AnchorMode::Head) {
        point = endOfHead(tags);
    }
    if (point.at < 0) {
        return page;
    }

    // An insert before the page's character-set declaration would push it away from the start of
    // the page, and a browser that no longer finds it there reads the page in the wrong encoding.
    // The insert then goes right after the declaration, which keeps its place.
    // A declaration that starts beyond the window is out of reach already, so the search stops
    // there.
    const qsizetype declaration = findCharsetDeclaration(tags, page, CharsetPrescanWindow);
    if (declaration >= 0) {
        const MarkupTag &meta = *tags.at(declaration);
        if (meta.begin >= point.at) {
            point = {meta.end, false};
        }
    }

    QString result;
    result.reserve(page.size() + snippet.size() + 2 * LineEnd.size());
    result.append(QStringView(page).first(point.at));
    result.append(LineEnd);
    result.append(snippet);
    if (point.lineEndAfter) {
        result.append(LineEnd);
    }
    result.append(QStringView(page).sliced(point.at));
    return result;
}

}  // namespace lumivane

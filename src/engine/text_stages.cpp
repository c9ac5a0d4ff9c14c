#include "engine/text_stages.h"

#include "engine/animation_tagging.h"
#include "engine/markup_scanner.h"

#include <algorithm>
#include <vector>

using namespace Qt::StringLiterals;

namespace lumivane {

namespace {

// Browsers look for the page's character-set declaration only in its first 1024 bytes. Every
// encoding a page can declare that way takes at least one byte per UTF-16 unit of our text, so a
// declaration that starts at unit 1024 or later is out of reach already and need not be kept in
// place.
constexpr qsizetype CharsetPrescanWindow = 1024;

const QString LineEnd = u"\r\n"_s;

// What the tagging appended to a class value: " ';;wow <name>;;'". The class value ends with the
// closing marker, and the last " ';;wow " in it is where the tagging's text began.
const QString TagStart = u" "_s + QString::fromLatin1(marker::Opening) + u"wow "_s;
const QString Closing = QString::fromLatin1(marker::Closing);
const QString Opening = QString::fromLatin1(marker::Opening);

QString durationFor(int speed)
{
    switch (speed) {
    case AnimationSpeed::Fast:
        return {};
    case AnimationSpeed::Slow:
        return u" data-wow-duration=\"3s\""_s;
    default:
        // "Natural", and also a speed that names no entry: markers must never stay in the page.
        return u" data-wow-duration=\"2s\""_s;
    }
}

// The stages in their order, which decides between changes at one place.
enum class Stage { HeadInsert, Activation, Markers, BackButton };

// One change to the page: the text from `begin` to `end` gives way to `kept` (a part of the page)
// followed by `added`.
struct Edit {
    qsizetype begin = 0;
    qsizetype end = 0;
    Stage stage = Stage::HeadInsert;
    QStringView kept;
    QString added;
};

// The first of a list of spellings that occurs as a real tag (in list order, not page order).
class FirstSpelling {
public:
    explicit FirstSpelling(const QStringList &texts)
    {
        for (const QString &text : texts) {
            // A blank line would match anywhere; it is no candidate.
            m_spellings.emplace_back(text.trimmed().isEmpty() ? QString() : text);
        }
        m_best = static_cast<qsizetype>(m_spellings.size());
    }
    void see(const MarkupTag &tag, QStringView page)
    {
        // Only spellings earlier in the list than the best one found so far can still win.
        for (qsizetype i = 0; i < m_best; ++i) {
            if (m_spellings[static_cast<size_t>(i)].matches(tag, page)) {
                m_best = i;
                m_tag = tag;
                return;
            }
        }
    }
    [[nodiscard]] bool found() const { return m_best < qsizetype(m_spellings.size()); }
    [[nodiscard]] const MarkupTag &tag() const { return m_tag; }
    [[nodiscard]] qsizetype length() const
    {
        return m_spellings[static_cast<size_t>(m_best)].size();
    }

private:
    std::vector<TagSpelling> m_spellings;
    qsizetype m_best = 0;
    MarkupTag m_tag;
};

struct Landmarks {
    qsizetype headStartEnd = -1;  // one past the first <head ...> of the page content
    qsizetype headEndBegin = -1;  // the first </head>
    qsizetype charsetBegin = -1;  // the first charset declaration in the prescan window
    qsizetype charsetEnd = -1;
};

// class="old ';;wow name;;'" becomes class="old wow name", then the duration: only in the class
// values of real start tags, written in double quotes as our serializer writes them; the same
// characters in a script, a comment or another attribute are the page's own.
void resolveMarker(const MarkupTag &tag, QStringView page, const QString &quoteAndDuration,
                   std::vector<Edit> &edits)
{
    const MarkupAttribute *classAttribute = tag.attribute(u"class");
    if (tag.kind != MarkupTag::Kind::Start || classAttribute == nullptr ||
        classAttribute->quote != u'"') {
        return;
    }
    const QStringView value = page.sliced(classAttribute->valueBegin,
                                          classAttribute->valueEnd - classAttribute->valueBegin);
    if (!value.endsWith(Closing)) {
        return;
    }
    const qsizetype tagStart = value.lastIndexOf(TagStart);
    if (tagStart < 0 || tagStart + TagStart.size() >= value.size() - Closing.size()) {
        return;
    }
    const qsizetype openingAt = classAttribute->valueBegin + tagStart + 1;
    const qsizetype closingAt = classAttribute->valueEnd - Closing.size();
    const qsizetype namesBegin = openingAt + Opening.size();
    edits.push_back(Edit{openingAt, classAttribute->valueEnd + 1, Stage::Markers,
                         page.sliced(namesBegin, closingAt - namesBegin), quoteAndDuration});
}

// Where a snippet goes: after the anchor of its mode, on a new line. Head mode takes the first
// title-closing spelling (a spelling that stops short of the tag's '>' must still not put the
// insert inside the tag), or else the head's end; body mode the whole body start tag, attributes
// and all. An insert before the page's character-set declaration would push the declaration away
// from the start of the page, and a browser that no longer finds it there reads the page in the
// wrong encoding: the insert then goes right after the declaration, which keeps its place.
void InsertAfterAnchor(AnchorMode mode, const QString &snippet, const FirstSpelling &anchor,
                       const Landmarks &landmarks, std::vector<Edit> &edits)
{
    const bool head = mode == AnchorMode::Head;
    qsizetype at = -1;
    bool lineEndAfter = false;  // the snippet stands on a line of its own, before a tag
    if (anchor.found()) {
        at = head ? std::max(anchor.tag().begin + anchor.length(), anchor.tag().end)
                  : anchor.tag().end;
    } else if (head && landmarks.headEndBegin >= 0) {
        at = landmarks.headEndBegin;
        lineEndAfter = true;
    } else if (head && landmarks.headStartEnd >= 0) {
        at = landmarks.headStartEnd;
    }
    if (at < 0) {
        return;
    }
    if (landmarks.charsetBegin >= at) {
        at = landmarks.charsetEnd;
        lineEndAfter = false;
    }
    edits.push_back(Edit{at,
                         at,
                         head ? Stage::HeadInsert : Stage::Activation,
                         {},
                         LineEnd + snippet + (lineEndAfter ? LineEnd : QString())});
}

}  // namespace

QString applyTextStages(const QString &page, const TextStages &stages)
{
    const QStringView text(page);
    FirstSpelling titleClose(stages.titleCloseCandidates);
    FirstSpelling bodyOpen(stages.bodyOpenCandidates);
    // Tried in this order, each with its exact letter case.
    FirstSpelling headClose({u"</head>"_s, u"</HEAD>"_s, u"</Head>"_s});
    Landmarks landmarks;
    const QString quoteAndDuration = u"\""_s + durationFor(stages.speed);
    std::vector<Edit> edits;

    MarkupScanner scanner(text);
    MarkupTag tag;
    while (scanner.next(tag)) {
        if (!stages.headInsert.isEmpty()) {
            titleClose.see(tag, text);
        }
        bodyOpen.see(tag, text);
        if (!stages.backButtonScript.isEmpty()) {
            headClose.see(tag, text);
        }
        if (tag.name == "head"_L1 && tag.inPageContent()) {
            qsizetype &place = tag.kind == MarkupTag::Kind::Start ? landmarks.headStartEnd
                                                                  : landmarks.headEndBegin;
            if (place < 0) {
                place = tag.kind == MarkupTag::Kind::Start ? tag.end : tag.begin;
            }
        }
        if (landmarks.charsetBegin < 0 && tag.begin < CharsetPrescanWindow &&
            isCharsetDeclaration(tag, text)) {
            landmarks.charsetBegin = tag.begin;
            landmarks.charsetEnd = tag.end;
        }
        resolveMarker(tag, text, quoteAndDuration, edits);
    }

    if (!stages.headInsert.isEmpty()) {
        InsertAfterAnchor(AnchorMode::Head, stages.headInsert, titleClose, landmarks, edits);
    }
    InsertAfterAnchor(AnchorMode::Body, stages.activation, bodyOpen, landmarks, edits);
    // The back button goes directly before the head's end tag, with nothing around it.
    if (headClose.found()) {
        const qsizetype at = headClose.tag().begin;
        edits.push_back(Edit{at, at, Stage::BackButton, {}, stages.backButtonScript});
    }
    if (edits.empty()) {
        return page;
    }

    std::stable_sort(edits.begin(), edits.end(), [](const Edit &a, const Edit &b) {
        return a.begin != b.begin ? a.begin < b.begin : a.stage < b.stage;
    });
    qsizetype added = 0;
    for (const Edit &edit : edits) {
        added += edit.kept.size() + edit.added.size();
    }
    QString result;
    result.reserve(page.size() + added);
    qsizetype copied = 0;  // everything before this index is in `result` already
    for (const Edit &edit : edits) {
        result.append(text.sliced(copied, edit.begin - copied))
            .append(edit.kept)
            .append(edit.added);
        copied = edit.end;
    }
    result.append(text.sliced(copied));
    return result;
}

}  // namespace lumivane

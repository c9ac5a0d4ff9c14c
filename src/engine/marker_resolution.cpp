#include "engine/marker_resolution.h"

#include "engine/animation_tagging.h"
#include "engine/markup_scanner.h"
#include "engine/run_options.h"

using namespace Qt::StringLiterals;

namespace lumivane {

namespace {

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

}  // namespace

QString resolveMarkers(const QString &page, int speed)
{
    const QString duration = durationFor(speed);
    const QStringView text(page);
    QString result;
    qsizetype copied = 0;  // everything before this index is in `result` already

    // Only class values of real start tags, written in double quotes as our serializer writes
    // them: the same characters in a script, a comment or another attribute are the page's own.
    MarkupScanner scanner(page);
    MarkupTag tag;
    while (scanner.next(tag)) {
        if (tag.kind != MarkupTag::Kind::Start) {
            continue;
        }
        const MarkupAttribute *classAttribute = tag.attribute(u"class");
        if (classAttribute == nullptr || classAttribute->quote != u'"') {
            continue;
        }
        const QStringView value = text.sliced(
            classAttribute->valueBegin, classAttribute->valueEnd - classAttribute->valueBegin);
        if (!value.endsWith(Closing)) {
            continue;
        }
        const qsizetype tagStart = value.lastIndexOf(TagStart);
        if (tagStart < 0 || tagStart + TagStart.size() >= value.size() - Closing.size()) {
            continue;
        }
        if (result.isEmpty()) {
            result.reserve(page.size() + page.size() / 16);
        }
        // class="old ';;wow name;;'" becomes class="old wow name", then the duration.
        const qsizetype openingAt = classAttribute->valueBegin + tagStart + 1;
        const qsizetype closingAt = classAttribute->valueEnd - Closing.size();
        result.append(text.sliced(copied, openingAt - copied));
        result.append(
            text.sliced(openingAt + Opening.size(), closingAt - openingAt - Opening.size()));
        result.append(u'"');
        result.append(duration);
        copied = classAttribute->valueEnd + 1;  // past the closing quote
    }
    if (copied == 0) {
        return page;
    }
    result.append(text.sliced(copied));
    return result;
}

}  // namespace lumivane

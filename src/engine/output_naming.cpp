#include "engine/output_naming.h"

#include "platform/components.h"

using namespace Qt::StringLiterals;

namespace lumivane {

namespace {

bool isSeparator(QChar c)
{
#ifdef Q_OS_WIN
    return c == u'\\' || c == u'/';
#else
    return c == u'/';
#endif
}

qsizetype lastSeparator(const QString &path)
{
    for (qsizetype i = path.size() - 1; i >= 0; --i) {
        if (isSeparator(path.at(i))) {
            return i;
        }
    }
    return -1;
}

const QString &separator()
{
#ifdef Q_OS_WIN
    static const QString value = u"\\"_s;
#else
    static const QString value = u"/"_s;
#endif
    return value;
}

}  // namespace

QString FileNameOfPath(const QString &path)
{
    return path.sliced(lastSeparator(path) + 1);
}

QString FolderOfPath(const QString &path)
{
    return path.first(lastSeparator(path) + 1);
}

QString OutputBaseName(const QString &fileName)
{
    // ".html" goes first so that "offer.html" does not become "offerl".
    const QString withoutHtml = ReplaceText(fileName, u".html"_s, {}, CaseSensitivity::IgnoreCase);
    return ReplaceText(withoutHtml, u".htm"_s, {}, CaseSensitivity::IgnoreCase);
}

QString OutputFileName(const QString &selectedPath)
{
    return OutputBaseName(FileNameOfPath(selectedPath)) + u"_modified.html"_s;
}

QString OutputPath(const QString &selectedPath)
{
    return FolderOfPath(selectedPath) + OutputFileName(selectedPath);
}

QString LibraryTargetFolder(const QString &selectedPath)
{
    // The folder already ends in its separator (a drive's or share's root included), so nothing
    // is doubled and a network-share prefix stays as it is.
    return FolderOfPath(selectedPath) + u"anilibs"_s + separator();
}

}  // namespace lumivane

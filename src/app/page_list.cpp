#include "app/page_list.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace lumivane::cli {

namespace {

QString fullNativePath(const QFileInfo &info)
{
    return QDir::toNativeSeparators(info.absoluteFilePath());
}

// A file or folder reached by two paths has one real path; a dangling link has none and is known
// by its own.
QString identity(const QFileInfo &info)
{
    const QString real = info.canonicalFilePath();
    return real.isEmpty() ? info.absoluteFilePath() : real;
}

class Search {
public:
    void folder(const QString &top)
    {
        const QFileInfo info(top);
        if (!info.isDir()) {
            problems.append(u"Cannot search the folder %1: %2."_s.arg(
                QDir::toNativeSeparators(top),
                info.exists() ? u"it is not a folder"_s : u"it does not exist"_s));
            return;
        }
        // Depth first with a stack of our own: a deep tree cannot exhaust the call stack.
        QStringList stack{info.absoluteFilePath()};
        while (!stack.isEmpty()) {
            const QFileInfo current(stack.takeLast());
            if (!addNew(m_visitedFolders, identity(current))) {
                continue;
            }
            if (!current.isReadable()) {
                problems.append(u"Cannot search the folder %1: permission denied."_s.arg(
                    fullNativePath(current)));
                continue;
            }
            // Hidden and system entries too: a dangling link named like a page is reported when
            // its run fails rather than passed over without a word.
            const QFileInfoList entries =
                QDir(current.absoluteFilePath())
                    .entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                       QDir::NoDotAndDotDot,
                                   QDir::Name);
            // Of a page and a link to it, the one first by name is kept.
            for (const QFileInfo &entry : entries) {
                if (!entry.isDir() && isPageToFind(entry.fileName()) &&
                    addNew(m_foundFiles, identity(entry))) {
                    found.append(fullNativePath(entry));
                }
            }
            // Pushed in reverse so that subfolders come off the stack in name order.
            for (auto entry = entries.crbegin(); entry != entries.crend(); ++entry) {
                if (entry->isDir()) {
                    stack.append(entry->absoluteFilePath());
                }
            }
        }
    }

    QStringList found;
    QStringList problems;

private:
    // Adds `value`; false when it was there already.
    static bool addNew(QSet<QString> &set, const QString &value)
    {
        const qsizetype before = set.size();
        set.insert(value);
        return set.size() != before;
    }

    QSet<QString> m_visitedFolders;
    QSet<QString> m_foundFiles;
};

}  // namespace

bool isPageToFind(const QString &fileName)
{
    const bool page = fileName.endsWith(u".html"_s, Qt::CaseInsensitive) ||
                      fileName.endsWith(u".htm"_s, Qt::CaseInsensitive);
    return page && !fileName.endsWith(u"_modified.html"_s, Qt::CaseInsensitive);
}

PageList collectPages(const QStringList &namedPages, const QStringList &folders)
{
    PageList list;
    for (const QString &page : namedPages) {
        list.pages.append(fullNativePath(QFileInfo(page)));
    }
    Search search;
    for (const QString &folder : folders) {
        search.folder(folder);
    }
    // One order whatever the file system lists first: runs and their reports repeat exactly.
    std::sort(search.found.begin(), search.found.end());
    list.pages.append(search.found);
    list.problems = search.problems;
    return list;
}

}  // namespace lumivane::cli

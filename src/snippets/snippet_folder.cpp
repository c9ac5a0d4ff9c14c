#include "snippets/snippet_folder.h"

#include "platform/components.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace lumivane {

SnippetFolder::SnippetFolder(QString folder)
    : m_folder(std::move(folder))
{}

SnippetFolder SnippetFolder::ofProgram()
{
    const QDir programFolder(QCoreApplication::applicationDirPath());
    const QString beside = programFolder.filePath(u"snippets"_s);
    if (QFileInfo(beside).isDir()) {
        return SnippetFolder(QDir::toNativeSeparators(beside));
    }
    return SnippetFolder(QDir::toNativeSeparators(
        QDir::cleanPath(programFolder.filePath(QStringLiteral(LUMIVANE_SNIPPETS_FROM_PROGRAM)))));
}

Status SnippetFolder::checkComplete() const
{
    if (!PathExists(m_folder, PathKind::Folder)) {
        return Error{u"The snippets folder \"%1\" is missing. Reinstall Lumivane or put the "
                     "folder back."_s.arg(QDir::toNativeSeparators(m_folder))};
    }
    QStringList missing;
    for (const char *file :
         {snippet::AnimateLinkRel, snippet::AnimateCss, snippet::FontCss, snippet::FxBounce,
          snippet::FxSlide, snippet::FxFade, snippet::ActivationScript,
          snippet::TitleCloseCandidates, snippet::BodyOpenCandidates, snippet::BackButtonScript,
          snippet::FontList}) {
        if (!PathExists(path(QString::fromLatin1(file)), PathKind::File)) {
            missing.append(QString::fromLatin1(file));
        }
    }
    if (!PathExists(libraryFolder(), PathKind::Folder)) {
        missing.append(QString::fromLatin1(snippet::LibraryFolder));
    }
    if (missing.isEmpty()) {
        return Ok{};
    }
    return Error{u"The snippets folder \"%1\" is incomplete: %2 %3 missing. Reinstall Lumivane or "
                 "put the files back."_s.arg(QDir::toNativeSeparators(m_folder),
                                             missing.join(u", "_s),
                                             missing.size() == 1 ? u"is"_s : u"are"_s)};
}

QString SnippetFolder::path(const QString &fileName) const
{
    return QDir::toNativeSeparators(QDir(m_folder).filePath(fileName));
}

Result<QString> SnippetFolder::existingFile(const char *fileName) const
{
    QString file = path(QString::fromLatin1(fileName));
    if (!PathExists(file, PathKind::File)) {
        return Error{
            u"The snippet file \"%1\" is missing. Reinstall Lumivane or put the file back."_s.arg(
                file)};
    }
    return file;
}

Result<QString> SnippetFolder::readText(const char *fileName) const
{
    auto file = existingFile(fileName);
    if (!file) {
        return Error{file.error()};
    }
    auto text = FileToTextBox(file.value());
    if (text && text.value().trimmed().isEmpty()) {
        return emptyFile(file.value());
    }
    return text;
}

Status SnippetFolder::readLines(QStringList &list, const char *fileName) const
{
    // An animation list may be emptied on purpose (that family then tags nothing); any other list
    // without a line was cut off, and an empty body-tag list would silently drop the activation
    // script, leaving the page's animated elements hidden.
    if (!mayBeEmpty(fileName)) {
        if (auto text = readText(fileName); !text) {
            return Error{text.error()};
        }
    }
    auto file = existingFile(fileName);
    return file ? FileToListBox(list, file.value()) : Error{file.error()};
}

bool SnippetFolder::mayBeEmpty(const char *fileName)
{
    for (const char *list : {snippet::FxBounce, snippet::FxSlide, snippet::FxFade}) {
        if (qstrcmp(fileName, list) == 0) {
            return true;
        }
    }
    return false;
}

Error SnippetFolder::emptyFile(const QString &file)
{
    // Every text we ship has content; an empty one was cut off and would silently drop a piece
    // of every page.
    return Error{
        u"The snippet file \"%1\" is empty. Reinstall Lumivane or put the file back."_s.arg(file)};
}

}  // namespace lumivane

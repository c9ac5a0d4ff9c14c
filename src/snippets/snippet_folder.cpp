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

SnippetFolder SnippetFolder::besideExecutable()
{
    return SnippetFolder(QDir(QCoreApplication::applicationDirPath()).filePath(u"snippets"_s));
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
    return file ? FileToTextBox(file.value()) : Error{file.error()};
}

Status SnippetFolder::readLines(QStringList &list, const char *fileName) const
{
    auto file = existingFile(fileName);
    return file ? FileToListBox(list, file.value()) : Error{file.error()};
}

}  // namespace lumivane

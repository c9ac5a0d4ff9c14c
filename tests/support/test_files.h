#pragma once

// Small helpers for tests that work with real files in temporary folders.

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <filesystem>

namespace lumivane::test_support {

inline QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline void writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly)) {
        file.write(bytes);
    }
}

// A copy of the project's snippet folder, for tests that change or remove files in it.
inline void copySnippetFolder(const QString &target)
{
    QDir().mkpath(QFileInfo(target).absolutePath());
    std::filesystem::copy(LUMIVANE_SNIPPETS_DIR, target.toStdString(),
                          std::filesystem::copy_options::recursive);
    std::filesystem::remove(target.toStdString() + "/CMakeLists.txt");
}

}  // namespace lumivane::test_support

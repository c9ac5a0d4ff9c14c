#include "platform/file_operations.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <filesystem>
#include <system_error>

using namespace Qt::StringLiterals;

namespace lumivane {

namespace {

std::filesystem::path toFsPath(const QString &path)
{
    return std::filesystem::path(path.toStdU16String());
}

QString reason(const std::error_code &error)
{
    return QString::fromLocal8Bit(error.message());
}

QString native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

}  // namespace

Status FolderMayBeMade(const QString &folder)
{
    // Without its final separator: "anilibs/" names no file, so a file "anilibs" would pass.
    std::error_code error;
    const auto path = toFsPath(QDir::cleanPath(folder));
    if (!std::filesystem::is_directory(path, error) && std::filesystem::exists(path, error)) {
        return Error{u"Cannot create the folder \"%1\": a file of that name is in the way."_s.arg(
            native(folder))};
    }
    return Ok{};
}

Status EnsureFolder(const QString &folder)
{
    if (auto free = FolderMayBeMade(folder); !free) {
        return free;
    }
    std::error_code error;
    const auto path = toFsPath(QDir::cleanPath(folder));
    if (std::filesystem::is_directory(path, error)) {
        return Ok{};
    }
    if (!std::filesystem::create_directory(path, error) && error) {
        return Error{u"Cannot create the folder \"%1\": %2."_s.arg(native(folder), reason(error))};
    }
    return Ok{};
}

Result<QStringList> ListPlainFiles(const QString &folder)
{
    const QFileInfo info(folder);
    if (info.exists() && !info.isDir()) {
        return Error{
            u"Cannot list the folder \"%1\": it is a file, not a folder."_s.arg(native(folder))};
    }
    if (!info.isDir()) {
        return Error{u"Cannot list the folder \"%1\": it does not exist."_s.arg(native(folder))};
    }
    if (!info.isReadable()) {
        return Error{u"Cannot list the folder \"%1\": permission denied."_s.arg(native(folder))};
    }
    // Without QDir::Hidden and QDir::System, hidden files and sockets, pipes and devices stay out.
    return QDir(folder).entryList(QDir::Files | QDir::NoDotAndDotDot, QDir::Name);
}

Result<QByteArray> ReadWholeFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return Error{u"Cannot read \"%1\": %2."_s.arg(native(path), file.errorString())};
    }
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        return Error{u"Cannot read \"%1\": %2."_s.arg(native(path), file.errorString())};
    }
    return bytes;
}

Status WriteWholeFile(const QString &path, const QByteArray &bytes)
{
    // QSaveFile renames its temporary file over the target only on commit and removes it when it
    // is destroyed uncommitted, so a full disk leaves neither a cut-off file nor a stray one.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        return Error{u"Cannot write \"%1\": %2."_s.arg(native(path), file.errorString())};
    }
    // Written until done: the write that a full disk or a size limit cuts short reports no reason,
    // the next one fails and says why ("No space left on device", "File too large").
    for (qsizetype done = 0; done < bytes.size();) {
        const qint64 written = file.write(bytes.constData() + done, bytes.size() - done);
        if (written <= 0) {
            return Error{u"Cannot write \"%1\": %2."_s.arg(native(path), file.errorString())};
        }
        done += written;
    }
    if (!file.commit()) {
        return Error{u"Cannot write \"%1\": %2."_s.arg(native(path), file.errorString())};
    }
    return Ok{};
}

bool IsSameFile(const QString &first, const QString &second)
{
    std::error_code error;
    return std::filesystem::equivalent(toFsPath(first), toFsPath(second), error) && !error;
}

}  // namespace lumivane

#include "platform/file_operations.h"

#include <QDir>
#include <QFileInfo>

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

Status EnsureFolder(const QString &folder)
{
    std::error_code error;
    const auto path = toFsPath(folder);
    if (std::filesystem::is_directory(path, error)) {
        return Ok{};
    }
    if (std::filesystem::exists(path, error)) {
        return Error{u"Cannot create the folder \"%1\": a file of that name is in the way."_s.arg(
            native(folder))};
    }
    if (!std::filesystem::create_directory(path, error) && error) {
        return Error{u"Cannot create the folder \"%1\": %2."_s.arg(native(folder), reason(error))};
    }
    return Ok{};
}

Result<QStringList> ListPlainFiles(const QString &folder)
{
    const QFileInfo info(folder);
    if (!info.isDir()) {
        return Error{u"Cannot list the folder \"%1\": it does not exist."_s.arg(native(folder))};
    }
    if (!info.isReadable()) {
        return Error{u"Cannot list the folder \"%1\": permission denied."_s.arg(native(folder))};
    }
    // Without QDir::Hidden and QDir::System, hidden files and sockets, pipes and devices stay out.
    return QDir(folder).entryList(QDir::Files | QDir::NoDotAndDotDot, QDir::Name);
}

Status CopyFileReplacing(const QString &source, const QString &target)
{
    std::error_code error;
    std::filesystem::copy_file(toFsPath(source), toFsPath(target),
                               std::filesystem::copy_options::overwrite_existing, error);
    if (error) {
        return Error{u"Cannot copy \"%1\" to \"%2\": %3."_s.arg(native(source), native(target),
                                                                reason(error))};
    }
    return Ok{};
}

bool IsSameFile(const QString &first, const QString &second)
{
    std::error_code error;
    return std::filesystem::equivalent(toFsPath(first), toFsPath(second), error) && !error;
}

}  // namespace lumivane

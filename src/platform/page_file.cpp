#include "platform/page_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace lumivane {

namespace {

constexpr qint64 bytesPerMegabyte = qint64(1024) * 1024;

Error pageError(const QString &path, const QString &reason)
{
    return Error{u"Cannot open the page \"%1\": %2."_s.arg(QDir::toNativeSeparators(path), reason)};
}

Error tooLarge(const QString &path, qint64 size)
{
    // Rounded up, so that a page just over the limit never reads as being at it.
    const qint64 megabytes = (size + bytesPerMegabyte - 1) / bytesPerMegabyte;
    return pageError(path,
                     u"it is %1 MB (%2 bytes), more than the %3 MB a page may have"_s.arg(megabytes)
                         .arg(size)
                         .arg(MaxPageBytes / bytesPerMegabyte));
}

}  // namespace

Result<DecodedPage> ReadPageFile(const QString &path)
{
    // Looked at before opening: opening a folder or a pipe either fails with a vague reason or
    // waits forever for a writer.
    const QFileInfo info(path);
    if (info.isDir()) {
        return pageError(path, u"it is a folder, not a file"_s);
    }
    if (info.exists() && !info.isFile()) {
        return pageError(path, u"it is not a regular file"_s);
    }
    if (info.exists() && info.size() > MaxPageBytes) {
        return tooLarge(path, info.size());
    }

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return pageError(path, file.errorString());
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        return Error{u"Cannot read the page \"%1\": %2."_s.arg(QDir::toNativeSeparators(path),
                                                               file.errorString())};
    }
    // The file may have grown since it was looked at.
    if (bytes.size() > MaxPageBytes) {
        return tooLarge(path, bytes.size());
    }

    DecodedPage page = decodePage(bytes);
    if (page.text.trimmed().isEmpty()) {
        return pageError(path, u"it is empty"_s);
    }
    // A NUL never appears in a text page; a file holding one is an image, a compressed download
    // or another binary file saved under a page's name, and its copy would be garbage.
    if (page.text.contains(QChar(u'\0'))) {
        return pageError(path, u"it holds NUL bytes, so it is not a text page"_s);
    }
    return page;
}

}  // namespace lumivane

#include "platform/page_file.h"

#include "platform/step_timing.h"

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

Result<QByteArray> ReadPageBytes(const QString &path)
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
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        return Error{u"Cannot read the page \"%1\": %2."_s.arg(QDir::toNativeSeparators(path),
                                                               file.errorString())};
    }
    markStepEnd("read");
    // The file may have grown since it was looked at.
    if (bytes.size() > MaxPageBytes) {
        return tooLarge(path, bytes.size());
    }
    return bytes;
}

Result<PageFile> PageFromBytes(QByteArray bytes, const QString &path)
{
    PageFile page;
    page.fileSize = bytes.size();
    bool blank = false;
    bool holdsNul = false;
    // One look at the bytes decides, and they are decoded at most once.
    SniffedEncoding sniffed = sniffPageEncoding(bytes);
    if (sniffed.textIsValidUtf8(bytes)) {
        bytes.remove(0, bytes.size() - sniffed.text(bytes).size());  // the byte-order mark
        page.encoding = sniffed.encoding;
        page.keptAsUtf8 = true;
        // Views, not QByteArray::trimmed(): that copies the whole page when it ends in a newline.
        blank = QByteArrayView(bytes).trimmed().isEmpty();
        holdsNul = bytes.contains('\0');
        page.utf8 = std::move(bytes);
    } else {
        DecodedPage decoded = decodePage(bytes, std::move(sniffed));
        bytes = QByteArray();
        page.encoding = std::move(decoded.encoding);
        blank = QStringView(decoded.text).trimmed().isEmpty();
        holdsNul = decoded.text.contains(QChar(u'\0'));
        page.text = std::move(decoded.text);
    }
    markStepEnd("decode");
    if (blank) {
        return pageError(path, u"it is empty"_s);
    }
    // A NUL never appears in a text page; a file holding one is an image, a compressed download
    // or another binary file saved under a page's name, and its copy would be garbage.
    if (holdsNul) {
        return pageError(path, u"it holds NUL bytes, so it is not a text page"_s);
    }
    return page;
}

Result<PageFile> ReadPageFile(const QString &path)
{
    auto bytes = ReadPageBytes(path);
    if (!bytes) {
        return Error{bytes.error()};
    }
    return PageFromBytes(std::move(bytes).value(), path);
}

}  // namespace lumivane

#include "platform/components.h"

#include "platform/file_operations.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

using namespace Qt::StringLiterals;

namespace lumivane {

namespace {

QString native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

Result<QByteArray> readBytes(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return Error{u"Cannot read \"%1\": %2."_s.arg(native(path), file.errorString())};
    }
    return file.readAll();
}

Status appendLines(QStringList &list, const QString &path)
{
    auto text = FileToTextBox(path);
    if (!text) {
        return Error{text.error()};
    }
    QStringView rest = text.value();
    while (!rest.isEmpty()) {
        const qsizetype end = rest.indexOf(u'\n');
        QStringView line = end < 0 ? rest : rest.first(end);
        if (line.endsWith(u'\r')) {
            line.chop(1);
        }
        list.append(line.toString());
        rest = end < 0 ? QStringView{} : rest.sliced(end + 1);
    }
    return Ok{};
}

}  // namespace

Result<QString> FileToTextBox(const QString &path)
{
    auto bytes = readBytes(path);
    if (!bytes) {
        return Error{bytes.error()};
    }
    QByteArrayView view = bytes.value();
    if (view.startsWith("\xEF\xBB\xBF")) {
        view = view.sliced(3);
    }
    // Our text files are UTF-8; a file that is not was damaged or saved in another encoding, and
    // its replacement characters would end up in every page.
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(view);
    if (decoder.hasError()) {
        return Error{u"Cannot read \"%1\": it is not UTF-8 text."_s.arg(native(path))};
    }
    return text;
}

Status FileToListBox(QStringList &list, const QString &path)
{
    return appendLines(list, path);
}

Status FileToComboBox(QStringList &list, const QString &path)
{
    return appendLines(list, path);
}

QString ReplaceText(const QString &text, const QString &find, const QString &replacement,
                    CaseSensitivity sensitivity)
{
    if (find.isEmpty()) {
        return text;
    }
    const Qt::CaseSensitivity cs =
        sensitivity == CaseSensitivity::Exact ? Qt::CaseSensitive : Qt::CaseInsensitive;
    qsizetype hit = text.indexOf(find, 0, cs);
    if (hit < 0) {
        return text;
    }
    // One pass: copy the stretch before each hit and the replacement, then search on after the
    // hit, so replaced text is never searched again.
    QString result;
    result.reserve(text.size() + qMax<qsizetype>(0, replacement.size() - find.size()) * 4);
    qsizetype from = 0;
    while (hit >= 0) {
        result.append(QStringView(text).sliced(from, hit - from));
        result.append(replacement);
        from = hit + find.size();
        hit = text.indexOf(find, from, cs);
    }
    result.append(QStringView(text).sliced(from));
    return result;
}

bool PathExists(const QString &path, PathKind kind)
{
    const QFileInfo info(path);
    if (!info.exists()) {
        return false;
    }
    return kind == PathKind::Folder ? info.isDir() : !info.isDir();
}

void ShuffleList(QStringList &list, QRandomGenerator &random)
{
    for (qsizetype i = list.size() - 1; i > 0; --i) {
        const auto j = static_cast<qsizetype>(random.bounded(static_cast<quint64>(i) + 1));
        list.swapItemsAt(i, j);
    }
}

}  // namespace lumivane

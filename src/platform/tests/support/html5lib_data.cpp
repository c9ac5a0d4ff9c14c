#include "html5lib_data.h"

#include <QFile>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace lumivane::testing {

namespace {

enum class Section { None, Data, Errors, Fragment, Document };

}  // namespace

QList<Html5libCase> readHtml5libFile(const QString &path)
{
    QList<Html5libCase> cases;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return cases;
    }
    QList<QByteArray> lines = file.readAll().split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty()) {
        lines.removeLast();  // the file's final LF ends the last line, it is not an empty line
    }
    const QString fileName = QFileInfo(path).fileName();

    Section section = Section::None;
    QList<QByteArray> dataLines;
    QList<QByteArray> treeLines;
    Html5libCase current;
    const auto finish = [&](bool separatorFollows) {
        if (section == Section::None) {
            return;
        }
        // Cases are separated by one empty line, which belongs to neither case.
        if (separatorFollows && !treeLines.isEmpty() && treeLines.last().isEmpty()) {
            treeLines.removeLast();
        }
        current.data = dataLines.join('\n');
        current.expectedTree = treeLines.join('\n');
        cases.append(current);
    };
    for (const QByteArray &line : lines) {
        if (line == "#data") {
            finish(true);
            current = Html5libCase{};
            current.file = fileName;
            current.index = static_cast<int>(cases.size());
            dataLines.clear();
            treeLines.clear();
            section = Section::Data;
            continue;
        }
        // Inside the expected tree only "#data" starts something new: a text node may hold
        // lines of any kind.
        if (section != Section::Document) {
            if (line == "#errors" || line == "#new-errors") {
                section = Section::Errors;
                continue;
            }
            if (line == "#document-fragment") {
                current.fragment = true;
                section = Section::Fragment;
                continue;
            }
            if (line == "#script-on" || line == "#script-off") {
                current.scriptingOffOnly = line == "#script-off";
                section = Section::Errors;  // nothing follows on its own lines
                continue;
            }
            if (line == "#document") {
                section = Section::Document;
                continue;
            }
        }
        if (section == Section::Data) {
            dataLines.append(line);
        } else if (section == Section::Document) {
            treeLines.append(line);
        }
    }
    finish(false);
    return cases;
}

}  // namespace lumivane::testing

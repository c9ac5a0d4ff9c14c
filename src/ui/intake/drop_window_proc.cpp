#include "ui/intake/drop_window_proc.h"

#include <QDir>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

#include <algorithm>
#include <utility>

namespace lumivane {

namespace {

bool carriesLocalFiles(const QMimeData *mimeData)
{
    if (mimeData == nullptr || !mimeData->hasUrls()) {
        return false;
    }
    const QList<QUrl> urls = mimeData->urls();
    return std::any_of(urls.cbegin(), urls.cend(),
                       [](const QUrl &url) { return url.isLocalFile(); });
}

// We only read the dropped files. Accepting a move would invite the file manager to delete the
// originals, so the drop is taken as a copy (or a link) and refused when neither is offered.
bool acceptWithoutMoving(QDropEvent *event)
{
    for (const Qt::DropAction action : {Qt::CopyAction, Qt::LinkAction}) {
        if (event->possibleActions().testFlag(action)) {
            event->setDropAction(action);
            event->accept();
            return true;
        }
    }
    event->ignore();
    return false;
}

}  // namespace

QStringList droppedLocalPaths(const QMimeData *mimeData)
{
    QStringList paths;
    if (mimeData == nullptr) {
        return paths;
    }
    const QList<QUrl> urls = mimeData->urls();
    for (const QUrl &url : urls) {
        if (url.isLocalFile()) {
            paths.append(QDir::toNativeSeparators(url.toLocalFile()));
        }
    }
    return paths;
}

DropWindowProc::DropWindowProc(DropHandler onDrop, QObject *parent)
    : QObject(parent)
    , onDrop_(std::move(onDrop))
{}

bool DropWindowProc::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto *drag = static_cast<QDragMoveEvent *>(event);
        if (carriesLocalFiles(drag->mimeData())) {
            acceptWithoutMoving(drag);
        } else {
            drag->ignore();
        }
        return true;
    }
    case QEvent::Drop: {
        auto *drop = static_cast<QDropEvent *>(event);
        if (carriesLocalFiles(drop->mimeData()) && acceptWithoutMoving(drop)) {
            onDrop_(droppedLocalPaths(drop->mimeData()));
        }
        return true;
    }
    default:
        return QObject::eventFilter(watched, event);
    }
}

}  // namespace lumivane

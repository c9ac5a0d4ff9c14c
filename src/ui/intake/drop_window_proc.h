#pragma once

#include <QObject>
#include <QStringList>

#include <functional>

class QMimeData;

namespace lumivane {

// Sees the intake dialog's drag-and-drop events before the dialog does and hands the dropped
// local files on, the way a desktop file drop reaches a window; every other event passes through
// untouched. It is active only while installed on the window with drops switched on.
class DropWindowProc final : public QObject {
    Q_OBJECT

public:
    using DropHandler = std::function<void(const QStringList &localPaths)>;

    DropWindowProc(DropHandler onDrop, QObject *parent);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    DropHandler onDrop_;
};

// The local file paths a drag carries, in the order its source listed them, with the platform's
// own separators. Addresses that are not local files (web links, for instance) are left out.
QStringList droppedLocalPaths(const QMimeData *mimeData);

}  // namespace lumivane

#include "ui/widgets/link_label.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyleOptionFocusRect>
#include <QStylePainter>

using namespace Qt::StringLiterals;

namespace lumivane {

namespace {

// What a screen reader is told: a link with the label's text as its name, which it can press.
class LinkAccessible final : public QAccessibleWidget {
public:
    explicit LinkAccessible(LinkLabel *link)
        : QAccessibleWidget(link, QAccessible::Link)
    {}

    [[nodiscard]] QString text(QAccessible::Text kind) const override
    {
        if (kind == QAccessible::Name && widget()->accessibleName().isEmpty()) {
            return static_cast<const QLabel *>(widget())->text();
        }
        return QAccessibleWidget::text(kind);
    }
    [[nodiscard]] QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString &action) override
    {
        if (action == pressAction()) {
            emit static_cast<LinkLabel *>(widget())->clicked();
        }
    }
};

QAccessibleInterface *linkAccessible(const QString &className, QObject *object)
{
    if (className == u"lumivane::LinkLabel"_s) {
        return new LinkAccessible(static_cast<LinkLabel *>(object));
    }
    return nullptr;
}

}  // namespace

LinkLabel::LinkLabel(QWidget *parent)
    : LinkLabel(QString(), parent)
{}

LinkLabel::LinkLabel(const QString &text, QWidget *parent)
    : QLabel(text, parent)
{
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(linkAccessible);
        return true;
    }();
    Q_UNUSED(factoryInstalled);

    QFont underlined = font();
    underlined.setUnderline(true);
    setFont(underlined);
    setLinkColour(QColor(0, 0, 192));
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
}

void LinkLabel::setLinkColour(const QColor &colour)
{
    QPalette linkPalette = palette();
    linkPalette.setColor(QPalette::WindowText, colour);
    setPalette(linkPalette);
}

void LinkLabel::mouseReleaseEvent(QMouseEvent *event)
{
    // Like a link, a press that is dragged off the text and released elsewhere does nothing.
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        emit clicked();
        event->accept();
        return;
    }
    QLabel::mouseReleaseEvent(event);
}

void LinkLabel::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        if (event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier) {
            emit clicked();
            event->accept();
            return;
        }
        break;
    default:
        break;
    }
    QLabel::keyPressEvent(event);
}

void LinkLabel::paintEvent(QPaintEvent *event)
{
    QLabel::paintEvent(event);
    if (!hasFocus()) {
        return;
    }
    // The focus frame goes around the text, not the whole width the layout gave the label.
    QStylePainter painter(this);
    QStyleOptionFocusRect option;
    option.initFrom(this);
    const QSize textSize = fontMetrics().size(Qt::TextSingleLine, text()) + QSize(4, 2);
    option.rect = QStyle::alignedRect(layoutDirection(), alignment(),
                                      textSize.boundedTo(contentsRect().size()), contentsRect());
    painter.drawPrimitive(QStyle::PE_FrameFocusRect, option);
}

}  // namespace lumivane

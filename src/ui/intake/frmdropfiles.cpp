#include "ui/intake/frmdropfiles.h"

#include "ui/intake/drop_window_proc.h"
#include "ui/intake/drop_zone_picture.h"
#include "ui/intake/html_file_picker.h"
#include "ui/intake/intake_fonts.h"
#include "ui/widgets/link_label.h"
#include "ui/widgets/screen_fit.h"

#include <QBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScrollArea>
#include <QStackedWidget>

using namespace Qt::StringLiterals;

namespace lumivane {

namespace {

// The size the dialog was drawn for; on a smaller screen it starts smaller and scrolls.
constexpr QSize clientSize(844, 566);
constexpr int imageSide = 178;
const QColor navy(0, 0, 128);
const QColor statusBlue(0, 0, 192);
const QColor darkGrey(64, 64, 64);

QLabel *centredLabel(const QString &name, const QString &text, const QFont &font,
                     const QColor &colour, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setFont(font);
    intake_fonts::setTextColour(label, colour);
    label->setAlignment(Qt::AlignCenter);
    label->setWordWrap(true);
    return label;
}

LinkLabel *linkLabel(const QString &name, const QString &text, QWidget *parent)
{
    auto *link = new LinkLabel(text, parent);
    link->setObjectName(name);
    QFont font = intake_fonts::smallSans();
    font.setBold(true);
    font.setUnderline(true);
    link->setFont(font);
    link->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return link;
}

// A row with the widget at its right end.
QHBoxLayout *atTheRight(QWidget *widget)
{
    auto *row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(widget);
    return row;
}

void informWithMessageBox(QWidget *parent, const QString &title, const QString &text)
{
    QMessageBox::information(parent, title, text, QMessageBox::Ok);
}

}  // namespace

frmdropfiles::frmdropfiles(QWidget *parent)
    : QDialog(parent)
    , dropWindowProc_(
          new DropWindowProc([this](const QStringList &paths) { ProcessHDrop(paths); }, this))
    , informUser_(informWithMessageBox)
{
    setObjectName(u"frmdropfiles"_s);
    // Every opening starts from scratch: closing destroys the dialog and what it collected.
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(u"Welcome"_s);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
    setAutoFillBackground(true);

    Label5 = linkLabel(u"Label5"_s, u"Don't Want to Use Drag and Drop? Click Here"_s, this);

    // The browse panel takes the place of the drop area, between the top-right link and the
    // buttons, so the drop area's status and picture are out of sight while it shows.
    modes_ = new QStackedWidget(this);
    modes_->addWidget(buildDropArea());
    modes_->addWidget(buildBrowsePanel());

    cmdOk = new QPushButton(u"Ok"_s, this);
    cmdOk->setObjectName(u"cmdOk"_s);
    cmdOk->setDefault(true);
    cmdUnload = new QPushButton(u"Cancel"_s, this);
    cmdUnload->setObjectName(u"cmdUnload"_s);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOk);
    buttons->addWidget(cmdUnload);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(atTheRight(Label5));
    layout->addWidget(modes_, 1);
    layout->addLayout(buttons);

    // The keyboard goes from the mode link through the browse lists to the buttons; the link has
    // the focus first, so Enter switches to browsing instead of confirming an empty drop list.
    QWidget::setTabOrder(Label5, Label7);
    filePicker_->placeInTabOrder(Label7, cmdOk);
    QWidget::setTabOrder(cmdOk, cmdUnload);
    Label5->setFocus();

    connect(Label5, &LinkLabel::clicked, this, [this] {
        modes_->setCurrentWidget(picNoDragAndDrop);
        filePicker_->focusFileList();
    });
    connect(Label7, &LinkLabel::clicked, this, [this] {
        modes_->setCurrentIndex(0);
        Label5->setFocus();
    });
    connect(cmdOk, &QPushButton::clicked, this, &frmdropfiles::cmdOk_Click);
    connect(cmdUnload, &QPushButton::clicked, this, &QDialog::reject);

    HookDropTarget();
}

frmdropfiles::~frmdropfiles()
{
    UnhookDropTarget();
}

QWidget *frmdropfiles::buildDropArea()
{
    auto *scroll = new QScrollArea;
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    auto *area = new QWidget;
    area->setAutoFillBackground(true);

    Label2 = centredLabel(u"Label2"_s, u"What Do You Want To Animate Today?"_s,
                          intake_fonts::verdana(24), navy, area);
    Label1 = centredLabel(u"Label1"_s, u"Drag an HTML file here (sales page etc)."_s,
                          intake_fonts::verdana(20.25), statusBlue, area);
    Image1 = new QLabel(area);
    Image1->setObjectName(u"Image1"_s);
    Image1->setPixmap(dropZonePicture(imageSide));
    Image1->setAccessibleName(u"Drop zone"_s);
    Image1->setAccessibleDescription(
        u"Drop an HTML page here from your file manager, or choose \"Don't Want to Use Drag and "
        "Drop? Click Here\" to browse for one."_s);
    Label3 = centredLabel(
        u"Label3"_s,
        u"Then you'll be able to quickly make different modifications to it to make it look better."_s,
        intake_fonts::verdana(15.75), darkGrey, area);

    auto *column = new QVBoxLayout(area);
    column->setSpacing(12);
    column->addWidget(Label2);
    column->addWidget(Label1);
    column->addWidget(Image1, 0, Qt::AlignHCenter);
    column->addWidget(Label3);
    column->addStretch();
    scroll->setWidget(area);
    return scroll;
}

QWidget *frmdropfiles::buildBrowsePanel()
{
    picNoDragAndDrop = new QWidget;
    picNoDragAndDrop->setObjectName(u"picNoDragAndDrop"_s);
    picNoDragAndDrop->setAutoFillBackground(true);

    Label7 = linkLabel(u"Label7"_s, u"Back to Drag and Drop"_s, picNoDragAndDrop);
    Label6 = centredLabel(u"Label6"_s, u"Select an HTML File (.htm, .html)"_s,
                          intake_fonts::verdana(15.75), navy, picNoDragAndDrop);
    filePicker_ = new HtmlFilePicker(picNoDragAndDrop);
    filePicker_->setObjectName(u"filePicker"_s);

    auto *column = new QVBoxLayout(picNoDragAndDrop);
    column->setContentsMargins(8, 0, 8, 0);
    column->addLayout(atTheRight(Label7));
    column->addWidget(Label6);
    column->addWidget(filePicker_, 1);
    return picNoDragAndDrop;
}

void frmdropfiles::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!sized_) {
        sized_ = true;
        fitOnScreen(this, clientSize);
    }
}

void frmdropfiles::setInformUser(InformUser informUser)
{
    informUser_ = std::move(informUser);
}

void frmdropfiles::HookDropTarget()
{
    installEventFilter(dropWindowProc_);
    setAcceptDrops(true);
}

void frmdropfiles::UnhookDropTarget()
{
    setAcceptDrops(false);
    removeEventFilter(dropWindowProc_);
}

void frmdropfiles::ProcessHDrop(const QStringList &paths)
{
    for (const QString &path : paths) {
        if (path.isEmpty()) {
            continue;
        }
        // Deliberately exact in letter case: a name in capitals such as INDEX.HTM is refused,
        // while a backup such as index.htm.bak or anything inside a folder named x.htm passes.
        if (path.contains(u".htm"_s, Qt::CaseSensitive)) {
            lstFiles.append(path);
        }
    }
    // The outcome covers the whole opening, so a refused drop after a good one still reads "Done!".
    Label1->setText(lstFiles.isEmpty() ? u"Ooops! No valid HTML files were added."_s
                                       : u"Done! Click ok to continue."_s);
}

bool frmdropfiles::inBrowseMode() const
{
    return modes_->currentWidget() == picNoDragAndDrop;
}

void frmdropfiles::cmdOk_Click()
{
    QString path;
    if (inBrowseMode()) {
        path = filePicker_->selectedFilePath();
        if (path.isEmpty()) {
            informUser_(this, u"File Selection"_s, u"Please select an HTML file (.htm or .html)"_s);
            return;
        }
    } else if (!lstFiles.isEmpty()) {
        // Of several dropped pages the one dropped last is the one the user means.
        path = lstFiles.last();
    }
    const QPointer<frmdropfiles> self(this);
    emit pageConfirmed(path);
    if (self) {
        accept();
    }
}

void frmdropfiles::keyPressEvent(QKeyEvent *event)
{
    // Escape is Cancel's key, so it does exactly what a click on Cancel does.
    if (event->matches(QKeySequence::Cancel)) {
        cmdUnload->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

void frmdropfiles::done(int result)
{
    // Drops stop being taken before the window goes away.
    UnhookDropTarget();
    QDialog::done(result);
}

}  // namespace lumivane

#include "ui/intake/frmdropfiles.h"

#include "ui/intake/drop_window_proc.h"
#include "ui/intake/drop_zone_picture.h"
#include "ui/intake/html_file_picker.h"
#include "ui/intake/intake_fonts.h"
#include "ui/intake/link_label.h"

#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace lumivane {

namespace {

// The controls are placed by hand on a client area of fixed size, so the arrangement the user
// sees is the same on every system.
constexpr QSize clientSize(844, 566);
constexpr int imageSide = 178;
const QColor navy(0, 0, 128);
const QColor statusBlue(0, 0, 192);
const QColor darkGrey(64, 64, 64);

QLabel *centredLabel(const QString &name, const QString &text, const QFont &font,
                     const QColor &colour, const QRect &geometry, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setFont(font);
    intake_fonts::setTextColour(label, colour);
    label->setAlignment(Qt::AlignCenter);
    label->setWordWrap(true);
    label->setGeometry(geometry);
    return label;
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
    setFixedSize(clientSize);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
    setAutoFillBackground(true);

    Label5 = new LinkLabel(u"Don't Want to Use Drag and Drop? Click Here"_s, this);
    Label5->setObjectName(u"Label5"_s);
    Label5->setGeometry(444, 8, 392, 20);

    buildDropArea();

    cmdOk = new QPushButton(u"Ok"_s, this);
    cmdOk->setObjectName(u"cmdOk"_s);
    cmdOk->setGeometry(616, 516, 100, 32);
    cmdUnload = new QPushButton(u"Cancel"_s, this);
    cmdUnload->setObjectName(u"cmdUnload"_s);
    cmdUnload->setGeometry(728, 516, 100, 32);

    buildBrowsePanel();

    connect(Label5, &LinkLabel::clicked, this, [this] {
        picNoDragAndDrop->show();
        picNoDragAndDrop->raise();
    });
    connect(Label7, &LinkLabel::clicked, picNoDragAndDrop, &QWidget::hide);
    connect(cmdOk, &QPushButton::clicked, this, &frmdropfiles::cmdOk_Click);
    connect(cmdUnload, &QPushButton::clicked, this, &QDialog::reject);

    HookDropTarget();
}

frmdropfiles::~frmdropfiles()
{
    UnhookDropTarget();
}

void frmdropfiles::buildDropArea()
{
    Label2 = centredLabel(u"Label2"_s, u"What Do You Want To Animate Today?"_s,
                          intake_fonts::verdana(24), navy, QRect(0, 48, 844, 48), this);
    Label1 = centredLabel(u"Label1"_s, u"Drag an HTML file here (sales page etc)."_s,
                          intake_fonts::verdana(20.25), statusBlue, QRect(0, 104, 844, 40), this);

    Image1 = new QLabel(this);
    Image1->setObjectName(u"Image1"_s);
    Image1->setPixmap(dropZonePicture(imageSide));
    Image1->setGeometry((clientSize.width() - imageSide) / 2, 156, imageSide, imageSide);

    Label3 = centredLabel(
        u"Label3"_s,
        u"Then you'll be able to quickly make different modifications to it to make it look better."_s,
        intake_fonts::verdana(15.75), darkGrey, QRect(72, 350, 700, 64), this);
}

// The browse panel lies over everything between the top-right link and the buttons, so the drop
// area's status and picture are out of sight while it shows.
void frmdropfiles::buildBrowsePanel()
{
    picNoDragAndDrop = new QWidget(this);
    picNoDragAndDrop->setObjectName(u"picNoDragAndDrop"_s);
    picNoDragAndDrop->setAutoFillBackground(true);
    picNoDragAndDrop->setGeometry(0, 32, 844, 472);

    Label7 = new LinkLabel(u"Back to Drag and Drop"_s, picNoDragAndDrop);
    Label7->setObjectName(u"Label7"_s);
    Label7->setGeometry(444, 0, 392, 20);
    Label6 =
        centredLabel(u"Label6"_s, u"Select an HTML File (.htm, .html)"_s,
                     intake_fonts::verdana(15.75), navy, QRect(0, 24, 844, 36), picNoDragAndDrop);

    filePicker_ = new HtmlFilePicker(picNoDragAndDrop);
    filePicker_->setObjectName(u"filePicker"_s);
    filePicker_->setGeometry(16, 72, 812, 392);

    picNoDragAndDrop->hide();
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
    return !picNoDragAndDrop->isHidden();
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

#include "ui/main/frmmain.h"

#include "engine/option_checks.h"
#include "platform/components.h"
#include "ui/main/busy_cursor.h"
#include "ui/main/classic_fonts.h"
#include "ui/main/message_box_host.h"
#include "ui_frmmain.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>

using namespace Qt::StringLiterals;

namespace lumivane {

namespace {

const QStringList animationItems{u"Bounce + Fade"_s, u"Slide + Fade"_s, u"Bounce + Slide"_s,
                                 u"Bounce"_s,        u"Slide"_s,        u"Fade"_s};
const QStringList speedItems{u"Fast"_s, u"Natural"_s, u"Slow"_s};
// Twelve sizes: 44, then 40 (there is no 42), then every even number down to 20.
const QStringList fontSizeItems{u"44"_s, u"40"_s, u"38"_s, u"36"_s, u"34"_s, u"32"_s,
                                u"30"_s, u"28"_s, u"26"_s, u"24"_s, u"22"_s, u"20"_s};
// The size each heading level starts with: "34", "30", "26".
constexpr std::array defaultFontSizeItem{4, 6, 8};

const QString aboutTitle = u"About"_s;
const QString aboutText =
    u"The 'Back Button' event control is a feature that most of the modern browser have and it "
    "allows your visitors to go back to the previous page (a page that they have visited before "
    "they arrived to your website, like Google etc). To use it, just enable this option and enter "
    "the url for the redirection (affiliate etc)."_s;

// The client area is 10665 x 8910 twips: 711 x 594 pixels at 15 twips to the pixel.
constexpr QSize clientSize(711, 594);

void setColour(QWidget *widget, QPalette::ColorRole role, const QColor &colour)
{
    QPalette palette = widget->palette();
    palette.setColor(role, colour);
    widget->setPalette(palette);
}

// Options that are read by list index: the entry whose text the field shows. Typed text that names
// no entry leaves no entry selected (-1), which the engine treats as it defines.
int listIndex(const QComboBox *combo)
{
    return combo->findText(combo->currentText());
}

void fillList(QComboBox *combo, const QStringList &items, int selected)
{
    combo->clear();
    combo->addItems(items);
    combo->setCurrentIndex(selected);
}

}  // namespace

frmMain::frmMain(SnippetFolder snippets, std::unique_ptr<RunHost> host, QWidget *parent)
    : QWidget(parent)
    , ui(std::make_unique<Ui::frmMain>())
    , m_snippets(std::move(snippets))
    , m_host(host ? std::move(host) : std::make_unique<MessageBoxHost>(this))
    , m_random(QRandomGenerator::securelySeeded())
    , m_run(m_snippets, *m_host, m_random)
{
    ui->setupUi(this);
    chkHFontSize = {ui->chkHFontSize_0, ui->chkHFontSize_1, ui->chkHFontSize_2};
    cboFontSize = {ui->cboFontSize_0, ui->cboFontSize_1, ui->cboFontSize_2};
    applyLook();

    connect(ui->cmdSelect, &QPushButton::clicked, this, &frmMain::cmdSelect_Click);
    connect(ui->cmdGo, &QPushButton::clicked, this, [this] { cmdGo_Click(); });
    ui->Label5->installEventFilter(this);

    Form_Load();
}

frmMain::~frmMain()
{
    // The dialog goes first, while the members that its signals reach still exist.
    delete m_dropFiles.data();
}

void frmMain::applyLook()
{
    setFixedSize(clientSize);

    ui->Picture2->setAutoFillBackground(true);
    setColour(ui->Picture2, QPalette::Window, QColor(0, 0, 64));
    ui->lblAppName->setFont(verdanaFont(15.75, Weight::Bold));
    setColour(ui->lblAppName, QPalette::WindowText, Qt::white);

    ui->lblSelectedFile->setFont(msSansSerifFont(9.75, Weight::Normal));
    for (QWidget *widget :
         {static_cast<QWidget *>(ui->chkAnimations), static_cast<QWidget *>(ui->chkFonts),
          static_cast<QWidget *>(ui->chkEnableBack), static_cast<QWidget *>(ui->cmdGo)}) {
        widget->setFont(msSansSerifFont(12, Weight::Bold));
    }
    setColour(ui->Label6, QPalette::WindowText, QColor(64, 64, 64));
    setColour(ui->txtBackRedirect, QPalette::Base, QColor(255, 255, 192));

    QFont link = ui->Label5->font();
    link.setUnderline(true);
    ui->Label5->setFont(link);
    setColour(ui->Label5, QPalette::WindowText, QColor(0, 0, 255));
    ui->Label5->setCursor(Qt::PointingHandCursor);

    // Typed text is used exactly as typed: no completion, and Enter adds nothing to a list.
    for (QComboBox *combo : findChildren<QComboBox *>()) {
        combo->setCompleter(nullptr);
        combo->setInsertPolicy(QComboBox::NoInsert);
    }
}

void frmMain::Form_Load()
{
    // Our document host never shows anything of its own, so there is no silent mode to set.
    fillList(ui->cboAnimations, animationItems, AnimationFamily::BounceFade);
    fillList(ui->cboSpeed, speedItems, AnimationSpeed::Natural);
    for (std::size_t i = 0; i < cboFontSize.size(); ++i) {
        fillList(cboFontSize[i], fontSizeItems, defaultFontSizeItem[i]);
    }

    // A missing or empty font list leaves the field empty with nothing selected; the run then
    // asks for a font name when fonts are ticked.
    QStringList fonts;
    if (!FileToComboBox(fonts, m_snippets.path(QString::fromLatin1(snippet::FontList)))) {
        fonts.clear();
    }
    fillList(ui->cboFonts, fonts, fonts.isEmpty() ? -1 : 0);
}

void frmMain::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (m_centred) {
        return;
    }
    m_centred = true;
    if (const QScreen *screen = this->screen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

bool frmMain::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ui->Label5 && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        Label5_Click();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void frmMain::cmdSelect_Click()
{
    // One dialog at most: while it is open, a click brings it to the front.
    if (!m_dropFiles) {
        m_dropFiles = new frmdropfiles(this);
        connect(m_dropFiles, &frmdropfiles::pageConfirmed, this, &frmMain::setSelectedFile);
        m_dropFiles->setInformUser([this](QWidget *, const QString &title, const QString &text) {
            m_host->inform(title, text, MessageIcon::Information);
        });
        // Closed is as good as gone: the dialog deletes itself, a little later.
        connect(m_dropFiles, &QDialog::finished, this, [this] { m_dropFiles = nullptr; });
    }
    m_dropFiles->show();
    m_dropFiles->raise();
    m_dropFiles->activateWindow();
}

void frmMain::setSelectedFile(const QString &path)
{
    ui->lblSelectedFile->setText(path);
    lblSelectedFile_Change();
    raise();
    activateWindow();
}

void frmMain::lblSelectedFile_Change()
{
    // The run reads the page again itself; this early parse only has the page ready, and a page
    // that cannot be read is reported by the run, not here.
    const QString path = ui->lblSelectedFile->text();
    m_WebBrowser1.reset();
    if (path.isEmpty()) {
        return;
    }
    if (auto loaded = Document::Navigate2(path)) {
        m_WebBrowser1.emplace(std::move(loaded).value());
    }
}

void frmMain::Label5_Click()
{
    m_host->inform(aboutTitle, aboutText, MessageIcon::Information);
}

RunOptions frmMain::readOptions() const
{
    RunOptions options;
    options.selectedFile = ui->lblSelectedFile->text();
    options.animations = ui->chkAnimations->isChecked();
    options.animationFamily = listIndex(ui->cboAnimations);
    options.speed = listIndex(ui->cboSpeed);
    options.fonts = ui->chkFonts->isChecked();
    options.fontName = ui->cboFonts->currentText();
    for (std::size_t i = 0; i < options.headingSizes.size(); ++i) {
        options.headingSizes[i] =
            HeadingSize{chkHFontSize[i]->isChecked(), cboFontSize[i]->currentText()};
    }
    options.backButton = ui->chkEnableBack->isChecked();
    options.backRedirect = ui->txtBackRedirect->text();
    return options;
}

std::optional<QString> frmMain::invalidOptionMessage(const RunOptions &options) const
{
    // Only what the run would write is checked: an unticked font or size is not used.
    if (!options.fonts) {
        return std::nullopt;
    }
    if (options.fontName.isEmpty()) {
        return u"The font name is empty. Choose a font from the list or type a font family "
               "name."_s;
    }
    if (!isFontName(options.fontName)) {
        return u"The font name \"%1\" cannot be used: a font family name holds only letters, "
               "digits, spaces, dots and hyphens, and starts with a letter or a digit."_s.arg(
                   options.fontName);
    }
    for (std::size_t i = 0; i < options.headingSizes.size(); ++i) {
        const HeadingSize &size = options.headingSizes[i];
        if (size.enabled && !isPixelSize(size.pixels)) {
            return u"The font size for H%1 \"%2\" cannot be used: a size is a number of pixels, "
                   "such as 34."_s.arg(i + 1)
                       .arg(size.pixels);
        }
    }
    return std::nullopt;
}

RunOutcome frmMain::cmdGo_Click()
{
    const RunOptions options = readOptions();
    // The run's own refusals (no page, nothing to change) come first; a value that cannot go into
    // the page is refused before anything is read or written.
    if (!options.selectedFile.isEmpty()) {
        if (const auto problem = invalidOptionMessage(options)) {
            m_host->inform(QString::fromLatin1(message::RefusedTitle), *problem,
                           MessageIcon::Error);
            return {RunOutcome::Kind::Refused, {}};
        }
    }
    const BusyCursor busy;
    return m_run.cmdGo_Click(options);
}

}  // namespace lumivane

#include "ui/main/frmmain.h"

#include "engine/option_checks.h"
#include "engine/output_stage.h"
#include "engine/restyle_run.h"
#include "platform/components.h"
#include "platform/page_file.h"
#include "ui/main/background_run.h"
#include "ui/main/classic_fonts.h"
#include "ui/main/message_box_host.h"
#include "ui/widgets/screen_fit.h"
#include "ui_frmmain.h"

#include <QKeyEvent>
#include <QTimer>
#include <QtConcurrent/QtConcurrentRun>

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

// The client area is 10665 x 8910 twips: 711 x 594 pixels at 15 twips to the pixel. The window
// starts at that size where the screen has room and scrolls its options where it has not.
constexpr QSize clientSize(711, 594);

void setColour(QWidget *widget, QPalette::ColorRole role, const QColor &colour)
{
    QPalette palette = widget->palette();
    palette.setColor(role, colour);
    widget->setPalette(palette);
}

// Options that are read by list index: the entry whose text the field shows, in any letter case
// ("slow" is "Slow"). Typed text that names no entry gives -1, which the window refuses.
int listIndex(const QComboBox *combo)
{
    return combo->findText(combo->currentText().trimmed(), Qt::MatchFixedString);
}

void fillList(QComboBox *combo, const QStringList &items, int selected)
{
    combo->clear();
    combo->addItems(items);
    combo->setCurrentIndex(selected);
}

// A page that cannot be used, as the run would report it; empty when it reads well.
QString pageProblem(const QString &path)
{
    auto page = ReadPageFile(path);
    return page ? QString() : page.error();
}

}  // namespace

frmMain::frmMain(SnippetFolder snippets, std::unique_ptr<WindowHost> host, QWidget *parent)
    : QWidget(parent)
    , ui(std::make_unique<Ui::frmMain>())
    , m_snippets(std::move(snippets))
    , m_host(host ? std::move(host) : std::make_unique<MessageBoxHost>(this))
    , m_random(QRandomGenerator::securelySeeded())
    , m_run(new BackgroundRun(*m_host, this))
{
    ui->setupUi(this);
    chkHFontSize = {ui->chkHFontSize_0, ui->chkHFontSize_1, ui->chkHFontSize_2};
    cboFontSize = {ui->cboFontSize_0, ui->cboFontSize_1, ui->cboFontSize_2};
    applyLook();

    connect(ui->cmdSelect, &QPushButton::clicked, this, &frmMain::cmdSelect_Click);
    connect(ui->cmdGo, &QPushButton::clicked, this, &frmMain::cmdGo_Click);
    connect(ui->Label5, &LinkLabel::clicked, this, &frmMain::Label5_Click);
    connect(ui->cmdOpenPage, &QPushButton::clicked, this,
            [this] { m_host->openPage(m_outputFile); });
    connect(ui->cmdOpenFolder, &QPushButton::clicked, this,
            [this] { m_host->showInFolder(m_outputFile); });
    for (QCheckBox *option : findChildren<QCheckBox *>()) {
        connect(option, &QCheckBox::toggled, this, &frmMain::enableDependentControls);
    }
    connect(m_run, &BackgroundRun::activity, ui->lblRunStep,
            [this](const QString &what) { ui->lblRunStep->setText(what + u"\u2026"_s); });
    connect(m_run, &BackgroundRun::noticed, ui->lblRunNotice, [this](const QString &text) {
        ui->lblRunNotice->setText(text);
        ui->lblRunNotice->show();
    });
    connect(&m_pageCheck, &QFutureWatcher<QString>::finished, this, [this] {
        const QString problem = m_pageCheck.result();
        ui->lblPageProblem->setText(problem);
        ui->lblPageProblem->setVisible(!problem.isEmpty());
    });

    Form_Load();
}

frmMain::~frmMain()
{
    // The dialog goes first, while the members that its signals reach still exist; so does a run
    // still going, while the host it reports to still exists.
    delete m_dropFiles.data();
    delete m_run;
}

void frmMain::applyLook()
{
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
    setColour(ui->lblPageProblem, QPalette::WindowText, QColor(160, 0, 0));
    setColour(ui->txtBackRedirect, QPalette::Base, QColor(255, 255, 192));
    ui->Label5->setLinkColour(QColor(0, 0, 255));

    // Typed text is used exactly as typed: no completion, and Enter adds nothing to a list.
    for (QComboBox *combo : findChildren<QComboBox *>()) {
        combo->setCompleter(nullptr);
        combo->setInsertPolicy(QComboBox::NoInsert);
    }
    ui->lblPageProblem->hide();
    ui->runStatus->hide();
    ui->runResult->hide();
    ui->lblRunNotice->hide();
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
    enableDependentControls();
}

void frmMain::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (m_shownBefore) {
        return;
    }
    m_shownBefore = true;
    fitOnScreen(this, clientSize);
    // A broken installation is told at once, with the folder, rather than at the first run; the
    // message waits until the window is on the screen.
    if (const auto complete = m_snippets.checkComplete(); !complete) {
        QTimer::singleShot(0, this, [this, problem = complete.error()] {
            m_host->inform(QString::fromLatin1(message::ErrorTitle), problem, MessageIcon::Error);
        });
    }
}

void frmMain::keyPressEvent(QKeyEvent *event)
{
    // The run button is the window's default button: Enter in any field that has no use for it
    // starts the run, as in a dialog. Buttons take Enter themselves.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        (event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier)) {
        if (ui->cmdGo->isEnabled()) {
            ui->cmdGo->click();
        }
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void frmMain::enableDependentControls()
{
    // A control whose option is off has no effect on the page, so it cannot be changed either;
    // its value stays for when the option is ticked again.
    const bool animations = ui->chkAnimations->isChecked();
    for (QWidget *control :
         {static_cast<QWidget *>(ui->cboAnimations), static_cast<QWidget *>(ui->Label3),
          static_cast<QWidget *>(ui->cboSpeed)}) {
        control->setEnabled(animations);
    }
    const bool fonts = ui->chkFonts->isChecked();
    ui->cboFonts->setEnabled(fonts);
    for (std::size_t i = 0; i < chkHFontSize.size(); ++i) {
        chkHFontSize[i]->setEnabled(fonts);
        cboFontSize[i]->setEnabled(fonts && chkHFontSize[i]->isChecked());
    }
    const bool backButton = ui->chkEnableBack->isChecked();
    ui->Label4->setEnabled(backButton);
    ui->txtBackRedirect->setEnabled(backButton);
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
    m_selectedFile = path;
    ui->lblSelectedFile->setFullText(path);
    lblSelectedFile_Change();
    raise();
    activateWindow();
}

void frmMain::lblSelectedFile_Change()
{
    // The run reads the page again itself; this early read only tells at once, under the path,
    // when the page cannot be used. It keeps nothing of the page.
    ui->lblPageProblem->hide();
    if (m_selectedFile.isEmpty()) {
        m_pageCheck.setFuture(QtFuture::makeReadyFuture(QString()));
        return;
    }
    m_pageCheck.setFuture(QtConcurrent::run(pageProblem, m_selectedFile));
}

void frmMain::Label5_Click()
{
    m_host->inform(aboutTitle, aboutText, MessageIcon::Information);
}

RunOptions frmMain::readOptions() const
{
    RunOptions options;
    options.selectedFile = m_selectedFile;
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

auto frmMain::refusedOption(const RunOptions &options) const -> std::optional<Refusal>
{
    // Only what the run would use is checked: an unticked option's fields are not.
    if (options.animations) {
        if (options.animationFamily < 0) {
            return Refusal{u"The animation \"%1\" is not in the list. Choose one of: %2."_s.arg(
                               ui->cboAnimations->currentText(), animationItems.join(u", "_s)),
                           ui->cboAnimations};
        }
        if (options.speed < 0) {
            return Refusal{
                u"The speed \"%1\" is not in the list. Choose Fast, Natural or Slow."_s.arg(
                    ui->cboSpeed->currentText()),
                ui->cboSpeed};
        }
    }
    if (options.fonts) {
        if (options.fontName.isEmpty()) {
            return Refusal{u"The font name is empty. Choose a font from the list or type a font "
                           "family name."_s,
                           ui->cboFonts};
        }
        if (!isFontName(options.fontName)) {
            return Refusal{
                u"The font name \"%1\" cannot be used: a font family name holds only letters, "
                "digits, spaces, dots and hyphens, and starts with a letter or a digit."_s.arg(
                    options.fontName),
                ui->cboFonts};
        }
        for (std::size_t i = 0; i < options.headingSizes.size(); ++i) {
            const HeadingSize &size = options.headingSizes[i];
            if (size.enabled && !isHeadingSize(size.pixels)) {
                return Refusal{u"The font size for H%1 \"%2\" cannot be used: a size is a number "
                               "of pixels from %3 to %4, such as 34."_s.arg(i + 1)
                                   .arg(size.pixels)
                                   .arg(SmallestHeadingSize)
                                   .arg(LargestHeadingSize),
                               cboFontSize[i]};
            }
        }
    }
    if (options.backButton) {
        if (const auto problem = redirectAddressProblem(options.backRedirect)) {
            return Refusal{u"The address \"%1\" in \"Redirect Visitors To:\" %2"_s.arg(
                               options.backRedirect, *problem),
                           ui->txtBackRedirect};
        }
    }
    return std::nullopt;
}

void frmMain::refuse(const Refusal &refusal)
{
    m_host->inform(QString::fromLatin1(message::RefusedTitle), refusal.message, MessageIcon::Error);
    refusal.field->setFocus(Qt::OtherFocusReason);
    if (auto *combo = qobject_cast<QComboBox *>(refusal.field); combo && combo->lineEdit()) {
        combo->lineEdit()->selectAll();
    } else if (auto *field = qobject_cast<QLineEdit *>(refusal.field)) {
        field->selectAll();
    }
}

bool frmMain::isRunning() const
{
    return m_run->isRunning();
}

void frmMain::cmdGo_Click()
{
    if (isRunning()) {
        return;
    }
    const RunOptions options = readOptions();
    // The run's own refusals (no page, nothing to change) come first; a value that cannot go into
    // the page is refused before anything is read or written.
    if (!options.selectedFile.isEmpty() && (options.animations || options.fonts)) {
        if (const auto refusal = refusedOption(options)) {
            refuse(*refusal);
            return;
        }
    }

    // One run at a time: the button is off until this one has ended.
    ui->cmdGo->setEnabled(false);
    ui->runResult->hide();
    ui->lblRunNotice->hide();
    ui->runStatus->show();
    setCursor(Qt::BusyCursor);
    auto ended = std::make_shared<QMetaObject::Connection>();
    *ended = connect(m_run, &BackgroundRun::finished, this,
                     [this, ended, options](const RunOutcome &outcome) {
                         disconnect(*ended);
                         runEnded(outcome, options);
                     });
    m_run->start(m_snippets, options, m_random.generate64());
}

void frmMain::runEnded(const RunOutcome &outcome, const RunOptions &options)
{
    unsetCursor();
    ui->runStatus->hide();
    ui->cmdGo->setEnabled(true);
    if (outcome.written()) {
        m_outputFile = outcome.outputPath;
        ui->lblOutputFile->setFullText(m_outputFile);
        ui->runResult->show();
    } else if (outcome.kind == RunOutcome::Kind::Refused) {
        // The run has said why; the focus goes where the user puts it right.
        QWidget *field = options.selectedFile.isEmpty() ? static_cast<QWidget *>(ui->cmdSelect)
                                                        : static_cast<QWidget *>(ui->chkAnimations);
        field->setFocus(Qt::OtherFocusReason);
    }
    emit runFinished(outcome);
}

}  // namespace lumivane

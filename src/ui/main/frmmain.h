#pragma once

// The main window: the options of a restyle run, the selected page and the run button. The
// controls are the settings; they start from the same defaults at every launch and nothing is
// saved. The texts of the run itself live in the engine's RestyleRun, not in hidden widgets.

#include "engine/restyle_run.h"
#include "engine/run_host.h"
#include "platform/html_document.h"
#include "snippets/snippet_folder.h"
#include "ui/intake/frmdropfiles.h"

#include <QPointer>
#include <QRandomGenerator>
#include <QWidget>

#include <array>
#include <memory>
#include <optional>

class QCheckBox;
class QComboBox;

namespace Ui {
class frmMain;
}

namespace lumivane {

class frmMain : public QWidget {
    Q_OBJECT

public:
    // Reads the font list from `snippets` and shows every message through `host`; without a host
    // the window shows message boxes of its own.
    explicit frmMain(SnippetFolder snippets, std::unique_ptr<RunHost> host = nullptr,
                     QWidget *parent = nullptr);
    ~frmMain() override;

    // The handlers, as a click on their controls runs them.
    void cmdSelect_Click();
    RunOutcome cmdGo_Click();
    void Label5_Click();

    // The intake dialog's hand-off: the confirmed page becomes the selected one (an empty path
    // selects none) and the window comes to the front.
    void setSelectedFile(const QString &path);

    // The run's options as the controls hold them now.
    [[nodiscard]] RunOptions readOptions() const;

    // The open intake dialog, if any.
    [[nodiscard]] frmdropfiles *dropFilesDialog() const { return m_dropFiles; }
    // The selected page as parsed when it was selected; none before a selection, after an
    // empty one, or when the page could not be read.
    [[nodiscard]] const std::optional<Document> &WebBrowser1() const { return m_WebBrowser1; }
    // The texts of the last run.
    [[nodiscard]] const RestyleRun &lastRun() const { return m_run; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void Form_Load();
    void lblSelectedFile_Change();
    void applyLook();
    [[nodiscard]] std::optional<QString> invalidOptionMessage(const RunOptions &options) const;

    std::unique_ptr<Ui::frmMain> ui;
    // The heading-size group, index 0, 1, 2 for h1, h2, h3.
    std::array<QCheckBox *, 3> chkHFontSize{};
    std::array<QComboBox *, 3> cboFontSize{};

    SnippetFolder m_snippets;
    std::unique_ptr<RunHost> m_host;
    QRandomGenerator m_random;
    RestyleRun m_run;
    std::optional<Document> m_WebBrowser1;
    QPointer<frmdropfiles> m_dropFiles;
    bool m_centred = false;
};

}  // namespace lumivane

#pragma once

// The main window: the options of a restyle run, the selected page and the run button. The
// controls are the settings; they start from the same defaults at every launch and nothing is
// saved. The run itself goes on a worker thread (BackgroundRun) while the window keeps painting
// and shows the step it has reached; the texts of a run live and die with it.

#include "engine/run_options.h"
#include "engine/run_outcome.h"
#include "snippets/snippet_folder.h"
#include "ui/intake/frmdropfiles.h"
#include "ui/main/window_host.h"

#include <QFutureWatcher>
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

class BackgroundRun;

class frmMain : public QWidget {
    Q_OBJECT

public:
    // Reads the font list from `snippets` and shows every message through `host`; without a host
    // the window shows message boxes of its own and opens pages with the desktop's programs.
    explicit frmMain(SnippetFolder snippets, std::unique_ptr<WindowHost> host = nullptr,
                     QWidget *parent = nullptr);
    ~frmMain() override;

    // The handlers, as a click on their controls runs them. The run starts on its worker and
    // the call returns at once.
    void cmdSelect_Click();
    void cmdGo_Click();
    void Label5_Click();

    // The intake dialog's hand-off: the confirmed page becomes the selected one (an empty path
    // selects none) and the window comes to the front.
    void setSelectedFile(const QString &path);
    // The selected page's full path; the label under the select button shows it, shortened in
    // the middle where it does not fit.
    [[nodiscard]] const QString &selectedFile() const { return m_selectedFile; }

    // The run's options as the controls hold them now.
    [[nodiscard]] RunOptions readOptions() const;

    [[nodiscard]] bool isRunning() const;
    // The open intake dialog, if any.
    [[nodiscard]] frmdropfiles *dropFilesDialog() const { return m_dropFiles; }

signals:
    // A run has ended, however it ended.
    void runFinished(const lumivane::RunOutcome &outcome);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    struct Refusal {
        QString message;
        QWidget *field;  // where the focus goes, so that the user can put it right
    };

    void Form_Load();
    void lblSelectedFile_Change();
    void applyLook();
    void enableDependentControls();
    void runEnded(const RunOutcome &outcome, const RunOptions &options);
    void refuse(const Refusal &refusal);
    [[nodiscard]] std::optional<Refusal> refusedOption(const RunOptions &options) const;

    std::unique_ptr<Ui::frmMain> ui;
    // The heading-size group, index 0, 1, 2 for h1, h2, h3.
    std::array<QCheckBox *, 3> chkHFontSize{};
    std::array<QComboBox *, 3> cboFontSize{};

    SnippetFolder m_snippets;
    std::unique_ptr<WindowHost> m_host;
    QRandomGenerator m_random;
    BackgroundRun *m_run;
    QString m_selectedFile;
    QString m_outputFile;  // written by the last run
    // Reads the selected page once, off the interface thread, to tell at once when it cannot be
    // used; the run reads it again itself.
    QFutureWatcher<QString> m_pageCheck;
    QPointer<frmdropfiles> m_dropFiles;
    bool m_shownBefore = false;
};

}  // namespace lumivane

#pragma once

// The `snippets` folder: every text the run puts into a page, the lists it offers and searches
// with, and the animation library folder `anilibs`. Installed as share/lumivane/snippets beside
// the program's bin folder (the build tree is laid out the same way), or kept in a folder named
// `snippets` right beside the program.

#include "platform/result.h"

#include <QString>
#include <QStringList>

namespace lumivane {

namespace snippet {
inline constexpr auto AnimateLinkRel = "animate-linkrel.txt";
inline constexpr auto AnimateCss = "animate-css.txt";
inline constexpr auto FontCss = "gfont-css.txt";
inline constexpr auto FxBounce = "fx-bounce.txt";
inline constexpr auto FxSlide = "fx-slide.txt";
inline constexpr auto FxFade = "fx-fade.txt";
inline constexpr auto ActivationScript = "wowbelowbody.txt";
inline constexpr auto TitleCloseCandidates = "possibletitleclose.txt";
inline constexpr auto BodyOpenCandidates = "possiblebodyopen.txt";
inline constexpr auto BackButtonScript = "b.cfg";
inline constexpr auto FontList = "gfonts.txt";
inline constexpr auto LibraryFolder = "anilibs";
}  // namespace snippet

class SnippetFolder {
public:
    explicit SnippetFolder(QString folder);

    // The running program's snippet folder (needs a QCoreApplication): `snippets` beside the
    // program when there is one, else the data folder that installing puts next to its bin folder.
    static SnippetFolder ofProgram();

    [[nodiscard]] const QString &folder() const { return m_folder; }
    // The full path of a snippet file or folder, with the platform's separators.
    [[nodiscard]] QString path(const QString &fileName) const;
    [[nodiscard]] QString libraryFolder() const
    {
        return path(QString::fromLatin1(snippet::LibraryFolder));
    }

    // Whole text of a snippet file; a missing, unreadable, empty or non-UTF-8 file gives a message
    // that names it (a blank file counts as empty).
    [[nodiscard]] Result<QString> readText(const char *fileName) const;
    // Appends the lines of a snippet file to `list`; a missing, unreadable, non-UTF-8 or (except
    // for the animation lists) empty file gives a message that names it.
    [[nodiscard]] Status readLines(QStringList &list, const char *fileName) const;

    // Whether every file the run reads is there, and `anilibs` with them; otherwise a message that
    // names the folder and what is missing. Lets a program say so when it starts, not only when
    // a run gets that far.
    [[nodiscard]] Status checkComplete() const;

private:
    // The snippet file's path, or a message naming it when it is missing.
    [[nodiscard]] Result<QString> existingFile(const char *fileName) const;
    // The message for a snippet file that holds no text.
    static Error emptyFile(const QString &file);
    // The lists that may hold no line at all.
    static bool mayBeEmpty(const char *fileName);

    QString m_folder;
};

}  // namespace lumivane

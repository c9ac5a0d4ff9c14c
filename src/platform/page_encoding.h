#pragma once

#include <QByteArray>

namespace lumivane {

// How a page's bytes were (and will again be) encoded.
struct PageEncoding {
    enum class Kind {
        Utf8,
        Utf16LE,
        Utf16BE,
        Windows1252,
        Other,  // a legacy encoding named by the page, handled through Qt's converters
    };
    Kind kind = Kind::Utf8;
    bool byteOrderMark = false;
    // The encoding's canonical name ("UTF-8", "windows-1252", "Shift_JIS", ...); for Kind::Other
    // it is the name given to QStringDecoder/QStringEncoder.
    QByteArray name = "UTF-8";

    // One of the encodings we read and write ourselves, under its canonical name. Kind::Other
    // has no name of its own: it comes only from a label (see encodingForLabel).
    static PageEncoding of(Kind kind, bool byteOrderMark = false)
    {
        const char *names[] = {"UTF-8", "UTF-16LE", "UTF-16BE", "windows-1252", ""};
        return {kind, byteOrderMark, QByteArray(names[static_cast<int>(kind)])};
    }

    [[nodiscard]] bool isUtf16() const { return kind == Kind::Utf16LE || kind == Kind::Utf16BE; }

    friend bool operator==(const PageEncoding &, const PageEncoding &) = default;
};

}  // namespace lumivane

#pragma once

// Everything the user decides about one restyle run, with the window's start-up defaults.

#include <QString>

#include <array>

namespace lumivane {

// Index of the animation family entry: "Bounce + Fade", "Slide + Fade", "Bounce + Slide",
// "Bounce", "Slide", "Fade". Any other value means no entry is selected.
enum AnimationFamily : int {
    BounceFade = 0,
    SlideFade = 1,
    BounceSlide = 2,
    Bounce = 3,
    Slide = 4,
    Fade = 5,
};

// Index of the speed entry: "Fast", "Natural", "Slow". Any other value means no entry.
enum AnimationSpeed : int {
    Fast = 0,
    Natural = 1,
    Slow = 2,
};

struct HeadingSize {
    bool enabled = true;
    QString pixels;  // used as written, no conversion and no check
};

struct RunOptions {
    QString selectedFile;  // full path of the page; empty means no page is selected
    bool animations = true;
    int animationFamily = AnimationFamily::BounceFade;
    int speed = AnimationSpeed::Natural;
    bool fonts = true;
    QString fontName;  // the window's default is the first line of the font list
    std::array<HeadingSize, 3> headingSizes{
        HeadingSize{true, QStringLiteral("34")},
        HeadingSize{true, QStringLiteral("30")},
        HeadingSize{true, QStringLiteral("26")},
    };
    bool backButton = false;
    QString backRedirect = QStringLiteral("http://");
};

}  // namespace lumivane

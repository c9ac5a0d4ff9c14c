#include "app/cli_options.h"

#include "engine/option_checks.h"

#include <array>
#include <utility>

using namespace Qt::StringLiterals;

namespace lumivane::cli {

namespace {

constexpr std::array animationNames{
    std::pair{"bounce+fade", AnimationFamily::BounceFade},
    std::pair{"slide+fade", AnimationFamily::SlideFade},
    std::pair{"bounce+slide", AnimationFamily::BounceSlide},
    std::pair{"bounce", AnimationFamily::Bounce},
    std::pair{"slide", AnimationFamily::Slide},
    std::pair{"fade", AnimationFamily::Fade},
};

constexpr std::array speedNames{
    std::pair{"fast", AnimationSpeed::Fast},
    std::pair{"natural", AnimationSpeed::Natural},
    std::pair{"slow", AnimationSpeed::Slow},
};

template <typename Table>
std::optional<int> lookUp(const Table &table, const QString &name)
{
    for (const auto &[text, value] : table) {
        if (name.compare(QLatin1StringView(text), Qt::CaseInsensitive) == 0) {
            return value;
        }
    }
    return std::nullopt;
}

// --jobs beyond this is a typing error rather than a wish: no machine runs that many pages at once.
constexpr int MostJobs = 1024;

bool takesNoValue(const QString &option)
{
    return option.startsWith(u"--no-"_s) || option == u"--yes"_s || option == u"--open"_s ||
           option == u"--help"_s || option == u"--version"_s;
}

// --h1, --no-h2 and the like: 0, 1 or 2 for h1, h2, h3.
int headingIndex(const QString &option)
{
    return option.endsWith(u'1') ? 0 : option.endsWith(u'2') ? 1 : 2;
}

ParseResult usageError(const QString &text)
{
    ParseResult result;
    result.kind = ParseResult::Kind::UsageError;
    result.text = text + u"\nTry 'lumivane-cli --help'."_s;
    return result;
}

}  // namespace

QString helpText()
{
    return uR"(Usage: lumivane-cli [OPTIONS] PAGE...
       lumivane-cli [OPTIONS] --recursive DIR [PAGE...]

Gives each web page PAGE (.htm or .html) a new look and writes it as
<name>_modified.html beside it, with the animation library folder 'anilibs'.
The page itself is never changed.

Options:
  --animations FAMILY  random entrance animations on every h1 and image, drawn
                       from bounce+fade (default), slide+fade, bounce+slide,
                       bounce, slide or fade
  --no-animations      no animations
  --speed SPEED        animation speed: fast, natural (default) or slow
  --font NAME          web font for the page (default: first of the font list)
  --no-font            no web font and no heading sizes
  --h1 PX, --h2 PX, --h3 PX
                       pixel sizes of h1, h2, h3, from 8 to 200 (defaults
                       34, 30, 26)
  --no-h1, --no-h2, --no-h3
                       leave that heading's size alone
  --back-redirect URL  send visitors who press Back to URL, a whole http:// or
                       https:// address
  --yes                replace an existing output file without asking
  --open               open the output folder afterwards (one page only)
  --seed N             reproducible random animation picks; every page of a
                       batch gets the picks it would get alone with that seed
  --recursive DIR      every .htm and .html page in DIR and its subfolders
                       (any letter case), except outputs (*_modified.html)
  --jobs N, -j N       pages restyled at once (default: one per core)
  --help               show this text
  --version            show the version

Each written page's path goes to standard output, messages to standard error.

With several pages or --recursive, pages are restyled side by side; standard
error shows a progress bar on a terminal (one line per page otherwise), the
pages that failed, and a summary. Existing outputs: --yes replaces them; else
you are asked once, before the first page, when standard input is a terminal;
with no terminal they are kept and reported as skipped.

Exit status: 0 all pages written, 1 a page was refused, failed or skipped,
2 bad usage.
)"_s;
}

ParseResult parseCommandLine(const QStringList &arguments)
{
    ParseResult result;
    result.kind = ParseResult::Kind::Run;
    CommandLine &line = result.commandLine;

    for (qsizetype i = 0; i < arguments.size(); ++i) {
        QString argument = arguments.at(i);
        std::optional<QString> inlineValue;
        if (argument.startsWith(u"--"_s) && argument.contains(u'=')) {
            const qsizetype equals = argument.indexOf(u'=');
            inlineValue = argument.sliced(equals + 1);
            argument.truncate(equals);
        }
        const auto value = [&]() -> std::optional<QString> {
            if (inlineValue) {
                return inlineValue;
            }
            if (i + 1 < arguments.size()) {
                return arguments.at(++i);
            }
            return std::nullopt;
        };
        if (inlineValue && takesNoValue(argument)) {
            return usageError(u"%1 takes no value."_s.arg(argument));
        }

        if (argument == u"--help"_s || argument == u"-h"_s) {
            return {ParseResult::Kind::Help, {}, helpText()};
        }
        if (argument == u"--version"_s) {
            return {ParseResult::Kind::Version, {}, {}};
        }
        if (argument == u"--animations"_s) {
            const auto name = value();
            const auto family = name ? lookUp(animationNames, *name) : std::nullopt;
            if (!family) {
                return usageError(
                    u"--animations needs one of bounce+fade, slide+fade, bounce+slide, bounce, slide, fade."_s);
            }
            line.options.animations = true;
            line.options.animationFamily = *family;
        } else if (argument == u"--no-animations"_s) {
            line.options.animations = false;
        } else if (argument == u"--speed"_s) {
            const auto name = value();
            const auto speed = name ? lookUp(speedNames, *name) : std::nullopt;
            if (!speed) {
                return usageError(u"--speed needs one of fast, natural, slow."_s);
            }
            line.options.speed = *speed;
        } else if (argument == u"--font"_s) {
            const auto name = value();
            if (!name || !isFontName(*name)) {
                return usageError(
                    u"--font needs a font family name (letters, digits, spaces, dots and hyphens)."_s);
            }
            line.options.fonts = true;
            line.options.fontName = *name;
            line.fontGiven = true;
        } else if (argument == u"--no-font"_s) {
            line.options.fonts = false;
        } else if (argument == u"--h1"_s || argument == u"--h2"_s || argument == u"--h3"_s) {
            const auto pixels = value();
            if (!pixels || !isHeadingSize(*pixels)) {
                return usageError(
                    u"%1 needs a size in pixels from %2 to %3, such as 34."_s.arg(argument)
                        .arg(SmallestHeadingSize)
                        .arg(LargestHeadingSize));
            }
            line.options.headingSizes[headingIndex(argument)] = HeadingSize{true, *pixels};
        } else if (argument == u"--no-h1"_s || argument == u"--no-h2"_s ||
                   argument == u"--no-h3"_s) {
            line.options.headingSizes[headingIndex(argument)].enabled = false;
        } else if (argument == u"--back-redirect"_s) {
            const auto address = value();
            if (!address) {
                return usageError(u"--back-redirect needs an address."_s);
            }
            if (const auto problem = redirectAddressProblem(*address)) {
                return usageError(
                    u"The address \"%1\" of --back-redirect %2"_s.arg(*address, *problem));
            }
            line.options.backButton = true;
            line.options.backRedirect = *address;
        } else if (argument == u"--yes"_s || argument == u"-y"_s) {
            line.overwrite = true;
        } else if (argument == u"--open"_s) {
            line.openFolder = true;
        } else if (argument == u"--seed"_s) {
            const auto text = value();
            bool ok = false;
            const quint64 seed = text ? text->toULongLong(&ok) : 0;
            if (!ok) {
                return usageError(u"--seed needs a whole number."_s);
            }
            line.seed = seed;
        } else if (argument == u"--recursive"_s) {
            const auto folder = value();
            if (!folder || folder->isEmpty()) {
                return usageError(u"--recursive needs a folder."_s);
            }
            line.recursiveFolders.append(*folder);
        } else if (argument == u"--jobs"_s || argument == u"-j"_s) {
            const auto text = value();
            bool ok = false;
            const int jobs = text ? text->toInt(&ok) : 0;
            if (!ok || jobs < 1 || jobs > MostJobs) {
                return usageError(u"--jobs needs a whole number from 1 to %1."_s.arg(MostJobs));
            }
            line.jobs = jobs;
        } else if (argument == u"--"_s) {
            line.pages.append(arguments.sliced(i + 1));
            break;
        } else if (argument.startsWith(u'-') && argument.size() > 1) {
            return usageError(u"Unknown option %1."_s.arg(arguments.at(i)));
        } else {
            line.pages.append(argument);
        }
    }
    if (line.pages.isEmpty() && line.recursiveFolders.isEmpty()) {
        return usageError(u"No page given."_s);
    }
    // One folder per page could mean hundreds of windows.
    if (line.openFolder && line.isBatch()) {
        return usageError(u"--open works with a single page only."_s);
    }
    return result;
}

}  // namespace lumivane::cli

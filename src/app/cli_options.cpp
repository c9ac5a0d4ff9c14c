#include "app/cli_options.h"

#include "engine/option_checks.h"

#include <QCommandLineParser>
#include <QHash>

using namespace Qt::StringLiterals;

namespace lumivane::cli {

namespace {

// In the order of AnimationFamily and AnimationSpeed, whose values are these indexes.
const QStringList animationNames{u"bounce+fade"_s, u"slide+fade"_s, u"bounce+slide"_s,
                                 u"bounce"_s,      u"slide"_s,      u"fade"_s};
const QStringList speedNames{u"fast"_s, u"natural"_s, u"slow"_s};

// --jobs beyond this is a typing error rather than a wish: no machine runs that many pages at once.
constexpr int MostJobs = 1024;

// The first name of each option is the one its messages use.
const QList<QStringList> optionsWithValue{
    {u"animations"_s}, {u"speed"_s}, {u"font"_s},      {u"h1"_s},           {u"h2"_s},
    {u"h3"_s},         {u"seed"_s},  {u"recursive"_s}, {u"jobs"_s, u"j"_s}, {u"back-redirect"_s}};
const QList<QStringList> flags{{u"no-animations"_s}, {u"no-font"_s},      {u"no-h1"_s},
                               {u"no-h2"_s},         {u"no-h3"_s},        {u"yes"_s, u"y"_s},
                               {u"open"_s},          {u"help"_s, u"h"_s}, {u"version"_s}};

// The first name of the option in `table` that has `name`; empty when none has.
QString firstName(const QList<QStringList> &table, const QString &name)
{
    for (const QStringList &names : table) {
        if (names.contains(name)) {
            return names.first();
        }
    }
    return {};
}

ParseResult usageError(const QString &text)
{
    return {ParseResult::Kind::UsageError, {}, text + u"\nTry 'lumivane-cli --help'."_s};
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
    QCommandLineParser parser;
    for (const QStringList &names : optionsWithValue) {
        parser.addOption(QCommandLineOption(names, {}, u"value"_s));
    }
    for (const QStringList &names : flags) {
        parser.addOption(QCommandLineOption(names));
    }
    const bool parsed = parser.parse(QStringList{u"lumivane-cli"_s} + arguments);
    // The parser names options bare and in its own words; ours name them as they were typed.
    if (!parser.unknownOptionNames().isEmpty()) {
        // -dash.html is read as -d -a -s -h ..., of which d is the first unknown.
        const QString name = parser.unknownOptionNames().first();
        for (const QString &argument : arguments) {
            const bool shortOptions = !argument.startsWith(u"--"_s) && argument.startsWith(u'-');
            if (argument.section(u'=', 0, 0) == u"--"_s + name ||
                (shortOptions && argument.contains(name))) {
                return usageError(u"Unknown option %1."_s.arg(argument));
            }
        }
    }
    if (!parsed) {
        // A flag given a value; else a value missing at the end, which is checked below as empty.
        for (const QString &argument : arguments) {
            const QString bare = argument.section(u'=', 0, 0);
            const QString name = bare.startsWith(u"--"_s) ? bare.sliced(2) : bare.mid(1);
            if (bare.startsWith(u'-') && argument.contains(u'=') &&
                !firstName(flags, name).isEmpty()) {
                return usageError(u"%1 takes no value."_s.arg(bare));
            }
        }
    }

    ParseResult result{ParseResult::Kind::Run, {}, {}};
    CommandLine &line = result.commandLine;
    RunOptions &options = line.options;
    // In the order given, so that a later option overrides an earlier one and the first mistake
    // is the one named.
    QHash<QString, qsizetype> taken;
    for (const QString &typedName : parser.optionNames()) {
        const QString name = firstName(optionsWithValue, typedName) + firstName(flags, typedName);
        const QString option = u"--"_s + name;
        const QStringList values = parser.values(name);
        const qsizetype index = taken[name]++;
        const bool hasValue = index < values.size();
        const QString value = hasValue ? values.at(index) : QString();
        if (name == u"help"_s) {
            return {ParseResult::Kind::Help, {}, helpText()};
        }
        if (name == u"version"_s) {
            return {ParseResult::Kind::Version, {}, {}};
        }
        if (name == u"animations"_s) {
            const qsizetype family = animationNames.indexOf(value.toLower());
            if (family < 0) {
                return usageError(
                    u"--animations needs one of %1."_s.arg(animationNames.join(u", "_s)));
            }
            options.animations = true;
            options.animationFamily = static_cast<int>(family);
        } else if (name == u"no-animations"_s) {
            options.animations = false;
        } else if (name == u"speed"_s) {
            const qsizetype speed = speedNames.indexOf(value.toLower());
            if (speed < 0) {
                return usageError(u"--speed needs one of %1."_s.arg(speedNames.join(u", "_s)));
            }
            options.speed = static_cast<int>(speed);
        } else if (name == u"font"_s) {
            if (!isFontName(value)) {
                return usageError(
                    u"--font needs a font family name (letters, digits, spaces, dots and hyphens)."_s);
            }
            options.fonts = true;
            options.fontName = value;
            line.fontGiven = true;
        } else if (name == u"no-font"_s) {
            options.fonts = false;
        } else if (name.back().isDigit()) {  // --h1, --no-h1 and the like
            HeadingSize &size = options.headingSizes.at(name.back().digitValue() - 1);
            size.enabled = name.startsWith(u'h');
            if (size.enabled && !isHeadingSize(value)) {
                return usageError(
                    u"%1 needs a size in pixels from %2 to %3, such as 34."_s.arg(option)
                        .arg(SmallestHeadingSize)
                        .arg(LargestHeadingSize));
            }
            if (size.enabled) {
                size.pixels = value;
            }
        } else if (name == u"back-redirect"_s) {
            if (!hasValue) {
                return usageError(u"--back-redirect needs an address."_s);
            }
            if (const auto problem = redirectAddressProblem(value)) {
                return usageError(
                    u"The address \"%1\" of --back-redirect %2"_s.arg(value, *problem));
            }
            options.backButton = true;
            options.backRedirect = value;
        } else if (name == u"yes"_s) {
            line.overwrite = true;
        } else if (name == u"open"_s) {
            line.openFolder = true;
        } else if (name == u"seed"_s) {
            bool ok = false;
            line.seed = value.toULongLong(&ok);
            if (!ok) {
                return usageError(u"--seed needs a whole number."_s);
            }
        } else if (name == u"recursive"_s) {
            if (value.isEmpty()) {
                return usageError(u"--recursive needs a folder."_s);
            }
            line.recursiveFolders.append(value);
        } else if (name == u"jobs"_s) {
            bool ok = false;
            line.jobs = value.toInt(&ok);
            if (!ok || *line.jobs < 1 || *line.jobs > MostJobs) {
                return usageError(u"--jobs needs a whole number from 1 to %1."_s.arg(MostJobs));
            }
        }
    }
    line.pages = parser.positionalArguments();
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

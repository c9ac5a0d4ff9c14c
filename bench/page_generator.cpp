#include "page_generator.h"

#include <array>
#include <cstdint>

namespace lumivane::bench {

namespace {

// A fixed little generator (not std's, whose distributions differ between libraries), so the
// pages are the same everywhere.
class Picker {
public:
    std::uint32_t next()
    {
        m_state = m_state * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<std::uint32_t>(m_state >> 33);
    }
    template <typename List>
    const char *pick(const List &list)
    {
        return list[next() % list.size()];
    }

private:
    std::uint64_t m_state = 20240917;
};

constexpr std::array headlines{
    "Grow a Green Thumb in 30 Days",
    "The Garden Plan That Pays for Itself",
    "Caf\xC3\xA9-Quality Herbs on Your Windowsill",
    "Stop Guessing &mdash; Start Harvesting",
    "\xE2\x80\x9C"
    "Best Purchase This Year\xE2\x80\x9D",
    "Gr\xC3\xBCne Ernte, weniger M\xC3\xBChe",
};

constexpr std::array sentences{
    "Thousands of readers have already ordered it &amp; started their first bed this weekend. ",
    "Only <b>\xE2\x82\xAC"
    "47</b> today, with a 60-day \xE2\x80\x9Cno questions asked\xE2\x80\x9D "
    "guarantee. ",
    "Lorem ipsum dolor sit amet, consectetur adipiscing elit, sed do eiusmod tempor incididunt ut "
    "labore et dolore magna aliqua. ",
    "Ut enim ad minim veniam, quis nostrud exercitation ullamco laboris nisi ut aliquip ex ea "
    "commodo consequat. ",
    "<i>Na\xC3\xAFve</i> gardeners &ndash; and seasoned ones &ndash; love the step-by-step "
    "videos&nbsp;&#8230; ",
    "See the <a href=\"#order\" class=\"link\">order form</a> below, or call us toll-free. ",
    "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\xE3\x81\xA7\xE3\x82\x82\xE8\xAA\xAD\xE3\x82\x81\xE3\x81"
    "\xBE\xE3\x81\x99\xE3\x80\x82 \xD0\x9F\xD0\xBE-\xD1\x80\xD1\x83\xD1\x81\xD1\x81\xD0\xBA\xD0"
    "\xB8 \xD1\x82\xD0\xBE\xD0\xB6\xD0\xB5. \xF0\x9F\x8C\xB1 ",
    "Questions? Write to <a href=\"mailto:help@example.com\">help@example.com</a> &lt;any "
    "time&gt;. ",
};

constexpr std::array images{"product.png",     "bonus-1.jpg",         "bonus-2.jpg",
                            "testimonial.jpg", "guarantee-badge.png", "author.jpg"};

constexpr std::array icons{"Checked", "Secure checkout", "Fast delivery", "Money back"};

void appendParagraph(QByteArray &page, Picker &picker, int sentenceCount)
{
    page += "<p>";
    for (int i = 0; i < sentenceCount; ++i) {
        page += picker.pick(sentences);
    }
    page += "</p>\n";
}

void appendIcon(QByteArray &page, Picker &picker)
{
    page += "<svg class=\"icon\" viewBox=\"0 0 24 24\" width=\"24\" height=\"24\" "
            "aria-hidden=\"true\"><title>";
    page += picker.pick(icons);
    page += "</title><path d=\"M9 16.2 4.8 12l-1.4 1.4L9 19 21 7l-1.4-1.4z\" "
            "fill=\"currentColor\"/></svg>";
}

void appendTable(QByteArray &page, Picker &picker)
{
    page += "<table class=\"compare\"><thead><tr><th>Plan</th><th>Lessons</th><th>Price</th>"
            "</tr></thead><tbody>\n";
    for (int row = 0; row < 4; ++row) {
        page += "<tr><td>";
        page += picker.pick(icons);
        page += "</td><td>";
        page += QByteArray::number(static_cast<int>(7 + picker.next() % 20));
        page += "</td><td>\xE2\x82\xAC";
        page += QByteArray::number(static_cast<int>(19 + picker.next() % 80));
        page += "</td></tr>\n";
    }
    page += "</tbody></table>\n";
}

// One block of about 2 KB.
void appendBlock(QByteArray &page, Picker &picker, int index)
{
    page += "<section class=\"block block-";
    page += QByteArray::number(index);
    page += "\">\n";
    if (index % 4 == 0) {
        page += "<h1 class=\"headline\">";
        page += picker.pick(headlines);
        page += "</h1>\n";
    } else {
        page += "<h2>";
        page += picker.pick(headlines);
        page += "</h2>\n";
    }
    page += "<div class=\"benefit\">";
    appendIcon(page, picker);
    page += "<span>";
    page += picker.pick(icons);
    page += "</span></div>\n";
    appendParagraph(page, picker, 4);
    page += "<img src=\"images/";
    page += picker.pick(images);
    page += "\" alt=\"Picture ";
    page += QByteArray::number(index);
    page += "\" width=\"480\" height=\"300\" loading=\"lazy\">\n";
    appendParagraph(page, picker, 5);
    page += "<ul><li>Seven lessons</li><li>Twenty templates &amp; checklists</li>"
            "<li>A private group</li></ul>\n";
    if (index % 8 == 7) {
        appendTable(page, picker);
    }
    page += "<!-- block end -->\n</section>\n";
}

QByteArray head(const char *title)
{
    QByteArray page = "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">\n"
                      "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
                      "<title>";
    page += title;
    page += "</title>\n"
            "<style>body{font:16px/1.5 Georgia,serif;margin:0 auto;max-width:60rem}"
            ".headline{color:#0a5}.icon{vertical-align:middle}</style>\n"
            "<script>window.dataLayer=window.dataLayer||[];"
            "if(1<2&&'</p>'){dataLayer.push({event:'view'})}</script>\n"
            "</head>\n<body class=\"sales\">\n";
    return page;
}

constexpr const char *tail = "<footer><p>&copy; 2024 Green Thumb Ltd.</p></footer>\n"
                             "<script>document.querySelector('footer').dataset.ready='1';</script>"
                             "\n</body>\n</html>\n";

}  // namespace

QByteArray salesPage(qsizetype bytes)
{
    Picker picker;
    QByteArray page = head("Grow a Green Thumb \xE2\x80\x93 Special Offer");
    page.reserve(bytes + 4096);
    for (int index = 0; page.size() < bytes - 200; ++index) {
        appendBlock(page, picker, index);
    }
    page += tail;
    return page;
}

QByteArray galleryPage(int imageCount)
{
    Picker picker;
    QByteArray page = head("Gallery");
    page.reserve(static_cast<qsizetype>(imageCount) * 120 + 4096);
    page += "<h1>Our customers\xE2\x80\x99 gardens</h1>\n<div class=\"gallery\">\n";
    for (int i = 0; i < imageCount; ++i) {
        page += "<figure><img src=\"g/";
        page += QByteArray::number(i);
        page += ".jpg\" alt=\"Garden ";
        page += QByteArray::number(i);
        page += "\"><figcaption>";
        page += picker.pick(icons);
        page += "</figcaption></figure>\n";
    }
    page += "</div>\n";
    page += tail;
    return page;
}

}  // namespace lumivane::bench

#include "engine/output_naming.h"

#include "qt_printers.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace lumivane;

TEST(OutputNaming, OutputAndLibraryGoBesideTheSource)
{
    const struct {
        QString source, output, library;
    } cases[] = {
        {u"/sites/offer.htm"_s, u"/sites/offer_modified.html"_s, u"/sites/anilibs/"_s},
        {u"/sites/OFFER.HTML"_s, u"/sites/OFFER_modified.html"_s, u"/sites/anilibs/"_s},
        // ".html" goes before ".htm" (no "offerl"), wherever it stands in the name.
        {u"/sites/my.html.htm"_s, u"/sites/my_modified.html"_s, u"/sites/anilibs/"_s},
        // An earlier output chosen as the source is never overwritten by its own run.
        {u"/s/offer_modified.html"_s, u"/s/offer_modified_modified.html"_s, u"/s/anilibs/"_s},
        // Only the last component is the file name.
        {u"/a.html b/offer.html"_s, u"/a.html b/offer_modified.html"_s, u"/a.html b/anilibs/"_s},
        {u"/offer.htm"_s, u"/offer_modified.html"_s, u"/anilibs/"_s},
        // A network share keeps the two separators that open it.
        {u"//srv/share/o.htm"_s, u"//srv/share/o_modified.html"_s, u"//srv/share/anilibs/"_s},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.source.toStdString());
        EXPECT_EQ(OutputPath(c.source), c.output);
        EXPECT_EQ(LibraryTargetFolder(c.source), c.library);
    }
}

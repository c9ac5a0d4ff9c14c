#include "gumbo_floor.h"

#include <gumbo.h>

namespace lumivane::bench {

void gumboParseAndDiscard(QByteArrayView utf8)
{
    GumboOutput *output = gumbo_parse_with_options(&kGumboDefaultOptions, utf8.data(),
                                                   static_cast<size_t>(utf8.size()));
    gumbo_destroy_output(&kGumboDefaultOptions, output);
}

}  // namespace lumivane::bench

#include "app/page_host.h"

namespace lumivane::cli {

PageHost::PageHost(ExistingOutput existing)
    : m_existing(existing)
{}

void PageHost::inform(const QString & /*title*/, const QString & /*text*/, MessageIcon /*icon*/) {}

bool PageHost::askYesNo(const QString & /*title*/, const QString & /*text*/)
{
    return m_existing == ExistingOutput::Replace;
}

void PageHost::openFolder(const QString & /*folder*/) {}

void PageHost::notice(const QString &text)
{
    m_notices.append(text);
}

}  // namespace lumivane::cli

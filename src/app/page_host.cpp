#include "app/page_host.h"

#include "engine/output_stage.h"

namespace lumivane::cli {

bool isDoneMessage(const QString &title, MessageIcon icon)
{
    return icon == MessageIcon::Information && title == QLatin1StringView(message::DoneTitle);
}

PageHost::PageHost(ExistingOutput existing)
    : m_existing(existing)
{}

void PageHost::inform(const QString &title, const QString &text, MessageIcon icon)
{
    // Errors, and refusals ("Ooops!"), end the page's run without writing; "Done" does not.
    if (!isDoneMessage(title, icon)) {
        m_problem = text;
    }
}

bool PageHost::askYesNo(const QString & /*title*/, const QString & /*text*/)
{
    if (m_existing == ExistingOutput::Replace) {
        return true;
    }
    m_keptExisting = true;
    return false;
}

void PageHost::openFolder(const QString & /*folder*/) {}

void PageHost::notice(const QString &text)
{
    m_notices.append(text);
}

}  // namespace lumivane::cli

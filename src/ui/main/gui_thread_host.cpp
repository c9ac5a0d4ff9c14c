#include "ui/main/gui_thread_host.h"

#include <QMetaObject>
#include <QObject>
#include <QThread>

namespace lumivane {

GuiThreadHost::GuiThreadHost(RunHost &target, QObject *context)
    : m_target(target)
    , m_context(context)
    , m_contextThread(context->thread())
{}

void GuiThreadHost::post(std::function<void()> work)
{
    const std::scoped_lock lock(m_shared->mutex);
    // Posted under the lock, so that close() cannot come between the check and the post: after
    // close() the context may be gone.
    if (m_shared->closed) {
        return;
    }
    QMetaObject::invokeMethod(
        m_context,
        [shared = m_shared, work = std::move(work)] {
            {
                const std::scoped_lock stillOpen(shared->mutex);
                if (shared->closed) {
                    return;
                }
            }
            work();
        },
        Qt::QueuedConnection);
}

bool GuiThreadHost::call(std::function<void()> work)
{
    if (QThread::currentThread() == m_contextThread) {
        work();
        return true;
    }
    auto done = std::make_shared<bool>(false);
    post([shared = m_shared, done, work = std::move(work)] {
        work();
        const std::scoped_lock lock(shared->mutex);
        *done = true;
        shared->answered.notify_all();
    });
    std::unique_lock lock(m_shared->mutex);
    m_shared->answered.wait(lock, [&] { return *done || m_shared->closed; });
    return *done;
}

void GuiThreadHost::notice(const QString &text)
{
    post([&target = m_target, text] { target.notice(text); });
}

void GuiThreadHost::close()
{
    const std::scoped_lock lock(m_shared->mutex);
    m_shared->closed = true;
    m_shared->answered.notify_all();
}

// The texts are copied into the calls: the worker's own may be gone by the time a call that was
// closed off would have run.

void GuiThreadHost::inform(const QString &title, const QString &text, MessageIcon icon)
{
    call([this, title, text, icon] { m_target.inform(title, text, icon); });
}

bool GuiThreadHost::askYesNo(const QString &title, const QString &text)
{
    auto yes = std::make_shared<bool>(false);
    const bool asked = call([this, title, text, yes] { *yes = m_target.askYesNo(title, text); });
    return asked && *yes;
}

void GuiThreadHost::openFolder(const QString &folder)
{
    call([this, folder] { m_target.openFolder(folder); });
}

}  // namespace lumivane

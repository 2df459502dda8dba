#include "platform/BusyWatch.h"

#include <QApplication>
#include <QProgressDialog>

namespace {

// How often the task stops to let the window be painted and Cancel be pressed.
const qint64 kLookEveryMs = 50;

} // namespace

BusyWatch::BusyWatch(QWidget* parent, const QString& label, int showAfterMs)
    : m_parent(parent), m_label(label), m_showAfterMs(showAfterMs)
{
    m_started.start();
}

BusyWatch::~BusyWatch()
{
    delete m_window;
    if (m_arrowCursor)
        QApplication::restoreOverrideCursor();
}

bool BusyWatch::keepGoing()
{
    if (m_cancelled)
        return false;
    const qint64 now = m_started.elapsed();
    if (now - m_lastLook < kLookEveryMs)
        return true;
    m_lastLook = now;
    if (!m_window && now >= m_showAfterMs) {
        m_window = new QProgressDialog(m_label, QStringLiteral("Cancel"), 0, 0, m_parent);
        m_window->setObjectName(QStringLiteral("dlgBusy"));
        m_window->setWindowTitle(QStringLiteral("Varolin"));
        m_window->setWindowModality(Qt::ApplicationModal);
        m_window->setMinimumDuration(0);
        m_window->setAutoReset(false);
        m_window->setAutoClose(false);
        // The busy pointer would hide that Cancel can be pressed.
        QApplication::setOverrideCursor(Qt::ArrowCursor);
        m_arrowCursor = true;
        m_window->show();
    }
    // Until the window shows, the user's keys and clicks wait: no other command may start on the
    // catalogue while the task holds it.
    QApplication::processEvents(m_window ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents);
    m_cancelled = m_window && m_window->wasCanceled();
    return !m_cancelled;
}

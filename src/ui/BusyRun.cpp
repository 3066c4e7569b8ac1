#include "BusyRun.h"

#include "WaitService.h"

#include <QApplication>
#include <QLabel>

BusyRun::BusyRun(const std::vector<QWidget*>& held, QLabel* status, Kind kind)
    : m_status(status), m_kind(kind)
{
    if (m_kind != Kind::Notice)
        QApplication::setOverrideCursor(m_kind == Kind::Stoppable ? Qt::BusyCursor : Qt::WaitCursor);
    m_held.reserve(held.size());
    for (QWidget* w : held) {
        m_held.emplace_back(w, !w->testAttribute(Qt::WA_ForceDisabled));
        w->setEnabled(false);
    }
    m_painted.start();
}

BusyRun::~BusyRun()
{
    if (m_kind != Kind::Notice && !m_held.empty())
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    for (const auto& [w, enabled] : m_held) {
        if (w)
            w->setEnabled(enabled);
    }
    if (m_kind != Kind::Notice)
        QApplication::restoreOverrideCursor();
}

void BusyRun::say(const QString& text)
{
    if (!m_status)
        return;
    m_status->setText(text);
    Repaint(m_status->window());
    m_painted.start();
}

void BusyRun::paint()
{
    constexpr int kPaintMs = 100;
    if (m_painted.elapsed() < kPaintMs)
        return;
    Repaint(m_status ? m_status->window() : nullptr);
    // The held controls are disabled: their clicks go nowhere, the live ones' act now.
    if (m_kind == Kind::Stoppable)
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    m_painted.start();
}

#include "SheetRows.h"

SheetProgressPacer::SheetProgressPacer(const SheetProgress& progress, std::int64_t total,
                                       std::chrono::milliseconds interval)
    : m_progress(progress), m_total(total), m_interval(interval)
{
}

void SheetProgressPacer::done(std::int64_t count)
{
    if (!m_progress)
        return;
    const auto now = std::chrono::steady_clock::now();
    if (count <= 1 || count >= m_total || now - m_last >= m_interval) {
        m_last = now;
        m_progress(count, m_total);
    }
}

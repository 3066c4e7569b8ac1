#include "SaleBrowser.h"

#include "core/QelError.h"

#include <QScrollBar>
#include <QSignalBlocker>

#include <algorithm>

int SalePageStep(std::int64_t count)
{
    std::int64_t step = count / 20;
    const std::int64_t rest = count % 20;
    if (rest > 10 || (rest == 10 && step % 2 == 1))
        ++step;
    return static_cast<int>(std::max<std::int64_t>(step, 1));
}

SaleBrowser::SaleBrowser(QScrollBar* bar, KeyReader readKeys, std::function<void()> keysReadAgain)
    : m_bar(bar), m_readKeys(std::move(readKeys)), m_keysReadAgain(std::move(keysReadAgain))
{
}

void SaleBrowser::reload()
{
    setKeys(m_readKeys());
}

void SaleBrowser::clear()
{
    setKeys({});
}

void SaleBrowser::setKeys(std::vector<std::int32_t> keys)
{
    m_keys = std::move(keys);
    if (m_keys.empty()) {
        m_shown = 0;
        return;
    }
    const QSignalBlocker blocker(m_bar);
    m_bar->setRange(1, static_cast<int>(count()));
    m_bar->setSingleStep(1);
    m_bar->setPageStep(SalePageStep(count()));
}

void SaleBrowser::moveTo(std::int64_t position)
{
    const QSignalBlocker blocker(m_bar);
    m_bar->setValue(
        static_cast<int>(std::clamp<std::int64_t>(position, 1, std::max<std::int64_t>(count(), 1))));
}

std::int32_t SaleBrowser::shownKey() const
{
    return m_keys.at(static_cast<std::size_t>(m_shown - 1));
}

std::optional<Sale> SaleBrowser::read()
{
    try {
        // Each round that finds its sale gone loses at least one key, so this ends.
        while (!m_keys.empty()) {
            const std::int64_t position = m_bar->value();
            if (position < 1 || position > count())
                return std::nullopt;
            if (std::optional<Sale> sale = SalesStore().row(m_keys[static_cast<std::size_t>(position - 1)])) {
                m_shown = position;
                return sale;
            }
            const std::size_t before = m_keys.size();
            reload();
            if (m_keysReadAgain)
                m_keysReadAgain();
            if (m_keys.empty() || m_keys.size() >= before)
                return std::nullopt;
            moveTo(std::min(position, count()));
        }
        return std::nullopt;
    } catch (const QelError&) {
        if (m_shown > 0 && m_shown <= count())
            moveTo(m_shown);
        throw;
    }
}

#pragma once

#include "SalesStore.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

class QScrollBar;

// The stored sales a screen pages through one at a time: their keys in order behind the screen's
// scroll bar (a step a sale, a page a twentieth of them), and the read of the sale at the bar's
// position. A sale deleted since the keys were read is skipped: the keys are read again and the
// sale that now takes the position is shown. Failures throw QelError for the screen's guarded
// action.
class SaleBrowser
{
  public:
    using KeyReader = std::function<std::vector<std::int32_t>()>;

    // readKeys reads the keys afresh; keysReadAgain tells the screen that a vanished sale made
    // the browser read them again, so that it can show what changed (the empty state, a total).
    SaleBrowser(QScrollBar* bar, KeyReader readKeys, std::function<void()> keysReadAgain = {});

    // Reads the keys and sets the bar's range; the keys stay as they were when the read fails.
    void reload();
    // No sales (a list that could not be read, for instance).
    void clear();

    std::int64_t count() const { return static_cast<std::int64_t>(m_keys.size()); }
    bool empty() const { return m_keys.empty(); }
    // Moves the bar to the position (1 to count), without reading the sale there.
    void moveTo(std::int64_t position);
    // The sale at the bar's position; none when no sale is left. When the read fails the bar goes
    // back to the sale still shown.
    std::optional<Sale> read();
    // The position of the sale last read (0: none), and its key.
    std::int64_t shown() const { return m_shown; }
    std::int32_t shownKey() const;

  private:
    void setKeys(std::vector<std::int32_t> keys);

    QScrollBar* m_bar;
    KeyReader m_readKeys;
    std::function<void()> m_keysReadAgain;
    std::vector<std::int32_t> m_keys;
    std::int64_t m_shown = 0;
};

// The bar's page step for a number of sales: a twentieth, rounded half to even, at least one.
int SalePageStep(std::int64_t count);

#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <span>
#include <utility>
#include <vector>

// The rows a workbook writer takes, one at a time, with their number known beforehand (the
// progress line and the sheet's row limit need it). Either plain rows in memory (kept alive by
// the caller while they are written), or a callable that yields them: it returns a pointer to
// the next row, valid until the next call, or nullptr at the end.
template <class Row> class SheetRows
{
  public:
    SheetRows(std::span<const Row> rows)
        : m_total(std::int64_t(rows.size())), m_next([rows, at = std::size_t(0)]() mutable -> const Row* {
              return at < rows.size() ? &rows[at++] : nullptr;
          })
    {
    }
    SheetRows(const std::vector<Row>& rows) : SheetRows(std::span<const Row>(rows)) {}
    SheetRows(std::int64_t total, std::function<const Row*()> next) : m_total(total), m_next(std::move(next))
    {
    }

    std::int64_t total() const { return m_total; }
    const Row* next() { return m_next(); }

  private:
    std::int64_t m_total;
    std::function<const Row*()> m_next;
};

// Called as rows are written, with the rows done and the rows to do: the screen repaints its
// "i件/n件を処理中" from it.
using SheetProgress = std::function<void(std::int64_t done, std::int64_t total)>;

// Decides when the progress is reported: after the first and the last row, and in between
// at most once per interval. A repaint after every one of 10,000 blocks would cost more than
// writing them; at 20 a second the line still moves as the user expects. An interval of 0
// reports every row.
class SheetProgressPacer
{
  public:
    static constexpr std::chrono::milliseconds kDefaultInterval{50};

    SheetProgressPacer(const SheetProgress& progress, std::int64_t total,
                       std::chrono::milliseconds interval = kDefaultInterval);

    void done(std::int64_t count);

  private:
    const SheetProgress& m_progress;
    std::int64_t m_total;
    std::chrono::steady_clock::duration m_interval;
    std::chrono::steady_clock::time_point m_last;
};

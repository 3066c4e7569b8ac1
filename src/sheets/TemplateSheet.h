#pragma once

#include "sheets/SheetRows.h"
#include "sheets/Workbook.h"

#include <QString>

#include <chrono>
#include <cstdint>

// What the workbook writers share: the copy of the template they fill, the refusal of more
// rows than one sheet holds, and the steps after the content.
class TemplateSheet
{
  public:
    void scrollToTop();
    // Puts the workbook in the target's place.
    void save();

    const QString& targetPath() const { return m_book.targetPath(); }
    // How often the progress is reported (see SheetProgressPacer).
    void setProgressInterval(std::chrono::milliseconds interval) { m_interval = interval; }

  protected:
    TemplateSheet(QString templatePath, QString targetPath);
    ~TemplateSheet() = default;

    // "<what>が<count>件あり、…<limit>件を超えています。" and the advice; empty within the limit.
    static QString tooManyText(const QString& what, std::int64_t count, std::int64_t limit,
                               const QString& advice);
    // Throws the refusal, when there is one, as a QelError.
    static void refuse(const QString& refusal);
    // Refuses, or deletes an existing target and opens a fresh copy of the template.
    void openUnless(const QString& refusal);

    // One block of `height` rows a source row, the first block at row height + 1: its number i
    // in column A, what `block(row, r)` writes from row r on, the lines around columns 1 to
    // `columns`, and the progress. Returns the number of blocks written.
    template <class Row, class Block>
    std::int64_t writeBlocks(SheetRows<Row>& rows, const SheetProgress& progress, int height, int columns,
                             Block&& block)
    {
        const std::int64_t total = rows.total();
        SheetProgressPacer pacer(progress, total, m_interval);
        std::int64_t i = 0;
        while (const Row* row = rows.next()) {
            if (i == total)
                break; // a source that yields more than it announced writes what it announced
            ++i;
            const int r = int(height * i + 1);
            m_book.setNumber(r, 1, i);
            block(*row, r);
            m_book.drawBorders(r, 1, r + height - 1, columns);
            m_book.finishRowsBefore(r + height);
            pacer.done(i);
        }
        return i;
    }

    Workbook m_book;
    std::chrono::milliseconds m_interval = SheetProgressPacer::kDefaultInterval;
};

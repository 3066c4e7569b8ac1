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
    // Throws the refusal, when there is one, as a SheetError.
    static void refuse(const QString& refusal);
    // Refuses, or deletes an existing target and opens a fresh copy of the template.
    void openUnless(const QString& refusal);

    Workbook m_book;
    std::chrono::milliseconds m_interval = SheetProgressPacer::kDefaultInterval;
};

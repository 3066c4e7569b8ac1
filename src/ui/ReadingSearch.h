#pragma once

#include "db/Rows.h"

#include <QStringList>

class QComboBox;
class QListWidget;

// The text of a list entry, or empty for no entry.
QString ItemText(const QListWidget* list, int row);

// Fills a visible list and its hidden companion list (readings, prices) in the same pass, so
// that entry n of both belongs to the same row; the lists can hold thousands of rows. The
// visible list's signals are held back: the caller runs its own selection handling.
void FillCompanions(QListWidget* visible, QListWidget* companion, const QStringList& names,
                    const QStringList& companions);
void FillCompanions(QComboBox* visible, QListWidget* companion, const QStringList& names,
                    const QStringList& companions);

// The row that the reading search selects for a typed text, among readings already folded
// with KanaNormalize: the first whose beginning equals the folded text; else the one before the
// first that sorts after it (0 at the start); else the last. -1 for no readings.
int ReadingSearchRow(const QStringList& foldedReadings, const QString& typed);

// A list of names with its hidden list of readings, and the search by a typed reading.
class ReadingSearchList
{
  public:
    ReadingSearchList(QListWidget* names, QListWidget* readings);

    // Fills both lists; the first entry is selected, or, with none, nothing and the list is
    // disabled. Returns the selected row.
    int fill(const NamesWithReadings& entries);
    // Selects the row that the typed reading finds and returns it.
    int search(const QString& typed);
    // The name and reading of the selected row (empty with none).
    QString name() const;
    QString reading() const;

  private:
    QListWidget* m_names;
    QListWidget* m_readings;
    // Folded once at the fill, so that a keystroke does not fold ten thousand readings.
    QStringList m_folded;
};

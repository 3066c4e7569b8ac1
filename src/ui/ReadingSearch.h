#pragma once

#include "db/Rows.h"

#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

class QelError;
class QComboBox;
class QListWidget;

// The text of a list entry, or empty for no entry.
QString ItemText(const QListWidget* list, int row);

// Fills a drop-down with the entries at once, however many; its signals are held back.
void FillCombo(QComboBox* combo, const QStringList& entries);

// Fills a visible list and its hidden companion list (readings, prices) in the same pass, so
// that entry n of both belongs to the same row. The visible list's signals are held back: the
// caller runs its own selection handling.
void FillCompanions(QListWidget* visible, QListWidget* companion, const QStringList& names,
                    const QStringList& companions);
void FillCompanions(QComboBox* visible, QListWidget* companion, const QStringList& names,
                    const QStringList& companions);

// A list of names with its readings, and the search by a typed reading: the first entry whose reading, folded
// with KanaNormalize, begins with the folded text; else the one before the first that sorts after it (the
// first entry at the start); else the last. The readings are held here, once; the screen's hidden readings
// list is left empty.
class ReadingSearchList
{
  public:
    // Reads the names of the keys, in their order (empty for a key without a row); throws
    // QelError.
    using NameReader = std::function<QStringList(const std::vector<std::int32_t>& keys)>;
    // Told once per fill when names cannot be read; those entries show no name.
    using FailureReport = std::function<void(const QelError&)>;

    ReadingSearchList(QListWidget* names, QListWidget* readings);
    ~ReadingSearchList();

    // Fills both lists; the first entry is selected, or, with none, nothing and the list is
    // disabled. Returns the selected row.
    int fill(const NamesWithReadings& entries);
    // The same with the names read by key a block at a time, when the list draws an entry or
    // its name is asked for, so that a list of a hundred thousand is filled at once.
    int fill(KeysWithReadings entries, NameReader names, FailureReport failed);
    // Selects the row that the typed reading finds and returns it.
    int search(const QString& typed);
    // The name and reading of the selected row (empty with none).
    QString name() const;
    QString reading() const;
    // The reading of a row (empty for none).
    QString readingAt(int row) const;

    struct Entries;

  private:
    int fillWith(std::shared_ptr<Entries> entries);

    QListWidget* m_names;
    QListWidget* m_readings;
    std::shared_ptr<Entries> m_entries;
};

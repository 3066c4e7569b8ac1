#include "ReadingSearch.h"

#include "core/TextRoutines.h"

#include <QComboBox>
#include <QListWidget>
#include <QSignalBlocker>

QString ItemText(const QListWidget* list, int row)
{
    const QListWidgetItem* item = row >= 0 ? list->item(row) : nullptr;
    return item ? item->text() : QString();
}

namespace {

template <class List> void FillOne(List* list, const QStringList& entries)
{
    const QSignalBlocker block(list);
    list->setUpdatesEnabled(false);
    list->clear();
    list->addItems(entries);
    list->setUpdatesEnabled(true);
}

} // namespace

void FillCompanions(QListWidget* visible, QListWidget* companion, const QStringList& names,
                    const QStringList& companions)
{
    FillOne(visible, names);
    FillOne(companion, companions);
}

void FillCompanions(QComboBox* visible, QListWidget* companion, const QStringList& names,
                    const QStringList& companions)
{
    FillOne(visible, names);
    FillOne(companion, companions);
}

int ReadingSearchRow(const QStringList& foldedReadings, const QString& typed)
{
    const QString key = KanaNormalize(TrimBlank(typed));
    const int count = static_cast<int>(foldedReadings.size());
    for (int i = 0; i < count; ++i) {
        const int order = QStringView(foldedReadings.at(i)).left(key.size()).compare(key, Qt::CaseSensitive);
        if (order == 0)
            return i;
        if (order > 0)
            return i > 0 ? i - 1 : 0;
    }
    return count - 1;
}

ReadingSearchList::ReadingSearchList(QListWidget* names, QListWidget* readings)
    : m_names(names), m_readings(readings)
{
}

int ReadingSearchList::fill(const NamesWithReadings& entries)
{
    m_folded.clear();
    m_folded.reserve(entries.readings.size());
    for (const QString& reading : entries.readings)
        m_folded << KanaNormalize(reading);
    FillCompanions(m_names, m_readings, entries.names, entries.readings);
    const bool any = m_names->count() > 0;
    m_names->setEnabled(any);
    const QSignalBlocker block(m_names);
    m_names->setCurrentRow(any ? 0 : -1);
    return m_names->currentRow();
}

int ReadingSearchList::search(const QString& typed)
{
    const int row = ReadingSearchRow(m_folded, typed);
    m_names->setCurrentRow(row);
    return row;
}

QString ReadingSearchList::name() const
{
    return ItemText(m_names, m_names->currentRow());
}

QString ReadingSearchList::reading() const
{
    return ItemText(m_readings, m_names->currentRow());
}

#include "ReadingSearch.h"

#include "core/QelError.h"
#include "core/TextRoutines.h"

#include <QComboBox>
#include <QListWidget>
#include <QSignalBlocker>
#include <QStringListModel>

#include <algorithm>

namespace {

// Names read by key at a time: a screenful or two.
constexpr int kNameBlock = 64;

template <class List> void FillOne(List* list, const QStringList& entries)
{
    const QSignalBlocker block(list);
    list->setUpdatesEnabled(false);
    list->clear();
    list->addItems(entries);
    list->setUpdatesEnabled(true);
}

// Whether KanaNormalize would change the reading: most readings need no folding and are kept
// as they are, shared.
bool NeedsFolding(const QString& reading)
{
    return std::any_of(reading.cbegin(), reading.cend(), [](QChar c) {
        const char16_t u = c.unicode();
        return (u >= 0xFF67 && u <= 0xFF6F) || u == 0xFF9E || u == 0xFF9F;
    });
}

} // namespace

QString ItemText(const QListWidget* list, int row)
{
    const QListWidgetItem* item = row >= 0 ? list->item(row) : nullptr;
    return item ? item->text() : QString();
}

void FillCombo(QComboBox* combo, const QStringList& entries)
{
    const QSignalBlocker block(combo);
    // A plain list model takes the entries in one step, where the standard one makes an item
    // of each.
    auto* model = qobject_cast<QStringListModel*>(combo->model());
    if (!model) {
        model = new QStringListModel(combo);
        combo->setModel(model);
    }
    model->setStringList(entries);
}

void FillCompanions(QListWidget* visible, QListWidget* companion, const QStringList& names,
                    const QStringList& companions)
{
    FillOne(visible, names);
    FillOne(companion, companions);
}

void FillCompanions(QComboBox* visible, QListWidget* companion, const QStringList& names,
                    const QStringList& companions)
{
    FillCombo(visible, names);
    FillOne(companion, companions);
}

// What both lists show, shared by their entries. The search walks the folded readings from the
// top to the first one whose beginning does not sort before the typed text; that is the first
// reading that does not sort before the text as a whole, and so the first of the running maxima
// (records) that does not: a binary search over those finds it, the same one the walk finds,
// also where folding has put the readings out of order.
struct ReadingSearchList::Entries
{
    QStringList names; // every name, or those read so far
    QStringList readings;
    QStringList folded;
    std::vector<int> records; // rows whose folded reading sorts after every one above
    std::vector<std::int32_t> keys;
    std::vector<bool> blocksRead;
    NameReader reader;
    FailureReport failed;
    bool failureShown = false;

    void fold()
    {
        folded.reserve(readings.size());
        for (const QString& reading : readings) {
            folded << (NeedsFolding(reading) ? KanaNormalize(reading) : reading);
            const int row = static_cast<int>(folded.size()) - 1;
            if (records.empty() || folded.at(row) > folded.at(records.back()))
                records.push_back(row);
        }
    }

    int search(const QString& typed) const
    {
        const int count = static_cast<int>(folded.size());
        if (count == 0)
            return -1;
        const QString key = KanaNormalize(TrimBlank(typed));
        const auto first = std::lower_bound(records.begin(), records.end(), key,
                                            [this](int row, const QString& k) { return folded.at(row) < k; });
        if (first == records.end())
            return count - 1;
        const int row = *first;
        if (folded.at(row).startsWith(key))
            return row;
        return row > 0 ? row - 1 : 0;
    }

    QString name(int row)
    {
        if (reader) {
            const size_t block = static_cast<size_t>(row / kNameBlock);
            if (!blocksRead[block]) {
                blocksRead[block] = true;
                readBlock(static_cast<int>(block) * kNameBlock);
            }
        }
        return names.at(row);
    }

  private:
    void readBlock(int first)
    {
        const int count = std::min(kNameBlock, static_cast<int>(keys.size()) - first);
        const std::vector<std::int32_t> blockKeys(keys.begin() + first, keys.begin() + first + count);
        try {
            const QStringList read = reader(blockKeys);
            for (int i = 0; i < count && i < read.size(); ++i)
                names[first + i] = read.at(i);
        } catch (const QelError& e) {
            if (!failureShown && failed) {
                failureShown = true;
                failed(e);
            }
        }
    }
};

namespace {

// An entry that shows the name of its row from the shared entries; a name is read when it is
// first drawn or asked for.
class EntryItem : public QListWidgetItem
{
  public:
    EntryItem(std::shared_ptr<ReadingSearchList::Entries> entries, int row)
        : m_entries(std::move(entries)), m_row(row)
    {
    }

    QVariant data(int role) const override
    {
        if (role == Qt::DisplayRole || role == Qt::EditRole)
            return m_entries->name(m_row);
        return QListWidgetItem::data(role);
    }

  private:
    std::shared_ptr<ReadingSearchList::Entries> m_entries;
    int m_row;
};

void FillItems(QListWidget* list, const std::shared_ptr<ReadingSearchList::Entries>& entries)
{
    const QSignalBlocker block(list);
    list->clear();
    {
        // The view hears of the new rows once, when it is reset below, not row by row.
        const QSignalBlocker quiet(list->model());
        const int count = static_cast<int>(entries->readings.size());
        for (int row = 0; row < count; ++row)
            list->addItem(new EntryItem(entries, row));
    }
    list->reset();
}

} // namespace

ReadingSearchList::ReadingSearchList(QListWidget* names, QListWidget* readings)
    : m_names(names), m_readings(readings)
{
}

ReadingSearchList::~ReadingSearchList() = default;

int ReadingSearchList::fill(const NamesWithReadings& entries)
{
    auto shared = std::make_shared<Entries>();
    shared->names = entries.names;
    shared->readings = entries.readings;
    return fillWith(std::move(shared));
}

int ReadingSearchList::fill(KeysWithReadings entries, NameReader names, FailureReport failed)
{
    auto shared = std::make_shared<Entries>();
    shared->readings = std::move(entries.readings);
    shared->keys = std::move(entries.keys);
    shared->names = QStringList(shared->readings.size(), QString());
    shared->blocksRead.assign(static_cast<size_t>((shared->keys.size() + kNameBlock - 1) / kNameBlock),
                              false);
    shared->reader = std::move(names);
    shared->failed = std::move(failed);
    return fillWith(std::move(shared));
}

int ReadingSearchList::fillWith(std::shared_ptr<Entries> entries)
{
    entries->fold();
    m_entries = std::move(entries);
    FillItems(m_names, m_entries);
    // The hidden list is never seen and the readings are held once, in the entries: a hundred
    // thousand items of its own would double the time the screen takes to open and to close.
    m_readings->clear();
    const bool any = m_names->count() > 0;
    m_names->setEnabled(any);
    const QSignalBlocker block(m_names);
    m_names->setCurrentRow(any ? 0 : -1);
    return m_names->currentRow();
}

int ReadingSearchList::search(const QString& typed)
{
    const int row = m_entries ? m_entries->search(typed) : -1;
    m_names->setCurrentRow(row);
    return row;
}

QString ReadingSearchList::name() const
{
    return ItemText(m_names, m_names->currentRow());
}

QString ReadingSearchList::reading() const
{
    return readingAt(m_names->currentRow());
}

QString ReadingSearchList::readingAt(int row) const
{
    if (!m_entries || row < 0 || row >= m_entries->readings.size())
        return {};
    return m_entries->readings.at(row);
}

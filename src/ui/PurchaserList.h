#pragma once

#include "ReadingSearch.h"

#include <functional>
#include <memory>

class FormBase;
class QLineEdit;
class QListWidget;

// A screen's purchaser list: the visible list of customer names, its hidden list of readings
// and the field in which the user types a reading to find a customer. The list is light grey,
// white while it has the focus; typing in the field selects the entry found.
class PurchaserList
{
  public:
    // `found` runs after each search the field makes (empty: nothing).
    PurchaserList(FormBase& form, QLineEdit* search, QListWidget* names, QListWidget* readings,
                  std::function<void()> found = {});

    // Fills the list with every customer: `customers` reads the keys and readings (a failure is
    // shown in the form's failure box and leaves the list empty), `names` the names of a block of
    // keys when the list draws them (a failure is shown once the drawing is over). Returns the
    // selected row.
    int fill(const std::function<KeysWithReadings()>& customers, ReadingSearchList::NameReader names);

    // Empties the list and disables it.
    void clear() { m_list.fill(NamesWithReadings{}); }

    // The name and reading of the selected entry (empty with none).
    QString name() const { return m_list.name(); }
    QString reading() const { return m_list.reading(); }
    QString readingAt(int row) const { return m_list.readingAt(row); }

  private:
    FormBase& m_form;
    ReadingSearchList m_list;
};

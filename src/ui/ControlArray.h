#pragma once

#include <QMap>
#include <QObject>

#include <cassert>

// A control array: controls of one kind under one name, found by index.
template <class Control> class ControlArray
{
  public:
    Control* operator()(int index) const
    {
        const auto it = m_items.constFind(index);
        assert(it != m_items.constEnd() && "no control at this index");
        return it != m_items.constEnd() ? *it : nullptr;
    }
    bool contains(int index) const { return m_items.contains(index); }
    void add(int index, Control* control) { m_items.insert(index, control); }
    // The index of a control of the array, or -1.
    int indexOf(const QObject* control) const
    {
        for (auto it = m_items.cbegin(); it != m_items.cend(); ++it) {
            if (it.value() == control)
                return it.key();
        }
        return -1;
    }
    const QMap<int, Control*>& items() const { return m_items; }

  private:
    QMap<int, Control*> m_items;
};

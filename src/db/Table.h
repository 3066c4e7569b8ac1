#pragma once

#include "Database.h"
#include "Rows.h"
#include "Stamp.h"

#include "core/Amount.h"

#include <QHash>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <utility>
#include <variant>
#include <vector>

// A table's columns tied to the fields of its row type: the one list from which a row is read
// and written, so that a column cannot be read under one name and written under another. The key
// column is Fi_キー. A stamped table's rows get the stamp of one reading of the clock whenever
// they are added or changed; a row type with a stamp field reads the stamp back.
template <class Row> class Table
{
  public:
    using Field = std::variant<QString Row::*, std::int32_t Row::*, Amount Row::*>;
    struct Column
    {
        QString name;
        Field field;
    };
    enum class Stamped { No, Yes };

    Table(QString name, std::int32_t Row::*key, std::vector<Column> columns, Stamped stamped,
          Stamp Row::*stampField = nullptr)
        : m_name(std::move(name)), m_key(key), m_columns(std::move(columns)), m_stamped(stamped),
          m_stampField(stampField)
    {
        QStringList names{QStringLiteral("Fi_キー")};
        for (const Column& c : m_columns)
            names << c.name;
        if (m_stampField)
            names << Stamp::columns();
        m_select = QStringLiteral("select %1 from %2 ").arg(names.join(QStringLiteral(", ")), m_name);
    }

    const QString& name() const { return m_name; }

    // "select <every column> from <table> " followed by the condition and order, for a reader
    // that walks the rows itself with read().
    QString select(const QString& whereAndOrder) const { return m_select + whereAndOrder; }
    Row read(const Query& q) const
    {
        Row row;
        row.*m_key = static_cast<std::int32_t>(q.integer(0));
        int at = 1;
        for (const Column& c : m_columns) {
            std::visit(
                [&](auto field) {
                    using Value = std::remove_reference_t<decltype(row.*field)>;
                    if constexpr (std::is_same_v<Value, QString>)
                        row.*field = q.text(at);
                    else
                        row.*field = static_cast<Value>(q.integer(at));
                },
                c.field);
            ++at;
        }
        if (m_stampField) {
            for (QString* part : (row.*m_stampField).parts())
                *part = q.text(at++);
        }
        return row;
    }

    // The rows that the condition and order select, values bound.
    std::vector<Row> rows(Database& db, const QString& whereAndOrder = {},
                          const QVariantList& values = {}) const
    {
        std::vector<Row> rows;
        Query q(db, select(whereAndOrder), values);
        while (q.next())
            rows.push_back(read(q));
        return rows;
    }
    // The row of the key; none when it is gone.
    std::optional<Row> row(Database& db, std::int32_t key) const
    {
        Query q(db, select(QStringLiteral("where Fi_キー = ?")), {key});
        if (!q.next())
            return std::nullopt;
        return read(q);
    }
    // The rows of the keys, each at the position of its key; none where a row is gone. A list
    // that reads its rows a block at a time keeps its own order this way.
    std::vector<std::optional<Row>> rowsOf(Database& db, const std::vector<std::int32_t>& keys) const
    {
        QHash<std::int32_t, Row> byKey;
        for (Row& r : rows(db, QStringLiteral("where Fi_キー in (%1)").arg(Placeholders(keys.size())),
                           KeyValues(keys)))
            byKey.insert(r.*m_key, std::move(r));
        std::vector<std::optional<Row>> result;
        result.reserve(keys.size());
        for (std::int32_t key : keys) {
            const auto it = byKey.constFind(key);
            result.push_back(it == byKey.constEnd() ? std::nullopt : std::optional<Row>(*it));
        }
        return result;
    }

    // Adds the rows under the largest key + 1 and on (1 for an empty table), the row's own key
    // ignored; returns the first key given. Several rows belong in the caller's transaction.
    std::int32_t add(Database& db, const std::vector<Row>& rows) const
    {
        const std::int32_t first = db.nextKey(m_name);
        const Stamp stamp = Stamp::now();
        std::int32_t key = first;
        for (const Row& r : rows)
            stamped(values(r), stamp).set(QStringLiteral("Fi_キー"), key++).insertInto(db, m_name);
        return first;
    }
    std::int32_t add(Database& db, const Row& row) const { return add(db, std::vector<Row>{row}); }
    // Writes every field of the row over the row of its key; false when that row is gone, and
    // then nothing is written.
    bool update(Database& db, const Row& row) const
    {
        return stamped(values(row), Stamp::now()).updateByKey(db, m_name, row.*m_key);
    }
    // The row of its key written whole, added when it is not there: a table of one row.
    void put(Database& db, const Row& row) const
    {
        if (!update(db, row))
            stamped(values(row), Stamp::now())
                .set(QStringLiteral("Fi_キー"), row.*m_key)
                .insertInto(db, m_name);
    }
    bool remove(Database& db, std::int32_t key) const { return DeleteByKey(db, m_name, key); }

  private:
    RowValues values(const Row& row) const
    {
        RowValues values;
        for (const Column& c : m_columns) {
            std::visit(
                [&](auto field) {
                    using Value = std::remove_cvref_t<decltype(row.*field)>;
                    if constexpr (std::is_same_v<Value, Amount>)
                        values.set(c.name, QVariant::fromValue<qlonglong>(row.*field));
                    else
                        values.set(c.name, row.*field);
                },
                c.field);
        }
        return values;
    }
    RowValues stamped(RowValues values, const Stamp& stamp) const
    {
        if (m_stamped == Stamped::Yes)
            values.stamp(stamp);
        return values;
    }

    QString m_name;
    std::int32_t Row::*m_key;
    std::vector<Column> m_columns;
    Stamped m_stamped;
    Stamp Row::*m_stampField;
    QString m_select;
};

// What every store offers over the table it owns: a row and a block of rows by key, and adding,
// changing and deleting one row. Each call is one operation on a connection of its own; a change
// is stamped with the clock's now; failures are thrown as QelError.
template <class Row> class TableStore
{
  public:
    // The row of the key; none when it is gone.
    std::optional<Row> row(std::int32_t key) const
    {
        Database db;
        return m_table.row(db, key);
    }
    // The rows of the keys, each at its key's position; none where a row is gone.
    std::vector<std::optional<Row>> rowsOf(const std::vector<std::int32_t>& keys) const
    {
        Database db;
        return m_table.rowsOf(db, keys);
    }
    // Adds the row under the largest key + 1 (1 for an empty table; its own key is ignored);
    // returns the key given.
    std::int32_t add(const Row& row) const
    {
        Database db;
        return m_table.add(db, row);
    }
    // Writes the row over the row of its key; false when that row is gone, and then nothing is
    // written.
    bool update(const Row& row) const
    {
        Database db;
        return m_table.update(db, row);
    }
    // Deletes the row of the key; false when there was none.
    bool remove(std::int32_t key) const
    {
        Database db;
        return m_table.remove(db, key);
    }

  protected:
    explicit TableStore(const Table<Row>& table) : m_table(table) {}
    const Table<Row>& m_table;
};

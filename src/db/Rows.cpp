#include "Rows.h"

#include "Database.h"

std::vector<std::int32_t> ReadKeys(Database& db, const QString& sql)
{
    std::vector<std::int32_t> keys;
    Query q(db, sql);
    while (q.next())
        keys.push_back(static_cast<std::int32_t>(q.integer(0)));
    return keys;
}

QString Placeholders(std::size_t count)
{
    QString marks;
    marks.reserve(static_cast<qsizetype>(count * 3));
    for (std::size_t i = 0; i < count; ++i)
        marks += i == 0 ? QStringLiteral("?") : QStringLiteral(", ?");
    return marks;
}

QVariantList KeyValues(const std::vector<std::int32_t>& keys)
{
    QVariantList values;
    values.reserve(static_cast<qsizetype>(keys.size()));
    for (std::int32_t key : keys)
        values << key;
    return values;
}

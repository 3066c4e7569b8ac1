#include "ImportPreviewModel.h"

#include "ui/Twips.h"

void ImportPreviewModel::setImport(std::optional<CustomerImport> import)
{
    beginResetModel();
    m_import = std::move(import);
    endResetModel();
    emit changed();
}

void ImportPreviewModel::refresh()
{
    if (rowCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, kColumns - 1));
    emit changed();
}

void ImportPreviewModel::reset()
{
    beginResetModel();
    endResetModel();
    emit changed();
}

int ImportPreviewModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() || !m_import ? 0 : static_cast<int>(m_import->rows().size());
}

int ImportPreviewModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kColumns;
}

QVariant ImportPreviewModel::data(const QModelIndex& index, int role) const
{
    if (!m_import || !index.isValid() || std::size_t(index.row()) >= m_import->rows().size())
        return {};
    const ImportRow& row = m_import->rows().at(index.row());
    const int col = index.column();
    // A cell shows the start of a very long value (the whole of it would be laid out at every
    // paint); the error names its length.
    constexpr qsizetype kShown = 200;
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        if (col == ColStatus)
            return ImportStatusText(row.status);
        if (col == ColReason)
            return row.reason;
        if (col == ColLine)
            return row.line;
        if (col >= ColFirstField) {
            const QString& value = row.values[col - ColFirstField];
            return role == Qt::DisplayRole && value.size() > kShown ? value.left(kShown) + QChar(0x2026)
                                                                    : value;
        }
        return {};
    case Qt::CheckStateRole:
        if (col == ColTick)
            return row.ticked ? Qt::Checked : Qt::Unchecked;
        return {};
    case Qt::BackgroundRole:
        switch (row.status) {
        case ImportStatus::Error:
            return Colors::LightRed;
        case ImportStatus::Duplicate:
            return Colors::LightGrey;
        case ImportStatus::CheckReading:
        case ImportStatus::CheckPrefecture:
        case ImportStatus::Import: {
            // What is to be checked: the status, and the reading or the prefecture in question.
            const bool reading = row.status == ImportStatus::CheckReading;
            const bool marked =
                (col == ColStatus && row.status != ImportStatus::Import) ||
                (reading && col == ColFirstField + static_cast<int>(FieldReading)) ||
                (row.prefectureToCheck && col == ColFirstField + static_cast<int>(FieldPrefecture));
            return marked ? QVariant(Colors::LightYellow) : QVariant();
        }
        }
        return {};
    case Qt::TextAlignmentRole:
        return col == ColLine ? QVariant(Qt::AlignRight | Qt::AlignVCenter) : QVariant();
    default:
        return {};
    }
}

QVariant ImportPreviewModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return section + 1;
    switch (section) {
    case ColTick:
        return QStringLiteral("取込");
    case ColStatus:
        return QStringLiteral("状態");
    case ColReason:
        return QStringLiteral("理由");
    case ColLine:
        return QStringLiteral("行");
    default:
        return ImportFieldName(section - ColFirstField);
    }
}

Qt::ItemFlags ImportPreviewModel::flags(const QModelIndex& index) const
{
    if (!m_import || !index.isValid() || std::size_t(index.row()) >= m_import->rows().size())
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (index.column() == ColTick && m_import->rows().at(index.row()).tickable)
        flags |= Qt::ItemIsUserCheckable;
    if (index.column() >= ColFirstField)
        flags |= Qt::ItemIsEditable;
    return flags;
}

bool ImportPreviewModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!m_import || !index.isValid())
        return false;
    if (index.column() == ColTick && role == Qt::CheckStateRole) {
        m_import->setTicked(index.row(), value.toInt() == Qt::Checked);
    } else if (index.column() >= ColFirstField && role == Qt::EditRole) {
        const int field = index.column() - ColFirstField;
        // Typing a suggested reading again confirms it; other fields change only when edited.
        if (field != FieldReading && value.toString() == m_import->rows().at(index.row()).values[field])
            return false;
        m_import->setValue(index.row(), index.column() - ColFirstField, value.toString());
    } else {
        return false;
    }
    refresh();
    return true;
}

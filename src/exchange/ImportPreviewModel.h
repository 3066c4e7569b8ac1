#pragma once

#include "CustomerImport.h"

#include <QAbstractTableModel>

#include <optional>

// The rows of an import as the preview grid shows them: a tick box for storing, the status and its
// reason, the line of the file and the eleven fields, which the user may correct in place.
class ImportPreviewModel : public QAbstractTableModel
{
    Q_OBJECT

  public:
    enum Column {
        ColTick,
        ColStatus,
        ColReason,
        ColLine,
        ColFirstField,
        kColumns = ColFirstField + kImportFields
    };

    using QAbstractTableModel::QAbstractTableModel;

    // The import shown; none empties the grid.
    void setImport(std::optional<CustomerImport> import);
    CustomerImport* import() { return m_import ? &*m_import : nullptr; }
    // After a change made to the import directly: every row may have changed its status.
    void refresh();
    // After a change that also changed the number of rows (another heading row).
    void reset();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

  signals:
    void changed();

  private:
    std::optional<CustomerImport> m_import;
};

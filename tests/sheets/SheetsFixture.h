#pragma once

#include "support/TestSupport.h"

#include <QString>

// An application folder with the shipped templates and a workbook folder "Data".
class SheetsFixture : public AppFixture
{
  protected:
    void SetUp() override;
    void TearDown() override;

    QString customerTemplate() const;
    QString salesTemplate() const;
    // Writes a customer list of n blocks from row 4 on and returns its path.
    QString writeCustomerList(int customers, const QString& fileName = QStringLiteral("顧客一覧.xlsx"));
    // Writes a period sales detail of n sales and returns its path.
    QString writeSalesDetail(int sales);

    RecordingExit* exits = nullptr;
};

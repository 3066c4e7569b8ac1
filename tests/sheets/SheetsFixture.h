#pragma once

#include "core/AppExit.h"

#include "support/TestSupport.h"

#include <QString>

// Counts the ends of the application that the code asked for, instead of ending.
class RecordingExit : public AppExit
{
  public:
    void endApplication() override { ++calls; }
    int calls = 0;
};

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

    RecordingExit* exits = nullptr;
};

#pragma once

#include "core/Globals.h"
#include "db/Database.h"
#include "ui/FlexGrid.h"
#include "ui/MainScreen.h"
#include "ui/Navigator.h"

#include "support/ScreenTest.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

// A fixture for the master screens: the words ブランド and 商品, and what both screens show.
class MastersFixture : public ScreenTest
{
  protected:
    void SetUp() override
    {
        ScreenTest::SetUp();
        writeIni(QStringLiteral("Title=テスト商店\r\nMaker=ブランド\r\nSyouhin=商品\r\n"));
    }

    // Enabled state of 新規登録, 修正登録, 削除 as "101".
    QString actions() const
    {
        QString out;
        for (int i = 0; i <= 2; ++i)
            out += cmd(i)->isEnabled() ? QLatin1Char('1') : QLatin1Char('0');
        return out;
    }

    QString gridColumn(int col) const
    {
        QStringList out;
        for (int r = 1; r < grid()->rows(); ++r)
            out << grid()->textMatrix(r, col);
        return out.join(QLatin1Char(','));
    }
};

#pragma once

#include "core/Globals.h"
#include "db/Database.h"
#include "masters/RegisterMasterScreens.h"
#include "ui/FlexGrid.h"
#include "ui/MainScreen.h"
#include "ui/Navigator.h"
#include "ui/RegisterScreens.h"

#include "support/TestSupport.h"

#include <QApplication>
#include <QComboBox>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <algorithm>

// A fixture for the master screens: the menu and both screens registered, the words ブランド
// and 商品, and helpers that act as the user does.
class MastersFixture : public AppFixture
{
  protected:
    void SetUp() override
    {
        AppFixture::SetUp();
        Screens().clear();
        RegisterCoreScreens(Screens());
        RegisterMasterScreens(Screens());
        writeIni(QStringLiteral("Title=テスト商店\r\nMaker=ブランド\r\nSyouhin=商品\r\n"));
    }
    void TearDown() override
    {
        AppFixture::TearDown();
        Screens().clear();
    }

    static QWidget* visibleScreen(const QString& name)
    {
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w->objectName() == name && w->isVisible())
                return w;
        }
        return nullptr;
    }

    // Opens the screen as the menu does.
    QWidget* openFromMenu(const QString& name)
    {
        G().CallerForm = QStringLiteral("Frm010_Qel");
        Screens().open(name);
        QWidget* screen = visibleScreen(name);
        if (screen) {
            QApplication::setActiveWindow(screen);
            screen_ = screen;
        }
        return screen;
    }

    template <class T = QWidget> T* child(const char* name) const
    {
        T* w = screen_ ? screen_->findChild<T*>(QString::fromLatin1(name)) : nullptr;
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QPushButton* cmd(int i) const
    {
        return child<QPushButton>(QStringLiteral("Cmd_%1").arg(i).toLatin1().constData());
    }
    QLineEdit* txt(int i) const
    {
        return child<QLineEdit>(QStringLiteral("Txt_Inp_%1").arg(i).toLatin1().constData());
    }
    QLabel* lbl(int i) const
    {
        return child<QLabel>(QStringLiteral("Lbl_Ttl_%1").arg(i).toLatin1().constData());
    }
    FlexGrid* grid() const { return child<FlexGrid>("MSHFlexGrid1"); }

    // Enabled state of 新規登録, 修正登録, 削除 as "101".
    QString actions() const
    {
        QString out;
        for (int i = 0; i <= 2; ++i)
            out += cmd(i)->isEnabled() ? QLatin1Char('1') : QLatin1Char('0');
        return out;
    }

    static void click(QPushButton* button)
    {
        ASSERT_TRUE(button->isEnabled()) << button->objectName().toStdString();
        QTest::mouseClick(button, Qt::LeftButton);
    }

    // Clicks the cell of a data row, scrolling it into view first as the user would.
    void clickRow(int row, int col = 2)
    {
        FlexGrid* g = grid();
        if (row < g->topRow() || g->rowAt(g->viewport()->height() - 1) < row - 1)
            g->setTopRow(row);
        const QRect cell = g->visualRect(g->model()->index(row - 1, col - 1));
        ASSERT_TRUE(g->viewport()->rect().contains(cell.center())) << row;
        QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, cell.center());
    }

    // Focuses the field, selects its text and types over it.
    static void typeInto(QLineEdit* field, const QString& text)
    {
        field->setFocus(Qt::MouseFocusReason);
        field->selectAll();
        if (text.isEmpty()) {
            QTest::keyClick(field, Qt::Key_Delete);
            return;
        }
        const bool ascii =
            std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() < 0x80; });
        if (ascii) {
            QTest::keyClicks(field, text);
            return;
        }
        // Japanese text reaches a field only through the input method.
        QInputMethodEvent commit;
        commit.setCommitString(text);
        QApplication::sendEvent(field, &commit);
    }

    // One conversion through the input method: the kana composed, then the converted text committed.
    static void imeConvert(QWidget* field, const QString& kana, const QString& converted)
    {
        QInputMethodEvent composing(kana, {});
        QApplication::sendEvent(field, &composing);
        QInputMethodEvent commit;
        commit.setCommitString(converted);
        QApplication::sendEvent(field, &commit);
    }

    QString gridColumn(int col) const
    {
        QStringList out;
        for (int r = 1; r < grid()->rows(); ++r)
            out << grid()->textMatrix(r, col);
        return out.join(QLatin1Char(','));
    }

    // One text column of a table, in key order.
    QString tableColumn(const QString& table, const QString& column) const
    {
        Database db;
        Query q(db, QStringLiteral("select %1 from %2 order by Fi_キー").arg(column, table));
        QStringList out;
        while (q.next())
            out << q.text(0);
        return out.join(QLatin1Char(','));
    }

    QWidget* screen_ = nullptr;
};

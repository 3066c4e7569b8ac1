#include "support/ScreenTest.h"

#include "AllScreens.h"
#include "db/Database.h"
#include "ui/FlexGrid.h"
#include "ui/InputBehaviour.h"
#include "ui/Navigator.h"

#include "core/Globals.h"

#include <QApplication>
#include <QComboBox>
#include <QInputMethodEvent>
#include <QJsonDocument>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QTest>

void TypeKeys(QWidget* widget, const QString& text)
{
    for (QChar c : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

void ImeConvert(QWidget* field, const QString& kana, const QString& converted)
{
    for (qsizetype n = 1; n <= kana.size(); ++n) {
        QInputMethodEvent preedit(kana.left(n), {});
        QApplication::sendEvent(field, &preedit);
    }
    QInputMethodEvent conversion(converted, {});
    QApplication::sendEvent(field, &conversion);
    QInputMethodEvent commit;
    commit.setCommitString(converted);
    QApplication::sendEvent(field, &commit);
}

void ImeCommit(QWidget* field, const QString& text)
{
    QInputMethodEvent commit;
    commit.setCommitString(text);
    QApplication::sendEvent(field, &commit);
}

void Click(QPushButton* button)
{
    ASSERT_NE(button, nullptr);
    ASSERT_TRUE(button->isVisible()) << button->objectName().toStdString();
    ASSERT_TRUE(button->isEnabled()) << button->objectName().toStdString();
    QTest::mouseClick(button, Qt::LeftButton);
}

void PressEnter(QWidget* target, bool keypad)
{
    QWidget* w = target ? target : QApplication::focusWidget();
    ASSERT_NE(w, nullptr);
    QTest::keyClick(w, keypad ? Qt::Key_Enter : Qt::Key_Return, keypad ? Qt::KeypadModifier : Qt::NoModifier);
}

void ScreenTest::SetUp()
{
    AppFixture::SetUp();
    registerScreens(Screens());
}

void ScreenTest::registerScreens(Navigator& navigator)
{
    RegisterAllScreens(navigator);
}

void ScreenTest::TearDown()
{
    m_screen = nullptr;
    AppFixture::TearDown();
}

QWidget* ScreenTest::openFromMenu(const QString& formName)
{
    G().CallerForm = QStringLiteral("Frm010_Qel");
    Screens().open(formName);
    follow(formName);
    return m_screen;
}

QWidget* ScreenTest::visibleScreen(const QString& formName)
{
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->objectName() == formName && w->isVisible())
            return w;
    }
    return nullptr;
}

bool ScreenTest::follow(const QString& formName)
{
    m_screen = visibleScreen(formName);
    if (!m_screen)
        return false;
    QApplication::setActiveWindow(m_screen);
    return QTest::qWaitForWindowActive(m_screen);
}

QPushButton* ScreenTest::cmd(int index) const
{
    return child<QPushButton>(QStringLiteral("Cmd_%1").arg(index));
}
QLineEdit* ScreenTest::txt(int index) const
{
    return child<QLineEdit>(QStringLiteral("Txt_Inp_%1").arg(index));
}
QLabel* ScreenTest::ttl(int index) const
{
    return child<QLabel>(QStringLiteral("Lbl_Ttl_%1").arg(index));
}
QLabel* ScreenTest::dat(int index) const
{
    return child<QLabel>(QStringLiteral("Lbl_Dat_%1").arg(index));
}
QComboBox* ScreenTest::combo(const char* name) const
{
    return child<QComboBox>(QString::fromLatin1(name));
}
QComboBox* ScreenTest::combo(int number) const
{
    return child<QComboBox>(QStringLiteral("Combo%1").arg(number));
}
QListWidget* ScreenTest::list(const char* name) const
{
    return child<QListWidget>(QString::fromLatin1(name));
}
QListWidget* ScreenTest::list(int number) const
{
    return child<QListWidget>(QStringLiteral("List%1").arg(number));
}
FlexGrid* ScreenTest::grid() const
{
    return child<FlexGrid>(QStringLiteral("MSHFlexGrid1"));
}
QString ScreenTest::message() const
{
    QLabel* line = ttl(11);
    return line ? line->text() : QString();
}
QWidget* ScreenTest::focused()
{
    return QApplication::focusWidget();
}

void ScreenTest::enter(QLineEdit* field, const QString& text)
{
    ASSERT_NE(field, nullptr);
    const bool hadFocus = focused() == field;
    QTest::mouseClick(field, Qt::LeftButton, {}, QPoint(5, field->height() / 2));
    ASSERT_EQ(focused(), field) << field->objectName().toStdString();
    if (boxesSelectOnFocus && !hadFocus)
        EXPECT_EQ(field->selectedText().toStdString(), field->text().toStdString())
            << field->objectName().toStdString();
    else if (hadFocus || field->selectedText() != field->text())
        QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    if (text.isEmpty()) {
        QTest::keyClick(field, Qt::Key_Delete);
        return;
    }
    const bool ascii = std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() < 0x80; });
    // A field without the input method takes keys only.
    if (ascii || ImeModeOf(field) == ImeOff)
        TypeKeys(field, text);
    else
        ImeCommit(field, text);
}

QPoint ScreenTest::cellCentre(int row, int col) const
{
    FlexGrid* g = grid();
    if (!g)
        return {};
    if (row < g->topRow() || g->rowAt(g->viewport()->height() - 1) < row - 1)
        g->setTopRow(row);
    int column = col - 1;
    if (col < 1) {
        column = 0;
        while (column + 1 < g->model()->columnCount() &&
               g->visualRect(g->model()->index(row - 1, column)).width() <= 0)
            ++column;
    }
    const QRect cell = g->visualRect(g->model()->index(row - 1, column));
    EXPECT_TRUE(g->viewport()->rect().contains(cell.center())) << row << "," << column;
    return cell.center();
}

void ScreenTest::clickRow(int row, int col)
{
    FlexGrid* g = grid();
    ASSERT_NE(g, nullptr);
    QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, cellCentre(row, col));
}

void ScreenTest::doubleClickRow(int row, int col)
{
    clickRow(row, col);
    FlexGrid* g = grid();
    ASSERT_NE(g, nullptr);
    QTest::mouseDClick(g->viewport(), Qt::LeftButton, {}, cellCentre(row, col));
}

void ScreenTest::execute(const QString& sql, const QVariantList& values) const
{
    Database db(dbPath());
    db.execute(sql, values);
}

QString ScreenTest::column(const QString& table, const QString& field, const QString& where) const
{
    Database db(dbPath());
    Query q(db, QStringLiteral("select %1 from %2%3 order by Fi_キー")
                    .arg(field, table, where.isEmpty() ? QString() : QStringLiteral(" where ") + where));
    QStringList out;
    while (q.next())
        out << q.text(0);
    return out.join(QLatin1Char(','));
}

qint64 ScreenTest::rowCount(const QString& table) const
{
    Database db(dbPath());
    return db.count(table);
}

void ScreenTest::addMaker(const QString& name, const QString& reading) const
{
    execute(QStringLiteral("insert into Tb_メーカー (Fi_キー, Fi_メーカー, Fi_メーカーフリガナ) "
                           "values ((select ifnull(max(Fi_キー), 0) + 1 from Tb_メーカー), ?, ?)"),
            {name, reading});
}

void ScreenTest::addProduct(const QString& maker, const QString& name, const QString& reading,
                            qlonglong listPrice, qlonglong sellingPrice) const
{
    execute(QStringLiteral(
                "insert into Tb_商品 (Fi_キー, Fi_メーカー, Fi_商品, Fi_商品フリガナ, Fi_定価, Fi_売価) "
                "values ((select ifnull(max(Fi_キー), 0) + 1 from Tb_商品), ?, ?, ?, ?, ?)"),
            {maker, name, reading, listPrice, sellingPrice});
}

void ScreenTest::addCustomer(const QString& name, const QString& reading) const
{
    execute(QStringLiteral("insert into Tb_顧客 (Fi_キー, Fi_名前, Fi_名前フリガナ) "
                           "values ((select ifnull(max(Fi_キー), 0) + 1 from Tb_顧客), ?, ?)"),
            {name, reading});
}

QJsonObject ScreenTest::readWorkbook(const QString& path)
{
    QProcess reader;
    reader.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral(QEL_READ_WORKBOOK), path});
    if (!reader.waitForFinished(60000) || reader.exitCode() != 0) {
        ADD_FAILURE() << "openpyxl could not read " << path.toStdString() << ": "
                      << reader.readAllStandardError().toStdString();
        return {};
    }
    return QJsonDocument::fromJson(reader.readAllStandardOutput()).object();
}

#pragma once

#include "support/TestSupport.h"

#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <QWidget>

class FlexGrid;
class Navigator;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

// Keys that produce these characters directly; QTest::keyClicks knows only ASCII.
void TypeKeys(QWidget* widget, const QString& text);
// One conversion through the input method: the kana composed key by key, the converted text as
// the last composition, then the commit.
void ImeConvert(QWidget* field, const QString& kana, const QString& converted);
// Text committed by the input method without a composition before it (a paste through it).
void ImeCommit(QWidget* field, const QString& text);
// Clicks the button as a user can: only when it is visible and enabled.
void Click(QPushButton* button);
void PressEnter(QWidget* target = nullptr, bool keypad = false);

// A fixture for screen tests: every screen registered, and the controls of the visible screen
// found by their object names, as a user finds them by sight.
class ScreenTest : public AppFixture
{
  protected:
    void SetUp() override;
    void TearDown() override;
    // The screens the menu can open; a test of the menu alone registers fewer.
    virtual void registerScreens(Navigator& navigator);

    // Opens the screen as the menu does (CallerForm "Frm010_Qel") and makes it the active window.
    QWidget* openFromMenu(const QString& formName);
    // The visible top-level window of that name, after pending deletions; nullptr when none.
    static QWidget* visibleScreen(const QString& formName);
    // The screen the following lookups search: the one last opened, or the one now visible.
    QWidget* screen() const { return m_screen; }
    void useScreen(QWidget* screen) { m_screen = screen; }
    bool follow(const QString& formName);

    template <class T = QWidget> T* child(const QString& name) const { return child<T>(m_screen, name); }
    template <class T = QWidget> static T* child(QWidget* screen, const QString& name)
    {
        T* w = screen ? screen->findChild<T*>(name) : nullptr;
        EXPECT_NE(w, nullptr) << name.toStdString();
        return w;
    }
    QPushButton* cmd(int index) const;
    QLineEdit* txt(int index) const;
    QLabel* ttl(int index) const;
    QLabel* dat(int index) const;
    QComboBox* combo(const char* name = "Combo1") const;
    QComboBox* combo(int number) const; // Combo1, Combo2, ...
    QListWidget* list(const char* name = "List1") const;
    QListWidget* list(int number) const;
    FlexGrid* grid() const;
    // The message line Lbl_Ttl(11).
    QString message() const;
    static QWidget* focused();

    // Clicks into the field, selects what it holds and types over it; Japanese text arrives as
    // the input method commits it.
    void enter(QLineEdit* field, const QString& text);
    // Clicks a data row of the grid (row 1 is the first), scrolling it into view first; without
    // a column, on the first one the user can see.
    void clickRow(int row, int col = 0);
    void doubleClickRow(int row, int col = 0);

    // Master rows as the screens find them, each under the next key.
    void addMaker(const QString& name, const QString& reading) const;
    void addProduct(const QString& maker, const QString& name, const QString& reading, qlonglong listPrice,
                    qlonglong sellingPrice) const;
    void addCustomer(const QString& name, const QString& reading) const;

    // A written workbook as openpyxl, a reader unrelated to the writer, reads it back (see
    // read_workbook.py); empty, with a failure, when it cannot.
    static QJsonObject readWorkbook(const QString& path);

    // Runs a statement on the database in use.
    void execute(const QString& sql, const QVariantList& values = {}) const;
    // One column of a table in key order, joined with commas.
    QString column(const QString& table, const QString& field, const QString& where = {}) const;
    qint64 rowCount(const QString& table) const;

    // Set by screens whose every box selects its text on the focus gain: enter() then checks
    // that the click did, instead of selecting it itself.
    bool boxesSelectOnFocus = false;

  private:
    QPoint cellCentre(int row, int col) const;

    QWidget* m_screen = nullptr;
};

#include "ui/FieldDialog.h"
#include "ui/MainScreen.h"

#include "support/ScreenTest.h"

#include <QApplication>
#include <QTest>
#include <QTimer>

namespace {

class OwnerScreen : public MainScreen
{
  public:
    OwnerScreen() : MainScreen(QStringLiteral("Frm998_Qel"))
    {
        using K = ControlRow::Kind;
        BuildControls({{K::Label, "Lbl_Dat", 10, QStringLiteral("旧"), 2400, 6480, 5055, 375}});
    }
    void LoadProc() override { ShowScreen(); }
    int checks = 0;
};

class RemarksDialog : public FieldDialog
{
  public:
    explicit RemarksDialog(OwnerScreen* owner)
        : FieldDialog(QStringLiteral("Frm997_Qel"), owner, [owner] { ++owner->checks; }), m_owner(owner)
    {
        using K = ControlRow::Kind;
        BuildControls({{K::Text, "Text1", -1, QString(), 120, 120, 5055, 375}});
        BuildButtons(120, 1500, 600);
    }
    void LoadProc() { ShowUnder(m_owner->Lbl_Dat(10)); }

  protected:
    void ApplyProc() override { m_owner->Lbl_Dat(10)->setText(Control<QLineEdit>("Text1")->text()); }

  private:
    OwnerScreen* m_owner;
};

class FieldDialogTest : public ScreenTest
{
  protected:
    // Opens the dialog; `inside` runs while it is shown modally, as the user would act.
    void runDialog(OwnerScreen* owner, const std::function<void(RemarksDialog*)>& inside)
    {
        auto* dialog = new RemarksDialog(owner);
        QPointer<RemarksDialog> alive(dialog);
        QTimer::singleShot(0, dialog, [&, dialog] {
            EXPECT_TRUE(dialog->isVisible());
            EXPECT_EQ(QApplication::activeModalWidget(), dialog);
            inside(dialog);
        });
        dialog->LoadProc();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(alive.isNull()) << "the dialog unloads after a button";
    }
};

TEST_F(FieldDialogTest, ModalUnderTheLabelEitherButtonChecksAndUnloadsOnlyApplyWrites)
{
    auto* owner = new OwnerScreen;
    owner->LoadProc();
    const QPoint label = owner->geometry().topLeft() + owner->Lbl_Dat(10)->pos();

    runDialog(owner, [&](RemarksDialog* dialog) {
        EXPECT_EQ(dialog->pos(), label + QPoint(0, 52));
        dialog->close(); // the close box is refused
        EXPECT_TRUE(dialog->isVisible());
        dialog->findChild<QLineEdit*>(QStringLiteral("Text1"))->setText(QStringLiteral("取消"));
        Click(dialog->findChild<QPushButton*>(QStringLiteral("Cmd_102")));
    });
    EXPECT_EQ(owner->Lbl_Dat(10)->text(), QStringLiteral("旧"));
    EXPECT_EQ(owner->checks, 1);

    runDialog(owner, [&](RemarksDialog* dialog) {
        auto* text = dialog->findChild<QLineEdit*>(QStringLiteral("Text1"));
        EXPECT_TRUE(text->text().isEmpty()) << "every opening starts fresh";
        text->setText(QStringLiteral("新"));
        Click(dialog->findChild<QPushButton*>(QStringLiteral("Cmd_101")));
    });
    EXPECT_EQ(owner->Lbl_Dat(10)->text(), QStringLiteral("新"));
    EXPECT_EQ(owner->checks, 2);
}

} // namespace

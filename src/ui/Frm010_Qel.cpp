#include "Frm010_Qel.h"

#include "Navigator.h"
#include "Twips.h"

#include "core/FormNames.h"
#include "core/Globals.h"
#include "core/TextRoutines.h"

#include <QFile>
#include <QFileInfo>
#include <QTimer>

#include <iterator>

namespace {

// The screen each menu button opens, by button index.
const QString* const kTargets[] = {&Forms::Frm020_Qel, &Forms::Frm030_Qel, &Forms::Frm060_Qel,
                                   &Forms::Frm070_Qel, &Forms::Frm080_Qel, &Forms::Frm090_Qel,
                                   &Forms::Frm510_Qel, &Forms::Frm610_Qel, &Forms::Frm620_Qel};

} // namespace

Frm010_Qel::Frm010_Qel() : MainScreen(Forms::Frm010_Qel)
{
    using K = ControlRow::Kind;
    BuildControls({
        {K::Label, "Lbl_Ttl", 14, QStringLiteral("メニュー"), 360, 240, 9255, 435},
        {K::Label, "Lbl_Ttl", 11, QStringLiteral("Version 1.0"), 360, 7440, 9255, 375},
        {K::Button, "Cmd", 0, QStringLiteral("顧客新規登録"), 360, 780, 4335, 555},
        {K::Button, "Cmd", 1, QStringLiteral("顧客検索"), 360, 1500, 4335, 555},
        {K::Button, "Cmd", 2, QStringLiteral("名一覧"), 360, 2220, 4335, 555},
        {K::Button, "Cmd", 3, QStringLiteral("名一覧"), 360, 2940, 4335, 555},
        {K::Button, "Cmd", 4, QStringLiteral("売上入力"), 360, 3660, 4335, 555},
        {K::Button, "Cmd", 5, QStringLiteral("売上修正"), 360, 4380, 4335, 555},
        {K::Button, "Cmd", 6, QStringLiteral("売上明細メニュー"), 360, 5100, 4335, 555},
        {K::Button, "Cmd", 7, QStringLiteral("データ バックアップ"), 5280, 780, 4335, 555},
        {K::Button, "Cmd", 8, QStringLiteral("売上データ 一括削除"), 5280, 1500, 4335, 555},
        {K::Button, "Cmd", 99, QStringLiteral("終了"), 7800, 6720, 1815, 555},
        {K::Frame, "Frame1", -1, QStringLiteral("サンプルデータ動作"), 5280, 2220, 4335, 4215},
        {K::Label, "Label1", -1, QStringLiteral("操作に慣れていただくため"), 120, 420, 4095, 300, "Frame1"},
        {K::Label, "Label2", -1, QStringLiteral("最初はサンプルデータが入力"), 120, 780, 4095, 300, "Frame1"},
        {K::Label, "Label3", 0, QStringLiteral("された状態で動作します。"), 120, 1140, 4095, 300, "Frame1"},
        {K::Label, "Label3", 1, QStringLiteral("必要がなくなった時点で"), 120, 1500, 4095, 300, "Frame1"},
        {K::Label, "Label3", 2, QStringLiteral("サンプルデータを削除して"), 120, 1860, 4095, 300, "Frame1"},
        {K::Label, "Label3", 3, QStringLiteral("ください。"), 120, 2220, 4095, 300, "Frame1"},
        {K::Check, "Check1", -1, QStringLiteral("ｻﾝﾌﾟﾙﾃﾞｰﾀ削除"), 120, 2880, 4095, 375, "Frame1"},
        {K::Button, "Cmd", 9, QStringLiteral("削除実行"), 120, 3420, 1815, 555, "Frame1"},
    });
    Frame1 = Control<QGroupBox>("Frame1");
    Check1 = Control<QCheckBox>("Check1");
    StyleRoleLabels({.messageLine = false});
    setCloseBoxAllowed(true);

    connect(Check1, &QCheckBox::clicked, this, &Frm010_Qel::Check1_Click);
}

void Frm010_Qel::LoadProc()
{
    AppGlobals& g = G();
    Lbl_Ttl(14)->setText(g.Title);
    setWindowTitle(g.Title);
    if (SampleChk()) {
        g.DbFileName = kSampleDbFile;
    } else {
        Frame1->hide();
        g.DbFileName = kOperationalDbFile;
    }
    Cmd(2)->setText(g.Maker + QStringLiteral("名一覧"));
    Cmd(3)->setText(g.Syouhin + QStringLiteral("名一覧"));
    for (int i = 0; i <= 8; ++i)
        Cmd(i)->setEnabled(Screens().has(*kTargets[i]));
    Cmd(9)->setEnabled(false);
    Check1->setChecked(false);
    ShowScreen();
}

void Frm010_Qel::paintEvent(QPaintEvent* event)
{
    MainScreen::paintEvent(event);
    // Once the menu is on the screen, while the user looks for a button.
    if (!m_warmedUp) {
        m_warmedUp = true;
        QTimer::singleShot(0, this, [] { Screens().warmUp(); });
    }
}

int Frm010_Qel::ButtonOf(const QString& formName)
{
    for (int i = 0; i < static_cast<int>(std::size(kTargets)); ++i) {
        if (*kTargets[i] == formName)
            return i;
    }
    return -1;
}

void Frm010_Qel::Cmd_Click(int index)
{
    G().CallerForm = formName();
    if (index >= 0 && index <= 8) {
        OpenScreen(*kTargets[index]);
    } else if (index == 9) {
        Frame1->hide();
        if (!SampleDelete())
            Frame1->show();
        Cmd(0)->setFocus();
    } else if (index == 99) {
        Unload();
    }
}

void Frm010_Qel::Check1_Click()
{
    Cmd(9)->setEnabled(Check1->isChecked());
}

bool Frm010_Qel::SampleChk() const
{
    return QFileInfo::exists(AppFile(kSampleDbFile));
}

bool Frm010_Qel::SampleDelete()
{
    const QString path = AppFile(kSampleDbFile);
    QFile file(path);
    // A read-only sample file is deleted all the same.
    file.setPermissions(file.permissions() | QFileDevice::WriteOwner | QFileDevice::WriteUser);
    if (!file.remove()) {
        Dialogs().warning(formName(), QStringLiteral("サンプルデータを削除できませんでした。\n%1\n%2")
                                          .arg(file.errorString(), ShownPath(path)));
        return false;
    }
    G().DbFileName = kOperationalDbFile;
    return true;
}

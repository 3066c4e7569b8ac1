#include "Frm045_Qel.h"

#include "AddressPrintout.h"
#include "SenderStore.h"
#include "core/TextRoutines.h"
#include "customers/CustomerStore.h"

#include "core/ChooserFolder.h"
#include "core/Clock.h"
#include "core/FormNames.h"
#include "sheets/preview/SheetPreview.h"
#include "ui/BusyRun.h"
#include "ui/InputBehaviour.h"
#include "ui/Navigator.h"

#include <QApplication>
#include <QPrinter>
#include <QRegularExpression>

namespace {

const QString kAsk = QStringLiteral("確認");
constexpr int kSheetFields = 8;  // Txt_Inp(0) to Txt_Inp(7): a custom sheet
constexpr int kSenderFirst = 8;  // Txt_Inp(8) to Txt_Inp(12): the sender
constexpr int kCustomPreset = 4; // Combo2's last entry after the four presets

QString Number(double value)
{
    return QString::number(value, 'f', 2).remove(QRegularExpression(QStringLiteral("\\.?0+$")));
}

} // namespace

Frm045_Qel::Frm045_Qel() : MainScreen(Forms::Frm045_Qel)
{
    using K = ControlRow::Kind;
    BuildControls({
        {K::Label, "Lbl_Ttl", 14, QStringLiteral("宛名印刷"), 360, 240, 10995, 435},
        {K::Label, "Lbl_Dat", 0, QString(), 360, 720, 5520, 375},
        {K::Check, "Check3", -1, QStringLiteral("DM不要の顧客も今回は印刷する"), 6000, 720, 5355, 375},
        {K::Label, "Lbl_Dat", 1, QString(), 360, 1110, 10995, 615},
        {K::Frame, "Frame1", -1, QStringLiteral("印刷の設定"), 360, 1800, 5520, 4695},
        {K::Label, "Lbl_Ttl", 0, QStringLiteral("用紙"), 120, 330, 1560, 375, "Frame1"},
        {K::Combo, "Combo1", -1, QString(), 1740, 330, 3660, 375, "Frame1"},
        {K::Label, "Lbl_Ttl", 1, QStringLiteral("ラベル用紙"), 120, 760, 1560, 375, "Frame1"},
        {K::Combo, "Combo2", -1, QString(), 1740, 760, 3660, 375, "Frame1"},
        {K::Label, "Lbl_Ttl", 2, QStringLiteral("開始位置"), 120, 1190, 1560, 375, "Frame1"},
        {K::Combo, "Combo3", -1, QString(), 1740, 1190, 1200, 375, "Frame1"},
        {K::Label, "Lbl_Ttl", 3, QStringLiteral("列・行"), 120, 1620, 1560, 375, "Frame1"},
        {K::Text, "Txt_Inp", 0, QString(), 1740, 1620, 900, 375, "Frame1", 2},
        {K::Text, "Txt_Inp", 1, QString(), 2760, 1620, 900, 375, "Frame1", 2},
        {K::Label, "Lbl_Ttl", 4, QStringLiteral("幅・高さ(mm)"), 120, 2050, 1560, 375, "Frame1"},
        {K::Text, "Txt_Inp", 2, QString(), 1740, 2050, 900, 375, "Frame1", 6},
        {K::Text, "Txt_Inp", 3, QString(), 2760, 2050, 900, 375, "Frame1", 6},
        {K::Label, "Lbl_Ttl", 5, QStringLiteral("余白 左・上"), 120, 2480, 1560, 375, "Frame1"},
        {K::Text, "Txt_Inp", 4, QString(), 1740, 2480, 900, 375, "Frame1", 6},
        {K::Text, "Txt_Inp", 5, QString(), 2760, 2480, 900, 375, "Frame1", 6},
        {K::Label, "Lbl_Ttl", 6, QStringLiteral("間隔 横・縦"), 120, 2910, 1560, 375, "Frame1"},
        {K::Text, "Txt_Inp", 6, QString(), 1740, 2910, 900, 375, "Frame1", 6},
        {K::Text, "Txt_Inp", 7, QString(), 2760, 2910, 900, 375, "Frame1", 6},
        {K::Label, "Lbl_Ttl", 7, QStringLiteral("敬称"), 120, 3340, 1560, 375, "Frame1"},
        {K::Combo, "Combo4", -1, QString(), 1740, 3340, 3660, 375, "Frame1"},
        {K::Label, "Lbl_Ttl", 8, QStringLiteral("住所の数字"), 120, 3770, 1560, 375, "Frame1"},
        {K::Combo, "Combo5", -1, QString(), 1740, 3770, 3660, 375, "Frame1"},
        {K::Check, "Check1", -1, QStringLiteral("郵便番号の枠を赤で印刷（無地のはがき）"), 120, 4200, 5280,
         375, "Frame1"},
        {K::Frame, "Frame2", -1, QStringLiteral("差出人"), 6000, 1800, 5355, 4695},
        {K::Check, "Check2", -1, QStringLiteral("差出人を印刷"), 120, 330, 5000, 375, "Frame2"},
        {K::Label, "Lbl_Ttl", 9, QStringLiteral("名前"), 120, 760, 1080, 375, "Frame2"},
        {K::Text, "Txt_Inp", 8, QString(), 1260, 760, 3960, 375, "Frame2", 20},
        {K::Label, "Lbl_Ttl", 15, QStringLiteral("郵便番号"), 120, 1190, 1080, 375, "Frame2"},
        {K::Text, "Txt_Inp", 9, QString(), 1260, 1190, 1335, 375, "Frame2", 8},
        {K::Label, "Lbl_Ttl", 16, QStringLiteral("住所"), 120, 1620, 1080, 375, "Frame2"},
        {K::Text, "Txt_Inp", 10, QString(), 1260, 1620, 3960, 375, "Frame2", 24},
        {K::Label, "Lbl_Ttl", 17, QStringLiteral("建物など"), 120, 2050, 1080, 375, "Frame2"},
        {K::Text, "Txt_Inp", 11, QString(), 1260, 2050, 3960, 375, "Frame2", 20},
        {K::Label, "Lbl_Ttl", 18, QStringLiteral("電話番号"), 120, 2480, 1080, 375, "Frame2"},
        {K::Text, "Txt_Inp", 12, QString(), 1260, 2480, 2235, 375, "Frame2", 14},
        {K::Label, "Lbl_Ttl", 19, QStringLiteral("差出人は はがきにだけ印刷します"), 120, 2960, 5100, 375,
         "Frame2"},
        {K::Button, "Cmd", 0, QStringLiteral("プレビュー"), 360, 6720, 1815, 555},
        {K::Button, "Cmd", 1, QStringLiteral("印刷…"), 2280, 6720, 1815, 555},
        {K::Button, "Cmd", 2, QStringLiteral("PDF保存"), 4200, 6720, 1815, 555},
        {K::Button, "Cmd", 4, QStringLiteral("差出人保存"), 6120, 6720, 1815, 555},
        {K::Button, "Cmd", 3, QStringLiteral("閉じる"), 9540, 6720, 1815, 555},
        {K::Label, "Lbl_Ttl", 11, QString(), 360, 7440, 10995, 375},
    });
    setWindowTitle(QStringLiteral("宛名印刷"));
    StyleRoleLabels();
    Combo1 = Control<QComboBox>("Combo1");
    Combo2 = Control<QComboBox>("Combo2");
    Combo3 = Control<QComboBox>("Combo3");
    Combo4 = Control<QComboBox>("Combo4");
    Combo5 = Control<QComboBox>("Combo5");
    Check1 = Control<QCheckBox>("Check1");
    Check2 = Control<QCheckBox>("Check2");
    Check3 = Control<QCheckBox>("Check3");
    QPalette note = Lbl_Dat(1)->palette();
    note.setColor(QPalette::WindowText, QColor(192, 0, 0));
    Lbl_Dat(1)->setPalette(note);
    Lbl_Dat(1)->setWordWrap(true);

    Combo1->addItems({QStringLiteral("はがき（縦書き）"), QStringLiteral("宛名ラベル（A4・横書き）")});
    for (const LabelSheet& sheet : LabelPresets())
        Combo2->addItem(sheet.name);
    Combo2->addItem(QStringLiteral("寸法を指定"));
    Combo4->addItems({QStringLiteral("自動（会社は御中、ほかは様）"), QStringLiteral("すべて 様"),
                      QStringLiteral("すべて 御中")});
    Combo5->addItems({QStringLiteral("漢数字（一〇・二七）"), QStringLiteral("漢数字（十・二十七）"),
                      QStringLiteral("全角数字（１０・２７）")});
    for (int i = 0; i < kSheetFields; ++i)
        SetImeMode(Txt_Inp(i), ImeOff);
    SetImeMode(Txt_Inp(9), ImeOff);
    SetImeMode(Txt_Inp(12), ImeOff);
    // The 24-label sheet as the starting point of a custom one.
    Combo2->setCurrentIndex(kCustomPreset - 1);
    Combo2_Click();
    // The first label follows the sheet: its list holds the sheet's labels.
    connect(Combo1, &QComboBox::currentIndexChanged, this, &Frm045_Qel::Combo1_Click);
    connect(Combo2, &QComboBox::currentIndexChanged, this, &Frm045_Qel::Combo2_Click);
    connect(Check3, &QCheckBox::toggled, this, &Frm045_Qel::AddresseeProc);
    for (int i = 0; i < kSheetFields; ++i)
        connect(Txt_Inp(i), &QLineEdit::textChanged, this, &Frm045_Qel::StartListProc);
}

void Frm045_Qel::LoadProc()
{
    // A database that cannot be read leaves nothing to print; the warning says why.
    Guarded([&] {
        const CustomerStore store;
        m_found = store.customers(store.condition().value_or(SearchCondition()));
        m_prefectures = store.prefectures().names;
    });
    Guarded([&] { m_savedSender = SenderStore().sender(); });
    AddresseeProc();

    const Sender& s = m_savedSender;
    const QString texts[] = {s.name, s.postalCode, s.address1, s.address2, s.phone};
    for (int i = 0; i < 5; ++i)
        ShowStoredText(Txt_Inp(kSenderFirst + i), texts[i]);
    Check2->setChecked(!s.name.trimmed().isEmpty());
    EnableProc();
    ShowScreen();
    Cmd(m_addressees.empty() ? 3 : 0)->setFocus(Qt::OtherFocusReason);
}

// The customers of the list, those who want no mail left out unless asked for this time.
void Frm045_Qel::AddresseeProc()
{
    m_addressees.clear();
    m_addressees.reserve(m_found.size());
    int noMail = 0;
    for (const Customer& c : m_found) {
        noMail += c.noMail ? 1 : 0;
        if (c.noMail && !Check3->isChecked())
            continue;
        // Position 0 of the prefecture list is "none".
        const QString prefecture = c.prefecture > 0 && c.prefecture < m_prefectures.size()
                                       ? m_prefectures.at(c.prefecture)
                                       : QString();
        m_addressees.push_back({c.name, c.postalCode, prefecture, c.city, c.building});
    }
    Check3->setEnabled(noMail > 0);
    Lbl_Dat(0)->setText(
        m_addressees.empty()
            ? QStringLiteral("印刷する顧客はありません")
            : QStringLiteral("顧客一覧の %1 件を、一覧の順に印刷します").arg(m_addressees.size()));
    QStringList notes;
    if (noMail > 0)
        notes << (Check3->isChecked() ? QStringLiteral("DM不要の %1 件も印刷します")
                                      : QStringLiteral("DM不要の %1 件は印刷しません"))
                     .arg(noMail);
    notes << AddressNotes(m_addressees);
    Lbl_Dat(1)->setText(notes.join(QStringLiteral("　")));
    EnableProc();
}

bool Frm045_Qel::postcards() const
{
    return Combo1->currentIndex() == 0;
}

void Frm045_Qel::EnableProc()
{
    const bool labels = !postcards();
    Combo2->setEnabled(labels);
    Combo3->setEnabled(labels);
    const bool custom = labels && Combo2->currentIndex() == kCustomPreset;
    for (int i = 0; i < kSheetFields; ++i)
        Txt_Inp(i)->setEnabled(custom);
    Check1->setEnabled(!labels);
    Check2->setEnabled(!labels);
    const bool any = !m_addressees.empty();
    for (int i = 0; i < 3; ++i)
        Cmd(i)->setEnabled(any);
}

void Frm045_Qel::Combo1_Click()
{
    EnableProc();
}

void Frm045_Qel::Combo2_Click()
{
    // A preset fills the custom fields, so that a custom sheet starts from the nearest one.
    const int preset = Combo2->currentIndex();
    if (preset >= 0 && preset < kCustomPreset) {
        const LabelSheet& s = LabelPresets().at(size_t(preset));
        const double values[] = {double(s.columns), double(s.rows), s.width, s.height, s.left, s.top,
                                 s.pitchX,          s.pitchY};
        for (int i = 0; i < kSheetFields; ++i)
            Txt_Inp(i)->setText(Number(values[i]));
    }
    StartListProc();
    if (Combo1)
        EnableProc();
}

void Frm045_Qel::StartListProc()
{
    LabelSheet sheet;
    const int labels = SheetChk(sheet) ? sheet.count() : 0;
    const int current = Combo3->currentIndex();
    Combo3->clear();
    for (int i = 1; i <= std::max(1, labels); ++i)
        Combo3->addItem(QString::number(i));
    Combo3->setCurrentIndex(std::clamp(current, 0, Combo3->count() - 1));
}

// The sheet chosen, or the custom one from the fields; false when the fields do not make one.
bool Frm045_Qel::SheetChk(LabelSheet& sheet)
{
    const int preset = Combo2->currentIndex();
    if (preset >= 0 && preset < kCustomPreset) {
        sheet = LabelPresets().at(size_t(preset));
        return true;
    }
    double values[kSheetFields];
    for (int i = 0; i < kSheetFields; ++i) {
        bool ok = false;
        values[i] = Txt_Inp(i)->text().trimmed().toDouble(&ok);
        if (!ok)
            return false;
    }
    sheet = {QStringLiteral("寸法を指定"),
             int(values[0]),
             int(values[1]),
             values[2],
             values[3],
             values[4],
             values[5],
             values[6],
             values[7]};
    return sheet.problem().isEmpty();
}

Sender Frm045_Qel::FieldsToSender() const
{
    auto field = [this](int i) { return Txt_Inp(kSenderFirst + i)->text().trimmed(); };
    return {field(0), field(1), field(2), field(3), field(4)};
}

bool Frm045_Qel::InputChk()
{
    LabelSheet sheet;
    QString sheetProblem;
    QWidget* sheetField = Txt_Inp(0);
    if (!postcards() && !SheetChk(sheet)) {
        for (int i = 0; i < kSheetFields && sheetProblem.isEmpty(); ++i) {
            bool ok = false;
            Txt_Inp(i)->text().trimmed().toDouble(&ok);
            if (!ok) {
                sheetProblem = QStringLiteral("ラベルの寸法は数字（mm）で入力してください");
                sheetField = Txt_Inp(i);
            }
        }
        if (sheetProblem.isEmpty())
            sheetProblem = sheet.problem();
    }
    const Sender sender = FieldsToSender();
    const bool withSender = postcards() && Check2->isChecked();
    return FirstFailedCheck({
               {m_addressees.empty(), QStringLiteral("印刷する顧客がありません"), Cmd(3)},
               {!sheetProblem.isEmpty(), sheetProblem, sheetField},
               {withSender && sender.name.isEmpty(), QStringLiteral("差出人の名前を入力してください"),
                Txt_Inp(8)},
               {!sender.postalCode.isEmpty() && !PostalDigits(sender.postalCode),
                QStringLiteral("差出人の郵便番号は７桁の数字で入力してください（例 123-4567）"), Txt_Inp(9)},
           }) == 0;
}

AddressOptions Frm045_Qel::OptionsProc(const LabelSheet& sheet) const
{
    AddressOptions o;
    o.kind = postcards() ? AddressOptions::Kind::Postcard : AddressOptions::Kind::Labels;
    o.sheet = sheet;
    o.startPosition = Combo3->currentIndex() + 1;
    const HonorificRule rules[] = {HonorificRule::Auto, HonorificRule::Sama, HonorificRule::Onchu};
    o.honorific = rules[std::clamp(Combo4->currentIndex(), 0, 2)];
    const Numerals numerals[] = {Numerals::Kanji, Numerals::KanjiCounting, Numerals::FullWidth};
    o.numerals = numerals[std::clamp(Combo5->currentIndex(), 0, 2)];
    o.printSender = postcards() && Check2->isChecked();
    o.sender = FieldsToSender();
    return o;
}

void Frm045_Qel::Cmd_Click(int index)
{
    if (index == 3) {
        BackProc();
        return;
    }
    if (index == 4) {
        if (SenderSaveProc())
            Lbl_Ttl(11)->setText(QStringLiteral("差出人を保存しました"));
        return;
    }
    if (index < 0 || index > 2 || !InputChk())
        return;
    LabelSheet sheet;
    if (!postcards())
        SheetChk(sheet);
    const AddressLayout layout(m_addressees, OptionsProc(sheet));
    if (index == 0)
        PreviewProc(layout);
    else if (index == 1)
        PrinterProc(layout);
    else
        PdfProc(layout);
}

void Frm045_Qel::PreviewProc(const AddressLayout& layout)
{
    const AddressPrintout printout(layout, Check1->isChecked() && postcards());
    QPrinter printer(QPrinter::HighResolution);
    printout.setUpPrinter(printer);
    ShowPrintPreview(this, printer, QStringLiteral("宛名印刷　プレビュー"),
                     [&](QPrinter* target) { printout.print(target); });
}

void Frm045_Qel::PrinterProc(const AddressLayout& layout)
{
    const AddressPrintout printout(layout, Check1->isChecked() && postcards());
    QPrinter printer(QPrinter::HighResolution);
    printout.setUpPrinter(printer);
    if (!Dialogs().print(printer, QStringLiteral("印刷")))
        return;
    // The dialog may have changed the paper; the run is laid out for its own.
    printout.setUpPrinter(printer);
    {
        BusyRun busy({Cmd(0), Cmd(1), Cmd(2), Cmd(3), Cmd(4)}, Lbl_Ttl(11));
        busy.say(QStringLiteral("しばらくお待ちください"));
        printout.print(&printer);
    }
    Lbl_Ttl(11)->setText(QStringLiteral("%1 ページを印刷しました").arg(layout.pageCount()));
}

void Frm045_Qel::PdfProc(const AddressLayout& layout)
{
    const QString kind = postcards() ? QStringLiteral("宛名はがき") : QStringLiteral("宛名ラベル");
    const QString stamp = Clock::current().now().toString(QStringLiteral("_yyyyMMdd_HHmmss"));
    int type = 0;
    const QString chosen =
        Dialogs().saveFile(QStringLiteral("PDF保存"), ChooserTarget(kind + stamp + QStringLiteral(".pdf")),
                           {QStringLiteral("PDF (*.pdf)")}, type);
    if (chosen.isEmpty())
        return;
    const ChosenFile target = ChosenTarget(chosen, QStringLiteral("pdf"));
    const AddressPrintout printout(layout, Check1->isChecked() && postcards());
    QString written;
    const bool saved = GuardedRun({Cmd(0), Cmd(1), Cmd(2), Cmd(3), Cmd(4)}, Lbl_Ttl(11), [&](BusyRun& busy) {
        busy.say(QStringLiteral("しばらくお待ちください"));
        FileSave save(target.path, target.existing);
        if (!printout.writePdf(save.temporaryPath(), kind))
            throw QelError(QelError::Kind::FileOperation,
                           QStringLiteral("PDFファイルを書き込めません。\n") + ShownPath(target.path));
        written = save.commit();
    });
    if (!saved) {
        Lbl_Ttl(11)->clear();
        return;
    }
    Lbl_Ttl(11)->setText(
        QStringLiteral("%1 件を %2 ページに出力しました").arg(m_addressees.size()).arg(layout.pageCount()));
    Dialogs().fileWritten(QStringLiteral("PDFファイルを作成しました"),
                          QStringLiteral("宛名をPDFファイルに出力しました\n") + ShownPath(written), written);
}

bool Frm045_Qel::SenderSaveProc()
{
    const Sender sender = FieldsToSender();
    if (FirstFailedCheck({{!sender.postalCode.isEmpty() && !PostalDigits(sender.postalCode),
                           QStringLiteral("差出人の郵便番号は７桁の数字で入力してください（例 123-4567）"),
                           Txt_Inp(9)}}) != 0)
        return false;
    if (!Guarded([&] { SenderStore().save(sender); }))
        return false;
    m_savedSender = sender;
    return true;
}

void Frm045_Qel::BackProc()
{
    if (FieldsToSender() != m_savedSender &&
        Dialogs().question(kAsk, QStringLiteral("差出人の変更が保存されていません。\n"
                                                "保存せずに閉じてもよろしいですか")) !=
            DialogService::Answer::Yes)
        return;
    OpenScreen(Forms::Frm040_Qel);
}

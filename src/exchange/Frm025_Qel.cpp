#include "Frm025_Qel.h"

#include "CustomerImport.h"
#include "ImportPreviewModel.h"

#include "core/ChooserFolder.h"
#include "core/FormNames.h"
#include "core/Globals.h"
#include "core/ReadingDictionary.h"
#include "core/TextRoutines.h"
#include "customers/CustomerStore.h"
#include "maintenance/BackupProgress.h"
#include "ui/BusyRun.h"
#include "ui/Twips.h"
#include "ui/WaitService.h"

#include <QHeaderView>
#include <QTableView>

namespace {

const QString kAsk = QStringLiteral("確認");

// The field selectors stand three to a row under the file line.
constexpr int SelectorLeft(int field)
{
    return 360 + (field % 3) * 3660;
}
constexpr int SelectorTop(int field)
{
    return 1320 + (field / 3) * 420;
}
// The caption of a selector is Lbl_Ttl of the field's number; past the message line Lbl_Ttl(11),
// 16 and on.
constexpr int SelectorLabel(int field)
{
    return field < 11 ? field : field + 5;
}

} // namespace

Frm025_Qel::Frm025_Qel() : MainScreen(Forms::Frm025_Qel)
{
    using K = ControlRow::Kind;
    const auto caption = [](int field) { return ImportFieldName(field); };
    BuildControls({
        {K::Label, "Lbl_Ttl", 14, QStringLiteral("顧客取込"), 360, 240, 10995, 435},
        {K::Button, "Cmd", 0, QStringLiteral("ファイル選択…"), 360, 780, 1815, 435},
        {K::Label, "Lbl_Dat", 0, QString(), 2280, 780, 9075, 435},
        {K::Label, "Lbl_Ttl", 0, caption(0), SelectorLeft(0), SelectorTop(0), 1560, 375},
        {K::Combo, "Combo_Fld", 0, QString(), SelectorLeft(0) + 1590, SelectorTop(0), 1935, 375},
        {K::Label, "Lbl_Ttl", 1, caption(1), SelectorLeft(1), SelectorTop(1), 1560, 375},
        {K::Combo, "Combo_Fld", 1, QString(), SelectorLeft(1) + 1590, SelectorTop(1), 1935, 375},
        {K::Label, "Lbl_Ttl", 2, caption(2), SelectorLeft(2), SelectorTop(2), 1560, 375},
        {K::Combo, "Combo_Fld", 2, QString(), SelectorLeft(2) + 1590, SelectorTop(2), 1935, 375},
        {K::Label, "Lbl_Ttl", 3, caption(3), SelectorLeft(3), SelectorTop(3), 1560, 375},
        {K::Combo, "Combo_Fld", 3, QString(), SelectorLeft(3) + 1590, SelectorTop(3), 1935, 375},
        {K::Label, "Lbl_Ttl", 4, caption(4), SelectorLeft(4), SelectorTop(4), 1560, 375},
        {K::Combo, "Combo_Fld", 4, QString(), SelectorLeft(4) + 1590, SelectorTop(4), 1935, 375},
        {K::Label, "Lbl_Ttl", 5, caption(5), SelectorLeft(5), SelectorTop(5), 1560, 375},
        {K::Combo, "Combo_Fld", 5, QString(), SelectorLeft(5) + 1590, SelectorTop(5), 1935, 375},
        {K::Label, "Lbl_Ttl", 6, caption(6), SelectorLeft(6), SelectorTop(6), 1560, 375},
        {K::Combo, "Combo_Fld", 6, QString(), SelectorLeft(6) + 1590, SelectorTop(6), 1935, 375},
        {K::Label, "Lbl_Ttl", 7, caption(7), SelectorLeft(7), SelectorTop(7), 1560, 375},
        {K::Combo, "Combo_Fld", 7, QString(), SelectorLeft(7) + 1590, SelectorTop(7), 1935, 375},
        {K::Label, "Lbl_Ttl", 8, caption(8), SelectorLeft(8), SelectorTop(8), 1560, 375},
        {K::Combo, "Combo_Fld", 8, QString(), SelectorLeft(8) + 1590, SelectorTop(8), 1935, 375},
        {K::Label, "Lbl_Ttl", 9, caption(9), SelectorLeft(9), SelectorTop(9), 1560, 375},
        {K::Combo, "Combo_Fld", 9, QString(), SelectorLeft(9) + 1590, SelectorTop(9), 1935, 375},
        {K::Label, "Lbl_Ttl", 10, caption(10), SelectorLeft(10), SelectorTop(10), 1560, 375},
        {K::Combo, "Combo_Fld", 10, QString(), SelectorLeft(10) + 1590, SelectorTop(10), 1935, 375},
        {K::Label, "Lbl_Ttl", SelectorLabel(11), caption(11), SelectorLeft(11), SelectorTop(11), 1560, 375},
        {K::Combo, "Combo_Fld", 11, QString(), SelectorLeft(11) + 1590, SelectorTop(11), 1935, 375},
        {K::Label, "Lbl_Ttl", SelectorLabel(12), caption(12), SelectorLeft(12), SelectorTop(12), 1560, 375},
        {K::Combo, "Combo_Fld", 12, QString(), SelectorLeft(12) + 1590, SelectorTop(12), 1935, 375},
        {K::Check, "Check1", -1, QStringLiteral("長い項目は切り詰める"), 360, 3480, 3615, 375},
        {K::Label, "Lbl_Dat", 1, QString(), 4080, 3480, 7275, 375},
        {K::Button, "Cmd", 1, QStringLiteral("取込実行"), 360, 6720, 1815, 555},
        {K::Button, "Cmd", 2, QStringLiteral("閉じる"), 9540, 6720, 1815, 555},
        {K::Label, "Lbl_Ttl", 11, QString(), 360, 7440, 10995, 375},
    });
    setWindowTitle(QStringLiteral("顧客取込"));
    StyleRoleLabels();
    SetBordered(Lbl_Dat(0));
    Check1 = Control<QCheckBox>("Check1");
    CollectArray(Combo_Fld, "Combo_Fld");
    for (int field = 0; field < kImportFields; ++field) {
        QLabel* caption = Lbl_Ttl(SelectorLabel(field));
        caption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        caption->setFont(ScreenFont(10));
        SetBackColor(caption, Colors::LightCyan);
        connect(Combo_Fld(field), &QComboBox::activated, this, [this, field] { Combo_Fld_Click(field); });
    }
    connect(Check1, &QCheckBox::clicked, this, [this] { Check1_Click(); });

    m_model = new ImportPreviewModel(this);
    Grd_Preview = new QTableView(this);
    Grd_Preview->setObjectName(QStringLiteral("Grd_Preview"));
    Grd_Preview->setGeometry(TwRect(360, 3960, 10995, 2580));
    Grd_Preview->setModel(m_model);
    Grd_Preview->setFont(ScreenFont(10));
    Grd_Preview->verticalHeader()->setDefaultSectionSize(Tw(330));
    Grd_Preview->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                                 QAbstractItemView::AnyKeyPressed);
    const int widths[ImportPreviewModel::kColumns] = {600,  1200, 2800, 600,  1800, 1800, 1200, 1100, 2200,
                                                      1800, 1500, 1500, 1500, 2400, 1800, 1500, 900};
    for (int c = 0; c < ImportPreviewModel::kColumns; ++c)
        Grd_Preview->setColumnWidth(c, Tw(widths[c]));
    connect(m_model, &ImportPreviewModel::changed, this, [this] { CountDispProc(); });
    setTabOrder(Cmd(0), Grd_Preview);
}

void Frm025_Qel::LoadProc()
{
    m_model->setImport(std::nullopt);
    ColumnListProc();
    Lbl_Dat(0)->clear();
    ShowScreen();
    Cmd(0)->setFocus(Qt::OtherFocusReason);
}

void Frm025_Qel::Cmd_Click(int index)
{
    switch (index) {
    case 0:
        FileReadProc();
        break;
    case 1:
        if (ImportChk())
            ImportProc();
        break;
    case 2:
        if (m_model->import() && m_model->import()->counts().toStore > 0 &&
            Dialogs().question(kAsk, QStringLiteral("未取込です。\n取り込まずに画面を閉じますか")) !=
                DialogService::Answer::Yes)
            return;
        OpenScreen(Forms::Frm020_Qel);
        break;
    default:
        break;
    }
}

void Frm025_Qel::FileReadProc()
{
    const QString path = Dialogs().openFile(
        QStringLiteral("取り込むファイルの選択"), ChooserFolder(),
        {QStringLiteral("顧客の表 (*.csv *.txt *.tsv *.xlsx)"), QStringLiteral("すべてのファイル (*)")});
    if (path.isEmpty())
        return;
    RememberChooserFolder(path);
    std::optional<CustomerImport> import;
    const bool read = GuardedRun({Cmd(0), Cmd(1)}, Lbl_Ttl(11), [&](BusyRun& busy) {
        busy.say(QStringLiteral("しばらくお待ちください"));
        ImportSource source = ReadImportFile(path);
        const CustomerStore store;
        CustomerImport::Setting setting;
        setting.prefectures = store.prefectures().names;
        setting.defaultPrefecture = G().Todoufuken1;
        setting.stored = store.all();
        setting.reading = [](const QString& name) { return DictionaryReading(name); };
        import.emplace(std::move(source), std::move(setting));
        import->setCutLong(Check1->isChecked());
        busy.say(QString());
    });
    if (!read) {
        Lbl_Ttl(11)->clear();
        return;
    }
    Lbl_Dat(0)->setText(ShownPath(path) + QStringLiteral("　") + import->source().kind);
    m_model->setImport(std::move(import));
    ColumnListProc();
    Grd_Preview->scrollToTop();
}

void Frm025_Qel::ColumnListProc()
{
    m_filling = true;
    const CustomerImport* import = m_model->import();
    for (int field = 0; field < kImportFields; ++field) {
        QComboBox* combo = Combo_Fld(field);
        combo->clear();
        combo->addItem(QStringLiteral("（なし）"));
        if (import) {
            const QStringList& headings = import->source().headings;
            for (int c = 0; c < headings.size(); ++c)
                combo->addItem(QStringLiteral("%1: %2").arg(c + 1).arg(headings.at(c)));
            combo->setCurrentIndex(import->columns()[field] + 1);
        }
        combo->setEnabled(import != nullptr);
    }
    m_filling = false;
    CountDispProc();
}

void Frm025_Qel::Combo_Fld_Click(int field)
{
    CustomerImport* import = m_model->import();
    if (m_filling || !import)
        return;
    ImportColumns columns = import->columns();
    columns[field] = Combo_Fld(field)->currentIndex() - 1;
    {
        BusyRun busy({});
        import->setColumns(columns);
    }
    m_model->refresh();
}

void Frm025_Qel::Check1_Click()
{
    if (CustomerImport* import = m_model->import()) {
        import->setCutLong(Check1->isChecked());
        m_model->refresh();
    }
}

void Frm025_Qel::CountDispProc()
{
    const CustomerImport* import = m_model->import();
    Cmd(1)->setEnabled(import && import->counts().toStore > 0);
    if (!import) {
        Lbl_Dat(1)->clear();
        return;
    }
    const ImportCounts n = import->counts();
    Lbl_Dat(1)->setText(QStringLiteral("全 %1 行　取込 %2 件　重複 %3 件　エラー %4 件　読み要確認 %5 件")
                            .arg(n.rows)
                            .arg(n.toStore)
                            .arg(n.duplicates)
                            .arg(n.errors)
                            .arg(n.checkReading));
    if (import->columns()[FieldName] < 0)
        Lbl_Ttl(11)->setText(QStringLiteral("名前の列が見つかりません。「名前」で名前の列を選んでください"));
    else if (Lbl_Ttl(11)->text().startsWith(QStringLiteral("名前の列")))
        Lbl_Ttl(11)->clear();
}

bool Frm025_Qel::ImportChk()
{
    const CustomerImport* import = m_model->import();
    return FirstFailedCheck({
               {!import, QStringLiteral("取り込むファイルを選んでください"), Cmd(0)},
               {import && import->columns()[FieldName] < 0,
                QStringLiteral("名前の列が見つかりません。「名前」で名前の列を選んでください"), Combo_Fld(0)},
               {import && import->counts().toStore == 0, QStringLiteral("取り込む行がありません"),
                Grd_Preview},
           }) == 0;
}

void Frm025_Qel::ImportProc()
{
    const ImportCounts n = m_model->import()->counts();
    const int skipped = n.rows - n.toStore;
    const QString question = QStringLiteral("%1 件の顧客を登録します（取り込まない行 %2 件）。\n"
                                            "先にデータのバックアップを行います。よろしいですか")
                                 .arg(n.toStore)
                                 .arg(skipped);
    if (Dialogs().question(kAsk, question) != DialogService::Answer::Yes)
        return;
    if (!ShowBackupRun(this, Lbl_Ttl(11), Cmd(1)))
        return;
    const std::vector<Customer> customers = m_model->import()->accepted();
    const bool stored =
        GuardedRun({Cmd(0), Cmd(1)}, nullptr, [&](BusyRun&) { CustomerStore().add(customers); });
    if (!stored) {
        Lbl_Ttl(11)->setText(QStringLiteral("取込を中止しました。何も登録していません"));
        return;
    }
    Lbl_Ttl(11)->setText(QStringLiteral("%1件登録しました").arg(customers.size()));
    Dialogs().information(QStringLiteral("取込完了"),
                          QStringLiteral("%1 件の顧客を登録しました。\n取り込まなかった行: %2 件")
                              .arg(customers.size())
                              .arg(skipped));
    m_model->setImport(std::nullopt);
    Lbl_Dat(0)->clear();
    ColumnListProc();
}

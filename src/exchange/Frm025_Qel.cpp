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

#include <QHeaderView>
#include <QResizeEvent>
#include <QTableView>

namespace {

const QString kCaption = QStringLiteral("顧客取込");
const QString kAsk = QStringLiteral("確認");
const QString kUnstored = QStringLiteral("未取込です。\n取り込まずに画面を閉じますか");
const QString kNoName = QStringLiteral("名前の列が見つかりません。「名前」で名前の列を選んでください");
const QString kReading = QStringLiteral("読込中");

// The field selectors stand three to a row under the file line; what follows them moves down
// with their rows.
constexpr int kSelectorRows = (kImportFields + 2) / 3;
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
constexpr int kOptionsTop = SelectorTop(0) + kSelectorRows * 420 + 60;
constexpr int kCountsTop = kOptionsTop + 420;
constexpr int kGridTop = kCountsTop + 420;
constexpr int kButtonsTop = 6720;
// The heading rows offered: the headings stand at the top, under a title or two at most.
constexpr int kHeadingChoices = 20;

} // namespace

Frm025_Qel::Frm025_Qel() : MainScreen(Forms::Frm025_Qel)
{
    using K = ControlRow::Kind;
    BuildControls({
        {K::Label, "Lbl_Ttl", 14, kCaption, 360, 240, 10995, 435},
        {K::Button, "Cmd", 0, QStringLiteral("ファイル選択…"), 360, 780, 1815, 435},
        {K::Label, "Lbl_Dat", 0, QString(), 2280, 780, 9075, 435},
    });
    for (int field = 0; field < kImportFields; ++field) {
        BuildControls({
            {K::Label, "Lbl_Ttl", SelectorLabel(field), ImportFieldName(field), SelectorLeft(field),
             SelectorTop(field), 1560, 375},
            {K::Combo, "Combo_Fld", field, QString(), SelectorLeft(field) + 1590, SelectorTop(field), 1935,
             375},
        });
    }
    BuildControls({
        {K::Check, "Check1", -1, QStringLiteral("長い項目は切り詰める"), 360, kOptionsTop, 3615, 375},
        {K::Label, "Lbl_Ttl", 15, QStringLiteral("見出しの行"), 4080, kOptionsTop, 1500, 375},
        {K::Combo, "Combo1", -1, QString(), 5640, kOptionsTop, 5715, 375},
        {K::Label, "Lbl_Dat", 1, QString(), 360, kCountsTop, 10995, 375},
        {K::Button, "Cmd", 1, QStringLiteral("取込実行"), 360, kButtonsTop, 1815, 555},
        {K::Button, "Cmd", 3, QStringLiteral("中止"), 2280, kButtonsTop, 1815, 555},
        {K::Button, "Cmd", 2, QStringLiteral("閉じる"), 9540, kButtonsTop, 1815, 555},
        {K::Label, "Lbl_Ttl", 11, QString(), 360, 7440, 10995, 375},
    });
    setWindowTitle(kCaption);
    setBoxTitle(kCaption);
    StyleRoleLabels();
    SetBordered(Lbl_Dat(0));
    Check1 = Control<QCheckBox>("Check1");
    Combo1 = Control<QComboBox>("Combo1");
    CollectArray(Combo_Fld, "Combo_Fld");
    for (int field = 0; field < kImportFields; ++field) {
        QLabel* caption = Lbl_Ttl(SelectorLabel(field));
        caption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        caption->setFont(ScreenFont(10));
        SetBackColor(caption, Colors::LightCyan);
        connect(Combo_Fld(field), &QComboBox::activated, this, [this, field] { Combo_Fld_Click(field); });
    }
    Lbl_Ttl(15)->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Lbl_Ttl(15)->setFont(ScreenFont(10));
    SetBackColor(Lbl_Ttl(15), Colors::LightCyan);
    Combo1->setFont(ScreenFont(10));
    // Six-digit counts fit on the line at the smaller size.
    Lbl_Dat(1)->setFont(ScreenFont(10));
    connect(Check1, &QCheckBox::clicked, this, [this] { Check1_Click(); });
    connect(Combo1, &QComboBox::activated, this, [this] { Combo1_Click(); });
    Cmd(3)->setEnabled(false);

    m_model = new ImportPreviewModel(this);
    Grd_Preview = new QTableView(this);
    Grd_Preview->setObjectName(QStringLiteral("Grd_Preview"));
    Grd_Preview->setGeometry(TwRect(360, kGridTop, 10995, kButtonsTop - 120 - kGridTop));
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

    // A new screen: it may grow with its window, the preview taking the room.
    setMinimumSize(size());
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    const auto anchor = [this](QWidget* w, bool wider, bool taller, bool right, bool down) {
        m_anchors.push_back({w, w->geometry(), wider, taller, right, down});
    };
    anchor(Lbl_Ttl(14), true, false, false, false);
    anchor(Lbl_Dat(0), true, false, false, false);
    anchor(Combo1, true, false, false, false);
    anchor(Lbl_Dat(1), true, false, false, false);
    anchor(Grd_Preview, true, true, false, false);
    anchor(Cmd(1), false, false, false, true);
    anchor(Cmd(3), false, false, false, true);
    anchor(Cmd(2), false, false, true, true);
    anchor(Lbl_Ttl(11), true, false, false, true);
}

void Frm025_Qel::resizeEvent(QResizeEvent* event)
{
    MainScreen::resizeEvent(event);
    const int dx = std::max(0, width() - minimumWidth());
    const int dy = std::max(0, height() - minimumHeight());
    for (const Anchor& a : m_anchors) {
        QRect r = a.rect;
        r.adjust(a.right ? dx : 0, a.down ? dy : 0, a.wider || a.right ? dx : 0, a.taller || a.down ? dy : 0);
        a.widget->setGeometry(r);
    }
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
        if (m_running) {
            CloseDuringStepProc();
            return;
        }
        if (m_model->import() && m_model->import()->counts().toStore > 0 &&
            Dialogs().question(kAsk, kUnstored) != DialogService::Answer::Yes)
            return;
        OpenScreen(Forms::Frm020_Qel);
        break;
    case 3:
        if (m_running) {
            m_stop = true;
            Lbl_Ttl(11)->setText(QStringLiteral("中止しています"));
        }
        break;
    default:
        break;
    }
}

std::vector<QWidget*> Frm025_Qel::HeldControls() const
{
    std::vector<QWidget*> held;
    for (QWidget* w : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (w->focusPolicy() != Qt::NoFocus && w != Cmd(2) && w != Cmd(3))
            held.push_back(w);
    }
    return held;
}

bool Frm025_Qel::StepRun(const QString& step, const QString& closeQuestion,
                         const std::function<void(const ImportProgress& progress)>& work)
{
    m_running = true;
    m_stop = false;
    m_closeQuestion = closeQuestion;
    Cmd(3)->setEnabled(true);
    int shown = -1;
    const bool done = GuardedRun(
        HeldControls(), Lbl_Ttl(11),
        [&](BusyRun& busy) {
            // The step's own controls go as soon as it ends, before a failure box is shown.
            const struct Ended
            {
                Frm025_Qel* form;
                ~Ended()
                {
                    form->Cmd(3)->setEnabled(false);
                    form->Lbl_Ttl(11)->clear();
                }
            } ended{this};
            busy.say(QStringLiteral("%1　0%").arg(step));
            work([&](int percent) {
                if (percent != shown && !m_stop) {
                    shown = percent;
                    Lbl_Ttl(11)->setText(QStringLiteral("%1　%2%").arg(step).arg(percent));
                }
                busy.paint();
                if (m_stop)
                    throw RunStopped();
            });
        },
        BusyRun::Kind::Stoppable);
    m_running = false;
    Cmd(3)->setEnabled(false);
    return done;
}

QString Frm025_Qel::CloseQuestion()
{
    // The preview that waits to be stored would be lost: the question of 閉じる itself.
    if (m_model->import() && m_model->import()->counts().toStore > 0)
        return kUnstored;
    return QStringLiteral("読込を中止して画面を閉じますか");
}

void Frm025_Qel::CloseDuringStepProc()
{
    if (Dialogs().question(kAsk, m_closeQuestion) != DialogService::Answer::Yes)
        return;
    m_stop = true;
    m_closeAfter = true;
    Lbl_Ttl(11)->setText(QStringLiteral("中止しています"));
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
    const bool read = StepRun(kReading, CloseQuestion(), [&](const ImportProgress& progress) {
        // Half the time goes to the file, half to the rows made ready.
        ImportSource source = ReadImportFile(path, [&](int percent) { progress(percent / 2); });
        const CustomerStore store;
        CustomerImport::Setting setting;
        setting.prefectures = store.prefectures().names;
        setting.defaultPrefecture = G().Todoufuken1;
        setting.stored = store.all();
        setting.reading = [](const QString& name) { return DictionaryReading(name); };
                                  import.emplace(std::move(source), std::move(setting),
                                                 [&](int percent) { progress(50 + percent / 2);
    });
    import->setCutLong(Check1->isChecked());
});
if (m_closeAfter) {
    OpenScreen(Forms::Frm020_Qel);
    return;
}
if (!read) {
    Lbl_Ttl(11)->setText(m_stop ? QStringLiteral("読込を中止しました") : QString());
    return;
}
Lbl_Ttl(11)->clear();
Lbl_Dat(0)->setText(ShownPath(path) + QStringLiteral("　") + import->source().kind);
const QStringList notices = import->notices();
m_model->setImport(std::move(import));
ColumnListProc();
Grd_Preview->scrollToTop();
if (!notices.isEmpty())
    Dialogs().information(kCaption, notices.join(QLatin1Char('\n')));
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
            const QStringList& headings = import->headings();
            for (int c = 0; c < headings.size(); ++c)
                combo->addItem(QStringLiteral("%1: %2").arg(c + 1).arg(headings.at(c).left(40)));
            combo->setCurrentIndex(import->columns()[field] + 1);
        }
        combo->setEnabled(import != nullptr);
    }
    Combo1->clear();
    if (import) {
        const std::vector<ImportSource::Line>& lines = import->source().lines;
        for (std::size_t r = 0; r < lines.size() && r < std::size_t(kHeadingChoices); ++r) {
            QStringList cells = lines[r].cells().mid(0, 8);
            cells.removeAll(QString());
            Combo1->addItem(QStringLiteral("%1 行目: %2")
                                .arg(lines[r].line)
                                .arg(cells.join(QStringLiteral("、")).left(60)));
        }
        Combo1->setCurrentIndex(import->headingRow());
    }
    Combo1->setEnabled(import != nullptr);
    m_filling = false;
    CountDispProc();
}

void Frm025_Qel::Combo_Fld_Click(int field)
{
    CustomerImport* import = m_model->import();
    if (m_filling || !import)
        return;
    ImportColumns columns = import->columns();
    const int column = Combo_Fld(field)->currentIndex() - 1;
    // One column of the file goes to one field: a mail column chosen for the address would fill
    // every address with mail addresses.
    if (const int other = import->fieldOf(column); other >= 0 && other != field) {
        Combo_Fld(field)->setCurrentIndex(columns[field] + 1);
        Lbl_Ttl(11)->setText(
            QStringLiteral("%1 列目は「%2」に選ばれています。一つの列は一つの欄にだけ取り込めます")
                .arg(column + 1)
                .arg(ImportFieldName(other)));
        return;
    }
    columns[field] = column;
    const bool done = StepRun(kReading, CloseQuestion(),
                              [&](const ImportProgress& progress) { import->setColumns(columns, progress); });
    if (m_closeAfter) {
        OpenScreen(Forms::Frm020_Qel);
        return;
    }
    Combo_Fld(field)->setCurrentIndex(import->columns()[field] + 1);
    Lbl_Ttl(11)->setText(done || !m_stop ? QString() : QStringLiteral("列の変更を取り消しました"));
    m_model->refresh();
}

void Frm025_Qel::Combo1_Click()
{
    CustomerImport* import = m_model->import();
    if (m_filling || !import || Combo1->currentIndex() == import->headingRow())
        return;
    const int row = Combo1->currentIndex();
    const bool done = StepRun(kReading, CloseQuestion(),
                              [&](const ImportProgress& progress) { import->setHeadingRow(row, progress); });
    if (m_closeAfter) {
        OpenScreen(Forms::Frm020_Qel);
        return;
    }
    Lbl_Ttl(11)->setText(done || !m_stop ? QString() : QStringLiteral("見出しの行の変更を取り消しました"));
    m_model->reset();
    ColumnListProc();
    Grd_Preview->scrollToTop();
}

void Frm025_Qel::Check1_Click()
{
    if (CustomerImport* import = m_model->import()) {
        Guarded([&] { import->setCutLong(Check1->isChecked()); });
        m_model->refresh();
    }
}

void Frm025_Qel::CountDispProc()
{
    const CustomerImport* import = m_model->import();
    Cmd(1)->setEnabled(import && import->counts().toStore > 0 && !m_running);
    if (!import) {
        Lbl_Dat(1)->clear();
        return;
    }
    const ImportCounts n = import->counts();
    QString counts = QStringLiteral("全 %1 行　取込 %2 件　重複 %3 件　エラー %4 件　読み要確認 %5 件")
                         .arg(n.rows)
                         .arg(n.toStore)
                         .arg(n.duplicates)
                         .arg(n.errors)
                         .arg(n.checkReading);
    if (n.checkPrefecture > 0)
        counts += QStringLiteral("　都道府県要確認 %1 件").arg(n.checkPrefecture);
    Lbl_Dat(1)->setText(counts);
    if (import->columns()[FieldName] < 0)
        Lbl_Ttl(11)->setText(kNoName);
    else if (Lbl_Ttl(11)->text() == kNoName)
        Lbl_Ttl(11)->clear();
}

bool Frm025_Qel::ImportChk()
{
    const CustomerImport* import = m_model->import();
    return FirstFailedCheck({
               {!import, QStringLiteral("取り込むファイルを選んでください"), Cmd(0)},
               {import && import->columns()[FieldName] < 0, kNoName, Combo_Fld(0)},
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
    const QString closeQuestion = QStringLiteral("取込を中止して画面を閉じますか\n顧客は登録しません");
    // The backup runs to its end (it leaves a whole backup or none); 中止 and 閉じる take effect
    // once it is done, before anything is stored.
    m_running = true;
    m_stop = false;
    m_closeQuestion = closeQuestion;
    Cmd(3)->setEnabled(true);
    const bool backedUp = ShowBackupRun(this, Lbl_Ttl(11), HeldControls());
    m_running = false;
    Cmd(3)->setEnabled(false);
    bool stored = false;
    std::vector<Customer> customers;
    if (backedUp && !m_stop) {
        customers = m_model->import()->accepted();
        stored = StepRun(QStringLiteral("登録中"), closeQuestion,
                         [&](const ImportProgress& progress) { CustomerStore().add(customers, progress); });
    }
    if (stored) {
        Lbl_Ttl(11)->setText(QStringLiteral("%1件登録しました").arg(customers.size()));
        Dialogs().information(QStringLiteral("取込完了"),
                              QStringLiteral("%1 件の顧客を登録しました。\n取り込まなかった行: %2 件")
                                  .arg(customers.size())
                                  .arg(skipped));
        m_model->setImport(std::nullopt);
        Lbl_Dat(0)->clear();
        ColumnListProc();
    } else if (backedUp || m_stop) {
        Lbl_Ttl(11)->setText(QStringLiteral("取込を中止しました。何も登録していません"));
    }
    if (m_closeAfter)
        OpenScreen(Forms::Frm020_Qel);
}

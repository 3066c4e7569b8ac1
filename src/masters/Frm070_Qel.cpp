#include "Frm070_Qel.h"

#include "MakerStore.h"
#include "ProductStore.h"

#include "core/Globals.h"
#include "core/TextRoutines.h"
#include "ui/FlexGrid.h"
#include "ui/InputBehaviour.h"
#include "ui/ReadingCapture.h"
#include "ui/Twips.h"

namespace {

const QString kForm = QStringLiteral("Frm070_Qel");
const QString kMenu = QStringLiteral("Frm010_Qel");
const QString kAsk = QStringLiteral("確認");

// Grid column of the price shown in price box 2 or 3.
int priceColumn(int box)
{
    return box + 1;
}

} // namespace

Amount PriceOf(const QString& text)
{
    QString digits = NumOnly(TrimBlank(text));
    // Leading zeros add no digit to the price.
    qsizetype zeros = 0;
    while (zeros < digits.size() && digits.at(zeros) == QLatin1Char('0'))
        ++zeros;
    digits.remove(0, zeros);
    if (digits.size() > 8)
        return kAmountCap;
    return AmountValue(digits);
}

Frm070_Qel::Frm070_Qel() : MainScreen(kForm)
{
    MSHFlexGrid1 = new FlexGrid(this);
    MSHFlexGrid1->setObjectName(QStringLiteral("MSHFlexGrid1"));
    MSHFlexGrid1->setGeometry(TwRect(480, 1200, 10755, 3960));

    using K = ControlSpec::Kind;
    BuildControls({
        {K::Label, "Lbl_Ttl", 14, QString(), 480, 240, 10755, 435},
        {K::Label, "Lbl_Ttl", 0, QString(), 480, 780, 1800, 375},
        {K::Label, "Lbl_Ttl", 1, QString(), 2280, 780, 4200, 375},
        {K::Frame, "Frame1", -1, QString(), 480, 5220, 10755, 1500},
        {K::Combo, "Combo1", -1, QString(), 830, 180, 4000, 375, "Frame1"},
        {K::Label, "Lbl_Ttl", 12, QString(), 6830, 120, 3600, 435, "Frame1"},
        {K::Text, "Txt_Inp", 0, QString(), 830, 630, 6000, 375, "Frame1"},
        {K::Text, "Txt_Inp", 2, QString(), 6830, 630, 1800, 375, "Frame1"},
        {K::Text, "Txt_Inp", 3, QString(), 8630, 630, 1800, 375, "Frame1"},
        {K::Text, "Txt_Inp", 1, QString(), 830, 1050, 6000, 375, "Frame1"},
        {K::Text, "Txt_Inp", 4, QString(), 480, 6840, 1000, 375},
        {K::Button, "Cmd", 0, QStringLiteral("新規登録"), 480, 6840, 1815, 555},
        {K::Button, "Cmd", 1, QStringLiteral("修正登録"), 2520, 6840, 1815, 555},
        {K::Button, "Cmd", 2, QStringLiteral("削除"), 4560, 6840, 1815, 555},
        {K::Button, "Cmd", 3, QStringLiteral("閉じる"), 9420, 6840, 1815, 555},
        {K::Label, "Lbl_Ttl", 11, QString(), 480, 7560, 10755, 375},
    });
    Frame1 = Control<QGroupBox>("Frame1");
    Combo1 = Control<QComboBox>("Combo1");

    Lbl_Ttl(14)->setAlignment(Qt::AlignCenter);
    Lbl_Ttl(14)->setFont(ScreenFont(18));
    SetBordered(Lbl_Ttl(14));
    SetBackColor(Lbl_Ttl(14), Colors::LightCyan);
    for (int i : {0, 1}) {
        Lbl_Ttl(i)->setAlignment(Qt::AlignCenter);
        SetBordered(Lbl_Ttl(i));
    }
    SetBackColor(Lbl_Ttl(0), Colors::LightYellow);
    SetBackColor(Lbl_Ttl(1), Colors::LightBlue);
    SetBackColor(Lbl_Ttl(11), Colors::LightRed);
    Lbl_Ttl(12)->setAlignment(Qt::AlignCenter);
    Lbl_Ttl(12)->setFont(ScreenFont(18));
    SetBackColor(Lbl_Ttl(12), Colors::LightRed);
    Lbl_Ttl(12)->hide();

    Txt_Inp(0)->setMaxLength(20);
    Txt_Inp(1)->setMaxLength(40);
    SetImeMode(Txt_Inp(0), ImeHiragana);
    SetImeMode(Txt_Inp(1), ImeHalfKatakana);
    for (int i : {2, 3}) {
        Txt_Inp(i)->setMaxLength(11);
        Txt_Inp(i)->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        SetImeMode(Txt_Inp(i), ImeOff);
    }
    SetImeMode(Txt_Inp(4), ImeOff);
    Txt_Inp(4)->setFocusPolicy(Qt::ClickFocus);
    for (int i = 0; i <= 2; ++i)
        Cmd(i)->setEnabled(false);
    setTabOrder(MSHFlexGrid1, Combo1);
    setTabOrder(Combo1, Txt_Inp(0));
    setTabOrder(Txt_Inp(0), Txt_Inp(1));
    setTabOrder(Txt_Inp(1), Txt_Inp(2));
    setTabOrder(Txt_Inp(2), Txt_Inp(3));
    setTabOrder(Txt_Inp(3), Cmd(0));

    m_input = new InputBehaviour(this);
    m_input->selectAllOnFocus({Txt_Inp(0), Txt_Inp(1), Txt_Inp(2), Txt_Inp(3)});
    m_input->setEnterOrder({
        {Txt_Inp(0), {Txt_Inp(1)}},
        {Txt_Inp(1), {Txt_Inp(2)}},
        {Txt_Inp(2), {Txt_Inp(3)}},
        {Txt_Inp(3), {Combo1}},
        {Combo1, {Txt_Inp(0)}},
    });
    m_input->swallowEnter(Txt_Inp(4));
    for (int i = 0; i <= 4; ++i) {
        connect(Txt_Inp(i), &QLineEdit::textChanged, this, [this, i] { Txt_Inp_Change(i); });
        m_input->onFocusIn(Txt_Inp(i), [this, i] { Txt_Inp_GotFocus(i); });
        m_input->onFocusOut(Txt_Inp(i), [this, i] { Txt_Inp_LostFocus(i); });
    }
    for (int i = 0; i <= 3; ++i)
        connect(Cmd(i), &QPushButton::clicked, this, [this, i] { Cmd_Click(i); });
    connect(Combo1, &QComboBox::activated, this, &Frm070_Qel::Combo1_Click);

    MSHFlexGrid1->setSelectionColumns(1, 4);
    connect(MSHFlexGrid1, &FlexGrid::gridClicked, this, &Frm070_Qel::MSHFlexGrid1_Click);
    connect(MSHFlexGrid1, &FlexGrid::gridDoubleClicked, this, &Frm070_Qel::MSHFlexGrid1_DblClick);
    connect(MSHFlexGrid1, &FlexGrid::enterPressed, this, &Frm070_Qel::MSHFlexGrid1_KeyDown);
    connect(MSHFlexGrid1, &FlexGrid::rowColChanged, this, &Frm070_Qel::MSHFlexGrid1_RowColChange);
}

void Frm070_Qel::LoadProc()
{
    LastMakerIndex = -1;
    MakerListProc();
    GridInitProc();
    const QString caption = G().Syouhin + QStringLiteral("名一覧");
    setWindowTitle(caption);
    Lbl_Ttl(14)->setText(caption);
    Lbl_Ttl(0)->setText(G().Maker + QStringLiteral("名"));
    Txt_Inp(4)->move(Txt_Inp(4)->x(), Tw(-1000));
    ShowScreen();
}

void Frm070_Qel::MakerListProc()
{
    std::vector<MakerRow> makers;
    Guarded([&] { makers = MakerStore::all(); });
    Combo1->clear();
    MakerReadings.clear();
    for (const MakerRow& m : makers) {
        Combo1->addItem(m.name);
        MakerReadings << m.reading;
    }
    Combo1->setCurrentIndex(-1);
}

void Frm070_Qel::GridInitProc()
{
    FlexGrid* grid = MSHFlexGrid1;
    grid->setRedraw(false);
    grid->setCols(8);
    const int widths[] = {800, 0, 6000, 1800, 1800, 0, 0, 0};
    for (int c = 0; c < 8; ++c)
        grid->setColWidth(c, widths[c]);
    grid->clear();
    for (int c = 1; c <= 4; ++c)
        grid->setCellAlignment(0, c, Qt::AlignCenter);
    grid->setTextMatrix(0, 2, G().Syouhin + QStringLiteral("名"));
    grid->setTextMatrix(0, 3, QStringLiteral("定価"));
    grid->setTextMatrix(0, 4, QStringLiteral("売価"));

    GridFillProc();

    AppGlobals& g = G();
    const int last = grid->rows() - 1;
    if (g.CallerForm == kMenu) {
        g.ProductTopRow = 1;
        g.ProductRowSel = 1;
    }
    g.ProductTopRow = std::clamp(g.ProductTopRow, 1, last);
    g.ProductRowSel = std::clamp(g.ProductRowSel, 1, last);
    if (LastCmd == 1 || LastCmd == 2) {
        const QString name = TrimBlank(Txt_Inp(0)->text());
        const QString maker = TrimBlank(Combo1->currentText());
        for (int r = 1; r <= last; ++r) {
            if (TrimBlank(grid->textMatrix(r, 2)) == name && TrimBlank(grid->textMatrix(r, 6)) == maker) {
                g.ProductTopRow = r;
                g.ProductRowSel = r;
                break;
            }
        }
    }
    grid->setRedraw(true);
    grid->setTopRow(g.ProductTopRow);
    RowDispProc(g.ProductRowSel);
    grid->setRow(g.ProductRowSel);
    grid->setCol(1);
}

void Frm070_Qel::GridFillProc()
{
    FlexGrid* grid = MSHFlexGrid1;
    std::vector<ProductRow> products;
    Guarded([&] { products = ProductStore::all(); });
    if (products.empty()) {
        grid->setRows(2);
        for (int i = 0; i <= 2; ++i)
            Cmd(i)->setEnabled(false);
        return;
    }
    Cmd(0)->setEnabled(false);
    Cmd(1)->setEnabled(false);
    Cmd(2)->setEnabled(true);
    const int count = static_cast<int>(products.size());
    grid->setRows(count + 1);
    grid->setColAlignment(3, Qt::AlignRight | Qt::AlignVCenter);
    grid->setColAlignment(4, Qt::AlignRight | Qt::AlignVCenter);
    for (int i = 1; i <= count; ++i) {
        const ProductRow& p = products[static_cast<size_t>(i - 1)];
        grid->setTextMatrix(i, 0, QString::number(i));
        grid->setCellAlignment(i, 0, Qt::AlignRight | Qt::AlignVCenter);
        grid->setTextMatrix(i, 1, QString::number(p.key));
        grid->setTextMatrix(i, 2, TrimBlank(p.name));
        grid->setTextMatrix(i, 3, YenText(p.listPrice));
        grid->setTextMatrix(i, 4, YenText(p.sellPrice));
        grid->setTextMatrix(i, 5, TrimBlank(p.reading));
        grid->setTextMatrix(i, 6, TrimBlank(p.maker));
        grid->setTextMatrix(i, 7, TrimBlank(p.makerReading));
    }
}

void Frm070_Qel::RowDispProc(int row)
{
    const FlexGrid* grid = MSHFlexGrid1;
    const QString maker = grid->textMatrix(row, 6);
    Lbl_Ttl(1)->setText(maker);
    int found = -1;
    for (int i = 0; i < Combo1->count(); ++i) {
        if (Combo1->itemText(i) == maker) {
            found = i;
            break;
        }
    }
    Combo1->setCurrentIndex(found);
    LastMakerIndex = static_cast<std::int16_t>(found);
    Txt_Inp(0)->setText(grid->textMatrix(row, 2));
    Txt_Inp(1)->setText(grid->textMatrix(row, 5));
    Txt_Inp(2)->setText(grid->textMatrix(row, 3));
    Txt_Inp(3)->setText(grid->textMatrix(row, 4));
    Txt_Inp(4)->setText(grid->textMatrix(row, 1));
    G().ProductKey = grid->textMatrix(row, 1).toInt();
    Cmd(0)->setEnabled(false);
    Cmd(1)->setEnabled(false);
}

void Frm070_Qel::MSHFlexGrid1_RowColChange()
{
    RowDispProc(MSHFlexGrid1->row());
}

void Frm070_Qel::MSHFlexGrid1_Click()
{
    Cmd(0)->setEnabled(false);
    Cmd(1)->setEnabled(false);
}

void Frm070_Qel::MSHFlexGrid1_DblClick()
{
    Cmd(0)->setEnabled(false);
    Cmd(1)->setEnabled(false);
    Combo1->setFocus(Qt::OtherFocusReason);
}

void Frm070_Qel::MSHFlexGrid1_KeyDown()
{
    Combo1->setFocus(Qt::OtherFocusReason);
}

void Frm070_Qel::Combo1_Click(int index)
{
    if (index != LastMakerIndex) {
        Cmd(0)->setEnabled(true);
        if (!MSHFlexGrid1->textMatrix(G().ProductRowSel, 1).isEmpty())
            Cmd(1)->setEnabled(true);
    }
    LastMakerIndex = static_cast<std::int16_t>(index);
}

void Frm070_Qel::EditedProc()
{
    Cmd(0)->setEnabled(true);
    if (!TrimBlank(Txt_Inp(4)->text()).isEmpty())
        Cmd(1)->setEnabled(true);
}

void Frm070_Qel::Txt_Inp_Change(int index)
{
    switch (index) {
    case 0:
    case 1:
        EditedProc();
        if (index == 0 && Txt_Inp(0)->text().isEmpty())
            Txt_Inp(1)->clear();
        break;
    case 2:
    case 3: {
        const Amount shown = AmountValue(MSHFlexGrid1->textMatrix(MSHFlexGrid1->row(), priceColumn(index)));
        if (EntryPrices[static_cast<size_t>(index - 2)] != shown)
            EditedProc();
        break;
    }
    default:
        break;
    }
}

void Frm070_Qel::Txt_Inp_GotFocus(int index)
{
    switch (index) {
    case 0:
        StartReadingCapture(Txt_Inp(0));
        break;
    case 2:
    case 3: {
        QLineEdit* box = Txt_Inp(index);
        const QString digits = NumOnly(TrimBlank(box->text()));
        EntryPrices[static_cast<size_t>(index - 2)] = AmountValue(digits);
        box->setText(digits);
        box->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        SelectWhole(box);
        break;
    }
    default:
        break;
    }
}

void Frm070_Qel::Txt_Inp_LostFocus(int index)
{
    if (index == 0) {
        StopReadingCapture();
        SetImeMode(Txt_Inp(1), ImeHalfKatakana);
        const QString reading = ReadingText();
        if (!reading.isEmpty())
            Txt_Inp(1)->setText(Txt_Inp(1)->text() + reading);
        return;
    }
    if (index != 2 && index != 3)
        return;
    // PriceOf holds the eight-digit rule: more digits stand for 99,999,999.
    const int row = MSHFlexGrid1->row();
    for (int box : {2, 3}) {
        if (PriceOf(Txt_Inp(box)->text()) != AmountValue(MSHFlexGrid1->textMatrix(row, priceColumn(box)))) {
            EditedProc();
            break;
        }
    }
    // The box shows the price that will be stored, whatever separators or signs were typed.
    QLineEdit* box = Txt_Inp(index);
    box->setText(YenText(PriceOf(box->text())));
    box->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
}

int Frm070_Qel::InputChk()
{
    Lbl_Ttl(11)->clear();
    const auto fail = [this](const QString& message, QWidget* target, int number) {
        Lbl_Ttl(11)->setText(message);
        ParkFocus(Txt_Inp(4), target);
        return number;
    };
    if (Combo1->currentIndex() < 0)
        return fail(G().Maker + QStringLiteral("名を設定してください"), Combo1, 1);
    if (TrimBlank(Txt_Inp(0)->text()).isEmpty())
        return fail(G().Syouhin + QStringLiteral("名を入力してください"), Txt_Inp(0), 2);
    if (TrimBlank(Txt_Inp(1)->text()).isEmpty())
        return fail(QStringLiteral("フリガナを入力してください"), Txt_Inp(1), 3);
    if (PriceOf(Txt_Inp(2)->text()) == 0)
        return fail(QStringLiteral("定価を入力してください"), Txt_Inp(2), 4);
    if (PriceOf(Txt_Inp(3)->text()) == 0)
        return fail(QStringLiteral("売価を入力してください"), Txt_Inp(3), 5);
    return 0;
}

void Frm070_Qel::RememberPositionProc()
{
    G().CallerForm = kForm;
    G().ProductTopRow = MSHFlexGrid1->topRow();
    G().ProductRowSel = MSHFlexGrid1->row();
}

void Frm070_Qel::NoticeProc(const QString& caption)
{
    Lbl_Ttl(12)->setText(caption);
    FlashNotice({Lbl_Ttl(12)}, {Cmd(0), Cmd(1), Cmd(2)});
    Cmd(0)->setEnabled(false);
    Cmd(1)->setEnabled(false);
}

namespace {

ProductRow productOf(const QComboBox* combo, const QStringList& readings, const QLineEdit* name,
                     const QLineEdit* reading, const QLineEdit* listPrice, const QLineEdit* sellPrice)
{
    ProductRow p;
    p.makerReading = readings.value(combo->currentIndex());
    p.maker = TrimBlank(combo->currentText());
    p.name = TrimBlank(name->text());
    p.reading = TrimBlank(reading->text());
    p.listPrice = PriceOf(listPrice->text());
    p.sellPrice = PriceOf(sellPrice->text());
    return p;
}

} // namespace

bool Frm070_Qel::AddProc()
{
    const ProductRow p = productOf(Combo1, MakerReadings, Txt_Inp(0), Txt_Inp(1), Txt_Inp(2), Txt_Inp(3));
    return Guarded([&] { ProductStore::add(p); });
}

bool Frm070_Qel::UpdateProc(bool& found)
{
    found = false;
    const ProductRow p = productOf(Combo1, MakerReadings, Txt_Inp(0), Txt_Inp(1), Txt_Inp(2), Txt_Inp(3));
    return Guarded([&] { found = ProductStore::update(G().ProductKey, p); });
}

bool Frm070_Qel::DeleteProc()
{
    const int row = MSHFlexGrid1->row();
    const QString number = MSHFlexGrid1->textMatrix(row, 0);
    const QString name = MSHFlexGrid1->textMatrix(row, 2);
    const int key = MSHFlexGrid1->textMatrix(row, 1).toInt();
    const QString question = QStringLiteral("No.") + number + QStringLiteral(" ") + G().Syouhin +
                             QStringLiteral("名：") + name +
                             QStringLiteral(" の\n情報を削除してもよろしいですか");
    if (Dialogs().question(kAsk, question) != DialogService::Answer::Yes)
        return false;
    bool deleted = false;
    Guarded([&] { deleted = ProductStore::remove(key); });
    return deleted;
}

void Frm070_Qel::Cmd_Click(int index)
{
    switch (index) {
    case 0:
        LastCmd = 1;
        if (InputChk() != 0)
            return;
        RememberPositionProc();
        if (!AddProc())
            return;
        NoticeProc(QStringLiteral("登録完了"));
        GridInitProc();
        MSHFlexGrid1->setFocus(Qt::OtherFocusReason);
        break;
    case 1: {
        LastCmd = 2;
        if (InputChk() != 0)
            return;
        const QString question =
            QStringLiteral("修正前の") + G().Syouhin +
            QStringLiteral("情報で、すでにに売上情報が登録されている場合\n売上入力等で") + G().Syouhin +
            QStringLiteral("情報が設定できなくなる可能性があります\n\n修正登録を行いますか");
        if (Dialogs().question(kAsk, question) != DialogService::Answer::Yes)
            return;
        RememberPositionProc();
        bool found = false;
        if (!UpdateProc(found))
            return;
        if (found) {
            NoticeProc(QStringLiteral("修正完了"));
        } else {
            Dialogs().warning(formName(),
                              QStringLiteral("修正する") + G().Syouhin +
                                  QStringLiteral("情報が見つかりませんでした。\n一覧を読み直します。"));
        }
        GridInitProc();
        MSHFlexGrid1->setFocus(Qt::OtherFocusReason);
        break;
    }
    case 2: {
        LastCmd = 3;
        const bool deleted = DeleteProc();
        RememberPositionProc();
        if (deleted)
            NoticeProc(QStringLiteral("削除完了"));
        GridInitProc();
        MSHFlexGrid1->setFocus(Qt::OtherFocusReason);
        break;
    }
    case 3:
        LastCmd = 4;
        if (Cmd(1)->isEnabled() &&
            Dialogs().question(kAsk, QStringLiteral("未登録です。\n修正登録せずに画面を閉じますか")) !=
                DialogService::Answer::Yes)
            return;
        OpenScreen(kMenu);
        break;
    default:
        break;
    }
}

// The two workbooks of the shop at their large sizes, written by the production writers from
// rows in memory, side by side with libxlsxwriter writing the same cells, borders and headers
// from scratch in its constant-memory mode. After the runs the medians and ratios are printed.
//   bench_sheets                              the comparison and the peak RSS of each writer
//                                             (Google Benchmark options apply)
//   bench_sheets --peak-rss customers N FILE  one customer list of N customers into FILE
//   bench_sheets --peak-rss sales N FILE      one sales detail of N sales into FILE
//   bench_sheets --peak-rss xlsx-customers|xlsx-sales N FILE   the same through libxlsxwriter
// (each --peak-rss run prints the peak RSS of the process).
#include "sheets/CustomerListSheet.h"
#include "sheets/SalesDetailSheet.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <xlsxwriter.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr int kCustomers = 10000;
constexpr int kSales = 100000;

std::vector<CustomerListRow> makeCustomers(int count)
{
    static const char16_t* const family[] = {u"山田", u"佐藤", u"鈴木", u"高橋",
                                             u"田中", u"渡辺", u"伊藤", u"中村"};
    static const char16_t* const given[] = {u"太郎", u"花子", u"一郎", u"美咲",
                                            u"健太", u"由美", u"翔",   u"愛"};
    static const char16_t* const readings[] = {u"ﾔﾏﾀﾞ ﾀﾛｳ", u"ｻﾄｳ ﾊﾅｺ", u"ｽｽﾞｷ ｲﾁﾛｳ", u"ﾀｶﾊｼ ﾐｻｷ"};
    std::vector<CustomerListRow> out;
    out.reserve(count);
    for (int i = 0; i < count; ++i) {
        CustomerListRow c;
        c.reading = QString::fromUtf16(readings[i % 4]) + QString::number(i);
        c.postalCode = QStringLiteral("%1-%2").arg(100 + i % 900).arg(i % 10000, 4, 10, QLatin1Char('0'));
        c.mobile = QStringLiteral("090-%1-%2")
                       .arg(i % 10000, 4, 10, QLatin1Char('0'))
                       .arg((i * 7) % 10000, 4, 10, QLatin1Char('0'));
        c.name = QString::fromUtf16(family[i % 8]) + QChar(0x3000) + QString::fromUtf16(given[(i / 8) % 8]);
        c.prefecture = QStringLiteral("東京都");
        c.city = QStringLiteral("千代田区丸の内%1丁目%2番地").arg(i % 9 + 1).arg(i % 30 + 1);
        c.phone = QStringLiteral("03-%1-%2")
                      .arg(i % 10000, 4, 10, QLatin1Char('0'))
                      .arg((i * 3) % 10000, 4, 10, QLatin1Char('0'));
        c.remarks = QStringLiteral("お得意様・年二回来店紹介者あり");
        c.mail = QStringLiteral("customer%1@example.jp").arg(i);
        c.building = QStringLiteral("丸の内ビルディング%1階").arg(i % 40 + 1);
        c.fax = QStringLiteral("03-%1-9999").arg(i % 10000, 4, 10, QLatin1Char('0'));
        out.push_back(c);
    }
    return out;
}

std::vector<SalesDetailRow> makeSales(int count)
{
    static const char16_t* const makers[] = {u"ルナ・ブランシュ", u"ベルテ", u"カサ・ロッサ", u"ノルド"};
    static const char16_t* const products[] = {u"ショルダーバッグ", u"長財布", u"キーケース", u"トート"};
    static const char16_t* const buyers[] = {u"山田　太郎", u"佐藤　花子", u"鈴木　一郎", u"高橋　美咲"};
    std::vector<SalesDetailRow> out;
    out.reserve(count);
    const QDate start(2015, 1, 1);
    for (int i = 0; i < count; ++i) {
        SalesDetailRow s;
        s.date = start.addDays(i / 30).toString(QStringLiteral("yyyyMMdd"));
        s.maker = QString::fromUtf16(makers[i % 4]);
        s.product = QString::fromUtf16(products[(i / 4) % 4]);
        s.buyer = QString::fromUtf16(buyers[(i / 16) % 4]);
        s.remarks = i % 3 ? QString() : QStringLiteral("贈答用");
        s.sellingPrice = 10000 + (i % 500) * 100;
        s.listPrice = s.sellingPrice + 5000;
        s.quantity = 1 + i % 3;
        s.total = s.sellingPrice * s.quantity;
        out.push_back(s);
    }
    return out;
}

const std::vector<CustomerListRow>& customers()
{
    static const std::vector<CustomerListRow> list = makeCustomers(kCustomers);
    return list;
}

const std::vector<SalesDetailRow>& sales()
{
    static const std::vector<SalesDetailRow> list = makeSales(kSales);
    return list;
}

SalesDetailTexts salesTexts()
{
    SalesDetailTexts t;
    t.makerHeading = QStringLiteral("メーカー名");
    t.productHeading = QStringLiteral("商品名");
    t.centerHeader = QStringLiteral("期間指定　売上明細");
    t.rightHeader = PeriodHeaderText(QStringLiteral("201501"), QStringLiteral("202412"), true);
    t.sheetName = QStringLiteral("期間指定売上明細");
    t.eraDates = true;
    return t;
}

// What the screen does with a progress report, short of the repaint itself.
QString g_status;
void statusLine(std::int64_t done, std::int64_t total)
{
    g_status =
        QString::number(done) + QStringLiteral("件/") + QString::number(total) + QStringLiteral("件を処理中");
}

enum class Progress { None, Paced, EveryBlock };

void writeCustomerList(const std::vector<CustomerListRow>& list, const QString& target, Progress progress)
{
    CustomerListSheet sheet(QStringLiteral(QEL_APP_DIR "/") + CustomerListSheet::kTemplateFile, target);
    sheet.open();
    sheet.writePageSetup();
    if (progress == Progress::EveryBlock)
        sheet.setProgressInterval(std::chrono::milliseconds(0));
    if (progress == Progress::None)
        sheet.writeRows(list);
    else
        sheet.writeRows(list, statusLine);
    sheet.scrollToTop();
    sheet.save();
}

void writeSalesDetail(const std::vector<SalesDetailRow>& list, const QString& target)
{
    SalesDetailSheet sheet(QStringLiteral(QEL_APP_DIR "/") + SalesDetailSheet::kTemplateFile, target,
                           salesTexts());
    sheet.open(std::int64_t(list.size()));
    sheet.writePageSetup();
    sheet.writeRows(list, statusLine);
    sheet.scrollToTop();
    sheet.save();
}

lxw_format* borderFormat(lxw_workbook* wb, bool bottom, const char* numberFormat = nullptr)
{
    lxw_format* f = workbook_add_format(wb);
    format_set_font_name(f, "ＭＳ ゴシック");
    format_set_font_size(f, 10);
    format_set_left(f, LXW_BORDER_THIN);
    format_set_right(f, LXW_BORDER_THIN);
    if (bottom)
        format_set_bottom(f, LXW_BORDER_THIN);
    if (numberFormat)
        format_set_num_format(f, numberFormat);
    return f;
}

lxw_workbook* constantMemoryWorkbook(const std::string& target)
{
    lxw_workbook_options options = {};
    options.constant_memory = LXW_TRUE;
    return workbook_new_opt(target.c_str(), &options);
}

void xlsxCustomerList(const std::vector<CustomerListRow>& list, const std::string& target)
{
    lxw_workbook* wb = constantMemoryWorkbook(target);
    lxw_worksheet* ws = workbook_add_worksheet(wb, "顧客一覧");
    lxw_format* middle = borderFormat(wb, false);
    lxw_format* last = borderFormat(wb, true);
    worksheet_set_header(ws, "&C顧客一覧");
    worksheet_repeat_rows(ws, 0, 2);
    worksheet_write_string(ws, 0, 0, "顧客一覧", nullptr);
    int i = 0;
    for (const CustomerListRow& c : list) {
        ++i;
        const RemarkLines remarks = SplitRemarks(c.remarks);
        const QString postal = QStringLiteral("〒") + c.postalCode;
        const lxw_row_t r = 3 * i; // 0-based first row of the block
        const QString* cells[3][6] = {{nullptr, &c.reading, &postal, nullptr, &c.mobile, nullptr},
                                      {nullptr, &c.name, &c.prefecture, &c.city, &c.phone, &remarks.first},
                                      {nullptr, &c.mail, nullptr, &c.building, &c.fax, &remarks.second}};
        for (int k = 0; k < 3; ++k) {
            lxw_format* f = k == 2 ? last : middle;
            for (int col = 0; col < 6; ++col) {
                if (k == 0 && col == 0)
                    worksheet_write_number(ws, r + k, col, i, f);
                else if (cells[k][col] && !cells[k][col]->isEmpty())
                    worksheet_write_string(ws, r + k, col, cells[k][col]->toUtf8().constData(), f);
                else
                    worksheet_write_blank(ws, r + k, col, f);
            }
        }
    }
    workbook_close(wb);
}

void xlsxSalesDetail(const std::vector<SalesDetailRow>& list, const std::string& target)
{
    const SalesDetailTexts texts = salesTexts();
    lxw_workbook* wb = constantMemoryWorkbook(target);
    lxw_worksheet* ws = workbook_add_worksheet(wb, texts.sheetName.toUtf8().constData());
    lxw_format* middle = borderFormat(wb, false);
    lxw_format* last = borderFormat(wb, true);
    lxw_format* dateFormat = borderFormat(wb, false, "[$-411]ge.m.d");
    lxw_format* money = borderFormat(wb, false, "\"¥\"#,##0");
    lxw_format* moneyLast = borderFormat(wb, true, "\"¥\"#,##0");
    const std::string header =
        "&C" + texts.centerHeader.toStdString() + "&R" + texts.rightHeader.toStdString();
    worksheet_set_header(ws, header.c_str());
    worksheet_repeat_rows(ws, 0, 1);
    worksheet_write_string(ws, 0, 2, texts.makerHeading.toUtf8().constData(), nullptr);
    worksheet_write_string(ws, 1, 2, texts.productHeading.toUtf8().constData(), nullptr);
    const QDate epoch(1899, 12, 30);
    std::int64_t i = 0, grandTotal = 0;
    auto text = [&](lxw_row_t row, lxw_col_t col, const QString& value, lxw_format* f) {
        if (value.isEmpty())
            worksheet_write_blank(ws, row, col, f);
        else
            worksheet_write_string(ws, row, col, value.toUtf8().constData(), f);
    };
    for (const SalesDetailRow& s : list) {
        ++i;
        const lxw_row_t r = lxw_row_t(2 * i); // 0-based first row of the block
        const QDate date(s.date.left(4).toInt(), s.date.mid(4, 2).toInt(), s.date.mid(6, 2).toInt());
        worksheet_write_number(ws, r, 0, double(i), middle);
        worksheet_write_number(ws, r, 1, double(epoch.daysTo(date)), dateFormat);
        text(r, 2, s.maker, middle);
        text(r, 3, s.buyer, middle);
        worksheet_write_number(ws, r, 4, double(s.sellingPrice), money);
        worksheet_write_number(ws, r, 5, double(s.quantity), middle);
        worksheet_write_number(ws, r, 6, double(s.total), money);
        worksheet_write_blank(ws, r + 1, 0, last);
        worksheet_write_blank(ws, r + 1, 1, last);
        text(r + 1, 2, s.product, last);
        text(r + 1, 3, s.remarks, last);
        worksheet_write_number(ws, r + 1, 4, double(s.listPrice), moneyLast);
        worksheet_write_blank(ws, r + 1, 5, last);
        worksheet_write_blank(ws, r + 1, 6, last);
        grandTotal += s.total;
    }
    const lxw_row_t t = lxw_row_t(2 * i + 2);
    worksheet_write_string(ws, t, 5, "売価総合計", last);
    worksheet_write_number(ws, t, 6, double(grandTotal), moneyLast);
    workbook_close(wb);
}

void BM_CustomerListWriter(benchmark::State& state)
{
    const auto& list = customers();
    const auto progress = Progress(state.range(0));
    QTemporaryDir dir;
    for (auto _ : state)
        writeCustomerList(list, dir.filePath(CustomerListSheet::kFileName), progress);
    state.counters["rows"] = 3.0 * list.size();
}
BENCHMARK(BM_CustomerListWriter)
    ->ArgName("progress")
    ->Arg(int(Progress::None))
    ->Arg(int(Progress::Paced))
    ->Arg(int(Progress::EveryBlock))
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

void BM_CustomerListXlsxwriter(benchmark::State& state)
{
    const auto& list = customers();
    QTemporaryDir dir;
    const std::string target = dir.filePath(QStringLiteral("scratch.xlsx")).toStdString();
    for (auto _ : state)
        xlsxCustomerList(list, target);
    state.counters["rows"] = 3.0 * list.size();
}
BENCHMARK(BM_CustomerListXlsxwriter)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

void BM_SalesDetailWriter(benchmark::State& state)
{
    const auto& list = sales();
    QTemporaryDir dir;
    for (auto _ : state)
        writeSalesDetail(list, dir.filePath(QStringLiteral("期間指定売上明細.xlsx")));
    state.counters["rows"] = 2.0 * list.size();
}
BENCHMARK(BM_SalesDetailWriter)->Unit(benchmark::kMillisecond)->Repetitions(3)->ReportAggregatesOnly(true);

void BM_SalesDetailXlsxwriter(benchmark::State& state)
{
    const auto& list = sales();
    QTemporaryDir dir;
    const std::string target = dir.filePath(QStringLiteral("scratch.xlsx")).toStdString();
    for (auto _ : state)
        xlsxSalesDetail(list, target);
    state.counters["rows"] = 2.0 * list.size();
}
BENCHMARK(BM_SalesDetailXlsxwriter)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

// Keeps the medians (wall and CPU time) for the closing lines.
class MedianReporter : public benchmark::ConsoleReporter
{
  public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
                const std::string name =
                    run.run_name.function_name + (run.run_name.args.empty() ? "" : "/" + run.run_name.args);
                wall[name] = run.GetAdjustedRealTime();
                cpu[name] = run.GetAdjustedCPUTime();
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> wall, cpu;
};

int peakRss(const char* what, int count, const QString& file)
{
    const std::string kind = what;
    if (kind == "customers")
        writeCustomerList(makeCustomers(count), file, Progress::Paced);
    else if (kind == "sales")
        writeSalesDetail(makeSales(count), file);
    else if (kind == "xlsx-customers")
        xlsxCustomerList(makeCustomers(count), file.toStdString());
    else if (kind == "xlsx-sales")
        xlsxSalesDetail(makeSales(count), file.toStdString());
    else
        return 2;
    // VmHWM, not getrusage(): the latter keeps the high-water mark of the parent across exec.
    QFile status(QStringLiteral("/proc/self/status"));
    status.open(QIODevice::ReadOnly);
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            std::printf("%s %d: peak RSS %.1f MiB\n", what, count,
                        line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0);
    }
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc == 5 && std::strcmp(argv[1], "--peak-rss") == 0)
        return peakRss(argv[2], std::atoi(argv[3]), QString::fromLocal8Bit(argv[4]));
    benchmark::Initialize(&argc, argv);
    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    auto& w = reporter.wall;
    auto& c = reporter.cpu;
    const std::string plain = "BM_CustomerListWriter/progress:0", paced = "BM_CustomerListWriter/progress:1",
                      every = "BM_CustomerListWriter/progress:2", xlsxCustomers = "BM_CustomerListXlsxwriter",
                      salesWriter = "BM_SalesDetailWriter", xlsxSales = "BM_SalesDetailXlsxwriter";
    auto extra = [&](const std::string& with) { return 100.0 * (c[with] - c[plain]) / c[plain]; };
    // The targets: the writer at least 0.8 times as fast as libxlsxwriter (ratio = its time / ours);
    // the progress line at most 10% more.
    if (w[plain] > 0 && w[xlsxCustomers] > 0)
        std::printf(
            "customer list, %d customers: writer %.1f ms (cpu %.1f), with its progress %.1f ms (cpu %+.1f%%; "
            "reported after every block %+.1f%%), libxlsxwriter %.1f ms (cpu %.1f); speed ratio %.2f wall, "
            "%.2f cpu (target >= 0.80; progress <= +10%%)\n",
            kCustomers, w[plain], c[plain], w[paced], extra(paced), extra(every), w[xlsxCustomers],
            c[xlsxCustomers], w[xlsxCustomers] / w[plain], c[xlsxCustomers] / c[plain]);
    if (w[salesWriter] > 0 && w[xlsxSales] > 0)
        std::printf("sales detail, %d sales: writer %.1f ms (cpu %.1f), libxlsxwriter %.1f ms (cpu %.1f); "
                    "speed ratio %.2f wall, %.2f cpu (target >= 0.80)\n",
                    kSales, w[salesWriter], c[salesWriter], w[xlsxSales], c[xlsxSales],
                    w[xlsxSales] / w[salesWriter], c[xlsxSales] / c[salesWriter]);
    // Peak memory, each writer in a process of its own.
    QTemporaryDir dir;
    const std::pair<const char*, int> runs[] = {
        {"customers", kCustomers}, {"xlsx-customers", kCustomers}, {"sales", kSales}, {"xlsx-sales", kSales}};
    for (const auto& [what, count] : runs) {
        QProcess run;
        run.start(QString::fromLocal8Bit(argv[0]),
                  {QStringLiteral("--peak-rss"), QString::fromLatin1(what), QString::number(count),
                   dir.filePath(QStringLiteral("peak.xlsx"))});
        run.waitForFinished(-1);
        std::printf("%s", run.readAllStandardOutput().constData());
    }
    std::printf("(targets: customer list under 150 MiB, sales detail under 200 MiB)\n");
    benchmark::Shutdown();
    return 0;
}

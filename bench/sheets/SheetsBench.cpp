// The customer list of a large shop: 10,000 customers, 30,000 rows, every block lined.
// The template fill runs side by side with libxlsxwriter writing the same cells from scratch
// in its constant-memory mode; after the runs the medians and their ratio are printed.
//   bench_sheets                      the comparison (Google Benchmark options apply)
//   bench_sheets --peak-rss N FILE    one fill of N customers into FILE, then its peak RSS
#include "sheets/Workbook.h"

#include <QDir>
#include <QString>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <xlsxwriter.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr int kCustomers = 10000;

struct Customer
{
    QString reading, postal, mobile, name, prefecture, city, phone, remark1, mail, building, fax, remark2;
};

std::vector<Customer> makeCustomers(int count)
{
    static const char16_t* const family[] = {u"山田", u"佐藤", u"鈴木", u"高橋",
                                             u"田中", u"渡辺", u"伊藤", u"中村"};
    static const char16_t* const given[] = {u"太郎", u"花子", u"一郎", u"美咲",
                                            u"健太", u"由美", u"翔",   u"愛"};
    static const char16_t* const readings[] = {u"ﾔﾏﾀﾞ ﾀﾛｳ", u"ｻﾄｳ ﾊﾅｺ", u"ｽｽﾞｷ ｲﾁﾛｳ", u"ﾀｶﾊｼ ﾐｻｷ"};
    std::vector<Customer> out;
    out.reserve(count);
    for (int i = 0; i < count; ++i) {
        Customer c;
        c.reading = QString::fromUtf16(readings[i % 4]) + QString::number(i);
        c.postal = QStringLiteral("〒%1-%2").arg(100 + i % 900).arg(i % 10000, 4, 10, QLatin1Char('0'));
        c.mobile = QStringLiteral("090-%1-%2")
                       .arg(i % 10000, 4, 10, QLatin1Char('0'))
                       .arg((i * 7) % 10000, 4, 10, QLatin1Char('0'));
        c.name = QString::fromUtf16(family[i % 8]) + QChar(0x3000) + QString::fromUtf16(given[(i / 8) % 8]);
        c.prefecture = QStringLiteral("東京都");
        c.city = QStringLiteral("千代田区丸の内%1丁目%2番地").arg(i % 9 + 1).arg(i % 30 + 1);
        c.phone = QStringLiteral("03-%1-%2")
                      .arg(i % 10000, 4, 10, QLatin1Char('0'))
                      .arg((i * 3) % 10000, 4, 10, QLatin1Char('0'));
        c.remark1 = QStringLiteral("お得意様・年二回来店");
        c.mail = QStringLiteral("customer%1@example.jp").arg(i);
        c.building = QStringLiteral("丸の内ビルディング%1階").arg(i % 40 + 1);
        c.fax = QStringLiteral("03-%1-9999").arg(i % 10000, 4, 10, QLatin1Char('0'));
        c.remark2 = QStringLiteral("紹介者あり");
        out.push_back(c);
    }
    return out;
}

const std::vector<Customer>& customers()
{
    static const std::vector<Customer> list = makeCustomers(kCustomers);
    return list;
}

QString templatePath()
{
    return QStringLiteral(QEL_APP_DIR "/顧客一覧オリジナル.xlsx");
}

void fillTemplate(const std::vector<Customer>& list, const QString& target)
{
    Workbook book(templatePath(), target);
    book.prepare();
    book.open();
    book.setCenterHeader(QStringLiteral("顧客一覧"));
    book.setSheetName(QStringLiteral("顧客一覧"));
    int i = 0;
    for (const Customer& c : list) {
        ++i;
        const int r = 3 * i + 1;
        book.setNumber(r, 1, i);
        book.setText(r, 2, c.reading);
        book.setText(r, 3, c.postal);
        book.setText(r, 5, c.mobile);
        book.setText(r + 1, 2, c.name);
        book.setText(r + 1, 3, c.prefecture);
        book.setText(r + 1, 4, c.city);
        book.setText(r + 1, 5, c.phone);
        book.setText(r + 1, 6, c.remark1);
        book.setText(r + 2, 2, c.mail);
        book.setText(r + 2, 4, c.building);
        book.setText(r + 2, 5, c.fax);
        book.setText(r + 2, 6, c.remark2);
        book.drawBorders(r, 1, r + 2, 6);
    }
    book.scrollToTop();
    book.save();
}

void writeFromScratch(const std::vector<Customer>& list, const std::string& target)
{
    lxw_workbook_options options = {};
    options.constant_memory = LXW_TRUE;
    lxw_workbook* wb = workbook_new_opt(target.c_str(), &options);
    lxw_worksheet* ws = workbook_add_worksheet(wb, "顧客一覧");
    auto format = [&](bool bottom) {
        lxw_format* f = workbook_add_format(wb);
        format_set_font_name(f, "ＭＳ ゴシック");
        format_set_font_size(f, 10);
        format_set_left(f, LXW_BORDER_THIN);
        format_set_right(f, LXW_BORDER_THIN);
        if (bottom)
            format_set_bottom(f, LXW_BORDER_THIN);
        return f;
    };
    lxw_format* middle = format(false);
    lxw_format* last = format(true);
    worksheet_set_header(ws, "&C顧客一覧");
    worksheet_repeat_rows(ws, 0, 2);
    worksheet_write_string(ws, 0, 0, "顧客一覧", nullptr);
    int i = 0;
    for (const Customer& c : list) {
        ++i;
        const lxw_row_t r = 3 * i; // 0-based first row of the block
        const QString* cells[3][6] = {{nullptr, &c.reading, &c.postal, nullptr, &c.mobile, nullptr},
                                      {nullptr, &c.name, &c.prefecture, &c.city, &c.phone, &c.remark1},
                                      {nullptr, &c.mail, nullptr, &c.building, &c.fax, &c.remark2}};
        for (int k = 0; k < 3; ++k) {
            lxw_format* f = k == 2 ? last : middle;
            for (int col = 0; col < 6; ++col) {
                if (k == 0 && col == 0)
                    worksheet_write_number(ws, r + k, col, i, f);
                else if (cells[k][col])
                    worksheet_write_string(ws, r + k, col, cells[k][col]->toUtf8().constData(), f);
                else
                    worksheet_write_blank(ws, r + k, col, f);
            }
        }
    }
    workbook_close(wb);
}

void BM_TemplateFill(benchmark::State& state)
{
    const auto& list = customers();
    QTemporaryDir dir;
    for (auto _ : state)
        fillTemplate(list, dir.filePath(QStringLiteral("顧客一覧.xlsx")));
    state.counters["rows"] = 3.0 * list.size();
}
BENCHMARK(BM_TemplateFill)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_XlsxwriterConstantMemory(benchmark::State& state)
{
    const auto& list = customers();
    QTemporaryDir dir;
    const std::string target = dir.filePath(QStringLiteral("scratch.xlsx")).toStdString();
    for (auto _ : state)
        writeFromScratch(list, target);
    state.counters["rows"] = 3.0 * list.size();
}
BENCHMARK(BM_XlsxwriterConstantMemory)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// Keeps the medians for the closing line.
class MedianReporter : public benchmark::ConsoleReporter
{
  public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")
                medians[run.run_name.function_name] = run.GetAdjustedRealTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> medians;
};

} // namespace

int main(int argc, char* argv[])
{
    if (argc == 4 && std::strcmp(argv[1], "--peak-rss") == 0) {
        fillTemplate(makeCustomers(std::atoi(argv[2])), QString::fromLocal8Bit(argv[3]));
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        std::printf("peak RSS: %.1f MiB\n", usage.ru_maxrss / 1024.0);
        return 0;
    }
    benchmark::Initialize(&argc, argv);
    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double fill = reporter.medians["BM_TemplateFill"],
                 scratch = reporter.medians["BM_XlsxwriterConstantMemory"];
    if (fill > 0 && scratch > 0)
        std::printf("median template fill %.1f ms, libxlsxwriter %.1f ms, ratio %.2f (target <= 1.30)\n",
                    fill, scratch, fill / scratch);
    benchmark::Shutdown();
    return 0;
}

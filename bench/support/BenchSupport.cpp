#include "BenchSupport.h"

#include "core/FormNames.h"
#include "core/Globals.h"
#include "db/Database.h"
#include "db/Schema.h"
#include "ui/DialogService.h"
#include "ui/Frm010_Qel.h"
#include "ui/MainScreen.h"
#include "ui/Navigator.h"
#include "ui/RegisterScreens.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QMouseEvent>
#include <QTimer>

#include <SQLiteCpp/Column.h>
#include <SQLiteCpp/Statement.h>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>

namespace {

class FailingDialogs : public DialogService
{
  public:
    Answer question(const QString& title, const QString& text) override { fail(title, text); }
    void information(const QString& title, const QString& text) override { fail(title, text); }
    void warning(const QString& title, const QString& text) override { fail(title, text); }
    void exclamation(const QString& title, const QString& text) override { fail(title, text); }

  private:
    [[noreturn]] static void fail(const QString& title, const QString& text)
    {
        std::fprintf(stderr, "unexpected box [%s] %s\n", qPrintable(title), qPrintable(text));
        std::abort();
    }
};

// The time this thread has run, in seconds.
double ThreadCpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

// Ends a wait once the named screen's window has been painted and the event loop has come round
// again, which is when the painted window has been handed to the display.
class FirstPaint : public QObject
{
  public:
    FirstPaint(const QString& form, QEventLoop& loop) : m_form(form), m_loop(loop)
    {
        qApp->installEventFilter(this);
    }
    ~FirstPaint() override { qApp->removeEventFilter(this); }

    bool painted() const { return m_painted; }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (!m_painted && event->type() == QEvent::Paint) {
            auto* screen = qobject_cast<MainScreen*>(watched);
            if (screen && screen->formName() == m_form) {
                m_painted = true;
                QTimer::singleShot(0, &m_loop, &QEventLoop::quit);
            }
        }
        return false;
    }

  private:
    QString m_form;
    QEventLoop& m_loop;
    bool m_painted = false;
};

// The visible main screen of the form, if one is open.
MainScreen* ShownScreen(const QString& form)
{
    for (QWidget* window : QApplication::topLevelWidgets()) {
        auto* screen = qobject_cast<MainScreen*>(window);
        if (screen && screen->isVisible() && screen->formName() == form)
            return screen;
    }
    return nullptr;
}

// Processes events until the form's screen is painted; false after ten seconds without.
bool WaitUntilPainted(const QString& form, const std::function<void()>& open)
{
    QEventLoop loop;
    FirstPaint paint(form, loop);
    open();
    if (paint.painted())
        return true;
    QTimer::singleShot(10'000, &loop, &QEventLoop::quit);
    loop.exec();
    return paint.painted();
}

// A press and release of the left button in the middle of the button, as the window system
// hands them over.
void ClickOn(QAbstractButton* button)
{
    const QPointF centre = QRectF(button->rect()).center();
    const QPointF global = button->mapToGlobal(centre);
    QMouseEvent press(QEvent::MouseButtonPress, centre, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(button, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, centre, global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(button, &release);
}

// The main menu shown and painted, ready for a click; the database in use stays the one of the
// run (the menu chooses between the sample and the operational file).
QAbstractButton* ShownMenuButton(int index)
{
    if (!Screens().has(Forms::Frm010_Qel))
        RegisterCoreScreens(Screens());
    const QString database = G().DbFileName;
    G().CallerForm.clear();
    if (!WaitUntilPainted(Forms::Frm010_Qel, [] { Screens().open(Forms::Frm010_Qel); }))
        return nullptr;
    G().DbFileName = database;
    MainScreen* menu = ShownScreen(Forms::Frm010_Qel);
    return menu ? menu->findChild<QAbstractButton*>(QStringLiteral("Cmd_%1").arg(index)) : nullptr;
}

// A commit as a corrected sale makes one: the remarks of the last sale written anew, which bumps
// the change counter of the file.
bool ChangeDatabaseFile()
{
    static int change = 0;
    Database db;
    return db.execute(QStringLiteral("update Tb_売上 set Fi_備考 = ? where Fi_キー = "
                                     "(select max(Fi_キー) from Tb_売上)"),
                      {QStringLiteral("bench %1").arg(++change)}) == 1;
}

void Close(MainScreen* screen)
{
    screen->Unload();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace

void FailOnEveryBox()
{
    InstallDialogs(std::make_unique<FailingDialogs>());
}

int RunScreenBenchmarks(int argc, char** argv, const QString& target)
{
    // Offscreen unless a platform is named: QT_QPA_PLATFORM=xcb under a display measures the
    // window system's part too.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    FailOnEveryBox();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    if (!target.isEmpty())
        std::printf("%s\n", qPrintable(target));
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

BenchFolder::BenchFolder()
{
    AppGlobals& g = G();
    g.AppPath = m_dir.path();
    g.DbFileName = kOperationalDbFile;
    g.Maker = QStringLiteral("ブランド");
    g.Syouhin = QStringLiteral("商品");
    CreateDatabaseFile(Database::currentPath());
}

long long BareRead(const std::vector<BareStatement>& statements)
{
    Database db;
    long long rows = 0;
    std::size_t bytes = 0; // text bytes and numbers, so that no read is left out
    for (const BareStatement& s : statements) {
        SQLite::Statement stmt(db.raw(), s.sql.toStdString());
        for (int i = 0; i < s.values.size(); ++i) {
            const QVariant& v = s.values.at(i);
            if (v.typeId() == QMetaType::QString)
                stmt.bind(i + 1, v.toString().toStdString());
            else
                stmt.bind(i + 1, static_cast<int64_t>(v.toLongLong()));
        }
        const int columns = stmt.getColumnCount();
        while (stmt.executeStep()) {
            ++rows;
            for (int c = 0; c < columns; ++c) {
                const SQLite::Column column = stmt.getColumn(c);
                bytes += column.isText() ? static_cast<std::size_t>(column.getBytes())
                                         : static_cast<std::size_t>(column.getInt64());
            }
        }
    }
    benchmark::DoNotOptimize(bytes);
    return rows;
}

void OpenAgainstFloor(benchmark::State& state, const ScreenOpening& opening)
{
    double screenSeconds = 0;
    double screenCpuSeconds = 0;
    double floorSeconds = 0;
    const int menuButton = Frm010_Qel::ButtonOf(opening.form);
    for (auto _ : state) {
        QAbstractButton* button = nullptr;
        if (menuButton >= 0) {
            button = ShownMenuButton(menuButton);
            if (!button || !button->isEnabled()) {
                state.SkipWithError("the menu button of the screen cannot be clicked");
                break;
            }
        } else {
            G().CallerForm = Forms::Frm010_Qel;
        }
        if (opening.afterChange && !ChangeDatabaseFile()) {
            state.SkipWithError("the database file cannot be changed");
            break;
        }
        QElapsedTimer timer;
        const double cpuStart = ThreadCpuSeconds();
        timer.start();
        const bool shown = WaitUntilPainted(opening.form, [&] {
            if (button)
                ClickOn(button);
            else
                Screens().open(opening.form);
        });
        const double seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
        screenCpuSeconds += ThreadCpuSeconds() - cpuStart;
        state.SetIterationTime(seconds);
        screenSeconds += seconds;

        MainScreen* screen = ShownScreen(opening.form);
        const QString wrong =
            !shown || !screen ? QStringLiteral("the screen was not shown") : opening.wrong(screen);
        if (!wrong.isEmpty()) {
            state.SkipWithError(qPrintable(wrong));
            break;
        }
        Close(screen);

        timer.start();
        BareRead(opening.rows);
        floorSeconds += static_cast<double>(timer.nsecsElapsed()) / 1e9;
    }
    const double iterations = static_cast<double>(state.iterations());
    if (iterations == 0 || floorSeconds == 0)
        return;
    // On a busy machine the time the program itself ran is the steadier figure.
    state.counters["cpu_ms"] = screenCpuSeconds * 1000 / iterations;
    state.counters["floor_ms"] = floorSeconds * 1000 / iterations;
    state.counters["ratio"] = screenSeconds / floorSeconds;
    state.counters["target_ms"] = opening.targetMs;
    state.SetLabel(screenSeconds * 1000 / iterations < opening.targetMs ? "within target" : "OVER TARGET");
}

MainScreen* ShownAfterClick(QAbstractButton* button, const QString& form)
{
    button->click();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->objectName() == form && w->isVisible()) {
            auto* screen = qobject_cast<MainScreen*>(w);
            screen->repaint();
            return screen;
        }
    }
    std::fprintf(stderr, "%s did not open\n", qPrintable(form));
    std::abort();
}

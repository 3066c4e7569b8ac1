#include "TestSupport.h"

#include "core/AppExit.h"
#include "core/Clock.h"
#include "core/Globals.h"
#include "core/Services.h"
#include "core/Settings.h"
#include "db/Backup.h"
#include "db/Schema.h"
#include "ui/Navigator.h"
#include "ui/ReadingCapture.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QWidget>
#include <optional>

namespace {

const char* kindName(ShownBox::Kind kind)
{
    switch (kind) {
    case ShownBox::Kind::Question:
        return "question";
    case ShownBox::Kind::Information:
        return "information";
    case ShownBox::Kind::Warning:
        return "warning";
    case ShownBox::Kind::Exclamation:
        return "exclamation";
    case ShownBox::Kind::Failure:
        return "failure";
    case ShownBox::Kind::OpenFile:
        return "open file";
    case ShownBox::Kind::SaveFile:
        return "save file";
    case ShownBox::Kind::Preview:
        return "preview";
    case ShownBox::Kind::Print:
        return "print";
    }
    return "?";
}

} // namespace

ScriptedDialogs& ScriptedDialogs::expect(ShownBox::Kind kind, const QString& title, const QString& text,
                                         Answer answer)
{
    m_expected.push_back({ShownBox{kind, title, text}, answer});
    return *this;
}

DialogService::Answer ScriptedDialogs::take(ShownBox::Kind kind, const QString& title, const QString& text)
{
    m_shown.push_back({kind, title, text});
    if (onShown)
        onShown(m_shown.back());
    if (m_expected.empty()) {
        ADD_FAILURE() << "unexpected " << kindName(kind) << " box: [" << title.toStdString() << "] "
                      << text.toStdString();
        return Answer::No;
    }
    const Expected next = m_expected.front();
    m_expected.pop_front();
    EXPECT_EQ(kindName(next.box.kind), std::string(kindName(kind))) << text.toStdString();
    if (!next.box.title.isEmpty()) {
        EXPECT_EQ(next.box.title.toStdString(), title.toStdString());
    }
    if (!next.box.text.isEmpty()) {
        EXPECT_EQ(next.box.text.toStdString(), text.toStdString());
    }
    return next.answer;
}

ScriptedDialogs& ScriptedDialogs::expectWritten(const QString& title, const QString& text, bool open)
{
    m_expected.push_back({ShownBox{ShownBox::Kind::Information, title, text}, Answer::Yes, {}, -1, open});
    return *this;
}

bool ScriptedDialogs::writtenBox(const QString& title, const QString& text)
{
    const bool open = !m_expected.empty() && m_expected.front().openFolder;
    take(ShownBox::Kind::Information, title, text);
    return open;
}

bool ScriptedDialogs::openFolder(const QString& folder)
{
    openedFolders.push_back(folder);
    return folderOpens;
}

DialogService::Answer ScriptedDialogs::question(const QString& title, const QString& text)
{
    return take(ShownBox::Kind::Question, title, text);
}

ScriptedDialogs& ScriptedDialogs::expectFile(ShownBox::Kind kind, const QString& title, const QString& path,
                                             int filter)
{
    m_expected.push_back({ShownBox{kind, title, QString()}, Answer::Yes, path, filter});
    return *this;
}

QString ScriptedDialogs::openFile(const QString& title, const QString& folder, const QStringList&)
{
    const std::optional<Expected> next =
        m_expected.empty() ? std::nullopt : std::optional(m_expected.front());
    take(ShownBox::Kind::OpenFile, title, folder);
    return next ? next->path : QString();
}

QString ScriptedDialogs::saveFile(const QString& title, const QString& suggested, const QStringList& filters,
                                  int& filter)
{
    const std::optional<Expected> next =
        m_expected.empty() ? std::nullopt : std::optional(m_expected.front());
    take(ShownBox::Kind::SaveFile, title, suggested + QLatin1Char('\t') + filters.value(filter));
    if (next && next->filter >= 0)
        filter = next->filter;
    return next ? next->path : QString();
}

void ScriptedDialogs::information(const QString& title, const QString& text)
{
    take(ShownBox::Kind::Information, title, text);
}

void ScriptedDialogs::warning(const QString& title, const QString& text)
{
    take(ShownBox::Kind::Warning, title, text);
}

void ScriptedDialogs::failure(const QString& title, const QString& message, const QString& detail)
{
    take(ShownBox::Kind::Failure, title, detail.isEmpty() ? message : message + QLatin1Char('\n') + detail);
}

void ScriptedDialogs::preview(QDialog& dialog)
{
    if (onPreview)
        onPreview(dialog);
    take(ShownBox::Kind::Preview, dialog.windowTitle(), {});
}

bool ScriptedDialogs::print(QPrinter& printer, const QString& title)
{
    if (onPrint)
        onPrint(printer);
    return take(ShownBox::Kind::Print, title, {}) == Answer::Yes;
}

void ScriptedDialogs::exclamation(const QString& title, const QString& text)
{
    take(ShownBox::Kind::Exclamation, title, text);
}

QString KanaDigits(const QString& digits)
{
    QString kana = digits;
    for (QChar& c : kana) {
        if (c.isDigit())
            c = QChar(u'ｱ' + (c.unicode() - u'0'));
    }
    return kana;
}

QString KanaDigitsSql(const QString& expression)
{
    QString sql = expression;
    for (int d = 0; d <= 9; ++d)
        sql = QStringLiteral("replace(") + sql + QStringLiteral(", '") + QString::number(d) +
              QStringLiteral("', '") + QChar(u'ｱ' + d) + QStringLiteral("')");
    return sql;
}

void RecordingWaits::wait(QWidget*, int milliseconds)
{
    waits.push_back(milliseconds);
    if (during)
        during();
}

void AppFixture::SetUp()
{
    ASSERT_TRUE(m_dir.isValid());
    ASSERT_TRUE(m_home.isValid());
    // The desktop's folders of a user of its own, so that no test reads or writes the real ones.
    m_configHome = qgetenv("XDG_CONFIG_HOME");
    ASSERT_TRUE(QDir().mkpath(documentsPath()));
    ASSERT_TRUE(QDir().mkpath(m_home.filePath(QStringLiteral("config"))));
    QFile dirs(m_home.filePath(QStringLiteral("config/user-dirs.dirs")));
    ASSERT_TRUE(dirs.open(QIODevice::WriteOnly));
    dirs.write("XDG_DOCUMENTS_DIR=\"" + documentsPath().toUtf8() + "\"\n");
    dirs.close();
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_home.filePath(QStringLiteral("config"))));
    ResetProgramState();
    G().AppPath = m_dir.path();
    G().DbFileName = kOperationalDbFile;
    G().Kessan = 3;
    CreateDatabaseFile(dbPath());
    setNow(QDateTime(QDate(2005, 3, 7), QTime(9, 5, 3)));
    auto scripted = std::make_unique<ScriptedDialogs>();
    dialogs = scripted.get();
    InstallDialogs(std::move(scripted));
    auto recorded = std::make_unique<RecordingWaits>();
    waits = recorded.get();
    InstallWaits(std::move(recorded));
}

void AppFixture::TearDown()
{
    CloseAllScreens();
    if (dialogs) {
        EXPECT_TRUE(dialogs->allAnswered()) << "a scripted message box was never shown";
    }
    dialogs = nullptr;
    waits = nullptr;
    ResetProgramState();
    if (m_configHome.isEmpty())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", m_configHome);
}

void AppFixture::useBackupFolder()
{
    writeIni(QStringLiteral("BackDataPath=バックアップ\r\nBackCnt=3\r\n"));
    ASSERT_TRUE(QDir(appPath()).mkdir(QStringLiteral("バックアップ")));
    setNow(QDateTime(QDate(2026, 12, 8), QTime(14, 30, 5)));
}

QByteArray FileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList FileNames(const QString& folder)
{
    QStringList names = QDir(folder).entryList(QDir::Files | QDir::Hidden);
    names.sort();
    return names;
}

void AppFixture::writeIni(const QString& lines)
{
    QFile file(m_dir.filePath(QStringLiteral("Qel.Ini")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write((QStringLiteral("[Ini]\r\n") + lines).toUtf8());
    file.close();
    const QString db = G().DbFileName;
    ReadSettings(m_dir.path());
    G().DbFileName = db;
}

QString AppFixture::dbPath() const
{
    return m_dir.filePath(G().DbFileName);
}

void AppFixture::setNow(const QDateTime& now)
{
    Clock::install(std::make_unique<FixedClock>(now));
}

RecordingExit* AppFixture::recordExits()
{
    auto recorder = std::make_unique<RecordingExit>();
    RecordingExit* exits = recorder.get();
    AppExit::install(std::move(recorder));
    return exits;
}

void CloseAllScreens()
{
    for (QWidget* w : QApplication::topLevelWidgets()) {
        w->setAttribute(Qt::WA_DeleteOnClose);
        w->hide();
        w->deleteLater();
    }
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void ResetProgramState()
{
    ResetServices();
    Screens().clear();
    // A start on no field empties what the last capture kept for its caller.
    StartReadingCapture(nullptr);
    StopReadingCapture();
    ResetGlobals();
}

bool PollUntil(const std::function<bool()>& condition, int timeoutMs, const char* what)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > timeoutMs) {
            ADD_FAILURE() << "timed out waiting for " << what;
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    return true;
}

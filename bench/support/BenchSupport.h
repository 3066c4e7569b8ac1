#pragma once

#include <QString>
#include <QTemporaryDir>
#include <QVariantList>

#include <functional>
#include <vector>

namespace benchmark {
class State;
}
class MainScreen;
class QAbstractButton;

// A box during a benchmark means something went wrong: it ends the run instead of waiting for
// an answer.
void FailOnEveryBox();

// The main of a screen benchmark: an offscreen application whose boxes fail the run, the target
// printed first, then every registered benchmark.
int RunScreenBenchmarks(int argc, char** argv, const QString& target = {});

// A fresh application folder with an empty operational database in use, the words ブランド
// and 商品; removed with the object.
class BenchFolder
{
  public:
    BenchFolder();

  private:
    QTemporaryDir m_dir;
};

// A statement with its bound values.
struct BareStatement
{
    QString sql;
    QVariantList values;
};

// Runs the statements on one fresh connection and steps through every row, touching each
// column as the engine hands it over: what reading these rows costs before any screen work,
// the floor of a screen that shows them. Returns the number of rows.
long long BareRead(const std::vector<BareStatement>& statements);

// A screen opened as the program opens it, until it is shown: a screen of the main menu by a
// click on its menu button (the menu shown before), any other by name; then the events are
// processed until the screen has been painted and the paint has been handed on, as the user sees
// it.
struct ScreenOpening
{
    QString form;
    double targetMs = 0;
    // The rows the screen reads, as bare statements.
    std::vector<BareStatement> rows;
    // Empty when the opened screen shows what it should, else what is wrong.
    std::function<QString(MainScreen*)> wrong;
    // Whether the database file is changed before each opening (as a recorded sale changes it),
    // so that nothing read from it before may be taken again.
    bool afterChange = false;
};

// Each iteration opens the screen until it is shown, closes it, then reads its rows bare; the time
// reported is the screen's, beside it the floor, the ratio of the two and the target.
void OpenAgainstFloor(benchmark::State& state, const ScreenOpening& opening);

// Clicks the button and returns the screen it opens, painted; a run whose click opens no such
// screen ends there.
MainScreen* ShownAfterClick(QAbstractButton* button, const QString& form);

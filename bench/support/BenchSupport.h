#pragma once

#include <QTemporaryDir>

#include <QString>

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

#pragma once

#include <QTemporaryDir>

// A box during a benchmark means something went wrong: it ends the run instead of waiting for
// an answer.
void FailOnEveryBox();

// A fresh application folder with an empty operational database in use, the words ブランド
// and 商品; removed with the object.
class BenchFolder
{
  public:
    BenchFolder();

  private:
    QTemporaryDir m_dir;
};

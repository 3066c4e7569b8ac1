#pragma once

#include <QString>

#include <functional>
#include <initializer_list>
#include <stdexcept>
#include <vector>

// A failure of the spreadsheet output: a number and a description, as the warning box shows
// them after "ErrNo=" and " ErrMsg=". Each number stays with its meaning, so that a user who
// quotes one names the same kind of failure every time.
class SheetError : public std::runtime_error
{
  public:
    static constexpr int FileNotFound = 53;     // ファイルが見つかりません。
    static constexpr int PermissionDenied = 70; // 書き込みできません。
    static constexpr int PathNotFound = 76;     // パスが見つかりません。
    static constexpr int Application = 1004;    // the workbook itself (page setup included)
    static constexpr int Database = 3146;       // a database failure during a writer

    SheetError(int number, QString description);

    int number() const { return m_number; }
    const QString& description() const { return m_description; }

  private:
    int m_number;
    QString m_description;
};

// The failures of one call whose parts are steps of their own (the page headers): every part
// was tried, and each failure is reported in its turn.
class SheetErrors : public std::runtime_error
{
  public:
    explicit SheetErrors(std::vector<SheetError> errors);
    const std::vector<SheetError>& errors() const { return m_errors; }

  private:
    std::vector<SheetError> m_errors;
};

// Runs every part, a failing one not stopping the next; throws SheetErrors when any failed.
void RunEachPart(std::initializer_list<std::function<void()>> parts);

// The failure of the workbook itself, with a detail after the application's own text.
[[noreturn]] void ThrowApplicationError(const QString& detail = {});

// What a failed step leads to, decided by the beginning of its description.
enum class SheetFailureKind { PageSetup, WriteDenied, Other };
SheetFailureKind FailureKindOf(const QString& description);

// The text of the warning box for a failure.
QString SheetFailureText(int number, const QString& description);

#pragma once

#include "core/QelError.h"

#include <QString>

#include <functional>
#include <initializer_list>

// The numbers the workbook failure box shows after "ErrNo=". Each stays with its meaning, so that
// a user who quotes one names the same kind of failure every time.
namespace SheetNumber {
inline constexpr int FileNotFound = 53;     // ファイルが見つかりません。
inline constexpr int PermissionDenied = 70; // 書き込みできません。
inline constexpr int PathNotFound = 76;     // パスが見つかりません。
inline constexpr int Application = 1004;    // the workbook itself (page setup included)
inline constexpr int Database = 3146;       // a database failure during a writer
} // namespace SheetNumber

// A failure of the workbook output under its number: a refused write is of the kind WriteDenied
// (the box then says that the file may be open elsewhere), any other of the kind Workbook.
QelError WorkbookFailure(int number, const QString& description);

// Runs every part, a failing one not stopping the next; throws the failures together
// (QelError::together) when any failed.
void RunEachPart(std::initializer_list<std::function<void()>> parts);

// The failure of the workbook itself, with a detail after the application's own text.
[[noreturn]] void ThrowApplicationError(const QString& detail = {});

// The number the box shows for a failure met while writing: the workbook's own number, else the
// class of the database or of the program.
int WorkbookFailureNumber(const QelError& e);

// The text of the warning box for a failure: the lead line of its kind, "ErrNo=" and " ErrMsg=".
QString WorkbookFailureText(const QelError& e);

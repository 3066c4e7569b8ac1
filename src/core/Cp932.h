#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Shift-JIS (code page 932) through iconv; the system's configuration files use it.
QString DecodeCp932(const QByteArray& bytes);
QByteArray EncodeCp932(const QString& text);

// Whether the bytes form valid UTF-8 (plain ASCII included).
bool IsValidUtf8(const QByteArray& bytes);

// Strictly: none when the bytes hold a sequence that CP932 does not define.
std::optional<QString> DecodeCp932Exact(const QByteArray& bytes);
// Whether CP932 holds the text: written and read back it is the same text, except that the JIS
// forms of 〜 ‖ − ¢ £ ¬ — read back as CP932's own forms of the same signs (Cp932Form). A ¥ or ‾
// (written as \ and ~) or a character outside CP932 is not held.
bool Cp932Holds(const QString& text);
QString Cp932Form(const QString& text);

#pragma once

#include <QByteArray>
#include <QString>

// Shift-JIS (code page 932) through iconv; the system's configuration files use it.
QString DecodeCp932(const QByteArray& bytes);
QByteArray EncodeCp932(const QString& text);

// Whether the bytes form valid UTF-8 (plain ASCII included).
bool IsValidUtf8(const QByteArray& bytes);

#pragma once

#include "core/QelError.h"

#include <QString>

#include <exception>

// A failure met while the engine worked, as a QelError: the kind of the engine's result code (its
// extended code kept as the error's number), the engine's own text as the detail, and `where`
// (a file, for instance) on its own line after the sentence. A QelError passes as it is, and what
// is not the engine's as QelError::of makes it. `file`, when given, is the database file the
// engine worked on: where the engine finds no database there and the file is one of the earlier
// format (a Jet file), the kind is EarlierLedger, which says so and how to convert it, rather
// than Damaged.
QelError EngineError(const std::exception& e, const QString& where = {}, const QString& file = {});

// Whether the file begins as a Jet database does (Access 97 to 2003, or 2007 and later).
bool IsJetFile(const QString& path);

// The kind of one of the engine's result codes (primary or extended).
QelError::Kind EngineKind(int resultCode);

// Runs the action; any failure of it leaves as a QelError (see EngineError) with `context` on the
// line before its message.
template <class Action> decltype(auto) InContext(const QString& context, Action&& action)
{
    try {
        return action();
    } catch (const std::exception& e) {
        throw EngineError(e).within(context);
    }
}

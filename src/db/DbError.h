#pragma once

#include <QString>

#include <exception>
#include <stdexcept>

// Every failure of the database, of a database file or of a folder: a Japanese message for the
// user, the engine's own text and the engine's result code. Raised in the stores, caught once at
// the boundary of a user action.
class DbError : public std::runtime_error
{
  public:
    // code: the engine's result code (extended when known); 0 for a failure that is not the engine's.
    DbError(QString message, QString engineText = {}, int code = 0);

    // A failure of the engine: the Japanese sentence of its failure class (what happened and
    // what to try), the engine's own text kept for support. `where` (a file, for instance) is
    // added on its own line after the sentence when given.
    // `file`, when given, is the database file the engine was working on (see the sentence for
    // a file below).
    static DbError fromEngine(const std::exception& e, const QString& where = {}, const QString& file = {});
    // Any failure as a DbError: a DbError as it is, anything else through fromEngine().
    static DbError of(const std::exception& e, const QString& where = {});
    // The sentence for one of the engine's result codes (primary or extended).
    static QString sentenceFor(int resultCode);
    // The same for a result code met on the file: where the engine finds no database and the
    // file is a ledger of the earlier format (a Jet file), the sentence says so and how to
    // convert it, rather than that the file is damaged.
    static QString sentenceFor(int resultCode, const QString& file);
    // A failed file operation (copy, rename, delete, flush): `what` says which, then the sentence
    // of the system's error class and `where` on their own lines; the system's own text is kept
    // as the engine text.
    static DbError fromFile(int error, const QString& what, const QString& where);
    // The sentence for one of the system's error numbers (errno).
    static QString fileSentenceFor(int error);

    const QString& message() const { return m_message; }
    const QString& engineText() const { return m_engineText; }
    int code() const { return m_code; }
    // Another program holds the database (the engine's busy or locked).
    bool busy() const;
    // The same failure, engine text and code kept, with a line of context before the message
    // (what stopped) and, when given, one after it (the file, for instance).
    DbError within(const QString& before, const QString& after = {}) const;
    // The text of the warning box: the message, then the engine's text on its own line.
    QString userText() const;

  private:
    QString m_message;
    QString m_engineText;
    int m_code = 0;
};

// Runs the action; any failure of it leaves as a DbError with `context` on the line before its
// message (see DbError::of and DbError::within).
template <class Action> decltype(auto) InContext(const QString& context, Action&& action)
{
    try {
        return action();
    } catch (const std::exception& e) {
        throw DbError::of(e).within(context);
    }
}

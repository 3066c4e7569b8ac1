#pragma once

#include <QString>

#include <exception>
#include <stdexcept>

// Every failure of the database or of a database file: a Japanese message for the user and
// the engine's own text. Raised in the stores, caught once at the boundary of a user action.
class DbError : public std::runtime_error
{
  public:
    DbError(QString message, QString engineText = {});

    // A failure of the engine: the Japanese sentence of its failure class (what happened and
    // what to try), the engine's own text kept for support. `where` (a file, for instance) is
    // added on its own line after the sentence when given.
    static DbError fromEngine(const std::exception& e, const QString& where = {});
    // The sentence for one of the engine's result codes (primary or extended).
    static QString sentenceFor(int resultCode);
    // A failed file operation (copy, rename, delete, flush): `what` says which, then the sentence
    // of the system's error class and `where` on their own lines; the system's own text is kept
    // as the engine text.
    static DbError fromFile(int error, const QString& what, const QString& where);
    // The sentence for one of the system's error numbers (errno).
    static QString fileSentenceFor(int error);

    const QString& message() const { return m_message; }
    const QString& engineText() const { return m_engineText; }
    // The text of the warning box: the message, then the engine's text on its own line.
    QString userText() const;

  private:
    QString m_message;
    QString m_engineText;
};

#pragma once

#include <QString>

#include <stdexcept>

// Every failure of the database or of a database file: a Japanese message for the user and
// the engine's own text. Raised in the stores, caught once at the boundary of a user action.
class DbError : public std::runtime_error
{
public:
    DbError(QString message, QString engineText = {});

    const QString& message() const { return m_message; }
    const QString& engineText() const { return m_engineText; }
    // The text of the warning box: the message, then the engine's text on its own line.
    QString userText() const;

private:
    QString m_message;
    QString m_engineText;
};

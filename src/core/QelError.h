#pragma once

#include <QString>

#include <exception>
#include <stdexcept>
#include <vector>

// Every failure the user is told of: what kind it is (code tests the kind, never the text), the
// Japanese message for the user (lines of context around the sentence of its kind), the engine's
// or library's own text for support, and a number (the engine's result code, the system's error
// number, or the number the workbook failure box shows after "ErrNo="). Raised where the failure
// happens, caught once at the boundary of a user action.
class QelError : public std::runtime_error
{
  public:
    enum class Kind {
        // The database engine.
        Busy,         // another program holds the database
        ReadOnly,     // the file or its folder cannot be written
        NoPermission, // the database file may not be used
        DiskFull,
        Damaged,       // damaged, or no database at all
        EarlierLedger, // a ledger of the earlier format, which data maintenance converts
        CannotOpen,
        ReadWrite, // the disk failed a read or a write
        Engine,    // any other failure of the engine
        // Files and folders.
        FileNoPermission,
        ReadOnlyDisk,
        NotFound,
        FolderInTheWay, // a folder stands where a file belongs
        AlreadyExists,
        FileInUse,
        FileOperation, // any other failure of a file operation
        Folder,        // a folder of the application that cannot be made or used
        Changed,       // a file changed under the action (another program wrote it)
        // Files from outside and their contents.
        NotAWorkbook,
        NoSheet,
        TooLarge,
        Encoding,  // text in a character set the program cannot take
        Malformed, // the file breaks the rules of its own format
        NotALedger,
        OtherLedger, // a file of the other database (the sample's, or the operational one's)
        // The workbook output: the three classes of its failure box.
        PageSetup,
        WriteDenied,
        Workbook,
        // Everything else.
        OutOfMemory,
        Unexpected,
    };

    // An empty message takes the sentence of the kind.
    explicit QelError(Kind kind, QString message = {}, QString detail = {}, int code = 0);

    Kind kind() const { return m_kind; }
    const QString& message() const { return m_message; }
    const QString& detail() const { return m_detail; }
    int code() const { return m_code; }
    bool busy() const { return m_kind == Kind::Busy; }

    // The one sentence of a kind: what happened and what to try.
    static QString sentence(Kind kind);
    // Any failure as a QelError: one as it is, a failed allocation as OutOfMemory, anything else
    // as Unexpected with its own text as the detail. `where` (a file, for instance) is added on
    // its own line after the sentence. The engine's failures are turned by EngineError
    // (db/EngineError.h), which knows the engine.
    static QelError of(const std::exception& e, const QString& where = {});
    // A failed file operation (copy, rename, delete, flush): `what` says which, then the sentence
    // of the system's error class and `where` on their own lines; the system's text is the detail.
    static QelError fromFile(int error, const QString& what, const QString& where);

    // The same failure with a line of context before the message (what stopped) and, when given,
    // one after it (the file, for instance).
    QelError within(const QString& before, const QString& after = {}) const;
    // The text of the warning box: the message, then the detail on its own line.
    QString userText() const;

    // Further failures of the same step, each reported in its turn (the page headers: every one is
    // tried, and each that fails is shown).
    const std::vector<QelError>& more() const { return m_more; }
    static QelError together(std::vector<QelError> failures);

  private:
    Kind m_kind;
    QString m_message;
    QString m_detail;
    int m_code = 0;
    std::vector<QelError> m_more;
};

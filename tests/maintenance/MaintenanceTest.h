#pragma once

#include "core/Globals.h"
#include "support/ScreenTest.h"

#include <QStringList>

#include <memory>
#include <vector>

// The boxes of the dialog service, with the failures told apart from plain warnings: a failure
// carries the sentence for the user and, apart, the engine's or the system's own text.
class FailureBoxes : public ScriptedDialogs
{
  public:
    struct Failure
    {
        QString message;
        QString detail;
    };
    void failure(const QString& title, const QString& message, const QString& detail) override
    {
        failures.push_back({message, detail});
        ScriptedDialogs::failure(title, message, detail);
    }
    std::vector<Failure> failures;
};

// The maintenance screens' fixture: a backup folder "バックアップ" keeping three backups, and a
// database with known rows to compare before and after a run.
class MaintenanceTest : public ScreenTest
{
  protected:
    void SetUp() override;

    QString backups() const { return appPath() + QStringLiteral("/バックアップ"); }
    QString temp() const { return appPath() + QStringLiteral("/Temp") + G().DbFileName; }
    // Creates these files in the backup folder.
    void seedBackups(const QStringList& names) const;
    // The names in the folder, files and folders alike, sorted.
    static QStringList namesIn(const QString& folder);
    // What a user checks after any failure: the database is where it was, whole, with its rows.
    void expectDatabaseIntact(qint64 customers, qint64 sales) const;
    // Scripts the closing box of a run whose backup is taken at the fixed clock.
    void expectBackupBox();
    QString backupPathAtNow() const;
    // Replaces the fixture's boxes with these (a test that meddles while a box is up).
    void useBoxes(std::unique_ptr<FailureBoxes> replacement);

    FailureBoxes* boxes = nullptr;
};

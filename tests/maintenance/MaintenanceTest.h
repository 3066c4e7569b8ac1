#pragma once

#include "core/Globals.h"
#include "support/ScreenTest.h"

#include <QStringList>

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
};

QByteArray FileBytes(const QString& path);

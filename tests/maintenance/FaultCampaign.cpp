// A bounded fault campaign on the backup run, the restore and the bulk deletion, as the program
// runs them: each run in a process of its own, killed with SIGKILL at a random moment, then the
// start-up's recovery, then the checks; and the same runs on a file system of limited size that
// fills at a random point. Not part of the test suite (it takes minutes); run by hand:
//   fault_campaign <application folder with the shipped databases> <work folder> <kills> <full-disk runs>
// The full-disk runs mount a tmpfs, which needs the right to mount; they are skipped without it.
#include "core/Globals.h"
#include "db/Backup.h"
#include "db/Database.h"
#include "maintenance/BackupRun.h"
#include "maintenance/RestoreRun.h"
#include "sales/SalesStore.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cstdio>
#include <map>

#include <csignal>
#include <sys/mount.h>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

enum class Op { Backup, Restore, Delete };
const char* const kOpNames[] = {"backup", "restore", "delete"};

QString g_app;
QString g_seed;
const QStringList kBackups = {QStringLiteral("Back20261101000000Db_販売顧客.mdb"),
                              QStringLiteral("Back20261102000000Db_販売顧客.mdb"),
                              QStringLiteral("Back20261103000000Db_販売顧客.mdb")};
QString g_backupSeed[3];
QByteArray g_backupHash[3];

QString rowsOf(const QString& path)
{
    Database db(path);
    Query q(db, QStringLiteral("select (select count(*) from Tb_顧客), (select total(Fi_キー) from Tb_顧客), "
                               "(select count(*) from Tb_売上), (select total(Fi_キー) from Tb_売上)"));
    q.next();
    return QStringLiteral("%1/%2/%3/%4")
        .arg(q.integer(0))
        .arg(q.integer(1))
        .arg(q.integer(2))
        .arg(q.integer(3));
}

QByteArray hashOf(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QCryptographicHash hash(QCryptographicHash::Md5);
    hash.addData(&file);
    return hash.result();
}

QString backups()
{
    return g_app + QStringLiteral("/バックアップ");
}

QString dbPath()
{
    return g_app + QLatin1Char('/') + kOperationalDbFile;
}

void makeSeed(const QString& shipped, const QString& work, int customers)
{
    g_seed = work + QStringLiteral("/seed.mdb");
    QFile::remove(g_seed);
    QFile::copy(shipped, g_seed);
    QFile::setPermissions(g_seed, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    Database db(g_seed);
    db.execute(QStringLiteral("begin"));
    for (int i = 1; i <= customers; ++i) {
        db.execute(QStringLiteral("insert into Tb_顧客 (Fi_キー, Fi_名前, Fi_備考) values (?, ?, ?)"),
                   {i, QStringLiteral("顧客%1").arg(i), QString(400, QChar(0x3042 + i % 40))});
        for (int s = 0; s < 3; ++s)
            db.execute(QStringLiteral("insert into Tb_売上 (Fi_キー, Fi_購入年月, Fi_備考) values (?, ?, ?)"),
                       {i * 3 + s, QStringLiteral("2026%1").arg(s + 1, 2, 10, QLatin1Char('0')),
                        QString(100, QLatin1Char('s'))});
    }
    db.execute(QStringLiteral("commit"));
    // Three older states as the backups: fewer rows the older they are.
    for (int b = 0; b < 3; ++b) {
        g_backupSeed[b] = work + QStringLiteral("/backup%1.mdb").arg(b);
        QFile::remove(g_backupSeed[b]);
        QFile::copy(g_seed, g_backupSeed[b]);
        Database(g_backupSeed[b])
            .execute(QStringLiteral("delete from Tb_顧客 where Fi_キー > ?"), {customers / 4 * (b + 1)});
        g_backupHash[b] = hashOf(g_backupSeed[b]);
    }
}

void reset()
{
    QDir(g_app).removeRecursively();
    QDir().mkpath(backups());
    QFile::copy(g_seed, dbPath());
    for (int b = 0; b < 3; ++b)
        QFile::copy(g_backupSeed[b], backups() + QLatin1Char('/') + kBackups[b]);
}

void setGlobals()
{
    G().AppPath = g_app;
    G().DbFileName = kOperationalDbFile;
    G().BackDataPath = QStringLiteral("バックアップ");
    G().BackCnt = 10; // nothing pruned: every backup must stay
}

// Runs the operation; returns 0 when it completed, 3 when it stopped with a message.
int runOp(Op op)
{
    try {
        const auto quiet = [](const QString&) {};
        switch (op) {
        case Op::Backup:
            RunBackup(quiet);
            break;
        case Op::Restore: {
            std::vector<BackupEntry> entries = ListBackups();
            for (BackupEntry& e : entries) {
                if (e.name == kBackups[1]) {
                    CountBackup(e);
                    RunRestore(e, quiet);
                }
            }
            break;
        }
        case Op::Delete: {
            const SalesStore store;
            const auto n = store.countInPeriod(QStringLiteral("000000"), QStringLiteral("999999"));
            store.removePeriod(QStringLiteral("000000"), QStringLiteral("999999"), n);
            break;
        }
        }
        return 0;
    } catch (const QelError& e) {
        std::fprintf(stderr, "    stopped: %s\n", e.userText().toUtf8().constData());
        return 3;
    }
}

struct Tally
{
    int runs = 0;
    int completed = 0;
    int stopped = 0; // with a message (full disk)
    int missing = 0, integrity = 0, mixed = 0, unkept = 0, backupLost = 0, leftovers = 0;
    void print(const char* what) const
    {
        std::printf("%-8s runs %3d  completed %3d  stopped %3d | missing %d  integrity %d  mixed %d  "
                    "restored-without-kept %d  backups lost/changed %d  leftovers %d\n",
                    what, runs, completed, stopped, missing, integrity, mixed, unkept, backupLost, leftovers);
    }
};

// The checks after the restart.
void check(Op op, Tally& t, const QString& seedRows, const QString& restoredRows, const QString& deletedRows)
{
    setGlobals();
    const QStringList notices = RecoverInterruptedBackup();
    for (const QString& n : notices)
        std::fprintf(stderr, "    notice: %s\n", n.section(QLatin1Char('\n'), 0, 0).toUtf8().constData());
    if (!QFileInfo::exists(dbPath())) {
        ++t.missing;
        return;
    }
    if (!DamageIn(dbPath()).isEmpty()) {
        ++t.integrity;
        return;
    }
    const QString rows = rowsOf(dbPath());
    const bool ok = rows == seedRows || (op == Op::Restore && rows == restoredRows) ||
                    (op == Op::Delete && rows == deletedRows);
    if (!ok)
        ++t.mixed;
    const QStringList names = QDir(backups()).entryList(QDir::Files);
    if (op == Op::Restore && rows == restoredRows) {
        bool kept = false;
        for (const QString& name : names) {
            if (!kBackups.contains(name) && rowsOf(backups() + QLatin1Char('/') + name) == seedRows)
                kept = true;
        }
        if (!kept)
            ++t.unkept;
    }
    for (int b = 0; b < 3; ++b) {
        if (hashOf(backups() + QLatin1Char('/') + kBackups[b]) != g_backupHash[b])
            ++t.backupLost;
    }
    for (const QString& folder : {g_app, backups()}) {
        for (const QString& name : QDir(folder).entryList(QDir::Files)) {
            if (name.startsWith(QStringLiteral("Temp")) || name.endsWith(QStringLiteral("-journal"))) {
                ++t.leftovers;
                std::fprintf(stderr, "    left: %s\n", name.toUtf8().constData());
            }
        }
    }
}

qint64 freeBytes(const QString& folder)
{
    struct statvfs disk = {};
    ::statvfs(QFile::encodeName(folder).constData(), &disk);
    return static_cast<qint64>(disk.f_bavail * disk.f_frsize);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 5) {
        std::fprintf(stderr, "usage: fault_campaign <app folder> <work folder> <kills> <full-disk runs>\n");
        return 2;
    }
    const QString shipped = QString::fromLocal8Bit(argv[1]) + QLatin1Char('/') + kOperationalDbFile;
    const QString work = QString::fromLocal8Bit(argv[2]);
    const int kills = std::atoi(argv[3]);
    const int fullDisk = std::atoi(argv[4]);
    QDir().mkpath(work);
    QRandomGenerator random(20261209);

    // Kill campaign on the ordinary disk.
    makeSeed(shipped, work, 20000);
    g_app = work + QStringLiteral("/app");
    reset();
    setGlobals();
    const QString seedRows = rowsOf(g_seed);
    const QString restoredRows = rowsOf(g_backupSeed[1]);
    QString deletedRows;
    {
        Database db(g_seed);
        Query q(db, QStringLiteral(
                        "select (select count(*) from Tb_顧客), (select total(Fi_キー) from Tb_顧客)"));
        q.next();
        deletedRows = QStringLiteral("%1/%2/0/0").arg(q.integer(0)).arg(q.integer(1));
    }
    std::printf("database %.1f MB, backups %.1f / %.1f / %.1f MB\n", QFileInfo(g_seed).size() / 1e6,
                QFileInfo(g_backupSeed[0]).size() / 1e6, QFileInfo(g_backupSeed[1]).size() / 1e6,
                QFileInfo(g_backupSeed[2]).size() / 1e6);
    // How long each run takes unkilled, so that the kills fall anywhere in it.
    qint64 duration[3] = {};
    for (int o = 0; o < 3; ++o) {
        reset();
        QElapsedTimer timer;
        timer.start();
        const pid_t child = ::fork();
        if (child == 0) {
            setGlobals();
            ::_exit(runOp(static_cast<Op>(o)));
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        duration[o] = timer.elapsed();
        std::printf("%s takes %lld ms\n", kOpNames[o], static_cast<long long>(duration[o]));
    }
    std::map<int, Tally> killed;
    for (int i = 0; i < kills; ++i) {
        const Op op = static_cast<Op>(random.bounded(3));
        reset();
        const pid_t child = ::fork();
        if (child == 0) {
            setGlobals();
            ::_exit(runOp(op));
        }
        const qint64 delay = random.bounded(static_cast<quint32>(duration[static_cast<int>(op)] * 1100 + 1));
        ::usleep(static_cast<useconds_t>(delay));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        Tally& t = killed[static_cast<int>(op)];
        ++t.runs;
        if (WIFEXITED(status))
            ++(WEXITSTATUS(status) == 0 ? t.completed : t.stopped);
        check(op, t, seedRows, restoredRows, deletedRows);
    }
    std::printf("kill -9 at a random moment, then the start-up's recovery:\n");
    for (const auto& [op, t] : killed)
        t.print(kOpNames[op]);

    // Full-disk campaign: the application folder on a tmpfs that fills at a random point.
    if (fullDisk > 0) {
        const QString disk = work + QStringLiteral("/disk");
        QDir().mkpath(disk);
        makeSeed(shipped, work, 3000);
        const qint64 size = QFileInfo(g_seed).size();
        const QByteArray options = QStringLiteral("size=%1").arg(size * 8).toUtf8();
        if (::mount("tmpfs", QFile::encodeName(disk).constData(), "tmpfs", 0, options.constData()) != 0) {
            std::printf("full disk: no tmpfs mount here, skipped\n");
            return 0;
        }
        g_app = disk + QStringLiteral("/app");
        const QString seedRows2 = rowsOf(g_seed);
        const QString restoredRows2 = rowsOf(g_backupSeed[1]);
        QString deletedRows2;
        {
            Database db(g_seed);
            Query q(db, QStringLiteral(
                            "select (select count(*) from Tb_顧客), (select total(Fi_キー) from Tb_顧客)"));
            q.next();
            deletedRows2 = QStringLiteral("%1/%2/0/0").arg(q.integer(0)).arg(q.integer(1));
        }
        std::map<int, Tally> full;
        for (int i = 0; i < fullDisk; ++i) {
            const Op op = static_cast<Op>(i % 3);
            reset();
            // Leaves between nothing and four database sizes free.
            const qint64 leave = random.bounded(static_cast<quint32>(size * 4));
            const qint64 fill = std::max<qint64>(0, freeBytes(disk) - leave);
            QFile filler(disk + QStringLiteral("/filler"));
            filler.open(QIODevice::WriteOnly);
            const QByteArray block(1 << 16, 'f');
            for (qint64 done = 0; done < fill; done += block.size())
                filler.write(block.constData(), std::min<qint64>(block.size(), fill - done));
            filler.close();
            setGlobals();
            const int result = runOp(op);
            QFile::remove(filler.fileName());
            Tally& t = full[static_cast<int>(op)];
            ++t.runs;
            ++(result == 0 ? t.completed : t.stopped);
            check(op, t, seedRows2, restoredRows2, deletedRows2);
        }
        std::printf("full disk at a random point (%.1f MB database):\n", size / 1e6);
        for (const auto& [op, t] : full)
            t.print(kOpNames[op]);
        ::umount2(QFile::encodeName(disk).constData(), MNT_DETACH);
    }
    return 0;
}

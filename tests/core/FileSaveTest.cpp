#include "core/FileSave.h"
#include "core/QelError.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QByteArray Read(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(none)");
}

void Write(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// Everything in the folder, hidden files included: what a save leaves behind.
QStringList Entries(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

TEST(FileSave, TheOldFileStaysUntilTheNewOneIsCompleteAndIsNeverSilentlyReplaced)
{
    const struct
    {
        FileSave::Existing existing;
        int saves;
        QStringList files;   // after the saves
        QByteArray original; // what 売上.csv holds then
    } cases[] = {
        {FileSave::Existing::Replace, 2, {QStringLiteral("売上.csv")}, "save 2"},
        {FileSave::Existing::Keep,
         2,
         {QStringLiteral("売上 (2).csv"), QStringLiteral("売上 (3).csv"), QStringLiteral("売上.csv")},
         "old"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.existing == FileSave::Existing::Replace ? "replace" : "keep");
        QTemporaryDir dir;
        const QString target = dir.filePath(QStringLiteral("売上.csv"));
        Write(target, "old");
        for (int i = 1; i <= c.saves; ++i) {
            FileSave save(target, c.existing);
            save.file().write("save " + QByteArray::number(i));
            // Before the commit the folder shows the old file as it was, and the new one nowhere.
            EXPECT_EQ(Read(target), i == 1 || c.existing == FileSave::Existing::Keep
                                        ? QByteArray("old")
                                        : "save " + QByteArray::number(i - 1));
            const QString written = save.commit();
            EXPECT_EQ(Read(written), "save " + QByteArray::number(i));
        }
        EXPECT_EQ(Entries(dir.path()), c.files);
        EXPECT_EQ(Read(target), c.original);
    }
}

TEST(FileSave, ASaveDroppedOrFailedLeavesTheTargetAndNothingElse)
{
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("グラフ.png"));
    Write(target, "old");
    QFile::setPermissions(target, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup);
    {
        FileSave save(target, FileSave::Existing::Replace);
        save.file().write("half");
        EXPECT_EQ(Entries(dir.path()).size(), 2);
    }
    EXPECT_EQ(Entries(dir.path()), QStringList{QStringLiteral("グラフ.png")});
    EXPECT_EQ(Read(target), "old");

    // The replacing file keeps the permissions the user gave the old one.
    {
        FileSave save(target, FileSave::Existing::Replace);
        save.file().write("new");
        save.commit();
    }
    EXPECT_TRUE(QFile::permissions(target).testFlag(QFileDevice::ReadGroup));
    EXPECT_FALSE(QFile::permissions(target).testFlag(QFileDevice::ReadOther));
    EXPECT_EQ(Read(target), "new");

    const struct
    {
        QString target;
        QelError::Kind kind;
    } failures[] = {
        {dir.filePath(QStringLiteral("ない/グラフ.png")), QelError::Kind::NotFound},
        {dir.path(), QelError::Kind::FolderInTheWay},
    };
    for (const auto& f : failures) {
        try {
            FileSave save(f.target, FileSave::Existing::Replace);
            save.commit();
            ADD_FAILURE() << f.target.toStdString();
        } catch (const QelError& e) {
            EXPECT_EQ(int(e.kind()), int(f.kind)) << e.message().toStdString();
            EXPECT_TRUE(e.message().startsWith(QStringLiteral("ファイルを保存できません。")));
        }
    }
    EXPECT_EQ(Entries(dir.path()), QStringList{QStringLiteral("グラフ.png")});
}

} // namespace

#include "core/FileSave.h"
#include "core/QelError.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// What the screens' tests cannot reach: a replaced file keeps the permissions the user gave it,
// a save that cannot be made says why, and neither leaves a file behind.
TEST(FileSave, AReplacedFileKeepsItsPermissionsAndAFailedSaveLeavesNothing)
{
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("グラフ.png"));
    QFile old(target);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.close();
    QFile::setPermissions(target, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup);
    FileSave save(target, FileSave::Existing::Replace);
    save.file().write("new");
    EXPECT_EQ(save.commit(), target);
    EXPECT_TRUE(QFile::permissions(target).testFlag(QFileDevice::ReadGroup));
    EXPECT_FALSE(QFile::permissions(target).testFlag(QFileDevice::ReadOther));

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
            FileSave failing(f.target, FileSave::Existing::Replace);
            ADD_FAILURE() << f.target.toStdString();
        } catch (const QelError& e) {
            EXPECT_EQ(int(e.kind()), int(f.kind)) << e.message().toStdString();
        }
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{QStringLiteral("グラフ.png")});
}

} // namespace

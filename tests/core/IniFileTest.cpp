#include "core/IniFile.h"
#include "core/Cp932.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class IniFileTest : public ::testing::Test
{
  protected:
    QString write(const QByteArray& bytes)
    {
        const QString path = dir.filePath(QStringLiteral("Qel.Ini"));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
        return path;
    }
    QString read(const QString& path, const QString& key, bool* found = nullptr)
    {
        QString value = QStringLiteral("stale");
        const bool ok = GetIniString(path, QStringLiteral("Ini"), key, value);
        if (found)
            *found = ok;
        return value;
    }
    QTemporaryDir dir;
};

TEST_F(IniFileTest, ReadsCp932FileWithJapaneseValues)
{
    const QString path = write(
        EncodeCp932(QStringLiteral("[Ini]\r\nMaker=ブランド\r\nDataPath=帳票\r\nTitle=ソフト 販売\r\n")));
    EXPECT_EQ(read(path, "Maker"), QStringLiteral("ブランド"));
    EXPECT_EQ(read(path, "DataPath"), QStringLiteral("帳票"));
    EXPECT_EQ(read(path, "Title"), QStringLiteral("ソフト 販売"));
}

TEST_F(IniFileTest, ReadsUtf8FileWithAndWithoutByteOrderMark)
{
    const QByteArray body = QStringLiteral("[Ini]\nSyouhin=商品\n").toUtf8();
    EXPECT_EQ(read(write(body), "Syouhin"), QStringLiteral("商品"));
    EXPECT_EQ(read(write(QByteArray("\xEF\xBB\xBF") + body), "Syouhin"), QStringLiteral("商品"));
}

TEST_F(IniFileTest, ReadsUtf16FileWithItsByteOrderMark)
{
    const QString body = QStringLiteral("[Ini]\r\nMaker=ブランド\r\nBackCnt=5\r\n");
    const std::pair<const char*, QByteArray> cases[] = {
        {"little-endian",
         QByteArray("\xFF\xFE") + QByteArray(reinterpret_cast<const char*>(body.utf16()), body.size() * 2)},
        {"big-endian", QByteArray("\xFE\xFF") +
                           [&] {
                               QByteArray bytes;
                               for (QChar c : body)
                                   bytes.append(char(c.unicode() >> 8)).append(char(c.unicode() & 0xff));
                               return bytes;
                           }()},
    };
    for (const auto& [order, bytes] : cases) {
        const QString path = write(bytes);
        EXPECT_EQ(read(path, "Maker"), QStringLiteral("ブランド")) << order;
        EXPECT_EQ(read(path, "BackCnt"), QStringLiteral("5")) << order;
    }
}

TEST_F(IniFileTest, SectionAndKeyIgnoreCaseAndLeadingBlanksAreRemoved)
{
    const QString path = write("[ini]\r\n  maker =   Brand X  \r\n[Other]\r\nTitle=wrong\r\n");
    bool found = false;
    EXPECT_EQ(read(path, "MAKER", &found), QStringLiteral("Brand X"));
    EXPECT_TRUE(found);
    EXPECT_EQ(read(path, "Title", &found), QString());
    EXPECT_FALSE(found);
}

TEST_F(IniFileTest, MissingFileKeyOrEmptyValueGiveEmptyTextAndFalse)
{
    bool found = true;
    EXPECT_EQ(read(dir.filePath("none.ini"), "Maker", &found), QString());
    EXPECT_FALSE(found);
    const QString path = write("[Ini]\r\nMaker=\r\n");
    EXPECT_EQ(read(path, "Maker", &found), QString());
    EXPECT_FALSE(found);
    EXPECT_EQ(read(path, "Title", &found), QString());
    EXPECT_FALSE(found);
}

TEST_F(IniFileTest, ValueIsCutAt255BytesWithoutSplittingACharacter)
{
    const QString ascii(300, QLatin1Char('a'));
    EXPECT_EQ(read(write("[Ini]\nTitle=" + ascii.toLatin1() + "\n"), "Title").size(), 255);
    // 128 two-byte characters: only 127 fit in 255 bytes.
    const QString wide(128, QChar(0x3042));
    EXPECT_EQ(read(write(EncodeCp932("[Ini]\r\nTitle=" + wide + "\r\n")), "Title").size(), 127);
}

struct IntegerCase
{
    const char* text;
    int expected;
};

class IniIntegerTest : public ::testing::TestWithParam<IntegerCase>
{
};

TEST_P(IniIntegerTest, LeadingNumericPartRoundedTiesToEven)
{
    EXPECT_EQ(IniInteger(QString::fromUtf8(GetParam().text)), GetParam().expected) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(Cases, IniIntegerTest,
                         ::testing::Values(IntegerCase{"5", 5}, IntegerCase{"", 0}, IntegerCase{"abc", 0},
                                           IntegerCase{"12件", 12}, IntegerCase{"7 backups", 7},
                                           IntegerCase{"2.5", 2}, IntegerCase{"3.5", 4},
                                           IntegerCase{"-2.5", -2}, IntegerCase{"0.4", 0},
                                           IntegerCase{"1 2", 12}, IntegerCase{"-7", -7},
                                           IntegerCase{"1e2", 100}, IntegerCase{"32767", 32767},
                                           IntegerCase{"32768", 0}, IntegerCase{"-32768", -32768},
                                           IntegerCase{"99999999999", 0}, IntegerCase{"１２", 0}));

} // namespace

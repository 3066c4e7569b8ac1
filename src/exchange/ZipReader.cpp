#include "ZipReader.h"

#include "core/TextRoutines.h"
#include "sheets/XmlParts.h"

#include <QFile>

#include <zip.h>

ZipReader::~ZipReader()
{
    if (m_zip)
        zip_discard(m_zip);
}

void ZipReader::refuse(QelError::Kind kind, const QString& why) const
{
    throw QelError(kind, QelError::sentence(kind) + QLatin1Char('\n') + ShownPath(m_path), why);
}

void ZipReader::open(const QString& path)
{
    if (m_zip)
        zip_discard(m_zip);
    m_path = path;
    m_total = 0;
    int error = 0;
    m_zip = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &error);
    if (m_zip)
        return;
    zip_error_t z;
    zip_error_init_with_code(&z, error);
    const QString why = QString::fromLocal8Bit(zip_error_strerror(&z));
    zip_error_fini(&z);
    refuse(QelError::Kind::NotAWorkbook, QStringLiteral("(zip) ") + why);
}

bool ZipReader::has(const std::string& name) const
{
    return m_zip && zip_name_locate(m_zip, name.c_str(), 0) >= 0;
}

std::string ZipReader::read(const std::string& name, std::int64_t cap)
{
    const zip_int64_t index = m_zip ? zip_name_locate(m_zip, name.c_str(), 0) : -1;
    if (index < 0)
        refuse(QelError::Kind::NotAWorkbook,
               QString::fromStdString(name) + QStringLiteral(" がありません。"));
    const std::int64_t allowed = std::min(cap, kTotalCap - m_total);
    const QString tooLarge =
        QStringLiteral("%1 が %2 MB を超えます。").arg(QString::fromStdString(name)).arg(allowed >> 20);
    zip_stat_t st;
    zip_stat_init(&st);
    if (zip_stat_index(m_zip, index, 0, &st) == 0 && (st.valid & ZIP_STAT_SIZE) &&
        st.size > zip_uint64_t(allowed))
        refuse(QelError::Kind::TooLarge, tooLarge);
    zip_file_t* file = zip_fopen_index(m_zip, index, 0);
    if (!file)
        refuse(QelError::Kind::NotAWorkbook, QString::fromLocal8Bit(zip_strerror(m_zip)));
    // The directory's size is a claim only: the part grows as it unpacks, up to the cap.
    std::string data;
    data.reserve(std::size_t(std::min<zip_uint64_t>((st.valid & ZIP_STAT_SIZE) ? st.size : 0, 1 << 20)));
    char piece[1 << 16];
    for (;;) {
        const zip_int64_t got = zip_fread(file, piece, sizeof piece);
        if (got < 0) {
            const QString why = QString::fromLocal8Bit(zip_file_strerror(file));
            zip_fclose(file);
            refuse(QelError::Kind::NotAWorkbook, why);
        }
        if (got == 0)
            break;
        if (std::int64_t(data.size()) + got > allowed) {
            zip_fclose(file);
            refuse(QelError::Kind::TooLarge, tooLarge);
        }
        data.append(piece, std::size_t(got));
    }
    zip_fclose(file);
    m_total += std::int64_t(data.size());
    return data;
}

void ZipReader::parse(const std::string& name, pugi::xml_document& doc, std::int64_t cap)
{
    const std::string data = read(name, cap);
    QString why;
    if (!LoadXmlPart(name, data, doc, why))
        refuse(QelError::Kind::NotAWorkbook, why);
}

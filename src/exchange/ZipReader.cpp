#include "ZipReader.h"

#include "core/TextRoutines.h"
#include "sheets/XmlParts.h"

#include <QFile>

#include <algorithm>

#include <zip.h>

ZipReader::~ZipReader()
{
    if (m_zip)
        zip_discard(m_zip);
}

void ZipReader::refuse(QelError::Kind kind, const QString& why) const
{
    // What was too large is the user's to read; the library's reasons are for the detail.
    if (kind == QelError::Kind::TooLarge)
        throw QelError(kind, QelError::sentence(kind) + QLatin1Char('\n') + why + QLatin1Char('\n') +
                                 ShownPath(m_path));
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

QString ZipReader::tooLarge(const std::string& name, std::int64_t allowed) const
{
    return QStringLiteral("ブックの部品 %1 が %2 MB を超えます。")
        .arg(QString::fromStdString(name))
        .arg(allowed >> 20);
}

std::unique_ptr<ZipReader::Part> ZipReader::stream(const std::string& name, std::int64_t cap)
{
    const zip_int64_t index = m_zip ? zip_name_locate(m_zip, name.c_str(), 0) : -1;
    if (index < 0)
        refuse(QelError::Kind::NotAWorkbook,
               QString::fromStdString(name) + QStringLiteral(" がありません。"));
    const std::int64_t allowed = std::max<std::int64_t>(0, std::min(cap, kTotalCap - m_total));
    zip_stat_t st;
    zip_stat_init(&st);
    std::int64_t claimed = 0;
    if (zip_stat_index(m_zip, index, 0, &st) == 0 && (st.valid & ZIP_STAT_SIZE)) {
        if (st.size > zip_uint64_t(allowed))
            refuse(QelError::Kind::TooLarge, tooLarge(name, allowed));
        claimed = std::int64_t(st.size);
    }
    zip_file_t* file = zip_fopen_index(m_zip, index, 0);
    if (!file)
        refuse(QelError::Kind::NotAWorkbook, QString::fromLocal8Bit(zip_strerror(m_zip)));
    return std::unique_ptr<Part>(new Part(*this, file, name, allowed, claimed));
}

ZipReader::Part::Part(ZipReader& archive, zip_file* file, std::string name, std::int64_t allowed,
                      std::int64_t claimed)
    : m_archive(archive), m_file(file), m_name(std::move(name)), m_allowed(allowed), m_claimed(claimed)
{
}

ZipReader::Part::~Part()
{
    if (m_file)
        zip_fclose(m_file);
}

QByteArray ZipReader::Part::next()
{
    if (!m_file)
        return {};
    // The directory's size is a claim only: the part is counted as it really unpacks.
    QByteArray piece(1 << 16, Qt::Uninitialized);
    const zip_int64_t got = zip_fread(m_file, piece.data(), zip_uint64_t(piece.size()));
    if (got < 0)
        m_archive.refuse(QelError::Kind::NotAWorkbook, QString::fromLocal8Bit(zip_file_strerror(m_file)));
    if (m_unpacked + got > m_allowed)
        m_archive.refuse(QelError::Kind::TooLarge, m_archive.tooLarge(m_name, m_allowed));
    m_unpacked += got;
    m_archive.m_total += got;
    if (got == 0) {
        zip_fclose(m_file);
        m_file = nullptr;
        return {};
    }
    piece.truncate(qsizetype(got));
    return piece;
}

std::string ZipReader::read(const std::string& name, std::int64_t cap)
{
    const std::unique_ptr<Part> part = stream(name, cap);
    std::string data;
    data.reserve(std::size_t(std::min<std::int64_t>(part->claimed(), 1 << 20)));
    for (QByteArray piece = part->next(); !piece.isEmpty(); piece = part->next())
        data.append(piece.constData(), std::size_t(piece.size()));
    return data;
}

void ZipReader::parse(const std::string& name, pugi::xml_document& doc, std::int64_t cap)
{
    const std::string data = read(name, cap);
    QString why;
    if (!LoadXmlPart(name, data, doc, why))
        refuse(QelError::Kind::NotAWorkbook, why);
}

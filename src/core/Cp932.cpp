#include "Cp932.h"

#include <QStringDecoder>

#include <iconv.h>

#include <cerrno>
#include <memory>
#include <utility>

namespace {

// Converts as far as it can; `clean` (when given) tells whether every byte converted.
QByteArray convert(const char* to, const char* from, const QByteArray& input, bool* clean = nullptr)
{
    if (clean)
        *clean = true;
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return {};
    std::unique_ptr<void, int (*)(iconv_t)> guard(cd, iconv_close);

    QByteArray out;
    out.resize(input.size() * 4 + 16);
    char* in = const_cast<char*>(input.constData());
    size_t inLeft = static_cast<size_t>(input.size());
    char* dst = out.data();
    size_t outLeft = static_cast<size_t>(out.size());
    while (inLeft > 0) {
        if (iconv(cd, &in, &inLeft, &dst, &outLeft) != static_cast<size_t>(-1))
            continue;
        if (errno == E2BIG) {
            const auto used = dst - out.data();
            out.resize(out.size() * 2);
            dst = out.data() + used;
            outLeft = static_cast<size_t>(out.size() - used);
            continue;
        }
        // An invalid or incomplete sequence: skip one byte and go on, as a lenient reader would.
        if (clean)
            *clean = false;
        ++in;
        --inLeft;
    }
    out.resize(dst - out.data());
    return out;
}

} // namespace

QString DecodeCp932(const QByteArray& bytes)
{
    return QString::fromUtf8(convert("UTF-8", "CP932", bytes));
}

QByteArray EncodeCp932(const QString& text)
{
    return convert("CP932", "UTF-8", text.toUtf8());
}

bool IsValidUtf8(const QByteArray& bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    [[maybe_unused]] QString text = decoder.decode(bytes);
    return !decoder.hasError();
}

std::optional<QString> DecodeCp932Exact(const QByteArray& bytes)
{
    bool clean = false;
    const QByteArray utf8 = convert("UTF-8", "CP932", bytes, &clean);
    if (!clean)
        return std::nullopt;
    return QString::fromUtf8(utf8);
}

QString Cp932Form(const QString& text)
{
    // The JIS forms of these signs are written under CP932's codes, which read back as its own.
    static constexpr std::pair<char16_t, char16_t> kForms[] = {
        {0x301C, 0xFF5E}, {0x2016, 0x2225}, {0x2212, 0xFF0D}, {0x00A2, 0xFFE0},
        {0x00A3, 0xFFE1}, {0x00AC, 0xFFE2}, {0x2014, 0x2015}};
    QString out = text;
    for (QChar& c : out) {
        for (const auto& [jis, cp932] : kForms) {
            if (c.unicode() == jis)
                c = QChar(cp932);
        }
    }
    return out;
}

bool Cp932Holds(const QString& text)
{
    bool ascii = true;
    for (QChar c : text)
        ascii = ascii && c.unicode() < 0x80;
    if (ascii)
        return true;
    bool clean = false;
    const QByteArray bytes = convert("CP932", "UTF-8", text.toUtf8(), &clean);
    return clean && DecodeCp932Exact(bytes) == Cp932Form(text);
}

#include "ReadingDictionary.h"

#include "TextRoutines.h"

#include <QByteArray>
#include <QFileInfo>
#include <QStringList>

#include <mecab.h>

#include <algorithm>
#include <memory>
#include <utility>

// The readings come from MeCab with the IPA dictionary in UTF-8. Its entries carry nine features:
// part of speech (four), conjugation (two), base form, reading, pronunciation. The reading (the
// eighth) is the one a reading field holds: ｺﾝﾄﾞｳ for 近藤, where the pronunciation says ｺﾝﾄﾞｰ.
//
// A word the dictionary does not know keeps its surface when that is kana, except ヶ, which a name
// reads ｶﾞ or ｶ, never as its surface ｹ; a symbol keeps its own form, of which the reading keeps
// what is half-width katakana (・ as ･). Variation selectors are left out before the analysis. Letters and
// figures are looked up in their wide forms, as the dictionary holds them: a word it knows (ＮＴＴ, ＡＢＣ,
// Ｊｒ) has its reading, but a letter or a figure on its own has none. Any other unknown word (letters,
// digits, a kanji the dictionary lacks) makes the whole reading empty: a reading with a word left out would
// look complete and sort wrongly, while an empty one tells the caller that the dictionary could not give it.

namespace {

// The features of an IPA dictionary entry: the part of speech comes first, the reading eighth.
constexpr int kReadingFeature = 7;
// The part of speech of the entries of persons' names (surnames 姓, given names 名).
constexpr char kPersonName[] = "名詞,固有名詞,人名,";

class Dictionary
{
  public:
    Dictionary()
    {
        // The UTF-8 build of the IPA dictionary where Debian installs it, then whatever the
        // system's MeCab settings name; either is used only when its characters are UTF-8.
        const QString debianUtf8 = QStringLiteral("/var/lib/mecab/dic/ipadic-utf8");
        QStringList arguments;
        if (QFileInfo(debianUtf8 + QStringLiteral("/sys.dic")).isFile()) {
            arguments << QStringLiteral("-d %1").arg(debianUtf8);
            // Without a settings file of its own MeCab refuses to start; an empty one serves.
            arguments << QStringLiteral("-r /dev/null -d %1").arg(debianUtf8);
        }
        arguments << QString();
        for (const QString& argument : arguments) {
            std::unique_ptr<MeCab::Model> model(MeCab::createModel(argument.toUtf8().constData()));
            if (!model || !isUtf8(model.get()))
                continue;
            std::unique_ptr<MeCab::Tagger> tagger(model->createTagger());
            if (!tagger)
                continue;
            model_ = std::move(model);
            tagger_ = std::move(tagger);
            return;
        }
    }

    bool available() const { return tagger_ != nullptr; }

    // The reading of one run of text without blanks; empty when a word has none. A run that is a
    // name the dictionary knows is read as that name: left to itself the analysis reads 陽子 as
    // the word for proton (ﾖｳｼ) and 佐々木彩 with the word 彩 (ｲﾛﾄﾞﾘ).
    // `name` says whether the run before this one began with a name; it is set for the next.
    QString reading(const QString& run, bool& name) const
    {
        const bool afterName = std::exchange(name, false);
        // The dictionary holds letters, figures and katakana in their wide forms (ＮＴＴ, ＡＢＣ).
        const QByteArray utf8 = ToWide(run).toUtf8();
        MeCab::Lattice* lattice = latticeOfThread();
        lattice->set_sentence(utf8.constData(), static_cast<size_t>(utf8.size()));
        if (!tagger_->parse(lattice))
            return {};
        QString result;
        bool startsWithName = false;
        for (const MeCab::Node* node = lattice->bos_node(); node; node = node->next) {
            if (node->stat == MECAB_BOS_NODE || node->stat == MECAB_EOS_NODE)
                continue;
            if (result.isEmpty())
                startsWithName = QByteArray(node->feature).startsWith(kPersonName);
            const QString word = wordReading(node);
            if (word.isEmpty()) {
                result.clear();
                break;
            }
            result += word;
        }
        // A whole run that is a name entry is read so; a split into surname and given name only
        // where the analysis found a name at the start (not 東京 as 東 and 京).
        name = startsWithName;
        if (const QString asName = nameReading(utf8, startsWithName, afterName, lattice); !asName.isEmpty())
            return asName;
        return result;
    }

    QStringList wordReadings(const QString& word) const
    {
        const QByteArray utf8 = ToWide(word).toUtf8();
        MeCab::Lattice* lattice = latticeOfThread();
        lattice->set_sentence(utf8.constData(), static_cast<size_t>(utf8.size()));
        QStringList readings;
        for (const MeCab::Node* node =
                 model_->lookup(utf8.constData(), utf8.constData() + utf8.size(), lattice);
             node; node = node->bnext) {
            if (node->stat != MECAB_NOR_NODE || node->length != static_cast<unsigned>(utf8.size()))
                continue;
            const QString reading = ReadingCharsOnly(wordReading(node));
            if (!reading.isEmpty() && !readings.contains(reading))
                readings << reading;
        }
        return readings;
    }

  private:
    MeCab::Lattice* latticeOfThread() const
    {
        // One lattice a thread: the model and the tagger are shared, which MeCab allows.
        thread_local std::unique_ptr<MeCab::Lattice> lattice;
        thread_local const MeCab::Model* latticeModel = nullptr;
        if (!lattice || latticeModel != model_.get()) {
            lattice.reset(model_->createLattice());
            latticeModel = model_.get();
        }
        return lattice.get();
    }

    // The reading of one analysed word as half-width katakana; empty when it has none.
    static QString wordReading(const MeCab::Node* node)
    {
        const QStringList features = QString::fromUtf8(node->feature).split(QLatin1Char(','));
        // A letter alone or figures read one by one (ｎ as ｴﾇ, １２３ as ｲﾁﾆｻﾝ) are no reading.
        if (features.value(1) == QStringLiteral("アルファベット") ||
            features.value(1) == QStringLiteral("数")) {
            const QString surface = QString::fromUtf8(node->surface, node->length);
            if (std::any_of(surface.cbegin(), surface.cend(), [](QChar c) {
                    return c.isLetterOrNumber() && c.unicode() >= 0xFF10 && c.unicode() <= 0xFF5A;
                }))
                return {};
        }
        QString word;
        if (features.size() > kReadingFeature && features.at(kReadingFeature) != QLatin1String("*")) {
            word = features.at(kReadingFeature);
        } else {
            word = QString::fromUtf8(node->surface, node->length);
            if (word.contains(QChar(0x30F6)) || word.contains(QChar(0x3096)))
                return {};
        }
        word = ToHalfKatakana(word);
        const bool symbol = features.value(0) == QStringLiteral("記号");
        return IsKanaOnly(word) || symbol ? word : QString();
    }

    // The person-name entry (surname or given name, `kind` 姓 or 名, any when empty) that covers
    // text[from, to) exactly, the most usual one (lowest word cost) where there are several.
    const MeCab::Node* nameEntry(const QByteArray& text, int from, int to, const char* kind,
                                 MeCab::Lattice* lattice) const
    {
        lattice->set_sentence(text.constData(), static_cast<size_t>(text.size()));
        const MeCab::Node* best = nullptr;
        for (const MeCab::Node* node =
                 model_->lookup(text.constData() + from, text.constData() + text.size(), lattice);
             node; node = node->bnext) {
            if (node->stat != MECAB_NOR_NODE || node->length != static_cast<unsigned>(to - from))
                continue;
            const QByteArray feature(node->feature);
            if (!feature.startsWith(kPersonName) || (kind && !feature.contains(kind)))
                continue;
            if (!best || node->wcost < best->wcost)
                best = node;
        }
        return best;
    }

    // The run read as one name, or as a surname followed by a given name; empty when it is not.
    QString nameReading(const QByteArray& text, bool split, bool afterName, MeCab::Lattice* lattice) const
    {
        const int size = static_cast<int>(text.size());
        // One character keeps the analysis's reading (大 is ﾀﾞｲ or ｵｵ far more often than the
        // given name ﾏｻﾙ), unless it follows a name (佐々木　彩).
        if (afterName || QString::fromUtf8(text).toUcs4().size() > 1) {
            if (const MeCab::Node* whole = nameEntry(text, 0, size, nullptr, lattice))
                return wordReading(whole);
        }
        if (!split)
            return {};
        QString best;
        long bestCost = 0;
        for (int split = 1; split < size; ++split) {
            if ((static_cast<unsigned char>(text.at(split)) & 0xC0) == 0x80)
                continue; // inside a character
            const MeCab::Node* surname = nameEntry(text, 0, split, ",姓,", lattice);
            if (!surname)
                continue;
            const QString first = wordReading(surname);
            const long surnameCost = surname->wcost;
            const MeCab::Node* given = nameEntry(text, split, size, ",名,", lattice);
            if (!given || first.isEmpty())
                continue;
            const QString second = wordReading(given);
            const long cost = surnameCost + given->wcost;
            if (!second.isEmpty() && (best.isEmpty() || cost < bestCost)) {
                best = first + second;
                bestCost = cost;
            }
        }
        return best;
    }

    static bool isUtf8(const MeCab::Model* model)
    {
        const MeCab::DictionaryInfo* info = model->dictionary_info();
        if (!info || !info->charset)
            return false;
        const QByteArray charset = QByteArray(info->charset).toLower().replace("-", "");
        return charset == "utf8";
    }

    std::unique_ptr<MeCab::Model> model_;
    std::unique_ptr<MeCab::Tagger> tagger_;
};

const Dictionary& dictionary()
{
    static const Dictionary instance; // opened once, on first use; thread-safe
    return instance;
}

} // namespace

QString DictionaryReading(const QString& written)
{
    const Dictionary& dict = dictionary();
    if (!dict.available())
        return {};
    const QString text = WithoutVariationSelectors(written);
    // Each run between blanks is read on its own, and the runs are joined by one half-width
    // blank, as the stored readings separate surname and given name (森　直子 / ﾓﾘ ﾅｵｺ).
    QString result;
    bool name = false;
    qsizetype start = 0;
    const qsizetype size = text.size();
    while (start < size) {
        while (start < size && IsBlankChar(text.at(start), Blanks::Any))
            ++start;
        qsizetype end = start;
        while (end < size && !IsBlankChar(text.at(end), Blanks::Any))
            ++end;
        if (end == start)
            break;
        const QString read = dict.reading(text.mid(start, end - start), name);
        if (read.isEmpty())
            return {};
        // A run of signs alone has nothing of a reading.
        const QString run = ReadingCharsOnly(read);
        start = end;
        if (run.isEmpty())
            continue;
        if (!result.isEmpty())
            result += QLatin1Char(' ');
        result += run;
    }
    return result;
}

QStringList DictionaryWordReadings(const QString& word)
{
    const Dictionary& dict = dictionary();
    const QString text = WithoutVariationSelectors(word);
    if (!dict.available() || text.isEmpty())
        return {};
    return dict.wordReadings(text);
}

bool DictionaryAvailable()
{
    return dictionary().available();
}

#include "StartUpConversion.h"

#include "DialogService.h"
#include "FormBase.h"
#include "Twips.h"
#include "WaitService.h"

#include "core/Globals.h"
#include "core/TextRoutines.h"
#include "db/EngineError.h"
#include "exchange/LedgerConversion.h"

#include <QFileInfo>
#include <QLabel>
#include <QVBoxLayout>
#include <QWidget>

#include <optional>

namespace {

const QString kTitle = QStringLiteral("旧データの変換");

// The only window while the conversion runs: no screen is open yet.
class ProgressWindow : public QWidget
{
  public:
    ProgressWindow()
    {
        setObjectName(QStringLiteral("ConversionProgress"));
        setWindowTitle(kTitle);
        setFont(ScreenFont(12));
        auto* layout = new QVBoxLayout(this);
        m_file = new QLabel(this);
        m_status = new QLabel(this);
        m_status->setObjectName(QStringLiteral("Lbl_Ttl_11"));
        layout->addWidget(m_file);
        layout->addWidget(m_status);
        setMinimumWidth(Tw(6000));
    }
    void start(const QString& file)
    {
        m_file->setText(QStringLiteral("以前の形式の台帳をこのプログラムの形式に変換しています\n") + file);
        show();
        Repaint(this);
    }
    void say(const QString& text)
    {
        m_status->setText(text);
        Repaint(this);
    }

  private:
    QLabel* m_file;
    QLabel* m_status;
};

} // namespace

bool OfferLedgerConversion()
{
    AppGlobals& g = G();
    g.DbFileName = QFileInfo::exists(AppFile(kSampleDbFile)) ? kSampleDbFile : kOperationalDbFile;
    const QString path = AppFile(g.DbFileName);
    if (JetFormatOf(path) == JetFormat::None)
        return true;

    std::optional<LedgerShape> shape;
    try {
        const JetFile file(path);
        shape = InspectLedger(file);
    } catch (const QelError& e) {
        Dialogs().failure(kTitle, e.message() + QStringLiteral("\nプログラムを終了します。"), e.detail());
        return false;
    }
    if (Dialogs().question(
            kTitle, QStringLiteral("データベースファイル「%1」は以前の形式（%2）の台帳です。\n"
                                   "このプログラムの形式に変換してから始めます。\n\n"
                                   "　%3\n\n"
                                   "元のファイルはバックアップフォルダに「旧形式_」で始まる名前で、"
                                   "そのまま保存します。\n%4\n\n"
                                   "変換しますか（「いいえ」のときは何も変えずにプログラムを終了します）")
                        .arg(g.DbFileName, JetFormatName(shape->format), LedgerCountsText(*shape),
                             ShownPath(AppFile(g.BackDataPath)))) != DialogService::Answer::Yes)
        return false;

    LedgerConversion result;
    try {
        ProgressWindow window;
        window.start(ShownPath(path));
        QString step;
        int shown = -1;
        result = ConvertLedger(
            path,
            [&](const QString& text) {
                step = text;
                shown = -1;
                window.say(text);
            },
            [&](int percent) {
                if (percent >= 0 && percent != shown) {
                    shown = percent;
                    window.say(QStringLiteral("%1　%2%").arg(step).arg(percent));
                }
            });
    } catch (const QelError& e) {
        Dialogs().failure(kTitle, e.message() + QStringLiteral("\nプログラムを終了します。"), e.detail());
        return false;
    }
    Dialogs().information(kTitle, ConversionReport(result));
    if (!result.pruneProblem.isEmpty())
        Dialogs().failure(kTitle, result.pruneProblem, result.pruneDetail);
    return true;
}

#include "ReadingCapture.h"

#include "InputBehaviour.h"

#include "core/TextRoutines.h"

#include <QInputMethodEvent>
#include <QLineEdit>
#include <QPointer>

namespace {

class Capture : public QObject
{
  public:
    QString readingText;
    QPointer<QLineEdit> hooked;

    void start(QLineEdit* field)
    {
        stop();
        readingText.clear();
        pendingKana.clear();
        hooked = field;
        if (field)
            field->installEventFilter(this);
    }

    void stop()
    {
        if (hooked)
            hooked->removeEventFilter(this);
        hooked = nullptr;
        pendingKana.clear();
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == hooked && event->type() == QEvent::InputMethod)
            collect(*static_cast<QInputMethodEvent*>(event));
        return false;
    }

  private:
    void collect(const QInputMethodEvent& event)
    {
        const QString commit = event.commitString();
        const QString preedit = event.preeditString();
        if (!commit.isEmpty()) {
            const bool kanaCommit = IsKanaOnly(commit);
            QString reading = kanaCommit ? commit : pendingKana;
            // A part of the composition converted and committed while the rest stays open: the
            // rest's kana belong to the next commit, not to this one.
            if (!kanaCommit && IsKanaOnly(preedit) && reading.size() > preedit.size() &&
                reading.endsWith(preedit))
                reading.chop(preedit.size());
            readingText += TrimBlank(ToHalfKatakana(reading));
            pendingKana.clear();
        }
        if (IsKanaOnly(preedit))
            pendingKana = preedit;
        else if (preedit.isEmpty())
            pendingKana.clear(); // the composition ended, committed or abandoned
    }

    QString pendingKana;
};

Capture& capture()
{
    static Capture instance;
    return instance;
}

} // namespace

void StartReadingCapture(QLineEdit* field)
{
    capture().start(field);
}

void StopReadingCapture()
{
    capture().stop();
}

QString ReadingText()
{
    return capture().readingText;
}

void AppendCapturedReading(QLineEdit* reading)
{
    StopReadingCapture();
    SetImeMode(reading, ImeHalfKatakana);
    const QString captured = ReadingText();
    if (!captured.isEmpty())
        reading->setText(reading->text() + captured);
}

void AttachReadingCapture(InputBehaviour& input, QLineEdit* name, QLineEdit* reading,
                          bool emptyNameEmptiesReading)
{
    input.selectAllOnFocus(name);
    input.onFocusIn(name, [name] { StartReadingCapture(name); });
    input.onFocusOut(name, [reading] { AppendCapturedReading(reading); });
    if (emptyNameEmptiesReading) {
        QObject::connect(name, &QLineEdit::textChanged, reading, [reading](const QString& text) {
            if (text.isEmpty())
                reading->clear();
        });
    }
}

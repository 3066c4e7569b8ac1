#include "ReadingCapture.h"

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
        if (!commit.isEmpty()) {
            const QString reading = IsKanaOnly(commit) ? commit : pendingKana;
            readingText += TrimBlank(ToHalfKatakana(reading));
            pendingKana.clear();
        }
        const QString preedit = event.preeditString();
        if (IsKanaOnly(preedit))
            pendingKana = preedit;
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

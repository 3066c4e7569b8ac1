#pragma once

#include <QApplication>

// The application object. Every event handler runs through notify(): a failure that no action
// caught (an exception leaving a slot or an event handler, a failed allocation while painting)
// becomes the failure box of the screen it happened on, shown once the event is over, and the
// program goes on instead of ending.
class QelApplication : public QApplication
{
  public:
    QelApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;

  private:
    void reportLater(QObject* receiver, const std::exception* e);

    // One box at a time: a failure that repeats with every paint is told once.
    bool m_reporting = false;
};

#pragma once

#include <QHash>
#include <QString>

#include <functional>

class MainScreen;

// Opens main screens by form name. Each subsystem registers its screens once at start-up; a
// form name that is not registered cannot be opened (its menu button stays disabled).
class Navigator
{
  public:
    using Factory = std::function<MainScreen*()>;

    void registerScreen(const QString& formName, Factory factory);
    bool has(const QString& formName) const;
    // Creates the screen and runs its LoadProc; returns it, or nullptr for an unknown name.
    MainScreen* open(const QString& formName);
    void clear();

  private:
    QHash<QString, Factory> m_factories;
};

Navigator& Screens();

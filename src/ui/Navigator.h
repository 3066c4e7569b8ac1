#pragma once

#include <QHash>
#include <QString>

#include <functional>
#include <vector>

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

    // Reads the main menu makes while it waits for a click, for screens opened from it that would
    // otherwise make them at their opening (each keeps what it read while the file is unchanged).
    // A failure is left to the screen, which reads again and says so.
    void addMenuWarmUp(std::function<void()> warmUp);
    void warmUp() const;

  private:
    QHash<QString, Factory> m_factories;
    std::vector<std::function<void()>> m_warmUps;
};

Navigator& Screens();

#include "Navigator.h"

#include "MainScreen.h"

#include "core/QelError.h"

void Navigator::registerScreen(const QString& formName, Factory factory)
{
    m_factories.insert(formName, std::move(factory));
}

bool Navigator::has(const QString& formName) const
{
    return m_factories.contains(formName);
}

MainScreen* Navigator::open(const QString& formName)
{
    const auto it = m_factories.constFind(formName);
    if (it == m_factories.constEnd())
        return nullptr;
    MainScreen* screen = (*it)();
    screen->LoadProc();
    return screen;
}

void Navigator::clear()
{
    m_factories.clear();
    m_warmUps.clear();
}

void Navigator::addMenuWarmUp(std::function<void()> warmUp)
{
    m_warmUps.push_back(std::move(warmUp));
}

void Navigator::warmUp() const
{
    for (const auto& warmUp : m_warmUps) {
        try {
            warmUp();
        } catch (const QelError&) {
            // Only a head start: the screen reads again when it opens and reports the failure there.
        }
    }
}

Navigator& Screens()
{
    static Navigator navigator;
    return navigator;
}

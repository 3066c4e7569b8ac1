#include "Navigator.h"

#include "MainScreen.h"

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
}

Navigator& Screens()
{
    static Navigator navigator;
    return navigator;
}

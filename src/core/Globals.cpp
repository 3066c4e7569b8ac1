#include "Globals.h"

namespace {
AppGlobals& instance()
{
    static AppGlobals globals;
    return globals;
}
} // namespace

AppGlobals& G()
{
    return instance();
}

void ResetGlobals()
{
    instance() = AppGlobals{};
}

QString AppFile(const QString& name)
{
    if (name.isEmpty())
        return G().AppPath;
    return G().AppPath + QLatin1Char('/') + name;
}

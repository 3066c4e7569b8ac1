#include "AllScreens.h"
#include "ui/Mdl_Main.h"
#include "ui/Navigator.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Qel"));

    // Japanese texts for the standard buttons of the message boxes.
    QTranslator qtTranslator;
    if (qtTranslator.load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"),
                          QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTranslator);

    RegisterAllScreens(Screens());

    const auto lock = Main(QApplication::applicationDirPath());
    if (!lock)
        return 0;
    return QApplication::exec();
}

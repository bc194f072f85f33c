// Brewpad's entry point. Command-line arguments are ignored.
#include "app/brewpad.h"

#include <QApplication>

#include "resources/resources.h"

int OwlMain(int argc, char** argv)
{
    QApplication qapp(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Brewpad"));
    QApplication::setApplicationVersion(QStringLiteral("0.1"));
    initBrewpadResources();
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/brewpad.png")));
    TMDIFileApp app;
    app.InitMainWindow();
    return qapp.exec();
}

int main(int argc, char** argv)
{
    return OwlMain(argc, argv);
}

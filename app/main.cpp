#include "SignalQuit.h"
#include "UpdaterWindow.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("QZ7 Updater"));
    QApplication::setQuitOnLastWindowClosed(QZ7_UpdaterAppDelegate::applicationShouldTerminateAfterLastWindowClosed());

    UpdaterApp updater;
    QObject::connect(&app, &QCoreApplication::aboutToQuit, updater.controller.get(),
                     &QZ7_UpdaterAppDelegate::applicationWillTerminate);
    SignalQuit signalQuit(updater.window.get());
    updater.Launch();
    return app.exec();
}

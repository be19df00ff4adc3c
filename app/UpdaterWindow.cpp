#include "UpdaterWindow.h"

#include <QTimer>
#include <mutex>

void InitUpdaterResources()
{
    static std::once_flag once;
    std::call_once(once, [] { Q_INIT_RESOURCE(resources); });
}

UpdaterWindow::UpdaterWindow()
{
    ui.setupUi(this);
    // The level indicator's filled part is one plain rectangle. The default style draws it as
    // thick antialiased stripes, which Qt rasterises on a pool of its own threads at every
    // repaint; a plain fill stays on the GUI thread.
    ui.LevelIndicatorVew->setStyleSheet(QStringLiteral(
        "QProgressBar { border: 1px solid palette(mid); border-radius: 3px; background: palette(base); text-align: center; }"
        "QProgressBar::chunk { background-color: palette(highlight); }"));
}

UpdaterApp::UpdaterApp(QZ7_UpdaterAppDelegate::Options options)
    : window(std::make_unique<UpdaterWindow>())
{
    controller = std::make_unique<QZ7_UpdaterAppDelegate>(std::move(options));
    QZ7_UpdaterAppDelegate& c = *controller;
    c.setWindow(window.get());
    c.setImageView(window->ui.ImageView);
    c.setDirectionsView(window->ui.DirectionsView);
    c.setUpdateButtonView(window->ui.UpdateButtonView);
    c.setCancelButtonView(window->ui.CancelButtonView);
    c.setLevelIndicatorVew(window->ui.LevelIndicatorVew);
    QObject::connect(window->ui.UpdateButtonView, &QPushButton::clicked, &c, &QZ7_UpdaterAppDelegate::UpdatePressed);
    QObject::connect(window->ui.CancelButtonView, &QPushButton::clicked, &c, &QZ7_UpdaterAppDelegate::CancelPressed);
}

UpdaterApp::~UpdaterApp()
{
    controller.reset();
}

void UpdaterApp::Launch()
{
    window->show();
    QTimer::singleShot(0, controller.get(), [c = controller.get()] { c->applicationDidFinishLaunching(); });
}

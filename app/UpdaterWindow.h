#pragma once
#include "QZ7_UpdaterAppDelegate.h"
#include "ui_QZ7_Updater.h"

#include <QWidget>
#include <memory>

// The program's one window, laid out by its Designer form.
class UpdaterWindow : public QWidget {
    Q_OBJECT
public:
    UpdaterWindow();
    Ui::QZ7UpdaterWindow ui;
};

// The window and its controller, wired as the program runs them. The controller is destroyed
// first, so that no posted update can outlive the views.
struct UpdaterApp {
    explicit UpdaterApp(QZ7_UpdaterAppDelegate::Options options = {});
    ~UpdaterApp();
    // Shows the window and, once it is shown, starts discovery.
    void Launch();

    std::unique_ptr<UpdaterWindow> window;
    std::unique_ptr<QZ7_UpdaterAppDelegate> controller;
};

// Makes the compiled-in resources (image, picture, form) available; the program calls it once.
void InitUpdaterResources();

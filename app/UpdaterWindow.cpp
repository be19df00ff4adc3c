#include "UpdaterWindow.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>
#include <mutex>

namespace {

// A plain QWidget is exposed to assistive technologies as a filler; the program's window is
// exposed as what it is, a window (a frame to AT-SPI), named by its title.
QAccessibleInterface* WindowAccessible(const QString& className, QObject* object)
{
    if (className == QLatin1String("UpdaterWindow") && object && object->isWidgetType())
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Window);
    return nullptr;
}

// The icon the desktop's theme holds for the program, or else the same drawings built in.
QIcon ApplicationIcon()
{
    QIcon builtIn;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
        builtIn.addFile(QStringLiteral(":/icons/hicolor/%1x%1/apps/qz7-updater.png").arg(size), QSize(size, size));
    return QIcon::fromTheme(QStringLiteral("qz7-updater"), builtIn);
}

}  // namespace

void InitUpdaterResources()
{
    static std::once_flag once;
    std::call_once(once, [] { Q_INIT_RESOURCE(resources); });
}

UpdaterWindow::UpdaterWindow()
{
    static std::once_flag once;
    std::call_once(once, [] { QAccessible::installFactory(WindowAccessible); });
    InitUpdaterResources();
    ui.setupUi(this);
    // The level indicator's filled part is one plain rectangle. The default style draws it as
    // thick antialiased stripes, which Qt rasterises on a pool of its own threads at every
    // repaint; a plain fill stays on the GUI thread.
    ui.LevelIndicatorVew->setStyleSheet(QStringLiteral(
        "QProgressBar { border: 1px solid palette(mid); border-radius: 3px; background: palette(base); text-align: center; }"
        "QProgressBar::chunk { background-color: palette(highlight); }"));
    setWindowIcon(ApplicationIcon());
    for (QKeySequence keys : {QKeySequence(Qt::CTRL | Qt::Key_Q), QKeySequence(Qt::CTRL | Qt::Key_W)})
        connect(new QShortcut(keys, this), &QShortcut::activated, this, &UpdaterWindow::OperatorClose);
}

void UpdaterWindow::OperatorClose()
{
    if (Programming())
        AskToStop();
    else
        close();
}

void UpdaterWindow::closeEvent(QCloseEvent* event)
{
    // Only the window system's close request (the operator's close control) is spontaneous; the
    // program's own closes (Cancel, SIGTERM and SIGINT) go through at once.
    if (event->spontaneous() && !stopChosen_ && Programming()) {
        event->ignore();
        AskToStop();
        return;
    }
    QWidget::closeEvent(event);
    emit Closed();
}

void UpdaterWindow::AskToStop()
{
    if (question_) {
        question_->raise();
        return;
    }
    auto* box = new QMessageBox(QMessageBox::Warning, windowTitle(), QString::fromLatin1(kStopQuestion),
                                QMessageBox::NoButton, this);
    QPushButton* keep = box->addButton(QStringLiteral("Keep updating"), QMessageBox::RejectRole);
    QPushButton* stop = box->addButton(QStringLiteral("Stop"), QMessageBox::DestructiveRole);
    box->setDefaultButton(keep);
    box->setEscapeButton(keep);
    box->setAttribute(Qt::WA_DeleteOnClose);
    connect(box, &QMessageBox::buttonClicked, this, [this, stop](QAbstractButton* chosen) {
        if (chosen != stop)
            return;
        stopChosen_ = true;
        close();
    });
    question_ = box;
    box->open();  // modal to this window; the update goes on while the question is shown
}

void UpdaterWindow::keyPressEvent(QKeyEvent* event)
{
    // Keys reach the window when the focused widget leaves them: a focused Update or Cancel
    // takes Return itself, a disabled button never sees a key.
    QPushButton* target = nullptr;
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        target = ui.UpdateButtonView;
        break;
    case Qt::Key_Escape:
        target = ui.CancelButtonView;
        break;
    default:
        break;
    }
    if (target && target->isEnabled() && target->isVisible() && event->modifiers() == Qt::NoModifier) {
        target->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

UpdaterApp::UpdaterApp(QZ7_UpdaterAppDelegate::Options options)
    : window(std::make_unique<UpdaterWindow>())
{
    QGuiApplication::setDesktopFileName(QStringLiteral("qz7-updater"));
    controller = std::make_unique<QZ7_UpdaterAppDelegate>(std::move(options));
    QZ7_UpdaterAppDelegate& c = *controller;
    c.setWindow(window.get());
    c.setImageView(window->ui.ImageView);
    c.setDirectionsView(window->ui.DirectionsView);
    c.setUpdateButtonView(window->ui.UpdateButtonView);
    c.setCancelButtonView(window->ui.CancelButtonView);
    c.setLevelIndicatorVew(window->ui.LevelIndicatorVew);
    c.setNextUnitButtonView(window->ui.NextUnitButtonView);
    window->programming = [&c] { return c.Programming(); };
    c.setStatusView(window->ui.StatusView);
    QObject::connect(window->ui.UpdateButtonView, &QPushButton::clicked, &c, &QZ7_UpdaterAppDelegate::UpdatePressed);
    QObject::connect(window->ui.CancelButtonView, &QPushButton::clicked, &c, &QZ7_UpdaterAppDelegate::CancelPressed);
    QObject::connect(window.get(), &UpdaterWindow::Closed, &c, [&c] { c.ClosePort(); });
    QObject::connect(window->ui.NextUnitButtonView, &QPushButton::clicked, &c, &QZ7_UpdaterAppDelegate::NextUnitPressed);
}

UpdaterApp::~UpdaterApp()
{
    window->programming = nullptr;
    controller.reset();
}

void UpdaterApp::Launch()
{
    window->show();
    QTimer::singleShot(0, controller.get(), [c = controller.get()] { c->applicationDidFinishLaunching(); });
}

#pragma once
#include <QObject>

class QSocketNotifier;
class QWidget;

// Turns SIGTERM, SIGINT and SIGHUP (the terminal closed, a logout) into a close of the window, as
// if the operator had closed it: the handler only writes a byte to a socket pair, and the GUI
// thread does the rest.
class SignalQuit : public QObject {
    Q_OBJECT
public:
    explicit SignalQuit(QWidget* window);
    ~SignalQuit() override;

private:
    QWidget* window_;
    QSocketNotifier* notifier_ = nullptr;
};

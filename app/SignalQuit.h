#pragma once
#include <QObject>
#include <functional>

class QSocketNotifier;

// Turns SIGTERM, SIGINT and SIGHUP (the terminal closed, a logout) into a call of `quit` on the
// GUI thread: the window closes as if the operator had closed it, the terminal mode ends with
// its own status. The handler only writes a byte to a socket pair; the GUI thread does the rest.
class SignalQuit : public QObject {
    Q_OBJECT
public:
    explicit SignalQuit(std::function<void()> quit);
    ~SignalQuit() override;

private:
    std::function<void()> quit_;
    QSocketNotifier* notifier_ = nullptr;
};

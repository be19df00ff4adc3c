#pragma once
#include <QObject>
#include <csignal>
#include <functional>

class QSocketNotifier;

// Turns SIGTERM, SIGINT and SIGHUP (the terminal closed, a logout) into a call of `quit` with the
// signal's number on the GUI thread: the window closes as if the operator had closed it, the
// terminal mode decides what the signal means at that moment. The handler only writes a byte to
// a socket pair; the GUI thread does the rest.
//
// A signal that the program was started with ignored stays ignored: under nohup the closed
// terminal's SIGHUP, and in a shell's background job the SIGINT of the keyboard, are not meant
// for it.
class SignalQuit : public QObject {
    Q_OBJECT
public:
    explicit SignalQuit(std::function<void(int signal)> quit);
    ~SignalQuit() override;

private:
    std::function<void(int)> quit_;
    QSocketNotifier* notifier_ = nullptr;
    struct sigaction previous_[3] = {};
    bool installed_[3] = {};
};

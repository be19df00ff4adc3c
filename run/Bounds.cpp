#include "run/Bounds.h"

#include "controller/PortDiagnosis.h"
#include "controller/QZ7_UpdaterAppDelegate.h"
#include "core/Words.h"

#include <algorithm>
#include <csignal>

Bound::Bound()
{
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
}

void Bound::Start(std::chrono::milliseconds left, std::function<void()> then)
{
    QObject::disconnect(connection_);
    connection_ = QObject::connect(&timer_, &QTimer::timeout, std::move(then));
    timer_.start(left);
}

void Bound::Stop()
{
    timer_.stop();
}

std::chrono::milliseconds Bound::Left(std::chrono::steady_clock::time_point since, int seconds)
{
    const auto left = since + std::chrono::seconds(seconds) - std::chrono::steady_clock::now();
    return std::max(std::chrono::duration_cast<std::chrono::milliseconds>(left), std::chrono::milliseconds(0));
}

std::pair<Ending, std::string> GaveUp(const QZ7_UpdaterAppDelegate& controller, int seconds)
{
    using Words::Tr;
    const auto after = [seconds](const std::string& pattern) { return Words::Fill(pattern, {std::to_string(seconds)}); };
    PortTrouble trouble = controller.Trouble();
    if (controller.Serial()->IsOpen() || trouble == PortTrouble::Opened)
        //: %1 the --wait seconds (also in the next three texts).
        return {Ending::NoAnswer, after(Tr("Terminal", "No QZ7 within %1 s: the port is open but nothing answered. Power on the"
                                                           " QZ7 while holding Run/Stop."))};
    if (trouble == PortTrouble::Permission)
        return {Ending::Permission, after(Tr("Terminal", "No QZ7 within %1 s: no permission to open the port (the line above"
                                                             " says how to get it)."))};
    if (trouble == PortTrouble::Busy)
        return {Ending::Busy, after(Tr("Terminal", "No QZ7 within %1 s: the port is in use by another program. Close that"
                                                       " program and run again."))};
    return {Ending::NoAdapter, after(Tr("Terminal", "No QZ7 within %1 s: no usable USB adapter was found. Plug the adapter"
                                                        " in (or check the path given with --port) and run again."))};
}

std::optional<StatusFact> UnusablePort(const std::string& path, bool waiting)
{
    const OpenFailure refused = RefusedDevice(path);
    if (refused.error == 0)
        return std::nullopt;
    const PortTrouble trouble = Classify(refused);
    if (refused.step == kNoTerminalStep || (!waiting && (trouble == PortTrouble::NotSerial || trouble == PortTrouble::NoneFound)))
        return DescribeOpenFailure(path, refused);
    return std::nullopt;
}

std::optional<std::string> Interrupts::Warning(int signal, bool programming, bool several)
{
    if (rule_.Stops(signal == SIGINT, programming, std::chrono::steady_clock::now()))
        return std::nullopt;
    if (several)
        return "QZ7s are being programmed: stopping now would leave them without firmware. The updates go on; press Ctrl+C "
               "again within 5 s to stop them all.";
    return Words::Tr("Terminal", "The QZ7 is being programmed: stopping now would leave it without firmware."
                                 " The update goes on; press Ctrl+C again within 5 s to stop.");
}

#include "serial/PortOpening.h"

#include "serial/CrashRestore.h"
#include "serial/WQSerial.h"

PortOpening OpenSerialPort(const std::string& path)
{
    PortOpening opening;
    OpenResult& opened = opening.result;
    opened = OpenAndConfigure(path);
    auto record = std::make_shared<WQSerial>();
    record->setChosenPath(path);
    if (opened.archived)
        record->setTermios_archive(opened.archive);
    // Held for the crash handler from now on: through discovery's pause, before the record
    // takes it over, the descriptor belongs to no record.
    HoldForCrash(opened.fd, opened.archive);
    if (opened.fd <= 0)
        return opening;
    const int fd = opened.fd;
    const termios archive = opened.archive;
    const std::optional<int> serialFlags = opened.serialFlags;
    opening.takeOver = [record, fd, serialFlags]() -> std::shared_ptr<Port> {
        if (serialFlags)
            record->setSavedSerialFlags(*serialFlags);
        record->setPortID(fd);
        return record;
    };
    opening.giveUp = [fd, archive, serialFlags] { RestoreAndClose(fd, archive, serialFlags); };
    return opening;
}

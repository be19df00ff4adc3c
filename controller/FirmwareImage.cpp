#include "controller/FirmwareImage.h"

#include "firmware/Firmware.h"
#include "hex/TextRules.h"

#include <QFile>
#include <mutex>

std::optional<std::string> LoadShippedFirmware()
{
    QFile file(QString::fromLatin1(Firmware::Resource));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray bytes = file.readAll();
    return DecodeAscii(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

void InitUpdaterResources()
{
    static std::once_flag once;
    std::call_once(once, [] {
        Q_INIT_RESOURCE(resources);
        Q_INIT_RESOURCE(firmware);
    });
}

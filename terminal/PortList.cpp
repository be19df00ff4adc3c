#include "terminal/PortList.h"

#include "controller/PortDiagnosis.h"
#include "core/Words.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <cctype>

std::string DescribeService(const SerialService& service)
{
    const StatusText::AdapterFacts facts = AdapterFacts(service);
    std::string line;
    for (const std::string& part : {facts.description, facts.manufacturer, facts.vendorProduct,
                                    facts.serialNumber.empty() ? std::string() : Words::Fill(Words::Tr("Status", "serial %1"), {facts.serialNumber})})
        if (!part.empty())
            line += (line.empty() ? "" : ", ") + StatusText::PrintableText(part);
    return line;
}

int ListPorts(const ServiceLister& lister, std::FILE* out)
{
    std::optional<std::vector<SerialService>> services = lister();
    if (!services) {
        std::fprintf(out, "%s\n", Words::Tr("Terminal", "The serial ports could not be listed: the system's port enumeration did not start.").c_str());
        return 1;
    }
    if (services->empty()) {
        std::fprintf(out, "%s\n", Words::Tr("Terminal", "No serial ports found. Plug in the USB serial adapter, or name a port with --port PATH.").c_str());
        return 0;
    }
    const PathChoice choice = ExplainChoice(*services, std::nullopt);
    for (std::size_t i = 0; i < services->size(); ++i) {
        const SerialService& s = (*services)[i];
        std::string notes = DescribeService(s);
        if (!s.path)
            notes += std::string(notes.empty() ? "" : "; ") + Words::Tr("Terminal", "no device path");
        if (i >= choice.considered)
            notes += std::string(notes.empty() ? "" : "; ") + Words::Tr("Terminal", "not considered (after the listing's end)");
        // What the system lists may hold any byte: escaped, so that no name rewrites the terminal.
        std::fprintf(out, "%s %-24s %-16s %s\n", choice.chosen == i ? "*" : " ",
                     StatusText::PrintableText(s.path.value_or("-")).c_str(),
                     StatusText::PrintableText(s.name.value_or("-")).c_str(), notes.c_str());
    }
    if (choice.chosen)
        //: --list: why the updater takes this port. %1 the path, %2 its name, %3 the word in it ("usb").
        std::fprintf(out, "%s\n",
                     Words::Fill(Words::Tr("Terminal", "The updater would use %1: its name, %2, holds \"%3\", and no later name"
                                                       " holds \"usb\", \"pl2303\" or \"serial\"."),
                                 {StatusText::PrintableText(*choice.path), StatusText::PrintableText(*(*services)[*choice.chosen].name),
                                  choice.word})
                         .c_str());
    else
        std::fprintf(out, "%s\n", Words::Tr("Terminal", "No name holds \"usb\", \"pl2303\" or \"serial\": the updater would wait"
                                                       " for an adapter. Name the port with --port PATH to use it anyway.").c_str());
    return 0;
}

int ListPortsJson(const ServiceLister& lister, std::FILE* out)
{
    std::optional<std::vector<SerialService>> services = lister();
    if (!services) {
        std::fprintf(stderr, "%s\n", Words::Tr("Terminal", "The serial ports could not be listed: the system's port enumeration did not start.").c_str());
        return 1;
    }
    const PathChoice choice = ExplainChoice(*services, std::nullopt);
    const std::vector<PortVerdict> verdicts = JudgePorts(*services);
    for (std::size_t i = 0; i < services->size(); ++i) {
        const SerialService& s = (*services)[i];
        const StatusText::AdapterFacts facts = AdapterFacts(s);
        auto text = [](const std::optional<std::string>& v) { return v ? QJsonValue(QString::fromStdString(*v)) : QJsonValue(); };
        auto orNull = [](const std::string& v) { return v.empty() ? QJsonValue() : QJsonValue(QString::fromStdString(v)); };
        QJsonObject port{{"schema", 1},
                         {"path", text(s.path)},
                         {"name", text(s.name)},
                         {"description", orNull(facts.description)},
                         {"maker", orNull(facts.manufacturer)},
                         {"vid_pid", orNull(facts.vendorProduct)},
                         {"serial", orNull(facts.serialNumber)},
                         {"taken", !verdicts[i].word.empty()},
                         {"chosen", choice.chosen == i},
                         {"why", QString::fromStdString(verdicts[i].why)}};
        std::fprintf(out, "%s\n", QJsonDocument(port).toJson(QJsonDocument::Compact).constData());
    }
    return 0;
}

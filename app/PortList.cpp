#include "app/PortList.h"

#include "app/PortDiagnosis.h"

std::string DescribeService(const SerialService& service)
{
    const StatusText::AdapterFacts facts = AdapterFacts(service);
    std::string line;
    for (const std::string& part : {facts.description, facts.manufacturer, facts.vendorProduct,
                                    facts.serialNumber.empty() ? std::string() : "serial " + facts.serialNumber})
        if (!part.empty())
            line += (line.empty() ? "" : ", ") + part;
    return line;
}

int ListPorts(const ServiceLister& lister, std::FILE* out)
{
    std::optional<std::vector<SerialService>> services = lister();
    if (!services) {
        std::fputs("The serial ports could not be listed: the system's port enumeration did not start.\n", out);
        return 1;
    }
    if (services->empty()) {
        std::fputs("No serial ports found. Plug in the USB serial adapter, or name a port with --port PATH.\n", out);
        return 0;
    }
    const PathChoice choice = ExplainChoice(*services, std::nullopt);
    for (std::size_t i = 0; i < services->size(); ++i) {
        const SerialService& s = (*services)[i];
        std::string notes = DescribeService(s);
        if (!s.path)
            notes += std::string(notes.empty() ? "" : "; ") + "no device path";
        if (i >= choice.considered)
            notes += std::string(notes.empty() ? "" : "; ") + "not considered (after the listing's end)";
        std::fprintf(out, "%s %-24s %-16s %s\n", choice.chosen == i ? "*" : " ", s.path.value_or("-").c_str(),
                     s.name.value_or("-").c_str(), notes.c_str());
    }
    if (choice.chosen)
        std::fprintf(out, "The updater would use %s: its name, %s, holds \"%s\", and no later name holds \"usb\", "
                          "\"pl2303\" or \"serial\".\n",
                     choice.path->c_str(), (*services)[*choice.chosen].name->c_str(), choice.word.c_str());
    else
        std::fputs("No name holds \"usb\", \"pl2303\" or \"serial\": the updater would wait for an adapter. Name the "
                   "port with --port PATH to use it anyway.\n",
                   out);
    return 0;
}

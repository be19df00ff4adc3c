#include "run/HistoryList.h"

#include "run/History.h"

#include <filesystem>

int PrintHistory(const HistoryQuery& query, std::FILE* out)
{
    using namespace records;
    std::error_code ec;
    if (!std::filesystem::exists(query.file, ec)) {
        // Nothing recorded yet: an empty history, made by nobody's reading.
        if (!query.json)
            std::fprintf(stderr, "No records yet in %s.\n", StatusText::PrintableText(query.file).c_str());
        return 0;
    }
    std::string error;
    std::unique_ptr<History> history = History::Open(query.file, error);
    if (!history) {
        std::fprintf(stderr, "qz7-updater: cannot read the history %s: %s\n", StatusText::PrintableText(query.file).c_str(),
                     error.c_str());
        return 1;
    }
    if (query.summary) {
        for (const HistoryDay& day : history->Summary()) {
            const std::string line = query.json ? Line(SummaryDayFields(day)) : SummaryText(day);
            std::fprintf(out, "%s\n", line.c_str());
        }
        return 0;
    }
    const std::vector<HistoryRecord> rows =
        query.unit ? history->Last(1 << 30, query.unit) : history->Last(query.limit);
    if (rows.empty() && !query.json)
        std::fprintf(stderr, query.unit ? "No records of %s.\n" : "No records.\n",
                     StatusText::PrintableText(query.unit.value_or("")).c_str());
    for (const HistoryRecord& row : rows) {
        const std::string line = query.json ? Line(HistoryFields(row)) : HistoryText(row);
        std::fprintf(out, "%s\n", line.c_str());
    }
    return history->Error().empty() ? 0 : 1;
}

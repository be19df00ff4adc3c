#include "run/HistoryList.h"

#include "run/History.h"

#include "core/Words.h"

#include <filesystem>

int PrintHistory(const HistoryQuery& query, std::FILE* out)
{
    using namespace records;
    std::error_code ec;
    if (!std::filesystem::exists(query.file, ec)) {
        // Nothing recorded yet: an empty history, made by nobody's reading.
        if (!query.json)
            //: %1 the history file.
            std::fprintf(stderr, "%s\n", Words::Fill(Words::Tr("Terminal", "No records yet in %1."), {StatusText::PrintableText(query.file)}).c_str());
        return 0;
    }
    std::string error;
    std::unique_ptr<History> history = History::Open(query.file, error);
    if (!history) {
        std::fprintf(stderr, "qz7-updater: %s\n",
                     //: After "qz7-updater: ". %1 the history file, %2 the error.
                     Words::Fill(Words::Tr("Terminal", "cannot read the history %1: %2"), {StatusText::PrintableText(query.file), error}).c_str());
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
        //: %1 the unit's name.
        std::fprintf(stderr, "%s\n", (query.unit ? Words::Fill(Words::Tr("Terminal", "No records of %1."), {StatusText::PrintableText(*query.unit)})
                                               : Words::Tr("Terminal", "No records.")).c_str());
    for (const HistoryRecord& row : rows) {
        const std::string line = query.json ? Line(HistoryFields(row)) : HistoryText(row);
        std::fprintf(out, "%s\n", line.c_str());
    }
    return history->Error().empty() ? 0 : 1;
}

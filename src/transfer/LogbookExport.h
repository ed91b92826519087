#pragma once

#include <map>
#include <string>

// The whole logbook as Vantrel's own CSV files (docs/csv-format.md): cars, fill-ups,
// services with their history, and repairs, in the distance unit of the settings and each
// fill-up in the fuel unit it was entered in. Pictures and settings are not part of it.
class LogbookExport {
public:
    // File name to CSV text, for every kind (a header only when there is none of a kind).
    static std::map<std::string, std::string> csvFiles();
    // Writes the files into a zip archive at `path`; false (and no file left) when it cannot.
    static bool writeZip(const std::string& path);
    // "vantrel-csv-YYYY-MM-DD.zip", with today's local date.
    static std::string suggestedFileName();
    // The ISO code of the device's currency ("USD"), named in the headers of amounts.
    static std::string currencyCode();
};

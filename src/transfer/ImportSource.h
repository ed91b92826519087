#pragma once

#include <optional>
#include <string>
#include <vector>

// The text of a file chosen for import: a CSV (or other text) file, or a zip archive of CSV
// files (an export of several tables, a cloud backup), each as UTF-8 text. Text that is not
// UTF-8 is read as Windows-1252, the encoding spreadsheets on Windows save CSV in, and the
// person is told.
class ImportSource {
public:
    struct File {
        std::string name;
        std::string text;
    };

    // Reads the file at `path`, shown to the person as `name`. None, with the message for
    // the person in `problem`, when it cannot be read or holds no text.
    static std::optional<ImportSource> open(
        const std::string& path, const std::string& name, std::string& problem);
    // A source made of texts (tests and benchmarks).
    static ImportSource fromText(std::string name, std::string text);

    const std::string& name() const { return m_name; }
    const std::vector<File>& files() const { return m_files; }
    // What the person should know about how the file was read.
    const std::vector<std::string>& notices() const { return m_notices; }

    // Text as UTF-8: a byte-order mark dropped, other text converted from Windows-1252.
    // `converted` tells which; none for data that is not text at all.
    static std::optional<std::string> decode(std::string bytes, bool& converted);

private:
    std::string m_name;
    std::vector<File> m_files;
    std::vector<std::string> m_notices;
};

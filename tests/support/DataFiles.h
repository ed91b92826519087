#pragma once

#include <string>
#include <utility>
#include <vector>

namespace vantrel::test {

// The bundle's shipped database, as the bytes of a backed-up "vantrel.db".
std::string shippedDatabaseBytes();
// The shipped database after running `sql` on a copy of it.
std::string databaseBytesAfter(const std::string& sql);
// A PNG picture of this many pixels.
std::string pngBytes(int width, int height);
// Writes a zip archive with entries of exactly these names and contents (duplicates and
// unsafe names included, as a forged archive may carry).
void writeZip(const std::string& path, const std::vector<std::pair<std::string, std::string>>& entries);
// The bytes of such an archive.
std::string zipArchiveBytes(const std::vector<std::pair<std::string, std::string>>& entries);

} // namespace vantrel::test

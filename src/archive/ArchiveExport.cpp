#include "archive/ArchiveExport.h"

std::vector<TExportRecord> ArchiveExportRecords() {
    return {};
}

std::string ArchiveCsv(const std::vector<TExportRecord>&) {
    return {};
}

std::string ArchiveJson(const std::vector<TExportRecord>&) {
    return {};
}

std::string ArchiveGpx(const std::vector<TExportRecord>&, int& skipped) {
    skipped = 0;
    return {};
}

bool WriteFileWhole(const std::string&, const std::string&, std::string& error) {
    error = "not written";
    return false;
}

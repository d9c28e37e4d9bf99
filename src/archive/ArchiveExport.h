#pragma once
// The archive as export files (CSV, JSON, GPX) for the windows and for halvexctl; they are
// written with WriteFileWhole (base/WholeFile.h).
#include "archive/ArchiveRecords.h"

#include <string>
#include <vector>

struct TExportRecord {
    DecodedRecord Record;
    int Page = 1;
};
// The usable records of the archive copy in ArchiveBuffer, slot order, with their pages.
std::vector<TExportRecord> ArchiveExportRecords();
std::string ArchiveCsv(const std::vector<TExportRecord>& records);
std::string ArchiveJson(const std::vector<TExportRecord>& records);
// `skipped` gets the count of records with coordinates left out (impossible date,
// coordinates not finite or out of range).
std::string ArchiveGpx(const std::vector<TExportRecord>& records, int& skipped);

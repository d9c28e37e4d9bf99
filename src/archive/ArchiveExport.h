#pragma once
// The archive as export files (CSV, JSON, GPX) for the windows and for halvexctl, and a file
// write that leaves either the whole file or none.
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
// Writes through a temporary file in the same folder and a rename, so the file is either
// whole or not there; false with a one-line reason otherwise.
bool WriteFileWhole(const std::string& path, const std::string& content, std::string& error);

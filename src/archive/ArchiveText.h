#pragma once
// Every text the archive writes: the export file's line, the table's cells, the statistics and
// the headers in the operator's language.
#include "archive/ArchiveRecords.h"

#include <QString>
#include <optional>
#include <string>
#include <vector>

// The export line of one slot, CR LF included: "H:M:S value kind[ Lat: x Long: y]", numbers as
// printf's %g writes them with "." whatever the locale.
std::string ExportLine(const DecodedRecord& record);
// Appends the line to archive.txt in the current directory, opening and closing the file for
// it. A file that cannot be written loses the line and nothing else: the read goes on.
void AppendExportLine(const DecodedRecord& record);
extern const char* const ExportFileName;

// "HH:MM:SS DD/MM/YY", each field at least two digits.
QString TimeStampText(const DecodedRecord& record);
// Fixed point with three decimals and the operator's separator; exponent form beyond 6 digits.
QString ArchiveValueText(double value);
// Whether a value cell's text reads above the threshold (text as ArchiveValueText writes it).
bool ValueTextAbove(const QString& text, float threshold);

// The texts below follow LanguageIndex: nothing for an index other than 0 or 1.
std::optional<QString> WorkingTimeText(const TWorkingTime& w);
// Column-2 header of the record table for a kind.
std::optional<QString> KindHeader(MeasurementKind kind);
// The one message after a read that met damaged answers; `slotNumbers` are 1..902.
std::optional<QString> DamagedAnswersText(const std::vector<int>& slotNumbers);

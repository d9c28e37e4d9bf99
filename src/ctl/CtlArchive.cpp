#include "ctl/CtlSession.h"

#include <QFile>

#include <cstdio>
#include <string>
#include <unistd.h>
#include <vector>

#include "archive/ArchiveExport.h"
#include "archive/ArchiveRecords.h"
#include "archive/ArchiveText.h"
#include "archive/ArchiveTransfer.h"
#include "base/WholeFile.h"

int TCtl::ArchiveRead() {
    if (!Connect()) return ExitDeviceFailed;
    const bool terminal = isatty(STDERR_FILENO) == 1;
    int reached = 0;
    TArchiveReadHooks hooks;
    hooks.Progress = [&](int position, int stored, int failures) {
        reached = stored;
        if (terminal)
            std::fprintf(stderr, "\rReading the archive: %d / %d slots, %d failed reads ", stored,
                         ArchiveSlotCount, failures);
        (void)position;
    };
    const TArchiveReadResult result = ReadArchive(hooks);
    if (terminal) std::fputs("\n", stderr);
    if (!result.Completed)
        return RequestFailed(QStringLiteral("archive read stopped after %1 of %2 slots (%3 "
                                            "failed reads), nothing written")
                                 .arg(reached)
                                 .arg(ArchiveSlotCount)
                                 .arg(result.Failures));
    if (!result.Damaged.empty())
        if (auto text = DamagedAnswersText(result.Damaged))
            PrintError(PortName(Port) + ": " + *text);

    // The same pass as the archive tab after a complete read: pages, and archive.txt's lines.
    PageCount =
        ScanArchive(1, Options.Txt ? TSlotAction(AppendExportLine) : TSlotAction(), {}).PageCount;
    const std::vector<TExportRecord> records = ArchiveExportRecords();
    int status = ExitOk;
    auto write = [&](const QString& path, const std::string& content) {
        if (path.isEmpty()) return;
        std::string error;
        if (!WriteFileWhole(QFile::encodeName(path).toStdString(), content, error)) {
            PrintError(
                QStringLiteral("%1 not written: %2").arg(path, QString::fromStdString(error)));
            status = ExitDeviceFailed;
        }
    };
    if (!Options.CsvFile.isEmpty()) write(Options.CsvFile, ArchiveCsv(records));
    if (!Options.JsonFile.isEmpty()) write(Options.JsonFile, ArchiveJson(records));
    if (!Options.GpxFile.isEmpty()) {
        int skipped = 0;
        const std::string gpx = ArchiveGpx(records, skipped);
        if (skipped > 0)
            PrintError(QStringLiteral("%1 records with coordinates left out of %2: impossible "
                                      "date or coordinates")
                           .arg(skipped)
                           .arg(Options.GpxFile));
        write(Options.GpxFile, gpx);
    }
    return status;
}

int TCtl::ArchiveErase() {
    if (!Connect()) return ExitDeviceFailed;
    return EraseArchive() ? ExitOk : RequestFailed(QStringLiteral("archive erase"));
}

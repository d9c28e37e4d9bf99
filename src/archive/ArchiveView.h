#pragma once
// The archive tab: read, erase, pages and the time-axis format.
#include "ui/ContextMenu.h"

#include <vector>

class QPainter;
class QRect;
class QWidget;
class TForm1;

// The archive tab's handlers, connected to the main window's controls.
void ConnectArchiveHandlers(TForm1& form);

void Button4Click(TForm1& form); // read the archive
void Button5Click(TForm1& form); // erase the archive
void BitBtn1Click(TForm1& form); // previous page
void BitBtn2Click(TForm1& form); // next page
void StringGrid3DrawCell(TForm1& form, QPainter& painter, int col, int row, const QRect& rect);
// Enter in the page field: go to the page typed, if there is one.
void Edit6Enter(TForm1& form);
// The page field shows "page / pages" again (after the operator typed into it and left it).
void ShowPageField(TForm1& form);

// Shows one page of the archive copy in the table, chart and statistics; with `exportLines` the
// scan also appends every processed slot to the export file (the read). Returns the page count.
int ShowArchivePage(TForm1& form, int page, bool exportLines);

// True while a read or an erase runs (the window stays responsive, the link stays theirs).
bool ArchiveBusy();

// The question before the erase; true only for "Yes". Shown as a modal box on `parent`.
bool AskEraseArchive(QWidget* parent);

// Right click on the record table or the chart (`shown`): it as PNG, and once a complete read is
// loaded the whole archive copy as CSV, JSON or GPX.
std::vector<TMenuEntry> ArchiveMenu(TForm1& form, QWidget* shown);
// Writes the archive copy to `path`, the format by its suffix (.json, .gpx, else CSV); failures
// and GPX records left out are told to the operator.
void ExportArchive(const QString& path);

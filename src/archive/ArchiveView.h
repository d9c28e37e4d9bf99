#pragma once
// The archive tab: read, erase and export; the pages are shown by ArchivePageView.h.
#include "ui/ContextMenu.h"

#include <vector>

class QWidget;
class TForm1;

// The archive tab's handlers, connected to the main window's controls.
void ConnectArchiveHandlers(TForm1& form);

void Button4Click(TForm1& form); // read the archive
void Button5Click(TForm1& form); // erase the archive

// The question before the erase; true only for "Yes". Shown as a modal box on `parent`.
bool AskEraseArchive(QWidget* parent);

// Right click on the record table or the chart (`shown`): it as PNG, and once a complete read is
// loaded the whole archive copy as CSV, JSON or GPX.
std::vector<TMenuEntry> ArchiveMenu(TForm1& form, QWidget* shown);
// Writes the archive copy to `path`, the format by its suffix (.json, .gpx, else CSV); failures
// and GPX records left out are told to the operator.
void ExportArchive(const QString& path);

#pragma once
// The archive tab's display of the copy read: one page in the record table, the chart and the
// statistics, and the paging through it.
class QPainter;
class QRect;
class TForm1;

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

// Empties the record table's cells below its heading row.
void ClearArchiveTable(TForm1& form);
// The record table's headings and the statistics' captions in the operator's language.
void WriteArchiveHeadings(TForm1& form);
// Paging is offered only for a loaded copy of more than one page.
void UpdatePageControls(TForm1& form);

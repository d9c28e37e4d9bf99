#pragma once
// The archive tab: read, erase, pages and the time-axis format.
class QPainter;
class QRect;
class TForm1;

void Button4Click(TForm1& form); // read the archive
void Button5Click(TForm1& form); // erase the archive
void BitBtn1Click(TForm1& form); // previous page
void BitBtn2Click(TForm1& form); // next page
void StringGrid3DrawCell(TForm1& form, QPainter& painter, int col, int row, const QRect& rect);

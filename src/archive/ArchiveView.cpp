#include "archive/ArchiveView.h"

#include "ui/Forms.h"

void Button4Click(TForm1&) {}

void Button5Click(TForm1&) {}

void BitBtn1Click(TForm1&) {}

void BitBtn2Click(TForm1&) {}

void StringGrid3DrawCell(TForm1&, QPainter&, int, int, const QRect&) {}


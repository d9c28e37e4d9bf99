#include "archive/ArchivePageView.h"

#include "archive/ArchiveBusy.h"
#include "archive/ArchiveRecords.h"
#include "archive/ArchiveText.h"
#include "archive/ArchiveTransfer.h"
#include "base/Language.h"
#include "link/Catalogue.h"
#include "ui/Forms.h"
#include "views/LiveFormat.h"

#include <QPainter>
#include <qcustomplot.h>

#include <cmath>

namespace {

void SetBottomAxisFormat(TForm1& form) {
    auto ticker = form.Chart4->xAxis->ticker().dynamicCast<QCPAxisTickerDateTime>();
    if (!ticker) return;
    ticker->setDateTimeSpec(Qt::UTC);
    switch (form.ComboBox12->currentIndex()) {
    case 0:
        ticker->setDateTimeFormat(QStringLiteral("hh:mm"));
        break;
    case 1:
        ticker->setDateTimeFormat(QStringLiteral("dd.MM.yy"));
        break;
    case 2:
        ticker->setDateTimeFormat(QStringLiteral("hh:mm dd.MM.yy"));
        break;
    default:
        break;
    }
}

void GoToPage(TForm1& form, int page) {
    CurrentPage = page;
    ClearArchiveTable(form);
    ShowArchivePage(form, CurrentPage, false);
    ShowPageField(form);
}

} // namespace

void ClearArchiveTable(TForm1& form) {
    TStringGrid* grid = form.StringGrid3;
    grid->setUpdatesEnabled(false);
    for (int row = 1; row < grid->RowCount(); ++row)
        for (int col = 0; col < 3; ++col)
            grid->SetCell(col, row, QString());
    grid->setUpdatesEnabled(true);
}

void WriteArchiveHeadings(TForm1& form) {
    const bool english = LanguageIndex == 1;
    if (LanguageIndex > 1) return;
    const char* table[2][3] = {{"№", "Время, с", "МЭД"}, {" #", "Time, sec", "Dose rate"}};
    for (int col = 0; col < 3; ++col)
        form.StringGrid3->SetCell(col, 0, QString::fromUtf8(table[english][col]));
    const char* stats[2][5] = {{"Время работы", "Измерений", "Максимум", "Минимум", "Среднее"},
                               {"Working time", "Samples", "Maximum", "Minimum", "Average"}};
    for (int row = 0; row < 5; ++row)
        form.StringGrid4->SetCell(0, row, QString::fromUtf8(stats[english][row]));
}

void UpdatePageControls(TForm1& form) {
    const bool paging = ArchiveLoaded && PageCount > 1;
    form.BitBtn1->setEnabled(paging);
    form.BitBtn2->setEnabled(paging);
    form.Edit6->setReadOnly(!paging);
    ShowPageField(form);
}

void ShowPageField(TForm1& form) {
    if (ArchiveLoaded && CurrentPage >= 1)
        form.Edit6->setText(QStringLiteral("%1 / %2").arg(CurrentPage).arg(PageCount));
}

int ShowArchivePage(TForm1& form, int page, bool exportLines) {
    TStringGrid* grid = form.StringGrid3;
    QCPGraph* series = form.LineSeries1;
    series->data()->clear();
    const QColor grey(128, 128, 128);
    series->setPen(QPen(grey));
    series->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssCircle, grey, grey, 2));
    SetBottomAxisFormat(form);

    QVector<double> keys, values;
    std::optional<QString> header;
    double axisMax = 0;
    grid->setUpdatesEnabled(false);
    // Room for a full page while it is filled; the rows it needs are settled afterwards.
    const int rowsBefore = grid->RowCount();
    grid->SetRowCount(ArchiveSlotCount + 1);
    const TScanResult scan =
        ScanArchive(page, exportLines ? TSlotAction(AppendExportLine) : TSlotAction(),
                    [&](const DecodedRecord& r, const PageSummary& soFar) {
                        if (auto h = KindHeader(r.Kind)) header = h;
                        const int row = soFar.Count;
                        grid->SetCell(0, row, QString::number(r.Slot));
                        grid->SetCell(1, row, TimeStampText(r));
                        grid->SetCell(2, row, ArchiveValueText(r.Value));
                        keys.push_back(ChartKey(r.ChartTime));
                        values.push_back(r.Value);
                        axisMax = DoseAxisMax(soFar.Maximum);
                    });
    if (header) grid->SetCell(2, 0, *header);

    const PageSummary& s = scan.Summary;
    if (s.Count > 0 || (!exportLines && scan.AnyUsable))
        grid->SetRowCount(s.Count + 1);
    else if (!exportLines)
        grid->SetRowCount(rowsBefore);
    grid->setUpdatesEnabled(true);

    if (s.Count > 0) {
        TStringGrid* stats = form.StringGrid4;
        if (auto text = WorkingTimeText(WorkingTime(s.Duration()))) stats->SetCell(1, 0, *text);
        stats->SetCell(1, 1, QString::number(s.Count));
        stats->SetCell(1, 2, ArchiveValueText(s.Maximum));
        stats->SetCell(1, 3, ArchiveValueText(s.Minimum));
        stats->SetCell(1, 4, ArchiveValueText(s.Average()));

        series->setData(keys, values);
        // A page's records run forward in time by definition, but equal stamps may repeat.
        const double first = keys.front(), last = keys.back();
        form.Chart4->xAxis->setRange(last > first ? first : first - 1,
                                     last > first ? last : last + 1);
        // A value too large for the axis leaves it where it was rather than breaking it.
        if (std::isfinite(axisMax) && axisMax > 0) form.Chart4->yAxis->setRangeUpper(axisMax);
    }
    form.Chart4->replot();
    return scan.PageCount;
}

void BitBtn1Click(TForm1& form) {
    if (ArchiveBusy() || !ArchiveLoaded) return;
    GoToPage(form, CurrentPage - 1 < 1 ? PageCount : CurrentPage - 1);
}

void BitBtn2Click(TForm1& form) {
    if (ArchiveBusy() || !ArchiveLoaded) return;
    GoToPage(form, CurrentPage + 1 > PageCount ? 1 : CurrentPage + 1);
}

void Edit6Enter(TForm1& form) {
    if (ArchiveBusy()) return;
    bool ok = false;
    const int page = form.Edit6->text().trimmed().toInt(&ok);
    if (ArchiveLoaded && PageCount > 1 && ok && page >= 1 && page <= PageCount)
        GoToPage(form, page);
    else
        ShowPageField(form);
}

void StringGrid3DrawCell(TForm1& form, QPainter& painter, int col, int row, const QRect& rect) {
    if (row < 1) return;
    TStringGrid* grid = form.StringGrid3;
    QColor colour;
    if (col >= 2) {
        const QString value = grid->Cell(2, row);
        if (value.isEmpty()) return;
        if (!ValueTextAbove(value, DeviceSettings.DoseRateThreshold)) return;
        colour = QColor(255, 0, 0);
    } else {
        bool ok = false;
        const int slot = grid->Cell(0, row).toInt(&ok);
        if (!ok || !IsDamagedSlot(slot)) return;
        colour = QColor(128, 128, 128);
    }
    // Over the grid's own drawing of the cell, so the text is not drawn twice in two colours.
    const QPalette& pal = grid->palette();
    painter.fillRect(rect, grid->IsFixed(col, row) ? pal.color(QPalette::Button)
                                                   : pal.color(QPalette::Base));
    painter.setPen(colour);
    painter.drawText(rect.adjusted(3, 1, 0, 0), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                     grid->Cell(col, row));
}

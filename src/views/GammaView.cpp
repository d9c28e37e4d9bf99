#include "views/GammaView.h"

#include <qcustomplot.h>

#include "ui/Forms.h"
#include "views/LiveFormat.h"

int32_t SpectrumSums[SpectrumChannels] = {};

// Written with a comma whatever the locale: they are fixed captions, not numbers.
static const char* const EnergyTexts[SpectrumChannels] = {
    "0,07", "0,12", "0,18", "0,27", "0,38", "0,51", "0,66",
    "0,86", "1,15", "1,44", "1,76", "2,16", "2,61", "3,00",
};

void InitSpectrumTable(TForm1& form) {
    for (int i = 1; i <= SpectrumChannels; ++i) {
        form.StringGrid1->SetCell(0, i, QString::number(i));
        form.StringGrid1->SetCell(1, i, QString::fromLatin1(EnergyTexts[i - 1]));
    }
}

void ClearSpectrumValues(TForm1& form) {
    form.Label44->setText(NoValueText());
    for (int row = 1; row <= SpectrumChannels; ++row)
        form.StringGrid1->SetCell(2, row, QString());
}

void ShowSpectrum(TForm1& form) {
    const bool integral = form.CheckBox2->isChecked();
    QCPBars* bars = form.Series2;
    bars->data()->clear();
    uint32_t largestCount = 0;
    int32_t largestSum = 0;
    uint32_t total = 0; // wraps like the sums; shown as signed
    double highest = 0;
    QVector<double> keys, heights;
    for (int i = 1; i <= SpectrumChannels; ++i) {
        const uint32_t c = SpectrumData.Counts[i - 1];
        form.StringGrid1->SetCell(2, i, QString::number(c));
        int32_t& sum = SpectrumSums[i - 1];
        sum = static_cast<int32_t>(static_cast<uint32_t>(sum) + c);
        if (c > largestCount) largestCount = c;
        if (sum > largestSum) largestSum = sum;
        const double height = integral ? double(sum) : double(c);
        keys.append(i);
        heights.append(height);
        if (height > highest) highest = height;
        total += c;
    }
    bars->setData(keys, heights, true);
    bars->setPen(QPen(QColor(128, 128, 128)));
    bars->setBrush(QColor(128, 128, 128));

    QCPAxis* axis = form.Chart2->yAxis;
    if (largestSum < 1 || static_cast<int32_t>(largestCount) < 1) {
        // Automatic: up to the highest bar, or a unit range when every bar is 0 or below.
        axis->setRange(0, highest > 0 ? highest : 1);
        form.Chart2->replot(QCustomPlot::rpQueuedReplot);
        return;
    }
    const int32_t m = integral ? largestSum : static_cast<int32_t>(largestCount);
    axis->setRange(0, double(SpectrumAxisMax(m)));
    form.Label44->setText(QString::number(static_cast<int32_t>(total)));
    form.Chart2->replot(QCustomPlot::rpQueuedReplot);
}

void Button7Click(TForm1&) {
    for (int32_t& sum : SpectrumSums)
        sum = 0;
}

void CheckBox2Click(TForm1& form) {
    form.Button7->setEnabled(form.CheckBox2->isChecked());
}

std::vector<TMenuEntry> Chart2Menu(TForm1& form) {
    return {{SavePngText(), [&form] { SaveWidgetPng(form.Chart2); }}};
}

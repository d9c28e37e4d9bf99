#include "views/StaleValues.h"

#include <QColor>
#include <QLabel>
#include <vector>

#include "link/Catalogue.h"
#include "ui/Forms.h"
#include "ui/Widgets.h"

namespace {

constexpr int ObjectCount = 4;
int Failures[ObjectCount] = {};

void GreyLabels(TForm1& form, TLiveObject object, bool grey) {
    auto labels = [&]() -> std::vector<QLabel*> {
        switch (object) {
        case TLiveObject::Measurement:
            return {form.Label2, form.Label4, form.Label6, form.Label9};
        case TLiveObject::DetectorBattery:
            return {form.Label25, form.Label26, form.Label27,
                    form.Label28, form.Label29, form.StatusBar1->Panel(2)};
        case TLiveObject::ConsoleBattery:
            return {form.Label15, form.Label16, form.Label17,
                    form.Label18, form.Label19, form.StatusBar1->Panel(1)};
        case TLiveObject::Spectrum:
            return {form.Label44};
        }
        return {};
    }();
    for (QLabel* label : labels)
        SetGreyed(label, grey);
    if (object == TLiveObject::Spectrum)
        for (int row = 1; row <= SpectrumChannels; ++row)
            form.StringGrid1->SetCellColor(2, row, grey ? GreyedColor() : QColor());
}

} // namespace

void NoteLiveRead(TForm1& form, TLiveObject object, bool delivered) {
    int& failures = Failures[static_cast<int>(object)];
    if (delivered) {
        if (failures >= StaleAfterFailures) GreyLabels(form, object, false);
        failures = 0;
        return;
    }
    if (failures < StaleAfterFailures && ++failures == StaleAfterFailures)
        GreyLabels(form, object, true);
}

bool LiveValuesStale(TLiveObject object) {
    return Failures[static_cast<int>(object)] >= StaleAfterFailures;
}

void ForgetLiveReads() {
    for (int& f : Failures)
        f = 0;
}

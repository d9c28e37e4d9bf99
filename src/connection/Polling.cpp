#include "connection/Polling.h"

#include "connection/Clock.h"
#include "connection/ClockSync.h"
#include "link/Address.h"
#include "link/Catalogue.h"
#include "link/Frame.h"
#include "link/ObjectRequests.h"
#include "ui/Forms.h"
#include "ui/Language.h"
#include "views/BatteryView.h"
#include "views/DoseView.h"
#include "views/GammaView.h"

namespace {

// The refused text last reported, so that a tick does not repeat it; empty while the text is good.
QString ReportedBadAddress;
bool AddressMarked = false;
const char* const SavedPaletteProperty = "halvexPaletteBeforeMark";

void MarkAddressField(QLineEdit* edit, const QString& text) {
    if (!AddressMarked) {
        edit->setProperty(SavedPaletteProperty, QVariant::fromValue(edit->palette()));
        QPalette marked = edit->palette();
        marked.setColor(QPalette::Base, QColor(255, 200, 200));
        edit->setPalette(marked);
        AddressMarked = true;
    }
    edit->setToolTip(InvalidIntegerMessage(text));
}

void ClearAddressMark(QLineEdit* edit) {
    if (!AddressMarked) return;
    edit->setPalette(edit->property(SavedPaletteProperty).value<QPalette>());
    edit->setToolTip(QString());
    AddressMarked = false;
}

void ReadBatteries(TForm1& form) {
    if (ReadObject(Obj::DetectorBattery) == 1) ShowDetectorBattery(form);
    if (ReadObject(Obj::ConsoleBattery) == 1) ShowConsoleBattery(form);
}

void PollMeasurement(TForm1& form) {
    if (ReadObject(Obj::MeasurementData) == 1) {
        const TMeasurementData& m = MeasurementData;
        if (DeviceClockOutOfStep(NowSeconds(), m.ClockHours, m.ClockMinutes, m.ClockSeconds)) {
            // The values of a device whose clock is off wait for the next tick.
            WriteDeviceClock();
            return;
        }
        if (m.Status & StatusNewMeasurement) {
            ShowMeasurement(form);
            PlotMeasurement(form);
        }
    }
    ReadBatteries(form);
}

} // namespace

bool TakeDeviceAddress(TForm1& form) {
    QLineEdit* edit = form.Edit2;
    const QString text = edit->text();
    if (ParseAddressText(text, DeviceAddress)) {
        ClearAddressMark(edit);
        ReportedBadAddress.clear();
        return true;
    }
    if (!AddressMarked || text != ReportedBadAddress) {
        MarkAddressField(edit, text);
        if (auto status = LangText("Неверный адрес пульта", "Invalid console address"))
            form.StatusBar1->SetPanelText(0, *status);
        ReportedBadAddress = text;
    }
    return false;
}

void Timer1Timer(TForm1& form) {
    if (!TakeDeviceAddress(form)) return;
    QWidget* page = form.PageControl1->currentWidget();
    if (page == form.TabSheet1) {
        PollMeasurement(form);
    } else if (page == form.TabSheet4) {
        if (ReadObject(Obj::SpectrumData) == 1) ShowSpectrum(form);
    } else if (page == form.TabSheet5) {
        ReadBatteries(form);
    }
}

void WriteDeviceClock() {
    FillDeviceClock(NowSeconds(), DeviceClock);
    WriteObject(Obj::DeviceClock);
}

// Switching tabs sends nothing; the next tick polls what the new tab shows.
void PageControl1Change(TForm1&) {}

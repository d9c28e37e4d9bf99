#include "connection/Polling.h"

#include "base/Language.h"
#include "connection/PollStep.h"
#include "connection/PortState.h"
#include "link/Address.h"
#include "link/Catalogue.h"
#include "link/Frame.h"
#include "link/ObjectRequests.h"
#include "settings/SettingsRead.h"
#include "ui/Forms.h"
#include "views/BatteryView.h"
#include "views/DoseView.h"
#include "views/GammaView.h"
#include "views/StaleValues.h"

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
    edit->setToolTip(QString::fromStdString(InvalidIntegerMessage(text.toStdString())));
}

void ClearAddressMark(QLineEdit* edit) {
    if (!AddressMarked) return;
    edit->setPalette(edit->property(SavedPaletteProperty).value<QPalette>());
    edit->setToolTip(QString());
    AddressMarked = false;
}

// One read of a live view's object: its view learns whether its values are still current, and
// the port's state whether the device is there.
void NoteRead(TForm1& form, TLiveObject object, bool delivered) {
    NoteLiveRead(form, object, delivered);
    CheckPortAfterExchange(form);
}

TPollStep WindowStep(TForm1& form) {
    TPollStep step;
    step.AfterRead = [&form](uint8_t index, bool delivered) {
        const TLiveObject object = index == Obj::MeasurementData   ? TLiveObject::Measurement
                                   : index == Obj::DetectorBattery ? TLiveObject::DetectorBattery
                                                                   : TLiveObject::ConsoleBattery;
        NoteRead(form, object, delivered);
    };
    step.NewMeasurement = [&form] {
        ShowMeasurement(form);
        PlotMeasurement(form);
    };
    step.BatteryRead = [&form](uint8_t index) {
        if (index == Obj::DetectorBattery)
            ShowDetectorBattery(form);
        else
            ShowConsoleBattery(form);
    };
    return step;
}

} // namespace

bool TakeDeviceAddress(TForm1& form) {
    QLineEdit* edit = form.Edit2;
    const QString text = edit->text();
    if (TakeEdit2Address(form)) {
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
    CheckPortBeforeTick(form);
    QWidget* page = form.PageControl1->currentWidget();
    if (page == form.TabSheet1) {
        PollMeasurementStep(WindowStep(form));
    } else if (page == form.TabSheet4) {
        const bool delivered = ReadObject(Obj::SpectrumData) == 1;
        NoteRead(form, TLiveObject::Spectrum, delivered);
        if (delivered) ShowSpectrum(form);
    } else if (page == form.TabSheet5) {
        PollBatteriesStep(WindowStep(form));
    }
}

// Switching tabs sends nothing; the next tick polls what the new tab shows.
void PageControl1Change(TForm1&) {}

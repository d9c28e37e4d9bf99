#include "connection/Discovery.h"

#include "base/Language.h"
#include "connection/PortScan.h"
#include "connection/PortState.h"
#include "link/ObjectRequests.h"
#include "link/SerialLink.h"
#include "settings/SettingsRead.h"
#include "ui/Forms.h"

uint8_t PortNumber = 0;
uint8_t DiscoveryMode = 0;

static void ShowNoDevice(TForm1& form) {
    if (auto text = LangText("Прибор не обнаружен", "No device"))
        form.StatusBar1->SetPanelText(0, *text);
}

// The port number written in the dialog's selected item; 0 (never opens) without a selection or
// for an item that is no port number.
static uint8_t SelectedPortNumber(const QComboBox* list) {
    const int index = list->currentIndex();
    if (index < 0) return 0;
    bool ok = false;
    const uint n = list->itemText(index).trimmed().toUInt(&ok);
    return ok && n <= 255 ? static_cast<uint8_t>(n) : 0;
}

// The presence probe, which also fills the settings tab as a settings read does.
static bool ProbeAndShowSettings(TForm1& form) {
    if (!ConvertDeviceAddress(form) || !ProbePort()) return false;
    ShowSettingsRead(form);
    return true;
}

static TScanOutcome ScanAndShow(TForm1& form, TForm2& dialog, TOpenProblems& problems) {
    QComboBox* list = dialog.ComboBox1;
    uint8_t found = 0;
    const TScanOutcome outcome = ScanPorts(found, problems, [&dialog, list](int n) {
        dialog.ProgressBar1->setValue(n);
        dialog.repaint();
        list->setCurrentIndex(0);
    });
    if (outcome == TScanOutcome::Found) {
        ShowSettingsRead(form);
        list->addItem(QString::number(found));
        list->setCurrentIndex(0);
        PortNumber = found;
    } else if (outcome == TScanOutcome::TimedOut) {
        ShowNoDevice(form);
    }
    return outcome;
}

void FindDevice(TForm1& form, TForm2& dialog, uint8_t mode) {
    dialog.ProgressBar1->setMaximum(255);
    dialog.ProgressBar1->setValue(0);
    TOpenProblems problems;
    bool found = false;
    if (mode == 1) {
        PortNumber = SelectedPortNumber(dialog.ComboBox1);
        OpenPort(PortNumber);
        problems.Note();
        // The probe runs even on a port that did not open: it is what reports the failure.
        if (ProbeAndShowSettings(form))
            found = true;
        else
            PortNumber = 0;
    } else {
        // A bad address would fail every probe, each with its own message box: refuse it once.
        if (ConvertDeviceAddress(form)) {
            const TScanOutcome outcome = ScanAndShow(form, dialog, problems);
            found = outcome == TScanOutcome::Found;
            // A failed scan keeps the port found earlier in PortNumber, and the status bar still
            // names it: go back to that port, so that polling is not left on the last number
            // tried (normally no port at all) and resumes once the device answers again.
            if (!found && PortNumber != 0) OpenPort(PortNumber);
            if (outcome == TScanOutcome::TimedOut) {
                ShowSearchProblems(form, problems.Text());
                return;
            }
        }
    }
    // Found by the start-up search or from the menu alike, the port is named while data flows.
    if (found) {
        ShowPortFound(form, PortNumber);
    } else if (PortNumber == 0) {
        ShowNoPort(form, problems.Text());
        ShowNoDevice(form);
    } else {
        ShowSearchProblems(form, problems.Text());
    }
}

void N5Click(TForm1& form) {
    if (!form.ConnectDialog) return;
    TForm2& dialog = *form.ConnectDialog;
    dialog.ProgressBar1->setValue(0);
    dialog.exec();
    // Shown again without modality so that the progress bar stays in sight during the search.
    ShowAndPaintNow(&dialog);
    FindDevice(form, dialog, DiscoveryMode);
    dialog.close();
}

void Button1Click(TForm2& form) {
    DiscoveryMode = 1;
    form.close();
}

void Button2Click(TForm2& form) {
    DiscoveryMode = 0;
    form.close();
}

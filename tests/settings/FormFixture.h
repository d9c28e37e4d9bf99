#pragma once
// Widget tests: the main window and the connection dialog built offscreen with their timers
// stopped, the simulated console unit in process on one port number, and message boxes caught.
#include <QStringList>
#include <memory>

#include "base/Language.h"
#include "connection/Discovery.h"
#include "link/ObjectRequests.h"
#include "link/ObjectTable.h"
#include "link/SerialLink.h"
#include "settings/SettingsRead.h"
#include "sim/SimDevice.h"
#include "tests/support/MainFormTest.h"
#include "tests/support/QuietDevice.h"
#include "tests/support/SimOpener.h"
#include "tests/support/TestApplication.h"
#include "ui/Forms.h"

class TFormTest : public TMainFormTest {
  protected:
    static constexpr uint8_t DevicePort = 3;

    void SetUp() override {
        PortNumber = 0;
        DiscoveryMode = 0;
        ComputeEncodedSizes(ObjectTable, ObjectCount);
        TMainFormTest::SetUp();
        dialog = std::make_unique<TForm2>();
        form->ConnectDialog = dialog.get();
        SetStatusSink(
            LanguageSink([this](const QString& text) { form->StatusBar1->SetPanelText(0, text); }));
        SetMessageSink([this](const QString& text) { messages << text; });
        device = std::make_unique<TSimDevice>(QuietDevice());
        opener = std::make_unique<TSimOpener>(*device, DevicePort);
    }

    void TearDown() override {
        ClosePort();
        opener.reset();
        SetMessageSink(nullptr);
        form->ConnectDialog = nullptr;
        dialog.reset();
        TMainFormTest::TearDown();
        PortNumber = 0;
    }

    QString Panel(int n) const { return form->StatusBar1->PanelText(n); }
    TDeviceSettings& DeviceSide() { return device->Model().Settings(); }

    std::unique_ptr<TForm2> dialog;
    std::unique_ptr<TSimDevice> device;
    std::unique_ptr<TSimOpener> opener;
    QStringList messages;
};

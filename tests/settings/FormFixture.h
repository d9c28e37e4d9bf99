#pragma once
// Widget tests: the main window and the connection dialog built offscreen with their timers
// stopped, the simulated console unit in process on one port number, and message boxes caught.
#include <QApplication>
#include <QStringList>
#include <gtest/gtest.h>
#include <memory>

#include "connection/Discovery.h"
#include "link/ObjectRequests.h"
#include "link/ObjectTable.h"
#include "link/SerialLink.h"
#include "settings/SettingsRead.h"
#include "sim/SimDevice.h"
#include "tests/support/SimOpener.h"
#include "ui/Forms.h"
#include "ui/Language.h"

inline QApplication& TestApplication() {
    static int argc = 1;
    static char name[] = "halvex-test";
    static char* argv[] = {name, nullptr};
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

inline TSimOptions QuietDevice() {
    TSimOptions options;
    options.Noise = false;
    options.RealTime = false;
    return options;
}

class TFormTest : public ::testing::Test {
  protected:
    static constexpr uint8_t DevicePort = 3;

    void SetUp() override {
        TestApplication();
        LanguageIndex = 0;
        PortNumber = 0;
        DiscoveryMode = 0;
        ComputeEncodedSizes(ObjectTable, ObjectCount);
        form = std::make_unique<TForm1>();
        form->Timer1->stop();
        form->Timer2->stop();
        dialog = std::make_unique<TForm2>();
        Form1 = form.get();
        Form2 = dialog.get();
        SetStatusSink([this](const QString& text) { form->StatusBar1->SetPanelText(0, text); });
        SetMessageSink([this](const QString& text) { messages << text; });
        device = std::make_unique<TSimDevice>(QuietDevice());
        opener = std::make_unique<TSimOpener>(*device, DevicePort);
    }

    void TearDown() override {
        ClosePort();
        opener.reset();
        SetMessageSink(nullptr);
        SetStatusSink(nullptr);
        Form1 = nullptr;
        Form2 = nullptr;
        dialog.reset();
        form.reset();
        LanguageIndex = 0;
        PortNumber = 0;
    }

    QString Panel(int n) const { return form->StatusBar1->PanelText(n); }
    TDeviceSettings& DeviceSide() { return device->Model().Settings(); }

    std::unique_ptr<TForm1> form;
    std::unique_ptr<TForm2> dialog;
    std::unique_ptr<TSimDevice> device;
    std::unique_ptr<TSimOpener> opener;
    QStringList messages;
};

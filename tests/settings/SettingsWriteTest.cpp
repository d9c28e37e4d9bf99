#include <cstring>

#include "FormFixture.h"
#include "connection/Polling.h"
#include "link/Address.h"
#include "link/Frame.h"
#include "settings/AddressChange.h"
#include "settings/SettingsWrite.h"

namespace {

const uint8_t HomeAddress[3] = {0x03, 0xC8, 0xFD}; // Edit2 as the window starts

bool SameAddress(const uint8_t* a, const uint8_t* b) {
    return std::memcmp(a, b, 3) == 0;
}

// The written part of the settings, as the device holds it.
struct TWritten {
    float doseRate, dose;
    uint8_t brightness, displayMode, options, mode, screens;
    bool operator==(const TWritten& o) const {
        return doseRate == o.doseRate && dose == o.dose && brightness == o.brightness &&
               displayMode == o.displayMode && options == o.options && mode == o.mode &&
               screens == o.screens;
    }
};

void PrintTo(const TWritten& w, std::ostream* os) {
    *os << w.doseRate << " " << w.dose << " brightness " << int(w.brightness) << " mode "
        << int(w.displayMode) << " options " << int(w.options) << " recording " << int(w.mode)
        << " screens " << int(w.screens);
}

TWritten Written(const TDeviceSettings& s) {
    return {s.DoseRateThreshold, s.DoseThreshold, s.Brightness, s.DisplayMode,
            s.Options,           s.RecordingMode, s.Screens};
}

class SettingsWrite : public TFormTest {
  protected:
    void SetUp() override {
        TFormTest::SetUp();
        OpenPort(DevicePort);
        TDeviceSettings& s = DeviceSide();
        s.DoseRateThreshold = 0.3f;
        s.DoseThreshold = 10.0f;
        s.Brightness = 4;
        s.DisplayMode = 3;
        // Bits the tab does not own, in both bytes, must come back as read.
        s.Options = 0x81 | OptionRussian | OptionGps;
        s.RecordingMode = 0x81 | RecordEveryHour | RecordOnChange;
        s.Screens = 0x16;
        ASSERT_EQ(ReadSettings(*form), 1);
    }
};

TEST_F(SettingsWrite, UnchangedTabWritesBackWhatWasRead) {
    const TWritten before = Written(DeviceSide());
    Button2Click(*form);
    EXPECT_EQ(Panel(0), QString::fromUtf8("Выполнено"));
    EXPECT_EQ(device->Model().Writes(ObjectId::DeviceSettingsWrite), 1);
    EXPECT_EQ(DeviceSettings.Brightness, 100); // the track bar's 4, times 25
    EXPECT_EQ(Written(DeviceSide()), before);
}

TEST_F(SettingsWrite, ChangedControlsReachTheDevice) {
    form->Edit9->setText("2.5");
    form->Edit10->setText("1E3");
    form->TrackBar1->setValue(10);
    form->ComboBox1->setCurrentIndex(0); // English
    form->ComboBox2->setCurrentIndex(0); // sound on
    form->CheckBox4->setChecked(true);
    SetRadioChecked(form->RadioButton2, true);
    form->CheckBox6->setChecked(true);
    form->CheckBox8->setChecked(false);
    Button2Click(*form);
    const TWritten expected{2.5f,
                            1000,
                            10,
                            3,
                            0x81 | OptionSound | OptionAutoBrightness | OptionGps,
                            0x81 | RecordEveryMinute | RecordOnChange,
                            0x13};
    EXPECT_EQ(Written(DeviceSide()), expected);
}

TEST_F(SettingsWrite, RefusedThresholdShowsWhyAndSendsNothing) {
    struct Case {
        const char* doseRate;
        const char* dose;
        QString message;
    };
    const Case cases[] = {
        {"10000001", "1", QString::fromUtf8("Введите значение порога < 1e7")},
        {"-5", "1", QString::fromUtf8("Порог должен быть числом от 0 до 1e7")},
        {"1", "nan", QString::fromUtf8("Порог должен быть числом от 0 до 1e7")},
        {"1", "x1", "'x1' is not a valid floating point value"},
    };
    const TWritten before = Written(DeviceSide());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.doseRate + std::string(" / ") + c.dose);
        messages.clear();
        form->StatusBar1->SetPanelText(0, "before");
        form->Edit9->setText(c.doseRate);
        form->Edit10->setText(c.dose);
        const int requests = device->Model().Requests();
        Button2Click(*form);
        EXPECT_EQ(messages, QStringList{c.message});
        EXPECT_EQ(device->Model().Requests(), requests);
        EXPECT_EQ(Panel(0), "before");
    }
    EXPECT_EQ(Written(DeviceSide()), before);
}

TEST_F(SettingsWrite, ModuleAddressesWrittenAreReadBack) {
    form->Edit3->setText("ABCDEF");
    Button11Click(*form);
    EXPECT_EQ(Panel(0), QString::fromUtf8("Выполнено"));
    const uint8_t module1[3] = {0xAB, 0xCD, 0xEF};
    EXPECT_TRUE(SameAddress(DeviceSettings.Module1Address, module1));
    EXPECT_TRUE(SameAddress(DeviceSide().Module1Address, module1)); // reversed on the link

    form->Edit4->setText("a");
    Button12Click(*form);
    form->Edit3->clear();
    form->Edit4->clear();
    ASSERT_EQ(ReadSettings(*form), 1);
    EXPECT_EQ(form->Edit3->text(), "ABCDEF");
    EXPECT_EQ(form->Edit4->text(), "00000A");
}

TEST_F(SettingsWrite, AddressThatIsNoNumberChangesNothing) {
    struct Case {
        QLineEdit* edit;
        void (*click)(TForm1&);
        const uint8_t* variable;
    };
    const Case cases[] = {{form->Edit3, Button11Click, DeviceSettings.Module1Address},
                          {form->Edit4, Button12Click, DeviceSettings.Module2Address},
                          {form->Edit2, Button10Click, DeviceSettings.ConsoleAddress}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.edit->objectName().toStdString());
        messages.clear();
        uint8_t before[3];
        std::memcpy(before, c.variable, 3);
        c.edit->setText("12 34");
        const int requests = device->Model().Requests();
        c.click(*form);
        EXPECT_EQ(messages, QStringList{QString::fromStdString(InvalidIntegerMessage("12 34"))});
        EXPECT_TRUE(SameAddress(c.variable, before));
        EXPECT_EQ(device->Model().Requests(), requests);
    }
    EXPECT_TRUE(SameAddress(Link.DeviceAddress, HomeAddress));
}

// The unit takes its new address from a write to the old one; the program follows it, and the
// polling goes on once Edit2 holds the new address.
TEST_F(SettingsWrite, ConsoleAddressChangeKeepsTheUnitInReach) {
    const uint8_t next[3] = {0x12, 0x34, 0x56};
    form->Edit2->setText("123456"); // typed, not yet taken by a tick
    Button10Click(*form);
    EXPECT_EQ(Panel(0), QString::fromUtf8("Выполнено"));
    EXPECT_TRUE(SameAddress(device->Model().Address(), next));
    EXPECT_TRUE(SameAddress(Link.DeviceAddress, next));

    const int reads = device->Model().Reads(ObjectId::MeasurementData);
    form->PageControl1->setCurrentWidget(form->TabSheet1);
    Timer1Timer(*form);
    EXPECT_EQ(device->Model().Reads(ObjectId::MeasurementData), reads + 1);
    ASSERT_EQ(ReadSettings(*form), 1);
    EXPECT_TRUE(SameAddress(DeviceSettings.ConsoleAddress, next));
}

TEST_F(SettingsWrite, UnansweredAddressChangeStaysAtTheOldAddress) {
    const uint8_t elsewhere[3] = {0x0A, 0x0B, 0x0C}, next[3] = {0x12, 0x34, 0x56};
    EXPECT_EQ(ChangeConsoleAddress(elsewhere, next), 0);
    EXPECT_TRUE(SameAddress(Link.DeviceAddress, elsewhere));
    EXPECT_TRUE(SameAddress(device->Model().Address(), HomeAddress));
    EXPECT_EQ(Panel(0), QString::fromUtf8("Ошибка связи"));
    // Given the address the unit answers at, the change goes through.
    EXPECT_EQ(ChangeConsoleAddress(HomeAddress, next), 1);
    EXPECT_TRUE(SameAddress(Link.DeviceAddress, next));
}

} // namespace

#include <QLocale>
#include <QSignalBlocker>

#include "FormFixture.h"
#include "link/Address.h"
#include "link/Frame.h"
#include "settings/SettingsValues.h"
#include "views/DoseView.h"

namespace {

struct TRecording {
    bool rb1, rb2, rb3, cb3, cb5;
    bool operator==(const TRecording& o) const {
        return rb1 == o.rb1 && rb2 == o.rb2 && rb3 == o.rb3 && cb3 == o.cb3 && cb5 == o.cb5;
    }
};

void PrintTo(const TRecording& r, std::ostream* os) {
    *os << "rb1=" << r.rb1 << " rb2=" << r.rb2 << " rb3=" << r.rb3 << " cb3=" << r.cb3
        << " cb5=" << r.cb5;
}

class SettingsRead : public TFormTest {
  protected:
    void SetUp() override {
        TFormTest::SetUp();
        OpenPort(DevicePort);
        TDeviceSettings& s = DeviceSide();
        s.DoseRateThreshold = 0.3f;
        s.DoseThreshold = 10.0f;
        s.Brightness = 4;
        s.DisplayMode = 2;
        s.Options = OptionSound | OptionGps; // English, no automatic brightness
        s.RecordingMode = RecordEveryMeasurement;
        const uint8_t module1[3] = {0x00, 0x00, 0x0A};
        const uint8_t module2[3] = {0xAB, 0xCD, 0xEF};
        std::copy(module1, module1 + 3, s.Module1Address);
        std::copy(module2, module2 + 3, s.Module2Address);
        s.Module1Channel = 12;
        s.Module2Channel = 250;
        s.Screens = 0x15;
    }

    TRecording Recording() const {
        return {form->RadioButton1->isChecked(), form->RadioButton2->isChecked(),
                form->RadioButton3->isChecked(), form->CheckBox3->isChecked(),
                form->CheckBox5->isChecked()};
    }
};

TEST_F(SettingsRead, FillsTheTabFromTheDevice) {
    ASSERT_EQ(ReadSettings(*form), 1);
    EXPECT_EQ(form->Edit9->text(), "3.00E-01");
    EXPECT_EQ(form->Edit10->text(), "1.00E+01");
    EXPECT_EQ(form->Edit3->text(), "00000A");
    EXPECT_EQ(form->Edit5->text(), "12");
    EXPECT_EQ(form->Edit4->text(), "ABCDEF");
    EXPECT_EQ(form->Edit7->text(), "250");
    EXPECT_EQ(form->ComboBox2->currentIndex(), 0); // sound on
    EXPECT_EQ(form->ComboBox1->currentIndex(), 0); // English
    EXPECT_FALSE(form->CheckBox4->isChecked());
    EXPECT_EQ(form->ComboBox4->currentIndex(), 1); // GPS on
    EXPECT_EQ(form->TrackBar1->value(), 4);
    EXPECT_EQ(form->ComboBox3->currentIndex(), 2);
    const bool screens[] = {form->CheckBox6->isChecked(), form->CheckBox7->isChecked(),
                            form->CheckBox8->isChecked(), form->CheckBox9->isChecked(),
                            form->CheckBox10->isChecked()};
    const bool expected[] = {true, false, true, false, true};
    EXPECT_TRUE(std::equal(screens, screens + 5, expected));
    // The read also refreshes the variables the address writes send.
    EXPECT_EQ(DeviceSettings.Module2Address[0], 0xAB);
}

TEST_F(SettingsRead, OutOfRangeBytesStayInsideTheControls) {
    DeviceSide().Brightness = 100;
    DeviceSide().DisplayMode = 7;
    ASSERT_EQ(ReadSettings(*form), 1);
    EXPECT_EQ(form->TrackBar1->value(), 10);
    EXPECT_EQ(form->ComboBox3->currentIndex(), -1);
    EXPECT_EQ(DeviceSettings.DisplayMode, 7); // sent back as read
}

TEST_F(SettingsRead, RecordingModeFromTheDevice) {
    struct Case {
        uint8_t mode;
        bool rb1Before, cb3Before;
        TRecording after;
    };
    const Case cases[] = {
        {0x10, false, false, {true, false, false, false, true}},
        // Selecting the hourly mode clears the earlier radio button; both ticks come from the
        // click handlers.
        {0x0A, true, false, {false, false, true, true, true}},
        {0x00, true, true, {false, false, false, false, false}},
        // No recording bit but not zero: the first radio button and the box keep their state.
        {0x01, true, true, {true, false, false, false, true}},
        // Several modes at once: the one set last wins (hourly after every measurement, every
        // minute after hourly).
        {0x18, false, false, {false, false, true, false, true}},
        {0x0C, false, false, {false, true, false, false, true}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.mode));
        SetRadioChecked(form->RadioButton1, c.rb1Before);
        form->CheckBox3->setChecked(c.cb3Before);
        if (!c.rb1Before && !c.cb3Before) form->CheckBox5->setChecked(false);
        DeviceSide().RecordingMode = c.mode;
        ASSERT_EQ(ReadSettings(*form), 1);
        EXPECT_EQ(Recording(), c.after);
    }
}

// halvexctl's keys describe the tab as a read leaves it when nothing was chosen before.
TEST_F(SettingsRead, NamedValuesAgreeWithAFreshTabForEveryRecordingMode) {
    for (int mode = 0; mode < 0x20; ++mode) {
        SCOPED_TRACE(mode);
        form->CheckBox5->setChecked(false); // clears every mode
        DeviceSide().RecordingMode = uint8_t(mode);
        ASSERT_EQ(ReadSettings(*form), 1);
        const TSettingsControls c = ControlsOfSettings(DeviceSettings);
        EXPECT_EQ(Recording(), (TRecording{c.EveryMeasurement, c.EveryMinute, c.EveryHour,
                                           c.OnChange, form->CheckBox5->isChecked()}));
    }
}

TEST_F(SettingsRead, RecordingBoxFollowsTheModes) {
    form->CheckBox5->setChecked(true); // no mode chosen: undoes itself
    EXPECT_EQ(Recording(), (TRecording{false, false, false, false, false}));
    SetRadioChecked(form->RadioButton2, true);
    EXPECT_EQ(Recording(), (TRecording{false, true, false, false, true}));
    form->CheckBox3->setChecked(true);
    form->CheckBox5->setChecked(false); // switches every mode off
    EXPECT_EQ(Recording(), (TRecording{false, false, false, false, false}));
    form->CheckBox3->setChecked(true);
    form->CheckBox3->setChecked(false); // unticking the last mode leaves the box ticked
    EXPECT_EQ(Recording(), (TRecording{false, false, false, false, true}));
}

TEST_F(SettingsRead, ButtonReportsTheReadInTheLanguage) {
    struct Case {
        uint8_t language;
        const char* panel;
    };
    for (const Case& c : {Case{0, "Прочитано"}, Case{1, "Ok"}, Case{7, "before"}}) {
        LanguageIndex = c.language;
        form->StatusBar1->SetPanelText(0, "before");
        Button1Click(*form);
        EXPECT_EQ(Panel(0), QString::fromUtf8(c.panel)) << int(c.language);
    }
}

TEST_F(SettingsRead, FailedReadFromTheButtonBlanksValuesButKeepsSettings) {
    ASSERT_EQ(ReadSettings(*form), 1);
    form->Label2->setText("1.23");
    form->StatusBar1->SetPanelText(1, "console");
    form->Label15->setText("78 %");
    form->Label44->setText("1234");
    form->StringGrid1->SetCell(2, 1, "55");
    form->StringGrid1->SetCell(1, 1, "0.07");
    ChartMax = 3.5f;

    // ReadSettings alone changes nothing when the device is silent.
    const uint8_t elsewhere[3] = {1, 2, 3};
    device->Model().SetAddress(elsewhere);
    EXPECT_EQ(ReadSettings(*form), 0);
    EXPECT_EQ(form->Edit9->text(), "3.00E-01");
    EXPECT_EQ(form->Label2->text(), "1.23");

    Button1Click(*form);
    EXPECT_EQ(Panel(0), QString::fromUtf8("Ошибка связи"));
    for (QLineEdit* e :
         {form->Edit3, form->Edit4, form->Edit5, form->Edit7, form->Edit9, form->Edit10})
        EXPECT_EQ(e->text(), " ") << e->objectName().toStdString();
    EXPECT_EQ(form->Label2->text(), "- - -");
    EXPECT_EQ(Panel(1), "- - -");
    EXPECT_EQ(form->Label15->text(), "- - -");
    EXPECT_EQ(form->Label44->text(), "- - -");
    EXPECT_EQ(form->StringGrid1->Cell(2, 1), "");
    EXPECT_EQ(form->StringGrid1->Cell(1, 1), "0.07");
    EXPECT_EQ(ChartMax, 0.0f);
    // Lists, ticks and the track bar keep what the last read showed.
    EXPECT_EQ(form->ComboBox4->currentIndex(), 1);
    EXPECT_EQ(form->TrackBar1->value(), 4);
    EXPECT_TRUE(form->RadioButton1->isChecked());
    EXPECT_TRUE(form->CheckBox6->isChecked());
}

TEST_F(SettingsRead, AddressThatIsNoNumberStopsBeforeAnyRequest) {
    for (const char* text : {"", " 3C8FD", "03C8FG", "0x03C8FD"}) {
        SCOPED_TRACE(text);
        messages.clear();
        form->Edit9->setText("kept");
        form->StatusBar1->SetPanelText(0, "before");
        form->Edit2->setText(text);
        const int requests = device->Model().Requests();
        Button1Click(*form);
        EXPECT_EQ(device->Model().Requests(), requests);
        EXPECT_EQ(messages, QStringList{QString::fromStdString(InvalidIntegerMessage(text))});
        EXPECT_EQ(form->Edit9->text(), "kept");
        EXPECT_EQ(Panel(0), "before");
    }
}

TEST_F(SettingsRead, TakesTheDeviceAddressFromTheFieldAtEachRead) {
    const uint8_t other[3] = {0x12, 0x34, 0x56};
    device->Model().SetAddress(other);
    form->Edit2->setText("123456");
    ASSERT_EQ(ReadSettings(*form), 1);
    EXPECT_EQ(Link.DeviceAddress[0], 0x12);
    EXPECT_EQ(Link.DeviceAddress[2], 0x56);
}

} // namespace

// The settings write and read-back over a real tty: halvex-sim on a pseudo-terminal linked as COM3
// in a temporary port folder.
#include "FormFixture.h"
#include "settings/SettingsWrite.h"
#include "tests/support/PortFolder.h"

namespace {

class PtySettings : public TFormTest {
  protected:
    void SetUp() override {
        TFormTest::SetUp();
        opener.reset(); // ports are ttys again
        ASSERT_TRUE(ports.IsValid());
        ASSERT_TRUE(ports.StartSim(DevicePort)) << ports.Sim.Error().toStdString();
        ASSERT_NE(OpenPort(DevicePort), nullptr);
    }
    TPortFolder ports;
};

TEST_F(PtySettings, WrittenSettingsAndAddressAreReadBack) {
    ASSERT_EQ(ReadSettings(*form), 1);
    const int brightness = form->TrackBar1->value() == 7 ? 3 : 7;
    const bool firstScreen = !form->CheckBox6->isChecked();
    form->Edit9->setText("2.50E+00");
    form->Edit10->setText("4.00E+02");
    form->TrackBar1->setValue(brightness);
    form->ComboBox4->setCurrentIndex(1); // GPS on
    form->CheckBox6->setChecked(firstScreen);
    Button2Click(*form);
    EXPECT_EQ(Panel(0), QString::fromUtf8("Выполнено"));
    form->Edit3->setText("ABCDEF");
    Button11Click(*form);
    EXPECT_EQ(Panel(0), QString::fromUtf8("Выполнено"));

    form->Edit9->clear();
    form->Edit3->clear();
    form->TrackBar1->setValue(0);
    form->ComboBox4->setCurrentIndex(0);
    form->CheckBox6->setChecked(!firstScreen);
    ASSERT_EQ(ReadSettings(*form), 1);
    EXPECT_EQ(form->Edit9->text(), "2.50E+00");
    EXPECT_EQ(form->Edit10->text(), "4.00E+02");
    EXPECT_EQ(form->TrackBar1->value(), brightness);
    EXPECT_EQ(form->ComboBox4->currentIndex(), 1);
    EXPECT_EQ(form->CheckBox6->isChecked(), firstScreen);
    EXPECT_EQ(form->Edit3->text(), "ABCDEF");
}

} // namespace

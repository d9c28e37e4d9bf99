// The device search over a real tty: halvex-sim on a pseudo-terminal linked as COM3 in a
// temporary port folder.
#include "../settings/FormFixture.h"
#include "connection/Startup.h"
#include "link/Frame.h"
#include "tests/support/PortFolder.h"

namespace {

class PtyDiscovery : public TFormTest {
  protected:
    void SetUp() override {
        TFormTest::SetUp();
        opener.reset(); // ports are ttys again
        ASSERT_TRUE(ports.IsValid());
        ASSERT_TRUE(ports.StartSim(DevicePort)) << ports.Sim.Error().toStdString();
        StartupDone = false;
    }
    void TearDown() override {
        StartupDone = false;
        TFormTest::TearDown();
    }
    TPortFolder ports;
};

TEST_F(PtyDiscovery, StartupScanFindsTheDeviceOnCom3) {
    LanguageIndex = 2; // no splash window to show
    Timer2Timer(*form);
    form->Timer1->stop();
    EXPECT_EQ(PortNumber, 3);
    EXPECT_EQ(Panel(3), "COM3");
    EXPECT_EQ(dialog->ComboBox1->count(), 21);
    EXPECT_EQ(dialog->ComboBox1->itemText(20), "3");
    EXPECT_EQ(dialog->ComboBox1->currentIndex(), 0);
    EXPECT_NE(Link.PortHandle, nullptr); // the port that answered stays open for polling
    EXPECT_FALSE(form->Edit9->text().isEmpty());
}

TEST_F(PtyDiscovery, WrongAddressFailsEveryProbe) {
    form->Edit2->setText("03C8FE");
    FindDevice(*form, *dialog, 0);
    EXPECT_EQ(PortNumber, 0);
    EXPECT_EQ(Panel(3), "---");
    EXPECT_EQ(Panel(0), QString::fromUtf8("Прибор не обнаружен"));
    EXPECT_EQ(dialog->ComboBox1->count(), 20);
}

// One damaged answer to the probe, on a paced line: the rest of a spoiled reply is still arriving
// when the next probe goes out, and must not spoil that one too.
TEST_F(PtyDiscovery, OneDamagedAnswerDoesNotLoseTheDevice) {
    for (const char* fault : {"corrupt-header=1", "stray-byte=1", "corrupt-payload=1",
                              "other-object=1", "cut=1,30", "huge-length=1"}) {
        SCOPED_TRACE(fault);
        ClosePort();
        ports.Sim.Stop();
        ASSERT_TRUE(ports.StartSim(DevicePort, {"--fault-next", fault}))
            << ports.Sim.Error().toStdString();
        PortNumber = 0;
        FindDevice(*form, *dialog, 0);
        EXPECT_EQ(PortNumber, 3);
        EXPECT_EQ(Panel(3), "COM3");
    }
}

} // namespace

#include <QTimer>

#include "../settings/FormFixture.h"
#include "base/Clock.h"
#include "link/Address.h"

namespace {

QStringList Items(const QComboBox* list) {
    QStringList items;
    for (int i = 0; i < list->count(); ++i)
        items << list->itemText(i);
    return items;
}

QStringList ItemsOneTo(int last) {
    QStringList items;
    for (int i = 1; i <= last; ++i)
        items << QString::number(i);
    return items;
}

class Discovery : public TFormTest {};

TEST_F(Discovery, AutomaticScanFindsTheDeviceAndAppendsItsPort) {
    FindDevice(*form, *dialog, 0);
    EXPECT_EQ(PortNumber, DevicePort);
    EXPECT_EQ(Items(dialog->ComboBox1), ItemsOneTo(20) << "3");
    EXPECT_EQ(dialog->ComboBox1->currentIndex(), 0);
    EXPECT_EQ(dialog->ProgressBar1->value(), 3);
    EXPECT_EQ(dialog->ProgressBar1->maximum(), 255);
    EXPECT_FALSE(form->Edit9->text().isEmpty()); // the probe filled the tab
    EXPECT_EQ(opener->Opens(), 1);
}

TEST_F(Discovery, FailedScanReportsNoDeviceInTheLanguage) {
    for (auto [language, text] : {std::pair{0, "Прибор не обнаружен"}, {1, "No device"}}) {
        LanguageIndex = language;
        PortNumber = 0;
        const uint8_t elsewhere[3] = {0, 0, 1};
        device->Model().SetAddress(elsewhere); // the device answers only its own address
        FindDevice(*form, *dialog, 0);
        EXPECT_EQ(PortNumber, 0);
        EXPECT_EQ(Panel(3), "---");
        EXPECT_EQ(Panel(0), QString::fromUtf8(text));
        EXPECT_EQ(Items(dialog->ComboBox1), ItemsOneTo(20));
        EXPECT_EQ(Link.PortHandle, nullptr); // the last number tried has no port
    }
}

TEST_F(Discovery, FailedScanAfterASuccessKeepsThePort) {
    FindDevice(*form, *dialog, 0);
    ASSERT_EQ(PortNumber, DevicePort);
    form->StatusBar1->SetPanelText(3, "COM3");
    form->StatusBar1->SetPanelText(0, "before");
    opener->SetAvailable(false);
    FindDevice(*form, *dialog, 0);
    EXPECT_EQ(PortNumber, DevicePort);
    EXPECT_EQ(Panel(3), "COM3");
    EXPECT_EQ(Panel(0), "before");
}

// The status bar still names the port found before, so polling goes on there: once the device
// answers again, requests get through without a new search.
TEST_F(Discovery, FailedScanAfterASuccessReturnsToThatPort) {
    FindDevice(*form, *dialog, 0);
    ASSERT_EQ(PortNumber, DevicePort);
    device->Faults().SetNext(TFault::NoAnswer, 1);
    FindDevice(*form, *dialog, 0);
    EXPECT_EQ(PortNumber, DevicePort);
    ASSERT_NE(Link.PortHandle, nullptr);
    EXPECT_EQ(ReadObject(Obj::MeasurementData), 1);
}

// One damaged answer to the probe must not lose the device: a port that answers without
// delivering the settings, or sends bytes with a damaged header, is probed again, three probes in
// all; a silent one costs one.
TEST_F(Discovery, ProbeIsRepeatedWhileTheDeviceAnswersWithoutDelivering) {
    const struct {
        TFault fault;
        int spoiled;
        bool found;
        int probes;
    } cases[] = {
        {TFault::CorruptPayload, 2, true, 3},
        {TFault::CutReply, 3, false, 3},             // header whole, payload cut
        {TFault::CorruptHeaderChecksum, 2, true, 3}, // not answered, yet not silent
        {TFault::NoAnswer, 5, false, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.fault));
        PortNumber = 0;
        device->Faults().Clear();
        device->Faults().SetNext(c.fault, c.spoiled, 20);
        // A lost request never reaches the model's count.
        auto probes = [&] {
            return device->Model().Requests() + device->Faults().Injected(TFault::NoAnswer);
        };
        const int before = probes();
        FindDevice(*form, *dialog, 0);
        EXPECT_EQ(PortNumber, c.found ? DevicePort : 0);
        EXPECT_EQ(probes() - before, c.probes);
    }
}

TEST_F(Discovery, AddressThatIsNoNumberIsReportedOnceAndFindsNothing) {
    form->Edit2->setText("03C8FZ");
    FindDevice(*form, *dialog, 0);
    EXPECT_EQ(messages, QStringList{QString::fromStdString(InvalidIntegerMessage("03C8FZ"))});
    EXPECT_EQ(device->Model().Requests(), 0);
    EXPECT_EQ(PortNumber, 0);
    EXPECT_EQ(Panel(3), "---");
    EXPECT_EQ(Panel(0), QString::fromUtf8("Прибор не обнаружен"));
}

int64_t Clock = 0;
int64_t RunawayClock() {
    return Clock += 5001;
}

TEST_F(Discovery, ScanGivesUpAfterItsTimeLimitWithoutClearingThePanel) {
    SetNowFunction(RunawayClock);
    form->StatusBar1->SetPanelText(3, "COM9");
    FindDevice(*form, *dialog, 0);
    SetNowFunction(nullptr);
    EXPECT_EQ(opener->Opens(), 0);
    EXPECT_EQ(Panel(0), QString::fromUtf8("Прибор не обнаружен"));
    EXPECT_EQ(Panel(3), "COM9");
}

TEST_F(Discovery, ManualModeUsesThePortWrittenInTheSelectedItem) {
    struct Case {
        uint8_t devicePort;
        int index;
        uint8_t expected;
    };
    // "7" appended by an earlier scan sits at index 20 and still means port 7.
    dialog->ComboBox1->addItem("7");
    for (const Case& c : {Case{5, 4, 5}, Case{7, 20, 7}, Case{1, 0, 1}}) {
        SCOPED_TRACE(c.index);
        TSimOpener there(*device, c.devicePort);
        dialog->ComboBox1->setCurrentIndex(c.index);
        FindDevice(*form, *dialog, 1);
        EXPECT_EQ(PortNumber, c.expected);
        EXPECT_EQ(there.Opens(), 1);
    }
}

TEST_F(Discovery, ManualModeWithoutSelectionFails) {
    PortNumber = 3;
    OpenPort(DevicePort);
    dialog->ComboBox1->setCurrentIndex(-1);
    FindDevice(*form, *dialog, 1);
    EXPECT_EQ(PortNumber, 0);
    EXPECT_EQ(Link.PortHandle, nullptr);
    EXPECT_EQ(Panel(3), "---");
    EXPECT_EQ(Panel(0), QString::fromUtf8("Прибор не обнаружен"));
}

TEST_F(Discovery, ManualModeOnASilentPortClearsThePortNumber) {
    dialog->ComboBox1->setCurrentIndex(4); // "5": nothing there
    PortNumber = 3;
    FindDevice(*form, *dialog, 1);
    EXPECT_EQ(PortNumber, 0);
    EXPECT_EQ(Panel(3), "---");
}

TEST_F(Discovery, PortsThatCannotBeOpenedAreNamedInThePortPanelTooltip) {
    const QString problem = "/dev/ttyUSB0: permission denied; join the dialout group";
    SetPortOpener([&](uint8_t n) -> std::unique_ptr<TSerialPort> {
        if (n == 33) LastOpenProblem = {problem.toStdString(), problem.toStdString()};
        return nullptr;
    });
    FindDevice(*form, *dialog, 0);
    EXPECT_EQ(form->StatusBar1->Panel(3)->toolTip(), problem);
    EXPECT_EQ(Panel(3), "---"); // the panel's own text stays as it is everywhere

    TSimOpener back(*device, DevicePort);
    FindDevice(*form, *dialog, 0);
    EXPECT_EQ(form->StatusBar1->Panel(3)->toolTip(), "");
}

// The dialog is modal: each case closes it from inside its event loop.
TEST_F(Discovery, DialogSearchesInTheModeChosenOrTheLastOne) {
    struct Case {
        const char* how;
        std::function<void()> close;
        uint8_t mode;
    };
    const Case cases[] = {
        {"frame, first time", [this] { dialog->close(); }, 0},
        {"manual", [this] { Button1Click(*dialog); }, 1},
        {"frame keeps manual", [this] { dialog->reject(); }, 1},
        {"automatic", [this] { Button2Click(*dialog); }, 0},
    };
    dialog->ComboBox1->setCurrentIndex(2); // "3"
    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        PortNumber = 0;
        form->StatusBar1->SetPanelText(3, "---");
        const int reads = device->Model().Requests();
        dialog->ProgressBar1->setValue(77);
        QTimer::singleShot(0, c.close);
        N5Click(*form);
        EXPECT_EQ(DiscoveryMode, c.mode);
        EXPECT_EQ(PortNumber, DevicePort);
        EXPECT_GT(device->Model().Requests(), reads);
        EXPECT_EQ(Panel(3), "COM3"); // named while data flows, as after the start-up search
        EXPECT_FALSE(dialog->isVisible());
        dialog->ComboBox1->setCurrentIndex(2);
    }
}

} // namespace

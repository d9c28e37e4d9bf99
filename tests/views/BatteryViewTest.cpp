#include "views/BatteryView.h"
#include "FormFixture.h"

namespace {

class BatteryView : public FormTest {};

TEST_F(BatteryView, LabelsCaptionAndPanelPerBatteryAndLanguage) {
    struct Case {
        bool detector;
        uint8_t language;
        float current;
        uint8_t charge;
        const char* panel;
        const char* caption;
        const char* currentText;
    };
    const Case cases[] = {
        {true, 0, 25.0f, 87, "Аккумулятор ТЕРН-5:  87% зарядка", "Ток заряда:", "25.0 мА"},
        {true, 0, 0.0f, 50, "Аккумулятор ТЕРН-5 :  50%", "Ток потребления:", "0.0 мА"},
        {false, 1, -12.5f, 100, "VOLN-2 Battery :  100%", "Current consumption:", "-12.5 mA"},
        {false, 1, 3.26f, 9, "VOLN-2 Battery:  9% charging", "Charge current:", "3.3 mA"},
        {false, 0, 1.0f, 60, "Аккумулятор ВОЛН-2:  60% зарядка", "Ток заряда:", "1.0 мА"},
        {true, 1, -300.0f, 5, "TERN-5 Battery :  5%", "Current consumption:", "-300.0 mA"},
    };
    for (const Case& c : cases) {
        LanguageIndex = c.language;
        TBattery& b = c.detector ? DetectorBattery : ConsoleBattery;
        b = TBattery{21.44f, c.current, 7260, 93, c.charge};
        if (c.detector)
            ShowDetectorBattery(*form);
        else
            ShowConsoleBattery(*form);
        QLabel* caption = c.detector ? form->Label23 : form->Label13;
        QLabel* current = c.detector ? form->Label28 : form->Label18;
        QLabel* charge = c.detector ? form->Label25 : form->Label15;
        QLabel* temperature = c.detector ? form->Label26 : form->Label16;
        QLabel* remaining = c.detector ? form->Label27 : form->Label17;
        QLabel* condition = c.detector ? form->Label29 : form->Label19;
        EXPECT_EQ(form->StatusBar1->PanelText(c.detector ? 2 : 1), QString::fromUtf8(c.panel));
        EXPECT_EQ(caption->text(), QString::fromUtf8(c.caption)) << c.panel;
        EXPECT_EQ(current->text(), QString::fromUtf8(c.currentText)) << c.panel;
        EXPECT_EQ(charge->text(), QString::number(c.charge) + "%");
        EXPECT_EQ(temperature->text(), QStringLiteral("21.4"));
        EXPECT_EQ(remaining->text(),
                  c.language ? QStringLiteral("2 hr 1 min") : QStringLiteral("2 час 1 мин"));
        EXPECT_EQ(condition->text(), QStringLiteral("93%"));
    }
}

TEST_F(BatteryView, UnknownLanguageChangesOnlyTheNeutralLabels) {
    ConsoleBattery = TBattery{20.0f, 5.0f, 600, 90, 80};
    ShowConsoleBattery(*form);
    const QString panel = form->StatusBar1->PanelText(1);
    const QString otherPanel = form->StatusBar1->PanelText(2);
    LanguageIndex = 2;
    ConsoleBattery = TBattery{-3.0f, -5.0f, 7200, 70, 40};
    ShowConsoleBattery(*form);
    EXPECT_EQ(form->Label15->text(), QStringLiteral("40%"));
    EXPECT_EQ(form->Label16->text(), QStringLiteral("-3.0"));
    EXPECT_EQ(form->Label19->text(), QStringLiteral("70%"));
    EXPECT_EQ(form->Label17->text(), QStringLiteral("10 мин"));
    EXPECT_EQ(form->Label13->text(), QStringLiteral("Ток заряда:"));
    EXPECT_EQ(form->Label18->text(), QStringLiteral("5.0 мА"));
    EXPECT_EQ(form->StatusBar1->PanelText(1), panel);
    // The other battery is not touched by this one's update.
    EXPECT_EQ(form->StatusBar1->PanelText(2), otherPanel);
}

} // namespace

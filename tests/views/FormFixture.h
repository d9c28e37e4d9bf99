#pragma once
// A main window for handler tests, in the C locale and on a clock the test sets. The live views'
// state starts afresh each time.
#include <QLocale>
#include <cstdint>

#include "base/Clock.h"
#include "base/Language.h"
#include "link/Catalogue.h"
#include "link/ObjectRequests.h"
#include "tests/support/MainFormTest.h"
#include "ui/Forms.h"
#include "views/DoseSeries.h"
#include "views/DoseView.h"
#include "views/GammaView.h"

// The PC clock as the tests set it.
inline int64_t& TestNow() {
    static int64_t now = 1700000000;
    return now;
}
inline int64_t TestNowFunction() {
    return TestNow();
}

class FormTest : public TMainFormTest {
  protected:
    void SetUp() override {
        QLocale::setDefault(QLocale::c());
        TMainFormTest::SetUp();
        ChartMax = 0;
        LastPointTime = 0;
        ClearDoseSeries(*form);
        for (int32_t& s : SpectrumSums)
            s = 0;
        MeasurementData = TMeasurementData{};
        SpectrumData = TSpectrumData{};
        ConsoleBattery = TBattery{};
        DetectorBattery = TBattery{};
        SetNowFunction(TestNowFunction);
        TestNow() = 1700000000;
    }
    void TearDown() override {
        SetNowFunction(nullptr);
        TMainFormTest::TearDown();
        QLocale::setDefault(QLocale::c());
    }
};

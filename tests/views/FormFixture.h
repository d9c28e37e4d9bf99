#pragma once
// A main window for handler tests: built once per test with its timers stopped at once, so that
// only the handlers a test calls run. The live views' state starts afresh each time.
#include <QApplication>
#include <QLocale>
#include <gtest/gtest.h>
#include <memory>

#include "connection/Clock.h"
#include "link/Catalogue.h"
#include "link/ObjectRequests.h"
#include "ui/Forms.h"
#include "ui/Language.h"
#include "views/DoseSeries.h"
#include "views/DoseView.h"
#include "views/SpectrumView.h"

inline QApplication& TestApp() {
    static int argc = 1;
    static char name[] = "views-test";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
    return app;
}

// The PC clock as the tests set it.
inline int64_t& TestNow() {
    static int64_t now = 1700000000;
    return now;
}
inline int64_t TestNowFunction() {
    return TestNow();
}

class FormTest : public ::testing::Test {
  protected:
    void SetUp() override {
        TestApp();
        QLocale::setDefault(QLocale::c());
        LanguageIndex = 0;
        form = std::make_unique<TForm1>();
        form->Timer1->stop();
        form->Timer2->stop();
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
        SetStatusSink(nullptr); // the window's sink goes with the window
        form.reset();
        LanguageIndex = 0;
        QLocale::setDefault(QLocale::c());
    }
    std::unique_ptr<TForm1> form;
};

#include "tests/support/MainFormTest.h"
#include "app/Wiring.h"

#include "base/Language.h"
#include "connection/PortState.h"
#include "link/ObjectRequests.h"
#include "tests/support/TestApplication.h"
#include "views/StaleValues.h"

void StopTimers(TForm1& form) {
    form.Timer1->stop();
    form.Timer2->stop();
}

std::unique_ptr<TForm1> QuietMainWindow() {
    auto form = std::make_unique<TForm1>();
    WireMainWindow(*form);
    StopTimers(*form);
    return form;
}

void TMainFormTest::SetUp() {
    TestApplication();
    LanguageIndex = 0;
    ForgetPortState();
    ForgetLiveReads();
    form = QuietMainWindow();
}

void TMainFormTest::TearDown() {
    SetStatusSink(nullptr); // the window's sink goes with the window
    form.reset();
    LanguageIndex = 0;
}

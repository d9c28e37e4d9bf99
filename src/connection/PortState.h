#pragma once
// Panel 3 of the status bar and the state of the port behind it, kept in one place: the port in
// use, no port, or a port that was lost and is being opened again by the polling cycle.
#include <QString>
#include <cstdint>

class TForm1;

// Device found on port n: "COM" n, no tooltip.
void ShowPortFound(TForm1& form, uint8_t n);
// Nothing found: "---", the tooltip says why ports that exist could not be opened.
void ShowNoPort(TForm1& form, const QString& reasons);
// A search that failed after an earlier success keeps the port's text; only the reasons change.
void ShowSearchProblems(TForm1& form, const QString& reasons);

// Called by every polling tick before its requests. A port found dead (hung up, or not open
// while PortNumber names one) is closed and shown as "COM" n "?"; at most once every
// ReopenIntervalMs a tick opens it again. While it is lost the tick's requests fail at once.
constexpr int64_t ReopenIntervalMs = 2000;
void CheckPortBeforeTick(TForm1& form);
// Called after each exchange of a tick. The first exchange on a reopened port decides: answered,
// the port is back ("COM" n); silent, it is closed again so the tick costs no more than that one
// exchange.
void CheckPortAfterExchange(TForm1& form);
// Whether the port is lost or reopened but not yet confirmed.
bool PortBeingReopened();
// A fresh run (tests): no port lost.
void ForgetPortState();

#pragma once
// Panel 3 of the status bar and the state of the port behind it, kept in one place: the port in
// use, no port, or a port that was lost and is being opened again by the polling cycle.
#include <QString>
#include <cstdint>

#include "connection/PortKeeper.h" // PortBeingReopened, ForgetPortState

class TForm1;

// Device found on port n: "COM" n, no tooltip.
void ShowPortFound(TForm1& form, uint8_t n);
// Nothing found: "---", the tooltip says why ports that exist could not be opened.
void ShowNoPort(TForm1& form, const QString& reasons);
// A search that failed after an earlier success keeps the port's text; only the reasons change.
void ShowSearchProblems(TForm1& form, const QString& reasons);

// Called by every polling tick before its requests and after each exchange: the port kept as
// PortKeeper does it, and panel 3 showing a lost port as "COM" n "?" until it is back.
void CheckPortBeforeTick(TForm1& form);
void CheckPortAfterExchange(TForm1& form);

#pragma once
// Shared set-up of the window tests: one application, a private working directory (prog.ini),
// and the six windows created once, their timers stopped before any tick.
#include <QString>

class QWidget;
class QObject;

// A fresh empty directory that becomes the current one.
QString EnterTemporaryDirectory();
// CreateForms() once, in an empty working directory, with both timers stopped.
void EnsureForms();
// What the operator reads on a control: caption, text, title or tab text.
QString ShownText(QObject* control);

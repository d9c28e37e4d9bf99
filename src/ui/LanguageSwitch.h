#pragma once
// Applying the captions of a language, the language menu, About, and prog.ini.
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

class TForm1;

// What a row of a caption table sets on its control.
enum class TCaptionKind {
    Caption,         // tab, menu item, label, button, check box, radio button or group box caption
    LeftEdge,        // the control's left edge, in pixels (text is the number)
    LeftAxisTitle,   // chart's left axis title
    BottomAxisTitle, // chart's bottom axis title
    Cell,            // grid cell (col, row)
};

struct TCaptionRow {
    TCaptionKind kind;
    const char* control; // component name
    const char* text;
    int col;
    int row;
};

// The fixed captions of the main window, in the order ApplyLanguage applies them.
extern const std::vector<TCaptionRow> RussianCaptions;
extern const std::vector<TCaptionRow> EnglishCaptions;

// The language menu, About and the window's close, connected to the main window.
void ConnectLanguageHandlers(TForm1& form);

void ApplyLanguage(TForm1& form, uint8_t index);
void FormCreate(TForm1& form);
void FormClose(TForm1& form);
void N4Click(TForm1& form);
void English1Click(TForm1& form);
void N8Click(TForm1& form);

// A language given for this run only (command line): FormCreate takes it instead of prog.ini's,
// and FormClose then leaves prog.ini alone unless the operator picks a language from the menu.
extern std::optional<uint8_t> RunLanguage;

// prog.ini in the current working directory at the moment of the call.
QString LanguageFilePath();
// LanguageIndex as prog.ini holds it: the low 8 bits of key Language of section Common, 0 when
// the file, the key or an integer value is missing.
uint8_t ReadLanguageIndex();

// The last step of FormClose, ending the process; tests replace it to stay alive.
using TProcessEnd = void (*)(int exitCode);
extern TProcessEnd ProcessEnd;

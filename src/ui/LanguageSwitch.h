#pragma once
// Applying the captions of a language, the language menu, About, and prog.ini.
#include <cstdint>

class TForm1;

void ApplyLanguage(TForm1& form, uint8_t index);
void FormCreate(TForm1& form);
void FormClose(TForm1& form);
void N4Click(TForm1& form);
void English1Click(TForm1& form);
void N8Click(TForm1& form);

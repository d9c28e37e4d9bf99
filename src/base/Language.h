#pragma once
// The operator's language and the one rule every run-time text follows: index 0 writes the
// Russian text, 1 the English text, any other value writes nothing.
#include "link/Link.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <optional>

extern uint8_t LanguageIndex; // 0 Russian, 1 English

// The text for LanguageIndex, or nothing when the index is neither 0 nor 1.
std::optional<QString> LangText(const char* russian, const char* english);

// A status sink for the link that hands `show` the text of each pair in the language of the
// moment (nothing when LanguageIndex is neither 0 nor 1).
TStatusSink LanguageSink(std::function<void(const QString&)> show);

// Why the last port did not open, in the operator's language (Russian for any index but English:
// a reason is never left blank).
QString OpenProblemText();

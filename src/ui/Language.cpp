#include "ui/Language.h"

uint8_t LanguageIndex = 0;

std::optional<QString> LangText(const char* russian, const char* english) {
    switch (LanguageIndex) {
    case 0:
        return QString::fromUtf8(russian);
    case 1:
        return QString::fromUtf8(english);
    default:
        return std::nullopt;
    }
}

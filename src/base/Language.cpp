#include "base/Language.h"

#include "link/SerialLink.h"

uint8_t LanguageIndex = 0;

TStatusSink LanguageSink(std::function<void(const QString&)> show) {
    return [show = std::move(show)](const std::string& russian, const std::string& english) {
        if (const std::optional<QString> text = LangText(russian.c_str(), english.c_str()))
            show(*text);
    };
}

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

QString OpenProblemText() {
    return QString::fromStdString(LastOpenProblem.In(LanguageIndex == 1));
}

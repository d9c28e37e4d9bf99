#include "link/ObjectRequests.h"

#include "link/Frame.h"
#include "link/ObjectTable.h"
#include "link/SerialLink.h"
#include "ui/Language.h"

namespace {

TStatusSink StatusSink;

void ShowStatus(const char* russian, const char* english) {
    const std::optional<QString> text = LangText(russian, english);
    if (text && StatusSink) StatusSink(*text);
}

// Only a frame that starts at the first received byte is taken for an answer, and only when a
// whole header arrived: otherwise the buffer may still hold the request itself.
uint8_t JudgeReply() {
    if (ReceivedCount < HeaderSize) return 0;
    if (FindReplyStart(FrameBuffer, ReplyLength) != 0) return 0;
    return HandleReply(FrameBuffer, ReplyLength);
}

uint8_t Finish(uint8_t result, const char* russianOk, const char* englishOk) {
    if (result)
        ShowStatus(russianOk, englishOk);
    else
        ShowStatus("Ошибка связи", "Connection error");
    return result;
}

} // namespace

void SetStatusSink(TStatusSink sink) {
    StatusSink = std::move(sink);
}

uint8_t ReadObject(uint8_t index) {
    uint8_t result = 0;
    if (index < ObjectTableCount) {
        BuildReadRequest(FrameBuffer, index, DeviceAddress);
        result = JudgeReply();
    }
    return Finish(result, "Чтение", "Reading");
}

uint8_t WriteObject(uint8_t index) {
    uint8_t result = 0;
    if (index < ObjectTableCount) {
        uint16_t size = 0;
        EncodeObject(ObjectTable, index, FrameBuffer, size);
        BuildWriteRequest(FrameBuffer, index, DeviceAddress);
        result = JudgeReply();
    }
    return Finish(result, "Выполнено", "Ok");
}

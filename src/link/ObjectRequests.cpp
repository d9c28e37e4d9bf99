#include "link/ObjectRequests.h"

#include "link/Frame.h"
#include "link/ObjectTable.h"
#include "link/SerialLink.h"

namespace {

void ShowStatus(const char* russian, const char* english) {
    if (Link.StatusSink) Link.StatusSink(russian, english);
}

// Only a frame that starts at the first received byte is taken for an answer, and only when a
// whole header arrived: otherwise the buffer may still hold the request itself.
bool Answered() {
    return Link.ReceivedCount >= HeaderSize &&
           FindReplyStart(Link.FrameBuffer, Link.ReplyLength) == 0 &&
           HeaderIntact(Link.FrameBuffer);
}

uint8_t Finish(TReplyOutcome outcome, const char* russianOk, const char* englishOk) {
    Link.LastReplyOutcome = outcome;
    const uint8_t result = outcome == TReplyOutcome::Delivered ? 1 : 0;
    if (result)
        ShowStatus(russianOk, englishOk);
    else
        ShowStatus("Ошибка связи", "Connection error");
    return result;
}

} // namespace

void SetStatusSink(TStatusSink sink) {
    Link.StatusSink = std::move(sink);
}

uint8_t ReadObject(uint8_t index) {
    TReplyOutcome outcome = TReplyOutcome::NotAnswered;
    if (index < ObjectTableCount) {
        LinkTransact(Link.FrameBuffer,
                     BuildReadRequest(Link.FrameBuffer, index, Link.DeviceAddress));
        if (Answered()) {
            // Only the object asked for is stored, and only when it arrived whole in this
            // exchange; anything else leaves every variable as it was.
            const bool whole = ReplyCarriesObject(Link.FrameBuffer, Link.ReceivedCount, index) &&
                               DecodeObject(ObjectTable, index, Link.FrameBuffer + HeaderSize + 1);
            outcome = whole ? TReplyOutcome::Delivered : TReplyOutcome::AnsweredNotDelivered;
        }
    }
    return Finish(outcome, "Чтение", "Reading");
}

uint8_t WriteObject(uint8_t index) {
    TReplyOutcome outcome = TReplyOutcome::NotAnswered;
    if (index < ObjectTableCount) {
        uint16_t size = 0;
        EncodeObject(ObjectTable, index, Link.FrameBuffer, size);
        LinkTransact(Link.FrameBuffer,
                     BuildWriteRequest(Link.FrameBuffer, index, Link.DeviceAddress));
        // An error reply is the device refusing the value: answered, not written.
        if (Answered())
            outcome = Link.FrameBuffer[6] == Cmd::Ack ? TReplyOutcome::Delivered
                                                      : TReplyOutcome::AnsweredNotDelivered;
    }
    return Finish(outcome, "Выполнено", "Ok");
}

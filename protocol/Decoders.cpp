// The reply decoders of the transaction engine, one per Decoder of the
// command catalogue. The reply frame is in RxBuffer; positions are 1-based.

#include <stdexcept>

#include "protocol/AlarmTables.h"
#include "protocol/Comm.h"
#include "protocol/Commands.h"
#include "protocol/ReplyFields.h"

namespace {

std::string_view Trim(std::string_view s) {
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    return s;
}

// The reply value from position 7; decoders that need one treat a missing ':' as malformed.
std::string RequiredValue(const std::string& frame) {
    auto value = ReplyValue(frame);
    if (!value) throw std::out_of_range("reply without value terminator");
    return *value;
}

}  // namespace

void TComm::DecodeReply() {
    switch (DecoderFor(SendData.Command)) {
        case Decoder::Value:
            DecodeValue();
            break;
        case Decoder::MonitorValue:
            DecodeMonitorValue();
            break;
        case Decoder::CaptureValue:
            DecodeCaptureValue();
            break;
        case Decoder::ProgressWord:
            DecodeProgressWord();
            break;
        case Decoder::MotorType:
            DecodeMotorType();
            break;
        case Decoder::Version:
            DecodeVersion();
            break;
        case Decoder::Status:
            DecodeStatus();
            break;
        case Decoder::AlarmHistory:
            DecodeAlarmHistory();
            break;
        case Decoder::None:
            break;
    }
}

bool TComm::StationMatches() {
    return std::string(1, RxBuffer.at(1)) == SendData.Axis;
}

bool TComm::EchoMatches() {
    return Trim(std::string_view(RxBuffer).substr(3, 3)) == SendData.Command;
}

void TComm::RejectReply() {
    SetStatus(LinkText::AxisError);
    CommError = 1;
}

void TComm::ExtractValue(std::size_t from) {
    ReadData.Axis = std::string(1, RxBuffer.at(1));
    if (auto value = ReplyValue(RxBuffer, from)) ReadData.Data = *value;
}

void TComm::DecodeValue() {
    if (!StationMatches() || !EchoMatches()) {
        RejectReply();
        return;
    }
    ExtractValue(7);
}

void TComm::DecodeMonitorValue() {
    if (!StationMatches() || !EchoMatches()) {
        RejectReply();
        return;
    }
    ExtractValue(7);
    if (ContinuationKind == 0 && GraphTimeSelect == 0 && MonitorRef &&
        !MonitorRef->ManualOffsetActive())
        MonitorRef->ShowMonitorValues();
}

void TComm::DecodeCaptureValue() {
    if (!StationMatches()) {
        RejectReply();
        return;
    }
    ExtractValue(4);
}

void TComm::DecodeProgressWord() {
    if (!StationMatches()) {
        RejectReply();
        return;
    }
    // A word shorter than three characters ends at the value terminator.
    std::string_view word = std::string_view(RxBuffer).substr(3, 3);
    word = word.substr(0, word.find(':'));
    ReadData.Data = std::string(Trim(word));
}

void TComm::DecodeMotorType() {
    if (!StationMatches() || !EchoMatches()) {
        RejectReply();
        return;
    }
    const MotorName name = ReadMotorName(RequiredValue(RxBuffer));
    if (!name.recognised) {
        SetStatus(LinkText::NoMotorType);
        CommError = 1;
    }
    if (MonitorRef) MonitorRef->ShowMotorName(name.text);
}

void TComm::DecodeVersion() {
    if (!StationMatches() || !EchoMatches()) {
        RejectReply();
        return;
    }
    if (MonitorRef) MonitorRef->ShowVersion(RequiredValue(RxBuffer).substr(0, 5));
}

void TComm::DecodeStatus() {
    if (SkipNextStatus == 1) {
        SkipNextStatus = 0;
        return;
    }
    if (!StationMatches() || !EchoMatches()) {
        RejectReply();
        return;
    }
    const StatusReply status = ParseStatusReply(RequiredValue(RxBuffer));
    if (status.RejectsMode()) CommError = 1;
    if (auto text = status.StatusText()) SetStatus(*text);
    if (MonitorRef) MonitorRef->ShowDriveStatus(status);
}

void TComm::DecodeAlarmHistory() {
    for (int row = 1; row <= 8; ++row) {
        const HistoryEntry entry = ReadHistoryEntry(RxBuffer, row);
        if (entry.kind == HistoryEntry::Kind::NotInitialised) {
            SetStatus(LinkText::HistoryNotInitialised);
            return;
        }
        if (!AlarmHistoryRef) continue;
        if (entry.kind == HistoryEntry::Kind::None)
            AlarmHistoryRef->SetHistoryRow(row, "None", AlarmNames[0]);
        else
            AlarmHistoryRef->SetHistoryRow(row, std::to_string(entry.code), AlarmNames[entry.code]);
    }
}

#include "sim/DriveSim.h"

#include <algorithm>
#include <stdexcept>

#include "protocol/Commands.h"
#include "protocol/Frame.h"
#include "sim/MonitorItems.h"
#include "sim/ParameterSlots.h"

namespace {

constexpr std::string_view kHexDigits = "0123456789ABCDEF";

// The byte sum of a frame no longer than the stream accepts fits the 16-bit
// checksum accumulator, so checking a request never overflows.
static_assert(RequestStream::kMaxFrame * 255 <= 65535);

std::string Control(char byte) {
    return std::string(1, byte);
}

std::string TwoDigits(int code) {
    return std::string{char('0' + code / 10), char('0' + code % 10)};
}

std::string ErrorFrame(int code) {
    return Frame::BuildReply(Frame::ErrorMarker, TwoDigits(code));
}

// Printable ASCII without ':', which would end a reply value early.
bool IsReplyText(std::string_view text) {
    return std::ranges::all_of(text, [](char c) { return c >= 0x20 && c <= 0x7E && c != ':'; });
}

void RequireReplyText(std::string_view what, std::string_view text) {
    if (!IsReplyText(text)) {
        throw std::invalid_argument(std::string(what) + " must be printable text without ':'");
    }
}

void RequireCode(std::string_view what, int code) {
    if (code < 0 || code > 99) throw std::out_of_range(std::string(what) + " must be 0..99");
}

bool IsFrame(std::string_view answer) {
    return !answer.empty() && answer.front() == Frame::STX;
}

// The checksum character moved to the next hex digit: always wrong, still a digit.
void CorruptChecksum(std::string& frame) {
    char& digit = frame[frame.size() - 2];
    std::size_t value = kHexDigits.find(digit);
    digit = kHexDigits[(value == std::string_view::npos ? 0 : value + 1) % kHexDigits.size()];
}

// `bytes` cut into `count` pieces as even as possible (fewer when it is shorter).
std::vector<std::string> SplitInto(const std::string& bytes, int count) {
    std::size_t pieces = std::clamp<std::size_t>(count, 1, std::max<std::size_t>(bytes.size(), 1));
    std::vector<std::string> chunks;
    for (std::size_t i = 0; i < pieces; ++i) {
        std::size_t begin = i * bytes.size() / pieces, end = (i + 1) * bytes.size() / pieces;
        chunks.push_back(bytes.substr(begin, end - begin));
    }
    return chunks;
}

}  // namespace

struct DriveSim::Command {
    std::string_view mnemonic;
    bool takesData;
    bool worksDuringAlarm;
    std::string (DriveSim::*run)(std::string_view data);
};

// While an alarm is set only what is needed to see it and get out of it works:
// the alive checks, status, identification, servo off and the reset.
const DriveSim::Command* DriveSim::FindHandler(std::string_view mnemonic) {
    static const Command kCommands[] = {
        {Cmd::SET, true, false, &DriveSim::OnReadSlot},
        {Cmd::STR, true, false, &DriveSim::OnStore},
        {Cmd::CHP, true, false, &DriveSim::OnChangeParameter},
        {Cmd::TYP, false, true, &DriveSim::OnType},
        {Cmd::VER, false, true, &DriveSim::OnVersion},
        {Cmd::STS, false, true, &DriveSim::OnStatus},
        {Cmd::MDM, true, true, &DriveSim::OnMonitor},
        {Cmd::MOR, true, false, &DriveSim::OnStream},
        {Cmd::TAT, true, false, &DriveSim::OnTuning},
        {Cmd::ETC, true, false, &DriveSim::OnEtc},
        {Cmd::JOG, true, false, &DriveSim::OnJog},
        {Cmd::TMN, true, false, &DriveSim::OnOffsetStep},
        {Cmd::SVRON, false, false, &DriveSim::OnServoOn},
        {Cmd::SVROFF, false, true, &DriveSim::OnServoOff},
        {Cmd::SVROF, false, true, &DriveSim::OnServoOff},
        {Cmd::RST, false, true, &DriveSim::OnReset},
        {Cmd::LIV, false, true, &DriveSim::OnAlive},
        {Cmd::LIVE, false, true, &DriveSim::OnAlive},
        {Cmd::EHY, true, true, &DriveSim::OnAlarmHistory},
        {Cmd::DIE, true, true, &DriveSim::OnAlarmData},
        {Cmd::MOT, true, false, &DriveSim::OnCapture},
        {Cmd::ESC, false, true, &DriveSim::OnEscape},
    };
    auto it = std::ranges::find(kCommands, mnemonic, &Command::mnemonic);
    return it == std::end(kCommands) ? nullptr : &*it;
}

DriveSim::DriveSim() : DriveSim(Config{}) {}

DriveSim::DriveSim(Config config)
    : config_(std::move(config)),
      motor_(config_.motor),
      recorder_(config_.trigger),
      slots_(DefaultParameterSlots()),
      garbage_(config_.garbageSeed),
      alarmLog_(config_.alarmMemoryInitialised) {
    if (!config_.clock) throw std::invalid_argument("the drive needs a clock");
    motor_.AdvanceTo(Now());
    RememberMotor();
    RequireReplyText("the version", config_.version);
    RequireReplyText("the motor code", config_.motorCode);
    if (config_.marker == Frame::ErrorMarker || !IsReplyText({&config_.marker, 1})) {
        throw std::invalid_argument("the reply marker must be a printable character other than E");
    }
    if (!config_.mode.empty()) SetMode(config_.mode);
    for (const auto& [key, seconds] : config_.procedureSeconds) procedures_.SetDuration(key, seconds);
}

// In download mode the bytes are program lines; a frame may switch the mode,
// so frames are taken up to one ETX at a time.
std::vector<DriveSim::Exchange> DriveSim::Receive(std::string_view bytes) {
    std::vector<Exchange> exchanges;
    while (!bytes.empty() && !lineDown_) {
        if (download_.Active()) {
            bytes.remove_prefix(download_.Take(bytes));
            continue;
        }
        const std::size_t etx = bytes.find(Frame::ETX);
        const std::size_t end = etx == std::string_view::npos ? bytes.size() : etx + 1;
        std::ranges::move(ReceiveFrames(bytes.substr(0, end)), std::back_inserter(exchanges));
        bytes.remove_prefix(end);
    }
    return exchanges;
}

std::vector<DriveSim::Exchange> DriveSim::ReceiveFrames(std::string_view bytes) {
    std::vector<Exchange> exchanges;
    for (std::string& frame : stream_.Push(bytes)) {
        Reply reply = Answer(frame);
        bool close = reply.close;
        exchanges.push_back({std::move(frame), std::move(reply)});
        if (close) {
            lineDown_ = true;
            break;
        }
    }
    return exchanges;
}

std::vector<std::string> DriveSim::Feed(std::string_view bytes) {
    std::vector<std::string> chunks;
    for (Exchange& exchange : Receive(bytes)) {
        std::ranges::move(exchange.reply.chunks, std::back_inserter(chunks));
    }
    return chunks;
}

void DriveSim::SetFailure(Failure failure) {
    failure_ = failure;
    lastFrame_.clear();
    repeats_ = 0;
    answered_ = 0;
    received_ = 0;
}

void DriveSim::SetAlarm(int code) {
    RequireCode("an alarm code", code);
    if (code != 0 && code != alarm_) alarmLog_.Push(code, RecordAlarmData());
    alarm_ = code;
    if (alarm_ != 0) {
        servoOn_ = false;
        motor_.Stop(Now());
        RememberMotor();
    }
}

void DriveSim::SetWarning(int code) {
    RequireCode("a warning code", code);
    warning_ = code;
}

void DriveSim::SetMode(std::string mode) {
    if (mode.size() > 2) throw std::invalid_argument("a control mode has at most two letters");
    RequireReplyText("the control mode", mode);
    mode.resize(2, ' ');
    config_.mode = std::move(mode);
}

std::optional<std::string> DriveSim::Slot(std::string_view address) const {
    auto it = slots_.find(std::string(address));
    if (it == slots_.end()) return std::nullopt;
    return it->second;
}

void DriveSim::SetSlot(const std::string& address, std::string value) {
    if (!IsParameterAddress(address)) throw std::invalid_argument("no parameter slot " + address);
    RequireReplyText("a parameter value", value);
    slots_[address] = std::move(value);
}

// --- one request -----------------------------------------------------------

DriveSim::Reply DriveSim::Answer(const std::string& frame) {
    Log(frame);
    ++received_;
    switch (failure_.mode) {
        case FailureMode::Silent:
            return {};
        case FailureMode::Nak:
            return {{Control(Frame::NAK)}};
        case FailureMode::Rs:
            return {{Control(Frame::RS)}};
        case FailureMode::ErrorReply:
            return {{ErrorFrame(failure_.n)}};
        case FailureMode::NthTry:
            if (SkipForNthTry(frame)) return {};
            break;
        case FailureMode::Disconnect:
            if (answered_ >= failure_.n) return {{}, true};
            break;
        case FailureMode::Stall: {
            Reply reply = Shape(Handle(frame));
            if (received_ == failure_.n) reply.stallMs = failure_.ms;
            return reply;
        }
        default:
            break;
    }
    return Shape(Handle(frame));
}

// Returns the drive's answer, or "" when the frame is not for this drive.
std::string DriveSim::Handle(const std::string& frame) {
    if (frame.size() >= 2 && frame[1] != Frame::Station) return {};
    std::optional<Request> request = ParseRequest(frame);
    if (!request || !Frame::ChecksumMatches(frame)) return Control(Frame::NAK);
    return Execute(request->mnemonic, request->data);
}

std::string DriveSim::Execute(std::string_view mnemonic, std::string_view data) {
    const Command* command = FindHandler(mnemonic);
    if (command == nullptr || (!command->takesData && !data.empty())) return Control(Frame::NAK);
    CatchUp();
    RaiseScheduled();
    if (alarm_ == 0 && motor_.Overspeeding()) SetAlarm(kOverspeedAlarm);
    monitorStream_.SampleUpTo(Now());
    if (mnemonic != Cmd::MOR) monitorStream_.Stop();  // any other request ends the stream
    if (alarm_ != 0 && !command->worksDuringAlarm) return ErrorFrame(alarm_);
    std::string answer = (this->*command->run)(data);
    RememberMotor();
    monitorStream_.Follow(motor_);
    return answer;
}

DriveSim::Reply DriveSim::Shape(std::string answer) {
    if (answer.empty()) return {};
    switch (failure_.mode) {
        case FailureMode::BadChecksum:
            if (IsFrame(answer)) CorruptChecksum(answer);
            break;
        case FailureMode::TrailingBytes:
            if (IsFrame(answer)) answer += RandomBytes(failure_.n);
            break;
        case FailureMode::Garbage:
            answer = RandomBytes(failure_.n);
            break;
        case FailureMode::Twice:
            answer += answer;
            break;
        default:
            break;
    }
    Reply reply;
    if (failure_.mode == FailureMode::Split) {
        reply.chunks = SplitInto(answer, failure_.n);
    } else {
        reply.chunks.push_back(std::move(answer));
    }
    if (failure_.mode == FailureMode::Disconnect) reply.close = ++answered_ >= failure_.n;
    return reply;
}

// A resend is the same frame again; the first n-1 of a run go unheard.
bool DriveSim::SkipForNthTry(const std::string& frame) {
    repeats_ = frame == lastFrame_ ? repeats_ + 1 : 1;
    lastFrame_ = frame;
    if (repeats_ < failure_.n) return true;
    repeats_ = 0;
    lastFrame_.clear();
    return false;
}

// Bytes from 0x20 up: never STX, ETX, the station byte or a control reply.
std::string DriveSim::RandomBytes(int count) {
    std::string bytes(static_cast<std::size_t>(std::max(count, 0)), ' ');
    for (char& byte : bytes) byte = static_cast<char>(0x20 + garbage_() % 0xE0);
    return bytes;
}

void DriveSim::Log(const std::string& frame) {
    requests_.push_back(frame);
    if (requests_.size() > kRequestLogLimit) requests_.pop_front();
}

// --- the commands ------------------------------------------------------------

std::string DriveSim::OnReadSlot(std::string_view data) {
    if (!IsParameterAddress(data)) return Control(Frame::NAK);
    std::optional<std::string> value = Slot(data);
    return value ? DataReply(Cmd::SET, *value) : Control(Frame::US);
}

std::string DriveSim::OnStore(std::string_view data) {
    return WriteSlot(data, true);
}

// The store window's block download writes with CHP; the drive takes it whatever the servo does.
std::string DriveSim::OnChangeParameter(std::string_view data) {
    return WriteSlot(data, false);
}

std::string DriveSim::WriteSlot(std::string_view data, bool isStore) {
    std::string_view address = data.substr(0, 3),
                     value = data.substr(std::min<std::size_t>(3, data.size()));
    const bool commitOnly = isStore && value.empty();
    if (!IsParameterAddress(address) || (value.empty() && !commitOnly) || !IsReplyText(value) ||
        config_.refusedStores.contains(std::string(address))) {
        return Control(Frame::NAK);
    }
    if (isStore && servoOn_) return Control(Frame::GS);
    auto slot = slots_.find(std::string(address));
    if (slot == slots_.end()) return Control(Frame::NAK);
    if (!commitOnly) slot->second = value;
    return Control(Frame::ACK);
}

std::string DriveSim::OnVersion(std::string_view) {
    return DataReply(Cmd::VER, config_.version);
}

std::string DriveSim::OnType(std::string_view) {
    return DataReply(Cmd::TYP, config_.motorCode);
}

std::string DriveSim::OnStatus(std::string_view) {
    return DataReply(Cmd::STS, StatusValue());
}

std::string DriveSim::OnServoOn(std::string_view) {
    servoOn_ = true;
    return Control(Frame::ACK);
}

std::string DriveSim::OnServoOff(std::string_view) {
    servoOn_ = false;
    motor_.Stop(Now());
    return Control(Frame::ACK);
}

std::string DriveSim::OnReset(std::string_view) {
    alarm_ = 0;
    warning_ = 0;
    return Control(Frame::ACK);
}

std::string DriveSim::OnAlive(std::string_view) {
    return Control(Frame::ACK);
}

std::string DriveSim::OnAlarmHistory(std::string_view data) {
    std::optional<std::string> value = alarmLog_.HistoryValue(data);
    return value ? DataReply(Cmd::EHY, *value) : Control(Frame::NAK);
}

std::string DriveSim::OnAlarmData(std::string_view data) {
    std::optional<std::string> value = alarmLog_.DataValue(data);
    return value ? DataReply(Cmd::DIE, *value) : Control(Frame::NAK);
}

// ETC 09: the history memory is cleared at once.
std::string DriveSim::OnClearAlarmHistory(std::string_view) {
    alarmLog_.Clear();
    return Control(Frame::ACK);
}

// Copies of the motor taken after every answered request and at an alarm, the
// moments its command can change: between two copies it runs on its own, so a
// past moment is the copy before it run on to it. One copy older than the
// recording window is kept.
void DriveSim::RememberMotor() {
    motorPast_.push_back(motor_);
    const double windowStart = motor_.Time() - AlarmLog::kSamples * AlarmLog::kSamplePeriod;
    while (motorPast_.size() > 1 && motorPast_[1].Time() <= windowStart) motorPast_.pop_front();
}

// What the drive records at an alarm: the motor's last kSamples moments up to now.
std::vector<AlarmLog::Sample> DriveSim::RecordAlarmData() {
    const double now = std::max(Now(), motor_.Time());
    std::vector<AlarmLog::Sample> samples;
    for (int back = AlarmLog::kSamples - 1; back >= 0; --back) {
        const double time = now - back * AlarmLog::kSamplePeriod;
        auto copy = std::find_if(motorPast_.rbegin(), motorPast_.rend(),
                                 [time](const Motor& past) { return past.Time() <= time; });
        if (copy == motorPast_.rend()) continue;  // before the drive started
        Motor replay = *copy;
        samples.push_back(AlarmLog::SampleOf(replay.StateAt(time)));
    }
    return samples;
}

// Mode (two characters), speed-match flag, TG-on flag, status word.
std::string DriveSim::StatusValue() const {
    const MotorState motor = motor_.State();
    std::string value = ControlMode();
    value += speedMatch_ || (servoOn_ && SpeedMatched(motor)) ? '1' : '0';
    value += tgOn_ || RotationDetected(motor) ? '1' : '0';
    if (alarm_ != 0) {
        value += 'E' + TwoDigits(alarm_);
    } else if (warning_ != 0) {
        value += 'W' + TwoDigits(warning_);
    } else {
        value += servoOn_ ? "RUN" : "RDY";
    }
    return value;
}

std::string DriveSim::DataReply(std::string_view mnemonic, std::string_view value) const {
    std::string body(mnemonic);
    body += value;
    return Frame::BuildReply(config_.marker, body);
}

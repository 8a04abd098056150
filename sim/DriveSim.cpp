// The stand-in drive's dispatcher: the command table, and the way from
// received bytes to one handler a request. Each family of commands lives in a
// unit of its own (DriveSimParameters, DriveSimStatus, DriveSimAlarms,
// DriveSimMonitoring, DriveSimRecorder, DriveSimFailures).

#include "sim/DriveSim.h"

#include <algorithm>
#include <stdexcept>

#include "protocol/Commands.h"
#include "protocol/Frame.h"
#include "sim/Answers.h"
#include "sim/ParameterSlots.h"

// The byte sum of a frame no longer than the stream accepts fits the 16-bit
// checksum accumulator, so checking a request never overflows.
static_assert(RequestStream::kMaxFrame * 255 <= 65535);

using SimAnswer::Control;

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
    SimAnswer::RequireReplyText("the version", config_.version);
    SimAnswer::RequireReplyText("the motor code", config_.motorCode);
    if (config_.marker == Frame::ErrorMarker || !SimAnswer::IsReplyText({&config_.marker, 1})) {
        throw std::invalid_argument("the reply marker must be a printable character other than E");
    }
    if (!config_.mode.empty()) SetMode(config_.mode);
    for (const auto& [key, seconds] : config_.procedureSeconds)
        procedures_.SetDuration(key, seconds);
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
    if (alarm_ != 0 && !command->worksDuringAlarm) return SimAnswer::ErrorFrame(alarm_);
    std::string answer = (this->*command->run)(data);
    RememberMotor();
    monitorStream_.Follow(motor_);
    return answer;
}

void DriveSim::Log(const std::string& frame) {
    requests_.push_back(frame);
    if (requests_.size() > kRequestLogLimit) requests_.pop_front();
}

std::string DriveSim::DataReply(std::string_view mnemonic, std::string_view value) const {
    std::string body(mnemonic);
    body += value;
    return Frame::BuildReply(config_.marker, body);
}

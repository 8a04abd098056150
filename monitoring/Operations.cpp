#include "monitoring/Operations.h"

#include <charconv>
#include <cstdlib>

#include "protocol/Comm.h"
#include "protocol/Commands.h"

namespace {

constexpr std::string_view kBusy = "BSY", kDone = "TOK";

std::optional<double> ReadReal(const std::string& text) {
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0') return std::nullopt;
    return value;
}

}  // namespace

void ProgressPoll::Start(Kind kind) {
    kind_ = kind;
    ProgressTicks = 0;
    InertiaReadPending = false;
}

std::optional<ProgressResult> ProgressPoll::Tick(IMonitorLink& link) {
    return kind_ == Kind::Tat ? TickTat(link) : TickEtc(link);
}

std::optional<ProgressResult> ProgressPoll::TickTat(IMonitorLink& link) {
    if (link.LinkFree() && link.PendingCommand() == Cmd::TAT) {
        std::string& state = link.ReadValue();
        if (state.empty() || state == kBusy) {
            link.Poll(Cmd::TAT, AwaitData);
            link.ReadValue().clear();
        } else if (state == kDone) {
            if (link.PendingData() != ProcedureCode::AutoTuning) {
                ProgressTicks = 0;
                return ProgressResult{true, OperationText::TuningOk, {}};
            }
            link.Send(Cmd::SET, "004", AwaitData);
            InertiaReadPending = true;
        }
    }
    if (++ProgressTicks > kTatTickLimit) {
        ProgressTicks = 0;
        InertiaReadPending = false;
        return ProgressResult{false, OperationText::TuningError, {}};
    }
    if (InertiaReadPending && link.LinkFree()) {
        InertiaReadPending = false;
        ProgressTicks = 0;
        return ProgressResult{true, OperationText::TuningOk, link.ReadValue()};
    }
    return std::nullopt;
}

std::optional<ProgressResult> ProgressPoll::TickEtc(IMonitorLink& link) {
    const std::string code = link.PendingData();
    if (link.LinkFree() && link.PendingCommand() == Cmd::ETC) {
        const std::string& state = link.ReadValue();
        if (state.empty() || state == kBusy) {
            link.Poll(Cmd::ETC, AwaitData);
            link.ReadValue().clear();
        } else if (state == kDone) {
            ProgressTicks = 0;
            const char* text = code == ProcedureCode::GainBackup     ? OperationText::BackUpOk
                               : code == ProcedureCode::InitUserPara ? OperationText::InitOk
                                                                     : OperationText::ResetOk;
            return ProgressResult{true, text, {}};
        }
    }
    if (++ProgressTicks > EtcTickLimit(code)) {
        ProgressTicks = 0;
        return ProgressResult{false, OperationText::EtcError, {}};
    }
    return std::nullopt;
}

std::optional<JogSpeedRead::Result> JogSpeedRead::Tick(IMonitorLink& link) {
    if (link.LinkFree() && SpeedReadTicks == 0) {
        link.ReadValue().clear();
        link.Send(Cmd::SET, "201", AwaitData);
    }
    if (link.LinkFree() && !link.ReadValue().empty() && SpeedReadTicks != 0) {
        SpeedReadTicks = 0;
        const std::string& text = link.ReadValue();
        int speed = 0;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), speed);
        // A value that is no whole number is a failed read, like a missing one.
        if (error != std::errc() || end != text.data() + text.size()) return Result{};
        return Result{speed};
    }
    if (SpeedReadTicks > 10) {
        SpeedReadTicks = 0;
        return Result{};
    }
    ++SpeedReadTicks;
    return std::nullopt;
}

std::string_view JogData(int jogCommand) {
    switch (jogCommand) {
        case JogStop:
            return "0";
        case JogForward:
            return "+";
        case JogReverse:
            return "-";
        default:
            return {};
    }
}

std::optional<double> ManualOffset::Tick(IMonitorLink& link, bool speed, bool torque) {
    if (!link.LinkFree() || OffsetMode == 0) return std::nullopt;
    if (OffsetMode == 1) {
        std::optional<double> shown;
        std::string& value = link.ReadValue();
        if (value.empty())
            value = "0";
        else
            shown = ReadReal(value);
        if (speed)
            link.Send(Cmd::MDM, "00", AwaitData);
        else if (torque)
            link.Send(Cmd::MDM, "03", AwaitData);
        return shown;
    }
    // down, up, save: speed codes 02/01/03, torque codes 05/04/06; escape 07.
    static constexpr std::string_view kSpeed[] = {"02", "01", "03"};
    static constexpr std::string_view kTorque[] = {"05", "04", "06"};
    std::string_view code = "07";
    if (OffsetMode >= 2 && OffsetMode <= 4) {
        if (!speed && !torque) return std::nullopt;
        code = (speed ? kSpeed : kTorque)[OffsetMode - 2];
    }
    link.Send(Cmd::TMN, code, AwaitAck);
    OffsetMode = 1;
    return std::nullopt;
}

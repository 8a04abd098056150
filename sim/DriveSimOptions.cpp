#include "sim/DriveSimOptions.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <stdexcept>

namespace {

int NonNegative(std::string_view option, std::string_view text) {
    int value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || value < 0) {
        throw std::invalid_argument(std::string(option) +
                                    " needs a whole number of 0 or more, not '" +
                                    std::string(text) + "'");
    }
    return value;
}

bool ApplyMonitoringOption(DriveSimOptions& options, std::string_view option,
                           std::string_view value);

void Apply(DriveSimOptions& options, std::string_view option, std::string_view value) {
    if (option == "--baud") {
        options.pty.baud = NonNegative(option, value);
    } else if (option == "--turnaround") {
        options.pty.turnaroundMs = NonNegative(option, value);
    } else if (option == "--chunk-gap") {
        options.pty.chunkGapMs = NonNegative(option, value);
    } else if (option == "--link") {
        if (value.empty()) throw std::invalid_argument("--link needs a path");
        options.pty.linkPath = value;
    } else if (option == "--failure") {
        std::optional<Failure> failure = ParseFailure(value);
        if (!failure) {
            throw std::invalid_argument("--failure: unknown mode or argument '" +
                                        std::string(value) + "'; modes: " + FailureNames(", "));
        }
        options.failure = *failure;
    } else if (option == "--trigger") {
        if (value == "condition")
            options.drive.trigger = Recorder::Trigger::OnCondition;
        else if (value == "never")
            options.drive.trigger = Recorder::Trigger::Never;
        else if (value == "at-once")
            options.drive.trigger = Recorder::Trigger::AtOnce;
        else
            throw std::invalid_argument("--trigger needs condition, never or at-once");
    } else if (option == "--download-image") {
        if (value.empty()) throw std::invalid_argument("--download-image needs a path");
        options.downloadImage = value;
    } else if (option == "--refuse") {
        for (std::string_view rest = value; !rest.empty();) {
            const std::string_view address = rest.substr(0, rest.find(','));
            if (address.size() != 3 ||
                address.find_first_not_of("0123456789") != std::string_view::npos) {
                throw std::invalid_argument("--refuse needs three-digit addresses, not '" +
                                            std::string(address) + "'");
            }
            options.drive.refusedStores.insert(std::string(address));
            rest.remove_prefix(std::min(rest.size(), address.size() + 1));
        }
    } else if (option == "--motor") {
        options.drive.motorCode = value;
    } else if (option == "--firmware") {
        options.drive.version = value;
    } else if (option == "--alarm") {
        options.alarm = NonNegative(option, value);
        if (options.alarm > 99) throw std::invalid_argument("--alarm needs a code of 0..99");
    } else if (option == "--alarm-memory") {
        if (value != "initialised" && value != "uninitialised")
            throw std::invalid_argument("--alarm-memory is initialised or uninitialised");
        options.drive.alarmMemoryInitialised = value == "initialised";
    } else if (!ApplyMonitoringOption(options, option, value)) {
        throw std::invalid_argument("unknown option " + std::string(option));
    }
}

double Seconds(std::string_view option, std::string_view text) {
    double value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || value < 0) {
        throw std::invalid_argument(std::string(option) + " needs seconds of 0 or more, not '" +
                                    std::string(text) + "'");
    }
    return value;
}

// "CODE@SECONDS": an alarm or warning code 1..99 and when it is raised.
std::pair<int, double> CodeAt(std::string_view option, std::string_view text) {
    const std::size_t at = text.find('@');
    if (at == text.npos) throw std::invalid_argument(std::string(option) + " needs CODE@SECONDS");
    const int code = NonNegative(option, text.substr(0, at));
    if (code < 1 || code > 99) throw std::invalid_argument(std::string(option) + ": code 1..99");
    return {code, Seconds(option, text.substr(at + 1))};
}

// "TAT01=2.5": how long a procedure reports BSY.
void ProcedureTime(DriveSimOptions& options, std::string_view text) {
    const std::size_t equals = text.find('=');
    const std::string_view key = text.substr(0, std::min(equals, text.size()));
    if (equals == text.npos || key.size() != 5 ||
        !(key.starts_with("TAT") || key.starts_with("ETC")))
        throw std::invalid_argument("--procedure-time needs TATnn=SECONDS or ETCnn=SECONDS");
    options.drive.procedureSeconds[std::string(key)] =
        Seconds("--procedure-time", text.substr(equals + 1));
}

bool ApplyMonitoringOption(DriveSimOptions& options, std::string_view option,
                           std::string_view value) {
    if (option == "--inputs") {
        unsigned bits = 0;
        auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), bits, 16);
        if (value.empty() || error != std::errc() || end != value.data() + value.size() ||
            bits > 0x7F)
            throw std::invalid_argument("--inputs needs a hexadecimal 0..7F");
        options.drive.inputs = bits;
    } else if (option == "--estop") {
        options.drive.emergencyStop = NonNegative(option, value) != 0;
    } else if (option == "--procedure-time") {
        ProcedureTime(options, value);
    } else if (option == "--alarm-after") {
        options.drive.alarmAfter = CodeAt(option, value);
    } else if (option == "--warning-after") {
        options.drive.warningAfter = CodeAt(option, value);
    } else if (option == "--load") {
        options.drive.motor.loadPercent = Seconds(option, value);
    } else {
        return false;
    }
    return true;
}

}  // namespace

DriveSimOptions ParseDriveSimOptions(std::span<const std::string_view> args) {
    DriveSimOptions options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string_view option = args[i];
        if (option == "--help" || option == "-h") {
            options.help = true;
            continue;
        }
        if (option == "--version") {
            options.version = true;
            continue;
        }
        if (!option.starts_with("--")) {
            throw std::invalid_argument("unexpected argument " + std::string(option));
        }
        std::optional<std::string_view> value;
        if (std::size_t equals = option.find('='); equals != option.npos) {
            value = option.substr(equals + 1);
            option = option.substr(0, equals);
        } else if (i + 1 < args.size()) {
            value = args[++i];
        }
        if (!value) throw std::invalid_argument(std::string(option) + " needs a value");
        Apply(options, option, *value);
    }
    return options;
}

std::string DriveSimUsage() {
    return "usage: drive-sim [options]\n"
           "Serves a stand-in drive on a pseudo-terminal, prints the slave path and runs\n"
           "until interrupted (or until the far end closes with --failure disconnect).\n"
           "  --baud N            pace replies at N baud, 10 bits a byte (default 0: no pacing)\n"
           "  --turnaround MS     pause before each reply (default 0)\n"
           "  --chunk-gap MS      pause between the chunks of a split reply (default 20)\n"
           "  --trigger RULE      when the recorder triggers: condition (default), never, at-once\n"
           "  --link PATH         keep a symlink PATH to the slave while serving\n"
           "  --failure MODE[:N]  misbehave on purpose; modes: " +
           FailureNames(", ") +
           "\n"
           "                      stall:N:MS freezes the drive for MS ms at the N-th request;\n"
           "                      twice sends every answer twice;\n"
           "                      unheard:N never hears the N-th request, answers the rest\n"
           "  --download-image PATH  write the memory image of each program downloaded\n"
           "                      (ETC 14, then Intel HEX lines) to PATH; the records are\n"
           "                      reported on standard error\n"
           "  --refuse A[,A...]   answer NAK to STR and CHP for these addresses (e.g. 004,512)\n"
           "  --motor CODE        TYP value (default -_A5)\n"
           "  --firmware TEXT     the firmware version VER answers (default V1.20)\n"
           "  --version           print the program's version and end\n"
           "  --alarm CODE        raise alarm CODE at start; it goes into the alarm history\n"
           "  --alarm-memory M    initialised (default) or uninitialised: a history of FF entries\n"
           "  --inputs HEX        DI#1..DI#7 in the I/O word (bits 0..6, default 0)\n"
           "  --estop 0|1         E-STOP in the I/O word (default 0)\n"
           "  --procedure-time TATnn=S|ETCnn=S  seconds a procedure answers BSY before TOK\n"
           "                      (default 1; repeatable, e.g. ETC10=6)\n"
           "  --alarm-after CODE@S    raise alarm CODE S seconds after start (RST clears it)\n"
           "  --warning-after CODE@S  raise warning CODE S seconds after start\n"
           "  --load PERCENT      constant load torque on the motor (default 0)\n"
           "  --help              this text\n";
}

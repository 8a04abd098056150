#include "sim/DriveSimOptions.h"

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
    } else if (option == "--version") {
        options.drive.version = value;
    } else {
        throw std::invalid_argument("unknown option " + std::string(option));
    }
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
           "  --link PATH         keep a symlink PATH to the slave while serving\n"
           "  --failure MODE[:N]  misbehave on purpose; modes: " +
           FailureNames(", ") +
           "\n"
           "                      stall:N:MS freezes the drive for MS ms at the N-th request;\n"
           "                      twice sends every answer twice\n"
           "  --refuse A[,A...]   answer NAK to STR and CHP for these addresses (e.g. 004,512)\n"
           "  --motor CODE        TYP value (default -_A5)\n"
           "  --version TEXT      VER value (default V1.20)\n"
           "  --help              this text\n";
}

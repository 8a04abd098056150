#include "app/CommandLine.h"

namespace {

constexpr const char* kUsage =
    "usage: vrx5 [--help | --version]\n"
    "Sets up and monitors a servo drive connected to a serial port.\n"
    "Started without options it opens its main window; go on line with \"OnLine\",\n"
    "choose the port in \"Setup > Com Port Set-Up\".\n"
    "  --help     this text\n"
    "  --version  print the version and end\n";

}  // namespace

std::optional<int> AnswerCommandLine(const std::vector<std::string_view>& args, std::ostream& out,
                                     std::ostream& err) {
    if (args.empty()) return std::nullopt;
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        out << kUsage;
        return 0;
    }
    if (args.size() == 1 && args[0] == "--version") {
        out << "vrx5 " VRX5_VERSION "\n";
        return 0;
    }
    err << "vrx5: unexpected argument '" << args[0] << "'\n" << kUsage;
    return 2;
}

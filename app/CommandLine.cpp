#include "app/CommandLine.h"

#include <algorithm>
#include <array>
#include <string>

namespace {

constexpr const char* kUsage =
    "usage: vrx5 [--help | --version]\n"
    "Sets up and monitors a servo drive connected to a serial port.\n"
    "Started without options it opens its main window; go on line with \"OnLine\",\n"
    "choose the port in \"Setup > Com Port Set-Up\".\n"
    "  --help     this text\n"
    "  --version  print the version and end\n"
    "The window system's options (-platform, -style, -session, ...) are passed to Qt.\n";

// Qt's application objects take these, with one dash or two, and remove them
// from the command line before the program sees it.
constexpr std::array<std::string_view, 19> kQtValueOptions{"platform",
                                                           "platformpluginpath",
                                                           "platformtheme",
                                                           "plugin",
                                                           "qwindowgeometry",
                                                           "qwindowicon",
                                                           "qwindowtitle",
                                                           "session",
                                                           "display",
                                                           "geometry",
                                                           "title",
                                                           "icon",
                                                           "name",
                                                           "visual",
                                                           "style",
                                                           "stylesheet",
                                                           "dialogs",
                                                           "fontengine",
                                                           "qmljsdebugger"};
constexpr std::array<std::string_view, 6> kQtFlags{"reverse", "widgetcount", "nograb",
                                                   "dograb",  "sync",        "testability"};

template <std::size_t N>
bool Listed(const std::array<std::string_view, N>& names, std::string_view name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

// The option's name without its dashes, or empty when `arg` is no option.
std::string_view OptionName(std::string_view arg) {
    if (arg.size() < 2 || arg[0] != '-') return {};
    arg.remove_prefix(arg[1] == '-' ? 2 : 1);
    return arg;
}

enum class Kind { Help, Version, Qt, QtNeedsValue, Unknown };

// What `arg` is. A Qt option written without '=' takes the next argument as its value.
Kind Classify(std::string_view arg) {
    if (arg == "--help" || arg == "-h") return Kind::Help;
    if (arg == "--version") return Kind::Version;
    const std::string_view option = OptionName(arg);
    const std::size_t equals = option.find('=');
    if (equals != std::string_view::npos)
        return Listed(kQtValueOptions, option.substr(0, equals)) ? Kind::Qt : Kind::Unknown;
    if (Listed(kQtFlags, option)) return Kind::Qt;
    if (Listed(kQtValueOptions, option)) return Kind::QtNeedsValue;
    return Kind::Unknown;
}

int Refuse(std::ostream& err, std::string_view why) {
    err << "vrx5: " << why << '\n' << kUsage;
    return 2;
}

}  // namespace

std::optional<int> AnswerCommandLine(const std::vector<std::string_view>& args, std::ostream& out,
                                     std::ostream& err) {
    std::optional<Kind> answer;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const Kind kind = Classify(args[i]);
        if (kind == Kind::Unknown)
            return Refuse(err, "unexpected argument '" + std::string(args[i]) + "'");
        if (kind == Kind::QtNeedsValue && ++i == args.size())
            return Refuse(err, "option '" + std::string(args[i - 1]) + "' needs a value");
        if ((kind == Kind::Help || kind == Kind::Version) && !answer) answer = kind;
    }
    if (!answer) return std::nullopt;
    if (*answer == Kind::Help)
        out << kUsage;
    else
        out << "vrx5 " VRX5_VERSION "\n";
    return 0;
}

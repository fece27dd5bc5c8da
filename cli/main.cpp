#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>

#include "command.h"
#include "common/sjis.h"
#include "pictograph/pictograph_text.h"
#include "platform/console.h"
#include "platform/fs.h"
#include "platform/working_folder.h"

namespace sorvanto::cli {

namespace {
std::filesystem::path g_start_dir;
}  // namespace

std::string UserPath(const std::string& arg) {
    // The arguments are UTF-8 on every system (see ProgramArguments).
    const std::filesystem::path p = sorvanto::fs::Utf8Path(arg);
    if (arg.empty() || p.is_absolute() || g_start_dir.empty()) return arg;
    return (g_start_dir / p).string();
}

std::vector<Command>& Commands() {
    static std::vector<Command> commands;
    return commands;
}

void PrintLine(const std::string& sjis_text) {
    std::cout << pictograph_text::ToUtf8(sjis_text) << '\n' << std::flush;
}

void PrintLines(const std::string& prefix, const std::vector<std::string>& sjis_lines) {
    std::string out;
    for (const std::string& line : sjis_lines) {
        out += pictograph_text::ToUtf8(prefix + line);
        out += '\n';
    }
    std::cout << out << std::flush;
}

void PrintError(const std::string& utf8_text) { std::cerr << "sorvanto-cli: " << utf8_text << '\n'; }

bool TakeOption(std::vector<std::string>& args, const std::string& name, std::string& value, bool& ok) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] != name) continue;
        if (i + 1 >= args.size()) {
            ok = false;
            args.erase(args.begin() + static_cast<std::ptrdiff_t>(i));
            return false;
        }
        value = args[i + 1];
        args.erase(args.begin() + static_cast<std::ptrdiff_t>(i), args.begin() + static_cast<std::ptrdiff_t>(i) + 2);
        return true;
    }
    return false;
}

bool TakeFlag(std::vector<std::string>& args, const std::string& name) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == name) {
            args.erase(args.begin() + static_cast<std::ptrdiff_t>(i));
            return true;
        }
    }
    return false;
}

static void Usage() {
    std::cerr << "usage: sorvanto-cli [--home DIR] [--model ID] COMMAND [ARGS...]\n\ncommands:\n";
    for (const Command& c : Commands()) std::cerr << "  " << c.usage << '\n';
}

}  // namespace sorvanto::cli

int main(int argc, char** argv) {
    using namespace sorvanto::cli;
    using sorvanto::cli::g_start_dir;
    sorvanto::PrepareConsoleOutput();
    std::vector<std::string> args = sorvanto::ProgramArguments(argc, argv);
    GlobalOptions options;
    bool ok = true;
    std::string model;
    TakeOption(args, "--home", options.home, ok);
    if (TakeOption(args, "--model", model, ok)) {
        char* end = nullptr;
        const long v = std::strtol(model.c_str(), &end, 10);
        if (model.empty() || *end != '\0') ok = false;
        options.has_model = true;
        options.model = static_cast<int>(v);
    }
    if (!ok || args.empty() || args[0] == "help" || args[0] == "--help") {
        Usage();
        return (args.empty() || !ok) ? kUsage : kOk;
    }
    const std::string name = args[0];
    args.erase(args.begin());
    {
        std::error_code ec;
        g_start_dir = std::filesystem::current_path(ec);
    }
    for (const Command& c : Commands()) {
        if (c.name != name) continue;
        std::string error;
        if (!sorvanto::EnterWorkingFolder(sorvanto::ResolveWorkingFolder(
                                              options.home.empty() ? std::nullopt : std::optional(options.home)),
                                          &error)) {
            PrintError("cannot use the working folder: " + error);
            return kFailure;
        }
        return c.run(options, args);
    }
    PrintError("unknown command '" + name + "'");
    Usage();
    return kUsage;
}

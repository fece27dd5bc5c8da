#include "platform/launch_process.h"

#include <cerrno>
#include <spawn.h>
#include <sys/wait.h>

#include <thread>

extern char** environ;

namespace sorvanto {

bool LaunchProcess(const std::vector<std::string>& argv) {
    if (argv.empty() || argv[0].empty()) return false;
    std::vector<char*> args;
    args.reserve(argv.size() + 1);
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    pid_t pid = 0;
    if (::posix_spawnp(&pid, args[0], nullptr, nullptr, args.data(), environ) != 0) return false;
    std::thread([pid] {
        int status = 0;
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
    }).detach();
    return true;
}

std::vector<std::string> CommandArguments(std::string_view command, const std::string& file) {
    static constexpr std::string_view kToken = "{file}";
    std::vector<std::string> out;
    bool named = false;
    std::size_t i = 0;
    while (i < command.size()) {
        while (i < command.size() && (command[i] == ' ' || command[i] == '\t')) ++i;
        std::size_t j = i;
        while (j < command.size() && command[j] != ' ' && command[j] != '\t') ++j;
        if (j > i) {
            std::string word(command.substr(i, j - i));
            for (std::size_t at = word.find(kToken); at != std::string::npos;
                 at = word.find(kToken, at + file.size())) {
                word.replace(at, kToken.size(), file);
                named = true;
            }
            out.push_back(std::move(word));
        }
        i = j;
    }
    if (!out.empty() && !named) out.push_back(file);
    return out;
}

}  // namespace sorvanto

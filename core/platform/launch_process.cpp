#include "platform/launch_process.h"

namespace sorvanto {

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

std::string WindowsCommandLine(const std::vector<std::string>& argv) {
    std::string line;
    for (const std::string& arg : argv) {
        if (!line.empty()) line += ' ';
        if (!arg.empty() && arg.find_first_of(" \t\n\v\"") == std::string::npos) {
            line += arg;
            continue;
        }
        line += '"';
        std::size_t backslashes = 0;
        for (char c : arg) {
            if (c == '\\') {
                ++backslashes;
                continue;
            }
            if (c == '"') {
                line.append(backslashes * 2 + 1, '\\');
            } else {
                line.append(backslashes, '\\');
            }
            backslashes = 0;
            line += c;
        }
        line.append(backslashes * 2, '\\');
        line += '"';
    }
    return line;
}

}  // namespace sorvanto

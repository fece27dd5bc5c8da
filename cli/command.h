#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace sorvanto {
class LinkSettings;
class SerialPort;
}  // namespace sorvanto

namespace sorvanto::cli {

// Exit codes of every command.
constexpr int kOk = 0;
constexpr int kFailure = 1;
constexpr int kUsage = 2;

// Options common to every command, taken off the argument list before the command runs.
struct GlobalOptions {
    std::string home;  // --home DIR
    bool has_model = false;
    int model = -1;  // --model ID
};

struct Command {
    std::string name;
    std::string usage;  // one line, shown by `sorvanto-cli help`
    std::function<int(const GlobalOptions&, std::vector<std::string>&)> run;
};

// Each cmd_*.cpp registers its commands with a static Registrar.
std::vector<Command>& Commands();
struct Registrar {
    explicit Registrar(Command c) { Commands().push_back(std::move(c)); }
};

// Text for the terminal: Shift_JIS to UTF-8, pictographs as the emoji the desktop shows.
void PrintLine(const std::string& sjis_text);
// Lines that belong together, each after the prefix, written out with one flush.
void PrintLines(const std::string& prefix, const std::vector<std::string>& sjis_lines);
void PrintError(const std::string& utf8_text);

// Takes "--name VALUE" out of args; false when absent. A missing value is a usage error
// reported through ok=false.
bool TakeOption(std::vector<std::string>& args, const std::string& name, std::string& value, bool& ok);
bool TakeFlag(std::vector<std::string>& args, const std::string& name);

// Commands run inside the working folder; a relative path the user typed means the folder the
// tool was started from.
std::string UserPath(const std::string& arg);

// With "Transport=sir", opens the configured serial port into *port; when it cannot, prints
// the one line that names the port and the reason and returns false (the command then ends
// with kFailure). Other transports need no port: true, *port left empty.
bool OpenSerialPortIfConfigured(const LinkSettings& settings, std::unique_ptr<SerialPort>* port);

}  // namespace sorvanto::cli

// sorvanto-handset: a handset on the TCP link, or on infrared over a serial port, for trying
// the program without one.
//   push FILE [--name OBJECT] [--to HOST:PORT] [--packet-size N] [--passcode NNNN]
//   push-sample FAMILY [--to HOST:PORT] [--dir DIR] [--passcode NNNN]
//   serve [--listen HOST:PORT] [--challenge] [--passcode NNNN] [--out DIR] [--once]
//         [--device-name NAME] [--stall-after N] [--refuse-last-put]
// and with any of them --port PATH [--baud N] [--capture FILE]: the serial port (or
// pseudo-terminal) instead of TCP, speeds offered up to N bps, every frame recorded in FILE.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "ir_port.h"
#include "platform/console.h"
#include "platform/working_folder.h"
#include "push.h"
#include "serve.h"

namespace {

// How long a push looks for the PC before it gives up.
constexpr int kDiscoverMs = 20000;

int Usage() {
    std::fprintf(stderr,
                 "usage: sorvanto-handset push FILE [--name OBJECT] [--to HOST:PORT] [--packet-size N]\n"
                 "                             [--passcode NNNN]\n"
                 "       sorvanto-handset push-sample FAMILY [--to HOST:PORT] [--dir DIR] [--passcode NNNN]\n"
                 "       sorvanto-handset serve [--listen HOST:PORT] [--challenge] [--passcode NNNN] [--out DIR]\n"
                 "                              [--once] [--device-name NAME] [--stall-after N] [--refuse-last-put]\n"
                 "       with --port PATH [--baud N] [--capture FILE]: infrared over that serial port\n");
    return 2;
}

bool Number(const std::string& text, int low, int high, int* out) {
    if (text.empty() || text.size() > 6 || text.find_first_not_of("0123456789") != std::string::npos) return false;
    const int v = std::stoi(text);
    if (v < low || v > high) return false;
    *out = v;
    return true;
}

// The sample objects of an installed emulator (PREFIX/share/sorvanto/samples), else those beside
// the sources of a build, else those beside the program (the Windows zip) or under the current
// folder.
std::filesystem::path DefaultSampleDir() {
    std::error_code ec;
    const std::filesystem::path program = sorvanto::ProgramFolder();
    if (!program.empty()) {
        const std::filesystem::path installed = program.parent_path() / "share" / "sorvanto" / "samples";
        if (std::filesystem::is_directory(installed, ec)) return installed;
    }
#ifdef SORVANTO_SOURCE_DIR
    const std::filesystem::path source = std::filesystem::path(SORVANTO_SOURCE_DIR) / "data" / "samples";
    if (std::filesystem::is_directory(source, ec)) return source;
#endif
    if (!program.empty() && std::filesystem::is_directory(program / "samples", ec)) return program / "samples";
    if (std::filesystem::is_directory("data/samples", ec)) return "data/samples";
    return "samples";
}

}  // namespace

int main(int argc, char** argv) {
    sorvanto::PrepareConsoleOutput();
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) return Usage();
    const std::string command = args[0];
    std::vector<std::string> positional;
    handset::PushOptions push;
    handset::ServeOptions serve;
    std::string name;
    std::string port_path;
    std::string capture;
    int baud = 115200;
    std::filesystem::path dir = DefaultSampleDir();
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool has_value = i + 1 < args.size();
        auto value = [&]() -> std::string { return args[++i]; };
        if (a == "--challenge") serve.challenge = true;
        else if (a == "--once") serve.once = true;
        else if (a == "--refuse-last-put") serve.refuse_last_put = true;
        else if (a.rfind("--", 0) == 0 && !has_value) {
            std::fprintf(stderr, "sorvanto-handset: %s needs a value\n", a.c_str());
            return 2;
        } else if (a == "--name") name = value();
        else if (a == "--to" || a == "--listen") {
            const std::string v = value();
            if (!handset::ParseEndpoint(v, a == "--to" ? &push.to : &serve.listen)) {
                std::fprintf(stderr, "sorvanto-handset: not HOST:PORT: %s\n", v.c_str());
                return 2;
            }
        } else if (a == "--packet-size") {
            if (!Number(value(), 64, 65535, &push.packet_size)) {
                std::fprintf(stderr, "sorvanto-handset: --packet-size takes 64..65535\n");
                return 2;
            }
        } else if (a == "--passcode") {
            // The serve side checks the PC's answer with it, the push side answers the PC's
            // challenge with it.
            const std::string code = value();
            if (code.size() != 4 || code.find_first_not_of("0123456789") != std::string::npos) {
                std::fprintf(stderr, "sorvanto-handset: --passcode takes four digits\n");
                return 2;
            }
            serve.passcode = push.passcode = code;
        }
        else if (a == "--port") port_path = value();
        else if (a == "--capture") capture = value();
        else if (a == "--baud") {
            if (!Number(value(), 9600, 115200, &baud)) {
                std::fprintf(stderr, "sorvanto-handset: --baud takes 9600..115200\n");
                return 2;
            }
        }
        else if (a == "--out") serve.out = value();
        else if (a == "--dir") dir = value();
        else if (a == "--device-name") serve.device_name = value();
        else if (a == "--stall-after") {
            if (!Number(value(), 0, 1000000, &serve.stall_after)) {
                std::fprintf(stderr, "sorvanto-handset: --stall-after takes a number\n");
                return 2;
            }
        } else if (a.rfind("--", 0) == 0) {
            std::fprintf(stderr, "sorvanto-handset: unknown option %s\n", a.c_str());
            return 2;
        } else positional.push_back(a);
    }
    const bool known = (command == "push" && positional.size() == 1) ||
                       (command == "push-sample" && positional.size() == 1) || (command == "serve" && positional.empty());
    if (!known) return Usage();
    std::unique_ptr<handset::IrPort> ir;
    if (!port_path.empty()) {
        std::string error;
        // A handset pushing has no name of its own to tell; one serving answers with its name.
        ir = handset::IrPort::Open(port_path, baud, command == "serve" ? serve.device_name : "Handset", capture, &error);
        if (!ir) {
            std::fprintf(stderr, "sorvanto-handset: %s\n", error.c_str());
            return 1;
        }
        push.connect = [&ir](std::string* error) { return ir->Connect(kDiscoverMs, error); };
        serve.accept = [&ir](std::string* error) { return ir->Accept(error); };
        serve.where = port_path;
    }
    if (command == "push" && positional.size() == 1) {
        const std::filesystem::path file = positional[0];
        return handset::PushFile(file, name.empty() ? file.filename().string() : name, push);
    }
    if (command == "push-sample" && positional.size() == 1) return handset::PushSamples(dir, positional[0], push);
    if (command == "serve" && positional.empty()) return handset::Serve(serve);
    return Usage();
}

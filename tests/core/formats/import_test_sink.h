#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "formats/import_sink.h"
#include "support/temp_home.h"

namespace sorvanto::test {

// One sink call with a copy of the file it was given, taken during the call: the importer
// deletes its work files as soon as the call returns.
struct SinkCall {
    std::string op;     // "melody", "bookmark", "outbox", "received", "sent", "address", "standby", "camera"
    std::string path;   // the file handed over; empty for bookmarks
    std::string title;  // bookmark and picture title
    std::string text;   // bookmark URL, camera picture comment
    std::string bytes;  // the file's contents at the time of the call
};

class RecordingSink : public ImportSink {
public:
    std::vector<SinkCall> calls;

    void AddMelody(const std::string& p) override { Record("melody", p); }
    void AddBookmark(const std::string& title, const std::string& url) override {
        calls.push_back({"bookmark", "", title, url, ""});
    }
    void AddOutboxMail(const std::string& p) override { Record("outbox", p); }
    void AddReceivedMail(const std::string& p) override { Record("received", p); }
    void AddSentMail(const std::string& p) override { Record("sent", p); }
    void AddAddress(const std::string& p) override { Record("address", p); }
    void AddStandbyPicture(const std::string& title, const std::string& p) override { Record("standby", p, title); }
    void AddCameraPicture(const std::string& title, const std::string& p, const std::string& comment) override {
        Record("camera", p, title, comment);
    }

    std::vector<std::string> Ops() const {
        std::vector<std::string> ops;
        for (const auto& c : calls) ops.push_back(c.op);
        return ops;
    }

private:
    void Record(const char* op, const std::string& p, std::string title = {}, std::string text = {}) {
        calls.push_back({op, p, std::move(title), std::move(text), ReadFileBytes(NativeOf(p))});
    }
    static std::filesystem::path NativeOf(std::string p) {
        for (char& c : p)
            if (c == '\\') c = '/';
        if (p.rfind("./", 0) == 0) p.erase(0, 2);
        return p;
    }
};

// "a\nb\n" -> "a\r\nb\r\n": the handsets end every line with CR LF.
inline std::string Crlf(std::string_view text) {
    std::string out;
    for (char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

// Puts an object into "TmpFiles\" as the OBEX server leaves it; returns the queued path.
inline std::string Receive(const std::string& name, const std::string& bytes) {
    WriteFileBytes(std::filesystem::path("TmpFiles") / ("4a1b2c3d " + name), bytes);
    return "TmpFiles\\4a1b2c3d " + name;
}

inline bool StillReceived(const std::string& name) {
    return std::filesystem::exists(std::filesystem::path("TmpFiles") / ("4a1b2c3d " + name));
}

// Every file in the working folder except the received objects: work files left behind.
inline std::vector<std::string> Leftovers() {
    std::vector<std::string> out;
    for (const auto& e : std::filesystem::recursive_directory_iterator(".")) {
        if (!e.is_regular_file()) continue;
        const std::string rel = std::filesystem::relative(e.path(), ".").generic_string();
        if (rel.rfind("TmpFiles/4a1b2c3d ", 0) == 0) continue;
        out.push_back(rel);
    }
    return out;
}

// The key=value lines of an INI file's bytes, in file order.
inline std::vector<std::pair<std::string, std::string>> IniPairs(const std::string& bytes) {
    std::vector<std::pair<std::string, std::string>> out;
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        std::size_t end = bytes.find('\n', pos);
        if (end == std::string::npos) end = bytes.size();
        std::string line = bytes.substr(pos, end - pos);
        pos = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const auto eq = line.find('=');
        if (eq != std::string::npos) out.emplace_back(line.substr(0, eq), line.substr(eq + 1));
    }
    return out;
}

}  // namespace sorvanto::test

#include "platform/cp932.h"

#include <cerrno>
#include <iconv.h>
#include <mutex>

namespace sorvanto::cp932 {

namespace {

// One converter per direction; iconv descriptors are not thread-safe, hence the locks.
struct Converter {
    Converter(const char* to, const char* from) : cd(iconv_open(to, from)) {}
    ~Converter() {
        if (cd != reinterpret_cast<iconv_t>(-1)) iconv_close(cd);
    }
    iconv_t cd;
    std::mutex mutex;
};

Converter& ToUnicode() {
    static Converter c("UTF-8", "CP932");
    return c;
}
Converter& FromUnicode() {
    static Converter c("CP932", "UTF-8");
    return c;
}

// Converts one piece; false on an unconvertible or incomplete sequence (in_left tells where).
// The buffer is large because glibc's two-step converters redo much of their work each time
// the output runs short: a 40 KB text took five times as long through 1 KB as through 16 KB.
bool Step(iconv_t cd, const char*& in, std::size_t& in_left, std::string& out) {
    char buf[16 * 1024];
    while (in_left > 0) {
        char* o = buf;
        std::size_t o_left = sizeof buf;
        const std::size_t r = iconv(cd, const_cast<char**>(&in), &in_left, &o, &o_left);
        out.append(buf, sizeof buf - o_left);
        if (r == static_cast<std::size_t>(-1) && errno != E2BIG) return false;
    }
    return true;
}

}  // namespace

std::string ToUtf8(std::string_view text) {
    Converter& c = ToUnicode();
    std::lock_guard lock(c.mutex);
    std::string out;
    if (c.cd == reinterpret_cast<iconv_t>(-1)) {
        for (char ch : text) out.push_back(static_cast<unsigned char>(ch) < 0x80 ? ch : '?');
        return out;
    }
    iconv(c.cd, nullptr, nullptr, nullptr, nullptr);
    const char* in = text.data();
    std::size_t left = text.size();
    while (left > 0) {
        if (Step(c.cd, in, left, out)) break;
        out += "\xEF\xBF\xBD";  // U+FFFD for the byte that does not convert
        ++in;
        --left;
        iconv(c.cd, nullptr, nullptr, nullptr, nullptr);
    }
    return out;
}

std::optional<std::string> FromUtf8(std::string_view text) {
    Converter& c = FromUnicode();
    std::lock_guard lock(c.mutex);
    if (c.cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
    iconv(c.cd, nullptr, nullptr, nullptr, nullptr);
    std::string out;
    const char* in = text.data();
    std::size_t left = text.size();
    if (!Step(c.cd, in, left, out)) return std::nullopt;
    return out;
}

}  // namespace sorvanto::cp932

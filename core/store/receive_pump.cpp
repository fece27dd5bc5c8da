#include "store/receive_pump.h"

#include <cstdio>
#include <cstring>

#include "common/sjis.h"
#include "irlink/obex_server_session.h"
#include "platform/clock.h"
#include "platform/fs.h"

namespace sorvanto {

namespace {

constexpr const char* kTmpFolder = "TmpFiles\\";
// A copy that keeps finding its name taken gives up rather than loop for ever.
constexpr int kMaxNameTries = 1000;

// The zero-terminated text of a notice.
std::string NoticePath(const ByteBlock* block) {
    if (!block) return {};
    const auto* begin = reinterpret_cast<const char*>(block->data());
    return std::string(begin, strnlen(begin, block->size()));
}

}  // namespace

int ReceivePump::Drain(ByteList& queue, const ImportFn& import, const LogFn& log) {
    static_assert(kNoticeKey == ObexServerSession::kNoticeKey && kLogKey == ObexServerSession::kLogKey);
    int handed = 0;
    while (auto* node = queue.Head()) {
        if (node->key == kNoticeKey && import) {
            const std::string path = NoticePath(node->data.get());
            if (!path.empty()) {
                import(path);
                ++handed;
            }
        } else if (node->key == kLogKey && log) {
            const std::string text = NoticePath(node->data.get());
            if (!text.empty()) log(text);
        }
        queue.Remove(node);
    }
    return handed;
}

std::optional<std::string> ReceivePump::CopyIntoTmpFiles(const std::string& source_path) {
    std::string name = source_path;
    if (const auto cut = name.find_last_of("\\/"); cut != std::string::npos) name = name.substr(cut + 1);
    if (name.empty() || name == "." || name == "..") return std::nullopt;
    if (!fs::CreateFolder(kTmpFolder)) return std::nullopt;
    const auto bytes = fs::ReadFile(source_path);
    if (!bytes) return std::nullopt;
    const auto now = static_cast<std::uint32_t>(clock::Now());
    for (int i = 0; i < kMaxNameTries; ++i) {
        char prefix[32];
        std::snprintf(prefix, sizeof prefix, "%08x ", now + static_cast<std::uint32_t>(i));
        const std::string target = sjis::CutBytes(std::string(kTmpFolder) + prefix + name, kNoticeSize - 1);
        if (fs::Exists(target)) continue;
        // The user's own file stays where it is, so this copy needs no flush: a power loss
        // can take at most the copy, never the file or what was registered from it.
        if (!fs::WriteFileRenamed(target, *bytes)) return std::nullopt;
        return target;
    }
    return std::nullopt;
}

void ReceivePump::Notify(ByteList& queue, const std::string& stored_path) {
    char block[kNoticeSize] = {};
    const std::string cut = sjis::CutBytes(stored_path, kNoticeSize - 1);
    std::memcpy(block, cut.data(), cut.size());
    queue.AddCopy(kNoticeKey, kNoticeSize, block);
}

}  // namespace sorvanto

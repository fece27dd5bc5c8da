#include "melody/mld_info.h"

#include <cstdio>

namespace sorvanto {

namespace {

// Shift_JIS texts of the dialog.
constexpr const char* kTitle = "\x83^\x83" "C\x83g\x83\x8B [";                           // タイトル [
constexpr const char* kDataSize = "\x83" "f\x81[\x83^\x83T\x83" "C\x83Y ";                  // データサイズ
constexpr const char* kDataType = "\x83" "f\x81[\x83^\x83^\x83" "C\x83v ";                  // データタイプ
constexpr const char* kTracks = "\x83g\x83\x89\x83" "b\x83N\x90\x94 ";                      // トラック数
constexpr const char* kChords = "\x98" "a\x89\xB9)";                                        // 和音)
constexpr const char* kRoute = "\x93\xFC\x8E\xE8\x8Co\x98H\x81" "F";                        // 入手経路：
constexpr const char* kCopyrightFlag = " \x92\x98\x8D\xEC\x8C\xA0\x81" "F";                 // 著作権：
constexpr const char* kHandsetInput = "\x92[\x96\x96\x93\xFC\x97\xCD";                       // 端末入力
constexpr const char* kExternal = "\x8AO\x95\x94I/F";                                       // 外部I/F
constexpr const char* kYes = "\x97L\x82\xE8";                                               // 有り
constexpr const char* kNo = "\x96\xB3\x82\xB5";                                             // 無し
constexpr const char* kDate = "\x8D\xEC\x90\xAC\x93\xFA ";                                  // 作成日
constexpr const char* kInvalid = "\x95s\x90\xB3\x82\xC8\x83" "f\x81[\x83^\x83t\x83@\x83" "C\x83\x8B";  // 不正なデータファイル

std::string Hex(unsigned v) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%x", v);
    return buf;
}

}  // namespace

std::vector<std::string> MldInfoLines(const MldData& m) {
    if (m.BytesRead() == 0) return {kInvalid};
    std::vector<std::string> lines;
    if (m.Chunk(MldChunkId::kTitle)) lines.push_back(kTitle + m.ChunkText(MldChunkId::kTitle) + "]");
    lines.push_back(kDataSize + std::to_string(std::uint64_t{m.DataLength()} + 8));
    lines.push_back(kDataType + std::to_string(m.TypeMajor()) + "/" + std::to_string(m.TypeMinor()));
    const int tracks = m.HeaderTrackCount();
    lines.push_back(kTracks + std::to_string(tracks) + " (" + std::to_string(tracks * 4) + kChords);
    if (auto b = m.SourceByte()) {
        const int route = *b >> 1;
        const char* where = route == 0 ? "Network" : route == 1 ? kHandsetInput : kExternal;
        lines.push_back(std::string(kRoute) + where + kCopyrightFlag + ((*b & 1) ? kYes : kNo));
    }
    if (m.Chunk(MldChunkId::kVersion)) lines.push_back("MLD Format Version " + m.ChunkText(MldChunkId::kVersion));
    if (m.Chunk(MldChunkId::kDate)) lines.push_back(kDate + m.ChunkText(MldChunkId::kDate));
    if (m.Chunk(MldChunkId::kCopyright)) lines.push_back("Copyright [" + m.ChunkText(MldChunkId::kCopyright) + "]");
    if (m.Chunk(MldChunkId::kProtection)) lines.push_back("Prot [" + m.ChunkText(MldChunkId::kProtection) + "]");
    if (const auto& c = m.Chunk(MldChunkId::kNote))
        lines.push_back("Note " + Hex(c->length_field) + " " + Hex(*m.ChunkValue16(MldChunkId::kNote)));
    if (const auto& c = m.Chunk(MldChunkId::kExtension))
        lines.push_back("Exstend " + Hex(c->length_field) + " " + Hex(*m.ChunkValue16(MldChunkId::kExtension)));
    return lines;
}

std::vector<std::string> MldInfoLines(std::string_view stored_path) {
    MldData m;
    m.Load(stored_path);
    return MldInfoLines(m);
}

}  // namespace sorvanto

#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

// Records that windows exchange inside the process (copy-data requests). Their byte layout is
// fixed because they travel as raw blocks.
namespace sorvanto {

enum class RequestKind : int {
    Log = 0,           // log text, at most 255 bytes and the terminator
    Send = 1,          // SendRequest
    FinishedMail = 2,  // MailRecord
    ReplyMail = 3,     // MailRecord
    ContextMenu = 4,   // ContextMenuRequest
    Pictograph = 5,    // lead byte, trail byte, zero
    PreviewPicture = 6,
    PlayMelody = 7,
    ImportFile = 8,
};

constexpr std::size_t kLogTextSize = 256;

struct SendRequest {
    std::int32_t kind;
    char title[260];
    char local_path[260];
    char object_name[260];
};
static_assert(sizeof(SendRequest) == 784);
static_assert(offsetof(SendRequest, kind) == 0);
static_assert(offsetof(SendRequest, title) == 4);
static_assert(offsetof(SendRequest, local_path) == 264);
static_assert(offsetof(SendRequest, object_name) == 524);

struct MailRecord {
    std::int32_t key;  // item key of the stored mail, -1 for a new one
    std::int32_t reserved;
    std::int32_t attachment;  // 1 when the body carries a melody
    char address[1040];
    char subject[260];
    char body[1040];
};
static_assert(sizeof(MailRecord) == 2352);
static_assert(offsetof(MailRecord, key) == 0);
static_assert(offsetof(MailRecord, reserved) == 4);
static_assert(offsetof(MailRecord, attachment) == 8);
static_assert(offsetof(MailRecord, address) == 12);
static_assert(offsetof(MailRecord, subject) == 1052);
static_assert(offsetof(MailRecord, body) == 1312);

struct ContextMenuRequest {
    std::int32_t menu_index;
    std::int32_t screen_x;
    std::int32_t screen_y;
    std::int32_t list_window;
};
static_assert(sizeof(ContextMenuRequest) == 16);

// Copies text into a fixed field, cut so that it fits with its terminator and never splits a
// double-byte character.
template <std::size_t N>
void CopyField(char (&field)[N], std::string_view text);

// The zero-terminated text of a fixed field (never reads past the field).
template <std::size_t N>
std::string FieldText(const char (&field)[N]) {
    std::size_t n = 0;
    while (n < N && field[n] != '\0') ++n;
    return std::string(field, n);
}

}  // namespace sorvanto

#include "common/sjis.h"

namespace sorvanto {
template <std::size_t N>
void CopyField(char (&field)[N], std::string_view text) {
    const std::string cut = sjis::CutBytes(text, N - 1);
    std::memcpy(field, cut.data(), cut.size());
    std::memset(field + cut.size(), 0, N - cut.size());
}
}  // namespace sorvanto

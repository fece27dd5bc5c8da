// The search text as typed (UTF-8 with emoji) and the folding of any stored bytes.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "search/search_text.h"
#include "search/text_fold.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto folded = sorvanto::text_fold::Fold(text);
    for (char16_t u : folded)
        if (u == sorvanto::text_fold::kFieldBreak || u == sorvanto::text_fold::kItemBreak) __builtin_trap();
    sorvanto::text_fold::PhoneDigits(text);
    sorvanto::text_fold::LooksLikePhoneNumber(text);
    if (const auto sjis = sorvanto::SearchTextFromUtf8(text)) sorvanto::text_fold::Fold(*sjis);
    return 0;
}

#include "platform/ini_view.h"

#include "platform/ini_syntax.h"

namespace sorvanto {

IniView::IniView(std::string_view bytes) {
    sections_.emplace_back();
    std::size_t pos = 0;
    std::string_view raw;
    while (ini_syntax::NextLine(bytes, pos, raw)) {
        if (ini_syntax::IsHeader(raw)) {
            sections_.push_back(ini_syntax::HeaderName(raw));
            continue;
        }
        Key k{static_cast<std::uint32_t>(sections_.size() - 1), {}, {}};
        if (ini_syntax::SplitKeyLine(raw, k.name, k.value)) keys_.push_back(k);
    }
}

std::pair<const IniView::Key*, const IniView::Key*> IniView::KeysOf(std::string_view section) const {
    const std::string_view name = ini_syntax::Trim(section);
    for (std::size_t i = 1; i < sections_.size(); ++i) {
        if (!ini_syntax::EqualsNoCase(sections_[i], name)) continue;
        const Key* first = keys_.data();
        const Key* last = keys_.data() + keys_.size();
        while (first != last && first->section < i) ++first;
        const Key* end = first;
        while (end != last && end->section == i) ++end;
        return {first, end};
    }
    return {nullptr, nullptr};
}

const IniView::Key* IniView::Find(std::string_view section, std::string_view key) const {
    const auto [first, end] = KeysOf(section);
    const std::string_view name = ini_syntax::Trim(key);
    for (const Key* k = first; k != end; ++k)
        if (ini_syntax::EqualsNoCase(k->name, name)) return k;
    return nullptr;
}

std::string_view IniView::GetString(std::string_view section, std::string_view key, std::string_view fallback) const {
    const Key* k = Find(section, key);
    return k ? k->value : fallback;
}

int IniView::GetInt(std::string_view section, std::string_view key, int fallback) const {
    const Key* k = Find(section, key);
    return k ? ini_syntax::ParseInt(k->value) : fallback;
}

bool IniView::HasKey(std::string_view section, std::string_view key) const { return Find(section, key) != nullptr; }

std::size_t IniView::KeyCount(std::string_view section) const {
    const auto [first, end] = KeysOf(section);
    return static_cast<std::size_t>(end - first);
}

}  // namespace sorvanto

#include "editing/address_selection.h"

namespace sorvanto {

namespace {

constexpr int kMaxEntries = 100000;
constexpr int kMaxMailsPerEntry = 100;
constexpr std::size_t kMaxRows = 100000;

bool IsWhite(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view TrimWhite(std::string_view s) {
    while (!s.empty() && IsWhite(s.back())) s.remove_suffix(1);
    return s;
}

}  // namespace

std::vector<AddressChoice> CollectAddressChoices(const AddressProvider& provider) {
    std::vector<AddressChoice> rows;
    if (!provider) return rows;
    for (int item = 0; item < kMaxEntries && rows.size() < kMaxRows; ++item) {
        std::string name;
        std::string address;
        if (!provider(item, 0, name, address)) break;
        for (int mail = 1; !address.empty(); ++mail) {
            rows.push_back({name, address});
            if (mail >= kMaxMailsPerEntry || rows.size() >= kMaxRows) break;
            address.clear();
            if (!provider(item, mail, name, address)) break;
        }
    }
    return rows;
}

std::string AppendRecipient(std::string_view recipients, std::string_view address) {
    std::string_view s = TrimWhite(recipients);
    while (!s.empty() && s.back() == ';') s.remove_suffix(1);
    std::string out(s);
    if (!out.empty()) out += ";";
    out += address;
    return out;
}

std::string FinalRecipients(std::string_view recipients) {
    std::string_view s = recipients;
    while (!s.empty() && (IsWhite(s.back()) || s.back() == ';')) s.remove_suffix(1);
    return std::string(s);
}

}  // namespace sorvanto

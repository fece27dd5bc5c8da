#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace sorvanto {

// Choosing mail recipients from the address book.
struct AddressChoice {
    std::string name;
    std::string address;
};

// The address book's get-address-entry operation: (item position, mail index) -> found, with
// the entry's name and that mail address.
using AddressProvider = std::function<bool(int item, int mail_index, std::string& name, std::string& address)>;

// One row per mail address of every entry, in book order; an entry without addresses gives no
// row. Bounded, so a provider that never says "not found" cannot hang the dialog.
std::vector<AddressChoice> CollectAddressChoices(const AddressProvider& provider);

// "追加  ->": the recipients text with trailing blanks and then trailing ';' removed, a ';'
// when anything is left, then the address.
std::string AppendRecipient(std::string_view recipients, std::string_view address);

// OK: trailing white space and ';' removed.
std::string FinalRecipients(std::string_view recipients);

}  // namespace sorvanto

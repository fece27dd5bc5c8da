#pragma once

#include <string>

#include "store/address_entry_file.h"

namespace sorvanto {

enum class VCardVersion { k30, k40 };

// One address entry as a vCard 3.0 (RFC 2426) or 4.0 (RFC 6350) in UTF-8 with CR LF line ends
// and lines folded at 75 octets: N and FN from the name (family and given name split at the
// first blank, full-width or not), the reading as X-PHONETIC-LAST-NAME / -FIRST-NAME in
// full-width katakana, each number as TEL with its kinds as TYPE, each address as EMAIL, the
// postal address as ADR, the note as NOTE. Pictographs become their emoji.
std::string VCardOf(const AddressEntry& entry, VCardVersion version);

}  // namespace sorvanto

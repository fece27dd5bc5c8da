#pragma once

#include <cstdint>
#include <span>
#include <string>

// For each kind of outgoing object: the OBEX name under which it is put to the handset of a
// model, and the variant of the object the builder writes for that model.
namespace sorvanto::object_names {

// One row of a table (28 bytes). modelId -1 marks the default row that ends a table.
struct ObjectNameEntry {
    char objectName[20];
    std::int32_t modelId;
    std::int32_t variant;
};
static_assert(sizeof(ObjectNameEntry) == 28);

enum class ObjectKind {
    kAddressEntry,    // one address-book entry
    kAddressBook,     // the whole book
    kBookmark,
    kStandbyPicture,
    kMelody,
    kCameraPicture,
    kInboxMail,
    kSentMail,
    kOutboxMail,
};

struct ObjectName {
    std::string name;
    int variant = 0;
};

// The rows of one table, in table order.
std::span<const ObjectNameEntry> Table(ObjectKind kind);

// The first row for this model id, else the default row. The three mail tables have no
// default row: a model id without a row of its own takes the first row. The mail variant is
// not meaningful (the mail builder decides by model id).
ObjectName Lookup(ObjectKind kind, int model_id);

}  // namespace sorvanto::object_names

#include "formats/object_name_tables.h"

#include <array>
#include <cstring>

namespace sorvanto::object_names {

namespace {

constexpr int kDefault = -1;

constexpr ObjectNameEntry kAddressEntry[] = {
    {"pb.vcf", 0, 1},
    {"pb.vcf", 1, 1},
    {"pb.vcf", kDefault, 0},
};

constexpr ObjectNameEntry kAddressBook[] = {
    {"telecom/pb.vcf", kDefault, 0},
};

constexpr ObjectNameEntry kBookmark[] = {
    {"bmk.vnt", 0, 1}, {".url", 8, 0},   {".url", 2, 0},         {".url", 7, 0},
    {"bm.url", 1, 0},  {"bm.url", 4, 0}, {"bm.url", kDefault, 0},
};

constexpr ObjectNameEntry kStandbyPicture[] = {
    {"scln.vnt", 0, 1},    {"nec_img.vnt", 8, 0}, {"nec_img.vnt", 2, 0},
    {"nec_img.vnt", 7, 0}, {"scln.vnt", 1, 2},    {"scln.vnt", kDefault, 0},
};

constexpr ObjectNameEntry kMelody[] = {
    {"mld.vnt", 0, 1},    {"nec_mld.vnt", 8, 0}, {"nec_mld.vnt", 2, 0},
    {"nec_mld.vnt", 7, 0}, {"mld.vnt", 1, 2},    {"mld.vnt", kDefault, 0},
};

constexpr ObjectNameEntry kCameraPicture[] = {
    {"mypic.vnt", 1, 1},
    {"mypic.vnt", kDefault, 0},
};

// The mail tables have a row for each offered model and no default row.
constexpr ObjectNameEntry kInboxMail[] = {
    {"inmsg.vmg", 0, 0}, {"*.vmg", 8, 0},     {"*.vmg", 2, 0},
    {"*.vmg", 7, 0},     {"inmsg.vmg", 1, 0}, {"inmsg.vmg", 4, 0},
};

constexpr ObjectNameEntry kSentMail[] = {
    {"sentmsg.vmg", 0, 0}, {"*.vmg", 8, 0},       {"*.vmg", 2, 0},
    {"*.vmg", 7, 0},       {"sentmsg.vmg", 1, 0}, {"sentmsg.vmg", 4, 0},
};

constexpr ObjectNameEntry kOutboxMail[] = {
    {"outmsg.vmg", 0, 0}, {"*.vmg", 8, 0},      {"*.vmg", 2, 0},
    {"*.vmg", 7, 0},      {"outmsg.vmg", 1, 0}, {"outmsg.vmg", 4, 0},
};

bool IsMail(ObjectKind kind) {
    return kind == ObjectKind::kInboxMail || kind == ObjectKind::kSentMail ||
           kind == ObjectKind::kOutboxMail;
}

ObjectName FromRow(const ObjectNameEntry& row) {
    return {std::string(row.objectName, strnlen(row.objectName, sizeof row.objectName)), row.variant};
}

}  // namespace

std::span<const ObjectNameEntry> Table(ObjectKind kind) {
    switch (kind) {
        case ObjectKind::kAddressEntry: return kAddressEntry;
        case ObjectKind::kAddressBook: return kAddressBook;
        case ObjectKind::kBookmark: return kBookmark;
        case ObjectKind::kStandbyPicture: return kStandbyPicture;
        case ObjectKind::kMelody: return kMelody;
        case ObjectKind::kCameraPicture: return kCameraPicture;
        case ObjectKind::kInboxMail: return kInboxMail;
        case ObjectKind::kSentMail: return kSentMail;
        case ObjectKind::kOutboxMail: return kOutboxMail;
    }
    return kAddressBook;
}

ObjectName Lookup(ObjectKind kind, int model_id) {
    const std::span<const ObjectNameEntry> rows = Table(kind);
    if (IsMail(kind)) {
        for (const ObjectNameEntry& row : rows) {
            if (row.modelId == model_id) return FromRow(row);
        }
        return FromRow(rows.front());
    }
    // Every other table ends in its default row, which also stops the search.
    for (const ObjectNameEntry& row : rows) {
        if (row.modelId == model_id || row.modelId == kDefault) return FromRow(row);
    }
    return FromRow(rows.back());
}

}  // namespace sorvanto::object_names

#include "formats/family0_importer.h"

#include <array>

namespace sorvanto {

namespace {

using A = ObjectImporter::Action;

constexpr std::array<ObjectImporter::NameRow, 19> kNames{{
    {0, "myno.vcf", A::kNotImported},
    {1, "pb.vcf", A::kAddress},
    {2, "scdl.vcs", A::kNotImported},
    {3, "nt.vnt", A::kNotImported},
    {4, "mld.vnt", A::kMelody},
    {5, "scln.vnt", A::kNotImported},
    {6, "anim.vnt", A::kNotImported},
    {7, "bmk.vnt", A::kBookmarkNote},
    {8, "outmsg.vmg", A::kOutboxMail},
    {9, "sentmsg.vmg", A::kSentMail},
    {10, "inmsg.vmg", A::kReceivedMail},
    {11, "telecom_pb.vcf", A::kSplitAddresses},
    {12, "telecom_nt.vcf", A::kNotImported},
    {13, "telecom_cal.vcf", A::kNotImported},
    {14, "telecom_inmsg.vmg", A::kSplitReceivedMails},
    {15, "telecom_sentmsg.vmg", A::kSplitSentMails},
    {16, "telecom_outmsg.vmg", A::kSplitOutboxMails},
    {17, "telecom_bm.url", A::kSplitBookmarks},
    {18, "bm.url", A::kBookmark},
}};

}  // namespace

bool Family0Importer::ConvertMelody(const ReceivedObject& object, std::string& mld) { return ConvertQuotedPrintableMelody(object, mld); }

bool Family0Importer::ParseBookmarkNote(const ReceivedObject& object, std::string& title, std::string& url) {
    return ParseNoteBookmark(object, title, url);
}

bool Family0Importer::ConvertAddress(const ReceivedObject& object, std::string& entry) { return ConvertIconAddress(object, entry); }

bool Family0Importer::ConvertMail(const ReceivedObject& object, std::string& mail) { return ConvertQuotedPrintableMail(object, mail); }

std::span<const ObjectImporter::NameRow> Family0Importer::NameTable() const { return kNames; }

}  // namespace sorvanto

#include "formats/nec_importer.h"

#include <array>

namespace sorvanto {

namespace {

using A = ObjectImporter::Action;

constexpr std::array<ObjectImporter::NameRow, 19> kNames{{
    {0, "nec_mypb.vcf", A::kNotImported},
    {1, "nec_pb.vcf", A::kAddress},
    {2, "nec_cal.vcs", A::kNotImported},
    {3, ".vnt", A::kNotImported},
    {4, "nec_mld.vnt", A::kMelody},
    {5, "nec_img.vnt", A::kStandbyNote},
    {6, ".vnt", A::kNotImported},
    {7, "nec_bm.url", A::kBookmarkNote},
    {8, "nec_omsg.vmg", A::kOutboxMail},
    {9, "nec_smsg.vmg", A::kSentMail},
    {10, "nec_imsg.vmg", A::kReceivedMail},
    {11, "mypic.vnt", A::kCameraPicture},
    {101, "telecom_pb.vcf", A::kSplitAddresses},
    {102, "telecom_nt.vcf", A::kNotImported},
    {103, "telecom_cal.vcf", A::kNotImported},
    {104, "telecom_inmsg.vmg", A::kSplitReceivedMails},
    {105, "telecom_sentmsg.vmg", A::kSplitSentMails},
    {106, "telecom_outmsg.vmg", A::kSplitOutboxMails},
    {107, "telecom_bm.url", A::kSplitBookmarks},
}};

}  // namespace

bool NecImporter::ConvertMelody(const ReceivedObject& object, std::string& mld) { return ConvertBase64Melody(object, mld); }

bool NecImporter::ParseBookmarkNote(const ReceivedObject& object, std::string& title, std::string& url) {
    return ParseBookmark(object, title, url);
}

bool NecImporter::ConvertAddress(const ReceivedObject& object, std::string& entry) { return ConvertPlainAddress(object, entry); }

bool NecImporter::ConvertMail(const ReceivedObject& object, std::string& mail) { return ConvertEightBitMail(object, mail); }

bool NecImporter::ConvertCameraPicture(const ReceivedObject& object, std::string& title,
                                           std::string& file_name, std::string& picture) {
    return ConvertPictureNote(object, title, file_name, picture);
}

std::span<const ObjectImporter::NameRow> NecImporter::NameTable() const { return kNames; }

}  // namespace sorvanto

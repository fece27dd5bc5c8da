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

bool NecImporter::ConvertMelody(const std::string& file) { return ConvertBase64Melody(file); }

bool NecImporter::ParseBookmarkNote(const std::string& file, std::string& title, std::string& url) {
    return ParseBookmark(file, title, url);
}

bool NecImporter::ConvertAddress(const std::string& file) { return ConvertPlainAddress(file); }

bool NecImporter::ConvertMail(const std::string& file) { return ConvertEightBitMail(file); }

bool NecImporter::ConvertCameraPicture(const std::string& file, std::string& title, std::string& file_name) {
    return ConvertPictureNote(file, title, file_name);
}

std::span<const ObjectImporter::NameRow> NecImporter::NameTable() const { return kNames; }

}  // namespace sorvanto

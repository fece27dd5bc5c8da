#include "formats/family4_importer.h"

#include <array>

namespace sorvanto {

namespace {

using A = ObjectImporter::Action;

constexpr std::array<ObjectImporter::NameRow, 20> kNames{{
    {0, "mypb.vcf", A::kNotImported},
    {1, "pb.vcf", A::kAddress},
    {2, "cal.vcs", A::kNotImported},
    {3, ".vnt", A::kNotImported},
    {4, "mld.vnt", A::kMelody},
    {11, "img.vnt", A::kCameraPicture},
    {6, ".vnt", A::kNotImported},
    {7, "bm.url", A::kBookmarkNote},
    {8, "outmsg.vmg", A::kOutboxMail},
    {9, "sentmsg.vmg", A::kSentMail},
    {10, "inmsg.vmg", A::kReceivedMail},
    {11, "pic.vnt", A::kCameraPicture},
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

std::span<const ObjectImporter::NameRow> Family4Importer::NameTable() const { return kNames; }

}  // namespace sorvanto

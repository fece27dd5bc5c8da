#include <gtest/gtest.h>

#include "formats/model_profiles.h"
#include "formats/object_name_tables.h"

namespace sorvanto {
namespace {

using object_names::Lookup;
using object_names::ObjectKind;
namespace mp = model_profiles;

constexpr int kOffered[] = {0, 2, 7, 1, 4, 8};

TEST(ModelProfilesTest, OffersSixModelsInListOrder) {
    const char* names[] = {"P503i(S)", "N504i(S)", "N503i(S)", "P504i(S)", "F504i(S)", "N505i"};
    for (int i = 0; i < 6; ++i) {
        const auto m = mp::ModelAt(i);
        ASSERT_TRUE(m);
        EXPECT_EQ(m->id, kOffered[i]);
        EXPECT_EQ(m->name, names[i]);
    }
    EXPECT_FALSE(mp::ModelAt(6));
    EXPECT_FALSE(mp::ModelAt(-1));
    EXPECT_EQ(mp::Table().back().id, -1);
}

TEST(ModelProfilesTest, InformationOnlyForOfferedIds) {
    const auto n505 = mp::GetModelInfo(8);
    ASSERT_TRUE(n505);
    EXPECT_EQ(n505->name, "N505i");
    EXPECT_EQ(n505->standbyWidth, 160);
    EXPECT_EQ(n505->standbyHeight, 198);
    EXPECT_EQ(n505->altStandbyWidth, 108);
    EXPECT_EQ(n505->altStandbyHeight, 80);
    EXPECT_EQ(n505->standbyMaxBytes, 10240);
    EXPECT_EQ(n505->colours, 65536);
    EXPECT_EQ(n505->voices, 40);
    EXPECT_EQ(n505->melodyMaxBytes, 10240);
    for (int id : {3, 5, 6, -1, 9}) {
        EXPECT_FALSE(mp::GetModelInfo(id)) << id;
        EXPECT_FALSE(mp::ModelName(id)) << id;
        EXPECT_FALSE(mp::WindowTitle(id)) << id;
    }
    // Id 0 is also carried by inactive rows; it must always mean the P503i(S).
    const auto p503 = mp::GetModelInfo(0);
    ASSERT_TRUE(p503);
    EXPECT_EQ(p503->name, "P503i(S)");
    EXPECT_EQ(p503->colours, 256);
    EXPECT_EQ(p503->standbyHeight, 115);
}

TEST(ModelProfilesTest, NamesTitlesAndImportFamilies) {
    EXPECT_EQ(mp::ModelName(1), "P504i(S)");
    EXPECT_EQ(mp::ModelName(1, 4), "P50");  // as a 4-byte buffer holds it
    EXPECT_EQ(mp::ModelName(1, 1), "");
    EXPECT_EQ(mp::WindowTitle(4), "Sorvanto - F504i(S)");
    EXPECT_EQ(mp::ImportFamilyOf(0), mp::ImportFamily::kFamily0);
    EXPECT_EQ(mp::ImportFamilyOf(1), mp::ImportFamily::kFamily1);
    for (int id : {2, 7, 8}) EXPECT_EQ(mp::ImportFamilyOf(id), mp::ImportFamily::kNec);
    EXPECT_EQ(mp::ImportFamilyOf(4), mp::ImportFamily::kFamily4);
    for (int id : {-1, 3, 5, 6, 9}) EXPECT_EQ(mp::ImportFamilyOf(id), mp::ImportFamily::kNone);
}

struct Row {
    ObjectKind kind;
    int model;
    const char* name;
    int variant;
};

TEST(ObjectNameTablesTest, LookupPerModel) {
    const Row rows[] = {
        {ObjectKind::kAddressEntry, 0, "pb.vcf", 1},      {ObjectKind::kAddressEntry, 1, "pb.vcf", 1},
        {ObjectKind::kAddressEntry, 4, "pb.vcf", 0},      {ObjectKind::kAddressEntry, 8, "pb.vcf", 0},
        {ObjectKind::kAddressBook, 0, "telecom/pb.vcf", 0}, {ObjectKind::kAddressBook, 8, "telecom/pb.vcf", 0},
        {ObjectKind::kBookmark, 0, "bmk.vnt", 1},         {ObjectKind::kBookmark, 7, ".url", 0},
        {ObjectKind::kBookmark, 1, "bm.url", 0},          {ObjectKind::kBookmark, 4, "bm.url", 0},
        {ObjectKind::kBookmark, 3, "bm.url", 0},          {ObjectKind::kStandbyPicture, 0, "scln.vnt", 1},
        {ObjectKind::kStandbyPicture, 2, "nec_img.vnt", 0}, {ObjectKind::kStandbyPicture, 1, "scln.vnt", 2},
        {ObjectKind::kStandbyPicture, 4, "scln.vnt", 0},  {ObjectKind::kMelody, 0, "mld.vnt", 1},
        {ObjectKind::kMelody, 8, "nec_mld.vnt", 0},       {ObjectKind::kMelody, 1, "mld.vnt", 2},
        {ObjectKind::kMelody, 4, "mld.vnt", 0},           {ObjectKind::kMelody, -1, "mld.vnt", 0},
    };
    for (const Row& r : rows) {
        const object_names::ObjectName got = Lookup(r.kind, r.model);
        EXPECT_EQ(got.name, r.name) << static_cast<int>(r.kind) << "/" << r.model;
        EXPECT_EQ(got.variant, r.variant) << static_cast<int>(r.kind) << "/" << r.model;
    }
}

TEST(ObjectNameTablesTest, CameraPicturesAreMypicForEveryModel) {
    for (int id : kOffered) {
        const auto got = Lookup(ObjectKind::kCameraPicture, id);
        EXPECT_EQ(got.name, "mypic.vnt");
        EXPECT_EQ(got.variant, id == 1 ? 1 : 0);
    }
}

TEST(ObjectNameTablesTest, MailTablesForEveryModelAndTheFirstRowOtherwise) {
    struct Mail {
        ObjectKind kind;
        const char* own;
    };
    for (const Mail& box : {Mail{ObjectKind::kInboxMail, "inmsg.vmg"}, Mail{ObjectKind::kSentMail, "sentmsg.vmg"},
                            Mail{ObjectKind::kOutboxMail, "outmsg.vmg"}}) {
        for (int id : kOffered) {
            const bool nec = id == 2 || id == 7 || id == 8;
            EXPECT_EQ(Lookup(box.kind, id).name, nec ? "*.vmg" : box.own) << id;
        }
        EXPECT_EQ(Lookup(box.kind, -1).name, box.own);
        EXPECT_EQ(Lookup(box.kind, 5).name, box.own);
    }
}

TEST(ObjectNameTablesTest, EveryNameFitsItsFieldAndEveryDefaultTableEndsInADefault) {
    for (ObjectKind kind : {ObjectKind::kAddressEntry, ObjectKind::kAddressBook, ObjectKind::kBookmark,
                            ObjectKind::kStandbyPicture, ObjectKind::kMelody, ObjectKind::kCameraPicture}) {
        const auto rows = object_names::Table(kind);
        ASSERT_FALSE(rows.empty());
        EXPECT_EQ(rows.back().modelId, -1);
        for (const auto& row : rows) EXPECT_LT(std::string(row.objectName).size(), sizeof row.objectName);
    }
}

}  // namespace
}  // namespace sorvanto

#include "store/receive_pump.h"

#include <gtest/gtest.h>

#include "platform/clock.h"
#include "platform/fs.h"
#include "support/temp_home.h"

namespace sorvanto {
namespace {

class ReceivePumpTest : public test::TempHome {
protected:
    void TearDown() override {
        clock::SetForTesting({}, {});
        TempHome::TearDown();
    }
};

TEST_F(ReceivePumpTest, DrainsEverythingOldestFirstInOneCall) {
    ByteList queue;
    ReceivePump::Notify(queue, "TmpFiles\\00000001 pb.vcf");
    queue.AddCopy(7, 3, "odd");  // not a notice: removed without import
    ReceivePump::Notify(queue, "TmpFiles\\00000002 mld.vnt");
    std::vector<std::string> seen;
    EXPECT_EQ(ReceivePump::Drain(queue, [&](const std::string& p) { seen.push_back(p); }), 2);
    EXPECT_EQ(seen, (std::vector<std::string>{"TmpFiles\\00000001 pb.vcf", "TmpFiles\\00000002 mld.vnt"}));
    EXPECT_EQ(queue.Count(), 0);
}

TEST_F(ReceivePumpTest, NoImporterStillEmptiesTheQueue) {
    ByteList queue;
    ReceivePump::Notify(queue, "TmpFiles\\00000001 pb.vcf");
    EXPECT_EQ(ReceivePump::Drain(queue, nullptr), 0);
    EXPECT_EQ(queue.Head(), nullptr);
}

TEST_F(ReceivePumpTest, UnterminatedNoticeIsReadWithinItsBlock) {
    ByteList queue;
    std::string block(260, 'x');
    queue.AddCopy(1, 260, block.data());
    std::string seen;
    ReceivePump::Drain(queue, [&](const std::string& p) { seen = p; });
    EXPECT_EQ(seen.size(), 260u);
}

TEST_F(ReceivePumpTest, TakenFilesNeverOverwriteOnesWaitingForImport) {
    clock::SetForTesting([] { return std::int64_t{0x4a1b2c3d}; }, [] { return 0u; });
    test::WriteFileBytes("outside/telecom_pb.vcf", "first");
    const auto a = ReceivePump::CopyIntoTmpFiles((Home() / "outside/telecom_pb.vcf").string());
    ASSERT_TRUE(a);
    EXPECT_EQ(*a, "TmpFiles\\4a1b2c3d telecom_pb.vcf");
    test::WriteFileBytes("outside/telecom_pb.vcf", "second");
    const auto b = ReceivePump::CopyIntoTmpFiles("outside\\telecom_pb.vcf");
    ASSERT_TRUE(b);
    EXPECT_EQ(*b, "TmpFiles\\4a1b2c3e telecom_pb.vcf");
    EXPECT_EQ(test::ReadFileBytes("TmpFiles/4a1b2c3d telecom_pb.vcf"), "first");
    EXPECT_EQ(test::ReadFileBytes("TmpFiles/4a1b2c3e telecom_pb.vcf"), "second");
    EXPECT_FALSE(ReceivePump::CopyIntoTmpFiles("outside\\missing.vcf"));
    EXPECT_FALSE(ReceivePump::CopyIntoTmpFiles("outside\\"));
}

}  // namespace
}  // namespace sorvanto

// An object built for a model and pushed back by that model's handset imports as the item it
// was built from, wherever the model's importer takes the name the builder sends under.
#include <string>

#include <gtest/gtest.h>

#include "formats/address_send_job.h"
#include "formats/bookmark_send_job.h"
#include "formats/camera_picture_send_job.h"
#include "formats/importer_for_model.h"
#include "formats/mail_send_job.h"
#include "formats/melody_send_job.h"
#include "formats/standby_picture_send_job.h"
#include "import_test_sink.h"
#include "platform/fs.h"
#include "support/temp_home.h"

namespace sorvanto {
namespace {

using test::DataPath;
using test::ReadFileBytes;

std::string Input(const std::string& name) { return DataPath("send/input/" + name).string(); }

class SendRoundTripTest : public test::TempHome {
protected:
    // Imports a built object as the model's handset would push it back under that name.
    std::vector<test::SinkCall> Import(int model, const std::string& received_name, const std::string& built) {
        test::RecordingSink sink;
        auto importer = ImporterForModel(model, sink);
        EXPECT_TRUE(importer);
        if (importer) importer->Import(test::Receive(received_name, ReadFileBytes(fs::NativePath(built))));
        return sink.calls;
    }
};

TEST_F(SendRoundTripTest, AddressEntryBuildsAgainIntoTheSameVcard) {
    for (int model : {0, 1, 4}) {
        SCOPED_TRACE(model);
        AddressSendJob job(model, 0);
        std::string name;
        ASSERT_EQ(job.BuildAddress(Input("full.adr"), "first.tmp", name), 1);
        const auto calls = Import(model, name, "first.tmp");
        ASSERT_EQ(calls.size(), 1u);
        ASSERT_EQ(calls[0].op, "address");
        test::WriteFileBytes(Home() / "imported.adr", calls[0].bytes);
        ASSERT_EQ(job.BuildAddress("imported.adr", "second.tmp", name), 1);
        EXPECT_EQ(ReadFileBytes(Home() / "second.tmp"), ReadFileBytes(Home() / "first.tmp"));
    }
}

TEST_F(SendRoundTripTest, WholeBookSplitsBackIntoItsEntries) {
    for (int model : {0, 1, 2, 4}) {
        SCOPED_TRACE(model);
        AddressSendJob job(model, 1);
        std::string name;
        const char* entries[] = {"full.adr", "bare.adr"};
        std::string singles[2];
        for (int i = 0; i < 2; ++i) {
            ASSERT_EQ(job.BuildAddress(Input(entries[i]), "saddr.tmp", name), 1);
            singles[i] = ReadFileBytes(Home() / "saddr.tmp");
            ASSERT_EQ(job.AddToCollection(i, "saddr.tmp", "saddr_all.tmp", name), 1);
        }
        // The server stores "telecom/pb.vcf" with its separator made harmless.
        const auto calls = Import(model, "telecom_pb.vcf", "saddr_all.tmp");
        // The dummy entry comes back as an entry of its own, as the handset's book would.
        ASSERT_EQ(calls.size(), 3u);
        for (int i = 0; i < 2; ++i) {
            test::WriteFileBytes(Home() / "imported.adr", calls[i + 1].bytes);
            ASSERT_EQ(job.BuildAddress("imported.adr", "again.tmp", name), 1);
            EXPECT_EQ(ReadFileBytes(Home() / "again.tmp"), singles[i]) << i;
        }
    }
}

TEST_F(SendRoundTripTest, MelodyComesBackByteForByte) {
    const std::string mld = ReadFileBytes(Input("melody10k.mld"));
    for (int model : {0, 1, 2, 4, 7, 8}) {
        SCOPED_TRACE(model);
        MelodySendJob job(model);
        std::string name;
        ASSERT_EQ(job.BuildMelody(Input("melody10k.mld"), "t", "smld.tmp", name), 1);
        const auto calls = Import(model, name, "smld.tmp");
        ASSERT_EQ(calls.size(), 1u);
        EXPECT_EQ(calls[0].op, "melody");
        EXPECT_EQ(calls[0].bytes, mld);
    }
}

TEST_F(SendRoundTripTest, StandbyPictureComesBackAsTheSameFile) {
    std::string name;
    StandbyPictureSendJob p504(1);
    ASSERT_EQ(p504.BuildStandbyPicture(Input("standby_wide.bmp"), "t", 0, 0, "smga.tmp", name), 1);
    auto calls = Import(1, name, "smga.tmp");
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].op, "standby");
    EXPECT_EQ(calls[0].bytes, ReadFileBytes(Input("standby_wide.bmp")));

    for (int model : {2, 7, 8}) {
        SCOPED_TRACE(model);
        StandbyPictureSendJob nec(model);
        ASSERT_EQ(nec.BuildStandbyPicture(Input("picture.jpg"), "t", 1, 0, "smga.tmp", name), 1);
        calls = Import(model, name, "smga.tmp");
        ASSERT_EQ(calls.size(), 1u);
        EXPECT_EQ(calls[0].op, "standby");
        EXPECT_EQ(calls[0].bytes, ReadFileBytes(Input("picture.jpg")));
    }
}

TEST_F(SendRoundTripTest, BookmarkKeepsTitleAndUrl) {
    const std::string title = "\x93\x56\x8b\x43\x97\x5c\x95\xf1";
    const std::string url = "http://example.jp/i/weather?a=1&b=2";
    for (int model : {0, 1, 4}) {
        SCOPED_TRACE(model);
        BookmarkSendJob job(model, 0);
        std::string name;
        ASSERT_EQ(job.BuildBookmark(title, url, "sbmk.tmp", name), 1);
        const auto calls = Import(model, name, "sbmk.tmp");
        ASSERT_EQ(calls.size(), 1u);
        EXPECT_EQ(calls[0].title, title);
        EXPECT_EQ(calls[0].text, url);
    }
}

TEST_F(SendRoundTripTest, QuotedPrintableMailKeepsItsTexts) {
    const std::string subject = "\x8c\x8f\x96\xbc";
    const std::string body = "line one\r\nline two =3D";
    struct Case {
        int model, mailbox;
        const char* op;
    } cases[] = {{0, 0, "sent"}, {0, 2, "outbox"}, {0, 1, "received"}, {1, 0, "sent"}, {1, 2, "outbox"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.model) + "/" + std::to_string(c.mailbox));
        MailSendJob job(c.model, c.mailbox, 0);
        std::string name;
        const bool received = c.mailbox == 1;
        ASSERT_EQ(job.BuildMail(received ? "taro@example.jp" : "", received ? "" : "hanako@example.jp", subject,
                                body, 0, "smail.tmp", name),
                  1);
        const auto calls = Import(c.model, name, "smail.tmp");
        ASSERT_EQ(calls.size(), 1u);
        EXPECT_EQ(calls[0].op, c.op);
        // Mail text file: sender, recipient, subject, date, attachment flag, body.
        const std::string expected_head = std::string(received ? "taro@example.jp\n\n" : "\nhanako@example.jp\n") +
                                          subject + "\n";
        EXPECT_EQ(calls[0].bytes.substr(0, expected_head.size()), expected_head);
        EXPECT_NE(calls[0].bytes.find("\n0\n" + body), std::string::npos) << calls[0].bytes;
    }
}

TEST_F(SendRoundTripTest, CameraPictureComesBackWithItsTitle) {
    const std::string jpeg = ReadFileBytes(Input("picture.jpg"));
    for (int model : {1, 2, 4, 7, 8}) {
        SCOPED_TRACE(model);
        CameraPictureSendJob job(model);
        std::string name;
        ASSERT_EQ(job.BuildCameraPicture(Input("picture.jpg"), "Cat", 120, 160, 278, 1, "spic.tmp", name), 1);
        const auto calls = Import(model, name, "spic.tmp");
        ASSERT_EQ(calls.size(), 1u);
        EXPECT_EQ(calls[0].op, "camera");
        EXPECT_EQ(calls[0].bytes, jpeg);
        // The P504i(S) form carries no title; the importer then names the picture itself.
        EXPECT_EQ(calls[0].title, model == 1 ? "MyPic.jpg" : "Cat");
    }
}

}  // namespace
}  // namespace sorvanto

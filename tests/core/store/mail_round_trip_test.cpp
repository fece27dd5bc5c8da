// A mail the handset pushed, stored, built again from the store for the same model and pushed
// back is stored as the same mail: the same texts, attachment and box, and the same body bytes
// in its mail file. The stored body is what the builder encodes, so it must be read as stored.
#include <gtest/gtest.h>

#include "formats/importer_for_model.h"
#include "formats/mail_send_job.h"
#include "store/category_stores.h"
#include "store/receive_pump.h"
#include "store/store_import_sink.h"
#include "store_fixture.h"

namespace sorvanto::test {
namespace {

// The mail file after its five header lines.
std::string StoredBody(const std::string& file) {
    std::size_t at = 0;
    for (int line = 0; line < 5 && at != std::string::npos; ++line) {
        at = file.find('\n', at);
        if (at != std::string::npos) ++at;
    }
    return at == std::string::npos ? std::string() : file.substr(at);
}

class MailRoundTripTest : public StoreTest {
protected:
    void SetUp() override {
        StoreTest::SetUp();
        FreezeClock(1073001907);
    }
    // Imports a file as the model's handset would push it under that object name.
    static void Push(ObjectImporter& importer, StoreImportSink& sink, const std::string& object_name,
                     const std::string& bytes) {
        std::string name = object_name;
        for (char& c : name)
            if (c == '/') c = '_';
        std::filesystem::create_directories("TmpFiles");
        WriteFileBytes(std::filesystem::path("TmpFiles") / ("4a1b2c3d " + name), bytes);
        sink.BeginBatch();
        importer.Import("TmpFiles\\4a1b2c3d " + name);
        sink.EndBatch();
    }
};

// Only the P503i(S) and P504i(S) read the object the builder writes as they push their own
// (quoted-printable, "From:" without a blank). The 8-bit form the other models are sent is taken
// by the handset and pushed back in its own shape ("From: "), which their importers expect.
TEST_F(MailRoundTripTest, QuotedPrintableFamiliesGetTheirMailBackUnchanged) {
    const std::pair<const char*, int> families[] = {{"family0", 0}, {"family1", 1}};
    for (const auto& [folder, model] : families) {
        for (const char* sample : {"inmsg.vmg", "outmsg.vmg", "sentmsg.vmg"}) {
            SCOPED_TRACE(std::string(folder) + "/" + sample);
            for (const auto& entry : std::filesystem::directory_iterator(Home())) std::filesystem::remove_all(entry);
            CategoryStores stores;
            stores.LoadAll();
            StoreImportSink sink(stores);
            auto importer = ImporterForModel(model, sink);
            ASSERT_TRUE(importer);
            const auto source = std::filesystem::path(SORVANTO_SOURCE_DIR) / "data" / "samples" / folder / sample;
            Push(*importer, sink, sample, ReadFileBytes(source));
            const bool received = stores.in_mail.Count() == 1;
            MailStore& store = received ? stores.in_mail : stores.out_mail;
            ASSERT_EQ(store.Count(), 1);
            const MailItem first = *store.At(0);

            // The box the mail window sends a stored mail to.
            const int mailbox = received ? (first.status ? 3 : 1) : (first.status ? 0 : 2);
            MailSendJob job(model, mailbox, 0);
            std::string name;
            ASSERT_EQ(job.BuildMail(received ? first.from_or_to : "", received ? "" : first.from_or_to,
                                    first.subject, first.body, first.mail_date, "smail.tmp", name),
                      1);
            Push(*importer, sink, name, Read("smail.tmp"));
            ASSERT_EQ(store.Count(), 2) << name;
            const MailItem& again = *store.At(1);
            EXPECT_EQ(again.from_or_to, first.from_or_to);
            EXPECT_EQ(again.subject, first.subject);
            EXPECT_EQ(again.attachment, first.attachment);
            EXPECT_EQ(again.status, first.status);
            EXPECT_EQ(again.body, first.body);
            EXPECT_EQ(StoredBody(Read(again.path)), StoredBody(Read(first.path)));
        }
    }
}

}  // namespace
}  // namespace sorvanto::test

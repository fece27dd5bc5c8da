#include <algorithm>
#include <filesystem>
#include <map>

#include <gtest/gtest.h>

#include "common/sjis.h"
#include "formats/importer_for_model.h"
#include "import_test_sink.h"

namespace sorvanto::test {
namespace {

namespace stdfs = std::filesystem;

struct Family {
    const char* folder;
    int model;
    std::map<std::string, std::vector<std::string>> expected;  // sink calls per sample file
};

const std::vector<std::string> kBookOfThree = {"address", "address", "address"};

const std::vector<Family> kFamilies = {
    {"family0", 0,
     {{"pb.vcf", {"address"}}, {"telecom_pb.vcf", kBookOfThree}, {"bmk.vnt", {"bookmark"}},
      {"bm.url", {"bookmark"}}, {"mld.vnt", {"melody"}}, {"telecom_bm.url", {"bookmark", "bookmark"}},
      {"inmsg.vmg", {"received"}}, {"sentmsg.vmg", {"sent"}}, {"outmsg.vmg", {"outbox"}},
      {"telecom_inmsg.vmg", {"received", "received"}}, {"telecom_sentmsg.vmg", {"sent"}},
      {"telecom_outmsg.vmg", {"outbox"}}}},
    {"family1", 1,
     {{"pb.vcf", {"address"}}, {"telecom_pb.vcf", kBookOfThree}, {"bm.url", {"bookmark"}},
      {"mld.vnt", {"melody"}}, {"telecom_bm.url", {"bookmark", "bookmark"}}, {"inmsg.vmg", {"received"}},
      {"sentmsg.vmg", {"sent"}}, {"outmsg.vmg", {"outbox"}}, {"telecom_inmsg.vmg", {"received", "received"}},
      {"telecom_sentmsg.vmg", {"sent"}}, {"telecom_outmsg.vmg", {"outbox"}}, {"scln.vnt", {"standby"}},
      {"pic.vnt", {"camera"}}, {"mypic.vnt", {"camera"}}}},
    {"nec", 2,
     {{"nec_pb.vcf", {"address"}}, {"telecom_pb.vcf", kBookOfThree}, {"nec_bm.url", {"bookmark"}},
      {"nec_mld.vnt", {"melody"}}, {"telecom_bm.url", {"bookmark", "bookmark"}}, {"nec_imsg.vmg", {"received"}},
      {"nec_smsg.vmg", {"sent"}}, {"nec_omsg.vmg", {"outbox"}}, {"telecom_inmsg.vmg", {"received", "received"}},
      {"telecom_sentmsg.vmg", {"sent"}}, {"telecom_outmsg.vmg", {"outbox"}}, {"nec_img.vnt", {"standby"}},
      {"mypic.vnt", {"camera"}}}},
    {"family4", 4,
     {{"pb.vcf", {"address"}}, {"telecom_pb.vcf", kBookOfThree}, {"bm.url", {"bookmark"}},
      {"mld.vnt", {"melody"}}, {"telecom_bm.url", {"bookmark", "bookmark"}}, {"inmsg.vmg", {"received"}},
      {"sentmsg.vmg", {"sent"}}, {"outmsg.vmg", {"outbox"}}, {"telecom_inmsg.vmg", {"received", "received"}},
      {"telecom_sentmsg.vmg", {"sent"}}, {"telecom_outmsg.vmg", {"outbox"}}, {"img.vnt", {"camera"}},
      {"pic.vnt", {"camera"}}, {"mypic.vnt", {"camera"}}}},
};

class SampleImport : public TempHome {};

// Every sample of every family imports cleanly, with the sink calls its object stands for, and
// hands over data the store accepts (MLD files, pictures, address files with counts, mail files
// with all five header lines).
TEST_F(SampleImport, EverySampleImportsWithItsSinkCalls) {
    for (const Family& family : kFamilies) {
        const stdfs::path folder = stdfs::path(SORVANTO_SOURCE_DIR) / "data" / "samples" / family.folder;
        std::vector<std::string> names;
        for (const auto& e : stdfs::directory_iterator(folder)) names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        ASSERT_EQ(names.size(), family.expected.size()) << family.folder;
        for (const std::string& name : names) {
            SCOPED_TRACE(std::string(family.folder) + "/" + name);
            ASSERT_TRUE(family.expected.count(name));
            RecordingSink sink;
            auto importer = ImporterForModel(family.model, sink);
            EXPECT_EQ(importer->Import(Receive(name, ReadFileBytes(folder / name))), 2);
            EXPECT_EQ(sink.Ops(), family.expected.at(name));
            EXPECT_FALSE(StillReceived(name));
            EXPECT_TRUE(Leftovers().empty());
            for (const SinkCall& call : sink.calls) {
                if (call.op == "melody") EXPECT_EQ(call.bytes.substr(0, 4), "melo");
                if (call.op == "standby" || call.op == "camera") {
                    const std::string head = call.bytes.substr(0, 3);
                    EXPECT_TRUE(head == "\xFF\xD8\xFF" || head == "GIF" || call.bytes.substr(0, 2) == "BM");
                }
                if (call.op == "address") EXPECT_EQ(IniPairs(call.bytes).back().first, "MailCnt");
                if (call.op == "bookmark") EXPECT_EQ(call.text.substr(0, 7), "http://");
                if (call.op == "received" || call.op == "sent" || call.op == "outbox") {
                    std::vector<std::string> head;
                    std::size_t at = 0;
                    for (int line = 0; line < 5 && at != std::string::npos; ++line) {
                        const std::size_t lf = call.bytes.find('\n', at);
                        head.push_back(call.bytes.substr(at, lf - at));
                        at = lf == std::string::npos ? lf : lf + 1;
                    }
                    ASSERT_EQ(head.size(), 5u);
                    EXPECT_NE(head[0].find('@'), std::string::npos);  // sender
                    EXPECT_NE(head[1].find('@'), std::string::npos);  // recipients
                    EXPECT_FALSE(head[2].empty());                     // subject
                    EXPECT_EQ(head[3], "1073001907");
                    EXPECT_EQ(head[4], call.op == "outbox" ? "1" : "0");
                }
            }
        }
    }
}

TEST_F(SampleImport, OutboxSamplesCarryTheirAttachedMelody) {
    for (const auto& [folder, model, name] : {std::tuple{"family0", 0, "outmsg.vmg"}, {"nec", 2, "nec_omsg.vmg"}}) {
        RecordingSink sink;
        ImporterForModel(model, sink)->Import(
            Receive(name, ReadFileBytes(stdfs::path(SORVANTO_SOURCE_DIR) / "data" / "samples" / folder / name)));
        ASSERT_EQ(sink.calls.size(), 1u) << folder;
        const std::string& mail = sink.calls[0].bytes;
        EXPECT_NE(mail.find("\n1073001907\n1\n"), std::string::npos) << folder;
        EXPECT_NE(mail.find("\r\n--B:M\r\nbWVsbw"), std::string::npos) << folder;
    }
}

}  // namespace
}  // namespace sorvanto::test

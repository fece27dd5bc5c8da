// sorvanto-cli send against the handset emulator on loopback: real binaries, free ports, a
// fresh working folder per test.
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "support/process.h"
#include "support/temp_home.h"

namespace sorvanto {
namespace {

namespace stdfs = std::filesystem;
using test::DataPath;
using test::FreePort;
using test::ReadFileBytes;
using test::Spawn;
using test::WriteFileBytes;

struct Result {
    int exit_code = -1;
    std::string out;
};

class SendCliTest : public test::TempHome {
protected:
    void SetUp() override {
        TempHome::SetUp();
        home_ = Home() / "home";
        out_ = Home() / "handset";
        stdfs::create_directories(home_);
        handset_port_ = FreePort();
        WriteSettings("0000");
        MakeStore();
    }
    void TearDown() override {
        StopHandset();
        TempHome::TearDown();
    }

    void WriteSettings(const std::string& passcode, int port = 0) {
        WriteFileBytes(home_ / "Sorvanto.ini", "[System]\r\nModel=1\r\n[Link]\r\nTransport=tcp\r\nListenPort=" +
                                                   std::to_string(FreePort()) + "\r\nPeers=Handset@127.0.0.1:" +
                                                   std::to_string(port ? port : handset_port_) +
                                                   "\r\nPasscode=" + passcode + "\r\n");
    }

    // One item of every category (two address entries), with their data files.
    void MakeStore() {
        auto copy = [&](const std::string& input, const std::string& to) {
            WriteFileBytes(home_ / to, ReadFileBytes(DataPath("send/input/" + input)));
        };
        copy("melody10k.mld", "Melody/0000000001");
        WriteFileBytes(home_ / "mldfile.ini",
                       "[System]\r\nCount=1\r\n[Item0]\r\nTitle=Spring\r\nByte=10240\r\nComment=\r\nSetTime=0\r\n"
                       "EntryTime=1073001907\r\nFlag=1\r\nPath=Melody\\0000000001\r\n");
        copy("standby16.bmp", "Picture/0000000002");
        WriteFileBytes(home_ / "picture.ini",
                       "[System]\r\nCount=1\r\n[Item0]\r\nTitle=Sunset\r\nByte=90\r\nSizeX=4\r\nSizeY=3\r\nType=0\r\n"
                       "Comment=\r\nSetTime=0\r\nEntryTime=1073001907\r\nFlag=1\r\nPath=Picture\\0000000002\r\n");
        copy("picture.jpg", "MyPic/0000000003");
        WriteFileBytes(home_ / "MyPic.ini",
                       "[System]\r\nCount=1\r\n[Item0]\r\nTitle=Cat\r\nByte=278\r\nSizeX=120\r\nSizeY=160\r\nType=1\r\n"
                       "Comment=\r\nSetTime=0\r\nEntryTime=1073001907\r\nFlag=1\r\nPath=MyPic\\0000000003\r\n");
        WriteFileBytes(home_ / "bookmk.ini",
                       "[System]\r\nCount=1\r\n[Item0]\r\nTitle=Weather\r\nAddress=http://example.jp/w\r\n"
                       "Comment=\r\nSetTime=0\r\nEntryTime=1073001907\r\nFlag=1\r\n");
        WriteFileBytes(home_ / "OutMail/0000000004", "\nhanako@example.jp\nHello\n1073001907\n0\nsee you\r\nbye");
        WriteFileBytes(home_ / "outmail.ini",
                       "[System]\r\nCount=1\r\n[Item0]\r\nFile=OutMail\\0000000004\r\nSetTime=0\r\n"
                       "EntryTime=1073001907\r\nFlag=1\r\nStatus=1\r\n");
        WriteFileBytes(home_ / "InMail/0000000005", "taro@example.jp\n\nHi\n1073001907\n0\nhello");
        WriteFileBytes(home_ / "inmail.ini",
                       "[System]\r\nCount=1\r\n[Item0]\r\nFile=InMail\\0000000005\r\nSetTime=0\r\n"
                       "EntryTime=1073001907\r\nFlag=1\r\nStatus=0\r\n");
        copy("full.adr", "Address/0000000006");
        copy("bare.adr", "Address/0000000007");
        WriteFileBytes(home_ / "address.ini",
                       "[System]\r\nCount=2\r\n[Item0]\r\nFile=Address\\0000000006\r\nSetTime=0\r\n"
                       "EntryTime=1073001907\r\nFlag=1\r\n[Item1]\r\nFile=Address\\0000000007\r\nSetTime=0\r\n"
                       "EntryTime=1073001907\r\nFlag=1\r\n");
    }

    void StartHandset(std::vector<std::string> extra = {}) {
        std::vector<std::string> argv = {SORVANTO_HANDSET, "serve", "--listen",
                                         "127.0.0.1:" + std::to_string(handset_port_), "--out", out_.string(),
                                         "--once"};
        argv.insert(argv.end(), extra.begin(), extra.end());
        handset_log_ = Home() / "handset.log";
        handset_ = Spawn(argv, handset_log_);
        ASSERT_GT(handset_, 0);
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (ReadFileBytes(handset_log_).find("LISTENING") == std::string::npos) {
            ASSERT_LT(std::chrono::steady_clock::now(), end) << "the emulator did not start";
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }
    void StopHandset() {
        if (handset_ <= 0) return;
        RequestStop(handset_);
        test::WaitExit(handset_, 10000);
        handset_ = -1;
    }
    std::string HandsetLog() const { return ReadFileBytes(handset_log_); }

    Result Cli(std::vector<std::string> args) {
        std::vector<std::string> argv = {SORVANTO_CLI, "--home", home_.string()};
        argv.insert(argv.end(), args.begin(), args.end());
        const stdfs::path out = Home() / "cli.out";
        const test::Pid pid = Spawn(argv, out);
        Result r;
        if (pid > 0) r.exit_code = WaitProcess(pid, -1).value_or(-1);
        r.out = ReadFileBytes(out);
        return r;
    }

    // No scratch object of any category is left in the working folder.
    void ExpectNoScratchFiles() const {
        for (const char* f : {"saddr.tmp", "saddr_all.tmp", "sbmk.tmp", "smga.tmp", "simail.tmp", "somail.tmp",
                              "smld.tmp", "spic.tmp"})
            EXPECT_FALSE(stdfs::exists(home_ / f)) << f;
    }

    stdfs::path home_, out_, handset_log_;
    int handset_port_ = 0;
    test::Pid handset_ = -1;
};

// The mail's date line carries the time of the build, which may tick between two builds.
std::string WithoutDateLine(std::string object) {
    const std::size_t at = object.find("\r\nDate:");
    if (at != std::string::npos) object.erase(at, object.find("\r\n", at + 2) - at);
    return object;
}

TEST_F(SendCliTest, EveryCategoryArrivesAsBuilt) {
    struct Case {
        const char* category;
        const char* model;
        const char* stored;  // the object name as the emulator stores it
        const char* line;
    } cases[] = {
        {"melody", "1", "mld.vnt", "着メロを送信しました (Handset)\n"},
        {"picture", "1", "scln.vnt", "待ち受けを送信しました (Handset)\n"},
        {"bookmark", "8", ".url", "ブックマークを送信しました (Handset)\n"},
        {"outmail", "4", "outmsg.vmg", "送信メールを送信しました (Handset)\n"},
        {"inmail", "2", "_.vmg", "受信メールを送信しました (Handset)\n"},
        {"address", "0", "pb.vcf", "アドレス帳を送信しました (Handset)\n"},
        {"mypic", "8", "mypic.vnt", "カメラ画像を送信しました (Handset)\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.category);
        const stdfs::path built = Home() / (std::string(c.category) + ".built");
        const Result build = Cli({"--model", c.model, "send", c.category, "0", "--out", built.string()});
        ASSERT_EQ(build.exit_code, 0) << build.out;
        ASSERT_GT(stdfs::file_size(built), 0u);

        StartHandset();
        const Result sent = Cli({"--model", c.model, "send", c.category, "0"});
        StopHandset();
        EXPECT_EQ(sent.exit_code, 0);
        EXPECT_EQ(sent.out, c.line);
        EXPECT_EQ(WithoutDateLine(ReadFileBytes(out_ / c.stored)), WithoutDateLine(ReadFileBytes(built)));
        ExpectNoScratchFiles();
    }
}

TEST_F(SendCliTest, ImportedMailGoesBackWithItsLineEnds) {
    // A fresh folder that holds only the mail the P503i(S) pushed: its body carries a melody
    // after the boundary, with the handset's CR LF.
    home_ = Home() / "fresh";
    stdfs::create_directories(home_);
    WriteSettings("0000");
    const std::string sample = (stdfs::path(SORVANTO_SOURCE_DIR) / "data/samples/family0/outmsg.vmg").string();
    ASSERT_EQ(Cli({"--model", "0", "import", sample}).exit_code, 0);
    const stdfs::path built = Home() / "x.vmg";
    const Result r = Cli({"--model", "0", "send", "outmail", "0", "--out", built.string()});
    ASSERT_EQ(r.exit_code, 0) << r.out;
    const std::string object = ReadFileBytes(built);
    EXPECT_NE(object.find("=0D=0A--B:M=0D=0A"), std::string::npos) << object;
}

TEST_F(SendCliTest, WholeBookPassesTheDigestChallenge) {
    WriteSettings("4321");
    StartHandset({"--challenge", "--passcode", "4321"});
    const Result r = Cli({"--model", "2", "send", "address", "0,1"});
    StopHandset();
    EXPECT_EQ(r.exit_code, 0);
    EXPECT_EQ(r.out, "アドレス帳(複数件送信)を送信しました (Handset)\n");
    const std::string log = HandsetLog();
    // Our challenge goes out with the first CONNECT; the handset's is answered with the digest.
    EXPECT_NE(log.find("CONNECT length=28 version=0x10 max=512 challenge -> 0xC1"), std::string::npos) << log;
    EXPECT_NE(log.find("digest=ok -> 0xA0"), std::string::npos) << log;
    EXPECT_EQ(ReadFileBytes(out_ / "telecom_pb.vcf"), ReadFileBytes(DataPath("send/expected/book_n504.vcf")));
    ExpectNoScratchFiles();
}

TEST_F(SendCliTest, WrongPasscodeIsAFailedSend) {
    StartHandset({"--challenge", "--passcode", "9999"});
    const Result r = Cli({"send", "bookmark", "0"});
    StopHandset();
    EXPECT_EQ(r.exit_code, 1);
    EXPECT_EQ(r.out, "送信に失敗しました\n");
    ExpectNoScratchFiles();
}

TEST_F(SendCliTest, RefusedLastPutIsAFailedSend) {
    StartHandset({"--refuse-last-put"});
    const Result r = Cli({"send", "melody", "0"});
    StopHandset();
    EXPECT_EQ(r.exit_code, 1);
    EXPECT_EQ(r.out, "送信に失敗しました\n");
    EXPECT_EQ(HandsetLog().find("DISCONNECT"), std::string::npos);
    EXPECT_FALSE(stdfs::exists(out_ / "mld.vnt"));
    ExpectNoScratchFiles();
}

TEST_F(SendCliTest, NoHandsetListening) {
    const Result r = Cli({"send", "outmail", "0"});
    EXPECT_EQ(r.exit_code, 1);
    EXPECT_EQ(r.out, "ターゲットが範囲内に確認できません\n");
    ExpectNoScratchFiles();
}

TEST_F(SendCliTest, ObjectThatCannotBeBuiltIsNotSent) {
    StartHandset();
    const Result r = Cli({"--model", "0", "send", "picture", "0"});  // the P503i(S) takes no standby picture
    StopHandset();
    EXPECT_EQ(r.exit_code, 1);
    EXPECT_EQ(r.out, "送信データの作成に失敗しました\n");
    EXPECT_EQ(HandsetLog().find("CONNECT"), std::string::npos);
    ExpectNoScratchFiles();
}

TEST_F(SendCliTest, BadUsageAndMissingItems) {
    EXPECT_EQ(Cli({"send", "fax", "0"}).exit_code, 2);
    EXPECT_EQ(Cli({"send", "melody"}).exit_code, 2);
    EXPECT_EQ(Cli({"send", "melody", "0,x"}).exit_code, 2);
    EXPECT_EQ(Cli({"send", "melody", "-1"}).exit_code, 2);
    EXPECT_EQ(Cli({"send", "bookmark", "0,0"}).exit_code, 2);
    EXPECT_EQ(Cli({"send", "bookmark", "0", "--out"}).exit_code, 2);
    EXPECT_EQ(Cli({"send", "address", "0,5"}).exit_code, 1);
    ExpectNoScratchFiles();
}

}  // namespace
}  // namespace sorvanto

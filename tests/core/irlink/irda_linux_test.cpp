#include "platform/irda_linux.h"

#include <gtest/gtest.h>

#include <cstring>

#include "irlink/cancel_flag_monitor.h"
#include "irlink/obex_put_client.h"
#include "irlink/obex_server_session.h"
#include "link_test_util.h"
#include "platform/clock.h"
#include "platform/irda_link.h"
#include "scripted_irda_socket_calls.h"
#include "support/temp_home.h"

// The OBEX server and PUT client on Linux's IrDA sockets, scripted: the sessions get the results
// they get from Winsock, and the kernel receives its own address layout.
namespace sorvanto {
namespace {

using test::Bytes;
using test::Packet;
using test::ScriptedIrdaSocketCalls;
using Calls = IrdaSocketCalls;

// Linux's sockaddr_irda of a device's "OBEX" service, as the kernel receives it.
std::string LinuxObexAddress(std::initializer_list<int> device) {
    return Bytes({23, 0, 0xFF, 0}) + Bytes(device) + "OBEX" + std::string(24, '\0');
}

std::string NameHeader(const std::string& name) {
    std::string v;
    for (char c : name) v += std::string(1, '\0') + c;
    v += std::string(2, '\0');
    const int n = static_cast<int>(v.size()) + 3;
    return Bytes({0x01, n >> 8, n & 0xFF}) + v;
}

std::unique_ptr<LinkApi> LinkOn(ScriptedIrdaSocketCalls* calls) {
    return std::make_unique<IrdaLink>(std::make_unique<IrdaLinux>(std::unique_ptr<IrdaSocketCalls>(calls)));
}

const std::string kConnect = Packet(0x80, Bytes({0x10, 0x00, 0x04, 0x00}));
const std::string kConnectAnswer = Bytes({0xA0, 0x00, 0x07, 0x10, 0x00, 0x04, 0x00});

class IrdaLinuxServerTest : public test::TempHome {
protected:
    void SetUp() override {
        TempHome::SetUp();
        clock::SetForTesting([] { return std::int64_t{0x3E8A1B2C}; }, {});
        calls = new ScriptedIrdaSocketCalls;
        server = std::make_unique<ObexServerSession>(LinkOn(calls), &queue);
    }
    void TearDown() override {
        server.reset();
        clock::SetForTesting({}, {});
        TempHome::TearDown();
    }
    ByteList queue;
    ScriptedIrdaSocketCalls* calls;
    std::unique_ptr<ObexServerSession> server;
};

TEST_F(IrdaLinuxServerTest, ListensOnObexTakesAPushAndOutlivesAVanishedHandset) {
    ASSERT_EQ(server->Open(), 0);
    ASSERT_EQ(server->StartWorker(), 1);
    EXPECT_EQ(calls->Calls("socket")[0].args, (std::vector<int>{23, 1, 0}));
    ASSERT_EQ(calls->Calls("bind").size(), 1u);
    EXPECT_EQ(calls->Calls("bind")[0].bytes, LinuxObexAddress({0, 0, 0, 0}));
    EXPECT_EQ(calls->Calls("bind")[0].args, std::vector<int>{36});
    // The first handset leaves the beam in the middle of a packet, its link reset; the next
    // sends its PUT in pieces.
    calls->SetCloseErrno(Calls::kEConnReset);
    const std::string half = Packet(0x02, NameHeader("a.vcf") + Bytes({0x48, 0x00, 0x07}) + "HALF");
    calls->Far().AddIncoming(
        {{ScriptedLink::Data(kConnect), ScriptedLink::Data(half.substr(0, 9), 5), ScriptedLink::Closed(10)},
         {}});
    const std::string put = Packet(0x82, NameHeader("b.vcf") + Bytes({0x49, 0x00, 0x08}) + "WHOLE");
    calls->Far().AddIncoming({{ScriptedLink::Data(kConnect), ScriptedLink::Data(put.substr(0, 2), 5),
                               ScriptedLink::Data(put.substr(2, 10), 40),
                               ScriptedLink::Data(put.substr(12), 40), ScriptedLink::Closed(20)},
                              {}});
    ASSERT_TRUE(test::WaitFor([&] { return calls->Far().ClosedBySession(1); }));
    EXPECT_TRUE(calls->Far().ClosedBySession(0));
    EXPECT_EQ(calls->Far().Sent(0), std::vector<std::string>{kConnectAnswer});
    EXPECT_EQ(calls->Far().Sent(1), (std::vector<std::string>{kConnectAnswer, Bytes({0xA0, 0x00, 0x03})}));
    EXPECT_EQ(test::ReadFileBytes(Home() / "TmpFiles" / "3e8a1b2c b.vcf"), "WHOLE");
    EXPECT_FALSE(std::filesystem::exists(Home() / "TmpFiles" / "3e8a1b2c a.vcf"));
    EXPECT_TRUE(server->IsRunning());
}

TEST_F(IrdaLinuxServerTest, WithoutTheIrdaModuleTheFamilyIsRefusedAndNothingStays) {
    calls->FailSocket(Calls::kEAfNoSupport);
    EXPECT_EQ(server->Open(), -1);
    EXPECT_TRUE(calls->Calls("bind").empty());
    // The service held by another program is told apart.
    auto* taken = new ScriptedIrdaSocketCalls;
    taken->FailBind(Calls::kEAddrInUse);
    ObexServerSession other(LinkOn(taken), &queue);
    EXPECT_EQ(other.Open(), -2);
    EXPECT_EQ(taken->OpenSockets(), 0);
}

class FileJob : public ObexPutClient {
public:
    FileJob(int model, ScriptedIrdaSocketCalls* calls) : ObexPutClient(model, 0, LinkOn(calls)) {}
    int SendObject(const std::string* path, const std::string* name, TransferMonitor* monitor) override {
        if (!name || !SetObjectName(*name)) return -1;
        if (!path || !OpenObjectFile(*path)) return -1;
        return Transfer(monitor);
    }
};

// A handset that answers each request in two pieces; vanish_at: the request it leaves after.
struct Handset {
    int vanish_at = -1;
    int count = 0;
    std::vector<ScriptedLink::Step> operator()(const std::string& req) {
        if (count++ == vanish_at) return {ScriptedLink::Closed(5)};
        const auto op = static_cast<unsigned char>(req[0]);
        const std::string answer = op == 0x80   ? Packet(0xA0, Bytes({0x10, 0x00, 0x04, 0x00}))
                                   : op == 0x02 ? Packet(0x90, "")
                                                : Packet(0xA0, "");
        return {ScriptedLink::Data(answer.substr(0, 2), 5), ScriptedLink::Data(answer.substr(2), 30)};
    }
};

class IrdaLinuxClientTest : public test::TempHome {
protected:
    void SetUp() override {
        TempHome::SetUp();
        test::WriteFileBytes(Home() / "obj.bin", "BEGIN:VCARD\r\nEND:VCARD\r\n");
        calls = new ScriptedIrdaSocketCalls;
    }
    void TearDown() override {
        if (job)
            job.reset();
        else
            delete calls;
        TempHome::TearDown();
    }
    int Send(Handset handset = {}, int model = 0) {
        calls->Far().SetConnect(connect, {{}, handset});
        job = std::make_unique<FileJob>(model, calls);
        CancelFlagMonitor monitor(std::chrono::seconds(20));
        const std::string path = "obj.bin";
        const std::string name = "telecom/pb.vcf";
        return job->SendObject(&path, &name, &monitor);
    }
    // Sends again on a fresh scripted system (the last job's link owned the old one).
    void Fresh() {
        job.reset();
        calls = new ScriptedIrdaSocketCalls;
    }

    ScriptedLink::ConnectOutcome connect = ScriptedLink::ConnectOutcome::kAccept;
    ScriptedIrdaSocketCalls* calls;
    std::unique_ptr<FileJob> job;
};

TEST_F(IrdaLinuxClientTest, NoDeviceOneDeviceAndTheLastOfSeveral) {
    // An empty discovery log is EAGAIN to the kernel: no device, no connect.
    EXPECT_EQ(Send(), -1);
    EXPECT_EQ(calls->Calls("getsockopt")[0].args, (std::vector<int>{266, 1, IrdaLinux::kDeviceRoom}));
    EXPECT_EQ(calls->Calls("settimeout")[0].args, (std::vector<int>{21, 5000}));
    EXPECT_EQ(calls->Calls("settimeout")[1].args, (std::vector<int>{20, 5000}));
    EXPECT_TRUE(calls->Calls("connect").empty());

    Fresh();
    calls->Far().SetDevices({{{0x11, 0x22, 0x33, 0x44}, "P503i"}});
    EXPECT_EQ(Send(), 0);
    ASSERT_EQ(calls->Calls("connect").size(), 1u);
    EXPECT_EQ(calls->Calls("connect")[0].bytes, LinuxObexAddress({0x11, 0x22, 0x33, 0x44}));
    const std::string body = "BEGIN:VCARD\r\nEND:VCARD\r\n";
    const std::string first_put = Packet(
        0x02, NameHeader("telecom/pb.vcf") + Bytes({0xC3, 0, 0, 0, 24}) + Bytes({0x48, 0x00, 27}) + body);
    EXPECT_EQ(
        calls->Far().Sent(0),
        (std::vector<std::string>{Bytes({0x80, 0x00, 0x07, 0x12, 0x00, 0x02, 0x00}), first_put,
                                  Bytes({0x82, 0x00, 0x06, 0x49, 0x00, 0x03}), Bytes({0x81, 0x00, 0x03})}));
    EXPECT_GT(calls->WouldBlockReads(), 0);
    EXPECT_EQ(calls->OpenSockets(), 0);

    Fresh();
    calls->Far().SetDevices(
        {{{1, 1, 1, 1}, "N504i"}, {{2, 2, 2, 2}, "F504i"}, {{0xA0, 0xB1, 0xC2, 0xD3}, "P504i"}});
    EXPECT_EQ(Send({}, 7), 0);
    EXPECT_EQ(calls->Calls("connect")[0].bytes, LinuxObexAddress({0xA0, 0xB1, 0xC2, 0xD3}));
    std::string name;
    EXPECT_EQ(job->LastDeviceName(&name), 1);
    EXPECT_EQ(name, "P504i");
}

TEST_F(IrdaLinuxClientTest, RefusedOrNeverCompletedConnectTearsTheSocketDown) {
    calls->Far().SetDevices({{{5, 6, 7, 8}, "N505i"}});
    connect = ScriptedLink::ConnectOutcome::kRefuse;
    EXPECT_EQ(Send(), -1);
    auto teardown = [](ScriptedIrdaSocketCalls* c) {
        ASSERT_EQ(c->Calls("shutdown").size(), 1u);
        EXPECT_EQ(c->Calls("shutdown")[0].args[1], 2);
        EXPECT_EQ(c->OpenSockets(), 0);
        EXPECT_TRUE(c->Far().Sent(0).empty());
    };
    teardown(calls);
    EXPECT_EQ(calls->WaitedMs(), 0);

    Fresh();
    calls->Far().SetDevices({{{5, 6, 7, 8}, "N505i"}});
    calls->FastWaits(true);
    connect = ScriptedLink::ConnectOutcome::kNever;
    EXPECT_EQ(Send(), -1);
    EXPECT_EQ(calls->WaitedMs(), 5000);
    teardown(calls);
}

TEST_F(IrdaLinuxClientTest, HandsetThatVanishesAfterConnectingGivesMinusThree) {
    calls->Far().SetDevices({{{9, 9, 9, 9}, "P503iS"}});
    calls->SetCloseErrno(Calls::kEConnReset);
    Handset gone;
    gone.vanish_at = 1;
    EXPECT_EQ(Send(gone), -3);
    const auto sent = calls->Far().Sent(0);
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(static_cast<unsigned char>(sent[1][0]), 0x02);
    EXPECT_EQ(calls->OpenSockets(), 0);
}

// Linux's 36-byte entries in Winsock's 29-byte layout: the remote address, the name, the
// hints and the character set; only entries wholly returned, at most what the list holds.
TEST(IrdaLinuxDeviceListTest, EntriesAreMappedAndCutToWhatArrived) {
    auto entry = [](int id, const std::string& name) {
        std::string e = Bytes({0x0A, 0x0B, 0x0C, 0x0D, id, id + 1, id + 2, id + 3}) + name;
        e.resize(30, '\0');
        return e + Bytes({0x01, 0x82, 0x20, 0, 0, 0});  // charset, hints, padding
    };
    auto map = [](const std::string& in, DeviceList& list) {
        list.fill(0xEE);
        const int n =
            IrdaLinux::MapDeviceList(reinterpret_cast<const std::uint8_t*>(in.data()),
                                     static_cast<int>(in.size()), list.data(), static_cast<int>(list.size()));
        return n;
    };
    DeviceList list;
    const std::string two = Bytes({2, 0, 0, 0}) + entry(1, "A") + entry(5, std::string(22, 'N'));
    ASSERT_EQ(map(two, list), 4 + 2 * 29);
    EXPECT_EQ(DeviceCount(list), 2);
    std::uint8_t address[4];
    ASSERT_TRUE(DeviceAddress(list, 1, address));
    EXPECT_EQ(std::string(reinterpret_cast<char*>(address), 4), Bytes({5, 6, 7, 8}));
    EXPECT_EQ(DeviceName(list, 0), "A");
    EXPECT_EQ(DeviceName(list, 1), std::string(22, 'N'));
    EXPECT_EQ(std::string(reinterpret_cast<char*>(list.data()) + 4 + 26, 3), Bytes({0x82, 0x20, 0x01}));

    // A count beyond what the room let through (the kernel keeps the full count), a count of
    // thousands, a cut entry: only whole entries are taken.
    EXPECT_EQ(map(Bytes({3, 0, 0, 0}) + entry(1, "A") + entry(2, "B").substr(0, 20), list), 4 + 29);
    EXPECT_EQ(DeviceCount(list), 1);
    std::string many = Bytes({0xFF, 0xFF, 0, 0});
    for (int i = 0; i < 12; ++i) many += entry(i, "X");
    EXPECT_EQ(map(many, list), 4 + 10 * 29);
    EXPECT_EQ(DeviceCount(list), 10);
    EXPECT_EQ(map(Bytes({1, 0}), list), -1);
    // Through the table, a list with a bad count finds no device rather than a wrong one.
    auto* calls = new ScriptedIrdaSocketCalls;
    calls->SetRawDeviceList(Bytes({1, 0, 0, 0}) + entry(1, "A").substr(0, 35));
    IrdaLink link(std::make_unique<IrdaLinux>(std::unique_ptr<IrdaSocketCalls>(calls)));
    ASSERT_TRUE(link.Startup());
    const LinkSocket s = link.CreateSocket();
    ASSERT_NE(s, kNoSocket);
    ASSERT_TRUE(link.EnumerateDevices(s, list));
    EXPECT_EQ(DeviceCount(list), 0);
}

}  // namespace
}  // namespace sorvanto

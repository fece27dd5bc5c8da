#include "platform/irda_link.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>

#include "common/sjis.h"
#include "irlink/cancel_flag_monitor.h"
#include "irlink/obex_put_client.h"
#include "irlink/obex_server_session.h"
#include "link_test_util.h"
#include "platform/clock.h"
#include "scripted_irda_stack.h"
#include "support/temp_home.h"

// The OBEX server and PUT client on the IrDA link, against a scripted IrDA stack: what reaches
// the system's socket calls, byte for byte, and the sessions' results.
namespace sorvanto {
namespace {

using test::Bytes;
using test::Packet;
using test::ScriptedIrdaStack;
using Step = ScriptedLink::Step;

// The IrDA socket address of a device's "OBEX" service as the system receives it.
std::string ObexAddress(std::initializer_list<int> device) {
    return Bytes({0x1A, 0x00}) + Bytes(device) + "OBEX" + std::string(22, '\0');
}

std::string NameHeader(const std::string& name) {
    std::string v;
    for (char c : name) v += std::string(1, '\0') + c;
    v += std::string(2, '\0');
    const int n = static_cast<int>(v.size()) + 3;
    return Bytes({0x01, n >> 8, n & 0xFF}) + v;
}

std::unique_ptr<LinkApi> LinkOn(ScriptedIrdaStack* stack) {
    return std::make_unique<IrdaLink>(std::unique_ptr<IrdaStack>(stack));
}

class IrdaServerTest : public test::TempHome {
protected:
    void SetUp() override {
        TempHome::SetUp();
        clock::SetForTesting([] { return std::int64_t{0x3E8A1B2C}; }, {});
        stack = new ScriptedIrdaStack;
        server = std::make_unique<ObexServerSession>(LinkOn(stack), &queue);
    }
    void TearDown() override {
        server.reset();
        clock::SetForTesting({}, {});
        TempHome::TearDown();
    }
    int Notices() {
        int n = 0;
        queue.ForEach([&](const ByteList::Node&) { ++n; });
        return n;
    }

    ByteList queue;
    ScriptedIrdaStack* stack;
    std::unique_ptr<ObexServerSession> server;
};

const std::string kConnect = Packet(0x80, Bytes({0x10, 0x00, 0x04, 0x00}));
const std::string kConnectAnswer = Bytes({0xA0, 0x00, 0x07, 0x10, 0x00, 0x04, 0x00});

TEST_F(IrdaServerTest, ListensOnObexAndAnswersAPushByteForByte) {
    ASSERT_EQ(server->Open(), 0);
    ASSERT_EQ(server->StartWorker(), 1);
    EXPECT_EQ(stack->Calls("startup")[0].args, std::vector<int>{0x0002});
    EXPECT_EQ(stack->Calls("socket")[0].args, (std::vector<int>{26, 1, 0}));
    ASSERT_EQ(stack->Calls("bind").size(), 1u);
    EXPECT_EQ(stack->Calls("bind")[0].bytes, ObexAddress({0, 0, 0, 0}));
    EXPECT_EQ(stack->Calls("listen")[0].args, std::vector<int>{1});

    const std::string put = Packet(0x82, NameHeader("telecom/pb.vcf") + Bytes({0x49, 0x00, 0x08}) + "VCARD");
    stack->Far().AddIncoming({{ScriptedLink::Data(kConnect, 5), ScriptedLink::Data(put, 5)}, {}});
    ASSERT_TRUE(test::WaitFor([&] { return stack->Far().ClosedBySession(0); }));
    EXPECT_EQ(stack->Far().Sent(0), (std::vector<std::string>{kConnectAnswer, Bytes({0xA0, 0x00, 0x03})}));
    EXPECT_EQ(test::ReadFileBytes(Home() / "TmpFiles" / "3e8a1b2c telecom_pb.vcf"), "VCARD");
    EXPECT_EQ(Notices(), 1);

    // Accept and close on the listening socket; read and close on the connection.
    const auto selects = stack->Calls("select");
    ASSERT_EQ(selects.size(), 2u);
    EXPECT_EQ(selects[0].args[1], 0x28);
    EXPECT_EQ(selects[1].args[1], 0x21);
    EXPECT_NE(selects[0].args[0], selects[1].args[0]);
}

TEST_F(IrdaServerTest, WouldBlockReadsAndAVanishedHandsetLeaveTheServerListening) {
    ASSERT_EQ(server->Open(), 0);
    ASSERT_EQ(server->StartWorker(), 1);
    stack->SetCloseError(10054);
    // The first handset leaves the beam in the middle of a packet: no more data, no close.
    const std::string half = Packet(0x02, NameHeader("a.vcf") + Bytes({0x48, 0x00, 0x07}) + "HALF");
    stack->Far().AddIncoming({{ScriptedLink::Data(kConnect), ScriptedLink::Data(half.substr(0, 9), 5)}, {}});
    // The next sends its last PUT in pieces with pauses between them, then its link drops.
    const std::string put = Packet(0x82, NameHeader("b.vcf") + Bytes({0x49, 0x00, 0x08}) + "WHOLE");
    stack->Far().AddIncoming({{ScriptedLink::Data(kConnect), ScriptedLink::Data(put.substr(0, 2), 5),
                               ScriptedLink::Data(put.substr(2, 10), 40),
                               ScriptedLink::Data(put.substr(12), 40), ScriptedLink::Closed(20)},
                              {}});
    ASSERT_TRUE(test::WaitFor([&] { return stack->Far().ClosedBySession(1); }));
    EXPECT_TRUE(stack->Far().ClosedBySession(0));
    EXPECT_EQ(stack->Far().Sent(0), std::vector<std::string>{kConnectAnswer});
    EXPECT_EQ(stack->Far().Sent(1), (std::vector<std::string>{kConnectAnswer, Bytes({0xA0, 0x00, 0x03})}));
    // The half packet was given up after a hundred failed reads; the pauses cost a few more.
    EXPECT_GE(stack->WouldBlockReads(), 100);
    EXPECT_EQ(test::ReadFileBytes(Home() / "TmpFiles" / "3e8a1b2c b.vcf"), "WHOLE");
    EXPECT_EQ(Notices(), 1);
    EXPECT_TRUE(server->IsRunning());
}

TEST_F(IrdaServerTest, SystemWithoutIrdaOrWithTheServiceTakenCannotOpen) {
    // No IrDA protocol (no adapter, or wine): the family is refused.
    stack->FailSocket(10047);
    EXPECT_EQ(server->Open(), -1);
    EXPECT_EQ(server->OpenServer(), -1);
    EXPECT_TRUE(stack->Calls("bind").empty());
    // The infrared monitor still holds "OBEX": the socket is closed again.
    auto* taken = new ScriptedIrdaStack;
    taken->FailBind(10048);
    ObexServerSession other(LinkOn(taken), &queue);
    EXPECT_EQ(other.Open(), -2);
    EXPECT_EQ(taken->OpenSockets(), 0);
    EXPECT_TRUE(taken->Calls("listen").empty());
    // The log tells the two apart.
    EXPECT_NE(ObexServerSession::OpenFailureText(-1, true), ObexServerSession::OpenFailureText(-2, true));
    EXPECT_NE(ObexServerSession::OpenFailureText(-1, true).find(sjis::Lit("赤外線")), std::string::npos);
}

// The smallest send job: a given file under a given name.
class FileJob : public ObexPutClient {
public:
    FileJob(int model, ScriptedIrdaStack* stack) : ObexPutClient(model, 0, LinkOn(stack)) {}
    int SendObject(const std::string* path, const std::string* name, TransferMonitor* monitor) override {
        if (!name || !SetObjectName(*name)) return -1;
        if (!path || !OpenObjectFile(*path)) return -1;
        return Transfer(monitor);
    }
};

// A handset that answers each request; each answer arrives in two pieces with a pause
// between them, so the client meets reads that would block. vanish_at: the request after
// which the handset is gone (its link drops instead of an answer).
struct Handset {
    int vanish_at = -1;
    int count = 0;
    std::vector<Step> operator()(const std::string& req) {
        if (count++ == vanish_at) return {ScriptedLink::Closed(5)};
        const auto op = static_cast<unsigned char>(req[0]);
        const std::string answer = op == 0x80   ? Packet(0xA0, Bytes({0x10, 0x00, 0x04, 0x00}))
                                   : op == 0x02 ? Packet(0x90, "")
                                                : Packet(0xA0, "");
        return {ScriptedLink::Data(answer.substr(0, 2), 5), ScriptedLink::Data(answer.substr(2), 30)};
    }
};

class IrdaClientTest : public test::TempHome {
protected:
    void SetUp() override {
        TempHome::SetUp();
        test::WriteFileBytes(Home() / "obj.bin", "BEGIN:VCARD\r\nEND:VCARD\r\n");
        stack = new ScriptedIrdaStack;
    }
    void SetDevices(std::vector<std::pair<std::array<std::uint8_t, 4>, std::string>> devices) {
        stack->Far().SetDevices(std::move(devices));
    }
    int Send(Handset handset = {}, int model = 0) {
        stack->Far().SetConnect(connect, {{}, handset});
        job = std::make_unique<FileJob>(model, stack);
        CancelFlagMonitor monitor(std::chrono::seconds(20));
        const std::string path = "obj.bin";
        const std::string name = "telecom/pb.vcf";
        return job->SendObject(&path, &name, &monitor);
    }
    void TearDown() override {
        job.reset();
        TempHome::TearDown();
    }

    ScriptedLink::ConnectOutcome connect = ScriptedLink::ConnectOutcome::kAccept;
    ScriptedIrdaStack* stack;  // owned by the job's link
    std::unique_ptr<FileJob> job;
};

TEST_F(IrdaClientTest, NoDeviceInRangeEndsBeforeAnyConnect) {
    EXPECT_EQ(Send(), -1);
    EXPECT_EQ(stack->Calls("socket")[0].args, (std::vector<int>{26, 1, 0}));
    EXPECT_TRUE(stack->Calls("bind").empty());
    // Send and receive time-outs of 5000 ms, as DWORDs.
    const auto opts = stack->Calls("setsockopt");
    ASSERT_EQ(opts.size(), 2u);
    EXPECT_EQ(opts[0].args, (std::vector<int>{0xFFFF, 0x1005, 4}));
    EXPECT_EQ(opts[1].args, (std::vector<int>{0xFFFF, 0x1006, 4}));
    EXPECT_EQ(opts[0].bytes, Bytes({0x88, 0x13, 0, 0}));
    EXPECT_EQ(opts[1].bytes, Bytes({0x88, 0x13, 0, 0}));
    EXPECT_EQ(stack->Calls("select")[0].args[1], 0x31);
    // The IrLMP enumeration is offered the whole 297-byte device list.
    EXPECT_EQ(stack->Calls("getsockopt")[0].args, (std::vector<int>{255, 16, 297}));
    EXPECT_TRUE(stack->Calls("connect").empty());
    EXPECT_EQ(stack->Far().Connections(), 0);
}

TEST_F(IrdaClientTest, OneDeviceGetsTheWholeExchangeByteForByte) {
    SetDevices({{{0x11, 0x22, 0x33, 0x44}, "P503i"}});
    EXPECT_EQ(Send(), 0);
    ASSERT_EQ(stack->Calls("connect").size(), 1u);
    EXPECT_EQ(stack->Calls("connect")[0].bytes, ObexAddress({0x11, 0x22, 0x33, 0x44}));
    const std::string body = "BEGIN:VCARD\r\nEND:VCARD\r\n";
    const std::string first_put = Packet(
        0x02, NameHeader("telecom/pb.vcf") + Bytes({0xC3, 0, 0, 0, 24}) + Bytes({0x48, 0x00, 27}) + body);
    EXPECT_EQ(
        stack->Far().Sent(0),
        (std::vector<std::string>{Bytes({0x80, 0x00, 0x07, 0x12, 0x00, 0x02, 0x00}), first_put,
                                  Bytes({0x82, 0x00, 0x06, 0x49, 0x00, 0x03}), Bytes({0x81, 0x00, 0x03})}));
    EXPECT_GT(stack->WouldBlockReads(), 0);
    // Read, connect and close while connecting; read and close once connected.
    const auto selects = stack->Calls("select");
    ASSERT_GE(selects.size(), 2u);
    EXPECT_EQ(selects[0].args[1], 0x31);
    EXPECT_EQ(selects[1].args[1], 0x21);
    EXPECT_EQ(stack->OpenSockets(), 0);
}

TEST_F(IrdaClientTest, OfSeveralDevicesTheLastIsChosen) {
    SetDevices({{{1, 1, 1, 1}, "N504i"}, {{2, 2, 2, 2}, "F504i"}, {{0xA0, 0xB1, 0xC2, 0xD3}, "P504i"}});
    EXPECT_EQ(Send({}, 7), 0);
    EXPECT_EQ(stack->Calls("connect")[0].bytes, ObexAddress({0xA0, 0xB1, 0xC2, 0xD3}));
    std::string name;
    EXPECT_EQ(job->LastDeviceName(&name), 1);
    EXPECT_EQ(name, "P504i");
    EXPECT_EQ(stack->Far().Sent(0)[0], Bytes({0x80, 0x00, 0x07, 0x10, 0x00, 0x02, 0x00}));
}

TEST_F(IrdaClientTest, RefusedOrNeverCompletedConnectTearsTheSocketDown) {
    SetDevices({{{5, 6, 7, 8}, "N505i"}});
    connect = ScriptedLink::ConnectOutcome::kRefuse;
    EXPECT_EQ(Send(), -1);
    auto teardown = [](ScriptedIrdaStack* s) {
        const auto selects = s->Calls("select");
        ASSERT_FALSE(selects.empty());
        EXPECT_EQ(selects.back().args[1], 0);  // events switched off first
        ASSERT_EQ(s->Calls("shutdown").size(), 1u);
        EXPECT_EQ(s->Calls("shutdown")[0].args[1], 2);
        EXPECT_EQ(s->OpenSockets(), 0);
        EXPECT_TRUE(s->Far().Sent(0).empty());
    };
    teardown(stack);
    EXPECT_EQ(stack->WaitedMs(), 0);

    // A connect that never completes is given fifty waits of 100 ms.
    stack = new ScriptedIrdaStack;
    SetDevices({{{5, 6, 7, 8}, "N505i"}});
    stack->FastWaits(true);
    connect = ScriptedLink::ConnectOutcome::kNever;
    EXPECT_EQ(Send(), -1);
    EXPECT_EQ(stack->WaitedMs(), 5000);
    teardown(stack);
}

TEST_F(IrdaClientTest, HandsetThatVanishesAfterConnectingGivesMinusThree) {
    SetDevices({{{9, 9, 9, 9}, "P503iS"}});
    stack->SetCloseError(10054);
    Handset gone;
    gone.vanish_at = 1;  // answers the CONNECT, then leaves during the first PUT
    EXPECT_EQ(Send(gone), -3);
    const auto sent = stack->Far().Sent(0);
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(static_cast<unsigned char>(sent[1][0]), 0x02);
    EXPECT_EQ(stack->OpenSockets(), 0);
}

TEST_F(IrdaClientTest, DeviceListsThatDoNotAddUpFindNoDevice) {
    auto entry = [](int id, const std::string& name) {
        std::string e = Bytes({id, id, id, id}) + name;
        e.resize(29, '\0');
        return e;
    };
    const std::string two = Bytes({2, 0, 0, 0}) + entry(1, "A") + entry(2, "B");
    DeviceList list{};
    ASSERT_TRUE(IrdaLink::ReadDeviceList(reinterpret_cast<const std::uint8_t*>(two.data()), 62, list));
    EXPECT_EQ(DeviceCount(list), 2);
    EXPECT_EQ(DeviceName(list, 1), "B");
    // A name that fills its 22 bytes without a terminator stops at the field's end.
    const std::string full =
        Bytes({1, 0, 0, 0}) + Bytes({7, 7, 7, 7}) + std::string(22, 'N') + Bytes({1, 2, 0});
    ASSERT_TRUE(IrdaLink::ReadDeviceList(reinterpret_cast<const std::uint8_t*>(full.data()), 33, list));
    EXPECT_EQ(DeviceName(list, 0), std::string(22, 'N'));

    // A count beyond the entries returned, beyond the list's room, or no count at all.
    for (const std::string& bad : {two.substr(0, 40), Bytes({11, 0, 0, 0}) + std::string(293, '\x01'),
                                   Bytes({1, 0, 0, 0x80}) + entry(1, "X"), Bytes({1, 0})}) {
        ASSERT_FALSE(IrdaLink::ReadDeviceList(reinterpret_cast<const std::uint8_t*>(bad.data()),
                                              static_cast<int>(bad.size()), list));
        EXPECT_EQ(DeviceCount(list), 0);
        job.reset();
        stack = new ScriptedIrdaStack;
        stack->SetRawDeviceList(bad);
        EXPECT_EQ(Send(), -1);
        EXPECT_TRUE(stack->Calls("connect").empty());
    }
}

}  // namespace
}  // namespace sorvanto

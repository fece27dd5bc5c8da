// The real sessions on our own IrDA stack: a send job pushes an object from one IrdaStackLink
// to the OBEX server on another, each link with its driver thread, over two SIR lines joined in
// memory.
#include <gtest/gtest.h>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <random>
#include <string>

#include "irda/irda_stack_link.h"
#include "irlink/cancel_flag_monitor.h"
#include "irlink/obex_put_client.h"
#include "irlink/obex_server_session.h"
#include "link_test_util.h"
#include "support/temp_home.h"

namespace sorvanto {
namespace {

// Bytes written on one end arrive at once on the other; speeds are taken and ignored.
class MemoryBeam {
public:
    class End : public irda::SirLine {
    public:
        End(MemoryBeam* beam, int side) : beam_(beam), side_(side) {}
        bool Write(const std::uint8_t* data, std::size_t n) override {
            std::lock_guard lock(beam_->mutex_);
            auto& to = beam_->inbox_[1 - side_];
            to.insert(to.end(), data, data + n);
            beam_->arrived_.notify_all();
            return true;
        }
        int Read(std::uint8_t* data, std::size_t n, int timeout_ms) override {
            std::unique_lock lock(beam_->mutex_);
            auto& in = beam_->inbox_[side_];
            beam_->arrived_.wait_for(lock, std::chrono::milliseconds(timeout_ms), [&] { return !in.empty(); });
            const std::size_t take = std::min(n, in.size());
            std::copy_n(in.begin(), take, data);
            in.erase(in.begin(), in.begin() + static_cast<std::ptrdiff_t>(take));
            return static_cast<int>(take);
        }
        bool SetSpeed(int) override { return true; }
        std::uint16_t SpeedMask() const override { return 0x3E; }

    private:
        MemoryBeam* beam_;
        int side_;
    };

    std::unique_ptr<irda::SirLine> Line(int side) { return std::make_unique<End>(this, side); }

private:
    std::mutex mutex_;
    std::condition_variable arrived_;
    std::deque<std::uint8_t> inbox_[2];
};

std::unique_ptr<LinkApi> StackLink(MemoryBeam& beam, int side, std::uint32_t address, const std::string& name) {
    irda::IrStackConfig c;
    c.lap.address = address;
    c.lap.nickname = name;
    return std::make_unique<irda::IrdaStackLink>(beam.Line(side), c);
}

class FileJob : public ObexPutClient {
public:
    explicit FileJob(std::unique_ptr<LinkApi> link) : ObexPutClient(2, 0, std::move(link)) {}
    int SendObject(const std::string* path, const std::string* name, TransferMonitor* monitor) override {
        if (!name || !SetObjectName(*name) || !path || !OpenObjectFile(*path)) return -1;
        return Transfer(monitor);
    }
};

class IrdaStackSessionTest : public test::TempHome {};

TEST_F(IrdaStackSessionTest, SendJobPushesAnObjectIntoTheServer) {
    MemoryBeam beam;
    ByteList queue;
    ObexServerSession server(StackLink(beam, 0, 0x11223344, "SORVANTO"), &queue);
    ASSERT_EQ(server.Open(), 0);
    ASSERT_EQ(server.StartWorker(), 1);

    std::string content(7000, '\0');
    std::mt19937 rng(5);
    for (char& c : content) c = static_cast<char>(rng());
    test::WriteFileBytes(Home() / "obj.bin", content);
    {
        FileJob job(StackLink(beam, 1, 0xA1B2C3D4, "P504i"));
        CancelFlagMonitor monitor(std::chrono::seconds(60));
        const std::string path = "obj.bin";
        const std::string name = "photo.jpg";
        EXPECT_EQ(job.SendObject(&path, &name, &monitor), 0);
    }
    std::string notice;
    ASSERT_TRUE(test::WaitFor([&] {
        queue.ForEach([&](const ByteList::Node& n) {
            if (n.key == ObexServerSession::kNoticeKey) notice = reinterpret_cast<const char*>(n.data->data());
        });
        return !notice.empty();
    }, std::chrono::seconds(30)));
    server.Stop(1);
    const std::string folder = "TmpFiles\\";
    ASSERT_EQ(notice.compare(0, folder.size(), folder), 0);
    EXPECT_NE(notice.find(" photo.jpg"), std::string::npos);
    EXPECT_EQ(test::ReadFileBytes(Home() / "TmpFiles" / notice.substr(folder.size())), content);
}

}  // namespace
}  // namespace sorvanto

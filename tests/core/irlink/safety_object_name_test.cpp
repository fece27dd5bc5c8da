// Object names a handset sends become file names: whatever the name holds, the object lands
// inside "TmpFiles\" and nowhere else.
#include <gtest/gtest.h>

#include <filesystem>

#include "irlink/obex_server_session.h"
#include "platform/clock.h"
#include "platform/fs.h"
#include "platform/scripted_link.h"
#include "support/temp_home.h"

namespace sorvanto {
namespace {

namespace stdfs = std::filesystem;

std::string U16(std::size_t v) { return {static_cast<char>(v >> 8), static_cast<char>(v & 0xFF)}; }

std::string LastPut(const std::string& name, const std::string& body) {
    std::string value;
    for (char c : name) value += std::string(1, '\0') + c;
    value.append(2, '\0');
    const std::string headers = "\x01" + U16(value.size() + 3) + value + "\x49" + U16(body.size() + 3) + body;
    return "\x82" + U16(headers.size() + 3) + headers;
}

class SafetyObjectNameTest : public test::TempHome {
protected:
    void SetUp() override {
        TempHome::SetUp();
        stdfs::create_directories(Home() / "work");
        stdfs::current_path(Home() / "work");
        clock::SetForTesting([] { return std::int64_t{0x40000000}; }, {});
    }
    void TearDown() override {
        clock::SetForTesting({}, {});
        TempHome::TearDown();
    }
    // Pushes one object and returns the path the server queued.
    std::string Push(const std::string& name) {
        ByteList queue;
        ObexServerSession server(std::make_unique<ScriptedLink>(), &queue);
        server.OnConnected(IrdaSession::kIncoming);
        const std::string packet = LastPut(name, "payload");
        EXPECT_EQ(server.OnPacket(reinterpret_cast<const std::uint8_t*>(packet.data()), static_cast<int>(packet.size())), 1);
        std::string queued;
        queue.ForEach([&](const ByteList::Node& n) { queued = reinterpret_cast<const char*>(n.data->data()); });
        return queued;
    }
    // Every file under the test's folder, relative to it.
    std::vector<std::string> FilesOutsideTmpFiles() {
        std::vector<std::string> out;
        for (const auto& e : stdfs::recursive_directory_iterator(Home()))
            if (e.is_regular_file() && e.path().parent_path() != Home() / "work" / "TmpFiles")
                out.push_back(stdfs::relative(e.path(), Home()).string());
        return out;
    }
};

TEST_F(SafetyObjectNameTest, HostileNamesStayInsideTmpFiles) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"..", "TmpFiles\\40000000 .."},
        {"../../x", "TmpFiles\\40000000 .._.._x"},
        {"..\\..\\x", "TmpFiles\\40000000 .._.._x"},
        {"/etc/passwd", "TmpFiles\\40000000 _etc_passwd"},
        {"C:\\Windows\\x", "TmpFiles\\40000000 C__Windows_x"},
        {"a\r\nb\tc\x01", "TmpFiles\\40000000 a\r\nb\tc\x01"},
        {"", "TmpFiles\\40000000 "},
    };
    for (const auto& [name, expected] : cases) {
        if (test::HasControlCharacter(name) && !test::FileNamesTakeControlCharacters()) continue;
        const std::string queued = Push(name);
        EXPECT_EQ(queued, expected);
        EXPECT_EQ(test::ReadFileBytes(Home() / "work" / fs::NativePath(queued)), "payload") << queued;
        stdfs::remove(Home() / "work" / fs::NativePath(queued));
    }
    EXPECT_TRUE(FilesOutsideTmpFiles().empty());
    // A name of 63 characters and more is cut, so the path always fits a queue notice.
    const std::string queued = Push(std::string(300, '.'));
    EXPECT_EQ(queued, "TmpFiles\\40000000 " + std::string(63, '.'));
}

}  // namespace
}  // namespace sorvanto

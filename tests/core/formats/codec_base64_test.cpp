#include "formats/base64.h"

#include <algorithm>
#include <random>

#include <gtest/gtest.h>

#include "platform/text_file.h"
#include "support/temp_home.h"

namespace sorvanto {
namespace {

constexpr std::size_t kBig = 1 << 30;

std::string RandomBytes(std::size_t n, unsigned seed) {
    std::mt19937 rng(seed);
    std::string out(n, '\0');
    for (char& c : out) c = static_cast<char>(rng() & 0xFF);
    return out;
}

std::string EncodeLines(const std::string& data, int width) {
    std::string out;
    StringSink sink(out);
    MemoryByteSource source(data);
    base64::EncodeTo(source, sink, width);
    return out;
}

std::string DecodeAll(const std::string& text) {
    std::string out;
    StringSink sink(out);
    MemoryByteSource source(text);
    base64::DecodeTo(source, sink);
    return out;
}

TEST(Base64Test, EncodesWithPadding) {
    EXPECT_EQ(base64::Encode("abc", kBig), "YWJj");
    EXPECT_EQ(base64::Encode("ab", kBig), "YWI=");
    EXPECT_EQ(base64::Encode("a", kBig), "YQ==");
    EXPECT_EQ(base64::Encode("", kBig), "");
    EXPECT_EQ(base64::Encode(std::string("\xFB\xFF\x00", 3), kBig), "+/8A");
}

TEST(Base64Test, EncodeStopsWhereTheBufferWouldBeFull) {
    // Groups are written while fewer than capacity - 2 characters are out.
    const std::string data(30, 'x');
    EXPECT_EQ(base64::Encode(data, 8).size(), 8u);
    EXPECT_EQ(base64::Encode(data, 10).size(), 8u);
    EXPECT_EQ(base64::Encode(data, 11).size(), 12u);
    EXPECT_EQ(base64::Encode(data, 2).size(), 0u);
    EXPECT_EQ(base64::Encode(data, 1560).size(), 40u);
}

TEST(Base64Test, DecodeStopsAtBytesOutsideTheAlphabet) {
    EXPECT_EQ(base64::Decode("YW Jj", kBig), "a");  // two sextets before the space: one byte
    EXPECT_EQ(base64::Decode("YWJj?=", kBig), "abc");
    EXPECT_EQ(base64::Decode("YWI=YWJj", kBig), "ab");
    EXPECT_EQ(base64::Decode("YQ==", kBig), "a");
    EXPECT_EQ(base64::Decode(std::string("YW\0Jj", 5), kBig), "a");
    // CR and LF are skipped anywhere, even inside a group.
    EXPECT_EQ(base64::Decode("Y\r\nW\nJ\rj", kBig), "abc");
}

TEST(Base64Test, HighBytesDecodeAsA) {
    EXPECT_EQ(base64::Decode("\xC0\xC0\xC0\xC0", kBig), std::string(3, '\0'));
    EXPECT_EQ(base64::Decode("Y\xC0Jj", kBig), base64::Decode("YAJj", kBig));
}

TEST(Base64Test, DecodeFinishesTheGroupItStartedBelowTheCapacity) {
    const std::string text = base64::Encode(std::string(30, 'z'), kBig);
    EXPECT_EQ(base64::Decode(text, 3).size(), 3u);
    EXPECT_EQ(base64::Decode(text, 4).size(), 6u);  // the group begun at 3 is completed
    EXPECT_EQ(base64::Decode(text, 0).size(), 0u);
}

TEST(Base64Test, LinesOfTheChosenWidth) {
    const std::string data = RandomBytes(200, 1);
    const std::string plain = base64::Encode(data, kBig);
    ASSERT_EQ(plain.size(), 268u);
    EXPECT_EQ(EncodeLines(data, 0), plain);
    const std::string lines = EncodeLines(data, 72);
    EXPECT_EQ(lines, plain.substr(0, 72) + "\n" + plain.substr(72, 72) + "\n" + plain.substr(144, 72) + "\n" +
                         plain.substr(216) + "\n");
    // A melody of 10,240 bytes in lines of 74: 184 full lines and one of 40.
    const std::string melody_lines = EncodeLines(RandomBytes(10240, 2), 74);
    EXPECT_EQ(std::count(melody_lines.begin(), melody_lines.end(), '\n'), 185);
    EXPECT_EQ(melody_lines.size(), 13656u + 185u);
    EXPECT_EQ(melody_lines.substr(melody_lines.size() - 41), melody_lines.substr(melody_lines.size() - 41, 40) + "\n");
}

TEST(Base64Test, RoundTripsEveryLengthAndWidth) {
    for (std::size_t n : {0, 1, 2, 3, 4, 5, 71, 72, 73, 100, 1000, 4096}) {
        const std::string data = RandomBytes(n, static_cast<unsigned>(n));
        for (int width : {0, 72, 74}) {
            EXPECT_EQ(DecodeAll(EncodeLines(data, width)), data) << n << " bytes, width " << width;
        }
        EXPECT_EQ(base64::Decode(base64::Encode(data, kBig), kBig), data) << n;
    }
}

TEST(Base64Test, StreamEncodingStopsAtItsCapacity) {
    constexpr std::size_t kMaxInput = base64::kFileCapacity / 4 * 3;  // 983,040 bytes
    for (std::size_t n : {kMaxInput - 1, kMaxInput, kMaxInput + 1, kMaxInput + 4}) {
        const std::string data = RandomBytes(n, 7);
        std::string text;
        StringSink sink(text);
        MemoryByteSource source(data);
        const std::size_t count = base64::EncodeTo(source, sink, 72);
        EXPECT_LE(count, base64::kFileCapacity);
        EXPECT_EQ(DecodeAll(text), data.substr(0, kMaxInput)) << n;
    }
}

TEST(Base64Test, StreamDecodingMatchesOneDecodeAcrossChunks) {
    const std::string data = RandomBytes(base64::kFileCapacity + 1000, 9);
    std::string text = base64::Encode(data, kBig);
    EXPECT_EQ(DecodeAll(text), data);
    text.insert(text.size() - 8, "=");
    EXPECT_EQ(DecodeAll(text), base64::Decode(text, kBig));
    // The padding of a value that ends exactly at the chunk size ends the decoding: what
    // follows the "=" must not be appended as if it were a further chunk.
    const std::string exact = RandomBytes(base64::kFileCapacity, 10);
    EXPECT_EQ(DecodeAll(base64::Encode(exact, kBig) + "QUJD"), exact);
}

class Base64FileTest : public test::TempHome {};

TEST_F(Base64FileTest, WritesThroughATextWriterAndDecodesAFileReadAsText) {
    const std::string data = RandomBytes(500, 3);
    {
        TextWriter writer("b64.txt", false);
        TextWriterSink sink(writer);
        MemoryByteSource memory(data);
        base64::EncodeTo(memory, sink, 74);
        ASSERT_TRUE(writer.Close());
    }
    const std::string on_disk = test::ReadFileBytes(Home() / "b64.txt");
    EXPECT_EQ(on_disk.substr(74, 2), "\r\n");  // text mode: each line ends in CR LF

    FileByteSource text_source("b64.txt", FileByteSource::Mode::kText);
    FileSink out("out.bin", false);
    ASSERT_TRUE(text_source.IsOpen());
    EXPECT_EQ(base64::DecodeTo(text_source, out), data.size());
    ASSERT_TRUE(out.Close());
    EXPECT_EQ(test::ReadFileBytes(Home() / "out.bin"), data);

    FileByteSource missing("none.txt", FileByteSource::Mode::kBinary);
    EXPECT_FALSE(missing.IsOpen());
    EXPECT_EQ(missing.Next(), ByteSource::kEnd);
}

}  // namespace
}  // namespace sorvanto

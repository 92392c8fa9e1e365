#include <gtest/gtest.h>

#include "multiplayer/directplay/frame_reassembler.h"
#include "wire_samples.h"

namespace tarnwick::directplay {
namespace {

using Messages = std::vector<std::vector<std::uint8_t>>;

Messages SampleStream(std::vector<std::uint8_t>& stream) {
    Messages messages;
    for (const auto& message : testing::SampleMessages())
        messages.push_back(EncodeSystemFrame(message, {0, 2300}));
    messages.push_back(EncodeGameFrame({0x11, 0, {1, 2, 3, 4}}, true, {0, 2300}));
    for (const auto& m : messages) stream.insert(stream.end(), m.begin(), m.end());
    return messages;
}

Messages FeedInPieces(FrameReassembler& reader, std::span<const std::uint8_t> stream,
                      std::initializer_list<std::size_t> cuts) {
    Messages out;
    std::size_t from = 0;
    const auto collect = [&](std::span<const std::uint8_t> m) { out.emplace_back(m.begin(), m.end()); };
    for (const std::size_t cut : cuts) {
        EXPECT_TRUE(reader.Feed(stream.subspan(from, cut - from), collect));
        from = cut;
    }
    EXPECT_TRUE(reader.Feed(stream.subspan(from), collect));
    return out;
}

TEST(DirectPlayFraming, SeveralMessagesInOneRead) {
    std::vector<std::uint8_t> stream;
    const Messages expected = SampleStream(stream);
    FrameReassembler reader;
    EXPECT_EQ(FeedInPieces(reader, stream, {}), expected);
    EXPECT_EQ(reader.Buffered(), 0u);
}

TEST(DirectPlayFraming, AMessageSplitAtEveryByte) {
    std::vector<std::uint8_t> stream;
    const Messages expected = SampleStream(stream);
    for (std::size_t cut = 1; cut < stream.size(); ++cut) {
        FrameReassembler reader;
        ASSERT_EQ(FeedInPieces(reader, stream, {cut}), expected) << cut;
    }
    // And one byte at a time.
    FrameReassembler reader;
    Messages out;
    for (const auto byte : stream)
        reader.Feed(std::span(&byte, 1), [&](auto m) { out.emplace_back(m.begin(), m.end()); });
    EXPECT_EQ(out, expected);
}

TEST(DirectPlayFraming, AnUntrustworthyHeaderCorruptsTheStream) {
    const auto good = EncodeSystemFrame(Ping{1, 2}, {0, 2300});
    const auto corrupt = [&](std::size_t at, std::uint8_t value, std::size_t limit = kMaxMessageSize) {
        auto stream = good;
        stream.insert(stream.end(), good.begin(), good.end());
        stream[good.size() + at] = value;
        FrameReassembler reader(limit);
        int messages = 0;
        const bool ok = reader.Feed(stream, [&](auto) { ++messages; });
        EXPECT_EQ(messages, 1);  // the one before the damage still counts
        EXPECT_FALSE(ok);
        EXPECT_FALSE(reader.Error().empty());
        EXPECT_FALSE(reader.Feed(good, [&](auto) { ++messages; }));
        EXPECT_EQ(messages, 1);
    };
    corrupt(3, 0x00);        // token 0x000
    corrupt(0, 0x05);        // size 5
    corrupt(0, 0x10);        // size 16
    corrupt(0, 0x40, 0x30);  // 64 bytes over a 48-byte limit
}

}  // namespace
}  // namespace tarnwick::directplay

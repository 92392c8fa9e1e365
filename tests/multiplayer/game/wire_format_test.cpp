#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <variant>
#include <vector>

#include "base/rounding.h"
#include "multiplayer/game/message_decoder.h"
#include "multiplayer/game/wire_values.h"

namespace tarnwick {
namespace {

MessageBytes Raw(std::int32_t type, std::int32_t length, std::initializer_list<int> payload) {
    MessageBuilder builder;
    builder.AppendLong(type).AppendLong(length);
    for (int b : payload) builder.AppendByte(static_cast<std::uint8_t>(b));
    return builder.Take();
}

TEST(WireValues, PositionAltitudeAndHeadingDecodeAsPeersEncodeThem) {
    EXPECT_EQ(LatitudeFromWire(10001750), 90.0);
    EXPECT_EQ(LongitudeFromWire(INT_MIN), -180.0);
    EXPECT_EQ(LongitudeFromWire(1073741824), 90.0);
    EXPECT_EQ(AltitudeFeetFromMetres(100), 328);
    EXPECT_EQ(AltitudeFeetFromMetres(1000), 3281);
    EXPECT_THROW(AltitudeFeetFromMetres(INT_MAX), OverflowError) << "feet that do not fit are an error";

    EXPECT_EQ(IntDivPow2(-1, 2), 0);
    EXPECT_EQ(IntDivPow2(-5, 1), -2);
    EXPECT_EQ(IntDivPow2(INT_MIN, 31), -1);
    EXPECT_EQ(DecodeHeading(0), 0);
    EXPECT_EQ(DecodeHeading(1024), 90);
    EXPECT_EQ(DecodeHeading(4092), 360);
    EXPECT_EQ(DecodeHeading(-4), 360);
    EXPECT_EQ(DecodeHeading(-3), 0);
    EXPECT_EQ(DecodeHeading(INT_MIN), 0);
}

TEST(WireValues, SimulatedPeersEncodeWhatTheReaderGetsBack) {
    EXPECT_EQ(LongitudeToWire(180.0), INT_MIN) << "the longitude word wraps around the circle";
    EXPECT_EQ(LongitudeToWire(-180.0), INT_MIN);
    EXPECT_NEAR(LongitudeFromWire(LongitudeToWire(-122.309)), -122.309, 1e-7);
    EXPECT_NEAR(LatitudeFromWire(LatitudeToWire(47.449)), 47.449, 1e-5);
    for (int heading = 0; heading < 360; ++heading) {
        EXPECT_EQ(DecodeHeading(AttitudeWordForHeading(heading)), heading);
    }
    EXPECT_EQ(DecodeHeading(AttitudeWordForHeading(-10.0)), 350);
    EXPECT_EQ(AttitudeWordForHeading(359.9), 0);
}

TEST(Messages, AircraftInfoCategoriesAndTitlesWithoutZeroBytes) {
    const auto info = DecodeMessage<MsgAircraftInfo>(Raw(0x100E, 5, {7, 0, 'C', 0, 'J'}));
    EXPECT_EQ(AircraftCategoryText(info.CategoryCode), "");
    EXPECT_EQ(info.Title, "CJ");
    EXPECT_EQ(AircraftCategoryText(3), "Helicopter");
    EXPECT_EQ(DecodeMessage<MsgAircraftInfo>(Raw(0x100E, 2, {1, 0})).Title, "");
    EXPECT_EQ(DecodeMessage<MsgAircraftInfo>(Raw(0x100E, -7, {1, 0})).Title, "");
    const MsgAircraftInfo sent{1, "Learjet 45"};
    const auto back = DecodeMessage<MsgAircraftInfo>(Encode(sent));
    EXPECT_EQ(back.CategoryCode, 1);
    EXPECT_EQ(back.Title, "Learjet 45");
}

TEST(Messages, ChatIsReadUpToTheLastCountedByteAndSentWithItsPadding) {
    EXPECT_EQ(DecodeMessage<MsgChat>(Raw(0x1023, 0, {})).Text, "");
    EXPECT_EQ(DecodeMessage<MsgChat>(Raw(0x1023, 1, {'A'})).Text, "");
    EXPECT_EQ(DecodeMessage<MsgChat>(Raw(0x1023, 6, {'H', 'e', 'l', 'l', 'o', 0})).Text, "Hello");
    EXPECT_EQ(DecodeMessage<MsgChat>(Raw(0x1023, 3, {'H', 'i', 'X', 'Y'})).Text, "Hi");

    const MessageBytes sent = Encode(MsgChat{"abc"});
    EXPECT_EQ(sent, Raw(0x1023, 6, {'a', 'b', 'c', 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(DecodeMessage<MsgChat>(sent).Text, "abc") << "the padding is not part of the text";
    EXPECT_EQ(DecodeMessage<MsgChat>(Encode(MsgChat{"\xC9t\xE9"})).Text, "\xC9t\xE9");
    EXPECT_EQ(DecodeMessage<MsgChat>(EncodeTerminated(MsgChat{"Roger"})).Text, "Roger");
    EXPECT_EQ(Encode(MsgChat{""}), Raw(0x1023, 0, {}));
}

// Every cut shorter than `needed` bytes is refused; `needed` bytes decode.
template <typename T>
void ExpectShortCutsRejected(const MessageBytes& bytes, std::size_t needed) {
    for (std::size_t cut = 0; cut < needed; ++cut) {
        EXPECT_THROW(DecodeMessage<T>(std::span(bytes.data(), cut)), MalformedMessage) << cut;
    }
    EXPECT_NO_THROW(DecodeMessage<T>(std::span(bytes.data(), needed)));
}

TEST(Messages, ShortMessagesAreRejectedAndLongOnesReadOnlyWhatTheyNeed) {
    ExpectShortCutsRejected<MsgJoinAccept>(Encode(MsgJoinAccept{12}), 12);
    ExpectShortCutsRejected<MsgPosition>(Encode(MsgPosition{{1, 2, 3, 4}}), 8 + 34);
    ExpectShortCutsRejected<MsgPositionLong>(Encode(MsgPositionLong{{1, 2, 3, 4}}), 8 + 50);
    ExpectShortCutsRejected<MsgAircraftInfo>(Encode(MsgAircraftInfo{0, "Cessna"}), 8 + 9);
    ExpectShortCutsRejected<MsgChat>(Encode(MsgChat{"Hi"}), 8 + 3);  // the padding is never read
    EXPECT_THROW(DecodeMessage<MsgChat>(Raw(0x1023, INT_MAX, {'a'})), MalformedMessage)
        << "a length beyond the bytes received is refused before anything is allocated";

    MessageBytes longer = Encode(MsgPosition{{1024, 10001750, 1073741824, 100}});
    longer.resize(longer.size() + 100, 0xEE);
    const auto position = DecodeMessage<MsgPosition>(longer);
    EXPECT_EQ(position.Words.LatitudeWord, 10001750);
    EXPECT_EQ(position.Words.AltitudeMetres, 100);
    const auto positionLong = DecodeMessage<MsgPositionLong>(Encode(MsgPositionLong{{8, 9, 10, 11}}));
    EXPECT_EQ(positionLong.Words.AttitudeWord, 8);
    EXPECT_EQ(positionLong.Words.AltitudeMetres, 11);
}

TEST(Messages, OneDecoderTellsKnownUnknownAndMalformedMessagesApart) {
    EXPECT_TRUE(std::holds_alternative<MsgHostLeft>(DecodeGameMessage(Encode(MsgHostLeft{}))));
    const GameMessage accept = DecodeGameMessage(Encode(MsgJoinAccept{-5}));
    ASSERT_TRUE(std::holds_alternative<MsgJoinAccept>(accept));
    EXPECT_EQ(std::get<MsgJoinAccept>(accept).PlayerId, -5);

    const GameMessage unknown = DecodeGameMessage(Raw(0x1099, 3, {1}));
    ASSERT_TRUE(std::holds_alternative<UnknownGameMessage>(unknown)) << "its payload is never looked at";
    EXPECT_EQ(std::get<UnknownGameMessage>(unknown).Header.PayloadLength, 3);
    EXPECT_EQ(GameMessageType(unknown), 0x1099);

    // The reasons go into the session host's log as they are.
    const auto reason = [](std::span<const std::uint8_t> bytes) {
        const GameMessage message = DecodeGameMessage(bytes);
        EXPECT_EQ(GameMessageType(message), std::nullopt);
        return std::get<MalformedGameMessage>(message).Reason;
    };
    const MessageBytes join = Encode(MsgJoinAccept{12});
    EXPECT_EQ(reason(std::span(join).first(2)), "the message ends at byte 0, 4 more were needed");
    EXPECT_EQ(reason(std::span(join).first(6)), "the message ends at byte 4, 4 more were needed");
    EXPECT_EQ(reason(std::span(join).first(11)), "the message ends at byte 8, 4 more were needed");
    EXPECT_EQ(GameMessageHeader(std::span(join).first(11))->Type, MsgJoinAccept::kType);
    EXPECT_EQ(GameMessageHeader(std::span(join).first(7)), std::nullopt);
    EXPECT_EQ(reason(Raw(0x1023, 7, {'a'})), "the message ends at byte 8, 6 more were needed");
}

}  // namespace
}  // namespace tarnwick

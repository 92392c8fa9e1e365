#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <variant>
#include <vector>

#include "multiplayer/coordination/message_decoder.h"
#include "multiplayer/coordination/wire_fields.h"
#include "multiplayer/game/messages.h"

namespace tarnwick::coordination {
namespace {

using Bytes = std::vector<std::uint8_t>;

// A whole message from its version, kind and body bytes, the length field
// counting what follows it.
Bytes Raw(std::uint8_t version, std::uint8_t kind, std::initializer_list<int> body) {
    Bytes bytes = {'T', 'N', 'W', 'K'};
    const auto length = static_cast<std::uint32_t>(body.size() + 2);
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<std::uint8_t>(length >> (8 * i)));
    bytes.push_back(version);
    bytes.push_back(kind);
    for (int b : body) bytes.push_back(static_cast<std::uint8_t>(b));
    return bytes;
}

// Puts the right length into the header of bytes cut or grown by hand.
Bytes WithLength(Bytes bytes) {
    const auto length = static_cast<std::uint32_t>(bytes.size() - 8);
    for (int i = 0; i < 4; ++i) bytes[4 + i] = static_cast<std::uint8_t>(length >> (8 * i));
    return bytes;
}

template <typename T>
T Decoded(const Bytes& bytes) {
    const CoordinationMessage message = DecodeCoordinationMessage(bytes);
    if (const auto* malformed = std::get_if<MalformedCoordinationMessage>(&message)) {
        ADD_FAILURE() << "malformed: " << malformed->Reason;
        return {};
    }
    EXPECT_TRUE(std::holds_alternative<T>(message));
    return std::holds_alternative<T>(message) ? std::get<T>(message) : T{};
}

std::string Reason(const Bytes& bytes) {
    const CoordinationMessage message = DecodeCoordinationMessage(bytes);
    const auto* malformed = std::get_if<MalformedCoordinationMessage>(&message);
    return malformed != nullptr ? malformed->Reason : "(not malformed)";
}

const PlayerKey kN123{0x01020304, "N123"};

TEST(CoordinationCodec, EveryKindReadsFromRawBytesAndEncodesToThem) {
    const Bytes hello = Raw(1, 1, {8, 'K', 'S', 'E', 'A', '_', 'A', 'P', 'P', 3, 'B', 'o', 'b', 1});
    EXPECT_EQ(hello[0], 'T') << "the type reads TNWK in its four bytes";
    EXPECT_EQ(Decoded<MsgHello>(hello), (MsgHello{"KSEA_APP", "Bob", true}));
    EXPECT_EQ(Encode(MsgHello{"KSEA_APP", "Bob", true}), hello);

    const Bytes assume = Raw(1, 2, {4, 3, 2, 1, 4, 'N', '1', '2', '3', 7, 0, 0, 0, 1});
    EXPECT_EQ(Decoded<MsgAssume>(assume), (MsgAssume{kN123, 7, true}));
    EXPECT_EQ(Encode(MsgAssume{kN123, 7, true}), assume);

    const Bytes release = Raw(1, 3, {4, 3, 2, 1, 4, 'N', '1', '2', '3', 8, 0, 0, 0});
    EXPECT_EQ(Decoded<MsgRelease>(release), (MsgRelease{kN123, 8}));
    EXPECT_EQ(Encode(MsgRelease{kN123, 8}), release);

    // Altitude 5000, heading 270, speed 250, scratchpad ILS16R; no route, remarks "VIP".
    const Bytes strip =
        Raw(1, 4, {4, 3,    2,    1,    4, 'N', '1', '2', '3', 2,   0,   0,   0, 0x2F, 0x88, 0x13, 0,
                   0, 0x0E, 0x01, 0xFA, 0, 6,   'I', 'L', 'S', '1', '6', 'R', 3, 'V',  'I',  'P'});
    StripFields fields;
    fields.AssignedAltitude = 5000;
    fields.AssignedHeading = 270;
    fields.AssignedSpeed = 250;
    fields.Scratchpad = "ILS16R";
    fields.Remarks = "VIP";
    EXPECT_EQ(Decoded<MsgStrip>(strip), (MsgStrip{kN123, 2, fields}));
    EXPECT_EQ(Encode(MsgStrip{kN123, 2, fields}), strip);
    EXPECT_EQ(Encode(MsgStrip{kN123, 2, {}}), Raw(1, 4, {4, 3, 2, 1, 4, 'N', '1', '2', '3', 2, 0, 0, 0, 0}))
        << "an empty strip is its mask alone";

    const Bytes offer = Raw(1, 5, {4, 3, 2, 1, 4, 'N', '1', '2', '3', 2, 0, 0, 0, 0xFE, 0xFF, 0xFF, 0xFF});
    EXPECT_EQ(Decoded<MsgHandoffOffer>(offer), (MsgHandoffOffer{kN123, 2, -2}));
    EXPECT_EQ(Encode(MsgHandoffOffer{kN123, 2, -2}), offer);

    const Bytes accept = Raw(1, 6, {4, 3, 2, 1, 4, 'N', '1', '2', '3', 2, 0, 0, 0, 1});
    EXPECT_EQ(Decoded<MsgHandoffAnswer>(accept), (MsgHandoffAnswer{kN123, 2, true}));
    EXPECT_EQ(Encode(MsgHandoffAnswer{kN123, 2, true}), accept);
    EXPECT_FALSE(
        Decoded<MsgHandoffAnswer>(Raw(1, 6, {4, 3, 2, 1, 4, 'N', '1', '2', '3', 2, 0, 0, 0, 0})).Accepted);

    const Bytes cancel = Raw(1, 7, {4, 3, 2, 1, 4, 'N', '1', '2', '3', 2, 0, 0, 0});
    EXPECT_EQ(Decoded<MsgHandoffCancel>(cancel), (MsgHandoffCancel{kN123, 2}));
    EXPECT_EQ(Encode(MsgHandoffCancel{kN123, 2}), cancel);

    const Bytes text = Raw(1, 8, {7, 'N', '1', '2', '3', ' ', 0xE9, '?'});
    EXPECT_EQ(Decoded<MsgText>(text).Line, "N123 \xE9?") << "Windows-1252 letters pass";
    EXPECT_EQ(Encode(MsgText{"N123 \xE9?"}), text);
}

TEST(CoordinationCodec, FieldsOutsideTheirBoundsAreRefused) {
    // Texts: their length bound, control bytes, the five bytes Windows-1252 leaves undefined.
    EXPECT_EQ(Reason(Raw(1, 1, {17,  'A', 'A', 'A', 'A', 'A', 'A', 'A', 'A', 'A',
                                'A', 'A', 'A', 'A', 'A', 'A', 'A', 'A', 0,   0})),
              "the position is 17 bytes, at most 16 are allowed");
    EXPECT_EQ(Reason(Raw(1, 8, {2, 'a', 0x0A})), "the line holds the control byte 10 at 1");
    EXPECT_EQ(Reason(Raw(1, 8, {1, 0x81})), "the line holds the control byte 129 at 0");
    EXPECT_EQ(Reason(Raw(1, 8, {1, 0x7F})), "the line holds the control byte 127 at 0");
    EXPECT_EQ(Reason(Raw(1, 8, {0})), "the line is empty");
    EXPECT_EQ(Reason(Raw(1, 2, {1, 0, 0, 0, 1, 0, 1, 0, 0, 0, 0})),
              "the aircraft's name holds the control byte 0 at 0");

    Bytes longName = Encode(MsgRelease{{5, std::string(kMaxAircraftNameBytes, 'X')}, 1});
    longName[14] = static_cast<std::uint8_t>(kMaxAircraftNameBytes + 1);  // after the header and the id
    longName.insert(longName.begin() + 15, 'X');
    EXPECT_EQ(Reason(WithLength(longName)), "the aircraft's name is 65 bytes, at most 64 are allowed");

    // Assignments outside what a controller gives, and a strip text set but empty.
    const auto stripWith = [](std::initializer_list<int> tail) {
        Bytes bytes = Raw(1, 4, {1, 0, 0, 0, 1, 'A', 1, 0, 0, 0});
        bytes.insert(bytes.end(), tail.begin(), tail.end());
        return WithLength(bytes);
    };
    EXPECT_EQ(Reason(stripWith({0x01, 0xA0, 0x86, 0x01, 0x00})),
              "the altitude 100000 is not between 0 and 99999");
    EXPECT_EQ(Reason(stripWith({0x01, 0xFF, 0xFF, 0xFF, 0xFF})),
              "the altitude -1 is not between 0 and 99999");
    EXPECT_EQ(Reason(stripWith({0x02, 0, 0})), "the heading 0 is not between 1 and 360");
    EXPECT_EQ(Reason(stripWith({0x02, 0x69, 0x01})), "the heading 361 is not between 1 and 360");
    EXPECT_EQ(Reason(stripWith({0x04, 0xE8, 0x03})), "the speed 1000 is not between 1 and 999");
    EXPECT_EQ(Reason(stripWith({0x08, 0})), "the scratchpad is empty");
    EXPECT_EQ(Reason(stripWith({0x08, 17, 'A', 'A', 'A', 'A', 'A', 'A', 'A', 'A', 'A', 'A', 'A', 'A', 'A',
                                'A', 'A', 'A', 'A'})),
              "the scratchpad is 17 bytes, at most 16 are allowed");
    EXPECT_EQ(Reason(Raw(1, 6, {1, 0, 0, 0, 1, 'A', 1, 0, 0, 0, 2})), "the answer is 2, neither 0 nor 1");

    // The encoder refuses what the decoder would.
    EXPECT_THROW(Encode(MsgHello{std::string(17, 'P'), "", false}), FieldError);
    EXPECT_THROW(Encode(MsgText{"two\r\nlines"}), FieldError);
    StripFields wrong;
    wrong.AssignedHeading = 0;
    EXPECT_THROW(Encode(MsgStrip{kN123, 1, wrong}), FieldError);
}

TEST(CoordinationCodec, EveryCutOfEveryKindIsRefusedAndTheLengthMustMatch) {
    StripFields full;
    full.AssignedAltitude = 99999;
    full.AssignedHeading = 360;
    full.AssignedSpeed = 999;
    full.Scratchpad = "ILS16R";
    full.Route = "SEA J70 GEG";
    full.Remarks = "student";
    const std::vector<Bytes> messages = {
        Encode(MsgHello{"KSEA_TWR", "Alice", true}),
        Encode(MsgAssume{kN123, 3, false}),
        Encode(MsgRelease{kN123, 4}),
        Encode(MsgStrip{kN123, 3, full}),
        Encode(MsgHandoffOffer{kN123, 3, 77}),
        Encode(MsgHandoffAnswer{kN123, 3, true}),
        Encode(MsgHandoffCancel{kN123, 3}),
        Encode(MsgText{"traffic for N123"}),
    };
    for (const Bytes& whole : messages) {
        ASSERT_TRUE(EncodeAgain(DecodeCoordinationMessage(whole)).has_value());
        for (std::size_t cut = 0; cut < whole.size(); ++cut) {
            const Bytes part(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(cut));
            EXPECT_TRUE(std::holds_alternative<MalformedCoordinationMessage>(DecodeCoordinationMessage(part)))
                << "cut at " << cut << " of kind " << int{whole[9]};
            if (cut >= kHeaderBytes) {
                EXPECT_TRUE(std::holds_alternative<MalformedCoordinationMessage>(
                    DecodeCoordinationMessage(WithLength(part))))
                    << "cut at " << cut << " of kind " << int{whole[9]} << " with its length mended";
            }
        }
        Bytes longer = whole;
        longer.push_back(0);
        EXPECT_EQ(Reason(longer), "the length field says " + std::to_string(whole.size() - 8) +
                                      " bytes follow, but " + std::to_string(whole.size() - 7) + " do");
    }
    EXPECT_EQ(Reason(Bytes{'T', 'N', 'W', 'K', 0, 0, 0}), "the message ends at byte 7, before its kind");
}

TEST(CoordinationCodec, UnknownVersionsAndKindsAreToldApartAndLaterFieldsAreLeftUnread) {
    const CoordinationMessage version2 = DecodeCoordinationMessage(Raw(2, 1, {1, 2, 3}));
    ASSERT_TRUE(std::holds_alternative<UnknownFormatVersion>(version2));
    EXPECT_EQ(std::get<UnknownFormatVersion>(version2).Version, 2);
    for (int kind : {0, 9, 255}) {
        const CoordinationMessage unknown =
            DecodeCoordinationMessage(Raw(1, static_cast<std::uint8_t>(kind), {}));
        ASSERT_TRUE(std::holds_alternative<UnknownKind>(unknown)) << kind;
        EXPECT_EQ(std::get<UnknownKind>(unknown).Kind, kind);
    }

    // A later revision appends fields: a strip with a seventh field's bit and
    // bytes after the known ones reads as the six fields.
    Bytes later = Encode(MsgStrip{kN123, 2, {}});
    later.back() = 0x40 | 0x08;
    later.insert(later.end(), {2, 'R', 'W', 0xAA, 0xBB});
    const MsgStrip read = Decoded<MsgStrip>(WithLength(later));
    EXPECT_EQ(read.Fields.Scratchpad, "RW");
    EXPECT_FALSE(read.Fields.AssignedAltitude.has_value());

    // Unknown flag bits are left alone too.
    EXPECT_EQ(Decoded<MsgAssume>(Raw(1, 2, {1, 0, 0, 0, 1, 'A', 5, 0, 0, 0, 0xFE})),
              (MsgAssume{{1, "A"}, 5, false}));
}

TEST(CoordinationCodec, MessagesAreBoundedAndGameMessagesAreNotTakenForThem) {
    // The largest message of each kind is far below the bound.
    StripFields full;
    full.AssignedAltitude = 1;
    full.AssignedHeading = 1;
    full.AssignedSpeed = 1;
    full.Scratchpad = std::string(kMaxScratchpadBytes, 'S');
    full.Route = std::string(kMaxRouteBytes, 'R');
    full.Remarks = std::string(kMaxRemarksBytes, 'M');
    const PlayerKey longest{1, std::string(kMaxAircraftNameBytes, 'N')};
    EXPECT_EQ(Encode(MsgStrip{longest, 1, full}).size(), 367u);
    EXPECT_EQ(Encode(MsgText{std::string(kMaxTextLineBytes, 'T')}).size(), 266u);
    EXPECT_EQ(Encode(MsgHello{std::string(16, 'P'), std::string(32, 'N'), true}).size(), 61u);
    EXPECT_EQ(Encode(MsgHandoffOffer{longest, 1, 1}).size(), 87u);

    // Up to the bound, bytes after a message's fields are left unread; past it
    // nothing is read.
    Bytes atBound = Encode(MsgText{"x"});
    atBound.resize(kMaxMessageBytes, 0xEE);
    EXPECT_EQ(Decoded<MsgText>(WithLength(atBound)).Line, "x");
    atBound.push_back(0xEE);
    EXPECT_EQ(Reason(WithLength(atBound)), "the message is 513 bytes, at most 512 are allowed");

    EXPECT_FALSE(IsCoordinationMessage(tarnwick::Encode(MsgChat{"TNWK"})));
    EXPECT_FALSE(IsCoordinationMessage(Bytes{'T', 'N', 'W'}));
    EXPECT_TRUE(IsCoordinationMessage(Bytes{'T', 'N', 'W', 'K'}));
    EXPECT_EQ(Reason(tarnwick::Encode(MsgChat{"hi"})), "not a coordination message");
}

}  // namespace
}  // namespace tarnwick::coordination

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "controller_network.h"
#include "multiplayer/coordination/message_decoder.h"
#include "multiplayer/fuzzing/coordination_fuzzing.h"

namespace tarnwick::coordination {
namespace {

using testing::ControllerNetwork;

constexpr Millis kSettled{6000};

// A session of two honest controllers and a hostile one, whose player id is
// the lowest, so that it would win every tie it is let into. The tower owns
// N123, settled, with a strip.
struct WithHostile {
    ControllerNetwork net;
    std::int32_t tower = net.AddController("Alice", "KSEA_TWR", 0x3000);
    std::int32_t approach = net.AddController("Bob", "KSEA_APP", 0x4000);
    std::int32_t hostile = net.AddController("Mallory", "KSEA_GND", 0x10);
    PlayerKey n123 = net.AddPilot("N123", 0x5000);
    std::uint32_t version = 0;

    WithHostile() {
        net.DeliverAll();
        Coordinator& core = net.Core(tower);
        EXPECT_TRUE(core.SetStripField(n123, StripField::Scratchpad, "ILS16R"));
        EXPECT_TRUE(core.Assume(n123));
        net.Collect(tower);
        net.DeliverAll();
        net.Clock().Advance(kSettled);
        version = core.FindAircraft(n123)->Version;
    }

    // The hostile controller's bytes, to both honest controllers.
    void Send(const std::vector<std::uint8_t>& bytes) {
        net.Inject(hostile, tower, bytes);
        net.Inject(hostile, approach, bytes);
    }

    // What every honest machine must still hold of N123.
    void ExpectUntouched(const std::string& after) {
        for (std::int32_t id : {tower, approach}) {
            const AircraftRecord* record = net.Core(id).FindAircraft(n123);
            ASSERT_NE(record, nullptr);
            EXPECT_EQ(record->Owner, tower) << after << " at " << id;
            EXPECT_EQ(record->Version, version) << after;
            EXPECT_FALSE(record->Offer.has_value()) << after;
            EXPECT_EQ(record->Strip.Scratchpad, "ILS16R") << after;
        }
    }
};

TEST(CoordinationHostile, AnotherControllersAircraftCannotBeTakenReleasedOrEditedWithoutAHandoff) {
    WithHostile s;
    StripFields forged;
    forged.Scratchpad = "GOTCHA";
    const std::vector<std::pair<std::string, MessageBytes>> attempts = {
        {"a release", Encode(MsgRelease{s.n123, s.version + 1})},
        {"a strip", Encode(MsgStrip{s.n123, s.version, forged})},
        {"an offer in the owner's place", Encode(MsgHandoffOffer{s.n123, s.version, s.hostile})},
        {"a withdrawal", Encode(MsgHandoffCancel{s.n123, s.version})},
        {"an answer to an offer never made", Encode(MsgHandoffAnswer{s.n123, s.version, true})},
        {"a late claim at the owner's version", Encode(MsgAssume{s.n123, s.version, false})},
        {"a claim at the next version", Encode(MsgAssume{s.n123, s.version + 1, false})},
        {"a report of holding it", Encode(MsgAssume{s.n123, s.version + 100, true})},
    };
    for (const auto& [what, bytes] : attempts) {
        s.Send(bytes);
        s.ExpectUntouched(what);
    }
    EXPECT_GT(s.net.Core(s.tower).HeldMessages(), 0u)
        << "claims and the answer wait for what could make them valid";
    s.net.Clock().Advance(Millis{10000});
    s.net.Tick();
    s.ExpectUntouched("the wait");
    EXPECT_EQ(s.net.Core(s.tower).HeldMessages(), 0u);
    EXPECT_EQ(s.net.Core(s.approach).HeldMessages(), 0u);
    EXPECT_FALSE(s.net.Core(s.tower).NextDeadline().has_value());
    const std::vector<std::string>& notes = s.net.Node(s.approach).Notes;
    EXPECT_NE(
        std::find(notes.begin(), notes.end(), "KSEA_GND's release of N123 refused: it is not the sender's."),
        notes.end());
    EXPECT_NE(
        std::find(notes.begin(), notes.end(),
                  "KSEA_GND's handoff answer of N123 refused after waiting: no handoff to the sender at "
                  "version 1 stands here."),
        notes.end());
    EXPECT_NE(std::find(notes.begin(), notes.end(),
                        "KSEA_GND's claim of N123 refused after waiting: an earlier message about it waits."),
              notes.end());

    // Nor can it answer an offer made to someone else.
    ASSERT_TRUE(s.net.Core(s.tower).HandOff(s.n123, s.approach));
    s.net.Collect(s.tower);
    s.net.DeliverAll();
    s.Send(Encode(MsgHandoffAnswer{s.n123, s.version, true}));
    for (std::int32_t id : {s.tower, s.approach}) {
        EXPECT_EQ(s.net.Core(id).FindAircraft(s.n123)->Owner, s.tower);
        EXPECT_EQ(s.net.Core(id).FindAircraft(s.n123)->Offer->To, s.approach);
    }
}

TEST(CoordinationHostile, ASimultaneousClaimCountsOnlyWithinTheTieWindow) {
    WithHostile s;
    const PlayerKey n2 = s.net.AddPilot("N2");
    s.net.DeliverAll();
    ASSERT_TRUE(s.net.Core(s.tower).Assume(n2));
    s.net.Collect(s.tower);
    s.net.DeliverAll();
    const std::uint32_t claimed = s.net.Core(s.tower).FindAircraft(n2)->Version;

    s.net.Clock().Advance(Millis{5001});
    s.Send(Encode(MsgAssume{n2, claimed, false}));
    s.net.Clock().Advance(Millis{10000});
    s.net.Tick();
    for (std::int32_t id : {s.tower, s.approach}) {
        EXPECT_EQ(s.net.Core(id).FindAircraft(n2)->Owner, s.tower)
            << "a 'simultaneous' claim made after the window is refused, however low its player id";
    }

    // Within the window it is a tie, and the lower id takes it on every machine.
    const PlayerKey n3 = s.net.AddPilot("N3");
    s.net.DeliverAll();
    ASSERT_TRUE(s.net.Core(s.tower).Assume(n3));
    s.net.Collect(s.tower);
    s.net.DeliverAll();
    s.net.Clock().Advance(Millis{4000});
    s.Send(Encode(MsgAssume{n3, s.net.Core(s.tower).FindAircraft(n3)->Version, false}));
    for (std::int32_t id : {s.tower, s.approach})
        EXPECT_EQ(s.net.Core(id).FindAircraft(n3)->Owner, s.hostile);
}

TEST(CoordinationHostile, UnknownOversizedAndMalformedMessagesAndStrangersAreSkippedWithANote) {
    WithHostile s;
    const int changesBefore = s.net.Node(s.tower).StateChanges;
    std::vector<std::uint8_t> version2 = Encode(MsgText{"future"});
    version2[8] = 2;
    std::vector<std::uint8_t> kind42 = Encode(MsgText{"odd"});
    kind42[9] = 42;
    std::vector<std::uint8_t> oversized = Encode(MsgText{"big"});
    oversized.resize(600, 'x');
    std::vector<std::uint8_t> truncated = Encode(MsgRelease{s.n123, 9});
    truncated.resize(truncated.size() - 2);
    for (const auto& bytes : {version2, kind42, oversized, truncated}) s.Send(bytes);
    // A pilot's machine that speaks the language is still no controller.
    s.net.Inject(s.n123.Id, s.tower, Encode(MsgRelease{s.n123, s.version + 1}));

    s.ExpectUntouched("unreadable messages");
    EXPECT_EQ(s.net.Node(s.tower).StateChanges, changesBefore);
    EXPECT_EQ(
        s.net.Node(s.tower).Notes,
        (std::vector<std::string>{
            "A message of format version 2 from KSEA_GND skipped: this program reads version 1.",
            "A message of unknown kind 42 from KSEA_GND skipped.",
            "A malformed message from KSEA_GND skipped: the message is 600 bytes, at most 512 are allowed.",
            "A malformed message from KSEA_GND skipped: the length field says 15 bytes follow, but 13 do.",
            "A coordination message from N123, who is not a controller, skipped.",
        }));
}

TEST(CoordinationHostile, AFloodOfHandoffsClaimsTextsAndGreetingsStaysWithinBounds) {
    WithHostile s;
    std::vector<PlayerKey> pilots;
    for (int i = 0; i < 40; ++i) pilots.push_back(s.net.AddPilot("P" + std::to_string(i)));
    s.net.DeliverAll();
    const std::size_t answersBefore = s.net.Sent().size();

    std::mt19937 random(27);
    const CoordinatorConfig limits;
    for (int i = 0; i < 20000; ++i) {
        const PlayerKey& known = pilots[random() % pilots.size()];
        const PlayerKey invented{static_cast<std::int32_t>(random()),
                                 "X" + std::to_string(random() % 100000)};
        const auto version = static_cast<std::uint32_t>(random() % 4);
        switch (i % 8) {
            case 0:
                s.net.Inject(s.hostile, s.tower, Encode(MsgHandoffOffer{known, version, s.tower}));
                break;
            case 1:
                s.net.Inject(s.hostile, s.tower, Encode(MsgHandoffAnswer{invented, version, true}));
                break;
            case 2:
                s.net.Inject(s.hostile, s.tower, Encode(MsgHandoffAnswer{known, version, true}));
                break;
            case 3:
                s.net.Inject(s.hostile, s.tower, Encode(MsgAssume{invented, version, false}));
                break;
            case 4:
                s.net.Inject(s.hostile, s.tower, Encode(MsgAssume{s.n123, version, i % 16 == 4}));
                break;
            case 5:
                s.net.Inject(s.hostile, s.tower, Encode(MsgText{"spam " + std::to_string(i)}));
                break;
            case 6:
                s.net.Inject(s.hostile, s.tower, Encode(MsgHello{"KSEA_GND", "Mallory", true}));
                break;
            default:
                s.net.Inject(s.hostile, s.tower, Encode(MsgHandoffCancel{invented, version}));
                break;
        }
        ASSERT_LE(s.net.Core(s.tower).HeldMessages(), limits.MaxHeldPerController);
        if (i % 1000 == 999) s.net.Clock().Advance(Millis{500});
    }
    Coordinator& tower = s.net.Core(s.tower);
    EXPECT_LE(tower.Aircraft().size(), 1 + pilots.size()) << "records only for pilots of the session";
    EXPECT_EQ(tower.FindAircraft(s.n123)->Owner, s.tower);

    // 20000 messages over 10 s: the logs hear a bounded share of them.
    const testing::ControllerNode& node = s.net.Node(s.tower);
    const auto spam =
        std::count_if(node.ControllerLines.begin(), node.ControllerLines.end(),
                      [](const std::string& line) { return line.rfind("KSEA_GND: spam", 0) == 0; });
    EXPECT_LE(spam, 2 * limits.TextsPerInterval);
    EXPECT_LE(node.Notes.size(), static_cast<std::size_t>(2 * (limits.NotesPerInterval + 1) + 2));
    const auto greetings =
        std::count_if(s.net.Sent().begin() + static_cast<std::ptrdiff_t>(answersBefore), s.net.Sent().end(),
                      [](const std::vector<std::uint8_t>& bytes) {
                          return std::holds_alternative<MsgHello>(DecodeCoordinationMessage(bytes));
                      });
    EXPECT_LE(greetings, 2) << "2500 greetings asking for answers over 10 s, answered once per 10 s";

    s.net.Clock().Advance(limits.HoldLimit);
    s.net.Tick();
    EXPECT_EQ(tower.HeldMessages(), 0u);
    s.ExpectUntouched("the flood");
}

// The fuzz entry's invariants (a settled aircraft stays its owner's, owners
// and offers name known controllers, bounds hold) over runs of sound messages
// with their fields, versions and senders stirred, and of stray bytes.
TEST(CoordinationHostile, TheFuzzEntrysInvariantsHoldOverStirredMessages) {
    std::mt19937 random(2027);
    const std::vector<PlayerKey> aircraft = {
        {302, "N1"}, {303, "N2"}, {301, "HELD"}, {999, "NOPE"}, {200, "Alpha"}};
    for (int run = 0; run < 300; ++run) {
        std::vector<std::uint8_t> data;
        for (int i = 0; i < 40; ++i) {
            const PlayerKey& key = aircraft[random() % aircraft.size()];
            const auto version = static_cast<std::uint32_t>(random() % 4);
            MessageBytes message;
            switch (random() % 7) {
                case 0:
                    message = Encode(MsgAssume{key, version, random() % 2 == 0});
                    break;
                case 1:
                    message = Encode(MsgRelease{key, version});
                    break;
                case 2:
                    message = Encode(MsgHandoffOffer{key, version, random() % 2 == 0 ? 100 : 5});
                    break;
                case 3:
                    message = Encode(MsgHandoffAnswer{key, version, random() % 2 == 0});
                    break;
                case 4:
                    message = Encode(MsgHandoffCancel{key, version});
                    break;
                case 5:
                    message = Encode(MsgStrip{key, version, {}});
                    break;
                default:
                    message = Encode(MsgText{"x"});
                    break;
            }
            if (random() % 5 == 0)
                message[10 + random() % (message.size() - 10)] ^= static_cast<std::uint8_t>(random());
            // Sent as they are (bit 2), from a sender of the low two bits,
            // now and then with the clock moving or a command of the owner's.
            std::uint8_t selector = static_cast<std::uint8_t>(0x04 | (random() % 4));
            if (random() % 4 == 0) selector |= 0x40;
            if (random() % 6 == 0) {
                selector = 0x80;
                message = {static_cast<std::uint8_t>(random()), static_cast<std::uint8_t>(random())};
            }
            data.push_back(selector);
            data.push_back(static_cast<std::uint8_t>(message.size() & 0xFF));
            data.push_back(static_cast<std::uint8_t>(message.size() >> 8));
            data.insert(data.end(), message.begin(), message.end());
        }
        FuzzCoordination(data);
    }
}

}  // namespace
}  // namespace tarnwick::coordination

#include "multiplayer/session_link.h"

#include <gtest/gtest.h>

#include <climits>
#include <memory>

#include "multiplayer/forwarding_transport.h"
#include "multiplayer/session_fixture.h"

namespace tarnwick {
namespace {

using testing::SessionFixture;

const UserMessage kHostLeft{"The original host had left the session, Tarnwick is now hosting the session."};
const UserMessage kLost{"The FS multiplayer connection was lost, Tarnwick closes multiplayer session."};
const UserMessage kRemoved{"The host had removed you from the session, Tarnwick closes multiplayer session."};

class SessionLinkTest : public ::testing::Test {
   protected:
    SessionLinkTest() {
        f.Connect();
        own = f.session.OwnPlayerId;
        link = std::make_unique<SessionLink>(f.session, f.Transport(), *grid, [this] { return now; });
        link->Start();
    }

    // A pilot that joins the session and answers the identification request.
    std::int32_t IdentifiedPilot(const std::string& name, bool observer = false) {
        const std::int32_t id = f.hub.AddPlayer(name);
        f.hub.Send(id, own, observer ? Encode(MsgObserverAccept{id}) : Encode(MsgJoinAccept{id}));
        link->ReceiveTick();
        return id;
    }

    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const PlayerRecord& entry : f.session.Traffic.Entries()) names.push_back(entry.Name);
        return names;
    }

    SessionFixture f;
    std::unique_ptr<DeclinationGrid> grid = std::make_unique<DeclinationGrid>();
    std::int32_t own = 0;
    std::chrono::milliseconds now{100000};  // the link's clock
    std::unique_ptr<SessionLink> link;
};

const MessageBytes kReport = Encode(MsgPosition{{1024, 10001750 / 2, 0, 300}});
const std::vector<std::int32_t> kIdentifyRequest{MsgIdentifyRequest::kType};

TEST_F(SessionLinkTest, IdentificationAndAircraftInfoFillTheTable) {
    EXPECT_EQ(f.TypesFor(f.host), (std::vector<std::int32_t>{MsgIdentifyRequest::kType}));
    f.hub.Send(f.host, own, Encode(MsgIdentifyRequest{}));
    f.hub.Send(f.host, own, Encode(MsgJoinAccept{f.host}));
    f.hub.Send(f.host, own, Encode(MsgJoinAccept{f.host}));
    const LinkEvents events = link->ReceiveTick();
    EXPECT_TRUE(events.PlayerListChanged);
    EXPECT_EQ(Names(), (std::vector<std::string>{kDefaultNickname, "Host"})) << "a second answer adds nobody";
    const auto answer = f.hub.Receive(f.host);
    ASSERT_TRUE(answer);
    EXPECT_EQ(DecodeMessage<MsgJoinAccept>(answer->Bytes).PlayerId, own) << "the program identifies itself";

    const std::int32_t watcher = IdentifiedPilot("Watcher", true);
    EXPECT_EQ(f.session.Traffic[2].Kind, kKindObserver);
    const std::int32_t stranger = f.hub.AddPlayer("Stranger");
    f.TypesFor(f.host);
    f.TypesFor(watcher);

    link->MaintenanceTick();
    EXPECT_EQ(f.TypesFor(stranger), (std::vector<std::int32_t>{MsgIdentifyRequest::kType}));
    EXPECT_EQ(f.TypesFor(f.host), (std::vector<std::int32_t>{MsgAircraftInfoRequest::kType}));
    EXPECT_TRUE(f.TypesFor(watcher).empty()) << "observers fly nothing";
    EXPECT_EQ(f.Transport().MessageCount(own), 0) << "the program asks nothing of itself";

    f.hub.Inject(f.host, own, {0x0E, 0x10, 0, 0, 5, 0, 0, 0, 7, 0, 'C', 0, 'J'});
    f.hub.Send(stranger, own, Encode(MsgAircraftInfo{1, "Learjet 45"}));
    EXPECT_TRUE(link->ReceiveTick().TrafficChanged);
    EXPECT_EQ(f.session.Traffic[1].Category, "");
    EXPECT_EQ(f.session.Traffic[1].Aircraft, "CJ");
    EXPECT_EQ(f.session.Traffic.PlayerCount(), 3) << "an unknown sender's description is dropped";
}

TEST_F(SessionLinkTest, PositionsMoveKnownEntriesWithMagneticHeadings) {
    const std::int32_t pilot = f.hub.AddPlayer("Pilot");
    const MessageBytes position = Encode(MsgPosition{{1024, 10001750 / 2, 1073741824 / 2, 1000}});
    f.hub.Send(pilot, own, position);
    EXPECT_FALSE(link->ReceiveTick().TrafficChanged) << "not identified yet";
    f.hub.Send(pilot, own, Encode(MsgJoinAccept{pilot}));
    grid->Cells[DeclinationGrid::IndexOf(45, 45)] = 1821;  // 10.0 degrees east
    f.hub.Send(pilot, own, position);
    EXPECT_TRUE(link->ReceiveTick().TrafficChanged);
    const PlayerRecord& entry = f.session.Traffic[1];
    EXPECT_EQ(entry.Latitude, 45.0);
    EXPECT_EQ(entry.Longitude, 45.0);
    EXPECT_EQ(entry.Altitude, 3281);
    EXPECT_EQ(entry.Heading, 80.0);

    f.hub.Send(pilot, own, Encode(MsgPosition{{0, 0, 0, INT_MAX}}));
    f.hub.Send(pilot, own, Encode(MsgPositionLong{{-4, 0, 0, 100}}));
    link->ReceiveTick();
    EXPECT_EQ(entry.Latitude, 0.0) << "the report after one out of range is still read";
    EXPECT_EQ(entry.Altitude, 328);
    EXPECT_EQ(entry.Heading, 360.0);
}

TEST_F(SessionLinkTest, UpkeepDropsAdjacentLeaversAndKeepsTheOthers) {
    const std::int32_t a = IdentifiedPilot("A");
    const std::int32_t b = IdentifiedPilot("B");
    IdentifiedPilot("C");
    f.hub.RemovePlayer(a);
    f.hub.RemovePlayer(b);
    EXPECT_TRUE(link->MaintenanceTick().PlayerListChanged);
    EXPECT_EQ(Names(), (std::vector<std::string>{kDefaultNickname, "C"}));
}

TEST_F(SessionLinkTest, ANewRadarWindowDropsLeaversAtOnceAndListsThoseStillHere) {
    EXPECT_FALSE(SessionLink(f.session, f.Transport(), *grid).Start().PlayerListChanged)
        << "with only the program's own entry there is nobody to list yet";
    IdentifiedPilot("Gone");
    IdentifiedPilot("Stays");
    f.hub.RemovePlayer(f.session.Traffic[1].PlayerId);
    link = std::make_unique<SessionLink>(f.session, f.Transport(), *grid);
    EXPECT_TRUE(link->Start().PlayerListChanged) << "the fresh chat window lists the pilots known";
    EXPECT_EQ(Names(), (std::vector<std::string>{kDefaultNickname, "Stays"}));
}

TEST_F(SessionLinkTest, HostLeavingWithOthersLeftMakesTheProgramTheHost) {
    const std::int32_t pilot = IdentifiedPilot("Pilot");
    const std::int32_t newcomer = f.hub.AddPlayer("Newcomer");
    const std::int32_t watcher = f.hub.AddPlayer("Watcher");
    f.hub.Send(pilot, own, Encode(MsgJoinRequest{}));
    f.hub.Send(f.host, own, Encode(MsgHostLeft{}));
    f.hub.RemovePlayer(f.host);
    f.hub.Send(newcomer, own, Encode(MsgJoinRequest{}));
    f.hub.Send(pilot, own, Encode(MsgJoinRequest{}));
    f.hub.Send(watcher, own, Encode(MsgObserverJoinRequest{}));
    const LinkEvents events = link->ReceiveTick();
    EXPECT_EQ(events.Messages, (std::vector<UserMessage>{kHostLeft}));
    EXPECT_TRUE(f.session.IsHosting);
    EXPECT_EQ(f.session.HostPlayerId, own) << "the program speaks for the host now";
    EXPECT_EQ(f.TypesFor(pilot), (std::vector<std::int32_t>{MsgJoinRefuse::kType}))
        << "before the host left nobody was answered; then a known pilot is refused";
    const auto accept = f.hub.Receive(newcomer);
    ASSERT_TRUE(accept);
    EXPECT_EQ(DecodeMessage<MsgJoinAccept>(accept->Bytes).PlayerId, newcomer);
    EXPECT_EQ(DecodeMessage<MsgObserverAccept>(f.hub.Receive(watcher)->Bytes).PlayerId, watcher);
    link->Start();
    EXPECT_FALSE(f.session.IsHosting) << "a new radar window starts as a guest";
}

TEST_F(SessionLinkTest, HostLeavingTheProgramAloneClosesTheSession) {
    const std::int32_t pilot = IdentifiedPilot("Pilot");
    f.hub.RemovePlayer(pilot);
    f.hub.Send(f.host, own, Encode(MsgHostLeft{}));
    f.hub.Send(f.host, own, Encode(MsgChat{"still here"}));
    f.hub.RemovePlayer(f.host);
    const LinkEvents events = link->ReceiveTick();
    EXPECT_EQ(events.Messages, (std::vector<UserMessage>{kLost}));
    EXPECT_TRUE(events.Disconnect);
    EXPECT_TRUE(events.ChatLines.empty());
    EXPECT_EQ(f.Transport().MessageCount(own), 1) << "the tick ends at once";
}

TEST_F(SessionLinkTest, RemovalByTheHostAndASessionThatVanishesBothDisconnect) {
    f.hub.Send(f.host, own, Encode(MsgRemovedByHost{}));
    f.hub.Send(f.host, own, Encode(MsgChat{"bye"}));
    LinkEvents events = link->ReceiveTick();
    EXPECT_EQ(events.Messages, (std::vector<UserMessage>{kRemoved}));
    EXPECT_TRUE(events.Disconnect);
    EXPECT_EQ(f.Transport().MessageCount(own), 1);

    events = link->ReceiveTick();
    EXPECT_EQ(events.ChatLines, (std::vector<std::string>{"Host: bye"}));
    EXPECT_FALSE(events.Disconnect);
    f.hub.EndSession();
    events = link->ReceiveTick();
    EXPECT_EQ(events.Messages, (std::vector<UserMessage>{kLost}));
    EXPECT_TRUE(events.Disconnect);
}

// A pilot that joins after the program is asked who it is by its first
// report, alone, rather than at the next upkeep pass; four reports a second
// draw one request every few seconds until it answers.
TEST_F(SessionLinkTest, ALatePilotIsAskedByItsFirstReportAndOnTheTableOnceItAnswers) {
    const std::int32_t known = IdentifiedPilot("Known");
    f.TypesFor(f.host);
    f.TypesFor(known);
    const std::int32_t late = f.hub.AddPlayer("Late");
    f.hub.Send(late, own, kReport);
    f.hub.Send(late, own, kReport);
    EXPECT_FALSE(link->ReceiveTick().TrafficChanged);
    EXPECT_EQ(f.TypesFor(late), kIdentifyRequest) << "one request for both reports";
    EXPECT_TRUE(f.TypesFor(known).empty() && f.TypesFor(f.host).empty()) << "asked alone";

    const auto interval = IdentifyRequests::kInterval;
    for (now += std::chrono::milliseconds(250); now < std::chrono::milliseconds(100000) + interval;
         now += std::chrono::milliseconds(250)) {
        f.hub.Send(late, own, kReport);
        link->ReceiveTick();
    }
    EXPECT_TRUE(f.TypesFor(late).empty()) << "not again within the interval";
    f.hub.Send(late, own, kReport);
    link->ReceiveTick();
    EXPECT_EQ(f.TypesFor(late), kIdentifyRequest) << "still unknown after it: asked again";

    f.hub.Send(late, own, Encode(MsgJoinAccept{late}));
    f.hub.Send(late, own, kReport);
    const LinkEvents events = link->ReceiveTick();
    EXPECT_TRUE(events.PlayerListChanged);
    EXPECT_EQ(Names(), (std::vector<std::string>{kDefaultNickname, "Known", "Late"}));
    EXPECT_EQ(f.session.Traffic[2].Latitude, 45.0) << "the report after the answer places it";
    now += interval;
    f.hub.Send(late, own, kReport);
    link->ReceiveTick();
    EXPECT_TRUE(f.TypesFor(late).empty()) << "a pilot on the table is not asked";
}

// The players in the session when the radar window loads are asked by its
// request to all, and the upkeep pass asks those still unknown: what they
// send right after draws no second request.
TEST_F(SessionLinkTest, PlayersAskedByTheRequestToAllOrTheUpkeepAreNotAskedAgainAtOnce) {
    EXPECT_EQ(f.TypesFor(f.host), kIdentifyRequest);
    f.hub.Send(f.host, own, kReport);
    link->ReceiveTick();
    EXPECT_TRUE(f.TypesFor(f.host).empty());

    const std::int32_t quiet = f.hub.AddPlayer("Quiet");
    now += IdentifyRequests::kInterval;
    link->MaintenanceTick();
    EXPECT_EQ(f.TypesFor(quiet), kIdentifyRequest);
    f.hub.Send(quiet, own, kReport);
    link->ReceiveTick();
    EXPECT_TRUE(f.TypesFor(quiet).empty());
}

// A chat line from a player nobody knows asks too; a request that cannot go
// (its sender is no player of the session) is left to the upkeep pass and
// holds up none of the other messages of the tick.
TEST_F(SessionLinkTest, AChatLineAsksTooAndARequestThatCannotGoEndsNoTick) {
    const std::int32_t known = IdentifiedPilot("Known");
    const std::int32_t talker = f.hub.AddPlayer("Talker");
    f.TypesFor(known);
    f.hub.Inject(424242, own, kReport);
    f.hub.Send(talker, own, Encode(MsgChat{"Approach, with you"}));
    f.hub.Send(known, own, kReport);
    const LinkEvents events = link->ReceiveTick();
    EXPECT_EQ(events.ChatLines, (std::vector<std::string>{"Talker: Approach, with you"}));
    EXPECT_EQ(f.TypesFor(talker), kIdentifyRequest);
    EXPECT_EQ(f.session.Traffic[1].Latitude, 45.0);
    EXPECT_FALSE(events.Disconnect);
}

// DirectPlay announces a player that comes into the session: it is asked at
// once, and its first report asks again (it may have come before the
// session's host let it in, and a pilot answers only once let in).
TEST_F(SessionLinkTest, APlayerDirectPlayAnnouncesIsAskedOnArrival) {
    struct Announcing final : ForwardingTransport {
        explicit Announcing(SessionTransport& to) : target(to) {}
        std::vector<std::int32_t> TakeArrivedPlayers() override { return std::exchange(arrived, {}); }
        SessionTransport& Target() override { return target; }
        SessionTransport& target;
        std::vector<std::int32_t> arrived;
    } announcing(f.Transport());
    link = std::make_unique<SessionLink>(f.session, announcing, *grid, [this] { return now; });
    const std::int32_t known = IdentifiedPilot("Known");
    announcing.arrived = {own, known};
    link->Start();
    EXPECT_TRUE(announcing.arrived.empty()) << "those already here are asked by the request to all";
    f.TypesFor(known);
    f.TypesFor(f.host);

    const std::int32_t late = f.hub.AddPlayer("Late");
    announcing.arrived = {late, known, own};
    link->ReceiveTick();
    EXPECT_EQ(f.TypesFor(late), kIdentifyRequest);
    EXPECT_TRUE(f.TypesFor(known).empty()) << "on the table already";
    EXPECT_EQ(f.Transport().MessageCount(own), 0) << "the program asks nothing of itself";
    f.hub.Send(late, own, kReport);
    link->ReceiveTick();
    EXPECT_EQ(f.TypesFor(late), kIdentifyRequest);
}

}  // namespace
}  // namespace tarnwick

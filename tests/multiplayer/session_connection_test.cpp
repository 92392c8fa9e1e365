#include "multiplayer/session_connection.h"

#include <gtest/gtest.h>

#include "multiplayer/forwarding_transport.h"
#include "multiplayer/record/replay_transport.h"
#include "multiplayer/session_fixture.h"
#include "multiplayer/session_link.h"

namespace tarnwick {
namespace {

using testing::SessionFixture;

TEST(SessionConnection, LocatingOffersTheProgramsConnectionTypesAndListsSessions) {
    SessionFixture f;
    f.connection.Load();
    std::vector<std::string> names;
    for (const ConnectionTypeLine& line : f.connection.ConnectionTypeLines()) names.push_back(line.Name);
    EXPECT_EQ(names,
              (std::vector<std::string>{kTcpIpConnectionName, kDemoConnectionName, kReplayConnectionName}));
    EXPECT_EQ(f.connection.Status(), kStatusNone);

    std::vector<std::string> statuses;
    f.connection.OnStatusChanged = [&](const std::string& status) { statuses.push_back(status); };
    ConnectionOutcome outcome = f.connection.LocateSession(std::nullopt);
    EXPECT_EQ(outcome.Messages, (std::vector<UserMessage>{{"Please select one type of connection."}}));
    EXPECT_TRUE(f.connection.TypeChoiceEnabled());

    outcome = f.connection.LocateSession(0);
    EXPECT_EQ(outcome.Messages,
              (std::vector<UserMessage>{{"Error, canceled connection. Try to locate session again."}}))
        << "TCP/IP is not in this build and fails like a cancelled connection";
    EXPECT_EQ(f.connection.Status(), kStatusDisconnected);

    statuses.clear();
    outcome = f.connection.LocateSession(1);
    EXPECT_TRUE(outcome.Messages.empty());
    EXPECT_EQ(statuses,
              (std::vector<std::string>{kStatusDisconnected, kStatusLooking, kConnectionStatusDone}));
    EXPECT_EQ(f.connection.SessionLines(), (std::vector<std::string>{"Test session (1/16)"}));
    EXPECT_TRUE(f.connection.TypeChoiceEnabled());

    f.hub.EndSession();
    outcome = f.connection.LocateSession(1);
    EXPECT_TRUE(outcome.Messages.empty()) << "finding nothing is not an error";
    EXPECT_TRUE(f.connection.SessionLines().empty());
    EXPECT_EQ(f.connection.Status(), kStatusDisconnected);
    EXPECT_EQ(f.connection.SearchNote(), "No session found.") << "said under the status instead";
    EXPECT_TRUE(f.connection.TypeChoiceEnabled());
    f.connection.ConnectionTypeClicked();
    EXPECT_EQ(f.connection.SearchNote(), "") << "until the user starts over";
}

TEST(SessionConnection, JoiningWithoutSessionOrNicknameSaysWhatIsMissing) {
    SessionFixture f;
    f.connection.Load();
    const ConnectionOutcome outcome = f.connection.JoinSession(std::nullopt, "");
    EXPECT_EQ(outcome.Messages,
              (std::vector<UserMessage>{{"Please select a FS multiplayer session.", MessageIcon::Warning},
                                        {"Please write a nickname.", MessageIcon::Warning}}));
    f.connection.LocateSession(1);
    EXPECT_EQ(f.connection.JoinSession(0, "").Messages.size(), 1u);
    EXPECT_TRUE(f.connection.SessionLines().empty()) << "the search has to be made again";
}

TEST(SessionConnection, AcceptanceForAnotherPlayerIsPassedOverAndTheTickStopsAtTheAnswer) {
    SessionFixture f;
    f.connection.Load();
    f.connection.LocateSession(1);
    f.connection.JoinSession(0, "Tower \xE2\x82\xAC\xE2\x98\x85");  // a euro sign and a star
    const std::int32_t own = f.session.OwnPlayerId;
    ASSERT_NE(own, 0);
    EXPECT_EQ(f.hub.FriendlyName(own), "Tower \x80?") << "the star has no Windows-1252 code";
    EXPECT_EQ(f.TypesFor(f.host), (std::vector<std::int32_t>{MsgJoinRequest::kType}));
    EXPECT_EQ(f.connection.Status(), kStatusConnecting);
    EXPECT_TRUE(f.connection.WaitTimersEnabled());

    f.hub.Send(f.host, own, Encode(MsgJoinAccept{own + 1}));
    f.hub.Inject(f.host, own, {0x03, 0x10, 0, 0, 4, 0, 0, 0});  // an acceptance cut short
    f.hub.Send(f.host, own, Encode(MsgIdentifyRequest{}));
    EXPECT_FALSE(f.connection.WaitForAcceptance().OpenRadar);
    EXPECT_EQ(f.Transport().MessageCount(own), 0);

    f.connection.RepeatJoinRequest();
    EXPECT_EQ(f.TypesFor(f.host), (std::vector<std::int32_t>{MsgJoinRetry::kType, MsgJoinRequest::kType}));

    f.hub.Send(f.host, own, Encode(MsgJoinAccept{own}));
    f.hub.Send(f.host, own, Encode(MsgJoinRefuse{}));
    f.hub.Send(f.host, own, Encode(MsgChat{"hello"}));
    const ConnectionOutcome outcome = f.connection.WaitForAcceptance();
    EXPECT_TRUE(outcome.OpenRadar);
    EXPECT_EQ(outcome.Messages, (std::vector<UserMessage>{{"Connected to FS session!"}}));
    EXPECT_EQ(f.Transport().MessageCount(own), 2) << "what follows the answer is left for the radar window";
    EXPECT_TRUE(f.session.SessionConnected && f.session.TrafficEnabled);
    EXPECT_EQ(f.connection.Status(), kStatusConnected);
    EXPECT_FALSE(f.connection.WaitTimersEnabled());
    ASSERT_EQ(f.session.Traffic.PlayerCount(), 1);
    EXPECT_EQ(f.session.Traffic[0].Name, "Tower \x80?");
    EXPECT_EQ(f.session.Traffic[0].PlayerId, own);
    EXPECT_EQ(f.session.Traffic[0].Kind, kKindPlayer);
    f.hub.Send(f.host, f.refuseGroup, Encode(MsgJoinRetry{}));
    EXPECT_EQ(f.Transport().MessageCount(own), 3) << "the own player is in the refusing group";

    EXPECT_FALSE(f.connection.Exit().EndProgram) << "closing the window after acceptance keeps the program";
}

TEST(SessionConnection, RefusalStartsOverAndLeavesTheSession) {
    SessionFixture f;
    f.JoinAs();
    f.hub.Send(f.host, f.session.OwnPlayerId, Encode(MsgJoinRefuse{}));
    const ConnectionOutcome outcome = f.connection.WaitForAcceptance();
    EXPECT_EQ(outcome.Messages, (std::vector<UserMessage>{{"Connection refused.", MessageIcon::Warning}}));
    EXPECT_FALSE(f.session.SessionConnected);
    EXPECT_FALSE(f.connection.WaitTimersEnabled());
    EXPECT_TRUE(f.connection.TypeChoiceEnabled());
    EXPECT_TRUE(f.connection.SessionLines().empty());
    EXPECT_EQ(f.connection.Status(), kStatusDisconnected);
    EXPECT_EQ(f.hub.Players().size(), 1u) << "only the host is left";
    EXPECT_TRUE(f.connection.Exit().EndProgram);
}

TEST(SessionConnection, ASessionLostWhileWaitingIsToldAndTheWindowStartsOver) {
    SessionFixture f;
    f.JoinAs();
    f.hub.EndSession();
    const ConnectionOutcome outcome = f.connection.WaitForAcceptance();
    EXPECT_EQ(outcome.Messages, (std::vector<UserMessage>{{kSessionLostText, MessageIcon::Information}}));
    EXPECT_FALSE(f.connection.WaitTimersEnabled());
    EXPECT_TRUE(f.connection.TypeChoiceEnabled());
    EXPECT_EQ(f.connection.Status(), kStatusDisconnected);
    EXPECT_TRUE(f.connection.SessionLines().empty());
    EXPECT_FALSE(f.session.SessionConnected);
}

// The session's own object, whose friendly names fail from the acceptance on.
class NamelessSession final : public ForwardingTransport {
   public:
    explicit NamelessSession(InProcessSessionHub& hub) : session_(hub, kDemoConnectionName) {}
    std::string FriendlyName(std::int32_t) override { throw SessionError("no names today"); }

   private:
    SessionTransport& Target() override { return session_; }
    InProcessTransport session_;
};

TEST(SessionConnection, AFailureAfterTheAcceptanceKeepsTheJoinUnderTheNameAskedFor) {
    SessionFixture f;
    PlayObjects play{[&] {
        return std::make_unique<ServiceProviderSet>(
            ProgramConnectionTypes([&] { return std::make_unique<NamelessSession>(f.hub); }));
    }};
    SessionConnection connection(f.session, play);
    connection.Load();
    connection.LocateSession(1);
    connection.JoinSession(0, "Tower \xE2\x82\xAC");
    f.hub.Send(f.host, f.session.OwnPlayerId, Encode(MsgJoinAccept{f.session.OwnPlayerId}));
    const ConnectionOutcome outcome = connection.WaitForAcceptance();
    EXPECT_TRUE(outcome.OpenRadar) << "the session does not accept twice";
    EXPECT_EQ(outcome.Messages, (std::vector<UserMessage>{{"Connected to FS session!"}}));
    ASSERT_EQ(f.session.Traffic.PlayerCount(), 1);
    EXPECT_EQ(f.session.Traffic[0].Name, "Tower \x80");
}

TEST(SessionConnection, LeavingDestroysTheOwnPlayerAndTheNextLoadStartsAfresh) {
    SessionFixture f;
    f.Connect();
    LeaveSession(f.session, f.play);
    EXPECT_FALSE(f.session.SessionConnected || f.session.TrafficEnabled);
    EXPECT_EQ(f.hub.Players().size(), 1u);
    EXPECT_FALSE(f.play.Exists());
    EXPECT_EQ(f.session.Traffic.PlayerCount(), 1) << "the table stays until the next session's upkeep";
    f.connection.Load();
    EXPECT_EQ(f.connection.Status(), kStatusNone);
    EXPECT_EQ(f.connection.ConnectionTypeLines().size(), 3u);
    EXPECT_TRUE(f.connection.Exit().EndProgram);
}

}  // namespace
}  // namespace tarnwick

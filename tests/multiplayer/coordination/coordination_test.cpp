#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "controller_network.h"
#include "multiplayer/game/messages.h"

namespace tarnwick::coordination {
namespace {

using testing::Channel;
using testing::ControllerNetwork;

constexpr Millis kSettled{6000};  // past the tie window

std::int32_t OwnerAt(ControllerNetwork& net, std::int32_t at, const PlayerKey& aircraft) {
    const AircraftRecord* record = net.Core(at).FindAircraft(aircraft);
    return record != nullptr ? record->Owner : 0;
}

bool Contains(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

// Runs a command and collects what it asked for.
template <typename Command>
CommandResult Do(ControllerNetwork& net, std::int32_t id, Command command) {
    CommandResult result = command(net.Core(id));
    net.Collect(id);
    return result;
}

struct Three {
    ControllerNetwork net;
    std::int32_t tower = net.AddController("Alice", "KSEA_TWR");
    std::int32_t approach = net.AddController("Bob", "KSEA_APP");
    std::int32_t centre = net.AddController("Carol", "ZSE_CTR");
    PlayerKey n123 = net.AddPilot("N123");
    Three() { net.DeliverAll(); }
    std::vector<std::int32_t> All() const { return {tower, approach, centre}; }
};

TEST(Coordination, ControllersKnowEachOtherAndAnAssumeIsSeenByAllWithItsStrip) {
    Three s;
    for (std::int32_t id : s.All()) {
        const std::vector<ControllerInfo> controllers = s.net.Core(id).Controllers();
        ASSERT_EQ(controllers.size(), 3u);
        EXPECT_EQ(controllers[0].PlayerId, id);
        EXPECT_TRUE(controllers[0].Local);
        for (const ControllerInfo& info : controllers) EXPECT_FALSE(info.Position.empty()) << info.Name;
        EXPECT_EQ(s.net.Core(id).ControllerAtPosition("KSEA_APP"), s.approach);
    }
    EXPECT_TRUE(Contains(s.net.Node(s.tower).ControllerLines, "Controller KSEA_APP (Bob) is on."));

    // Notes on an unowned aircraft stay on this controller's strip until it assumes it.
    ASSERT_TRUE(Do(s.net, s.tower,
                   [&](Coordinator& c) { return c.SetStripField(s.n123, StripField::Altitude, "5000"); }));
    EXPECT_TRUE(s.net.BusyChannels().empty());
    EXPECT_EQ(s.net.Core(s.approach).FindAircraft(s.n123), nullptr);

    ASSERT_TRUE(Do(s.net, s.tower, [&](Coordinator& c) { return c.Assume(s.n123); }));
    s.net.DeliverAll();
    for (std::int32_t id : s.All()) {
        const AircraftRecord* record = s.net.Core(id).FindAircraft(s.n123);
        ASSERT_NE(record, nullptr);
        EXPECT_EQ(record->Owner, s.tower);
        EXPECT_EQ(record->Strip.AssignedAltitude, 5000);
        EXPECT_EQ(s.net.Core(id).FindController(s.tower)->Owned, 1);
    }
    EXPECT_TRUE(s.net.Core(s.tower).Bay().Has(s.n123));
    EXPECT_FALSE(s.net.Core(s.approach).Bay().Has(s.n123)) << "a strip is this controller's own choice";
    EXPECT_TRUE(Contains(s.net.Node(s.centre).ControllerLines, "KSEA_TWR assumed N123."));
    EXPECT_EQ(s.net.Core(s.approach).Assume(s.n123).Refusal, "N123 is KSEA_TWR's.");
    EXPECT_TRUE(s.net.StraySends().empty());
    EXPECT_FALSE(s.net.Core(s.tower).OnMessage(s.approach, tarnwick::Encode(MsgChat{"hello"})))
        << "game messages are left to the game";
}

TEST(Coordination, OnlyTheOwnerEditsTheSharedStrip) {
    Three s;
    ASSERT_TRUE(Do(s.net, s.tower, [&](Coordinator& c) { return c.Assume(s.n123); }));
    ASSERT_TRUE(Do(s.net, s.tower, [&](Coordinator& c) {
        return c.SetStripField(s.n123, StripField::Scratchpad, "ILS16R");
    }));
    ASSERT_TRUE(Do(s.net, s.tower,
                   [&](Coordinator& c) { return c.SetStripField(s.n123, StripField::Heading, "270"); }));
    s.net.DeliverAll();
    for (std::int32_t id : s.All()) {
        const StripFields& strip = s.net.Core(id).FindAircraft(s.n123)->Strip;
        EXPECT_EQ(strip.Scratchpad, "ILS16R");
        EXPECT_EQ(strip.AssignedHeading, 270);
    }
    EXPECT_EQ(s.net.Core(s.approach).SetStripField(s.n123, StripField::Altitude, "3000").Refusal,
              "N123 is KSEA_TWR's; only its owner changes its strip.");
    EXPECT_EQ(s.net.Core(s.tower).SetStripField(s.n123, StripField::Altitude, "abc").Refusal,
              "the altitude \"abc\" is not a whole number.");
    ASSERT_TRUE(Do(s.net, s.tower,
                   [&](Coordinator& c) { return c.SetStripField(s.n123, StripField::Scratchpad, ""); }));
    s.net.DeliverAll();
    EXPECT_FALSE(s.net.Core(s.centre).FindAircraft(s.n123)->Strip.Scratchpad.has_value())
        << "cleared for all";
}

TEST(Coordination, AnAcceptedHandoffMakesTheAnswererOwnerEverywhere) {
    Three s;
    ASSERT_TRUE(Do(s.net, s.tower, [&](Coordinator& c) { return c.Assume(s.n123); }));
    EXPECT_EQ(s.net.Core(s.tower).HandOff(s.n123, s.approach).Refusal,
              "N123 was assumed a moment ago; hand it off in a few seconds.");
    s.net.Clock().Advance(kSettled);
    ASSERT_TRUE(Do(s.net, s.tower, [&](Coordinator& c) { return c.HandOff(s.n123, s.approach); }));
    s.net.DeliverAll();
    for (std::int32_t id : s.All()) {
        const AircraftRecord* record = s.net.Core(id).FindAircraft(s.n123);
        ASSERT_TRUE(record->Offer.has_value());
        EXPECT_EQ(record->Offer->To, s.approach);
        EXPECT_EQ(record->Owner, s.tower);
    }
    EXPECT_TRUE(Contains(s.net.Node(s.approach).ControllerLines, "KSEA_TWR offers you N123."));
    EXPECT_EQ(s.net.Core(s.tower).SetStripField(s.n123, StripField::Altitude, "4000").Refusal,
              "N123 is being handed off; its strip changes after the answer.");
    EXPECT_EQ(s.net.Core(s.centre).Accept(s.n123).Refusal, "No handoff of N123 to you stands.");

    ASSERT_TRUE(Do(s.net, s.approach, [&](Coordinator& c) { return c.Accept(s.n123); }));
    ASSERT_TRUE(Do(s.net, s.approach,
                   [&](Coordinator& c) { return c.SetStripField(s.n123, StripField::Altitude, "7000"); }));
    s.net.DeliverAll();
    for (std::int32_t id : s.All()) {
        const AircraftRecord* record = s.net.Core(id).FindAircraft(s.n123);
        EXPECT_EQ(record->Owner, s.approach);
        EXPECT_FALSE(record->Offer.has_value());
        EXPECT_EQ(record->Version, 2u);
        EXPECT_EQ(record->Strip.AssignedAltitude, 7000);
    }
    EXPECT_TRUE(Contains(s.net.Node(s.centre).ControllerLines, "KSEA_APP accepted N123 from KSEA_TWR."));
    EXPECT_TRUE(s.net.Core(s.approach).Bay().Has(s.n123)) << "taking an aircraft makes its strip";
    EXPECT_TRUE(s.net.Core(s.tower).Bay().Has(s.n123)) << "the strip stays while the pilot does";
    EXPECT_EQ(s.net.Core(s.tower).Release(s.n123).Refusal, "N123 is not yours.");
    ASSERT_TRUE(Do(s.net, s.approach, [&](Coordinator& c) { return c.Release(s.n123); }));
    s.net.DeliverAll();
    for (std::int32_t id : s.All()) EXPECT_EQ(OwnerAt(s.net, id, s.n123), 0);
}

TEST(Coordination, AHandoffRefusedOrWithdrawnLeavesTheOwnerAndAnAcceptanceBeatsALateWithdrawal) {
    Three s;
    ASSERT_TRUE(Do(s.net, s.tower, [&](Coordinator& c) { return c.Assume(s.n123); }));
    s.net.Clock().Advance(kSettled);
    ASSERT_TRUE(Do(s.net, s.tower, [&](Coordinator& c) { return c.HandOff(s.n123, s.approach); }));
    s.net.DeliverAll();
    ASSERT_TRUE(Do(s.net, s.approach, [&](Coordinator& c) { return c.Refuse(s.n123); }));
    s.net.DeliverAll();
    for (std::int32_t id : s.All()) {
        EXPECT_EQ(OwnerAt(s.net, id, s.n123), s.tower);
        EXPECT_FALSE(s.net.Core(id).FindAircraft(s.n123)->Offer.has_value());
    }
    EXPECT_TRUE(Contains(s.net.Node(s.tower).ControllerLines, "KSEA_APP refused N123."));

    // Withdrawn before the offered controller answered: its program refuses it.
    ASSERT_TRUE(Do(s.net, s.tower, [&](Coordinator& c) { return c.HandOff(s.n123, s.centre); }));
    ASSERT_TRUE(Do(s.net, s.tower, [&](Coordinator& c) { return c.CancelHandoff(s.n123); }));
    EXPECT_EQ(s.net.Core(s.tower).Release(s.n123).Refusal,
              "N123 is being handed off; withdraw the handoff first.");
    s.net.DeliverAll();
    for (std::int32_t id : s.All()) {
        EXPECT_EQ(OwnerAt(s.net, id, s.n123), s.tower);
        EXPECT_FALSE(s.net.Core(id).FindAircraft(s.n123)->Offer.has_value());
    }
    EXPECT_TRUE(Contains(s.net.Node(s.centre).ControllerLines, "ZSE_CTR refused N123."));

    // Accepted before the withdrawal reached the offered controller: it is taken.
    ASSERT_TRUE(Do(s.net, s.tower, [&](Coordinator& c) { return c.HandOff(s.n123, s.approach); }));
    s.net.DeliverAll();
    ASSERT_TRUE(Do(s.net, s.approach, [&](Coordinator& c) { return c.Accept(s.n123); }));
    ASSERT_TRUE(Do(s.net, s.tower, [&](Coordinator& c) { return c.CancelHandoff(s.n123); }));
    s.net.DeliverAll();
    for (std::int32_t id : s.All()) {
        EXPECT_EQ(OwnerAt(s.net, id, s.n123), s.approach);
        EXPECT_FALSE(s.net.Core(id).FindAircraft(s.n123)->Offer.has_value());
        EXPECT_EQ(s.net.Core(id).HeldMessages(), 0u);
    }
}

// A network where the given controllers have each assumed N123 before any
// message went; ids chosen so that `lowest` has the lowest.
struct Claims {
    ControllerNetwork net;
    std::vector<std::int32_t> ids;
    PlayerKey n123;
    Claims(int controllers, int claimants) {
        for (int i = 0; i < controllers; ++i) {
            // Ids above 0x7FFFFFFF count as the highest: the last claimant's id is the lowest.
            const std::int32_t id = i == claimants - 1 ? 0x2000 : -0x1000 + i;
            ids.push_back(net.AddController("C" + std::to_string(i), "POS" + std::to_string(i), id));
        }
        n123 = net.AddPilot("N123");
        net.DeliverAll();
        for (int i = 0; i < claimants; ++i) {
            const std::string mark = "by " + std::to_string(i);
            Do(net, ids[i], [&](Coordinator& c) { return c.SetStripField(n123, StripField::Remarks, mark); });
            EXPECT_TRUE(Do(net, ids[i], [&](Coordinator& c) { return c.Assume(n123); }));
        }
    }
    // Every machine has the lowest claimant as owner, with its strip.
    void ExpectSettled(int claimants, const std::string& order) {
        for (std::int32_t id : ids) {
            const AircraftRecord* record = net.Core(id).FindAircraft(n123);
            ASSERT_NE(record, nullptr);
            EXPECT_EQ(record->Owner, 0x2000) << "at " << id << " after " << order;
            EXPECT_EQ(record->Strip.Remarks, "by " + std::to_string(claimants - 1))
                << "at " << id << " after " << order;
            EXPECT_EQ(net.Core(id).HeldMessages(), 0u);
        }
    }
};

// Every interleaving of the busy channels' messages that keeps each channel's order.
void EachInterleaving(std::vector<std::pair<Channel, std::size_t>> counts, std::vector<Channel>& order,
                      const std::function<void(const std::vector<Channel>&)>& visit) {
    bool any = false;
    for (auto& [channel, left] : counts) {
        if (left == 0) continue;
        any = true;
        --left;
        order.push_back(channel);
        EachInterleaving(counts, order, visit);
        order.pop_back();
        ++left;
    }
    if (!any) visit(order);
}

std::string Describe(const std::vector<Channel>& order) {
    std::string text;
    for (const Channel& c : order) text += std::to_string(c.first) + ">" + std::to_string(c.second) + " ";
    return text;
}

TEST(Coordination, TwoAssumesAtOnceSettleOnTheLowerPlayerIdInEveryArrivalOrder) {
    std::vector<std::pair<Channel, std::size_t>> counts;
    {
        Claims probe(3, 2);
        for (const Channel& channel : probe.net.BusyChannels())
            counts.push_back({channel, probe.net.Waiting(channel)});
    }
    ASSERT_EQ(counts.size(), 4u) << "each claimant to the two others";
    int orders = 0;
    std::vector<Channel> order;
    EachInterleaving(counts, order, [&](const std::vector<Channel>& arrival) {
        ++orders;
        Claims claims(3, 2);
        for (const Channel& channel : arrival) ASSERT_TRUE(claims.net.DeliverOne(channel));
        claims.ExpectSettled(2, Describe(arrival));
    });
    EXPECT_EQ(orders, 2520) << "8 messages on 4 channels, 2 each";
}

TEST(Coordination, ThreeAssumesAtOnceSettleOnTheLowestPlayerIdInSampledArrivalOrders) {
    std::mt19937 random(27);
    for (int run = 0; run < 300; ++run) {
        Claims claims(4, 3);
        std::string order;
        for (std::vector<Channel> busy = claims.net.BusyChannels(); !busy.empty();
             busy = claims.net.BusyChannels()) {
            const Channel next = busy[random() % busy.size()];
            order += std::to_string(next.first) + ">" + std::to_string(next.second) + " ";
            claims.net.DeliverOne(next);
        }
        claims.ExpectSettled(3, order);
    }
}

TEST(Coordination, AnAnswerThatOvertakesItsOfferWaitsForItWithTheNewOwnersStrip) {
    Three s;
    ASSERT_TRUE(Do(s.net, s.tower, [&](Coordinator& c) { return c.Assume(s.n123); }));
    s.net.DeliverAll();
    s.net.Clock().Advance(kSettled);
    ASSERT_TRUE(Do(s.net, s.tower, [&](Coordinator& c) { return c.HandOff(s.n123, s.approach); }));
    ASSERT_TRUE(s.net.DeliverOne({s.tower, s.approach}));
    ASSERT_TRUE(Do(s.net, s.approach, [&](Coordinator& c) { return c.Accept(s.n123); }));
    ASSERT_TRUE(Do(s.net, s.approach,
                   [&](Coordinator& c) { return c.SetStripField(s.n123, StripField::Speed, "210"); }));

    // The centre hears the approach before the tower's offer.
    while (s.net.DeliverOne({s.approach, s.centre})) {
    }
    EXPECT_EQ(OwnerAt(s.net, s.centre, s.n123), s.tower);
    EXPECT_EQ(s.net.Core(s.centre).HeldMessages(), 2u) << "the answer, and the strip behind it";
    s.net.DeliverAll();
    for (std::int32_t id : s.All()) {
        EXPECT_EQ(OwnerAt(s.net, id, s.n123), s.approach);
        EXPECT_EQ(s.net.Core(id).FindAircraft(s.n123)->Strip.AssignedSpeed, 210);
        EXPECT_EQ(s.net.Core(id).HeldMessages(), 0u);
    }
    EXPECT_FALSE(s.net.Core(s.centre).NextDeadline().has_value());
}

TEST(Coordination, AClaimThatOvertakesTheReleaseItFollowsWaitsForIt) {
    Three s;
    ASSERT_TRUE(Do(s.net, s.tower, [&](Coordinator& c) { return c.Assume(s.n123); }));
    s.net.DeliverAll();
    s.net.Clock().Advance(kSettled);
    ASSERT_TRUE(Do(s.net, s.tower, [&](Coordinator& c) { return c.Release(s.n123); }));
    ASSERT_TRUE(s.net.DeliverOne({s.tower, s.approach}));
    ASSERT_TRUE(Do(s.net, s.approach, [&](Coordinator& c) { return c.Assume(s.n123); }));
    while (s.net.DeliverOne({s.approach, s.centre})) {
    }
    EXPECT_EQ(OwnerAt(s.net, s.centre, s.n123), s.tower);
    EXPECT_EQ(s.net.Core(s.centre).HeldMessages(), 2u) << "the claim, and its strip behind it";
    s.net.DeliverAll();
    for (std::int32_t id : s.All()) EXPECT_EQ(OwnerAt(s.net, id, s.n123), s.approach);
}

TEST(Coordination, AControllerThatArrivesLateGetsTheOwnersStripsAndStandingHandoffs) {
    ControllerNetwork net;
    const std::int32_t tower = net.AddController("Alice", "KSEA_TWR");
    const std::int32_t approach = net.AddController("Bob", "KSEA_APP");
    const PlayerKey n1 = net.AddPilot("N1"), n2 = net.AddPilot("N2"), n3 = net.AddPilot("N3");
    net.DeliverAll();
    ASSERT_TRUE(Do(net, tower,
                   [&](Coordinator& c) { return c.SetStripField(n1, StripField::Route, "SEA J70 GEG"); }));
    ASSERT_TRUE(Do(net, tower, [&](Coordinator& c) { return c.Assume(n1); }));
    ASSERT_TRUE(Do(net, approach, [&](Coordinator& c) { return c.Assume(n2); }));
    net.Clock().Advance(kSettled);
    ASSERT_TRUE(Do(net, tower, [&](Coordinator& c) { return c.HandOff(n1, approach); }));
    net.DeliverAll();

    const std::int32_t centre = net.AddController("Carol", "ZSE_CTR");
    net.DeliverAll();
    Coordinator& late = net.Core(centre);
    EXPECT_EQ(late.Controllers().size(), 3u);
    EXPECT_EQ(OwnerAt(net, centre, n1), tower);
    ASSERT_TRUE(late.FindAircraft(n1)->Offer.has_value());
    EXPECT_EQ(late.FindAircraft(n1)->Offer->To, approach);
    EXPECT_EQ(late.FindAircraft(n1)->Strip.Route, "SEA J70 GEG");
    EXPECT_EQ(OwnerAt(net, centre, n2), approach);
    EXPECT_EQ(OwnerAt(net, centre, n3), 0);
    EXPECT_EQ(late.FindController(approach)->Owned, 1);
    EXPECT_TRUE(Contains(net.Node(centre).ControllerLines, "KSEA_TWR holds N1."));

    ASSERT_TRUE(Do(net, approach, [&](Coordinator& c) { return c.Accept(n1); }));
    ASSERT_TRUE(Do(net, centre, [&](Coordinator& c) { return c.Assume(n3); }));
    net.DeliverAll();
    for (std::int32_t id : {tower, approach, centre}) {
        EXPECT_EQ(OwnerAt(net, id, n1), approach);
        EXPECT_EQ(OwnerAt(net, id, n3), centre);
    }
    EXPECT_TRUE(net.StraySends().empty());
}

TEST(Coordination, WhatAControllerSaysBeforeItIsKnownComesAgainWhenItIsGreeted) {
    ControllerNetwork net;
    const std::int32_t tower = net.AddController("Alice", "KSEA_TWR");
    const PlayerKey n1 = net.AddPilot("N1");
    ASSERT_TRUE(Do(net, tower, [&](Coordinator& c) { return c.Assume(n1); }));
    const std::int32_t approach = net.AddController("Bob", "KSEA_APP", 0, false);
    // The newcomer has the tower's player but not yet its group; the tower
    // knows the newcomer, and what it sends is skipped.
    net.Node(tower).InGroup = false;
    net.UpdateRosterOf(approach);
    net.Node(tower).InGroup = true;
    net.UpdateRosterOf(tower);
    net.DeliverAll();
    EXPECT_EQ(OwnerAt(net, approach, n1), 0);
    EXPECT_EQ(net.Node(approach).Notes.front(),
              "A coordination message from Alice, who is not a controller, skipped.");
    net.UpdateRosterOf(approach);
    net.DeliverAll();
    EXPECT_EQ(OwnerAt(net, approach, n1), tower);
    EXPECT_EQ(net.Core(approach).FindController(tower)->Position, "KSEA_TWR");
    EXPECT_EQ(net.Core(tower).FindController(approach)->Position, "KSEA_APP");
}

TEST(Coordination, ALateControllersHastyClaimYieldsToTheOwnersReport) {
    ControllerNetwork net;
    const std::int32_t tower = net.AddController("Alice", "KSEA_TWR");
    const PlayerKey n1 = net.AddPilot("N1");
    ASSERT_TRUE(Do(net, tower, [&](Coordinator& c) { return c.Assume(n1); }));
    net.Clock().Advance(kSettled);
    const std::int32_t approach = net.AddController("Bob", "KSEA_APP", 0x10);  // the lower id
    // Before it has heard anything, the newcomer assumes what the tower holds.
    ASSERT_TRUE(Do(net, approach, [&](Coordinator& c) { return c.Assume(n1); }));
    net.DeliverAll();
    EXPECT_EQ(OwnerAt(net, approach, n1), tower)
        << "the report of an aircraft held beats a claim made meanwhile";
    EXPECT_EQ(OwnerAt(net, tower, n1), tower);
    net.Clock().Advance(Millis{10000});
    net.Tick();
    EXPECT_EQ(net.Core(tower).HeldMessages(), 0u);
    EXPECT_EQ(OwnerAt(net, tower, n1), tower) << "the hasty claim waited for a release and was refused";
}

TEST(Coordination, AControllerThatVanishesOrLosesItsGroupFreesItsAircraftWithAChatLine) {
    Three s;
    const PlayerKey n2 = s.net.AddPilot("N2");
    s.net.DeliverAll();
    ASSERT_TRUE(Do(s.net, s.tower, [&](Coordinator& c) { return c.Assume(s.n123); }));
    ASSERT_TRUE(Do(s.net, s.tower, [&](Coordinator& c) { return c.Assume(n2); }));
    s.net.DeliverAll();
    s.net.Clock().Advance(kSettled);
    s.net.RemoveController(s.tower);
    for (std::int32_t id : {s.approach, s.centre}) {
        EXPECT_EQ(OwnerAt(s.net, id, s.n123), 0);
        EXPECT_EQ(OwnerAt(s.net, id, n2), 0);
        EXPECT_EQ(s.net.Node(id).ChatLines,
                  std::vector<std::string>{"Controller KSEA_TWR has left; N123, N2 are unowned now."});
        EXPECT_EQ(s.net.Core(id).Controllers().size(), 2u);
    }

    // A group that goes takes its controller, though its player stays.
    ASSERT_TRUE(Do(s.net, s.approach, [&](Coordinator& c) { return c.Assume(n2); }));
    s.net.DeliverAll();
    s.net.Clock().Advance(kSettled);
    ASSERT_TRUE(Do(s.net, s.approach, [&](Coordinator& c) { return c.HandOff(n2, s.centre); }));
    s.net.DeliverAll();
    s.net.DropGroup(s.centre);
    EXPECT_FALSE(s.net.Core(s.approach).FindAircraft(n2)->Offer.has_value()) << "the handoff to it ends";
    EXPECT_TRUE(Contains(s.net.Node(s.approach).ControllerLines,
                         "The handoff of N2 to ZSE_CTR has ended: ZSE_CTR has left."));
    EXPECT_EQ(s.net.Node(s.approach).ChatLines.back(), "Controller ZSE_CTR has left.");
    EXPECT_EQ(s.net.Core(s.approach).Controllers().size(), 1u);
}

TEST(Coordination, AHandoffAcceptedAsItsOwnerVanishedGoesToTheAnswererOnMachinesTheOfferNeverReached) {
    Three s;
    ASSERT_TRUE(Do(s.net, s.tower, [&](Coordinator& c) { return c.Assume(s.n123); }));
    s.net.DeliverAll();
    s.net.Clock().Advance(kSettled);
    ASSERT_TRUE(Do(s.net, s.tower, [&](Coordinator& c) { return c.HandOff(s.n123, s.approach); }));
    ASSERT_TRUE(s.net.DeliverOne({s.tower, s.approach}));
    ASSERT_TRUE(Do(s.net, s.approach, [&](Coordinator& c) { return c.Accept(s.n123); }));
    s.net.DeliverAll();  // the centre holds the answer; the offer is still to come
    EXPECT_EQ(s.net.Core(s.centre).HeldMessages(), 0u) << "the offer came, in this run";

    // Now again, with the tower gone before its offer reaches the centre.
    Three t;
    ASSERT_TRUE(Do(t.net, t.tower, [&](Coordinator& c) { return c.Assume(t.n123); }));
    t.net.DeliverAll();
    t.net.Clock().Advance(kSettled);
    ASSERT_TRUE(Do(t.net, t.tower, [&](Coordinator& c) { return c.HandOff(t.n123, t.approach); }));
    ASSERT_TRUE(t.net.DeliverOne({t.tower, t.approach}));
    ASSERT_TRUE(Do(t.net, t.approach, [&](Coordinator& c) { return c.Accept(t.n123); }));
    while (t.net.DeliverOne({t.approach, t.centre})) {
    }
    EXPECT_EQ(t.net.Core(t.centre).HeldMessages(), 1u);
    t.net.RemoveController(t.tower);
    t.net.DeliverAll();
    EXPECT_EQ(OwnerAt(t.net, t.centre, t.n123), t.approach);
    EXPECT_EQ(OwnerAt(t.net, t.approach, t.n123), t.approach);
    EXPECT_EQ(t.net.Core(t.centre).HeldMessages(), 0u);
    EXPECT_EQ(t.net.Node(t.centre).ChatLines, std::vector<std::string>{"Controller KSEA_TWR has left."});
}

TEST(Coordination, PositionsTextsAndTheStripBayFollowTheController) {
    Three s;
    const PlayerKey n2 = s.net.AddPilot("N2"), n3 = s.net.AddPilot("N3");
    s.net.DeliverAll();
    ASSERT_TRUE(Do(s.net, s.tower, [](Coordinator& c) { return c.SetPosition("KSEA_DEP"); }));
    ASSERT_TRUE(Do(s.net, s.tower, [](Coordinator& c) { return c.Say("runway 16R closed"); }));
    EXPECT_EQ(s.net.Core(s.tower).SetPosition(std::string(17, 'X')).Refusal,
              "The position is 17 bytes, at most 16 are allowed.");
    EXPECT_EQ(s.net.Core(s.tower).Say("").Refusal, "The line is empty.");
    s.net.DeliverAll();
    for (std::int32_t id : {s.approach, s.centre}) {
        EXPECT_EQ(s.net.Core(id).FindController(s.tower)->Position, "KSEA_DEP");
        EXPECT_EQ(s.net.Core(id).ControllerAtPosition("KSEA_TWR"), std::nullopt);
        EXPECT_TRUE(Contains(s.net.Node(id).ControllerLines, "KSEA_TWR is KSEA_DEP now."));
        EXPECT_TRUE(Contains(s.net.Node(id).ControllerLines, "KSEA_DEP: runway 16R closed"));
    }

    Coordinator& tower = s.net.Core(s.tower);
    ASSERT_TRUE(tower.AddStrip(n3));
    ASSERT_TRUE(tower.Assume(n2));
    ASSERT_TRUE(tower.AddStrip(s.n123));
    ASSERT_TRUE(tower.MoveStrip(s.n123, 0));
    EXPECT_EQ(std::vector<PlayerKey>(tower.Bay().Strips().begin(), tower.Bay().Strips().end()),
              (std::vector<PlayerKey>{s.n123, n3, n2}));
    s.net.Collect(s.tower);
    s.net.DeliverAll();
    s.net.RemovePilot(n2);
    EXPECT_EQ(std::vector<PlayerKey>(tower.Bay().Finished().begin(), tower.Bay().Finished().end()),
              std::vector<PlayerKey>{n2});
    EXPECT_TRUE(tower.FindAircraft(n2)->Finished);
    EXPECT_EQ(tower.FindController(s.tower)->Owned, 0) << "a pilot that left is no one's";
    EXPECT_EQ(s.net.Core(s.approach).FindAircraft(n2), nullptr) << "nothing is kept where it had no strip";
    EXPECT_EQ(tower.Assume(n2).Refusal, "N2 is not in the session.");
    ASSERT_TRUE(tower.RemoveStrip(n2));
    EXPECT_EQ(tower.FindAircraft(n2), nullptr);
    EXPECT_EQ(tower.Assume({s.approach, "Bob"}).Refusal, "KSEA_APP is a controller, not an aircraft.");
}

}  // namespace
}  // namespace tarnwick::coordination

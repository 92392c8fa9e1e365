#include "multiplayer/session_link.h"

#include <optional>
#include <type_traits>
#include <variant>

#include "base/rounding.h"
#include "geo/geodesy.h"
#include "multiplayer/chat.h"
#include "multiplayer/game/message_decoder.h"
#include "multiplayer/game/wire_values.h"

namespace tarnwick {
namespace {

constexpr const char* kHostLeftText =
    "The original host had left the session, Tarnwick is now hosting the session.";
constexpr const char* kRemovedText =
    "The host had removed you from the session, Tarnwick closes multiplayer session.";

// The sender's friendly name, asked of the session at most once per message
// and only when an entry carries the sender's id.
class SenderName {
   public:
    SenderName(SessionTransport& transport, std::int32_t sender) : transport_(transport), sender_(sender) {}
    const std::string& operator()(std::int32_t) {
        if (!name_) name_ = transport_.FriendlyName(sender_);
        return *name_;
    }

   private:
    SessionTransport& transport_;
    std::int32_t sender_;
    std::optional<std::string> name_;
};

struct DecodedPosition {
    double Latitude = 0.0;
    double Longitude = 0.0;
    std::int32_t Altitude = 0;
    std::int16_t TrueHeading = 0;
};

// Everything converted before any entry changes, so that a value that does not
// fit leaves the entries as they were.
DecodedPosition Decode(const PositionWords& words) {
    DecodedPosition position;
    position.Latitude = LatitudeFromWire(words.LatitudeWord);
    position.Longitude = LongitudeFromWire(words.LongitudeWord);
    position.Altitude = AltitudeFeetFromMetres(words.AltitudeMetres);
    position.TrueHeading = CheckedI16(DecodeHeading(words.AttitudeWord));
    return position;
}

}  // namespace

LinkClock SteadyLinkClock() {
    return [] {
        return std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now().time_since_epoch());
    };
}

LinkEvents SessionLink::Start() {
    LinkEvents events;
    if (!session_.SessionConnected) return events;
    session_.IsHosting = false;
    try {
        // The table outlives a disconnect: the last session's pilots would
        // otherwise stay on the scope until the first upkeep pass, and a
        // fresh chat window would list nobody while the scope shows those
        // still here, whose identification adds no entry.
        const std::vector<SessionMember> players = transport_.Players();
        Prune(players, events);
        if (session_.Traffic.PlayerCount() > 1) events.PlayerListChanged = true;
        // The request to all below asks them; what they send before they
        // answer asks nothing more.
        const std::chrono::milliseconds now = clock_();
        for (const SessionMember& player : players)
            if (!session_.Traffic.AnyMatches(player)) identifyRequests_.Asked(player.Id, now);
        (void)transport_.TakeArrivedPlayers();  // here already: the request to all asks them
    } catch (const SessionError&) {
        // The upkeep tick prunes within 30 seconds.
    }
    try {
        transport_.Send(session_.OwnPlayerId, kAllPlayers, Encode(MsgIdentifyRequest{}));
    } catch (const SessionError&) {
        // The upkeep tick asks every unknown player again within 30 seconds.
    }
    return events;
}

LinkEvents SessionLink::ReceiveTick() {
    LinkEvents events;
    if (!session_.HasOwnPlayer()) return events;
    try {
        for (std::int32_t n = transport_.MessageCount(session_.OwnPlayerId); n >= 1; --n) {
            if (Handle(transport_.Receive(), events) == Next::EndTick) return events;
        }
        AskArrivedPlayers();
    } catch (const SessionError&) {
        // Whatever was not received stays queued for the next tick.
    }
    if (transport_.SessionLost()) Lost(events);
    return events;
}

SessionLink::Next SessionLink::Handle(const ReceivedMessage& message, LinkEvents& events) {
    const std::int32_t sender = message.From;
    TrafficTable& table = session_.Traffic;
    SenderName senderName(transport_, sender);
    const auto handle = [&](const auto& m) -> Next {
        using T = std::decay_t<decltype(m)>;
        if constexpr (std::is_same_v<T, MsgJoinRequest> || std::is_same_v<T, MsgObserverJoinRequest>) {
            if (session_.IsHosting) AnswerJoinRequest(sender, std::is_same_v<T, MsgObserverJoinRequest>);
        } else if constexpr (std::is_same_v<T, MsgJoinAccept> || std::is_same_v<T, MsgObserverAccept>) {
            if (session_.TrafficEnabled && !table.AnyMatchesSender(sender, senderName))
                AddIdentified(sender, std::is_same_v<T, MsgJoinAccept> ? kKindPlayer : kKindObserver, events);
        } else if constexpr (std::is_same_v<T, MsgIdentifyRequest>) {
            if (session_.TrafficEnabled)
                transport_.Send(session_.OwnPlayerId, sender, Encode(MsgJoinAccept{session_.OwnPlayerId}));
        } else if constexpr (std::is_same_v<T, MsgAircraftInfo>) {
            if (!session_.TrafficEnabled) return Next::Continue;
            table.ForEachMatchingSender(sender, senderName, [&](PlayerRecord& entry) {
                entry.Category = AircraftCategoryText(m.CategoryCode);
                entry.Aircraft = m.Title;
                events.TrafficChanged = true;
            });
        } else if constexpr (std::is_same_v<T, MsgPosition> || std::is_same_v<T, MsgPositionLong>) {
            if (!session_.TrafficEnabled) return Next::Continue;
            const DecodedPosition position = Decode(m.Words);
            bool known = false;
            table.ForEachMatchingSender(sender, senderName, [&](PlayerRecord& entry) {
                entry.Latitude = position.Latitude;
                entry.Longitude = position.Longitude;
                entry.Altitude = position.Altitude;
                entry.Heading =
                    geo::TrueToMagnetic(grid_, position.TrueHeading, position.Latitude, position.Longitude);
                events.TrafficChanged = true;
                known = true;
            });
            if (!known) AskToIdentify(sender);
        } else if constexpr (std::is_same_v<T, MsgHostLeft>) {
            if (sender == session_.HostPlayerId) return HandleHostLeft(events);
        } else if constexpr (std::is_same_v<T, MsgRemovedByHost>) {
            if (sender == session_.HostPlayerId) {
                events.Messages.push_back({kRemovedText, MessageIcon::Information});
                events.Disconnect = true;
                return Next::EndTick;
            }
        } else if constexpr (std::is_same_v<T, MsgChat>) {
            if (!m.Text.empty()) events.ChatLines.push_back(transport_.FriendlyName(sender) + ": " + m.Text);
            AskIfUnknown(sender);
        }
        // One peer's bad message must not hold up everyone else's: a message
        // too short for its type is passed over and the tick goes on, as is
        // one of a type the program does not read, and one that only the host
        // may send coming from anyone else.
        return Next::Continue;
    };
    try {
        return std::visit(handle, DecodeGameMessage(message.Bytes));
    } catch (const OverflowError&) {
        // A value beyond any real flight, passed over likewise.
        return Next::Continue;
    }
}

void SessionLink::AskToIdentify(std::int32_t player) {
    if (!session_.TrafficEnabled || player == session_.OwnPlayerId) return;
    if (!identifyRequests_.ShouldAsk(player, clock_())) return;
    try {
        transport_.Send(session_.OwnPlayerId, player, Encode(MsgIdentifyRequest{}));
    } catch (const SessionError&) {
        // Not a player to send to (it left meanwhile): the upkeep pass asks
        // whoever is still unknown, and the other messages go on.
    }
}

void SessionLink::AskIfUnknown(std::int32_t player) {
    if (!session_.TrafficEnabled) return;
    try {
        if (session_.Traffic.AnyMatchesSender(player, SenderName(transport_, player))) return;
    } catch (const SessionError&) {
        return;  // its name cannot be had: it has left, there is nobody to ask
    }
    AskToIdentify(player);
}

void SessionLink::AskArrivedPlayers() {
    if (!session_.TrafficEnabled) return;
    for (const std::int32_t player : transport_.TakeArrivedPlayers()) {
        if (player == session_.OwnPlayerId) continue;
        try {
            if (session_.Traffic.AnyMatchesSender(player, SenderName(transport_, player))) continue;
            // Asked once on arrival, whatever it sends later: a pilot may
            // arrive before the session's host lets it in, and answer only then.
            transport_.Send(session_.OwnPlayerId, player, Encode(MsgIdentifyRequest{}));
        } catch (const SessionError&) {
            // Gone again: nothing to ask.
        }
    }
}

void SessionLink::AnswerJoinRequest(std::int32_t sender, bool observer) {
    const TrafficTable& table = session_.Traffic;
    SenderName senderName(transport_, sender);
    const bool accept =
        !table.AnyMatchesSender(sender, senderName) && table.PlayerCount() <= session_.SessionMaxPlayers;
    MessageBytes answer;
    if (observer) {
        answer = accept ? Encode(MsgObserverAccept{sender}) : Encode(MsgObserverRefuse{});
    } else {
        answer = accept ? Encode(MsgJoinAccept{sender}) : Encode(MsgJoinRefuse{});
    }
    transport_.Send(session_.OwnPlayerId, sender, answer);
}

void SessionLink::AddIdentified(std::int32_t sender, const char* kind, LinkEvents& events) {
    // A full table takes no more entries; the message then changes nothing.
    if (!session_.Traffic.Append(transport_.FriendlyName(sender), sender, kind)) return;
    events.PlayerListChanged = true;
    events.TrafficChanged = true;
}

void SessionLink::Prune(const std::vector<SessionMember>& players, LinkEvents& events) {
    if (session_.Traffic.PlayerCount() == 0) return;
    if (PruneTrafficTable(session_.Traffic, players) > 0) {
        events.PlayerListChanged = true;
        events.TrafficChanged = true;
    }
}

SessionLink::Next SessionLink::HandleHostLeft(LinkEvents& events) {
    Prune(transport_.Players(), events);
    const TrafficTable& table = session_.Traffic;
    if (table.PlayerCount() != 1) {
        session_.IsHosting = true;
        session_.HostPlayerId = session_.OwnPlayerId;
        events.Messages.push_back({kHostLeftText, MessageIcon::Information});
        return Next::Continue;
    }
    const std::int32_t own = session_.OwnPlayerId;
    if (EntryMatches(table[0], transport_.FriendlyName(own), own)) {
        Lost(events);
        return Next::EndTick;
    }
    return Next::Continue;
}

void SessionLink::Lost(LinkEvents& events) {
    events.Messages.push_back({kSessionLostText, MessageIcon::Information});
    events.Disconnect = true;
}

LinkEvents SessionLink::MaintenanceTick() {
    LinkEvents events;
    const std::int32_t own = session_.OwnPlayerId;
    if (!session_.HasOwnPlayer()) return events;
    try {
        const std::vector<SessionMember> players = transport_.Players();
        Prune(players, events);
        const TrafficTable& table = session_.Traffic;
        const std::chrono::milliseconds now = clock_();
        for (const SessionMember& player : players) {
            if (table.AnyMatches(player)) continue;
            transport_.Send(own, player.Id, Encode(MsgIdentifyRequest{}));
            identifyRequests_.Asked(player.Id, now);
        }
        const std::string ownName = transport_.FriendlyName(own);
        for (const PlayerRecord& entry : table.Entries()) {
            if (entry.Name == ownName || entry.Kind != kKindPlayer || entry.PlayerId == own) continue;
            transport_.Send(own, entry.PlayerId, Encode(MsgAircraftInfoRequest{}));
        }
    } catch (const SessionError&) {
        // The next pass starts afresh.
    }
    return events;
}

}  // namespace tarnwick

#include "multiplayer/replay_playback.h"

#include <algorithm>

namespace tarnwick {
namespace {

using std::chrono::milliseconds;

constexpr milliseconds kTickSpacing{1000};

void Merge(LinkEvents& into, const LinkEvents& from, bool told) {
    if (!told) {
        into.Messages.insert(into.Messages.end(), from.Messages.begin(), from.Messages.end());
        into.ChatLines.insert(into.ChatLines.end(), from.ChatLines.begin(), from.ChatLines.end());
    }
    into.PlayerListChanged = into.PlayerListChanged || from.PlayerListChanged;
    into.TrafficChanged = into.TrafficChanged || from.TrafficChanged;
    into.Disconnect = into.Disconnect || from.Disconnect;
}

}  // namespace

ReplayPlayback::ReplayPlayback(ReplayClock& clock, SessionState& session, SessionLink& link)
    : clock_(clock), session_(session), link_(link), startHost_(session.HostPlayerId) {}

LinkEvents ReplayPlayback::ReceiveTick() {
    const milliseconds now = clock_.Now();
    LinkEvents events;
    Merge(events, link_.ReceiveTick(), now <= toldUpTo_);
    toldUpTo_ = std::max(toldUpTo_, now);
    return events;
}

void ReplayPlayback::Restart() {
    TrafficTable& table = session_.Traffic;
    for (auto i = static_cast<std::int16_t>(table.PlayerCount() - 1); i >= 0; --i) {
        if (!EntryMatches(table[i], session_.OwnName, session_.OwnPlayerId)) table.RemoveAt(i);
    }
    session_.IsHosting = false;
    session_.HostPlayerId = startHost_;
    clock_.Rewind(milliseconds(0));
}

void ReplayPlayback::PlayTo(milliseconds time, LinkEvents& events) {
    clock_.JumpTo(time);
    const LinkEvents tick = link_.ReceiveTick();
    if (tick.TrafficChanged) session_.Motion.Observe(session_.Traffic, time);
    Merge(events, tick, time <= toldUpTo_);
}

LinkEvents ReplayPlayback::SeekTo(milliseconds time) {
    // What the replay reached since the last receive tick is told first.
    LinkEvents events = ReceiveTick();
    const milliseconds now = clock_.Now();
    time = std::clamp(time, milliseconds(0), clock_.Length().value_or(std::max(time, now)));
    milliseconds from = now;
    if (time < now) {
        Restart();
        from = milliseconds(0);
        session_.Motion = MotionHistory();
    }
    // Far ahead: in one go up to the stretch the motion history keeps, parted
    // where the untold begins.
    if (time - kWarmUp > from) {
        if (from < toldUpTo_ && toldUpTo_ < time - kWarmUp) PlayTo(toldUpTo_, events);
        PlayTo(time - kWarmUp, events);
        from = time - kWarmUp;
        session_.Motion = MotionHistory();
    }
    while (from < time && !events.Disconnect) {
        milliseconds next = std::min(from + kTickSpacing, time);
        if (from < toldUpTo_ && toldUpTo_ < next) next = toldUpTo_;
        PlayTo(next, events);
        from = next;
    }
    clock_.JumpTo(time);
    if (!events.Disconnect) Merge(events, link_.MaintenanceTick(), false);
    toldUpTo_ = std::max(toldUpTo_, time);
    return events;
}

}  // namespace tarnwick

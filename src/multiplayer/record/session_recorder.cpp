#include "multiplayer/record/session_recorder.h"

#include <algorithm>

#include "multiplayer/game/messages.h"

namespace tarnwick {
namespace {

constexpr std::chrono::seconds kFlushEvery{1};

// The message types that say what a sender is and where: what a recording
// started later needs to show the traffic at once.
bool KeptAsLastWord(std::int32_t type) {
    return type == MsgJoinAccept::kType || type == MsgObserverAccept::kType ||
           type == MsgAircraftInfo::kType || type == MsgPosition::kType || type == MsgPositionLong::kType;
}

std::optional<std::int32_t> TypeOf(const std::vector<std::uint8_t>& bytes) {
    if (bytes.size() < 4) return std::nullopt;
    return static_cast<std::int32_t>(std::uint32_t{bytes[0]} | std::uint32_t{bytes[1]} << 8 |
                                     std::uint32_t{bytes[2]} << 16 | std::uint32_t{bytes[3]} << 24);
}

}  // namespace

void SessionRecorder::Start(std::unique_ptr<RecordingSink> sink, const RecordingHeader& header) {
    Stop();
    failure_.reset();
    sink_ = std::move(sink);
    start_ = clock_();
    lastFlush_ = Clock{0};
    // The first tick looks at the players and groups.
    lastLook_ = -kFlushEvery;
    try {
        sink_->Write(FormatRecordingHeader(header));
    } catch (const RecordingError& error) {
        Fail(error.what());
        return;
    }
    if (session_) Write(RecordedSession{*session_});
    if (own_) Write(*own_);
    if (players_) Write(RecordedMembers{false, *players_});
    if (groups_) Write(RecordedMembers{true, *groups_});
    for (const auto& known : names_) {
        const bool listed = players_ && std::ranges::any_of(*players_, [&](const SessionMember& p) {
                                return p.Id == known.first && p.ShortName == known.second;
                            });
        const bool own = own_ && own_->Id == known.first && own_->Name == known.second;
        if (!listed && !own) Write(RecordedName{known.first, known.second});
    }
    // Earlier words in the order they came, as far as the map can tell: by
    // sender, identification before aircraft before position.
    for (const auto& [key, message] : lastWords_)
        Write(RecordedMessage{message.From, message.To, message.Bytes, true});
    if (lost_) Write(RecordedLoss{});
    if (sink_) recordedBytes_ = sink_->Size();
}

void SessionRecorder::Stop() {
    if (!sink_) return;
    Write(RecordedEnd{});
    if (!sink_) return;
    try {
        sink_->Flush();
    } catch (const RecordingError& error) {
        Fail(error.what());
        return;
    }
    sink_.reset();
}

void SessionRecorder::Write(const RecordingEvent& event) {
    if (!sink_) return;
    try {
        sink_->Write(FormatRecordingLine({Now(), event}));
        recordedBytes_ = sink_->Size();
    } catch (const RecordingError& error) {
        Fail(error.what());
    }
}

void SessionRecorder::Fail(const std::string& reason) {
    sink_.reset();
    failure_ = "The recording stopped: " + reason + ". The session goes on.";
}

void SessionRecorder::SessionChosen(const SessionDescription& session) {
    // A new session: nothing known of the last one carries over.
    session_ = session;
    own_.reset();
    players_.reset();
    groups_.reset();
    names_.clear();
    lastWords_.clear();
    lost_ = false;
    Write(RecordedSession{session});
}

void SessionRecorder::OwnPlayer(std::int32_t id, const std::string& name) {
    own_ = RecordedOwnPlayer{id, name};
    names_[id] = name;
    Write(*own_);
}

void SessionRecorder::Received(const ReceivedMessage& message) {
    if (const std::optional<std::int32_t> type = TypeOf(message.Bytes); type && KeptAsLastWord(*type))
        lastWords_[{message.From, *type}] = message;
    if (sink_) Write(RecordedMessage{message.From, message.To, message.Bytes, false});
}

void SessionRecorder::Members(bool groups, const std::vector<SessionMember>& members) {
    auto& known = groups ? groups_ : players_;
    const auto same = [](const SessionMember& a, const SessionMember& b) {
        return a.Id == b.Id && a.ShortName == b.ShortName;
    };
    if (known && std::ranges::equal(*known, members, same)) return;
    known = members;
    if (!groups) {
        for (const SessionMember& player : members) names_[player.Id] = player.ShortName;
        // The last words of players who left are of no more use.
        std::erase_if(lastWords_, [&](const auto& word) {
            return std::ranges::none_of(members,
                                        [&](const SessionMember& p) { return p.Id == word.first.first; });
        });
    }
    Write(RecordedMembers{groups, members});
}

void SessionRecorder::Name(std::int32_t id, const std::string& name) {
    const auto known = names_.find(id);
    if (known != names_.end() && known->second == name) return;
    names_[id] = name;
    Write(RecordedName{id, name});
}

void SessionRecorder::Lost() {
    if (lost_) return;
    lost_ = true;
    Write(RecordedLoss{});
}

bool SessionRecorder::Tick() {
    if (!sink_) return false;
    const Clock now = Now();
    if (now - lastFlush_ >= kFlushEvery) {
        lastFlush_ = now;
        try {
            sink_->Flush();
        } catch (const RecordingError& error) {
            Fail(error.what());
            return false;
        }
    }
    if (now - lastLook_ < kFlushEvery) return false;
    lastLook_ = now;
    return true;
}

}  // namespace tarnwick

#include "multiplayer/record/replay_transport.h"

#include <algorithm>
#include <fstream>
#include <set>
#include <variant>

#include "multiplayer/game/messages.h"

namespace tarnwick {
namespace {

constexpr const char* kUnreadableText = "The recording cannot be replayed.";

std::int32_t TypeOf(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < 4) return 0;
    return static_cast<std::int32_t>(std::uint32_t{bytes[0]} | std::uint32_t{bytes[1]} << 8 |
                                     std::uint32_t{bytes[2]} << 16 | std::uint32_t{bytes[3]} << 24);
}

// An id no one in the recording has, for a recording made without a player
// of the program's own (one read from a capture).
std::int32_t UnusedId(const Recording& recording) {
    std::set<std::int32_t> used;
    for (const RecordingLine& line : recording.Lines) {
        if (const auto* m = std::get_if<RecordedMessage>(&line.Event)) {
            used.insert(m->From);
            used.insert(m->To);
        } else if (const auto* members = std::get_if<RecordedMembers>(&line.Event)) {
            for (const SessionMember& member : members->Members) used.insert(member.Id);
        } else if (const auto* name = std::get_if<RecordedName>(&line.Event)) {
            used.insert(name->Id);
        }
    }
    std::int32_t id = 1000;
    while (used.contains(id)) ++id;
    return id;
}

}  // namespace

ReplayTransport::ReplayTransport(std::shared_ptr<ReplayClock> clock, std::filesystem::path file)
    : clock_(std::move(clock)), offered_(std::move(file)) {}

ReplayTransport::ReplayTransport(std::shared_ptr<ReplayClock> clock, Recording recording)
    : clock_(std::move(clock)), loaded_(true), recording_(std::move(recording)) {}

ReplayTransport::~ReplayTransport() {
    if (ownId_ == 0) return;
    clock_->SetPlaying(false);
    clock_->SetLength(std::nullopt);
}

void ReplayTransport::StartInitializeConnection(int) { asking_ = !loaded_; }

ProviderQuestion ReplayTransport::Question() {
    ProviderQuestion question{
        "The recorded session to replay (a file written by Record session...):", offered_.string(), {}};
    question.FileFilter = "Recorded sessions (*.jsonl);;All files (*)";
    return question;
}

void ReplayTransport::Answer(std::optional<std::string> answer) {
    asking_ = false;
    if (!answer) throw SessionError("no recording chosen");
    Load(*answer);
}

void ReplayTransport::Load(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) throw SessionError(kUnreadableText, "The file " + file.string() + " cannot be opened.");
    try {
        recording_ = ReadRecording(in);
    } catch (const RecordingError& error) {
        throw SessionError(kUnreadableText, file.string() + ": " + error.what());
    }
    loaded_ = true;
}

const Recording& ReplayTransport::Loaded() const {
    if (!loaded_) throw SessionError("no recording chosen");
    return recording_;
}

void ReplayTransport::StartEnumerateSessions() { (void)Loaded(); }

std::vector<SessionDescription> ReplayTransport::FoundSessions() {
    for (const RecordingLine& line : Loaded().Lines)
        if (const auto* session = std::get_if<RecordedSession>(&line.Event)) return {session->Description};
    SessionDescription session;
    session.SessionName = "Recorded session";
    return {session};
}

void ReplayTransport::StartOpen(const SessionDescription&) { (void)Loaded(); }

void ReplayTransport::StartCreatePlayer(const std::string& friendlyName, const std::string&) {
    std::chrono::milliseconds ownTime{0};
    ownId_ = 0;
    for (const RecordingLine& line : Loaded().Lines) {
        if (const auto* own = std::get_if<RecordedOwnPlayer>(&line.Event)) {
            ownId_ = own->Id;
            ownName_ = own->Name;
            ownTime = line.Time;
            break;
        }
    }
    if (ownId_ == 0) {
        ownId_ = UnusedId(recording_);
        ownName_ = friendlyName;
    }
    names_[ownId_] = ownName_;
    // The recording's time goes on from the moment the player was made, at
    // its own pace.
    clock_->SetSpeed(1);
    clock_->SetPaused(false);
    clock_->SetLength(Length());
    clock_->JumpTo(ownTime);
    clock_->SetPlaying(true);
    rewindsSeen_ = clock_->Rewinds();
}

void ReplayTransport::Rewind() {
    next_ = 0;
    waiting_.clear();
    players_.clear();
    groups_.clear();
    names_.clear();
    names_[ownId_] = ownName_;
    lost_ = false;
}

void ReplayTransport::CatchUp() {
    if (clock_->Rewinds() != rewindsSeen_) {
        rewindsSeen_ = clock_->Rewinds();
        Rewind();
    }
    const std::chrono::milliseconds now = clock_->Now();
    const auto& lines = recording_.Lines;
    for (; next_ < lines.size() && lines[next_].Time <= now; ++next_) {
        const RecordingEvent& event = lines[next_].Event;
        if (const auto* m = std::get_if<RecordedMessage>(&event)) {
            waiting_.push_back({m->From, m->To, m->Bytes});
        } else if (const auto* members = std::get_if<RecordedMembers>(&event)) {
            (members->Groups ? groups_ : players_) = members->Members;
            if (!members->Groups)
                for (const SessionMember& player : members->Members) names_[player.Id] = player.ShortName;
        } else if (const auto* name = std::get_if<RecordedName>(&event)) {
            names_[name->Id] = name->Name;
        } else if (std::holds_alternative<RecordedLoss>(event)) {
            lost_ = true;
        }
    }
}

void ReplayTransport::Send(std::int32_t, std::int32_t, std::span<const std::uint8_t> message) {
    // The session of a recording made after the join said yes before it.
    if (recording_.Header.JoinAccepted && TypeOf(message) == MsgJoinRequest::kType) acceptPending_ = true;
}

std::int32_t ReplayTransport::MessageCount(std::int32_t) {
    CatchUp();
    return static_cast<std::int32_t>(waiting_.size()) + (acceptPending_ ? 1 : 0);
}

ReceivedMessage ReplayTransport::Receive() {
    if (acceptPending_) {
        acceptPending_ = false;
        recording_.Header.JoinAccepted = false;
        std::int32_t host = 0;
        for (const SessionMember& player : players_)
            if (player.Id != ownId_) {
                host = player.Id;
                break;
            }
        return {host, ownId_, Encode(MsgJoinAccept{ownId_})};
    }
    if (waiting_.empty()) throw SessionError("no message waiting");
    ReceivedMessage message = std::move(waiting_.front());
    waiting_.pop_front();
    return message;
}

std::vector<SessionMember> ReplayTransport::Groups() {
    CatchUp();
    return groups_;
}

std::vector<SessionMember> ReplayTransport::Players() {
    CatchUp();
    std::vector<SessionMember> players = players_;
    if (ownId_ != 0 && std::ranges::none_of(players, [&](const SessionMember& p) { return p.Id == ownId_; }))
        players.push_back({ownName_, ownId_});
    return players;
}

std::string ReplayTransport::FriendlyName(std::int32_t player) {
    CatchUp();
    const auto name = names_.find(player);
    if (name == names_.end()) throw SessionError("no such player in the recording");
    return name->second;
}

bool ReplayTransport::SessionLost() {
    CatchUp();
    return lost_;
}

bool ReplayTransport::Ended() {
    CatchUp();
    return loaded_ && next_ == recording_.Lines.size() && waiting_.empty();
}

std::chrono::milliseconds ReplayTransport::Length() const {
    return recording_.Lines.empty() ? std::chrono::milliseconds{0} : recording_.Lines.back().Time;
}

}  // namespace tarnwick

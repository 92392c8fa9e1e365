#include "multiplayer/capture/capture_reader.h"

#include <pcap/pcap.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <variant>

#include "multiplayer/capture/captured_packet.h"
#include "multiplayer/capture/reliable_frames.h"
#include "multiplayer/capture/tcp_stream.h"
#include "multiplayer/directplay/frame.h"
#include "multiplayer/directplay/utf16_text.h"
#include "multiplayer/game/message_decoder.h"

namespace tarnwick {
namespace {

namespace dp = directplay;
using std::chrono::milliseconds;

constexpr std::uint16_t kEnumerationPort = 47624;
// Copies of one message to all, sent to each machine in turn, leave within
// this time of each other.
constexpr milliseconds kCopyWindow{50};

std::string LinkText(const dp::Endpoint& from, const dp::Endpoint& to, bool tcp) {
    return std::string(tcp ? "TCP " : "UDP ") + dp::EndpointText(from) + " -> " + dp::EndpointText(to);
}

// A game message as captured, before the choice of what the recording keeps.
struct CapturedGame {
    std::int32_t From = 0;
    std::int32_t To = 0;
    std::vector<std::uint8_t> Bytes;
    std::uint32_t FromIp = 0;
    std::uint32_t ToIp = 0;
};

// What happened, in capture order: a line as it stands, or a game message.
struct Happening {
    milliseconds Time;
    std::optional<RecordingEvent> Event;
    CapturedGame Game;
};

class CaptureDecoder {
   public:
    explicit CaptureDecoder(const CaptureReadOptions& options) : options_(options) {}

    void Packet(std::int64_t micros, std::uint64_t offset, int linkType, std::span<const std::uint8_t> frame);
    void Problem(std::string text) { report_.Problems.push_back({packet_, offset_, std::move(text)}); }
    CaptureReading Finish();

   private:
    // One direction of a TCP connection. The program's own reassembler
    // gives up a stream at the first bad header, as a connection must; a
    // reader of captures looks for the next message instead.
    struct Stream {
        std::unique_ptr<TcpStream> Bytes;
        std::vector<std::uint8_t> Pending;
        bool Searching = false;  // for the next message after damage
        std::uint64_t Skipped = 0;
        bool DirectPlay = false;
        bool Abandoned = false;
    };
    using Link = std::pair<dp::Endpoint, dp::Endpoint>;

    void StreamBytes(const Link& link, Stream& stream, std::span<const std::uint8_t> bytes);
    void Place(const SegmentPlace& place) {
        packet_ = place.Packet;
        offset_ = place.Offset;
        now_ = milliseconds(place.Millis);
    }
    void Frame(const Link& link, std::span<const std::uint8_t> frame);
    void Datagram(const CapturedSegment& segment);
    void Reliable(const CapturedSegment& segment);
    void Inbound(const dp::Inbound& inbound, const Link& link, bool tcp);
    void System(const dp::SystemFrame& frame);
    void Game(std::int32_t from, std::int32_t to, std::vector<std::uint8_t> payload, const Link& link,
              bool tcp);
    void Session(const dp::SessionDesc& desc, const std::u16string& name);
    void Announce(const dp::PlayerInfo& info, bool group);
    void Forget(std::uint32_t id);
    void MembersChanged();
    bool WithIds() const { return (report_.SessionFlags & dp::session_flags::kNoMessageId) == 0; }
    std::int32_t IdOfIndex(std::uint32_t index) const;
    void Keep(std::vector<RecordingLine>& lines, const Happening& happening, std::optional<std::int32_t> own,
              std::optional<std::uint32_t> ownIp,
              std::map<std::vector<std::uint8_t>, std::pair<milliseconds, std::set<std::uint32_t>>>& copies);

    const CaptureReadOptions& options_;
    CaptureReport report_;
    std::optional<std::int64_t> firstMicros_;
    milliseconds now_{0};
    milliseconds latest_{0};
    std::uint64_t packet_ = 0;
    std::uint64_t offset_ = 0;
    std::uint32_t sessionKey_ = 0;
    std::map<Link, Stream> streams_;
    std::map<Link, ReliableMessages> reliable_;
    std::set<std::uint32_t> directPlayIps_;
    std::map<std::uint32_t, CapturedPlayer> current_;
    std::vector<SessionMember> lastPlayers_;
    std::vector<SessionMember> lastGroups_;
    std::vector<Happening> happenings_;
};

void CaptureDecoder::Packet(std::int64_t micros, std::uint64_t offset, int linkType,
                            std::span<const std::uint8_t> frame) {
    ++report_.Packets;
    report_.Bytes += frame.size();
    packet_ = report_.Packets;
    offset_ = offset;
    if (!firstMicros_) firstMicros_ = micros;
    // Captures merged from several machines may step back a little; time
    // in a recording never does.
    latest_ = std::max(latest_, milliseconds((micros - *firstMicros_) / 1000));
    now_ = latest_;
    const SegmentOrReason parsed = ParseCapturedFrame(linkType, frame);
    if (!parsed.Segment) {
        if (!parsed.Reason.empty()) Problem(parsed.Reason);
        ++report_.OtherPackets;
        return;
    }
    const CapturedSegment& segment = *parsed.Segment;
    if (!segment.Tcp) {
        Datagram(segment);
        return;
    }
    const Link link{segment.From, segment.To};
    auto found = streams_.find(link);
    if (found == streams_.end()) {
        found = streams_.try_emplace(link).first;
        Stream* stream = &found->second;
        stream->Bytes = std::make_unique<TcpStream>(
            [this, link, stream](std::span<const std::uint8_t> bytes, const SegmentPlace& place) {
                Place(place);
                StreamBytes(link, *stream, bytes);
            },
            [this, link, stream](std::uint64_t lost, const SegmentPlace& next) {
                if (stream->Abandoned) return;
                Place(next);
                Problem(LinkText(link.first, link.second, true) + ": " + std::to_string(lost) +
                        " bytes were never captured; reading goes on at the next message");
                // What was left of the message the gap cut is of no use.
                stream->Skipped = stream->Pending.size();
                stream->Pending.clear();
                stream->Searching = true;
            });
    }
    found->second.Bytes->Segment(segment.Sequence, segment.Syn, segment.Payload,
                                 {packet_, offset_, now_.count()});
    Place({report_.Packets, offset, latest_.count()});
}

void CaptureDecoder::StreamBytes(const Link& link, Stream& stream, std::span<const std::uint8_t> bytes) {
    if (stream.Abandoned) return;
    std::vector<std::uint8_t>& pending = stream.Pending;
    pending.insert(pending.end(), bytes.begin(), bytes.end());
    std::size_t used = 0;
    while (pending.size() - used >= dp::kSpHeaderSize) {
        const auto rest = std::span<const std::uint8_t>(pending).subspan(used);
        std::size_t size = 0;
        try {
            size = dp::ReadSpHeader(rest).size;
        } catch (const dp::MalformedMessage& error) {
            if (!stream.DirectPlay) {
                // A connection that never carried a DirectPlay message is some other program's.
                stream.Abandoned = true;
                pending.clear();
                ++report_.OtherPackets;
                return;
            }
            if (!stream.Searching)
                Problem(LinkText(link.first, link.second, true) + ": " + error.what() +
                        "; reading goes on at the next message");
            stream.Searching = true;
            ++stream.Skipped;
            ++used;
            continue;
        }
        if (stream.Searching) {
            if (stream.Skipped > 0)
                Problem(LinkText(link.first, link.second, true) + ": " + std::to_string(stream.Skipped) +
                        " bytes between messages passed over");
            stream.Searching = false;
            stream.Skipped = 0;
        }
        if (rest.size() < size) break;
        Frame(link, rest.first(size));
        used += size;
    }
    pending.erase(pending.begin(), pending.begin() + static_cast<std::ptrdiff_t>(used));
}

void CaptureDecoder::Frame(const Link& link, std::span<const std::uint8_t> frame) {
    try {
        Inbound(dp::DecodeTcpFrame(frame, WithIds()), link, true);
        streams_[link].DirectPlay = true;
        directPlayIps_.insert(link.first.ip);
        directPlayIps_.insert(link.second.ip);
    } catch (const dp::MalformedMessage& error) {
        Problem(LinkText(link.first, link.second, true) + ": a message of " + std::to_string(frame.size()) +
                " bytes not decoded: " + error.what());
    }
}

void CaptureDecoder::Datagram(const CapturedSegment& segment) {
    const Link link{segment.From, segment.To};
    const auto bytes = segment.Payload;
    const bool system =
        bytes.size() >= dp::kSpHeaderSize + 4 && dp::HasSignature(bytes.subspan(dp::kSpHeaderSize));
    const bool known = segment.From.port == kEnumerationPort || segment.To.port == kEnumerationPort ||
                       (directPlayIps_.contains(segment.From.ip) && directPlayIps_.contains(segment.To.ip));
    if (!system && !known) {
        ++report_.OtherPackets;
        return;
    }
    if (!system && (report_.SessionFlags & dp::session_flags::kDirectPlayProtocol)) {
        Reliable(segment);
        return;
    }
    try {
        Inbound(dp::DecodeDatagram(bytes, WithIds()), link, false);
        directPlayIps_.insert(segment.From.ip);
        directPlayIps_.insert(segment.To.ip);
    } catch (const dp::MalformedMessage& error) {
        Problem(LinkText(link.first, link.second, false) + ": a datagram of " + std::to_string(bytes.size()) +
                " bytes not decoded: " + error.what());
    }
}

void CaptureDecoder::Reliable(const CapturedSegment& segment) {
    const Link link{segment.From, segment.To};
    ReliableFrame frame;
    try {
        frame = DecodeReliableFrame(segment.Payload);
    } catch (const dp::MalformedMessage& error) {
        Problem(LinkText(link.first, link.second, false) +
                ": a reliable-protocol frame not decoded: " + error.what());
        return;
    }
    ++report_.ReliableFrames;
    const std::optional<std::vector<std::uint8_t>> message = reliable_[link].Add(frame);
    if (!message) return;
    try {
        if (dp::HasSignature(*message)) {
            const dp::DecodedBody body = dp::DecodeBody(*message);
            Inbound(dp::SystemFrame{{}, body.dialect, body.message}, link, false);
        } else {
            Game(IdOfIndex(frame.FromIndex), IdOfIndex(frame.ToIndex), *message, link, false);
        }
    } catch (const dp::MalformedMessage& error) {
        Problem(LinkText(link.first, link.second, false) +
                ": a reliable-protocol message not decoded: " + error.what());
    }
}

std::int32_t CaptureDecoder::IdOfIndex(std::uint32_t index) const {
    // An index is a player's id without the session's mask, in its low half.
    for (const auto& [id, player] : current_)
        if (((id ^ sessionKey_) & 0xFFFF) == index) return static_cast<std::int32_t>(id);
    return static_cast<std::int32_t>(index ^ sessionKey_);
}

void CaptureDecoder::Inbound(const dp::Inbound& inbound, const Link& link, bool tcp) {
    if (const auto* system = std::get_if<dp::SystemFrame>(&inbound)) {
        System(*system);
        return;
    }
    const auto& game = std::get<dp::GameMessage>(inbound);
    Game(static_cast<std::int32_t>(game.from), static_cast<std::int32_t>(game.to), game.payload, link, tcp);
}

void CaptureDecoder::System(const dp::SystemFrame& frame) {
    ++report_.SystemMessages;
    report_.Dialects.insert(frame.dialect);
    std::visit(
        [&](const auto& m) {
            using T = std::decay_t<decltype(m)>;
            if constexpr (std::is_same_v<T, dp::EnumSessionsReply> ||
                          std::is_same_v<T, dp::SessionDescChanged>) {
                Session(m.desc, m.name);
            } else if constexpr (std::is_same_v<T, dp::SuperEnumPlayersReply> ||
                                 std::is_same_v<T, dp::EnumPlayersReply>) {
                Session(m.desc, m.name);
                for (const dp::PlayerInfo& player : m.players) Announce(player, false);
                for (const dp::PlayerInfo& group : m.groups) Announce(group, true);
            } else if constexpr (std::is_same_v<T, dp::CreatePlayer> ||
                                 std::is_same_v<T, dp::CreatePlayerVerify>) {
                Announce(m.info, false);
            } else if constexpr (std::is_same_v<T, dp::AddForward>) {
                Announce(m.player, false);
            } else if constexpr (std::is_same_v<T, dp::CreateGroup>) {
                Announce(m.info, true);
            } else if constexpr (std::is_same_v<T, dp::DeletePlayer> || std::is_same_v<T, dp::DeleteGroup>) {
                Forget(std::is_same_v<T, dp::DeletePlayer> ? m.player_id : m.group_id);
            } else if constexpr (std::is_same_v<T, dp::PlayerNameChanged> ||
                                 std::is_same_v<T, dp::GroupNameChanged>) {
                const auto player = current_.find(m.id);
                if (player != current_.end()) {
                    player->second.Name = dp::Utf16ToAnsi(m.short_name);
                    report_.Players.insert(player->second);
                    MembersChanged();
                }
            } else if constexpr (std::is_same_v<T, dp::Packet>) {
                Problem("a system message in " + std::to_string(m.total_packets) +
                        " fragments, which this reader does not put together");
            }
        },
        frame.message);
}

void CaptureDecoder::Session(const dp::SessionDesc& desc, const std::u16string& name) {
    const std::string ansi = dp::Utf16ToAnsi(name);
    const bool changed = !report_.SessionName || *report_.SessionName != ansi ||
                         report_.MaxPlayers != desc.max_players || report_.SessionFlags != desc.flags;
    report_.SessionName = ansi;
    report_.SessionFlags = desc.flags;
    report_.MaxPlayers = desc.max_players;
    report_.Application = dp::GuidText(desc.application);
    sessionKey_ = desc.reserved1;
    if (!changed) return;
    SessionDescription session;
    session.SessionName = ansi;
    session.CurrentPlayers = static_cast<std::int32_t>(desc.current_players);
    session.MaxPlayers = static_cast<std::int32_t>(desc.max_players);
    session.GuidApplication = report_.Application;
    happenings_.push_back({now_, RecordingEvent{RecordedSession{session}}, {}});
}

void CaptureDecoder::Announce(const dp::PlayerInfo& info, bool group) {
    CapturedPlayer player{info.id, dp::Utf16ToAnsi(info.short_name), info.IsSystemPlayer(), group};
    report_.Players.insert(player);
    const auto known = current_.find(info.id);
    if (known != current_.end() && known->second == player) return;
    current_[info.id] = player;
    MembersChanged();
}

void CaptureDecoder::Forget(std::uint32_t id) {
    if (current_.erase(id) > 0) MembersChanged();
}

void CaptureDecoder::MembersChanged() {
    RecordedMembers players{false, {}};
    RecordedMembers groups{true, {}};
    for (const auto& [id, member] : current_) {
        if (member.SystemPlayer) continue;
        (member.Group ? groups : players).Members.push_back({member.Name, static_cast<std::int32_t>(id)});
    }
    // Machines come and go unseen by the program; only the lists it asks for count.
    for (RecordedMembers* members : {&players, &groups}) {
        std::vector<SessionMember>& last = members->Groups ? lastGroups_ : lastPlayers_;
        const auto same = [](const SessionMember& a, const SessionMember& b) {
            return a.Id == b.Id && a.ShortName == b.ShortName;
        };
        if (std::ranges::equal(last, members->Members, same)) continue;
        last = members->Members;
        happenings_.push_back({now_, RecordingEvent{std::move(*members)}, {}});
    }
}

void CaptureDecoder::Game(std::int32_t from, std::int32_t to, std::vector<std::uint8_t> payload,
                          const Link& link, bool tcp) {
    ++report_.GameMessages;
    const tarnwick::GameMessage decoded = DecodeGameMessage(payload);
    if (const auto* malformed = std::get_if<MalformedGameMessage>(&decoded)) {
        Problem(LinkText(link.first, link.second, tcp) + ": a game message from " + std::to_string(from) +
                " not decoded: " + malformed->Reason);
    } else if (const auto* unknown = std::get_if<UnknownGameMessage>(&decoded)) {
        char type[16];
        std::snprintf(type, sizeof type, "0x%X", static_cast<unsigned>(unknown->Header.Type));
        Problem(LinkText(link.first, link.second, tcp) + ": a game message of type " + type + " from " +
                std::to_string(from) + ", which the program does not read");
    }
    happenings_.push_back(
        {now_, std::nullopt, CapturedGame{from, to, std::move(payload), link.first.ip, link.second.ip}});
}

CaptureReading CaptureDecoder::Finish() {
    for (auto& [link, stream] : streams_) {
        stream.Bytes->Finish();
        if (stream.DirectPlay && !stream.Abandoned && (!stream.Pending.empty() || stream.Searching))
            Problem(LinkText(link.first, link.second, true) + ": the capture ends inside a message");
    }
    // Segments held back behind a gap were read late; their time is their own.
    std::ranges::stable_sort(happenings_, {}, &Happening::Time);
    CaptureReading reading;
    reading.Recorded.Header.Source = options_.Source;
    reading.Recorded.Header.JoinAccepted = true;

    // The chosen player, and its machine's address: where the first message
    // for that player alone went.
    std::optional<std::int32_t> own;
    std::optional<std::uint32_t> ownIp;
    if (!options_.PlayerName.empty()) {
        for (const CapturedPlayer& player : report_.Players)
            if (!player.SystemPlayer && !player.Group && player.Name == options_.PlayerName)
                own = static_cast<std::int32_t>(player.Id);
        if (!own) {
            Problem("no player named \"" + options_.PlayerName +
                    "\" in the capture: recorded as a silent machine");
        } else {
            reading.Recorded.Lines.push_back({milliseconds(0), RecordedOwnPlayer{*own, options_.PlayerName}});
            for (const Happening& happening : happenings_)
                if (!happening.Event && happening.Game.To == *own) {
                    ownIp = happening.Game.ToIp;
                    break;
                }
        }
    }
    std::map<std::vector<std::uint8_t>, std::pair<milliseconds, std::set<std::uint32_t>>> copies;
    for (const Happening& happening : happenings_)
        Keep(reading.Recorded.Lines, happening, own, ownIp, copies);
    reading.Report = std::move(report_);
    return reading;
}

void CaptureDecoder::Keep(
    std::vector<RecordingLine>& lines, const Happening& happening, std::optional<std::int32_t> own,
    std::optional<std::uint32_t> ownIp,
    std::map<std::vector<std::uint8_t>, std::pair<milliseconds, std::set<std::uint32_t>>>& copies) {
    if (happening.Event) {
        lines.push_back({happening.Time, *happening.Event});
        return;
    }
    const CapturedGame* game = &happening.Game;
    if (own) {
        const bool reached =
            ownIp ? game->ToIp == *ownIp && game->From != *own : game->To == *own || game->To == 0;
        if (!reached) {
            ++report_.NotForThePlayer;
            return;
        }
    } else {
        // One message to all goes to each machine in turn: the same sender,
        // recipient and bytes to other machines within moments.
        std::vector<std::uint8_t> key = game->Bytes;
        for (std::int32_t id : {game->From, game->To})
            for (int i = 0; i < 4; ++i) key.push_back(static_cast<std::uint8_t>(id >> (8 * i)));
        auto& [last, machines] = copies[key];
        if (!machines.empty() && happening.Time - last <= kCopyWindow && !machines.contains(game->ToIp)) {
            machines.insert(game->ToIp);
            ++report_.CopiesLeftOut;
            return;
        }
        last = happening.Time;
        machines = {game->ToIp};
    }
    lines.push_back({happening.Time, RecordedMessage{game->From, game->To, game->Bytes, false}});
}

struct PcapCloser {
    void operator()(pcap_t* p) const { pcap_close(p); }
};

CaptureReading ReadWith(pcap_t* opened, const CaptureReadOptions& options) {
    const std::unique_ptr<pcap_t, PcapCloser> capture(opened);
    const int linkType = pcap_datalink(capture.get());
    CaptureDecoder decoder(options);
    while (true) {
        const long offset = std::ftell(pcap_file(capture.get()));
        pcap_pkthdr* header = nullptr;
        const std::uint8_t* data = nullptr;
        const int got = pcap_next_ex(capture.get(), &header, &data);
        if (got == PCAP_ERROR_BREAK) break;
        if (got != 1) {
            decoder.Problem(std::string("the capture stops here: ") + pcap_geterr(capture.get()));
            break;
        }
        const std::int64_t micros = std::int64_t{header->ts.tv_sec} * 1'000'000 + header->ts.tv_usec;
        decoder.Packet(micros, offset < 0 ? 0 : static_cast<std::uint64_t>(offset), linkType,
                       std::span<const std::uint8_t>(data, header->caplen));
    }
    return decoder.Finish();
}

}  // namespace

CaptureReading ReadCaptureFile(const std::filesystem::path& file, const CaptureReadOptions& options) {
    char error[PCAP_ERRBUF_SIZE] = {};
    pcap_t* capture =
        pcap_open_offline_with_tstamp_precision(file.c_str(), PCAP_TSTAMP_PRECISION_MICRO, error);
    if (!capture) throw CaptureError(file.string() + ": " + error);
    return ReadWith(capture, options);
}

CaptureReading ReadCaptureBytes(std::span<const std::uint8_t> bytes, const CaptureReadOptions& options) {
    if (bytes.empty()) throw CaptureError("an empty capture");
    std::FILE* memory = fmemopen(const_cast<std::uint8_t*>(bytes.data()), bytes.size(), "rb");
    if (!memory) throw CaptureError("cannot read the capture from memory");
    char error[PCAP_ERRBUF_SIZE] = {};
    pcap_t* capture = pcap_fopen_offline_with_tstamp_precision(memory, PCAP_TSTAMP_PRECISION_MICRO, error);
    if (!capture) {
        std::fclose(memory);
        throw CaptureError(error);
    }
    return ReadWith(capture, options);
}

}  // namespace tarnwick

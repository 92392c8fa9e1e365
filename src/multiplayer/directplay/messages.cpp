#include "multiplayer/directplay/messages.h"

#include <cstdio>

namespace tarnwick::directplay {
namespace {

constexpr std::uint8_t kSignature[4] = {'p', 'l', 'a', 'y'};

// Fixed offsets of the layouts written here, counted from the signature.
constexpr std::uint32_t kCreateOffset = 28;
constexpr std::uint32_t kEnumReplyNameOffset = kEnvelopeSize + kSessionDescSize + 4;  // 92
constexpr std::uint32_t kSuperEnumDescOffset = 36;
constexpr std::size_t kSuperPackedFixedSize = 20;

template <typename T>
struct Tag {};

// ---- session discovery ----

void Write(ByteWriter& out, const EnumSessions& m) {
    WriteGuid(out, m.application);
    out.U32(m.password ? 32 : 0);
    out.U32(m.flags);
    if (m.password) WriteUtf16z(out, *m.password);
}

EnumSessions Read(WireReader& in, Tag<EnumSessions>) {
    EnumSessions m;
    m.application = in.ReadGuid();
    const auto password_offset = in.U32();
    m.flags = in.U32();
    if (password_offset != 0) {
        in.Seek(password_offset, "the password offset");
        m.password = in.Utf16z();
    }
    return m;
}

void Write(ByteWriter& out, const EnumSessionsReply& m) {
    WriteSessionDesc(out, m.desc);
    out.U32(kEnumReplyNameOffset);
    WriteUtf16z(out, m.name);
}

EnumSessionsReply Read(WireReader& in, Tag<EnumSessionsReply>) {
    EnumSessionsReply m;
    m.desc = ReadSessionDesc(in);
    const auto name_offset = in.U32();
    if (name_offset != 0) {
        in.Seek(name_offset, "the session name offset");
        m.name = in.Utf16z();
    }
    return m;
}

// ---- joining ----

void Write(ByteWriter& out, const RequestPlayerId& m) { out.U32(m.flags); }
RequestPlayerId Read(WireReader& in, Tag<RequestPlayerId>) { return {in.U32()}; }

void Write(ByteWriter& out, const RequestPlayerReply& m) {
    out.U32(m.id);
    for (int i = 0; i < 6; ++i) out.U32(0);  // security description: none
    out.U32(0);                              // SSPI provider offset
    out.U32(0);                              // CAPI provider offset
    out.U32(m.result);
}

RequestPlayerReply Read(WireReader& in, Tag<RequestPlayerReply>) {
    RequestPlayerReply m;
    m.id = in.U32();
    in.Bytes(24 + 4 + 4);
    m.result = in.U32();
    return m;  // Windows test hosts append zeros; they are not read
}

void Write(ByteWriter& out, const AddForwardRequest& m) {
    out.U32(m.id_to);
    out.U32(m.player_id);
    out.U32(m.group_id);
    out.U32(kCreateOffset);
    out.U32(
        static_cast<std::uint32_t>(kCreateOffset + PackedPlayerSize(m.player) + 4 * m.player.members.size()));
    WritePackedPlayer(out, m.player);
    WriteUtf16z(out, m.password);  // an empty password is still its terminator
    out.U32(m.session_key);
}

AddForwardRequest Read(WireReader& in, Tag<AddForwardRequest>) {
    AddForwardRequest m;
    m.id_to = in.U32();
    m.player_id = in.U32();
    m.group_id = in.U32();
    const auto create_offset = in.U32();
    const auto password_offset = in.U32();
    in.Seek(create_offset, "the create offset");
    m.player = ReadPackedPlayer(in);
    if (password_offset != 0) {
        in.Seek(password_offset, "the password offset");
        m.password = in.Utf16z();
    }
    if (in.Remaining() >= 4) m.session_key = in.U32();
    return m;
}

void Write(ByteWriter& out, const AddForward& m) {
    out.U32(m.id_to);
    out.U32(m.player_id);
    out.U32(m.group_id);
    out.U32(kCreateOffset);
    out.U32(0);
    WritePackedPlayer(out, m.player);
}

AddForward Read(WireReader& in, Tag<AddForward>) {
    AddForward m;
    m.id_to = in.U32();
    m.player_id = in.U32();
    m.group_id = in.U32();
    const auto create_offset = in.U32();
    in.U32();
    in.Seek(create_offset, "the create offset");
    m.player = ReadPackedPlayer(in);
    return m;
}

void Write(ByteWriter& out, const AddForwardAck& m) { out.U32(m.id); }
AddForwardAck Read(WireReader& in, Tag<AddForwardAck>) { return {in.U32()}; }
void Write(ByteWriter& out, const AddForwardReply& m) { out.U32(m.error); }
AddForwardReply Read(WireReader& in, Tag<AddForwardReply>) { return {in.U32()}; }

// ---- name tables ----

std::size_t TextBytes(const std::optional<std::u16string>& text) { return text ? Utf16zSize(*text) : 0; }

// The common head of both enumeration replies: counts, offsets, description,
// name and password.
void WriteEnumHead(ByteWriter& out, std::size_t players, std::size_t groups, std::size_t shortcuts,
                   const SessionDesc& desc, const std::u16string& name,
                   const std::optional<std::u16string>& password) {
    const std::uint32_t name_offset = kSuperEnumDescOffset + kSessionDescSize;
    const auto password_offset = static_cast<std::uint32_t>(name_offset + Utf16zSize(name));
    const auto records_offset = static_cast<std::uint32_t>(password_offset + TextBytes(password));
    out.U32(static_cast<std::uint32_t>(players));
    out.U32(static_cast<std::uint32_t>(groups));
    out.U32(records_offset);
    out.U32(static_cast<std::uint32_t>(shortcuts));
    out.U32(kSuperEnumDescOffset);
    out.U32(name_offset);
    out.U32(password ? password_offset : 0);
    WriteSessionDesc(out, desc);
    WriteUtf16z(out, name);
    if (password) WriteUtf16z(out, *password);
}

struct EnumHead {
    std::uint32_t players = 0;
    std::uint32_t groups = 0;
    std::uint32_t shortcuts = 0;
    std::uint32_t records_offset = 0;
    SessionDesc desc;
    std::u16string name;
    std::optional<std::u16string> password;
};

// Windows sends an uninitialised shortcut count in the packed form, so only
// the superpacked form counts it.
EnumHead ReadEnumHead(WireReader& in, std::size_t smallest_record, bool shortcuts_counted) {
    EnumHead head;
    head.players = in.U32();
    head.groups = in.U32();
    head.records_offset = in.U32();
    head.shortcuts = in.U32();
    if (!shortcuts_counted) head.shortcuts = 0;
    const auto desc_offset = in.U32();
    const auto name_offset = in.U32();
    const auto password_offset = in.U32();
    in.Seek(desc_offset, "the description offset");
    head.desc = ReadSessionDesc(in);
    if (name_offset != 0) {
        in.Seek(name_offset, "the session name offset");
        head.name = in.Utf16z();
    }
    if (password_offset != 0) {
        in.Seek(password_offset, "the password offset");
        head.password = in.Utf16z();
    }
    in.Seek(head.records_offset, "the player records offset");
    const std::uint64_t records = std::uint64_t{head.players} + head.groups + head.shortcuts;
    if (records * smallest_record > in.Remaining())
        throw MalformedMessage(std::to_string(records) + " records cannot fit in the " +
                               std::to_string(in.Remaining()) + " bytes left");
    return head;
}

void Write(ByteWriter& out, const SuperEnumPlayersReply& m) {
    WriteEnumHead(out, m.players.size(), m.groups.size(), m.shortcuts.size(), m.desc, m.name, m.password);
    for (const auto& p : m.players) WriteSuperPackedPlayer(out, p);
    for (const auto& g : m.groups) WriteSuperPackedPlayer(out, g);
    for (const auto& s : m.shortcuts) WriteSuperPackedPlayer(out, s);
}

SuperEnumPlayersReply Read(WireReader& in, Tag<SuperEnumPlayersReply>) {
    EnumHead head = ReadEnumHead(in, kSuperPackedFixedSize, true);
    SuperEnumPlayersReply m{head.desc, std::move(head.name), std::move(head.password), {}, {}, {}};
    for (std::uint32_t i = 0; i < head.players; ++i) m.players.push_back(ReadSuperPackedPlayer(in));
    for (std::uint32_t i = 0; i < head.groups; ++i) m.groups.push_back(ReadSuperPackedPlayer(in));
    for (std::uint32_t i = 0; i < head.shortcuts; ++i) m.shortcuts.push_back(ReadSuperPackedPlayer(in));
    return m;
}

void Write(ByteWriter& out, const EnumPlayersReply& m) {
    WriteEnumHead(out, m.players.size(), m.groups.size(), 0, m.desc, m.name, m.password);
    for (const auto& p : m.players) WritePackedPlayer(out, p);
    for (const auto& g : m.groups) WritePackedPlayer(out, g);
}

EnumPlayersReply Read(WireReader& in, Tag<EnumPlayersReply>) {
    EnumHead head = ReadEnumHead(in, kPackedPlayerFixedSize, false);
    EnumPlayersReply m{head.desc, std::move(head.name), std::move(head.password), {}, {}};
    for (std::uint32_t i = 0; i < head.players; ++i) m.players.push_back(ReadPackedPlayer(in));
    for (std::uint32_t i = 0; i < head.groups; ++i) m.groups.push_back(ReadPackedPlayer(in));
    return m;
}

template <Command C>
void Write(ByteWriter& out, const Creation<C>& m) {
    out.U32(m.id_to);
    out.U32(m.player_id);
    out.U32(m.group_id);
    out.U32(kCreateOffset);
    out.U32(0);
    WritePackedPlayer(out, m.info);
    if constexpr (C != Command::kCreateGroup) {
        out.U16(0);
        out.U32(0);
    }
}

template <Command C>
Creation<C> Read(WireReader& in, Tag<Creation<C>>) {
    Creation<C> m;
    m.id_to = in.U32();
    m.player_id = in.U32();
    m.group_id = in.U32();
    const auto create_offset = in.U32();
    in.U32();
    in.Seek(create_offset, "the create offset");
    m.info = ReadPackedPlayer(in);
    return m;
}

template <Command C>
void Write(ByteWriter& out, const Membership<C>& m) {
    out.U32(m.id_to);
    out.U32(m.player_id);
    out.U32(m.group_id);
    out.U32(0);
    out.U32(0);
}

template <Command C>
Membership<C> Read(WireReader& in, Tag<Membership<C>>) {
    Membership<C> m;
    m.id_to = in.U32();
    m.player_id = in.U32();
    m.group_id = in.U32();
    return m;
}

template <Command C>
void Write(ByteWriter& out, const DataChanged<C>& m) {
    out.U32(m.id_to);
    out.U32(m.id);
    out.U32(static_cast<std::uint32_t>(m.data.size()));
    out.U32(24);
    WriteBytes(out, m.data);
}

template <Command C>
DataChanged<C> Read(WireReader& in, Tag<DataChanged<C>>) {
    DataChanged<C> m;
    m.id_to = in.U32();
    m.id = in.U32();
    const auto size = in.U32();
    const auto offset = in.U32();
    in.Seek(offset, "the data offset");
    const auto data = in.Bytes(size);
    m.data.assign(data.begin(), data.end());
    return m;
}

template <Command C>
void Write(ByteWriter& out, const NameChanged<C>& m) {
    const std::uint32_t short_offset = m.short_name.empty() ? 0 : 24;
    const std::uint32_t long_offset =
        m.long_name.empty()
            ? 0
            : static_cast<std::uint32_t>(24 + (m.short_name.empty() ? 0 : Utf16zSize(m.short_name)));
    out.U32(m.id_to);
    out.U32(m.id);
    out.U32(short_offset);
    out.U32(long_offset);
    if (!m.short_name.empty()) WriteUtf16z(out, m.short_name);
    if (!m.long_name.empty()) WriteUtf16z(out, m.long_name);
}

template <Command C>
NameChanged<C> Read(WireReader& in, Tag<NameChanged<C>>) {
    NameChanged<C> m;
    m.id_to = in.U32();
    m.id = in.U32();
    const auto short_offset = in.U32();
    const auto long_offset = in.U32();
    if (short_offset != 0) {
        in.Seek(short_offset, "the short name offset");
        m.short_name = in.Utf16z();
    }
    if (long_offset != 0) {
        in.Seek(long_offset, "the long name offset");
        m.long_name = in.Utf16z();
    }
    return m;
}

void Write(ByteWriter& out, const SessionDescChanged& m) {
    const std::uint32_t name_offset = 20 + kSessionDescSize;
    const auto password_offset = static_cast<std::uint32_t>(name_offset + Utf16zSize(m.name));
    out.U32(m.id_to);
    out.U32(name_offset);
    out.U32(m.password ? password_offset : 0);
    WriteSessionDesc(out, m.desc);
    WriteUtf16z(out, m.name);
    if (m.password) WriteUtf16z(out, *m.password);
}

SessionDescChanged Read(WireReader& in, Tag<SessionDescChanged>) {
    SessionDescChanged m;
    m.id_to = in.U32();
    const auto name_offset = in.U32();
    const auto password_offset = in.U32();
    m.desc = ReadSessionDesc(in);
    if (name_offset != 0) {
        in.Seek(name_offset, "the session name offset");
        m.name = in.Utf16z();
    }
    if (password_offset != 0) {
        in.Seek(password_offset, "the password offset");
        m.password = in.Utf16z();
    }
    return m;
}

// ---- links ----

template <Command C>
void Write(ByteWriter& out, const PingBody<C>& m) {
    out.U32(m.id_from);
    out.U32(m.tick_count);
}

template <Command C>
PingBody<C> Read(WireReader& in, Tag<PingBody<C>>) {
    PingBody<C> m;
    m.id_from = in.U32();
    m.tick_count = in.U32();
    return m;
}

void Write(ByteWriter&, const YouAreDead&) {}
YouAreDead Read(WireReader&, Tag<YouAreDead>) { return {}; }

void Write(ByteWriter& out, const IAmNameServer& m) {
    out.U32(m.id_to);
    out.U32(m.host_id);
    out.U32(m.flags);
    out.U32(m.sp_data ? static_cast<std::uint32_t>(kSpDataSize) : 0);
    if (m.sp_data) {
        WriteSockAddr(out, m.sp_data->tcp);
        WriteSockAddr(out, m.sp_data->udp);
    }
}

IAmNameServer Read(WireReader& in, Tag<IAmNameServer>) {
    IAmNameServer m;
    m.id_to = in.U32();
    m.host_id = in.U32();
    m.flags = in.U32();
    const auto size = in.U32();
    if (size == kSpDataSize) {
        m.sp_data = SpData{in.ReadSockAddr(), in.ReadSockAddr()};
    } else if (size != 0) {
        throw MalformedMessage("service provider data of " + std::to_string(size) + " bytes");
    }
    return m;
}

void Write(ByteWriter& out, const PlayerWrapper& m) { WriteBytes(out, m.inner); }

PlayerWrapper Read(WireReader& in, Tag<PlayerWrapper>) {
    const auto inner = in.Bytes(in.Remaining());
    return {{inner.begin(), inner.end()}};
}

void Write(ByteWriter& out, const Packet& m) {
    WriteGuid(out, m.message);
    out.U32(m.index);
    out.U32(static_cast<std::uint32_t>(m.data.size()));
    out.U32(m.offset);
    out.U32(m.total_packets);
    out.U32(m.message_size);
    out.U32(48);
    WriteBytes(out, m.data);
}

Packet Read(WireReader& in, Tag<Packet>) {
    Packet m;
    m.message = in.ReadGuid();
    m.index = in.U32();
    const auto size = in.U32();
    m.offset = in.U32();
    m.total_packets = in.U32();
    m.message_size = in.U32();
    const auto data_offset = in.U32();
    in.Seek(data_offset, "the packet data offset");
    const auto data = in.Bytes(size);
    m.data.assign(data.begin(), data.end());
    return m;
}

template <typename T>
SystemMessage ReadAs(WireReader& in) {
    return Read(in, Tag<T>{});
}

// One decoder per command, found by the command's alternative in the variant.
template <std::size_t... I>
SystemMessage ReadByCommand(Command command, WireReader& in, std::index_sequence<I...>) {
    SystemMessage result;
    const bool found = ((std::variant_alternative_t<I, SystemMessage>::kCommand == command
                             ? (result = ReadAs<std::variant_alternative_t<I, SystemMessage>>(in), true)
                             : false) ||
                        ...);
    if (!found) throw MalformedMessage(CommandName(command) + " is not handled");
    return result;
}

}  // namespace

std::string CommandName(Command command) {
    switch (command) {
        case Command::kEnumSessionsReply:
            return "ENUMSESSIONSREPLY";
        case Command::kEnumSessions:
            return "ENUMSESSIONS";
        case Command::kEnumPlayersReply:
            return "ENUMPLAYERSREPLY";
        case Command::kRequestPlayerId:
            return "REQUESTPLAYERID";
        case Command::kRequestPlayerReply:
            return "REQUESTPLAYERREPLY";
        case Command::kCreatePlayer:
            return "CREATEPLAYER";
        case Command::kCreateGroup:
            return "CREATEGROUP";
        case Command::kDeletePlayer:
            return "DELETEPLAYER";
        case Command::kDeleteGroup:
            return "DELETEGROUP";
        case Command::kAddPlayerToGroup:
            return "ADDPLAYERTOGROUP";
        case Command::kDeletePlayerFromGroup:
            return "DELETEPLAYERFROMGROUP";
        case Command::kPlayerDataChanged:
            return "PLAYERDATACHANGED";
        case Command::kPlayerNameChanged:
            return "PLAYERNAMECHANGED";
        case Command::kGroupDataChanged:
            return "GROUPDATACHANGED";
        case Command::kGroupNameChanged:
            return "GROUPNAMECHANGED";
        case Command::kAddForwardRequest:
            return "ADDFORWARDREQUEST";
        case Command::kPacket:
            return "PACKET";
        case Command::kPing:
            return "PING";
        case Command::kPingReply:
            return "PINGREPLY";
        case Command::kYouAreDead:
            return "YOUAREDEAD";
        case Command::kPlayerWrapper:
            return "PLAYERWRAPPER";
        case Command::kSessionDescChanged:
            return "SESSIONDESCCHANGED";
        case Command::kAddForwardReply:
            return "ADDFORWARDREPLY";
        case Command::kAddShortcutToGroup:
            return "ADDSHORTCUTTOGROUP";
        case Command::kDeleteGroupFromGroup:
            return "DELETEGROUPFROMGROUP";
        case Command::kSuperEnumPlayersReply:
            return "SUPERENUMPLAYERSREPLY";
        case Command::kAddForward:
            return "ADDFORWARD";
        case Command::kAddForwardAck:
            return "ADDFORWARDACK";
        case Command::kIAmNameServer:
            return "IAMNAMESERVER";
        case Command::kCreatePlayerVerify:
            return "CREATEPLAYERVERIFY";
    }
    char text[24];
    std::snprintf(text, sizeof text, "command 0x%02X", static_cast<unsigned>(command));
    return text;
}

std::string CommandName(const SystemMessage& message) {
    return std::visit([](const auto& m) { return CommandName(std::decay_t<decltype(m)>::kCommand); },
                      message);
}

bool HasSignature(std::span<const std::uint8_t> bytes) {
    return bytes.size() >= 4 && bytes[0] == kSignature[0] && bytes[1] == kSignature[1] &&
           bytes[2] == kSignature[2] && bytes[3] == kSignature[3];
}

std::vector<std::uint8_t> EncodeBody(const SystemMessage& message, std::uint16_t dialect) {
    ByteWriter out;
    for (const auto b : kSignature) out.U8(b);
    std::visit(
        [&](const auto& m) {
            out.U16(static_cast<std::uint16_t>(std::decay_t<decltype(m)>::kCommand));
            out.U16(dialect);
            Write(out, m);
        },
        message);
    return out.Take();
}

DecodedBody DecodeBody(std::span<const std::uint8_t> body) {
    if (!HasSignature(body)) throw MalformedMessage("no \"play\" signature");
    WireReader in(body);
    in.Seek(4, "the command");
    const auto command = static_cast<Command>(in.U16());
    const auto dialect = in.U16();
    if (dialect < kOldestDialect || dialect > kNewestDialect)
        throw MalformedMessage(CommandName(command) + " in dialect " + std::to_string(dialect) +
                               "; dialects 9 to 14 are understood");
    try {
        return {dialect,
                ReadByCommand(command, in, std::make_index_sequence<std::variant_size_v<SystemMessage>>{})};
    } catch (const MalformedMessage& e) {
        const std::string what = e.what();
        if (what.ends_with(" is not handled")) throw;
        throw MalformedMessage(CommandName(command) + ": " + what);
    }
}

}  // namespace tarnwick::directplay

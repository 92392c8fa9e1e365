#include "multiplayer/directplay/structures.h"

namespace tarnwick::directplay {
namespace {

// Bits of the superpacked player's PlayerInfoMask.
constexpr std::uint32_t kHasShortName = 0x1;
constexpr std::uint32_t kHasLongName = 0x2;
constexpr int kSpDataLengthShift = 2;
constexpr int kPlayerDataLengthShift = 4;
constexpr int kPlayerCountShift = 6;
constexpr std::uint32_t kHasParent = 0x100;
constexpr int kShortcutCountShift = 9;

// The field may hold anything up to 16 MB; a record claiming more is garbage
// (one whole message is at most 1 MB).
constexpr std::uint32_t kMaxFieldLength = 1u << 20;

std::uint32_t WidthCode(std::size_t value) {
    if (value <= 0xFF) return 1;
    if (value <= 0xFFFF) return 2;
    return 3;
}

std::size_t WidthBytes(std::uint32_t code) { return code == 3 ? 4 : code; }

void WriteSized(ByteWriter& out, std::uint32_t code, std::size_t value) {
    if (code == 1) out.U8(static_cast<std::uint8_t>(value));
    if (code == 2) out.U16(static_cast<std::uint16_t>(value));
    if (code == 3) out.U32(static_cast<std::uint32_t>(value));
}

std::vector<PlayerId> ReadIds(WireReader& in, std::uint32_t count) {
    const auto bytes = in.Bytes(std::size_t{count} * 4);  // checked before anything is allocated
    std::vector<PlayerId> ids(count);
    for (std::size_t i = 0; i < count; ++i)
        ids[i] = std::uint32_t{bytes[4 * i]} | (std::uint32_t{bytes[4 * i + 1]} << 8) |
                 (std::uint32_t{bytes[4 * i + 2]} << 16) | (std::uint32_t{bytes[4 * i + 3]} << 24);
    return ids;
}

std::optional<SpData> ReadSpData(WireReader& in, std::size_t length) {
    if (length == 0) return std::nullopt;
    if (length != kSpDataSize)
        throw MalformedMessage("service provider data of " + std::to_string(length) +
                               " bytes; the TCP/IP provider's is 32");
    SpData sp;
    sp.tcp = in.ReadSockAddr();
    sp.udp = in.ReadSockAddr();
    return sp;
}

void WriteSpData(ByteWriter& out, const SpData& sp) {
    WriteSockAddr(out, sp.tcp);
    WriteSockAddr(out, sp.udp);
}

std::size_t NameBytes(const std::u16string& name) { return name.empty() ? 0 : Utf16zSize(name); }

}  // namespace

void WriteSessionDesc(ByteWriter& out, const SessionDesc& desc) {
    out.U32(kSessionDescSize);
    out.U32(desc.flags);
    WriteGuid(out, desc.instance);
    WriteGuid(out, desc.application);
    out.U32(desc.max_players);
    out.U32(desc.current_players);
    out.U32(0);  // session name pointer
    out.U32(0);  // password pointer
    out.U32(desc.reserved1);
    out.U32(desc.reserved2);
    for (const auto value : desc.user) out.U32(value);
}

SessionDesc ReadSessionDesc(WireReader& in) {
    const auto size = in.U32();
    if (size != kSessionDescSize)
        throw MalformedMessage("a session description of " + std::to_string(size) + " bytes; it has 80");
    SessionDesc desc;
    desc.flags = in.U32();
    desc.instance = in.ReadGuid();
    desc.application = in.ReadGuid();
    desc.max_players = in.U32();
    desc.current_players = in.U32();
    in.U32();
    in.U32();
    desc.reserved1 = in.U32();
    desc.reserved2 = in.U32();
    for (auto& value : desc.user) value = in.U32();
    return desc;
}

SpData WithSenderAddress(SpData sp, std::uint32_t sender_ip) {
    sp.tcp.ip = ResolveAddress(sp.tcp.ip, sender_ip);
    // The UDP port is on the computer the TCP listener is on. A Windows host
    // forwarding a joiner's record to the other machines (ADDFORWARD) fills in
    // the listener's address and leaves the UDP address as the joiner wrote
    // it: there 0.0.0.0 stands for the joiner, not for the host that sent it.
    sp.udp.ip = ResolveAddress(sp.udp.ip, sp.tcp.ip);
    return sp;
}

std::size_t PackedPlayerSize(const PlayerInfo& player) {
    return kPackedPlayerFixedSize + NameBytes(player.short_name) + NameBytes(player.long_name) +
           (player.sp_data ? kSpDataSize : 0) + player.data.size();
}

void WritePackedPlayer(ByteWriter& out, const PlayerInfo& player) {
    out.U32(static_cast<std::uint32_t>(PackedPlayerSize(player)));
    out.U32(player.flags);
    out.U32(player.id);
    out.U32(static_cast<std::uint32_t>(NameBytes(player.short_name)));
    out.U32(static_cast<std::uint32_t>(NameBytes(player.long_name)));
    out.U32(player.sp_data ? static_cast<std::uint32_t>(kSpDataSize) : 0);
    out.U32(static_cast<std::uint32_t>(player.data.size()));
    out.U32(static_cast<std::uint32_t>(player.members.size()));
    out.U32(player.system_player);
    out.U32(kPackedPlayerFixedSize);
    out.U32(player.version);
    out.U32(player.parent);
    if (!player.short_name.empty()) WriteUtf16z(out, player.short_name);
    if (!player.long_name.empty()) WriteUtf16z(out, player.long_name);
    if (player.sp_data) WriteSpData(out, *player.sp_data);
    WriteBytes(out, player.data);
    for (const auto id : player.members) out.U32(id);
}

PlayerInfo ReadPackedPlayer(WireReader& in) {
    const std::size_t start = in.Offset();
    PlayerInfo player;
    const std::uint32_t size = in.U32();
    player.flags = in.U32();
    player.id = in.U32();
    const std::uint32_t short_length = in.U32();
    const std::uint32_t long_length = in.U32();
    const std::uint32_t sp_length = in.U32();
    const std::uint32_t data_length = in.U32();
    const std::uint32_t member_count = in.U32();
    player.system_player = in.U32();
    const std::uint32_t fixed_size = in.U32();
    player.version = in.U32();
    player.parent = in.U32();
    if (fixed_size != kPackedPlayerFixedSize)
        throw MalformedMessage("a packed player with a fixed size of " + std::to_string(fixed_size));
    const std::uint64_t counted =
        std::uint64_t{fixed_size} + short_length + long_length + sp_length + data_length;
    if (counted != size)
        throw MalformedMessage("a packed player of " + std::to_string(size) +
                               " bytes whose parts add up to " + std::to_string(counted));
    if (size > in.Size() - start) throw MalformedMessage("a packed player runs past the end of the message");
    if (short_length != 0) player.short_name = in.Utf16Field(short_length);
    if (long_length != 0) player.long_name = in.Utf16Field(long_length);
    player.sp_data = ReadSpData(in, sp_length);
    const auto data = in.Bytes(data_length);
    player.data.assign(data.begin(), data.end());
    player.members = ReadIds(in, member_count);
    return player;
}

void WriteSuperPackedPlayer(ByteWriter& out, const PlayerInfo& player) {
    std::uint32_t mask = 0;
    if (!player.short_name.empty()) mask |= kHasShortName;
    if (!player.long_name.empty()) mask |= kHasLongName;
    const std::uint32_t sp_code = player.sp_data ? 1 : 0;  // Windows writes 0x20 in one byte
    const std::uint32_t data_code = player.data.empty() ? 0 : WidthCode(player.data.size());
    const std::uint32_t count_code = player.members.empty() ? 0 : WidthCode(player.members.size());
    const std::uint32_t shortcut_code = player.shortcuts.empty() ? 0 : WidthCode(player.shortcuts.size());
    mask |= sp_code << kSpDataLengthShift;
    mask |= data_code << kPlayerDataLengthShift;
    mask |= count_code << kPlayerCountShift;
    if (player.parent != 0) mask |= kHasParent;
    mask |= shortcut_code << kShortcutCountShift;

    out.U32(16);
    out.U32(player.flags);
    out.U32(player.id);
    out.U32(mask);
    out.U32(player.IsSystemPlayer() ? player.version : player.system_player);
    if (!player.short_name.empty()) WriteUtf16z(out, player.short_name);
    if (!player.long_name.empty()) WriteUtf16z(out, player.long_name);
    if (data_code != 0) {
        WriteSized(out, data_code, player.data.size());
        WriteBytes(out, player.data);
    }
    if (sp_code != 0) {
        WriteSized(out, sp_code, kSpDataSize);
        WriteSpData(out, *player.sp_data);
    }
    if (count_code != 0) {
        WriteSized(out, count_code, player.members.size());
        for (const auto id : player.members) out.U32(id);
    }
    if (player.parent != 0) out.U32(player.parent);
    if (shortcut_code != 0) {
        WriteSized(out, shortcut_code, player.shortcuts.size());
        for (const auto id : player.shortcuts) out.U32(id);
    }
}

PlayerInfo ReadSuperPackedPlayer(WireReader& in) {
    PlayerInfo player;
    const std::uint32_t size = in.U32();
    if (size != 16)
        throw MalformedMessage("a superpacked player with a fixed size of " + std::to_string(size));
    player.flags = in.U32();
    player.id = in.U32();
    const std::uint32_t mask = in.U32();
    const std::uint32_t version_or_system = in.U32();
    if (player.IsSystemPlayer()) {
        player.version = version_or_system;
        player.system_player = player.id;
    } else {
        player.system_player = version_or_system;
    }
    const auto field_length = [&](int shift, const char* what) -> std::optional<std::uint32_t> {
        const std::uint32_t code = (mask >> shift) & 3;
        if (code == 0) return std::nullopt;
        const std::uint32_t value = in.Sized(WidthBytes(code));
        if (value > kMaxFieldLength)
            throw MalformedMessage(std::string(what) + " of " + std::to_string(value) +
                                   " in a superpacked player");
        return value;
    };
    if (mask & kHasShortName) player.short_name = in.Utf16z();
    if (mask & kHasLongName) player.long_name = in.Utf16z();
    if (const auto length = field_length(kPlayerDataLengthShift, "player data length")) {
        const auto data = in.Bytes(*length);
        player.data.assign(data.begin(), data.end());
    }
    if (const auto length = field_length(kSpDataLengthShift, "SP data length"))
        player.sp_data = ReadSpData(in, *length);
    if (const auto count = field_length(kPlayerCountShift, "player count"))
        player.members = ReadIds(in, *count);
    if (mask & kHasParent) player.parent = in.U32();
    if (const auto count = field_length(kShortcutCountShift, "shortcut count"))
        player.shortcuts = ReadIds(in, *count);
    return player;
}

}  // namespace tarnwick::directplay

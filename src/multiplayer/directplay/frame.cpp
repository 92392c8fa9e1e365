#include "multiplayer/directplay/frame.h"

namespace tarnwick::directplay {
namespace {

std::vector<std::uint8_t> GameBytes(const GameMessage& message, bool with_ids) {
    ByteWriter out;
    out.Reserve(message.payload.size() + 8);
    if (with_ids) {
        out.U32(message.from);
        out.U32(message.to);
    }
    WriteBytes(out, message.payload);
    return out.Take();
}

GameMessage ReadGame(std::span<const std::uint8_t> bytes, bool with_ids) {
    WireReader in(bytes);
    GameMessage message;
    if (with_ids) {
        message.from = in.U32();
        message.to = in.U32();
    }
    const auto payload = in.Bytes(in.Remaining());
    message.payload.assign(payload.begin(), payload.end());
    return message;
}

std::vector<std::uint8_t> WithHeader(std::span<const std::uint8_t> body, const Endpoint& sender) {
    const std::size_t size = kSpHeaderSize + body.size();
    if (size > kMaxMessageSize)
        throw MalformedMessage("a message of " + std::to_string(size) + " bytes is too large");
    ByteWriter out;
    out.Reserve(size);
    WriteSpHeader(out, size, sender);
    WriteBytes(out, body);
    return out.Take();
}

// The body of a TCP message or a UDP system message: a system message when it
// starts with the signature, a game message otherwise. Wrappers and single
// fragments are opened once; a wrapper inside a wrapper is refused.
Inbound DecodeBodyOrGame(std::span<const std::uint8_t> body, const Endpoint& header_address, bool with_ids,
                         bool unwrapped) {
    if (!HasSignature(body)) return ReadGame(body, with_ids);
    DecodedBody decoded = DecodeBody(body);
    if (unwrapped && (std::holds_alternative<PlayerWrapper>(decoded.message) ||
                      std::holds_alternative<Packet>(decoded.message)))
        throw MalformedMessage("a wrapped message inside another");
    if (const auto* wrapper = std::get_if<PlayerWrapper>(&decoded.message))
        return ReadGame(wrapper->inner, with_ids);
    if (const auto* packet = std::get_if<Packet>(&decoded.message)) {
        if (packet->total_packets != 1 || packet->index != 0 || packet->offset != 0 ||
            packet->message_size != packet->data.size())
            throw MalformedMessage("PACKET: fragment " + std::to_string(packet->index) + " of " +
                                   std::to_string(packet->total_packets) +
                                   "; only whole messages in one fragment are taken");
        return DecodeBodyOrGame(packet->data, header_address, with_ids, true);
    }
    return SystemFrame{header_address, decoded.dialect, std::move(decoded.message)};
}

}  // namespace

SpHeader ReadSpHeader(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < kSpHeaderSize) throw MalformedMessage("a message shorter than its 20-byte header");
    WireReader in(bytes);
    const std::uint32_t mixed = in.U32();
    SpHeader header;
    header.size = mixed & 0xFFFFF;
    header.token = mixed >> 20;
    header.address = in.ReadSockAddr();
    if (header.token != kTokenRemote && header.token != kTokenForwarded && header.token != kTokenServer)
        throw MalformedMessage("a header with the unknown token " + std::to_string(header.token));
    if (header.size < kSpHeaderSize)
        throw MalformedMessage("a header claiming " + std::to_string(header.size) + " bytes");
    return header;
}

void WriteSpHeader(ByteWriter& out, std::size_t size, const Endpoint& address) {
    out.U32(static_cast<std::uint32_t>(size) | (kTokenRemote << 20));
    WriteSockAddr(out, address);
}

std::vector<std::uint8_t> EncodeSystemFrame(const SystemMessage& message, const Endpoint& sender,
                                            std::uint16_t dialect) {
    return WithHeader(EncodeBody(message, dialect), sender);
}

std::vector<std::uint8_t> EncodeGameFrame(const GameMessage& message, bool with_ids, const Endpoint& sender,
                                          std::uint16_t dialect) {
    auto bytes = GameBytes(message, with_ids);
    if (HasSignature(bytes)) return EncodeSystemFrame(PlayerWrapper{std::move(bytes)}, sender, dialect);
    return WithHeader(bytes, sender);
}

std::vector<std::uint8_t> EncodeGameDatagram(const GameMessage& message, bool with_ids,
                                             const Endpoint& sender, std::uint16_t dialect) {
    auto bytes = GameBytes(message, with_ids);
    if (bytes.size() >= kSpHeaderSize + 4 && HasSignature(std::span(bytes).subspan(kSpHeaderSize)))
        return EncodeSystemFrame(PlayerWrapper{std::move(bytes)}, sender, dialect);
    return bytes;
}

Inbound DecodeTcpFrame(std::span<const std::uint8_t> frame, bool with_ids) {
    const SpHeader header = ReadSpHeader(frame);
    if (header.size != frame.size())
        throw MalformedMessage("a header claiming " + std::to_string(header.size) + " bytes on a " +
                               std::to_string(frame.size()) + "-byte message");
    return DecodeBodyOrGame(frame.subspan(kSpHeaderSize), header.address, with_ids, false);
}

Inbound DecodeDatagram(std::span<const std::uint8_t> datagram, bool with_ids) {
    if (datagram.size() < kSpHeaderSize + 4 || !HasSignature(datagram.subspan(kSpHeaderSize)))
        return ReadGame(datagram, with_ids);
    const SpHeader header = ReadSpHeader(datagram);
    if (header.size > datagram.size())
        throw MalformedMessage("a header claiming " + std::to_string(header.size) + " bytes on a " +
                               std::to_string(datagram.size()) + "-byte datagram");
    return DecodeBodyOrGame(datagram.subspan(kSpHeaderSize, header.size - kSpHeaderSize), header.address,
                            with_ids, false);
}

}  // namespace tarnwick::directplay

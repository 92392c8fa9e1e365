// An independent check of our system messages: a join between our host and
// two of our clients is written to a pcap file and read back by Wireshark's
// DirectPlay dissector (tshark), whose field offsets owe nothing to our code.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>
#include <sstream>

#include "loopback_network.h"
#include "multiplayer/directplay/client_session.h"
#include "multiplayer/directplay/frame.h"
#include "multiplayer/directplay/host_session.h"
#include "multiplayer/directplay/utf16_text.h"
#include "pcap_file.h"
#include "support/temp_folder.h"

namespace tarnwick::directplay {
namespace {

using testing::FakeClock;
using testing::LoopbackNetwork;
using testing::PcapWriter;

constexpr Endpoint kHostTcp{0x0A000001, 2300};
constexpr Endpoint kClientTcp{0x0A000002, 2300};

struct Sent {
    SystemMessage message;
    bool fromHost = false;
};

// Every system message our host and clients send in a join of two machines
// with a group, a leave, and a ping answered.
std::vector<Sent> MessagesOfAJoin() {
    FakeClock clock;
    LoopbackNetwork net{clock};
    HostConfig config;
    config.session_name = "KSEA Approach";
    DirectPlayHost host{config, clock};
    DirectPlayClient client{ClientConfig{}, clock};
    DirectPlayClient second{ClientConfig{}, clock};
    net.Add(host, 0x0A000001);
    net.Add(client, 0x0A000002);
    net.Add(second, 0x0A000003);
    host.Start();
    net.Pump();
    const PlayerId sim = host.CreateLocalPlayer("Sim One");
    const PlayerId group = host.CreateGroup("FS61_REFUSE_PARAMS");
    host.AddLocalPlayerToGroup(sim, group);
    for (auto* machine : {&client, &second}) {
        machine->Enumerate(0x0A000001);
        net.Pump();
        net.AdvanceBy(Millis{2500});
        JoinRequest request;
        request.player_name = machine == &client ? "ATC Controller" : "Second";
        machine->Join(net.EventsOf<action::SessionFound>(*machine).at(0).session, request);
        net.Pump();
    }
    client.AddOwnPlayerToGroup(group);
    host.CreateGroup("FS61_REQUEST_PARAMS");
    second.Leave();
    net.Pump();

    std::vector<Sent> sent;
    for (auto& m : net.Received(host)) sent.push_back({std::move(m), false});
    // What the first client received: from the host, and the second's player.
    for (auto& m : net.Received(client)) sent.push_back({std::move(m), true});
    sent.push_back({Ping{host.OwnSystemPlayer(), 4242}, true});
    sent.push_back({PingReply{client.OwnSystemPlayer(), 4242}, false});
    // The host's answers to a wrong password and to a machine it does not know.
    sent.push_back({AddForwardReply{results::kInvalidPassword}, true});
    sent.push_back({YouAreDead{}, true});
    return sent;
}

bool TsharkInstalled() { return std::system("tshark --version >/dev/null 2>&1") == 0; }

std::vector<std::string> Lines(const std::string& command) {
    std::vector<std::string> lines;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return lines;
    std::string text;
    char chunk[4096];
    while (const std::size_t got = std::fread(chunk, 1, sizeof chunk, pipe)) text.append(chunk, got);
    pclose(pipe);
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// The fields read, in this order, one tab-separated line per packet.
const std::vector<std::string> kFields = {
    "dplay.command",
    "dplay.size",
    "dplay.token",
    "dplay.saddr.port",
    "dplay.dialect.version",
    "dplay.type02.password_offset",
    "dplay.type_01.name_offs",
    "dplay.type_13.create_offset",
    "dplay.type_13.password_offset",
    "dplay.multi.create_offset",
    "dplay.pp.short_name",
    "dplay.type_29.desc_offset",
    "dplay.type_29.name_offset",
    "dplay.type_29.packed_offset",
    "dplay.type_29.player_count",
    "dplay.spp.short_name",
    "dplay.type_07.hresult",
    "dplay.ping.tick_count",
};

std::map<std::string, std::string> FieldsOf(const std::string& line) {
    std::map<std::string, std::string> fields;
    std::istringstream in(line);
    std::string value;
    for (const std::string& name : kFields) {
        if (!std::getline(in, value, '\t')) break;
        fields[name] = value;
    }
    return fields;
}

std::string Hex(unsigned value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%0*x", digits, value);
    return text;
}

// What the dissector must find in our message, from the published layouts:
// offsets count from the signature, the name table's records follow the name.
std::map<std::string, std::string> Expected(const SystemMessage& message, std::size_t frame_size) {
    const auto command =
        std::visit([](const auto& m) { return std::decay_t<decltype(m)>::kCommand; }, message);
    std::map<std::string, std::string> expected = {
        {"dplay.command", Hex(static_cast<unsigned>(command), 4)},
        {"dplay.size", std::to_string(frame_size)},
        {"dplay.token", "0x00000fab"},
        {"dplay.dialect.version", "0x000e"},
    };
    std::visit(
        [&](const auto& m) {
            using T = std::decay_t<decltype(m)>;
            if constexpr (std::is_same_v<T, EnumSessions>) {
                expected["dplay.size"] = "52";
                expected["dplay.type02.password_offset"] = "0";
            } else if constexpr (std::is_same_v<T, EnumSessionsReply>) {
                expected["dplay.type_01.name_offs"] = "92";
            } else if constexpr (std::is_same_v<T, AddForwardRequest>) {
                expected["dplay.size"] = "134";
                expected["dplay.type_13.create_offset"] = "28";
                expected["dplay.type_13.password_offset"] = "108";
            } else if constexpr (std::is_same_v<T, CreatePlayer>) {
                expected["dplay.multi.create_offset"] = "28";
                expected["dplay.pp.short_name"] = Utf16ToAnsi(m.info.short_name);
            } else if constexpr (std::is_same_v<T, AddForward>) {
                expected["dplay.multi.create_offset"] = "28";
            } else if constexpr (std::is_same_v<T, SuperEnumPlayersReply>) {
                expected["dplay.type_29.desc_offset"] = "36";
                expected["dplay.type_29.name_offset"] = "116";
                expected["dplay.type_29.packed_offset"] = std::to_string(116 + 2 * (m.name.size() + 1));
                expected["dplay.type_29.player_count"] = std::to_string(m.players.size());
            } else if constexpr (std::is_same_v<T, RequestPlayerReply>) {
                expected["dplay.type_07.hresult"] = "0";
            } else if constexpr (std::is_same_v<T, Ping> || std::is_same_v<T, PingReply>) {
                expected["dplay.ping.tick_count"] = "4242";
            }
        },
        message);
    return expected;
}

TEST(TsharkCheck, WiresharksDissectorReadsOurSystemMessagesAsWeMeanThem) {
    if (!TsharkInstalled()) {
        // scripts/test, which installs tshark first, sets this: there the
        // check must run.
        if (std::getenv("TARNWICK_REQUIRE_TSHARK"))
            FAIL() << "tshark is not installed and this run requires it";
        GTEST_SKIP() << "tshark is not installed (scripts/install-deps installs it)";
    }
    const std::vector<Sent> sent = MessagesOfAJoin();
    PcapWriter pcap;
    std::vector<std::size_t> sizes;
    for (const Sent& s : sent) {
        const Endpoint from = s.fromHost ? kHostTcp : kClientTcp;
        const Endpoint to = s.fromHost ? kClientTcp : kHostTcp;
        const auto frame = EncodeSystemFrame(s.message, {0, from.port});
        sizes.push_back(frame.size());
        if (std::holds_alternative<EnumSessions>(s.message)) {
            pcap.AddUdp({from.ip, 2350}, {to.ip, kEnumerationPort}, frame);
        } else if (std::holds_alternative<Ping>(s.message) || std::holds_alternative<PingReply>(s.message)) {
            pcap.AddUdp({from.ip, 2350}, {to.ip, 2350}, frame);
        } else {
            // A connection of its own for each message: the dissector reads the first of a segment only.
            pcap.AddTcp({from.ip, static_cast<std::uint16_t>(40000 + sizes.size())}, to, frame);
        }
    }
    ::tarnwick::testing::TempFolder folder;
    const auto file = folder.Path() / "join.pcap";
    pcap.Save(file);

    std::string command =
        "tshark -n -r '" + file.string() + "' -T fields -E separator=/t -E occurrence=a -E aggregator='|'";
    for (const std::string& field : kFields) command += " -e " + field;
    const auto lines = Lines(command + " 2>/dev/null");
    ASSERT_EQ(lines.size(), sent.size());

    std::set<std::string> commands;
    bool groupNamesSeen = false;
    for (std::size_t i = 0; i < sent.size(); ++i) {
        const std::string name = CommandName(sent[i].message);
        commands.insert(name);
        const auto fields = FieldsOf(lines[i]);
        for (const auto& [field, value] : Expected(sent[i].message, sizes[i]))
            EXPECT_EQ(fields.count(field) ? fields.at(field) : "(none)", value) << name << " " << field;
        EXPECT_EQ(fields.count("dplay.saddr.port") ? fields.at("dplay.saddr.port") : "", "2300") << name;
        if (name == "SUPERENUMPLAYERSREPLY")
            groupNamesSeen = fields.at("dplay.spp.short_name") == "Sim One|FS61_REFUSE_PARAMS";
    }
    EXPECT_TRUE(groupNamesSeen) << "the superpacked player and group names";
    for (const char* expected :
         {"ENUMSESSIONS", "ENUMSESSIONSREPLY", "REQUESTPLAYERID", "REQUESTPLAYERREPLY", "ADDFORWARDREQUEST",
          "ADDFORWARD", "ADDFORWARDACK", "SUPERENUMPLAYERSREPLY", "CREATEPLAYER", "CREATEGROUP",
          "ADDPLAYERTOGROUP", "DELETEPLAYER", "PING", "PINGREPLY", "ADDFORWARDREPLY", "YOUAREDEAD"})
        EXPECT_TRUE(commands.contains(expected)) << expected;
}

}  // namespace
}  // namespace tarnwick::directplay

#include "scenery/scenery_config.h"

#include <algorithm>
#include <cctype>
#include <limits>

#include "base/ansi.h"
#include "base/file_system.h"
#include "scenery/wine_prefix.h"

namespace tarnwick {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kCrLf = "\r\n";
// How many times over the area sections together may span the file.
constexpr std::int64_t kMaxSectionPasses = 4;

// 1-based search from 1-based `start`, 0 when not found, as the positions the
// area sections are cut by are counted.
std::int64_t InStr(std::int64_t start, std::string_view text, std::string_view wanted) {
    if (start < 1 || start > static_cast<std::int64_t>(text.size()) + 1) return 0;
    const std::size_t found = text.find(wanted, static_cast<std::size_t>(start - 1));
    return found == std::string_view::npos ? 0 : static_cast<std::int64_t>(found) + 1;
}

// Characters `start` (1-based) onwards, at most `length` of them.
std::string Mid(std::string_view text, std::int64_t start, std::int64_t length) {
    if (start < 1 || start > static_cast<std::int64_t>(text.size()) || length <= 0) return {};
    return std::string(text.substr(static_cast<std::size_t>(start - 1), static_cast<std::size_t>(length)));
}

std::string_view TrimSpaces(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    const std::size_t last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + ((text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1);
    }
    return lines;
}

bool IsSectionHeader(std::string_view line) {
    const std::string_view t = TrimSpaces(line);
    return !t.empty() && t.find('[') == 0 && t.find(']') == t.size() - 1;
}

}  // namespace

std::string LCaseAnsi(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        const auto b = static_cast<unsigned char>(c);
        if ((b >= 'A' && b <= 'Z') || (b >= 0xC0 && b <= 0xDE && b != 0xD7)) {
            c = static_cast<char>(b + 0x20);
        } else if (b == 0x8A || b == 0x8C || b == 0x8E) {  // Š Œ Ž
            c = static_cast<char>(b + 0x10);
        } else if (b == 0x9F) {  // Ÿ
            c = static_cast<char>(0xFF);
        }
    }
    return out;
}

SceneryAreaTable ParseSceneryConfig(std::string_view text) {
    const std::vector<std::string_view> lines = SplitLines(text);

    std::vector<std::string_view> headers;
    for (std::string_view line : lines) {
        if (IsSectionHeader(line)) headers.push_back(line);
    }

    std::string whole;
    whole.reserve(text.size() + lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) whole.append(kCrLf);
        whole.append(lines[i]);
    }

    SceneryAreaTable table;
    std::int64_t search = 1;
    // Header texts repeated further down make the cut sections overlap. A
    // file can make them overlap again and again, which would take memory and
    // time quadratic in its size; such a file is refused.
    const std::int64_t spanLimit = kMaxSectionPasses * (static_cast<std::int64_t>(whole.size()) + 1024);
    std::int64_t spanned = 0;
    for (std::size_t k = 0; k < headers.size(); ++k) {
        if (LCaseAnsi(headers[k]).find("[area.") == std::string::npos) continue;
        if (table.AreaCount == std::numeric_limits<std::int16_t>::max()) {
            throw FileError("the scenery configuration holds more than 32767 areas");
        }
        ++table.AreaCount;
        table.Areas.resize(static_cast<std::size_t>(table.AreaCount) + 1);
        SceneryArea& area = table.Areas[static_cast<std::size_t>(table.AreaCount) - 1];

        // The section is cut between this header and the next one, both
        // searched from where the previous area section ended; duplicated
        // header texts therefore cut odd sections, as they always have.
        const std::int64_t start = InStr(search, whole, headers[k]);
        const std::int64_t end = k + 1 < headers.size() ? InStr(search, whole, headers[k + 1]) - 1
                                                        : static_cast<std::int64_t>(whole.size());
        // A search position before the first character would be an invalid
        // call; the text's start is where such a search looks anyway.
        search = std::max<std::int64_t>(end, 1);
        const std::string section = Mid(whole, start, (start > end ? start - end : end - start) + 1);
        spanned += static_cast<std::int64_t>(section.size());
        if (spanned > spanLimit) {
            throw FileError("the scenery configuration's area sections overlap over and over");
        }

        area.Title = GetKeyValue(section, "Title");
        area.TextureId = GetKeyValue(section, "Texture_ID");
        area.Active = GetKeyValue(section, "Active");
        area.Layer = GetKeyValue(section, "Layer");
        area.Required = GetKeyValue(section, "Required");
        area.Remote = GetKeyValue(section, "Remote");
        area.Local = GetKeyValue(section, "Local");
    }
    return table;
}

SceneryAreaTable ReadSceneryConfig(const fs::path& file) {
    std::error_code error;
    if (fs::is_directory(file, error)) throw FileError("cannot read " + file.string() + ": it is a folder");
    const std::vector<std::uint8_t> bytes = ReadWholeFile(file);
    return ParseSceneryConfig(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

std::string GetKeyValue(std::string_view sectionText, std::string_view key) {
    std::string text(sectionText);
    text.append(kCrLf);
    const std::string lower = LCaseAnsi(text);
    std::string pattern = LCaseAnsi(key);
    pattern.push_back('=');
    const std::size_t found = lower.find(pattern);
    if (found == std::string::npos) return {};
    const std::size_t value = found + pattern.size();
    // The value ends with its line. A section cut between a CR and its LF (a
    // header repeated further down cuts sections short) must not leave the
    // CR inside the value, so either character ends it.
    const std::size_t end = lower.find_first_of("\r\n", value);  // always found: the text ends with CR LF
    return text.substr(value, end - value);
}

std::optional<fs::path> ResolveFolderText(std::string_view ansiText, const fs::path& baseFolder) {
    const std::string text = AnsiToUtf8(ansiText);
    const bool absolute = !text.empty() && (text.front() == '\\' || text.front() == '/');
    return ResolveNoCase(absolute ? fs::path("/") : baseFolder, text);
}

fs::path UnresolvedFolderText(std::string_view ansiText, const fs::path& baseFolder) {
    std::string text = AnsiToUtf8(ansiText);
    std::replace(text.begin(), text.end(), '\\', '/');
    if (!text.empty() && text.front() == '/') return fs::path(text).lexically_normal();
    return (baseFolder / text).lexically_normal();
}

namespace {

std::optional<fs::path> ExistingFolder(std::string_view ansiText, const fs::path& baseFolder) {
    auto found = ResolveFolderText(ansiText, baseFolder);
    std::error_code error;
    if (!found || !fs::is_directory(*found, error)) return std::nullopt;
    return found;
}

// The simulator folder's Wine prefix, looked for once and only when an area
// names a drive.
class SimulatorPrefix {
   public:
    SimulatorPrefix(const std::string& fsFolder, const fs::path& baseFolder)
        : fsFolder_(fsFolder), baseFolder_(baseFolder) {}

    const std::optional<fs::path>& Get() {
        if (!looked_) {
            looked_ = true;
            if (const auto folder = ResolveFolderText(fsFolder_, baseFolder_))
                prefix_ = PrefixHolding(*folder);
        }
        return prefix_;
    }

   private:
    const std::string& fsFolder_;
    const fs::path& baseFolder_;
    bool looked_ = false;
    std::optional<fs::path> prefix_;
};

// A drive path through the prefix; else why it leads nowhere.
std::optional<fs::path> DriveFolderFor(const std::string& ansiLocal, SimulatorPrefix& prefix,
                                       std::string& reason) {
    const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(ansiLocal[0])));
    const std::string drive = std::string(1, letter) + ":";
    if (!prefix.Get()) {
        reason = "the FS2002 folder is not inside a Wine prefix, so drive " + drive + " is nowhere";
        return std::nullopt;
    }
    const std::optional<fs::path> root = DriveFolder(*prefix.Get(), letter);
    if (!root) {
        reason = "the Wine prefix " + prefix.Get()->string() + " has no drive " + drive;
        return std::nullopt;
    }
    auto found = ResolveDrivePath(*prefix.Get(), AnsiToUtf8(ansiLocal));
    std::error_code error;
    if (!found || !fs::is_directory(*found, error)) {
        reason = "no such folder (drive " + drive + " is " + root->string() + ")";
        return std::nullopt;
    }
    return found;
}

}  // namespace

std::vector<SkippedArea> ResolveAreaFolders(SceneryAreaTable& table, const std::string& fsFolder,
                                            const fs::path& baseFolder) {
    std::vector<SkippedArea> skipped;
    SimulatorPrefix prefix(fsFolder, baseFolder);
    for (std::int32_t i = 0; i < table.AreaCount; ++i) {
        SceneryArea& area = table.Areas[static_cast<std::size_t>(i)];
        area.LocalPath.clear();
        if (area.Local.empty()) {
            skipped.push_back({area.Title, {}, "no folder given"});
            continue;
        }

        std::string local(TrimSpaces(area.Local));
        std::replace(local.begin(), local.end(), '/', '\\');
        const std::string lower = LCaseAnsi(local);
        if (!lower.ends_with("\\scenery") && lower != "scenery") local += "\\scenery";

        // The folder as written, from the current directory; else below the
        // simulator's folder; else, for a drive path, inside the simulator's
        // Wine prefix (last, so that every folder found before drive letters
        // were understood is found as it was). The original-case text is
        // resolved, so an exact name wins over one that only matches ignoring
        // case.
        std::string reason = "no such folder";
        auto folder = ExistingFolder(local, baseFolder);
        if (!folder) {
            std::string belowSimulator = fsFolder + "\\" + local;
            if ((folder = ExistingFolder(belowSimulator, baseFolder))) {
                local = std::move(belowSimulator);
            } else if (DriveLetterOf(local)) {
                folder = DriveFolderFor(local, prefix, reason);
            }
        }
        if (folder) {
            area.Local = LCaseAnsi(local);
            area.LocalPath = *folder;
        } else {
            skipped.push_back({area.Title, area.Local, reason});
            area.Local.clear();
        }
    }
    return skipped;
}

fs::path SceneryConfigPathFor(const std::string& fsFolder, const fs::path& baseFolder) {
    const std::string text = fsFolder + "\\scenery.cfg";
    if (auto found = ResolveFolderText(text, baseFolder)) return *found;
    return UnresolvedFolderText(text, baseFolder);
}

std::vector<std::string> ListSceneryFiles(const fs::path& folder) {
    std::vector<std::pair<std::string, std::string>> keyed;  // upper-cased name, real name
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        std::string name = it->path().filename().string();
        std::string upper = UpperAscii(name);
        if (!upper.ends_with(".BGL")) continue;
        // The listing's own entry type answers this without a stat for plain files.
        std::error_code statusError;
        if (!it->is_regular_file(statusError)) continue;
        keyed.emplace_back(std::move(upper), std::move(name));
    }
    // Names that differ only in case (possible here, not on the simulator's
    // disks) keep a fixed order too.
    std::sort(keyed.begin(), keyed.end());
    std::vector<std::string> names;
    names.reserve(keyed.size());
    for (auto& entry : keyed) names.push_back(std::move(entry.second));
    return names;
}

}  // namespace tarnwick

#include "radar/remembered_view.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "base/number_format.h"
#include "state/area_identifier.h"
#include "state/chosen_area.h"

namespace tarnwick {
namespace {

std::string_view SkipBlanks(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    return text;
}

// The number at the start of `text` (after blanks), which must end at a blank
// or the end; `text` moves past it.
template <typename Number>
std::optional<Number> TakeNumber(std::string_view& text) {
    text = SkipBlanks(text);
    Number value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end == text.data()) return std::nullopt;
    text.remove_prefix(static_cast<std::size_t>(end - text.data()));
    if (!text.empty() && text.front() != ' ' && text.front() != '\t') return std::nullopt;
    return value;
}

}  // namespace

std::string RememberedViewKey(std::string_view areaKind, std::string_view areaTitle) {
    const std::string kind = areaKind == kAreaKindSector ? "Sector" : "Airport";
    const std::string ident = AreaIdentifier(areaKind, areaTitle);
    return ident.empty() ? kind : kind + "-" + ident;
}

RememberedView RememberedViewOf(const RadarView& view) {
    const GeoBounds& b = view.ViewBounds;
    return {view.ZoomLevel, (b.North + b.South) / 2.0, (b.West + b.East) / 2.0};
}

void ShowRememberedView(RadarView& view, const RememberedView& remembered) {
    ShowAt(view, remembered.ZoomLevel, remembered.CenterLat, remembered.CenterLon);
}

std::string FormatRememberedView(const RememberedView& remembered) {
    return std::to_string(remembered.ZoomLevel) + " " + FormatRoundTrip(remembered.CenterLat) + " " +
           FormatRoundTrip(remembered.CenterLon);
}

std::optional<RememberedView> ParseRememberedView(std::string_view text) {
    const std::optional<long long> level = TakeNumber<long long>(text);
    const std::optional<double> lat = level ? TakeNumber<double>(text) : std::nullopt;
    const std::optional<double> lon = lat ? TakeNumber<double>(text) : std::nullopt;
    if (!lon || !SkipBlanks(text).empty() || !std::isfinite(*lat) || !std::isfinite(*lon))
        return std::nullopt;
    return RememberedView{
        static_cast<std::int16_t>(std::clamp<long long>(*level, kMinZoomLevel, kMaxZoomLevel)),
        std::clamp(*lat, -90.0, 90.0), std::clamp(*lon, -180.0, 180.0)};
}

}  // namespace tarnwick

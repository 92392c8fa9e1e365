// The simulator's scenery.cfg. Reading it must not crash, the areas it finds
// must keep the program's table form, and their values must stay within a
// multiple of the file's size.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "base/file_system.h"
#include "fuzz_check.h"
#include "scenery/scenery_config.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tarnwick;
    using namespace tarnwick::fuzz;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    SceneryAreaTable table;
    try {
        table = ParseSceneryConfig(text);
    } catch (const FileError&) {
        return 0;  // more areas than a 16-bit count holds: refused as a whole
    }
    Require(table.AreaCount >= 0 && table.Areas.size() == static_cast<std::size_t>(table.AreaCount) + 1,
            "the area table spans its count plus one empty slot");
    Require(table.Areas.back() == SceneryArea{}, "the last slot stays empty");
    // Each area is opened by a header of at least "[area.]" and a line end.
    Require(static_cast<std::size_t>(table.AreaCount) <= size / 8 + 1, "every area has a header of its own");
    // Each value is a piece of its area's section, and the sections together
    // span the file (its lines rejoined with CR LF: at most twice its size)
    // only a few times over.
    std::size_t total = 0;
    for (const SceneryArea& area : table.Areas) {
        for (const std::string* value : {&area.Title, &area.TextureId, &area.Active, &area.Layer,
                                         &area.Required, &area.Remote, &area.Local}) {
            Require(value->size() <= 2 * size, "a value is a piece of the file");
            total += value->size();
        }
        Require(area.LocalPath.empty(), "nothing is looked up on disk before the folders are resolved");
    }
    Require(total <= 7 * 4 * (2 * size + 1024), "the values together stay within a multiple of the file");
    return 0;
}

// atc_settings.tcs with any content. Reading it must not crash, a short file
// must be reported, and a complete record must be exactly what the file holds.
#include <cstddef>
#include <cstdint>
#include <span>

#include "fuzz_check.h"
#include "state/settings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tarnwick;
    using namespace tarnwick::fuzz;
    const std::span<const std::uint8_t> bytes(data, size);
    const SettingsReadResult result = DecodeSettings(bytes);
    Require(result.Complete || !result.Problem.empty(), "a short file is explained");
    Require(result.Record.ProgramTitle.size() + result.Record.FsFolder.size() <= size,
            "the texts are pieces of the file");
    if (result.Complete) {
        Require(IsPrefixOf(EncodeSettings(result.Record), bytes), "a complete record is what the file holds");
    }
    return 0;
}

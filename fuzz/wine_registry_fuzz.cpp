// A Wine prefix's registry file (system.reg, user.reg), read when FS2002 is
// looked for. Reading it must not crash, every text it yields is a piece of
// the file no longer than the file, and the keys kept are only those asked
// for, each once.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz_check.h"
#include "scenery/wine_registry.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tarnwick;
    using namespace tarnwick::fuzz;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::size_t asked = 0;
    const auto keys = ReadRegistryKeys(text, [&asked](std::string_view path) {
        ++asked;
        return path.size() % 2 == 0;  // a wanted set the input cannot predict
    });
    Require(keys.size() <= asked, "a key is kept only when it was asked for");
    std::size_t total = 0;
    for (const RegistryKey& key : keys) {
        Require(key.Path.size() % 2 == 0, "only the wanted keys are kept");
        total += key.Path.size();
        for (const RegistryString& value : key.Strings) total += value.Name.size() + value.Value.size();
    }
    // Escapes and UTF-8 never take more bytes than the text they came from.
    Require(total <= size, "the keys and values together are no larger than the file");
    return 0;
}

#pragma once
// Wine's registry files (system.reg, user.reg in a prefix): text with one
// [key] line per key and "name"="value" lines below it. Only string values are
// read; the simulator's installers leave its folder there.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick {

struct RegistryString {
    std::string Name;   // the value's name, empty for the default value (@), UTF-8
    std::string Value;  // UTF-8
    bool operator==(const RegistryString&) const = default;
};

struct RegistryKey {
    std::string Path;  // backslash-separated, UTF-8
    std::vector<RegistryString> Strings;
    bool operator==(const RegistryKey&) const = default;
};

// The keys `wanted` accepts, in file order, with their string values (plain
// and expandable), escapes undone (\\ \" \n \r \t, octal, \x with up to four
// hex digits of a UTF-16 unit). Lines of any other form are passed over.
// Every text is a piece of `text` at most three times its length in UTF-8,
// and each is kept once, so the result stays within a small multiple of the
// file's size.
std::vector<RegistryKey> ReadRegistryKeys(std::string_view text,
                                          const std::function<bool(std::string_view path)>& wanted);

}  // namespace tarnwick

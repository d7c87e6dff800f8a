// Any bytes as a settings file: lookups and edits must neither crash nor read
// outside the text, and an edit must keep the value findable.
#include "store/Profile.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const kz::profile::Document doc(bytes);
    // Names taken from the input itself reach its sections and keys.
    const std::size_t cut = size / 3;
    const std::string_view section = bytes.substr(0, cut % 16);
    const std::string_view key = bytes.substr(cut, cut % 16);
    const std::string value = doc.get(section, key, 100);
    if (value.size() > 99)
        __builtin_trap();
    (void)doc.get("AppName", "App_00", 100);
    (void)doc.get("VolumeLabel", "", 100);

    const kz::profile::Document edited(doc.withValue("AppName", "App_00", "abc"));
    if (edited.get("AppName", "App_00", 100) != "abc")
        __builtin_trap();
    const kz::profile::Document again(edited.withValue(section, key, bytes.substr(0, 40)));
    (void)again.get(section, key, 100);
    return 0;
}

// The property bag's saved form: whatever text it reads, it writes back in a form that reads as
// the same bag, and what it refuses is a platform error.
#include "FuzzCheck.h"
#include "platform/PlatformError.h"
#include "platform/PropertyBag.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    platform::PropertyBag bag;
    try {
        bag = platform::PropertyBag::FromText(text);
    } catch (const platform::PlatformError&) {
        return 0;
    }
    const QString saved = bag.ToText();
    const platform::PropertyBag again = platform::PropertyBag::FromText(saved);
    FUZZ_CHECK(again.ToText() == saved);
    FUZZ_CHECK(again.Count() == bag.Count());
    for (const QString& key : bag.Keys())
        FUZZ_CHECK(again.Contains(key));
    return 0;
}

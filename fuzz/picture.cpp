// The picture import over any bytes: a picture within the size limit, or the invalid-picture
// error; never a crash, a hang or a picture beyond the limit.
#include "FuzzCheck.h"
#include "PictureLoader.h"
#include "platform/PlatformError.h"

#include <QString>

#include <cstddef>
#include <cstdint>
#include <sys/mman.h>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // A file in memory, opened by name as the window and the tool open a picture.
    static const int fd = ::memfd_create("picture", 0);
    FUZZ_CHECK(fd >= 0);
    FUZZ_CHECK(::ftruncate(fd, 0) == 0);
    FUZZ_CHECK(::pwrite(fd, data, size, 0) == ssize_t(size));
    try {
        const QImage picture = pointillo::LoadPicture(QStringLiteral("/proc/self/fd/%1").arg(fd));
        FUZZ_CHECK(!picture.isNull());
        FUZZ_CHECK(qint64(picture.width()) * picture.height() <= pointillo::kMaxPicturePixels);
    } catch (const platform::PlatformError& e) {
        FUZZ_CHECK(e.number() == platform::kErrInvalidPicture);
    }
    return 0;
}

// libFuzzer target for the saved font reader: any bytes must be read
// without a crash, an out-of-bounds access or a hang, and whatever reads
// as a font must survive being written and read again unchanged.

#include "envelope/fontres.h"

#include <QByteArray>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), int(size));
    const std::optional<envelope::PrintFont> font = envelope::decodeFontRes(bytes);
    if (!font || !font->family.isValidUtf16())
        return 0;
    const std::optional<envelope::PrintFont> again =
        envelope::decodeFontRes(envelope::encodeFontRes(*font));
    if (!again || *again != *font)
        std::abort();
    return 0;
}

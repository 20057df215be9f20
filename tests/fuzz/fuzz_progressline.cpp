// The update's progress lines under libFuzzer. The first byte sets how many
// bytes each read hands over (1 to 128), the rest is the updater's output,
// so lines break across reads at every place the buffer can meet them.
// Every percentage that comes out is fit for the progress bar.
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include <QBuffer>

#include "progresslinereader.h"

namespace {

void check(const ProgressLine& line)
{
    if (line.hasPercent && !(std::isfinite(line.percent) && line.percent >= 0 && line.percent <= 100))
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const size_t step = size_t(data[0] % 128) + 1;
    ProgressLineReader reader;
    static QBuffer buffer; // one device for every read: making one costs more than the read
    for (size_t at = 1; at < size; at += step) {
        const size_t length = std::min(step, size - at);
        buffer.close();
        buffer.setData(reinterpret_cast<const char*>(data + at), int(length));
        buffer.open(QIODevice::ReadOnly);
        for (const ProgressLine& line : reader.readAvailable(&buffer))
            check(line);
        if (!buffer.atEnd())
            std::abort(); // a read must take everything that is ready
    }
    ProgressLine last;
    if (reader.takeUnterminated(&last))
        check(last);
    return 0;
}

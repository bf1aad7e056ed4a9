#include "core/exchange/inflating_buffer.h"

#include <libdeflate.h>
#include <zlib.h>

#include <algorithm>
#include <cstdint>

#ifdef __linux__
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace quarbel::workbook_detail {
void givePagesBack(const char *from, const char *to) {
#ifdef __linux__
    static const std::uintptr_t page = std::uintptr_t(sysconf(_SC_PAGESIZE));
    const std::uintptr_t first = (reinterpret_cast<std::uintptr_t>(from) + page - 1) & ~(page - 1);
    const std::uintptr_t last = reinterpret_cast<std::uintptr_t>(to) & ~(page - 1);
    if (last > first)
        madvise(reinterpret_cast<void *>(first), last - first, MADV_DONTNEED);
#else
    Q_UNUSED(from);
    Q_UNUSED(to);
#endif
}

InflatingBuffer::InflatingBuffer(const char *packed, qsizetype packedSize, qsizetype size,
                                 std::uint32_t crc, InflationSteps steps)
    : m_data(new char[std::size_t(std::max<qsizetype>(size, 1))]),
      m_size(size), m_steps{std::max<qsizetype>(steps.piece, 1),
                            std::max<qsizetype>(steps.lead, 0)} {
    m_worker =
        std::thread([this, packed, packedSize, crc] { inflateAll(packed, packedSize, crc); });
}

InflatingBuffer::~InflatingBuffer() {
    {
        const std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_moved.notify_all();
    m_worker.join();
}

qsizetype InflatingBuffer::waitFor(qsizetype n) {
    std::unique_lock lock(m_mutex);
    if (m_ready >= n || m_done)
        return m_ready;
    // A reader that waits always lets the inflation go on, whatever it has given back: one row
    // longer than the lead must not stop both sides.
    m_readerWaiting = true;
    m_moved.notify_all();
    m_moved.wait(lock, [&] { return m_ready >= n || m_done; });
    m_readerWaiting = false;
    return m_ready;
}

void InflatingBuffer::release(qsizetype offset) {
    offset = std::clamp<qsizetype>(offset, 0, m_size);
    givePagesBack(m_data.get() + m_givenBack, m_data.get() + offset);
    m_givenBack = std::max(m_givenBack, offset);
    {
        const std::lock_guard lock(m_mutex);
        m_released = std::max(m_released, offset);
    }
    m_moved.notify_all();
}

bool InflatingBuffer::succeeded() {
    std::unique_lock lock(m_mutex);
    m_unbounded = true;
    m_moved.notify_all();
    m_moved.wait(lock, [this] { return m_done; });
    return m_ok;
}

void InflatingBuffer::publish(qsizetype ready) {
    {
        const std::lock_guard lock(m_mutex);
        m_ready = ready;
    }
    m_moved.notify_all();
}

void InflatingBuffer::inflateAll(const char *packed, qsizetype packedSize, std::uint32_t crc) {
    z_stream stream{};
    int result = inflateInit2(&stream, -MAX_WBITS); // raw deflate, as a zip member holds it
    bool ok = false;
    if (result == Z_OK) {
        stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(packed));
        stream.avail_in = uInt(packedSize);
        qsizetype produced = 0;
        std::uint32_t sum = 0;
        for (;;) {
            {
                std::unique_lock lock(m_mutex);
                m_moved.wait(lock, [&] {
                    return m_stop || m_unbounded || m_readerWaiting ||
                           produced - m_released < m_steps.lead;
                });
                if (m_stop)
                    break;
            }
            const qsizetype step = std::min(m_steps.piece, m_size - produced);
            if (step == 0) {
                // The stated size is reached: the stream must end here, with nothing more.
                if (result != Z_STREAM_END) {
                    char spare = 0;
                    stream.next_out = reinterpret_cast<Bytef *>(&spare);
                    stream.avail_out = 1;
                    result = inflate(&stream, Z_NO_FLUSH);
                    if (stream.avail_out == 0)
                        result = Z_DATA_ERROR;
                }
                break;
            }
            stream.next_out = reinterpret_cast<Bytef *>(m_data.get() + produced);
            stream.avail_out = uInt(step);
            result = inflate(&stream, Z_NO_FLUSH);
            const qsizetype got = step - qsizetype(stream.avail_out);
            sum = std::uint32_t(libdeflate_crc32(sum, m_data.get() + produced, std::size_t(got)));
            produced += got;
            publish(produced);
            if (result != Z_OK)
                break; // the end, damaged data, or data that stopped short
        }
        ok = result == Z_STREAM_END && produced == m_size && sum == crc;
        inflateEnd(&stream);
    }
    {
        const std::lock_guard lock(m_mutex);
        m_done = true;
        m_ok = ok;
    }
    m_moved.notify_all();
}

} // namespace quarbel::workbook_detail

#pragma once

#include <QtGlobal>

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

namespace quarbel::workbook_detail {

// Gives whole pages inside [from, to) back to the system: they stay mapped and read as zeros.
// Markup already read need not stay resident while the rest of a part is read.
void givePagesBack(const char *from, const char *to);

// A deflated part inflated on a second thread into one buffer of its stated size, while its
// reader follows behind: the reader waits only where it overtakes the inflation, and gives
// back what it has read so the inflation stays at most `lead` bytes ahead of it. A sheet of a
// million rows is then never resident whole, and inflating it costs the reader no time.
// How much is inflated between two hand-overs, and how far ahead of what the reader gave back
// the inflation may run. Tests make both tiny, so that the reader waits everywhere.
struct InflationSteps {
    qsizetype piece{256 << 10};
    qsizetype lead{16 << 20};
};

class InflatingBuffer {
  public:
    // `packed` (raw deflate data) must outlive the buffer; `size` and `crc` are what the
    // archive states, and the inflated data must match both.
    InflatingBuffer(const char *packed, qsizetype packedSize, qsizetype size, std::uint32_t crc,
                    InflationSteps steps = {});
    ~InflatingBuffer();
    InflatingBuffer(const InflatingBuffer &) = delete;
    InflatingBuffer &operator=(const InflatingBuffer &) = delete;

    const char *data() const { return m_data.get(); }
    qsizetype size() const { return m_size; }
    // Waits until at least `n` bytes are inflated or the inflation has ended; returns how many
    // are inflated now (fewer than `n` only at the end).
    qsizetype waitFor(qsizetype n);
    // The reader no longer looks before `offset`.
    void release(qsizetype offset);
    // Waits for the end; true when the data inflated to exactly the stated size and checksum.
    bool succeeded();

  private:
    void inflateAll(const char *packed, qsizetype packedSize, std::uint32_t crc);
    void publish(qsizetype ready);

    std::unique_ptr<char[]> m_data;
    qsizetype m_size{0};
    InflationSteps m_steps;
    qsizetype m_givenBack{0}; // the reader's own: pages before it are given back

    std::mutex m_mutex;
    std::condition_variable m_moved;
    qsizetype m_ready{0};
    qsizetype m_released{0};
    bool m_readerWaiting{false};
    bool m_unbounded{false};
    bool m_stop{false};
    bool m_done{false};
    bool m_ok{false};

    std::thread m_worker;
};

} // namespace quarbel::workbook_detail

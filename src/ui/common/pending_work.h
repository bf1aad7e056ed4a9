#pragma once

#include <QObject>
#include <QtGlobal>

#include <functional>

class QTimer;

namespace quarbel {

// A method's computation that may wait until the typing pauses. request() runs it at once while
// it is cheap; when a run over that many rows would take longer than a key may wait (judged by
// the time per row of the last run), each request instead restarts a short timer, so a burst
// of keys costs one run. Whatever reads results (the replay driver, the
// report, copy, export, the picture) calls flushAll() first and sees them complete.
class PendingWork : public QObject {
    Q_OBJECT
  public:
    // A run longer than this would hold up a key typed meanwhile.
    static constexpr double SlowRunMs = 1.5;
    // How long the typing must pause before a slow run starts.
    static constexpr int PauseMs = 200;

    PendingWork(std::function<void()> work, QObject *parent);
    ~PendingWork() override;

    // The work is about to cover `rows` rows.
    void request(qsizetype rows);
    // Runs now when a run is pending.
    void flush();
    // Drops a pending run: the method switch empties the data.
    void cancel();
    bool isPending() const { return m_pending; }
    static void flushAll();

  private:
    void run();

    std::function<void()> m_work;
    QTimer *m_timer{nullptr};
    bool m_pending{false};
    // Before any run, a guess on the slow side of what the computations here take a row.
    double m_msPerRow{1e-4};
    qsizetype m_rows{0};
};

} // namespace quarbel

#pragma once

#include <QObject>

#include <functional>

class QTimer;

namespace quarbel {

// A method's computation that may wait until the typing pauses. request() runs it at once while
// it is cheap; once a run has taken longer than a key may wait, each request instead restarts a
// short timer, so a burst of keys costs one run. Whatever reads results (the replay driver, the
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

    void request();
    // Runs now when a run is pending.
    void flush();
    // Drops a pending run, and the memory of a slow one: the method switch empties the data.
    void cancel();
    bool isPending() const { return m_pending; }
    static void flushAll();

  private:
    void run();

    std::function<void()> m_work;
    QTimer *m_timer{nullptr};
    bool m_pending{false};
    double m_lastRunMs{0.0};
};

} // namespace quarbel

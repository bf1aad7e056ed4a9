#include "ui/common/pending_work.h"

#include <QElapsedTimer>
#include <QList>
#include <QTimer>

#include <algorithm>

namespace quarbel {
namespace {

QList<PendingWork *> &everyWork() {
    static QList<PendingWork *> works;
    return works;
}

} // namespace

PendingWork::PendingWork(std::function<void()> work, QObject *parent)
    : QObject(parent), m_work(std::move(work)) {
    m_timer = new QTimer(this);
    m_timer->setSingleShot(true);
    m_timer->setInterval(PauseMs);
    connect(m_timer, &QTimer::timeout, this, &PendingWork::flush);
    everyWork().append(this);
}

PendingWork::~PendingWork() {
    everyWork().removeOne(this);
}

void PendingWork::request(qsizetype rows) {
    m_rows = rows;
    if (m_msPerRow * double(rows) <= SlowRunMs) {
        run();
        return;
    }
    m_pending = true;
    m_timer->start();
}

void PendingWork::flush() {
    if (m_pending)
        run();
}

void PendingWork::cancel() {
    m_pending = false;
    m_timer->stop();
}

void PendingWork::flushAll() {
    for (PendingWork *work : QList<PendingWork *>(everyWork()))
        work->flush();
}

void PendingWork::run() {
    m_pending = false;
    m_timer->stop();
    QElapsedTimer clock;
    clock.start();
    m_work();
    m_msPerRow = double(clock.nsecsElapsed()) / 1e6 / double(std::max<qsizetype>(m_rows, 1));
}

} // namespace quarbel

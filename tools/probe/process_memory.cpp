#include "probe/process_memory.h"

#include <QByteArray>
#include <QFile>
#include <QList>

#include <malloc.h>

namespace quarbel::probe {
namespace {

double statusFieldMB(const char *field) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0.0;
    const QByteArray key = QByteArray(field) + ':';
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(key.size()).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return 0.0;
}

} // namespace

double peakMemoryMB() {
    return statusFieldMB("VmHWM");
}

double residentMemoryMB() {
    return statusFieldMB("VmRSS");
}

void resetPeakMemory() {
    malloc_trim(0);
    QFile refs(QStringLiteral("/proc/self/clear_refs"));
    if (refs.open(QIODevice::WriteOnly))
        refs.write("5"); // restarts VmHWM from the current resident size
}

} // namespace quarbel::probe

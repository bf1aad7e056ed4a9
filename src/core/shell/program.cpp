#include "core/shell/program.h"

namespace quarbel {

QString programName() {
    return QStringLiteral("Quarbel");
}

QString programVersion() {
    return QStringLiteral(QUARBEL_PROGRAM_VERSION);
}

} // namespace quarbel

#pragma once

#include <QString>

namespace quarbel {

// The program's name and version as reports and saved files name them: "Quarbel", "15.0".
QString programName();
QString programVersion();

} // namespace quarbel

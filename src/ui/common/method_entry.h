#pragma once

#include "core/report/report.h"

#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

namespace quarbel {

class DataGrid;
class Panel;

// One method as the shell knows it: what it shows, what it takes and what it reports. The
// shell builds the method bar, the switch, import and export and the report from a list of
// these, so a method added after the eight is one entry, not a branch.
struct MethodEntry {
    int method{0};
    QWidget *input{nullptr}; // the grid it takes, or its own input panel
    Panel *result{nullptr};  // "Picture4_N"
    DataGrid *grid{nullptr}; // the grid it takes; none: no import or export
    // Its captions over the grid's columns while it is active; none: the grid's own.
    QStringList columnCaptions;
    QString firstCell; // takes the caret after the switch
    // A cell of its grid was stored while it is the active method.
    std::function<void(int column)> stored;
    // The switch chose it: it may head a shared input panel with its own captions.
    std::function<void()> activate;
    // Its own input panel's cells emptied by the switch (a grid's are the shell's).
    std::function<void()> clearInputs;
    // Its report, made from its result; the eight's are read from the window instead.
    std::function<ReportContent()> report;
};

} // namespace quarbel

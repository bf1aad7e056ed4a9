#pragma once

#include "core/report/report.h"

#include <QImage>
#include <QObject>

#include <functional>

class QIODevice;
class QTextDocument;
class QWidget;

namespace quarbel {

// Copies, saves and prints the report of the active method. It reads the texts the window
// shows, by object name, at the moment it is asked; the core puts the report together.
class ReportActions : public QObject {
    Q_OBJECT
  public:
    // `simulated` tells whether the active grid holds data the generator made.
    ReportActions(QWidget *window, std::function<int()> method, std::function<bool()> simulated);

    // An added method's own report content (none for the eight, read from the window).
    void setContentSource(std::function<std::optional<ReportContent>()> source) {
        m_content = std::move(source);
    }
    // Where the report's date and time come from; the replay driver fixes it.
    void setClock(std::function<QDateTime()> clock) { m_clock = std::move(clock); }

    Report currentReport() const;
    // The active method's picture, when its panel has one ("Plot0" … "Plot7").
    QImage currentPicture() const;

    void copy();
    void save();
    void print();

  private:
    void fillDocument(QTextDocument &document, const Report &report, const QImage &picture) const;
    // Writes the report as `suffix` says (html, odt or pdf); false when it could not.
    bool write(QIODevice &device, const QString &suffix, const Report &report,
               const QImage &picture) const;

    QWidget *m_window{nullptr};
    std::function<int()> m_method;
    std::function<bool()> m_simulated;
    std::function<std::optional<ReportContent>()> m_content;
    std::function<QDateTime()> m_clock{[] { return QDateTime::currentDateTime(); }};
};

} // namespace quarbel

#pragma once

#include "ui/common/seams.h"

#include <QString>
#include <QStringList>

#include <random>

class QWidget;

#include "probe/process_memory.h"

namespace quarbel::robust {

// Answers every dialog as cancelled and records messages, so nothing blocks off screen.
class QuietSeams : public Seams {
  public:
    QString saveFileName(QWidget *, const QString &, const QString &, const QString &,
                         QString *) override;
    QString openFileName(QWidget *, const QString &, const QString &, const QString &) override;
    bool confirmOverwrite(QWidget *, const QString &) override { return true; }
    void message(QWidget *, const QString &title, const QString &text) override;
    void openUrl(const QUrl &) override {}
    bool startProgram(const QString &, const QStringList &) override { return false; }
    void setBusy(bool) override {}

    QString nextPath; // the file the next dialog answers with (once)
    QStringList messages;
};

// Installs the seams for the lifetime of the guard.
class SeamsGuard {
  public:
    explicit SeamsGuard(Seams *seams) { Seams::install(seams); }
    ~SeamsGuard() { Seams::install(nullptr); }
};

class Dice {
  public:
    explicit Dice(std::uint32_t seed) : m_engine(seed) {}
    int below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_engine); }
    bool chance(int percent) { return below(100) < percent; }
    template <class List> const auto &pick(const List &list) {
        return list[below(int(list.size()))];
    }
    std::mt19937 &engine() { return m_engine; }

  private:
    std::mt19937 m_engine;
};

// One character typed as a person types it: key press and release with its text.
void typeCharacter(QWidget *target, const QString &ch);
// A key without text (Backspace, Enter, arrows); the release goes where the focus went.
void pressKey(QWidget *target, int key);

// Why a shown text is not made of well-formed numbers (empty when it is): no exponent,
// "nan" or "inf", no doubled sign or point, no negative zero.
QString malformedNumber(const QString &shown);

using probe::peakMemoryMB;
using probe::resetPeakMemory;
using probe::residentMemoryMB;

} // namespace quarbel::robust

#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

class QTextDocument;
class QWidget;

namespace quarbel {

// Everything that would block on a person or reach outside the program goes through here, so
// that tests and the replay driver can answer it without a screen.
class Seams {
  public:
    virtual ~Seams() = default;

    // Empty result: the dialog was cancelled. `selectedFilter` is in/out, as in QFileDialog.
    virtual QString saveFileName(QWidget *parent, const QString &title, const QString &dir,
                                 const QString &filters, QString *selectedFilter);
    virtual QString openFileName(QWidget *parent, const QString &title, const QString &dir,
                                 const QString &filters);
    // Asks before overwriting an existing file; true to go on.
    virtual bool confirmOverwrite(QWidget *parent, const QString &path);
    virtual void message(QWidget *parent, const QString &title, const QString &text);
    // Opens an address in the user's browser without waiting for it.
    virtual void openUrl(const QUrl &url);
    // Starts a program detached; false when it could not be started.
    virtual bool startProgram(const QString &program, const QStringList &arguments);
    virtual void setBusy(bool busy);
    // Asks for a printer through the print dialog and prints; false when cancelled.
    virtual bool printDocument(QWidget *parent, QTextDocument &document);
    // Ends the program at once, whatever window is open or whatever handler is running.
    virtual void endProgram();

    static Seams &instance();
    // Installs a replacement (not owned); nullptr restores the real one.
    static void install(Seams *seams);
};

// Where a file dialog starts: the folder of the last file its action chose in this run, else
// the user's documents (the program's own folder is not writable once installed).
QString dialogStartFolder(const QString &remembered);

} // namespace quarbel

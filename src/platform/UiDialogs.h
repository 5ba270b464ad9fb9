#pragma once
// Every modal dialog of the program goes through these few routines, so that a test can
// answer the next one instead of a person (no test ever blocks on a modal window).
#include <QPointer>
#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <optional>

class QDialog;
class QLineEdit;
class QPrinter;
class QWidget;

namespace ui {

// Buttons of a message dialog, in the order of the designed button set.
enum class MsgButton { Yes, No, OK, Cancel, Abort, Retry, Ignore, All, NoToAll, YesToAll, Help };

// Dialog types: 0 warning, 1 error, 2 information, 3 confirmation, 4 custom.
enum class MsgType { Warning = 0, Error = 1, Information = 2, Confirmation = 3, Custom = 4 };

// A modal result: the button pressed (MsgButton) or none when the dialog was closed.
using ModalResult = std::optional<MsgButton>;

// What a shown (or answered) dialog looked like; tests read these back.
struct ShownDialog {
    QString kind;      // "message", "plain", "input", "open", "save"
    QString caption;
    QString text;      // message text, or prompt of an input
    QStringList buttons;
    // Message dialogs: the caption on each button, in the order of buttons (a replaced
    // Yes, No or Cancel text, else the button's name).
    QStringList buttonTexts = {};
    // File dialogs: the filter, the default extension, and whether the dialog itself asks
    // before an existing file is replaced.
    QString filter = {};
    QString defaultSuffix = {};
    bool overwriteQuestion = false;
};

// ---- test hook ----------------------------------------------------------------------
// When answers are queued, the next dialog is not shown: it takes the first answer.
// An answer is a button (message dialogs), a text (input prompts, file dialogs;
// std::nullopt = Cancel). Every dialog, shown or answered, is recorded.
struct Answer {
    std::optional<MsgButton> button;
    std::optional<QString> text;
};
void QueueAnswer(const Answer& a);
void QueueButton(MsgButton b);
void QueueText(const std::optional<QString>& text); // nullopt: the user cancels
void ClearAnswers();
bool HasQueuedAnswers();
// Every dialog since the last ClearRecord (tests read it).
const std::deque<ShownDialog>& Record();
void ClearRecord();
// When set, a dialog with no queued answer does not block either: it is recorded and
// returns its default (OK / Cancel / empty). Tests turn it on in their main().
void SetNonInteractive(bool on);
// Called with each dialog as it is recorded, before it returns: a test can stand in for a
// person who takes a while to answer (empty: nothing).
void SetOnRecorded(std::function<void(const ShownDialog&)> hook);

// ---- dialogs ------------------------------------------------------------------------
// A message dialog with the given caption, text, icon type and buttons, whose button
// captions may be replaced (Yes, No, Cancel translated by the caller). Returns the button.
struct MessageBoxRequest {
    QString caption;
    QString text;
    MsgType type = MsgType::Information;
    QList<MsgButton> buttons;
    QString yesText, noText, cancelText; // empty: the toolkit's own
};
ModalResult ShowMessageBox(const MessageBoxRequest& request, QWidget* parent = nullptr);

// A plain dialog with a fixed text and one OK button.
void ShowPlainMessage(const QString& text, QWidget* parent = nullptr);

// A plain text prompt with OK and Cancel; nullopt when cancelled (or when its parent went
// while it was up). While the prompt is up, *Shown points at it, so that the caller can
// close it from elsewhere; it becomes null when the prompt goes. An answered prompt (test
// hook) is never shown and leaves *Shown as it was. Prepare, when given, gets the prompt's
// edit holding the preset, to give it the rule of what it takes.
std::optional<QString> InputQuery(const QString& caption, const QString& prompt,
                                  const QString& preset, QWidget* parent = nullptr,
                                  QPointer<QDialog>* Shown = nullptr,
                                  const std::function<void(QLineEdit*)>& Prepare = {});

// File dialogs: filter in the toolkit's form "Templates (*.tpl)"; nullopt when cancelled.
std::optional<QString> OpenFileName(const QString& caption, const QString& dir,
                                    const QString& filter, QWidget* parent = nullptr);
// The save dialog asks before replacing an existing file unless overwriteQuestion is off
// (the caller then asks itself).
std::optional<QString> SaveFileName(const QString& caption, const QString& dir,
                                    const QString& filter, const QString& defaultSuffix,
                                    QWidget* parent = nullptr, bool overwriteQuestion = true);

// ---- printing -----------------------------------------------------------------------
// The printer dialog for Printer (its copies, pages and printer chosen there); false when
// the user cancels. A queued print answer replaces the dialog: nullopt cancels; a file
// name sends the printout to that PDF file, an empty one keeps the default printer; the
// copies are set as chosen.
struct PrintAnswer {
    std::optional<QString> pdfFile;
    int copies = 1;
};
void QueuePrintAnswer(const PrintAnswer& a);
bool PrintDialog(QPrinter& printer, QWidget* parent = nullptr);

// One print job: Paint draws the whole document on the printer (one begin-to-end run, so
// one job). Every job is recorded with the printer's document name and output file.
// False when the printer reports an error.
struct PrintedJob {
    QString docName;
    QString outputFile;
    bool ok = false;
};
bool PrintJob(QPrinter& printer, const std::function<void(QPrinter&)>& paint);
const std::deque<PrintedJob>& PrintJobs();
void ClearPrintJobs();

} // namespace ui

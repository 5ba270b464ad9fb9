#include "platform/UiDialogs.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>

namespace ui {

namespace {

struct HookState {
    std::deque<Answer> answers;
    std::deque<PrintAnswer> printAnswers;
    std::deque<ShownDialog> record;
    std::deque<PrintedJob> jobs;
    bool nonInteractive = false;
    std::function<void(const ShownDialog&)> onRecorded;
};

HookState& state()
{
    static HookState s;
    return s;
}

std::optional<Answer> takeAnswer()
{
    auto& s = state();
    if (s.answers.empty())
        return std::nullopt;
    Answer a = s.answers.front();
    s.answers.pop_front();
    return a;
}

const char* buttonName(MsgButton b)
{
    switch (b) {
    case MsgButton::Yes: return "Yes";
    case MsgButton::No: return "No";
    case MsgButton::OK: return "OK";
    case MsgButton::Cancel: return "Cancel";
    case MsgButton::Abort: return "Abort";
    case MsgButton::Retry: return "Retry";
    case MsgButton::Ignore: return "Ignore";
    case MsgButton::All: return "All";
    case MsgButton::NoToAll: return "NoToAll";
    case MsgButton::YesToAll: return "YesToAll";
    case MsgButton::Help: return "Help";
    }
    return "";
}

QMessageBox::StandardButton standardButton(MsgButton b)
{
    switch (b) {
    case MsgButton::Yes: return QMessageBox::Yes;
    case MsgButton::No: return QMessageBox::No;
    case MsgButton::OK: return QMessageBox::Ok;
    case MsgButton::Cancel: return QMessageBox::Cancel;
    case MsgButton::Abort: return QMessageBox::Abort;
    case MsgButton::Retry: return QMessageBox::Retry;
    case MsgButton::Ignore: return QMessageBox::Ignore;
    case MsgButton::All: return QMessageBox::YesToAll;
    case MsgButton::NoToAll: return QMessageBox::NoToAll;
    case MsgButton::YesToAll: return QMessageBox::YesToAll;
    case MsgButton::Help: return QMessageBox::Help;
    }
    return QMessageBox::NoButton;
}

QMessageBox::Icon icon(MsgType t)
{
    switch (t) {
    case MsgType::Warning: return QMessageBox::Warning;
    case MsgType::Error: return QMessageBox::Critical;
    case MsgType::Information: return QMessageBox::Information;
    case MsgType::Confirmation: return QMessageBox::Question;
    case MsgType::Custom: return QMessageBox::NoIcon;
    }
    return QMessageBox::NoIcon;
}

void record(const ShownDialog& d)
{
    state().record.push_back(d);
    if (state().onRecorded)
        state().onRecorded(d);
}

} // namespace

void QueueAnswer(const Answer& a) { state().answers.push_back(a); }
void QueueButton(MsgButton b) { QueueAnswer(Answer{b, std::nullopt}); }
void QueueText(const std::optional<QString>& text) { QueueAnswer(Answer{std::nullopt, text}); }
void ClearAnswers()
{
    state().answers.clear();
    state().printAnswers.clear();
}
bool HasQueuedAnswers() { return !state().answers.empty() || !state().printAnswers.empty(); }
const std::deque<ShownDialog>& Record() { return state().record; }
void ClearRecord() { state().record.clear(); }
void SetNonInteractive(bool on) { state().nonInteractive = on; }
void SetOnRecorded(std::function<void(const ShownDialog&)> hook) { state().onRecorded = std::move(hook); }

ModalResult ShowMessageBox(const MessageBoxRequest& request, QWidget* parent)
{
    ShownDialog d{QStringLiteral("message"), request.caption, request.text, {}};
    for (MsgButton b : request.buttons) {
        d.buttons << QString::fromLatin1(buttonName(b));
        QString shown = QString::fromLatin1(buttonName(b));
        if (b == MsgButton::Yes && !request.yesText.isEmpty())
            shown = request.yesText;
        if (b == MsgButton::No && !request.noText.isEmpty())
            shown = request.noText;
        if (b == MsgButton::Cancel && !request.cancelText.isEmpty())
            shown = request.cancelText;
        d.buttonTexts << shown;
    }
    record(d);

    if (auto a = takeAnswer())
        return a->button;
    if (state().nonInteractive)
        return request.buttons.isEmpty() ? ModalResult(MsgButton::OK) : ModalResult(request.buttons.first());

    QMessageBox box(icon(request.type), request.caption, request.text, QMessageBox::NoButton, parent);
    QList<QPair<QAbstractButton*, MsgButton>> map;
    for (MsgButton b : request.buttons) {
        QAbstractButton* btn = box.addButton(standardButton(b));
        if (b == MsgButton::Yes && !request.yesText.isEmpty())
            btn->setText(request.yesText);
        if (b == MsgButton::No && !request.noText.isEmpty())
            btn->setText(request.noText);
        if (b == MsgButton::Cancel && !request.cancelText.isEmpty())
            btn->setText(request.cancelText);
        map.append({btn, b});
    }
    if (request.buttons.isEmpty())
        map.append({box.addButton(QMessageBox::Ok), MsgButton::OK});
    box.exec();
    for (const auto& [btn, b] : map)
        if (box.clickedButton() == btn)
            return b;
    return std::nullopt;
}

void ShowPlainMessage(const QString& text, QWidget* parent)
{
    record(ShownDialog{QStringLiteral("plain"), QString(), text, {QStringLiteral("OK")}});
    if (takeAnswer() || state().nonInteractive)
        return;
    QMessageBox::information(parent, QCoreApplication::applicationName(), text);
}

std::optional<QString> InputQuery(const QString& caption, const QString& prompt,
                                  const QString& preset, QWidget* parent, QPointer<QDialog>* Shown,
                                  const std::function<void(QLineEdit*)>& Prepare)
{
    record(ShownDialog{QStringLiteral("input"), caption, prompt, {}});
    if (auto a = takeAnswer())
        return a->text;
    if (state().nonInteractive)
        return std::nullopt;
    // On the heap: the parent may be freed while the prompt is up, and takes it along.
    QPointer<QInputDialog> dialog = new QInputDialog(parent);
    dialog->setWindowTitle(caption);
    dialog->setLabelText(prompt);
    dialog->setInputMode(QInputDialog::TextInput);
    dialog->setTextEchoMode(QLineEdit::Normal);
    dialog->setTextValue(preset);
    if (Prepare)
        if (auto* edit = dialog->findChild<QLineEdit*>())
            Prepare(edit);
    if (Shown)
        *Shown = dialog.data();
    const int result = dialog->exec();
    if (!dialog)
        return std::nullopt;
    const QString s = dialog->textValue();
    delete dialog.data();
    if (result != QDialog::Accepted)
        return std::nullopt;
    return s;
}

std::optional<QString> OpenFileName(const QString& caption, const QString& dir,
                                    const QString& filter, QWidget* parent)
{
    ShownDialog d{QStringLiteral("open"), caption, dir, {}};
    d.filter = filter;
    record(d);
    if (auto a = takeAnswer())
        return a->text;
    if (state().nonInteractive)
        return std::nullopt;
    const QString f = QFileDialog::getOpenFileName(parent, caption, dir, filter);
    if (f.isEmpty())
        return std::nullopt;
    return f;
}

std::optional<QString> SaveFileName(const QString& caption, const QString& dir,
                                    const QString& filter, const QString& defaultSuffix,
                                    QWidget* parent, bool overwriteQuestion)
{
    ShownDialog d{QStringLiteral("save"), caption, dir, {}};
    d.filter = filter;
    d.defaultSuffix = defaultSuffix;
    d.overwriteQuestion = overwriteQuestion;
    record(d);
    if (auto a = takeAnswer())
        return a->text;
    if (state().nonInteractive)
        return std::nullopt;
    QFileDialog dlg(parent, caption, dir, filter);
    dlg.setAcceptMode(QFileDialog::AcceptSave);
    dlg.setDefaultSuffix(defaultSuffix);
    dlg.setOption(QFileDialog::DontConfirmOverwrite, !overwriteQuestion);
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return std::nullopt;
    return dlg.selectedFiles().first();
}

void QueuePrintAnswer(const PrintAnswer& a) { state().printAnswers.push_back(a); }

bool PrintDialog(QPrinter& printer, QWidget* parent)
{
    record(ShownDialog{QStringLiteral("print"), QString(), QString(), {}});
    auto& s = state();
    if (!s.printAnswers.empty()) {
        const PrintAnswer a = s.printAnswers.front();
        s.printAnswers.pop_front();
        if (!a.pdfFile)
            return false;
        if (!a.pdfFile->isEmpty()) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(*a.pdfFile);
        }
        printer.setCopyCount(a.copies);
        return true;
    }
    if (s.nonInteractive)
        return false;
    QPrintDialog dlg(&printer, parent);
    return dlg.exec() == QDialog::Accepted;
}

bool PrintJob(QPrinter& printer, const std::function<void(QPrinter&)>& paint)
{
    PrintedJob job{printer.docName(), printer.outputFileName(), false};
    paint(printer);
    job.ok = printer.printerState() != QPrinter::Error;
    state().jobs.push_back(job);
    return job.ok;
}

const std::deque<PrintedJob>& PrintJobs() { return state().jobs; }
void ClearPrintJobs() { state().jobs.clear(); }

} // namespace ui

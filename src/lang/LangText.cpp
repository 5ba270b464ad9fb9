#include "lang/LangText.h"

#include "lang/Kalbos.h"
#include "lang/asciiTOunicode.h"

#include <QGuiApplication>

QString LangToUnicode(const QByteArray& s) { return AnsiToUnicode(s, CurrentCodeTable); }
QByteArray LangFromUnicode(const QString& s) { return UnicodeToAnsi(s, CurrentCodeTable); }

QString LangMessage(int32_t n) { return LangToUnicode(GetLangMessage(n)); }

QString GetLangText(int32_t n)
{
    // Through the code table to Unicode, to 8-bit text by the system code page, and back
    // to Unicode the way the callers join it with other text.
    return LangToUnicode(LangFromUnicode(LangMessage(n)));
}

namespace {

// The builder's own caption of a dialog type, used when the language gives none.
QString defaultCaption(ui::MsgType type)
{
    switch (type) {
    case ui::MsgType::Warning: return QStringLiteral("Warning");
    case ui::MsgType::Error: return QStringLiteral("Error");
    case ui::MsgType::Information: return QStringLiteral("Information");
    case ui::MsgType::Confirmation: return QStringLiteral("Confirm");
    case ui::MsgType::Custom: break;
    }
    return QGuiApplication::applicationDisplayName();
}

int32_t captionMessage(ui::MsgType type)
{
    switch (type) {
    case ui::MsgType::Warning: return MsgCaptionWarning;
    case ui::MsgType::Error: return MsgCaptionError;
    case ui::MsgType::Information: return MsgCaptionInformation;
    case ui::MsgType::Confirmation: return MsgCaptionConfirmation;
    case ui::MsgType::Custom: break;
    }
    return 0;
}

} // namespace

ui::ModalResult WideMessagedlg(const QString& message, ui::MsgType type,
                               const QList<ui::MsgButton>& buttons, QWidget* parent)
{
    ui::MessageBoxRequest request;
    request.text = message;
    request.type = type;
    request.buttons = buttons;
    request.caption = defaultCaption(type);
    if (const int32_t n = captionMessage(type); n != 0) {
        const QString caption = LangMessage(n);
        if (!caption.isEmpty())
            request.caption = caption;
    }
    // An empty text keeps the toolkit's own caption of that button.
    if (buttons.contains(ui::MsgButton::Yes))
        request.yesText = LangMessage(MsgButtonYes);
    if (buttons.contains(ui::MsgButton::No))
        request.noText = LangMessage(MsgButtonNo);
    if (buttons.contains(ui::MsgButton::Cancel))
        request.cancelText = LangMessage(MsgButtonCancel);
    return ui::ShowMessageBox(request, parent);
}

void ShowLanguageTableCheck(QWidget* parent)
{
    for (const QByteArray& finding : CheckLanguageTable())
        ui::ShowPlainMessage(LangToUnicode(finding), parent);
    ui::ShowPlainMessage(QStringLiteral("Done"), parent);
}

#pragma once
// Texts of the current language for the user interface: messages by number as Unicode,
// the translated message dialog, and the language-file check with its plain dialogs.
// The main window's routines of the same names forward here.
#include "platform/UiDialogs.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <cstdint>

class QWidget;

// 8-bit text of the current language to Unicode through its code table, and back. The
// current code table also stands in for the system's 8-bit code page.
QString LangToUnicode(const QByteArray& s);
QByteArray LangFromUnicode(const QString& s);

// Message n of the current language through its code table; empty when there is none.
QString LangMessage(int32_t n);

// Message n of the current language as Unicode text (through the code table and the
// system code page); empty when there is none.
QString GetLangText(int32_t n);

// Message dialog numbers: captions of the dialog types and the translated buttons.
constexpr int32_t MsgCaptionError = 26;
constexpr int32_t MsgCaptionInformation = 27;
constexpr int32_t MsgCaptionConfirmation = 28;
constexpr int32_t MsgCaptionWarning = 29;
constexpr int32_t MsgButtonYes = 30;
constexpr int32_t MsgButtonNo = 31;
constexpr int32_t MsgButtonCancel = 32;

// The message dialog of every user-facing message: its caption comes from the dialog type
// (warning 29, error 26, information 27, confirmation 28; a custom dialog keeps the
// program's title), and the Yes, No and Cancel buttons from messages 30, 31 and 32.
// Returns the button pressed (nullopt when the dialog was closed).
ui::ModalResult WideMessagedlg(const QString& message, ui::MsgType type,
                               const QList<ui::MsgButton>& buttons, QWidget* parent = nullptr);

// "Comps OK?": shows each finding of CheckLanguageTable in a plain dialog, one at a time,
// then "Done".
void ShowLanguageTableCheck(QWidget* parent = nullptr);

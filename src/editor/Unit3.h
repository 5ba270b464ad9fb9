#pragma once
// The help SMS editor: one text of at most 140 characters that the module keeps in three
// parts of 47. Filled by the module's replies and by templates; sent by the write-all.
#include "editor/SmsDialog.h"

#include <QByteArray>

class QLabel;
class QPlainTextEdit;
class QPushButton;

class TForm3 : public TSmsDialog {
    Q_OBJECT
public:
    static constexpr int MaxLength = 140;
    static constexpr int PartLength = 47;

    explicit TForm3(QWidget* parent = nullptr);
    ~TForm3() override;

    void Memo1Change();
    // Handler of the link's OnHelpText: part Idx of the text.
    void OnHelpTextArrive(QObject* sender, quint8 Idx, const QByteArray& Text);
    // Sends the three parts, then closes.
    void TntButton1Click();

    // The memo's text as 8-bit text of the current language.
    QByteArray Text() const;
    void SetText(const QByteArray& text);

    QPlainTextEdit* Memo1 = nullptr;
    QLabel* Label1 = nullptr; // "Characters:"
    QLabel* Label2 = nullptr; // the memo's length
    QPushButton* TntButton1 = nullptr;

};

extern TForm3* Form3;

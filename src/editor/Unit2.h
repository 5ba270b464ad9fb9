#pragma once
// The SMS phrases dialog: the module's 15 fixed SMS words, read when the dialog is shown
// and written back on request. The edits are the phrases' only store: each holds the
// phrase as the module's bytes (see ModuleText::Hold).
#include "editor/SmsDialog.h"

#include <QByteArray>

class QLineEdit;
class QPushButton;

class TForm2 : public TSmsDialog {
    Q_OBJECT
public:
    static constexpr int PhraseCount = 15;

    explicit TForm2(QWidget* parent = nullptr);
    ~TForm2() override;

    void FormShow() override;
    // Handler of the link's OnSMSPhrase.
    void OnSMSPhraseArrive(QObject* sender, quint8 Idx, const QByteArray& Phrase);
    // Write: true when every phrase went out.
    bool TntButton53Click();
    void TntButton2Click();  // Set default
    void TntButton1Click();  // Close

    // Phrase edit i (0..14): "Edit" + (33 + i); nullptr outside.
    QLineEdit* PhraseEdit(int i) const;

    QPushButton* TntButton53 = nullptr;
    QPushButton* TntButton2 = nullptr;
    QPushButton* TntButton1 = nullptr;

private:
    QLineEdit* edits_[PhraseCount] = {};
};

extern TForm2* Form2;

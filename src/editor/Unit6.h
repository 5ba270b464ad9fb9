#pragma once
// The additional SMS texts dialog: the two texts the module sends on a GPRS
// communication failure and with its communication statistics.
#include "editor/SmsDialog.h"

#include <QByteArray>

class QLineEdit;
class QPushButton;

class TForm6 : public TSmsDialog {
    Q_OBJECT
public:
    explicit TForm6(QWidget* parent = nullptr);
    ~TForm6() override;

    void FormShow() override;
    // Write: true when both texts went out.
    bool TntButton53Click();
    void TntButton4Click();  // Set default
    void TntButton5Click();  // Close

    QLineEdit* AdSMSEdit0 = nullptr;
    QLineEdit* AdSMSEdit1 = nullptr;
    QPushButton* TntButton53 = nullptr;
    QPushButton* TntButton4 = nullptr;
    QPushButton* TntButton5 = nullptr;

};

extern TForm6* Form6;

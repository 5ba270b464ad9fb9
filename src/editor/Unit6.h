#pragma once
// The additional SMS texts dialog: the two texts the module sends on a GPRS
// communication failure and with its communication statistics.
#include <QByteArray>
#include <QDialog>

class QLineEdit;
class QPushButton;

class TForm6 : public QDialog {
    Q_OBJECT
public:
    explicit TForm6(QWidget* parent = nullptr);
    ~TForm6() override;

    void FormShow();
    void FormClose();
    void TntButton53Click(); // Write
    void TntButton4Click();  // Set default
    void TntButton5Click();  // Close

    QLineEdit* AdSMSEdit0 = nullptr;
    QLineEdit* AdSMSEdit1 = nullptr;
    QPushButton* TntButton53 = nullptr;
    QPushButton* TntButton4 = nullptr;
    QPushButton* TntButton5 = nullptr;

protected:
    void showEvent(QShowEvent* e) override;
    void hideEvent(QHideEvent* e) override;

private:
    bool disabledMain_ = false;
};

extern TForm6* Form6;

#pragma once
// The wait dialog: shown while the settings are read or written; while it is up the
// main window is disabled. Only the program closes it: Esc and the close button do not.
#include <QDialog>

class QLabel;
class TStripeProgress;

class TForm5 : public QDialog {
    Q_OBJECT
public:
    explicit TForm5(QWidget* parent = nullptr);
    ~TForm5() override;

    void FormShow();
    // Up, saying that settings are being written (Writing) or read.
    void ShowWaiting(bool Writing);
    void FormClose();

    QLabel* Label1 = nullptr; // shown while settings are written
    QLabel* Label2 = nullptr; // shown while settings are read
    QLabel* Label3 = nullptr; // "Please wait..."
    TStripeProgress* StripeProgress1 = nullptr;

    // True while this dialog holds the main window disabled.
    bool DisabledMainWindow() const { return disabledMain_; }

public slots:
    void reject() override;

protected:
    void showEvent(QShowEvent* e) override;
    void hideEvent(QHideEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    bool disabledMain_ = false;
};

extern TForm5* Form5;

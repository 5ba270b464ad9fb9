#pragma once
// What the three SMS text dialogs share: each exchanges a short series of packets with the
// module, holds the main window while it is shown (only if it was the one that took it,
// it gives it back), and runs its handlers so that no fault leaves them.
#include <QDialog>

#include <functional>

class TVEQ2;

class TSmsDialog : public QDialog {
    Q_OBJECT
public:
    explicit TSmsDialog(QWidget* parent = nullptr);

    // Runs a handler so that no fault leaves it: reported by the main window while it exists.
    static void Guarded(const std::function<void()>& f);

    virtual void FormShow() {}
    // Gives the main window back when this dialog took it.
    virtual void FormClose();

protected:
    // send(link, i) for i = 0 .. count - 1, each followed by a pause of pauseMs, then the
    // end-of-batch command. False (and nothing more is sent) as soon as the window has let
    // the link go.
    static bool SendSeries(int count, int pauseMs, const std::function<void(TVEQ2&, int)>& send);
    // Disables the main window while the dialog is shown, remembering that it did.
    void HoldMainWindow();

    void showEvent(QShowEvent* e) override;
    void hideEvent(QHideEvent* e) override;

private:
    bool disabledMain_ = false;
};

#pragma once
// What the three SMS text dialogs share: each exchanges a short series of packets with the
// module, holds the main window while it is shown (only if it was the one that took it,
// it gives it back), and runs its handlers so that no fault leaves them. The phrase and
// additional-text dialogs read their texts when shown and write back only texts they know.
// A dialog belongs to the module it was shown for: the main window closes it when that
// module leaves or another comes, and what the dialog told about itself goes with it. Its
// buttons are plain: Return in an edit presses none of them.
#include <QDialog>

#include <functional>

class TVEQ2;

class TSmsDialog : public QDialog {
    Q_OBJECT
public:
    explicit TSmsDialog(QWidget* parent = nullptr);

    // Runs a handler so that no fault leaves it: reported by the main window while it exists.
    static void Guarded(const std::function<void()>& f);
    // The module the dialogs were shown for has left, or another has come: each one shown
    // closes, as the texts it shows and would write are not this module's.
    static void CloseShown();

    virtual void FormShow() {}
    // Gives the main window back when this dialog took it.
    virtual void FormClose();

    // Text Idx of the dialog's own read has arrived from the module.
    void TextArrived(int idx);

    // A dialog closed inside its own show event (its read runs there) is hidden once the
    // show has ended: the window system maps the window after that event, so a hide inside
    // it would leave the window on screen.
    void setVisible(bool visible) override;

protected:
    // send(link, i) for i = 0 .. count - 1, each followed by a pause of pauseMs, then the
    // end-of-batch command. It stops as soon as the module it began with is no longer there
    // to receive it (it left or stopped answering, the link was lost, another connection
    // came) or the window let the link go: false then, and nothing more is sent.
    static bool SendSeries(int count, int pauseMs, const std::function<void(TVEQ2&, int)>& send);
    // The dialog's texts written as SendSeries sends, which the module must receive whole. A
    // write cut off closes the dialog and is told once, as its sequence ended; inside the
    // write-all or the factory reset it is part of theirs, which tell for themselves. False
    // when it did not go out whole.
    bool WriteSeries(int count, int pauseMs, const std::function<void(TVEQ2&, int)>& send);
    // True while a module is connected: without one a write sends nothing.
    static bool ModuleConnected();
    // The same, and without a module the user hears that nothing was sent (message 118);
    // inside the write-all or the factory reset they tell for themselves.
    bool ModuleConnectedToWrite();
    // Message N, about this dialog, shown over it; the dialog's closing takes it along.
    void Tell(int n);
    // The dialog's buttons do not take Return for themselves: a text is written only when
    // its Write button is pressed. Called once the buttons are made.
    void PlainButtons();

    // Reads the dialog's Count texts for this showing, request(link, i) asking for text i,
    // with the main window held and the wait dialog up. The first request goes only once
    // the module is free; a module that gives no word within the no-answer limit, or does
    // not send every text, ends the read, and the user hears that the texts could not be
    // read (message 126). The read ends when the module's last reply has been handled.
    // Without a module nothing is read and nothing is said.
    void ReadTexts(int count, const std::function<void(TVEQ2&, int)>& request);

    // The dialog's read of its Count texts starts for this showing; only what arrives
    // from the module it was asked of counts.
    void BeginTextsRead(int count);
    // Nothing read or set counts any more (a new showing, or the dialog closed).
    void ForgetTexts();
    // The texts the edits show were all set in code, not left over from before (defaults).
    void TextsSet() { textsSet_ = true; }
    // The texts may go to the module: every one of them arrived for this showing from the
    // module still connected, was set to the defaults, or a loaded template's are shown.
    // Otherwise message 121 is shown, and false.
    bool MayWriteTexts();

    // Disables the main window while the dialog is shown, remembering that it did.
    void HoldMainWindow();

    void showEvent(QShowEvent* e) override;
    void hideEvent(QHideEvent* e) override;

private:
    static bool RunSeries(class TSendSequence& seq, int count, int pauseMs,
                          const std::function<void(TVEQ2&, int)>& send);
    bool TextsRead() const;
    // Shown, and not closed inside its show event.
    bool OnScreen() const { return isVisible() && !hideAfterShow_; }
    // The read of this showing still concerns the dialog: it is shown, and the module it
    // asked is still connected.
    bool ReadGoing() const;
    // The module's part of ReadTexts, under the wait dialog, and the word when it failed.
    void ReadAndTell(int count, const std::function<void(TVEQ2&, int)>& request);
    // True when every text arrived.
    bool ReadFromModule(int count, const std::function<void(TVEQ2&, int)>& request);
    bool disabledMain_ = false;
    bool inShow_ = false;
    bool hideAfterShow_ = false;
    int textCount_ = 0;
    unsigned arrived_ = 0;        // bit i: text i arrived for this showing
    unsigned readConnection_ = 0; // the connection the read was asked of
    bool reading_ = false;
    bool textsSet_ = false;
};

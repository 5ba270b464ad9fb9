#pragma once
// The main window: the pages that show and edit a module's configuration, the
// connection to the module, its live state and traffic, and the wizard shell.
// The class is one, its code is split by concern into Main_*.cpp files.
#include <QByteArray>
#include <QDateTime>
#include <QElapsedTimer>
#include <QMainWindow>
#include <QPoint>
#include <QPointer>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QTime>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>

#include "editor/Encodings.h"
#include "editor/MainTables.h"
#include "editor/SettingsFile.h"
#include "link/VEQ2_SDK.h"
#include "platform/UiDialogs.h"

class QCheckBox;
class QComboBox;
class QDialog;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QScrollArea;
class QTimer;

class TVEQ2;
class TIndUserLed;
class TIndLevelBar;
class TPanelStatusBar;
class TPageWizard;
class TPageWizardWelcomePage;
class TPageControl;
class TSpinEdit;

class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    explicit TForm1(QWidget* parent = nullptr);
    ~TForm1() override;

    // ---- lifecycle ------------------------------------------------------------------
    void FormCreate();
    void FormActivate();
    // Asked when the window closes; never refuses. Frees the link.
    bool FormCloseQuery();
    void FormClose();

    // Waits the given milliseconds while window messages keep being processed.
    void Delay(int ms);

    // ---- language -------------------------------------------------------------------
    QString GetLangText(int n) const;
    // Over: the window the message is about and stands over (null: this one).
    ui::ModalResult WideMessagedlg(const QString& msg, ui::MsgType type,
                                   const QList<ui::MsgButton>& buttons, QWidget* Over = nullptr);
    void Timer5Timer();
    void ComboBox28Change(QObject* sender);
    void LocateManual(bool open);

    // ---- language switch and run-time texts (Main_lang.cpp, Main_langtexts.cpp) -----------
    // Applies the language of that name to every window (see ApplyLanguage.h).
    bool SetLanguage(const QByteArray& name);
    // The name of the language the list shows as chosen, as the file writes it; empty when
    // the list shows none.
    QByteArray ChosenLanguageName() const;
    // The item indexes of the 20 choice lists whose choice survives a switch, in their
    // order ("Combobox" 4, 2, 1, 3, 5, 7..11, 6, 18..22, 24..27); -1 where none is chosen.
    QList<int> SaveComboIndexes() const;
    void RestoreComboIndexes(const QList<int>& indexes);
    void ApplyLanguageToRuntimeTexts();
    // The main screen's "Template:" shows Name, or the language's word for none when Name
    // is empty; a language switch shows it again in the new language.
    void ShowTemplateName(const QString& name);
    // Refills the input function, Contact ID event and output function lists of every row,
    // keeping each row as it is (Reset: every list back to its first item).
    void FillChoiceLists(bool reset);
    void ArrangeTranslatedControls();
    // The parts of S after its first "\", joined by LF CR; the part before it.
    static void BackslashToLineBreaks(const QString& s, QString& out);
    static void FirstBackslashPart(const QString& s, QString& out);
    // The texts of the edits, memos and grids that hold configuration, as the 8-bit text
    // they stand for; shown again through the new code table after a switch, so that a
    // switch never changes what is written to the module.
    struct THeldText {
        QPointer<QObject> Control;
        int Row = -1, Column = -1; // grid cells
        QByteArray Text;
    };
    QList<THeldText> HoldConfigurationTexts() const;
    void ShowHeldTexts(const QList<THeldText>& texts);
    // language switch: members end

    // ---- Settings.ini and the debug file (each access opens and closes the file) --------
    void IniReadString(const QByteArray& section, const QByteArray& ident, QByteArray& value,
                       const QByteArray& def) { settings::IniReadString(section, ident, value, def); }
    bool IniWriteString(const QByteArray& section, const QByteArray& ident, const QByteArray& value)
    {
        return settings::IniWriteString(section, ident, value);
    }
    void ReadServiceCode() { settings::ReadServiceCode(); }
    bool ReadPSTNOption() { return settings::ReadPSTNOption(); }
    void LoadTestNumbers()
    {
        TestNumbers = settings::LoadTestNumbers();
        ShowTestNumbers();
    }
    void SaveTestNumbers() { settings::SaveTestNumbers(TestNumbers.Items); }
    bool AppendDebugCode(std::uint32_t lastRequest) { return settings::AppendDebugCode(lastRequest); }

    // ---- catalogues -----------------------------------------------------------------
    // False when CID_Descriptions.txt is missing or broken: the program then ends.
    bool LoadCIDDescriptions();
    void LoadAPNCatalogue();

    // The single-instance control of the window, serving the program's guard.
    void CreateInstanceControl();
    // True once the program was ended without its close handlers.
    bool Terminated() const { return terminated_; }
    // Tests: called instead of ending the event loop (which would end every later loop of
    // the test program too).
    static std::function<void()> QuitProgram;

    // ---- module connection, state and traffic ------------------------------------------
    void OnModuleConnect();
    void OnModuleDisconnect();
    // A write series gave up on a module that stays on the bus but stopped answering.
    void OnModuleNoAnswer();
    void OnStateArrive(quint8 modemFlags, quint8 modemCR, quint8 modemSR, quint16 tcpsr,
                       quint8 outBufMessCount, quint8 sentCounter);
    void OnUsartArrive(const QByteArray& output, bool outGoing);
    void Timer1Timer();
    void Timer2Timer();
    void Timer6Timer();
    void Timer7Timer();
    void Timer_CheckPasswordTimer();
    void TntButton19Click();
    void TntButton5Click(); // "SaveLog"
    void TntButton34Click();
    void TntCheckBox41Click(bool clicked);
    void ApplyGPRSLock();

    // ---- reporting, security and modem pages (Main_reporting.cpp) ------------------------
    void ComboBox4Change();
    void ComboBox2Change();
    void ComboBox1Change();
    void ComboBox3Change();
    void TntCheckBox42Click();
    void TntCheckBox43Click();
    void TntCheckBox13Click();
    void TntCheckBox33Click();
    void TntCheckBox28Click();
    void TntCheckBox3Click(bool clicked);
    void Edit2Change();
    void AddressChange(QLineEdit* e, QComboBox* channel);
    void PortChange(QLineEdit* e, QComboBox* channel);
    // The channel in use (1 or 2) whose account is shorter than its 4 characters; 0 when none.
    int ShortAccountChannel() const;
    // The first channel (1 or 2) whose host and port together do not fit the module; 0 when none.
    int LongAddressChannel() const;
    void StackChannelPanels(QGroupBox* groupBox, const QString& prefix);
    void StackChannelPanels(); // channel 1
    void SetChannelPanelBevels();
    void ShowSMSBackupNumbers();

    // ---- receiving settings (Main_receive.cpp) -----------------------------------------
    void OnModemDataArrive(const QByteArray& s);
    void OnConnectionStringArrive(const QByteArray& s);
    void OnConnectionString2Arrive(const QByteArray& s);
    void OnConnectionString3Arrive(const QByteArray& s);
    void OnSMSBackupPhoneNumberArrive(quint8 idx, quint8 cr, const QByteArray& number);
    void OnAPNArrive(const QByteArray& s);
    void OnUserNameArrive(const QByteArray& s);
    void OnPasswordArrive(const QByteArray& s);
    void OnItemNameArrive(quint8 fdnr, quint8 idx, const QByteArray& name);
    void OnTCPCRArrive(quint32 w);
    void OnVEQ2CRArrive(quint32 w);
    void OnInputSettingArrive(quint8 idx, quint8 cr, quint8 violations, quint8 sensivity,
                              quint16 noSenseInterval, const tduomenys& cid);
    void OnInputSMSTextArrive(int idx, const QByteArray& s);
    void OnAdditionalSMSTextArrive(int idx, const QByteArray& s);
    void OnOutputSettingArrive(quint8 idx, quint8 cr, quint16 impLength);
    void OnUSBPasswordArrive(const QByteArray& s);
    void OnVEQOwnerNameArrive(const QByteArray& s);
    void OnReserveAccountArrive(int idx, const QByteArray& s);
    void OnPhoneNumberArrive(quint8 idx, quint8 cr, const QByteArray& number);
    void OnPGMPhoneNumberArrive(quint8 idx, quint8 cr, const QByteArray& number);
    void OnSMSPSTNCRArrive(quint32 w);
    void OnAccessPINArrive(quint32 w);
    void OnSIMpinArrive(const QByteArray& s);
    void OnHeartBeatEventIdArrive(quint16 id);
    void OnPhoneNumberAdditionalCRArrive(quint8 idx, quint8 cr, const QByteArray& number);
    void OnCPCRArrive(quint32 w);
    void OnAES128KeyArrive(quint8 idx, const QByteArray& key);
    TTCPCRControls ReadTCPCRControls() const;
    // The three words as the module (or a loaded template) last gave them: the bits the
    // window does not show go back from here.
    quint32 KeptTCPCR = 0;
    quint32 KeptVEQ2CR = 0;
    quint32 KeptSMSPSTNCR = 0;
    // The heartbeat event ID as the module sent it: its bits 12-14 go back from here.
    quint16 KeptHeartbeat = 0;

    // ---- routines of the pages the receive handlers refresh ----------------------------
    void SelectUserNode(int index);
    void FillNameGrids();
    void FillPGMGrid();
    void ShowPGMRow(int row);
    void ApplyOutputRecord(int index);
    void RefreshOutputRows();
    void ApplyInputRecord(int index);
    void RefreshInputFunctions();
    void SetAlarmSystemMode(bool alarmSystem);
    void FillAdditionalTextEdits();

    // ---- users page (Main_users.cpp) ----------------------------------------------------
    bool CheckSMSBackupWarning() const;
    // Stores the ticked notification boxes into user Index (0..9), hidden ones included (they
    // hold the user's bits); bits without a box stay as they are. False (and flags 0) for a
    // slot without a number, false and nothing changed for an index outside 0..9.
    bool CommitUserFlags(int index);
    // Sends every user with a number (0x0B, and 0x1A from firmware 1026), 5 ms after each,
    // and clears each user whose number was emptied in the list.
    void SendUserPhones();
    // The index (0..9) of the user the list has selected, -1 when none.
    int SelectedUserIndex() const;
    void ShowUserFlags(int index);
    // Boxes nobody sees take the user's bits back after the box handlers ran, unless the
    // ticked "SMS backup" box forces them.
    void KeepHiddenUserBits(std::uint8_t pnCR, std::uint8_t pnAddCR);
    void BuildUsersPage(QWidget* page, int top);
    // The user list: text of a cell, an edited number, a click in a column, the move of
    // the selection from one user to another, a repaint.
    QString VStringTree1GetText(int index, int column) const;
    void VStringTree1NewText(int index, int column, const QString& newText);
    void VStringTree1ColumnClick(int column);
    void VStringTree1FocusChanging(int oldIndex, int newIndex);
    void VStringTree1Change();
    // The notification boxes.
    void TntCheckBox5Click();
    void TntCheckBox6Click();
    void TntCheckBox8Click();
    void TntCheckBox9Click();
    void TntCheckBox22Click();
    void TntCheckBox23Click();
    void TntCheckBox24Click();
    void TntCheckBox29Click();
    void TntCheckBox30Click();
    void TntCheckBox38Click();
    void EmphasizeSmsBoxes(bool bold);
    void TntLabel44MouseEnter();
    void TntLabel44MouseLeave();
    void TntButton7Click(); // "Clear selected number"
    void Edit13Change();
    // The user whose flags the boxes show (0..9), -1 when none.
    int SelectedUserNode = -1;
    // Set while the program itself moves the list's selection.
    bool SelectingUser = false;
    // Users whose number was emptied (in the list or by a template) and is still on the
    // module: the next write-all clears them there. Dropped when the module sends that
    // user again.
    bool UserNumberEmptied[UserPhoneCount] = {};
    // The user's number as the list or a template gives it; a number emptied here is
    // marked for clearing on the module.
    void SetUserNumber(int index, const QByteArray& number);
    // Two phone numbers are the same phone when their digits are, whatever else stands
    // between them ("+", blanks); a number without digits is nobody's. The users list and
    // the remote-control phones both ask it.
    static bool SamePhoneNumber(const QByteArray& a, const QByteArray& b);
    // "Smartphone" as the shown user had it without "SMS backup", which forces it on: where
    // no box shows it, unticking "SMS backup" puts it back.
    bool SmartphoneWithoutBackup = false;
    // The user bits (of PnAddCR when additional, else of PnCR) whose boxes the model
    // gating takes from this module's window.
    std::uint8_t UserBitsGatedOff(bool additional) const;
    // users page: members end

    // ---- users page: committing the boxes (Main_users.cpp) --------------------------------
    // Stores the boxes into the user they show, whether or not the list still has that
    // user selected (a Ctrl+click deselects it); false when no user is shown.
    bool CommitShownUserFlags();

    // ---- inputs page (Main_inputs.cpp) ----------------------------------------------------
    // The input's record built from its row's controls (the table entry is not changed;
    // the SMS text is the table's).
    TInputRecord BuildInputRecord(int index);
    // The page and its rows: BuildInputsPage creates the controls of WPage3, then
    // InitInputTable stores each row's controls in InputTable[i].Row.
    void BuildInputsPage(QWidget* page, int top);
    void InitInputTable();
    // Lists of the rows: function texts (messages 93..95) and the Contact ID catalogue
    // in the event combos; then every event combo's change handler and the functions run
    // again, the rows kept as they were (Reset: every list back to its first item).
    void FillInputLists(bool reset = false);
    // EventChosen: the user (or a refill of the lists) chose the event, so its presets
    // apply; a record applied keeps the "24H" bit it holds.
    void SetupInputCIDParameters(QComboBox* eventCombo, bool eventChosen = false);
    // Hint of the input's "SMS" label: the SMS the module sends for the chosen event.
    bool BuildCIDSmsHint(int index);
    // The trees and "SMS" hints of all rows show the names and phrases as they now read
    // (after a name or phrase changed, or the language).
    void RefreshInputNames();
    void InputFunctionComboboxChange(int index);
    int FindInputNumberByFunctionCombobox(const QObject* combo, bool byEventCombo) const;
    void ComboBox5Change(QObject* sender);
    void ComboBox6Change(QObject* sender);
    void ShowExclamationLabel();
    void WPage3EnterPage();
    void TntLabel74Click(QObject* sender);
    void TntEdit5Change(QObject* sender);
    void DaTiNoReaction1Change(QObject* sender);
    std::uint8_t FindCIDByCode(const QByteArray& key, int& index) const;
    std::uint8_t FindCIDByDescription(const QObject* combo, struct TCIDDescription& entry) const;
    // The parameter trees VTIN1..VTIN6 (one node, two parameter slots each). A slot's name
    // is the chosen item's entry of the names table, read when it is shown.
    struct TCIDParameterSlot {
        bool Active = false;
        std::int32_t Index = -1;     // row of the chosen item in its names grid; -1 none
        std::uint8_t NumberOffset = 0;
        std::uint8_t GridNumber = 0; // 3 zones, 4 partitions, 5 users, 6 modules
        std::int32_t ItemCount = 0;
    };
    struct TCIDParameterNode {
        TCIDParameterSlot Slot[2]; // group digits, zone digits
    };
    class TInputTreeModel;
    int FindInputTree(const QObject* tree) const;
    int VTIN1GetNodeDataSize() const { return int(sizeof(TCIDParameterNode)); }
    void VTIN1FreeNode(int input);
    QString VTIN1GetText(int input, int column) const;
    int VTIN1GetImageIndexEx(int input, int column) const;
    void VTIN1Change(int input);
    void VTIN1FocusChanged(int input);
    void VTIN1ColumnClick(int input, int column);
    void VTIN1NewText(int input, int column, const QString& text);
    void VTIN1CreateEditor(int input, int column);
    void FillNamePopup(int input, int slot);
    void MenuItemClick(QObject* sender);
    // Name Row of names grid "StringGrid" + Grid as the grid shows it: the names table's
    // bytes in the current language.
    QString NameGridCell(int grid, int row) const;
    TCIDParameterNode& InputParameterNode(int input) { return InputNodes[input]; }
    // What the module (or a template) gave for each input, while its row cannot show it:
    // the whole record when the row does not offer the function, the Contact ID when the
    // row would build another one. Dropped when the user picks a function or an event.
    TInputRecord InputReceived[InputCount];
    bool InputKeepAll[InputCount] = {};
    bool InputKeepCID[InputCount] = {};
    TCIDParameterNode InputNodes[InputCount];
    // A plain message raised while a module report is being handled waits until that
    // handling has ended: a modal box there would hold up the read walk behind it until
    // its reply time-out ran out. Such messages are shown one after another.
    void ShowPlainMessageOutsideReports(const QString& text);
    // The first input whose Contact ID is neither empty nor in the catalogue (-1: none).
    int FirstInputWithUnknownCID() const;
    // Message 112 (the catalogue has no event for a code an input uses), in the current language.
    void ReportCorruptedCIDCatalogue();
    void FlushDeferredPlainMessages();
    QStringList DeferredPlainMessages;
    bool ShowingDeferredPlainMessages = false;
    // inputs page: members end

    // ---- outputs and remote-control pages (Main_outputs.cpp) --------------------------------
    // The output's control byte and pulse length built from its row's controls.
    TOutputRecord BuildOutputRecord(int index);
    // Builds the outputs page (WPage4) and the remote-control page (WPage5).
    void BuildOutputsPage(QWidget* page, int top);
    void BuildRemoteControlPage(QWidget* page, int top);
    // Stores the controls of each output row in OutputTable[i].Row.
    void InitOutputTable();
    // Refills the four function combos (messages 97..100, code = position), keeping each
    // selection unless reset is set.
    void FillOutputFunctionCombos(bool reset);
    // The texts of these pages that are put together at run time: grid titles, the
    // examples hint and memo, the time format label, rows 2..4 from row 1.
    void ApplyOutputsRuntimeTexts();
    // The function code of the row's chosen item (0 when none is chosen).
    int OutputFunctionCode(int index) const;
    // Output Index's row is on this module's window. One that is not (the model has no such
    // output, or no outputs page) stands for nothing: BuildOutputRecord gives back the
    // table's values.
    bool OutputRowShown(int index) const;
    // The output-mask bits whose remote-control boxes the model gating takes from this
    // module's window.
    std::uint8_t PGMBitsGatedOff() const;
    // True while output Index shows a function its row cannot offer: the row then
    // stands for nothing and BuildOutputRecord gives back the table's values.
    bool OutputRowHeld(int index) const { return index >= 0 && index < 4 && outputRowHeld_[index]; }
    // What the function combo of an input or output row says while its row shows a
    // function the row cannot offer (the combo then has no item chosen).
    static QString HeldRowText();
    void ComboBox24Change(QObject* sender);
    void TntRadioButton1Click(QObject* sender);
    void DaTiDuration1Change(QObject* sender);
    void OutputFunctionChanged(int output);
    // Only when the user chooses a function: phones that still switch the output may
    // lose it (message 109). Refreshing the rows never asks, as it chose nothing.
    void AskToRemoveOutputFromPhones(int output);
    void ShowPulseControls(int output);
    int FindOutputByCombo(const QObject* combo) const;
    int FindOutputByRadio(const QObject* radio, bool& isSecond) const;
    bool ListOutputControlPhones(int output, QByteArray& list) const;
    void RemoveOutputFromPhones(int output);
    void StringGrid2SelectCell(int row);
    void TntButton16Click(); // "Save"
    void TntButton17Click(); // "Delete"
    // The selected slot of the phone grid (0..31), -1 when none.
    int SelectedPGMSlot() const;
    static QByteArray TrimRightBlanks(const QByteArray& s);
    // outputs pages: members end

    // ---- names page (Main_names.cpp) ------------------------------------------------------
    // Sends the used names of the four groups (0x10), 5 ms after each, while connected.
    void SendItemNames();
    // The default names: message 19, 21, 20 and 22 followed by the element's number.
    void FillDefaultItemNames();
    // The names page's controls.
    void BuildNamesPage(QWidget* page, int top);
    // Shared edit handler of the four name grids.
    void StringGrid3SetEditText(class QTableWidget* sender, int ACol, int ARow, const QString& Value);
    void TntButton24Click(); // "Set default"
    void TntButton8Click();  // "SMS Phrases"
    void TntButton33Click(); // "Additional SMS Texts"
    // The grid of a name block (0 zones, 1 modules, 2 users, 3 partitions), nullptr outside.
    QTableWidget* NameGrid(int block) const;
    // names page: members end

    // ---- wizard shell (Main_shell.cpp) ----------------------------------------------------
    // Page checks: kind 0 reporting channels, 1 access PIN; false when one fails.
    bool ValidateWizardPage(int kind);
    void GoToWizardStep(int step);
    void TntButton3Click();
    // Both main-screen buttons: "Configuration Wizard" (guided) and "Manual Configuration".
    void TntButton29Click(QObject* sender);
    void SetupWizardPages(bool wizardMode);
    void ResetStepFonts();
    void StackStepLabels();
    // The step labels' (and TntLabel59's) handlers; they do nothing in wizard mode.
    void Step0Click(QObject* sender);
    void Step0MouseEnter(QObject* sender);
    void Step0MouseLeave(QObject* sender);
    // The wizard's events, raised before it switches; ToPage := CurrentPage keeps the page.
    void wzrd1SelectNextPage(QObject* sender, class TPageWizardCustomPage* currentPage,
                             TPageWizardCustomPage*& toPage);
    void wzrd1SelectPriorPage(QObject* sender, TPageWizardCustomPage* currentPage,
                              TPageWizardCustomPage*& toPage);
    void wzrd1CancelButtonClick(QObject* sender);
    void ShowModeDescription();
    void Timer_BlinkTimer();
    // Window-level handlers: wheel scrolling of the client area, Esc, hint width.
    void TntFormMouseWheel(Qt::KeyboardModifiers shift, int wheelDelta, bool& handled);
    void TntFormShortCut(int key, bool& handled);
    struct THintInfo {
        QWidget* HintControl = nullptr;
        int HintMaxWidth = 0; // 0: the default width
    };
    void ApplicationShowHint(QString& hintStr, bool& canShow, THintInfo& hintInfo);
    void TntBitBtn3Click();
    // Replaces every occurrence of oldText in s by newText.
    static void ReplaceAll(QString& s, const QString& oldText, const QString& newText);
    // Hooks the shell's handlers to the wizard, the step labels, the buttons and the window.
    void WireWizardShell();
    // The shell's event filters; freed before the window's controls, so no filter runs
    // while the window is being taken apart.
    std::unique_ptr<QObject> ShellEventFilters;
    // wizard shell: members end

    // ---- writing settings (Main_write.cpp) --------------------------------------------------
    void TntButton1Click();   // "Send data to Module": the write-all
    void TntButton114Click(); // the input writer
    void TntButton11Click();  // the output writer
    // The general and SMS/PSTN words' fields from the window's controls.
    TVEQ2CRControls ReadVEQ2CRControls() const;
    TSMSPSTNCRControls ReadSMSPSTNCRControls() const;
    // Creates the hidden writer buttons and wires the write buttons.
    void BuildWriteButtons();
    // The address, APN, password, account and owner-name packets from the controls.
    void SendConnectionTexts(class TSendSequence& seq);
    // writing settings: members end

    // ---- write guard (Main_write.cpp, Main_link.cpp, Main_defaults.cpp) ----------------------
    // True once the read of the connected module has run to its end: only then do the pages
    // hold every setting of that module, so only then may a write-all send them back.
    bool SettingsReadComplete() const;
    // A series of settings the module must receive whole, as the user started it: the
    // write-all (from the wizard's summary too), "Clear selected number", a text dialog's
    // write, the factory reset or the production test (which is a reset too). What the user
    // is told when one is cut off depends on it.
    enum class TWholeWrite { Settings, Texts, FactoryReset, ProductionTest };
    // Marks one running. False, and nothing changed, while one runs already: a series sent
    // inside another (the texts inside the write-all or the reset, the reset inside the
    // production test) is part of it.
    bool BeginWholeWrite(TWholeWrite kind);
    // Ends it as Seq ended: the sequence begun with it, through which every packet of it
    // went. When that was cut, the user is told once (with Tell) in the words
    // CutWriteText picks. True when it was cut.
    bool EndWholeWrite(const class TSendSequence& Seq, bool Tell = true);
    // Ends it without a word: a fault stopped it, or the user cancelled.
    void DropWholeWrite();
    // The one choice of what a cut whole write of this kind tells, by how its sequence
    // ended: why it stopped, and what the user can do now. Empty when nothing was cut.
    QString CutWriteText(TWholeWrite kind, const class TSendSequence& Seq) const;
    bool WholeWriteRunning() const { return wholeWriteRunning_; }
    // A value that must not go out as the window holds it: the number of the message that
    // says why (0: none), its text, and the wizard page that holds the value.
    struct TUnsendable {
        int message = 0;
        QString text;
        int page = 0;
        explicit operator bool() const { return message != 0; }
    };
    // The first such value on wizard page Page (-1: on any page, in page order): to the
    // module, or into a template (Saving), whose load would refuse it.
    TUnsendable UnsendableValue(int page, bool saving = false) const;
private:
    // A read of the connected module has been started since the window last held what
    // the module holds (the production test changes the module without reading it back).
    bool readStarted_ = false;
    bool wholeWriteRunning_ = false;
    TWholeWrite wholeWriteKind_ = TWholeWrite::Settings;
    // The read that runs now reads back a write that went out whole: a time-out says that
    // the settings were written and only the read stopped.
    bool readBackOfWrite_ = false;
    // The last write-all went out whole: the wizard's summary says so, or that it did not.
    bool summaryWritten_ = true;
public:
    // The summary page's subtitle after the last write-all.
    void ShowSummarySubtitle();
private:
public:
    // write guard: members end

    // ---- factory defaults and production test (Main_defaults.cpp, Main_service.cpp) ----
    void TntButton1911Click(); // "Set settings to factory default"
    // Resets the controls to the factory values and writes the factory configuration;
    // without TestMode also the default names, then everything is read back. True when
    // the whole reset went out.
    bool WriteFactoryDefaults(bool TestMode);
    // Messages 16 and 17 as the additional SMS texts 0 and 1 (the table stays as it is).
    void SendDefaultAdditionalTexts();
    void TntButton25Click(); // "Programuoti testavimui": the production test
    void TntButton28Click(); // "Itraukti Nr.": adds a test number
    void TntButton22Click(); // "Comps OK?": the language file check
    // The test-number list shows TestNumbers.
    void ShowTestNumbers();
    // The service page's controls, shown in the service mode only.
    void BuildServiceControls();
    void ShowServiceControls(bool serviceMode);
    void WireFactoryDefaults();
    QComboBox* TntComboBox1 = nullptr;  // production-test numbers
    QPushButton* TntButton28 = nullptr; // "Itraukti Nr."
    QPushButton* TntButton25 = nullptr; // "Programuoti testavimui"
    QPushButton* TntButton22 = nullptr; // "Comps OK?"
    // factory defaults and production test: members end

    // ---- APN search (Main_apn.cpp) -----------------------------------------------------
    // The search's lists and buttons in the GPRS settings group; hidden until a search.
    void BuildAPNSearch();
    // The search's rows under the lowest settings row in view, the box around them.
    void ArrangeGPRSSettings();
    void Btn_SearchClick();
    void TntComboBox5Change(); // location chosen
    void TntComboBox6Change(); // operator chosen
    void Btn_OKClick(QObject* sender); // Btn_OK and Btn_Cancel
    QComboBox *TntComboBox5 = nullptr, *TntComboBox6 = nullptr, *TntComboBox7 = nullptr;
    QLabel *TntLabel60 = nullptr, *TntLabel61 = nullptr, *TntLabel62 = nullptr;
    QPushButton *Btn_OK = nullptr, *Btn_Cancel = nullptr;
    // APN search: members end

    // ---- settings summary and printing (Main_summary.cpp) -------------------------------
    // Font styles of a summary segment (bits).
    static constexpr std::uint8_t fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8;
    // Memo_Summ on the summary page, and the mode's caption on the main screen.
    void BuildSummaryPage(QWidget* page);
    // Writes the whole summary anew from the tables and the pages' controls.
    void BuildSummary();
    void AppendSummaryText(std::uint8_t style, std::int32_t color, const QString& text, bool newLine);
    // A duration held as a time of day: " 1 hour 2 min 3 sec", hours and minutes only when
    // not 0; always with a leading blank.
    QString FormatDuration(const QTime& time) const;
    void Memo_SummMouseWheel(Qt::KeyboardModifiers shift, int wheelDelta, const QPoint& mousePos,
                             bool& handled);
    void TntBitBtn2Click(); // "Print"
    // The summary as it goes on Printer's paper, laid out on its pages: a line wider than
    // the page wraps there (the screen keeps its lines whole).
    std::unique_ptr<class QTextDocument> SummaryOnPaper(const class QPrinter& printer) const;
    class QTextEdit* Memo_Summ = nullptr;
    QLabel* TntLabel32 = nullptr; // "VEQ Type": the caption of the mode buttons (hidden)
    // The reporting and security captions the summary writes.
    QLabel *Label45 = nullptr, *TntLabel57 = nullptr;                  // "Account:"
    QLabel *Label6 = nullptr, *Label7 = nullptr, *Label8 = nullptr;    // APN, user name, password
    QLabel* Label38 = nullptr;                                         // "VEQ3 owner name:"
    bool SummaryBuilding = false; // a second build waits for the first to end
    // summary: members end

    // ---- templates and log files (Main_template.cpp) -----------------------------------------
    // Appends the template lines of the window's configuration, in their fixed order.
    void BuildTemplateLines(QList<QByteArray>& lines);
    // Writes the template; message 104 when written, an error naming the file otherwise.
    bool SaveTemplate(const QString& fileName);
    // Applies a template file to the window and its tables; false when it stopped early.
    bool ApplyTemplateFile(const QString& fileName);
    void TntButton26Click(); // "Save New Template"
    void TntButton27Click(); // "Load Template"
    // Connects the template and log buttons.
    void WireTemplateButtons();
    // The open dialog's start folder: the program folder from its first use on.
    QString TntOpenDialog1InitialDir;
    // Saves the traffic log under its name from the start time to now; false (and why)
    // when it could not be written.
    bool SaveLogFile(QString& fileName, QString& error);
    // templates and log files: members end

    // ---- wizard shell ---------------------------------------------------------------
    void SetFormSize();
    void ApplyFirmwareFeatures(int firmware);
    // The receiver protocols the channel lists offer with this firmware, in code order.
    static QStringList ReceiverProtocols(int firmware);
    void ApplyModelFeatures();
    // What the module's model takes from its window: each gated control, whether the
    // connected module's window shows it, and how it is taken away. ApplyModelFeatures
    // applies it; what a write sends back as read and what a template leaves to the module
    // read it.
    enum class TGateKind { Hide, HideWithTag, Disable };
    struct TModelGate {
        QWidget* Control;
        bool Shown;
        TGateKind Kind;
    };
    QList<TModelGate> ModelGates() const;
    // True when the model gating takes Control from this module's window.
    bool GatedOff(const QWidget* control) const;
    void ApplyOutputCaptions(bool veq3);

    // The link (nullptr once the window has released it).
    TVEQ2* Link() const { return VEQ2; }

    // Reading state for tests and other forms.
    const QList<QByteArray>& Log() const { return LogLines; }

    // ---- controls (designed names) ------------------------------------------------------
    TPageControl* PageControl1 = nullptr;
    QWidget* TabSheet1 = nullptr;    // "Log"
    QWidget* TabSheet2 = nullptr;    // "Reporting"
    QWidget* TabSheet3 = nullptr;    // "Inputs / Outputs"
    QWidget* TabSheet4 = nullptr;    // "Names"
    QWidget* TntTabSheet4 = nullptr; // "Main Screen"
    QWidget* TntTabSheet3 = nullptr; // "Wizard"
    QWidget* TntTabSheet5 = nullptr;

    TPanelStatusBar* PanelStatusBar1 = nullptr;

    // Main screen.
    QLabel* Image1 = nullptr;      // the picture that asks for a module
    QLabel* TntLabel1 = nullptr;   // module type and serial, or message 25
    QLabel* TntLabel10 = nullptr;  // notice for older modules
    QLabel* TntLabel73 = nullptr;  // "Please connect VEQ module..."
    QLabel* TntLabel4 = nullptr;   // name of the opened template
    QString templateName_;         // that name; empty for none
    QComboBox* ComboBox28 = nullptr;
    QLabel* TntLabel96 = nullptr;
    QPushButton* TntBitBtn3 = nullptr;
    QPushButton* TntButton29 = nullptr;
    QPushButton* TntButton30 = nullptr;
    QPlainTextEdit* TntMemo2 = nullptr;
    QPushButton* TntButton5 = nullptr;    // "SaveLog"
    QPushButton* TntButton27 = nullptr;   // "Load Template"
    QPushButton* TntButton1911 = nullptr; // "Set settings to factory default"

    // Live state: LEDs 1..38 (index = number), level bars, counters.
    TIndUserLed* IndUserLed[39] = {};
    TIndLevelBar* IndLevelBar1 = nullptr;
    TIndLevelBar* IndLevelBar2 = nullptr;
    QLabel* Label31 = nullptr;
    QLabel* Label33 = nullptr;
    QLabel* Label129 = nullptr;
    QLabel* Label131 = nullptr;

    // Log page (service mode).
    QPlainTextEdit* Memo1 = nullptr;
    QCheckBox* TntCheckBox1 = nullptr;  // "Lock"
    QCheckBox* TntCheckBox12 = nullptr; // "Put Registers into LOG"
    QPushButton* TntButton19 = nullptr; // "Read VEQ3 Settings"
    QPushButton* TntButton3 = nullptr;  // "Clear"

    // Wizard tab.
    TPageWizard* wzrd1 = nullptr;
    TPageWizardWelcomePage* WPage[10] = {}; // WPage[1]..WPage[9]
    QFrame* TntPanel11 = nullptr;           // column of step labels
    QLabel* Step[9] = {};
    QLabel* TntLabel59 = nullptr;
    QPushButton* TntBitBtn1 = nullptr; // "Manage Messages"
    QPushButton* TntButton1 = nullptr; // "Send data to Module"
    QPushButton* TntButton26 = nullptr; // "Save New Template"
    QPushButton* TntBitBtn2 = nullptr;  // "Print"

    // GPRS reporting page (channels): the controls the lock hides.
    QGroupBox* TntGroupBox14 = nullptr;
    QFrame* TntPanel18 = nullptr; // unlock panel
    QLineEdit* TntEdit5 = nullptr;
    QPushButton* TntButton34 = nullptr;
    QLabel* TntLabel82 = nullptr;
    QLabel *Label5 = nullptr, *Label43 = nullptr, *TntLabel6 = nullptr, *TntLabel8 = nullptr,
           *Label44 = nullptr;
    QComboBox *ComboBox4 = nullptr, *ComboBox1 = nullptr, *TntComboBox3 = nullptr;
    QLineEdit *Edit1 = nullptr, *TntEdit2 = nullptr;
    QFrame *CH1_Panel2 = nullptr, *CH1_Panel3 = nullptr;
    QLabel *TntLabel52 = nullptr, *TntLabel55 = nullptr, *TntLabel7 = nullptr, *TntLabel56 = nullptr,
           *TntLabel58 = nullptr;
    QComboBox *ComboBox2 = nullptr, *ComboBox3 = nullptr, *TntComboBox4 = nullptr;
    QLineEdit *Edit5 = nullptr, *TntEdit3 = nullptr;
    QCheckBox* TntCheckBox13 = nullptr;
    TSpinEdit* SpinEdit3 = nullptr;
    QLabel* Label46 = nullptr;
    QCheckBox* TntCheckBox33 = nullptr;
    QLineEdit* TntEdit4 = nullptr;
    QLineEdit *Edit11 = nullptr, *Edit6 = nullptr;
    QCheckBox *TntCheckBox25 = nullptr, *TntCheckBox26 = nullptr;
    QFrame *CH1_Panel4 = nullptr, *CH2_Panel2 = nullptr;
    QLabel *TntLabel50 = nullptr, *TntLabel51 = nullptr, *TntLabel83 = nullptr, *TntLabel84 = nullptr;
    QLineEdit *TntEdit8 = nullptr, *TntEdit9 = nullptr;
    QCheckBox *TntCheckBox42 = nullptr, *TntCheckBox43 = nullptr;
    QPushButton* TntButton31 = nullptr; // "Manage SMS Backup numbers"
    QGroupBox *TntGroupBox15 = nullptr, *TntGroupBox16 = nullptr;
    QLineEdit *Edit2 = nullptr, *Edit3 = nullptr, *Edit4 = nullptr;
    QPushButton* Btn_Search = nullptr;
    // Security page.
    QFrame* TntPanel17 = nullptr;
    QLineEdit* Edit8 = nullptr;         // owner name
    QCheckBox* TntCheckBox3 = nullptr;  // "Use password on USB connect"
    QCheckBox* TntCheckBox41 = nullptr; // "Use password to prevent GPRS Settings changing"
    QLineEdit* Edit9 = nullptr;         // USB password
    // Modem page.
    QGroupBox* TntGroupBox2 = nullptr; // SIM PIN
    QCheckBox* TntCheckBox28 = nullptr;
    QLineEdit* TntEdit1 = nullptr;
    QLabel* TntLabel5 = nullptr;
    QGroupBox* GroupBox13 = nullptr;
    QLabel* Label127 = nullptr;
    TSpinEdit* SpinEdit40 = nullptr;
    QCheckBox* TntCheckBox40 = nullptr;

    // Users page (Main_users.cpp).
    QLabel* TntLabel44 = nullptr;      // "!" beside "SMS backup"
    QCheckBox* TntCheckBox8 = nullptr;  // "Smartphone"
    QCheckBox* TntCheckBox27 = nullptr; // "Limited trouble SMS"
    QCheckBox* TntCheckBox7 = nullptr;  // "Call on Alarm"
    QCheckBox* TntCheckBox22 = nullptr; // "Mandatory Call"
    QLineEdit* Edit13 = nullptr;        // access PIN
    QCheckBox* TntCheckBox15 = nullptr; // "Use SMS Backup to number: " (hidden)
    QLineEdit* Edit14 = nullptr;        // SMS backup number (hidden)
    TSpinEdit* se1 = nullptr;           // periodic SMS test, days
    TSpinEdit* SpinEdit2 = nullptr;     // short call duration (hidden)
    QLabel *Label40 = nullptr, *Label41 = nullptr;
    QCheckBox* TntCheckBox10 = nullptr; // "Answer only registered numbers"
    QFrame* TntPanel15 = nullptr;       // the page's content
    class QTreeView* VStringTree1 = nullptr;          // the ten user slots
    class QAbstractItemModel* VStringTree1Model = nullptr;
    QPushButton* TntButton7 = nullptr;  // "Clear selected number"
    QLabel* Label97 = nullptr;          // "VEQ3 access PIN for all users:"
    QCheckBox* TntCheckBox5 = nullptr;  // "Arming SMS"
    QCheckBox* TntCheckBox6 = nullptr;  // "Disarming SMS"
    QCheckBox* TntCheckBox9 = nullptr;  // "Periodic SMS test"
    QCheckBox* TntCheckBox23 = nullptr; // "Alarm SMS"
    QCheckBox* TntCheckBox24 = nullptr; // "Trouble SMS"
    QCheckBox* TntCheckBox29 = nullptr; // "Bypass raports" (hidden)
    QCheckBox* TntCheckBox30 = nullptr; // "PGM State raports" (hidden)
    QCheckBox* TntCheckBox31 = nullptr; // "Forward unknown SMS"
    QCheckBox* TntCheckBox32 = nullptr; // "Change arm state on short call"
    QCheckBox* TntCheckBox38 = nullptr; // "SMS backup"
    QCheckBox* TntCheckBox39 = nullptr; // "Prohibit module control"

    // users page: controls end

    // Inputs page (Main_inputs.cpp).
    class QScrollArea* InputsScrollBox = nullptr;
    QWidget* InputsBox = nullptr; // the rows inside the scroll box
    QComboBox *ComboBox5 = nullptr, *ComboBox7 = nullptr, *ComboBox8 = nullptr,
              *ComboBox9 = nullptr, *ComboBox10 = nullptr, *ComboBox11 = nullptr; // function
    QComboBox *ComboBox12 = nullptr, *ComboBox13 = nullptr, *ComboBox14 = nullptr,
              *ComboBox15 = nullptr, *ComboBox16 = nullptr, *ComboBox17 = nullptr; // NO / NC
    TSpinEdit *SpinEdit10 = nullptr, *SpinEdit12 = nullptr, *SpinEdit14 = nullptr,
              *SpinEdit16 = nullptr, *SpinEdit18 = nullptr, *SpinEdit20 = nullptr; // sensitivity
    TSpinEdit *SpinEdit11 = nullptr, *SpinEdit13 = nullptr, *SpinEdit15 = nullptr,
              *SpinEdit17 = nullptr, *SpinEdit19 = nullptr, *SpinEdit21 = nullptr; // violations
    QTimeEdit *DaTiNoReaction1 = nullptr, *DaTiNoReaction2 = nullptr, *DaTiNoReaction3 = nullptr,
              *DaTiNoReaction4 = nullptr, *DaTiNoReaction5 = nullptr, *DaTiNoReaction6 = nullptr;
    QFrame *PNust1 = nullptr, *PNust2 = nullptr, *PNust3 = nullptr, *PNust4 = nullptr,
           *PNust5 = nullptr, *PNust6 = nullptr;
    QFrame *Panel4 = nullptr, *Panel19 = nullptr, *Panel20 = nullptr, *Panel21 = nullptr,
           *Panel22 = nullptr, *Panel23 = nullptr; // Contact ID
    QComboBox *ComboBox6 = nullptr, *ComboBox18 = nullptr, *ComboBox19 = nullptr,
              *ComboBox20 = nullptr, *ComboBox21 = nullptr, *ComboBox22 = nullptr; // event
    QCheckBox *TntCheckBox16 = nullptr, *TntCheckBox17 = nullptr, *TntCheckBox18 = nullptr,
              *TntCheckBox19 = nullptr, *TntCheckBox20 = nullptr, *TntCheckBox21 = nullptr; // Restore
    class QTreeView *VTIN1 = nullptr, *VTIN2 = nullptr, *VTIN3 = nullptr, *VTIN4 = nullptr,
                    *VTIN5 = nullptr, *VTIN6 = nullptr;
    QFrame *TntPanel20 = nullptr, *TntPanel26 = nullptr, *TntPanel27 = nullptr,
           *TntPanel28 = nullptr, *TntPanel29 = nullptr, *TntPanel30 = nullptr; // never shown
    QCheckBox *TntCheckBox44 = nullptr, *TntCheckBox45 = nullptr, *TntCheckBox46 = nullptr,
              *TntCheckBox47 = nullptr, *TntCheckBox48 = nullptr, *TntCheckBox49 = nullptr; // 24H
    QLabel *TntLabel87 = nullptr, *TntLabel88 = nullptr, *TntLabel90 = nullptr,
           *TntLabel91 = nullptr, *TntLabel93 = nullptr, *TntLabel94 = nullptr; // "?"
    QFrame *TntPanel1 = nullptr, *TntPanel2 = nullptr, *TntPanel3 = nullptr, *TntPanel4 = nullptr,
           *TntPanel5 = nullptr, *TntPanel6 = nullptr; // SMS text
    QLineEdit *Edit15 = nullptr, *Edit16 = nullptr, *Edit17 = nullptr, *Edit18 = nullptr,
              *Edit19 = nullptr, *Edit20 = nullptr;
    QLabel *TntLabel21 = nullptr, *TntLabel22 = nullptr, *TntLabel23 = nullptr,
           *TntLabel24 = nullptr, *TntLabel27 = nullptr, *TntLabel29 = nullptr; // "SMS"
    QLabel *TntLabel11 = nullptr, *TntLabel12 = nullptr, *TntLabel13 = nullptr,
           *TntLabel18 = nullptr, *TntLabel19 = nullptr, *TntLabel20 = nullptr; // note
    // (The members of labels whose designed names other pages' controls also carry start
    // with "In"; their object names are the designed ones.)
    QLabel *InTntLabel63 = nullptr, *InTntLabel64 = nullptr, *TntLabel65 = nullptr,
           *TntLabel66 = nullptr, *TntLabel67 = nullptr, *TntLabel68 = nullptr; // "Parameters:"
    QLabel *TntLabel74 = nullptr, *TntLabel75 = nullptr, *TntLabel76 = nullptr,
           *TntLabel77 = nullptr, *TntLabel78 = nullptr, *TntLabel79 = nullptr; // "!"
    QLabel *Label3 = nullptr, *Label37 = nullptr, *Label48 = nullptr, *Label50 = nullptr,
           *Label53 = nullptr, *Label54 = nullptr; // "ms"
    QLabel *Label91 = nullptr, *Label92 = nullptr, *Label93 = nullptr, *Label94 = nullptr,
           *Label95 = nullptr, *Label96 = nullptr; // "hour:min:sec"
    QGroupBox *TntGroupBox8 = nullptr, *TntGroupBox5 = nullptr, *TntGroupBox6 = nullptr,
              *TntGroupBox7 = nullptr, *TntGroupBox9 = nullptr, *TntGroupBox10 = nullptr;
    class QMenu* Popup1 = nullptr; // names offered for a Contact ID parameter
    TInputTreeModel* InputTreeModels[InputCount] = {};
    // Captions of the contact line and the Contact ID line kept from the older row
    // layout (qualifier, event code, group and zone: the parameter trees replaced them,
    // they stay hidden).
    QLabel *Label1 = nullptr, *TntLabel25 = nullptr, *TntLabel30 = nullptr, *TntLabel35 = nullptr,
           *TntLabel40 = nullptr, *TntLabel45 = nullptr; // "Type"
    QLabel *Label2 = nullptr, *TntLabel26 = nullptr, *TntLabel31 = nullptr, *TntLabel36 = nullptr,
           *TntLabel41 = nullptr, *TntLabel47 = nullptr; // "Sensitivity"
    QLabel *Label90 = nullptr, *TntLabel28 = nullptr, *TntLabel33 = nullptr, *TntLabel38 = nullptr,
           *TntLabel43 = nullptr, *InTntLabel49 = nullptr; // "No reaction"
    QLabel *TntLabel85 = nullptr, *TntLabel86 = nullptr, *TntLabel89 = nullptr,
           *TntLabel92 = nullptr, *InTntLabel95 = nullptr, *TntLabel98 = nullptr; // "Event ID:"
    QComboBox *TntComboBox8 = nullptr, *TntComboBox9 = nullptr, *TntComboBox10 = nullptr,
              *TntComboBox11 = nullptr, *TntComboBox12 = nullptr, *TntComboBox13 = nullptr;
    QLineEdit *TntEdit6 = nullptr, *TntEdit7 = nullptr, *TntEdit10 = nullptr,
              *TntEdit11 = nullptr, *TntEdit12 = nullptr, *TntEdit13 = nullptr;
    QLabel *TntLabel53 = nullptr, *Label56 = nullptr, *Label78 = nullptr, *Label81 = nullptr,
           *Label84 = nullptr, *Label87 = nullptr; // "Group:"
    TSpinEdit *SpinEdit5 = nullptr, *SpinEdit23 = nullptr, *SpinEdit25 = nullptr,
              *SpinEdit27 = nullptr, *SpinEdit29 = nullptr, *SpinEdit31 = nullptr;
    QLabel *TntLabel54 = nullptr, *Label59 = nullptr, *Label79 = nullptr, *Label82 = nullptr,
           *Label85 = nullptr, *Label88 = nullptr; // "Zone:"
    TSpinEdit *SpinEdit4 = nullptr, *SpinEdit22 = nullptr, *SpinEdit24 = nullptr,
              *SpinEdit26 = nullptr, *SpinEdit28 = nullptr, *SpinEdit30 = nullptr;
    // inputs page: controls end

    // Outputs and remote-control pages (Main_outputs.cpp).
    QCheckBox *TntCheckBox2 = nullptr, *TntCheckBox4 = nullptr, *TntCheckBox11 = nullptr,
              *TntCheckBox14 = nullptr; // outputs driven from a distance
    QGroupBox *TntGroupBox4 = nullptr, *TntGroupBox11 = nullptr, *TntGroupBox12 = nullptr,
              *TntGroupBox13 = nullptr;                       // output rows
    QComboBox* OutputCombo[4] = {};                           // ComboBox24..27
    QRadioButton* PulseRadio[4] = {};                         // TntRadioButton1, 3, 5, 7
    QRadioButton* SecondRadio[4] = {};                        // TntRadioButton2, 4, 6, 8
    QTimeEdit* DaTiDuration[4] = {};                          // DaTiDuration1..4
    QLabel* DurationLabel[4] = {};                            // Label64, 67, 70, 73
    QLabel* TimeFormatLabel[4] = {};                          // Label65, 68, 71, 74
    QLabel* ParametersLabel[4] = {};                          // TntLabel69..72
    QLabel* OutputNameLabel[4] = {};                          // TntLabel14..17 (hidden)
    QLineEdit* OutputNameEdit[4] = {};                        // Edit21..24 (hidden)
    QCheckBox* SirenBox[4] = {};                              // TntCheckBox34..37 (hidden)
    TSpinEdit* OutputSpin[4] = {};                            // SpinEdit41..44 (hidden)
    QFrame* TntPanel16 = nullptr;
    class QTableWidget* StringGrid2 = nullptr; // output-control phones 1..32
    QLabel* TntLabel97 = nullptr;        // "Phone number:"
    QLineEdit* Edit12 = nullptr;
    QGroupBox* TntGroupBox18 = nullptr;  // the outputs a phone may switch
    QPushButton *TntButton16 = nullptr, *TntButton17 = nullptr; // "Save", "Delete"
    QLabel* TntLabel9 = nullptr;         // "Examples of output control"
    QPlainTextEdit* TntMemo1 = nullptr;  // the examples
    bool outputRowHeld_[4] = {};
    // outputs pages: controls end

    // Names page (Main_names.cpp).
    QFrame* TntPanel31 = nullptr;
    QTableWidget* StringGrid3 = nullptr; // zones
    QTableWidget* StringGrid6 = nullptr; // modules
    QTableWidget* StringGrid5 = nullptr; // users
    QTableWidget* StringGrid4 = nullptr; // partitions
    QLabel *TntLabel120 = nullptr, *TntLabel121 = nullptr, *TntLabel122 = nullptr,
           *TntLabel123 = nullptr; // "Zones:", "Users:", "Modules:", "Partitions:"
    QPushButton* TntButton24 = nullptr; // "Set default"
    QPushButton* TntButton8 = nullptr;  // "SMS Phrases"
    QPushButton* TntButton33 = nullptr; // "Additional SMS Texts"
    QPushButton* TntButton9 = nullptr;  // "Help Text" (always hidden)
    // names page: controls end

    // Wizard shell (Main_shell.cpp).
    QTimer* Timer_Blink = nullptr;        // attention blink, 500 ms
    class QRadioButton* TntRadioButton9 = nullptr;  // "Alarm System" (hidden; no mode selects it)
    QRadioButton* TntRadioButton10 = nullptr; // "Communicator": the mode's name
    // wizard shell: controls end

    // Writing settings (Main_write.cpp).
    QPushButton* TntButton114 = nullptr; // "Set Input " (hidden): the input writer
    QPushButton* TntButton11 = nullptr;  // "Set Output" (hidden): the output writer
    // writing settings: controls end

    // Timers.
    QTimer* Timer1 = nullptr;
    QTimer* Timer2 = nullptr;
    QTimer* Timer5 = nullptr;
    QTimer* Timer6 = nullptr;
    QTimer* Timer7 = nullptr;
    QTimer* Timer_CheckPassword = nullptr;
    QTimer* Timer4 = nullptr; // one-shot: refresh the output rows

    // The client area inside its scroll area, and the size chosen for the screen.
    QScrollArea* ClientScroll = nullptr;
    QSize ClientSize;
    // Tests: the screen size SetFormSize works with (invalid: the real screen).
    static QSize ScreenSizeOverride;

    // Production-test numbers of the service mode.
    settings::TTestNumberList TestNumbers;

    // Tests: the link's timer intervals for the next window created.
    static TVEQ2Timing LinkTiming;

    // Start-up order: a module plugged in before the start is claimed only once the
    // start-up timer has loaded the language file, so its texts are there when it connects.
    void HoldModuleClaims();
    void ClaimWaitingModule();
    // Counts every arrival and removal of a module: a value that changed means the module
    // that was there is not the one there now.
    unsigned ConnectionCount() const { return connectionCount_; }

    // ---- questions and file dialogs that lead to a send, a load or a save (Main_answers.cpp) --
    // The module a question or file dialog is opened for: its connection and serial number
    // (not Connected: no module was there).
    struct TModuleAtHand {
        unsigned Connection = 0;
        bool Connected = false;
        QString SerialNumber;
    };
    TModuleAtHand ModuleAtHand() const;
    // What the answer goes on to do.
    enum class TAnswerUse { FactoryReset, RemoveOutput, LoadTemplate, SaveTemplate, ProductionTest };
    // Whether the answer to a question or file dialog opened for At may do Use now: the
    // module it was opened for is still the one connected, and the button's own checks hold.
    // When not, the user is told why and nothing is to be done (a production test that lost
    // its module tells in the words of its cut write).
    bool AnswerMayAct(const TModuleAtHand& At, TAnswerUse Use);


protected:
    void closeEvent(QCloseEvent* e) override;
    void changeEvent(QEvent* e) override;

private:
    void BuildForm();
    void BuildMainScreen();
    void BuildLogPage();
    void BuildWizardTab();
    void BuildReportingPage(QWidget* page, int top);
    void BuildSecurityPage(QWidget* page, int top);
    void BuildModemPage(QWidget* page, int top);
    // A column of red LEDs, each with its caption to the right.
    struct LedRow {
        int led;
        const char* name;
        const char* text;
    };
    void MakeLedColumn(QWidget* parent, std::initializer_list<LedRow> rows, QPoint at, int step,
                       int captionWidth);
    TIndLevelBar* MakeLevelBar(QWidget* parent, const char* name, bool horizontal, const QRect& r);
    TIndUserLed* MakeLed(QWidget* parent, int number, int x, int y, std::int32_t high1, std::int32_t high2);
    void WireSettingsEvents();
    void SetFieldState(QWidget* w, bool enabled);
    void SetRequiredColor(QLineEdit* e);
    void SetEditColor(QWidget* w, std::int32_t color);
    QList<QWidget*> GPRSLockedControls() const;
    bool IsWindowsXPOrLater();
    void StartReadAll();
    void TerminateProgram();
    void SaveLogOnClose();
    void WireLink();
    // The unlock panel's button and keys; remembers where the page's boxes stand without it.
    void WireUnlockPanel();
public:
    // Runs f, reporting any fault instead of letting it leave an event handler.
    void Guard(const std::function<void()>& f);
private:
    void ReleaseLink();
    void SetLedsFromState(quint8 modemFlags, quint8 modemCR, quint8 modemSR, quint16 tcpsr);

    void DeleteRetiredLink();

    TVEQ2* VEQ2 = nullptr;
    // A link the window has let go of, freed once no wait of it or of the window's pause
    // is still on the stack.
    TVEQ2* retiredLink_ = nullptr;
    int delayDepth_ = 0;
    QDateTime StartTime;
    QList<QByteArray> LogLines; // traffic log lines, 8-bit as the module sends them
    bool closed_ = false;
    bool terminated_ = false;
    // Start-up order and connection: claims held until the start-up ran; one more for
    // every arrival and removal of a module.
    bool claimsHeld_ = false;
    unsigned connectionCount_ = 0;
    // The tops of the reporting page's three group boxes as built, below a mark at the top
    // of the page's content; the unlock panel, while shown, moves them down from there.
    int unlockBoxTops_[3] = {0, 0, 0};
    QWidget* unlockBoxAnchor_ = nullptr;
    // The connect-password prompt while it is up.
    QPointer<QDialog> passwordPrompt_;
    // A login is judged by the module's answer to the last packet: since when the password
    // prompt or the unlock has waited for it, on which connection.
    QElapsedTimer answerWait_;
    unsigned answerConnection_ = 0;
    // True while the module owes that answer (Poll then runs again), or owes it past the
    // no-answer limit (Poll stops, and the user hears so).
    bool AwaitingModuleAnswer(QTimer* poll);
    bool ModuleAnswerOverdue() const;
    void TellModuleDidNotAnswer();
    // The connect prompt's turn of Timer2: true while the way to the read goes on (Timer2
    // runs again), false when it ended here.
    bool PasswordPrompt();
    // A login on the road: true when it went out. One the module kept waiting past the
    // limit is dropped for good, and the user hears so (127).
    bool SendModuleLogin(const QByteArray& Password);
    // The road of the read that runs: its requests go out while it lives, under its limit.
    std::shared_ptr<class TSendSequence> readRoad_;
    // A read stopped short because the module did not answer in time: the wait dialog goes
    // and the user hears so.
    void ReadStopped();
};

// The main window of the running program (set when it is created).
extern TForm1* Form1;

// The traffic log line for one line of module traffic: carriage returns removed, line
// feeds as spaces, NUL as "."; outgoing lines may carry the register prefix.
QByteArray MakeUsartLogLine(const QByteArray& text, bool outGoing, bool withRegisters,
                         quint16 tcpsr, quint8 modemCR, quint8 modemSR, quint8 modemFlags);

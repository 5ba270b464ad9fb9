#pragma once
// The main window: the pages that show and edit a module's configuration, the
// connection to the module, its live state and traffic, and the wizard shell.
// The class is one, its code is split by concern into Main_*.cpp files.
#include <QByteArray>
#include <QDateTime>
#include <QMainWindow>
#include <QPointer>
#include <QSize>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>

#include "editor/Encodings.h"
#include "editor/MainTables.h"
#include "editor/SettingsFile.h"
#include "link/VEQ2_SDK.h"
#include "platform/UiDialogs.h"

class QCheckBox;
class QComboBox;
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
    ui::ModalResult WideMessagedlg(const QString& msg, ui::MsgType type,
                                   const QList<ui::MsgButton>& buttons);
    void Timer5Timer();
    void ComboBox28Change(QObject* sender);
    void LocateManual(bool open);
    bool SetLanguage(const QString& name);
    void SaveComboIndexes();
    void RestoreComboIndexes();
    void ApplyLanguageToRuntimeTexts();
    void ArrangeTranslatedControls();

    // ---- Settings.ini and the debug file (each access opens and closes the file) --------
    void IniReadString(const QByteArray& section, const QByteArray& ident, QByteArray& value,
                       const QByteArray& def) { settings::IniReadString(section, ident, value, def); }
    bool IniWriteString(const QByteArray& section, const QByteArray& ident, const QByteArray& value)
    {
        return settings::IniWriteString(section, ident, value);
    }
    void ReadServiceCode() { settings::ReadServiceCode(); }
    bool ReadPSTNOption() { return settings::ReadPSTNOption(); }
    void LoadTestNumbers() { TestNumbers = settings::LoadTestNumbers(); }
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

    // ---- module connection, state and traffic ------------------------------------------
    void OnModuleConnect();
    void OnModuleDisconnect();
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
    void FilterEdit(QLineEdit* e, const char* set, bool keep);
    static QByteArray FilterChars(const QByteArray& text, const std::function<bool(unsigned char)>& inSet,
                                  bool keep);
    static char edit10KeyPress(char key);
    static char Edit1KeyPress(char key);
    static char Edit11KeyPress(char key, bool keyEdit);
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
    // Stores the ticked notification boxes into user Index (0..9).
    void CommitUserFlags(int index);
    // Sends every user with a number (0x0B, and 0x1A from firmware 1026), 5 ms after each.
    void SendUserPhones();
    // The index (0..9) of the user the list has selected, -1 when none.
    int SelectedUserIndex() const;
    void ShowUserFlags(int index);
    // users page: members end

    // ---- inputs page (Main_inputs.cpp) ----------------------------------------------------
    // The input's record built from its row's controls (the table entry is not changed;
    // the SMS text is the table's).
    TInputRecord BuildInputRecord(int index);
    // inputs page: members end

    // ---- outputs and remote-control pages (Main_outputs.cpp) --------------------------------
    // The output's control byte and pulse length built from its row's controls.
    TOutputRecord BuildOutputRecord(int index);
    // outputs pages: members end

    // ---- names page (Main_names.cpp) ------------------------------------------------------
    // Sends the used names of the four groups (0x10), 5 ms after each, while connected.
    void SendItemNames();
    // names page: members end

    // ---- wizard shell (Main_shell.cpp) ----------------------------------------------------
    // Page checks: kind 0 reporting channels, 1 access PIN; false when one fails.
    bool ValidateWizardPage(int kind);
    void GoToWizardStep(int step);
    void TntButton3Click();
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
    // writing settings: members end

    // ---- wizard shell ---------------------------------------------------------------
    void SetFormSize();
    void ApplyFirmwareFeatures(int firmware);
    void ApplyModelFeatures();
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

    // users page: controls end

    // Inputs page (Main_inputs.cpp).
    // inputs page: controls end

    // Outputs and remote-control pages (Main_outputs.cpp).
    QCheckBox *TntCheckBox2 = nullptr, *TntCheckBox4 = nullptr, *TntCheckBox11 = nullptr,
              *TntCheckBox14 = nullptr; // outputs driven from a distance
    // outputs pages: controls end

    // Names page (Main_names.cpp).
    // names page: controls end

    // Wizard shell (Main_shell.cpp).
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
};

// The main window of the running program (set when it is created).
extern TForm1* Form1;

// The traffic log line for one line of module traffic: carriage returns removed, line
// feeds as spaces, NUL as "."; outgoing lines may carry the register prefix.
QByteArray MakeUsartLogLine(const QByteArray& text, bool outGoing, bool withRegisters,
                         quint16 tcpsr, quint8 modemCR, quint8 modemSR, quint8 modemFlags);

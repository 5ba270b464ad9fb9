// The main window's language controls: the start-up that loads the language file and
// the Contact ID catalogue, the language list and switch, the manual link, and the
// message routines every page uses.
#include "editor/Main.h"

#include "editor/Controls.h"
#include "editor/SettingsFile.h"
#include "lang/Kalbos.h"
#include "lang/LangText.h"
#include "link/VEQ2_SDK.h"
#include "platform/AppPaths.h"
#include "platform/OpenDocument.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

namespace {
// Appended to the window's caption on every language switch.
const QByteArray kVersionSuffix = " v.2.017";
} // namespace

QString TForm1::GetLangText(int n) const
{
    return ::GetLangText(n);
}

ui::ModalResult TForm1::WideMessagedlg(const QString& msg, ui::MsgType type,
                                       const QList<ui::MsgButton>& buttons)
{
    return ::WideMessagedlg(msg, type, buttons, this);
}

void TForm1::Timer5Timer()
{
    Timer5->stop();
    QByteArray error;
    if (!LoadLanguageFile(platform::ProgramFile(QStringLiteral("comps.txt")), error)) {
        WideMessagedlg(LangToUnicode(error), ui::MsgType::Error, {ui::MsgButton::OK});
        return;
    }
    if (!LoadCIDDescriptions())
        return;
    ComboBox28->clear();
    if (!VEQ2 || !VEQ2->Connected)
        TntLabel1->setText(LangMessage(25));
    for (const TLanguage& l : Languages)
        ComboBox28->addItem(LangToUnicode(l.Name));
    QByteArray stored;
    IniReadString(settings::SettingsSection, "Language", stored, "English");
    const QString name = LangToUnicode(stored);
    ComboBox28->setCurrentIndex(-1);
    for (int i = 0; i < ComboBox28->count(); ++i) {
        if (ComboBox28->itemText(i).compare(name, Qt::CaseInsensitive) == 0) {
            ComboBox28->setCurrentIndex(i);
            break;
        }
    }
    ComboBox28Change(nullptr);
}

void TForm1::ComboBox28Change(QObject* sender)
{
    const TLanguage* cur = CurrentLanguageRecord();
    if (sender && cur && ComboBox28->currentText() == LangToUnicode(cur->Name))
        return;
    SaveComboIndexes();
    SetLanguage(ComboBox28->currentText());
    setWindowTitle(windowTitle() + QString::fromLatin1(kVersionSuffix));
    TntLabel10->resize(353, TntLabel10->height());
    IniWriteString(settings::SettingsSection, "Language", LangFromUnicode(ComboBox28->currentText()));
    if (VEQ2 && VEQ2->Connected)
        TntLabel1->setText(VEQ2->ProductName + QStringLiteral(" SN:") + VEQ2->SerialNumber);
    else
        TntLabel1->setText(LangMessage(25));
    ApplyLanguageToRuntimeTexts();
    RestoreComboIndexes();
    LocateManual(false);
    ArrangeTranslatedControls();
}

bool TForm1::SetLanguage(const QString& name)
{
    for (int i = 0; i < Languages.size(); ++i) {
        if (LangToUnicode(Languages[i].Name) == name || QString::fromLatin1(Languages[i].Name) == name)
            return SelectLanguage(i);
    }
    return false;
}

void TForm1::LocateManual(bool open)
{
    const QString folder = platform::ProgramFile(QStringLiteral("Manuals/"));
    QString file = ComboBox28->currentText() + QStringLiteral(".pdf");
    if (!QFile::exists(folder + file))
        file = QStringLiteral("English.pdf");
    if (QFile::exists(folder + file)) {
        TntBitBtn3->setText(GetLangText(140) + QLatin1Char(' ') + file);
        TntLabel96->show();
        TntBitBtn3->show();
        if (open)
            platform::OpenDocument(folder + file);
    } else {
        TntLabel96->hide();
        TntBitBtn3->hide();
    }
}

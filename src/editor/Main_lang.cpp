// The main window's language controls: the start-up that loads the language file and
// the Contact ID catalogue, the language list and switch, the manual link, and the
// message routines every page uses.
#include "editor/Main.h"

#include "editor/ApplyLanguage.h"
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
                                       const QList<ui::MsgButton>& buttons, QWidget* Over)
{
    return ::WideMessagedlg(msg, type, buttons, Over ? Over : this);
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
    // Each item keeps the name as the file writes it: that is what is applied and stored.
    for (const TLanguage& l : Languages)
        ComboBox28->addItem(LangToUnicode(l.Name), l.Name);
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

QByteArray TForm1::ChosenLanguageName() const
{
    const int i = ComboBox28->currentIndex();
    if (i < 0)
        return {};
    const QVariant name = ComboBox28->itemData(i);
    return name.isValid() ? name.toByteArray() : LangFromUnicode(ComboBox28->itemText(i));
}

void TForm1::ComboBox28Change(QObject* sender)
{
    const QByteArray chosen = ChosenLanguageName();
    // Only a language that was applied can be "already current": after a stored name
    // that the file lacks, the first language must still be choosable.
    const TLanguage* cur = CurrentLanguageRecord();
    if (sender && LanguageApplied && cur && chosen == cur->Name)
        return;
    const QList<int> indexes = SaveComboIndexes();
    // Texts of the configuration keep their 8-bit value through the change of code table.
    const QList<THeldText> texts = HoldConfigurationTexts();
    SetLanguage(chosen);
    ShowHeldTexts(texts);
    // The suffix stands once, whether or not the language gave the window a caption.
    const QString suffix = QString::fromLatin1(kVersionSuffix);
    QString title = windowTitle();
    while (title.endsWith(suffix))
        title.chop(suffix.size());
    setWindowTitle(title + suffix);
    TntLabel10->resize(353, TntLabel10->height());
    IniWriteString(settings::SettingsSection, "Language", chosen);
    if (VEQ2 && VEQ2->Connected)
        TntLabel1->setText(VEQ2->ProductName + QStringLiteral(" SN:") + VEQ2->SerialNumber);
    else
        TntLabel1->setText(LangMessage(25));
    ApplyLanguageToRuntimeTexts();
    RestoreComboIndexes(indexes);
    LocateManual(false);
    ArrangeTranslatedControls();
}

bool TForm1::SetLanguage(const QByteArray& name)
{
    return ::SetLanguage(name);
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

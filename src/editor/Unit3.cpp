// The help SMS editor: one text of at most 140 characters, kept by the module in three
// parts of 47.
#include "editor/Unit3.h"

#include "editor/Controls.h"
#include "editor/Main.h"
#include "lang/LangText.h"
#include "link/VEQ2_SDK.h"

#include <QHideEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTextCursor>

#include <functional>

TForm3* Form3 = nullptr;

TForm3::TForm3(QWidget* parent) : TSmsDialog(parent)
{
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("VEQ3 Help SMS editor"));
    setFixedSize(360, 220);
    Memo1 = ctl::Make<QPlainTextEdit>(this, "Memo1", 8, 8, 344, 140);
    Label1 = ctl::Make<QLabel>(this, "Label1", 8, 156, 100, 18);
    Label1->setText(QStringLiteral("Characters:"));
    Label2 = ctl::Make<QLabel>(this, "Label2", 110, 156, 60, 18);
    Label2->setText(QStringLiteral("0"));
    TntButton1 = ctl::Make<QPushButton>(this, "TntButton1", 262, 180, 90, 28);
    TntButton1->setText(QStringLiteral("OK"));
    connect(Memo1, &QPlainTextEdit::textChanged, this, [this] { Guarded([this] { Memo1Change(); }); });
    connect(TntButton1, &QPushButton::clicked, this, [this] { Guarded([this] { TntButton1Click(); }); });
    PlainButtons();
}

QByteArray TForm3::Text() const
{
    return LangFromUnicode(Memo1->toPlainText());
}

void TForm3::SetText(const QByteArray& text)
{
    Memo1->setPlainText(LangToUnicode(text));
}

void TForm3::Memo1Change()
{
    const QString t = Memo1->toPlainText();
    if (t.size() > MaxLength) {
        const QSignalBlocker block(Memo1);
        Memo1->setPlainText(t.left(MaxLength));
        Memo1->moveCursor(QTextCursor::End);
    }
    Label2->setText(QString::number(Memo1->toPlainText().size()));
}

void TForm3::OnHelpTextArrive(QObject*, quint8 Idx, const QByteArray& Text)
{
    if (Idx > 2)
        return;
    if (Idx == 0)
        Memo1->clear();
    QByteArray part = Text;
    for (char& c : part) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (u < 32 || u == 255)
            c = '.';
    }
    QByteArray whole = this->Text();
    if (Idx == 2) {
        whole += part.left(46);
        while (whole.endsWith(' '))
            whole.chop(1);
    } else {
        whole += part;
    }
    SetText(whole);
}

void TForm3::TntButton1Click()
{
    if (!ModuleConnectedToWrite())
        return;
    const QByteArray text = Text();
    const bool sent = WriteSeries(3, 50, [&text](TVEQ2& link, int i) {
        link.SendHelpText(static_cast<quint8>(i), text.mid(i * PartLength, i == 2 ? 46 : PartLength));
    });
    if (sent)
        close();
}

TForm3::~TForm3()
{
    if (Form3 == this)
        Form3 = nullptr;
}

// What a language switch refreshes besides the texts the language file gives: texts put
// together from messages (grid titles, hints, memos, wizard headers and buttons, the
// Contact ID event names), the rows of inputs 2..6 and outputs 2..4 (which take the texts
// of the first row), the choice lists with their choices kept, and the controls whose
// place depends on the width of a translated caption.
#include "editor/Main.h"

#include "editor/CIDCatalog.h"
#include "editor/Controls.h"
#include "editor/MainTables.h"
#include "editor/ModuleText.h"
#include "editor/Unit2.h"
#include "lang/LangText.h"
#include "link/UnitEil.h"
#include "widgets/PageWizard.h"
#include "widgets/PanelStatusBar.h"

#include <algorithm>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTreeView>

namespace {

template <class T>
using Member = T* TForm1::*;
using LabelRow = Member<QLabel>[InputCount];

// Roles of the input rows whose captions rows 2..6 take from row 1 (row 1 first).
const LabelRow kInputCaptionLabels[] = {
    {&TForm1::Label1, &TForm1::TntLabel25, &TForm1::TntLabel30, &TForm1::TntLabel35, &TForm1::TntLabel40,
     &TForm1::TntLabel45}, // "Type"
    {&TForm1::Label2, &TForm1::TntLabel26, &TForm1::TntLabel31, &TForm1::TntLabel36, &TForm1::TntLabel41,
     &TForm1::TntLabel47}, // "Sensitivity"
    {&TForm1::Label3, &TForm1::Label37, &TForm1::Label48, &TForm1::Label50, &TForm1::Label53,
     &TForm1::Label54}, // "ms"
    {&TForm1::Label90, &TForm1::TntLabel28, &TForm1::TntLabel33, &TForm1::TntLabel38, &TForm1::TntLabel43,
     &TForm1::InTntLabel49}, // "No reaction"
    {&TForm1::Label91, &TForm1::Label92, &TForm1::Label93, &TForm1::Label94, &TForm1::Label95,
     &TForm1::Label96}, // time format
    {&TForm1::TntLabel11, &TForm1::TntLabel12, &TForm1::TntLabel13, &TForm1::TntLabel18, &TForm1::TntLabel19,
     &TForm1::TntLabel20}, // the input's note
    {&TForm1::TntLabel21, &TForm1::TntLabel22, &TForm1::TntLabel23, &TForm1::TntLabel24, &TForm1::TntLabel27,
     &TForm1::TntLabel29}, // "SMS"
    {&TForm1::InTntLabel63, &TForm1::InTntLabel64, &TForm1::TntLabel65, &TForm1::TntLabel66,
     &TForm1::TntLabel67, &TForm1::TntLabel68}, // "Parameters:"
};
const LabelRow kExclamationLabels = {&TForm1::TntLabel74, &TForm1::TntLabel75, &TForm1::TntLabel76,
                                     &TForm1::TntLabel77, &TForm1::TntLabel78, &TForm1::TntLabel79};
const LabelRow kEventIdLabels = {&TForm1::TntLabel85, &TForm1::TntLabel86, &TForm1::TntLabel89,
                                 &TForm1::TntLabel92, &TForm1::InTntLabel95, &TForm1::TntLabel98};
const LabelRow kGroupLabels = {&TForm1::TntLabel53, &TForm1::Label56, &TForm1::Label78,
                               &TForm1::Label81, &TForm1::Label84, &TForm1::Label87};
const LabelRow kZoneLabels = {&TForm1::TntLabel54, &TForm1::Label59, &TForm1::Label79,
                              &TForm1::Label82, &TForm1::Label85, &TForm1::Label88};
const Member<QCheckBox> kRestoreBoxes[InputCount] = {&TForm1::TntCheckBox16, &TForm1::TntCheckBox17,
    &TForm1::TntCheckBox18, &TForm1::TntCheckBox19, &TForm1::TntCheckBox20, &TForm1::TntCheckBox21};
const Member<QCheckBox> k24HBoxes[InputCount] = {&TForm1::TntCheckBox44, &TForm1::TntCheckBox45,
    &TForm1::TntCheckBox46, &TForm1::TntCheckBox47, &TForm1::TntCheckBox48, &TForm1::TntCheckBox49};
const Member<QComboBox> kQualifierCombos[InputCount] = {&TForm1::TntComboBox8, &TForm1::TntComboBox9,
    &TForm1::TntComboBox10, &TForm1::TntComboBox11, &TForm1::TntComboBox12, &TForm1::TntComboBox13};
const Member<QLineEdit> kEventCodeEdits[InputCount] = {&TForm1::TntEdit6, &TForm1::TntEdit7,
    &TForm1::TntEdit10, &TForm1::TntEdit11, &TForm1::TntEdit12, &TForm1::TntEdit13};
const Member<TSpinEdit> kGroupSpins[InputCount] = {&TForm1::SpinEdit5, &TForm1::SpinEdit23,
    &TForm1::SpinEdit25, &TForm1::SpinEdit27, &TForm1::SpinEdit29, &TForm1::SpinEdit31};
const Member<TSpinEdit> kZoneSpins[InputCount] = {&TForm1::SpinEdit4, &TForm1::SpinEdit22,
    &TForm1::SpinEdit24, &TForm1::SpinEdit26, &TForm1::SpinEdit28, &TForm1::SpinEdit30};

// The choice lists whose choice survives a switch: "Combobox" and these numbers.
constexpr int kChoiceLists[] = {4, 2, 1, 3, 5, 7, 8, 9, 10, 11, 6, 18, 19, 20, 21, 22, 24, 25, 26, 27};

// Wizard page n (from 1): its title and subtitle messages; the step label n - 1 takes
// the title.
constexpr int kWizardTexts[9][2] = {{55, 56}, {57, 58}, {59, 60}, {61, 62}, {63, 64},
                                    {65, 66}, {67, 68}, {90, 91}, {69, 70}};

// What the main screen's "Template:" shows while no template was opened.
constexpr int kNoTemplateMessage = 135;

// h:m:s in the words of the language.
QString timeFormat()
{
    return GetLangText(83) + QLatin1Char(':') + GetLangText(84) + QLatin1Char(':') + GetLangText(85);
}

int right(const QWidget* w) { return w->x() + w->width(); }

void moveLeft(QWidget* w, int left)
{
    if (w)
        w->move(left, w->y());
}

// A caption's own width, as a label that sizes itself to its text has.
void fitLabel(QLabel* l)
{
    if (l && !l->wordWrap())
        l->resize(l->fontMetrics().horizontalAdvance(l->text()) + l->margin() * 2, l->height());
}

bool isAscii(const QString& s)
{
    for (QChar c : s)
        if (c.unicode() >= 0x80)
            return false;
    return true;
}

} // namespace

// ---- run-time texts -----------------------------------------------------------------

void TForm1::ApplyLanguageToRuntimeTexts()
{
    // The phone grid's titles, the examples of output control (hint and memo), the outputs'
    // time format and the texts of outputs 2..4.
    ApplyOutputsRuntimeTexts();

    if (Label91)
        Label91->setText(timeFormat());
    ShowTemplateName(templateName_);
    ApplyCIDTranslations(CIDDescriptions, ::GetLangText, LangFromUnicode);

    // Inputs 2..6 take the texts of input 1.
    if (ComboBox5) {
        for (int i = 1; i < InputCount; ++i) {
            for (const LabelRow& role : kInputCaptionLabels)
                (this->*role[i])->setText((this->*role[0])->text());
            (this->*kRestoreBoxes[i])->setText((this->*kRestoreBoxes[0])->text());
            QLabel* mark = this->*kExclamationLabels[i];
            mark->setText((this->*kExclamationLabels[0])->text());
            ctl::SetHint(mark, ctl::Hint(this->*kExclamationLabels[0]));
            for (const LabelRow* role : {&kEventIdLabels, &kGroupLabels, &kZoneLabels})
                (this->*(*role)[i])->setText((this->*(*role)[0])->text());
            QCheckBox* box = this->*k24HBoxes[i];
            box->setText((this->*k24HBoxes[0])->text());
            ctl::SetHint(box, ctl::Hint(this->*k24HBoxes[0]));
            ctl::SetShowHint(box, ctl::ShowHint(this->*k24HBoxes[0]));
        }
    }
    if (OutputNameLabel[0] && OutputNameEdit[0]) {
        moveLeft(OutputNameEdit[0], right(OutputNameLabel[0]) + 5);
        for (int i = 1; i < OutputCount; ++i)
            moveLeft(OutputNameEdit[i], OutputNameEdit[0]->x());
    }

    ApplyOutputCaptions(ModelVeq3);
    FillChoiceLists(false);
    if (TntLabel9)
        ctl::SetShowHint(TntLabel9, true);

    // The wizard: header titles and subtitles, the step labels, the buttons.
    for (int n = 1; n <= 9; ++n) {
        if (WPage[n]) {
            WPage[n]->Header()->Title()->SetText(LangMessage(kWizardTexts[n - 1][0]));
            WPage[n]->Header()->Subtitle()->SetText(LangMessage(kWizardTexts[n - 1][1]));
        }
        if (QLabel* step = Step[n - 1])
            step->setText(LangMessage(kWizardTexts[n - 1][0]));
    }
    ShowSummarySubtitle();
    if (wzrd1) {
        wzrd1->ButtonNext()->SetCaption(LangMessage(71));
        wzrd1->ButtonBack()->SetCaption(LangMessage(72));
        wzrd1->ButtonCancel()->SetCaption(LangMessage(73));
    }
    if (auto* back = ctl::Find<QPushButton>(this, QStringLiteral("TntButton32")))
        back->setText(LangMessage(72));

    if (VStringTree1) {
        ctl::SetHint(VStringTree1, LangMessage(103));
        ctl::SetShowHint(VStringTree1, !LangMessage(103).isEmpty());
    }
    if (TntLabel59 && TntRadioButton10)
        TntLabel59->setText(TntRadioButton10->text());
    if (TntMemo2)
        ShowModeDescription();
}

void TForm1::ShowTemplateName(const QString& name)
{
    templateName_ = name;
    if (!TntLabel4)
        return;
    const QString none = LangMessage(kNoTemplateMessage);
    TntLabel4->setText(!name.isEmpty() ? name : none.isEmpty() ? QStringLiteral("None") : none);
}

void TForm1::BackslashToLineBreaks(const QString& s, QString& out)
{
    QString rest = s;
    QString part;
    SplitAtW(rest, QStringLiteral("\\"), part); // the title goes
    out.clear();
    bool first = true;
    while (!rest.isEmpty()) {
        SplitAtW(rest, QStringLiteral("\\"), part);
        if (!first)
            out += QStringLiteral("\n\r");
        out += part;
        first = false;
    }
}

void TForm1::FirstBackslashPart(const QString& s, QString& out)
{
    QString rest = s;
    SplitAtW(rest, QStringLiteral("\\"), out);
}

// ---- choice lists ----------------------------------------------------------------------

void TForm1::FillChoiceLists(bool reset)
{
    FillInputLists(reset);
    FillOutputFunctionCombos(reset);
    RefreshOutputRows();
}

QList<int> TForm1::SaveComboIndexes() const
{
    QList<int> indexes;
    for (int n : kChoiceLists) {
        const auto* c = ctl::Find<QComboBox>(this, QStringLiteral("Combobox%1").arg(n));
        indexes.append(c ? c->currentIndex() : -1);
    }
    return indexes;
}

void TForm1::RestoreComboIndexes(const QList<int>& indexes)
{
    for (int k = 0; k < int(std::size(kChoiceLists)) && k < indexes.size(); ++k) {
        if (auto* c = ctl::Find<QComboBox>(this, QStringLiteral("Combobox%1").arg(kChoiceLists[k])))
            c->setCurrentIndex(indexes[k] < c->count() ? indexes[k] : -1);
    }
    RefreshInputFunctions();
    RefreshOutputRows();
}

// ---- layout ---------------------------------------------------------------------------

void TForm1::ArrangeTranslatedControls()
{
    // A box is as wide as its caption and its check mark (the mark's room is the style's).
    auto fit = [](QWidget* w) {
        if (w)
            w->resize(ctl::CaptionBoxWidth(w), w->height());
    };
    auto after = [](QWidget* anchor, QWidget* w, int gap) {
        if (anchor && w)
            moveLeft(w, right(anchor) + gap);
    };

    fit(TntCheckBox24);
    fit(TntCheckBox27);
    after(TntCheckBox24, TntCheckBox27, 5);
    fit(TntCheckBox9);
    after(TntCheckBox9, se1, 5);
    after(se1, Label40, 5);
    fit(TntCheckBox38);
    after(TntCheckBox38, TntLabel44, 5);
    // The key boxes stand last on their line, after the key and its label: only their
    // width follows the caption.
    fit(TntCheckBox42);
    fit(TntCheckBox43);
    fit(TntCheckBox13);
    after(TntCheckBox13, SpinEdit3, 5);
    after(SpinEdit3, Label46, 5);
    fit(TntCheckBox33);
    after(TntCheckBox33, TntEdit4, 5);
    fit(TntCheckBox28);
    after(TntCheckBox28, TntEdit1, 5);
    fitLabel(Label127);
    after(Label127, SpinEdit40, 5);
    // The step column takes the heights of the new captions.
    StackStepLabels();
    // The log button of the status bar keeps its designed width unless its caption needs
    // more room, clear of its frame; its panel then grows with it.
    if (TntButton5 && PanelStatusBar1) {
        constexpr int kLogPanel = 2, kLogPanelWidth = 95, kLogButtonWidth = 91, kFrameAndClearance = 12;
        const int width = std::max(kLogButtonWidth,
                                   TntButton5->fontMetrics().horizontalAdvance(TntButton5->text()) + kFrameAndClearance);
        TntButton5->resize(width, TntButton5->height());
        PanelStatusBar1->setPanelWidth(kLogPanel, kLogPanelWidth + width - kLogButtonWidth);
    }
    for (int i = 0; i < OutputCount; ++i) {
        fitLabel(OutputNameLabel[i]);
        after(OutputNameLabel[i], OutputNameEdit[i], 5);
    }
    if (!ComboBox5)
        return;
    // The Contact ID line of each input, one control after the other.
    for (int i = 0; i < InputCount; ++i) {
        QLabel* eventId = this->*kEventIdLabels[i];
        QLabel* group = this->*kGroupLabels[i];
        QLabel* zone = this->*kZoneLabels[i];
        for (QLabel* l : {eventId, group, zone})
            fitLabel(l);
        QWidget* line[] = {eventId, this->*kQualifierCombos[i], this->*kEventCodeEdits[i], group,
                           this->*kGroupSpins[i], zone, this->*kZoneSpins[i], this->*k24HBoxes[i]};
        const int gaps[] = {2, 0, 5, 2, 5, 2, 5};
        for (int k = 1; k < int(std::size(line)); ++k)
            after(line[k - 1], line[k], gaps[k - 1]);
        fit(this->*k24HBoxes[i]);
    }
}

// ---- the configuration's texts through a change of code table ------------------------

QList<TForm1::THeldText> TForm1::HoldConfigurationTexts() const
{
    // Texts of plain ASCII read the same through every code table: only the others are
    // held. In-place editors of lists and the edits inside spin boxes and combo boxes hold
    // nothing of their own. Texts the module keeps in its own character set are held as
    // its bytes already (the SMS text edits and the name tables): the new language shows
    // them as it decodes those bytes.
    QList<THeldText> held;
    auto nameGrid = [this](const QTableWidget* g) {
        for (int b = 0; b < ItemNameGroupCount; ++b)
            if (NameGrid(b) == g)
                return true;
        return false;
    };
    auto inside = [](const QWidget* w) {
        for (const QWidget* p = w->parentWidget(); p; p = p->parentWidget())
            if (qobject_cast<const QAbstractSpinBox*>(p) || qobject_cast<const QComboBox*>(p) ||
                qobject_cast<const QAbstractItemView*>(p))
                return true;
        return false;
    };
    for (QLineEdit* e : findChildren<QLineEdit*>())
        if (!inside(e) && !ModuleText::Holds(e) && !isAscii(e->text()))
            held.append({e, -1, -1, LangFromUnicode(e->text())});
    for (QPlainTextEdit* m : findChildren<QPlainTextEdit*>())
        if (!m->isReadOnly() && !isAscii(m->toPlainText()))
            held.append({m, -1, -1, LangFromUnicode(m->toPlainText())});
    for (QTableWidget* g : findChildren<QTableWidget*>())
        for (int r = 0; r < g->rowCount() && !nameGrid(g); ++r)
            for (int c = 0; c < g->columnCount(); ++c)
                if (const QTableWidgetItem* it = g->item(r, c); it && !isAscii(it->text()))
                    held.append({g, r, c, LangFromUnicode(it->text())});
    return held;
}

void TForm1::ShowHeldTexts(const QList<THeldText>& texts)
{
    for (const THeldText& t : texts) {
        const QString shown = LangToUnicode(t.Text);
        if (auto* e = qobject_cast<QLineEdit*>(t.Control.data()))
            e->setText(shown);
        else if (auto* m = qobject_cast<QPlainTextEdit*>(t.Control.data()))
            m->setPlainText(shown);
        else if (auto* g = qobject_cast<QTableWidget*>(t.Control.data()); g && g->item(t.Row, t.Column))
            g->item(t.Row, t.Column)->setText(shown);
    }
    // The module's texts as the new language decodes their bytes; the names' row labels
    // in its words.
    for (QLineEdit* e : findChildren<QLineEdit*>())
        if (ModuleText::Holds(e))
            ModuleText::Show(e);
    FillNameGrids();
}

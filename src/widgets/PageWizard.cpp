#include "widgets/PageWizard.h"

#include <QDialog>
#include <QEvent>
#include <QFontMetrics>
#include <QIcon>
#include <QImage>
#include <QKeyEvent>
#include <QPainter>
#include <QPolygon>

using namespace pagewizard;
using BK = TPageWizardButtonKind;

namespace {

const TPageWizardButtonSet kDefaultVisible = {BK::bkBack, BK::bkNext, BK::bkCancel};

// A control can take the focus when it and its window are shown and it is enabled.
bool CanTakeFocus(const QWidget* w)
{
    return w && w->isVisible() && w->isEnabled() && w->window()->isVisible();
}

// The first control inside Page that takes the focus by Tab, in tab order.
void FocusFirstChild(QWidget* page)
{
    QWidget* w = page->nextInFocusChain();
    for (int guard = 0; w && w != page && guard < 100000; ++guard) {
        if (page->isAncestorOf(w) && (w->focusPolicy() & Qt::TabFocus) && CanTakeFocus(w)) {
            w->setFocus(Qt::TabFocusReason);
            return;
        }
        w = w->nextInFocusChain();
    }
}

QRect Shrunk(const QRect& r, int d)
{
    return MakeRect(r.left() + d, r.top() + d, RectRight(r) - d, RectBottom(r) - d);
}

} // namespace

// ---- image list ------------------------------------------------------------------------

TPageWizardImageList::TPageWizardImageList(int Width, int Height, QObject* parent)
    : QObject(parent), FWidth(Width), FHeight(Height)
{
}

int TPageWizardImageList::Add(const QPixmap& Image)
{
    FImages.append(Image.scaled(FWidth, FHeight));
    emit Changed();
    return Count() - 1;
}

void TPageWizardImageList::Clear()
{
    FImages.clear();
    emit Changed();
}

void TPageWizardImageList::Draw(QPainter& Canvas, int X, int Y, int Index, bool Enabled) const
{
    if (Index < 0 || Index >= Count())
        return;
    if (Enabled) {
        Canvas.drawPixmap(X, Y, FImages[Index]);
    } else {
        const QIcon icon(FImages[Index]);
        Canvas.drawPixmap(X, Y, icon.pixmap(FImages[Index].size(), QIcon::Disabled));
    }
}

// ---- page parts ------------------------------------------------------------------------

void TPageWizardGraphicObject::SetColor(colors::TColor Value)
{
    if (Value == FColor)
        return;
    FColor = Value;
    ColorChanged();
}

void TPageWizardGraphicObject::SetVisible(bool Value)
{
    if (Value == FVisible)
        return;
    FVisible = Value;
    VisibleChanged();
}

TPageWizardPageTitle::TPageWizardPageTitle(TPageWizardPageHeader* Header) : FHeader(Header)
{
    FColor = clNone;
}

void TPageWizardPageTitle::SetText(const QString& Value)
{
    if (Value == FText)
        return;
    FText = Value;
    Changed();
}

void TPageWizardPageTitle::SetAlignment(TAlignment Value)
{
    if (Value == FAlignment)
        return;
    FAlignment = Value;
    Changed();
}

void TPageWizardPageTitle::SetAnchorPlacement(int Value)
{
    if (Value == FAnchorPlacement)
        return;
    FAnchorPlacement = Value;
    Changed();
}

void TPageWizardPageTitle::SetAnchors(unsigned Value)
{
    if (Value == FAnchors)
        return;
    FAnchors = Value;
    Changed();
}

void TPageWizardPageTitle::SetIndent(int Value)
{
    if (Value == FIndent)
        return;
    FIndent = Value;
    Changed();
}

void TPageWizardPageTitle::SetFont(const QFont& Value)
{
    if (FHeader && FHeader->ParentFont())
        return;
    if (Value == FFont)
        return;
    FFont = Value;
    Changed();
}

void TPageWizardPageTitle::Changed()
{
    if (FHeader)
        FHeader->TitleChanged();
}

void TPageWizardPageTitle::GetTextRect(QPainter& Canvas, const QRect& ARect, QRect& TextRect)
{
    Q_UNUSED(Canvas);
    const QFontMetrics fm(FFont);
    const int areaRight = RectRight(ARect), areaBottom = RectBottom(ARect);
    int l = ARect.left(), t = ARect.top();
    int r = l + fm.horizontalAdvance(FText), b = t + fm.height();
    if (FAnchors & akLeft) {
        l += FAnchorPlacement;
        r += FAnchorPlacement;
    }
    if (FAnchors & akTop) {
        t += FAnchorPlacement;
        b += FAnchorPlacement;
    }
    if (FAnchors & akRight)
        r = areaRight - FAnchorPlacement;
    if (FAnchors & akBottom)
        b = areaBottom - FAnchorPlacement;
    l += FIndent;
    r -= FIndent;
    if (r > areaRight)
        r = areaRight;
    if (b > areaBottom)
        b = areaBottom;
    TextRect = MakeRect(l, t, r, b);
}

Qt::Alignment TPageWizardPageTitle::TextAlignment() const
{
    // Right-justified text aligns right and centred text centres.
    switch (FAlignment) {
    case TAlignment::taRightJustify: return Qt::AlignRight;
    case TAlignment::taCenter: return Qt::AlignHCenter;
    default: return Qt::AlignLeft;
    }
}

void TPageWizardPageTitle::Paint(QPainter& Canvas, QRect& Rect)
{
    if (!FVisible)
        return;
    QRect tr;
    GetTextRect(Canvas, Rect, tr);
    if (FColor != clNone)
        Canvas.fillRect(tr, colors::ToQColor(FColor));
    Canvas.save();
    Canvas.setFont(FFont);
    Canvas.setPen(colors::ToQColor(colors::clWindowText));
    if (tr.width() > 0 && tr.height() > 0)
        Canvas.drawText(tr, Qt::TextWordWrap | Qt::AlignTop | TextAlignment(), FText);
    Canvas.restore();
    Rect = MakeRect(Rect.left(), RectBottom(tr), RectRight(Rect), RectBottom(Rect));
}

void TPageWizardPageObject::Changed()
{
    if (FPage && !FPage->isLoading())
        FPage->update();
}

TPageWizardPageHeader::TPageWizardPageHeader(TPageWizardCustomPage* Page) : TPageWizardPageObject(Page)
{
    FColor = colors::clWindow;
    FTitle = std::make_unique<TPageWizardPageTitle>(this);
    FTitle->FText = QStringLiteral("Title");
    FTitle->FAnchors = TPageWizardPageTitle::akLeft | TPageWizardPageTitle::akTop | TPageWizardPageTitle::akRight;
    FTitle->FFont.setPointSize(12);
    FTitle->FFont.setBold(true);
    FSubtitle = std::make_unique<TPageWizardPageTitle>(this);
    FSubtitle->FText = QStringLiteral("Subtitle");
    FSubtitle->FAnchors = TPageWizardPageTitle::akLeft | TPageWizardPageTitle::akTop |
                          TPageWizardPageTitle::akRight | TPageWizardPageTitle::akBottom;
}

TPageWizardPageHeader::~TPageWizardPageHeader() = default;

void TPageWizardPageHeader::SetHeight(int Value)
{
    if (Value == FHeight)
        return;
    FHeight = Value;
    // The page's client area follows the header, so its content re-aligns at once.
    if (FPage)
        FPage->Realign();
    Changed();
}

void TPageWizardPageHeader::SetParentFont(bool Value)
{
    if (Value == FParentFont)
        return;
    FParentFont = Value;
    PageFontChanged();
    Changed();
}

void TPageWizardPageHeader::SetImageIndex(int Value)
{
    if (Value == FImageIndex)
        return;
    FImageIndex = Value;
    Changed();
}

void TPageWizardPageHeader::SetImageOffset(int Value)
{
    if (Value == FImageOffset)
        return;
    FImageOffset = Value;
    Changed();
}

void TPageWizardPageHeader::SetImageAlignment(TKImageLeftRight Value)
{
    if (Value == FImageAlignment)
        return;
    FImageAlignment = Value;
    Changed();
}

void TPageWizardPageHeader::SetShowDivider(bool Value)
{
    if (Value == FShowDivider)
        return;
    FShowDivider = Value;
    Changed();
}

void TPageWizardPageHeader::VisibleChanged()
{
    if (FPage)
        FPage->Realign();
    Changed();
}

void TPageWizardPageHeader::AttachToPage()
{
    FTitle->FHeader = this;
    FSubtitle->FHeader = this;
    PageFontChanged();
}

void TPageWizardPageHeader::PageFontChanged()
{
    if (!FParentFont || !FPage)
        return;
    const QString family = FPage->font().family();
    FTitle->FFont.setFamily(family);
    FSubtitle->FFont.setFamily(family);
}

void TPageWizardPageHeader::GetImageRect(const TPageWizardImageList* ImageList, QRect& Rect, QRect& ImageRect)
{
    const int iw = ImageList ? ImageList->Width() : 0;
    const int ih = ImageList ? ImageList->Height() : 0;
    int x = Rect.left();
    const int y = Rect.top() + (Rect.height() - ih) / 2;
    if (FImageAlignment == TKImageAlignment::iaRight)
        x += Rect.width() - iw - 4;
    x += FImageOffset;
    ImageRect = QRect(x, y, iw, ih);
    if (FImageAlignment == TKImageAlignment::iaRight) {
        if (RectRight(Rect) > ImageRect.left())
            Rect = MakeRect(Rect.left(), Rect.top(), ImageRect.left(), RectBottom(Rect));
    } else if (Rect.left() < RectRight(ImageRect)) {
        Rect = MakeRect(RectRight(ImageRect), Rect.top(), RectRight(Rect), RectBottom(Rect));
    }
}

void TPageWizardPageHeader::Paint(QPainter& Canvas, QRect& Rect)
{
    if (!FVisible)
        return;
    const QRect header = MakeRect(Rect.left(), Rect.top(), RectRight(Rect), Rect.top() + FHeight);
    if (FColor != clNone)
        Canvas.fillRect(header, colors::ToQColor(FColor));
    if (FShowDivider) {
        QRect inner;
        DrawBevelFrame(Canvas, header, 3, inner, sdBottom);
    }
    QRect area = header;
    const TPageWizard* wizard = FPage ? FPage->Wizard() : nullptr;
    const TPageWizardImageList* images = wizard ? wizard->HeaderImages() : nullptr;
    if (images && FImageIndex >= 0 && images->Count() > FImageIndex) {
        QRect imageRect;
        GetImageRect(images, area, imageRect);
        images->Draw(Canvas, imageRect.left(), imageRect.top(), FImageIndex, true);
    }
    FTitle->Paint(Canvas, area);
    FSubtitle->Paint(Canvas, area);
    Rect = MakeRect(Rect.left(), Rect.top() + FHeight, RectRight(Rect), RectBottom(Rect));
}

void TPageWizardImage::SetPicture(const QPixmap& Value)
{
    FPicture = Value;
    Change();
}

void TPageWizardImage::SetAlignment(TKImageAlignment Value)
{
    if (Value == FAlignment)
        return;
    FAlignment = Value;
    Change();
}

void TPageWizardImage::SetLayout(TKImageLayout Value)
{
    if (Value == FLayout)
        return;
    FLayout = Value;
    Change();
}

void TPageWizardImage::SetTransparent(bool Value)
{
    if (FPicture.isNull() || Value == FTransparent)
        return;
    FTransparent = Value;
    Change();
}

TPageWizardWaterMark::TPageWizardWaterMark(TPageWizardCustomPage* Page)
    : TPageWizardPageObject(Page), FImage([this] { Changed(); })
{
    FColor = clActiveCaption;
}

void TPageWizardWaterMark::SetAlign(TPageWizardLeftRight Value)
{
    if (Value == FAlign)
        return;
    FAlign = Value;
    if (FPage)
        FPage->Realign();
    Changed();
}

void TPageWizardWaterMark::SetWidth(int Value)
{
    if (Value == FWidth)
        return;
    FWidth = Value;
    if (FPage)
        FPage->Realign();
    Changed();
}

void TPageWizardWaterMark::SetBorderWidth(int Value)
{
    if (Value == FBorderWidth)
        return;
    FBorderWidth = Value;
    Changed();
}

void TPageWizardWaterMark::VisibleChanged()
{
    if (FPage)
        FPage->Realign();
    Changed();
}

void TPageWizardWaterMark::Paint(QPainter& Canvas, QRect& Rect)
{
    if (!FVisible)
        return;
    QRect strip;
    if (FAlign == TPageWizardLeftRight::alLeft) {
        strip = MakeRect(Rect.left(), Rect.top(), Rect.left() + FWidth, RectBottom(Rect));
        Rect = MakeRect(Rect.left() + FWidth, Rect.top(), RectRight(Rect), RectBottom(Rect));
    } else {
        strip = MakeRect(RectRight(Rect) - FWidth, Rect.top(), RectRight(Rect), RectBottom(Rect));
        Rect = MakeRect(Rect.left(), Rect.top(), RectRight(Rect) - FWidth, RectBottom(Rect));
    }
    strip = Shrunk(strip, FBorderWidth);
    if (FColor != clNone && strip.width() > 0 && strip.height() > 0)
        Canvas.fillRect(strip, colors::ToQColor(FColor));
    DrawAlignedImage(Canvas, FImage.Picture(), strip, FImage.Layout(), FImage.Alignment(), FImage.Transparent());
}

TPageWizardPagePanel::TPageWizardPagePanel(TPageWizardCustomPage* Page) : TPageWizardPageObject(Page)
{
    FColor = colors::clBtnFace;
    FVisible = false;
}

void TPageWizardPagePanel::SetBorderWidth(std::int16_t Value)
{
    if (Value == FBorderWidth)
        return;
    FBorderWidth = Value;
    Changed();
}

void TPageWizardPagePanel::Paint(QPainter& Canvas, QRect& Rect)
{
    if (!FVisible)
        return;
    if (FBorderWidth > 0) {
        Rect = Shrunk(Rect, FBorderWidth);
        QRect inner;
        DrawBevelFrame(Canvas, Rect, 3, inner, sdAll);
    }
    if (FColor != clNone) {
        Rect = Shrunk(Rect, 2);
        if (Rect.width() > 0 && Rect.height() > 0)
            Canvas.fillRect(Rect, colors::ToQColor(FColor));
    }
}

// ---- pages -----------------------------------------------------------------------------

TPageWizardCustomPage::TPageWizardCustomPage(TPageWizard* Wizard) : QWidget(Wizard)
{
    FHeader = std::make_unique<TPageWizardPageHeader>(this);
    FPanel = std::make_unique<TPageWizardPagePanel>(this);
    FImage = std::make_unique<TPageWizardImage>([this] {
        if (!FLoading)
            update();
    });
    setAttribute(Qt::WA_OpaquePaintEvent);
    hide();
    FHeader->AttachToPage();
    FPanel->AttachToPage();
    if (Wizard)
        SetWizard(Wizard);
    Realign();
}

TPageWizardCustomPage::~TPageWizardCustomPage()
{
    LeaveWizardForGood();
}

void TPageWizardCustomPage::LeaveWizardForGood()
{
    // A page being destroyed leaves its wizard first, so the wizard never keeps it as
    // its active page; it raises no events of its own on the way out.
    FDestroying = true;
    if (FWizard)
        FWizard->RemovePage(this);
}

void TPageWizardCustomPage::SetWizard(TPageWizard* Wizard)
{
    if (Wizard == FWizard)
        return;
    if (FWizard)
        FWizard->RemovePage(this);
    if (Wizard) {
        if (parentWidget() != Wizard)
            setParent(Wizard);
        Wizard->InsertPage(this);
    } else {
        hide();
    }
}

int TPageWizardCustomPage::GetPageIndex() const
{
    return FWizard ? FWizard->Pages().IndexOf(this) : -1;
}

void TPageWizardCustomPage::SetEnabledButtons(TPageWizardButtonSet Value)
{
    if (Value == FEnabledButtons)
        return;
    FEnabledButtons = Value;
    if (FWizard && FWizard->ActivePage() == this)
        FWizard->UpdateButtons();
}

void TPageWizardCustomPage::SetVisibleButtons(TPageWizardButtonSet Value)
{
    if (Value == FVisibleButtons)
        return;
    FVisibleButtons = Value;
    if (FWizard && FWizard->ActivePage() == this) {
        FWizard->SetButtonBarHeight(Value.Empty() ? 0 : 42);
        update();
    }
}

void TPageWizardCustomPage::SetColor(colors::TColor Value)
{
    if (Value == FColor)
        return;
    FColor = Value;
    if (!FLoading)
        update();
}

void TPageWizardCustomPage::loaded()
{
    FLoading = false;
    Realign();
    update();
}

QMargins TPageWizardCustomPage::ClientMargins() const
{
    return QMargins(0, FHeader && FHeader->Visible() ? FHeader->Height() : 0, 0, 0);
}

void TPageWizardCustomPage::Realign()
{
    if (FLoading || FDestroying)
        return;
    const QMargins m = ClientMargins();
    if (m != contentsMargins())
        setContentsMargins(m);
}

void TPageWizardCustomPage::DrawPage(QPainter&, QRect&)
{
}

void TPageWizardCustomPage::EnterPage(TPageWizardCustomPage* FromPage)
{
    if (OnEnterPage && IsPageEnabled())
        OnEnterPage(this, FromPage);
}

void TPageWizardCustomPage::DoPage()
{
    repaint();
    if (OnPage && IsPageEnabled())
        OnPage(this);
}

void TPageWizardCustomPage::ExitPage(TPageWizardCustomPage* ToPage)
{
    if (OnExitPage && IsPageEnabled())
        OnExitPage(this, ToPage);
}

void TPageWizardCustomPage::paintEvent(QPaintEvent*)
{
    if (FPainting)
        return;
    FPainting = true;
    try {
        QPainter p(this);
        QRect r = rect();
        if (FColor != clNone)
            p.fillRect(r, colors::ToQColor(FColor));
        DrawPage(p, r);
        if (!OnPaintPage) {
            DrawAlignedImage(p, FImage->Picture(), r, FImage->Layout(), FImage->Alignment(), FImage->Transparent());
            FPanel->Paint(p, r);
        } else {
            OnPaintPage(this, p, r);
        }
    } catch (...) {
    }
    FPainting = false;
}

void TPageWizardCustomPage::changeEvent(QEvent* event)
{
    try {
        switch (event->type()) {
        case QEvent::EnabledChange:
            update();
            if (FWizard && FWizard->ActivePage() == this && !IsPageEnabled())
                FWizard->ActivePageDisabled(this);
            break;
        case QEvent::FontChange:
            if (FHeader)
                FHeader->PageFontChanged();
            update();
            break;
        default:
            break;
        }
    } catch (...) {
    }
    QWidget::changeEvent(event);
}

TPageWizardWelcomePage::TPageWizardWelcomePage(TPageWizard* Wizard) : TPageWizardCustomPage(Wizard)
{
    FWaterMark = std::make_unique<TPageWizardWaterMark>(this);
    FWaterMark->AttachToPage();
    Header()->Title()->FText = QStringLiteral("Welcome");
    Header()->FShowDivider = false;
    SetColor(colors::clWindow);
    Realign();
}

TPageWizardWelcomePage::~TPageWizardWelcomePage()
{
    // Leave the wizard while the watermark still exists.
    LeaveWizardForGood();
}

QMargins TPageWizardWelcomePage::ClientMargins() const
{
    QMargins m = TPageWizardCustomPage::ClientMargins();
    if (FWaterMark && FWaterMark->Visible()) {
        if (FWaterMark->Align() == TPageWizardLeftRight::alLeft)
            m.setLeft(FWaterMark->Width());
        else
            m.setRight(FWaterMark->Width());
    }
    return m;
}

void TPageWizardWelcomePage::DrawPage(QPainter& Canvas, QRect& Rect)
{
    FWaterMark->Paint(Canvas, Rect);
    Header()->Paint(Canvas, Rect);
}

// ---- page list -------------------------------------------------------------------------

TPageWizardPageList::~TPageWizardPageList()
{
    FWizard = nullptr;
    for (TPageWizardCustomPage* p : FItems)
        p->FWizard = nullptr;
}

int TPageWizardPageList::IndexOf(const TPageWizardCustomPage* Page) const
{
    for (int i = 0; i < FItems.size(); ++i)
        if (FItems[i] == Page)
            return i;
    return -1;
}

void TPageWizardPageList::Add(TPageWizardCustomPage* Page)
{
    FItems.append(Page);
    Page->FWizard = FWizard;
}

void TPageWizardPageList::Delete(int Index)
{
    TPageWizardCustomPage* p = FItems.takeAt(Index);
    p->FWizard = nullptr;
}

// ---- buttons ---------------------------------------------------------------------------

TPageWizardButtonControl::TPageWizardButtonControl(TPageWizard* Owner) : QPushButton(Owner)
{
    resize(75, 25);
    // The Default flag is our own; a dialog must not move it with the focus.
    setAutoDefault(false);
    connect(this, &QPushButton::clicked, this, [this] {
        try {
            Click();
        } catch (...) {
        }
    });
}

void TPageWizardButtonControl::setVisible(bool visible)
{
    const bool was = !isHidden();
    QPushButton::setVisible(visible);
    if (was != !isHidden() && FWizard)
        FWizard->LayoutButtons();
}

void TPageWizardButtonControl::SetDefault(bool Value)
{
    FDefault = Value;
    setDefault(Value); // the look of a default button
}

void TPageWizardButtonControl::SetGlyph(const QPixmap& Value)
{
    FGlyph = Value;
    UpdateIcon();
}

void TPageWizardButtonControl::SetLayout(TGlyphLayout Value)
{
    FLayout = Value;
    setLayoutDirection(Value == TGlyphLayout::blGlyphRight ? Qt::RightToLeft : Qt::LeftToRight);
}

void TPageWizardButtonControl::SetNumGlyphs(int Value)
{
    FNumGlyphs = Value;
    UpdateIcon();
}

void TPageWizardButtonControl::UpdateIcon()
{
    if (FGlyph.isNull()) {
        setIcon(QIcon());
        return;
    }
    const int n = std::max(1, NumGlyphs());
    const int w = std::max(1, FGlyph.width() / n), h = FGlyph.height();
    QIcon icon;
    icon.addPixmap(FGlyph.copy(0, 0, w, h), QIcon::Normal);
    if (n >= 2)
        icon.addPixmap(FGlyph.copy(w, 0, w, h), QIcon::Disabled);
    setIcon(icon);
    setIconSize(QSize(w, h));
}

QPixmap TPageWizardButtonControl::StandardGlyph(TPageWizardButtonKind Kind)
{
    QImage img(16, 16, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setPen(Qt::NoPen);
    const QColor arrow(0x20, 0x60, 0xB0);
    auto triangle = [&](std::initializer_list<QPoint> pts) {
        p.setBrush(arrow);
        p.drawPolygon(QPolygon(QList<QPoint>(pts)));
    };
    switch (Kind) {
    case BK::bkBack:
        triangle({{11, 2}, {11, 13}, {4, 8}});
        break;
    case BK::bkNext:
        triangle({{4, 2}, {4, 13}, {11, 8}});
        break;
    case BK::bkStart:
        p.fillRect(3, 2, 2, 12, arrow);
        triangle({{12, 2}, {12, 13}, {6, 8}});
        break;
    case BK::bkLast:
        p.fillRect(11, 2, 2, 12, arrow);
        triangle({{3, 2}, {3, 13}, {9, 8}});
        break;
    case BK::bkCancel: {
        QPen pen(QColor(0xC0, 0x20, 0x20), 2.5);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(pen);
        p.drawLine(4, 4, 12, 12);
        p.drawLine(12, 4, 4, 12);
        break;
    }
    case BK::bkFinish: {
        QPen pen(QColor(0x20, 0x90, 0x30), 2.5);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(pen);
        p.drawPolyline(QPolygon(QList<QPoint>{{3, 8}, {7, 12}, {13, 4}}));
        break;
    }
    case BK::bkHelp: {
        p.setBrush(arrow);
        p.setRenderHint(QPainter::Antialiasing);
        p.drawEllipse(2, 2, 12, 12);
        p.setBrush(Qt::white);
        p.drawEllipse(7, 10, 2, 2);
        p.fillRect(7, 5, 2, 4, Qt::white);
        break;
    }
    }
    p.end();
    return QPixmap::fromImage(img);
}

bool TPageWizardButtonControl::PageStopped(TPageWizardPageClickEvent TPageWizardCustomPage::*Event)
{
    bool Stop = false;
    TPageWizardCustomPage* page = FWizard ? FWizard->ActivePage() : nullptr;
    if (page && page->*Event)
        (page->*Event)(page, Stop);
    return Stop;
}

void TPageWizardButtonControl::Click()
{
    QPointer<TPageWizardButtonControl> self(this);
    if (OnClick)
        OnClick(this);
    if (!self)
        return;
    // A modal dialog that holds the wizard ends with the button's modal result.
    if (FModalResult != 0)
        if (auto* dlg = qobject_cast<QDialog*>(window()); dlg && dlg->isModal() && dlg->isVisible())
            dlg->done(FModalResult);
}

TPageWizardStartButton::TPageWizardStartButton(TPageWizard* Owner) : TPageWizardButtonControl(Owner)
{
    setText(QStringLiteral("To &Start Page"));
    resize(85, 25);
    setVisible(false);
    FSide = TSide::sdLeftGroup;
}

void TPageWizardStartButton::Click()
{
    QPointer<TPageWizard> wizard = FWizard;
    if (wizard && PageStopped(&TPageWizardCustomPage::OnStartButtonClick))
        return;
    TPageWizardButtonControl::Click();
    if (wizard)
        wizard->SelectFirstPage();
}

TPageWizardLastButton::TPageWizardLastButton(TPageWizard* Owner) : TPageWizardButtonControl(Owner)
{
    setText(QStringLiteral("To &Last Page"));
    resize(85, 25);
    setVisible(false);
    FSide = TSide::sdLeftGroup;
}

void TPageWizardLastButton::Click()
{
    QPointer<TPageWizard> wizard = FWizard;
    if (wizard && PageStopped(&TPageWizardCustomPage::OnLastButtonClick))
        return;
    TPageWizardButtonControl::Click();
    if (wizard)
        wizard->SelectLastPage();
}

TPageWizardBackButton::TPageWizardBackButton(TPageWizard* Owner) : TPageWizardButtonControl(Owner)
{
    setText(QStringLiteral("< &Back"));
    resize(75, 25);
    setEnabled(false);
}

void TPageWizardBackButton::Click()
{
    QPointer<TPageWizard> wizard = FWizard;
    if (wizard && PageStopped(&TPageWizardCustomPage::OnBackButtonClick))
        return;
    TPageWizardButtonControl::Click();
    if (wizard)
        wizard->SelectPriorPage();
}

TPageWizardNextButton::TPageWizardNextButton(TPageWizard* Owner) : TPageWizardButtonControl(Owner)
{
    setText(QStringLiteral("&Next >"));
    resize(75, 25);
    setEnabled(false);
}

void TPageWizardNextButton::Click()
{
    QPointer<TPageWizard> wizard = FWizard;
    if (wizard && PageStopped(&TPageWizardCustomPage::OnNextButtonClick))
        return;
    TPageWizardButtonControl::Click();
    if (wizard)
        wizard->SelectNextPage();
}

TPageWizardFinishButton::TPageWizardFinishButton(TPageWizard* Owner) : TPageWizardButtonControl(Owner)
{
    setText(QStringLiteral("&Finish"));
    resize(75, 25);
    setVisible(false);
}

void TPageWizardFinishButton::Click()
{
    if (FWizard && PageStopped(&TPageWizardCustomPage::OnFinishButtonClick))
        return;
    TPageWizardButtonControl::Click();
}

TPageWizardCancelButton::TPageWizardCancelButton(TPageWizard* Owner) : TPageWizardButtonControl(Owner)
{
    setText(QStringLiteral("Cancel"));
    resize(75, 25);
    SetCancel(true);
    SetModalResult(2);
}

void TPageWizardCancelButton::Click()
{
    if (FWizard && PageStopped(&TPageWizardCustomPage::OnCancelButtonClick))
        return;
    TPageWizardButtonControl::Click();
}

TPageWizardHelpButton::TPageWizardHelpButton(TPageWizard* Owner) : TPageWizardButtonControl(Owner)
{
    setText(QStringLiteral("&Help"));
    resize(75, 25);
    setVisible(false);
    FSide = TSide::sdLeftGroup;
}

void TPageWizardHelpButton::Click()
{
    int context = 0;
    if (FWizard && FWizard->ActivePage())
        context = FWizard->ActivePage()->HelpContext();
    else
        context = window()->property("HelpContext").toInt();
    if (context != 0 && TPageWizard::ContextHelp)
        TPageWizard::ContextHelp(context);
}

QString TPageWizardNavigateButton::Caption() const
{
    return FControl ? FControl->text() : QString();
}

void TPageWizardNavigateButton::SetCaption(const QString& Value)
{
    if (FControl)
        FControl->setText(Value);
}

QPixmap TPageWizardNavigateButton::Glyph() const
{
    return FControl ? FControl->Glyph() : QPixmap();
}

void TPageWizardNavigateButton::SetGlyph(const QPixmap& Value)
{
    if (FControl)
        FControl->SetGlyph(Value);
}

TPageWizardButtonControl::TGlyphLayout TPageWizardNavigateButton::Layout() const
{
    return FControl ? FControl->Layout() : TPageWizardButtonControl::TGlyphLayout::blGlyphLeft;
}

void TPageWizardNavigateButton::SetLayout(TPageWizardButtonControl::TGlyphLayout Value)
{
    if (FControl)
        FControl->SetLayout(Value);
}

int TPageWizardNavigateButton::NumGlyphs() const
{
    return FControl ? (FControl->NumGlyphs() & 0x7F) : 0;
}

void TPageWizardNavigateButton::SetNumGlyphs(int Value)
{
    if (FControl)
        FControl->SetNumGlyphs(Value);
}

int TPageWizardNavigateButton::ModalResult() const
{
    return FControl ? FControl->ModalResult() : 0;
}

void TPageWizardNavigateButton::SetModalResult(int Value)
{
    if (FControl)
        FControl->SetModalResult(Value);
}

int TPageWizardNavigateButton::Width() const
{
    return FControl ? FControl->width() : 0;
}

void TPageWizardNavigateButton::SetWidth(int Value)
{
    if (!FControl || Value == FControl->width())
        return;
    FControl->resize(Value, FControl->height());
    if (FControl->Wizard())
        FControl->Wizard()->LayoutButtons();
}

// ---- the wizard ------------------------------------------------------------------------

std::function<void(int)> TPageWizard::ContextHelp;

TPageWizard::TPageWizard(QWidget* parent) : QWidget(parent), FPages(this)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    for (int k = 0; k < kPageWizardButtonKinds; ++k) {
        TPageWizardButtonControl* c = GetButtonClass(k);
        if (c->parentWidget() != this)
            c->setParent(this);
        c->resize(c->width(), 25);
        c->SetWizard(this);
        FButtonControls[k] = c;
        FNavigateButtons[k] = std::make_unique<TPageWizardNavigateButton>(c);
    }
    FollowParent();
    LayoutButtons();
}

TPageWizard::~TPageWizard()
{
    if (FWatchedParent)
        FWatchedParent->removeEventFilter(this);
    for (auto& c : FButtonControls)
        if (c)
            c->SetWizard(nullptr);
    for (auto& n : FNavigateButtons)
        n.reset();
    FActivePage = nullptr;
    for (int i = 0; i < FPages.Count(); ++i)
        FPages[i]->FWizard = nullptr;
    disconnect(FImagesLink);
}

TPageWizardButtonControl* TPageWizard::GetButtonClass(int Kind)
{
    switch (Kind) {
    case 0: return new TPageWizardStartButton(this);
    case 1: return new TPageWizardLastButton(this);
    case 2: return new TPageWizardBackButton(this);
    case 3: return new TPageWizardNextButton(this);
    case 4: return new TPageWizardFinishButton(this);
    case 5: return new TPageWizardCancelButton(this);
    case 6: return new TPageWizardHelpButton(this);
    default: return new TPageWizardButtonControl(this);
    }
}

TPageWizardNavigateButton* TPageWizard::Button(TPageWizardButtonKind Kind) const
{
    return FNavigateButtons[static_cast<int>(Kind)].get();
}

TPageWizardButtonControl* TPageWizard::ButtonControl(TPageWizardButtonKind Kind) const
{
    return FButtonControls[static_cast<int>(Kind)].data();
}

void TPageWizard::loaded()
{
    FLoading = false;
    RealignPages();
    LayoutButtons();
    if (GetPageCount() > 0)
        SelectFirstPage();
}

int TPageWizard::GetActivePageIndex() const
{
    return FActivePage ? FPages.IndexOf(FActivePage) : -1;
}

void TPageWizard::SetActivePageIndex(int Index)
{
    SetActivePage(Index >= 0 && Index < GetPageCount() ? FPages[Index] : nullptr);
}

void TPageWizard::SetActivePage(TPageWizardCustomPage* Page)
{
    if (FLoading)
        return;
    // Membership is checked by identity first, so a stale pointer is never touched.
    if (!Page || FPages.IndexOf(Page) < 0 || Page->Wizard() != this)
        return;
    if (!Page->IsPageEnabled())
        return;
    SwitchPage(Page);
}

TPageWizardCustomPage* TPageWizard::FindNextPage(int FromIndex, int Step, bool SkipDisabled) const
{
    if (Step == 0)
        return nullptr;
    const int count = FPages.Count();
    for (int i = FromIndex + Step; i >= 0 && i < count; i += Step) {
        if (!SkipDisabled || FPages[i]->IsPageEnabled())
            return FPages[i];
    }
    return nullptr;
}

bool TPageWizard::IsFirstPage(const TPageWizardCustomPage* Page) const
{
    const TPageWizardCustomPage* first = FindNextPage(-1, +1, true);
    return !first || first == Page;
}

bool TPageWizard::IsForward(const TPageWizardCustomPage* FromPage, const TPageWizardCustomPage* ToPage) const
{
    if (FromPage && ToPage && FromPage->Wizard() != ToPage->Wizard())
        throw EPageWizard("Pages are belong to different wizard.");
    if (!FromPage)
        return true;
    if (!ToPage)
        return false;
    return FromPage->GetPageIndex() < ToPage->GetPageIndex();
}

void TPageWizard::Select(TPageWizardCustomPage* Candidate, const TPageWizardSelectPageEvent& Event)
{
    if (!Candidate)
        return;
    QPointer<TPageWizard> self(this);
    if (Event)
        Event(this, FActivePage, Candidate);
    if (self && Candidate)
        SetActivePage(Candidate);
}

void TPageWizard::SelectFirstPage()
{
    Select(FindNextPage(-1, +1, true), OnSelectFirstPage);
}

void TPageWizard::SelectLastPage()
{
    Select(FindNextPage(GetPageCount(), -1, true), OnSelectLastPage);
}

void TPageWizard::SelectNextPage()
{
    Select(FindNextPage(GetActivePageIndex(), +1, true), OnSelectNextPage);
}

void TPageWizard::SelectPriorPage()
{
    Select(FindNextPage(GetActivePageIndex(), -1, true), OnSelectPriorPage);
}

void TPageWizard::SwitchPage(TPageWizardCustomPage* NewPage)
{
    if (NewPage == FActivePage)
        return;
    QPointer<TPageWizard> self(this);
    QPointer<TPageWizardCustomPage> old = FActivePage;
    QPointer<TPageWizardCustomPage> requested = NewPage;
    const unsigned switchNo = ++FSwitchCount;
    if (old) {
        QWidget* focused = window()->focusWidget();
        if (focused && old->isAncestorOf(focused))
            old->setFocus();
        old->ExitPage(NewPage);
        // A handler that switched pages itself has finished the job.
        if (!self || FSwitchCount != switchNo)
            return;
        if (old)
            old->hide();
        if (NewPage && !requested) {
            // The page asked for was freed by the exit handler: stay where we were.
            if (old)
                old->show();
            return;
        }
    }
    if (NewPage && !NewPage->IsPageEnabled()) {
        bool forward = true;
        try {
            forward = IsForward(FActivePage, NewPage);
        } catch (...) {
        }
        NewPage = FindNextPage(GetActivePageIndex(), forward ? +1 : -1, true);
    }
    QPointer<TPageWizardCustomPage> page = NewPage;
    try {
        if (page) {
            page->EnterPage(old);
            if (!self)
                return;
            if (FSwitchCount != switchNo) {
                // An enter handler moved on to another page: only that one stays shown.
                if (page && page != FActivePage)
                    page->hide();
                return;
            }
            if (page) {
                page->raise();
                page->show();
            }
            if (self && page) {
                if (CanTakeFocus(page))
                    page->setFocus();
                else if (CanTakeFocus(this))
                    setFocus();
            }
        }
    } catch (...) {
    }
    if (!self)
        return;
    if (page)
        FActivePage = page;
    else if (!old)
        FActivePage = nullptr;
    SetButtonBarHeight(FActivePage && FActivePage->VisibleButtons().Empty() ? 0 : 42);
    if (!self)
        return;
    QPointer<TPageWizardCustomPage> active = FActivePage;
    if (active && window()->focusWidget() == active) {
        active->DoPage();
        if (active && self)
            FocusFirstChild(active);
    }
}

void TPageWizard::ClearActivePage()
{
    ++FSwitchCount;
    QPointer<TPageWizard> self(this);
    QPointer<TPageWizardCustomPage> old = FActivePage;
    if (old) {
        QWidget* focused = window()->focusWidget();
        if (focused && old->isAncestorOf(focused))
            old->setFocus();
        old->ExitPage(nullptr);
        if (!self)
            return;
        if (old)
            old->hide();
    }
    FActivePage = nullptr;
    SetButtonBarHeight(42);
}

void TPageWizard::ActivePageDisabled(TPageWizardCustomPage* Page)
{
    if (FLoading)
        return;
    const int index = Page->GetPageIndex();
    TPageWizardCustomPage* next = FindNextPage(index, +1, true);
    if (!next)
        next = FindNextPage(index, -1, true);
    if (next)
        SetActivePage(next);
    else
        ClearActivePage(); // no enabled page is left
}

void TPageWizard::InsertPage(TPageWizardCustomPage* Page)
{
    if (!Page || FPages.IndexOf(Page) >= 0)
        return;
    FPages.Add(Page);
    Page->setGeometry(PageAreaRect());
    if (Page != FActivePage)
        Page->hide();
}

void TPageWizard::RemovePage(TPageWizardCustomPage* Page)
{
    const int index = FPages.IndexOf(Page);
    if (index < 0)
        return;
    const bool wasActive = Page == FActivePage;
    TPageWizardCustomPage* next = nullptr;
    if (wasActive) {
        next = FindNextPage(index, +1, true);
        if (!next)
            next = FindNextPage(index, -1, true);
    }
    FPages.Delete(index);
    if (!wasActive)
        return;
    // The wizard never keeps a page that has left it as its active page.
    if (Page->FDestroying)
        FActivePage = nullptr;
    if (next)
        SwitchPage(next);
    else if (FActivePage)
        ClearActivePage();
    else
        SetButtonBarHeight(42);
}

void TPageWizard::SetButtonBarHeight(int Value)
{
    if (Value != FButtonBarHeight) {
        FButtonBarHeight = Value;
        RealignPages();
        LayoutButtons();
        update();
    }
    UpdateButtons();
}

void TPageWizard::SetShowDivider(bool Value)
{
    if (Value == FShowDivider)
        return;
    FShowDivider = Value;
    update();
}

void TPageWizard::SetColor(colors::TColor Value)
{
    if (Value == FColor)
        return;
    FColor = Value;
    update();
}

void TPageWizard::SetHeaderImages(TPageWizardImageList* Value)
{
    if (Value == FHeaderImages)
        return;
    disconnect(FImagesLink);
    FHeaderImages = Value;
    if (Value)
        FImagesLink = connect(Value, &TPageWizardImageList::Changed, this, [this] {
            if (FActivePage)
                FActivePage->update();
        });
    if (FActivePage)
        FActivePage->update();
}

void TPageWizard::UpdateButtons()
{
    TPageWizardButtonSet enabled = {BK::bkCancel};
    TPageWizardButtonSet visible = kDefaultVisible;
    if (FActivePage) {
        // The first enabled page never offers Back again.
        if (IsFirstPage(FActivePage))
            FActivePage->FEnabledButtons.Exclude(BK::bkBack);
        enabled = FActivePage->EnabledButtons();
        visible = FActivePage->VisibleButtons();
    }
    for (int k = 0; k < kPageWizardButtonKinds; ++k) {
        TPageWizardButtonControl* c = FButtonControls[k];
        if (!c)
            continue;
        const auto kind = static_cast<BK>(k);
        c->setVisible(visible.Contains(kind));
        c->setEnabled(enabled.Contains(kind));
    }
    if (visible.Contains(BK::bkNext) && enabled.Contains(BK::bkNext)) {
        if (auto* c = ButtonControl(BK::bkNext))
            c->SetDefault(true);
    } else if (visible.Contains(BK::bkFinish) && enabled.Contains(BK::bkFinish)) {
        if (auto* c = ButtonControl(BK::bkFinish))
            c->SetDefault(true);
    }
}

void TPageWizard::LayoutButtons()
{
    for (const auto& c : FButtonControls)
        if (!c)
            return;
    if (FButtonBarHeight <= 25) {
        for (const auto& c : FButtonControls)
            c->setGeometry(0, 0, c->width(), 0);
        return;
    }
    const QRect R = rect();
    const TPageWizardButtonSet visible = FActivePage ? FActivePage->VisibleButtons() : kDefaultVisible;
    const int Y = RectBottom(R) - FButtonBarHeight + 10;
    int X = R.left() + 8;
    auto PlaceButton = [&](BK kind, int gap) {
        if (!visible.Contains(kind))
            return;
        TPageWizardButtonControl* c = ButtonControl(kind);
        const int w = c->width();
        const bool right = c->Side() == TPageWizardButtonControl::TSide::sdRightGroup;
        if (right)
            X -= w;
        c->setGeometry(X, Y, w, 25);
        if (!right)
            X += w;
        X += gap;
    };
    PlaceButton(BK::bkHelp, 10);
    PlaceButton(BK::bkStart, 1);
    PlaceButton(BK::bkLast, 0);
    X = RectRight(R) - 8;
    if (visible.Contains(BK::bkNext) && visible.Contains(BK::bkFinish)) {
        PlaceButton(BK::bkCancel, -1);
        PlaceButton(BK::bkFinish, -10);
    } else {
        PlaceButton(BK::bkCancel, -10);
        PlaceButton(BK::bkFinish, -1);
    }
    PlaceButton(BK::bkNext, -1);
    PlaceButton(BK::bkBack, 0);
}

QRect TPageWizard::PageAreaRect() const
{
    const QRect r = rect();
    if (FButtonBarHeight > 25)
        return MakeRect(r.left(), r.top(), RectRight(r), RectBottom(r) - FButtonBarHeight);
    return r;
}

void TPageWizard::RealignPages()
{
    const QRect area = PageAreaRect();
    for (int i = 0; i < FPages.Count(); ++i)
        FPages[i]->setGeometry(area);
}

void TPageWizard::ShowControl(QWidget* Control)
{
    QWidget* w = Control;
    while (w && w->parentWidget() != this)
        w = w->parentWidget();
    if (auto* page = qobject_cast<TPageWizardCustomPage*>(w))
        SetActivePage(page);
}

void TPageWizard::FollowParent()
{
    if (FWatchedParent)
        FWatchedParent->removeEventFilter(this);
    FWatchedParent = parentWidget();
    if (FWatchedParent) {
        FWatchedParent->installEventFilter(this);
        if (!FWatchedParent->layout())
            setGeometry(FWatchedParent->contentsRect());
    }
}

void TPageWizard::paintEvent(QPaintEvent*)
{
    try {
        QPainter p(this);
        const QRect r = rect();
        if (FColor != clNone)
            p.fillRect(r, colors::ToQColor(FColor));
        if (FButtonBarHeight >= 26 && FShowDivider) {
            QRect inner;
            DrawBevelFrame(p, MakeRect(r.left(), RectBottom(r) - FButtonBarHeight, RectRight(r), RectBottom(r)), 3,
                           inner, sdTop);
        }
    } catch (...) {
    }
}

void TPageWizard::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    try {
        RealignPages();
        LayoutButtons();
    } catch (...) {
    }
}

bool TPageWizard::ClickKeyButton(bool Escape)
{
    if (!Escape) {
        // Enter on a focused button of the wizard clicks that button.
        if (auto* b = qobject_cast<QPushButton*>(window()->focusWidget());
            b && isAncestorOf(b) && CanTakeFocus(b)) {
            b->click();
            return true;
        }
    }
    for (int k = 0; k < kPageWizardButtonKinds; ++k) {
        TPageWizardButtonControl* c = FButtonControls[k];
        if (!c)
            continue;
        const bool match = Escape ? c->Cancel() : c->Default();
        if (match && CanTakeFocus(c)) {
            c->click();
            return true;
        }
    }
    return false;
}

void TPageWizard::keyPressEvent(QKeyEvent* event)
{
    try {
        const auto mods = event->modifiers() & ~Qt::KeypadModifier;
        if (mods == Qt::NoModifier) {
            const int key = event->key();
            if ((key == Qt::Key_Return || key == Qt::Key_Enter) && ClickKeyButton(false)) {
                event->accept();
                return;
            }
            if (key == Qt::Key_Escape && ClickKeyButton(true)) {
                event->accept();
                return;
            }
        }
    } catch (...) {
    }
    QWidget::keyPressEvent(event);
}

bool TPageWizard::event(QEvent* event)
{
    try {
        if (event->type() == QEvent::ParentChange)
            FollowParent();
        // A page disabled while the wizard was disabled with its window got no change
        // event of its own: the active page is looked at again once the wizard is enabled.
        if (event->type() == QEvent::EnabledChange && isEnabled() && FActivePage && !FActivePage->IsPageEnabled())
            ActivePageDisabled(FActivePage);
    } catch (...) {
    }
    return QWidget::event(event);
}

bool TPageWizard::eventFilter(QObject* watched, QEvent* event)
{
    try {
        if (watched == FWatchedParent && event->type() == QEvent::Resize && !FWatchedParent->layout())
            setGeometry(FWatchedParent->contentsRect());
    } catch (...) {
    }
    return QWidget::eventFilter(watched, event);
}

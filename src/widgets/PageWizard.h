#pragma once
// The page wizard: a container that shows one of its pages at a time, each with a
// header (title, subtitle, optional image, divider), and a bar of navigation buttons
// along its bottom edge. The main window drives it through its events and its
// selection operations; the language code sets its titles and button captions.
#include "widgets/Colors.h"
#include "widgets/PageWizardCommon.h"

#include <QFont>
#include <QList>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>
#include <QWidget>

#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <stdexcept>

class QPainter;
class TPageWizard;
class TPageWizardCustomPage;
class TPageWizardPageHeader;

// Index of a navigation button.
enum class TPageWizardButtonKind { bkStart, bkLast, bkBack, bkNext, bkFinish, bkCancel, bkHelp };
constexpr int kPageWizardButtonKinds = 7;

// A set of button kinds: one byte, bit n = kind n.
class TPageWizardButtonSet {
public:
    constexpr TPageWizardButtonSet() = default;
    constexpr TPageWizardButtonSet(std::initializer_list<TPageWizardButtonKind> kinds)
    {
        for (auto k : kinds)
            FBits = static_cast<std::uint8_t>(FBits | Bit(k));
    }
    static constexpr TPageWizardButtonSet FromByte(std::uint8_t bits)
    {
        TPageWizardButtonSet s;
        s.FBits = bits & 0x7F;
        return s;
    }
    static constexpr TPageWizardButtonSet All() { return FromByte(0x7F); }
    constexpr std::uint8_t Bits() const { return FBits; }
    constexpr bool Contains(TPageWizardButtonKind k) const { return (FBits & Bit(k)) != 0; }
    constexpr bool Empty() const { return FBits == 0; }
    constexpr void Include(TPageWizardButtonKind k) { FBits = static_cast<std::uint8_t>(FBits | Bit(k)); }
    constexpr void Exclude(TPageWizardButtonKind k) { FBits = static_cast<std::uint8_t>(FBits & ~Bit(k)); }
    constexpr bool operator==(const TPageWizardButtonSet&) const = default;

private:
    static constexpr std::uint8_t Bit(TPageWizardButtonKind k)
    {
        return static_cast<std::uint8_t>(1u << static_cast<unsigned>(k));
    }
    std::uint8_t FBits = 0;
};

// Side of the watermark.
enum class TPageWizardLeftRight { alLeft, alRight };
// The published About property; carries nothing.
enum class TPageWizardAboutInfo { PageWizardAbout };

// Raised only when the direction between pages of two different wizards is asked.
class EPageWizard : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Events. A select event may change ToPage: none stops the move, another page redirects it.
using TPageWizardSelectPageEvent =
    std::function<void(QObject* Sender, TPageWizardCustomPage* FromPage, TPageWizardCustomPage*& ToPage)>;
using TPageWizardChangePageEvent = std::function<void(QObject* Sender, TPageWizardCustomPage* const Page)>;
using TPageWizardPageClickEvent = std::function<void(QObject* Sender, bool& Stop)>;
using TPageWizardPaintPageEvent = std::function<void(QObject* Sender, QPainter& ACanvas, QRect& ARect)>;
using TPageWizardNotifyEvent = std::function<void(QObject* Sender)>;

// A list of equally sized images for the page headers. It is not owned by the wizard;
// the wizard forgets it when it is destroyed and repaints the active page on Changed.
class TPageWizardImageList : public QObject {
    Q_OBJECT
public:
    TPageWizardImageList(int Width, int Height, QObject* parent = nullptr);
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    int Count() const { return static_cast<int>(FImages.size()); }
    int Add(const QPixmap& Image);
    void Clear();
    void Draw(QPainter& Canvas, int X, int Y, int Index, bool Enabled) const;
signals:
    void Changed();

private:
    int FWidth, FHeight;
    QList<QPixmap> FImages;
};

// ---- page parts ------------------------------------------------------------------------

// Base of the page parts: a colour and a visibility whose changes notify the part.
class TPageWizardGraphicObject {
public:
    TPageWizardGraphicObject() = default;
    TPageWizardGraphicObject(const TPageWizardGraphicObject&) = delete;
    TPageWizardGraphicObject& operator=(const TPageWizardGraphicObject&) = delete;
    virtual ~TPageWizardGraphicObject() = default;

    colors::TColor Color() const { return FColor; }
    void SetColor(colors::TColor Value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);

    // Paints into Rect and takes the part's strip from it.
    virtual void Paint(QPainter& Canvas, QRect& Rect) = 0;

protected:
    virtual void VisibleChanged() { Changed(); }
    virtual void ColorChanged() { Changed(); }
    virtual void Changed() = 0;

    colors::TColor FColor = colors::clBtnFace;
    bool FVisible = true;
};

// The title or the subtitle of a page header.
class TPageWizardPageTitle : public TPageWizardGraphicObject {
public:
    enum class TAlignment { taLeftJustify, taRightJustify, taCenter };
    enum TAnchorKind : unsigned { akLeft = 1, akTop = 2, akRight = 4, akBottom = 8 };

    explicit TPageWizardPageTitle(TPageWizardPageHeader* Header);

    TPageWizardPageHeader* Header() const { return FHeader; }
    const QString& Text() const { return FText; }
    void SetText(const QString& Value);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    int AnchorPlacement() const { return FAnchorPlacement; }
    void SetAnchorPlacement(int Value);
    unsigned Anchors() const { return FAnchors; }
    void SetAnchors(unsigned Value);
    int Indent() const { return FIndent; }
    void SetIndent(int Value);
    const QFont& Font() const { return FFont; }
    // Assigns the font unless the header takes its fonts from the page.
    void SetFont(const QFont& Value);
    // Direct access for the code that builds a form (no repaint, no parent-font rule).
    QFont& Font() { return FFont; }

    // Horizontal alignment flags of the drawn text for the Alignment value.
    Qt::Alignment TextAlignment() const;

    // The rectangle the text takes inside the area ARect.
    virtual void GetTextRect(QPainter& Canvas, const QRect& ARect, QRect& TextRect);
    // Paints the text into Rect; Rect's top then moves below the text rectangle.
    void Paint(QPainter& Canvas, QRect& Rect) override;

protected:
    void Changed() override;

private:
    friend class TPageWizardPageHeader;
    friend class TPageWizardWelcomePage;
    TPageWizardPageHeader* FHeader;
    QString FText;
    TAlignment FAlignment = TAlignment::taLeftJustify;
    int FAnchorPlacement = 4;
    unsigned FAnchors = akLeft | akTop;
    int FIndent = 0;
    QFont FFont;
};

// A part owned by a page; a change repaints the page.
class TPageWizardPageObject : public TPageWizardGraphicObject {
public:
    explicit TPageWizardPageObject(TPageWizardCustomPage* Page) : FPage(Page) {}
    TPageWizardCustomPage* Page() const { return FPage; }

protected:
    void Changed() override;
    virtual void AttachToPage() {}
    TPageWizardCustomPage* FPage;
    friend class TPageWizardCustomPage;
};

class TPageWizardPageHeader : public TPageWizardPageObject {
    friend class TPageWizardCustomPage;
    friend class TPageWizardWelcomePage;

public:
    explicit TPageWizardPageHeader(TPageWizardCustomPage* Page);
    ~TPageWizardPageHeader() override;

    int Height() const { return FHeight; }
    void SetHeight(int Value);
    bool ParentFont() const { return FParentFont; }
    void SetParentFont(bool Value);
    TPageWizardPageTitle* Title() const { return FTitle.get(); }
    TPageWizardPageTitle* Subtitle() const { return FSubtitle.get(); }
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    int ImageOffset() const { return FImageOffset; }
    void SetImageOffset(int Value);
    TKImageLeftRight ImageAlignment() const { return FImageAlignment; }
    void SetImageAlignment(TKImageLeftRight Value);
    bool ShowDivider() const { return FShowDivider; }
    void SetShowDivider(bool Value);

    // The rectangle of the header image inside the header rectangle Rect; Rect becomes
    // the text area (ending at the image's left edge, or starting at its right edge).
    virtual void GetImageRect(const TPageWizardImageList* ImageList, QRect& Rect, QRect& ImageRect);
    void Paint(QPainter& Canvas, QRect& Rect) override;

    // The page's font changed: with ParentFont the titles take its family.
    void PageFontChanged();

protected:
    void VisibleChanged() override;
    void AttachToPage() override;

private:
    friend class TPageWizardPageTitle;
    void TitleChanged() { Changed(); }
    int FHeight = 70;
    bool FParentFont = true;
    std::unique_ptr<TPageWizardPageTitle> FTitle, FSubtitle;
    int FImageIndex = -1;
    int FImageOffset = 0;
    TKImageLeftRight FImageAlignment = TKImageAlignment::iaRight;
    bool FShowDivider = true;
};

// A picture with its placement; a change calls the owner's callback.
class TPageWizardImage {
public:
    explicit TPageWizardImage(std::function<void()> OnChange) : FOnChange(std::move(OnChange)) {}
    const QPixmap& Picture() const { return FPicture; }
    void SetPicture(const QPixmap& Value);
    TKImageAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TKImageAlignment Value);
    TKImageLayout Layout() const { return FLayout; }
    void SetLayout(TKImageLayout Value);
    // False without a picture; setting it without a picture is ignored.
    bool Transparent() const { return !FPicture.isNull() && FTransparent; }
    void SetTransparent(bool Value);

private:
    void Change()
    {
        if (FOnChange)
            FOnChange();
    }
    std::function<void()> FOnChange;
    QPixmap FPicture;
    TKImageAlignment FAlignment = TKImageAlignment::iaStretch;
    TKImageLayout FLayout = TKImageLayout::ilStretch;
    bool FTransparent = false;
};

class TPageWizardWaterMark : public TPageWizardPageObject {
    friend class TPageWizardWelcomePage;

public:
    explicit TPageWizardWaterMark(TPageWizardCustomPage* Page);
    TPageWizardLeftRight Align() const { return FAlign; }
    void SetAlign(TPageWizardLeftRight Value);
    int Width() const { return FWidth; }
    void SetWidth(int Value);
    int BorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int Value);
    TPageWizardImage* Image() { return &FImage; }
    void Paint(QPainter& Canvas, QRect& Rect) override;

protected:
    void VisibleChanged() override;

private:
    TPageWizardLeftRight FAlign = TPageWizardLeftRight::alLeft;
    int FWidth = 164;
    int FBorderWidth = 1;
    TPageWizardImage FImage;
};

class TPageWizardPagePanel : public TPageWizardPageObject {
public:
    explicit TPageWizardPagePanel(TPageWizardCustomPage* Page);
    std::int16_t BorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(std::int16_t Value);
    void Paint(QPainter& Canvas, QRect& Rect) override;

private:
    std::int16_t FBorderWidth = 7;
};

// ---- pages -----------------------------------------------------------------------------

class TPageWizardCustomPage : public QWidget {
    Q_OBJECT
public:
    // A page created with a wizard joins it at the end of its pages.
    explicit TPageWizardCustomPage(TPageWizard* Wizard = nullptr);
    ~TPageWizardCustomPage() override;

    TPageWizard* Wizard() const { return FWizard; }
    // Leaves the old wizard and joins the new one (at the end). Without a new wizard
    // the page stays a hidden child of the old one, which still owns it.
    void SetWizard(TPageWizard* Wizard);
    int GetPageIndex() const;

    TPageWizardPageHeader* Header() const { return FHeader.get(); }
    TPageWizardPagePanel* Panel() const { return FPanel.get(); }
    TPageWizardImage* Image() const { return FImage.get(); }

    TPageWizardButtonSet EnabledButtons() const { return FEnabledButtons; }
    void SetEnabledButtons(TPageWizardButtonSet Value);
    TPageWizardButtonSet VisibleButtons() const { return FVisibleButtons; }
    void SetVisibleButtons(TPageWizardButtonSet Value);

    colors::TColor Color() const { return FColor; }
    void SetColor(colors::TColor Value);
    int HelpContext() const { return FHelpContext; }
    void SetHelpContext(int Value) { FHelpContext = Value; }

    // The page's own enabled state. A disabled window (while a dialog holds it) disables
    // every child with it, but leaves this flag alone: the wizard keeps its page.
    bool IsPageEnabled() const { return !testAttribute(Qt::WA_ForceDisabled); }

    // While loading, changes of the parts do not repaint or realign.
    void setLoading(bool Loading) { FLoading = Loading; }
    void loaded();
    bool isLoading() const { return FLoading; }

    // Client area margins: the header strip at the top (and, on a welcome page, the
    // watermark strip on its side). Child layouts of the page follow them.
    virtual QMargins ClientMargins() const;
    void Realign();

    virtual void DrawPage(QPainter& Canvas, QRect& Rect);
    virtual void EnterPage(TPageWizardCustomPage* FromPage);
    virtual void DoPage();
    virtual void ExitPage(TPageWizardCustomPage* ToPage);

    TPageWizardPaintPageEvent OnPaintPage;
    TPageWizardChangePageEvent OnEnterPage; // Page = the page being left
    TPageWizardNotifyEvent OnPage;
    TPageWizardChangePageEvent OnExitPage;  // Page = the page being entered
    TPageWizardPageClickEvent OnStartButtonClick;
    TPageWizardPageClickEvent OnLastButtonClick;
    TPageWizardPageClickEvent OnNextButtonClick;
    TPageWizardPageClickEvent OnBackButtonClick;
    TPageWizardPageClickEvent OnCancelButtonClick;
    TPageWizardPageClickEvent OnFinishButtonClick;

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    // Called by the destructors: leave the wizard while the page is still whole.
    void LeaveWizardForGood();

private:
    friend class TPageWizard;
    friend class TPageWizardPageList;
    friend class TPageWizardWelcomePage;
    TPageWizard* FWizard = nullptr;
    std::unique_ptr<TPageWizardPageHeader> FHeader;
    std::unique_ptr<TPageWizardPagePanel> FPanel;
    std::unique_ptr<TPageWizardImage> FImage;
    TPageWizardButtonSet FEnabledButtons = TPageWizardButtonSet::All();
    TPageWizardButtonSet FVisibleButtons = {TPageWizardButtonKind::bkBack, TPageWizardButtonKind::bkNext,
                                            TPageWizardButtonKind::bkCancel};
    bool FPainting = false;
    bool FLoading = false;
    bool FDestroying = false;
    colors::TColor FColor = colors::clBtnFace;
    int FHelpContext = 0;
};

// The page class of the main window: a header titled "Welcome" without divider, a
// watermark strip, window colour.
class TPageWizardWelcomePage : public TPageWizardCustomPage {
    Q_OBJECT
public:
    explicit TPageWizardWelcomePage(TPageWizard* Wizard = nullptr);
    ~TPageWizardWelcomePage() override;
    TPageWizardWaterMark* WaterMark() const { return FWaterMark.get(); }
    QMargins ClientMargins() const override;
    void DrawPage(QPainter& Canvas, QRect& Rect) override;

private:
    std::unique_ptr<TPageWizardWaterMark> FWaterMark;
};

// The pages of a wizard in order.
class TPageWizardPageList {
public:
    explicit TPageWizardPageList(TPageWizard* Wizard) : FWizard(Wizard) {}
    ~TPageWizardPageList();
    TPageWizardPageList(const TPageWizardPageList&) = delete;
    TPageWizardPageList& operator=(const TPageWizardPageList&) = delete;

    int Count() const { return static_cast<int>(FItems.size()); }
    TPageWizardCustomPage* operator[](int Index) const { return FItems.at(Index); }
    int IndexOf(const TPageWizardCustomPage* Page) const;
    void Add(TPageWizardCustomPage* Page);    // sets the page's wizard
    void Delete(int Index);                    // clears it
    TPageWizard* Wizard() const { return FWizard; }

private:
    TPageWizard* FWizard;
    QList<TPageWizardCustomPage*> FItems;
};

// ---- buttons ---------------------------------------------------------------------------

// One navigation button: a push button with an optional glyph, a modal result, the
// Default (Enter) and the Cancel (Esc) flag. The wizard answers both keys itself, so they
// work the same in a main window and in a dialog.
class TPageWizardButtonControl : public QPushButton {
    Q_OBJECT
public:
    enum class TSide { sdLeftGroup, sdRightGroup };
    enum class TGlyphLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

    explicit TPageWizardButtonControl(TPageWizard* Owner);

    TPageWizard* Wizard() const { return FWizard; }
    void SetWizard(TPageWizard* Value) { FWizard = Value; }
    TSide Side() const { return FSide; }

    int ModalResult() const { return FModalResult; }
    void SetModalResult(int Value) { FModalResult = Value; }
    bool Cancel() const { return FCancel; }
    void SetCancel(bool Value) { FCancel = Value; }
    bool Default() const { return FDefault; }
    void SetDefault(bool Value);
    const QPixmap& Glyph() const { return FGlyph; }
    void SetGlyph(const QPixmap& Value);
    TGlyphLayout Layout() const { return FLayout; }
    void SetLayout(TGlyphLayout Value);
    int NumGlyphs() const { return FNumGlyphs; }
    void SetNumGlyphs(int Value);

    // A glyph of our own drawing for the button of the given kind (16 x 16).
    static QPixmap StandardGlyph(TPageWizardButtonKind Kind);

    // Visibility changes lay the wizard's buttons out again.
    void setVisible(bool visible) override;

    // The click event; the wizard's button-click events read and write it.
    TPageWizardNotifyEvent OnClick;

    // What a click does; the base is the button's own click: the modal result goes to a
    // modal dialog that holds the wizard, then OnClick.
    virtual void Click();

protected:
    // The page's click event of this button's kind: raised with Stop; true when stopped.
    bool PageStopped(TPageWizardPageClickEvent TPageWizardCustomPage::*Event);
    QPointer<TPageWizard> FWizard;
    TSide FSide = TSide::sdRightGroup;

private:
    void UpdateIcon();
    int FModalResult = 0;
    bool FCancel = false;
    bool FDefault = false;
    QPixmap FGlyph;
    TGlyphLayout FLayout = TGlyphLayout::blGlyphLeft;
    int FNumGlyphs = 1;
};

class TPageWizardStartButton : public TPageWizardButtonControl {
    Q_OBJECT
public:
    explicit TPageWizardStartButton(TPageWizard* Owner);
    void Click() override;
};
class TPageWizardLastButton : public TPageWizardButtonControl {
    Q_OBJECT
public:
    explicit TPageWizardLastButton(TPageWizard* Owner);
    void Click() override;
};
class TPageWizardBackButton : public TPageWizardButtonControl {
    Q_OBJECT
public:
    explicit TPageWizardBackButton(TPageWizard* Owner);
    void Click() override;
};
class TPageWizardNextButton : public TPageWizardButtonControl {
    Q_OBJECT
public:
    explicit TPageWizardNextButton(TPageWizard* Owner);
    void Click() override;
};
class TPageWizardFinishButton : public TPageWizardButtonControl {
    Q_OBJECT
public:
    explicit TPageWizardFinishButton(TPageWizard* Owner);
    void Click() override;
};
class TPageWizardCancelButton : public TPageWizardButtonControl {
    Q_OBJECT
public:
    explicit TPageWizardCancelButton(TPageWizard* Owner);
    void Click() override;
};
class TPageWizardHelpButton : public TPageWizardButtonControl {
    Q_OBJECT
public:
    explicit TPageWizardHelpButton(TPageWizard* Owner);
    void Click() override;
};

// The wrapper through which the wizard's buttons are set: each property reads and
// writes the wrapped control (0 or an empty text without one).
class TPageWizardNavigateButton {
public:
    explicit TPageWizardNavigateButton(TPageWizardButtonControl* Control) : FControl(Control) {}
    TPageWizardButtonControl* Control() const { return FControl; }
    QString Caption() const;
    void SetCaption(const QString& Value);
    QPixmap Glyph() const;
    void SetGlyph(const QPixmap& Value);
    TPageWizardButtonControl::TGlyphLayout Layout() const;
    void SetLayout(TPageWizardButtonControl::TGlyphLayout Value);
    int NumGlyphs() const;
    void SetNumGlyphs(int Value);
    int ModalResult() const;
    void SetModalResult(int Value);
    int Width() const;
    void SetWidth(int Value); // a new width lays the buttons out again

private:
    QPointer<TPageWizardButtonControl> FControl;
};

// ---- the wizard ------------------------------------------------------------------------

class TPageWizard : public QWidget {
    Q_OBJECT
public:
    explicit TPageWizard(QWidget* parent = nullptr);
    ~TPageWizard() override;

    // Form loading: while loading, ActivePage cannot be set; loaded() lays the buttons
    // out and selects the first enabled page.
    void setLoading(bool Loading) { FLoading = Loading; }
    void loaded();
    bool isLoading() const { return FLoading; }

    TPageWizardPageList& Pages() { return FPages; }
    const TPageWizardPageList& Pages() const { return FPages; }
    int GetPageCount() const { return FPages.Count(); }

    TPageWizardCustomPage* ActivePage() const { return FActivePage; }
    // Ignored while loading, for a page of another wizard, none, or a disabled page.
    void SetActivePage(TPageWizardCustomPage* Page);
    int GetActivePageIndex() const;
    void SetActivePageIndex(int Index);

    void SelectFirstPage();
    void SelectLastPage();
    void SelectNextPage();
    void SelectPriorPage();

    // The route map is not part of this program: always False.
    bool ShowRouteMap() const { return false; }
    void SetShowRouteMap(bool) {}
    TPageWizardAboutInfo About() const { return TPageWizardAboutInfo::PageWizardAbout; }

    TPageWizardNavigateButton* Button(TPageWizardButtonKind Kind) const;
    TPageWizardButtonControl* ButtonControl(TPageWizardButtonKind Kind) const;
    TPageWizardNavigateButton* ButtonStart() const { return Button(TPageWizardButtonKind::bkStart); }
    TPageWizardNavigateButton* ButtonLast() const { return Button(TPageWizardButtonKind::bkLast); }
    TPageWizardNavigateButton* ButtonBack() const { return Button(TPageWizardButtonKind::bkBack); }
    TPageWizardNavigateButton* ButtonNext() const { return Button(TPageWizardButtonKind::bkNext); }
    TPageWizardNavigateButton* ButtonFinish() const { return Button(TPageWizardButtonKind::bkFinish); }
    TPageWizardNavigateButton* ButtonCancel() const { return Button(TPageWizardButtonKind::bkCancel); }
    TPageWizardNavigateButton* ButtonHelp() const { return Button(TPageWizardButtonKind::bkHelp); }

    int ButtonBarHeight() const { return FButtonBarHeight; }
    void SetButtonBarHeight(int Value);
    bool ShowDivider() const { return FShowDivider; }
    void SetShowDivider(bool Value);
    colors::TColor Color() const { return FColor; }
    void SetColor(colors::TColor Value);
    TPageWizardImageList* HeaderImages() const { return FHeaderImages; }
    void SetHeaderImages(TPageWizardImageList* Value);

    TPageWizardSelectPageEvent OnSelectNextPage;
    TPageWizardSelectPageEvent OnSelectPriorPage;
    TPageWizardSelectPageEvent OnSelectFirstPage;
    TPageWizardSelectPageEvent OnSelectLastPage;

    // The wizard's button-click events are those of the button controls.
    TPageWizardNotifyEvent& OnStartButtonClick() { return ButtonControl(TPageWizardButtonKind::bkStart)->OnClick; }
    TPageWizardNotifyEvent& OnLastButtonClick() { return ButtonControl(TPageWizardButtonKind::bkLast)->OnClick; }
    TPageWizardNotifyEvent& OnBackButtonClick() { return ButtonControl(TPageWizardButtonKind::bkBack)->OnClick; }
    TPageWizardNotifyEvent& OnNextButtonClick() { return ButtonControl(TPageWizardButtonKind::bkNext)->OnClick; }
    TPageWizardNotifyEvent& OnFinishButtonClick() { return ButtonControl(TPageWizardButtonKind::bkFinish)->OnClick; }
    TPageWizardNotifyEvent& OnCancelButtonClick() { return ButtonControl(TPageWizardButtonKind::bkCancel)->OnClick; }

    // The program has no context help of its own; a handler set here receives the help
    // context of the Help button.
    static std::function<void(int HelpContext)> ContextHelp;

    // Creates the button control of a kind (the generic control for an unknown kind).
    // The wizard's constructor calls it, so it creates this class's buttons.
    virtual TPageWizardButtonControl* GetButtonClass(int Kind);

    // Showing a control that lies on one of the pages makes that page active.
    void ShowControl(QWidget* Control);

    // The area the pages fill: the client area less the button bar when it is above 25.
    QRect PageAreaRect() const;

    // Navigation helpers.
    TPageWizardCustomPage* FindNextPage(int FromIndex, int Step, bool SkipDisabled = true) const;
    bool IsFirstPage(const TPageWizardCustomPage* Page) const;
    bool IsForward(const TPageWizardCustomPage* FromPage, const TPageWizardCustomPage* ToPage) const;
    void InsertPage(TPageWizardCustomPage* Page);
    void RemovePage(TPageWizardCustomPage* Page);
    void UpdateButtons();
    void LayoutButtons();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class TPageWizardCustomPage;
    void SwitchPage(TPageWizardCustomPage* NewPage);
    // Hides the active page and leaves the wizard without one.
    void ClearActivePage();
    void ActivePageDisabled(TPageWizardCustomPage* Page);
    void Select(TPageWizardCustomPage* Candidate, const TPageWizardSelectPageEvent& Event);
    void RealignPages();
    void FollowParent();
    bool ClickKeyButton(bool Escape);

    TPageWizardPageList FPages;
    TPageWizardCustomPage* FActivePage = nullptr;
    std::array<std::unique_ptr<TPageWizardNavigateButton>, kPageWizardButtonKinds> FNavigateButtons;
    std::array<QPointer<TPageWizardButtonControl>, kPageWizardButtonKinds> FButtonControls;
    int FButtonBarHeight = 42;
    bool FShowDivider = true;
    colors::TColor FColor = colors::clBtnFace;
    QPointer<TPageWizardImageList> FHeaderImages;
    QMetaObject::Connection FImagesLink;
    bool FLoading = false;
    QPointer<QWidget> FWatchedParent;
    unsigned FSwitchCount = 0; // tells a switch that an event handler switched again
};

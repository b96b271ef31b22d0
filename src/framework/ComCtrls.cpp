#include "framework/ComCtrls.h"

#include "framework/Controls_p.h"
#include "framework/Forms.h"

#include <QCalendarWidget>
#include <QCheckBox>
#include <QLineEdit>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTextCharFormat>
#include <QDateTimeEdit>
#include <QHeaderView>
#include <QProgressBar>
#include <QProxyStyle>
#include <QSlider>
#include <QTabBar>
#include <QTreeWidget>

#include <algorithm>

namespace {

QDateTime ToQDateTime(TDateTime v) {
    Word y, m, d, h, n, s, ms;
    DecodeDateTime(v, y, m, d, h, n, s, ms);
    return QDateTime(QDate(y, m, d), QTime(h, n, s, ms));
}

TDateTime FromQDateTime(const QDateTime& q) {
    QDate d = q.date();
    QTime t = q.time();
    return EncodeDateTime(Word(d.year()), Word(d.month()), Word(d.day()), Word(t.hour()), Word(t.minute()),
                          Word(t.second()), Word(t.msec()));
}

// Run-time library format letters in Qt's display-format language.
// The run-time library's letters in Qt's: "m" and "mm" are the month, or
// the minutes right after an hour; "n" and "nn" the minutes; "am/pm" the
// half of the day; quoted text stays.
QString ToQtFormat(const String& format) {
    const QString f = ToQ(format);
    QString out;
    bool afterHour = false;
    for (qsizetype i = 0; i < f.size();) {
        const QChar c = f[i];
        qsizetype run = 1;
        while (i + run < f.size() && f[i + run].toLower() == c.toLower()) ++run;
        const QChar lc = c.toLower();
        if (c == u'\'' || c == u'"') {
            const qsizetype end = f.indexOf(c, i + 1);
            const qsizetype stop = end < 0 ? f.size() : end + 1;
            out += u'\'' + f.mid(i + 1, stop - i - (end < 0 ? 1 : 2)) + u'\'';
            i = stop;
            continue;
        }
        if (f.mid(i, 5).compare(QStringLiteral("am/pm"), Qt::CaseInsensitive) == 0) {
            out += c.isUpper() ? QStringLiteral("AP") : QStringLiteral("ap");
            i += 5;
            continue;
        }
        if (lc == u'm') {
            if (afterHour && run <= 2) out += QString(int(run), u'm');
            else out += QString(int(std::min<qsizetype>(run, 4)), u'M');
            afterHour = false;
        } else if (lc == u'n') {
            out += QString(int(std::min<qsizetype>(run, 2)), u'm');
            afterHour = false;
        } else if (lc == u'h') {
            out += QString(int(std::min<qsizetype>(run, 2)), u'h');
            afterHour = true;
        } else if (lc == u'd' || lc == u'y' || lc == u's' || lc == u'z') {
            out += QString(int(run), lc);
            afterHour = false;
        } else {
            out += f.mid(i, run);  // separators keep an hour's claim on the minutes
        }
        i += run;
    }
    return out;
}

}  // namespace

// ---------------------------------------------------------------------------
// TTabSheet
// ---------------------------------------------------------------------------
TTabSheet::TTabSheet(TComponent* AOwner) : TWinControl(AOwner) {
    FVisible = false;
    FControlStyle = {csAcceptsControls, csClickEvents, csSetCaption, csDoubleClicks};
}

TTabSheet::~TTabSheet() {
    if (FPageControl) FPageControl->RemovePage(this);
}

void TTabSheet::SetPageControl(TPageControl* Value) {
    if (FPageControl == Value) return;
    if (FPageControl) FPageControl->RemovePage(this);
    if (Value) Value->InsertPage(this);
}

int TTabSheet::PageIndex() const {
    if (!FPageControl) return -1;
    auto& p = FPageControl->FPages;
    return int(std::find(p.begin(), p.end(), this) - p.begin());
}

void TTabSheet::SetPageIndex(int Value) {
    if (!FPageControl) return;
    auto& p = FPageControl->FPages;
    p.erase(std::find(p.begin(), p.end(), this));
    p.insert(p.begin() + std::clamp(Value, 0, int(p.size())), this);
    FPageControl->UpdateTabs();
}

void TTabSheet::SetTabVisible(bool Value) {
    FTabVisible = Value;
    if (FPageControl) FPageControl->UpdateTabs();
}

int TTabSheet::TabIndex() const {
    if (!FPageControl || !FTabVisible) return -1;
    int i = 0;
    for (TTabSheet* s : FPageControl->FPages) {
        if (s == this) return i;
        if (s->FTabVisible) ++i;
    }
    return -1;
}

void TTabSheet::SetText(const String& Value) {
    TWinControl::SetText(Value);
    if (FPageControl) FPageControl->UpdateTabs();
}

// ---------------------------------------------------------------------------
// TPageControl
// ---------------------------------------------------------------------------
namespace {

// The platform's tab strip pads a caption by 6 pixels on each side and 3
// above and below; the toolkit's own styles pad twice as much, which pushes
// the last tabs of a window laid out for the platform off its edge.
class TTabStripStyle : public QProxyStyle {
public:
    int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override {
        if (metric == PM_TabBarTabHSpace) return 12;
        if (metric == PM_TabBarTabVSpace) return 6;
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
};

QTabBar* TabStrip(const TWinControlHandle* h) { return h->Widget->findChild<QTabBar*>("tabs"); }

// The strip is no wider than the control: tabs that do not fit are reached
// with its scroll arrows, as on the platform.
void FitTabStrip(QTabBar* bar, int controlWidth) {
    const QSize hint = bar->sizeHint();
    bar->resize(std::max(0, std::min(hint.width(), controlWidth - bar->x())), hint.height());
}

}  // namespace

TPageControl::TPageControl(TComponent* AOwner) : TCustomControl(AOwner) {
    FWidth = 289;
    FHeight = 193;
    FTabStop = true;
    FControlStyle = {csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
    HandleNeeded();
}

TPageControl::~TPageControl() {
    for (TTabSheet* s : FPages) s->FPageControl = nullptr;
    FPages.clear();
}

void TPageControl::CreateWnd() {
    TCustomControl::CreateWnd();
    auto* bar = new QTabBar(HandleImpl()->Widget);
    bar->setObjectName("tabs");
    bar->setDrawBase(false);
    bar->setExpanding(false);
    bar->setMouseTracking(true);
    bar->setFocusPolicy(Qt::NoFocus);
    bar->setUsesScrollButtons(true);
    bar->setElideMode(Qt::ElideNone);
    auto* style = new TTabStripStyle;
    style->setParent(bar);
    bar->setStyle(style);
    bar->move(2, 0);
    bar->show();
    QObject::connect(bar, &QTabBar::currentChanged, ContextOf(this), [this](int i) {
        if (!FSyncing) Guarded([&] { TabClicked(i); });
    });
}

int TPageControl::TabHeight() const {
    auto* bar = HandleImpl()->Widget->findChild<QTabBar*>("tabs");
    return bar && bar->count() > 0 ? bar->sizeHint().height() : 0;
}

TRect TPageControl::DisplayRect() const {
    int top = TabHeight();
    return Rect(4, top + 4, std::max(4, FWidth - 4), std::max(top + 4, FHeight - 4));
}

TRect TPageControl::TabRect(int Index) const {
    auto* bar = HandleImpl()->Widget->findChild<QTabBar*>("tabs");
    if (!bar || Index < 0 || Index >= PageCount()) return TRect{};
    const int tab = FPages[size_t(Index)]->TabIndex();
    if (tab < 0) return TRect{};
    const QRect r = bar->tabRect(tab).translated(bar->pos());
    return Rect(r.left(), r.top(), r.left() + r.width(), r.top() + r.height());
}

TTabSheet* TPageControl::Pages(int Index) const {
    if (Index < 0 || Index >= PageCount())
        throw EListError(S("List index out of bounds (") + Utf8ToString(std::to_string(Index)) + u")");
    return FPages[size_t(Index)];
}

void TPageControl::InsertPage(TTabSheet* Page) {
    FPages.push_back(Page);
    Page->FPageControl = this;
    Page->SetParent(this);
    UpdateTabs();
    if (!FActivePage) SetActivePage(Page);
    else PlaceSheets();
}

void TPageControl::RemovePage(TTabSheet* Page) {
    auto it = std::find(FPages.begin(), FPages.end(), Page);
    if (it == FPages.end()) return;
    int index = int(it - FPages.begin());
    FPages.erase(it);
    Page->FPageControl = nullptr;
    if (FActivePage == Page) {
        FActivePage = nullptr;
        if (!FPages.empty()) SetActivePage(FPages[size_t(std::min(index, PageCount() - 1))]);
    }
    if (!ComponentState().Contains(csDestroying)) {
        Page->SetParent(nullptr);
        UpdateTabs();
    }
}

void TPageControl::UpdateTabs() {
    if (!HandleAllocated()) return;
    auto* bar = HandleImpl()->Widget->findChild<QTabBar*>("tabs");
    if (!bar) return;
    FSyncing = true;
    while (bar->count() > 0) bar->removeTab(0);
    for (TTabSheet* s : FPages)
        if (s->TabVisible()) bar->addTab(ToQ(s->Caption()));
    bar->setCurrentIndex(FActivePage ? FActivePage->TabIndex() : -1);
    FitTabStrip(bar, FWidth);
    FSyncing = false;
    PlaceSheets();
    Invalidate();
}

void TPageControl::PlaceSheets() {
    TRect r = DisplayRect();
    for (TTabSheet* s : FPages) {
        s->SetBounds(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top);
        s->SetVisible(s == FActivePage);
    }
}

void TPageControl::SetActivePage(TTabSheet* Page) {
    if (Page && Page->FPageControl != this) return;
    // The focus leaves a page that is hidden (its control ends its editing
    // there), else typing would go on into a control nobody sees.
    TWinControl* focused = FindFocusedControl();
    const bool moveFocus = FActivePage && FActivePage != Page && focused && FActivePage->ContainsControl(focused);
    if (moveFocus && CanFocus()) SetFocus();
    FActivePage = Page;
    if (HandleAllocated()) {
        auto* bar = HandleImpl()->Widget->findChild<QTabBar*>("tabs");
        FSyncing = true;
        if (bar) bar->setCurrentIndex(Page ? Page->TabIndex() : -1);
        FSyncing = false;
    }
    PlaceSheets();
    if (moveFocus && Page && Page->CanFocus()) Page->SetFocus();
}

int TPageControl::ActivePageIndex() const { return FActivePage ? FActivePage->PageIndex() : -1; }

void TPageControl::SetActivePageIndex(int Value) {
    SetActivePage(Value >= 0 && Value < PageCount() ? FPages[size_t(Value)] : nullptr);
}

void TPageControl::TabClicked(int TabIndex) {
    TTabSheet* target = nullptr;
    for (TTabSheet* s : FPages)
        if (s->TabIndex() == TabIndex) target = s;
    if (!target || target == FActivePage) return;
    bool allow = true;
    if (OnChanging) OnChanging(this, allow);
    if (!allow) {
        SetActivePage(FActivePage);  // back to the old tab
        return;
    }
    SetActivePage(target);
    if (OnChange) OnChange(this);
}

void TPageControl::WMSize(TWMSize& Message) {
    TCustomControl::WMSize(Message);
    if (HandleAllocated())
        if (QTabBar* bar = TabStrip(HandleImpl())) FitTabStrip(bar, FWidth);
    PlaceSheets();
}

void TPageControl::Paint() {
    TCanvas& c = Canvas();
    c.Brush().SetColor(Color());
    c.FillRect(ClientRect());
    TRect r = Rect(0, TabHeight(), FWidth, FHeight);
    c.DrawEdge(r, EDGE_RAISED, BF_RECT);
}

// ---------------------------------------------------------------------------
// TTrackBar, TProgressBar
// ---------------------------------------------------------------------------
TTrackBar::TTrackBar(TComponent* AOwner) : TWinControl(AOwner) {
    FWidth = 150;
    FHeight = 45;
    FTabStop = true;
    HandleNeeded();
}

void TTrackBar::CreateWnd() {
    auto* w = new THostWidget<QSlider>(this);
    AttachWidget(this, w, false);
    w->setOrientation(FOrientation == trHorizontal ? Qt::Horizontal : Qt::Vertical);
    w->setRange(FMin, FMax);
    w->setTickPosition(QSlider::TicksBelow);
    w->setTickInterval(FFrequency);
    w->setPageStep(FPageSize);
    QObject::connect(w, &QSlider::valueChanged, ContextOf(this), [this](int) {
        if (!FSyncing) Guarded([this] {
            if (OnChange) OnChange(this);
        });
    });
}

void TTrackBar::SetMin(int Value) {
    FMin = Value;
    FSyncing = true;
    WidgetAs<QSlider>(this)->setMinimum(Value);
    FSyncing = false;
}

void TTrackBar::SetMax(int Value) {
    FMax = Value;
    FSyncing = true;
    WidgetAs<QSlider>(this)->setMaximum(Value);
    FSyncing = false;
}

int TTrackBar::Position() const { return WidgetAs<QSlider>(this)->value(); }

void TTrackBar::SetPosition(int Value) {
    FSyncing = true;
    WidgetAs<QSlider>(this)->setValue(Value);
    FSyncing = false;
}

void TTrackBar::SetFrequency(int Value) {
    FFrequency = Value;
    WidgetAs<QSlider>(this)->setTickInterval(Value);
}

void TTrackBar::WMKeyDown(TWMKey& Message) {
    if (DoKeyDown(Message)) return;
    const Word key = Message.CharCode();
    if (key == VK_NEXT || key == VK_PRIOR) {
        WidgetAs<QSlider>(this)->triggerAction(key == VK_NEXT ? QAbstractSlider::SliderPageStepAdd
                                                              : QAbstractSlider::SliderPageStepSub);
        return;
    }
    DefaultHandler(Message.Message);
}

void TTrackBar::SetPageSize(int Value) {
    FPageSize = Value;
    WidgetAs<QSlider>(this)->setPageStep(Value);
}

void TTrackBar::SetOrientation(TTrackBarOrientation Value) {
    FOrientation = Value;
    WidgetAs<QSlider>(this)->setOrientation(Value == trHorizontal ? Qt::Horizontal : Qt::Vertical);
}

TProgressBar::TProgressBar(TComponent* AOwner) : TWinControl(AOwner) {
    FWidth = 150;
    FHeight = 17;
    HandleNeeded();
}

void TProgressBar::CreateWnd() {
    auto* w = new THostWidget<QProgressBar>(this);
    AttachWidget(this, w, false);
    w->setRange(FMin, FMax);
    w->setValue(FPosition);
    w->setTextVisible(false);
}

void TProgressBar::SetMin(int Value) {
    FMin = Value;
    WidgetAs<QProgressBar>(this)->setMinimum(Value);
}

void TProgressBar::SetMax(int Value) {
    FMax = Value;
    WidgetAs<QProgressBar>(this)->setMaximum(Value);
}

void TProgressBar::SetPosition(int Value) {
    FPosition = std::clamp(Value, FMin, FMax);
    WidgetAs<QProgressBar>(this)->setValue(FPosition);
}

// ---------------------------------------------------------------------------
// TTreeView
// ---------------------------------------------------------------------------
namespace {
QTreeWidgetItem* ItemOf(const TTreeNode* n, void* item) { return static_cast<QTreeWidgetItem*>(item); }
}  // namespace

TTreeNode::~TTreeNode() {
    for (TTreeNode* c : FChildren) delete c;
}

void TTreeNode::SetText(const String& Value) {
    FText = Value;
    if (FItem) ItemOf(this, FItem)->setText(0, ToQ(Value));
}

TTreeNodes* TTreeNode::Owner() const { return FTree ? &FTree->Items() : nullptr; }

int TTreeNode::Index() const {
    const auto& sib = FParent ? FParent->FChildren : FTree->FItems->FRoots;
    return int(std::find(sib.begin(), sib.end(), this) - sib.begin());
}

int TTreeNode::Level() const {
    int l = 0;
    for (TTreeNode* p = FParent; p; p = p->FParent) ++l;
    return l;
}

bool TTreeNode::Expanded() const { return FItem && ItemOf(this, FItem)->isExpanded(); }

void TTreeNode::SetExpanded(bool Value) {
    if (FItem) ItemOf(this, FItem)->setExpanded(Value);
}

void TTreeNode::Expand(bool Recurse) {
    SetExpanded(true);
    if (Recurse)
        for (TTreeNode* c : FChildren) c->Expand(true);
}

void TTreeNode::Collapse(bool Recurse) {
    SetExpanded(false);
    if (Recurse)
        for (TTreeNode* c : FChildren) c->Collapse(true);
}

bool TTreeNode::Selected() const { return FTree && FTree->Selected() == this; }

void TTreeNode::SetSelected(bool Value) {
    if (!FTree) return;
    if (Value) FTree->SetSelected(const_cast<TTreeNode*>(this));
    else if (Selected()) FTree->SetSelected(nullptr);
}

TTreeNode* TTreeNode::GetNextSibling() const {
    const auto& sib = FParent ? FParent->FChildren : FTree->FItems->FRoots;
    int i = Index();
    return i + 1 < int(sib.size()) ? sib[size_t(i + 1)] : nullptr;
}

TTreeNode* TTreeNode::GetPrevSibling() const {
    const auto& sib = FParent ? FParent->FChildren : FTree->FItems->FRoots;
    int i = Index();
    return i > 0 ? sib[size_t(i - 1)] : nullptr;
}

TTreeNode* TTreeNode::GetNext() const {
    if (!FChildren.empty()) return FChildren.front();
    for (const TTreeNode* n = this; n; n = n->FParent)
        if (TTreeNode* s = n->GetNextSibling()) return s;
    return nullptr;
}

void TTreeNode::MakeVisible() {
    if (FItem && FTree->HandleAllocated())
        static_cast<QTreeWidget*>(FTree->HandleImpl()->Widget.data())->scrollToItem(ItemOf(this, FItem));
}

void TTreeNode::Delete() { FTree->Items().Delete(this); }

void TTreeNode::DeleteChildren() {
    while (!FChildren.empty()) FTree->Items().Delete(FChildren.back());
}

TTreeNodes::~TTreeNodes() {
    for (TTreeNode* n : FRoots) delete n;
}

int TTreeNodes::Count() const {
    int n = 0;
    for (TTreeNode* node = GetFirstNode(); node; node = node->GetNext()) ++n;
    return n;
}

TTreeNode* TTreeNodes::Item(int Index) const {
    int i = 0;
    for (TTreeNode* node = GetFirstNode(); node; node = node->GetNext())
        if (i++ == Index) return node;
    throw EListError(S("List index out of bounds (") + Utf8ToString(std::to_string(Index)) + u")");
}

TTreeNode* TTreeNodes::InsertAt(TTreeNode* Parent, int Index, const String& S, void* Ptr) {
    auto* node = new TTreeNode;
    node->FTree = FTree;
    node->FParent = Parent;
    node->FText = S;
    node->Data = Ptr;
    auto& sib = SiblingsOf(Parent);
    Index = std::clamp(Index, 0, int(sib.size()));
    sib.insert(sib.begin() + Index, node);
    auto* item = new QTreeWidgetItem;
    item->setText(0, ToQ(S));
    item->setData(0, Qt::UserRole, QVariant::fromValue<quintptr>(reinterpret_cast<quintptr>(node)));
    node->FItem = item;
    auto* tree = static_cast<QTreeWidget*>(FTree->HandleImpl()->Widget.data());
    FTree->FSyncing = true;
    if (Parent) static_cast<QTreeWidgetItem*>(Parent->FItem)->insertChild(Index, item);
    else tree->insertTopLevelItem(Index, item);
    FTree->FSyncing = false;
    return node;
}

TTreeNode* TTreeNodes::Add(TTreeNode* Sibling, const String& S) { return AddObject(Sibling, S, nullptr); }

TTreeNode* TTreeNodes::AddObject(TTreeNode* Sibling, const String& S, void* Ptr) {
    TTreeNode* parent = Sibling ? Sibling->FParent : nullptr;
    return InsertAt(parent, int(SiblingsOf(parent).size()), S, Ptr);
}

TTreeNode* TTreeNodes::AddFirst(TTreeNode* Sibling, const String& S) {
    return InsertAt(Sibling ? Sibling->FParent : nullptr, 0, S, nullptr);
}

TTreeNode* TTreeNodes::AddChild(TTreeNode* Parent, const String& S) { return AddChildObject(Parent, S, nullptr); }

TTreeNode* TTreeNodes::AddChildObject(TTreeNode* Parent, const String& S, void* Ptr) {
    return InsertAt(Parent, int(SiblingsOf(Parent).size()), S, Ptr);
}

TTreeNode* TTreeNodes::AddChildFirst(TTreeNode* Parent, const String& S) { return InsertAt(Parent, 0, S, nullptr); }

TTreeNode* TTreeNodes::Insert(TTreeNode* Sibling, const String& S) {
    if (!Sibling) return Add(nullptr, S);
    return InsertAt(Sibling->FParent, Sibling->Index(), S, nullptr);
}

void TTreeNodes::Delete(TTreeNode* Node) {
    if (!Node) return;
    bool wasSelected = Node->Selected();
    auto& sib = SiblingsOf(Node->FParent);
    sib.erase(std::find(sib.begin(), sib.end(), Node));
    FTree->FSyncing = true;
    delete static_cast<QTreeWidgetItem*>(Node->FItem);  // takes the child items with it
    FTree->FSyncing = false;
    delete Node;
    if (wasSelected && FTree->OnChange) FTree->OnChange(FTree, FTree->Selected());
}

void TTreeNodes::Clear() {
    FTree->FSyncing = true;
    static_cast<QTreeWidget*>(FTree->HandleImpl()->Widget.data())->clear();
    FTree->FSyncing = false;
    for (TTreeNode* n : FRoots) delete n;
    FRoots.clear();
}

void TTreeNodes::BeginUpdate() {
    if (FUpdateCount++ == 0) FTree->HandleImpl()->Widget->setUpdatesEnabled(false);
}

void TTreeNodes::EndUpdate() {
    if (FUpdateCount > 0 && --FUpdateCount == 0) FTree->HandleImpl()->Widget->setUpdatesEnabled(true);
}

TTreeView::TTreeView(TComponent* AOwner) : TWinControl(AOwner), FItems(std::make_unique<TTreeNodes>(this)) {
    FWidth = 121;
    FHeight = 97;
    FColor = clWindow;
    FTabStop = true;
    HandleNeeded();
}

TTreeView::~TTreeView() {
    FSyncing = true;
    FItems.reset();
}

void TTreeView::CreateWnd() {
    auto* w = new THostWidget<QTreeWidget>(this);
    AttachWidget(this, w, false);
    w->setHeaderHidden(true);
    w->setColumnCount(1);
    w->setRootIsDecorated(FShowRoot);
    w->viewport()->setMouseTracking(true);
    if (FRowSelect) SetRowSelect(true);
    QObject::connect(w, &QTreeWidget::currentItemChanged, ContextOf(this), [this](QTreeWidgetItem* item, QTreeWidgetItem*) {
        if (FSyncing) return;
        Guarded([&] {
            if (OnChange) OnChange(this, NodeOfItem(item));
        });
    });
    QObject::connect(w, &QTreeWidget::itemExpanded, ContextOf(this), [this](QTreeWidgetItem* item) {
        if (!FSyncing) Guarded([&] {
            if (OnExpanded) OnExpanded(this, NodeOfItem(item));
        });
    });
    QObject::connect(w, &QTreeWidget::itemCollapsed, ContextOf(this), [this](QTreeWidgetItem* item) {
        if (!FSyncing) Guarded([&] {
            if (OnCollapsed) OnCollapsed(this, NodeOfItem(item));
        });
    });
}

void TTreeView::SetRowSelect(bool Value) {
    FRowSelect = Value;
    if (!HandleAllocated()) return;
    auto* w = WidgetAs<QTreeWidget>(this);
    w->setAllColumnsShowFocus(Value);
    w->setStyleSheet(Value ? QStringLiteral("QTreeView { show-decoration-selected: 1; }") : QString());
}

TTreeNode* TTreeView::NodeOfItem(void* Item) const {
    if (!Item) return nullptr;
    return reinterpret_cast<TTreeNode*>(static_cast<QTreeWidgetItem*>(Item)->data(0, Qt::UserRole).value<quintptr>());
}

TTreeNode* TTreeView::Selected() const { return NodeOfItem(WidgetAs<QTreeWidget>(this)->currentItem()); }

void TTreeView::SetSelected(TTreeNode* Node) {
    auto* w = WidgetAs<QTreeWidget>(this);
    w->setCurrentItem(Node ? static_cast<QTreeWidgetItem*>(Node->FItem) : nullptr);
}

TTreeNode* TTreeView::GetNodeAt(int X, int Y) const {
    auto* w = WidgetAs<QTreeWidget>(this);
    return NodeOfItem(w->itemAt(w->viewport()->mapFrom(w, QPoint(X, Y))));
}

TTreeNode* TTreeView::TopItem() const {
    auto* w = WidgetAs<QTreeWidget>(this);
    return NodeOfItem(w->itemAt(2, 2));
}

void TTreeView::FullExpand() { WidgetAs<QTreeWidget>(this)->expandAll(); }
void TTreeView::FullCollapse() { WidgetAs<QTreeWidget>(this)->collapseAll(); }

void TTreeView::SetShowLines(bool Value) { FShowLines = Value; }

void TTreeView::SetShowRoot(bool Value) {
    FShowRoot = Value;
    WidgetAs<QTreeWidget>(this)->setRootIsDecorated(Value);
}

// ---------------------------------------------------------------------------
// TDateTimePicker, TMonthCalendar
// ---------------------------------------------------------------------------
TDateTimePicker::TDateTimePicker(TComponent* AOwner) : TWinControl(AOwner) {
    FWidth = 186;
    FHeight = 21;
    FColor = clWindow;
    FTabStop = true;
    HandleNeeded();
}

namespace {
// The picker's window, with what the control needs of its protected parts.
class TPickerWidget : public THostWidget<QDateTimeEdit> {
public:
    using THostWidget<QDateTimeEdit>::THostWidget;
    QLineEdit* Edit() const { return lineEdit(); }
    // A typed character goes to the picker's own key handling, which reads
    // it into the caret's field and moves on once the field is full.
    void Type(Char c) {
        QKeyEvent key(QEvent::KeyPress, c >= u'0' && c <= u'9' ? Qt::Key_0 + (c - u'0') : 0, Qt::NoModifier,
                      QString(QChar(c)));
        keyPressEvent(&key);
    }
    // The same for the keys that step and move between fields.
    void Press(int qtKey) {
        QKeyEvent key(QEvent::KeyPress, qtKey, Qt::NoModifier);
        keyPressEvent(&key);
    }
    // A press on the drop-down arrow, as the person would give it.
    void PressArrow() {
        const QPointF at(width() - 4, height() / 2);
        QMouseEvent press(QEvent::MouseButtonPress, at, mapToGlobal(at), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        mousePressEvent(&press);
    }
};

// Tells the picker when its calendar window shows and hides.
class TCalendarWatch : public QObject {
public:
    explicit TCalendarWatch(QObject* parent) : QObject(parent) {}
    std::function<void(bool)> Changed;

protected:
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Show && Changed) Changed(true);
        if (e->type() == QEvent::Hide && Changed) Changed(false);
        return false;
    }
};
}  // namespace

void TDateTimePicker::CreateWnd() {
    auto* w = new TPickerWidget(this);
    AttachWidget(this, w, false);
    w->setCalendarPopup(true);
    w->setDateTime(ToQDateTime(Now()));
    ApplyFormat();
    QObject::connect(w, &QDateTimeEdit::dateTimeChanged, ContextOf(this), [this](const QDateTime&) {
        if (!FSyncing) NotifyParent(this, DTN_DATETIMECHANGE);
    });
    auto* box = new QCheckBox(w);
    box->setObjectName(QStringLiteral("configurator.checkbox"));
    box->setFocusPolicy(Qt::NoFocus);
    box->hide();
    QObject::connect(box, &QCheckBox::clicked, ContextOf(this), [this](bool on) {
        Guarded([&] {
            SetChecked(on);
            NotifyParent(this, DTN_DATETIMECHANGE);
        });
    });
    ApplyCalendar();
    ApplyChecked();
}

void TDateTimePicker::CNNotify(TMessage& Message) {
    switch (reinterpret_cast<NMHDR*>(Message.LParam)->code) {
    case DTN_DATETIMECHANGE:
        if (OnChange) OnChange(this);
        return;
    case DTN_DROPDOWN:
        if (OnDropDown) OnDropDown(this);
        return;
    case DTN_CLOSEUP:
        if (OnCloseUp) OnCloseUp(this);
        return;
    default: break;
    }
    TWinControl::CNNotify(Message);
}

void TDateTimePicker::ApplyCalendar() {
    auto* w = WidgetAs<TPickerWidget>(this);
    if (!w->calendarPopup()) return;
    QCalendarWidget* cal = w->calendarWidget();
    cal->setVerticalHeaderFormat(FWeekNumbers ? QCalendarWidget::ISOWeekNumbers : QCalendarWidget::NoVerticalHeader);
    QTextCharFormat today;
    if (FShowToday) today.setFontWeight(QFont::Bold);
    cal->setDateTextFormat(QDate::currentDate(), today);
    QWidget* popup = cal->window();
    if (!popup->property("configurator.watched").isValid()) {
        popup->setProperty("configurator.watched", true);
        auto* watch = new TCalendarWatch(ContextOf(this));
        watch->Changed = [this](bool shown) {
            if (shown == FDropped) return;
            FDropped = shown;
            Guarded([&] { NotifyParent(this, shown ? DTN_DROPDOWN : DTN_CLOSEUP); });
        };
        popup->installEventFilter(watch);
    }
}

void TDateTimePicker::ApplyChecked() {
    auto* w = WidgetAs<TPickerWidget>(this);
    auto* box = w->findChild<QCheckBox*>(QStringLiteral("configurator.checkbox"));
    if (!box) return;
    box->setVisible(FShowCheckbox);
    box->setChecked(FChecked);
    const QSize s = box->sizeHint();
    box->setGeometry(3, std::max(0, (w->height() - s.height()) / 2), s.width(), s.height());
    w->Edit()->setTextMargins(FShowCheckbox ? s.width() + 2 : 0, 0, 0, 0);
    // No date: the fields show greyed and take no input.
    w->Edit()->setEnabled(!FShowCheckbox || FChecked);
}

void TDateTimePicker::SetShowCheckbox(bool Value) {
    FShowCheckbox = Value;
    if (!Value) FChecked = true;
    ApplyChecked();
}

void TDateTimePicker::SetChecked(bool Value) {
    FChecked = Value || !FShowCheckbox;
    ApplyChecked();
}

void TDateTimePicker::SetDateMode(TDTDateMode Value) {
    FDateMode = Value;
    ApplyFormat();
}

void TDateTimePicker::SetMinDate(TDateTime Value) {
    FMinDate = Value;
    auto* w = WidgetAs<TPickerWidget>(this);
    FSyncing = true;
    if (Value == 0) w->clearMinimumDateTime();
    else w->setMinimumDateTime(ToQDateTime(Trunc(Value)));
    FSyncing = false;
}

void TDateTimePicker::SetMaxDate(TDateTime Value) {
    FMaxDate = Value;
    auto* w = WidgetAs<TPickerWidget>(this);
    FSyncing = true;
    if (Value == 0) w->clearMaximumDateTime();
    else w->setMaximumDateTime(ToQDateTime(Trunc(Value) + 0.99998842592592592));  // the whole last day
    FSyncing = false;
}

bool TDateTimePicker::DroppedDown() const { return FDropped; }

void TDateTimePicker::SetDroppedDown(bool Value) {
    auto* w = WidgetAs<TPickerWidget>(this);
    if (Value == FDropped || !w->calendarPopup()) return;
    if (Value) {
        if (FShowCheckbox && !FChecked) return;
        ApplyCalendar();
        w->PressArrow();
    } else {
        w->calendarWidget()->window()->hide();
    }
}

void TDateTimePicker::SetWeekNumbers(bool Value) {
    FWeekNumbers = Value;
    ApplyCalendar();
}

void TDateTimePicker::SetShowToday(bool Value) {
    FShowToday = Value;
    ApplyCalendar();
}

int TDateTimePicker::Field() const { return WidgetAs<TPickerWidget>(this)->currentSectionIndex(); }

void TDateTimePicker::SetField(int Value) {
    auto* w = WidgetAs<TPickerWidget>(this);
    if (Value < 0 || Value >= w->sectionCount()) return;
    // The field is selected, so that typing replaces it.
    w->setCurrentSectionIndex(Value);
    w->setSelectedSection(w->sectionAt(Value));
}

bool TDateTimePicker::DropKey(TWMKey& Message) {
    const Word key = Message.CharCode();
    const bool alt = (Message.KeyData() & 0x20000000) != 0;
    if (key == VK_F4 || (alt && (key == VK_DOWN || key == VK_UP))) {
        SetDroppedDown(!FDropped);
        return true;
    }
    return false;
}

void TDateTimePicker::WMKeyDown(TWMKey& Message) {
    if (DoKeyDown(Message)) return;
    if (DropKey(Message)) return;
    // Without a date only the check box's Space and moving on count.
    if (FShowCheckbox && !FChecked && Message.CharCode() != VK_TAB) return;
    static const struct {
        Word vk;
        int qt;
    } fieldKeys[] = {{VK_UP, Qt::Key_Up},       {VK_DOWN, Qt::Key_Down}, {VK_LEFT, Qt::Key_Left},
                     {VK_RIGHT, Qt::Key_Right}, {VK_PRIOR, Qt::Key_PageUp}, {VK_NEXT, Qt::Key_PageDown},
                     {VK_HOME, Qt::Key_Home},   {VK_END, Qt::Key_End}};
    auto* w = WidgetAs<TPickerWidget>(this);
    if (Message.CharCode() == VK_UP || Message.CharCode() == VK_DOWN) {
        // The caret's field steps.
        const int field = Field();
        w->stepBy(Message.CharCode() == VK_UP ? 1 : -1);
        SetField(field);
        return;
    }
    for (const auto& k : fieldKeys)
        if (Message.CharCode() == k.vk) {
            w->Press(k.qt);
            return;
        }
    DefaultHandler(Message.Message);
}

void TDateTimePicker::WMSysKeyDown(TWMKey& Message) {
    if (DoKeyDown(Message)) return;
    if (DropKey(Message)) return;
    DefaultHandler(Message.Message);
}

void TDateTimePicker::WMChar(TWMKey& Message) {
    if (DoKeyPress(Message)) return;
    if (FShowCheckbox && Message.CharCode() == u' ') {
        SetChecked(!FChecked);
        NotifyParent(this, DTN_DATETIMECHANGE);
        return;
    }
    if (FShowCheckbox && !FChecked) return;
    const Char c = Char(Message.CharCode());
    if (c >= 32) {
        WidgetAs<TPickerWidget>(this)->Type(c);
        return;
    }
    DefaultHandler(Message.Message);
}

void TDateTimePicker::ApplyFormat() {
    auto* w = WidgetAs<QDateTimeEdit>(this);
    if (!FFormat.empty()) w->setDisplayFormat(ToQtFormat(FFormat));
    else if (FKind == dtkTime) w->setDisplayFormat("HH:mm:ss");
    else w->setDisplayFormat(FDateFormat == dfShort ? "dd/MM/yyyy" : "dddd, d MMMM yyyy");
    w->setCalendarPopup(FKind == dtkDate && FDateMode == dmComboBox);
    ApplyCalendar();
}

TDateTime TDateTimePicker::DateTime() const { return FromQDateTime(WidgetAs<QDateTimeEdit>(this)->dateTime()); }

void TDateTimePicker::SetDateTime(TDateTime Value) {
    FSyncing = true;
    WidgetAs<QDateTimeEdit>(this)->setDateTime(ToQDateTime(Value));
    FSyncing = false;
}

void TDateTimePicker::SetKind(TDateTimeKind Value) {
    FKind = Value;
    ApplyFormat();
}

void TDateTimePicker::SetDateFormat(TDTDateFormat Value) {
    FDateFormat = Value;
    ApplyFormat();
}

void TDateTimePicker::SetFormat(const String& Value) {
    FFormat = Value;
    ApplyFormat();
}

TMonthCalendar::TMonthCalendar(TComponent* AOwner) : TWinControl(AOwner) {
    FWidth = 191;
    FHeight = 154;
    FTabStop = true;
    HandleNeeded();
}

void TMonthCalendar::CreateWnd() {
    auto* w = new THostWidget<QCalendarWidget>(this);
    AttachWidget(this, w, false);
    w->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    QObject::connect(w, &QCalendarWidget::selectionChanged, ContextOf(this), [this] {
        if (!FSyncing) Guarded([this] {
            if (OnChange) OnChange(this);
        });
    });
}

TDateTime TMonthCalendar::Date() const {
    return FromQDateTime(QDateTime(WidgetAs<QCalendarWidget>(this)->selectedDate(), QTime(0, 0)));
}

void TMonthCalendar::SetDate(TDateTime Value) {
    FSyncing = true;
    WidgetAs<QCalendarWidget>(this)->setSelectedDate(ToQDateTime(Value).date());
    FSyncing = false;
}

// The profile picker of the main window: a list of categories that fold open
// to show their profiles, dropping up over the window from the profile edit
// edt1. Choosing a profile stores it and loads its parameters.
#include "app/ui/FrmMain.h"

#include "app/GlobalObject.h"
#include "app/IniFile.h"
#include "app/ProfileCatalogue.h"
#include "app/ui/ProfilePickerDelegate.h"
#include "app/ui/ProfilePickerList.h"

#include <QApplication>
#include <QComboBox>
#include <QCursor>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QScreen>
#include <QToolButton>
#include <algorithm>

namespace {

const QString SettingsSection = QStringLiteral("settings");
const QString FoldStateSection = QStringLiteral("lstformat");
const QString FormatNameKey = QStringLiteral("FormatName");
const QString FormatCodeKey = QStringLiteral("FormatCode");
// The picker's own default, which names no profile: a first start selects
// no row.
const QString PickerDefaultFormatName = QStringLiteral("Apple iPod Video MPEG-4 Movie (*.mp4)");
// The fold glyph's part of a category row, from its left edge.
constexpr int GlyphWidth = 20;

// Hands the mouse events of the profile edit and of the picker's rows to the
// window's handlers. Every event also goes on to the control itself.
class TProfilePickerEvents : public QObject
{
public:
    explicit TProfilePickerEvents(TfrmMain& window) : QObject(&window), window_(window) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (!isLeftButton(event))
            return false;
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (watched == window_.edt1)
            editEvent(mouse);
        else if (watched == window_.lst1->viewport())
            rowsEvent(mouse);
        return false;
    }

private:
    static bool isLeftButton(const QEvent* event)
    {
        switch (event->type()) {
        case QEvent::MouseMove:
            return true;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
            return static_cast<const QMouseEvent*>(event)->button() == Qt::LeftButton;
        default:
            return false;
        }
    }

    void editEvent(const QMouseEvent* mouse)
    {
        // A double click arrives as press, release, double click, release;
        // its last release is no click of its own. Nor is a release whose
        // press never reached the edit: that press closed the picker.
        switch (mouse->type()) {
        case QEvent::MouseButtonPress:
            editPressed_ = true;
            break;
        case QEvent::MouseButtonDblClick:
            editDoubleClicked_ = true;
            window_.edt1DblClick();
            break;
        case QEvent::MouseButtonRelease:
            if (editPressed_ && !editDoubleClicked_ &&
                window_.edt1->rect().contains(mouse->position().toPoint()))
                window_.edt1Click();
            editPressed_ = false;
            editDoubleClicked_ = false;
            break;
        default:
            break;
        }
    }

    void rowsEvent(const QMouseEvent* mouse)
    {
        const QPoint position = mouse->position().toPoint();
        switch (mouse->type()) {
        case QEvent::MouseMove:
            window_.lst1MouseMove(position);
            return;
        case QEvent::MouseButtonPress:
            lastPress_ = position;
            window_.lst1MouseDown(position);
            break;
        case QEvent::MouseButtonDblClick:
            // The second press of a double click is a press too, so a double
            // click on the glyph folds once, as it does on the name. It
            // lands where the first one did among the rows: the click between
            // them may have grown the list upward under the mouse. (Unless
            // it came as a press of its own before the double click.)
            window_.lst1DblClick();
            if (lastButtonEvent_ != QEvent::MouseButtonPress)
                window_.lst1MouseDown(lastPress_);
            break;
        case QEvent::MouseButtonRelease:
            window_.lst1Click();
            break;
        default:
            return;
        }
        lastButtonEvent_ = mouse->type();
    }

    TfrmMain& window_;
    bool editPressed_ = false;
    bool editDoubleClicked_ = false;
    QEvent::Type lastButtonEvent_ = QEvent::None; // on the rows
    QPoint lastPress_;                            // on the rows
};

void setBackground(QWidget* control, const QColor& colour)
{
    QPalette palette = control->palette();
    palette.setColor(QPalette::Base, colour);
    control->setPalette(palette);
}

} // namespace

void TfrmMain::BindProfilePicker()
{
    ProfileNames = std::make_unique<TProfileNames>();
    lst1->setItemDelegate(new TProfilePickerDelegate(lst1));
    lst1->setSelectionMode(QAbstractItemView::SingleSelection);
    lst1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Hot tracking follows the mouse without a button held.
    lst1->setMouseTracking(true);
    lst1->viewport()->setMouseTracking(true);

    auto* events = new TProfilePickerEvents(*this);
    edt1->installEventFilter(events);
    lst1->viewport()->installEventFilter(events);
    connect(imgbtn1, &QToolButton::clicked, this, &TfrmMain::imgbtn1Click);
    if (auto* popup = qobject_cast<TProfilePickerList*>(lst1)) {
        popup->SetOpeners({edt1, imgbtn1});
        connect(popup, &TProfilePickerList::RowKeyActivated, this, &TfrmMain::lst1RowKeyActivated);
    }
    // Only a change the user makes is stored, never the selection at show.
    connect(cbOutputFormat, &QComboBox::activated, this, &TfrmMain::cbOutputFormatChange);
}

void TfrmMain::BuildProfileList()
{
    const IniFile settings = Settings();

    lst1->hide();
    lst1->clear();
    FillProfileNames(*ProfileNames, ProfileCategories());
    const auto collapsed = [&settings](int category) {
        return settings.ReadBool(FoldStateSection, QString::number(category), true);
    };
    int row = 0;
    for (const TPickerRow& content : BuildPickerRows(*ProfileNames, ProfileCategories(), collapsed))
        InsertPickerRow(row++, content);

    PlaceProfilePicker(BuiltPickerHeight(lst1->count()), BuiltPickerGapAboveEdit);

    // The stored profile is the current one: after the per-format settings
    // window's OK it may be another than before, and the boxes must load and
    // edit the sections of the profile they show.
    CurrentFormatCode = settings.ReadString(SettingsSection, FormatCodeKey, QStringLiteral("1"));
    CurrentFormatName = settings.ReadString(SettingsSection, FormatNameKey, CurrentFormatName);
    const QString name = settings.ReadString(SettingsSection, FormatNameKey, PickerDefaultFormatName);
    ShowProfileName(name);
    lst1->setCurrentRow(PickerRowWithText(name));

    for (QWidget* control :
         {static_cast<QWidget*>(lst1), static_cast<QWidget*>(edt1), static_cast<QWidget*>(edDirectory)})
        setBackground(control, TProfilePickerDelegate::Background());
}

void TfrmMain::SaveProfileListState()
{
    IniFile settings = Settings();
    for (int row = 0; row < lst1->count(); ++row) {
        const TItemInfo info = PickerRowInfo(row);
        if (info.IsCategory)
            settings.WriteBool(FoldStateSection, QString::number(info.ItemCode), info.Collapsed);
    }
}

void TfrmMain::edt1Click()
{
    OpenProfilePicker(/*writeNameFirst=*/false, /*resize=*/true, /*moveCursor=*/true);
}

void TfrmMain::edt1DblClick()
{
    OpenProfilePicker(/*writeNameFirst=*/true, /*resize=*/false, /*moveCursor=*/false);
}

void TfrmMain::imgbtn1Click()
{
    OpenProfilePicker(/*writeNameFirst=*/true, /*resize=*/true, /*moveCursor=*/false);
}

void TfrmMain::OpenProfilePicker(bool writeNameFirst, bool resize, bool moveCursor)
{
    if (lst1->isVisible()) {
        lst1->hide();
        return;
    }
    const QString name = Settings().ReadString(SettingsSection, FormatNameKey, PickerDefaultFormatName);
    if (writeNameFirst)
        ShowProfileName(name);
    // Sized before it shows, so that it appears where it stays; the cursor
    // is placed after, on the rows where they finally are. Unresized, it
    // keeps its size but still follows the edit, which moves with the window.
    if (resize)
        lst1Click();
    else
        PlaceProfilePicker(lst1->height(), pickerGapAboveEdit_);
    lst1->show();
    lst1->raise();
    lst1->setFocus(Qt::PopupFocusReason);
    // Selected once it has the focus: a list that gains the focus without a
    // current row makes its first row current.
    lst1->setCurrentRow(PickerRowWithText(name.trimmed()));
    if (QListWidgetItem* selected = lst1->currentItem()) {
        lst1->scrollToItem(selected);
        if (moveCursor)
            QCursor::setPos(lst1->viewport()->mapToGlobal(lst1->visualItemRect(selected).center()));
    }
}

void TfrmMain::lst1Click()
{
    PlaceProfilePicker(ClickedPickerHeight(lst1->count()), 0);
}

void TfrmMain::PlaceProfilePicker(int height, int gapAboveEdit)
{
    // It drops up: its bottom edge stays put above the profile edit, and it
    // is as wide as the edit with its arrow button. Like any popup it stays
    // on the screen: without room above the edit it drops down below it,
    // and without room there either it starts at the top of the screen.
    const QPoint editTopLeft = edt1->mapToGlobal(QPoint(0, 0));
    const int editBottom = editTopLeft.y() + edt1->height();
    const int width = imgbtn1->mapToGlobal(QPoint(imgbtn1->width(), 0)).x() - editTopLeft.x();
    int top = editTopLeft.y() - gapAboveEdit - height;
    if (const QScreen* screen = edt1->screen()) {
        const QRect room = screen->availableGeometry();
        if (top < room.top())
            top = editBottom + height <= room.bottom() + 1 ? editBottom : room.top();
    }
    lst1->setGeometry(editTopLeft.x(), top, width, height);
    pickerGapAboveEdit_ = gapAboveEdit;
}

void TfrmMain::lst1MouseMove(const QPoint& position)
{
    const int row = lst1->row(lst1->itemAt(position));
    if (row >= 0 && row != lst1->currentRow())
        lst1->setCurrentRow(row);
}

void TfrmMain::lst1MouseDown(const QPoint& position)
{
    QListWidgetItem* item = lst1->itemAt(position);
    if (!item)
        return;
    const int row = lst1->row(item);
    const TItemInfo info = PickerRowInfo(row);
    if (info.IsCategory) {
        // Only the glyph folds; the rest of a category row does nothing.
        if (position.x() - lst1->visualItemRect(item).left() < GlyphWidth)
            ToggleCategory(row);
    } else if (info.IsProfile) {
        ChooseProfile(row);
    }
}

void TfrmMain::lst1RowKeyActivated(int row)
{
    // Return on a row does what a press on it does: a category folds, a
    // profile is chosen.
    const TItemInfo info = PickerRowInfo(row);
    if (info.IsCategory)
        ToggleCategory(row);
    else if (info.IsProfile)
        ChooseProfile(row);
}

void TfrmMain::lst1DblClick()
{
    const int row = lst1->currentRow();
    if (row >= 0 && PickerRowInfo(row).IsCategory)
        ToggleCategory(row);
}

void TfrmMain::ToggleCategory(int row)
{
    TItemInfo info = PickerRowInfo(row);
    if (info.Collapsed) {
        int at = row + 1;
        for (const TPickerRow& content :
             ProfileRowsOf(*ProfileNames, info.ItemCode, LastPositionWhenExpanded))
            InsertPickerRow(at++, content);
    } else {
        while (row + 1 < lst1->count() && PickerRowInfo(row + 1).IsProfile)
            delete lst1->takeItem(row + 1);
    }
    info.Collapsed = !info.Collapsed;
    lst1->item(row)->setData(ItemInfoRole, QVariant::fromValue(info));
}

void TfrmMain::ChooseProfile(int row)
{
    const QString name = lst1->item(row)->text();
    const QString code = QString::number(PickerRowInfo(row).ItemCode);
    IniFile settings = Settings();
    settings.WriteString(SettingsSection, FormatNameKey, name);
    settings.WriteString(SettingsSection, FormatCodeKey, code);
    CurrentFormatName = name;
    CurrentFormatCode = code;
    ShowProfileName(name);
    lst1->hide();
    profileChosenAt_.start();
}

bool TfrmMain::SwallowsPickerDoubleClick(QObject* watched, QEvent* event)
{
    // The press that chose a profile closed the picker, so the second press
    // of a double click lands on whatever lay beneath it (the file list,
    // whose double click plays a file). It stays a plain press there.
    if (event->type() != QEvent::MouseButtonDblClick || !profileChosenAt_.isValid())
        return false;
    const bool soonAfter = profileChosenAt_.elapsed() <= QApplication::doubleClickInterval();
    const bool onPicker = watched == lst1 || watched == lst1->viewport();
    if (!soonAfter || onPicker)
        return false;
    profileChosenAt_.invalidate();
    return true;
}

void TfrmMain::ShowProfileName(const QString& name)
{
    // Setting the text an edit already has changes nothing and would not
    // reload the parameters.
    if (edt1->text() == name)
        edt1Change();
    else
        edt1->setText(name);
}

void TfrmMain::cbOutputFormatChange()
{
    Settings().WriteInteger(SettingsSection, QStringLiteral("OutPutFormat"), cbOutputFormat->currentIndex());
}

void TfrmMain::InsertPickerRow(int row, const TPickerRow& content)
{
    auto* item = new QListWidgetItem(content.Text);
    item->setData(ItemInfoRole, QVariant::fromValue(content.Info));
    lst1->insertItem(row, item);
}

TItemInfo TfrmMain::PickerRowInfo(int row) const
{
    const QListWidgetItem* item = lst1->item(row);
    return item ? item->data(ItemInfoRole).value<TItemInfo>() : TItemInfo{};
}

int TfrmMain::PickerRowWithText(const QString& text) const
{
    for (int row = 0; row < lst1->count(); ++row)
        if (lst1->item(row)->text().compare(text, Qt::CaseInsensitive) == 0)
            return row;
    return -1;
}

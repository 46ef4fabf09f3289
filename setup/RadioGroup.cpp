#include "RadioGroup.h"

#include <QButtonGroup>
#include <QRadioButton>

#include <algorithm>

TRadioGroup::TRadioGroup(const QString& Caption, const QStringList& Items, QWidget* Parent)
    : QGroupBox(Caption, Parent), FGroup(new QButtonGroup(this))
{
    for (const QString& Text : Items) {
        auto* Button = new QRadioButton(Text, this);
        FGroup->addButton(Button, static_cast<int>(FItems.size()));
        FItems.push_back(Button);
    }
    ArrangeItems();
}

QStringList TRadioGroup::Items() const
{
    QStringList Result;
    for (const QRadioButton* Button : FItems)
        Result.push_back(Button->text());
    return Result;
}

QRadioButton* TRadioGroup::Item(int Index) const
{
    return Index >= 0 && Index < static_cast<int>(FItems.size()) ? FItems[static_cast<std::size_t>(Index)]
                                                                 : nullptr;
}

int TRadioGroup::ItemIndex() const
{
    return FGroup->checkedId();
}

void TRadioGroup::SetItemIndex(int Value)
{
    const int Index = std::clamp(Value, -1, static_cast<int>(FItems.size()) - 1);
    if (Index == ItemIndex())
        return;
    if (Index >= 0) {
        FItems[static_cast<std::size_t>(Index)]->setChecked(true);
        return;
    }
    // An exclusive group never lets its checked button go.
    FGroup->setExclusive(false);
    for (QRadioButton* Button : FItems)
        Button->setChecked(false);
    FGroup->setExclusive(true);
}

void TRadioGroup::resizeEvent(QResizeEvent* Event)
{
    QGroupBox::resizeEvent(Event);
    ArrangeItems();
}

// One column: the height below the caption shared evenly, what is left over
// split above and below, as a radio group of the designed toolkit does.
void TRadioGroup::ArrangeItems()
{
    if (FItems.empty())
        return;
    const int Count = static_cast<int>(FItems.size());
    const int TextHeight = fontMetrics().height();
    const int Room = height() - TextHeight - 5;
    const int ItemHeight = std::max(Room / Count, 1);
    const int TopMargin = TextHeight + 1 + (Room % Count) / 2;
    for (int Index = 0; Index < Count; ++Index)
        FItems[static_cast<std::size_t>(Index)]->setGeometry(8, TopMargin + Index * ItemHeight,
                                                             std::max(width() - 10, 1), ItemHeight);
}

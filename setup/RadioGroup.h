#pragma once

#include <QGroupBox>
#include <QStringList>

#include <vector>

class QButtonGroup;
class QRadioButton;

// A framed group of radio items in one column, of which at most one is
// selected. The items are placed by hand, as the frame's size divides them.
class TRadioGroup : public QGroupBox
{
    Q_OBJECT

public:
    TRadioGroup(const QString& Caption, const QStringList& Items, QWidget* Parent = nullptr);

    QStringList Items() const;
    QRadioButton* Item(int Index) const;
    // The selected item, or -1 when none is.
    int ItemIndex() const;
    // Brought into -1 .. count - 1 first: -1 clears the selection, anything
    // beyond the last item selects the last.
    void SetItemIndex(int Value);

protected:
    void resizeEvent(QResizeEvent* Event) override;

private:
    void ArrangeItems();

    QButtonGroup* FGroup = nullptr;
    std::vector<QRadioButton*> FItems;
};

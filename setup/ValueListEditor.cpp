#include "ValueListEditor.h"

#include <QHeaderView>

TValueListEditor::TValueListEditor(const QString& KeyTitle, const QString& ValueTitle,
                                   const QStringList& Keys, QWidget* Parent)
    : QTableWidget(0, 2, Parent)
{
    setHorizontalHeaderLabels({KeyTitle, ValueTitle});
    verticalHeader()->hide();
    horizontalHeader()->setHighlightSections(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    for (const QString& Key : Keys)
        AddRow(Key);
}

QStringList TValueListEditor::Keys() const
{
    QStringList Result;
    for (int Row = 0; Row < rowCount(); ++Row)
        Result.push_back(item(Row, 0)->data(KeyRole).toString());
    return Result;
}

int TValueListEditor::RowOf(const QString& Key) const
{
    for (int Row = 0; Row < rowCount(); ++Row)
        if (item(Row, 0)->data(KeyRole).toString() == Key)
            return Row;
    return -1;
}

QString TValueListEditor::Value(const QString& Key) const
{
    const int Row = RowOf(Key);
    return Row >= 0 ? item(Row, 1)->text() : QString();
}

void TValueListEditor::SetValue(const QString& Key, const QString& Value)
{
    int Row = RowOf(Key);
    if (Row < 0) {
        AddRow(Key);
        Row = rowCount() - 1;
    }
    item(Row, 1)->setText(Value);
    // A value wrapped on to more lines takes the height it needs.
    resizeRowToContents(Row);
}

void TValueListEditor::SetKeyCaption(const QString& Key, const QString& Caption)
{
    const int Row = RowOf(Key);
    if (Row >= 0)
        item(Row, 0)->setText(Caption);
}

void TValueListEditor::AddRow(const QString& Key)
{
    const int Row = rowCount();
    insertRow(Row);
    // The keys are fixed; only the values may be edited.
    auto* KeyItem = new QTableWidgetItem(Key);
    KeyItem->setData(KeyRole, Key);
    KeyItem->setFlags(KeyItem->flags() & ~Qt::ItemIsEditable);
    setItem(Row, 0, KeyItem);
    setItem(Row, 1, new QTableWidgetItem(QString()));
}

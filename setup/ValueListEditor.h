#pragma once

#include <QStringList>
#include <QTableWidget>

// A grid of keys and their values under a title row, one key a row.
class TValueListEditor : public QTableWidget
{
    Q_OBJECT

public:
    TValueListEditor(const QString& KeyTitle, const QString& ValueTitle, const QStringList& Keys,
                     QWidget* Parent = nullptr);

    QStringList Keys() const;
    // The value of the first row with Key; empty when there is none.
    QString Value(const QString& Key) const;
    // Sets the value of the first row with Key; a key not yet there gets a new row at the end.
    void SetValue(const QString& Key, const QString& Value);
    // What the row of Key shows in place of the key; the row is still found by its key.
    void SetKeyCaption(const QString& Key, const QString& Caption);
    // The width the key column needs to show every key on one line.
    int KeyColumnWidthHint() const { return sizeHintForColumn(0); }

private:
    static constexpr int KeyRole = Qt::UserRole;

    int RowOf(const QString& Key) const;
    void AddRow(const QString& Key);
};

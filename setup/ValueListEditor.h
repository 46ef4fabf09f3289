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

private:
    int RowOf(const QString& Key) const;
    void AddRow(const QString& Key);
};

#pragma once

#include <QGroupBox>
#include <QList>
#include <QStringList>

class QButtonGroup;
class QGridLayout;
class QRadioButton;

// A captioned group of radio buttons laid out in columns. Choosing an item from code behaves
// like the operator's choice by mouse, keyboard or assistive technology: `clicked()` is
// emitted whenever the selection moves to another item, so the windows' click handlers run
// either way.
class RadioGroup : public QGroupBox {
    Q_OBJECT

public:
    explicit RadioGroup(QWidget* parent = nullptr);
    explicit RadioGroup(const QString& caption, QWidget* parent = nullptr);

    // Index of the selected item, -1 when none is selected.
    int itemIndex() const { return selected; }
    // Below -1 counts as -1, beyond the last item as the last item. Emits clicked()
    // (synchronously) when the result names an item other than the one selected before.
    void setItemIndex(int index);

    void addItem(const QString& text);
    void addItems(const QStringList& texts);
    // Removes every item; leaves no selection and emits nothing.
    void clearItems();
    QStringList items() const;
    int count() const { return used; }

    int columns() const { return columnCount; }
    void setColumns(int columns);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

signals:
    // The selection moved to another item, by the operator or from code.
    void clicked();

private:
    void itemToggled(int index, bool checked);
    void showSelection();
    void arrangeButtons();
    // Narrows the font of an item too wide for its column, so that its text shows whole.
    void narrowLongTexts();

    QGridLayout* grid;
    QButtonGroup* buttons;
    // Buttons are reused rather than deleted: clearing may happen inside a button's own
    // click handler, where deleting the sender is not safe.
    QList<QRadioButton*> pool;
    int used = 0;
    int selected = -1;
    int columnCount = 1;
};

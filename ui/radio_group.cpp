#include "ui/radio_group.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QRadioButton>
#include <QResizeEvent>

#include <algorithm>

#include "ui/narrow_font.h"

RadioGroup::RadioGroup(QWidget* parent) : RadioGroup(QString(), parent) {}

RadioGroup::RadioGroup(const QString& caption, QWidget* parent)
    : QGroupBox(caption, parent), grid(new QGridLayout(this)), buttons(new QButtonGroup(this)) {
    buttons->setExclusive(true);
    // The groups are narrow and their item texts long, some low for their items: slim margins
    // and no gaps between rows keep texts and round indicators whole. The rows share the
    // height evenly, so the items still spread over a roomy group.
    grid->setContentsMargins(6, 2, 2, 2);
    grid->setVerticalSpacing(0);
    // Checked, not clicked: assistive technology selects an item through toggle(), which
    // checks it without a click, and the selection must follow it as well.
    connect(buttons, &QButtonGroup::idToggled, this, &RadioGroup::itemToggled);
}

void RadioGroup::setItemIndex(int index) {
    const int newIndex = std::clamp(index, -1, used - 1);
    if (newIndex == selected) {
        return;
    }
    selected = newIndex;
    showSelection();
    if (selected >= 0) {
        emit clicked();
    }
}

void RadioGroup::addItem(const QString& text) {
    if (used == pool.size()) {
        auto* button = new QRadioButton(this);
        buttons->addButton(button, used);
        pool.append(button);
    }
    pool[used]->setText(text);
    ++used;
    arrangeButtons();
    narrowLongTexts();
}

void RadioGroup::addItems(const QStringList& texts) {
    for (const QString& text : texts) {
        addItem(text);
    }
}

void RadioGroup::clearItems() {
    used = 0;
    selected = -1;
    showSelection();
    arrangeButtons();
}

QStringList RadioGroup::items() const {
    QStringList texts;
    for (int i = 0; i < used; ++i) {
        texts.append(pool[i]->text());
    }
    return texts;
}

void RadioGroup::setColumns(int columns) {
    columnCount = std::max(1, columns);
    arrangeButtons();
    narrowLongTexts();
}

void RadioGroup::resizeEvent(QResizeEvent* event) {
    QGroupBox::resizeEvent(event);
    narrowLongTexts();
}

void RadioGroup::changeEvent(QEvent* event) {
    QGroupBox::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        narrowLongTexts();
    }
}

void RadioGroup::itemToggled(int index, bool checked) {
    // Showing a selection from code checks the item already selected, and a click on the
    // selected item checks nothing: neither runs the handler again.
    if (checked && index != selected) {
        setItemIndex(index);
    }
}

void RadioGroup::showSelection() {
    if (selected >= 0) {
        pool[selected]->setChecked(true);
        return;
    }
    // An exclusive group refuses to uncheck its last checked button.
    buttons->setExclusive(false);
    for (QRadioButton* button : std::as_const(pool)) {
        button->setChecked(false);
    }
    buttons->setExclusive(true);
}

void RadioGroup::arrangeButtons() {
    for (QRadioButton* button : std::as_const(pool)) {
        grid->removeWidget(button);
    }
    for (int row = 0; row < grid->rowCount(); ++row) {
        grid->setRowStretch(row, 0);
    }
    for (int column = 0; column < grid->columnCount(); ++column) {
        grid->setColumnStretch(column, 0);
    }
    // Items fill the first column top to bottom, then the next; rows and columns share
    // the space evenly.
    const int rows = std::max(1, (used + columnCount - 1) / columnCount);
    for (int i = 0; i < pool.size(); ++i) {
        QRadioButton* button = pool[i];
        if (i < used) {
            grid->addWidget(button, i % rows, i / rows);
            button->show();
        } else {
            button->hide();
        }
    }
    for (int row = 0; row < rows; ++row) {
        grid->setRowStretch(row, 1);
    }
    for (int column = 0; column < columnCount; ++column) {
        grid->setColumnStretch(column, 1);
    }
}

void RadioGroup::narrowLongTexts() {
    const QMargins margins = grid->contentsMargins();
    const int spacing = std::max(0, grid->horizontalSpacing());
    const int columnWidth =
        (contentsRect().width() - margins.left() - margins.right() - (columnCount - 1) * spacing) /
        columnCount;
    for (int i = 0; i < used; ++i) {
        // An empty font takes family and size from the group, so only the stretch is the
        // button's own.
        narrowFontToFit(pool[i], QFont(), columnWidth, pool[i]->text());
    }
}

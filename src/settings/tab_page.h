#pragma once

#include <QWidget>

class Card;
class QLabel;
class QVBoxLayout;

// The column a tab lays its sections in: each a heading over a card.
class TabPage : public QWidget {
    Q_OBJECT
public:
    explicit TabPage(QWidget* parent = nullptr);

protected:
    // Adds a heading and under it `card`, which the page takes.
    void addSection(const QString& title, Card* card);
    void addWidget(QWidget* widget, Qt::Alignment alignment = {});
    // A plain line of text in the secondary colour.
    QLabel* note(const QString& text);
    QVBoxLayout* column() const { return layout; }

private:
    QVBoxLayout* layout;
};

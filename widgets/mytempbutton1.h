// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLabel>
#include <QString>

class QEnterEvent;
class QKeyEvent;
class QEvent;
class QMouseEvent;
class QPaintEvent;

// A text button on a flat colour that lightens under the pointer. The owner gives it its text, text
// style and alignment; the colours apply only once setColours has been called.
class MyTempButton1 final : public QLabel
{
    Q_OBJECT

public:
    explicit MyTempButton1(QWidget* parent);

    // Colour names as QColor understands them ("#3db456"). The third is kept but not shown. A
    // non-empty normal colour is painted at once.
    void setColours(const QString& normal, const QString& hover, const QString& third);

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    // Space and Return press the button that has the keyboard focus.
    void keyPressEvent(QKeyEvent* event) override;

private:
    void paintBackground(const QString& colourName);

    QString normalColour;
    QString hoverColour;
    QString thirdColour;
};

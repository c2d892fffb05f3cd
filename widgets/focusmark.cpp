// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/focusmark.h"

#include <QApplication>
#include <QColor>
#include <QEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QRegion>

namespace {

// The window's accent green, darkened so that the outline stands out on the light strips and white panels.
const QColor kOutlineColour(0x1f, 0x7a, 0x36);
const QColor kInnerLineColour(Qt::white);

bool keyboardFocus = false;

} // namespace

// Watches every event of the program: Tab and Shift+Tab turn the mark on, a mouse press turns it off, and
// the mark follows the focus and the focused widget.
class FocusMark::Watcher final : public QObject
{
public:
    explicit Watcher(QObject* parent)
        : QObject(parent)
    {
        connect(qApp, &QApplication::focusChanged, this, [this] { follow(); });
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::KeyPress: {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if ((key == Qt::Key_Tab || key == Qt::Key_Backtab) && !keyboardFocus) {
                keyboardFocus = true;
                follow();
            }
            break;
        }
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            if (keyboardFocus) {
                keyboardFocus = false;
                follow();
            }
            break;
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::Show:
        case QEvent::Hide:
            if (watched == QApplication::focusWidget())
                follow();
            break;
        default:
            break;
        }
        return false;
    }

    void follow()
    {
        if (!mark)
            mark = new FocusMark;
        mark->follow();
    }

private:
    // Owned by the window it lies in; made anew when that window has gone.
    QPointer<FocusMark> mark;
};

void FocusMark::install()
{
    static const QPointer<QObject> watcher = [] {
        auto* created = new Watcher(qApp);
        qApp->installEventFilter(created);
        return QPointer<QObject>(created);
    }();
    Q_UNUSED(watcher);
}

bool FocusMark::keyboardInUse()
{
    return keyboardFocus;
}

void FocusMark::follow()
{
    QWidget* focused = QApplication::focusWidget();
    if (!keyboardFocus || !focused || focused->isWindow() || !focused->isVisible()) {
        hide();
        return;
    }
    QWidget* window = focused->window();
    if (parentWidget() != window) {
        setParent(window);
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFocusPolicy(Qt::NoFocus);
    }
    setGeometry(QRect(focused->mapTo(window, QPoint(0, 0)), focused->size()));
    raise();
    show();
    update();
}

void FocusMark::paintEvent(QPaintEvent* event)
{
    Q_UNUSED(event);
    // Two rings along the widget's edge: 2 px of green, then 1 px of white.
    QPainter painter(this);
    const QRect outer = rect();
    const QRect inner = outer.adjusted(2, 2, -2, -2);
    painter.setClipRegion(QRegion(outer).subtracted(QRegion(inner)));
    painter.fillRect(outer, kOutlineColour);
    painter.setClipRegion(QRegion(inner).subtracted(QRegion(inner.adjusted(1, 1, -1, -1))));
    painter.fillRect(outer, kInnerLineColour);
}

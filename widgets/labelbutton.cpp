// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/labelbutton.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QLabel>
#include <QMetaObject>

namespace {

// A label that is a button: a push button to screen readers, named by its caption or its accessible name.
// Pressing it emits the label's clicked(), as a click's release does.
class LabelButtonAccessible final : public QAccessibleWidget
{
public:
    explicit LabelButtonAccessible(QWidget* widget)
        : QAccessibleWidget(widget, QAccessible::Button)
    {}

    QString text(QAccessible::Text kind) const override
    {
        if (kind != QAccessible::Name || !widget()->accessibleName().isEmpty())
            return QAccessibleWidget::text(kind);
        return static_cast<const QLabel*>(widget())->text();
    }

    QStringList actionNames() const override
    {
        return QStringList{pressAction()} + QAccessibleWidget::actionNames();
    }

    void doAction(const QString& action) override
    {
        if (action != pressAction()) {
            QAccessibleWidget::doAction(action);
            return;
        }
        // A disabled button takes no click, so it takes no press either.
        if (widget()->isEnabled())
            QMetaObject::invokeMethod(widget(), "clicked");
    }
};

QAccessibleInterface* labelButtonFactory(const QString& className, QObject* object)
{
    if (className != "MyPushButton" && className != "MyTempButton1" && className != "MyTempButton2")
        return nullptr;
    auto* widget = qobject_cast<QWidget*>(object);
    return widget ? new LabelButtonAccessible(widget) : nullptr;
}

} // namespace

void setUpLabelButton(QLabel& button)
{
    static const bool installed = [] {
        QAccessible::installFactory(labelButtonFactory);
        return true;
    }();
    Q_UNUSED(installed);
    button.setFocusPolicy(Qt::TabFocus);
}

bool isPressKey(const QKeyEvent& event)
{
    const int key = event.key();
    const bool pressKey = key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter;
    return pressKey && !event.isAutoRepeat() && (event.modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}

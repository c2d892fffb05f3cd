#include "update/updatewidget.h"

UpdateWidget::UpdateWidget(QWidget* parent)
    : QDialog(parent)
{
    setWindowFlags(Qt::FramelessWindowHint);
}

void UpdateWidget::layoutWidgets() {}

void UpdateWidget::refreshContent() {}

void UpdateWidget::startCheck(bool autoMode)
{
    Q_UNUSED(autoMode);
}

#pragma once

#include <QDialog>

// The update dialog: the daily and on-demand check for a newer version.
class UpdateWidget : public QDialog
{
    Q_OBJECT

public:
    explicit UpdateWidget(QWidget* parent = nullptr);

    void layoutWidgets();
    void refreshContent();
    void startCheck(bool autoMode);
};

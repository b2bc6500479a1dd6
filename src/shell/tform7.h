#pragma once

#include <QDialog>

// The About window.
class TForm7 : public QDialog
{
    Q_OBJECT
public:
    explicit TForm7(QWidget *parent = nullptr);
};

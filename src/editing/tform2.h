#pragma once

#include <QDialog>

// The placement window: where a new dialog or choice dialog goes.
class TForm2 : public QDialog
{
    Q_OBJECT
public:
    explicit TForm2(QWidget *parent = nullptr);
};

#pragma once

#include <QDialog>

// The Options window: registration of the .dlg file type.
class TForm8 : public QDialog
{
    Q_OBJECT
public:
    explicit TForm8(QWidget *parent = nullptr);
};

#pragma once

#include <QWidget>

class QLabel;

// An image window for a font preview. No command shows it.
class TForm6 : public QWidget
{
    Q_OBJECT
public:
    explicit TForm6(QWidget *parent = nullptr);

private:
    QLabel *m_image;
};

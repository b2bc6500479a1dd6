#pragma once

#include <QWidget>

class QLabel;

// An image window for a font preview. No command shows it.
class FontPreviewWindow : public QWidget
{
    Q_OBJECT
public:
    explicit FontPreviewWindow(QWidget *parent = nullptr);

private:
    QLabel *m_image;
};

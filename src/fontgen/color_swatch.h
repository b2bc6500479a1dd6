#pragma once

#include <QFrame>

// A small sunken square showing a colour; a click asks for a new one.
class ColorSwatch : public QFrame
{
    Q_OBJECT
public:
    explicit ColorSwatch(quint32 rgb, QWidget *parent = nullptr);

    quint32 color() const { return m_rgb; }
    void setColor(quint32 rgb);

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    quint32 m_rgb = 0;
};

#pragma once

#include <QImage>
#include <QWidget>

// A small picture of the whole flow map in a corner of the view, with the part in view
// marked; a click or a drag in it moves the view there.
class FlowOverview : public QWidget
{
    Q_OBJECT
public:
    explicit FlowOverview(QWidget *parent = nullptr);

    // picture shows a map of mapSize; visible is the part in view, in map coordinates.
    void setPicture(const QImage &picture, const QSizeF &mapSize);
    void setShownPart(const QRectF &visible);

signals:
    // Centre the view on this map point.
    void moveRequested(const QPointF &mapPoint);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    QPointF toMap(const QPointF &point) const;

    QImage m_picture;
    QSizeF m_mapSize;
    QRectF m_visible;
};

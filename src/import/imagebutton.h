#pragma once
// ImageButton: a picture with an optional caption under it, clickable as one
// button. The picture is a PrivateImgBtnLbl, a label that looks pressed
// while the left mouse button is down on it and reports the click when the
// button is released.
#include <QLabel>
#include <QPixmap>
#include <QString>
#include <QWidget>

class PrivateImgBtnLbl : public QLabel {
    Q_OBJECT

public:
    explicit PrivateImgBtnLbl(QWidget* parent = nullptr);

Q_SIGNALS:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
};

class ImageButton : public QWidget {
    Q_OBJECT

public:
    ImageButton(const QPixmap& picture, const QString& caption, int margin, QWidget* parent = nullptr);

    // The picture becomes exactly w x h pixels; the button takes the
    // picture, its margins and the caption's height.
    void setImageSize(int w, int h);
    PrivateImgBtnLbl* picture() const { return m_picture; }
    QLabel* captionLabel() const { return m_caption; }

Q_SIGNALS:
    void clicked();

private:
    PrivateImgBtnLbl* m_picture;
    QLabel* m_caption = nullptr;
    int m_margin;
};
